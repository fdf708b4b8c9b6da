#include "shell/project/output_directory_field.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/project/names_drag.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_rules.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

OutputDirectoryField::OutputDirectoryField(const ProjectView& view, ShellServices services, ProjectController& project)
    : QObject(&project), v_(view), s_(services), project_(project) {
    TFrameFindDirectory* frame = v_.FrameFindDirectoryOutputDir;
    frame->OnEditExit = [this](QObject*) { LeaveField(); };
    frame->Edit->installEventFilter(this);

    drag_ = new NamesDrag(v_.GroupBoxNames, {v_.GroupBoxDataSets, frame, frame->Edit}, this);
    drag_->PressAllowed = [this] { return PressOnNames(); };
    drag_->OnDrop = [this] { DropNames(); };
}

void OutputDirectoryField::ConnectPicker() {
    TFrameFindDirectory* frame = v_.FrameFindDirectoryOutputDir;
    frame->OnDirectoryChosen = [this](QObject*) { DirectoryChosen(); };
    frame->OnBeforeCheck = [this](QObject*) { CheckBeforeValidation(); };
}

std::string OutputDirectoryField::FieldText() const { return v_.FrameFindDirectoryOutputDir->FieldText(); }

void OutputDirectoryField::LeaveField() {
    TFrameFindDirectory* frame = v_.FrameFindDirectoryOutputDir;
    justLeft_ = true;
    s_.statusBar.ClearMessages();
    if (dropped_ && frame->Modified()) ForceDirectories(FieldText());
    dropped_ = false;
    const std::string normal = LeftOutputDirectory(FieldText(), project_.projectDirectory());
    if (normal != FieldText()) frame->SetFieldText(normal);  // the changed mark stays as it is
    project_.setModified(true);
    frame->EditExit();
}

void OutputDirectoryField::CheckBeforeValidation() {
    const std::string dir = FieldText();
    if (DirectoryExists(dir)) return;
    if (s_.dialogs.Message(MsgKind::Confirmation, Format(kCreateQuestion, dir.c_str()), kOk | kCancel) !=
        kOk)
        return;
    if (!ForceDirectories(dir)) s_.dialogs.Message(MsgKind::Warning, kCannotCreate, kOk);
}

void OutputDirectoryField::DirectoryChosen() {
    TFrameFindDirectory* frame = v_.FrameFindDirectoryOutputDir;
    frame->SetModified(true);
    frame->Edit->setFocus();
    LeaveField();
}

bool OutputDirectoryField::PressOnNames() {
    if (justLeft_) {
        justLeft_ = false;
        return false;
    }
    return !v_.EditProductName->text().isEmpty() && !v_.EditSystemName->text().isEmpty();
}

void OutputDirectoryField::DropNames() {
    s_.statusBar.ClearMessages();
    std::optional<std::string> target =
        NamesDropTarget(FieldText(), project_.languagePrefix(), project_.GetProjectName());
    if (!target) return;
    TFrameFindDirectory* frame = v_.FrameFindDirectoryOutputDir;
    frame->SetFieldText(*target);
    frame->SetModified(true);
    frame->Edit->setFocus();
    dropped_ = true;
}

bool OutputDirectoryField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == v_.FrameFindDirectoryOutputDir->Edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) dropped_ = false;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace korvane

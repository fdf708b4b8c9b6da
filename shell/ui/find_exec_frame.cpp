#include "shell/ui/find_exec_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVariant>
#include <stdexcept>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/ui/guard.h"
#include "shell/ui/null_reporter.h"

namespace korvane {

std::string FirstFilterPatterns(const std::string& filter) {
    std::string patterns = TextBeforeFirst(TextAfterFirst(filter, "|"), "|");
    if (!patterns.empty()) patterns += ';';
    return patterns;
}

bool DropMatchesPatterns(const std::string& fileName, const std::string& patterns) {
    if (patterns.empty() || patterns == "*.*;") return true;
    return ContainsText(patterns, ExtractFileExt(fileName) + ";");
}

TFrameFindexec::TFrameFindexec(Dialogs& dialogs, QWidget* parent) : PickerFrame(dialogs, parent) {
    BuildControls(QStringLiteral("Findexec"), QStringLiteral("Notepad.exe"), 350, 35, LabelFindExec, Edit,
                  SpeedButtonFindExec);
    LabelFindExec->setObjectName(QStringLiteral("LabelFindExec"));
    Edit->setObjectName(QStringLiteral("Edit"));
    SpeedButtonFindExec->setObjectName(QStringLiteral("SpeedButtonFindExec"));
    // The frame is a drop target from the start, for copies and links.
    setAcceptDrops(true);
    connect(SpeedButtonFindExec, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SpeedButtonFindExecClick(); }); });
}

Reporter& TFrameFindexec::Report() const { return statusBar_ ? *statusBar_ : NullReporter::Instance(); }

int TFrameFindexec::Tag() const { return property("Tag").toInt(); }

void TFrameFindexec::SetTag(int tag) { setProperty("Tag", tag); }

std::string TFrameFindexec::LabelCaptionText() const { return LabelFindExec->text().toUtf8().toStdString(); }

void TFrameFindexec::RaisePathChanged() {
    if (OnPathChanged) OnPathChanged(this);
}

bool TFrameFindexec::ValidatePath(bool browseAllowed) {
    SetFieldColour(Edit, FieldColour::Window);
    if (!PickerVisible() || DefaultName == "@") return true;
    const std::string caption = LabelCaptionText();
    if (DefaultName.find('*') != std::string::npos) {
        SetFieldColour(Edit, FieldColour::Failed);
        Report().AddError("File " + caption + " is marked unavailable!", true);
        return false;
    }
    std::string text = FieldText();
    if ((text == "?" || text.empty()) && !DefaultName.empty()) {
        SetFieldText(DefaultName);
        text = DefaultName;
    }
    if (FileExists(text)) return true;
    SetFieldColour(Edit, FieldColour::Failed);
    if (Tag() == 1) return true;
    bool valid = false;
    if (!browseAllowed) return valid;
    // Whatever goes wrong while browsing leaves the picker invalid and the
    // caller's operation going.
    try {
        std::string path = text;
        if (OnBrowse) {
            OnBrowse(path, caption);
        } else if (BrowseForProgram(path, caption)) {
            SetFieldColour(Edit, FieldColour::Window);
            valid = true;
            if (path != FieldText()) {
                SetFieldText(path);
                RaisePathChanged();
            }
        } else {
            Report().AddError("File not found: " + FieldText(), true);
        }
    } catch (const SilentAbort&) {
    } catch (const std::runtime_error&) {
    }
    return valid;
}

bool TFrameFindexec::BrowseForProgram(std::string& path, const std::string& labelCaption) {
    FieldColourScope colour(Edit, FieldColour::Browsing);
    FileDialogOptions& dlg = OpenDialogFindExec;
    dlg.multiSelect = false;
    dlg.mustExist = true;
    const std::string& from = (path != "?" && !path.empty()) ? path : DefaultName;
    dlg.fileName = ExtractFileName(from);
    dlg.initialDir = ExtractFileDir(from);
    if (dlg.filter.empty()) {
        const std::string ext = ExtractFileExt(dlg.fileName);
        dlg.filter = ext.empty() ? std::string("All files(*.*)|*.*")
                                 : Format("%s files (*%s)|*%s|All files(*.*)|*.*", labelCaption.c_str(),
                                          ext.c_str(), ext.c_str());
    }
    if (dlg.title.empty()) dlg.title = Format("Find %s ", labelCaption.c_str());
    const std::optional<std::vector<std::string>> chosen = dialogs_.OpenFiles(dlg);
    if (!chosen || chosen->empty()) return false;
    path = chosen->front();
    dlg.fileName = path;
    return true;
}

void TFrameFindexec::SpeedButtonFindExecClick() {
    if (!PickerVisible()) return;
    std::string path = FieldText();
    if (OnBrowse)
        OnBrowse(path, LabelCaptionText());
    else if (!BrowseForProgram(path, LabelCaptionText()))
        throw SilentAbort{};
    if (path != FieldText()) {
        SetFieldText(path);
        RaisePathChanged();
    }
}

void TFrameFindexec::EditExit() {
    if (!PickerVisible() || !Modified()) return;
    const std::string text = FieldText();
    if (!FileExists(text)) {
        Report().AddError(Format("File \"%s\" doesn't exist", text.c_str()), true);
        SpeedButtonFindExecClick();
    }
    RaisePathChanged();
}

void TFrameFindexec::DropFileTargetFindExecDrop(const std::vector<std::string>& names) {
    if (names.size() != 1) return;
    const std::string& file = names.front();
    if (!DropMatchesPatterns(file, FirstFilterPatterns(OpenDialogFindExec.filter))) return;
    SetFieldColour(Edit, FieldColour::Window);
    SetFieldText(file);
    RaisePathChanged();
}

}  // namespace korvane

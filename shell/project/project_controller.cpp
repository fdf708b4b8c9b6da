#include "shell/project/project_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shell/app/action_list.h"
#include "shell/app/main_window.h"
#include "shell/collections/check_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

ProjectController::ProjectController(TfrmKorvaneMain& window) : QObject(&window), w_(window) {}

void ProjectController::setModified(bool value) {
    if (modified_ && !value) {
        unsigned answer = w_.dialogs().Message(
            MsgKind::Warning, "The current project has been modified \r\nDo you want to save the changes?'",
            kYes | kNo | kCancel);
        if (answer == kYes) {
            w_.actions()["ActSaveProject"]->setEnabled(true);
            w_.actions().runHandler("ActSaveProject");
        } else if (answer == kCancel) {
            w_.statusBar().ShowError("Action cancelled", false);
        }
    }
    modified_ = value;
    w_.actions()["ActSaveProject"]->setEnabled(value);
    emit modifiedChanged(value);
}

void ProjectController::clearModifiedWithoutAsking() {
    modified_ = false;
    w_.actions()["ActSaveProject"]->setEnabled(false);
    emit modifiedChanged(false);
}

void ProjectController::setName(std::string& field, const std::string& text, bool product) {
    if (text == "*") {
        field.clear();
    } else if (!text.empty() && !(text[0] >= '0' && text[0] <= '9')) {
        field = text;
    } else {
        QLineEdit* edit = product ? w_.EditProductName : w_.EditSystemName;
        w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
        edit->setFocus();
        w_.statusBar().ShowError(product ? "Product name missing or incorrect" : "System name name missing or incorrect",
                                 false);
    }
    projectName_.clear();
    QLineEdit* edit = product ? w_.EditProductName : w_.EditSystemName;
    QString shown = QString::fromUtf8(field);
    if (edit->text() != shown) edit->setText(shown);
    setModified(true);
    w_.statusBar().ClearMessages();
}

void ProjectController::SetSystemName(const std::string& text) { setName(systemName_, text, false); }
void ProjectController::SetProductName(const std::string& text) { setName(productName_, text, true); }

std::string ProjectController::GetProjectName() {
    if (projectName_.empty()) {
        SetSystemName(systemName_);
        SetProductName(productName_);
        projectName_ = ProperCase(productName_) + ProperCase(systemName_);
    }
    return projectName_;
}

void ProjectController::SetProjectName(const std::string& path) {
    if (path.empty() || path == "*")
        projectName_.clear();
    else
        projectName_ = ChangeFileExt(ExtractFileName(path), "");
    w_.setProjectCaption(projectName_);
}

void ProjectController::SetProjectDirectory(const std::string& path) {
    projectDirectory_ = ExtractFilePath(path);
    WriteSettingString("LastPosition" + languagePrefix_, projectDirectory_);
}

std::string ProjectController::outputDirectory() const {
    return w_.FrameFindDirectoryOutputDir->Edit->text().toUtf8().toStdString();
}

void ProjectController::ClearProject() {
    productName_.clear();
    systemName_.clear();
    w_.EditProductName->clear();
    w_.EditSystemName->clear();
    w_.PanelCommonRoot->clear();
    w_.EditCreateWrdList->clear();
    for (CheckListBox* l : {w_.CheckListBoxSelectedFiles, w_.CheckListBoxCSVForRename, w_.CheckListBoxObjects,
                            w_.CheckListBoxControlTags})
        l->checkList().clear();
    w_.RichEditCTLWords->clear();
    w_.MemoNewFileNames->clear();
    emit projectCleared();

    for (QCheckBox* box : w_.transformationBoxes)
        if (!box->parentWidget()->isHidden()) box->setChecked(box->isEnabled());
    w_.CheckBoxRealign->setEnabled(false);
    w_.CheckBoxRealign->setChecked(true);
    w_.ComboBoxRefactorLevel->setCurrentIndex(w_.ComboBoxRefactorLevel->count() - 1);

    const bool rename = w_.CheckBoxRenameVariables->isChecked();
    w_.actions()["ActAddCSVFiles"]->setEnabled(rename);
    w_.actions()["ActAddCSVFiles"]->setVisible(rename);
    TfrmKorvaneMain::setTabVisible(w_.PageControlFileCollect, w_.TabSheetCSVForRename, rename);
    w_.arrangeTaggedButtons();

    SetProjectName("*");
    w_.FrameFindDirectoryOutputDir->Edit->clear();
    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
    clearModifiedWithoutAsking();
}

}  // namespace korvane

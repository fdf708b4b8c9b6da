// The creation sequence, the first-show sequence and the close request of
// the main window.

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>

#include "shared/cmdline.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/version_info.h"
#include "shell/app/install_places.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/app/registration.h"
#include "shell/app/startup_options.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/app/run_binding.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"
#include "shell/viewer/changes_controller.h"
#include "shell/viewer/viewer_controller.h"
#include "shell/wordlists/word_list_controller.h"

namespace korvane {

TfrmKorvaneMain::~TfrmKorvaneMain() {
    // The subsystem controllers go before the controls: they watch them
    // (signals, event filters) and must not hear from controls that are
    // being destroyed.
    auto drop = [](auto*& controller) {
        delete controller;
        controller = nullptr;
    };
    drop(run_);
    drop(changes_);
    drop(viewer_);
    drop(collections_);
    drop(wordLists_);
    drop(project_);
    drop(language_);
}

RunEngine* TfrmKorvaneMain::run() { return run_ ? &run_->engine() : nullptr; }

std::string TfrmKorvaneMain::designCaption(const std::string& checkBoxName) const {
    for (const std::string& line : designCaptions)
        if (SameText(TextBeforeFirst(line, "="), checkBoxName)) return TextAfterFirst(line, "=");
    return {};
}

void TfrmKorvaneMain::createDesignedPickers() {
    const int height = FrameFindexecEditorGeneral->sizeHint().height();
    for (QCheckBox* box : std::vector<QCheckBox*>(transformationBoxes)) {
        const std::string name = box->objectName().toUtf8().toStdString();
        const std::string caption = box->text().toUtf8().toStdString();
        designCaptions.push_back(name + "=" + caption);
        TFrameFindexec* picker = createPicker("FindExex" + TextAfterFirst(name, "x"), "Program for " + caption);
        picker->setMinimumHeight(height);
    }
}

void TfrmKorvaneMain::runCreationSequence() {
    // 1. The "Objects" tab of the word lists is hidden (done when built).
    // 2. The tool settings text; without a file the sequence ends here.
    language_->readToolSettings();
    // 3. The project flags start cleared without a question.
    project_->setProjectLoading(false);
    project_->clearModifiedWithoutAsking();
    // 4. Tool root.
    std::string rootValue;
    const bool rootGiven = CmdLineValue(kOptRoot, rootValue);
    // An installed program keeps its tools apart from its own folder.
    toolRoot_ = ResolveToolRoot(rootGiven, rootValue,
                                language_->settingsPlace().installed ? InstalledPlacesOf(startup_.programPath).toolDir
                                                                     : ExtractFileDir(startup_.programPath));
    // 5. The three fixed pickers report to the status bar.
    for (TFrameFindexec* f : {FrameFindexecEditorGeneral, FrameFindexecScanner, FrameFindexecFunctab})
        f->SetStatusBar(MyStB);
    // 6. A picker per designed transformation row.
    createDesignedPickers();
    // 7. File version.
    fileVersion_ = VersionInfoString("FileVersion");
    // 8. Registration of the project file type. The version is remembered
    //    after a registration at start, so that it happens once per version
    //    and a file association the user changed afterwards stays.
    RegisterAtStart(startup_.programPath, toolRoot_, CmdLineSwitch(kOptRegisterShell, false), fileVersion_);
    // 9. Item height, tagged buttons, desktop work area.
    itemHeight_ = QFontMetrics(CheckListBoxSelectedFiles->font()).height();
    arrangeTaggedButtons();
    FitFormToWorkArea(this);
}

void TfrmKorvaneMain::firstShowSequence() {
    // 1. Registration requested on the command line: register and end.
    if (CmdLineSwitch(kOptRegisterShell, false)) {
        RegisterProjectFileType(startup_.programPath, toolRoot_);
        // Queued: the first show runs before the event loop does, and a
        // window closed before it runs would not end the program.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    // 2. The per-user store of the shell.
    SetSettingsApplication(kSettingsApplication);
    SetSettingsSection(kSettingsSection);
    // 3. The viewer font.
    emit restoreViewerFont();
    // 4. Window size.
    if (int w = ReadSettingInt("FormWidth", 0); w != 0) resize(w, ReadSettingInt("FormHeight", 0));
    // 5. Caption.
    setCaption(caption() + " - ");
    // 6. Local tool root.
    localToolRoot_ = ReadSettingString("LocalToolRootDir", "");
    // Parallel jobs (a stored value out of range is brought into it).
    {
        QSignalBlocker quiet(SpinEditParallelJobs);
        SpinEditParallelJobs->setValue(ReadSettingInt(kParallelJobsSetting, 1));
    }
    // 7. Every page current once, then "Names and datasets".
    for (int i = 0; i < PageControlMain->count(); ++i) PageControlMain->setCurrentIndex(i);
    PageControlMain->setCurrentWidget(TabSheetNames);
    // 8. Advanced mode, on at every start.
    QAction* adv = actions()[ActionId::ShowAdvanced];
    adv->setVisible(CmdLineSwitch(kOptShowAdvanced, false));
    adv->setChecked(true);
    applyAdvancedMode();
    // Without a tool settings file there is no language to offer; the
    // error of the creation sequence stays on the status bar.
    if (language_->settingsPath().empty()) {
        registerDropTargets();
        return;
    }
    // 9. Run control.
    language_->applyRunControl();
    language_->readBigDirectoryLimit();
    // 10-12. Selected language, offered languages.
    const std::string def = language_->settings().value("DefaultLanguage");
    QRadioButton* selected = def.empty() ? nullptr : languageButton(def);
    language_->enableLanguageButtons();
    if (!selected) selected = RadioButtonPLI;
    language_->setSelectedLanguage(selected->objectName().mid(11).toUtf8().toStdString());
    // 13. The project named on the command line, or the selected language.
    std::string proj;
    const bool haveProject = CmdLineValue(kOptProject, proj) && FileExists(proj) &&
                             LowerCase(ExtractFileExt(proj)) == ".srd";
    if (haveProject) {
        emit loadProjectRequested(proj);
    } else {
        if (selected->isChecked())
            language_->ApplyLanguage(language_->selectedLanguage());
        else
            selected->setChecked(true);
    }
    // 14. Drop targets.
    registerDropTargets();
    // 15. The output directory picker's notifications.
    project_->ConnectOutputDirectoryPicker();
    // 16. Collection pages, modified flag, tagged buttons, item heights.
    emit collectionPagesUpdateRequested();
    project_->clearModifiedWithoutAsking();
    arrangeTaggedButtons();
    CheckListBoxSelectedFiles->setItemHeight(itemHeight_);
    CheckListBoxCSVForRename->setItemHeight(itemHeight_);
}

void TfrmKorvaneMain::registerDropTargets() {
    for (TBitBtnWM_Drop* b : {SpeedButtonAddFiles, SpeedButtonAdddManyFiles, BitBtnWM_DropCSVForRename,
                              BitBtnWM_DropAddCopies})
        b->RegisterDropTarget(true);
    for (TPanelWM_Drop* p : {PanelWM_DropCSVForRename, PanelWM_DropCopyCollection}) p->RegisterDropTarget(true);
    if (!groupBoxDropFilter_) groupBoxDropFilter_ = new FileDropFilter(GroupBoxSelectedFiles);
    groupBoxDropFilter_->RegisterDropTarget(true);
    FrameFindDirectoryOutputDir->RegisterDropTarget(true);
}

bool TfrmKorvaneMain::closeRequest() {
    // 1. The viewer page closes one of its pages.
    if (PageControlMain->currentWidget() == TabSheetViewer && PageControlEditor->count() > 0) {
        bool closed = false;
        emit closeViewerPageRequested(&closed);
        if (closed) return false;
    }
    // 2. No run: the modified-project question.
    if (!busy_) {
        project_->setModified(false);  // Cancel ends the request (SilentAbort)
        return true;
    }
    // 3. A run in progress.
    unsigned answer = dialogs_.Message(MsgKind::Warning,
                                       "You are running a batch process in the background. If you quit \r\nnow, "
                                       "it will be stopped \r\nDo you still want to exit?",
                                       kYes | kNo);
    if (answer == kYes) emit stopRunRequested();
    return false;
}

}  // namespace korvane

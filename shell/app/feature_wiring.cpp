// The composition of the shell: the window builds each part over the
// controls it works with, serves the hooks by which a part reaches the
// others and connects the window's own notifications to them. No part
// reaches another except through what is wired here.

#include "shell/app/language_controller.h"
#include "shell/app/install_places.h"
#include "shell/app/main_window.h"
#include "shell/app/program_icon.h"
#include "shell/app/run_binding.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/run/output_ownership.h"
#include "shell/run/target_plan.h"
#include "shell/ui/my_status_bar.h"
#include "shell/viewer/changes_controller.h"
#include "shell/viewer/viewer_controller.h"
#include "shell/wordlists/word_list_controller.h"

namespace korvane {

CollectionsView TfrmKorvaneMain::collectionsView() {
    CollectionsView v;
    v.window = this;
    v.PageControlMain = PageControlMain;
    v.TabSheetNames = TabSheetNames;
    v.PageControlFileCollect = PageControlFileCollect;
    v.TabSheetSelectedFiles = TabSheetSelectedFiles;
    v.TabSheetCSVForRename = TabSheetCSVForRename;
    v.TabSheetCopyCollection = TabSheetCopyCollection;
    v.GroupBoxSelectedFiles = GroupBoxSelectedFiles;
    v.PanelCommonRoot = PanelCommonRoot;
    v.PanelCSVForRename = PanelCSVForRename;
    v.PanelCopyCollection = PanelCopyCollection;
    v.CheckListBoxSelectedFiles = CheckListBoxSelectedFiles;
    v.CheckListBoxCSVForRename = CheckListBoxCSVForRename;
    v.CheckListBoxCopyCollection = CheckListBoxCopyCollection;
    v.CheckListBoxObjects = CheckListBoxObjects;
    v.CheckListBoxControlTags = CheckListBoxControlTags;
    v.CheckBoxRenameVariables = CheckBoxRenameVariables;
    v.CheckBoxCopyAdd = CheckBoxCopyAdd;
    v.SpeedButtonAddFiles = SpeedButtonAddFiles;
    v.SpeedButtonAdddManyFiles = SpeedButtonAdddManyFiles;
    v.BitBtnWM_DropAddCopies = BitBtnWM_DropAddCopies;
    v.BitBtnWM_DropAddManyCopies = BitBtnWM_DropAddManyCopies;
    v.BitBtnWM_DropCSVForRename = BitBtnWM_DropCSVForRename;
    v.PanelWM_DropCSVForRename = PanelWM_DropCSVForRename;
    v.PanelWM_DropCopyCollection = PanelWM_DropCopyCollection;
    v.GroupBoxSlider = GroupBoxSlider;
    v.ProgressBarModules = ProgressBarModules;
    return v;
}

void TfrmKorvaneMain::createCollections() {
    CollectionsHooks h;
    h.outputDirectory = [this] { return project_->outputDirectory(); };
    h.projectDirectory = [this] { return project_->projectDirectory(); };
    h.markModified = [this] { project_->setModified(true); };
    h.sourceFilter = [this] { return language_->applied().sourceFilter; };
    h.copyFilter = [this] { return language_->applied().copyFilter; };
    h.bigDirectoryLimit = [this] { return language_->runControl().bigDirectoryLimit; };
    h.lockOutputDir = [this](const std::string& dir, FolderLock& lock) {
        if (!run_ || !run_->engine().HoldsOutputDir()) LockOutputDir(dir, lock, statusBar());
    };
    h.arrangeTaggedButtons = [this] { arrangeTaggedButtons(); };
    h.itemHeight = [this] { return itemHeight_; };
    h.firstShowDone = [this] { return firstShowDone_; };
    collections_ = new CollectionsController(this, collectionsView(), services(), std::move(h));
    connect(this, &TfrmKorvaneMain::collectionPagesUpdateRequested, collections_,
            [c = collections_] { c->updatePages(); });
    connect(project_, &ProjectController::projectCleared, collections_, [c = collections_] { c->projectCleared(); });
}

ProjectView TfrmKorvaneMain::projectView() {
    ProjectView v;
    v.form = this;
    v.PageControlMain = PageControlMain;
    v.TabSheetNames = TabSheetNames;
    v.TabSheetViewer = TabSheetViewer;
    v.GroupBoxNames = GroupBoxNames;
    v.EditProductName = EditProductName;
    v.EditSystemName = EditSystemName;
    v.transformationBoxes = &transformationBoxes;
    v.CheckBoxRealign = CheckBoxRealign;
    v.CheckBoxRenameVariables = CheckBoxRenameVariables;
    v.markingBoxes = {CheckBoxRefine,       CheckBoxRemoveComp, CheckBoxReplaceNumericConstants,
                      CheckBoxReplaceLiterals, CheckBoxRelocateFiles, CheckBoxRelocateDB,
                      CheckBoxRelocateTP,   CheckBoxRestructure, CheckBoxRefactorNestedBlocks};
    v.ComboBoxRefactorLevel = ComboBoxRefactorLevel;
    v.GroupBoxDataSets = GroupBoxDataSets;
    v.FrameFindDirectoryOutputDir = FrameFindDirectoryOutputDir;
    v.MemoNewFileNames = MemoNewFileNames;
    v.PageControlFileCollect = PageControlFileCollect;
    v.TabSheetSelectedFiles = TabSheetSelectedFiles;
    v.TabSheetCSVForRename = TabSheetCSVForRename;
    v.PanelCommonRoot = PanelCommonRoot;
    v.CheckListBoxSelectedFiles = CheckListBoxSelectedFiles;
    v.CheckListBoxCSVForRename = CheckListBoxCSVForRename;
    v.CheckListBoxCopyCollection = CheckListBoxCopyCollection;
    v.CheckListBoxObjects = CheckListBoxObjects;
    v.CheckListBoxControlTags = CheckListBoxControlTags;
    v.EditCreateWrdList = EditCreateWrdList;
    v.RichEditCTLWords = RichEditCTLWords;
    return v;
}

void TfrmKorvaneMain::createProject() {
    ProjectHooks h;
    h.setProjectCaption = [this](const std::string& name) { setProjectCaption(name); };
    h.arrangeTaggedButtons = [this] { arrangeTaggedButtons(); };
    h.selectedLanguage = [this] { return language_->selectedLanguage(); };
    h.applyLanguage = [this](const std::string& suffix) { language_->ApplyLanguage(suffix); };
    h.toolRoot = [this] { return toolRoot_; };
    h.localToolRoot = [this] { return localToolRoot_; };
    h.setLocalToolRoot = [this](const std::string& root) { localToolRoot_ = root; };
    // Collections are made after the project: a load before then has no
    // collection pages to bring up to date.
    h.loaded = [this] {
        if (!collections_) return;
        collections_->updatePages();
        collections_->ComputeAndShowCommonRoot(CheckListBoxSelectedFiles);
        // What the project's last run changed.
        if (changes_) changes_->refresh();
    };
    project_ = new ProjectController(this, projectView(), services(), std::move(h));
    connect(this, &TfrmKorvaneMain::loadProjectRequested, project_,
            [p = project_](const std::string& path) { p->LoadRequestedProject(path); });
}

WordListsView TfrmKorvaneMain::wordListsView() {
    WordListsView v;
    v.PageControlMain = PageControlMain;
    v.TabSheetNames = TabSheetNames;
    v.TabSheetWordScan = TabSheetWordScan;
    v.PageControlWordLists = PageControlWordLists;
    v.TabSheetControlWords = TabSheetControlWords;
    v.CheckListBoxSelectedFiles = CheckListBoxSelectedFiles;
    v.CheckListBoxObjects = CheckListBoxObjects;
    v.EditObjects = EditObjects;
    v.CheckListBoxControlTags = CheckListBoxControlTags;
    v.PanelCWrd = PanelCWrd;
    v.ComboBoxEditCWrd = ComboBoxEditCWrd;
    v.EditCWrd = EditCWrd;
    v.RichEditCTLWords = RichEditCTLWords;
    v.EditCreateWrdList = EditCreateWrdList;
    v.ComboBoxCreateWrdList = ComboBoxCreateWrdList;
    v.ButtonCreateWrdList = ButtonCreateWrdList;
    v.FrameFindexecFunctab = FrameFindexecFunctab;
    return v;
}

void TfrmKorvaneMain::createWordLists() {
    WordListsHooks h;
    h.markModified = [this] { project_->setModified(true); };
    h.targetList = [this](QObject* sender) { return collections_->targetList(sender); };
    wordLists_ = new WordListController(this, wordListsView(), services(), std::move(h));
    connect(language_, &LanguageController::languageApplied, wordLists_,
            [l = wordLists_] { l->loadDefaultFunctionTable(); });
    connect(project_, &ProjectController::projectCleared, wordLists_, [l = wordLists_] { l->projectCleared(); });
}

void TfrmKorvaneMain::createViewer() {
    ViewerView v;
    v.window = this;
    v.programPath = startup_.programPath;
    v.installedDocDir = InstalledPlacesOf(startup_.programPath).docDir;
    v.PageControlMain = PageControlMain;
    v.TabSheetNames = TabSheetNames;
    v.TabSheetViewer = TabSheetViewer;
    v.PageControlEditor = PageControlEditor;
    v.FrameFindexecEditorGeneral = FrameFindexecEditorGeneral;
    v.MenuShowXmlParameters = MenuShowXmlParameters;
    ViewerHooks h;
    h.outputDirectory = [this] { return project_->outputDirectory(); };
    h.systemName = [this] { return project_->systemName(); };
    h.runOutputDirectory = [this] {
        return RunOutputDirectory(project_->outputDirectory(), project_->projectDirectory());
    };
    h.sourceFilter = [this] { return language_->applied().sourceFilter; };
    h.languagePrefix = [this] { return language_->applied().prefix; };
    h.toolRoot = [this] { return toolRoot_; };
    viewer_ = new ViewerController(v, services(), std::move(h));
    connect(this, &TfrmKorvaneMain::restoreViewerFont, viewer_, [c = viewer_] { c->restoreFont(); });
    connect(this, &TfrmKorvaneMain::closeViewerPageRequested, viewer_, [c = viewer_](bool* closed) {
        const bool done = c->CloseViewerPage();
        if (closed) *closed = done;
    });
    connect(project_, &ProjectController::projectCleared, viewer_, [c = viewer_] { c->projectCleared(); });
    // The desktop registration shows the program's icon also for a program
    // file that has no icon file beside it.
    ProvideProgramIcon(startup_.programPath);
}

void TfrmKorvaneMain::createChanges() {
    ChangesView v;
    v.PageControlMain = PageControlMain;
    v.TabSheetNames = TabSheetNames;
    v.TabSheetChanges = TabSheetChanges;
    ChangesHooks h;
    h.checkedSources = [this] { return CheckedSourceResults(run_->CurrentSetup()); };
    changes_ = new ChangesController(v, std::move(h), this);
    connect(project_, &ProjectController::projectCleared, changes_, [c = changes_] { c->projectCleared(); });
    // After a reengineering run, whatever way it ended (a scan changes no source).
    connect(&run_->engine(), &RunEngine::runEnded, changes_, [this] {
        if (run_->engine().runMode() == RunEngine::RunMode::Reengineering) changes_->refresh();
    });
}

void TfrmKorvaneMain::createControllers() {
    // The language comes first and reaches the project made after it.
    LanguageProjectHooks p;
    p.loading = [this] { return project_ && project_->projectLoading(); };
    p.setModified = [this](bool on) {
        if (project_) project_->setModified(on);
    };
    p.clearModifiedWithoutAsking = [this] {
        if (project_) project_->clearModifiedWithoutAsking();
    };
    p.setDialect = [this](const std::string& dialect) {
        if (project_) project_->setDialect(dialect);
    };
    p.setLanguagePrefix = [this](const std::string& prefix) {
        if (project_) project_->setLanguagePrefix(prefix);
    };
    p.startNewProject = [this](const std::string& prefix) {
        if (project_) project_->StartNewProject(prefix);
    };
    p.leaveOutputDirectory = [this] {
        if (project_) project_->LeaveOutputDirectory();
    };
    language_ = new LanguageController(*this, std::move(p));
    createProject();
    createWordLists();
    createCollections();
    run_ = new RunBinding(*this);
    createViewer();
    createChanges();
}

}  // namespace korvane

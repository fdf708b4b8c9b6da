#pragma once
// TfrmKorvaneMain: the shell's one window. It owns every control, the action
// list, the status bar and the subsystem controllers, and runs the creation,
// first-show, hide and close sequences. What each action does lives with its
// subsystem's controller.

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

#include "shell/app/startup_options.h"
#include "shell/collections/collections_view.h"
#include "shell/project/project_view.h"
#include "shell/project/window_form_adapter.h"
#include "shell/wordlists/word_lists_view.h"
#include "shell/ui/shell_services.h"
#include "shell/ui/window_routines.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QVBoxLayout;

namespace korvane {

enum class ActionId;
class ActionList;
class CheckListBox;
class Dialogs;
class TBitBtnWM_Drop;
class TFrameFindDirectory;
class TFrameFindexec;
class TMyStatusBar;
class TPanelWM_Drop;
class FileDropFilter;

class LanguageController;
class ProjectController;
class CollectionsController;
class RunBinding;
class RunEngine;
class WordListController;
class ViewerController;
class ChangesController;
class RegistrationController;


class TfrmKorvaneMain : public QMainWindow, public FormHost {
    Q_OBJECT
public:
    TfrmKorvaneMain(Dialogs& dialogs, StartupInfo startup, QWidget* parent = nullptr);
    ~TfrmKorvaneMain() override;

    // --- shared services ---
    ActionList& actions() { return *actions_; }
    TMyStatusBar& statusBar() { return *MyStB; }
    Dialogs& dialogs() { return dialogs_; }
    ShellServices services() { return {actions(), statusBar(), dialogs()}; }
    const StartupInfo& startup() const { return startup_; }

    // --- subsystems (children of the window) ---
    LanguageController* language() { return language_; }
    ProjectController* project() { return project_; }
    CollectionsController* collections() { return collections_; }
    // The run engine (nullptr before the controllers exist) and its binding
    // to the window's controls and actions.
    RunEngine* run();
    RunBinding* runBinding() { return run_; }
    WordListController* wordLists() { return wordLists_; }
    ViewerController* viewer() { return viewer_; }
    ChangesController* changes() { return changes_; }

    // --- window-level state ---
    // True while a batch run is in progress (the busy gate reads it).
    bool busy() const { return busy_; }
    void setBusy(bool on) { busy_ = on; }
    const std::string& toolRoot() const { return toolRoot_; }
    const std::string& fileVersion() const { return fileVersion_; }
    // Per-user LocalToolRootDir, carried into and out of project files.
    const std::string& localToolRoot() const { return localToolRoot_; }
    void setLocalToolRoot(const std::string& v) { localToolRoot_ = v; }
    // One entry per designed transformation check box: name=caption.
    std::vector<std::string> designCaptions;
    std::string designCaption(const std::string& checkBoxName) const;
    int itemHeight() const { return itemHeight_; }
    bool firstShowDone() const { return firstShowDone_; }

    // Components owned by the window in creation order, with the class name
    // the form-state format keys on ("TEdit", "TCheckBox", ...).
    using Component = FormHost::Component;
    const std::vector<Component>& components() const override { return components_; }
    QWidget& formWidget() override { return *this; }
    void registerComponent(QObject* object, const char* className);

    // Window caption parts: everything from the last " - " is the language,
    // from the last " [" the project name.
    void setLanguageCaption(const std::string& displayName);
    void setProjectCaption(const std::string& projectName);
    std::string caption() const;
    void setCaption(const std::string& text);

    // Advanced mode: shows or hides the technical page, the Preparation
    // actions and the name map memo.
    void applyAdvancedMode();
    // Re-flows the tagged buttons of Panel3.
    void arrangeTaggedButtons();
    // Shows or hides a page of a tab control.
    static void setTabVisible(QTabWidget* tabs, QWidget* page, bool visible) { SetTabVisible(tabs, page, visible); }
    static bool isTabVisible(QTabWidget* tabs, QWidget* page) { return IsTabVisible(tabs, page); }

    // Runs the first-show sequence now if it has not run (tests and the
    // batch mode use it without showing the window).
    void runFirstShow();

    // The close request: true when the window may close.
    bool closeRequest();

    // Main menu and context menus, for tests and controllers.
    QMenu* mainMenu(const std::string& objectName) const;
    QMenu* popupMenu(const std::string& objectName) const;

    // --- controls (names as the window's components) ---
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QWidget* TabSheetTech = nullptr;
    QWidget* TabSheetViewer = nullptr;
    QWidget* TabSheetWordScan = nullptr;
    QWidget* TabSheetChanges = nullptr;  // "Changes": what the last run changed

    QWidget* PanelBozomek = nullptr;
    QSplitter* SplitterNames = nullptr;
    QWidget* PanelLibraries = nullptr;
    QGroupBox* GroupBoxLanguage = nullptr;
    QRadioButton* RadioButtonPLI = nullptr;
    QRadioButton* RadioButtonASM = nullptr;
    QRadioButton* RadioButtonCOB_COB74 = nullptr;
    QRadioButton* RadioButtonCPP_CPP = nullptr;
    QRadioButton* RadioButtonCOB_COB85 = nullptr;
    QRadioButton* RadioButtonCPP_C = nullptr;
    QRadioButton* RadioButtonCSS = nullptr;
    QRadioButton* RadioButtonJAV = nullptr;
    std::vector<QRadioButton*> languageButtons() const;
    QRadioButton* languageButton(const std::string& suffix) const;

    QGroupBox* GroupBoxNames = nullptr;
    QLineEdit* EditProductName = nullptr;
    QLineEdit* EditSystemName = nullptr;

    QGroupBox* GroupBoxExtras = nullptr;
    QVBoxLayout* extrasLayout = nullptr;
    QCheckBox* CheckBoxCopyAdd = nullptr;
    QCheckBox* CheckBoxRealign = nullptr;
    QCheckBox* CheckBoxRefine = nullptr;
    QCheckBox* CheckBoxRenameVariables = nullptr;
    QCheckBox* CheckBoxRemoveComp = nullptr;
    QCheckBox* CheckBoxReplaceNumericConstants = nullptr;
    QCheckBox* CheckBoxReplaceLiterals = nullptr;
    QCheckBox* CheckBoxRelocateFiles = nullptr;
    QCheckBox* CheckBoxRelocateDB = nullptr;
    QCheckBox* CheckBoxRelocateTP = nullptr;
    QCheckBox* CheckBoxRestructure = nullptr;
    QCheckBox* CheckBoxRefactorNestedBlocks = nullptr;
    QComboBox* ComboBoxRefactorLevel = nullptr;
    // Transformation check boxes in creation order (designed rows first).
    std::vector<QCheckBox*> transformationBoxes;
    QCheckBox* transformationBox(const std::string& objectName) const;
    // Creates a row "Panel"+step / "CheckBox"+step at the end of the group.
    QCheckBox* createTransformationRow(const std::string& stepName);

    QGroupBox* GroupBoxDataSets = nullptr;
    TFrameFindDirectory* FrameFindDirectoryOutputDir = nullptr;
    QPlainTextEdit* MemoNewFileNames = nullptr;

    QWidget* Panel3 = nullptr;
    TBitBtnWM_Drop* SpeedButtonAddFiles = nullptr;
    TBitBtnWM_Drop* SpeedButtonAdddManyFiles = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropAddCopies = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropAddManyCopies = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropCSVForRename = nullptr;
    QPushButton* BitBtnStartScan = nullptr;
    QPushButton* BitBtnStartConversion = nullptr;
    QPushButton* BitBtnCancelRun = nullptr;

    QTabWidget* PageControlFileCollect = nullptr;
    QWidget* TabSheetSelectedFiles = nullptr;
    QWidget* TabSheetCSVForRename = nullptr;
    QWidget* TabSheetCopyCollection = nullptr;
    QGroupBox* GroupBoxSelectedFiles = nullptr;
    QLabel* PanelCommonRoot = nullptr;
    CheckListBox* CheckListBoxSelectedFiles = nullptr;
    TPanelWM_Drop* PanelWM_DropCSVForRename = nullptr;
    QLabel* PanelCSVForRename = nullptr;
    CheckListBox* CheckListBoxCSVForRename = nullptr;
    TPanelWM_Drop* PanelWM_DropCopyCollection = nullptr;
    QLabel* PanelCopyCollection = nullptr;
    CheckListBox* CheckListBoxCopyCollection = nullptr;

    QGroupBox* GroupBoxExternalPrograms = nullptr;
    QVBoxLayout* pickersLayout = nullptr;
    TFrameFindexec* FrameFindexecEditorGeneral = nullptr;
    TFrameFindexec* FrameFindexecScanner = nullptr;
    TFrameFindexec* FrameFindexecFunctab = nullptr;
    // Step and chain pickers by object name ("FindExex"+step, "Chain"+chain).
    std::vector<TFrameFindexec*> stepPickers;
    TFrameFindexec* picker(const std::string& objectName) const;
    // Creates a program picker below the existing ones.
    TFrameFindexec* createPicker(const std::string& objectName, const std::string& label);
    QPlainTextEdit* MemoToolDefaultValues = nullptr;
    QPushButton* ButtonWriteINIFile = nullptr;
    QPushButton* ButtonApplyIni = nullptr;
    // Jobs a chain of file-local steps may be split into; kept per user.
    QSpinBox* SpinEditParallelJobs = nullptr;

    QTabWidget* PageControlEditor = nullptr;

    QPushButton* ButtonLoadWordList = nullptr;
    QPushButton* ButtonSaveWordList = nullptr;
    QPushButton* ButtonStartScan = nullptr;
    QPushButton* ButtonStartConversion = nullptr;
    QTabWidget* PageControlWordLists = nullptr;
    QWidget* TabSheetObjects = nullptr;
    QWidget* TabSheetControlWords = nullptr;
    CheckListBox* CheckListBoxObjects = nullptr;
    QLineEdit* EditObjects = nullptr;
    QLineEdit* EditCreateWrdList = nullptr;
    QComboBox* ComboBoxCreateWrdList = nullptr;
    QPushButton* ButtonCreateWrdList = nullptr;
    QPlainTextEdit* RichEditCTLWords = nullptr;
    CheckListBox* CheckListBoxControlTags = nullptr;
    QWidget* PanelCWrd = nullptr;
    QComboBox* ComboBoxEditCWrd = nullptr;
    QLineEdit* EditCWrd = nullptr;

    QGroupBox* GroupBoxSlider = nullptr;
    QProgressBar* ProgressBarModules = nullptr;
    TMyStatusBar* MyStB = nullptr;

    // Menu items without an action of the list.
    QAction* MenuShowAllActions = nullptr;   // "Show all actions", mirrors ActShowAdvanced
    QAction* MenuShow83Names = nullptr;      // "Show 8.3 names"
    QAction* MenuShowXmlParameters = nullptr;  // "Show XML parameter file in a viewer tab"

signals:
    // Emitted after the first-show sequence ran (also when it ended early).
    void firstShown();
    // Hooks of the start-up and close sequences that other subsystems serve.
    void restoreViewerFont();
    void loadProjectRequested(const std::string& path);
    void collectionPagesUpdateRequested();
    void closeViewerPageRequested(bool* closed);
    void stopRunRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildLayout();
    void buildNamesPage();
    void buildLibraryPanel(QWidget* parent);
    void buildTechPage();
    void buildViewerPage();
    void buildWordScanPage();
    void buildMenus();
    void bindButton(QPushButton* button, ActionId id);
    void installListShortcuts(QWidget* list);
    void connectCommonHandlers();
    void runCreationSequence();
    void createDesignedPickers();
    void firstShowSequence();
    void registerDropTargets();

    Dialogs& dialogs_;
    StartupInfo startup_;
    ActionList* actions_ = nullptr;
    std::vector<Component> components_;
    std::vector<QMenu*> menus_;
    FileDropFilter* groupBoxDropFilter_ = nullptr;
    bool busy_ = false;
    bool firstShowDone_ = false;
    bool userPageSwitch_ = false;
    std::string toolRoot_;
    std::string fileVersion_;
    std::string localToolRoot_;
    int itemHeight_ = 0;

    LanguageController* language_ = nullptr;
    ProjectController* project_ = nullptr;
    CollectionsController* collections_ = nullptr;
    RunBinding* run_ = nullptr;
    WordListController* wordLists_ = nullptr;
    ViewerController* viewer_ = nullptr;
    ChangesController* changes_ = nullptr;

    // feature_wiring.cpp: each part over its controls, with its hooks.
    void createControllers();
    CollectionsView collectionsView();
    void createCollections();
    ProjectView projectView();
    void createProject();
    WordListsView wordListsView();
    void createWordLists();
    void createViewer();
    void createChanges();
};

}  // namespace korvane

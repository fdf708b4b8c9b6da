#include "shell/project/project_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTabWidget>

#include <climits>
#include <stdexcept>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shell/app/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/collections/check_list.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/output_directory_field.h"
#include "shell/project/project_file.h"
#include "shell/project/project_rules.h"
#include "shell/project/stream_to_ini.h"
#include "shell/project/window_form_adapter.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

constexpr int kNameLength = 8;
// The names and paths of the project are bytes; the fields show them.
std::string Text(const QString& s) { return BytesFromQString(s); }

}  // namespace

ProjectController::ProjectController(TfrmKorvaneMain& window) : QObject(&window), w_(window) {
    outputDir_ = new OutputDirectoryField(w_, *this);

    ActionList& a = w_.actions();
    a.setHandler("ActNewProject", [this](QObject*) { NewProject(); });
    a.setHandler("ActOpenProject", [this](QObject*) { OpenProject(); });
    a.setHandler("ActSaveProject", [this](QObject*) { SaveProject(false); });
    a.setHandler("ActSaveProjectAs", [this](QObject*) { SaveProject(true); });

    // The project named on the command line, loaded by the first show. A
    // failed load has been reported; it goes no further than this handler,
    // so that the other receivers of the request still run.
    connect(&w_, &TfrmKorvaneMain::loadProjectRequested, this, [this](const std::string& path) {
        try {
            LoadProject(path);
            ResumeAfterLoad();
        } catch (const SilentAbort&) {
        } catch (const Error& e) {
            w_.statusBar().ShowError(e.what(), true);
        }
    });

    // The name fields: typing copies the text into the name unchecked,
    // leaving a field with text validates it. At most eight characters are
    // typed, while a longer name set by the program (from a project file) is
    // shown whole.
    for (QLineEdit* edit : {w_.EditProductName, w_.EditSystemName}) {
        edit->setMaxLength(32767);
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("^.{0,%1}$").arg(kNameLength)), edit));
        edit->installEventFilter(this);
    }
    connect(w_.EditProductName, &QLineEdit::textEdited, this,
            [this](const QString& t) { productName_ = Text(t); });
    connect(w_.EditSystemName, &QLineEdit::textEdited, this,
            [this](const QString& t) { systemName_ = Text(t); });

    connectModifiedMarks();
}

// Changes of project content that mark the project modified: the designed
// transformation rows and the refactor level. The copy and rename rows and
// the check marks of the lists are handled by the collections.
void ProjectController::connectModifiedMarks() {
    auto mark = [this] { RunGuarded([this] { setModified(true); }); };
    for (QCheckBox* box : {w_.CheckBoxRefine, w_.CheckBoxRemoveComp, w_.CheckBoxReplaceNumericConstants,
                           w_.CheckBoxReplaceLiterals, w_.CheckBoxRelocateFiles, w_.CheckBoxRelocateDB,
                           w_.CheckBoxRelocateTP, w_.CheckBoxRestructure, w_.CheckBoxRefactorNestedBlocks})
        connect(box, &QCheckBox::toggled, this, mark);
    connect(w_.ComboBoxRefactorLevel, &QComboBox::currentIndexChanged, this, mark);
}

bool ProjectController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == w_.EditProductName || watched == w_.EditSystemName)) {
        // Only a move to another control of the window counts as leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* edit = static_cast<QLineEdit*>(watched);
            const std::string text = Text(edit->text());
            if (!text.empty()) {
                RunGuarded([&] {
                    if (edit == w_.EditProductName)
                        SetProductName(text);
                    else
                        SetSystemName(text);
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// --- modified flag -----------------------------------------------------------

void ProjectController::setModified(bool value) {
    if (modified_ && !value) {
        unsigned answer = w_.dialogs().Message(MsgKind::Warning, kModifiedQuestion, kYes | kNo | kCancel);
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

// --- values -------------------------------------------------------------------

void ProjectController::setName(std::string& field, const std::string& text, bool product, bool fromFile) {
    QLineEdit* edit = product ? w_.EditProductName : w_.EditSystemName;
    const char* refusal = product ? "Product name missing or incorrect" : "System name name missing or incorrect";
    if (text == "*") {
        field.clear();
    } else if (IsAcceptableName(text)) {
        field = text;
    } else if (fromFile && !IsFileNameSafe(text)) {
        // A file's name that could not stand in a file name: refused, and
        // the project opens without it.
        field.clear();
        loadErrors_.push_back(refusal);
    } else {
        w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
        edit->setFocus();
        w_.statusBar().ShowError(refusal, false);
    }
    projectName_.clear();
    const QString shown = QStringFromBytes(field);
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
        projectName_ = FormProjectName(productName_, systemName_);
    }
    return projectName_;
}

void ProjectController::SetProjectName(const std::string& path) {
    projectName_ = ProjectNameFromPath(path);
    w_.setProjectCaption(projectName_);
}

void ProjectController::SetProjectDirectory(const std::string& path) {
    projectDirectory_ = ExtractFilePath(path);
    WriteSettingString("LastPosition" + languagePrefix_, projectDirectory_);
}

std::string ProjectController::outputDirectory() const { return w_.FrameFindDirectoryOutputDir->FieldText(); }

void ProjectController::ConnectOutputDirectoryPicker() { outputDir_->ConnectPicker(); }

// --- the new-project state --------------------------------------------------------

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
    // The viewer closes its pages, the run forgets its name map.
    emit projectCleared();
    TfrmKorvaneMain::setTabVisible(w_.PageControlMain, w_.TabSheetViewer, false);

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

// --- new, open, load ----------------------------------------------------------------

void ProjectController::NewProject() {
    setModified(false);
    ClearProject();
    w_.language()->ApplyLanguage(w_.language()->selectedLanguage());
}

void ProjectController::OpenProject() {
    setModified(false);
    ClearProject();
    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
    FileDialogOptions o;
    o.title = kOpenTitle;
    o.filter = ProjectFileFilter();
    o.defaultExt = TextAfterFirst(kProjectFileExtension, ".");
    o.initialDir = projectDirectory_;
    o.mustExist = true;
    std::optional<std::vector<std::string>> chosen = w_.dialogs().OpenFiles(o);
    if (!chosen || chosen->empty()) {
        w_.statusBar().ShowError(kOpenCancelled, false);
        return;
    }
    LoadProject(chosen->front());
    ResumeAfterLoad();
}

void ProjectController::LoadProject(const std::string& path) {
    // In every case the load ends with the flags cleared.
    struct Done {
        ProjectController* p;
        ~Done() {
            p->clearModifiedWithoutAsking();
            p->projectLoad_ = false;
            p->loadErrors_.clear();
            p->loadWarnings_.clear();
        }
    } done{this};
    loadErrors_.clear();
    loadWarnings_.clear();
    try {
        loadSteps(path);
    } catch (const std::logic_error&) {
        throw;  // a programming error, not a bad file
    } catch (...) {
        reportLoadNotes();
        w_.statusBar().AddError(kLoadError, false);
        return;
    }
    reportLoadNotes();
}

void ProjectController::reportLoadNotes() {
    for (const std::string& text : loadErrors_) w_.statusBar().AddError(text, true);
    for (const std::string& text : loadWarnings_) w_.statusBar().AddWarning(text);
    loadErrors_.clear();
    loadWarnings_.clear();
}

int ProjectController::loadNumber(const std::string& key, const std::string& text, int lo, int hi, int def) {
    const RangedNumber n = ProjectNumberInRange(text, lo, hi, def);
    if (n.outOfRange) loadWarnings_.push_back(Format(kNumberOutOfRange, key.c_str(), text.c_str(), lo, hi, def));
    return n.value;
}

void ProjectController::resolveLoadedPaths(const std::string& projectFolder) {
    const auto resolve = [&](const std::string& path) { return AbsolutePathFrom(projectFolder, path); };
    TFrameFindDirectory* out = w_.FrameFindDirectoryOutputDir;
    if (const std::string text = out->FieldText(); !text.empty() && resolve(text) != text)
        out->SetFieldText(resolve(text));
    if (!projectDirectory_.empty() && !IsAbsolutePath(projectDirectory_))
        SetProjectDirectory(IncludeTrailingSep(resolve(projectDirectory_)));
    for (CheckListBox* box :
         {w_.CheckListBoxSelectedFiles, w_.CheckListBoxCSVForRename, w_.CheckListBoxCopyCollection}) {
        CheckList& list = box->checkList();
        std::vector<CheckEntry> entries = list.entries();
        bool changed = false;
        for (CheckEntry& e : entries) {
            if (e.text.empty()) continue;
            std::string path = resolve(e.text);
            if (path == e.text) continue;
            e.text = std::move(path);
            changed = true;
        }
        if (changed) list.assign(std::move(entries));
    }
}

void ProjectController::loadSteps(const std::string& path) {
    using namespace project_key;
    TStreamToIni ini;
    ini.LoadFromFile(path);
    // The folder the file's relative paths start from.
    const std::string projectFolder = ExtractFileDir(ExpandFileName(path));

    // The stored language; one that names no button leaves the selected
    // language as it is.
    const std::string dialect = ini.ReadValue(kLanguageVersion);
    w_.language()->ApplyLanguage(LanguageSuffix(ini.ReadValue(kProjectVersion), dialect));
    dialect_ = dialect;
    projectLoad_ = true;

    w_.setLocalToolRoot(ini.ReadValue(kLocalToolRootDir));
    SetProjectName(ini.ReadValue(kProjectName));
    setName(systemName_, ini.ReadValue(kSystemName), false, true);
    setName(productName_, ini.ReadValue(kProductName), true, true);
    testName_ = ini.ReadValue(kTestName);
    setModified(true);
    objectName_ = ini.ReadValue(kObjectName);
    setModified(true);

    SetProjectDirectory(ini.ReadValue(kProjectDirectory));
    maxDirDepth_ = loadNumber(kMaxDirDepth, ini.ReadValue(kMaxDirDepth), 0, kMaxDirDepthLimit, kDefaultMaxDirDepth);
    batchRunning_ = ini.ReadValue(kBatchRunning) == "Y";
    numberOfSourceFiles_ = loadNumber(kNumberOfSourceFiles, ini.ReadValue(kNumberOfSourceFiles), 0, INT_MAX, 0);

    WindowFormAdapter window(w_);
    ini.LoadFormState(window);
    resolveLoadedPaths(projectFolder);

    // A row whose step program is missing stays off, whatever the file says.
    for (QCheckBox* box : w_.transformationBoxes)
        if (!box->parentWidget()->isHidden() && !box->isEnabled()) box->setChecked(false);
    w_.CheckBoxRealign->setEnabled(false);
    w_.CheckBoxRealign->setChecked(true);

    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
    w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetSelectedFiles);
    if (CollectionsController* collections = w_.collections()) {
        collections->updatePages();
        collections->ComputeAndShowCommonRoot(w_.CheckListBoxSelectedFiles);
    }
}

void ProjectController::ResumeAfterLoad() {
    if (!batchRunning_) return;
    w_.actions().runHandler("ActRename");
    batchRunning_ = false;
    setModified(true);
}

// --- save -----------------------------------------------------------------------------

ProjectProperties ProjectController::properties() {
    ProjectProperties p;
    p.projectName = GetProjectName();
    p.productName = productName_;
    p.systemName = systemName_;
    p.batchRunning = batchRunning_;
    p.projectDirectory = projectDirectory_;
    p.projectVersion = languagePrefix_;
    p.languageVersion = dialect_;
    p.toolRootDir = w_.toolRoot();
    p.localToolRootDir = w_.localToolRoot();
    p.maxDirDepth = maxDirDepth_;
    p.numberOfSourceFiles = numberOfSourceFiles_;
    return p;
}

void ProjectController::SaveProject(bool saveAs) {
    std::string target;
    bool ask = saveAs;
    if (!saveAs) {
        const std::string dir =
            projectDirectory_.empty() ? std::string() : IncludeTrailingSep(projectDirectory_);
        target = dir + GetProjectName() + kProjectFileExtension;
        ask = !FileExists(target);
    }
    if (ask) {
        FileDialogOptions o;
        o.title = kSaveTitle;
        o.filter = ProjectFileFilter();
        o.defaultExt = TextAfterFirst(kProjectFileExtension, ".");
        o.initialDir = projectDirectory_;
        o.fileName = GetProjectName();
        o.mustExist = false;
        o.overwritePrompt = true;
        std::optional<std::string> chosen = w_.dialogs().SaveFile(o);
        if (!chosen) {
            w_.statusBar().ShowError(kSaveCancelled, false);
            return;
        }
        SetProjectDirectory(*chosen);
        SetProjectName(*chosen);
        target = *chosen;
    }
    WindowFormAdapter window(w_);
    try {
        SaveProjectFile(target, window, properties());
    } catch (const Error& e) {
        // The old file stays as it was and the project stays modified.
        w_.statusBar().ShowError(e.what(), false);
    }
    clearModifiedWithoutAsking();
}

}  // namespace korvane

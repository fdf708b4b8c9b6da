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

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/project/output_directory_field.h"
#include "shell/project/project_file.h"
#include "shell/project/project_rules.h"
#include "shell/project/stream_to_ini.h"
#include "shell/project/window_form_adapter.h"
#include "shell/ui/action_list.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"

namespace korvane {
namespace {

constexpr int kNameLength = 8;
// The names and paths of the project are bytes; the fields show them.
std::string Text(const QString& s) { return BytesFromQString(s); }

}  // namespace

ProjectController::ProjectController(QObject* parent, const ProjectView& view, ShellServices services,
                                     ProjectHooks hooks)
    : QObject(parent), v_(view), s_(services), hooks_(std::move(hooks)) {
    outputDir_ = new OutputDirectoryField(v_, s_, *this);

    ActionList& a = s_.actions;
    a.setHandler(ActionId::NewProject, [this](QObject*) { NewProject(); });
    a.setHandler(ActionId::OpenProject, [this](QObject*) { OpenProject(); });
    a.setHandler(ActionId::SaveProject, [this](QObject*) { SaveProject(false); });
    a.setHandler(ActionId::SaveProjectAs, [this](QObject*) { SaveProject(true); });

    // The name fields: typing copies the text into the name unchecked,
    // leaving a field with text validates it. At most eight characters are
    // typed, while a longer name set by the program (from a project file) is
    // shown whole.
    for (QLineEdit* edit : {v_.EditProductName, v_.EditSystemName}) {
        edit->setMaxLength(32767);
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("^.{0,%1}$").arg(kNameLength)), edit));
        edit->installEventFilter(this);
    }
    connect(v_.EditProductName, &QLineEdit::textEdited, this,
            [this](const QString& t) { productName_ = Text(t); });
    connect(v_.EditSystemName, &QLineEdit::textEdited, this,
            [this](const QString& t) { systemName_ = Text(t); });

    connectModifiedMarks();
}

void ProjectController::LoadRequestedProject(const std::string& path) {
    try {
        LoadProject(path);
        ResumeAfterLoad();
    } catch (const SilentAbort&) {
    } catch (const Error& e) {
        s_.statusBar.ShowError(e.what(), true);
    }
}

// Changes of project content that mark the project modified: the designed
// transformation rows and the refactor level. The copy and rename rows and
// the check marks of the lists are handled by the collections.
void ProjectController::connectModifiedMarks() {
    auto mark = [this] { RunGuarded([this] { setModified(true); }); };
    for (QCheckBox* box : v_.markingBoxes) connect(box, &QCheckBox::toggled, this, mark);
    connect(v_.ComboBoxRefactorLevel, &QComboBox::currentIndexChanged, this, mark);
}

bool ProjectController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == v_.EditProductName || watched == v_.EditSystemName)) {
        // Only a move to another control of the window counts as leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* edit = static_cast<QLineEdit*>(watched);
            const std::string text = Text(edit->text());
            if (!text.empty()) {
                RunGuarded([&] {
                    if (edit == v_.EditProductName)
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
        unsigned answer = s_.dialogs.Message(MsgKind::Warning, kModifiedQuestion, kYes | kNo | kCancel);
        if (answer == kYes) {
            s_.actions[ActionId::SaveProject]->setEnabled(true);
            s_.actions.runHandler(ActionId::SaveProject);
        } else if (answer == kCancel) {
            s_.statusBar.ShowError("Action cancelled", false);
        }
    }
    modified_ = value;
    s_.actions[ActionId::SaveProject]->setEnabled(value);
    emit modifiedChanged(value);
}

void ProjectController::clearModifiedWithoutAsking() {
    modified_ = false;
    s_.actions[ActionId::SaveProject]->setEnabled(false);
    emit modifiedChanged(false);
}

// --- values -------------------------------------------------------------------

void ProjectController::setName(std::string& field, const std::string& text, bool product, bool fromFile) {
    QLineEdit* edit = product ? v_.EditProductName : v_.EditSystemName;
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
        v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
        edit->setFocus();
        s_.statusBar.ShowError(refusal, false);
    }
    projectName_.clear();
    const QString shown = QStringFromBytes(field);
    if (edit->text() != shown) edit->setText(shown);
    setModified(true);
    s_.statusBar.ClearMessages();
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
    hooks_.setProjectCaption(projectName_);
}

void ProjectController::SetProjectDirectory(const std::string& path) {
    projectDirectory_ = ExtractFilePath(path);
    WriteSettingString("LastPosition" + languagePrefix_, projectDirectory_);
}

std::string ProjectController::outputDirectory() const { return v_.FrameFindDirectoryOutputDir->FieldText(); }

void ProjectController::ConnectOutputDirectoryPicker() { outputDir_->ConnectPicker(); }

// --- the new-project state --------------------------------------------------------

void ProjectController::ClearProject() {
    productName_.clear();
    systemName_.clear();
    v_.EditProductName->clear();
    v_.EditSystemName->clear();
    v_.PanelCommonRoot->clear();
    v_.EditCreateWrdList->clear();
    for (CheckListBox* l : {v_.CheckListBoxSelectedFiles, v_.CheckListBoxCSVForRename, v_.CheckListBoxObjects,
                            v_.CheckListBoxControlTags})
        l->checkList().clear();
    v_.RichEditCTLWords->clear();
    v_.MemoNewFileNames->clear();
    // The viewer closes its pages, the run forgets its name map.
    emit projectCleared();
    SetTabVisible(v_.PageControlMain, v_.TabSheetViewer, false);

    for (QCheckBox* box : *v_.transformationBoxes)
        if (!box->parentWidget()->isHidden()) box->setChecked(box->isEnabled());
    v_.CheckBoxRealign->setEnabled(false);
    v_.CheckBoxRealign->setChecked(true);
    v_.ComboBoxRefactorLevel->setCurrentIndex(v_.ComboBoxRefactorLevel->count() - 1);

    const bool rename = v_.CheckBoxRenameVariables->isChecked();
    s_.actions[ActionId::AddCSVFiles]->setEnabled(rename);
    s_.actions[ActionId::AddCSVFiles]->setVisible(rename);
    SetTabVisible(v_.PageControlFileCollect, v_.TabSheetCSVForRename, rename);
    hooks_.arrangeTaggedButtons();

    SetProjectName("*");
    v_.FrameFindDirectoryOutputDir->Edit->clear();
    v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
    clearModifiedWithoutAsking();
}

void ProjectController::StartNewProject(const std::string& prefix) {
    setMaxDirDepth(100);
    ClearProject();
    SetProjectDirectory(ReadSettingString("LastPosition" + prefix, ""));
    if (projectDirectory_.empty() || !DirectoryExists(projectDirectory_))
        SetProjectDirectory(IncludeTrailingSep(PersonalFolder()));
    v_.FrameFindDirectoryOutputDir->SetFieldText(projectDirectory_);
}

void ProjectController::LeaveOutputDirectory() {
    v_.FrameFindDirectoryOutputDir->SetModified(true);
    v_.FrameFindDirectoryOutputDir->RunLeaveHandling();
}

// --- new, open, load ----------------------------------------------------------------

void ProjectController::NewProject() {
    setModified(false);
    ClearProject();
    hooks_.applyLanguage(hooks_.selectedLanguage());
}

void ProjectController::OpenProject() {
    setModified(false);
    ClearProject();
    v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
    FileDialogOptions o;
    o.title = kOpenTitle;
    o.filter = ProjectFileFilter();
    o.defaultExt = TextAfterFirst(kProjectFileExtension, ".");
    o.initialDir = projectDirectory_;
    o.mustExist = true;
    std::optional<std::vector<std::string>> chosen = s_.dialogs.OpenFiles(o);
    if (!chosen || chosen->empty()) {
        s_.statusBar.ShowError(kOpenCancelled, false);
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
        s_.statusBar.AddError(kLoadError, false);
        return;
    }
    reportLoadNotes();
}

void ProjectController::reportLoadNotes() {
    for (const std::string& text : loadErrors_) s_.statusBar.AddError(text, true);
    for (const std::string& text : loadWarnings_) s_.statusBar.AddWarning(text);
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
    TFrameFindDirectory* out = v_.FrameFindDirectoryOutputDir;
    if (const std::string text = out->FieldText(); !text.empty() && resolve(text) != text)
        out->SetFieldText(resolve(text));
    if (!projectDirectory_.empty() && !IsAbsolutePath(projectDirectory_))
        SetProjectDirectory(IncludeTrailingSep(resolve(projectDirectory_)));
    for (CheckListBox* box :
         {v_.CheckListBoxSelectedFiles, v_.CheckListBoxCSVForRename, v_.CheckListBoxCopyCollection}) {
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

    // The stored language, read as a project read without a window reads
    // it; one that names no button leaves the selected language as it is.
    const ProjectLanguage language = ReadProjectLanguage(ini);
    hooks_.applyLanguage(language.suffix);
    dialect_ = language.dialect;
    projectLoad_ = true;

    hooks_.setLocalToolRoot(ini.ReadValue(kLocalToolRootDir));
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

    WindowFormAdapter window(*v_.form);
    ini.LoadFormState(window);
    resolveLoadedPaths(projectFolder);

    // A row whose step program is missing stays off, whatever the file says.
    for (QCheckBox* box : *v_.transformationBoxes)
        if (!box->parentWidget()->isHidden() && !box->isEnabled()) box->setChecked(false);
    v_.CheckBoxRealign->setEnabled(false);
    v_.CheckBoxRealign->setChecked(true);

    v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
    v_.PageControlFileCollect->setCurrentWidget(v_.TabSheetSelectedFiles);
    hooks_.loaded();
}

void ProjectController::ResumeAfterLoad() {
    if (!batchRunning_) return;
    s_.actions.runHandler(ActionId::Rename);
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
    p.toolRootDir = hooks_.toolRoot();
    p.localToolRootDir = hooks_.localToolRoot();
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
        std::optional<std::string> chosen = s_.dialogs.SaveFile(o);
        if (!chosen) {
            s_.statusBar.ShowError(kSaveCancelled, false);
            return;
        }
        SetProjectDirectory(*chosen);
        SetProjectName(*chosen);
        target = *chosen;
    }
    WindowFormAdapter window(*v_.form);
    try {
        SaveProjectFile(target, window, properties());
    } catch (const Error& e) {
        // The old file stays as it was and the project stays modified.
        s_.statusBar.ShowError(e.what(), false);
    }
    clearModifiedWithoutAsking();
}

}  // namespace korvane

#include "shell/app/run_binding.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>

#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/word_list_controller.h"

namespace korvane {

namespace {

std::string Text(const QString& s) { return s.toUtf8().toStdString(); }

// The step name of a transformation check box ("CheckBox" + name).
std::string StepNameOf(const QCheckBox* box) {
    const std::string name = Text(box->objectName());
    return StartsWithStr("CheckBox", name) ? name.substr(8) : name;
}

}  // namespace

RunSetup RunSetupFromWindow(TfrmKorvaneMain& w) {
    RunSetup s;
    ProjectController& project = *w.project();
    LanguageController& language = *w.language();
    s.productName = BytesFromQString(w.EditProductName->text());
    s.systemName = BytesFromQString(w.EditSystemName->text());
    s.projectProductName = project.productName();
    s.projectSystemName = project.systemName();
    s.projectDirectory = project.projectDirectory();
    s.outputDirectory = project.outputDirectory();
    s.maxDirDepth = project.maxDirDepth();
    s.dialect = project.dialect();
    s.languagePrefix = project.languagePrefix();
    s.sources = w.CheckListBoxSelectedFiles->checkList().entries();
    s.copyMembers = w.CheckListBoxCopyCollection->checkList().entries();
    s.renameFiles = w.CheckListBoxCSVForRename->checkList().entries();
    s.copyAdd = w.CheckBoxCopyAdd->isChecked();
    s.renameVariables = w.CheckBoxRenameVariables->isChecked();
    s.refactorLevelIndex = w.ComboBoxRefactorLevel->currentIndex();
    s.wordScanShown = TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetWordScan);

    s.language = language.applied();
    s.runControl = language.runControl();
    s.stepRegistry = language.stepRegistry();
    for (QCheckBox* box : w.transformationBoxes) {
        RunStep step;
        step.name = StepNameOf(box);
        step.parameterName = language.rowParameterName(step.name);
        step.shown = !box->parentWidget()->isHidden();
        step.checked = box->isChecked();
        if (TFrameFindexec* picker = w.picker("FindExex" + step.name)) {
            step.hasPicker = true;
            step.programPath = picker->ProgramPath();
        }
        step.resultExtension = language.stepResultExtension(step.name);
        step.fileLocal = language.stepFileLocal(step.name);
        s.steps.push_back(std::move(step));
    }
    for (TFrameFindexec* picker : w.stepPickers) {
        const std::string name = Text(picker->objectName());
        if (StartsWithStr("Chain", name)) s.chains.push_back({name.substr(5), picker->ProgramPath()});
    }
    s.scannerProgram = w.FrameFindexecScanner->ProgramPath();
    s.parallelJobs = w.SpinEditParallelJobs->value();
    return s;
}

RunBinding::RunBinding(TfrmKorvaneMain& window)
    : QObject(&window),
      w_(window),
      engine_(std::make_unique<RunEngine>(*this, *this, window.statusBar(), window.dialogs(), launcher_)) {
    setObjectName("RunBinding");
    bindActions();
    // Clearing the project empties the name map (the memo is emptied by the
    // project itself): results are collected only for a run prepared since.
    if (ProjectController* project = w_.project())
        connect(project, &ProjectController::projectCleared, this, [this] { engine_->ForgetNameMap(); });
    // The close request's Yes during a run.
    connect(&w_, &TfrmKorvaneMain::stopRunRequested, this, [this] {
        if (engine_->BatchRunning()) RunGuarded([this] { engine_->StopRequested(); });
    });
}

// The engine goes first: a tool still running is killed, and its end
// touches nothing of the window.
RunBinding::~RunBinding() { engine_.reset(); }

void RunBinding::bindActions() {
    ActionList& a = w_.actions();
    a.setHandler(ActionId::StartConversion, [this](QObject*) {
        engine_->setRunMode(RunEngine::RunMode::Reengineering);
        w_.actions().execute(ActionId::RunTool);
    });
    a.setHandler(ActionId::StartScan, [this](QObject*) {
        engine_->setRunMode(RunEngine::RunMode::Scan);
        w_.actions().execute(ActionId::RunTool);
    });
    a.setHandler(ActionId::RunTool, [this](QObject*) { engine_->StartRun(); });
    a.setHandler(ActionId::CancelRun, [this](QObject*) {
        if (CollectionsController* collections = w_.collections()) collections->setCancelRequested(true);
        engine_->Cancel();
    });
    a.setHandler(ActionId::Rename, [this](QObject*) { engine_->Collect(); });
}

void RunBinding::ProgressShown(bool shown) { w_.GroupBoxSlider->setVisible(shown); }

void RunBinding::ProgressRange(int position, int maximum) {
    w_.ProgressBarModules->setMaximum(maximum);
    w_.ProgressBarModules->setValue(position);
}

void RunBinding::ProgressCaption(const std::string& caption) {
    w_.GroupBoxSlider->setTitle(QString::fromUtf8(caption));
}

void RunBinding::Working(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void RunBinding::NameTaken(bool product, const std::string& name) {
    if (product)
        w_.project()->SetProductName(name);
    else
        w_.project()->SetSystemName(name);
}

void RunBinding::ProjectNameFormed(const std::string& projectName) { w_.project()->SetProjectName(projectName); }

void RunBinding::NumberOfSources(int count) { w_.project()->setNumberOfSourceFiles(count); }

void RunBinding::OutputDirResolved(const std::string& outputDir) {
    w_.FrameFindDirectoryOutputDir->SetFieldText(outputDir);
}

void RunBinding::CommonRootComputed(const std::string&) {
    w_.collections()->ComputeAndShowCommonRoot(w_.CheckListBoxSelectedFiles);
}

void RunBinding::CopyLibraryNeeded() { w_.collections()->deriveCopyLibraryFolder(true); }

void RunBinding::NameMapShown(const std::vector<std::string>& lines) {
    QStringList shown;
    shown.reserve(int(lines.size()));
    for (const std::string& line : lines) shown << QString::fromUtf8(line);
    w_.MemoNewFileNames->setPlainText(shown.join('\n'));
}

void RunBinding::WriteRunWordList(const std::string& outputDir) { w_.wordLists()->WriteRunWordList(outputDir); }

void RunBinding::BatchRunningChanged(bool on) {
    if (ProjectController* project = w_.project()) project->setBatchRunning(on);
    w_.setBusy(on);
}

void RunBinding::ProjectModified() { w_.project()->setModified(true); }

void RunBinding::CancelCommand(bool on) {
    QAction* cancel = w_.actions()[ActionId::CancelRun];
    cancel->setEnabled(on);
    cancel->setVisible(on);
    if (on) w_.arrangeTaggedButtons();
}

void RunBinding::Hint(RunHint hint) {
    switch (hint) {
    case RunHint::NamesPage: w_.PageControlMain->setCurrentWidget(w_.TabSheetNames); break;
    case RunHint::ProductNameField: w_.EditProductName->setFocus(); break;
    case RunHint::SystemNameField: w_.EditSystemName->setFocus(); break;
    case RunHint::OutputDirField: w_.FrameFindDirectoryOutputDir->Edit->setFocus(); break;
    case RunHint::SourcesTab: w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetSelectedFiles); break;
    case RunHint::CsvTab: w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetCSVForRename); break;
    }
}

void RunBinding::LogsAvailable(bool on) {
    ActionList& a = w_.actions();
    a[ActionId::ViewProductLog]->setEnabled(on);
    a[ActionId::ViewConsoleLog]->setEnabled(on);
}

void RunBinding::ShowLogs(bool consoleLog) {
    ActionList& a = w_.actions();
    a.execute(ActionId::ViewProductLog);
    if (consoleLog) a.execute(ActionId::ViewConsoleLog);
}

void RunBinding::ReloadWordListsAfterScan(const std::string& outputDir) {
    w_.wordLists()->ReloadAfterScan(outputDir);
}

}  // namespace korvane

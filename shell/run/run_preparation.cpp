// The three preparation phases of a run: PrepareRun (names, work area, step
// queue, parameter file and name map), CopyRunFiles (cleaning and the
// working copies) and MergeRenameDirectives (names.csv).

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>

#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/run/parameter_file.h"
#include "shell/run/rename_directives.h"
#include "shell/run/run_controller.h"
#include "shell/run/step_queue.h"
#include "shell/run/target_plan.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
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

// The hourglass for the duration of a phase, back also when it ends by an error.
class HourglassCursor {
public:
    HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourglassCursor() { QApplication::restoreOverrideCursor(); }
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

}  // namespace

void RunController::validateNames() {
    ProjectController& project = *w_.project();
    project.SetSystemName(BytesFromQString(w_.EditSystemName->text()));
    project.SetProductName(BytesFromQString(w_.EditProductName->text()));
    // Formed afresh: a project name loaded from a file never reaches a run.
    names_ = MakeRunNames(project.productName(), project.systemName());
    project.SetProjectName(names_.projectName);
}

void RunController::PrepareRun() {
    validateNames();

    numberOfSources_ = w_.CheckListBoxSelectedFiles->checkList().checkedCount();
    w_.project()->setNumberOfSourceFiles(numberOfSources_);
    if (numberOfSources_ == 0) {
        w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
        w_.statusBar().ShowError("You haven't selected any files yet", false);
    }

    // Without an output directory every path of the work area would hang off
    // the file-system root and the cleaning would start there: refused.
    // A relative output directory is taken from the project's folder, never
    // from the current directory; without one it counts as no output directory.
    const std::string field = w_.project()->outputDirectory();
    const std::string outputDir = RunOutputDirectory(field, w_.project()->projectDirectory());
    if (!outputDir.empty() && outputDir != field) w_.FrameFindDirectoryOutputDir->SetFieldText(outputDir);
    if (outputDir.empty()) {
        w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
        w_.FrameFindDirectoryOutputDir->Edit->setFocus();
    }
    RequireOutputDir(outputDir, w_.statusBar());

    commonRoot_ = w_.collections()->ComputeAndShowCommonRoot(w_.CheckListBoxSelectedFiles);
    checkTargetPlan(outputDir);
    claimOutputDir(outputDir);

    const bool copyAdd = w_.CheckBoxCopyAdd->isChecked();
    area_ = PrepareWorkArea(outputDir, copyAdd, w_.statusBar());
    if (copyAdd) w_.collections()->deriveCopyLibraryFolder(true);

    buildStepQueue();

    nameMap_.clear();
    writeParameterFile("", true);
    QStringList shown;
    shown.reserve(int(nameMap_.size()));
    for (const std::string& line : nameMap_) shown << QString::fromUtf8(line);
    w_.MemoNewFileNames->setPlainText(shown.join('\n'));
}

// Before anything is created: every result must have a file of its own
// inside the output directory.
void RunController::checkTargetPlan(const std::string& outputDir) {
    std::vector<std::string> checked;
    for (const CheckEntry& e : w_.CheckListBoxSelectedFiles->checkList().entries())
        if (e.checked) checked.push_back(e.text);
    const std::optional<TargetRefusal> refusal =
        CheckTargetPlan(outputDir, commonRoot_, checked, w_.language()->applied().outputExtension);
    if (!refusal) return;
    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
    w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetSelectedFiles);
    w_.statusBar().ShowError(TargetRefusalMessage(*refusal, outputDir), false);
}

void RunController::buildStepQueue() {
    StepQueueInput in;
    in.registry = w_.language()->stepRegistry();
    for (QCheckBox* box : w_.transformationBoxes) {
        QueueStep step;
        step.name = StepNameOf(box);
        step.checked = box->isChecked();
        if (TFrameFindexec* picker = w_.picker("FindExex" + step.name)) step.programPath = picker->ProgramPath();
        step.resultExtension = w_.language()->stepResultExtension(step.name);
        in.steps.push_back(std::move(step));
    }
    for (TFrameFindexec* picker : w_.stepPickers) {
        const std::string name = Text(picker->objectName());
        if (StartsWithStr("Chain", name)) in.chains.push_back({name.substr(5), picker->ProgramPath()});
    }
    stepQueue_ = BuildStepQueue(in, finalResultExtension_);
}

void RunController::writeParameterFile(const std::string& inputExtension, bool fillNameMap) {
    ParameterFileInput in;
    in.productName = w_.project()->productName();
    in.systemName = w_.project()->systemName();
    in.languageVersion = w_.project()->dialect();
    in.projectVersion = w_.project()->languagePrefix();
    for (QCheckBox* box : w_.transformationBoxes) {
        TransformationRow row;
        row.stepName = StepNameOf(box);
        row.parameterName = w_.language()->rowParameterName(row.stepName);
        row.shown = !box->parentWidget()->isHidden();
        row.checked = box->isChecked();
        in.rows.push_back(std::move(row));
    }
    in.refactorLevelIndex = w_.ComboBoxRefactorLevel->currentIndex();
    in.copyAdd = w_.CheckBoxCopyAdd->isChecked();
    in.renameVariables = w_.CheckBoxRenameVariables->isChecked();
    in.wordScanShown = TfrmKorvaneMain::isTabVisible(w_.PageControlMain, w_.TabSheetWordScan);
    in.outputDir = area_.outputDir;
    in.sources = w_.CheckListBoxSelectedFiles->checkList().entries();
    in.showSourceTab = [this] { w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetSelectedFiles); };
    WriteParameterFile(in, inputExtension, parameterLines_, fillNameMap ? &nameMap_ : nullptr, w_.statusBar());
}

void RunController::CopyRunFiles() {
    HourglassCursor hourglass;
    CleanForNewRun(area_, names_, w_.project()->maxDirDepth(), w_.CheckBoxCopyAdd->isChecked(), projectFiles());

    w_.GroupBoxSlider->setVisible(true);
    w_.ProgressBarModules->setMaximum(numberOfSources_);
    w_.ProgressBarModules->setValue(0);

    CopySourcesInput in;
    in.area = area_;
    in.nameMap = nameMap_;
    for (const CheckEntry& e : w_.CheckListBoxSelectedFiles->checkList().entries()) in.sourcePaths.push_back(e.text);
    in.projectName = names_.projectName;
    in.numberOfSources = numberOfSources_;
    in.progress = [this](int position, int, const std::string& caption) {
        w_.ProgressBarModules->setValue(position);
        w_.GroupBoxSlider->setTitle(QString::fromUtf8(caption));
        emit progressCaptionChanged(caption);
    };
    CopySourcesToWorkArea(in, w_.statusBar());

    WriteParameterFileAgain(area_.outputDir, parameterLines_);
    w_.wordLists()->WriteRunWordList(area_.outputDir);
}

void RunController::claimOutputDir(const std::string& outputDir) {
    auto ask = [this](const std::string& question) {
        return w_.dialogs().Message(MsgKind::Confirmation, question, kYes | kNo | kDefaultNo) == kYes;
    };
    ClaimOutputDir(outputDir, foreignOutputDir_, ask, outputLock_, w_.statusBar());
}

ProtectedFiles RunController::projectFiles() const {
    ProtectedFiles keep;
    for (const CheckListBox* list :
         {w_.CheckListBoxSelectedFiles, w_.CheckListBoxCopyCollection, w_.CheckListBoxCSVForRename})
        for (const CheckEntry& e : list->checkList().entries()) keep.Add(e.text);
    return keep;
}

void RunController::MergeRenameDirectives() {
    RenameDirectivesInput in;
    in.renameVariables = w_.CheckBoxRenameVariables->isChecked();
    in.csvFiles = w_.CheckListBoxCSVForRename->checkList().entries();
    in.resultFolder = area_.resultFolder;
    in.keep = projectFiles();
    in.showCsvTab = [this] { w_.PageControlFileCollect->setCurrentWidget(w_.TabSheetCSVForRename); };
    korvane::MergeRenameDirectives(in, w_.statusBar());
}

}  // namespace korvane

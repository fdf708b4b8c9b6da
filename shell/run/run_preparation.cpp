// Starting a run and its three preparation phases: the names, work area,
// step queue, parameter file and name map (prepareRun), the cleaning and the
// working copies (copyRunFiles), and names.csv (mergeRenameDirectives).

#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/collections/common_root.h"
#include "shell/project/project_rules.h"
#include "shell/run/parameter_file.h"
#include "shell/run/rename_directives.h"
#include "shell/run/run_engine.h"
#include "shell/run/shard_job.h"
#include "shell/run/step_queue.h"
#include "shell/run/target_plan.h"
#include "shell/run/tool_command.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

// A reengineering run without any checked transformation would have nothing
// to start.
inline constexpr const char* kNoStepSelected = "No transformation step is selected";

int CheckedCount(const std::vector<CheckEntry>& entries) {
    int n = 0;
    for (const CheckEntry& e : entries)
        if (e.checked) ++n;
    return n;
}

// The long phase for the time of a call, over also when it ends by an error.
class WorkingPhase {
public:
    explicit WorkingPhase(RunObserver& observer) : observer_(observer) { observer_.Working(true); }
    ~WorkingPhase() { observer_.Working(false); }
    WorkingPhase(const WorkingPhase&) = delete;
    WorkingPhase& operator=(const WorkingPhase&) = delete;

private:
    RunObserver& observer_;
};

}  // namespace

ProtectedFiles ProjectFilesOf(const RunSetup& setup) {
    ProtectedFiles keep;
    for (const std::vector<CheckEntry>* list : {&setup.sources, &setup.copyMembers, &setup.renameFiles})
        for (const CheckEntry& e : *list) keep.Add(e.text);
    return keep;
}

void RunEngine::StartRun() { holdingOutputDir(&RunEngine::startRunBody); }

void RunEngine::holdingOutputDir(void (RunEngine::*body)()) {
    try {
        (this->*body)();
    } catch (...) {
        if (!batchRunning_) outputLock_.Unlock();
        throw;
    }
    if (!batchRunning_) outputLock_.Unlock();
}

void RunEngine::startRunBody() {
    finishedCleanly_ = false;
    observer_.Hint(RunHint::NamesPage);
    // The shards of the last run have ended: they go now.
    shardJobs_.clear();
    shardPhase_ = false;

    prepareRun();
    if (runMode_ == RunMode::Reengineering && stepQueue_.empty() && !(shard_ && numberOfSources_ == 0))
        reporter_.ShowError(kNoStepSelected, false);
    const bool split = runMode_ == RunMode::Reengineering && shouldSplit(currentSetup());
    copyRunFiles(!split);
    mergeRenameDirectives();

    observer_.LogsAvailable(false);

    // The maximum counts the queue as built, before its first entry is taken.
    setProgress("Processing", 1, int(stepQueue_.size()) + 1);

    const RunSetup setup = currentSetup();
    if (shard_) {
        shardRecord_ = ShardRecord{};
        shardRecord_.id = *shard_;
        shardRecord_.queue = numberOfSources_ ? stepQueue_ : std::vector<std::string>();
        shardRecord_.sources = SourceLines(nameMap_);
        // A shard without sources has nothing to run: it is done.
        if (numberOfSources_ == 0) {
            writeShardRecord(ShardRecord::End::Finished);
            reporter_.ShowWarning("Processing finished");
            finishedCleanly_ = true;
            return;
        }
        writeShardRecord(ShardRecord::End::Running);
    }
    bool started = false;
    if (split) {
        started = startShards(setup);
    } else if (runMode_ == RunMode::Reengineering) {
        const std::string step = QueueStepName(stepQueue_.front());
        stepQueue_.erase(stepQueue_.begin());
        started = startStep(setup, step);
    } else {
        started = startToolProcess(setup, "Scan", setup.scannerProgram,
                                   ToolArguments(true, setup.runControl.captureLog), area_.outputDir);
    }
    setBatchRunning(started);

    observer_.ProgressShown(started);
    if (!started) reporter_.ShowError("Failed to start batch processing task", false);

    setCancelCommand(true);
}

void RunEngine::validateNames(const RunSetup& setup) {
    // The system name first, then the product name, each taken into the
    // project as soon as it passed; "*" stands for no name.
    struct Name {
        bool product;
        const std::string& text;
        RunHint field;
        const char* refusal;
    } const names[] = {
        {false, setup.systemName, RunHint::SystemNameField, "System name name missing or incorrect"},
        {true, setup.productName, RunHint::ProductNameField, "Product name missing or incorrect"},
    };
    std::string taken[2];
    for (const Name& n : names) {
        std::string& value = taken[n.product ? 1 : 0];
        if (n.text == "*") {
            value.clear();
        } else if (IsAcceptableName(n.text)) {
            value = n.text;
        } else {
            observer_.Hint(RunHint::NamesPage);
            observer_.Hint(n.field);
            reporter_.ShowError(n.refusal, false);
        }
        observer_.NameTaken(n.product, n.text);
    }
    // Formed afresh: a project name loaded from a file never reaches a run.
    names_ = MakeRunNames(taken[1], taken[0]);
    observer_.ProjectNameFormed(names_.projectName);
}

void RunEngine::prepareRun() {
    shardOutputDir_.clear();
    RunSetup setup = currentSetup();
    validateNames(setup);
    setup.projectProductName = names_.productName;
    setup.projectSystemName = names_.systemName;

    numberOfSources_ = CheckedCount(setup.sources);
    observer_.NumberOfSources(numberOfSources_);
    if (numberOfSources_ == 0 && !shard_) {
        observer_.Hint(RunHint::NamesPage);
        reporter_.ShowError("You haven't selected any files yet", false);
    }

    // Without an output directory every path of the work area would hang off
    // the file-system root and the cleaning would start there: refused.
    // A relative output directory is taken from the project's folder, never
    // from the current directory; without one it counts as no output directory.
    const std::string outputDir = RunOutputDirectory(setup.outputDirectory, setup.projectDirectory);
    if (!outputDir.empty() && outputDir != setup.outputDirectory) observer_.OutputDirResolved(outputDir);
    if (outputDir.empty()) {
        observer_.Hint(RunHint::NamesPage);
        observer_.Hint(RunHint::OutputDirField);
    }
    RequireOutputDir(outputDir, reporter_);

    CheckList sources;
    sources.assign(setup.sources);
    commonRoot_ = ComputeCommonRoot(sources).root;
    observer_.CommonRootComputed(commonRoot_);
    // A computed root starts the run's messages afresh: what was reported
    // before does not count against "Processing finished".
    if (!sources.empty()) reporter_.ClearMessages();
    checkTargetPlan(setup, outputDir);
    std::string runDir = outputDir;
    if (shard_) {
        // A shard works in its own folder, as a run works in the output
        // directory.
        prepareShardFolder(outputDir);
        runDir = shardOutputDir_;
        setup.outputDirectory = runDir;
    } else {
        claimOutputDir(outputDir);
    }

    area_ = PrepareWorkArea(runDir, setup.copyAdd, reporter_);
    if (setup.copyAdd) observer_.CopyLibraryNeeded();
    if (shard_ && setup.copyAdd) CopyShardLibrary(outputDir, runDir);

    buildStepQueue(setup);
    if (shard_) {
        const size_t fileLocal = FileLocalQueuePrefix(stepQueue_, setup);
        if (fileLocal == 0 && !stepQueue_.empty())
            reporter_.ShowError("No step of this run is file-local: it cannot run in shards", false);
        stepQueue_.resize(fileLocal);
    }

    nameMap_.clear();
    writeParameterFile(setup, "", true);
    observer_.NameMapShown(nameMap_);
}

// Before anything is created: every result must have a file of its own
// inside the output directory.
void RunEngine::checkTargetPlan(const RunSetup& setup, const std::string& outputDir) {
    std::vector<std::string> checked;
    for (const CheckEntry& e : setup.sources)
        if (e.checked) checked.push_back(e.text);
    const std::optional<TargetRefusal> refusal =
        CheckTargetPlan(outputDir, commonRoot_, checked, setup.language.outputExtension);
    if (!refusal) return;
    observer_.Hint(RunHint::NamesPage);
    observer_.Hint(RunHint::SourcesTab);
    reporter_.ShowError(TargetRefusalMessage(*refusal, outputDir), false);
}

void RunEngine::buildStepQueue(const RunSetup& setup) {
    StepQueueInput in;
    in.registry = setup.stepRegistry;
    for (const RunStep& row : setup.steps)
        in.steps.push_back({row.name, row.checked, row.hasPicker ? row.programPath : std::string(),
                            row.resultExtension});
    for (const RunChain& chain : setup.chains) in.chains.push_back({chain.name, chain.programPath});
    stepQueue_ = BuildStepQueue(in, finalResultExtension_);
}

void RunEngine::writeParameterFile(const RunSetup& setup, const std::string& inputExtension, bool fillNameMap) {
    ParameterFileInput in;
    in.productName = setup.projectProductName;
    in.systemName = setup.projectSystemName;
    in.languageVersion = setup.dialect;
    in.projectVersion = setup.languagePrefix;
    for (const RunStep& step : setup.steps) {
        TransformationRow row;
        row.stepName = step.name;
        row.parameterName = step.parameterName;
        row.shown = step.shown;
        row.checked = step.checked;
        in.rows.push_back(std::move(row));
    }
    in.refactorLevelIndex = setup.refactorLevelIndex;
    in.copyAdd = setup.copyAdd;
    in.renameVariables = setup.renameVariables;
    in.wordScanShown = setup.wordScanShown;
    in.outputDir = area_.outputDir;
    in.sources = setup.sources;
    in.showSourceTab = [this] { observer_.Hint(RunHint::SourcesTab); };
    WriteParameterFile(in, inputExtension, parameterLines_, fillNameMap ? &nameMap_ : nullptr, reporter_);
}

void RunEngine::copyRunFiles(bool copySources) {
    const RunSetup setup = currentSetup();
    WorkingPhase working(observer_);
    CleanForNewRun(area_, names_, setup.maxDirDepth, setup.copyAdd, ProjectFilesOf(setup));

    observer_.ProgressShown(true);
    observer_.ProgressRange(0, numberOfSources_);

    CopySourcesInput in;
    in.area = area_;
    in.nameMap = nameMap_;
    for (const CheckEntry& e : setup.sources) in.sourcePaths.push_back(e.text);
    in.projectName = names_.projectName;
    in.numberOfSources = numberOfSources_;
    in.progress = [this](int position, int maximum, const std::string& caption) {
        observer_.ProgressRange(position, maximum);
        observer_.ProgressCaption(caption);
        emit progressCaptionChanged(caption);
    };
    if (copySources) CopySourcesToWorkArea(in, reporter_);

    WriteParameterFileAgain(area_.outputDir, parameterLines_);
    observer_.WriteRunWordList(area_.outputDir);
}

void RunEngine::claimOutputDir(const std::string& outputDir) {
    auto ask = [this](const std::string& question) {
        return dialogs_.Message(MsgKind::Confirmation, question, kYes | kNo | kDefaultNo) == kYes;
    };
    ClaimOutputDir(outputDir, foreignOutputDir_, ask, outputLock_, reporter_);
}

void RunEngine::mergeRenameDirectives() {
    const RunSetup setup = currentSetup();
    RenameDirectivesInput in;
    in.renameVariables = setup.renameVariables;
    in.csvFiles = setup.renameFiles;
    in.resultFolder = area_.resultFolder;
    in.keep = ProjectFilesOf(setup);
    in.showCsvTab = [this] { observer_.Hint(RunHint::CsvTab); };
    korvane::MergeRenameDirectives(in, reporter_);
}

}  // namespace korvane

// A run over several jobs: the file-local steps at the head of the queue run
// in shards, side by side (startShards, shardEnded), or have run elsewhere
// (CollectShards); then the shards are brought together and the run goes on
// as one job (continueAfterShards). A shard engine keeps its record as its
// steps end (recordShardStep, writeShardRecord).

#include <algorithm>
#include <cerrno>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/output_ownership.h"
#include "shell/run/run_engine.h"
#include "shell/run/shard_job.h"
#include "shell/run/step_queue.h"
#include "shell/run/tool_launcher.h"
#include "shell/ui/guard.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

inline constexpr const char* kNoFileLocalStep = "No step of this run is file-local: it cannot run in shards";

}  // namespace

void ShardReporter::error(const std::string& text, bool cont) {
    raise(2);
    if (!muted_) run_.AddError(text, true);
    if (!cont) throw SilentAbort{};
}

// --- a shard ---------------------------------------------------------------------

void RunEngine::prepareShardFolder(const std::string& outputDir) {
    shardOutputDir_ = ShardFolder(outputDir, *shard_);
    if (!DirectoryExists(outputDir)) ForceDirectories(outputDir);
    // Never a folder reached through a link.
    if (const int err = LinkedFolderBelow(outputDir, JoinPath(shardOutputDir_, kShardRecordName)); err)
        reporter_.ShowError(Format(kOutputDirUnusable, shardOutputDir_.c_str(), SystemErrorText(err).c_str()), false);
    if (shardByParent_) {
        ForceDirectories(shardOutputDir_);
    } else {
        // The run's folder is looked at as a run looks at it, but not locked:
        // the other shards work there at the same time. Each shard locks
        // its own folder, which keeps a run of the whole folder out.
        if (ClassifyOutputDir(outputDir) == OutputDirUse::Foreign && foreignOutputDir_ != ForeignOutputDir::Take)
            reporter_.ShowError(Format(kForeignOutputDirRefused, outputDir.c_str()), false);
        ClaimOutputDir(shardOutputDir_, ForeignOutputDir::Take, [](const std::string&) { return true; }, outputLock_,
                       reporter_);
        RemoveOtherSplits(outputDir, shard_->count);
    }
    // A shard starts from nothing: what an earlier run of it left goes.
    for (const DirEntry& e : ListDirectory(shardOutputDir_)) RemoveFolderTree(JoinPath(shardOutputDir_, e.name));
}

void RunEngine::recordShardStep(const std::string& failure) {
    std::vector<int64_t> sizes;
    for (const std::string& log : ShardLogFiles(currentSetup().projectSystemName)) {
        const std::string path = JoinPath(shardOutputDir_, log);
        sizes.push_back(FileExists(path) ? std::max<int64_t>(FileSizeBytes(path), 0) : 0);
    }
    shardRecord_.logBytes.push_back(std::move(sizes));
    if (!failure.empty()) shardRecord_.errors.push_back(failure);
    writeShardRecord(ShardRecord::End::Running);
}

void RunEngine::writeShardRecord(ShardRecord::End end) {
    shardRecord_.end = end;
    if (shardOutputDir_.empty()) return;
    try {
        WriteShardRecord(shardOutputDir_, shardRecord_);
    } catch (const Error& e) {
        reporter_.AddError(e.what(), true);
    }
}

void RunEngine::waitForStoppedTool(int graceMs) {
    if (tool_) tool_->StopWatching(graceMs);
}

// --- the whole run -----------------------------------------------------------------

bool RunEngine::shouldSplit(const RunSetup& setup) const {
    return !shard_ && setup.parallelJobs > 1 && numberOfSources_ > 1 && FileLocalQueuePrefix(stepQueue_, setup) > 0;
}

bool RunEngine::shardToolActive() const {
    return std::any_of(shardJobs_.begin(), shardJobs_.end(),
                       [](const std::unique_ptr<ShardJob>& job) { return job->engine->ToolActive(); });
}

bool RunEngine::startShards(const RunSetup& setup) {
    const size_t prefix = FileLocalQueuePrefix(stepQueue_, setup);
    shardedQueue_.assign(stepQueue_.begin(), stepQueue_.begin() + long(prefix));
    stepQueue_.erase(stepQueue_.begin(), stepQueue_.begin() + long(prefix));
    const int count = std::min(setup.parallelJobs, numberOfSources_);
    RemoveFolderTree(ShardsFolder(area_.outputDir));
    // Every step of every shard, then the steps left.
    setProgress("Processing", 1, int(prefix) * count + int(stepQueue_.size()) + 1);

    const int generation = ++shardGeneration_;
    shardPhase_ = true;
    for (int i = 0; i < count; ++i) {
        auto job = std::make_unique<ShardJob>(reporter_, observer_);
        job->engine = std::make_unique<RunEngine>(setup_, job->observer, job->reporter, dialogs_, launcher_);
        RunEngine& shard = *job->engine;
        shard.setShard({i, count}, true);
        shard.setStepTimeLimit(stepTimeLimit_);
        shard.setRunMode(RunMode::Reengineering);
        connect(&shard, &RunEngine::toolStarted, this, &RunEngine::toolStarted);
        connect(&shard, &RunEngine::stepHandedOver, this, [this, generation] {
            if (generation == shardGeneration_ && shardPhase_)
                setProgress("Processing", progressPosition_ + 1, progressMaximum_);
        });
        // Taken up once the shard's hand-over is over.
        connect(
            &shard, &RunEngine::shardDone, this,
            [this, generation, i] {
                if (generation != shardGeneration_ || size_t(i) >= shardJobs_.size()) return;
                shardJobs_[size_t(i)]->ended = true;
                RunGuarded([this] { shardEnded(); });
            },
            Qt::QueuedConnection);
        shardJobs_.push_back(std::move(job));
        try {
            shard.StartRun();
        } catch (const SilentAbort&) {
        } catch (const Error& e) {
            reporter_.AddError(e.what(), true);
        }
        if (!shard.BatchRunning()) {
            // What kept it from starting has been reported; the shards
            // started go again.
            shardJobs_.back()->ended = true;
            shardPhase_ = false;
            stopShards();
            return false;
        }
    }
    return true;
}

void RunEngine::stopShards() {
    for (const std::unique_ptr<ShardJob>& job : shardJobs_) {
        if (job->ended) continue;
        job->reporter.mute();
        job->engine->TerminateRun();
    }
}

void RunEngine::shardEnded() {
    if (!shardPhase_) return;
    bool allEnded = true;
    bool failed = false;
    for (const std::unique_ptr<ShardJob>& job : shardJobs_) {
        if (!job->ended) {
            allEnded = false;
            continue;
        }
        const ShardRecord::End end = job->engine->shardEnd();
        if (end != ShardRecord::End::Finished && end != ShardRecord::End::Reported) failed = true;
    }
    // One shard stopped: the run cannot end as one job would have ended it,
    // and the others stop too.
    if (failed) stopShards();
    if (!allEnded) return;
    shardPhase_ = false;

    if (failed) {
        // As a cancelled run: the shards' folders stay as they are.
        setBatchRunning(false);
        reporter_.AddError("Batch process cancelled, renameing, etc..  bypassed", true);
        observer_.ProgressShown(false);
        showLogs(currentSetup());
        setCancelCommand(false);
        emit runEnded();
        return;
    }
    std::vector<ShardRecord> records;
    for (const std::unique_ptr<ShardJob>& job : shardJobs_) records.push_back(job->engine->shardRecord_);
    try {
        continueAfterShards(records, false);
    } catch (...) {
        emit runEnded();
        throw;
    }
    if (!(batchRunning_ && tool_)) emit runEnded();
}

void RunEngine::continueAfterShards(const std::vector<ShardRecord>& records, bool reportErrors) {
    const RunSetup setup = currentSetup();
    shardsBroughtTogether_ = true;
    std::vector<std::string> failed;
    BringShardsTogether(area_, records, setup.projectSystemName, failed);
    for (const std::string& path : failed)
        reporter_.AddError("A file of a shard could not be brought into the output directory - " + path, true);
    // The errors of shards that ran elsewhere are this run's too.
    if (reportErrors)
        for (const ShardRecord& r : records)
            for (const std::string& text : r.errors) reporter_.AddError(text, true);
    // What could not be moved stays where it is, to be looked at.
    if (failed.empty()) RemoveFolderTree(ShardsFolder(area_.outputDir));

    if (!stepQueue_.empty()) {
        startNextStep(setup);
        return;
    }
    // The parameter file as the last step found it.
    if (!shardedQueue_.empty()) writeParameterFile(setup, QueueInputExtension(shardedQueue_.back()), false);
    finishRun();
}

void RunEngine::CollectShards() { holdingOutputDir(&RunEngine::collectShardsBody); }

void RunEngine::collectShardsBody() {
    finishedCleanly_ = false;
    shardsBroughtTogether_ = false;
    shardJobs_.clear();
    shardPhase_ = false;
    runMode_ = RunMode::Reengineering;
    observer_.Hint(RunHint::NamesPage);

    prepareRun();
    RunSetup setup = currentSetup();
    const size_t prefix = FileLocalQueuePrefix(stepQueue_, setup);
    if (prefix == 0) reporter_.ShowError(kNoFileLocalStep, false);
    shardedQueue_.assign(stepQueue_.begin(), stepQueue_.begin() + long(prefix));
    // Looked at before the cleaning of the run, which leaves the shards'
    // folder alone but not the results of an earlier run.
    const std::vector<std::optional<ShardRecord>> found = FindShardRecords(area_.outputDir);
    const std::string problem = ShardsProblem(found, shardedQueue_, SourceLines(nameMap_));
    if (!problem.empty())
        reporter_.ShowError(Format(kShardsIncomplete, ShardsFolder(area_.outputDir).c_str(), problem.c_str()), false);

    // The working copies come from the shards.
    copyRunFiles(false);
    mergeRenameDirectives();
    observer_.LogsAvailable(false);
    stepQueue_.erase(stepQueue_.begin(), stepQueue_.begin() + long(prefix));
    setProgress("Processing", int(prefix), int(prefix + stepQueue_.size()) + 1);
    setCancelCommand(true);
    observer_.ProgressShown(true);

    std::vector<ShardRecord> records;
    for (const std::optional<ShardRecord>& r : found) records.push_back(*r);
    continueAfterShards(records, true);
}

}  // namespace korvane

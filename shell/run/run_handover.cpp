// The hand-over after a tool has ended (toolEnded), and cancelling a run:
// Cancel, StopRequested, StopRun, TerminateRun and killToolProcess.

#include <QCoreApplication>

#include "shared/errors.h"
#include "shared/text.h"
#include "shell/run/run_engine.h"
#include "shell/run/shard_job.h"
#include "shell/run/step_queue.h"
#include "shell/run/tool_command.h"
#include "shell/run/tool_launcher.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/guard.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

// How long a stop waits for a killed tool before it hands over without it.
constexpr int kStopGraceMs = 1000;

}  // namespace

void RunEngine::toolEnded(const std::shared_ptr<ToolRun>& tool, const StepRun& info) {
    // The hand-over counts as an operation of its own: an error inside it,
    // also one passed up by a guarded operation it runs, ends it without
    // being shown; nothing escapes into the event loop.
    RunGuarded([&] {
        try {
            stepFinished(tool, info);
        } catch (...) {
        }
    });
}

void RunEngine::stepFinished(const std::shared_ptr<ToolRun>& tool, const StepRun& info) {
    const bool cancelled = !cancelCommand_;
    if (tool == tool_) {
        stepTimer_.stop();
        tool_.reset();
    }
    observer_.StepEnded(info.step, info.program, tool->End());
    try {
        stepFinishedBody(tool, info);
    } catch (...) {
        // The hand-over ended early: with no next tool the run is over,
        // whatever state it was left in (a cancellation ends in StopRun).
        emit stepHandedOver();
        if (!cancelled) emit runEnded();
        if (shard_) emit shardDone();
        throw;
    }
    emit stepHandedOver();
    const bool nextStarted = batchRunning_ && tool_ && tool_ != tool;
    if (!cancelled && !nextStarted) emit runEnded();
    if (shard_ && !nextStarted) emit shardDone();
}

void RunEngine::stepFinishedBody(const std::shared_ptr<ToolRun>& tool, const StepRun& info) {
    RunSetup setup = currentSetup();

    // A. Cancelled: the work area stays as it is.
    if (!cancelCommand_) {
        if (shard_) writeShardRecord(ShardRecord::End::Stopped);
        reporter_.AddError("Batch process cancelled, renameing, etc..  bypassed", true);
        observer_.ProgressShown(false);
        showLogs(setup);
        return;
    }

    // A step that failed is reported; the chain goes on, and the run will
    // not end as finished.
    std::string failure;
    if (info.statusCounts) {
        const ProcessEnd end = tool->End();
        if (end.kind != ProcessEnd::Kind::Unknown) {
            failure = StepFailureText(info.step, info.program, end);
            if (!failure.empty()) reporter_.AddError(failure, true);
        }
    }
    if (shard_) recordShardStep(failure);

    // B. The next step of a reengineering run.
    if (runMode_ == RunMode::Reengineering && !stepQueue_.empty()) {
        startNextStep(setup);
        return;
    }

    // C. The run has ended: collect, show the logs.
    finishRun();
}

void RunEngine::startNextStep(const RunSetup& setup) {
    const std::string entry = stepQueue_.front();
    const std::string step = QueueStepName(entry);
    // Only the run's first writing fills the name map: after a step
    // without a result extension the next one reads the workinp copies
    // again, and its writing must not add the sources a second time.
    writeParameterFile(setup, QueueInputExtension(entry), false);
    stepQueue_.erase(stepQueue_.begin());
    setProgress("Processing", progressPosition_ + 1, progressMaximum_);
    bool started = false;
    try {
        started = startStep(setup, step);
    } catch (const Error& e) {
        // A refused start: its text goes to the status bar, and the run
        // stays as it is until it is cancelled.
        reporter_.AddError(ReplaceAll(e.what(), "\r\n", " - "), true);
        throw SilentAbort{};
    }
    setBatchRunning(started);
}

void RunEngine::finishRun() {
    setBatchRunning(false);
    // A shard collects nothing: the run it is part of brings it together
    // with the others.
    if (shard_) {
        writeShardRecord(reporter_.Severity() == 0 ? ShardRecord::End::Finished : ShardRecord::End::Reported);
    } else {
        Collect();
    }
    const RunSetup setup = currentSetup();
    observer_.ProgressShown(false);
    if (!shard_) showLogs(setup);
    if (reporter_.Severity() == 0) {
        reporter_.ShowWarning("Processing finished");
        finishedCleanly_ = true;
    }
    setCancelCommand(false);
}

void RunEngine::Cancel() {
    if (!batchRunning_) return;
    if (dialogs_.Message(MsgKind::Warning, "Do you really want to cancel processing?", kYes | kNo) != kYes) return;
    // The run may have ended by itself while the question was open: then
    // there is nothing left to cancel, and nothing is reported.
    if (!batchRunning_) return;
    stepQueue_.clear();
    observer_.ProjectModified();
    StopRun();
}

void RunEngine::StopRequested() {
    // A Yes given after the run has ended by itself has nothing left to stop.
    if (!batchRunning_) return;
    stepQueue_.clear();
    observer_.ProjectModified();
    StopRun();
}

void RunEngine::StopRun() {
    stepTimer_.stop();
    const std::shared_ptr<ToolRun> tool = tool_;
    killToolProcess();
    stopShards();
    setCancelCommand(false);
    reporter_.AddError("Terminate signalled!", true);
    {
        NestedEventLoopScope scope;
        QCoreApplication::processEvents();
    }
    // The end of the killed tool, handed over now, finds the run cancelled
    // (branch A).
    if (tool) tool->StopWatching(kStopGraceMs);
    for (const std::unique_ptr<ShardJob>& job : shardJobs_) job->engine->waitForStoppedTool(kStopGraceMs);
    shardPhase_ = false;
    setBatchRunning(false);
    emit runEnded();
    reporter_.AddError("Background process cancelled!", false);
}

void RunEngine::TerminateRun() {
    terminating_ = true;
    stepTimer_.stop();
    stepQueue_.clear();
    std::string ignored;
    if (tool_) tool_->Kill(ignored);
    stopShards();
    if (!batchRunning_) return;
    // The killed step's hand-over finds the run cancelled (branch A); a
    // tool whose kill was refused is not waited for beyond the grace.
    setCancelCommand(false);
    if (std::shared_ptr<ToolRun> tool = tool_) {
        std::weak_ptr<ToolRun> weak = tool;
        QTimer::singleShot(0, this, [weak] {
            if (std::shared_ptr<ToolRun> t = weak.lock()) t->StopWatching(kStopGraceMs);
        });
    }
    reporter_.AddError("Terminate signalled!", true);
}

void RunEngine::killToolProcess() {
    if (!tool_ || !tool_->Running()) return;
    const long pid = tool_->Pid();
    std::string errorText;
    if (!tool_->Kill(errorText))
        dialogs_.Message(MsgKind::Information, Format("Error killing process %ld", pid), kOk);
}

}  // namespace korvane

// The hand-over after a tool process has ended (StepFinished), and
// cancelling a run: ActCancelRun, StopRun and KillToolProcess.
//
//   state          batch-running  progress group        ActCancelRun       log views
//   idle           false          hidden                disabled, hidden   enabled
//   preparing      false          shown by CopyRunFiles unchanged          disabled once prepared
//   running step k true           shown, "Processing"   enabled, visible   disabled
//   cancelling     true (until    hidden by branch A    disabled, hidden   enabled by branch A
//                  StopRun ends)
//   finishing      false          hidden after collect  disabled, hidden   enabled

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QProgressBar>

#include "shared/errors.h"
#include "shared/platform/process.h"
#include "shared/text.h"
#include "shell/app/action_list.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_controller.h"
#include "shell/run/step_queue.h"
#include "shell/run/tool_command.h"
#include "shell/run/tool_watcher.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

namespace {

// Closes what is left of an ended tool process. A process that still runs
// (its watcher was stopped while a kill failed) is left to its owner, which
// kills and collects it when it goes.
void CloseEndedProcess(ToolProcess& process) {
    if (process.WaitFor(0)) process.Reap();
}

}  // namespace

void RunController::StepFinished(const std::shared_ptr<ToolProcess>& process, const StepRun& info) {
    const bool cancelled = !w_.actions()["ActCancelRun"]->isEnabled();
    if (process == process_) stepTimer_.stop();
    try {
        stepFinishedBody(process, info);
    } catch (...) {
        // The hand-over ended early: with no next tool the run is over,
        // whatever state it was left in (a cancellation ends in StopRun).
        CloseEndedProcess(*process);
        emit stepHandedOver();
        if (!cancelled) emit runEnded();
        throw;
    }
    CloseEndedProcess(*process);
    emit stepHandedOver();
    const bool nextStarted = BatchRunning() && process_ != process;
    if (!cancelled && !nextStarted) emit runEnded();
}

void RunController::stepFinishedBody(const std::shared_ptr<ToolProcess>& process, const StepRun& info) {
    ActionList& a = w_.actions();

    // A. Cancelled: the work area stays as it is.
    if (!a["ActCancelRun"]->isEnabled()) {
        CloseEndedProcess(*process);
        w_.statusBar().AddError("Batch process cancelled, renameing, etc..  bypassed", true);
        w_.GroupBoxSlider->setVisible(false);
        showLogs();
        return;
    }

    // A step that failed is reported; the chain goes on, and the run will
    // not end as finished.
    CloseEndedProcess(*process);
    if (info.statusCounts && process->Reaped()) {
        const std::string failure = StepFailureText(info.step, info.program, process->End());
        if (!failure.empty()) w_.statusBar().AddError(failure, true);
    }

    // B. The next step of a reengineering run.
    if (runMode_ == RunMode::Reengineering && !stepQueue_.empty()) {
        const std::string entry = stepQueue_.front();
        const std::string step = QueueStepName(entry);
        // Only the run's first writing fills the name map: after a step
        // without a result extension the next one reads the workinp copies
        // again, and its writing must not add the sources a second time.
        writeParameterFile(QueueInputExtension(entry), false);
        stepQueue_.erase(stepQueue_.begin());
        const int position = w_.ProgressBarModules->value() + 1;
        w_.ProgressBarModules->setValue(position);
        setProgress("Processing", position, w_.ProgressBarModules->maximum());
        CloseEndedProcess(*process);
        bool started = false;
        try {
            started = StartStep(step);
        } catch (const Error& e) {
            // A refused start: its text goes to the status bar, and the run
            // stays as it is until it is cancelled.
            w_.statusBar().AddError(ReplaceAll(e.what(), "\r\n", " - "), true);
            throw SilentAbort{};
        }
        SetBatchRunning(started);
        return;
    }

    // C. The run has ended: collect, show the logs.
    SetBatchRunning(false);
    CloseEndedProcess(*process);
    a.runHandler("ActRename");
    w_.GroupBoxSlider->setVisible(false);
    showLogs();
    if (w_.statusBar().Severity() == 0) {
        w_.statusBar().ShowWarning("Processing finished");
        finishedCleanly_ = true;
    }
    a["ActCancelRun"]->setEnabled(false);
    a["ActCancelRun"]->setVisible(false);
}

void RunController::ActCancelRunExecute() {
    if (CollectionsController* collections = w_.collections()) collections->setCancelRequested(true);
    if (!BatchRunning()) return;
    if (w_.dialogs().Message(MsgKind::Warning, "Do you really want to cancel processing?", kYes | kNo) != kYes)
        return;
    // The run may have ended by itself while the question was open: then
    // there is nothing left to cancel, and nothing is reported.
    if (!BatchRunning()) return;
    stepQueue_.clear();
    w_.project()->setModified(true);
    StopRun();
}

void RunController::StopRun() {
    stepTimer_.stop();
    KillToolProcess();
    QAction* cancel = w_.actions()["ActCancelRun"];
    cancel->setEnabled(false);
    cancel->setVisible(false);
    const bool watching = WatcherRunning(watcher_);
    if (watching) watcher_->RequestStop();
    w_.statusBar().AddError("Terminate signalled!", true);
    {
        NestedEventLoopScope scope;
        QCoreApplication::processEvents();
    }
    // The watcher's next call finds the cancel action disabled (branch A).
    if (watching) WaitForWatcherEnd(watcher_);
    SetBatchRunning(false);
    emit runEnded();
    w_.statusBar().AddError("Background process cancelled!", false);
}

void RunController::TerminateRun() {
    terminating_ = true;
    stepTimer_.stop();
    stepQueue_.clear();
    if (process_) {
        std::string ignored;
        process_->Kill(ignored);
    }
    if (!BatchRunning()) return;
    // The killed step's hand-over finds the run cancelled (branch A).
    QAction* cancel = w_.actions()["ActCancelRun"];
    cancel->setEnabled(false);
    cancel->setVisible(false);
    if (WatcherRunning(watcher_)) watcher_->RequestStop();
    w_.statusBar().AddError("Terminate signalled!", true);
}

void RunController::KillToolProcess() {
    if (!process_ || !process_->IsRunning()) return;
    const long pid = long(process_->Pid());
    std::string errorText;
    if (!process_->Kill(errorText))
        w_.dialogs().Message(MsgKind::Information, Format("Error killing process %ld", pid), kOk);
    // Forgotten here; the watcher still holds the process and its hand-over
    // collects it.
    process_.reset();
}

}  // namespace korvane

// Starting a run and the tool program of each step: ActStartConversion,
// ActStartScan, ActRunTool, StartStep and StartToolProcess.

#include <QAction>
#include <QGroupBox>
#include <QProgressBar>
#include <QTabWidget>

#include "shared/errors.h"
#include "shared/platform/process.h"
#include "shared/text.h"
#include "shell/app/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/run/dosbox_config.h"
#include "shell/run/run_controller.h"
#include "shell/run/step_queue.h"
#include "shell/run/tool_command.h"
#include "shell/run/tool_watcher.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

// A reengineering run without any checked transformation would have nothing
// to start.
inline constexpr const char* kNoStepSelected = "No transformation step is selected";

void RunController::ActStartConversionExecute() {
    runMode_ = RunMode::Reengineering;
    w_.actions().execute("ActRunTool");
}

void RunController::ActStartScanExecute() {
    runMode_ = RunMode::Scan;
    w_.actions().execute("ActRunTool");
}

void RunController::ActRunToolExecute() {
    ActionList& a = w_.actions();
    finishedCleanly_ = false;
    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);

    PrepareRun();
    if (runMode_ == RunMode::Reengineering && stepQueue_.empty()) w_.statusBar().ShowError(kNoStepSelected, false);
    CopyRunFiles();
    MergeRenameDirectives();

    a["ActViewProductLog"]->setEnabled(false);
    a["ActViewConsoleLog"]->setEnabled(false);

    // The maximum counts the queue as built, before its first entry is taken.
    const int maximum = int(stepQueue_.size()) + 1;
    w_.ProgressBarModules->setMaximum(maximum);
    w_.ProgressBarModules->setValue(1);
    setProgress("Processing", 1, maximum);

    bool started = false;
    if (runMode_ == RunMode::Reengineering) {
        const std::string step = QueueStepName(stepQueue_.front());
        stepQueue_.erase(stepQueue_.begin());
        started = StartStep(step);
    } else {
        started = StartToolProcess(w_.FrameFindexecScanner->ProgramPath(),
                                   ToolArguments(true, w_.language()->runControl().captureLog), area_.outputDir);
    }
    SetBatchRunning(started);

    w_.GroupBoxSlider->setVisible(started);
    if (!started) w_.statusBar().ShowError("Failed to start batch processing task", false);

    a["ActCancelRun"]->setEnabled(true);
    a["ActCancelRun"]->setVisible(true);
    w_.arrangeTaggedButtons();
}

bool RunController::StartStep(const std::string& stepName) {
    const std::string arguments = ToolArguments(false, w_.language()->runControl().captureLog);
    TFrameFindexec* picker = w_.picker("FindExex" + stepName);
    if (!picker) picker = w_.picker("Chain" + stepName);
    if (!picker) w_.statusBar().ShowError("Trying to execute an invalid step - " + stepName, false);
    startingStep_ = stepName;
    return StartToolProcess(picker->ProgramPath(), arguments, area_.outputDir);
}

bool RunController::StartToolProcess(const std::string& program, const std::string& arguments,
                                     const std::string& workingDir) {
    // The program is ending: nothing new is started.
    if (terminating_) throw SilentAbort{};
    const std::string step = startingStep_.empty() ? std::string("Scan") : startingStep_;
    startingStep_.clear();
    const ExecKind kind = ExecutableKind(program);
    if (kind == ExecKind::None) return false;
    process_.reset();

    const RunControlState& control = w_.language()->runControl();
    const AppliedLanguage& language = w_.language()->applied();
    StepRun info;
    info.step = step;
    info.program = program;
    // DOSBox's status is not the DOS program's.
    info.statusCounts = !(control.dosboxReady && kind == ExecKind::Dos) &&
                        ExitStatusCounts(control.exitStatusIgnored, language.key, language.suffix);
    std::string startProgram = program;
    std::string startArguments = arguments;
    if (control.dosboxReady && kind == ExecKind::Dos) {
        WriteDosBoxConfig(workingDir, control.dosboxConfig, program);
        startProgram = control.dosboxPath;
        startArguments = kDosBoxArguments;
    }
    const std::string commandLine = ToolCommandLine(startProgram, startArguments);

    // The words stay arguments of the tool; the redirection they ask for is
    // made here, since no command interpreter takes part.
    const std::vector<std::string> args = SplitProgramCommandLine(commandLine);
    ToolStartOptions options;
    options.hidden = control.blindRun;
    // The step and everything it starts form one process group, which a
    // cancellation kills whole and which ends with the step.
    options.ownGroup = true;
    if (std::optional<CaptureRequest> capture = CaptureFromArguments(args)) {
        options.captureFile = capture->file;
        options.captureAppend = capture->append;
    }

    auto process = std::make_shared<ToolProcess>();
    std::string errorText;
    if (!process->StartArgs(args, workingDir, options, errorText))
        throw Error(errorText + "\r\n" + commandLine + "\r\n" + workingDir);
    process_ = process;
    startWatcher(process, info);
    if (stepTimeLimit_ > 0) {
        timedStep_ = info;
        stepTimer_.start(stepTimeLimit_ * 1000);
    }
    emit toolStarted(startProgram, long(process->Pid()));
    return true;
}

void RunController::onStepTimeLimit() {
    // The step still running is the one the limit was set for: any other
    // end or start has stopped or restarted the timer.
    if (!BatchRunning() || !process_ || !process_->IsRunning()) return;
    RunGuarded([this] {
        w_.statusBar().AddError(StepTimeLimitText(timedStep_.step, timedStep_.program, stepTimeLimit_), true);
        stepQueue_.clear();
        StopRun();
    });
}

void RunController::startWatcher(const std::shared_ptr<ToolProcess>& process, const StepRun& info) {
    // The call target is the application object, which outlives the window;
    // the hand-over checks that this controller still exists.
    std::shared_ptr<bool> alive = alive_;
    auto* watcher = new TToolWatcherThread(*process, nullptr, [this, alive, process, info] {
        if (*alive)
            StepFinished(process, info);
        else if (process->WaitFor(0))
            process->Reap();
    });
    std::erase_if(watchers_, [](const QPointer<TToolWatcherThread>& w) { return w.isNull(); });
    watchers_.push_back(watcher);
    watcher_ = watcher;
    watcher->start();
}

}  // namespace korvane

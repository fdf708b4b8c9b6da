// The tool program of each step: startStep, startToolProcess and the time
// limit of a step.

#include "shared/errors.h"
#include "shared/text.h"
#include "shell/run/dosbox_config.h"
#include "shell/run/run_engine.h"
#include "shell/run/tool_command.h"
#include "shell/run/tool_launcher.h"
#include "shell/ui/guard.h"
#include "shell/ui/reporter.h"

namespace korvane {

bool RunEngine::startStep(const RunSetup& setup, const std::string& stepName) {
    const std::string arguments = ToolArguments(false, setup.runControl.captureLog);
    // The step's own program picker, else the chained program of that name.
    const std::string* program = nullptr;
    for (const RunStep& row : setup.steps)
        if (row.hasPicker && row.name == stepName) {
            program = &row.programPath;
            break;
        }
    if (!program)
        for (const RunChain& chain : setup.chains)
            if (chain.name == stepName) {
                program = &chain.programPath;
                break;
            }
    if (!program) reporter_.ShowError("Trying to execute an invalid step - " + stepName, false);
    return startToolProcess(setup, stepName, *program, arguments, area_.outputDir);
}

bool RunEngine::startToolProcess(const RunSetup& setup, const std::string& step, const std::string& program,
                                 const std::string& arguments, const std::string& workingDir) {
    // The program is ending: nothing new is started.
    if (terminating_) throw SilentAbort{};
    const ExecKind kind = ExecutableKind(program);
    if (kind == ExecKind::None) return false;

    const RunControlState& control = setup.runControl;
    StepRun info;
    info.step = step;
    info.program = program;
    // DOSBox's status is not the DOS program's.
    info.statusCounts = !(control.dosboxReady && kind == ExecKind::Dos) &&
                        ExitStatusCounts(control.exitStatusIgnored, setup.language.key, setup.language.suffix);
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

    // The end is handed over on this thread; a late end, after the engine
    // has gone, only releases the tool.
    auto self = std::make_shared<std::shared_ptr<ToolRun>>();
    std::shared_ptr<bool> alive = alive_;
    auto ended = [this, alive, self, info] {
        std::shared_ptr<ToolRun> tool = std::move(*self);
        if (*alive && tool) toolEnded(tool, info);
    };
    std::string errorText;
    std::unique_ptr<ToolRun> started = launcher_.Start(args, workingDir, options, ended, errorText);
    if (!started) throw Error(errorText + "\r\n" + commandLine + "\r\n" + workingDir);
    tool_ = std::shared_ptr<ToolRun>(std::move(started));
    *self = tool_;
    if (stepTimeLimit_ > 0) {
        timedStep_ = info;
        stepTimer_.start(stepTimeLimit_ * 1000);
    }
    emit toolStarted(startProgram, tool_->Pid());
    return true;
}

void RunEngine::onStepTimeLimit() {
    // The step still running is the one the limit was set for: any other
    // end or start has stopped or restarted the timer.
    if (!batchRunning_ || !tool_ || !tool_->Running()) return;
    RunGuarded([this] {
        reporter_.AddError(StepTimeLimitText(timedStep_.step, timedStep_.program, stepTimeLimit_), true);
        stepQueue_.clear();
        StopRun();
    });
}

}  // namespace korvane

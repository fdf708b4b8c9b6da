#include "shell/run/run_engine.h"

#include "shell/run/shard_job.h"
#include "shell/run/tool_launcher.h"

namespace korvane {

RunEngine::RunEngine(RunSetupSource& setup, RunObserver& observer, Reporter& reporter, Dialogs& dialogs,
                     ToolLauncher& launcher, QObject* parent)
    : QObject(parent),
      setup_(setup),
      observer_(observer),
      reporter_(reporter),
      dialogs_(dialogs),
      launcher_(launcher),
      alive_(std::make_shared<bool>(true)) {
    setObjectName("RunEngine");
    connect(this, &RunEngine::runEnded, this, [this] { outputLock_.Unlock(); });
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, [this] { onStepTimeLimit(); });
}

RunEngine::~RunEngine() {
    // Going while a tool may still run: it is killed, and its end, reported
    // now, does nothing but release it.
    *alive_ = false;
    stepTimer_.stop();
    if (std::shared_ptr<ToolRun> tool = std::move(tool_)) {
        std::string ignored;
        tool->Kill(ignored);
        tool->StopWatching(1000);
    }
    // The shards' engines go with their tools.
    shardJobs_.clear();
}

bool RunEngine::ToolActive() const { return (tool_ && tool_->Watching()) || shardToolActive(); }

long RunEngine::currentToolPid() const {
    if (tool_ && tool_->Running()) return tool_->Pid();
    for (const std::unique_ptr<ShardJob>& job : shardJobs_)
        if (const long pid = job->engine->currentToolPid()) return pid;
    return 0;
}

RunSetup RunEngine::currentSetup() {
    RunSetup setup = setup_.CurrentSetup();
    if (shard_) {
        setup.sources = ShardSources(setup.sources, *shard_);
        if (!shardOutputDir_.empty()) setup.outputDirectory = shardOutputDir_;
        setup.parallelJobs = 1;
    }
    return setup;
}

void RunEngine::setBatchRunning(bool on) {
    batchRunning_ = on;
    observer_.BatchRunningChanged(on);
}

void RunEngine::setCancelCommand(bool on) {
    cancelCommand_ = on;
    observer_.CancelCommand(on);
}

void RunEngine::setProgress(const char* phase, int position, int maximum) {
    progressPosition_ = position;
    progressMaximum_ = maximum;
    observer_.ProgressRange(position, maximum);
    const std::string caption = ProgressCaption(phase, names_.projectName, position, maximum);
    observer_.ProgressCaption(caption);
    emit progressCaptionChanged(caption);
}

void RunEngine::showLogs(const RunSetup& setup) {
    observer_.LogsAvailable(true);
    observer_.ShowLogs(setup.runControl.captureLog);
}

}  // namespace korvane

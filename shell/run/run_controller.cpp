#include "shell/run/run_controller.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QGroupBox>

#include "shared/platform/process.h"
#include "shell/app/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/run/tool_watcher.h"
#include "shell/ui/guard.h"

namespace korvane {

RunController::RunController(TfrmKorvaneMain& window)
    : QObject(&window), w_(window), alive_(std::make_shared<bool>(true)) {
    setObjectName("RunController");
    bindActions();
    // Clearing the project empties the name map (the memo is emptied by the
    // project itself): results are collected only for a run prepared since.
    if (ProjectController* project = w_.project())
        connect(project, &ProjectController::projectCleared, this, [this] { forgetNameMap(); });
    connect(this, &RunController::runEnded, this, [this] { outputLock_.Unlock(); });
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, [this] { onStepTimeLimit(); });
    // The close request's Yes during a run; a Yes given after the run has
    // ended by itself has nothing left to stop.
    connect(&w_, &TfrmKorvaneMain::stopRunRequested, this, [this] {
        if (!BatchRunning()) return;
        RunGuarded([this] {
            stepQueue_.clear();
            w_.project()->setModified(true);
            StopRun();
        });
    });
}

RunController::~RunController() { shutDown(); }

void RunController::bindActions() {
    ActionList& a = w_.actions();
    a.setHandler("ActStartConversion", [this](QObject*) { ActStartConversionExecute(); });
    a.setHandler("ActStartScan", [this](QObject*) { ActStartScanExecute(); });
    // The output directory's lock, taken by the preparation, goes when no
    // run has started from it, and otherwise when the run has ended.
    a.setHandler("ActRunTool", [this](QObject*) {
        try {
            ActRunToolExecute();
        } catch (...) {
            if (!BatchRunning()) outputLock_.Unlock();
            throw;
        }
        if (!BatchRunning()) outputLock_.Unlock();
    });
    a.setHandler("ActCancelRun", [this](QObject*) { ActCancelRunExecute(); });
    a.setHandler("ActRename", [this](QObject*) { ActRenameExecute(); });
}

bool RunController::BatchRunning() const { return w_.project() && w_.project()->batchRunning(); }

void RunController::SetBatchRunning(bool on) {
    if (ProjectController* project = w_.project()) project->setBatchRunning(on);
    w_.setBusy(on);
}

bool RunController::ToolActive() const {
    if (WatcherRunning(watcher_)) return true;
    return process_ && process_->Started() && !process_->Reaped() && process_->IsRunning();
}

long RunController::currentToolPid() const {
    if (!process_ || !process_->Started() || process_->Reaped()) return 0;
    return long(process_->Pid());
}

void RunController::setProgress(const char* phase, int position, int maximum) {
    const std::string caption = ProgressCaption(phase, names_.projectName, position, maximum);
    w_.GroupBoxSlider->setTitle(QString::fromUtf8(caption));
    emit progressCaptionChanged(caption);
}

void RunController::showLogs() {
    ActionList& a = w_.actions();
    a["ActViewProductLog"]->setEnabled(true);
    a["ActViewConsoleLog"]->setEnabled(true);
    a.execute("ActViewProductLog");
    if (w_.language()->runControl().captureLog) a.execute("ActViewConsoleLog");
}

void RunController::forgetNameMap() { nameMap_.clear(); }

void RunController::shutDown() {
    *alive_ = false;
    // The window is going while a tool may still run: kill it, let its
    // watcher see the end and deliver its last call (which now does nothing
    // but reap), and wait for every watcher thread. Only the calls addressed
    // to the application object are run meanwhile, nothing of the window.
    if (process_) {
        std::string ignored;
        process_->Kill(ignored);
    }
    for (QPointer<TToolWatcherThread>& watcher : watchers_) {
        if (!watcher) continue;
        watcher->RequestStop();
        while (!watcher->wait(QDeadlineTimer(20)))
            QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        delete watcher.data();
    }
    watchers_.clear();
    process_.reset();
}

}  // namespace korvane

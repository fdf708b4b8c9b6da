#pragma once
// The watcher of one tool process. While the process runs, the watcher waits
// for it in periods of one second and after each period makes a synchronous
// call of an empty routine on the window thread, so it never runs more than
// one period ahead of a busy window thread. When the process has ended, or
// a stop was requested, it calls the step-finished routine synchronously on
// the window thread and ends; it then deletes itself.
//
// The watcher touches only the process (waiting on it) and its own stop
// flag. Everything the step-finished routine does happens on the window
// thread, while the watcher is blocked in its call. The owner keeps the
// process alive until the watcher has ended, and never destroys or reaps it
// from outside such a call.

#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>

namespace korvane {

class ToolProcess;

class TToolWatcherThread : public QThread {
public:
    // window: an object living on the window thread; the calls run there.
    // The thread is started by the caller (start()).
    TToolWatcherThread(ToolProcess& process, QObject* window, std::function<void()> stepFinished);

    // Asks the watcher to stop waiting; a late read costs at most one period.
    void RequestStop() { stopRequested_.store(true); }
    bool StopRequested() const { return stopRequested_.load(); }

    // The wait period in milliseconds (1000; shorter in tests).
    void SetWaitPeriod(int ms) { waitPeriodMs_ = ms; }

protected:
    void run() override;

private:
    // Runs fn on the window thread and blocks until it has run; false when
    // fn raised an error (which ends the watcher without a message).
    bool CallOnWindowThread(const std::function<void()>& fn);

    ToolProcess& process_;
    QObject* window_;
    std::function<void()> stepFinished_;
    std::atomic<bool> stopRequested_{false};
    int waitPeriodMs_ = 1000;
};

// Whether the watcher exists and has not ended yet. An ended watcher is
// neither signalled nor waited for.
bool WatcherRunning(const QPointer<TToolWatcherThread>& watcher);

// Called on the window thread: processes the window thread's events, and so
// the watcher's synchronous calls, until the watcher has ended. Never waits
// on the thread in a way that would dead-lock a watcher blocked in a call.
void WaitForWatcherEnd(const QPointer<TToolWatcherThread>& watcher);

}  // namespace korvane

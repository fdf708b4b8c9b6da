#include "shell/run/tool_watcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include "shared/platform/process.h"
#include "shell/ui/guard.h"

namespace korvane {

TToolWatcherThread::TToolWatcherThread(ToolProcess& process, QObject* window,
                                       std::function<void()> stepFinished)
    : process_(process),
      window_(window ? window : QCoreApplication::instance()),
      stepFinished_(std::move(stepFinished)) {
    // Released when its work is done; the deletion runs on the window thread,
    // where this object lives.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TToolWatcherThread::run() {
    while (!stopRequested_.load() && !process_.WaitFor(waitPeriodMs_)) {
        if (!CallOnWindowThread([] {})) return;
    }
    if (stepFinished_) CallOnWindowThread(stepFinished_);
}

bool TToolWatcherThread::CallOnWindowThread(const std::function<void()>& fn) {
    QObject* window = window_;
    if (!window) return false;
    bool ran = false;
    bool failed = false;
    // The call counts as an operation of its own, so that errors inside it
    // pass through nested guarded operations up to here, where they end the
    // watcher without being shown. Nothing escapes into Qt.
    auto call = [&] {
        ran = true;
        RunGuarded([&] {
            try {
                fn();
            } catch (...) {
                failed = true;
            }
        });
    };
    if (window->thread() == QThread::currentThread())
        call();
    else if (!QMetaObject::invokeMethod(window, call, Qt::BlockingQueuedConnection))
        return false;
    // A call dropped unrun (the window object went away) ends the watcher too.
    return ran && !failed;
}

bool WatcherRunning(const QPointer<TToolWatcherThread>& watcher) {
    return watcher && watcher->isRunning();
}

void WaitForWatcherEnd(const QPointer<TToolWatcherThread>& watcher) {
    if (!WatcherRunning(watcher)) return;
    NestedEventLoopScope scope;
    QEventLoop loop;
    QObject::connect(watcher.data(), &QThread::finished, &loop, &QEventLoop::quit);
    // The end may slip in between the test and the connection; a short poll
    // catches it as well.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!WatcherRunning(watcher)) loop.quit();
    });
    poll.start(50);
    while (WatcherRunning(watcher)) {
        loop.exec();
        // An application that is quitting ends every loop at once: the
        // watcher's calls are then delivered here until it has ended, so
        // the wait below never holds up a watcher blocked in a call.
        if (WatcherRunning(watcher)) {
            QCoreApplication::sendPostedEvents();
            QThread::msleep(2);
        }
    }
    if (watcher) watcher->wait();
}

}  // namespace korvane

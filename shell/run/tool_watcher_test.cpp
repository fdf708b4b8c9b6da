#include "shell/run/tool_watcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "shared/errors.h"
#include "shared/platform/process.h"
#include "shared/test_support.h"
#include "shell/ui/guard.h"

using namespace korvane;

namespace {

std::unique_ptr<ToolProcess> StartProcess(const std::string& commandLine) {
    auto p = std::make_unique<ToolProcess>();
    std::string err;
    EXPECT_TRUE(p->Start(commandLine, "/", {}, err)) << err;
    return p;
}

QPointer<TToolWatcherThread> StartWatcher(ToolProcess& p, std::function<void()> stepFinished,
                                          int periodMs = 1000) {
    auto* w = new TToolWatcherThread(p, nullptr, std::move(stepFinished));
    w->SetWaitPeriod(periodMs);
    w->start();
    return w;
}

// Runs the deletions the ended watchers asked for. A wait may end on its
// poll before the queued call of deleteLater from the watcher's "finished" was
// delivered, so the queued calls go first, then the deletions they posted.
void ReleaseEndedWatchers() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// Processes whose parent we are (running or zombie).
int CountChildren() {
    int n = 0;
    DIR* d = opendir("/proc");
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), {});
        auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        if (ppid == long(getpid())) ++n;
    }
    closedir(d);
    return n;
}

// The task count drops a moment after a thread has ended.
int SettledThreadCount(int expected) {
    int n = CountEntries("/proc/self/task");
    for (int i = 0; i < 200 && n > expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = CountEntries("/proc/self/task");
    }
    return n;
}

struct Recorder {
    int calls = 0;
    bool allOnWindowThread = true;
    bool processEndedAtEveryCall = true;
    void Record(ToolProcess& p) {
        ++calls;
        allOnWindowThread = allOnWindowThread && QThread::currentThread() == qApp->thread();
        processEndedAtEveryCall = processEndedAtEveryCall && !p.IsRunning();
    }
};

}  // namespace

TEST(ToolWatcher, EndedProcessGivesOneStepFinishedOnTheWindowThread) {
    auto p = StartProcess("/bin/sh -c \"sleep 0.3\"");
    Recorder rec;
    QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] {
        rec.Record(*p);
        p->Reap();
    }, 100);
    EXPECT_TRUE(WatcherRunning(w));
    WaitForWatcherEnd(w);
    EXPECT_FALSE(WatcherRunning(w));
    EXPECT_EQ(rec.calls, 1);
    EXPECT_TRUE(rec.allOnWindowThread);
    EXPECT_TRUE(rec.processEndedAtEveryCall);
    EXPECT_TRUE(p->Reaped());
    ReleaseEndedWatchers();
    EXPECT_TRUE(w.isNull()) << "the watcher releases itself";
}

TEST(ToolWatcher, BusyWindowThreadHoldsTheCall) {
    auto p = StartProcess("/bin/true");
    int calls = 0;
    QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] { ++calls; });
    // The window thread does not process events: the call must wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(WatcherRunning(w));
    WaitForWatcherEnd(w);
    EXPECT_EQ(calls, 1);
    ReleaseEndedWatchers();
}

TEST(ToolWatcher, CancelKillsAndTheNextCallTakesTheCancelledBranch) {
    auto p = StartProcess("/bin/sleep 30");
    bool cancelled = false;
    std::vector<std::string> branches;
    bool onWindowThread = false;
    QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] {
        onWindowThread = QThread::currentThread() == qApp->thread();
        branches.push_back(cancelled ? "cancelled" : "finished");
        p->Reap();
    });
    // Let it run a little, as the user's cancel comes from the event loop.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    // What the stop of a run does: kill, stop request, wait with events.
    std::string err;
    ASSERT_TRUE(p->Kill(err)) << err;
    cancelled = true;
    w->RequestStop();
    QElapsedTimer stopping;
    stopping.start();
    WaitForWatcherEnd(w);
    EXPECT_LT(stopping.elapsed(), 3000);
    EXPECT_FALSE(WatcherRunning(w));
    EXPECT_EQ(branches, std::vector<std::string>{"cancelled"});
    EXPECT_TRUE(onWindowThread);
    EXPECT_TRUE(p->Reaped());
    ReleaseEndedWatchers();
}

TEST(ToolWatcher, StopRequestEndsTheWaitEvenWhileTheProcessRuns) {
    auto p = StartProcess("/bin/sleep 30");
    bool runningAtCall = false;
    int calls = 0;
    QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] {
        ++calls;
        runningAtCall = p->IsRunning();
    }, 200);
    // Let it wait through a few periods first.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(calls, 0);
    w->RequestStop();
    QElapsedTimer stopping;
    stopping.start();
    WaitForWatcherEnd(w);
    EXPECT_LT(stopping.elapsed(), 1000) << "a late read costs at most one period";
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(runningAtCall);
    ReleaseEndedWatchers();
    // The destructor kills and reaps what still runs.
    pid_t pid = p->Pid();
    p.reset();
    EXPECT_NE(access(("/proc/" + std::to_string(pid)).c_str(), F_OK), 0);
}

TEST(ToolWatcher, ErrorsInStepFinishedEndTheWatcherSilently) {
    std::vector<std::string> shown;
    SetErrorSink([&](const std::string& text) { shown.push_back(text); });
    struct Case {
        const char* name;
        std::function<void()> raise;
    } cases[] = {
        {"error", [] { throw Error("Trying to execute an invalid step - X"); }},
        {"silent abort", [] { throw SilentAbort(); }},
        {"other", [] { throw 42; }},
        // A guarded operation run from inside passes its error up and ends
        // the routine there, as an action executed at the end of a run does.
        {"nested guarded", [] { RunGuarded([] { throw Error("Cannot find log - x"); }); }},
    };
    for (const auto& c : cases) {
        auto p = StartProcess("/bin/true");
        bool after = false;
        QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] {
            c.raise();
            after = true;
        });
        WaitForWatcherEnd(w);
        EXPECT_FALSE(after) << c.name;
        EXPECT_FALSE(WatcherRunning(w)) << c.name;
        ReleaseEndedWatchers();
    }
    EXPECT_TRUE(shown.empty());
    SetErrorSink(nullptr);
}

TEST(ToolWatcher, HandOverStartsTheNextStepFromInsideTheCall) {
    // Three steps: each StepFinished starts the next process and its watcher
    // while the old watcher is still blocked in its call.
    std::vector<std::unique_ptr<ToolProcess>> processes;
    std::vector<QPointer<TToolWatcherThread>> watchers;
    std::vector<int> finishedSteps;
    processes.reserve(3);
    watchers.reserve(3);
    bool allOnWindowThread = true;
    std::function<void(int)> startStep = [&](int step) {
        processes.push_back(StartProcess("/bin/sh -c \"sleep 0.05\""));
        ToolProcess* p = processes.back().get();
        watchers.push_back(StartWatcher(*p, [&, step, p] {
            allOnWindowThread = allOnWindowThread && QThread::currentThread() == qApp->thread();
            p->Reap();
            finishedSteps.push_back(step);
            if (step < 3) startStep(step + 1);
        }, 50));
    };
    startStep(1);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_LT(i, watchers.size());
        WaitForWatcherEnd(watchers[i]);
    }
    EXPECT_EQ(finishedSteps, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(allOnWindowThread);
    ReleaseEndedWatchers();
    for (const auto& w : watchers) EXPECT_TRUE(w.isNull());
}

TEST(ToolWatcher, ManyRunsLeaveNoThreadsZombiesOrDescriptors) {
    // Warm up once so that lazily created resources do not count.
    {
        auto p = StartProcess("/bin/true");
        QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] { p->Reap(); });
        WaitForWatcherEnd(w);
        ReleaseEndedWatchers();
    }
    const int threads = SettledThreadCount(1);
    const int fds = CountEntries("/proc/self/fd");
    ASSERT_EQ(CountChildren(), 0);

    int calls = 0;
    for (int i = 0; i < 200; ++i) {
        auto p = StartProcess("/bin/true");
        QPointer<TToolWatcherThread> w = StartWatcher(*p, [&] {
            ++calls;
            p->Reap();
        });
        WaitForWatcherEnd(w);
        ReleaseEndedWatchers();
    }
    EXPECT_EQ(calls, 200);
    EXPECT_EQ(CountChildren(), 0);
    EXPECT_EQ(SettledThreadCount(threads), threads);
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
}

// The launcher of the tool programs: the end of a tool is reported once, on
// the starting thread, from its event loop, after the process has been
// collected; no thread is started per tool; a stop reports at once; nothing
// is left behind.

#include "shell/run/tool_launcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "shared/test_support.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// No process of ours is left, running or a zombie (one would be collected
// here, and the answer would still be false).
bool NoChildren() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

std::unique_ptr<ToolRun> Start(ProcessLauncher& launcher, const std::vector<std::string>& args,
                               std::function<void()> ended) {
    ToolStartOptions options;
    options.ownGroup = true;
    std::string err;
    std::unique_ptr<ToolRun> run = launcher.Start(args, "/", options, std::move(ended), err);
    EXPECT_TRUE(run) << err;
    return run;
}

bool ProcessEvents(const std::function<bool()>& until, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!until()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

}  // namespace

TEST(ToolLauncher, EndIsReportedOnceFromTheEventLoopAfterCollection) {
    ProcessLauncher pidfd;
    ProcessLauncher poll(ProcessLauncher::Notice::Poll);
    struct Case {
        const char* what;
        std::vector<std::string> args;
        ProcessEnd::Kind kind;
        int code;  // exit code or signal
    } cases[] = {
        {"exit 0", {"/bin/true"}, ProcessEnd::Kind::Exited, 0},
        {"exit 3", {"/bin/sh", "-c", "exit 3"}, ProcessEnd::Kind::Exited, 3},
        {"killed by itself", {"/bin/sh", "-c", "kill -TERM $$"}, ProcessEnd::Kind::Signalled, SIGTERM},
    };
    const int threads = CountEntries("/proc/self/task");
    for (ProcessLauncher* launcher : {&pidfd, &poll}) {
        for (const Case& c : cases) {
            int calls = 0;
            bool onThisThread = false;
            ProcessEnd endAtCall;
            std::unique_ptr<ToolRun> run;
            run = Start(*launcher, c.args, [&] {
                ++calls;
                onThisThread = QThread::currentThread() == qApp->thread();
                endAtCall = run->End();
            });
            ASSERT_TRUE(run);
            // No thread watches it, and without the event loop nothing is reported.
            EXPECT_EQ(CountEntries("/proc/self/task"), threads) << c.what;
            ASSERT_TRUE(WaitUntil([&] { return !ProcessAlive(run->Pid()); })) << c.what;
            EXPECT_EQ(calls, 0) << c.what;
            EXPECT_TRUE(run->Watching()) << c.what;
            ASSERT_TRUE(ProcessEvents([&] { return calls > 0; })) << c.what;
            QCoreApplication::processEvents();
            EXPECT_EQ(calls, 1) << c.what;
            EXPECT_TRUE(onThisThread) << c.what;
            EXPECT_FALSE(run->Watching()) << c.what;
            EXPECT_EQ(endAtCall.kind, c.kind) << c.what;
            EXPECT_EQ(c.kind == ProcessEnd::Kind::Exited ? endAtCall.code : endAtCall.signal, c.code) << c.what;
            EXPECT_TRUE(NoChildren()) << c.what << ": collected before the report";
            run->StopWatching(0);
            EXPECT_EQ(calls, 1) << c.what << ": reported once";
        }
    }
}

TEST(ToolLauncher, StopReportsAtOnce) {
    // A killed tool is reported as soon as it has ended; one whose kill was
    // refused (here: not killed) is reported after the grace, still running,
    // and goes with its ToolRun.
    ProcessLauncher launcher;
    for (bool kill : {true, false}) {
        int calls = 0;
        bool runningAtCall = false;
        std::unique_ptr<ToolRun> run;
        run = Start(launcher, {"/bin/sleep", "30"}, [&] {
            ++calls;
            runningAtCall = run->Running();
        });
        ASSERT_TRUE(run);
        const long pid = run->Pid();
        if (kill) {
            std::string err;
            ASSERT_TRUE(run->Kill(err)) << err;
        }
        run->StopWatching(kill ? 5000 : 0);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(runningAtCall, !kill);
        EXPECT_EQ(run->End().kind, kill ? ProcessEnd::Kind::Signalled : ProcessEnd::Kind::Unknown);
        run.reset();
        EXPECT_FALSE(ProcessAlive(pid));
        EXPECT_TRUE(NoChildren());
    }
}

TEST(ToolLauncher, ManyToolsLeaveNoThreadsZombiesOrDescriptors) {
    ProcessLauncher launcher;
    auto once = [&] {
        bool ended = false;
        std::unique_ptr<ToolRun> run = Start(launcher, {"/bin/true"}, [&] { ended = true; });
        return ProcessEvents([&] { return ended; });
    };
    // Once first, so that what is made lazily does not count.
    ASSERT_TRUE(once());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const int threads = CountEntries("/proc/self/task");
    const int fds = CountEntries("/proc/self/fd");
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(once());
    // Dropped before its end: killed and collected.
    Start(launcher, {"/bin/sleep", "30"}, [] {}).reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(NoChildren());
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
}

// No process started by the tests outlives them.
class NoProcessLeft : public ::testing::Environment {
    void SetUp() override { korvane::testing::MarkTestProcesses(); }
    void TearDown() override { EXPECT_TRUE(korvane::testing::NoMarkedProcessLeft()); }
};
const ::testing::Environment* const kNoProcessLeft = ::testing::AddGlobalTestEnvironment(new NoProcessLeft);

#include "shared/platform/process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "shared/platform/files.h"
#include "shared/test_support.h"
#include "shared/text.h"

namespace korvane {
void SetPidFdUseForTests(bool use);
}

using namespace korvane;
using korvane::testing::PidFromFile;
using korvane::testing::ProcessAlive;
using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;
using korvane::testing::WaitUntil;
namespace fs = std::filesystem;

namespace {

void WriteFile(const std::string& path, const std::string& bytes, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << bytes;
    chmod(path.c_str(), mode);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A shell script that records its arguments, one a line, and its working
// directory into the file named by $OUT.
std::string ArgsScript() {
    return "#!/bin/sh\n"
           "pwd > \"$OUT\"\n"
           "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$OUT\"; done\n";
}

// An "MZ" image of 0x80 bytes whose header offset (at 0x3C) is lfanew and
// which holds sig at 0x40.
std::string MzImage(uint32_t lfanew, const std::string& sig) {
    std::string b(0x80, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    for (int i = 0; i < 4; ++i) b[0x3C + i] = char((lfanew >> (8 * i)) & 0xFF);
    b.replace(0x40, sig.size(), sig);
    return b;
}

// A step that starts a child of its own and records both pids: the step
// is "$dir/tool.pid", its child "$dir/child.pid".
std::string TreeCommand(const std::string& dir, const std::string& end) {
    return "/bin/sh -c \"echo $$ > '" + dir + "/tool.pid'; sleep 300 & echo $! > '" + dir + "/child.pid'; " +
           end + "\"";
}

}  // namespace

TEST(ExecutableKind, TellsNativeDosAndNothing) {
    TempDir dir;
    std::string elf = ReadFile("/bin/true");
    ASSERT_GT(elf.size(), 4u);
    struct Case {
        const char* name;
        std::string bytes;
        mode_t mode;
        ExecKind expected;
    } cases[] = {
        {"elf", elf, 0755, ExecKind::Native},
        {"elf-no-x", elf, 0644, ExecKind::None},
        {"script", "#!/bin/sh\necho hi\n", 0700, ExecKind::Native},
        {"script-no-x", "#!/bin/sh\necho hi\n", 0644, ExecKind::None},
        {"plain-text-x", "echo hi\n", 0755, ExecKind::None},
        {"empty-x", "", 0755, ExecKind::None},
        {"short-mz.exe", "MZ\x90\0", 0644, ExecKind::Dos},
        {"dos.exe", MzImage(0, ""), 0644, ExecKind::Dos},
        {"pe.exe", MzImage(0x40, std::string("PE\0\0", 4)), 0755, ExecKind::None},
        {"ne.exe", MzImage(0x40, "NE"), 0644, ExecKind::Dos},
        {"lfanew-past-end.exe", MzImage(0x7E, ""), 0644, ExecKind::Dos},
        {"lfanew-huge.exe", MzImage(0xFFFFFFF0u, ""), 0644, ExecKind::Dos},
        {"TOOL.COM", "\xB4\x4C\xCD\x21", 0644, ExecKind::Dos},
        {"tool.com", "", 0644, ExecKind::Dos},
        {"tool.Com.txt", "x", 0644, ExecKind::None},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.bytes, c.mode);
        EXPECT_EQ(ExecutableKind(dir / c.name), c.expected) << c.name;
    }
    EXPECT_EQ(ExecutableKind(dir / "missing"), ExecKind::None);
    EXPECT_EQ(ExecutableKind(dir.path()), ExecKind::None);
    EXPECT_EQ(ExecutableKind(""), ExecKind::None);
    ASSERT_EQ(symlink((dir / "script").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(ExecutableKind(dir / "link"), ExecKind::Native);
}

TEST(CommandLine, SplitsLikeTheCRuntime) {
    using V = std::vector<std::string>;
    struct Case {
        const char* line;
        V expected;
    } cases[] = {
        {R"("/opt/my tools/a" last.xml >> Console.log)", {"/opt/my tools/a", "last.xml", ">>", "Console.log"}},
        {"prog last.xml > Console.log", {"prog", "last.xml", ">", "Console.log"}},
        {"  prog \t a   b  ", {"prog", "a", "b"}},
        {R"(prog "a b" c)", {"prog", "a b", "c"}},
        {R"(prog a"b c"d)", {"prog", "ab cd"}},
        {R"(prog a\b\\c)", {"prog", R"(a\b\\c)"}},
        {R"(prog a\"b)", {"prog", R"(a"b)"}},
        {R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
        {R"(prog "a\\" b)", {"prog", R"(a\)", "b"}},
        {R"(prog a\\"b c")", {"prog", R"(a\b c)"}},
        {R"(prog "a""b" c)", {"prog", R"(a"b)", "c"}},
        {R"(prog "" x)", {"prog", "", "x"}},
        {R"(prog "unterminated arg)", {"prog", "unterminated arg"}},
        {R"(C:\dir\prog.exe x)", {R"(C:\dir\prog.exe)", "x"}},
        {R"("C:\dir\"prog x)", {R"(C:\dir\prog)", "x"}},
        {R"(pr"o g" x)", {"pro g", "x"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

TEST(CommandLine, UnquotedProgramWithBlanksIsFoundOnDisk) {
    TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir / "my tools"));
    std::string prog = dir / "my tools/a b";
    WriteFile(prog, ArgsScript(), 0755);
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitProgramCommandLine(prog + " last.xml >> Console.log"),
              (V{prog, "last.xml", ">>", "Console.log"}));
    // A shorter beginning that names a file wins, as the origin system does.
    WriteFile(dir / "my", "x", 0755);
    EXPECT_EQ(SplitProgramCommandLine(prog + " x"), (V{dir / "my", "tools/a", "b", "x"}));
    // Quoted, or nothing on disk: plain splitting.
    EXPECT_EQ(SplitProgramCommandLine("\"" + prog + "\" x"), (V{prog, "x"}));
    EXPECT_EQ(SplitProgramCommandLine(dir / "none at all"), (V{dir / "none", "at", "all"}));
    // The search stops at the first quote.
    fs::remove(dir / "my");
    EXPECT_EQ(SplitProgramCommandLine(dir / "my \"tools/a b\""), (V{dir / "my", "tools/a b"}));
}

TEST(ToolProcess, PassesArgumentsLiterallyInTheWorkingDirectory) {
    TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir / "out dir"));
    std::string prog = dir / "args.sh";
    WriteFile(prog, ArgsScript(), 0755);
    ScopedEnv out("OUT", dir / "record");
    ToolProcess p;
    std::string err;
    ASSERT_TRUE(p.Start("\"" + prog + "\" last.xml >> Console.log \"a b\" *", dir / "out dir", {}, err)) << err;
    p.Reap();
    ASSERT_TRUE(WIFEXITED(p.WaitStatus()));
    EXPECT_EQ(WEXITSTATUS(p.WaitStatus()), 0);
    EXPECT_EQ(ReadFile(dir / "record"), dir / "out dir\nlast.xml\n>>\nConsole.log\na b\n*\n");
    // No shell took part: nothing was redirected.
    EXPECT_FALSE(FileExists(dir / "out dir/Console.log"));
}

TEST(ToolProcess, CaptureAppendsForEveryStepAndTruncatesForAScan) {
    TempDir dir;
    ToolStartOptions append;
    append.captureFile = "Console.log";
    append.captureAppend = true;
    for (int run = 1; run <= 3; ++run) {
        ToolProcess p;
        std::string err;
        std::string cmd = "/bin/sh -c \"echo out" + std::to_string(run) + "; echo err" +
                          std::to_string(run) + " >&2\"";
        ASSERT_TRUE(p.Start(cmd, dir.path(), append, err)) << err;
        p.Reap();
    }
    EXPECT_EQ(ReadFile(dir / "Console.log"), "out1\nerr1\nout2\nerr2\nout3\nerr3\n");

    ToolStartOptions truncate = append;
    truncate.captureAppend = false;
    ToolProcess scan;
    std::string err;
    ASSERT_TRUE(scan.Start("/bin/echo scanned", dir.path(), truncate, err)) << err;
    scan.Reap();
    EXPECT_EQ(ReadFile(dir / "Console.log"), "scanned\n");
}

TEST(ToolProcess, StartFailuresGiveTheSystemText) {
    TempDir dir;
    struct Case {
        std::string commandLine;
        std::string workingDirectory;
        std::string captureFile;
        std::string expected;
    } cases[] = {
        {dir / "missing last.xml", dir.path(), "", SystemErrorText(ENOENT)},
        {"korvane-no-such-program-anywhere", dir.path(), "", SystemErrorText(ENOENT)},
        {"/bin/true", dir / "no folder", "", SystemErrorText(ENOENT)},
        {"/bin/true", dir.path(), "no folder/Console.log", SystemErrorText(ENOENT)},
        {"", dir.path(), "", SystemErrorText(ENOENT)},
        {dir.path(), dir.path(), "", SystemErrorText(EACCES)},
    };
    for (bool ownGroup : {false, true}) {
        for (const auto& c : cases) {
            ToolProcess p;
            ToolStartOptions options;
            options.captureFile = c.captureFile;
            options.ownGroup = ownGroup;
            std::string err;
            EXPECT_FALSE(p.Start(c.commandLine, c.workingDirectory, options, err)) << c.commandLine << ownGroup;
            EXPECT_EQ(err, c.expected) << c.commandLine << ownGroup;
            EXPECT_FALSE(p.Started());
        }
    }
}

TEST(ToolProcess, InheritsOnlyTheStandardDescriptors) {
    int leaky = open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    ASSERT_GE(leaky, 3);
    for (bool ownGroup : {false, true}) {
        ToolStartOptions options;
        options.ownGroup = ownGroup;
        ToolProcess p;
        std::string err;
        ASSERT_TRUE(p.Start("/bin/sleep 30", "/", options, err)) << err;
        const std::string fdDir = "/proc/" + std::to_string(p.Pid()) + "/fd";
        // The child may still be on its way into exec, and sleep itself opens
        // and closes its locale files as it starts: an inherited descriptor
        // is one that stays.
        const std::set<std::string> standard = {"0", "1", "2"};
        std::set<std::string> fds;
        WaitUntil([&] {
            fds.clear();
            if (ReadFile("/proc/" + std::to_string(p.Pid()) + "/comm") != "sleep\n") return false;
            for (const auto& e : fs::directory_iterator(fdDir)) fds.insert(e.path().filename().string());
            return fds == standard;
        }, 3000);
        EXPECT_EQ(fds, standard) << ownGroup;
    }
    close(leaky);
}

TEST(ToolProcess, HiddenStartHasNoTerminal) {
    TempDir dir;
    std::string prog = dir / "where.sh";
    WriteFile(prog,
              "#!/bin/sh\n"
              "in=$(readlink /proc/$$/fd/0); out=$(readlink /proc/$$/fd/1); err=$(readlink /proc/$$/fd/2)\n"
              "printf '%s\\n' \"$in\" \"$out\" \"$err\" > \"$OUT\"\n"
              "if [ \"$(cut -d' ' -f6 /proc/$$/stat)\" = \"$$\" ]; then echo own-session >> \"$OUT\"; fi\n",
              0755);
    ScopedEnv out("OUT", dir / "record");
    ToolStartOptions hidden;
    hidden.hidden = true;
    ToolProcess p;
    std::string err;
    ASSERT_TRUE(p.Start(prog, dir.path(), hidden, err)) << err;
    p.Reap();
    std::string record = ReadFile(dir / "record");
    EXPECT_EQ(record, "/dev/null\n/dev/null\n/dev/null\nown-session\n");

    // Captured and hidden: output goes to the capture file, input stays empty.
    hidden.captureFile = dir / "Console.log";
    ToolProcess q;
    ASSERT_TRUE(q.Start(prog, dir.path(), hidden, err)) << err;
    q.Reap();
    record = ReadFile(dir / "record");
    EXPECT_EQ(record, "/dev/null\n" + dir / "Console.log\n" + dir / "Console.log\nown-session\n");
}

TEST(ToolProcess, WaitsKillsAndReapsWithAndWithoutPidFd) {
    for (bool usePidFd : {true, false}) {
        SCOPED_TRACE(usePidFd ? "pidfd" : "polling");
        SetPidFdUseForTests(usePidFd);
        ToolProcess p;
        std::string err;
        ASSERT_TRUE(p.Start("/bin/sleep 30", "/", {}, err)) << err;
        EXPECT_EQ(p.HasPidFd(), usePidFd);
        EXPECT_FALSE(p.WaitFor(150));
        EXPECT_TRUE(p.IsRunning());

        EXPECT_TRUE(p.Kill(err)) << err;
        EXPECT_TRUE(p.WaitFor(5000));
        // Ended but not reaped: still a zombie child of ours.
        EXPECT_FALSE(p.Reaped());
        EXPECT_FALSE(p.IsRunning());
        EXPECT_TRUE(p.Kill(err)) << "an ended process counts as killed";
        p.Reap();
        p.Reap();
        ASSERT_TRUE(WIFSIGNALED(p.WaitStatus()));
        EXPECT_EQ(WTERMSIG(p.WaitStatus()), SIGKILL);
        EXPECT_FALSE(fs::exists("/proc/" + std::to_string(p.Pid())));
        EXPECT_TRUE(p.Kill(err));
        EXPECT_TRUE(p.WaitFor(0));
    }
    SetPidFdUseForTests(true);
}

TEST(ToolProcess, DestructorKillsAndReapsARunningProcess) {
    pid_t pid;
    {
        ToolProcess p;
        std::string err;
        ASSERT_TRUE(p.Start("/bin/sleep 30", "/", {}, err)) << err;
        pid = p.Pid();
    }
    // Neither running nor a zombie: the entry is gone.
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid)));
    siginfo_t info{};
    EXPECT_EQ(waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(RunAndWait, WaitsForTheUnquotedProgram) {
    TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir / "Program Files/T"));
    std::string prog = dir / "Program Files/T/slow tool";
    WriteFile(prog, "#!/bin/sh\nsleep 0.3\n" + ArgsScript().substr(10), 0755);
    ScopedEnv out("OUT", dir / "record");
    EXPECT_TRUE(RunAndWait(prog, "-c \"CONFIG -writeconf DOSBox.config\"", dir.path()));
    // Written after the sleep, so only there when the call really waited.
    EXPECT_EQ(ReadFile(dir / "record"), dir.path() + "\n-c\nCONFIG -writeconf DOSBox.config\n");
    EXPECT_FALSE(RunAndWait(dir / "Program Files/T/none", "x", dir.path()));
}

// A step runs in a process group of its own: whatever ends it, nothing it
// started outlives it.
TEST(ToolProcessGroup, NothingOfAStepOutlivesIt) {
    struct Case {
        const char* what;
        const char* end;  // how the step's shell goes on after starting its child
        bool hidden;
        // What happens to the step while it runs; the process is ours (the
        // test stands in for the shell) unless the case forks a shell.
        std::function<void(ToolProcess&)> act;
        int signal;  // the end the program's status tells: a signal, or
        int code;    // an exit status when signal is 0
    } cases[] = {
        {"cancelled", "wait", false, [](ToolProcess& p) { std::string e; EXPECT_TRUE(p.Kill(e)) << e; }, SIGKILL, 0},
        {"cancelled, hidden", "wait", true, [](ToolProcess& p) { std::string e; EXPECT_TRUE(p.Kill(e)) << e; },
         SIGKILL, 0},
        {"ended, leaving its child", "exit 4", false, [](ToolProcess&) {}, 0, 4},
        {"killed alone (only the step's own process)", "wait", false,
         [](ToolProcess& p) { kill(p.Pid(), SIGKILL); }, SIGKILL, 0},
        {"ended by a signal of its own", "kill -TERM $$", false, [](ToolProcess&) {}, SIGTERM, 0},
        {"crashed (no core file)", "kill -SEGV $$", false, [](ToolProcess&) {}, SIGSEGV, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ToolStartOptions options;
        options.ownGroup = true;
        options.hidden = c.hidden;
        ToolProcess p;
        std::string err;
        ASSERT_TRUE(p.Start(TreeCommand(dir.path(), c.end), dir.path(), options, err)) << err;
        const long child = PidFromFile(dir / "child.pid");
        ASSERT_GT(child, 0);
        EXPECT_EQ(PidFromFile(dir / "tool.pid"), long(p.Pid()));
        EXPECT_EQ(getpgid(pid_t(child)), p.GroupId());
        c.act(p);
        EXPECT_TRUE(p.WaitFor(10000));
        p.Reap();
        EXPECT_TRUE(WaitUntil([&] { return !ProcessAlive(child) && !ProcessAlive(p.Pid()); }));
        const ProcessEnd end = p.End();
        if (c.signal) {
            EXPECT_EQ(end.kind, ProcessEnd::Kind::Signalled);
            EXPECT_EQ(end.signal, c.signal);
        } else {
            EXPECT_EQ(end.kind, ProcessEnd::Kind::Exited);
            EXPECT_EQ(end.code, c.code);
        }
        EXPECT_FALSE(fs::exists(dir / "core"));
    }
}

// The shell that started a step dies, even by SIGKILL: the step's group
// dies with it. A thread of the shell that started the step and ended is
// no such death.
TEST(ToolProcessGroup, DiesWithTheShellNotWithTheStartingThread) {
    TempDir dir;
    pid_t shell = fork();
    ASSERT_GE(shell, 0);
    if (shell == 0) {
        // The stand-in shell: starts the step from a thread that ends at
        // once, says so, and waits to be killed.
        ToolProcess p;
        std::thread starter([&] {
            ToolStartOptions options;
            options.ownGroup = true;
            std::string err;
            if (!p.Start(TreeCommand(dir.path(), "wait"), dir.path(), options, err)) _exit(1);
        });
        starter.join();
        usleep(300000);
        std::ofstream(dir / "thread.ended") << (p.IsRunning() ? "running" : "ended");
        pause();
        _exit(0);
    }
    const long child = PidFromFile(dir / "child.pid");
    const long tool = PidFromFile(dir / "tool.pid");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dir / "thread.ended"); }));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(dir / "thread.ended") != ""; }));
    EXPECT_EQ(ReadFile(dir / "thread.ended"), "running");
    EXPECT_TRUE(ProcessAlive(child));
    kill(shell, SIGKILL);
    int status = 0;
    waitpid(shell, &status, 0);
    EXPECT_TRUE(WaitUntil([&] { return !ProcessAlive(child) && !ProcessAlive(tool); }));
}

TEST(ProcessEnd, DecodesTheStatusOfRealProcesses) {
    struct Case {
        const char* command;
        ProcessEnd::Kind kind;
        int value;
        const char* name;
    } cases[] = {
        {"exit 0", ProcessEnd::Kind::Exited, 0, ""},
        {"exit 3", ProcessEnd::Kind::Exited, 3, ""},
        {"kill -KILL $$", ProcessEnd::Kind::Signalled, SIGKILL, "SIGKILL"},
        {"kill -HUP $$", ProcessEnd::Kind::Signalled, SIGHUP, "SIGHUP"},
    };
    // A short process ends within the wait, seen by the pidfd and by polling.
    for (bool usePidFd : {true, false}) {
        SetPidFdUseForTests(usePidFd);
        for (const Case& c : cases) {
            ToolProcess p;
            std::string err;
            ASSERT_TRUE(p.Start(std::string("/bin/sh -c \"") + c.command + "\"", "/", {}, err)) << err;
            EXPECT_TRUE(p.WaitFor(10000)) << c.command;
            p.Reap();
            const ProcessEnd end = p.End();
            EXPECT_EQ(end.kind, c.kind) << c.command;
            EXPECT_EQ(c.kind == ProcessEnd::Kind::Exited ? end.code : end.signal, c.value) << c.command;
            if (*c.name) {
                EXPECT_EQ(SignalName(end.signal), c.name);
            }
        }
    }
    SetPidFdUseForTests(true);
    EXPECT_EQ(DecodeWaitStatus(-1).kind, ProcessEnd::Kind::Unknown);
}

#include "shared/platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

extern char** environ;

namespace korvane {

namespace {

// Switched off by tests to exercise the polling fallback of kernels without
// pidfd support.
std::atomic<bool> gUsePidFd{true};

int PidFdOpen(pid_t pid) {
#ifdef SYS_pidfd_open
    if (!gUsePidFd.load()) return -1;
    return int(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

int PidFdSendSignal(int pidfd, int sig) {
#ifdef SYS_pidfd_send_signal
    return int(syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0));
#else
    (void)pidfd;
    (void)sig;
    errno = ENOSYS;
    return -1;
#endif
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads up to size bytes at offset; the count read.
size_t ReadAt(int fd, void* buf, size_t size, off_t offset) {
    ssize_t n;
    do n = pread(fd, buf, size, offset);
    while (n < 0 && errno == EINTR);
    return n < 0 ? 0 : size_t(n);
}

// The arguments after the program name, from position i on.
void SplitArguments(std::string_view s, size_t i, std::vector<std::string>& args) {
    const size_t n = s.size();
    for (;;) {
        while (i < n && IsBlank(s[i])) ++i;
        if (i >= n) break;
        std::string arg;
        bool inQuotes = false;
        while (i < n) {
            char c = s[i];
            if (!inQuotes && IsBlank(c)) break;
            if (c == '\\') {
                size_t k = i;
                while (k < n && s[k] == '\\') ++k;
                size_t count = k - i;
                if (k < n && s[k] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg += '"';
                        i = k + 1;
                    } else {
                        i = k;  // the quote is handled as a quote
                    }
                } else {
                    arg.append(count, '\\');
                    i = k;
                }
                continue;
            }
            if (c == '"') {
                if (inQuotes && i + 1 < n && s[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    inQuotes = !inQuotes;
                    ++i;
                }
                continue;
            }
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
}

size_t SkipBlanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return i;
}


// --- the guard of a step's process group ------------------------------------------
//
// Everything from the fork on runs in a copy of a multi-threaded program, so
// it uses only calls that are safe there: system calls on data prepared
// before the fork, no allocation, no locks.

// What the guard (and the program's child, when its exec fails) tells the
// shell through the start pipe.
struct StartMessage {
    int kind;   // kStartedPid or kStartErrno
    int value;  // the program's pid, or the errno of the failed step
};
constexpr int kStartedPid = 1;
constexpr int kStartErrno = 2;

// The signal the guard gets when its parent thread ends (the shell, or only
// the thread that started it: the guard tells them apart by its parent pid).
constexpr int kParentGoneSignal = SIGHUP;
// The shell's request to kill the step's group (a cancellation).
constexpr int kKillGroupSignal = SIGTERM;

struct GuardPlan {
    pid_t shell = 0;
    bool newSession = false;
    bool nullInput = false;
    bool nullOutput = false;
    int captureFd = -1;
    int pipeFd = -1;
    const char* workingDirectory = nullptr;
    char* const* argv = nullptr;
    char* const* envp = nullptr;
    // Paths to try in order (one, or the PATH candidates of a bare name).
    const char* const* candidates = nullptr;
};

void SendStartMessage(int fd, int kind, int value) {
    StartMessage m{kind, value};
    ssize_t n;
    do n = write(fd, &m, sizeof m);
    while (n < 0 && errno == EINTR);
}

[[noreturn]] void GuardFails(const GuardPlan& plan, int error) {
    SendStartMessage(plan.pipeFd, kStartErrno, error);
    _exit(127);
}

void CloseDescriptorsFrom(unsigned first, unsigned last) {
    if (first > last) return;
    if (close_range(first, last, 0) == 0) return;
    struct rlimit lim;
    unsigned top = getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < 65536 ? unsigned(lim.rlim_cur) : 65536;
    for (unsigned fd = first; fd <= last && fd < top; ++fd) close(int(fd));
}

// Gives the signal its default action. Straight to the kernel where its
// layout is known: a sanitizer's sigaction keeps its own handler for a
// crash signal, and the guard must die of the signal its program died of.
void DefaultSignalAction(int sig) {
#if defined(__x86_64__) && defined(SYS_rt_sigaction)
    struct {
        void (*handler)(int);
        unsigned long flags;
        void (*restorer)();
        unsigned long mask;
    } action = {SIG_DFL, 0, nullptr, 0};
    syscall(SYS_rt_sigaction, sig, &action, nullptr, sizeof action.mask);
#else
    struct sigaction dfl;
    memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
#endif
}

// The program's process: the guard's child.
[[noreturn]] void RunProgram(const GuardPlan& plan, pid_t guard) {
    // The group of the program and everything it starts (the guard does the
    // same from its side, so that it never signals a group not yet made).
    setpgid(0, 0);
    // Dies with its guard (the guard kills the group when the shell goes;
    // this covers a guard that is killed alone).
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != guard) _exit(127);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    int error = ENOENT;
    for (const char* const* c = plan.candidates; *c; ++c) {
        execve(*c, plan.argv, plan.envp);
        // As execvp: a later candidate may still do, but a reason other
        // than "not there" is the one worth telling.
        if (errno != ENOENT && errno != ENOTDIR) error = errno;
        if (errno != ENOENT && errno != ENOTDIR && errno != EACCES) break;
    }
    SendStartMessage(plan.pipeFd, kStartErrno, error);
    _exit(127);
}

[[noreturn]] void RunGuard(const GuardPlan& plan) {
    // Signals arrive blocked (the shell blocked them around the fork). The
    // shell's handlers must never run here, and the program inherits no
    // ignored signal: every signal gets its default action.
    for (int s = 1; s < NSIG; ++s) DefaultSignalAction(s);

    // Hidden: no terminal, a session of its own (in which the program gets
    // a group of its own).
    if (plan.newSession && setsid() < 0) GuardFails(plan, errno);
    prctl(PR_SET_PDEATHSIG, kParentGoneSignal);
    if (getppid() != plan.shell) _exit(127);  // the shell is gone already
    // A copy of the shell must never leave a core file.
    prctl(PR_SET_DUMPABLE, 0);

    if (plan.nullInput) {
        int fd = open("/dev/null", O_RDONLY);
        if (fd < 0) GuardFails(plan, errno);
        if (fd != 0) {
            dup2(fd, 0);
            close(fd);
        }
    }
    if (plan.captureFd >= 0) {
        if (dup2(plan.captureFd, 1) < 0 || dup2(plan.captureFd, 2) < 0) GuardFails(plan, errno);
    } else if (plan.nullOutput) {
        int fd = open("/dev/null", O_WRONLY);
        if (fd < 0) GuardFails(plan, errno);
        dup2(fd, 1);
        dup2(fd, 2);
        if (fd > 2) close(fd);
    }
    if (plan.workingDirectory && chdir(plan.workingDirectory) != 0) GuardFails(plan, errno);
    // Nothing but the standard descriptors (and the start pipe, which closes
    // on exec) passes on.
    CloseDescriptorsFrom(3, unsigned(plan.pipeFd) - 1);
    CloseDescriptorsFrom(unsigned(plan.pipeFd) + 1, ~0U);

    const pid_t self = getpid();
    pid_t program = fork();
    if (program < 0) GuardFails(plan, errno);
    if (program == 0) RunProgram(plan, self);
    setpgid(program, program);
    SendStartMessage(plan.pipeFd, kStartedPid, int(program));
    close(plan.pipeFd);

    // The guard is no member of the group it kills: it outlives the program
    // and collects it, and what the program left in its group is killed
    // while the program, ended but not yet collected, still holds the
    // group's number.
    sigset_t wanted;
    sigemptyset(&wanted);
    sigaddset(&wanted, SIGCHLD);
    sigaddset(&wanted, kParentGoneSignal);
    sigaddset(&wanted, kKillGroupSignal);
    int status = 0;
    for (;;) {
        siginfo_t info;
        const int sig = sigwaitinfo(&wanted, &info);
        if (sig == kParentGoneSignal && getppid() == plan.shell) continue;  // only a thread of the shell ended
        if (sig == kParentGoneSignal || sig == kKillGroupSignal) {
            kill(-program, SIGKILL);
            continue;
        }
        if (sig != SIGCHLD) continue;
        memset(&info, 0, sizeof info);
        if (waitid(P_PID, id_t(program), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != program)
            continue;
        kill(-program, SIGKILL);
        if (waitpid(program, &status, 0) == program) break;
    }
    // End as the program ended.
    if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        struct rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, sig);
        kill(self, sig);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        _exit(128 + sig);  // a signal whose default is not to end
    }
    _exit(127);
}

// A descriptor number above the standard ones, close-on-exec; the original
// is closed. -1 with errno on failure.
int AboveStandardDescriptors(int fd) {
    if (fd > 2) return fd;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int err = errno;
    close(fd);
    errno = err;
    return moved;
}

}  // namespace

ProcessEnd DecodeWaitStatus(int waitStatus) {
    ProcessEnd end;
    if (waitStatus < 0) return end;
    if (WIFEXITED(waitStatus)) {
        end.kind = ProcessEnd::Kind::Exited;
        end.code = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        end.kind = ProcessEnd::Kind::Signalled;
        end.signal = WTERMSIG(waitStatus);
    }
    return end;
}

std::string SignalName(int signal) {
    if (const char* abbrev = sigabbrev_np(signal)) return std::string("SIG") + abbrev;
    return "signal " + std::to_string(signal);
}

bool ToolProcess::StartGuarded(const std::vector<std::string>& args, const std::string& program,
                               bool searchPath, const std::string& workingDirectory,
                               const ToolStartOptions& options, int captureFd, std::string& errorText) {
    // Everything the guard needs is made here, before the fork.
    std::vector<std::string> candidates;
    if (searchPath) {
        const char* path = getenv("PATH");
        std::string list = path ? path : "/usr/local/bin:/usr/bin:/bin";
        size_t start = 0;
        for (;;) {
            size_t colon = list.find(':', start);
            std::string dir = list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            candidates.push_back(JoinPath(dir.empty() ? "." : dir, program));
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    } else {
        candidates.push_back(program);
    }
    std::vector<const char*> candidatePtrs;
    for (const auto& c : candidates) candidatePtrs.push_back(c.c_str());
    candidatePtrs.push_back(nullptr);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        errorText = SystemErrorText(errno);
        if (captureFd >= 0) close(captureFd);
        return false;
    }
    const int readEnd = fds[0];
    const int writeEnd = AboveStandardDescriptors(fds[1]);
    if (writeEnd < 0) {
        errorText = SystemErrorText(errno);
        close(readEnd);
        if (captureFd >= 0) close(captureFd);
        return false;
    }

    GuardPlan plan;
    plan.shell = getpid();
    plan.newSession = options.hidden;
    plan.nullInput = options.hidden;
    plan.nullOutput = options.hidden;
    plan.captureFd = captureFd;
    plan.pipeFd = writeEnd;
    plan.workingDirectory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    plan.argv = argv.data();
    plan.envp = environ;
    plan.candidates = candidatePtrs.data();

    // No handler of the shell may run in the copy before it has reset them.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    pid_t guard = fork();
    if (guard == 0) RunGuard(plan);
    const int forkErr = errno;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    close(writeEnd);
    if (captureFd >= 0) close(captureFd);
    if (guard < 0) {
        close(readEnd);
        errorText = SystemErrorText(forkErr);
        return false;
    }

    // The guard reports the program's pid; a failed step reports its errno.
    // The pipe ends when the guard has written and the program has gone
    // through exec (or ended).
    int error = 0;
    pid_t tool = -1;
    StartMessage m;
    size_t got = 0;
    for (;;) {
        ssize_t n = read(readEnd, reinterpret_cast<char*>(&m) + got, sizeof m - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
        if (got < sizeof m) continue;
        got = 0;
        if (m.kind == kStartedPid) tool = pid_t(m.value);
        if (m.kind == kStartErrno && error == 0) error = m.value;
    }
    close(readEnd);
    if (error == 0 && tool <= 0) error = ECHILD;  // the guard ended before it could say
    pid_ = guard;
    toolPid_ = tool;
    group_ = true;
    pidfd_ = PidFdOpen(guard);
    if (error != 0) {
        std::string ignored;
        Kill(ignored);
        Reap();
        pid_ = -1;
        toolPid_ = -1;
        group_ = false;
        reaped_ = false;
        status_ = -1;
        errorText = SystemErrorText(error);
        return false;
    }
    return true;
}

// Test hook, declared in process_test.cpp only.
void SetPidFdUseForTests(bool use) { gUsePidFd = use; }

ExecKind ExecutableKind(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ExecKind::None;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ExecKind::None;
    unsigned char head[64] = {};
    size_t got = ReadAt(fd, head, sizeof head, 0);

    ExecKind kind = ExecKind::None;
    bool executable = (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    bool elf = got >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0;
    bool script = got >= 2 && head[0] == '#' && head[1] == '!';
    if (executable && (elf || script)) {
        kind = ExecKind::Native;
    } else if (SameText(ExtractFileExt(path), ".com")) {
        kind = ExecKind::Dos;
    } else if (got >= 2 && head[0] == 'M' && head[1] == 'Z') {
        // A newer program keeps the offset of its PE header at 0x3C; a DOS
        // program has none there, or one that points at no "PE\0\0".
        bool pe = false;
        if (got >= 0x40) {
            uint32_t lfanew = uint32_t(head[0x3C]) | uint32_t(head[0x3D]) << 8 |
                              uint32_t(head[0x3E]) << 16 | uint32_t(head[0x3F]) << 24;
            char sig[4] = {};
            if (lfanew >= 0x40 && off_t(lfanew) + 4 <= st.st_size &&
                ReadAt(fd, sig, 4, off_t(lfanew)) == 4)
                pe = std::memcmp(sig, "PE\0\0", 4) == 0;
        }
        if (!pe) kind = ExecKind::Dos;
    }
    close(fd);
    return kind;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    size_t i = SkipBlanks(commandLine);
    if (i >= commandLine.size()) return args;
    // The program name: quotes group and vanish, backslashes are plain.
    std::string program;
    bool inQuotes = false;
    for (; i < commandLine.size(); ++i) {
        char c = commandLine[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && IsBlank(c)) break;
        program += c;
    }
    args.push_back(std::move(program));
    SplitArguments(commandLine, i, args);
    return args;
}

std::vector<std::string> SplitProgramCommandLine(std::string_view commandLine) {
    size_t start = SkipBlanks(commandLine);
    std::string_view s = commandLine.substr(start);
    if (s.empty() || s.front() == '"') return SplitCommandLine(s);
    // Try "a", "a b", "a b c", ... up to the first quote: the shortest one
    // naming an existing file is the program.
    for (size_t end = 0; end <= s.size(); ++end) {
        if (end < s.size() && s[end] == '"') break;
        if (end < s.size() && !IsBlank(s[end])) continue;
        if (end == 0 || IsBlank(s[end - 1])) continue;
        std::string candidate(s.substr(0, end));
        if (candidate.find(kPathSep) != std::string::npos && FileExists(candidate)) {
            std::vector<std::string> args{candidate};
            SplitArguments(s, end, args);
            return args;
        }
    }
    return SplitCommandLine(s);
}

ToolProcess::~ToolProcess() {
    if (!Started() || reaped_.load()) return;
    if (!WaitFor(0)) {
        std::string ignored;
        Kill(ignored);
    }
    Reap();
}

bool ToolProcess::Start(std::string_view commandLine, const std::string& workingDirectory,
                        const ToolStartOptions& options, std::string& errorText) {
    return StartArgs(SplitProgramCommandLine(commandLine), workingDirectory, options, errorText);
}

bool ToolProcess::StartArgs(const std::vector<std::string>& args, const std::string& workingDirectory,
                            const ToolStartOptions& options, std::string& errorText) {
    if (Started()) throw std::logic_error("ToolProcess started twice");
    if (args.empty() || args.front().empty()) {
        errorText = SystemErrorText(ENOENT);
        return false;
    }
    // A relative program path counts from our own folder, not from the
    // child's working directory.
    std::string program = args.front();
    bool searchPath = program.find(kPathSep) == std::string::npos;
    if (!searchPath && program.front() != kPathSep) program = JoinPath(GetCurrentDir(), program);

    int captureFd = -1;
    if (!options.captureFile.empty()) {
        std::string path = options.captureFile;
        if (path.front() != kPathSep && !workingDirectory.empty()) path = JoinPath(workingDirectory, path);
        // The capture file lies in the output directory: a link there is
        // replaced by a file of its own, never written through.
        int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (options.captureAppend ? O_APPEND : O_TRUNC);
        int fd = open(path.c_str(), flags, 0666);
        if (fd < 0 && errno == ELOOP && unlink(path.c_str()) == 0) fd = open(path.c_str(), flags, 0666);
        if (fd < 0) {
            errorText = SystemErrorText(errno);
            return false;
        }
        // Kept above the standard descriptors so that the dup2 below always
        // makes a fresh, inheritable copy.
        captureFd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        int dupErr = errno;
        close(fd);
        if (captureFd < 0) {
            errorText = SystemErrorText(dupErr);
            return false;
        }
    }

    if (options.ownGroup)
        return StartGuarded(args, program, searchPath, workingDirectory, options, captureFd, errorText);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.hidden) posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (captureFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, captureFd, 1);
        posix_spawn_file_actions_adddup2(&actions, captureFd, 2);
    } else if (options.hidden) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    // Nothing but the three standard descriptors is inherited.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (options.hidden) flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attr, flags);

    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    int rc = searchPath ? posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ)
                        : posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (captureFd >= 0) close(captureFd);
    if (rc != 0) {
        errorText = SystemErrorText(rc);
        return false;
    }
    pid_ = pid;
    toolPid_ = pid;
    pidfd_ = PidFdOpen(pid);  // close-on-exec by itself; -1 means polling
    return true;
}

bool ToolProcess::WaitFor(int timeoutMs) {
    if (!Started() || reaped_.load()) return true;
    if (pidfd_ < 0) return WaitForWithoutPidFd(timeoutMs);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int remaining = timeoutMs;
    for (;;) {
        struct pollfd p{pidfd_, POLLIN, 0};
        int r = poll(&p, 1, remaining);
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return WaitForWithoutPidFd(remaining);
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            remaining = left.count() > 0 ? int(left.count()) : 0;
        }
    }
}

bool ToolProcess::WaitForWithoutPidFd(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        siginfo_t info;
        std::memset(&info, 0, sizeof info);
        // WNOWAIT leaves the ended process to Reap.
        int r = waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        if (r == 0 && info.si_pid != 0) return true;
        if (r < 0 && errno == ECHILD) return true;
        if (r < 0 && errno == EINTR) continue;
        if (timeoutMs >= 0 && Clock::now() >= deadline) return false;
        auto step = std::chrono::milliseconds(10);
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left < step) step = left;
        }
        std::this_thread::sleep_for(step);
    }
}

bool ToolProcess::IsRunning() { return Started() && !reaped_.load() && !WaitFor(0); }

void ToolProcess::Reap() {
    if (!Started() || reaped_.load()) return;
    int st = 0;
    pid_t r;
    do r = waitpid(pid_, &st, 0);
    while (r < 0 && errno == EINTR);
    status_ = r == pid_ ? st : -1;
    reaped_ = true;
    if (pidfd_ >= 0) {
        close(pidfd_);
        pidfd_ = -1;
    }
}

bool ToolProcess::Kill(std::string& errorText) {
    // Once reaped the pid may name a stranger: never signal it then.
    if (!Started() || reaped_.load()) return true;
    if (group_) {
        // The guard kills the group and collects the program. Not collected
        // itself yet, the guard's pid is still ours.
        if (kill(pid_, kKillGroupSignal) == 0 || errno == ESRCH) return true;
        errorText = SystemErrorText(errno);
        return false;
    }
    if (pidfd_ >= 0) {
        if (PidFdSendSignal(pidfd_, SIGKILL) == 0 || errno == ESRCH) return true;
        if (errno != ENOSYS) {
            errorText = SystemErrorText(errno);
            return false;
        }
    }
    // Not reaped yet, so the pid is still ours (at worst a zombie).
    if (kill(pid_, SIGKILL) == 0 || errno == ESRCH) return true;
    errorText = SystemErrorText(errno);
    return false;
}

void SetEnvVar(const std::string& name, const std::string& value, bool replace) {
    setenv(name.c_str(), value.c_str(), replace ? 1 : 0);
}

std::string FindProgramInPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const char* value = std::getenv("PATH");
    std::string path = value ? value : "";
    if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
    for (const std::string& dir : SearchPathFolders(path)) {
        const std::string candidate = JoinPath(dir.empty() ? "." : dir, name);
        if (IsExecutableByUser(candidate) && ExecutableKind(candidate) == ExecKind::Native) return candidate;
    }
    return {};
}

bool RunAndWait(const std::string& program, const std::string& arguments,
                const std::string& workingDirectory) {
    ToolProcess process;
    std::string errorText;
    if (!process.Start(program + " " + arguments, workingDirectory, ToolStartOptions{}, errorText))
        return false;
    process.Reap();
    return true;
}

}  // namespace korvane

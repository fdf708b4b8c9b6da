#pragma once
// Starting, waiting for and killing the tool programs of a run.
//
// A tool program is started from a Windows-style command line: one text with
// the program first, split into arguments by the rules of the Microsoft C
// runtime. No shell takes part, so texts such as ">>" and "Console.log" reach
// the program as plain arguments.
//
// How the start options of the tool settings map to this platform:
// - "hidden window" (blind run): the program gets no terminal; it runs in a
//   session of its own, stdin reads /dev/null and its output goes to
//   /dev/null unless it is captured.
// - the console title "Start programs": there is no console window to name,
//   so the title has no counterpart and is dropped.
// - console capture: the capture-log flag redirects stdout and stderr into a
//   file (appending or truncating). The shell does this itself, since no
//   command interpreter would act on the ">>" / ">" arguments.
// - handles are not inherited: only stdin, stdout and stderr pass to the
//   child; every other descriptor is closed in it.
// - terminating "with exit code 0": a killed process ends by SIGKILL; the
//   exit code is not chosen by the killer here.
//
// Process groups (the steps of a run): with ToolStartOptions::ownGroup the
// program runs in a process group of its own (in a session of its own when
// hidden), below a small guard process, a fork of the shell that runs none
// of the shell's code. The guard starts the program, waits for it, and ends
// with the program's own status (exit code, or the same signal), so waiting
// on the guard is waiting on the program. Killing asks the guard to kill the
// whole group: the program and everything it started and left in its group.
// When the program ends, whatever is still in its group is killed before the
// program is collected (its pid holds the group's number until then), so no
// process of a step outlives it. When the shell dies, even by SIGKILL, the
// guard learns it (PR_SET_PDEATHSIG, checked against the shell's pid, since
// the signal also comes when merely the starting thread ends) and kills the
// group; the program also dies with its guard. A process that leaves the
// group on purpose (setsid) is not followed.

#include <sys/types.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// What the platform makes of a program file.
enum class ExecKind {
    None,    // missing, a folder, or nothing this platform can start
    Dos,     // a 16-bit DOS program ("MZ" without a PE header, or a .COM file)
    Native,  // an executable ELF file or script ("#!") with an execute bit
};
ExecKind ExecutableKind(const std::string& path);

// Sets a variable of this process's environment, which the programs it
// starts inherit; an existing value stays unless replace.
void SetEnvVar(const std::string& name, const std::string& value, bool replace = true);

// A program found in $PATH (a name without "/"), "" when none is executable
// by this user.
std::string FindProgramInPath(const std::string& name);

// Splits a command line into arguments as the Microsoft C runtime does.
// The program name (first argument) ends at the first blank or tab outside
// double quotes, and its quotes are dropped; backslashes are plain there.
// In the later arguments 2n backslashes before a quote give n backslashes and
// the quote opens or closes a quoted part, 2n+1 backslashes before a quote
// give n backslashes and a literal quote, backslashes before anything else
// stay as they are, and "" inside a quoted part is a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Like SplitCommandLine, but when the program name is not quoted and holds
// blanks, the program is found as the system that the command lines come
// from finds it: the shortest blank-separated beginning of the line that
// names an existing file is the program, the rest are the arguments.
std::vector<std::string> SplitProgramCommandLine(std::string_view commandLine);

struct ToolStartOptions {
    // No terminal for the program: see the mapping above.
    bool hidden = false;
    // When not empty, stdout and stderr go to this file (a relative path
    // counts from the working directory), created when missing; a symbolic
    // link of that name is replaced by the file, never written through.
    std::string captureFile;
    // Append to the capture file (">>") or truncate it first (">").
    bool captureAppend = true;
    // A process group of its own behind a guard: see above.
    bool ownGroup = false;
};

// How a collected process ended, decoded from its wait status.
struct ProcessEnd {
    enum class Kind { Unknown, Exited, Signalled };
    Kind kind = Kind::Unknown;
    int code = 0;    // the exit status, when Exited
    int signal = 0;  // the signal number, when Signalled
};
ProcessEnd DecodeWaitStatus(int waitStatus);
// "SIGKILL", "SIGTERM", ...; "signal N" for a number without a name.
std::string SignalName(int signal);

// One started process. The pid is used only while the process has not been
// reaped, so it can never address a stranger that inherited the number.
//
// Threads: WaitFor and Kill may run on another thread than the owner's while
// the owner is not in Reap or the destructor; Reap and the destructor belong
// to the owner alone (the watcher hands control over before either runs).
class ToolProcess {
public:
    ToolProcess() = default;
    // Kills a process that still runs and reaps it: no zombie outlives this.
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // Starts the command line (split by SplitProgramCommandLine) in the
    // working directory with the shell's own environment. On failure gives
    // false and sets errorText to the system's text for the failure.
    bool Start(std::string_view commandLine, const std::string& workingDirectory,
               const ToolStartOptions& options, std::string& errorText);
    // Starts the given arguments; args[0] is the program (searched in PATH
    // when it holds no "/").
    bool StartArgs(const std::vector<std::string>& args, const std::string& workingDirectory,
                   const ToolStartOptions& options, std::string& errorText);

    bool Started() const { return pid_ > 0; }
    // The program's own process (inside the group, the guard's child).
    pid_t Pid() const { return toolPid_; }
    // The process group of the program and what it starts (the program's
    // pid); 0 without ownGroup.
    pid_t GroupId() const { return group_ ? toolPid_ : 0; }
    // Whether a pidfd watches the process (else waiting polls).
    bool HasPidFd() const { return pidfd_ >= 0; }
    // The pidfd (readable once the process has ended), -1 without one; it
    // is closed by Reap.
    int PidFd() const { return pidfd_; }

    // Waits up to timeoutMs (negative: without limit) for the process to end,
    // without reaping it. True when it has ended (or was never started).
    bool WaitFor(int timeoutMs);
    // Started, not reaped, and not yet ended.
    bool IsRunning();

    // Waits for the end and collects the process (with ownGroup the guard,
    // which has killed what was left in the group). Idempotent.
    void Reap();
    bool Reaped() const { return reaped_.load(); }
    // The waitpid status after Reap, -1 before (the program's own status,
    // also with ownGroup).
    int WaitStatus() const { return status_; }
    ProcessEnd End() const { return DecodeWaitStatus(status_); }

    // SIGKILL (to the whole group with ownGroup) while the process has not
    // been reaped; a process that has already ended counts as killed. False
    // with errorText when refused.
    bool Kill(std::string& errorText);

private:
    bool WaitForWithoutPidFd(int timeoutMs);
    bool StartGuarded(const std::vector<std::string>& args, const std::string& program, bool searchPath,
                      const std::string& workingDirectory, const ToolStartOptions& options, int captureFd,
                      std::string& errorText);

    pid_t pid_ = -1;
    pid_t toolPid_ = -1;
    bool group_ = false;
    int pidfd_ = -1;
    int status_ = -1;
    std::atomic<bool> reaped_{false};
};

// Starts program + " " + arguments (the program not quoted) in the working
// directory, waits without limit until it ends and reaps it. False, without
// a message, when the start failed. (No group of its own: what it starts,
// such as a file manager opened by xdg-open, may stay.)
bool RunAndWait(const std::string& program, const std::string& arguments,
                const std::string& workingDirectory);

}  // namespace korvane

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
//   exit code is not chosen by the killer here and nobody reads it anyway.

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
};

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
    pid_t Pid() const { return pid_; }
    // Whether a pidfd watches the process (else waiting polls).
    bool HasPidFd() const { return pidfd_ >= 0; }

    // Waits up to timeoutMs (negative: without limit) for the process to end,
    // without reaping it. True when it has ended (or was never started).
    bool WaitFor(int timeoutMs);
    // Started, not reaped, and not yet ended.
    bool IsRunning();

    // Waits for the end and collects the process. Idempotent.
    void Reap();
    bool Reaped() const { return reaped_.load(); }
    // The waitpid status after Reap, -1 before.
    int WaitStatus() const { return status_; }

    // SIGKILL while the process has not been reaped; a process that has
    // already ended counts as killed. False with errorText when refused.
    bool Kill(std::string& errorText);

private:
    bool WaitForWithoutPidFd(int timeoutMs);

    pid_t pid_ = -1;
    int pidfd_ = -1;
    int status_ = -1;
    std::atomic<bool> reaped_{false};
};

// Starts program + " " + arguments (the program not quoted) in the working
// directory, waits without limit until it ends and reaps it. False, without
// a message, when the start failed.
bool RunAndWait(const std::string& program, const std::string& arguments,
                const std::string& workingDirectory);

}  // namespace korvane

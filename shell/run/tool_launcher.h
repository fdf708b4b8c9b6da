#pragma once
// Starting the tool program of a step and noticing its end, as the run
// engine sees it. The engine is handed a ToolLauncher; the real one starts a
// ToolProcess (shared/platform/process.h) and learns of its end from the
// event loop of the engine's thread: a QSocketNotifier on the process's
// pidfd, or, where the system offers no pidfd, a short poll. No thread is
// started per process and nothing blocks while a tool runs.
//
// The end is reported once, on the thread that started the tool, after the
// process has been collected (no zombie is left; a collected process is
// never signalled again). Kill and process-group semantics are those of
// ToolProcess: SIGKILL to the whole group of the step.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shared/platform/process.h"

namespace korvane {

// One started tool program.
class ToolRun {
public:
    virtual ~ToolRun() = default;
    // The program's process identifier.
    virtual long Pid() const = 0;
    // Started, not yet ended.
    virtual bool Running() = 0;
    // Its end has not been reported yet.
    virtual bool Watching() const = 0;
    // SIGKILL to the program (and its group) while it has not been collected;
    // false with the system's text when refused.
    virtual bool Kill(std::string& errorText) = 0;
    // How it ended, once collected; Kind::Unknown before.
    virtual ProcessEnd End() const = 0;
    // Stops waiting for the end: waits up to graceMs for it (a killed tool
    // ends at once), then reports the end now, unless it was reported
    // already. A program that still runs then (its kill was refused) is not
    // collected; it is killed and collected when this object goes.
    virtual void StopWatching(int graceMs) = 0;
};

class ToolLauncher {
public:
    virtual ~ToolLauncher() = default;
    // Starts args (args[0] the program) in workingDir. ended is called once,
    // from the event loop of the calling thread (or from StopWatching), when
    // the program has ended; it may drop the last reference to the ToolRun.
    // nullptr with errorText (the system's text) when the start is refused.
    virtual std::unique_ptr<ToolRun> Start(const std::vector<std::string>& args, const std::string& workingDir,
                                           const ToolStartOptions& options, std::function<void()> ended,
                                           std::string& errorText) = 0;
};

// The real launcher over ToolProcess.
class ProcessLauncher : public ToolLauncher {
public:
    // How the end of a tool is noticed: its pidfd where the system has one,
    // else (or when asked to) a short poll.
    enum class Notice { PidFd, Poll };
    explicit ProcessLauncher(Notice notice = Notice::PidFd) : notice_(notice) {}

    std::unique_ptr<ToolRun> Start(const std::vector<std::string>& args, const std::string& workingDir,
                                   const ToolStartOptions& options, std::function<void()> ended,
                                   std::string& errorText) override;
    // The poll period where no pidfd is available, in milliseconds.
    static constexpr int kPollMs = 50;

private:
    Notice notice_;
};

}  // namespace korvane

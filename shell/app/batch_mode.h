#pragma once
// The batch mode of korvane: "korvane -proj FILE.srd -batch run" (or
// "-batch scan") loads the project without showing a window, performs the
// run exactly as the window's "Start reengineering" (or "Scan files for I/O
// operations") would, prints every progress caption (unless -quiet),
// status-bar message and question to standard error as it happens (standard
// output carries only what -diff asks for), and ends with
//   0  the run ended with "Processing finished",
//   1  the run ended, but something was reported (or it stopped early, or
//      a step ran past the -timeout limit and the run was cancelled),
//   2  the run could not start, or the arguments are wrong,
//   3  with -check only: the run ended with "Processing finished", and a
//      result differs from its source,
//   128 + N  the program was ended by signal N (SIGTERM, SIGINT, SIGHUP):
//      the running step's process group was killed, nothing more written.
// Every question is answered with the choice that changes and loses
// nothing; -root and the tool settings file work as in the window.

#include <cstdio>
#include <string>
#include <vector>

#include "shell/ui/dialogs.h"

namespace korvane {

struct StartupInfo;

inline constexpr const char* kOptBatch = "-Batch:-Batch";
// Lets the batch run take an output directory that holds files but was
// never used for a run (without it such a run is refused).
inline constexpr const char* kOptTakeover = "-TakeOver:-TakeOver";
// -timeout SECONDS: the time limit of every step's program.
inline constexpr const char* kOptTimeout = "-Timeout:-Timeout";
inline constexpr int kMaxTimeLimit = 2000000;  // seconds (about 23 days)
// -out DIR: the output directory of this run (the project file keeps its own).
inline constexpr const char* kOptOut = "-Out:-Out";
// -diff: the unified diff of every changed source on standard output.
inline constexpr const char* kOptDiff = "-Diff:-Diff";
// -report FILE.json: what the run did, for programs.
inline constexpr const char* kOptReport = "-Report:-Report";
// -check: a finished run whose results differ from the sources ends with 3.
inline constexpr const char* kOptCheck = "-Check:-Check";
// -quiet: no progress captions.
inline constexpr const char* kOptQuiet = "-Quiet:-Quiet";
// -jobs N: the file-local steps run in N shards side by side.
inline constexpr const char* kOptJobs = "-Jobs:-Jobs";
inline constexpr int kMaxJobs = 256;
// -shard I/N: only shard I of N, into its folder of the output directory;
// -batch collect brings the N shards together.
inline constexpr const char* kOptShard = "-Shard:-Shard";

inline constexpr int kBatchFinished = 0;
inline constexpr int kBatchReported = 1;
inline constexpr int kBatchNotStarted = 2;
inline constexpr int kBatchResultsDiffer = 3;
inline constexpr int kBatchSignalBase = 128;

// The seconds of "-timeout": a whole number from 1 to kMaxTimeLimit, else 0.
int TimeLimitSeconds(const std::string& text);
// The value of -jobs: 1 to kMaxJobs, else 0.
int JobsValue(const std::string& text);

// Whether the arguments ask for the batch mode (checked before the
// application object exists, so that no display is needed).
bool BatchModeRequested(const std::vector<std::string>& args);

// Runs the batch mode; the application object exists and the command line
// has been installed. Gives the exit status.
int RunBatchMode(const StartupInfo& startup);

// The answers of the batch mode: "save the changes?" is answered No; any
// other question Cancel when offered, else No, else OK; every file, folder
// and font dialog is cancelled. Each question and its answer is printed.
class BatchDialogs : public Dialogs {
public:
    explicit BatchDialogs(std::FILE* out) : out_(out) {}

    unsigned Message(MsgKind kind, const std::string& text, unsigned buttons) override;
    std::optional<std::vector<std::string>> OpenFiles(const FileDialogOptions& opts) override;
    std::optional<std::string> SaveFile(const FileDialogOptions& opts) override;
    std::optional<std::string> ChooseFolder(const std::string& caption, const std::string& root,
                                            bool allowCreate) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& current,
                                       const std::function<void(const FontChoice&)>& apply) override;
    void Beep() override {}

    // The answer given to a question with these buttons.
    static unsigned Answer(const std::string& text, unsigned buttons);

private:
    void Print(const std::string& line);

    std::FILE* out_;
};

}  // namespace korvane

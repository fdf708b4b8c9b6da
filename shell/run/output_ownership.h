#pragma once
// The output directory belongs to the run. A run claims it before it lays
// out its work area and keeps it until its results are collected:
//
// - one run per output directory at a time, through a lock on the folder
//   that ends with the process holding it;
// - a folder that holds files but no last.xml was never used for a run, and
//   the cleaning of a run there would delete files of the user's: it is
//   taken only when the user says so;
// - no cleaning, delete-after or side-file step deletes or replaces a file
//   of the project (a source, a copy member, a rename-directive file),
//   wherever it lies.

#include <functional>
#include <set>
#include <string>

#include "shared/platform/files.h"
#include "shell/collections/project_files.h"

namespace korvane {

class Reporter;

// Format texts (one %s: the output directory; the second %s: the system's text).
inline constexpr const char* kOutputDirInUse = "The output directory %s is in use by another run";
inline constexpr const char* kOutputDirUnusable = "The output directory %s cannot be used - %s";
inline constexpr const char* kForeignOutputDirQuestion =
    "The output directory %s holds files but was never used for a run.\r\n"
    "Every run deletes the files there whose names begin with the project name and \"_\", "
    "and the folders it leaves empty.\r\n"
    "Use this folder as the output directory?";
inline constexpr const char* kForeignOutputDirRefused =
    "The output directory %s holds files but was never used for a run; it is taken only with -takeover";

// How far a folder has been used as an output directory.
enum class OutputDirUse {
    Fresh,      // missing, empty, or nothing but a run's empty work folders, its copy library
                // and hidden entries (which no run touches)
    UsedByRun,  // holds last.xml: a run has been prepared there
    Foreign,    // holds anything else: files a run must not clean away unasked
};
OutputDirUse ClassifyOutputDir(const std::string& dir);

// What a run does with a Foreign output directory.
enum class ForeignOutputDir {
    Ask,     // the window: a question, No (the default) does nothing
    Refuse,  // the batch mode: refused with kForeignOutputDirRefused
    Take,    // the batch mode with -takeover
};

// Takes the lock of the output directory for a run (creating the folder when
// it is missing), then applies the rule above. A refusal is ShowError with
// continuation off (kOutputDirInUse, kOutputDirUnusable,
// kForeignOutputDirRefused), and a No to the question ends the action
// silently; in every such case the lock is let go again. ask gets the
// question's text and gives true for Yes.
void ClaimOutputDir(const std::string& dir, ForeignOutputDir foreign, const std::function<bool(const std::string&)>& ask,
                    FolderLock& lock, Reporter& reporter);

// Only the lock, for collecting the results by hand.
void LockOutputDir(const std::string& dir, FolderLock& lock, Reporter& reporter);

}  // namespace korvane

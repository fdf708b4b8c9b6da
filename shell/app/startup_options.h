#pragma once
// Command-line options of korvane and the tool root directory.

#include <string>
#include <vector>

namespace korvane {

// What the program knows of itself at start.
struct StartupInfo {
    std::string programPath;  // full path of the running program
};

inline constexpr const char* kOptRoot = "-Root:-R";
inline constexpr const char* kOptProject = "-Proj:P";
inline constexpr const char* kOptShowAdvanced = "-ShowAdvanced:-ShA";
inline constexpr const char* kOptRegisterShell = "-RegisterShell:-Shell";

inline constexpr const char* kApplicationTitle = "Wrapper application for Korvane programs";
inline constexpr const char* kDesignedCaption = "Korvane main shell";
inline constexpr const char* kSettingsApplication = "Korvane Shell";
inline constexpr const char* kSettingsSection = "Parameters";
// The per-user value of the window's "Parallel jobs" (1 to kMaxParallelJobs).
inline constexpr const char* kParallelJobsSetting = "ParallelJobs";
inline constexpr int kMaxParallelJobs = 64;

// What a command line lacks or holds too much of: empty when every argument
// is an option this program (or the toolkit) knows, given with its value
// where it takes one, else "korvane: " and what is wrong. A value follows as
// the next argument (not beginning with "-") or after "=" in the same one;
// a switch may end in "+" or "-". The window takes arguments that are no
// options (they are left alone) and an option without its value (as not
// given); the batch mode takes neither, and the batch-only switches need
// -batch.
std::string CommandLineFault(const std::vector<std::string>& args);

// The tool root: the -Root value unchanged when given, else the program's
// folder without trailing separator; a last component "TOOLS" (any case)
// with an existing MAINTAIN/KORVANE below it is replaced by that folder.
std::string ResolveToolRoot(bool rootGiven, const std::string& rootValue, const std::string& programDir);

}  // namespace korvane

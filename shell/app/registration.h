#pragma once
// Registration of the project file type ".srd" for the desktop.

#include <string>

namespace korvane {

inline constexpr const char* kProjectFileType = "ZQ Korvane Project File";
inline constexpr const char* kProjectExtension = ".srd";

// The two commands, filled with the program path and the tool root.
std::string PlainProjectCommand(const std::string& programPath, const std::string& toolRoot);
std::string AdvancedProjectCommand(const std::string& programPath, const std::string& toolRoot);

// Writes the extension, icon and both verbs ("OpenAdvanced" first, "Open"
// last so that it is the default). Failures are not reported.
void RegisterProjectFileType(const std::string& programPath, const std::string& toolRoot);

// At start: registers when asked to, and otherwise once per program version
// (the version is remembered in the per-user store), so that a file
// association the user changed afterwards stays.
void RegisterAtStart(const std::string& programPath, const std::string& toolRoot, bool requested,
                     const std::string& fileVersion);

}  // namespace korvane

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

}  // namespace korvane

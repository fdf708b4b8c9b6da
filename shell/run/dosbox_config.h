#pragma once
// The DOSBox run configuration "DOSBox.config": the base configuration with
// its autoexec section replaced by commands that mount the tool's folder as
// C:, the working directory as X:, and run the tool on last.xml.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr const char* kDosBoxConfigName = "DOSBox.config";

// The lines of the run configuration for the DOS program programPath.
std::vector<std::string> BuildDosBoxConfig(const std::vector<std::string>& baseLines, std::string_view programPath);

// Reads the base configuration and writes the run configuration into
// workingDir; gives the path written. Read and write failures throw Error.
std::string WriteDosBoxConfig(std::string_view workingDir, const std::string& baseConfigPath,
                              std::string_view programPath);

}  // namespace korvane

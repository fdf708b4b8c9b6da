#pragma once
// Small helpers the reference tool programs share.

#include <string>
#include <vector>

namespace korvane::tools {

// The full path of the running program (its copy, not what it was copied
// from), else argv0.
std::string OwnProgramPath(const char* argv0);

// The value of a "name=value" line of the file, names compared ignoring
// case; empty when missing.
std::string SidecarValue(const std::vector<std::string>& lines, const std::string& name);

// Whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Appends text to a file, creating it.
bool AppendToFile(const std::string& path, const std::string& text);

}  // namespace korvane::tools

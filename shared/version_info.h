#pragma once
// The program's own version information and file.

#include <ctime>
#include <string>

namespace korvane {

// A string of the program's version information: "FileVersion" and
// "ProductVersion" (four numbers, "1.0.0.0"), "FileDescription",
// "ProductName", "LegalCopyright", "CompanyName" (names compare ignoring
// case); "" for any other name. The values come from the build.
std::string VersionInfoString(const std::string& valueName);

// Full path of the running program file; "" when it cannot be told.
std::string ProgramFilePath();
// Last modification time of the program file (the build time shown to the
// user); -1 when unknown.
std::time_t ProgramFileTime();

}  // namespace korvane

#pragma once
// Command-line option matching over the arguments of the running program
// (first to last, without the program path).
//
// A entry names a long form and an abbreviation joined by ":", for example
// "-Root:-R" or "-Proj:P". Both are compared in lower case, and a "-" is put
// in front of either one that does not begin with it, so "-Proj:P" accepts
// "-proj" and "-p".

#include <string>
#include <vector>

namespace korvane {

// Installs the arguments that the matching routines look at; main() passes
// argv[1..argc-1]. Until then there are no arguments.
void SetCommandLineArgs(std::vector<std::string> args);
const std::vector<std::string>& CommandLineArgs();

// A boolean switch. An argument decides when its text up to the first "="
// equals the long form or the abbreviation, alone or followed by "+" (on) or
// "-" (off); the first deciding argument wins, def when none decides.
bool CmdLineSwitch(const std::string& entry, bool def);

// An option with a value, given either as the next argument (when that does
// not begin with "-") or after "=" in the same argument. Gives false and
// leaves value as it was when no argument supplies one. An empty argument
// right after the option is taken as an empty value.
bool CmdLineValue(const std::string& entry, std::string& value);

}  // namespace korvane

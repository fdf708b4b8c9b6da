#pragma once
// Turning a Windows command line into the Exec value of a desktop entry.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Splits a command line as the Microsoft C runtime does: blanks and tabs
// separate outside double quotes; 2n backslashes before a quote give n
// backslashes and the quote opens or closes quoting, 2n+1 give n backslashes
// and a literal quote; "" inside quotes is a literal quote; other backslashes
// are literal. The first argument (the program) ends at its closing quote
// and takes no escapes.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// One argument for an Exec line: quoted when it holds a reserved character
// (or is empty), with ", `, $ and \ escaped inside the quotes; a literal "%"
// is doubled, and the Windows file placeholders %1 and %L become the field
// code %f (an argument that is just the placeholder stays unquoted).
std::string DesktopExecArg(std::string_view arg);

// The whole Exec value for a Windows command line (before the desktop
// file's own string escaping).
std::string DesktopExecFromWindowsCommand(std::string_view commandLine);

// Escapes a value for a desktop entry file: \\ \n \t \r, and \s for a leading
// blank.
std::string EscapeDesktopString(std::string_view value);

}  // namespace korvane

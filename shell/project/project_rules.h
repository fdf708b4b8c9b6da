#pragma once
// The rules of a project's values that need no window: the product and
// system names and the project name formed from them, the project file
// type, the numbers and the language stored in a project file, and the
// output directory's normal form and the target of a names drag.

#include <optional>
#include <string>
#include <string_view>

#include "shared/flags.h"

namespace korvane {

inline constexpr const char* kProjectFileDescription = "ZQ Korvane Project File";
inline constexpr const char* kProjectFileExtension = ".srd";

// The file dialogs' filter: "ZQ Korvane Project File(*.srd)|*.srd".
std::string ProjectFileFilter();

// The longest product or system name, in bytes: both with ".srd" still
// make a file name every file system takes.
inline constexpr size_t kMaxNameBytes = 120;

// A product or system name is acceptable when it is not empty, does not
// begin with a digit 0 to 9, and can stand in a file name: the names make
// the product log (<system>.log), the tools' log, the project file and the
// cleaning masks. So no path separator ("/" or "\"), no "..", no control
// character, none of : * ? " < > | (which the tools' DOS and Windows file
// systems cannot take) and at most kMaxNameBytes bytes.
bool IsAcceptableName(std::string_view name);
// Only the file-name part of that rule (an empty or digit-led name passes).
bool IsFileNameSafe(std::string_view name);

// ProperCase(product) followed by ProperCase(system): ABC and xyz12 give
// AbcXyz12.
std::string FormProjectName(std::string_view product, std::string_view system);

// The project name a path gives: its file name without folder and
// extension; empty for an empty path and for "*".
std::string ProjectNameFromPath(std::string_view path);

// The radio button suffix of a stored language: the version, then "_" and
// the dialect when there is one (COB and COB85 give COB_COB85).
std::string LanguageSuffix(std::string_view version, std::string_view dialect);

// A number stored in a project, read as the integer value of "0" followed
// by the text: an absent value is 0. Anything else than digits throws
// korvane::Error.
int ProjectNumber(std::string_view text);
// The same number checked against its range: a value of digits outside
// lo..hi gives def with outOfRange set; other text throws as ProjectNumber.
RangedNumber ProjectNumberInRange(std::string_view text, int lo, int hi, int def);

// The maximum directory depth after a language is applied, and the deepest
// a project may ask for (deeper than any path the system can name; it keeps
// the cleaning's depth + 1 well inside an int).
inline constexpr int kDefaultMaxDirDepth = 100;
inline constexpr int kMaxDirDepthLimit = 4096;

// The output directory as leaving its field leaves it: every run of
// separators becomes one and a trailing separator goes. Leading separators
// go as well, except that a rooted path keeps the one separator that names
// the root: "//work//out/" gives "/work/out", "work//out/" gives "work/out".
std::string NormaliseOutputDirectory(std::string_view text);
// What leaving the field makes of its text: NormaliseOutputDirectory, then
// without "." and ".." components, a relative text taken from the project
// directory (never from the current directory; without an absolute project
// directory it stays as it is).
std::string LeftOutputDirectory(std::string_view text, std::string_view projectDirectory);

// Where dropping the names puts the output directory: when the last folder
// of the text is exactly the language prefix, the text is cut at the last
// occurrence of the prefix; when the last folder of what remains is not
// exactly the project name, the result is that folder with the project name
// appended. nullopt when the drop changes nothing.
std::optional<std::string> NamesDropTarget(std::string_view fieldText, std::string_view prefix,
                                           std::string_view projectName);

}  // namespace korvane

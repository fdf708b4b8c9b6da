#pragma once
// The three uses of a file-dialog filter ("Description|*.a;*.b|..."): the
// dialog takes it unchanged; a folder search takes it as one ";"-terminated
// extension list; dropped single files are matched against its tokens.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The CSV collection's fixed filters.
inline constexpr const char* kCsvDialogFilter = "CSV Files (*.csv)|*.csv";
inline constexpr const char* kCsvDropFilter = "*.csv";

// The filter with ";" appended and every "|" replaced by ";", so that
// descriptions and patterns form one token string ("*.cbl;" accepts .cbl).
std::string FolderSearchExtensions(std::string_view filter);

// The filter with ";" appended, every "|" and ";" made a line break and every
// "*." in the result replaced by "."; one token per line ("*.cbl" gives
// ".cbl"; descriptions and empty lines are tokens that match nothing real).
std::vector<std::string> DropExtensionTokens(std::string_view filter);

// A dropped single file qualifies when it has an extension and that
// extension (with its dot) equals one of the tokens, ignoring case.
bool DroppedFileAccepted(std::string_view path, const std::vector<std::string>& tokens);

}  // namespace korvane

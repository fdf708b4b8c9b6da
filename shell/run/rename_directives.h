#pragma once
// The third preparation phase: the checked rename-directive CSV files are
// merged into one file names.csv in the result folder.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ui/check_list.h"
#include "shell/run/output_ownership.h"

namespace korvane {

class Reporter;

// A directive line: two characters or more, an ASCII letter or digit first,
// and not the header "old-name;..." or "OldName;..." (exact case).
bool IsRenameDirectiveLine(std::string_view line);

struct RenameDirectivesInput {
    bool renameVariables = false;        // "Rename variables" checked
    std::vector<CheckEntry> csvFiles;    // the CSV list, in list order
    std::string resultFolder;            // names.csv goes here
    std::function<void()> showCsvTab;    // switches the collection pages to the CSV tab
    ProtectedFiles keep;                 // the files of the project, besides csvFiles
};

// One %s: names.csv, which is a file of the project.
inline constexpr const char* kNamesCsvIsProjectFile =
    "The rename directives cannot be merged: %s is a file of the project";

// Does nothing unless renameVariables is set. A missing checked file shows
// the CSV tab and reports "File <path> is not available" (continuation off);
// names.csv is written also then, with the lines gathered so far. When
// names.csv is itself a file of the project (a checked CSV file, or a file
// of keep) nothing is read or written: kNamesCsvIsProjectFile (ShowError,
// continuation off).
void MergeRenameDirectives(const RenameDirectivesInput& in, Reporter& reporter);

}  // namespace korvane

#pragma once
// The parameter file last.xml: the one description of a run that the tool
// programs receive. It looks like XML but is written line by line as plain
// text, nothing escaped, every line ended by CR LF.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ui/check_list.h"

namespace korvane {

class Reporter;

// One transformation row of "Available transformations".
struct TransformationRow {
    std::string stepName;       // the check box is "CheckBox" + stepName
    std::string parameterName;  // the step's XMLFlag when it has one and a result extension, else stepName
    bool shown = false;         // the selected language defines the step
    bool checked = false;
};

struct ParameterFileInput {
    std::string productName;
    std::string systemName;
    std::string languageVersion;  // the dialect; may be empty
    std::string projectVersion;   // the language prefix, written when there is no dialect
    std::vector<TransformationRow> rows;  // in the order the check boxes were created
    int refactorLevelIndex = -1;          // selected item of the refactor level box, -1 for none
    bool copyAdd = false;                 // "Insert copies into program source"
    bool renameVariables = false;         // "Rename variables"
    bool wordScanShown = false;           // page "Edit macro table" shown
    std::string outputDir;
    std::vector<CheckEntry> sources;      // the source list, all entries
    std::function<void()> showSourceTab;  // switches the collection pages to the source tab
};

// Writes outputDir/last.xml for a step reading inputExtension (empty or "*":
// the copies in workinp; otherwise workout/FIL<n>.<ext>). The lines are kept
// in `lines` so the same text can be written again. When inputExtension is
// empty and nameMap is given, the name map lines FIL<n>=<source> and
// Copy<n>=<workinp>/FIL<n> are appended to it.
//
// A checked source that does not exist shows the source tab and reports
// "File <path> is not available" (continuation off); nothing is saved then,
// and lines and name map hold what was produced up to that point.
void WriteParameterFile(const ParameterFileInput& in, std::string_view inputExtension,
                        std::vector<std::string>& lines, std::vector<std::string>* nameMap, Reporter& reporter);

// Writes the kept lines again, unchanged, to outputDir/last.xml.
void WriteParameterFileAgain(std::string_view outputDir, const std::vector<std::string>& lines);

// "workinp/FIL0007" or "workout/FIL0007.EXT": the copy a step reads.
std::string InternalPath(int position, std::string_view inputExtension);

}  // namespace korvane

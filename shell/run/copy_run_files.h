#pragma once
// The second preparation phase: clean what earlier runs left in the work area
// and copy every checked source into workinp under its internal name.

#include <functional>
#include <string>
#include <vector>

#include "shell/run/work_area.h"

namespace korvane {

class ProtectedFiles;
class Reporter;

// The caption of the progress group: phase word "Preparing" or "Processing".
// The two byte counts are always 0.
std::string ProgressCaption(const std::string& phase, const std::string& projectName, int position, int maximum);

// Names that pick what an earlier run left behind.
struct RunNames {
    std::string productName;
    std::string systemName;
    std::string projectName;
};

// The names of a run from the validated product and system names: the
// project name is ProperCase(product) + ProperCase(system), cut to its last
// path component and without extension.
RunNames MakeRunNames(const std::string& productName, const std::string& systemName);

// Cleans the work area in the fixed order (result folder by product, system
// and project name at depth 2; the FIL#### copies and results in all three
// work folders; the project's files in the output directory), then creates
// the work folders again, since the cleaning removes folders it empties.
// The files of keep stay. Does nothing to an unset work area.
void CleanForNewRun(const WorkArea& area, const RunNames& names, int maxDirDepth, bool withCopyLibrary,
                    const ProtectedFiles& keep);

struct CopySourcesInput {
    WorkArea area;
    std::vector<std::string> nameMap;      // FIL<n>=<source> / Copy<n>=<copy> lines
    std::vector<std::string> sourcePaths;  // every entry of the source list, in list order
    std::string projectName;
    int numberOfSources = 0;               // checked entries: the progress maximum
    // Called before each copy with the bar position, its maximum and the caption.
    std::function<void(int position, int maximum, const std::string& caption)> progress;
};

// Copies source n to workinp/FIL<n> for every "Copy<n>=" line of the name map,
// in map order. A failed copy ends the phase with "Error during preparation".
void CopySourcesToWorkArea(const CopySourcesInput& in, Reporter& reporter);

}  // namespace korvane

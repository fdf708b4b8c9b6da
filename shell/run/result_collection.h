#pragma once
// Result collection after a run: the results in workout go back into the
// output directory under the sources' names and folder structure, side files
// are merged, the tools' log becomes the product log, and with the
// delete-after flag the work area is emptied.

#include <functional>
#include <string>
#include <vector>

#include "shell/run/output_ownership.h"
#include "shell/run/work_area.h"

namespace korvane {

class Reporter;

// Format texts: the result's file name, the source, the target (and the system's text).
inline constexpr const char* kResultNotDelivered = "Result file(%s) for %s not delivered to %s - %s";
inline constexpr const char* kResultTargetProtected = "Result file(%s) for %s not delivered: %s is a file of the project";
inline constexpr const char* kSideTargetProtected = "Side files of %s for %s not merged: %s is a file of the project";

struct CollectionInput {
    std::vector<std::string> nameMap;  // as the last prepared run left it; may be empty
    WorkArea area;                     // of the last prepared run; unset before any
    std::string outputDir;             // empty: the output directory of the work area
    std::string commonRoot;            // of the source list, without trailing separator
    std::string finalResultExtension;
    std::string outputExtension;       // may be empty: results keep the source's extension
    std::string copyExtension;         // given to the merged side-file target
    std::string systemName;
    std::string projectName;
    int maxDirDepth = 100;
    bool deleteAfter = false;
    bool scanRun = false;
    // The files of the project: never deleted or replaced by the collection
    // or the cleaning, wherever they lie.
    ProtectedFiles keep;
    // After a scan run: clear both word lists and load them from this file.
    std::function<void(const std::string& funcTabPath)> reloadWordLists;
};

// The handler of "Rename the files written by ...": reloads the word lists
// after a scan run, moves the system log, collects each source's result and
// side files, then CleanWorkArea. A missing result adds
// "No result file(<name>) for <target>", a result that cannot be moved to
// its target kResultNotDelivered, a result or side files whose target is a
// file of the project kResultTargetProtected / kSideTargetProtected (all
// continuation on); such results and side files stay in the result folder,
// which the delete-after cleaning then leaves as it is.
void CollectResults(const CollectionInput& in, Reporter& reporter);

// With the delete-after flag: removes the working copies, workinp when it is
// empty, the project's files in the output directory and everything in work
// and workout (workout stays when keepResultFolder: it holds results or side
// files that were not delivered). Does nothing while the work area is unset.
void CleanWorkArea(const CollectionInput& in, bool keepResultFolder = false);

// Where the merged side lines of target go: target with the copy extension,
// or, when that is the target itself, with ".side" before the copy extension.
std::string SideFileTarget(const std::string& target, const std::string& copyExtension);

}  // namespace korvane

#pragma once
// The copy library: copies of the checked copy members in the folder CopyLib
// under the output directory, and the removal of unchecked entries that also
// removes their copies.

#include <string>

#include "shell/collections/project_files.h"

namespace korvane {

class CheckList;
class Reporter;

// RefreshCopyLibrary's walk over the members in list order, unchecked ones
// skipped: a member whose file is gone is unchecked; a member whose copy in
// the library (folder with trailing separator, then the member's file name)
// is not older than the member is left alone; any other is copied onto its
// target. A failing copy reports "Error during preparation - <path> - <system
// text>" and ends the walk (SilentAbort). With no library folder nothing is
// copied; vanished members are still unchecked. No file of the members (nor
// of keep) is ever replaced: a copy whose name is taken by one is not made.
// A library folder that is a symbolic link reports kWorkFolderIsLink (and
// ends the walk) instead of writing through it.
void CopyCheckedMembers(CheckList& members, const std::string& libraryFolder, Reporter& reporter,
                        const ProtectedFiles& keep = {});

// Removes the unchecked entries of list, walking from the last to the first.
// With a copy library folder given, the copy of each removed entry's file
// name in it is deleted when it exists, unless it is the file of an entry of
// list, or the library is a symbolic link. Gives the number of entries removed.
// The list keeps its sorted mode; one reset reports the change.
size_t RemoveUncheckedEntries(CheckList& list, const std::string& copyLibraryFolder);

}  // namespace korvane

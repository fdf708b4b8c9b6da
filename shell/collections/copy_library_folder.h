#pragma once
// Where the copy library lies (the folder CopyLib under the output
// directory, next to the work folders of a run), and the copying of one file
// into either.

#include <string>
#include <string_view>

namespace korvane {

inline constexpr const char* kCopyLibraryName = "CopyLib";
inline constexpr const char* kNoOutputDirMessage = "You should specify the output directory first";
// A work folder (or the copy library) that is a symbolic link would let a
// run or a copy write outside its output directory. One %s: the folder.
inline constexpr const char* kWorkFolderIsLink =
    "The work folder %s is a symbolic link; a run writes only inside its output directory";

// outputDir/CopyLib/ (with trailing separator).
std::string CopyLibraryPath(std::string_view outputDir);

class Reporter;

// Copies one file into the work area or the copy library, replacing the
// target. A failure shows "Error during preparation - <source> - <system
// text>" with continuation off.
void CopyWorkFile(const std::string& source, const std::string& target, Reporter& reporter);

}  // namespace korvane

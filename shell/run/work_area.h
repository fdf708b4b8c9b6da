#pragma once
// The work area of a batch run below the output directory, and the files the
// run places there or beside it.
//
//   <output>/workinp   working copies of the checked sources (FIL0000, ...)
//   <output>/workout   what the tools write: results, side files, system log, names.csv
//   <output>/work      scratch folder of the tools
//   <output>/CopyLib/  copy library (only with "Insert copies into program source")

#include <string>
#include <vector>
#include <string_view>

#include "shell/collections/copy_library_folder.h"

namespace korvane {

class Reporter;

inline constexpr const char* kInputFolderName = "workinp";
inline constexpr const char* kResultFolderName = "workout";
inline constexpr const char* kWorkFolderName = "work";

// The paths of the last prepared run. All empty until a run has been prepared
// since the shell started: nothing may then be formed from them.
struct WorkArea {
    std::string outputDir;     // without trailing separator
    std::string inputFolder;   // outputDir/workinp
    std::string resultFolder;  // outputDir/workout
    std::string workFolder;    // outputDir/work

    bool IsSet() const { return !outputDir.empty(); }
};

// Whether a folder is the file-system root ("/", "//", "/.", "/x/.." ...).
// No run may take it for its output directory: the cleaning would walk and
// empty the whole file system.
bool IsFileSystemRoot(std::string_view folder);

// Derives the paths from the output directory (a trailing separator is
// dropped). An empty output directory, or the file-system root, gives an
// unset work area.
WorkArea MakeWorkArea(std::string_view outputDir);

// Refuses a run without an output directory, or with the file-system root
// as its output directory: ShowError with continuation off.
void RequireOutputDir(std::string_view outputDir, Reporter& reporter);
// Creates the three work folders (and the copy library) with missing parents.
// A folder that cannot be created shows up when the first copy into it fails.
void CreateWorkFolders(const WorkArea& area, bool withCopyLibrary);
// The first of the work folders (and of the copy library, when asked) that
// is a symbolic link; empty when none is.
std::string LinkedWorkFolder(const WorkArea& area, bool withCopyLibrary);
// RequireOutputDir, MakeWorkArea and CreateWorkFolders in one. A work folder
// that is a symbolic link refuses the run (kWorkFolderIsLink, ShowError with
// continuation off) before anything is made.
WorkArea PrepareWorkArea(std::string_view outputDir, bool withCopyLibrary, Reporter& reporter);

// Files in and beside the work area.
std::string ParameterFilePath(std::string_view outputDir);  // outputDir/last.xml
std::string FuncTabPath(std::string_view outputDir);        // outputDir/functab.wrl
std::string ConsoleLogPath(std::string_view outputDir);     // outputDir/Console.log
std::string NamesCsvPath(std::string_view resultFolder);    // workout/names.csv
// The product log. The tools name their log with the system name and ".LOG",
// the viewer opens the system name with ".log"; on a case-sensitive file
// system those are two files, so the shell writes and opens exactly this one.
std::string ProductLogPath(std::string_view outputDir, std::string_view systemName);
// The log the tools left in the result folder: <system>.LOG, or <system>.log
// when only that one exists.
std::string ToolsLogPath(std::string_view resultFolder, std::string_view systemName);
// Every existing spelling of the tools' log (<system>.LOG, <system>.log,
// <SYSTEM>.LOG), in that order.
std::vector<std::string> ToolsLogPaths(std::string_view resultFolder, std::string_view systemName);

}  // namespace korvane

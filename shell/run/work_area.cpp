#include "shell/run/work_area.h"

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/reporter.h"

namespace korvane {

WorkArea MakeWorkArea(std::string_view outputDir) {
    WorkArea area;
    area.outputDir = ExcludeTrailingSep(outputDir);
    if (area.outputDir.empty()) return area;
    area.inputFolder = JoinPath(area.outputDir, kInputFolderName);
    area.resultFolder = JoinPath(area.outputDir, kResultFolderName);
    area.workFolder = JoinPath(area.outputDir, kWorkFolderName);
    return area;
}

std::string CopyLibraryPath(std::string_view outputDir) {
    return IncludeTrailingSep(JoinPath(ExcludeTrailingSep(outputDir), kCopyLibraryName));
}

void RequireOutputDir(std::string_view outputDir, Reporter& reporter) {
    // Without an output directory every work-area path would hang off the
    // file-system root, and the cleaning would start there.
    if (!ExcludeTrailingSep(outputDir).empty()) return;
    reporter.ShowError(kNoOutputDirMessage, false);
    throw SilentAbort{};  // never go on, whatever the reporter did
}

void CreateWorkFolders(const WorkArea& area, bool withCopyLibrary) {
    if (!area.IsSet()) return;
    ForceDirectories(area.inputFolder);
    ForceDirectories(area.resultFolder);
    ForceDirectories(area.workFolder);
    if (withCopyLibrary) ForceDirectories(CopyLibraryPath(area.outputDir));
}

WorkArea PrepareWorkArea(std::string_view outputDir, bool withCopyLibrary, Reporter& reporter) {
    RequireOutputDir(outputDir, reporter);
    WorkArea area = MakeWorkArea(outputDir);
    CreateWorkFolders(area, withCopyLibrary);
    return area;
}

std::string ParameterFilePath(std::string_view outputDir) { return JoinPath(outputDir, "last.xml"); }
std::string FuncTabPath(std::string_view outputDir) { return JoinPath(outputDir, "functab.wrl"); }
std::string ConsoleLogPath(std::string_view outputDir) { return JoinPath(outputDir, "Console.log"); }
std::string NamesCsvPath(std::string_view resultFolder) { return JoinPath(resultFolder, "names.csv"); }

std::string ProductLogPath(std::string_view outputDir, std::string_view systemName) {
    return JoinPath(outputDir, std::string(systemName) + ".log");
}

std::string ToolsLogPath(std::string_view resultFolder, std::string_view systemName) {
    std::string upper = JoinPath(resultFolder, std::string(systemName) + ".LOG");
    if (FileExists(upper)) return upper;
    std::string lower = JoinPath(resultFolder, std::string(systemName) + ".log");
    return FileExists(lower) ? lower : upper;
}

void CopyWorkFile(const std::string& source, const std::string& target, Reporter& reporter) {
    try {
        CopyFileReplace(source, target);
    } catch (const Error& e) {
        reporter.ShowError("Error during preparation - " + source + " - " + e.what(), false);
    }
}

}  // namespace korvane

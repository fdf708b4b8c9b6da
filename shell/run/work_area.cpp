#include "shell/run/work_area.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/ui/reporter.h"

namespace korvane {

bool IsFileSystemRoot(std::string_view folder) {
    if (folder.empty()) return false;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::path(folder), ec);
    if (ec) p = std::filesystem::path(folder).lexically_normal();
    return p == p.root_path() && !p.root_path().empty();
}

WorkArea MakeWorkArea(std::string_view outputDir) {
    WorkArea area;
    area.outputDir = ExcludeTrailingSep(outputDir);
    if (area.outputDir.empty() || IsFileSystemRoot(area.outputDir)) {
        area.outputDir.clear();
        return area;
    }
    area.inputFolder = JoinPath(area.outputDir, kInputFolderName);
    area.resultFolder = JoinPath(area.outputDir, kResultFolderName);
    area.workFolder = JoinPath(area.outputDir, kWorkFolderName);
    return area;
}

void RequireOutputDir(std::string_view outputDir, Reporter& reporter) {
    // Without an output directory every work-area path would hang off the
    // file-system root, and the cleaning would start there.
    const std::string dir = ExcludeTrailingSep(outputDir);
    if (!dir.empty() && !IsFileSystemRoot(dir)) return;
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

std::string LinkedWorkFolder(const WorkArea& area, bool withCopyLibrary) {
    if (!area.IsSet()) return {};
    std::vector<std::string> folders = {area.inputFolder, area.resultFolder, area.workFolder};
    if (withCopyLibrary) folders.push_back(ExcludeTrailingSep(CopyLibraryPath(area.outputDir)));
    for (const std::string& folder : folders)
        if (IsSymlink(folder)) return folder;
    return {};
}

WorkArea PrepareWorkArea(std::string_view outputDir, bool withCopyLibrary, Reporter& reporter) {
    RequireOutputDir(outputDir, reporter);
    WorkArea area = MakeWorkArea(outputDir);
    // The copies, names.csv and the tools' results would land wherever the
    // link points.
    const std::string linked = LinkedWorkFolder(area, withCopyLibrary);
    if (!linked.empty()) {
        reporter.ShowError(Format(kWorkFolderIsLink, linked.c_str()), false);
        throw SilentAbort{};
    }
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

std::vector<std::string> ToolsLogPaths(std::string_view resultFolder, std::string_view systemName) {
    // A DOS tool writes its file names in upper case, so a system name with
    // lower-case letters may come back as <NAME>.LOG; every spelling that
    // exists counts, each once.
    std::vector<std::string> found;
    const std::string name(systemName);
    for (const std::string& base : {name + ".LOG", name + ".log", UpperCase(name) + ".LOG"}) {
        std::string path = JoinPath(resultFolder, base);
        if (FileExists(path) && std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    }
    return found;
}

std::string ToolsLogPath(std::string_view resultFolder, std::string_view systemName) {
    std::string upper = JoinPath(resultFolder, std::string(systemName) + ".LOG");
    if (FileExists(upper)) return upper;
    std::string lower = JoinPath(resultFolder, std::string(systemName) + ".log");
    return FileExists(lower) ? lower : upper;
}

}  // namespace korvane

#include "shell/run/result_collection.h"

#include <cerrno>

#include "shared/name_value_list.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/purge_files.h"
#include "shell/run/target_plan.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

// The output directory the results go to; empty when neither the field nor
// the last prepared run gives one.
std::string CollectionOutputDir(const CollectionInput& in) {
    std::string dir = ExcludeTrailingSep(in.outputDir);
    return dir.empty() ? in.area.outputDir : dir;
}

// The tools' log becomes the product log; an earlier product log is always
// replaced, by an empty file when the tools left none. The tools' log goes
// only once its lines are in the product log: when that cannot be written
// (a full disk), both logs stay as they were for a later collection.
void MoveSystemLog(const CollectionInput& in, const std::string& outputDir) {
    std::vector<std::string> lines;
    const std::vector<std::string> toolsLogs = ToolsLogPaths(in.area.resultFolder, in.systemName);
    for (const std::string& toolsLog : toolsLogs) {
        std::vector<std::string> more = ReadTextLines(toolsLog);
        lines.insert(lines.end(), more.begin(), more.end());
    }
    WriteTextLines(ProductLogPath(outputDir, in.systemName), lines, AtLink::Replace);
    for (const std::string& toolsLog : toolsLogs)
        if (!in.keep.Contains(toolsLog)) DeleteFile(toolsLog);
}

// Gives true when something of the source stays in the result folder
// undelivered.
bool CollectOne(const CollectionInput& in, const std::string& outputDir, const std::string& internalName,
                const std::string& sourcePath, Reporter& reporter) {
    const std::string target = ResultTarget(outputDir, in.commonRoot, sourcePath, in.outputExtension);
    std::string result = ChangeFileExt(JoinPath(in.area.resultFolder, internalName), "." + in.finalResultExtension);
    // A scanner writes word lists, not results: after a scan run only what
    // a tool did leave is collected, nothing is missed, and the targets of
    // earlier reengineering runs stay as they are.
    if (in.scanRun && !FileExists(result) && !FileExists(ChangeFileExt(result, ".LIT")) &&
        !FileExists(ChangeFileExt(result, ".CON")))
        return false;
    const std::string resultName = ExtractFileName(result);
    // A folder on the way that is a link would take the result, its folders
    // and its side files outside the output directory: all of them wait.
    if (int err = LinkedFolderBelow(outputDir, target); err == ELOOP) {
        if (FileExists(result))
            reporter.AddError(Format(kResultNotDelivered, resultName.c_str(), sourcePath.c_str(), target.c_str(),
                                     SystemErrorText(err).c_str()),
                              true);
        else if (!in.scanRun)
            reporter.AddError(Format("No result file(%s) for %s", resultName.c_str(), target.c_str()), true);
        return true;
    }
    ForceDirectories(ExtractFileDir(target));

    bool left = false;
    if (!FileExists(result)) {
        if (!in.scanRun)
            reporter.AddError(Format("No result file(%s) for %s", resultName.c_str(), target.c_str()), true);
    } else if (in.keep.Contains(target)) {
        left = true;
        reporter.AddError(
            Format(kResultTargetProtected, resultName.c_str(), sourcePath.c_str(), target.c_str()), true);
    } else if (int err = MoveFileReplace(result, target)) {
        // Stays in the result folder for a later collection.
        left = true;
        reporter.AddError(Format(kResultNotDelivered, resultName.c_str(), sourcePath.c_str(), target.c_str(),
                                 SystemErrorText(err).c_str()),
                          true);
    }

    // The side files go, and an earlier side-file target is replaced, only
    // once their lines are written: a write that fails leaves all of them.
    std::vector<std::string> side;
    std::vector<std::string> sideFiles;
    for (const char* ext : {".LIT", ".CON"}) {
        std::string sideFile = ChangeFileExt(result, ext);
        if (!FileExists(sideFile)) continue;
        for (std::string& line : ReadTextLines(sideFile)) side.push_back(std::move(line));
        sideFiles.push_back(std::move(sideFile));
    }
    std::string sideTarget = SideFileTarget(target, in.copyExtension);
    if (in.keep.Contains(sideTarget)) {
        // A copy member beside the source, say: neither replaced nor deleted.
        if (!side.empty())
            reporter.AddError(
                Format(kSideTargetProtected, resultName.c_str(), sourcePath.c_str(), sideTarget.c_str()), true);
        return left || !side.empty();
    }
    if (!side.empty())
        WriteTextLines(sideTarget, side, AtLink::Replace);
    else if (FileExists(sideTarget))
        DeleteFile(sideTarget);
    for (const std::string& sideFile : sideFiles)
        if (!in.keep.Contains(sideFile)) DeleteFile(sideFile);
    return left;
}

}  // namespace

std::string SideFileTarget(const std::string& target, const std::string& copyExtension) {
    std::string sideTarget = ChangeFileExt(target, copyExtension);
    if (!SamePath(sideTarget, target)) return sideTarget;
    // The output extension equals the copy extension: deleting the side
    // target would remove the result just moved there, so the side lines
    // get a name of their own.
    std::string dotted = StartsWithStr(".", copyExtension) ? copyExtension : "." + copyExtension;
    return ChangeFileExt(target, ".side" + dotted);
}

void CollectResults(const CollectionInput& in, Reporter& reporter) {
    const std::string outputDir = CollectionOutputDir(in);
    // Before any run was prepared there is neither an output directory nor a
    // work area to collect from: no path may be formed from an empty folder.
    if (outputDir.empty()) return;
    if (in.scanRun && in.reloadWordLists) in.reloadWordLists(FuncTabPath(outputDir));
    if (!in.area.IsSet()) return;
    // A work folder made a link since the run was prepared: nothing is
    // taken from it or deleted in it.
    const std::string linked = LinkedWorkFolder(in.area, false);
    if (!linked.empty()) {
        reporter.AddError(Format(kWorkFolderIsLink, linked.c_str()), true);
        return;
    }
    MoveSystemLog(in, outputDir);
    bool left = false;
    for (const std::string& line : in.nameMap) {
        std::string name = NameValueList::NameOf(line);
        if (StartsWithText("FIL", name))
            left = CollectOne(in, outputDir, name, NameValueList::ValueOf(line), reporter) || left;
    }
    CleanWorkArea(in, left);
}

void CleanWorkArea(const CollectionInput& in, bool keepResultFolder) {
    // Unset paths would address the file-system root; with the delete-after
    // flag that would empty whole trees there.
    if (!in.deleteAfter || !in.area.IsSet()) return;
    if (!LinkedWorkFolder(in.area, false).empty()) return;  // the files there are not the run's
    for (auto it = in.nameMap.rbegin(); it != in.nameMap.rend(); ++it) {
        if (!StartsWithStr("Copy", NameValueList::NameOf(*it))) continue;
        std::string copy = JoinPath(in.area.inputFolder, ExtractFileName(NameValueList::ValueOf(*it)));
        if (!in.keep.Contains(copy)) DeleteFile(copy);
    }
    RemoveDir(in.area.inputFolder);
    const int deep = in.maxDirDepth + 1;
    std::string outputDir = CollectionOutputDir(in);
    PurgeMatchingFiles(ResolveChosenFolder(outputDir), deep, in.projectName + "_", &in.keep);
    PurgeMatchingFiles(in.area.workFolder, deep, "", &in.keep);
    if (!keepResultFolder) PurgeMatchingFiles(in.area.resultFolder, deep, "", &in.keep);
}

}  // namespace korvane

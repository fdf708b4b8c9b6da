#include "shell/run/copy_run_files.h"

#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/name_value_list.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/output_ownership.h"
#include "shell/run/purge_files.h"

namespace korvane {

std::string ProgressCaption(const std::string& phase, const std::string& projectName, int position, int maximum) {
    return Format("%s project %s - Step %d of %d - Bytes %d of %d", phase.c_str(), projectName.c_str(), position,
                  maximum, 0, 0);
}

RunNames MakeRunNames(const std::string& productName, const std::string& systemName) {
    std::string project = ExtractFileName(ProperCase(productName) + ProperCase(systemName));
    return {productName, systemName, ChangeFileExt(project, "")};
}

void CleanForNewRun(const WorkArea& area, const RunNames& names, int maxDirDepth, bool withCopyLibrary,
                    const ProtectedFiles& keep) {
    // An unset work area would put every folder below the file-system root.
    if (!area.IsSet()) return;
    const int deep = maxDirDepth + 1;
    const std::string projectMask = names.projectName + "_";
    PurgeMatchingFiles(area.resultFolder, 2, names.productName, &keep);
    PurgeMatchingFiles(area.resultFolder, 2, names.systemName, &keep);
    PurgeMatchingFiles(area.resultFolder, 2, projectMask, &keep);
    PurgeMatchingFiles(area.inputFolder, deep, "FIL####", &keep);
    PurgeMatchingFiles(area.resultFolder, deep, "FIL####", &keep);
    PurgeMatchingFiles(area.workFolder, deep, "FIL####", &keep);
    PurgeMatchingFiles(ResolveChosenFolder(area.outputDir), deep, projectMask, &keep);
    CreateWorkFolders(area, withCopyLibrary);
}

void CopySourcesToWorkArea(const CopySourcesInput& in, Reporter& reporter) {
    if (!in.area.IsSet()) return;
    int position = 0;
    for (const std::string& line : in.nameMap) {
        std::string name = NameValueList::NameOf(line);
        if (!StartsWithStr("Copy", name)) continue;
        int n = StrToIntDef(name.substr(4), -1);
        if (n < 0 || size_t(n) >= in.sourcePaths.size())
            throw Error(Format("List index out of bounds (%d)", n));
        std::string target = JoinPath(in.area.inputFolder, ExtractFileName(NameValueList::ValueOf(line)));
        ++position;
        if (in.progress)
            in.progress(position, in.numberOfSources,
                        ProgressCaption("Preparing", in.projectName, position, in.numberOfSources));
        CopyWorkFile(ExcludeTrailingSep(in.sourcePaths[size_t(n)]), target, reporter);
    }
}

}  // namespace korvane

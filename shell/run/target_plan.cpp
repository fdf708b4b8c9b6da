#include "shell/run/target_plan.h"

#include <unordered_map>

#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/collections/common_root.h"
#include "shell/run/run_setup.h"
#include "shell/ui/check_list.h"

namespace korvane {

std::string RunOutputDirectory(std::string_view fieldText, std::string_view projectDirectory) {
    if (fieldText.empty()) return {};
    const std::string dir = ExcludeTrailingSep(AbsolutePathFrom(projectDirectory, fieldText));
    return IsAbsolutePath(dir) ? dir : std::string();
}

std::string ResultTarget(std::string_view outputDir, std::string_view commonRoot, std::string_view sourcePath,
                         std::string_view outputExtension) {
    const std::string relative = TextAfterFirst(sourcePath, std::string(commonRoot) + kPathSepStr);
    std::string target = JoinPath(outputDir, relative);
    if (!outputExtension.empty()) target = ChangeFileExt(target, outputExtension);
    return target;
}

std::optional<TargetRefusal> CheckTargetPlan(std::string_view outputDir, std::string_view commonRoot,
                                             const std::vector<std::string>& checkedSources,
                                             std::string_view outputExtension) {
    const std::string inside = IncludeTrailingSep(PathKey(AbsolutePathFrom(kPathSepStr, outputDir)));
    std::unordered_map<std::string, const std::string*> taken;
    taken.reserve(checkedSources.size());
    for (const std::string& source : checkedSources) {
        const std::string relative = TextAfterFirst(source, std::string(commonRoot) + kPathSepStr);
        const std::string target = ResultTarget(outputDir, commonRoot, source, outputExtension);
        const std::string key = PathKey(AbsolutePathFrom(kPathSepStr, target));
        if (relative.empty() || key.size() <= inside.size() || key.compare(0, inside.size(), inside) != 0 ||
            IsPathSep(key.back()))
            return TargetRefusal{source, {}, target};
        auto [it, fresh] = taken.emplace(key, &source);
        if (!fresh) return TargetRefusal{source, *it->second, target};
    }
    return std::nullopt;
}

std::string TargetRefusalMessage(const TargetRefusal& refusal, std::string_view outputDir) {
    if (refusal.other.empty())
        return Format("The result of %s would be written outside the output directory %s", refusal.source.c_str(),
                      std::string(outputDir).c_str());
    return Format("The results of %s and %s would both be written to %s", refusal.other.c_str(),
                  refusal.source.c_str(), refusal.target.c_str());
}

std::vector<SourceResultPath> CheckedSourceResults(const RunSetup& setup) {
    std::vector<SourceResultPath> pairs;
    const std::string outputDir = RunOutputDirectory(setup.outputDirectory, setup.projectDirectory);
    if (outputDir.empty()) return pairs;
    CheckList list;
    list.assign(setup.sources);
    const std::string root = ComputeCommonRoot(list).root;
    for (const CheckEntry& e : setup.sources)
        if (e.checked)
            pairs.push_back({e.text, ResultTarget(outputDir, root, e.text, setup.language.outputExtension)});
    return pairs;
}

}  // namespace korvane

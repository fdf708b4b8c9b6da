#include "shell/project/project_rules.h"

#include "shared/flags.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

std::string ProjectFileFilter() {
    return Format("%s(*%s)|*%s", kProjectFileDescription, kProjectFileExtension, kProjectFileExtension);
}

bool IsFileNameSafe(std::string_view name) {
    if (name.size() > kMaxNameBytes || name.find("..") != std::string_view::npos) return false;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

bool IsAcceptableName(std::string_view name) {
    return !name.empty() && !(name[0] >= '0' && name[0] <= '9') && IsFileNameSafe(name);
}

std::string FormProjectName(std::string_view product, std::string_view system) {
    return ProperCase(product) + ProperCase(system);
}

std::string ProjectNameFromPath(std::string_view path) {
    if (path.empty() || path == "*") return {};
    return ChangeFileExt(ExtractFileName(path), "");
}

std::string LanguageSuffix(std::string_view version, std::string_view dialect) {
    std::string suffix(version);
    if (!dialect.empty()) suffix += "_" + std::string(dialect);
    return suffix;
}

int ProjectNumber(std::string_view text) { return StrToInt("0" + std::string(text)); }

RangedNumber ProjectNumberInRange(std::string_view text, int lo, int hi, int def) {
    return DigitsInRange("0" + std::string(text), lo, hi, def);
}

std::string NormaliseOutputDirectory(std::string_view text) {
    const bool rooted = !text.empty() && text.front() == kPathSep;
    std::string r = SqueezeChar(text, kPathSep);
    if (!r.empty() && r.back() == kPathSep) r.pop_back();
    if (rooted) r.insert(r.begin(), kPathSep);
    return r;
}

std::string LeftOutputDirectory(std::string_view text, std::string_view projectDirectory) {
    const std::string normal = NormaliseOutputDirectory(text);
    return normal.empty() ? normal : AbsolutePathFrom(projectDirectory, normal);
}

std::optional<std::string> NamesDropTarget(std::string_view fieldText, std::string_view prefix,
                                           std::string_view projectName) {
    std::string text(fieldText);
    if (!prefix.empty() && ExtractFileName(ExcludeTrailingSep(text)) == prefix)
        text.erase(text.rfind(prefix));
    const std::string folder = ExcludeTrailingSep(text);
    if (ExtractFileName(folder) == projectName) return std::nullopt;
    if (folder.empty()) return kPathSepStr + std::string(projectName);
    return JoinPath(folder, projectName);
}

}  // namespace korvane

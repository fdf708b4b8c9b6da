#include "shared/collect_files.h"

#include <algorithm>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

namespace {

struct PreparedPattern {
    std::string text;
    bool startsWith = false;
    bool endsWith = false;
};

PreparedPattern PreparePattern(const std::string& pattern) {
    PreparedPattern p;
    p.text = pattern;
    if (pattern.find('*') == std::string::npos) return p;
    if (pattern == "*") {
        p.text.clear();
        return p;
    }
    if (p.text.front() == '*') {
        p.endsWith = true;
        p.text.erase(0, 1);
    }
    if (!p.text.empty() && p.text.back() == '*') {
        p.startsWith = true;
        p.text.pop_back();
    }
    return p;
}

bool ExtensionAccepted(const std::string& ext, const std::string& masks) {
    if (masks.find("*.*;") != std::string::npos) return true;
    if (ext.empty()) return masks.find(".;") != std::string::npos;
    return ContainsText(masks, ext + ";");
}

bool NameAccepted(const std::string& name, const std::string& base, const PreparedPattern& p) {
    if (p.text.empty()) return true;
    if (SameText(p.text, name) || SameText(p.text, base)) return true;
    if (p.startsWith && StartsWithText(p.text, base)) return true;
    if (p.endsWith && EndsWithText(p.text, base)) return true;
    if (p.startsWith && p.endsWith && ContainsText(base, p.text)) return true;
    return MatchNamePattern(base, p.text, p.startsWith);
}

}  // namespace

void CollectFiles(const std::string& root, const std::string& subdirectory, const std::string& masks,
                  std::vector<std::string>& list) {
    CollectFilesEx(root, subdirectory, "", masks, list, -1);
}

void CollectFilesEx(const std::string& root, const std::string& subdirectory, const std::string& pattern,
                    const std::string& masks, std::vector<std::string>& list, int depth) {
    if (depth == 0) return;
    const std::string maskList = masks + ";";
    const PreparedPattern prepared = PreparePattern(pattern);
    const std::string dir = IncludeTrailingSep(IncludeTrailingSep(root) + subdirectory);

    std::vector<DirEntry> entries = ListDirectory(dir);
    // The directory listing comes in no useful order; name order keeps the
    // result the same from run to run.
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });

    for (const DirEntry& e : entries) {
        if (e.hiddenOrSystem) continue;
        if (e.isDir) {
            if (e.name[0] != '.') CollectFilesEx(dir, e.name, pattern, masks, list, depth - 1);
            continue;
        }
        if (!e.isFile) continue;
        const std::string ext = ExtractFileExt(e.name);
        const std::string base = e.name.substr(0, e.name.size() - ext.size());
        if (!ExtensionAccepted(ext, maskList)) continue;
        if (NameAccepted(e.name, base, prepared)) list.push_back(dir + e.name);
    }
}

bool MatchNamePattern(const std::string& name, const std::string& pattern, bool prefixOnly) {
    const std::string n = UpperCase(name);
    const std::string p = UpperCase(pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        if (i >= n.size()) return false;
        const char pc = p[i], nc = n[i];
        if (pc == nc || pc == '?') continue;
        if (pc == '#' && nc >= '0' && nc <= '9') continue;
        return false;
    }
    return prefixOnly || n.size() == p.size();
}

}  // namespace korvane

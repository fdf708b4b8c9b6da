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

// The masks folded to lower case once, with the answers that do not depend
// on the file.
struct PreparedMasks {
    std::string folded;  // masks + ";"
    bool all = false;
    bool withoutExtension = false;
};

PreparedMasks PrepareMasks(const std::string& masks) {
    PreparedMasks m;
    m.folded = LowerCase(masks + ";");
    m.all = m.folded.find("*.*;") != std::string::npos;
    m.withoutExtension = m.folded.find(".;") != std::string::npos;
    return m;
}

// ext is "" or begins with its "."; accepted when ext followed by ";" occurs
// in the masks, ignoring case.
bool ExtensionAccepted(std::string_view ext, const PreparedMasks& masks) {
    if (masks.all) return true;
    if (ext.empty()) return masks.withoutExtension;
    std::string key;
    key.reserve(ext.size() + 1);
    for (char c : ext) key.push_back(AsciiLower(c));
    key.push_back(';');
    return masks.folded.find(key) != std::string::npos;
}

bool NameAccepted(const std::string& name, const std::string& base, const PreparedPattern& p) {
    if (p.text.empty()) return true;
    if (SameText(p.text, name) || SameText(p.text, base)) return true;
    if (p.startsWith && StartsWithText(p.text, base)) return true;
    if (p.endsWith && EndsWithText(p.text, base)) return true;
    if (p.startsWith && p.endsWith && ContainsText(base, p.text)) return true;
    return MatchNamePattern(base, p.text, p.startsWith);
}

struct Search {
    const PreparedMasks& masks;
    const PreparedPattern& pattern;
    std::vector<std::string>& list;
};

// A long result grows into buffers the system may back with large pages:
// a search of a big tree then takes far fewer page faults.
void Append(std::vector<std::string>& list, const std::string& path) {
    constexpr size_t kLargeGrowth = 32768;
    if (list.size() == list.capacity() && list.size() >= kLargeGrowth) {
        std::vector<std::string> larger;
        larger.reserve(list.capacity() * 2);
        AdviseLargeFill(larger.data(), larger.capacity() * sizeof(std::string));
        for (std::string& p : list) larger.push_back(std::move(p));
        list.swap(larger);
    }
    list.push_back(path);
}

// One folder: its names gathered in one buffer and put in byte order (the
// listing comes in no useful order; name order keeps the result the same from
// run to run), then files taken and folders searched in that order. dir ends
// with a separator.
void Walk(const std::string& dir, int depth, const Search& search) {
    if (depth == 0) return;
    struct Item {
        size_t offset;
        size_t length;
        bool isDir;
    };
    std::string names;
    std::vector<Item> items;
    VisitDirectory(dir, [&](std::string_view name, bool isDir) {
        if (!isDir) {
            const size_t dot = name.rfind('.');
            if (!ExtensionAccepted(dot == std::string_view::npos ? std::string_view() : name.substr(dot),
                                   search.masks))
                return;
        }
        items.push_back({names.size(), name.size(), isDir});
        names.append(name);
    });
    auto nameOf = [&names](const Item& item) { return std::string_view(names).substr(item.offset, item.length); };
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return nameOf(a) < nameOf(b); });
    std::string path = dir;
    for (const Item& item : items) {
        path.resize(dir.size());
        path.append(nameOf(item));
        if (item.isDir) {
            path.push_back(kPathSep);
            Walk(path, depth - 1, search);
            continue;
        }
        if (!search.pattern.text.empty()) {
            const std::string name(nameOf(item));
            const size_t dot = name.rfind('.');
            if (!NameAccepted(name, dot == std::string::npos ? name : name.substr(0, dot), search.pattern)) continue;
        }
        Append(search.list, path);
    }
}

}  // namespace

void CollectFiles(const std::string& root, const std::string& subdirectory, const std::string& masks,
                  std::vector<std::string>& list) {
    CollectFilesEx(root, subdirectory, "", masks, list, -1);
}

void CollectFilesEx(const std::string& root, const std::string& subdirectory, const std::string& pattern,
                    const std::string& masks, std::vector<std::string>& list, int depth) {
    const PreparedMasks preparedMasks = PrepareMasks(masks);
    const PreparedPattern preparedPattern = PreparePattern(pattern);
    Walk(IncludeTrailingSep(IncludeTrailingSep(root) + subdirectory), depth, {preparedMasks, preparedPattern, list});
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

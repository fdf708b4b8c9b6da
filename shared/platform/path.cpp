#include "shared/platform/path.h"

#include <unistd.h>

#include <vector>

namespace korvane {

bool IsPathSep(char c) { return c == kPathSep; }

std::string IncludeTrailingSep(std::string_view path) {
    std::string r(path);
    if (r.empty() || !IsPathSep(r.back())) r.push_back(kPathSep);
    return r;
}

std::string ExcludeTrailingSep(std::string_view path) {
    std::string r(path);
    if (!r.empty() && IsPathSep(r.back()) && r.size() > 1) r.pop_back();
    return r;
}

static size_t LastSep(std::string_view path) { return path.rfind(kPathSep); }

std::string ExtractFilePath(std::string_view path) {
    size_t p = LastSep(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view path) {
    size_t p = LastSep(path);
    if (p == std::string_view::npos) return {};
    if (p == 0) return std::string(1, kPathSep);
    return std::string(path.substr(0, p));
}

std::string ExtractFileName(std::string_view path) {
    size_t p = LastSep(path);
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

static size_t ExtPos(std::string_view path) {
    size_t dot = path.rfind('.');
    size_t sep = LastSep(path);
    if (dot == std::string_view::npos) return std::string_view::npos;
    if (sep != std::string_view::npos && dot < sep) return std::string_view::npos;
    return dot;
}

std::string ExtractFileExt(std::string_view path) {
    size_t p = ExtPos(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(p));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    size_t p = ExtPos(path);
    std::string r(p == std::string_view::npos ? path : path.substr(0, p));
    r.append(ext);
    return r;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string r = IncludeTrailingSep(dir);
    while (!name.empty() && IsPathSep(name.front())) name.remove_prefix(1);
    r.append(name);
    return r;
}

std::string ExpandFileName(std::string_view path) {
    std::string full;
    if (!path.empty() && IsPathSep(path.front())) {
        full = std::string(path);
    } else {
        std::vector<char> buf(4096);
        std::string cwd = getcwd(buf.data(), buf.size()) ? buf.data() : "";
        full = JoinPath(cwd, path);
    }
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find(kPathSep, i);
        if (j == std::string::npos) j = full.size();
        std::string comp = full.substr(i, j - i);
        if (comp == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!comp.empty() && comp != ".") {
            parts.push_back(comp);
        }
        i = j + 1;
    }
    std::string r;
    for (const auto& p : parts) {
        r.push_back(kPathSep);
        r += p;
    }
    if (r.empty()) r.assign(1, kPathSep);
    if (full.size() > 1 && IsPathSep(full.back()) && r.size() > 1) r.push_back(kPathSep);
    return r;
}

bool SamePath(std::string_view a, std::string_view b) { return a == b; }

std::string PathKey(std::string_view path) { return std::string(path); }

}  // namespace korvane

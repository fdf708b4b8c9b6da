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

std::vector<std::string> SearchPathFolders(std::string_view searchPath) {
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        folders.emplace_back(searchPath.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string r = IncludeTrailingSep(dir);
    while (!name.empty() && IsPathSep(name.front())) name.remove_prefix(1);
    r.append(name);
    return r;
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && IsPathSep(path.front()); }

namespace {

// Whether an absolute path has no empty, "." or ".." component (a trailing
// separator aside).
bool IsLexicallyNormal(std::string_view path) {
    if (!IsAbsolutePath(path)) return false;
    for (size_t i = 1; i <= path.size();) {
        size_t j = path.find(kPathSep, i);
        if (j == std::string_view::npos) j = path.size();
        std::string_view comp = path.substr(i, j - i);
        if ((comp.empty() && j != path.size()) || comp == "." || comp == "..") return false;
        i = j + 1;
    }
    return true;
}

std::string NormaliseAbsolute(std::string_view full) {
    if (IsLexicallyNormal(full)) return std::string(full);
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find(kPathSep, i);
        if (j == std::string_view::npos) j = full.size();
        std::string_view comp = full.substr(i, j - i);
        if (comp == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!comp.empty() && comp != ".") {
            parts.push_back(comp);
        }
        i = j + 1;
    }
    std::string r;
    for (std::string_view p : parts) {
        r.push_back(kPathSep);
        r += p;
    }
    if (r.empty()) r.assign(1, kPathSep);
    if (full.size() > 1 && IsPathSep(full.back()) && r.size() > 1) r.push_back(kPathSep);
    return r;
}

}  // namespace

std::string ExpandFileName(std::string_view path) {
    if (IsAbsolutePath(path)) return NormaliseAbsolute(path);
    std::vector<char> buf(4096);
    std::string cwd = getcwd(buf.data(), buf.size()) ? buf.data() : "";
    return NormaliseAbsolute(JoinPath(cwd, path));
}

std::string AbsolutePathFrom(std::string_view base, std::string_view path) {
    if (IsAbsolutePath(path)) return NormaliseAbsolute(path);
    if (!IsAbsolutePath(base)) return std::string(path);
    return NormaliseAbsolute(JoinPath(base, path));
}

bool SamePath(std::string_view a, std::string_view b) { return a == b; }

std::string PathKey(std::string_view path) { return std::string(path); }

}  // namespace korvane

#pragma once
// Path names. One separator constant; everything else is built on it.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr char kPathSep = '/';
inline constexpr const char* kPathSepStr = "/";
// Suffix of native executables ("" here, ".exe" on Windows).
inline constexpr const char* kExeSuffix = "";

bool IsPathSep(char c);

// The folders of a program search path such as $PATH (separated by ':'
// here, by ';' on Windows), in order; empty entries stay as "".
std::vector<std::string> SearchPathFolders(std::string_view searchPath);
std::string IncludeTrailingSep(std::string_view path);
std::string ExcludeTrailingSep(std::string_view path);
// Folder part with its trailing separator ("" when the path has none).
std::string ExtractFilePath(std::string_view path);
// Folder part without trailing separator.
std::string ExtractFileDir(std::string_view path);
std::string ExtractFileName(std::string_view path);
// Extension with its dot, from the last "." of the file name; "" when none.
std::string ExtractFileExt(std::string_view path);
// Replaces the extension (from the last "." of the name on) by ext, or
// appends ext when the name has none. ext is used as given.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Joins folder and name with exactly one separator between them.
std::string JoinPath(std::string_view dir, std::string_view name);
// Absolute path with "." and ".." components resolved lexically, a relative
// path taken from the current directory.
std::string ExpandFileName(std::string_view path);
// Whether the path names its folder from the file-system root.
bool IsAbsolutePath(std::string_view path);
// The path without "." and ".." components and without doubled separators,
// resolved lexically ("/a/b/../c" gives "/a/c"; ".." above the root stays at
// the root); a relative path is taken from base, never from the current
// directory. A relative path with a base that is not absolute itself comes
// back unchanged. A trailing separator stays. A path already in this form is
// returned as it is without further work.
std::string AbsolutePathFrom(std::string_view base, std::string_view path);
// Paths compared as this file system compares them (exactly here).
bool SamePath(std::string_view a, std::string_view b);
// The form of a path under which SamePath paths are equal (the path itself
// here), for hashing and lookups of many paths.
std::string PathKey(std::string_view path);

}  // namespace korvane

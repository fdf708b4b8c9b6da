#pragma once
// File-system operations of the platform layer. Failing operations that the
// callers must report throw korvane::Error carrying the system's text.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The system's text for an error number (errno).
std::string SystemErrorText(int err);

// A regular file (symlinks followed) / a folder (symlinks followed).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// A symbolic link, whatever it points at.
bool IsSymlink(const std::string& path);

// Creates the folder and its missing parents; false on failure.
bool ForceDirectories(const std::string& path);
// Remove a file / an empty folder; false on failure.
bool DeleteFile(const std::string& path);
bool RemoveDir(const std::string& path);
// Rename or move; false on failure (errno set).
bool MoveFile(const std::string& from, const std::string& to);

// Last modification time in nanoseconds since the epoch; -1 when missing.
int64_t FileAgeNs(const std::string& path);

// Copies a file, replacing the target (written through a temporary file and
// renamed over it). Throws Error("<system text>") on failure; the caller adds
// its own context.
void CopyFileReplace(const std::string& from, const std::string& to);

// Whole-file reads. Throw Error("Cannot open file \"<path>\". <system text>").
std::string ReadFileBytes(const std::string& path);
std::vector<std::string> ReadTextLines(const std::string& path);

// Writes bytes through a temporary file in the same folder which is then
// renamed over the target, so the old file survives a failed write. Throws
// Error("Cannot create file \"<path>\". <system text>").
void WriteFileAtomic(const std::string& path, std::string_view bytes);
// Lines each followed by CR LF, written atomically.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);

// Entries of one folder, without "." and "..".
struct DirEntry {
    std::string name;
    bool isDir = false;      // a real folder (never a symlink to one)
    bool isFile = false;     // a regular file, or a symlink to one
    bool hiddenOrSystem = false;  // dot-name, or neither regular file nor folder
};
// Lists a folder; an unreadable or missing folder gives an empty list.
std::vector<DirEntry> ListDirectory(const std::string& dir);

// The regular files (symlinks to files included) and real folders of a folder
// whose names do not begin with ".", in the order the system gives them,
// each handed to visit with true for a folder. One lookup per entry only
// where the folder does not tell the entry's type (links; file systems that
// report no types). An unreadable or missing folder visits nothing.
void VisitDirectory(const std::string& dir, const std::function<void(std::string_view name, bool isDir)>& visit);

}  // namespace korvane

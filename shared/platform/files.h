#pragma once
// File-system operations of the platform layer. Failing operations that the
// callers must report throw korvane::Error carrying the system's text.

#include <cstdint>
#include <functional>
#include <cstdio>
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

// Whether this user may replace the file (or create it, when it is missing):
// write access to the file and to its folder, as the system's permission
// check answers it (for root it answers yes except on a read-only mount).
bool IsWritableFile(const std::string& path);

// Creates the folder and its missing parents; false on failure.
bool ForceDirectories(const std::string& path);
// Remove a file / an empty folder; false on failure.
bool DeleteFile(const std::string& path);
bool RemoveDir(const std::string& path);
// Rename or move; false on failure (errno set).
bool MoveFile(const std::string& from, const std::string& to);
// Moves a file onto to, replacing a file (or a symbolic link, never what it
// points at) of that name. Across file systems the file is copied into to's
// folder under a temporary name, renamed onto to, and only then deleted at
// from. Gives 0, or the error number with from left as it was.
int MoveFileReplace(const std::string& from, const std::string& to);

// Whether a folder between root and path (root itself and the last name of
// path excluded) is a symbolic link, so that a write to path would land
// outside root. Gives 0 when none is (folders still missing count as none,
// since ForceDirectories makes real ones), ELOOP when one is, ENOTDIR when
// path does not lie below root, or the error number of looking.
int LinkedFolderBelow(const std::string& root, const std::string& path);

// The identity of a file on this machine, whatever name it is reached by.
struct FileId {
    uint64_t device = 0;
    uint64_t inode = 0;
    auto operator<=>(const FileId&) const = default;
};
// The identity of the file at path (of a symbolic link itself unless
// followLinks); false when there is none. isLink, when given, tells whether
// the entry at path is itself a symbolic link (only without followLinks).
bool GetFileId(const std::string& path, bool followLinks, FileId& id, bool* isLink = nullptr);

// Last modification time in nanoseconds since the epoch; -1 when missing.
int64_t FileAgeNs(const std::string& path);

// Size in bytes (symlinks followed); -1 when missing.
int64_t FileSizeBytes(const std::string& path);

// Whether this user may run the file (the system's permission check).
bool IsExecutableByUser(const std::string& path);

// Gives the file execute permission for everyone (read and write for its
// owner); false on failure.
bool MakeExecutable(const std::string& path);

// Opens a file by its bytes for reading and gives its C runtime descriptor
// (not inherited by programs started later), or -1 with errno set. The
// caller closes it (CloseDescriptor, or the object it hands it to).
int OpenReadDescriptor(const std::string& path);
// A large buffer not yet written to will be filled at once: the system may
// back it with large pages (fewer page faults). A hint; nothing else changes.
void AdviseLargeFill(void* data, size_t bytes);
void CloseDescriptor(int fd);

// The full path of the running program's own file; "" when it cannot be told.
std::string RunningProgramPath();

// Copies from into to in place, without a temporary file or a flush to disk
// (for scratch copies that are made afresh each time): a symbolic link at
// to's name is replaced, never written through. The kernel copies where it
// can. Gives 0 or the error number (EISDIR when from is a folder).
int CopyFileContents(const std::string& from, const std::string& to);

// Copies a file, replacing the target (written through a temporary file and
// renamed over it). Throws Error("<system text>") on failure; the caller adds
// its own context.
void CopyFileReplace(const std::string& from, const std::string& to);

// Whole-file reads. Throw Error("Cannot open file \"<path>\". <system text>").
std::string ReadFileBytes(const std::string& path);
// Appends bytes to a file, creating it when missing; a symbolic link there
// is never written through. Gives 0 or the error number.
int AppendToFile(const std::string& path, std::string_view bytes);
std::vector<std::string> ReadTextLines(const std::string& path);

// What a write does with a symbolic link at the target's name: write the file
// it points at (a user's own file kept as a link, such as a project file), or
// replace the link by the new file (every file a run writes in its output
// directory, so that no run writes outside it through a link).
enum class AtLink { WriteThrough, Replace };

// Writes bytes through a temporary file in the same folder which is then
// renamed over the target, so the old file survives a failed write. Throws
// Error("Cannot create file \"<path>\". <system text>").
void WriteFileAtomic(const std::string& path, std::string_view bytes, AtLink atLink = AtLink::WriteThrough);
// Lines each followed by CR LF, written atomically.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    AtLink atLink = AtLink::WriteThrough);

// Creates a new folder of this process's own, named prefix followed by six
// unique characters ("/tmp/korvane-" gives "/tmp/korvane-a1B2c3"), and gives
// its path; "" on failure.
std::string CreateUniqueFolder(std::string_view prefix);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);

// Turns the process's standard output over to standard error, for itself and
// every program it starts from now on, and gives a stream on what standard
// output was (not inherited by those programs); nullptr, and nothing turned
// over, when that cannot be done.
std::FILE* DivertStandardOutput();

// An exclusive lock on a folder that also excludes its folders above and
// below it, held through descriptors of the folders themselves (flock): it
// leaves no file behind, no child process inherits it, and it ends with the
// process that holds it, however that process ends.
//
// Besides the exclusive lock on the folder, the holder takes a shared lock
// on every folder above it, up to the root. A lock on a folder below a held
// one then fails at the held one (shared wanted, exclusive held), and a lock
// on a folder above a held one fails at that folder itself (exclusive
// wanted, shared held by the holder below). Two such claims that overlap in
// time always meet at one folder, where flock lets only one of them in, so
// no order of the steps lets both succeed. The folders above are found from
// the real path, so another spelling of the folder (a link above it) meets
// the same locks; a folder above that cannot be opened is passed over.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock() { Unlock(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock without waiting. Gives 0, EWOULDBLOCK when another
    // holder has the folder, one above it or one below it (another process,
    // or another lock of this one), or the error number of opening the
    // folder; a failed attempt holds nothing.
    int TryLock(const std::string& dir);
    void Unlock();
    bool Locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::vector<int> above_;  // the shared locks of the folders above
};

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

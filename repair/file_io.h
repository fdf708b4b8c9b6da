#pragma once
// Whole-file reading and writing for brelvin. Failures throw korvane::Error
// carrying the system's text.

#include <span>
#include <string>
#include <string_view>

namespace korvane {

// The file's bytes. Throws Error("Cannot open file \"<path>\". <system text>").
std::string ReadFileBytes(const std::string& path);

// The text as read line by line (a line ends at CR LF, LF or CR) and written
// back with every line followed by CR LF, the last one too. Empty text stays
// empty. Linear in the size of the text.
std::string NormalizeLineEnds(std::string text);

// The file read as text lines, each followed by CR LF.
std::string ReadTextCrLf(const std::string& path);

// The bytes of a file that is about to be rewritten, and its permission bits.
// A symbolic link is never followed: it throws
// Error("Cannot rewrite file \"<path>\". It is a symbolic link"); other
// failures as ReadFileBytes.
std::string ReadFileToRewrite(const std::string& path, unsigned& permissions);

// The permission bits of a file created anew: 0666 less the umask.
inline constexpr unsigned kNewFilePermissions = ~0u;

// Replaces the file by one that holds the bytes: they are written to a new
// temporary file in the same folder (".<name>.tmpXXXXXX"), which is then
// renamed to the path; a file of new permissions is written without a name
// where the file system allows, and then linked to the path (see
// PendingFile). A failed write leaves the old file (or no file) and
// no temporary file. An entry that is a symbolic link is itself replaced,
// never written through; so is a hard link, which keeps the old content under
// its other names. The new file gets the permission bits given, or those of
// a new file. Throws Error("Cannot create file \"<path>\". <system text>")
// when the file cannot be created or put in place, and
// Error("Cannot write file \"<path>\". <system text>") when the bytes cannot
// be written (full disk, file size limit).
void ReplaceFileBytes(const std::string& path, std::string_view bytes,
                      unsigned permissions = kNewFilePermissions);

// The two halves of ReplaceFileBytes, for a caller that writes ahead and puts
// the files in place later: the constructor writes the temporary file (and
// throws as ReplaceFileBytes does, leaving none), Commit renames it to the
// path. A file not committed is removed when the object goes. A new file
// (no permission bits given) is written, where the file system allows, as a
// file without a name, which Commit links to the path (by way of a
// temporary name when something is there already): it never shows under a
// name of its own, and a killed program leaves nothing of it. Such a file
// holds a descriptor until it is committed or goes.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const std::string& path, std::string_view bytes, unsigned permissions = kNewFilePermissions);
    // The file holds the pieces one after the other.
    PendingFile(const std::string& path, std::span<const std::string_view> pieces,
                unsigned permissions = kNewFilePermissions);
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // Throws Error("Cannot create file \"<path>\". <system text>"); the
    // temporary file is removed then.
    void Commit();

private:
    void Discard() noexcept;

    std::string path_;
    std::string temp_;  // a temporary name to rename to path_, or empty
    int unnamed_ = -1;  // an open file without a name yet, or -1
};

}  // namespace korvane

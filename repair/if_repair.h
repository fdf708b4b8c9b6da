#pragma once
// The repair itself: closing the parentheses missing from Java if conditions.

#include "repair/file_io.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Scans the text once. " if " (space, i, f, space) starts a condition with
// depth 0; inside it "(" and ")" count the depth, ";" ends it, and "{" ends it
// too, first inserting as many ")" as the depth right after the last character
// above code 32 written so far. Strings and comments are not skipped. Linear
// in the size of the text.
std::string CloseIfConditions(std::string_view text);

// Where CloseIfConditions puts its ")": count of them before the character
// at in the text. The places grow from one to the next.
struct ParenInsertion {
    size_t at;
    int64_t count;
};
std::vector<ParenInsertion> FindMissingParens(std::string_view text);

// The text as CloseIfConditions repairs it, as pieces of the text with the
// ")" between them: written one after the other they are the repaired text,
// which is never put together in memory. The text must outlive the pieces.
class RepairedPieces {
public:
    explicit RepairedPieces(std::string_view text);
    std::span<const std::string_view> Pieces() const { return pieces_; }

private:
    std::vector<std::string_view> pieces_;
};

// The path with the extension of its file name (from the last "." on)
// replaced by ext, or ext appended when the name has none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);

// Repairs one file: the file read as CR LF lines goes to the backup
// (".eredeti.txt"), the repaired text to the file itself and then to the
// corrected copy (".javitott.txt"). Each of the three is replaced whole
// through a temporary file (PendingFile), so a failed write leaves the
// file as it was; the repaired file keeps its permission bits. A file to
// repair that is a symbolic link is refused before anything is written.
// Throws korvane::Error when a file cannot be read or written.
void RepairFile(const std::string& path);

// One repair written ahead: the backup, the repaired file and the corrected
// copy as temporary files beside their places.
struct PreparedRepair {
    PendingFile backup;
    PendingFile file;
    PendingFile corrected;

    // Puts the three in place in that order; a failure leaves the later ones
    // out and removes them.
    void Commit();
};

// Reads and repairs the file as RepairFile does and writes the three
// temporary files, changing nothing else. Throws when a file cannot be read
// or written, leaving no temporary file.
PreparedRepair PrepareRepair(const std::string& path);

}  // namespace korvane

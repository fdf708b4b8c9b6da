#pragma once
// Whole-file reading and writing for brelvin. Failures throw korvane::Error
// carrying the system's text.

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

// Creates or truncates the file and writes all bytes. Throws
// Error("Cannot create file \"<path>\". <system text>").
void WriteFileBytes(const std::string& path, std::string_view bytes);

// Rewrites the file in place: all bytes from its start, then the file is cut
// to their length. The file stays the same file (permissions, links); one that
// does not exist is created. A failed write leaves it partly rewritten.
void OverwriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace korvane

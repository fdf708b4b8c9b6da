#include "repair/file_io.h"

#include "shared/errors.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

std::string SystemText(int err) { return std::strerror(err); }

[[noreturn]] void Fail(const char* what, const std::string& path, int err) {
    std::string message = what;
    message += " \"";
    message += path;
    message += "\". ";
    message += SystemText(err);
    throw Error(message);
}

// A path with a NUL byte in it cannot name a file; the system would see a
// shorter name.
bool UsablePath(const std::string& path) { return path.find('\0') == std::string::npos; }

// Writes everything to an open descriptor; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// How often c occurs in the text; eight bytes at a time.
size_t CountByte(std::string_view text, char c) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
    const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    const char* p = text.data();
    const char* end = p + text.size();
    size_t count = 0;
    while (end - p >= 8) {
        // Per-byte counters, summed up while their total still fits in a
        // byte (8 counters of at most 31).
        uint64_t counters = 0;
        for (int k = 0; k < 31 && end - p >= 8; ++k, p += 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            word ^= pattern;  // bytes equal to c are now zero
            // The high bit of each byte that is zero, and only of those.
            uint64_t zeroes = ~(((word & kLow7) + kLow7) | word | kLow7);
            counters += zeroes >> 7;
        }
        count += static_cast<size_t>((counters * kOnes) >> 56);
    }
    for (; p < end; ++p) count += (*p == c);
    return count;
}

// Every LF preceded by CR, every CR followed by LF, and the text ends with
// CR LF: then reading it as lines and writing them back changes nothing.
bool IsCrLfText(std::string_view text) {
    if (text.size() < 2 || text[text.size() - 2] != '\r' || text.back() != '\n') return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    size_t lineFeeds = 0;
    for (const char* p = begin; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!p) break;
        if (p == begin || p[-1] != '\r') return false;
        ++lineFeeds;
    }
    return CountByte(text, '\r') == lineFeeds;
}

// Text whose lines end in LF only (and perhaps a last line without end).
std::string LfToCrLf(std::string_view text) {
    const size_t lineFeeds = CountByte(text, '\n');
    const bool openLastLine = text.back() != '\n';
    std::string result(text.size() + lineFeeds + (openLastLine ? 2 : 0), '\0');
    char* o = result.data();
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* lineEnd = lf ? lf : end;
        std::memcpy(o, p, static_cast<size_t>(lineEnd - p));
        o += lineEnd - p;
        *o++ = '\r';
        *o++ = '\n';
        if (!lf) break;
        p = lf + 1;
    }
    return result;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    if (!UsablePath(path)) Fail("Cannot open file", path, EINVAL);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("Cannot open file", path, errno);
    size_t expected = 0;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            Fail("Cannot open file", path, EISDIR);
        }
        if (S_ISREG(st.st_mode)) expected = static_cast<size_t>(st.st_size);
    }
    std::string bytes;
    // One byte more than the size so that the end of the file is seen
    // without growing the buffer.
    bytes.resize(expected + 1);
    size_t used = 0;
    while (true) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
        ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            Fail("Cannot read file", path, err);
        }
        if (n == 0) break;
        used += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

std::string NormalizeLineEnds(std::string text) {
    if (text.empty() || IsCrLfText(text)) return text;
    if (!std::memchr(text.data(), '\r', text.size())) return LfToCrLf(text);
    std::string result;
    result.reserve(text.size() + text.size() / 16 + 2);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* lineEnd = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(lineEnd - p)));
        if (cr) lineEnd = cr;
        result.append(p, lineEnd);
        result.append("\r\n");
        if (lineEnd == end) break;
        if (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n')
            p = lineEnd + 2;
        else
            p = lineEnd + 1;
    }
    return result;
}

std::string ReadTextCrLf(const std::string& path) { return NormalizeLineEnds(ReadFileBytes(path)); }

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    if (!UsablePath(path)) Fail("Cannot create file", path, EINVAL);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("Cannot create file", path, errno);
    if (!WriteAll(fd, bytes)) {
        int err = errno;
        ::close(fd);
        Fail("Cannot write file", path, err);
    }
    if (::close(fd) != 0) Fail("Cannot write file", path, errno);
}

void OverwriteFileBytes(const std::string& path, std::string_view bytes) {
    if (!UsablePath(path)) Fail("Cannot create file", path, EINVAL);
    // No O_TRUNC: the pages of the old content are reused, and the file is
    // cut to the new length only after everything has been written.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) Fail("Cannot create file", path, errno);
    if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        int err = errno;
        ::close(fd);
        Fail("Cannot write file", path, err);
    }
    if (::close(fd) != 0) Fail("Cannot write file", path, errno);
}

}  // namespace korvane

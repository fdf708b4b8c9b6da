#include "repair/file_io.h"

#include "shared/errors.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <utility>

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

// Writes the pieces one after the other to an open descriptor, as many at a
// time as the system takes; false with errno set on failure.
bool WriteAll(int fd, std::span<const std::string_view> pieces) {
    constexpr size_t kBatch = 64;
    size_t next = 0;     // the first piece not yet written whole
    size_t written = 0;  // bytes of it written already
    while (next < pieces.size()) {
        iovec batch[kBatch];
        size_t count = 0;
        for (size_t k = next; k < pieces.size() && count < kBatch; ++k) {
            const std::string_view piece = k == next ? pieces[k].substr(written) : pieces[k];
            if (piece.empty()) continue;
            batch[count].iov_base = const_cast<char*>(piece.data());
            batch[count].iov_len = piece.size();
            ++count;
        }
        if (count == 0) break;
        ssize_t n = ::writev(fd, batch, static_cast<int>(count));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {  // no room and no error: never taken as written
            errno = ENOSPC;
            return false;
        }
        // Past the pieces written whole, into the one written in part.
        auto left = static_cast<size_t>(n);
        while (next < pieces.size() && left >= pieces[next].size() - written) {
            left -= pieces[next].size() - written;
            written = 0;
            ++next;
        }
        written += left;
    }
    return true;
}

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;

// The high bit of every byte of the word that is zero, and of no other.
inline uint64_t ZeroBytes(uint64_t word) { return ~(((word & kLow7) + kLow7) | word | kLow7); }

inline uint64_t Load8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

struct LineEndCounts {
    size_t lineFeeds = 0;
    size_t carriageReturns = 0;
};

// How many LF and CR the text holds; one pass, eight bytes at a time.
LineEndCounts CountLineEnds(std::string_view text) {
    const uint64_t lf = kOnes * '\n';
    const uint64_t cr = kOnes * '\r';
    const char* p = text.data();
    const char* end = p + text.size();
    LineEndCounts counts;
    while (end - p >= 8) {
        // Per-byte counters, summed up while their total still fits in a
        // byte (8 counters of at most 31).
        uint64_t lineFeeds = 0;
        uint64_t returns = 0;
        for (int k = 0; k < 31 && end - p >= 8; ++k, p += 8) {
            const uint64_t word = Load8(p);
            lineFeeds += ZeroBytes(word ^ lf) >> 7;
            returns += ZeroBytes(word ^ cr) >> 7;
        }
        counts.lineFeeds += static_cast<size_t>((lineFeeds * kOnes) >> 56);
        counts.carriageReturns += static_cast<size_t>((returns * kOnes) >> 56);
    }
    for (; p < end; ++p) {
        counts.lineFeeds += (*p == '\n');
        counts.carriageReturns += (*p == '\r');
    }
    return counts;
}

// Where every LF is preceded by CR and the text ends with CR LF, given that
// it holds as many CR as LF: then every CR is followed by LF, and reading the
// text as lines and writing them back changes nothing.
bool IsCrLfText(std::string_view text, const LineEndCounts& counts) {
    if (counts.carriageReturns != counts.lineFeeds) return false;
    if (text.size() < 2 || text[text.size() - 2] != '\r' || text.back() != '\n') return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    for (const char* p = begin; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!p) break;
        if (p == begin || p[-1] != '\r') return false;
    }
    return true;
}

// Text without CR, whose lines end in LF (the last one perhaps not at all),
// with CR LF after every line. One pass, eight bytes at a time: a word
// without LF is copied whole.
std::string LfToCrLf(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    // Room for the text and a CR for every sixteenth byte; more when the
    // lines are shorter. Between two line ends a word takes as many bytes
    // as it gives, so the room is looked at only at a line end, and there is
    // always room for the rest of the text and sixteen bytes more.
    std::string result(text.size() + text.size() / 16 + 16, '\0');
    char* o = result.data();
    char* limit = o + result.size();
    auto lineEnd = [&] {
        *o++ = '\r';
        *o++ = '\n';
        if (limit - o < (end - p) + 16) {
            const size_t used = static_cast<size_t>(o - result.data());
            result.resize(result.size() + result.size() / 2 + 32);
            o = result.data() + used;
            limit = result.data() + result.size();
        }
    };
    if constexpr (std::endian::native == std::endian::little) {
        const uint64_t lf = kOnes * '\n';
        while (end - p >= 8) {
            const uint64_t found = ZeroBytes(Load8(p) ^ lf);
            std::memcpy(o, p, 8);
            if (found == 0) {
                o += 8;
                p += 8;
                continue;
            }
            const int before = std::countr_zero(found) / 8;
            o += before;
            p += before + 1;
            lineEnd();
        }
    }
    while (p < end) {
        const char c = *p++;
        if (c == '\n') {
            lineEnd();
        } else {
            *o++ = c;
        }
    }
    if (text.back() != '\n') {
        *o++ = '\r';
        *o++ = '\n';
    }
    result.resize(static_cast<size_t>(o - result.data()));
    return result;
}

// Reads the open file to its end and closes it; st is what fstat gave.
std::string ReadAll(int fd, const struct stat& st, const std::string& path) {
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        Fail("Cannot open file", path, EISDIR);
    }
    const size_t expected = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
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

// The process's file mode creation mask as the system reports it, read once;
// -1 where it cannot be told.
int CreationMask() {
    static const int mask = [] {
        int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        char buffer[4096];
        ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
        ::close(fd);
        if (n <= 0) return -1;
        buffer[n] = '\0';
        const char* line = std::strstr(buffer, "\nUmask:");
        if (!line) return -1;
        char* end = nullptr;
        long value = std::strtol(line + 7, &end, 8);
        return end == line + 7 || value < 0 || value > 0777 ? -1 : static_cast<int>(value);
    }();
    return mask;
}

// The name ".<name>.tmpXXXXXX" beside path, with a new suffix each time.
std::string TempNameBeside(const std::string& path) {
    static std::atomic<uint64_t> counter{0};
    static const auto pid = static_cast<uint64_t>(::getpid());
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    // A long name is shortened so that the temporary name still fits.
    const std::string_view name = std::string_view(path).substr(nameStart, 200);
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t x = ((pid << 32) ^ counter.fetch_add(1) ^ now) * 0x9e3779b97f4a7c15ULL;
    char suffix[7];
    for (int k = 0; k < 6; ++k, x /= 36) suffix[k] = kDigits[x % 36];
    suffix[6] = '\0';
    std::string temp(path, 0, nameStart);
    temp += '.';
    temp += name;
    temp += ".tmp";
    temp += suffix;
    return temp;
}

// Creates a new, empty file ".<name>.tmpXXXXXX" in the folder of path with
// the mode given (less the umask); gives its descriptor (or -1 with errno
// set) and its path in temp.
int CreateTempBeside(const std::string& path, std::string& temp, mode_t mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TempNameBeside(path);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Files without a name can be named later through /proc/self/fd (at the
// least).
bool CanNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// A new file without a name in the folder of path, with the permissions of
// a new file; -1 where the system or the file system has no such files (or
// the folder cannot take one: the named way then says why).
int CreateUnnamedBeside(const std::string& path) {
#ifdef O_TMPFILE
    if (!CanNameUnnamedFiles()) return -1;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)path;
    return -1;
#endif
}

// Gives the open file without a name the name path; 0, or the error number.
// The file is named by its descriptor where the system lets every program
// do so, and otherwise by way of /proc/self/fd.
int NameUnnamed(int fd, const std::string& path) {
    static std::atomic<bool> byDescriptorRefused{false};
#ifdef AT_EMPTY_PATH
    const bool tried = !byDescriptorRefused.load(std::memory_order_relaxed);
    if (tried) {
        if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return 0;
        // Where naming by descriptor is not allowed the system says ENOENT.
        if (errno != ENOENT) return errno;
    }
#else
    const bool tried = false;
#endif
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) return errno;
    if (tried) byDescriptorRefused.store(true, std::memory_order_relaxed);
    return 0;
}

// Gives the open file without a name a new temporary name beside path,
// given in temp; 0, or the error number.
int NameUnnamedBeside(int fd, const std::string& path, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TempNameBeside(path);
        const int err = NameUnnamed(fd, temp);
        if (err != EEXIST) {
            if (err != 0) temp.clear();
            return err;
        }
    }
    temp.clear();
    return EEXIST;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    if (!UsablePath(path)) Fail("Cannot open file", path, EINVAL);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("Cannot open file", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) st.st_mode = 0;
    return ReadAll(fd, st, path);
}

std::string NormalizeLineEnds(std::string text) {
    if (text.empty()) return text;
    if (!std::memchr(text.data(), '\r', text.size())) return LfToCrLf(text);
    if (IsCrLfText(text, CountLineEnds(text))) return text;
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

std::string ReadFileToRewrite(const std::string& path, unsigned& permissions) {
    if (!UsablePath(path)) Fail("Cannot open file", path, EINVAL);
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        struct stat st {};
        if (err == ELOOP && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            throw Error("Cannot rewrite file \"" + path + "\". It is a symbolic link");
        Fail("Cannot open file", path, err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        Fail("Cannot open file", path, err);
    }
    permissions = static_cast<unsigned>(st.st_mode & 07777);
    return ReadAll(fd, st, path);
}

PendingFile::PendingFile(const std::string& path, std::string_view bytes, unsigned permissions)
    : PendingFile(path, std::span<const std::string_view>(&bytes, 1), permissions) {}

PendingFile::PendingFile(const std::string& path, std::span<const std::string_view> pieces, unsigned permissions)
    : path_(path) {
    if (!UsablePath(path) || path.empty()) Fail("Cannot create file", path, path.empty() ? ENOENT : EINVAL);
    // The file is made with the permission bits it is to have, so that it is
    // never more open than that; they are set once more where the umask
    // may have taken some away, and for the set-id and sticky bits.
    const mode_t mode = permissions == kNewFilePermissions ? 0666 : static_cast<mode_t>(permissions & 07777);
    const int mask = CreationMask();
    const bool setMode = permissions != kNewFilePermissions &&
                         (mask < 0 || (mode & static_cast<mode_t>(mask)) != 0 || (mode & 07000) != 0);
    // A file that is usually new (a copy) is written without a name and
    // named when it is put in place: nothing of it is left behind, not even
    // when the program is killed. A file that is there already goes to a
    // temporary name that is then renamed over it.
    std::string temp;
    int fd = permissions == kNewFilePermissions ? CreateUnnamedBeside(path) : -1;
    const bool unnamed = fd >= 0;
    if (!unnamed) fd = CreateTempBeside(path, temp, mode);
    if (fd < 0) Fail("Cannot create file", path, errno);
    auto discard = [&](int err) {
        ::close(fd);
        if (!unnamed) ::unlink(temp.c_str());
        Fail("Cannot write file", path, err);
    };
    if (!WriteAll(fd, pieces)) discard(errno);
    if (setMode && ::fchmod(fd, mode) != 0) discard(errno);
    if (unnamed) {
        unnamed_ = fd;
        return;
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("Cannot write file", path, err);
    }
    temp_ = std::move(temp);
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)),
      temp_(std::exchange(other.temp_, std::string())),
      unnamed_(std::exchange(other.unnamed_, -1)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        path_ = std::move(other.path_);
        temp_ = std::exchange(other.temp_, std::string());
        unnamed_ = std::exchange(other.unnamed_, -1);
    }
    return *this;
}

PendingFile::~PendingFile() { Discard(); }

void PendingFile::Discard() noexcept {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    if (unnamed_ >= 0) ::close(unnamed_);
    unnamed_ = -1;
}

void PendingFile::Commit() {
    if (unnamed_ >= 0) {
        // The file gets its name; where one is there already, it gets a
        // temporary name first, which is then renamed over the old file.
        int err = NameUnnamed(unnamed_, path_);
        if (err == EEXIST) err = NameUnnamedBeside(unnamed_, path_, temp_);
        if (err != 0) {
            Discard();
            Fail("Cannot create file", path_, err);
        }
        // The data went with the write; closing only lets go of the file.
        ::close(std::exchange(unnamed_, -1));
        if (temp_.empty()) return;
    }
    if (temp_.empty()) return;
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        int err = errno;
        Discard();
        Fail("Cannot create file", path_, err);
    }
    temp_.clear();
}

void ReplaceFileBytes(const std::string& path, std::string_view bytes, unsigned permissions) {
    PendingFile(path, bytes, permissions).Commit();
}

}  // namespace korvane

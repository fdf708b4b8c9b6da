#include "shared/platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/errors.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

std::string SystemErrorText(int err) {
    char buf[256];
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char* s = strerror_r(err, buf, sizeof buf);
    return s;
#else
    if (strerror_r(err, buf, sizeof buf) != 0) return "Unknown error " + std::to_string(err);
    return buf;
#endif
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsWritableFile(const std::string& path) {
    if (path.empty()) return false;
    const std::string dir = ExtractFileDir(path);
    if (access((dir.empty() ? std::string(".") : dir).c_str(), W_OK | X_OK) != 0) return false;
    return access(path.c_str(), F_OK) != 0 || access(path.c_str(), W_OK) == 0;
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsSymlink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    std::string p = ExcludeTrailingSep(path);
    if (p.empty()) return false;
    if (DirectoryExists(p)) return true;
    std::string parent = ExtractFileDir(p);
    if (!parent.empty() && parent != p && !DirectoryExists(parent)) {
        if (!ForceDirectories(parent)) return false;
    }
    if (mkdir(p.c_str(), 0777) == 0) return true;
    return errno == EEXIST && DirectoryExists(p);
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }
bool RemoveDir(const std::string& path) { return rmdir(path.c_str()) == 0; }
bool MoveFile(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

int64_t FileAgeNs(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return -1;
    return int64_t(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

int64_t FileSizeBytes(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
    return int64_t(st.st_size);
}

bool IsExecutableByUser(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

bool MakeExecutable(const std::string& path) { return chmod(path.c_str(), 0755) == 0; }

int OpenReadDescriptor(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC); }

void CloseDescriptor(int fd) {
    if (fd >= 0) close(fd);
}

std::string RunningProgramPath() {
    std::vector<char> buf(4096);
    while (true) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (size_t(n) < buf.size()) return std::string(buf.data(), size_t(n));
        buf.resize(buf.size() * 2);
    }
}

namespace {

// A file descriptor closed on every path out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// The file a write to path really lands in: a symlink is written through,
// unless it is to be replaced.
std::string ResolveWriteTarget(const std::string& path, AtLink atLink) {
    if (atLink == AtLink::Replace || !IsSymlink(path)) return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string r = real;
    free(real);
    return r;
}

// Creates a temporary file beside target; returns its path and descriptor.
std::string MakeTempBeside(const std::string& target, Fd& fd) {
    std::string dir = ExtractFilePath(target);
    std::string tmpl = dir + "." + ExtractFileName(target) + ".tmpXXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    fd.fd = mkstemp(buf.data());
    return fd.fd >= 0 ? std::string(buf.data()) : std::string();
}

// Writes through a temporary file and renames it over target; returns errno
// or 0. producer writes the content into the descriptor.
// The mode of the new file is keepMode when given, else that of the file it
// replaces, else the default for new files.
template <typename Producer>
int AtomicReplace(const std::string& path, AtLink atLink, Producer&& producer, int keepMode = -1) {
    std::string target = ResolveWriteTarget(path, atLink);
    Fd fd;
    std::string tmp = MakeTempBeside(target, fd);
    if (tmp.empty()) return errno;
    struct stat st;
    mode_t mode = 0666;
    if (keepMode >= 0) {
        mode = mode_t(keepMode);
    } else if ((atLink == AtLink::Replace ? lstat(target.c_str(), &st) : stat(target.c_str(), &st)) == 0 &&
               S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    int err = 0;
    if (!producer(fd.fd)) err = errno ? errno : EIO;
    if (!err && fchmod(fd.fd, mode) != 0) err = errno;
    if (!err && fsync(fd.fd) != 0 && errno != EINVAL) err = errno;
    if (!err) {
        int rc = close(fd.fd);
        fd.fd = -1;
        if (rc != 0) err = errno;
    }
    if (!err && rename(tmp.c_str(), target.c_str()) != 0) err = errno;
    if (err) unlink(tmp.c_str());
    return err;
}

// Copies the rest of in into out.
bool CopyContent(int in, int out) {
    std::vector<char> buf(1 << 16);
    while (true) {
        ssize_t n = read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (!WriteAll(out, buf.data(), size_t(n))) return false;
    }
}

}  // namespace

void CopyFileReplace(const std::string& from, const std::string& to) {
    Fd in;
    in.fd = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0) throw Error(SystemErrorText(errno));
    struct stat st;
    if (fstat(in.fd, &st) != 0) throw Error(SystemErrorText(errno));
    if (S_ISDIR(st.st_mode)) throw Error(SystemErrorText(EISDIR));
    int err = AtomicReplace(to, AtLink::WriteThrough, [&](int out) { return CopyContent(in.fd, out); });
    if (err) throw Error(SystemErrorText(err));
}

int CopyFileContents(const std::string& from, const std::string& to) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st;
    int statErr = fstat(in, &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
    if (statErr) {
        close(in);
        return statErr;
    }
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out < 0 && errno == ELOOP && unlink(to.c_str()) == 0)
        out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out < 0) {
        int err = errno;
        close(in);
        return err;
    }
    int err = 0;
    bool kernelCopy = true;
    for (;;) {  // the kernel copies, where it can
        ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            kernelCopy = false;  // nothing copied yet: copy by hand below
        else if (n < 0)
            err = errno;
        break;
    }
    char buf[1 << 16];
    while (!kernelCopy && !err) {
        ssize_t r = read(in, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) err = errno;
        if (r <= 0) break;
        for (ssize_t done = 0; done < r && !err;) {
            ssize_t w = write(out, buf + done, size_t(r - done));
            if (w >= 0) done += w;
            else if (errno != EINTR) err = errno;
        }
    }
    close(in);
    if (close(out) != 0 && !err) err = errno;
    return err;
}

void AdviseLargeFill(void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLarge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

int AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int err = 0;
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        bytes.remove_prefix(size_t(n));
    }
    if (close(fd) != 0 && err == 0) err = errno;
    return err;
}

int MoveFileReplace(const std::string& from, const std::string& to) {
    if (rename(from.c_str(), to.c_str()) == 0) return 0;
    if (errno != EXDEV) return errno;
    // Another file system: a copy beside the target, renamed onto it, and
    // the original goes only once the copy is complete.
    Fd in;
    in.fd = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in.fd < 0) return errno;
    struct stat st;
    if (fstat(in.fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EXDEV;  // only files are carried over
    struct stat target;
    if (lstat(to.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return EISDIR;
    int err = AtomicReplace(to, AtLink::Replace, [&](int out) { return CopyContent(in.fd, out); },
                            int(st.st_mode & 07777));
    if (err) return err;
    unlink(from.c_str());  // delivered; a copy left behind goes with the next cleaning
    return 0;
}

bool GetFileId(const std::string& path, bool followLinks, FileId& id, bool* isLink) {
    struct stat st;
    if ((followLinks ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return false;
    id.device = uint64_t(st.st_dev);
    id.inode = uint64_t(st.st_ino);
    if (isLink) *isLink = !followLinks && S_ISLNK(st.st_mode);
    return true;
}

int LinkedFolderBelow(const std::string& root, const std::string& path) {
    const std::string base = IncludeTrailingSep(ExcludeTrailingSep(root));
    if (base.size() < 2 || path.size() <= base.size() || path.compare(0, base.size(), base) != 0) return ENOTDIR;
    // Walks down from root one name at a time, never following a link.
    Fd dir;
    dir.fd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd < 0) return errno;
    const std::string rest = path.substr(base.size());
    size_t start = 0;
    for (size_t sep; (sep = rest.find(kPathSep, start)) != std::string::npos; start = sep + 1) {
        const std::string name = rest.substr(start, sep - start);
        if (name.empty() || name == ".") continue;
        if (name == "..") return ENOTDIR;
        struct stat st;
        if (fstatat(dir.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
        if (S_ISLNK(st.st_mode)) return ELOOP;
        if (!S_ISDIR(st.st_mode)) return 0;  // the write fails there by itself
        Fd next;
        next.fd = openat(dir.fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next.fd < 0) return errno;
        std::swap(dir.fd, next.fd);
    }
    return 0;
}

int FolderLock::TryLock(const std::string& dir) {
    Unlock();
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    auto lock = [](int lockFd, int how) {
        while (flock(lockFd, how | LOCK_NB) != 0)
            if (errno != EINTR) return errno;
        return 0;
    };
    if (int err = lock(fd, LOCK_EX)) {
        close(fd);
        return err;
    }
    fd_ = fd;
    char* real = realpath(dir.c_str(), nullptr);
    std::string folder = real ? real : dir;
    free(real);
    while (true) {
        const std::string parent = ExtractFileDir(ExcludeTrailingSep(folder));
        if (parent.empty() || parent == folder) break;
        folder = parent;
        int up = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (up < 0) continue;  // passed over
        if (int err = lock(up, LOCK_SH)) {
            close(up);
            Unlock();
            return err;
        }
        above_.push_back(up);
    }
    return 0;
}

void FolderLock::Unlock() {
    // A lock ends with the last descriptor of its open file.
    for (int fd : above_) close(fd);
    above_.clear();
    if (fd_ < 0) return;
    close(fd_);
    fd_ = -1;
}

std::string ReadFileBytes(const std::string& path) {
    Fd in;
    in.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int err = 0;
    struct stat st;
    if (in.fd < 0) err = errno;
    else if (fstat(in.fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    if (err) throw Error(Format("Cannot open file \"%s\". %s", path.c_str(), SystemErrorText(err).c_str()));
    std::string data;
    if (st.st_size > 0) data.reserve(size_t(st.st_size));
    std::vector<char> buf(1 << 16);
    while (true) {
        ssize_t n = read(in.fd, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error(Format("Cannot read file \"%s\". %s", path.c_str(), SystemErrorText(errno).c_str()));
        }
        if (n == 0) break;
        data.append(buf.data(), size_t(n));
    }
    return data;
}

std::vector<std::string> ReadTextLines(const std::string& path) { return SplitLines(ReadFileBytes(path)); }

void WriteFileAtomic(const std::string& path, std::string_view bytes, AtLink atLink) {
    int err = AtomicReplace(path, atLink, [&](int out) { return WriteAll(out, bytes.data(), bytes.size()); });
    if (err) throw Error(Format("Cannot create file \"%s\". %s", path.c_str(), SystemErrorText(err).c_str()));
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines, AtLink atLink) {
    WriteFileAtomic(path, JoinLinesCrLf(lines), atLink);
}

std::string CreateUniqueFolder(std::string_view prefix) {
    std::string tmpl = std::string(prefix) + "XXXXXX";
    return mkdtemp(tmpl.data()) ? tmpl : std::string();
}

std::string GetCurrentDir() {
    std::vector<char> buf(4096);
    return getcwd(buf.data(), buf.size()) ? std::string(buf.data()) : std::string();
}

bool SetCurrentDir(const std::string& path) { return chdir(path.c_str()) == 0; }

void VisitDirectory(const std::string& dir, const std::function<void(std::string_view name, bool isDir)>& visit) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const char* name = e->d_name;
        if (name[0] == '.') continue;  // dot-names, "." and ".." among them
        unsigned char type = e->d_type;
        struct stat st;
        if (type == DT_UNKNOWN) {
            if (fstatat(dirfd(d), name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_FIFO;
        }
        if (type == DT_LNK) {
            // A link to a file counts as that file; a link to a folder is
            // neither followed nor listed as a folder.
            if (fstatat(dirfd(d), name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
            type = DT_REG;
        }
        if (type == DT_DIR || type == DT_REG) visit(name, type == DT_DIR);
    }
    closedir(d);
}

std::vector<DirEntry> ListDirectory(const std::string& dir) {
    std::vector<DirEntry> out;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return out;
    std::string base = IncludeTrailingSep(dir);
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        DirEntry entry;
        entry.name = name;
        // The entry's type as the directory reports it spares a lookup per
        // entry; links, and file systems that do not report types, are
        // looked at.
        mode_t mode = 0;
        switch (e->d_type) {
        case DT_DIR: mode = S_IFDIR; break;
        case DT_REG: mode = S_IFREG; break;
        case DT_LNK: mode = S_IFLNK; break;
        case DT_UNKNOWN: {
            struct stat lst;
            if (fstatat(dirfd(d), e->d_name, &lst, AT_SYMLINK_NOFOLLOW) != 0) continue;
            mode = lst.st_mode;
            break;
        }
        default: mode = S_IFIFO; break;  // devices, pipes, sockets
        }
        if (S_ISDIR(mode)) {
            entry.isDir = true;
        } else if (S_ISREG(mode)) {
            entry.isFile = true;
        } else if (S_ISLNK(mode)) {
            struct stat st;
            // A link to a file counts as that file; a link to a folder is
            // neither followed nor listed as a folder.
            if (stat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) entry.isFile = true;
        }
        entry.hiddenOrSystem = name[0] == '.' || (!entry.isDir && !entry.isFile);
        out.push_back(std::move(entry));
    }
    closedir(d);
    return out;
}

std::FILE* DivertStandardOutput() {
    std::fflush(stdout);
    const int kept = fcntl(1, F_DUPFD_CLOEXEC, 3);
    if (kept < 0) return nullptr;
    std::FILE* out = fdopen(kept, "w");
    if (!out || dup2(2, 1) < 0) {
        if (out) std::fclose(out);
        else close(kept);
        return nullptr;
    }
    return out;
}

}  // namespace korvane

#include "shell/run/run_fault_test_support.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane::testing {

namespace {

bool g_privateMounts = false;

constexpr const char* kTestRootPrefix = "/tmp/korvane-";
constexpr const char* kFillName = ".fill";
constexpr const char* kSpareName = ".spare";
constexpr size_t kPage = 4096;

std::string RealPath(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// Writes chunks of zeros until the file system refuses; the bytes written.
size_t WriteUntilFull(const std::string& path, size_t limit) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error("cannot create " + path + ": " + SystemErrorText(errno));
    static const char zeros[kPage] = {};
    size_t written = 0;
    while (written < limit) {
        ssize_t n = write(fd, zeros, sizeof zeros);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += size_t(n);
    }
    close(fd);
    return written;
}

}  // namespace

std::string GuardTestFolder(const std::string& root, const std::string& path) {
    const std::string realRoot = RealPath(root);
    const std::string realPath = RealPath(path);
    if (realRoot.size() <= std::string(kTestRootPrefix).size() || !StartsWithStr(kTestRootPrefix, realRoot))
        throw std::logic_error("not a temporary folder of the tests: " + root);
    if (realPath.empty() || !DirectoryExists(realPath) || !StartsWithStr(realRoot + "/", realPath))
        throw std::logic_error("not a folder inside " + realRoot + ": " + path);
    return realPath;
}

bool EnterPrivateMountNamespace() {
    if (unshare(CLONE_NEWNS) != 0) return false;
    // Without private propagation a mount here could show up outside: then
    // no tmpfs is ever mounted.
    g_privateMounts = mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return g_privateMounts;
}

bool PrivateMountsAvailable() { return g_privateMounts; }

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &savedAction_);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &lowered) != 0)
        throw std::runtime_error("setrlimit(RLIMIT_FSIZE): " + SystemErrorText(errno));
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    sigaction(SIGXFSZ, &savedAction_, nullptr);
}

ScopedTmpfs::ScopedTmpfs(const std::string& root, const std::string& folder, size_t bytes) {
    if (!PrivateMountsAvailable()) throw std::logic_error("no private mount namespace: no tmpfs is mounted");
    ForceDirectories(folder);
    folder_ = GuardTestFolder(root, folder);
    const std::string options = Format("size=%zu,mode=0755", bytes);
    if (mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        throw std::runtime_error("cannot mount a tmpfs on " + folder_ + ": " + SystemErrorText(errno));
    mounted_ = true;
}

ScopedTmpfs::~ScopedTmpfs() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

void ScopedTmpfs::fill(size_t leaveFree) {
    const std::string spare = JoinPath(folder_, kSpareName);
    const size_t pages = (leaveFree + kPage - 1) / kPage;
    if (pages > 0 && WriteUntilFull(spare, pages * kPage) < pages * kPage)
        throw std::runtime_error("the tmpfs has less than the spare room");
    WriteUntilFull(JoinPath(folder_, kFillName), SIZE_MAX);
    DeleteFile(spare);
}

void ScopedTmpfs::release() {
    DeleteFile(JoinPath(folder_, kFillName));
    DeleteFile(JoinPath(folder_, kSpareName));
}

std::vector<std::string> LeftoverTempFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const DirEntry& e : ListDirectory(folder))
        if (StartsWithStr(".", e.name) && e.name.find(".tmp") != std::string::npos) names.push_back(e.name);
    return names;
}

void DiskFault::arm() {
    if (kind_ == FileSizeLimit)
        active_ = std::make_unique<ScopedFileSizeLimit>(limit_);
    else
        tmpfs_->fill(leaveFree_);
}

void DiskFault::disarm() {
    active_.reset();
    if (kind_ == FullDisk && tmpfs_) tmpfs_->release();
}

std::string DiskFault::errorText() const { return SystemErrorText(kind_ == FileSizeLimit ? EFBIG : ENOSPC); }

}  // namespace korvane::testing

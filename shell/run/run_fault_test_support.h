#pragma once
// Faults of the file system for the reliability tests: a lowered file-size
// limit (writes past it fail with "File too large") and a tiny tmpfs that is
// filled up ("No space left on device").
//
// Everything here acts only on folders inside a test's own temporary tree
// (made by mkdtemp under /tmp): GuardTestFolder refuses any other path. A
// tmpfs is mounted only inside the private mount namespace that the test
// program enters before it starts any thread (EnterPrivateMountNamespace,
// called by the program's PrivateMounts environment), so nothing outside the
// test process ever sees it.

#include <sys/resource.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace korvane::testing {

// Throws std::logic_error unless path is an existing folder below root and
// root is a temporary folder of the tests ("/tmp/korvane-..."). Gives the
// folder's real path.
std::string GuardTestFolder(const std::string& root, const std::string& path);

// Called before anything else (before the QApplication): unshares the mount namespace and
// makes every mount in it private. False (and nothing changed) where the
// process may not do so; the tmpfs faults are then skipped.
bool EnterPrivateMountNamespace();
bool PrivateMountsAvailable();

// Lowers this process's file-size limit (RLIMIT_FSIZE) to bytes while it
// lives, with SIGXFSZ ignored, so that a write past the limit fails with
// EFBIG instead of killing the process. Processes started meanwhile inherit
// the limit.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit saved_{};
    struct sigaction savedAction_ {};
};

// A tmpfs of the given size mounted on folder (which must pass
// GuardTestFolder) while it lives; unmounted when it goes.
class ScopedTmpfs {
public:
    ScopedTmpfs(const std::string& root, const std::string& folder, size_t bytes);
    ~ScopedTmpfs();
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    const std::string& folder() const { return folder_; }
    // Fills the file system up with a hidden file, leaving about leaveFree
    // bytes (whole pages) free.
    void fill(size_t leaveFree = 0);
    // Removes what fill() wrote.
    void release();

private:
    std::string folder_;
    bool mounted_ = false;
};

// Temporary files of the atomic writes left in a folder (".<name>.tmpXXXXXX").
std::vector<std::string> LeftoverTempFiles(const std::string& folder);

// A fault of one of the two kinds, switched on and off: a file-size limit of
// limitBytes for this process, or the tmpfs filled up to leaveFree bytes.
class DiskFault {
public:
    enum Kind { FileSizeLimit, FullDisk };
    DiskFault(Kind kind, ScopedTmpfs* tmpfs, rlim_t limitBytes = 1024, size_t leaveFree = 4096)
        : kind_(kind), tmpfs_(tmpfs), limit_(limitBytes), leaveFree_(leaveFree) {}
    ~DiskFault() { disarm(); }
    DiskFault(const DiskFault&) = delete;
    DiskFault& operator=(const DiskFault&) = delete;

    void arm();
    void disarm();
    // The system's text of the failing writes.
    std::string errorText() const;
    static const char* name(Kind kind) { return kind == FileSizeLimit ? "file-size limit" : "full disk"; }

private:
    Kind kind_;
    ScopedTmpfs* tmpfs_;
    rlim_t limit_;
    size_t leaveFree_;
    std::unique_ptr<ScopedFileSizeLimit> active_;
};

}  // namespace korvane::testing

#pragma once
// Helpers for tests that work with files and the environment. Test code only.

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"

namespace korvane::testing {

// A fresh folder below $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
public:
    explicit TempDir(std::string_view tag = "korvane") {
        const char* base = getenv("TMPDIR");
        std::string tmpl = JoinPath(base && *base ? base : "/tmp", std::string(tag) + "-XXXXXX");
        path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir() {
        if (path_.empty()) return;
        // Folders a test made unreadable are opened up again first.
        RestoreModes(path_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return JoinPath(path_, name); }

private:
    static void RestoreModes(const std::string& dir) {
        chmod(dir.c_str(), 0700);
        for (const DirEntry& e : ListDirectory(dir))
            if (e.isDir) RestoreModes(JoinPath(dir, e.name));
    }
    std::string path_;
};

// Sets (or with nullopt unsets) an environment variable for the lifetime of
// the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Creates the file (and its folders) with the given bytes.
inline void PutFile(const std::string& path, std::string_view bytes = "") {
    ForceDirectories(ExtractFileDir(path));
    WriteFileAtomic(path, bytes);
}

// The message of the error the action ends with ("<no error>" when it ends
// normally).
inline std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "<no error>";
}

}  // namespace korvane::testing

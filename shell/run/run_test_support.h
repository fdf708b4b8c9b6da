#pragma once
// Helpers for the run engine's tests: a reporter that records what it is
// told, and a temporary folder removed with everything in it.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/reporter.h"

namespace korvane::testing {

class RecordingReporter : public Reporter {
public:
    struct Entry {
        std::string kind;  // "Info", "Warning", "Error", "Fatal"
        std::string text;
        bool cont = true;
    };

    void ClearMessages() override {
        entries.clear();
        severity_ = 0;
    }
    void AddInfo(const std::string& text) override { Record("Info", text, true, 0); }
    void AddWarning(const std::string& text) override { Record("Warning", text, true, 1); }
    void AddError(const std::string& text, bool cont) override { Record("Error", text, cont, 2); }
    void ShowError(const std::string& text, bool cont) override { Record("Error", text, cont, 2); }
    void ShowInfo(const std::string& text) override { Record("Info", text, true, 0); }
    void ShowFatal(const std::string& text) override { Record("Fatal", text, false, 3); }
    void ShowWarning(const std::string& text) override { Record("Warning", text, true, 1); }
    int Severity() const override { return severity_; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> r;
        for (const Entry& e : entries) r.push_back(e.text);
        return r;
    }

    std::vector<Entry> entries;

private:
    void Record(const char* kind, const std::string& text, bool cont, int level) {
        entries.push_back({kind, text, cont});
        if (level > severity_) severity_ = level;
        if (!cont) throw SilentAbort{};
    }
    int severity_ = 0;
};

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvane_run_XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
        path_ = buf.data();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return JoinPath(path_, rel); }

private:
    std::string path_;
};

// Creates a file (and its folders) holding text.
inline void PutFile(const std::string& path, const std::string& text) {
    ForceDirectories(ExtractFileDir(path));
    WriteFileAtomic(path, text);
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace korvane::testing

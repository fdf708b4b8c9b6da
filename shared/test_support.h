#pragma once
// Helpers for tests that work with files and the environment. Test code only.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

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


// Polls cond every 10 ms until it holds (true) or ms have passed (false).
inline bool WaitUntil(const std::function<bool()>& cond, int ms = 20000) {
    for (int waited = 0; !cond(); waited += 10) {
        if (waited >= ms) return false;
        usleep(10000);
    }
    return true;
}

// The process id a test's child wrote into a file, once it is there (0 when
// it never comes).
inline long PidFromFile(const std::string& path) {
    long pid = 0;
    WaitUntil([&] {
        std::ifstream in(path);
        return (in >> pid) && pid > 0;
    });
    return pid;
}

// --- processes left behind -------------------------------------------------------
//
// Every process a test program starts, and everything those start, carries
// KORVANE_TEST_RUN=<the test program's pid> in its environment once
// MarkTestProcesses has run. So a process of the suite that is still alive
// at its end is found even after it was handed to init.
inline constexpr const char* kTestRunMark = "KORVANE_TEST_RUN";

inline void MarkTestProcesses() { setenv(kTestRunMark, std::to_string(getpid()).c_str(), 1); }

// A file under /proc as it reads now; empty when the process went away,
// which can happen between opening and reading (a read then fails with
// ESRCH, which a stream would throw for).
inline std::string ReadProcFile(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) text.clear();
        break;
    }
    ::close(fd);
    return text;
}

// Whether the process is alive: there, and neither a zombie nor dead.
inline bool ProcessAlive(long pid) {
    const std::string stat = ReadProcFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size()) return false;
    const char state = stat[close + 2];
    return state != 'Z' && state != 'X';
}

// Alive processes other than this one that carry this program's mark,
// each as "pid command line"; waits up to graceMs for them to go first.
inline std::vector<std::string> MarkedProcessesAlive(int graceMs = 3000) {
    const std::string mark = std::string(kTestRunMark) + "=" + std::to_string(getpid());
    std::vector<std::string> alive;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    for (;;) {
        alive.clear();
        if (DIR* d = opendir("/proc")) {
            while (dirent* e = readdir(d)) {
                if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
                const long pid = std::atol(e->d_name);
                if (pid == long(getpid()) || !ProcessAlive(pid)) continue;
                const std::string vars = ReadProcFile(std::string("/proc/") + e->d_name + "/environ");
                if (("\0" + vars).find(std::string("\0") + mark + std::string(1, '\0')) == std::string::npos &&
                    !(vars.size() >= mark.size() && vars.compare(vars.size() - mark.size(), mark.size(), mark) == 0))
                    continue;
                std::string line = ReadProcFile(std::string("/proc/") + e->d_name + "/cmdline");
                for (char& c : line)
                    if (c == '\0') c = ' ';
                alive.push_back(std::to_string(pid) + " " + line);
            }
            closedir(d);
        }
        if (alive.empty() || std::chrono::steady_clock::now() >= deadline) return alive;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// A desktop entry file's text read as a launcher reads it (the Desktop Entry
// rules, independent of our writer): group -> key -> value unescaped. What
// breaks the rules is added to problems.
using DesktopGroups = std::map<std::string, std::map<std::string, std::string>>;
inline DesktopGroups ReadDesktopEntry(const std::string& text, std::vector<std::string>& problems) {
    DesktopGroups groups;
    std::string group;
    for (const std::string& line : SplitLines(text)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line.substr(1, line.size() - 2);
            if (groups.count(group)) problems.push_back("group twice: " + group);
            groups[group];
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            problems.push_back("no key: " + line);
            continue;
        }
        std::string value;
        for (size_t i = eq + 1; i < line.size(); ++i) {
            char c = line[i];
            if (c == '\\' && i + 1 < line.size()) {
                c = line[++i];
                c = c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            }
            value.push_back(c);
        }
        groups[group][line.substr(0, eq)] = value;
    }
    return groups;
}

// An Exec value split into arguments and its field codes expanded for one
// file, as a launcher does: quoting undone first (inside double quotes
// \" \` \$ \\ are escapes), then %f and %% expanded. What breaks the rules
// (an unquoted reserved character, text glued to a quote, another field
// code) is added to problems.
inline std::vector<std::string> DesktopExecArguments(const std::string& exec, const std::string& file,
                                                     std::vector<std::string>& problems) {
    std::vector<std::string> args;
    for (size_t i = 0; i < exec.size();) {
        if (exec[i] == ' ') {
            ++i;
            continue;
        }
        std::string raw;
        if (exec[i] == '"') {
            constexpr std::string_view kEscaped = "\"`$\\";
            for (++i; i < exec.size() && exec[i] != '"'; raw.push_back(exec[i++]))
                if (exec[i] == '\\' && i + 1 < exec.size() && kEscaped.find(exec[i + 1]) != kEscaped.npos) ++i;
            if (i++ >= exec.size()) problems.push_back("unterminated quote in " + exec);
            if (i < exec.size() && exec[i] != ' ') problems.push_back("text glued to a quote in " + exec);
        } else {
            for (; i < exec.size() && exec[i] != ' '; raw.push_back(exec[i++]))
                if (std::string_view("\t\n\"'\\><~|&;$*?#()`").find(exec[i]) != std::string_view::npos)
                    problems.push_back("unquoted reserved character in " + exec);
        }
        std::string arg;
        for (size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] != '%') {
                arg.push_back(raw[k]);
            } else if (k + 1 < raw.size() && (raw[k + 1] == '%' || raw[k + 1] == 'f')) {
                arg += raw[++k] == '%' ? std::string("%") : file;
            } else {
                problems.push_back("unexpected field code in " + exec);
            }
        }
        args.push_back(arg);
    }
    return args;
}

// The check at the end of a test program: the processes of the suite still
// alive are listed on stderr and killed; false when there were any.
inline bool NoMarkedProcessLeft() {
    const std::vector<std::string> alive = MarkedProcessesAlive();
    for (const std::string& p : alive) {
        std::fprintf(stderr, "Process of the test run still alive at its end: %s\n", p.c_str());
        kill(pid_t(std::atol(p.c_str())), SIGKILL);
    }
    return alive.empty();
}

}  // namespace korvane::testing

#include "shared/collect_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/test_support.h"
#include "shared/text.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::TempDir;

namespace {

using Paths = std::vector<std::string>;

class CollectFilesTest : public ::testing::Test {
protected:
    void Put(const std::string& relative) { PutFile(dir_ / relative, "x"); }
    // Found paths relative to the temporary folder.
    Paths Collect(const std::string& pattern, const std::string& masks, int depth = -1,
                  const std::string& sub = "") {
        Paths found;
        CollectFilesEx(dir_.path(), sub, pattern, masks, found, depth);
        return Relative(found);
    }
    Paths Relative(const Paths& found) const {
        Paths r;
        for (const std::string& p : found) {
            EXPECT_TRUE(StartsWithStr(dir_.path() + "/", p)) << p;
            r.push_back(p.substr(dir_.path().size() + 1));
        }
        return r;
    }
    TempDir dir_;
};

TEST_F(CollectFilesTest, NamePatterns) {
    for (const char* f : {"ab1.COB", "AB.cob", "xab.cob", "a1x.cob", "ax1.cob", "a1xy.cob", "xaby.cob", "ab.txt"})
        Put(f);
    struct Case {
        const char* pattern;
        Paths expected;
    } cases[] = {
        {"AB*", {"AB.cob", "ab1.COB"}},
        {"*AB", {"AB.cob", "xab.cob"}},
        {"*AB*", {"AB.cob", "ab1.COB", "xab.cob", "xaby.cob"}},
        {"A#?", {"a1x.cob"}},
        {"A#?*", {"a1x.cob", "a1xy.cob"}},  // starts-with mode lets the pattern match a prefix
        {"a1xy.cob", {"a1xy.cob"}},         // the whole name
        {"A1XY", {"a1xy.cob"}},             // the name without extension, ignoring case
        {"ab", {"AB.cob"}},
        {"*", {"AB.cob", "a1x.cob", "a1xy.cob", "ab1.COB", "ax1.cob", "xab.cob", "xaby.cob"}},
        {"", {"AB.cob", "a1x.cob", "a1xy.cob", "ab1.COB", "ax1.cob", "xab.cob", "xaby.cob"}},
        {"A*B", {}},  // an inner star is an ordinary character
    };
    for (const auto& c : cases) EXPECT_EQ(Collect(c.pattern, "*.cob"), c.expected) << c.pattern;
}

TEST_F(CollectFilesTest, ExtensionMasks) {
    for (const char* f : {"a.cob", "b.CBL", "c.txt", "noext", "d.cobol", "e."}) Put(f);
    struct Case {
        const char* masks;
        Paths expected;
    } cases[] = {
        {"*.cob", {"a.cob"}},  // ";" is appended
        {"*.COB;*.cbl;", {"a.cob", "b.CBL"}},
        {"*.*;", {"a.cob", "b.CBL", "c.txt", "d.cobol", "e.", "noext"}},
        {"*.*", {"a.cob", "b.CBL", "c.txt", "d.cobol", "e.", "noext"}},
        {".;", {"e.", "noext"}},  // "e." has the extension "." which ".;" holds too
        {"*.cob;.;", {"a.cob", "e.", "noext"}},
        {"*.cobol", {"d.cobol"}},
        {"", {}},
        {"*.old.cob", {"a.cob"}},  // a substring test: ".cob;" occurs in "*.old.cob;"
    };
    for (const auto& c : cases) EXPECT_EQ(Collect("", c.masks), c.expected) << c.masks;
}

TEST_F(CollectFilesTest, DepthFirstInNameOrderWithDepthLimit) {
    for (const char* f : {"a.cob", "b/b1.cob", "b/c/c1.cob", "b/z.cob", "c.cob", "d/d1.cob"}) Put(f);
    EXPECT_EQ(Collect("", "*.cob", -1), (Paths{"a.cob", "b/b1.cob", "b/c/c1.cob", "b/z.cob", "c.cob", "d/d1.cob"}));
    EXPECT_EQ(Collect("", "*.cob", 0), Paths{});
    EXPECT_EQ(Collect("", "*.cob", 1), (Paths{"a.cob", "c.cob"}));
    EXPECT_EQ(Collect("", "*.cob", 2), (Paths{"a.cob", "b/b1.cob", "b/z.cob", "c.cob", "d/d1.cob"}));
    EXPECT_EQ(Collect("", "*.cob", -5).size(), 6u);
    // A pattern reaches the subfolders unchanged.
    EXPECT_EQ(Collect("*1", "*.cob"), (Paths{"b/b1.cob", "b/c/c1.cob", "d/d1.cob"}));
}

TEST_F(CollectFilesTest, SubdirectoryRootSeparatorsAndAppending) {
    Put("sub/x.cob");
    Put("other.cob");
    Paths found{"kept"};
    CollectFiles(dir_.path() + "/", "sub", "*.cob", found);
    EXPECT_EQ(found, (Paths{"kept", dir_.path() + "/sub/x.cob"}));
    found.clear();
    CollectFiles(dir_.path(), "sub/", "*.cob", found);
    EXPECT_EQ(found, (Paths{dir_.path() + "/sub/x.cob"}));
    found.clear();
    CollectFiles(dir_ / "missing", "", "*.*", found);
    CollectFiles(dir_.path(), "missing", "*.*", found);
    EXPECT_TRUE(found.empty());
}

TEST_F(CollectFilesTest, HiddenAndSpecialEntriesAreSkipped) {
    Put("a.cob");
    Put(".hidden.cob");
    Put(".git/inside.cob");
    Put("real/r.cob");
    ASSERT_EQ(mkfifo((dir_ / "pipe.cob").c_str(), 0600), 0);
    ASSERT_EQ(symlink("a.cob", (dir_ / "link.cob").c_str()), 0);        // a link to a file is that file
    ASSERT_EQ(symlink("nowhere.cob", (dir_ / "broken.cob").c_str()), 0);  // a dangling link is not
    ASSERT_EQ(symlink("real", (dir_ / "dirlink").c_str()), 0);            // a link to a folder is not followed
    EXPECT_EQ(Collect("", "*.cob"), (Paths{"a.cob", "link.cob", "real/r.cob"}));
}

TEST_F(CollectFilesTest, SymlinkLoopIsNotFollowed) {
    Put("top/a.cob");
    ASSERT_EQ(symlink("..", (dir_ / "top/up").c_str()), 0);
    ASSERT_EQ(symlink(".", (dir_ / "top/self").c_str()), 0);
    EXPECT_EQ(Collect("", "*.*"), (Paths{"top/a.cob"}));
}

// Runs CollectFiles over root in a child process without the right to read
// every folder (root gives it up by becoming "nobody"); the found paths come
// back through a pipe. Empty optional when that is impossible here.
std::optional<Paths> CollectWithoutPrivileges(const std::string& root) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        close(fds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        Paths found;
        CollectFiles(root, "", "*.*", found);
        std::string out;
        for (const std::string& p : found) out += p + "\n";
        const bool ok = write(fds[1], out.data(), out.size()) == ssize_t(out.size());
        _exit(ok ? 0 : 4);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return SplitLines(out);
}

TEST_F(CollectFilesTest, UnreadableSubfolderIsSkipped) {
    Put("a/1.cob");
    Put("b/secret.cob");
    Put("c/3.cob");
    // Everyone may pass through the tree except into b.
    for (const char* d : {"", "a", "c"}) chmod((dir_ / d).c_str(), 0755);
    for (const char* f : {"a/1.cob", "c/3.cob"}) chmod((dir_ / f).c_str(), 0644);
    chmod((dir_ / "b").c_str(), 0);
    const std::optional<Paths> found = CollectWithoutPrivileges(dir_.path());
    if (!found) GTEST_SKIP() << "cannot run without the right to read every folder here";
    EXPECT_EQ(Relative(*found), (Paths{"a/1.cob", "c/3.cob"}));
}

TEST(MatchNamePattern, Positions) {
    struct Case {
        const char* name;
        const char* pattern;
        bool prefixOnly;
        bool expected;
    } cases[] = {
        {"a1x", "A#?", false, true},  {"ax1", "A#?", false, false}, {"a1xy", "A#?", false, false},
        {"a1xy", "A#?", true, true},  {"a1", "A#?", true, false},   {"", "", false, true},
        {"abc", "", true, true},      {"abc", "", false, false},    {"ABC", "abc", false, true},
        {"a#c", "A#C", false, true}, {"a5c", "a#c", false, true},  {"a?c", "a?c", false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchNamePattern(c.name, c.pattern, c.prefixOnly), c.expected)
            << c.name << " / " << c.pattern << " / " << c.prefixOnly;
}

}  // namespace

#include "shell/collections/copy_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "shared/errors.h"
#include "shared/text.h"
#include "shared/test_support.h"
#include "shell/ui/check_list.h"
#include "shell/collections/copy_library_folder.h"
#include "shell/ui/reporter.h"

namespace korvane {
namespace {

// Records the errors it is told; an error without continuation ends the
// operation as the status bar does.
class ErrorRecorder : public Reporter {
public:
    std::vector<std::string> errors;
    void ClearMessages() override {}
    void AddInfo(const std::string&) override {}
    void AddWarning(const std::string&) override {}
    void AddError(const std::string& t, bool cont) override { ShowError(t, cont); }
    void ShowError(const std::string& t, bool cont) override {
        errors.push_back(t);
        if (!cont) throw SilentAbort{};
    }
    void ShowInfo(const std::string&) override {}
    void ShowFatal(const std::string& t) override { ShowError(t, false); }
    void ShowWarning(const std::string&) override {}
    int Severity() const override { return errors.empty() ? 0 : 2; }
};

void SetMTime(const std::string& path, time_t seconds) {
    struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0) << path;
}

CheckList Members(const std::vector<std::string>& paths) {
    CheckList list;
    std::vector<CheckEntry> e;
    for (const std::string& p : paths) e.push_back({p, true, true});
    list.assign(std::move(e));
    return list;
}

struct Library {
    testing::TempDir dir{"korvane-copylib"};
    std::string lib = IncludeTrailingSep(dir / "out/CopyLib");
    std::string member(const std::string& name) const { return dir / ("src/" + name); }
    Library() { ForceDirectories(lib); }
};

TEST(CopyCheckedMembers, CopiesOnlyWhatIsMissingOrOlder) {
    Library l;
    const time_t t = 1700000000;
    for (const char* name : {"missing.cpy", "newer.cpy", "same.cpy", "older.cpy", "unchecked.cpy"}) {
        testing::PutFile(l.member(name), std::string("new ") + name);
        SetMTime(l.member(name), t);
    }
    testing::PutFile(l.lib + "newer.cpy", "kept newer");
    SetMTime(l.lib + "newer.cpy", t + 10);
    testing::PutFile(l.lib + "same.cpy", "kept same");
    SetMTime(l.lib + "same.cpy", t);
    testing::PutFile(l.lib + "older.cpy", "replaced");
    SetMTime(l.lib + "older.cpy", t - 10);

    CheckList members = Members({l.member("missing.cpy"), l.member("newer.cpy"), l.member("same.cpy"),
                                 l.member("older.cpy"), l.member("unchecked.cpy")});
    members.setChecked(4, false);
    ErrorRecorder reporter;
    CopyCheckedMembers(members, l.lib, reporter);

    EXPECT_TRUE(reporter.errors.empty());
    EXPECT_EQ(ReadFileBytes(l.lib + "missing.cpy"), "new missing.cpy");
    EXPECT_EQ(ReadFileBytes(l.lib + "newer.cpy"), "kept newer");
    EXPECT_EQ(ReadFileBytes(l.lib + "same.cpy"), "kept same");
    EXPECT_EQ(ReadFileBytes(l.lib + "older.cpy"), "new older.cpy");
    EXPECT_FALSE(FileExists(l.lib + "unchecked.cpy"));
    EXPECT_EQ(members.checkedCount(), 4);
}

TEST(CopyCheckedMembers, VanishedMemberIsUncheckedAndTheOthersCopied) {
    Library l;
    testing::PutFile(l.member("a.cpy"), "a");
    testing::PutFile(l.member("c.cpy"), "c");
    CheckList members = Members({l.member("a.cpy"), l.member("b.cpy"), l.member("c.cpy")});
    ErrorRecorder reporter;
    CopyCheckedMembers(members, l.lib, reporter);
    EXPECT_TRUE(members.checked(0));
    EXPECT_FALSE(members.checked(1));
    EXPECT_TRUE(members.checked(2));
    EXPECT_TRUE(FileExists(l.lib + "a.cpy"));
    EXPECT_TRUE(FileExists(l.lib + "c.cpy"));
    EXPECT_TRUE(reporter.errors.empty());
}

TEST(CopyCheckedMembers, WithoutLibraryNothingIsWritten) {
    Library l;
    testing::PutFile(l.member("a.cpy"), "a");
    CheckList members = Members({l.member("a.cpy"), l.member("gone.cpy")});
    ErrorRecorder reporter;
    const std::string cwd = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(l.dir.path()));
    CopyCheckedMembers(members, "", reporter);
    SetCurrentDir(cwd);
    EXPECT_TRUE(ListDirectory(l.lib).empty());
    EXPECT_FALSE(FileExists(l.dir / "a.cpy"));
    EXPECT_TRUE(members.checked(0));
    EXPECT_FALSE(members.checked(1));
}

TEST(CopyCheckedMembers, UnwritableLibraryReportsAndStops) {
    Library l;
    for (const char* name : {"a.cpy", "b.cpy"}) testing::PutFile(l.member(name), name);
    // The library cannot take files: read-only for a normal user; for the
    // super-user (who may write anyway) a file stands where the folder
    // should be.
    std::string lib = l.lib;
    int expectedErr = EACCES;
    if (geteuid() == 0) {
        lib = IncludeTrailingSep(l.dir / "out/NotAFolder");
        testing::PutFile(ExcludeTrailingSep(lib), "in the way");
        expectedErr = ENOTDIR;
    } else {
        ASSERT_EQ(chmod(ExcludeTrailingSep(lib).c_str(), 0555), 0);
    }
    CheckList members = Members({l.member("a.cpy"), l.member("b.cpy")});
    ErrorRecorder reporter;
    EXPECT_THROW(CopyCheckedMembers(members, lib, reporter), SilentAbort);
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0], "Error during preparation - " + l.member("a.cpy") + " - " + SystemErrorText(expectedErr));
    EXPECT_EQ(members.checkedCount(), 2);
    EXPECT_EQ(members.size(), 2u);
}

TEST(CopyCheckedMembers, FailingCopyEndsTheWalkKeepingEarlierCopies) {
    Library l;
    const time_t t = 1700000000;
    for (const char* name : {"a.cpy", "b.cpy", "c.cpy"}) {
        testing::PutFile(l.member(name), name);
        SetMTime(l.member(name), t);
    }
    // An old folder stands where b's copy belongs: it cannot be replaced.
    ForceDirectories(l.lib + "b.cpy");
    SetMTime(l.lib + "b.cpy", t - 100);
    CheckList members = Members({l.member("a.cpy"), l.member("b.cpy"), l.member("c.cpy")});
    ErrorRecorder reporter;
    EXPECT_THROW(CopyCheckedMembers(members, l.lib, reporter), SilentAbort);
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_TRUE(StartsWithStr("Error during preparation - " + l.member("b.cpy") + " - ", reporter.errors[0]))
        << reporter.errors[0];
    EXPECT_GT(reporter.errors[0].size(), ("Error during preparation - " + l.member("b.cpy") + " - ").size());
    EXPECT_TRUE(FileExists(l.lib + "a.cpy"));
    EXPECT_FALSE(FileExists(l.lib + "c.cpy"));
}

TEST(RemoveUncheckedEntries, DeletesLibraryCopiesOnlyWhenAsked) {
    Library l;
    for (const char* name : {"a.cpy", "b.cpy", "c.cpy"}) testing::PutFile(l.lib + name, name);
    CheckList members = Members({l.member("a.cpy"), l.member("b.cpy"), l.member("c.cpy")});
    members.setSorted(true);
    members.setChecked(0, false);
    members.setChecked(2, false);
    EXPECT_EQ(RemoveUncheckedEntries(members, l.lib), 2u);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members.text(0), l.member("b.cpy"));
    EXPECT_TRUE(members.sorted());
    EXPECT_FALSE(FileExists(l.lib + "a.cpy"));
    EXPECT_TRUE(FileExists(l.lib + "b.cpy"));
    EXPECT_FALSE(FileExists(l.lib + "c.cpy"));

    // The source list: no library, no file touched.
    testing::PutFile(l.member("s.cbl"), "s");
    CheckList sources = Members({l.member("s.cbl")});
    sources.setChecked(0, false);
    EXPECT_EQ(RemoveUncheckedEntries(sources, ""), 1u);
    EXPECT_TRUE(sources.empty());
    EXPECT_TRUE(FileExists(l.member("s.cbl")));
    EXPECT_EQ(RemoveUncheckedEntries(sources, ""), 0u);
}

TEST(CopyCheckedMembers, FilesOfTheProjectAndLinksAreNeverWrittenOrDeleted) {
    // A member kept in the library itself (older than a member of its name
    // elsewhere), a source the user keeps there, and an unchecked member
    // there that is removed from the list.
    Library l;
    const time_t t = 1700000000;
    for (const std::string& f : {l.lib + "a.cpy", l.lib + "s.cpy", l.lib + "gone.cpy"}) {
        testing::PutFile(f, "user's");
        SetMTime(f, t - 10);
    }
    for (const char* name : {"a.cpy", "s.cpy"}) testing::PutFile(l.member(name), "newer");
    CheckList members = Members({l.member("a.cpy"), l.lib + "a.cpy", l.member("s.cpy"), l.lib + "gone.cpy"});
    ProtectedFiles sources;
    sources.Add(l.lib + "s.cpy");
    ErrorRecorder reporter;
    CopyCheckedMembers(members, l.lib, reporter, sources);
    members.setChecked(3, false);
    EXPECT_EQ(RemoveUncheckedEntries(members, l.lib), 1u);
    EXPECT_TRUE(reporter.errors.empty());
    for (const char* name : {"a.cpy", "s.cpy", "gone.cpy"}) EXPECT_EQ(ReadFileBytes(l.lib + name), "user's") << name;

    // The library is a link to a folder elsewhere.
    Library linked;
    const std::string elsewhere = linked.dir / "elsewhere";
    ForceDirectories(elsewhere);
    testing::PutFile(elsewhere + "/b.cpy", "not the run's");
    ASSERT_EQ(RemoveDir(linked.lib), true);
    ASSERT_EQ(symlink(elsewhere.c_str(), ExcludeTrailingSep(linked.lib).c_str()), 0);
    testing::PutFile(linked.member("a.cpy"), "a");
    CheckList two = Members({linked.member("a.cpy"), linked.member("b.cpy")});
    EXPECT_THROW(CopyCheckedMembers(two, linked.lib, reporter), SilentAbort);
    EXPECT_EQ(reporter.errors,
              std::vector<std::string>{Format(kWorkFolderIsLink, ExcludeTrailingSep(linked.lib).c_str())});
    two.setChecked(0, false);
    two.setChecked(1, false);
    EXPECT_EQ(RemoveUncheckedEntries(two, linked.lib), 2u);
    EXPECT_EQ(ListDirectory(elsewhere).size(), 1u);
    EXPECT_EQ(ReadFileBytes(elsewhere + "/b.cpy"), "not the run's");
}

}  // namespace
}  // namespace korvane

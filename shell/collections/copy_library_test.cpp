#include "shell/collections/copy_library.h"

#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include "shared/errors.h"
#include "shared/text.h"
#include "shared/test_support.h"
#include "shell/ui/status_messages.h"
#include "shell/ui/check_list.h"
#include "shell/collections/copy_library_folder.h"
#include "shell/ui/reporter.h"

namespace korvane {
namespace {

const time_t kT = 1700000000;

void SetMTime(const std::string& path, time_t seconds) {
    struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0) << path;
}

// A file with this content and modification time.
void Put(const std::string& path, const std::string& content, time_t mtime = kT) {
    testing::PutFile(path, content);
    SetMTime(path, mtime);
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

TEST(CopyCheckedMembers, CopiesOnlyWhatIsMissingOrOlderAndUnchecksVanishedMembers) {
    Library l;
    for (const char* name : {"missing.cpy", "newer.cpy", "same.cpy", "older.cpy", "unchecked.cpy"})
        Put(l.member(name), std::string("new ") + name);
    Put(l.lib + "newer.cpy", "kept newer", kT + 10);
    Put(l.lib + "same.cpy", "kept same");
    Put(l.lib + "older.cpy", "replaced", kT - 10);

    // A vanished member is unchecked and the walk goes on.
    CheckList members = Members({l.member("missing.cpy"), l.member("vanished.cpy"), l.member("newer.cpy"),
                                 l.member("same.cpy"), l.member("older.cpy"), l.member("unchecked.cpy")});
    members.setChecked(5, false);
    StatusMessages reporter;
    CopyCheckedMembers(members, l.lib, reporter);

    EXPECT_EQ(reporter.Severity(), 0);
    EXPECT_EQ(ReadFileBytes(l.lib + "missing.cpy"), "new missing.cpy");
    EXPECT_EQ(ReadFileBytes(l.lib + "newer.cpy"), "kept newer");
    EXPECT_EQ(ReadFileBytes(l.lib + "same.cpy"), "kept same");
    EXPECT_EQ(ReadFileBytes(l.lib + "older.cpy"), "new older.cpy");
    EXPECT_FALSE(FileExists(l.lib + "unchecked.cpy"));
    EXPECT_FALSE(members.checked(1));
    EXPECT_EQ(members.checkedCount(), 4);
}

TEST(CopyCheckedMembers, WithoutLibraryNothingIsWritten) {
    Library l;
    testing::PutFile(l.member("a.cpy"), "a");
    CheckList members = Members({l.member("a.cpy"), l.member("gone.cpy")});
    StatusMessages reporter;
    const std::string cwd = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(l.dir.path()));
    CopyCheckedMembers(members, "", reporter);
    SetCurrentDir(cwd);
    EXPECT_TRUE(ListDirectory(l.lib).empty());
    EXPECT_FALSE(FileExists(l.dir / "a.cpy"));
    EXPECT_TRUE(members.checked(0));
    EXPECT_FALSE(members.checked(1));
}

TEST(CopyCheckedMembers, FailingCopyReportsAndEndsTheWalkKeepingEarlierCopies) {
    // A file where the library folder should be (which stops the super-user
    // too): the first copy fails.
    {
        Library l;
        for (const char* name : {"a.cpy", "b.cpy"}) testing::PutFile(l.member(name), name);
        const std::string lib = IncludeTrailingSep(l.dir / "out/NotAFolder");
        testing::PutFile(ExcludeTrailingSep(lib), "in the way");
        CheckList members = Members({l.member("a.cpy"), l.member("b.cpy")});
        StatusMessages reporter;
        EXPECT_THROW(CopyCheckedMembers(members, lib, reporter), SilentAbort);
        EXPECT_EQ(reporter.Text(),
                  "Error during preparation - " + l.member("a.cpy") + " - " + SystemErrorText(ENOTDIR));
        EXPECT_EQ(members.checkedCount(), 2);
    }
    // An old folder stands where b's copy belongs: a stays copied, c is not.
    Library l;
    for (const char* name : {"a.cpy", "b.cpy", "c.cpy"}) Put(l.member(name), name);
    ForceDirectories(l.lib + "b.cpy");
    SetMTime(l.lib + "b.cpy", kT - 100);
    CheckList members = Members({l.member("a.cpy"), l.member("b.cpy"), l.member("c.cpy")});
    StatusMessages reporter;
    EXPECT_THROW(CopyCheckedMembers(members, l.lib, reporter), SilentAbort);
    const std::string prefix = "Error during preparation - " + l.member("b.cpy") + " - ";
    EXPECT_TRUE(StartsWithStr(prefix, reporter.Text())) << reporter.Text();
    EXPECT_GT(reporter.Text().size(), prefix.size());
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
    for (const std::string& f : {l.lib + "a.cpy", l.lib + "s.cpy", l.lib + "gone.cpy"}) Put(f, "user's", kT - 10);
    for (const char* name : {"a.cpy", "s.cpy"}) testing::PutFile(l.member(name), "newer");
    CheckList members = Members({l.member("a.cpy"), l.lib + "a.cpy", l.member("s.cpy"), l.lib + "gone.cpy"});
    ProtectedFiles sources;
    sources.Add(l.lib + "s.cpy");
    StatusMessages reporter;
    CopyCheckedMembers(members, l.lib, reporter, sources);
    members.setChecked(3, false);
    EXPECT_EQ(RemoveUncheckedEntries(members, l.lib), 1u);
    EXPECT_EQ(reporter.Severity(), 0);
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
    EXPECT_EQ(reporter.Text(), Format(kWorkFolderIsLink, ExcludeTrailingSep(linked.lib).c_str()));
    two.setChecked(0, false);
    two.setChecked(1, false);
    EXPECT_EQ(RemoveUncheckedEntries(two, linked.lib), 2u);
    EXPECT_EQ(ListDirectory(elsewhere).size(), 1u);
    EXPECT_EQ(ReadFileBytes(elsewhere + "/b.cpy"), "not the run's");
}

}  // namespace
}  // namespace korvane

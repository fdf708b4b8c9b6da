#include "shell/run/purge_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::TempDir;

TEST(PurgeMask, Table) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"FIL0001", "FIL####", true},
        {"FIL12345", "FIL####", true},       // longer numbers too
        {"FIL0001.NEW", "FIL####", true},    // with an extension
        {"fil0001.lit", "FIL####", true},    // the name is upper-cased
        {"FIL123", "FIL####", false},        // three digits only
        {"FILE0001", "FIL####", false},
        {"FIL0001", "FIL0001", false},       // a mask with a digit never matches
        {"ProdSys_report.txt", "ProdSys_", true},
        {"PRODSYS2_x", "ProdSys_", false},
        {"anything.at.all", "", true},       // empty mask: every file
        {"x", "*.*", true},
        {"x", "*", false},
    };
    for (const Case& k : cases) EXPECT_EQ(PurgeMaskMatches(k.name, k.mask), k.match) << k.name << " / " << k.mask;
}

TEST(PurgeMatchingFiles, DepthLimitsTheWalkAndEmptiedFoldersGo) {
    TempDir tmp;
    std::string root = tmp / "w";
    PutFile(root + "/FIL0001", "");
    PutFile(root + "/keep.txt", "");
    PutFile(root + "/sub/FIL0002.NEW", "");
    PutFile(root + "/sub/deep/FIL0003", "");
    PutFile(root + "/only/FIL0004", "");
    ForceDirectories(root + "/empty/emptier");

    PurgeMatchingFiles(root, 2, "FIL####");
    EXPECT_FALSE(Exists(root + "/FIL0001"));
    EXPECT_TRUE(Exists(root + "/keep.txt"));
    EXPECT_FALSE(Exists(root + "/sub/FIL0002.NEW"));
    EXPECT_TRUE(Exists(root + "/sub/deep/FIL0003"));  // below the depth
    EXPECT_FALSE(Exists(root + "/only"));              // emptied, removed
    EXPECT_TRUE(Exists(root + "/empty/emptier"));      // too deep to reach

    PurgeMatchingFiles(root, 3, "FIL####");
    EXPECT_FALSE(Exists(root + "/sub"));
    EXPECT_FALSE(Exists(root + "/empty"));
    EXPECT_TRUE(Exists(root));  // still holds keep.txt

    PurgeMatchingFiles(root, 0, "");
    EXPECT_TRUE(Exists(root + "/keep.txt"));
    PurgeMatchingFiles(root, 1, "");
    EXPECT_FALSE(Exists(root));  // emptied, so the folder itself goes
}

TEST(PurgeMatchingFiles, HiddenEntriesAreLeftAlone) {
    TempDir tmp;
    std::string root = tmp / "w";
    PutFile(root + "/.FIL0001", "");
    PutFile(root + "/.git/FIL0002", "");
    PurgeMatchingFiles(root, 5, "");
    EXPECT_TRUE(Exists(root + "/.FIL0001"));
    EXPECT_TRUE(Exists(root + "/.git/FIL0002"));
}

TEST(PurgeMatchingFiles, LinksAreNeverFollowed) {
    TempDir tmp;
    std::string outside = tmp / "outside";
    PutFile(outside + "/FIL0001", "keep");
    PutFile(outside + "/FIL0002", "keep");
    std::string root = tmp / "out/workout";
    ForceDirectories(root);
    ASSERT_EQ(symlink(outside.c_str(), (root + "/dirlink").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/FIL0002").c_str(), (root + "/FIL0009").c_str()), 0);

    PurgeMatchingFiles(root, 101, "");
    EXPECT_TRUE(Exists(outside + "/FIL0001"));
    EXPECT_TRUE(Exists(outside + "/FIL0002"));  // the link went, its target stays
    EXPECT_FALSE(Exists(root + "/FIL0009"));
    EXPECT_TRUE(Exists(root + "/dirlink"));     // not listed, so the folder stays too

    // A folder handed in that is itself a link is not entered.
    std::string linkedTop = tmp / "top";
    ASSERT_EQ(symlink(outside.c_str(), linkedTop.c_str()), 0);
    PurgeMatchingFiles(linkedTop, 5, "");
    EXPECT_TRUE(Exists(outside + "/FIL0001"));
    EXPECT_EQ(ResolveChosenFolder(linkedTop), std::filesystem::canonical(outside).string());
    EXPECT_EQ(ResolveChosenFolder(root), root);
}

}  // namespace
}  // namespace korvane

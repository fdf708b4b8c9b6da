#include "shell/run/work_area.h"

#include <gtest/gtest.h>

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

TEST(WorkArea, PathsFromTheOutputDirectory) {
    WorkArea area = MakeWorkArea("/data/out/");
    EXPECT_EQ(area.outputDir, "/data/out");
    EXPECT_EQ(area.inputFolder, "/data/out/workinp");
    EXPECT_EQ(area.resultFolder, "/data/out/workout");
    EXPECT_EQ(area.workFolder, "/data/out/work");
    EXPECT_EQ(CopyLibraryPath("/data/out"), "/data/out/CopyLib/");
    EXPECT_EQ(ProductLogPath("/data/out", "SYS"), "/data/out/SYS.log");
    EXPECT_FALSE(MakeWorkArea("").IsSet());
    EXPECT_TRUE(MakeWorkArea("").inputFolder.empty());
}

TEST(WorkArea, EmptyOutputDirectoryRefusesTheRun) {
    RecordingReporter reporter;
    EXPECT_THROW(PrepareWorkArea("", false, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{"You should specify the output directory first"});
}

TEST(WorkArea, FileSystemRootRefusesTheRun) {
    // Only the checks: nothing here may ever reach the cleaning.
    for (const char* root : {"/", "//", "/.", "/tmp/..", "/./"}) {
        EXPECT_TRUE(IsFileSystemRoot(root)) << root;
        EXPECT_FALSE(MakeWorkArea(root).IsSet()) << root;
        RecordingReporter reporter;
        EXPECT_THROW(RequireOutputDir(root, reporter), SilentAbort) << root;
        EXPECT_EQ(reporter.Texts(), std::vector<std::string>{kNoOutputDirMessage}) << root;
    }
    for (const char* folder : {"", "/tmp", "/tmp/", "relative/out", "/no/such/folder"})
        EXPECT_FALSE(IsFileSystemRoot(folder)) << folder;
}

TEST(WorkArea, PrepareCreatesTheFolders) {
    TempDir tmp;
    RecordingReporter reporter;
    WorkArea area = PrepareWorkArea(tmp / "a/out", true, reporter);
    EXPECT_TRUE(DirectoryExists(area.inputFolder));
    EXPECT_TRUE(DirectoryExists(area.resultFolder));
    EXPECT_TRUE(DirectoryExists(area.workFolder));
    EXPECT_TRUE(DirectoryExists(tmp / "a/out/CopyLib"));
    PrepareWorkArea(tmp / "b", false, reporter);
    EXPECT_FALSE(Exists(tmp / "b/CopyLib"));
}

TEST(WorkArea, ToolsLogFallsBackToLowerCase) {
    TempDir tmp;
    EXPECT_EQ(ToolsLogPath(tmp.path(), "SYS"), tmp / "SYS.LOG");
    PutFile(tmp / "SYS.log", "");
    EXPECT_EQ(ToolsLogPath(tmp.path(), "SYS"), tmp / "SYS.log");
    PutFile(tmp / "SYS.LOG", "");
    EXPECT_EQ(ToolsLogPath(tmp.path(), "SYS"), tmp / "SYS.LOG");
}

TEST(WorkArea, CopyWorkFileReplacesOrReports) {
    TempDir tmp;
    RecordingReporter reporter;
    PutFile(tmp / "a.cbl", "new");
    PutFile(tmp / "FIL0000", "old");
    CopyWorkFile(tmp / "a.cbl", tmp / "FIL0000", reporter);
    EXPECT_EQ(ReadFileBytes(tmp / "FIL0000"), "new");
    EXPECT_THROW(CopyWorkFile(tmp / "gone.cbl", tmp / "FIL0001", reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(),
              std::vector<std::string>{"Error during preparation - " + tmp / "gone.cbl" + " - No such file or directory"});
}

}  // namespace
}  // namespace korvane

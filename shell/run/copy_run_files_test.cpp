#include "shell/run/copy_run_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "shell/run/output_ownership.h"
#include "shell/run/parameter_file.h"
#include "shared/text.h"
#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

class CopyRunFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        area = PrepareWorkArea(tmp / "out", false, reporter);
        names = {"Prod", "Sys", "ProdSys"};
    }
    TempDir tmp;
    RecordingReporter reporter;
    WorkArea area;
    RunNames names;
};

TEST_F(CopyRunFilesTest, OnlyTheCheckedSourceIsCopied) {
    std::vector<std::string> paths = {tmp / "s/a.cbl", tmp / "s/b.cbl", tmp / "s/c.cbl"};
    for (const auto& p : paths) PutFile(p, "text of " + p);
    ParameterFileInput param;
    param.productName = "Prod";
    param.systemName = "Sys";
    param.outputDir = area.outputDir;
    param.sources = {{paths[0], false}, {paths[1], true}, {paths[2], false}};
    CopySourcesInput in;
    std::vector<std::string> lines;
    WriteParameterFile(param, "", lines, &in.nameMap, reporter);

    in.area = area;
    in.sourcePaths = paths;
    in.projectName = "ProdSys";
    in.numberOfSources = 1;
    std::vector<std::string> captions;
    in.progress = [&](int pos, int max, const std::string& caption) {
        EXPECT_EQ(pos, 1);
        EXPECT_EQ(max, 1);
        captions.push_back(caption);
    };
    CopySourcesToWorkArea(in, reporter);
    EXPECT_EQ(captions, std::vector<std::string>{"Preparing project ProdSys - Step 1 of 1 - Bytes 0 of 0"});
    EXPECT_EQ(ReadFileBytes(area.inputFolder + "/FIL0001"), "text of " + paths[1]);
    EXPECT_EQ(ListDirectory(area.inputFolder).size(), 1u);
}

TEST_F(CopyRunFilesTest, FailedCopyEndsThePhase) {
    PutFile(tmp / "s/a.cbl", "a");
    CopySourcesInput in;
    in.area = area;
    in.sourcePaths = {tmp / "s/gone.cbl", tmp / "s/a.cbl"};
    in.nameMap = {"FIL0000=x", "Copy0000=" + area.inputFolder + "/FIL0000", "FIL0001=y",
                  "Copy0001=" + area.inputFolder + "/FIL0001"};
    in.numberOfSources = 2;
    EXPECT_THROW(CopySourcesToWorkArea(in, reporter), SilentAbort);
    ASSERT_EQ(reporter.entries.size(), 1u);
    EXPECT_EQ(reporter.entries[0].text.rfind("Error during preparation - " + tmp / "s/gone.cbl" + " - ", 0), 0u);
    EXPECT_FALSE(Exists(area.inputFolder + "/FIL0001"));
}

TEST_F(CopyRunFilesTest, OldCopiesAndProjectFilesAreCleaned) {
    for (int i = 0; i < 5; ++i) PutFile(area.inputFolder + Format("/FIL%4.4d", i), "old");
    PutFile(area.inputFolder + "/notes.txt", "");
    PutFile(area.resultFolder + "/FIL0003.LIT", "");
    PutFile(area.resultFolder + "/SYS.LOG", "");            // system name, any case
    PutFile(area.resultFolder + "/prodsys_trace", "");
    PutFile(area.resultFolder + "/other.txt", "");
    PutFile(area.workFolder + "/tmp/FIL0002.x", "");
    PutFile(area.outputDir + "/ProdSys_report.txt", "");
    PutFile(area.outputDir + "/lib/a.new", "result of a previous run");
    ForceDirectories(area.outputDir + "/x/y/z");

    CleanForNewRun(area, names, 100, true, {});
    EXPECT_EQ(ListDirectory(area.inputFolder).size(), 1u);  // notes.txt
    EXPECT_FALSE(Exists(area.resultFolder + "/FIL0003.LIT"));
    EXPECT_FALSE(Exists(area.resultFolder + "/SYS.LOG"));
    EXPECT_FALSE(Exists(area.resultFolder + "/prodsys_trace"));
    EXPECT_TRUE(Exists(area.resultFolder + "/other.txt"));
    EXPECT_FALSE(Exists(area.workFolder + "/tmp"));
    EXPECT_FALSE(Exists(area.outputDir + "/ProdSys_report.txt"));
    EXPECT_TRUE(Exists(area.outputDir + "/lib/a.new"));
    EXPECT_FALSE(Exists(area.outputDir + "/x"));  // empty folders anywhere go
    // The cleaning empties folders; they are there again afterwards.
    EXPECT_TRUE(DirectoryExists(area.workFolder));
    EXPECT_TRUE(DirectoryExists(area.outputDir + "/CopyLib"));
}

TEST_F(CopyRunFilesTest, FilesOfTheProjectSurviveEveryCleaningRow) {
    // Sources, copy members and rename-directive files that happen to lie
    // where a cleaning row reaches, each named to match its row; beside
    // each, a file of the same pattern that is the run's and goes.
    struct Case {
        const char* path;  // below the output directory
        bool ofTheProject;
    } cases[] = {
        {"ProdSys_Main.java", true},        // output directory, project name + "_"
        {"ProdSys_old.txt", false},
        {"lib/ProdSys_Util.java", true},    // ... in any folder below it
        {"workinp/FIL0001.java", true},     // FIL#### in the three work folders
        {"workinp/FIL0002", false},
        {"workout/Prod.csv", true},         // product name in the result folder
        {"workout/SYS.cpy", true},          // system name
        {"workout/Sys.LOG", false},
        {"work/FIL0003.cpy", true},
    };
    ProtectedFiles keep;
    for (const Case& c : cases) {
        PutFile(area.outputDir + "/" + c.path, c.path);
        if (c.ofTheProject) keep.Add(area.outputDir + "/" + c.path);
    }
    // A source entered through a link to its folder is the same file.
    PutFile(tmp / "real/ProdSys_Linked.java", "linked");
    ASSERT_EQ(symlink((tmp / "real").c_str(), (area.outputDir + "/alias").c_str()), 0);
    keep.Add(tmp / "real/ProdSys_Linked.java");
    ASSERT_EQ(symlink((tmp / "real/ProdSys_Linked.java").c_str(), (area.outputDir + "/ProdSys_ln.java").c_str()), 0);
    keep.Add(area.outputDir + "/ProdSys_ln.java");
    // A source listed only through a link elsewhere that leads into the
    // output directory: the file it leads to is the project's.
    PutFile(area.outputDir + "/ProdSys_Target.java", "target");
    ForceDirectories(tmp / "links");
    ASSERT_EQ(symlink((area.outputDir + "/ProdSys_Target.java").c_str(), (tmp / "links/Main.java").c_str()), 0);
    keep.Add(tmp / "links/Main.java");

    CleanForNewRun(area, names, 100, false, keep);
    for (const Case& c : cases)
        EXPECT_EQ(Exists(area.outputDir + "/" + c.path), c.ofTheProject) << c.path;
    EXPECT_EQ(ReadFileBytes(area.outputDir + "/ProdSys_Main.java"), "ProdSys_Main.java");
    EXPECT_TRUE(Exists(area.outputDir + "/ProdSys_ln.java"));
    EXPECT_EQ(ReadFileBytes(tmp / "real/ProdSys_Linked.java"), "linked");
    EXPECT_EQ(ReadFileBytes(area.outputDir + "/ProdSys_Target.java"), "target");
}

TEST_F(CopyRunFilesTest, StarProductNameEmptiesTheResultFolderTwoLevelsDown) {
    PutFile(area.resultFolder + "/a.txt", "");
    PutFile(area.resultFolder + "/sub/b.txt", "");
    PutFile(area.resultFolder + "/sub/deeper/c.txt", "");
    names.productName = "";  // "*" clears the name
    CleanForNewRun(area, names, 100, false, {});
    EXPECT_FALSE(Exists(area.resultFolder + "/a.txt"));
    EXPECT_FALSE(Exists(area.resultFolder + "/sub/b.txt"));
    EXPECT_TRUE(Exists(area.resultFolder + "/sub/deeper/c.txt"));
}

TEST(RunNames, ProjectNameIsNormalised) {
    EXPECT_EQ(MakeRunNames("PROD", "sys").projectName, "ProdSys");
    EXPECT_EQ(MakeRunNames("", "SYS").projectName, "Sys");
    EXPECT_EQ(MakeRunNames("a/b", "x.y").projectName, "bX");
}

TEST_F(CopyRunFilesTest, UnsetWorkAreaIsNeverCleaned) {
    CleanForNewRun(WorkArea{}, RunNames{}, 100, false, {});  // must not touch "/" or the current folder
    CopySourcesInput in;
    in.nameMap = {"Copy0000=x"};
    in.sourcePaths = {"y"};
    CopySourcesToWorkArea(in, reporter);
    EXPECT_TRUE(reporter.entries.empty());
}

}  // namespace
}  // namespace korvane

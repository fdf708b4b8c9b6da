#include "shell/run/result_collection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "shared/text.h"
#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

class ResultCollectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = tmp / "out";
        in.area = PrepareWorkArea(out, false, reporter);
        in.outputDir = out;
        in.commonRoot = tmp / "src";
        in.finalResultExtension = "NEW";
        in.copyExtension = ".cpy";
        in.systemName = "SYS";
        in.projectName = "ProdSys";
    }
    // One source at list position n, with its working copy in workinp.
    void AddSource(int n, const std::string& relative) {
        in.nameMap.push_back(Format("FIL%4.4d=%s/%s", n, in.commonRoot.c_str(), relative.c_str()));
        std::string copy = Format("%s/FIL%4.4d", in.area.inputFolder.c_str(), n);
        in.nameMap.push_back(Format("Copy%4.4d=%s", n, copy.c_str()));
        PutFile(copy, "copy");
    }
    std::string Result(const std::string& name) { return in.area.resultFolder + "/" + name; }

    TempDir tmp;
    std::string out;
    CollectionInput in;
    RecordingReporter reporter;
};

TEST_F(ResultCollectionTest, ResultGoesBelowTheCommonRootWithTheOutputExtension) {
    in.outputExtension = ".new";
    AddSource(0, "lib/a.cbl");
    PutFile(Result("FIL0000.NEW"), "transformed");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/lib/a.new"), "transformed");
    EXPECT_FALSE(Exists(Result("FIL0000.NEW")));
    EXPECT_TRUE(reporter.entries.empty());
    EXPECT_TRUE(Exists(in.area.inputFolder + "/FIL0000"));  // no delete-after: copies stay
}

TEST_F(ResultCollectionTest, OldTargetIsReplaced) {
    AddSource(0, "a.cbl");
    PutFile(out + "/a.cbl", "earlier run");
    PutFile(Result("FIL0000.NEW"), "this run");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/a.cbl"), "this run");
}

TEST_F(ResultCollectionTest, SideFilesAreMergedAlsoWithoutResult) {
    AddSource(0, "a.cbl");
    AddSource(3, "b.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    PutFile(Result("FIL0003.LIT"), "lit1\r\nlit2\r\n");
    PutFile(Result("FIL0003.CON"), "con1\r\n");
    CollectResults(in, reporter);
    ASSERT_EQ(reporter.entries.size(), 1u);
    EXPECT_EQ(reporter.entries[0].text, "No result file(FIL0003.NEW) for " + out + "/b.cbl");
    EXPECT_TRUE(reporter.entries[0].cont);
    EXPECT_EQ(ReadFileBytes(out + "/b.cpy"), "lit1\r\nlit2\r\ncon1\r\n");
    EXPECT_FALSE(Exists(Result("FIL0003.LIT")));
    EXPECT_FALSE(Exists(Result("FIL0003.CON")));
    EXPECT_EQ(ReadFileBytes(out + "/a.cbl"), "r");
}

TEST_F(ResultCollectionTest, StaleSideTargetIsDeleted) {
    AddSource(0, "a.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    PutFile(out + "/a.cpy", "from an earlier run");
    CollectResults(in, reporter);
    EXPECT_FALSE(Exists(out + "/a.cpy"));
}

TEST_F(ResultCollectionTest, OutputExtensionEqualToCopyExtensionKeepsTheResult) {
    in.outputExtension = ".cpy";
    AddSource(0, "a.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    PutFile(Result("FIL0000.LIT"), "lit");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/a.cpy"), "r");
    EXPECT_EQ(ReadFileBytes(out + "/a.side.cpy"), "lit\r\n");
    EXPECT_EQ(SideFileTarget("/o/a.cpy", "cpy"), "/o/acpy");  // extensions are used as given
    EXPECT_EQ(SideFileTarget("/o/a", ""), "/o/a.side.");
}

TEST_F(ResultCollectionTest, SystemLogBecomesTheProductLog) {
    PutFile(Result("SYS.LOG"), "line 1\r\nline 2\r\n");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/SYS.log"), "line 1\r\nline 2\r\n");
    EXPECT_FALSE(Exists(Result("SYS.LOG")));
    // Without a log from the tools the old product log is replaced by an empty one.
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/SYS.log"), "");
    PutFile(Result("SYS.log"), "lower\r\n");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/SYS.log"), "lower\r\n");
}

TEST_F(ResultCollectionTest, SystemLogWrittenInUpperCaseByADosToolIsNotLost) {
    in.systemName = "Sys";
    PutFile(Result("Sys.LOG"), "native\r\n");
    PutFile(Result("SYS.LOG"), "dos\r\n");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/Sys.log"), "native\r\ndos\r\n");
    EXPECT_FALSE(Exists(Result("SYS.LOG")));
    EXPECT_FALSE(Exists(Result("Sys.LOG")));
}

TEST_F(ResultCollectionTest, DeleteAfterEmptiesTheWorkArea) {
    in.deleteAfter = true;
    AddSource(0, "a.cbl");
    AddSource(1, "b.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    PutFile(Result("FIL0001.NEW"), "r");
    PutFile(Result("leftover/x.txt"), "");
    PutFile(in.area.workFolder + "/scratch", "");
    PutFile(out + "/ProdSys_trace.txt", "");
    PutFile(out + "/keep.txt", "");
    CollectResults(in, reporter);
    EXPECT_FALSE(Exists(in.area.inputFolder));
    EXPECT_FALSE(Exists(in.area.workFolder));
    EXPECT_FALSE(Exists(in.area.resultFolder));
    EXPECT_FALSE(Exists(out + "/ProdSys_trace.txt"));
    EXPECT_TRUE(Exists(out + "/keep.txt"));
    EXPECT_TRUE(Exists(out + "/a.cbl"));
    EXPECT_TRUE(Exists(out + "/SYS.log"));
}

TEST_F(ResultCollectionTest, DeleteAfterNeverFollowsALinkOutOfWorkout) {
    in.deleteAfter = true;
    std::string outside = tmp / "elsewhere";
    PutFile(outside + "/precious.txt", "keep");
    ASSERT_EQ(symlink(outside.c_str(), (in.area.resultFolder + "/link").c_str()), 0);
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(outside + "/precious.txt"), "keep");
    EXPECT_TRUE(Exists(in.area.resultFolder + "/link"));
}

TEST_F(ResultCollectionTest, WithoutAPreparedRunNothingIsTouched) {
    // A project saved during a run is opened: empty name map, no work area.
    CollectionInput empty;
    empty.systemName = "SYS";
    empty.deleteAfter = true;
    empty.projectName = "ProdSys";
    CollectResults(empty, reporter);  // forms no path from an empty folder
    EXPECT_TRUE(reporter.entries.empty());

    // Output directory known, but no run prepared since start: no log, no cleaning.
    empty.outputDir = out;
    PutFile(out + "/ProdSys_trace.txt", "");
    CollectResults(empty, reporter);
    EXPECT_FALSE(Exists(out + "/SYS.log"));
    EXPECT_TRUE(Exists(out + "/ProdSys_trace.txt"));

    // A prepared run whose name map was emptied moves nothing and reports nothing.
    PutFile(Result("FIL0000.NEW"), "r");
    CollectResults(in, reporter);
    EXPECT_TRUE(reporter.entries.empty());
    EXPECT_TRUE(Exists(Result("FIL0000.NEW")));
}

TEST_F(ResultCollectionTest, ScanRunReloadsTheWordLists) {
    std::vector<std::string> loaded;
    in.reloadWordLists = [&](const std::string& path) { loaded.push_back(path); };
    CollectResults(in, reporter);
    EXPECT_TRUE(loaded.empty());
    in.scanRun = true;
    CollectResults(in, reporter);
    EXPECT_EQ(loaded, std::vector<std::string>{out + "/functab.wrl"});
}

TEST_F(ResultCollectionTest, ScanRunCollectsWhatIsThereAndMissesNothing) {
    // A scanner writes word lists, no results: nothing is reported missing,
    // what a tool did leave is collected, and the targets of an earlier
    // reengineering run without anything new stay untouched.
    in.scanRun = true;
    AddSource(0, "a.cbl");
    AddSource(1, "sub/b.cbl");
    AddSource(2, "c.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    PutFile(out + "/sub/b.cbl", "reengineered earlier");
    PutFile(out + "/sub/b.cpy", "side lines of earlier");
    PutFile(Result("FIL0002.LIT"), "lit\r\n");
    CollectResults(in, reporter);
    EXPECT_TRUE(reporter.entries.empty()) << reporter.Texts().front();
    EXPECT_EQ(ReadFileBytes(out + "/a.cbl"), "r");
    EXPECT_EQ(ReadFileBytes(out + "/sub/b.cbl"), "reengineered earlier");
    EXPECT_EQ(ReadFileBytes(out + "/sub/b.cpy"), "side lines of earlier");
    EXPECT_EQ(ReadFileBytes(out + "/c.cpy"), "lit\r\n");
}

TEST_F(ResultCollectionTest, EmptyOutputFieldFallsBackToThePreparedRun) {
    in.outputDir = "";
    AddSource(0, "a.cbl");
    PutFile(Result("FIL0000.NEW"), "r");
    CollectResults(in, reporter);
    EXPECT_TRUE(Exists(out + "/a.cbl"));
}

}  // namespace
}  // namespace korvane

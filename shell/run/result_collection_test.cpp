#include "shell/run/result_collection.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/errors.h"
#include "shared/text.h"
#include "shell/run/run_fault_test_support.h"
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

TEST_F(ResultCollectionTest, AnEarlierRunsTargetsAreReplacedOrDeleted) {
    // The output field is empty: the prepared run's output directory serves.
    in.outputDir = "";
    AddSource(0, "a.cbl");
    PutFile(out + "/a.cbl", "earlier run");
    PutFile(out + "/a.cpy", "side lines of an earlier run");
    PutFile(Result("FIL0000.NEW"), "this run");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/a.cbl"), "this run");
    EXPECT_FALSE(Exists(out + "/a.cpy"));
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

TEST_F(ResultCollectionTest, FilesOfTheProjectSurviveSideFilesAndDeleteAfter) {
    // The output directory is the sources' folder, and the user's folders
    // work and workout hold files of the project too.
    in.commonRoot = out;
    in.deleteAfter = true;
    in.copyExtension = ".jin";
    const std::vector<std::string> ofTheProject = {
        out + "/Main.java",      out + "/Main.jin",          out + "/Cart.java",        out + "/Cart.jin",
        out + "/work/Util.java", out + "/workout/Names.csv", out + "/ProdSys_Notes.java", out + "/Shop.java"};
    for (const std::string& f : ofTheProject) {
        PutFile(f, "user's " + f);
        in.keep.Add(f);
    }
    AddSource(0, "Main.java");  // no output extension: the targets are the sources
    AddSource(1, "Cart.java");
    AddSource(2, "Shop.java");
    PutFile(Result("FIL0000.NEW"), "main result");
    PutFile(Result("FIL0001.NEW"), "cart result");
    PutFile(Result("FIL0001.LIT"), "lit\r\n");
    CollectResults(in, reporter);

    for (const std::string& f : ofTheProject) EXPECT_EQ(ReadFileBytes(f), "user's " + f) << f;
    const std::string main = out + "/Main.java", cart = out + "/Cart.java";
    EXPECT_EQ(reporter.Texts(),
              (std::vector<std::string>{
                  Format(kResultTargetProtected, "FIL0000.NEW", main.c_str(), main.c_str()),
                  Format(kResultTargetProtected, "FIL0001.NEW", cart.c_str(), cart.c_str()),
                  Format(kSideTargetProtected, "FIL0001.NEW", cart.c_str(), (out + "/Cart.jin").c_str()),
                  "No result file(FIL0002.NEW) for " + out + "/Shop.java"}));
    // The run's own working copies go; what was not delivered waits.
    EXPECT_FALSE(Exists(in.area.inputFolder + "/FIL0000"));
    EXPECT_EQ(ReadFileBytes(Result("FIL0000.NEW")), "main result");
    EXPECT_TRUE(Exists(Result("FIL0001.LIT")));

    // With an output extension the results arrive beside the sources.
    in.outputExtension = ".new";
    in.nameMap.clear();
    reporter.ClearMessages();
    AddSource(0, "Main.java");
    CollectResults(in, reporter);
    EXPECT_EQ(ReadFileBytes(out + "/Main.new"), "main result");
    EXPECT_TRUE(reporter.entries.empty());
    for (const std::string& f : ofTheProject) EXPECT_EQ(ReadFileBytes(f), "user's " + f) << f;
}

TEST_F(ResultCollectionTest, UndeliverableResultsAreReported) {
    // A folder at the target's name; a file where the target's folder should be.
    AddSource(0, "a.cbl");
    AddSource(1, "sub/b.cbl");
    AddSource(2, "c.cbl");
    ForceDirectories(out + "/a.cbl");
    PutFile(out + "/sub", "a file, not a folder");
    for (const char* r : {"FIL0000.NEW", "FIL0001.NEW", "FIL0002.NEW"}) PutFile(Result(r), r);
    CollectResults(in, reporter);
    const std::string src = in.commonRoot;
    EXPECT_EQ(reporter.Texts(),
              (std::vector<std::string>{
                  Format(kResultNotDelivered, "FIL0000.NEW", (src + "/a.cbl").c_str(), (out + "/a.cbl").c_str(),
                         "Is a directory"),
                  Format(kResultNotDelivered, "FIL0001.NEW", (src + "/sub/b.cbl").c_str(),
                         (out + "/sub/b.cbl").c_str(), "Not a directory")}));
    EXPECT_GE(reporter.Severity(), 2);  // so the run does not end as finished
    EXPECT_EQ(ReadFileBytes(Result("FIL0000.NEW")), "FIL0000.NEW");  // waits for a later collection
    EXPECT_EQ(ReadFileBytes(out + "/c.cbl"), "FIL0002.NEW");
}

TEST_F(ResultCollectionTest, ResultsCrossFileSystemsAndReadOnlyTargetsAreReported) {
    // In a child with a mount namespace of its own: workout on a tmpfs of
    // its own (another file system than the output directory), and a
    // read-only tmpfs where one result's folder is.
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) try {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
        if (mount("tmpfs", in.area.resultFolder.c_str(), "tmpfs", 0, "size=4m") != 0) _exit(77);
        ForceDirectories(out + "/ro");
        if (mount("tmpfs", (out + "/ro").c_str(), "tmpfs", MS_RDONLY, "size=1m") != 0) _exit(77);
        for (int n = 0; n < 5; ++n) AddSource(n, Format("m%d.cbl", n));
        AddSource(5, "ro/x.cbl");
        for (int n = 0; n < 6; ++n) PutFile(Result(Format("FIL%4.4d.NEW", n)), Format("result %d", n));
        chmod(Result("FIL0001.NEW").c_str(), 0640);
        CollectResults(in, reporter);
        const std::string want = Format(kResultNotDelivered, "FIL0005.NEW", (in.commonRoot + "/ro/x.cbl").c_str(),
                                        (out + "/ro/x.cbl").c_str(), "Read-only file system");
        bool ok = reporter.Texts() == std::vector<std::string>{want} && ReadFileBytes(Result("FIL0005.NEW")) == "result 5";
        for (int n = 0; n < 5; ++n) ok = ok && !Exists(Result(Format("FIL%4.4d.NEW", n)));
        _exit(ok ? 0 : 1);
    } catch (...) {
        _exit(2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private mount namespace with tmpfs here (needs root)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a result not delivered, or not reported";
    // Delivered by copy and delete, seen from outside the namespace too.
    for (int n = 0; n < 5; ++n) EXPECT_EQ(ReadFileBytes(Format("%s/m%d.cbl", out.c_str(), n)), Format("result %d", n));
    struct stat st;
    ASSERT_EQ(stat((out + "/m1.cbl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ResultCollectionTest, LinksInTheOutputDirectoryAreReplacedNotWrittenThrough) {
    const std::string elsewhere = tmp / "elsewhere";
    const std::vector<std::string> names = {"SYS.log", "a.cbl", "a.cpy", "b.cpy"};
    for (const std::string& name : names) {
        PutFile(elsewhere + "/" + name, "not the run's");
        ASSERT_EQ(symlink((elsewhere + "/" + name).c_str(), (out + "/" + name).c_str()), 0);
    }
    AddSource(0, "a.cbl");
    AddSource(1, "b.cbl");
    PutFile(Result("SYS.LOG"), "log\r\n");
    PutFile(Result("FIL0000.NEW"), "a");
    PutFile(Result("FIL0000.LIT"), "side a\r\n");
    CollectResults(in, reporter);
    for (const std::string& name : names) EXPECT_EQ(ReadFileBytes(elsewhere + "/" + name), "not the run's") << name;
    EXPECT_EQ(ReadFileBytes(out + "/SYS.log"), "log\r\n");
    EXPECT_EQ(ReadFileBytes(out + "/a.cbl"), "a");
    EXPECT_EQ(ReadFileBytes(out + "/a.cpy"), "side a\r\n");
    EXPECT_FALSE(Exists(out + "/b.cpy"));  // a stale side-file target: the link goes, not its file
    for (const char* name : {"SYS.log", "a.cbl", "a.cpy"}) EXPECT_FALSE(IsSymlink(out + "/" + name)) << name;
}

TEST_F(ResultCollectionTest, LinkedFoldersInTheOutputDirectoryAreNeverWrittenThrough) {
    // out/lib is a link to a folder elsewhere; a folder below it is missing.
    const std::string elsewhere = tmp / "elsewhere";
    PutFile(elsewhere + "/a.cpy", "not the run's");
    ASSERT_EQ(symlink(elsewhere.c_str(), (out + "/lib").c_str()), 0);
    struct Case {
        const char* relative;
        bool result;
    } cases[] = {{"lib/a.cbl", true}, {"lib/deep/b.cbl", true}, {"lib/c.cbl", false}};
    int n = 0;
    for (const Case& c : cases) {
        AddSource(n, c.relative);
        if (c.result) PutFile(Result(Format("FIL%4.4d.NEW", n)), "result");
        PutFile(Result(Format("FIL%4.4d.LIT", n)), "side\r\n");
        ++n;
    }
    in.deleteAfter = true;
    CollectResults(in, reporter);
    const std::string src = in.commonRoot;
    EXPECT_EQ(reporter.Texts(),
              (std::vector<std::string>{Format(kResultNotDelivered, "FIL0000.NEW", (src + "/lib/a.cbl").c_str(),
                                               (out + "/lib/a.cbl").c_str(), "Too many levels of symbolic links"),
                                        Format(kResultNotDelivered, "FIL0001.NEW", (src + "/lib/deep/b.cbl").c_str(),
                                               (out + "/lib/deep/b.cbl").c_str(), "Too many levels of symbolic links"),
                                        "No result file(FIL0002.NEW) for " + out + "/lib/c.cbl"}));
    // Nothing written, made or deleted elsewhere; all of it waits in workout.
    EXPECT_EQ(ListDirectory(elsewhere).size(), 1u);
    EXPECT_EQ(ReadFileBytes(elsewhere + "/a.cpy"), "not the run's");
    EXPECT_EQ(ReadFileBytes(Result("FIL0000.NEW")), "result");
    EXPECT_TRUE(Exists(Result("FIL0002.LIT")));

    // workout itself made a link since the run was prepared: nothing taken
    // from it or deleted in it.
    reporter.ClearMessages();
    PutFile(elsewhere + "/out/SYS.LOG", "a log of someone's");
    PutFile(elsewhere + "/out/FIL0000.NEW", "someone's");
    PutFile(in.area.inputFolder + "/FIL0000", "copy");
    ASSERT_EQ(rename(in.area.resultFolder.c_str(), (tmp / "old-workout").c_str()), 0);
    ASSERT_EQ(symlink((elsewhere + "/out").c_str(), in.area.resultFolder.c_str()), 0);
    CollectResults(in, reporter);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kWorkFolderIsLink, in.area.resultFolder.c_str())});
    EXPECT_EQ(ReadFileBytes(elsewhere + "/out/SYS.LOG"), "a log of someone's");
    EXPECT_EQ(ReadFileBytes(elsewhere + "/out/FIL0000.NEW"), "someone's");
}

TEST_F(ResultCollectionTest, AWriteThatFailsLosesNothing) {
    // A file-size limit refuses the product log, or the side lines of the
    // first source: the collection stops there, everything not delivered
    // waits in the work area, the earlier files stay whole, and a later
    // collection brings it all out.
    for (bool bigLog : {true, false}) {
        const char* what = bigLog ? "product log" : "side file";
        std::filesystem::remove_all(out);
        in.area = PrepareWorkArea(out, false, reporter);
        in.nameMap.clear();
        AddSource(0, "a.cbl");
        AddSource(1, "b.cbl");
        const std::string big(2000, 'x');
        PutFile(out + "/SYS.log", "old log\r\n");
        PutFile(out + "/a.cpy", "old side\r\n");
        PutFile(Result("SYS.LOG"), bigLog ? big : "log");
        PutFile(Result("FIL0000.LIT"), bigLog ? "lit" : big);
        PutFile(Result("FIL0000.NEW"), "a");
        PutFile(Result("FIL0001.NEW"), "b");
        {
            testing::ScopedFileSizeLimit limit(1024);
            EXPECT_THROW(CollectResults(in, reporter), Error) << what;
        }
        EXPECT_EQ(ReadFileBytes(out + "/SYS.log") == "old log\r\n", bigLog) << what;
        EXPECT_EQ(Exists(Result("SYS.LOG")), bigLog) << what;
        EXPECT_EQ(Exists(Result("FIL0000.NEW")), bigLog) << what;  // moved before its side lines
        EXPECT_EQ(ReadFileBytes(out + "/a.cpy"), "old side\r\n") << what;
        EXPECT_TRUE(Exists(Result("FIL0000.LIT")) && Exists(Result("FIL0001.NEW"))) << what;
        EXPECT_TRUE(testing::LeftoverTempFiles(out).empty()) << what;

        CollectResults(in, reporter);
        EXPECT_EQ(ReadFileBytes(out + "/a.cbl") + ReadFileBytes(out + "/b.cbl"), "ab") << what;
        EXPECT_EQ(ReadFileBytes(out + "/a.cpy"), (bigLog ? "lit" : big) + "\r\n") << what;
        EXPECT_EQ(ReadFileBytes(out + "/SYS.log"), bigLog ? big + "\r\n" : "") << what;
        EXPECT_TRUE(ListDirectory(in.area.resultFolder).empty()) << what;
        // The result moved before the fault is no longer there to collect.
        EXPECT_EQ(reporter.Texts(), bigLog ? std::vector<std::string>{}
                                           : std::vector<std::string>{"No result file(FIL0000.NEW) for " + out + "/a.cbl"})
            << what;
    }
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

}  // namespace
}  // namespace korvane

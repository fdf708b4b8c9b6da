#include "shell/run/work_area.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/platform/process.h"
#include "shared/text.h"
#include "shell/run/dosbox_config.h"
#include "shell/run/output_ownership.h"
#include "shell/run/rename_directives.h"
#include "shell/wordlists/word_list_file.h"

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

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
    EXPECT_FALSE(MakeWorkArea("").IsSet());
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

TEST(OutputOwnership, FoldersNeverUsedForARunAreForeign) {
    struct Case {
        std::vector<std::string> files;  // below the folder; a name ending in "/" is a folder
        OutputDirUse use;
    } cases[] = {
        {{}, OutputDirUse::Fresh},                                             // missing
        {{"./"}, OutputDirUse::Fresh},                                         // empty
        {{"workinp/", "workout/", "work/", "CopyLib/Copy.cpy"}, OutputDirUse::Fresh},  // a preparation that stopped
        {{"last.xml", "DemoShop_budget.ods", "Main.java"}, OutputDirUse::UsedByRun},
        {{"DemoShop_budget.ods"}, OutputDirUse::Foreign},                      // a home folder
        {{".bashrc", ".cache/x"}, OutputDirUse::Fresh},                      // never touched by a run
        {{".bashrc", "notes.txt"}, OutputDirUse::Foreign},
        {{"src/Main.java"}, OutputDirUse::Foreign},                            // a folder above the sources
        {{"work/Main.java"}, OutputDirUse::Foreign},                           // a user's folder named work
        {{"empty/"}, OutputDirUse::Foreign},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const std::string dir = tmp / "out";
        for (const std::string& f : c.files) {
            if (f.back() == '/') ForceDirectories(dir + "/" + f);
            else PutFile(dir + "/" + f, "");
        }
        EXPECT_EQ(ClassifyOutputDir(dir), c.use) << (c.files.empty() ? "(missing)" : c.files[0]);
    }
}

TEST(OutputOwnership, AForeignFolderIsTakenOnlyWhenTheUserSaysSo) {
    struct Case {
        ForeignOutputDir policy;
        bool answer;      // to the question, when one is asked
        bool foreign;     // the folder holds a file of the user's
        bool asked;
        bool taken;       // the claim succeeds and holds the lock
        bool refusedMessage;
    } cases[] = {
        {ForeignOutputDir::Ask, false, true, true, false, false},  // No: nothing done, nothing said
        {ForeignOutputDir::Ask, true, true, true, true, false},
        {ForeignOutputDir::Refuse, true, true, false, false, true},
        {ForeignOutputDir::Take, false, true, false, true, false},
        {ForeignOutputDir::Ask, false, false, false, true, false},  // used before: no question
        {ForeignOutputDir::Refuse, false, false, false, true, false},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const std::string dir = tmp / "home";
        PutFile(dir + "/DemoShop_budget.ods", "numbers");
        if (!c.foreign) PutFile(dir + "/last.xml", "");
        RecordingReporter reporter;
        FolderLock lock;
        std::vector<std::string> questions;
        auto ask = [&](const std::string& q) {
            questions.push_back(q);
            return c.answer;
        };
        bool taken = true;
        try {
            ClaimOutputDir(dir, c.policy, ask, lock, reporter);
        } catch (const SilentAbort&) {
            taken = false;
        }
        const std::string what = Format("policy %d answer %d foreign %d", int(c.policy), c.answer, c.foreign);
        EXPECT_EQ(taken, c.taken) << what;
        EXPECT_EQ(lock.Locked(), c.taken) << what;
        EXPECT_EQ(questions, c.asked ? std::vector<std::string>{Format(kForeignOutputDirQuestion, dir.c_str())}
                                     : std::vector<std::string>{})
            << what;
        EXPECT_EQ(reporter.Texts(), c.refusedMessage
                                        ? std::vector<std::string>{Format(kForeignOutputDirRefused, dir.c_str())}
                                        : std::vector<std::string>{})
            << what;
        EXPECT_EQ(ReadFileBytes(dir + "/DemoShop_budget.ods"), "numbers");
    }
}

TEST(OutputOwnership, OneRunPerOutputDirectoryAndAKilledRunBlocksNothing) {
    TempDir tmp;
    const std::string dir = tmp / "out";
    auto never = [](const std::string&) { return false; };
    // A missing output directory is made, then locked.
    FolderLock first;
    RecordingReporter reporter;
    ClaimOutputDir(dir, ForeignOutputDir::Refuse, never, first, reporter);
    EXPECT_TRUE(first.Locked());
    EXPECT_TRUE(ListDirectory(dir).empty());  // no lock file left behind

    FolderLock second;
    EXPECT_THROW(ClaimOutputDir(dir, ForeignOutputDir::Take, never, second, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kOutputDirInUse, dir.c_str())});
    EXPECT_FALSE(second.Locked());
    first.Unlock();
    ClaimOutputDir(dir, ForeignOutputDir::Refuse, never, second, reporter);
    second.Unlock();

    // Another process holds it, and is killed.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        FolderLock held;
        char c = held.TryLock(dir) == 0 ? 'y' : 'n';
        if (write(ready[1], &c, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    reporter.ClearMessages();
    EXPECT_THROW(LockOutputDir(dir, second, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kOutputDirInUse, dir.c_str())});
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    reporter.ClearMessages();
    LockOutputDir(dir, second, reporter);
    EXPECT_TRUE(second.Locked());
    EXPECT_TRUE(reporter.entries.empty());
}

TEST(OutputOwnership, NestedOutputDirectoriesExcludeEachOther) {
    // The cleaning of a run in a folder reaches every folder below it, so a
    // run in a folder above or below a held one is refused too.
    struct Case {
        const char* held;
        const char* wanted;  // "link" is a link to "x"
        bool refused;
    } cases[] = {
        {"x", "x/sub", true},  {"x/sub", "x", true},       {"x/a/b/c", "x", true}, {"x", "x", true},
        {"x", "link/sub", true}, {"x/sub", "x/subway", false}, {"x/a", "x/b", false},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        ASSERT_EQ(symlink((tmp / "x").c_str(), (tmp / "link").c_str()), 0);
        RecordingReporter reporter;
        FolderLock held, wanted;
        ClaimOutputDir(tmp / c.held, ForeignOutputDir::Take, nullptr, held, reporter);
        const std::string dir = tmp / c.wanted;
        bool refused = false;
        try {
            ClaimOutputDir(dir, ForeignOutputDir::Take, nullptr, wanted, reporter);
        } catch (const SilentAbort&) {
            refused = true;
        }
        const std::string what = std::string(c.held) + " held, " + c.wanted + " wanted";
        EXPECT_EQ(refused, c.refused) << what;
        EXPECT_EQ(wanted.Locked(), !c.refused) << what;
        EXPECT_EQ(reporter.Texts(), c.refused ? std::vector<std::string>{Format(kOutputDirInUse, dir.c_str())}
                                              : std::vector<std::string>{})
            << what;
        // Once the holder has ended, the other folder is free.
        held.Unlock();
        if (c.refused) {
            EXPECT_EQ(wanted.TryLock(dir), 0) << what;
        }
    }
}

TEST(RunFilesInTheOutputDirectory, LinksAreReplacedNotWrittenThrough) {
    TempDir tmp;
    const std::string out = tmp / "out", elsewhere = tmp / "elsewhere";
    RecordingReporter reporter;
    PutFile(tmp / "src.cbl", "source");
    auto link = [&](const std::string& name) {
        PutFile(elsewhere + "/" + name, "not the run's");
        ForceDirectories(ExtractFileDir(out + "/" + name));
        EXPECT_EQ(symlink((elsewhere + "/" + name).c_str(), (out + "/" + name).c_str()), 0);
        return out + "/" + name;
    };
    // The writers of last.xml, the working copies (and the copy library),
    // names.csv, functab.wrl, DOSBox.config and the console capture.
    WriteTextLines(link("last.xml"), {"<VORL>"}, AtLink::Replace);
    CopyWorkFile(tmp / "src.cbl", link("workinp/FIL0000"), reporter);
    // A dangling link too: the copy must not create the file it names.
    ASSERT_EQ(symlink((elsewhere + "/new").c_str(), (out + "/workinp/FIL0001").c_str()), 0);
    CopyWorkFile(tmp / "src.cbl", out + "/workinp/FIL0001", reporter);
    RenameDirectivesInput csv;
    csv.renameVariables = true;
    csv.resultFolder = ExtractFileDir(link("workout/names.csv"));
    MergeRenameDirectives(csv, reporter);
    SaveWordList(link("functab.wrl"), CheckList{}, CheckList{}, AtLink::Replace);
    PutFile(tmp / "base.conf", "[autoexec]\r\n");
    link("DOSBox.config");
    WriteDosBoxConfig(out, tmp / "base.conf", "/tools/STEP.EXE");
    ToolProcess tool;
    ToolStartOptions options;
    options.captureFile = "Console.log";
    link("Console.log");
    std::string error;
    ASSERT_TRUE(tool.StartArgs({"/bin/echo", "captured"}, out, options, error)) << error;
    tool.WaitFor(-1);
    tool.Reap();

    for (const char* name :
         {"last.xml", "workinp/FIL0000", "workout/names.csv", "functab.wrl", "DOSBox.config", "Console.log"}) {
        EXPECT_EQ(ReadFileBytes(elsewhere + "/" + name), "not the run's") << name;
        EXPECT_FALSE(IsSymlink(out + "/" + name)) << name;
    }
    EXPECT_FALSE(Exists(elsewhere + "/new"));
    EXPECT_EQ(ReadFileBytes(out + "/workinp/FIL0001"), "source");
    EXPECT_EQ(ReadFileBytes(out + "/Console.log"), "captured\n");
    // Elsewhere, a link keeps its file: a project file kept as a link, say.
    ASSERT_EQ(symlink((elsewhere + "/last.xml").c_str(), (tmp / "project.srd").c_str()), 0);
    WriteTextLines(tmp / "project.srd", {"through"});
    EXPECT_EQ(ReadFileBytes(elsewhere + "/last.xml"), "through\r\n");
}

TEST(RunFilesInTheOutputDirectory, LinkedWorkFoldersAndProjectFilesAtTheirNamesRefuseTheRun) {
    // A work folder (or the copy library) that is a link to a folder elsewhere.
    for (const char* name : {"workinp", "workout", "work", "CopyLib"}) {
        TempDir tmp;
        const std::string out = tmp / "out", elsewhere = tmp / "elsewhere";
        ForceDirectories(elsewhere);
        ForceDirectories(out);
        ASSERT_EQ(symlink(elsewhere.c_str(), (out + "/" + name).c_str()), 0);
        RecordingReporter reporter;
        EXPECT_THROW(PrepareWorkArea(out, true, reporter), SilentAbort) << name;
        EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kWorkFolderIsLink, (out + "/" + name).c_str())});
        EXPECT_TRUE(ListDirectory(elsewhere).empty()) << name;
    }
    // names.csv would replace a checked rename-directive file, or a source.
    for (bool asCsv : {true, false}) {
        TempDir tmp;
        const std::string names = tmp / "out/workout/names.csv";
        PutFile(names, "OldName;NewName\r\nAB;CD\r\nrest\r\n");
        RenameDirectivesInput csv;
        csv.renameVariables = true;
        csv.resultFolder = tmp / "out/workout";
        if (asCsv) csv.csvFiles.push_back({names, true, true});
        else csv.keep.Add(names);
        RecordingReporter reporter;
        EXPECT_THROW(MergeRenameDirectives(csv, reporter), SilentAbort);
        EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kNamesCsvIsProjectFile, names.c_str())});
        EXPECT_EQ(ReadFileBytes(names), "OldName;NewName\r\nAB;CD\r\nrest\r\n");
    }
}

}  // namespace
}  // namespace korvane

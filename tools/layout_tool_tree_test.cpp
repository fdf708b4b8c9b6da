// The tool tree layout script, run in script mode over a hand-written tool
// settings file with stand-ins for the programs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include "shared/platform/files.h"
#include "shared/platform/process.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::TempDir;

namespace {

std::string Read(const std::string& path) {
    try {
        return ReadFileBytes(path);
    } catch (...) {
        return "<missing>";
    }
}

bool Executable(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        PutFile(dir_ / "progs/step", "STEP PROGRAM");
        PutFile(dir_ / "progs/scan", "SCAN PROGRAM");
        PutFile(dir_ / "progs/brelvin", "BRELVIN PROGRAM");
    }

    int RunLayout(bool withBrelvin = true) {
        std::vector<std::string> args = {
            KORVANE_CMAKE_COMMAND,
            "-DINI=" + (dir_ / "Korvane.INI"),
            "-DBIN_DIR=" + (dir_ / "build/bin"),
            "-DSRC_DIR=" + (dir_ / "build/_Korvane.Src"),
            "-DSTEP_PROGRAM=" + (dir_ / "progs/step"),
            "-DSCAN_PROGRAM=" + (dir_ / "progs/scan"),
            "-DBRELVIN_PROGRAM=" + (withBrelvin ? dir_ / "progs/brelvin" : std::string()),
            "-DMANIFEST=" + (dir_ / "build/manifest"),
            "-DSTAMP=" + (dir_ / "build/stamp"),
            "-P",
            KORVANE_LAYOUT_SCRIPT,
        };
        ToolProcess p;
        ToolStartOptions options;
        options.captureFile = dir_ / "cmake.log";
        std::string err;
        if (!p.StartArgs(args, dir_.path(), options, err)) {
            ADD_FAILURE() << err;
            return -1;
        }
        p.Reap();
        return WIFEXITED(p.WaitStatus()) ? WEXITSTATUS(p.WaitStatus()) : -1;
    }

    std::string Bin(const std::string& name) const { return dir_ / ("build/bin/" + name); }

    TempDir dir_{"korvane-layout"};
};

const char* const kIni =
    "[Languages]\r\n"
    "COB=Cobol,COB,\"\"\r\n"
    "COB.Scanner=SCANCOB.EXE\r\n"
    "COB.Functab=Y\r\n"
    "COB.Step01=Realign,REALIGN.EXE,JV1\r\n"
    "COB.Step02=\"Relocate File I/O statements\", sub\\RELOC.EXE ,JV2,Chain=brelvin\r\n"
    "cob.step01=Ignored,IGNORED.EXE,XX\r\n"
    "COB.Step03=Restructure,RESTR.EXE,NestingLevel=Y,JV3,XMLFlag=Restruct\r\n"
    "; a comment; with [brackets] = and semicolons\r\n"
    "JAV.Step01=Realign,JREALIGN,JV1\r\n"
    "JAV.Step1=Bad,BAD.EXE,X\r\n"
    "JAV.Step02=Short,ONLYTWO,Chain=brelvin\r\n"
    "JAV.Step03=After,AFTER.EXE,JV3\r\n"
    "JAV.Functab=N\r\n"
    "[Runcontrol]\r\n"
    "Runcontrol.CaptureLog=Y\r\n";

}  // namespace

TEST_F(Layout, MakesOneProgramPerStepAndTheScanner) {
    PutFile(dir_ / "Korvane.INI", kIni);
    ASSERT_EQ(RunLayout(), 0) << Read(dir_ / "cmake.log");

    struct Expect {
        const char* path;
        const char* content;
        bool executable;
    } expected[] = {
        {"COBVorl/REALIGN.EXE", "STEP PROGRAM", true},
        {"COBVorl/REALIGN.EXE.step", "Step=Realign\nResultExtension=JV1\n", false},
        {"COBVorl/sub/RELOC.EXE", "STEP PROGRAM", true},
        {"COBVorl/sub/RELOC.EXE.step", "Step=Relocate File I/O statements\nResultExtension=JV2\n", false},
        {"COBVorl/brelvin", "BRELVIN PROGRAM", true},
        {"COBVorl/RESTR.EXE.step", "Step=Restructure\nResultExtension=JV3\n", false},
        {"COBVorl/SCANCOB.EXE", "SCAN PROGRAM", true},
        {"COBVorl/FUNCTAB.COB", "", false},
        {"JAVVorl/JREALIGN.step", "Step=Realign\nResultExtension=JV1\n", false},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(Read(Bin(e.path)), e.content) << e.path;
        EXPECT_EQ(Executable(Bin(e.path)), e.executable) << e.path;
    }
    // First key wins (ignoring case); one-digit step numbers are no step keys;
    // a step with two positional items makes nothing, nor does its chain, and
    // ends the steps of its language.
    for (const char* absent : {"COBVorl/IGNORED.EXE", "JAVVorl/BAD.EXE", "JAVVorl/ONLYTWO", "JAVVorl/brelvin",
                               "JAVVorl/AFTER.EXE",
                               "JAVVorl/FUNCTAB.JAV"})
        EXPECT_FALSE(FileExists(Bin(absent))) << absent;
    EXPECT_EQ(Read(dir_ / "build/_Korvane.Src/Korvane.INI"), kIni);
    EXPECT_TRUE(FileExists(dir_ / "build/stamp"));
}

TEST_F(Layout, FollowsChangedSettings) {
    PutFile(dir_ / "Korvane.INI", kIni);
    ASSERT_EQ(RunLayout(), 0) << Read(dir_ / "cmake.log");
    ASSERT_TRUE(FileExists(Bin("COBVorl/RESTR.EXE")));
    // A function table the user filled in is kept.
    PutFile(Bin("COBVorl/FUNCTAB.COB"), "0001 04 INPT READ\r\n");

    std::string changed = std::string(kIni);
    changed.replace(changed.find("COB.Step03"), 10, "COB.Step09");
    changed.replace(changed.find("Realign,REALIGN.EXE,JV1"), 23, "Realign,REALIGN.EXE,NEW");
    PutFile(dir_ / "Korvane.INI", "COB.Step03=\r\n" + changed);
    ASSERT_EQ(RunLayout(), 0) << Read(dir_ / "cmake.log");
    EXPECT_EQ(Read(Bin("COBVorl/REALIGN.EXE.step")), "Step=Realign\nResultExtension=NEW\n");
    // Step03 is now empty: its program goes; Step09 is laid out all the same.
    EXPECT_FALSE(FileExists(Bin("COBVorl/RESTR.EXE")));
    EXPECT_FALSE(FileExists(Bin("COBVorl/RESTR.EXE.step")));
    EXPECT_EQ(Read(Bin("COBVorl/FUNCTAB.COB")), "0001 04 INPT READ\r\n");
    EXPECT_EQ(Read(dir_ / "build/_Korvane.Src/Korvane.INI"), "COB.Step03=\r\n" + changed);
}

TEST_F(Layout, MissingSettingsFileLaysOutNothing) {
    EXPECT_EQ(RunLayout(), 0);
    EXPECT_FALSE(DirectoryExists(dir_ / "build/bin"));
    EXPECT_FALSE(FileExists(dir_ / "build/stamp"));
    EXPECT_NE(Read(dir_ / "cmake.log").find("no tool settings file"), std::string::npos);
}

// Runs the built brelvin program the way the shell starts a step: in the
// output directory, with "last.xml" as argument, and looks at its standard
// output byte for byte, its exit status and the files it leaves.

#include "repair/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

using test::CrLf;
using test::ShellParameterFile;
using test::TempDir;

struct ProcessResult {
    int status = -1;
    std::string output;
};

ProcessResult RunBrelvin(const std::string& workingDir, const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> argv = {BRELVIN_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        if (::chdir(workingDir.c_str()) != 0) ::_exit(126);
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ProcessResult result;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0) result.output.append(buf, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return result;
}

const std::string kBrokenJava =
    "package app;\n"
    "\n"
    "class Main {\n"
    "    void run(int a, int b) {\n"
    "        if (a == b {\n"
    "            a = 0;\n"
    "        } else if (check(a) {\n"
    "            b = 0;\n"
    "        }\n"
    "    }\n"
    "}\n";
const std::string kRepairedJava = CrLf({
    "package app;",
    "",
    "class Main {",
    "    void run(int a, int b) {",
    "        if (a == b) {",
    "            a = 0;",
    "        } else if (check(a)) {",
    "            b = 0;",
    "        }",
    "    }",
    "}",
});

// An output directory whose path holds "&" and blanks, with the work copies
// of the checked sources in it.
class BrelvinProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = dir / "out & more/run 1";
        std::filesystem::create_directories(out);
    }
    std::string Out(const std::string& name) const { return out + "/" + name; }
    void WriteWorkCopy(const std::string& internalPath) { test::WriteFile(Out(internalPath), kBrokenJava); }
    bool Repaired(const std::string& internalPath, const std::string& stem) {
        return test::ReadFile(Out(internalPath)) == kRepairedJava &&
               test::ReadFile(Out(stem + ".eredeti.txt")) == CrLf({"package app;", "", "class Main {",
                                                                    "    void run(int a, int b) {",
                                                                    "        if (a == b {", "            a = 0;",
                                                                    "        } else if (check(a) {", "            b = 0;",
                                                                    "        }", "    }", "}"}) &&
               test::ReadFile(Out(stem + ".javitott.txt")) == kRepairedJava;
    }
    ProcessResult RunWith(const std::string& parameterText) {
        test::WriteFile(Out("last.xml"), parameterText);
        return RunBrelvin(out, {"last.xml"});
    }

    TempDir dir;
    std::string out;
};

TEST_F(BrelvinProcessTest, ThreeSourcesWithTheMiddleOneUnchecked) {
    // Sources at list positions 0, 1 and 2; the second is not checked, so its
    // number is missing from the parameter file.
    const std::string src0 = dir / "src & lib/My App/Main.java";
    const std::string src2 = dir / "src & lib/util/Str Util.java";
    ShellParameterFile file;
    file.productName = "R&D";
    file.outputDir = out;
    file.parameterLines = {"RelocateFile = \"N\"", "RestructCode = \"Y\"", "Brelvin = \"Y\""};
    file.funcTab = true;
    file.sources = {{0, src0}, {2, src2}};
    WriteWorkCopy("workinp/FIL0000");
    WriteWorkCopy("workinp/FIL0001");
    WriteWorkCopy("workinp/FIL0002");

    ProcessResult r = RunWith(file.Text());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Processing original file 1 " + src0 + " \r\n"
                        "Internal name workinp/FIL0000 \r\n"
                        "Processing original file 2 " + src2 + " \r\n"
                        "Internal name workinp/FIL0002 \r\n"
                        "2 files processed\r\n");
    EXPECT_TRUE(Repaired("workinp/FIL0000", "workinp/FIL0000"));
    EXPECT_TRUE(Repaired("workinp/FIL0002", "workinp/FIL0002"));
    EXPECT_EQ(test::ReadFile(Out("workinp/FIL0001")), kBrokenJava);
    EXPECT_FALSE(test::Exists(Out("workinp/FIL0001.eredeti.txt")));
}

TEST_F(BrelvinProcessTest, WindowsStylePathsAreUsedAsTheyAre) {
    // Here "workinp\FIL0000" is one file name in the output directory.
    test::WriteFile(Out("workinp\\FIL0000"), kBrokenJava);
    ProcessResult r = RunWith("<VORL><Files>\r\n"
                              "  <Orig_File_0000>C:\\src\\A.java</Orig_File_0000>\r\n"
                              "  <File_0000>workinp\\FIL0000</File_0000>\r\n"
                              "</Files></VORL>\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Processing original file 1 C:\\src\\A.java \r\n"
                        "Internal name workinp\\FIL0000 \r\n"
                        "1 files processed\r\n");
    EXPECT_TRUE(Repaired("workinp\\FIL0000", "workinp\\FIL0000"));
}

TEST_F(BrelvinProcessTest, LaterStepReadsFromWorkoutWithTheInputExtension) {
    ShellParameterFile file;
    file.outputDir = out;
    file.inputExtension = "JAV";
    file.sources = {{0, dir / "a&b/A.java"}};
    WriteWorkCopy("workout/FIL0000.JAV");
    ProcessResult r = RunWith(file.Text());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Processing original file 1 " + (dir / "a&b/A.java") + " \r\n"
                        "Internal name workout/FIL0000.JAV \r\n"
                        "1 files processed\r\n");
    EXPECT_TRUE(Repaired("workout/FIL0000.JAV", "workout/FIL0000"));
}

TEST_F(BrelvinProcessTest, BrokenPairsAndExtraElements) {
    ShellParameterFile file;
    file.outputDir = out;
    file.sources = {{0, "/s/A & B.java"}, {1, "/s/C.java"}};
    WriteWorkCopy("workinp/FIL0000");
    WriteWorkCopy("workinp/FIL0001");
    const std::string text = file.Text();

    // The last File_ line is missing: the pairs break off.
    std::string brokenOff = text;
    brokenOff.erase(brokenOff.find("  <File_0001>"), std::string("  <File_0001>workinp/FIL0001</File_0001>\r\n").size());
    ProcessResult r = RunWith(brokenOff);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Processing original file 1 /s/A & B.java \r\n"
                        "Internal name workinp/FIL0000 \r\n"
                        "Processing original file 2 /s/C.java \r\n"
                        "Invalid parameter file!\r\n"
                        "1 files processed\r\n");
    EXPECT_TRUE(Repaired("workinp/FIL0000", "workinp/FIL0000"));
    EXPECT_EQ(test::ReadFile(Out("workinp/FIL0001")), kBrokenJava);

    // A third element after the first pair that is no Orig_File_.
    std::string extra = text;
    extra.insert(extra.find("  <Orig_File_0001>"), "  <Note>x</Note>\r\n");
    r = RunWith(extra);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Processing original file 1 /s/A & B.java \r\n"
                        "Internal name workinp/FIL0000 \r\n"
                        "Invalid parameter file!\r\n"
                        "1 files processed\r\n");
    EXPECT_EQ(test::ReadFile(Out("workinp/FIL0001")), kBrokenJava);

    // No Files element at all (an empty source list).
    file.filesSection = false;
    r = RunWith(file.Text());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Invalid parameter file!\r\n0 files processed\r\n");
}

TEST_F(BrelvinProcessTest, AFileToRepairThatCannotBeRead) {
    ShellParameterFile file;
    file.outputDir = out;
    file.sources = {{0, "/s/A.java"}, {1, "/s/B.java"}, {2, "/s/C.java"}};
    WriteWorkCopy("workinp/FIL0000");
    std::filesystem::create_directories(Out("workinp/FIL0001"));  // a folder in place of the file
    WriteWorkCopy("workinp/FIL0002");
    ProcessResult r = RunWith(file.Text());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Processing original file 1 /s/A.java \r\n"
                        "Internal name workinp/FIL0000 \r\n"
                        "Processing original file 2 /s/B.java \r\n"
                        "Internal name workinp/FIL0001 \r\n"
                        "2 files processed\r\n"
                        "Error: Cannot open file \"workinp/FIL0001\". Is a directory\r\n");
    EXPECT_TRUE(Repaired("workinp/FIL0000", "workinp/FIL0000"));
    EXPECT_EQ(test::ReadFile(Out("workinp/FIL0002")), kBrokenJava);
    EXPECT_FALSE(test::Exists(Out("workinp/FIL0002.eredeti.txt")));
}

TEST_F(BrelvinProcessTest, ParameterFileProblems) {
    struct Case {
        const char* label;
        std::string text;
        int status;
        std::string output;
    };
    ShellParameterFile file;
    file.sources = {{0, "/s/A.java"}};
    std::string mismatched = file.Text();
    mismatched.replace(mismatched.find("</Directories>"), 14, "</Files>");
    for (const Case& c : std::vector<Case>{
             {"empty file", "", 1, "0 files processed\r\nError: List index out of bounds (-1)\r\n"},
             {"text without tags", "nothing here\n", 1, "0 files processed\r\nError: List index out of bounds (-1)\r\n"},
             {"mismatched closing tag", mismatched, 1, "Error: No matching tag found for </Files>!\r\n"},
             {"closing tag without element", "</VORL>\r\n", 1, "Error: List index out of bounds (0)\r\n"},
         }) {
        SCOPED_TRACE(c.label);
        ProcessResult r = RunWith(c.text);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.output, c.output);
    }
}

TEST(BrelvinProcess, NoArgumentOrNoUsableParameterFile) {
    TempDir dir;
    ProcessResult r = RunBrelvin(dir.Path(), {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Usage: brelvin <parameter file>\r\n");

    r = RunBrelvin(dir.Path(), {"last.xml", ">>", "Console.log"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Error: Cannot open file \"last.xml\". No such file or directory\r\n");

    std::filesystem::create_directory(dir / "folder.xml");
    r = RunBrelvin(dir.Path(), {"folder.xml"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Error: Cannot open file \"folder.xml\". Is a directory\r\n");

    if (::geteuid() != 0) {  // the superuser reads any file
        test::WriteFile(dir / "locked.xml", "<VORL></VORL>");
        ::chmod((dir / "locked.xml").c_str(), 0);
        r = RunBrelvin(dir.Path(), {"locked.xml"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.output, "Error: Cannot open file \"locked.xml\". Permission denied\r\n");
    }
}

}  // namespace
}  // namespace korvane

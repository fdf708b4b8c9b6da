// Runs the built reference tools as the shell runs them: in an output
// directory holding last.xml, with "last.xml" (and the capture arguments) on
// the command line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "shared/platform/files.h"
#include "shared/platform/process.h"
#include "shared/test_support.h"
#include "shared/text.h"
#include "repair/test_support.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;
namespace fs = std::filesystem;

namespace {

// last.xml as the shell writes it, line for line, with the steps' parameters.
std::string LastXml(const std::string& version, const std::string& outputDir,
                    const std::vector<test::ShellParameterFile::Source>& sources,
                    const std::string& inputExtension = "") {
    test::ShellParameterFile file;
    file.systemName = "SYS1";
    file.version = version;
    file.parameterLines = {"ReplaceLit  = \"Y\"", "Realign = \"Y\""};
    file.outputDir = outputDir;
    file.funcTab = true;
    file.sources = sources;
    file.inputExtension = inputExtension;
    return file.Text();
}

std::string Read(const std::string& path) {
    try {
        return ReadFileBytes(path);
    } catch (...) {
        return "<missing>";
    }
}

// A tool tree with copies of the step program and the scanner, and an output
// directory with copies of three sources.
class ToolRun : public ::testing::Test {
protected:
    void SetUp() override {
        out_ = dir_ / "out";
        tools_ = dir_ / "bin/COBVorl";
        ASSERT_TRUE(ForceDirectories(tools_));
        AddStep("REALIGN.EXE", "Step=Realign\r\nResultExtension=JV1\r\n");
        AddStep("REFINE.EXE", "Step=Refine\nResultExtension=JV2\n");
        CopyFileReplace(KORVANE_SCAN_PROGRAM, tools_ + "/SCANCOB.EXE");
        chmod((tools_ + "/SCANCOB.EXE").c_str(), 0755);
        PutFile(out_ + "/workinp/FIL0000", "first source\r\n");
        PutFile(out_ + "/workinp/FIL0002", "third source\r\n");
    }

    void AddStep(const std::string& name, const std::string& sidecar) {
        CopyFileReplace(KORVANE_STEP_PROGRAM, tools_ + "/" + name);
        chmod((tools_ + "/" + name).c_str(), 0755);
        if (!sidecar.empty()) PutFile(tools_ + "/" + name + ".step", sidecar);
    }

    void WriteLastXml(const std::string& inputExtension, const std::string& version = "COB85") {
        PutFile(out_ + "/last.xml", LastXml(version, out_, {{0, "/src/0.cbl"}, {2, "/src/2.cbl"}}, inputExtension));
    }

    // Starts the program as the shell does; the exit status, or nullopt when
    // it did not start.
    std::optional<int> Run(const std::string& program, const std::string& arguments = "last.xml",
                           const std::string& capture = "", bool append = true) {
        ToolProcess p;
        ToolStartOptions options;
        // Output not asked for goes to a file beside the run, not into the
        // test's own output.
        options.captureFile = capture.empty() ? dir_ / "tool-output.txt" : capture;
        options.captureAppend = append;
        std::string err;
        if (!p.Start("\"" + program + "\" " + arguments, out_, options, err)) {
            ADD_FAILURE() << err;
            return std::nullopt;
        }
        p.Reap();
        if (!WIFEXITED(p.WaitStatus())) return -1;
        return WEXITSTATUS(p.WaitStatus());
    }

    std::string Step(const std::string& name) const { return tools_ + "/" + name; }
    std::string Out(const std::string& name) const { return out_ + "/" + name; }

    TempDir dir_{"korvane-tools"};
    std::string out_, tools_;
};

}  // namespace

TEST_F(ToolRun, StepWritesOneResultPerSourceAndLogsIt) {
    WriteLastXml("");
    EXPECT_EQ(Run(Step("REALIGN.EXE")), 0);
    EXPECT_EQ(Read(Out("workout/FIL0000.JV1")), "first source\r\n");
    EXPECT_EQ(Read(Out("workout/FIL0002.JV1")), "third source\r\n");
    EXPECT_FALSE(FileExists(Out("workout/FIL0001.JV1")));
    EXPECT_EQ(Read(Out("workout/SYS1.LOG")),
              "Realign FIL0000 -> FIL0000.JV1\r\nRealign FIL0002 -> FIL0002.JV1\r\n");
    // No side files unless asked for.
    EXPECT_FALSE(FileExists(Out("workout/FIL0000.LIT")));
    EXPECT_FALSE(FileExists(Out("workout/FIL0000.CON")));

    // The next step reads the results through its input extension.
    WriteLastXml("JV1");
    EXPECT_EQ(Run(Step("REFINE.EXE")), 0);
    EXPECT_EQ(Read(Out("workout/FIL0002.JV2")), "third source\r\n");
    EXPECT_EQ(Read(Out("workout/SYS1.LOG")),
              "Realign FIL0000 -> FIL0000.JV1\r\nRealign FIL0002 -> FIL0002.JV1\r\n"
              "Refine FIL0000 -> FIL0000.JV2\r\nRefine FIL0002 -> FIL0002.JV2\r\n");
}

TEST_F(ToolRun, StepReadsBackslashPathsAndWorksInPlace) {
    std::string text = LastXml("COB85", out_, {{0, "C:\\src\\a.cbl"}});
    PutFile(Out("last.xml"), ReplaceAll(text, "workinp/FIL0000", "workinp\\FIL0000"));
    EXPECT_EQ(Run(Step("REALIGN.EXE")), 0);
    EXPECT_EQ(Read(Out("workout/FIL0000.JV1")), "first source\r\n");
    // Input and result the same file: left as it is.
    PutFile(Out("last.xml"), LastXml("COB85", out_, {{0, "a"}}, "JV1"));
    EXPECT_EQ(Run(Step("REALIGN.EXE")), 0);
    EXPECT_EQ(Read(Out("workout/FIL0000.JV1")), "first source\r\n");
}

TEST_F(ToolRun, StepTestBehavioursFromTheEnvironment) {
    WriteLastXml("");
    {
        ScopedEnv skip("KORVANE_STEP_SKIP", "fil0002");
        ScopedEnv side("KORVANE_STEP_SIDEFILES", "1");
        // Processor time spent per source changes nothing in what is written.
        ScopedEnv burn("KORVANE_STEP_BURN", "5");
        EXPECT_EQ(Run(Step("REALIGN.EXE")), 0);
    }
    EXPECT_EQ(Read(Out("workout/FIL0000.JV1")), "first source\r\n");
    EXPECT_FALSE(FileExists(Out("workout/FIL0002.JV1")));
    EXPECT_EQ(Read(Out("workout/FIL0000.LIT")), "Realign literals of FIL0000\r\n");
    EXPECT_EQ(Read(Out("workout/FIL0000.CON")), "Realign constants of FIL0000\r\n");
    EXPECT_FALSE(FileExists(Out("workout/FIL0002.LIT")));
    EXPECT_EQ(Read(Out("workout/SYS1.LOG")), "Realign FIL0000 -> FIL0000.JV1\r\nRealign FIL0002 skipped\r\n");

    // Sleeping: the process outlives a short wait, then finishes its work.
    ScopedEnv sleep("KORVANE_STEP_SLEEP", "0.6");
    ToolProcess p;
    std::string err;
    ASSERT_TRUE(p.Start("\"" + Step("REFINE.EXE") + "\" last.xml", out_, {}, err)) << err;
    EXPECT_FALSE(p.WaitFor(200));
    EXPECT_FALSE(FileExists(Out("workout/FIL0000.JV2")));
    EXPECT_TRUE(p.WaitFor(10000));
    p.Reap();
    EXPECT_TRUE(FileExists(Out("workout/FIL0000.JV2")));
}

TEST_F(ToolRun, CapturedConsoleOutputCollectsEveryStep) {
    WriteLastXml("");
    ScopedEnv echo("KORVANE_STEP_ECHO", "1");
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(Run(Step("REALIGN.EXE"), "last.xml >> Console.log", "Console.log", true), 0);
    const std::string once =
        "Realign argument 1: last.xml\n"
        "Realign argument 2: >>\n"
        "Realign argument 3: Console.log\n"
        "Realign FIL0000 -> FIL0000.JV1\n"
        "Realign FIL0002 -> FIL0002.JV1\n";
    EXPECT_EQ(Read(Out("Console.log")), once + once);
    // A scan run asks for the file to be overwritten.
    EXPECT_EQ(Run(Step("SCANCOB.EXE"), "last.xml > Console.log", "Console.log", false), 0);
    EXPECT_EQ(Read(Out("Console.log")), "Scanned 2 files: 0 new control words, 0 new objects\n");
}

TEST_F(ToolRun, StepFailures) {
    // Without its settings file the program does nothing.
    AddStep("NOSETTINGS.EXE", "");
    AddStep("HALFSETTINGS.EXE", "Step=Half\n");
    WriteLastXml("");
    EXPECT_EQ(Run(Step("NOSETTINGS.EXE")), 2);
    EXPECT_EQ(Run(Step("HALFSETTINGS.EXE")), 2);
    EXPECT_FALSE(DirectoryExists(Out("workout")));
    // A missing parameter file.
    EXPECT_EQ(Run(Step("REALIGN.EXE"), "other.xml"), 2);
    // A missing input: the others are still done.
    ASSERT_TRUE(DeleteFile(Out("workinp/FIL0000")));
    EXPECT_EQ(Run(Step("REALIGN.EXE")), 1);
    EXPECT_FALSE(FileExists(Out("workout/FIL0000.JV1")));
    EXPECT_TRUE(FileExists(Out("workout/FIL0002.JV1")));
    EXPECT_EQ(Read(Out("workout/SYS1.LOG")),
              "Realign FIL0000 missing input\r\nRealign FIL0002 -> FIL0002.JV1\r\n");
}

TEST_F(ToolRun, ScannerFindsCobolStatementsAndFileDescriptions) {
    PutFile(Out("workinp/FIL0000"),
            "       IDENTIFICATION DIVISION.\r\n"
            "       FILE SECTION.\r\n"
            "       FD  CUSTFILE.\r\n"
            "       01  CUST-REC PIC X(80).\r\n"
            "       fd  OUTFILE.\r\n"
            "       PROCEDURE DIVISION.\r\n"
            "      * DELETE in a comment line is no statement\r\n"
            "           OPEN INPUT CUSTFILE OUTPUT OUTFILE.\r\n"
            "           READ CUSTFILE AT END MOVE 1 TO EOF-FLAG END-READ.\r\n"
            "           DISPLAY \"REWRITE\" *> REWRITE in a comment\r\n"
            "           write OUT-REC.\r\n");
    PutFile(Out("workinp/FIL0002"), "           CLOSE CUSTFILE OUTFILE.\r\n           READ CUSTFILE.\r\n");
    WriteLastXml("");
    EXPECT_EQ(Run(Step("SCANCOB.EXE")), 0);
    EXPECT_EQ(Read(Out("functab.wrl")),
              "0001 04 FUNC OPEN\r\n"
              "0002 04 INPT READ\r\n"
              "0003 05 OTPT WRITE\r\n"
              "0004 05 FUNC CLOSE\r\n"
              "0005 08 OBJT CUSTFILE\r\n"
              "0006 07 OBJT OUTFILE\r\n");
}

TEST_F(ToolRun, ScannerKeepsTheEntriesAlreadyThereWithoutDuplicates) {
    PutFile(Out("workinp/FIL0000"), "       FD  CUSTFILE.\r\n           READ CUSTFILE.\r\n"
                                    "           REWRITE CUST-REC.\r\n");
    PutFile(Out("workinp/FIL0002"), "");
    PutFile(Out("functab.wrl"),
            "0001 04 INPT READ\r\n"
            "0002 08 LINK CALLPROG\r\n"
            "0003 04 INPT READ\r\n"
            "0004 07 OBJT OLDFILE\r\n"
            "0005 08 OBJT CUSTFILE\r\n");
    WriteLastXml("");
    const std::string expected =
        "0001 04 INPT READ\r\n"
        "0002 08 LINK CALLPROG\r\n"
        "0003 07 OTPT REWRITE\r\n"
        "0004 07 OBJT OLDFILE\r\n"
        "0005 08 OBJT CUSTFILE\r\n";
    EXPECT_EQ(Run(Step("SCANCOB.EXE")), 0);
    EXPECT_EQ(Read(Out("functab.wrl")), expected);
    // Scanning again changes nothing.
    EXPECT_EQ(Run(Step("SCANCOB.EXE")), 0);
    EXPECT_EQ(Read(Out("functab.wrl")), expected);
    // A source that cannot be read is reported by the exit status only.
    ASSERT_TRUE(DeleteFile(Out("workinp/FIL0002")));
    EXPECT_EQ(Run(Step("SCANCOB.EXE")), 1);
    EXPECT_EQ(Read(Out("functab.wrl")), expected);
}

TEST_F(ToolRun, ScannerFindsCAndJavaCalls) {
    struct Case {
        const char* version;
        const char* source;
        const char* expected;
    } cases[] = {
        {"C",
         "#include <stdio.h>\n"
         "int main(void) {\n"
         "    FILE *in = fopen(\"cust.dat\", \"rb\");  /* fwrite( in a comment */\n"
         "    char buf[80];\n"
         "    fread(buf, 1, sizeof buf, in);\n"
         "    fprintf(stderr, \"fscanf(\\\"x\\\") is only text\\n\");\n"
         "    // fwrite(buf, 1, 1, out);\n"
         "    fclose(in);\n"
         "    s.fopen(x); int fopenx(void); fscanf (in, \"%d\", &n);\n"
         "}\n",
         "0001 05 FUNC fopen\r\n"
         "0002 05 INPT fread\r\n"
         "0003 07 OTPT fprintf\r\n"
         "0004 06 FUNC fclose\r\n"
         "0005 06 INPT fscanf\r\n"
         "0006 08 OBJT cust.dat\r\n"},
        {"JAV",
         "import java.io.*;\n"
         "class A {\n"
         "  void run(File f) throws IOException {\n"
         "    InputStream in = new FileInputStream(\"in.txt\");\n"
         "    BufferedReader r = new BufferedReader(new FileReader(f));\n"
         "    List<String> l = Files.readAllLines(Paths.get(\"data.csv\"));\n"
         "    Files.writeString(Path.of(\"out.csv\"), \"x\");\n"
         "    Writer w = new FileWriter(new File(\"log.txt\"));\n"
         "    // new FileOutputStream(\"commented.txt\");\n"
         "    String s = \"new FileOutputStream(\\\"text.txt\\\")\";\n"
         "  }\n"
         "}\n",
         "0001 15 INPT FileInputStream\r\n"
         "0002 14 INPT BufferedReader\r\n"
         "0003 10 INPT FileReader\r\n"
         "0004 18 INPT Files.readAllLines\r\n"
         "0005 17 OTPT Files.writeString\r\n"
         "0006 10 OTPT FileWriter\r\n"
         "0007 06 OBJT in.txt\r\n"
         "0008 08 OBJT data.csv\r\n"
         "0009 07 OBJT out.csv\r\n"
         "0010 07 OBJT log.txt\r\n"},
    };
    for (const auto& c : cases) {
        PutFile(Out("workinp/FIL0000"), c.source);
        PutFile(Out("workinp/FIL0002"), "");
        DeleteFile(Out("functab.wrl"));
        WriteLastXml("", c.version);
        EXPECT_EQ(Run(Step("SCANCOB.EXE")), 0) << c.version;
        EXPECT_EQ(Read(Out("functab.wrl")), c.expected) << c.version;
    }
}

#include "shell/run/parameter_file.h"

#include <gtest/gtest.h>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

std::string Sp(int n) { return std::string(size_t(n), ' '); }

// The fixed head of every file, lines 1 to 9, for the names P/S and version V.
std::string Head(const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>" + Sp(17) + "\r\n" +
           "<!--DOCTYPE KORVANE SYSTEM \"Vorl.dtd\"-->" + Sp(11) + "\r\n" +
           "<VORL>" + Sp(46) + "\r\n" +
           " <Names" + Sp(49) + "\r\n"
           "  ProductName = \"Prod\"\r\n"
           "  SystemName  = \"Sys\"\r\n"
           "  Version     = \"" + version + "\"\r\n"
           " />\r\n"
           " <Parameters\r\n";
}

std::string Directories(const std::string& out, const std::string& optional1 = "",
                        const std::string& optional2 = "") {
    return " /> \r\n"
           " <Directories>\r\n"
           "  <Orig_Output_Dir>" + out + "</Orig_Output_Dir>\r\n"
           "  <Input_Dir>workinp</Input_Dir>\r\n"
           "  <Output_Dir>workout</Output_Dir>\r\n" +
           optional1 +
           "  <Work_Dir>work</Work_Dir>\r\n" +
           optional2 +
           " </Directories>\r\n";
}

class ParameterFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = tmp / "out";
        ForceDirectories(out);
        a = tmp / "src/a.cbl";
        b = tmp / "src/b.cbl";
        c = tmp / "src/c.cbl";
        for (const auto& p : {a, b, c}) PutFile(p, "x");
        in.productName = "Prod";
        in.systemName = "Sys";
        in.projectVersion = "COB";
        in.languageVersion = "COB85";
        in.outputDir = out;
        in.showSourceTab = [this] { ++sourceTabShown; };
    }

    std::string Written() { return ReadFileBytes(out + "/last.xml"); }

    TempDir tmp;
    std::string out, a, b, c;
    ParameterFileInput in;
    std::vector<std::string> lines;
    std::vector<std::string> nameMap;
    RecordingReporter reporter;
    int sourceTabShown = 0;
};

TEST_F(ParameterFileTest, LanguageWithoutStepsAndWithoutSources) {
    in.languageVersion = "";  // no dialect: the language prefix is the version
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_EQ(Written(), Head("COB") + Directories(out) + "</VORL>\r\n");
    EXPECT_TRUE(nameMap.empty());
}

TEST_F(ParameterFileTest, CheckedSourcesKeepTheirListPositions) {
    in.sources = {{a, true}, {b, false}, {c, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_EQ(Written(), Head("COB85") + Directories(out) +
                             " <Files>\r\n"
                             "  <Orig_File_0000>" + a + "</Orig_File_0000>\r\n"
                             "  <File_0000>workinp/FIL0000</File_0000>\r\n"
                             "  <Orig_File_0002>" + c + "</Orig_File_0002>\r\n"
                             "  <File_0002>workinp/FIL0002</File_0002>\r\n"
                             " </Files>\r\n"
                             "</VORL>\r\n");
    EXPECT_EQ(nameMap, (std::vector<std::string>{"FIL0000=" + a, "Copy0000=" + out + "/workinp/FIL0000",
                                                 "FIL0002=" + c, "Copy0002=" + out + "/workinp/FIL0002"}));
    EXPECT_EQ(JoinLinesCrLf(lines), Written());
}

TEST_F(ParameterFileTest, InputExtensionChoosesTheFolderOfTheCopies) {
    in.sources = {{a, true}, {b, false}, {c, true}};
    struct Case {
        const char* ext;
        const char* file0;
        const char* file2;
    } cases[] = {
        {"NEW", "workout/FIL0000.NEW", "workout/FIL0002.NEW"},
        {"*", "workinp/FIL0000", "workinp/FIL0002"},
        {"", "workinp/FIL0000", "workinp/FIL0002"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.ext);
        WriteParameterFile(in, k.ext, lines, nullptr, reporter);
        std::string text = Written();
        EXPECT_NE(text.find(std::string("  <File_0000>") + k.file0 + "</File_0000>\r\n"), std::string::npos);
        EXPECT_NE(text.find(std::string("  <File_0002>") + k.file2 + "</File_0002>\r\n"), std::string::npos);
    }
    EXPECT_EQ(InternalPath(12345, ""), "workinp/FIL12345");
    EXPECT_EQ(InternalPath(7, "x"), "workout/FIL0007.x");
}

TEST_F(ParameterFileTest, NameMapIsFilledOnlyByTheFirstWriting) {
    in.sources = {{a, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    ASSERT_EQ(nameMap.size(), 2u);
    WriteParameterFile(in, "NEW", lines, &nameMap, reporter);
    EXPECT_EQ(nameMap.size(), 2u);
}

TEST_F(ParameterFileTest, ParameterLinesFollowShownRows) {
    in.rows = {
        {"CopyAdd", "CopyAdd", false, true},                    // not shown: no line at all
        {"Realign", "Realign", true, true},
        {"ReplaceLiterals", "ReplaceLiterals", true, false},    // line 11 and a line 15
        {"RefactorNestedBlocks", "NESTLEV", true, false},       // level written although unchecked
        {"ReplaceNumericConstants", "RNC", true, true},
        {"Restructure", "Restructure", false, true},
        {"RelocateFiles", "RelocateFiles", true, true},
    };
    in.refactorLevelIndex = 2;
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_EQ(Written(), Head("COB85") +
                             "  ReplaceCon  = \"Y\"\r\n"
                             "  ReplaceLit  = \"N\"\r\n"
                             "  RelocateFile = \"Y\"\r\n"
                             "  RefactorLev  = \"3\"\r\n"
                             "  Realign = \"Y\"\r\n"
                             "  ReplaceLiterals = \"N\"\r\n"
                             "  NESTLEV = \"N\"\r\n"
                             "  RNC = \"Y\"\r\n"
                             "  RelocateFiles = \"Y\"\r\n" +
                             Directories(out) + "</VORL>\r\n");
    in.refactorLevelIndex = -1;
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_NE(Written().find("  RefactorLev  = \"0\"\r\n"), std::string::npos);
}

TEST_F(ParameterFileTest, OptionalDirectoriesFollowTheirOptions) {
    in.copyAdd = true;
    in.renameVariables = true;
    in.wordScanShown = true;
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_EQ(Written(), Head("COB85") +
                             Directories(out,
                                         "  <Copy_Dir>CopyLib</Copy_Dir>\r\n"
                                         "  <Name_Tab>names.csv</Name_Tab>\r\n",
                                         "  <Func_Tab>functab.wrl</Func_Tab>\r\n") +
                             "</VORL>\r\n");
    in.copyAdd = false;
    in.wordScanShown = false;
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_EQ(Written(), Head("COB85") + Directories(out, "  <Name_Tab>names.csv</Name_Tab>\r\n") + "</VORL>\r\n");
}

TEST_F(ParameterFileTest, NothingIsEscaped) {
    std::string odd = tmp / "src/R&D <\"x\">.cbl";
    PutFile(odd, "x");
    in.productName = "A&B";
    in.sources = {{odd, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    std::string text = Written();
    EXPECT_NE(text.find("  ProductName = \"A&B\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("  <Orig_File_0000>" + odd + "</Orig_File_0000>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("&amp;"), std::string::npos);
}

TEST_F(ParameterFileTest, TrailingSeparatorOfTheOutputDirectoryIsDropped) {
    in.outputDir = out + "/";
    in.sources = {{a, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_NE(Written().find("<Orig_Output_Dir>" + out + "</Orig_Output_Dir>"), std::string::npos);
    EXPECT_EQ(nameMap[1], "Copy0000=" + out + "/workinp/FIL0000");
}

TEST_F(ParameterFileTest, MissingSourceSavesNothing) {
    PutFile(out + "/last.xml", "old");
    in.sources = {{a, true}, {tmp / "src/gone.cbl", true}, {c, true}};
    EXPECT_THROW(WriteParameterFile(in, "", lines, &nameMap, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{"File " + tmp / "src/gone.cbl" + " is not available"});
    EXPECT_FALSE(reporter.entries[0].cont);
    EXPECT_EQ(sourceTabShown, 1);
    EXPECT_EQ(Written(), "old");
    // What was produced up to the missing file stays.
    EXPECT_EQ(nameMap.size(), 2u);
    EXPECT_EQ(lines.back(), "  <File_0000>workinp/FIL0000</File_0000>");
}

TEST_F(ParameterFileTest, UncheckedMissingSourceIsNoProblem) {
    in.sources = {{tmp / "src/gone.cbl", false}, {a, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    EXPECT_TRUE(reporter.entries.empty());
    EXPECT_EQ(nameMap[0], "FIL0001=" + a);
}

TEST_F(ParameterFileTest, WritingAgainGivesTheSameBytes) {
    in.sources = {{a, true}};
    WriteParameterFile(in, "", lines, &nameMap, reporter);
    std::string first = Written();
    PutFile(out + "/last.xml", "changed");
    WriteParameterFileAgain(out, lines);
    EXPECT_EQ(Written(), first);
}

TEST_F(ParameterFileTest, EmptyOutputDirectoryIsRefused) {
    in.outputDir = "";
    in.sources = {{a, true}};
    EXPECT_THROW(WriteParameterFile(in, "", lines, &nameMap, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{"You should specify the output directory first"});
    EXPECT_TRUE(nameMap.empty());
}

}  // namespace
}  // namespace korvane

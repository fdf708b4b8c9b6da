#include "repair/if_repair.h"

#include "repair/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace korvane {
namespace {

using test::CrLf;
using test::TempDir;

struct RepairCase {
    const char* label;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

class CloseIfConditionsTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(CloseIfConditionsTest, Repairs) {
    EXPECT_EQ(CloseIfConditions(CrLf(GetParam().before)), CrLf(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CloseIfConditionsTest,
    ::testing::Values(
        RepairCase{"DepthOneAtTheBrace", {"    if (a == b {"}, {"    if (a == b) {"}},
        RepairCase{"ParenthesisGoesBeforeTheLineBreak", {"    if (x", "    {"}, {"    if (x)", "    {"}},
        RepairCase{"NestedGroups", {"    if ((a > 0) && (b < 1) {"}, {"    if ((a > 0) && (b < 1)) {"}},
        RepairCase{"BalancedIsUnchanged", {"    if (ok) {"}, {"    if (ok) {"}},
        RepairCase{"SemicolonEndsTheCondition", {"    if (ok) return;", "    {"}, {"    if (ok) return;", "    {"}},
        RepairCase{"NegativeDepthRemovesNothing", {"    if (a)) {"}, {"    if (a)) {"}},
        RepairCase{"ElseIf", {"    } else if (f(x) {"}, {"    } else if (f(x)) {"}},
        RepairCase{"NoSpaceBeforeParenthesis", {"    x = 1; if(a {"}, {"    x = 1; if(a {"}},
        RepairCase{"ConditionAtTheVeryStart", {" if (a {"}, {" if (a) {"}},
        RepairCase{"TwoMissing", {"    if ((a {"}, {"    if ((a)) {"}},
        RepairCase{"BlankLinesBetweenConditionAndBrace", {"    if (a", "", "  ", "{"}, {"    if (a)", "", "  ", "{"}},
        RepairCase{"TabBeforeIfStartsNothing", {"\tif (a {"}, {"\tif (a {"}},
        RepairCase{"IfAtLineStartStartsNothing", {"if (a {"}, {"if (a {"}},
        RepairCase{"UpperCaseIfStartsNothing", {"    IF (a {"}, {"    IF (a {"}},
        RepairCase{"StringsAreNotSkipped", {"    s = \" if (\"; t = 1 {"}, {"    s = \" if (\"; t = 1 {"}},
        RepairCase{"ParenthesisInStringCounts", {"    if (s.equals(\"(\") {"}, {"    if (s.equals(\"(\"))) {"}},
        RepairCase{"CommentTextCounts", {"    // see if (x", "    {"}, {"    // see if (x)", "    {"}},
        RepairCase{"InnerIfResetsTheDepth", {"    if ((a if (b {"}, {"    if ((a if (b) {"}},
        RepairCase{"OneConditionPerIf", {"    if (a {", "    }", "    if (b) {", "    if (c {"},
                   {"    if (a) {", "    }", "    if (b) {", "    if (c) {"}},
        RepairCase{"BraceWithoutIfIsLeftAlone", {"    while (a {"}, {"    while (a {"}},
        RepairCase{"HighBytesCountAsCharacters", {"    if (\xE9", "{"}, {"    if (\xE9)", "{"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CloseIfConditions, TextWithoutConditionIsUnchanged) {
    for (std::string text : {std::string(), std::string("\r\n"), std::string("class A {}\r\n"),
                             std::string("a\0b if\r\n", 8)}) {
        EXPECT_EQ(CloseIfConditions(text), text);
    }
    // Without any line end around.
    EXPECT_EQ(CloseIfConditions(" if (a{"), " if (a){");
    EXPECT_EQ(CloseIfConditions("x if "), "x if ");
    EXPECT_EQ(CloseIfConditions("if (a {"), "if (a {");
}

TEST(ChangeFileExt, ReplacesFromTheLastDotOfTheNameOrAppends) {
    struct Case {
        const char* path;
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{
             {"workinp/FIL0000", "workinp/FIL0000.eredeti.txt"},
             {"workinp\\FIL0000", "workinp\\FIL0000.eredeti.txt"},  // one name here
             {"workout\\FIL0000.JAV", "workout\\FIL0000.eredeti.txt"},
             {"workout/FIL0000.JAV", "workout/FIL0000.eredeti.txt"},
             {"work.dir/FIL0000", "work.dir/FIL0000.eredeti.txt"},
             {"a/b.tar.gz", "a/b.tar.eredeti.txt"},
             {"name.", "name.eredeti.txt"},
             {"", ".eredeti.txt"},
         }) {
        EXPECT_EQ(ChangeFileExt(c.path, ".eredeti.txt"), c.expected) << c.path;
    }
}

// --- RepairFile ---------------------------------------------------------------

TEST(RepairFile, WritesBackupRepairedFileAndCorrectedCopy) {
    struct Case {
        const char* label;
        std::string original;
        std::string asRead;    // the backup: every line ended by CR LF
        std::string repaired;  // the file and the corrected copy
    };
    for (const Case& c : std::vector<Case>{
             {"lf", "class A {\n    void f() {\n        if (a == b {\n        }\n    }\n}\n",
              "class A {\r\n    void f() {\r\n        if (a == b {\r\n        }\r\n    }\r\n}\r\n",
              "class A {\r\n    void f() {\r\n        if (a == b) {\r\n        }\r\n    }\r\n}\r\n"},
             {"cr only, no last line end", "x\r    if (a\r    {\r}", "x\r\n    if (a\r\n    {\r\n}\r\n",
              "x\r\n    if (a)\r\n    {\r\n}\r\n"},
             {"no condition, last line without end", "a\r\nb", "a\r\nb\r\n", "a\r\nb\r\n"},
             {"empty file", "", "", ""},
             {"nul bytes", std::string("\0 if (\0 {\n", 10), std::string("\0 if (\0 {\r\n", 11),
              std::string("\0 if ()\0 {\r\n", 12)},
         }) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        const std::string file = dir / "work/FIL0000.JAV";
        test::WriteFile(file, c.original);
        test::WriteFile(dir / "work/FIL0000.eredeti.txt", "an older backup that is replaced");
        RepairFile(file);
        EXPECT_EQ(test::ReadFile(dir / "work/FIL0000.eredeti.txt"), c.asRead);
        EXPECT_EQ(test::ReadFile(file), c.repaired);
        EXPECT_EQ(test::ReadFile(dir / "work/FIL0000.javitott.txt"), c.repaired);
    }
}

TEST(RepairFile, KeepsThePermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string file = dir / "FIL0001";
    test::WriteFile(file, " if (a {\n");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    RepairFile(file);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"FIL0001", "FIL0001.eredeti.txt", "FIL0001.javitott.txt"}));
}

// A file that cannot be read, or whose backup cannot be written, is an
// error; nothing is written and the file stays as it was.
TEST(RepairFile, FailuresLeaveTheFileAsItWas) {
    for (bool fileThere : {false, true}) {
        TempDir dir;
        std::string message = "Cannot open file \"" + (dir / "FIL0000") + "\". No such file or directory";
        if (fileThere) {
            test::WriteFile(dir / "FIL0000", " if (a {\n");
            std::filesystem::create_directory(dir / "FIL0000.eredeti.txt");  // in the way of the backup
            message = "Cannot create file \"" + (dir / "FIL0000.eredeti.txt") + "\". Is a directory";
        }
        try {
            RepairFile(dir / "FIL0000");
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        if (fileThere) {
            EXPECT_EQ(test::ReadFile(dir / "FIL0000"), " if (a {\n");
        }
        EXPECT_FALSE(test::Exists(dir / "FIL0000.javitott.txt"));
        EXPECT_EQ(test::Exists(dir / "FIL0000.eredeti.txt"), fileThere);
    }
}

TEST(RepairFile, HugeLinesAndAHundredMegabyteFile) {
    TempDir dir;
    // One line of ten million characters, missing its ")" at the very end.
    std::string line = " if (" + std::string(10'000'000, 'x') + " {";
    test::WriteFile(dir / "long", line);
    RepairFile(dir / "long");
    std::string repaired = test::ReadFile(dir / "long");
    ASSERT_EQ(repaired.size(), line.size() + 3);
    EXPECT_EQ(repaired.substr(repaired.size() - 6), "x) {\r\n");

    // About 100 MB of LF lines, every tenth condition broken.
    const std::string good = "        if (count > limit) {\n            count = 0;\n        }\n";
    const std::string bad = "        if (count > limit {\n            count = 0;\n        }\n";
    std::string text;
    text.reserve(101'000'000);
    int broken = 0;
    for (int i = 0; text.size() < 100'000'000; ++i) {
        bool isBad = i % 10 == 0;
        broken += isBad;
        text += isBad ? bad : good;
    }
    test::WriteFile(dir / "big", text);
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    const size_t size = text.size();
    text.clear();
    text.shrink_to_fit();
    RepairFile(dir / "big");
    EXPECT_EQ(std::filesystem::file_size(dir / "big.eredeti.txt"), size + lines);
    EXPECT_EQ(std::filesystem::file_size(dir / "big"), size + lines + static_cast<size_t>(broken));
    EXPECT_EQ(std::filesystem::file_size(dir / "big.javitott.txt"), size + lines + static_cast<size_t>(broken));
    std::string head = test::ReadFile(dir / "big").substr(0, 200);
    EXPECT_EQ(head.substr(0, 30), "        if (count > limit) {\r\n");
}

TEST(RepairFile, WritesTheRepairedTextInPiecesAsOneText) {
    // Far more repairs than one write takes pieces, and a condition deeper
    // than one piece of ")" holds: the file and its copy are still the text
    // CloseIfConditions gives.
    std::string text;
    size_t missing = 0;
    for (size_t i = 0; i < 300; ++i) {
        text += " if (a" + std::string(i % 7, '(') + " {\r\n";
        missing += 1 + i % 7;
    }
    text += " if " + std::string(10'000, '(') + "x \t {\r\n";
    missing += 10'000;
    TempDir dir;
    test::WriteFile(dir / "F", text);
    RepairFile(dir / "F");
    const std::string expected = CloseIfConditions(text);
    ASSERT_EQ(expected.size(), text.size() + missing);
    EXPECT_EQ(test::ReadFile(dir / "F"), expected);
    EXPECT_EQ(test::ReadFile(dir / "F.javitott.txt"), expected);
    EXPECT_NE(expected.find("x" + std::string(10'000, ')') + " \t {"), std::string::npos);
}

}  // namespace
}  // namespace korvane

#include "repair/xml_node_list.h"

#include "repair/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane {
namespace {

using test::CrLf;
using test::ShellParameterFile;
using test::TempDir;

struct NodeDesc {
    int level;
    std::string name;
    std::string value;
    bool operator==(const NodeDesc&) const = default;
};

void PrintTo(const NodeDesc& d, std::ostream* os) { *os << d.level << ":" << d.name << "=[" << d.value << "]"; }

std::vector<NodeDesc> Describe(const TMyXMLNodeList& list) {
    std::vector<NodeDesc> result;
    for (int i = 0; i < list.Count(); ++i) {
        const TMyXMLNode& node = list.NodeAt(i);
        result.push_back({node.Level(), std::string(node.Name()), node.Value()});
    }
    return result;
}

std::vector<NodeDesc> Condensed(std::string_view text) {
    TMyXMLNodeList list;
    list.ParseText(text, true);
    return Describe(list);
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

ShellParameterFile TwoSources() {
    ShellParameterFile file;
    file.outputDir = "/home/user/out";
    file.sources = {{0, "/src/A.java"}, {1, "/src/B.java"}};
    return file;
}

// --- The shell's parameter file ---------------------------------------------

struct ShellFileCase {
    const char* label;
    bool copyDir, nameTab, funcTab;
    std::vector<std::string> parameterLines;
};

class ShellParameterFileTest : public ::testing::TestWithParam<ShellFileCase> {};

TEST_P(ShellParameterFileTest, CondensesToTheElementsWithTheirLevelsAndValues) {
    const ShellFileCase& c = GetParam();
    ShellParameterFile file = TwoSources();
    file.copyDir = c.copyDir;
    file.nameTab = c.nameTab;
    file.funcTab = c.funcTab;
    file.parameterLines = c.parameterLines;

    std::vector<NodeDesc> expected = {
        {0, "VORL", ""}, {1, "Names", ""}, {1, "Parameters", ""}, {1, "Directories", ""},
        {2, "Orig_Output_Dir", "/home/user/out"}, {2, "Input_Dir", "workinp"}, {2, "Output_Dir", "workout"},
    };
    if (c.copyDir) expected.push_back({2, "Copy_Dir", "CopyLib"});
    if (c.nameTab) expected.push_back({2, "Name_Tab", "names.csv"});
    expected.push_back({2, "Work_Dir", "work"});
    if (c.funcTab) expected.push_back({2, "Func_Tab", "functab.wrl"});
    expected.insert(expected.end(), {
        {1, "Files", ""},
        {2, "Orig_File_0000", "/src/A.java"}, {2, "File_0000", "workinp/FIL0000"},
        {2, "Orig_File_0001", "/src/B.java"}, {2, "File_0001", "workinp/FIL0001"},
    });
    EXPECT_EQ(Condensed(file.Text()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ShellParameterFileTest,
    ::testing::Values(
        ShellFileCase{"Plain", false, false, false, {}},
        ShellFileCase{"AllOptionalFolders", true, true, true,
                      {"ReplaceCon  = \"Y\"", "ReplaceLit  = \"N\"", "RelocateFile = \"N\"", "RefactorLev  = \"3\"",
                       "RestructCode = \"Y\"", "ReplaceLiterals = \"N\"", "Brelvin = \"Y\""}},
        ShellFileCase{"CopiesOnly", true, false, false, {"RestructCode = \"N\""}},
        ShellFileCase{"MacroTableOnly", false, false, true, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ShellParameterFile, MultiLineTagsBecomeOneTagTextWithOneSpaceBeforeEachAttribute) {
    ShellParameterFile file = TwoSources();
    file.productName = "P & Q";
    file.parameterLines = {"ReplaceCon  = \"Y\"", "RefactorLev  = \"0\""};
    TMyXMLNodeList list;
    list.ParseText(file.Text(), true);
    EXPECT_EQ(list.NodeAt(1).TagText(), "<Names ProductName=\"P & Q\" SystemName=\"SYSTEM\" Version=\"Java\">");
    EXPECT_EQ(list.NodeAt(2).TagText(), "<Parameters ReplaceCon=\"Y\" RefactorLev=\"0\">");
    EXPECT_EQ(list.NodeAt(2).Name(), "Parameters");
}

TEST(ShellParameterFile, BeforeCondensingTheDeclarationAndCommentAreNodesWithoutName) {
    TMyXMLNodeList list;
    list.ParseText(TwoSources().Text(), false);
    ASSERT_GE(list.Count(), 3);
    EXPECT_EQ(list.NodeAt(0).TagText(), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    EXPECT_EQ(list.NodeAt(1).TagText(), "<!--DOCTYPE KORVANE SYSTEM \"Vorl.dtd\"-->");
    EXPECT_EQ(list.NodeAt(0).Name(), "");
    EXPECT_EQ(list.NodeAt(1).Name(), "");
    EXPECT_EQ(list.NodeAt(2).Name(), "VORL");
    EXPECT_EQ(list.NodeAt(list.Count() - 1).TagText(), "</VORL>");
    EXPECT_EQ(list.NodeAt(list.Count() - 1).Level(), 0);
}

// --- Navigation --------------------------------------------------------------

TEST(Navigation, FirstChildOfFilesThenSiblingsUntilTheRangeEnds) {
    for (bool levelOneNodeAfterFiles : {false, true}) {
        SCOPED_TRACE(levelOneNodeAfterFiles);
        std::string text = TwoSources().Text();
        // A following element with a child on the level of the pairs: the
        // range has ended before it.
        if (levelOneNodeAfterFiles) text.insert(text.find("</VORL>"), " <Extra><Note>n</Note></Extra>\r\n");
        TMyXMLNodeList list;
        list.ParseText(text, true);
        ASSERT_TRUE(list.FindByName("Files"));
        EXPECT_EQ(list.CurrentLevel(), 1);
        ASSERT_TRUE(list.FirstChild(-1));
        EXPECT_EQ(list.CurrentNode().Name(), "Orig_File_0000");
        EXPECT_EQ(list.CurrentLevel(), 2);
        std::vector<std::string> visited;
        while (list.NextSibling()) visited.emplace_back(list.CurrentNode().Name());
        EXPECT_EQ(visited, (std::vector<std::string>{"File_0000", "Orig_File_0001", "File_0001"}));
        EXPECT_EQ(list.CurrentNode().Name(), "File_0001") << "a failed NextSibling leaves the cursor";
    }
}

TEST(Navigation, FirstChildFailsWithoutADeeperNextNodeAndLeavesTheCursor) {
    TMyXMLNodeList list;
    list.ParseText("<r><a>1</a><Files></Files><b/></r>", true);
    ASSERT_TRUE(list.FindByName("Files"));
    int files = list.CurrentPosition();
    EXPECT_FALSE(list.FirstChild(-1));
    EXPECT_EQ(list.CurrentPosition(), files);
    EXPECT_TRUE(list.FirstChild(0));  // the root's first child, by position
    EXPECT_EQ(list.CurrentNode().Name(), "a");
    EXPECT_FALSE(list.FirstChild(list.Count() - 1));  // the last node has nothing after it
}

TEST(Navigation, GoToClampsThePositionAndTakesTheNodesLevel) {
    TMyXMLNodeList list;
    list.ParseText(TwoSources().Text(), true);
    list.GoTo(-7);
    EXPECT_EQ(list.CurrentPosition(), 0);
    EXPECT_EQ(list.CurrentLevel(), 0);
    list.GoTo(1000);
    EXPECT_EQ(list.CurrentPosition(), list.Count() - 1);
    EXPECT_EQ(list.CurrentLevel(), 2);
    list.GoTo(3);
    EXPECT_EQ(list.CurrentNode().Name(), "Directories");
    EXPECT_EQ(list.CurrentLevel(), 1);
}

TEST(Navigation, FindByNameSearchesTheCurrentRangeOnly) {
    TMyXMLNodeList list;
    list.ParseText(TwoSources().Text(), true);

    // From the start the whole list is searched, deeper levels included.
    ASSERT_TRUE(list.FindByName("Work_Dir"));
    EXPECT_EQ(list.CurrentLevel(), 2);

    // Inside Directories the range ends where Directories ends.
    int workDir = list.CurrentPosition();
    EXPECT_FALSE(list.FindByName("Orig_File_0000"));
    EXPECT_EQ(list.CurrentPosition(), workDir);
    // ... and starts right after Directories, so earlier siblings are found.
    EXPECT_TRUE(list.FindByName("Orig_Output_Dir"));

    // On level 1 the siblings' descendants are searched as well.
    list.GoTo(1);  // Names
    EXPECT_TRUE(list.FindByName("File_0001"));
    EXPECT_EQ(list.CurrentNode().Value(), "workinp/FIL0001");

    // Names compare case-sensitively.
    list.GoTo(0);
    EXPECT_FALSE(list.FindByName("files"));
    EXPECT_FALSE(list.FindByName("FILES"));
    EXPECT_EQ(list.CurrentPosition(), 0);
}

TEST(Navigation, AnEmptyListFailsWithAnIndexError) {
    for (const char* text : {"", "no tags at all", "  \r\n  "}) {
        SCOPED_TRACE(text);
        TMyXMLNodeList list;
        list.ParseText(text, true);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(ErrorOf([&] { list.GoTo(0); }), "List index out of bounds (-1)");
        EXPECT_EQ(ErrorOf([&] { list.CurrentNode(); }), "List index out of bounds (0)");
        EXPECT_EQ(ErrorOf([&] { list.FindByName("Files"); }), "List index out of bounds (-1)");
        EXPECT_EQ(ErrorOf([&] { list.FirstChild(-1); }), "List index out of bounds (0)");
        EXPECT_FALSE(list.NextSibling());
    }
}

// --- Elements and values -----------------------------------------------------

struct ValueCase {
    const char* label;
    std::string text;
    std::vector<NodeDesc> nodes;
};

class ValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, Condensed) { EXPECT_EQ(Condensed(GetParam().text), GetParam().nodes); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueTest,
    ::testing::Values(
        ValueCase{"TextIsTrimmedInnerBlanksKept", "<r><a>  x y  </a><z/></r>", {{0, "r", ""}, {1, "a", "x y"}, {1, "z", ""}}},
        ValueCase{"OpenAndCloseWithNothingBetween", "<r><a></a><z>1</z></r>",
                  {{0, "r", ""}, {1, "a", ""}, {1, "z", "1"}}},
        ValueCase{"EmptyElementTag", "<r><a/><b>t</b><z/></r>", {{0, "r", ""}, {1, "a", ""}, {1, "b", "t"}, {1, "z", ""}}},
        ValueCase{"EmptyElementTagWithAttribute", "<r><a x=\"1\" /><z/></r>", {{0, "r", ""}, {1, "a", ""}, {1, "z", ""}}},
        ValueCase{"AmpersandAloneAndAsEntityUnchanged",
                  "<r><p>C:\\a&b\\x y.java</p><q>a&amp;b &lt;</q><z/></r>",
                  {{0, "r", ""}, {1, "p", "C:\\a&b\\x y.java"}, {1, "q", "a&amp;b &lt;"}, {1, "z", ""}}},
        ValueCase{"SingleElementHoldingTextHasNoValue", "<a>text</a>", {{0, "a", ""}}},
        ValueCase{"TextBeforeTheFirstTagIsIgnored", "junk <r><a>v</a><z/></r>", {{0, "r", ""}, {1, "a", "v"}, {1, "z", ""}}},
        ValueCase{"CdataAndDoctypeLeaveNoNode", "<!DOCTYPE r SYSTEM \"x.dtd\"><r><![CDATA[ <a>x</a> ]]><a>v</a><z/></r>",
                  {{0, "r", ""}, {1, "a", "v"}, {1, "z", ""}}},
        ValueCase{"ClosingTagMayHoldBlanks", "<r><a>v</a ><z/></r >", {{0, "r", ""}, {1, "a", "v"}, {1, "z", ""}}},
        ValueCase{"UnclosedElementsAreNotReported", "<r><a>v</a><b>x</b><c>", {{0, "r", ""}, {1, "a", "v"}, {1, "b", "x"}, {1, "c", ""}}},
        // An element right after an element of the same level whose tag text
        // (without "<" and its first letter) spells the first one's name
        // counts as that element's closing tag: it keeps no value.
        ValueCase{"ElementTakenForTheClosingTagOfItsPredecessor", "<r><a/><xa>t</xa><z/></r>",
                  {{0, "r", ""}, {1, "a", ""}, {1, "xa", ""}, {1, "z", ""}}},
        ValueCase{"NulBytesAreOrdinaryCharacters", std::string("<r><a>x\0y</a><z/></r>", 21),
                  {{0, "r", ""}, {1, "a", std::string("x\0y", 3)}, {1, "z", ""}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Elements, NameIsTakenFromTheTagText) {
    struct Case {
        const char* tagText;
        const char* name;
    };
    for (const Case& c : std::vector<Case>{
             {"<Files>", "Files"},
             {"<Names ProductName=\"P Q\" SystemName=\"S\">", "Names"},
             {"<a=\"1\">", "a=\"1\">"},  // "=" without a space: the whole rest
             {"</Files>", ""},
             {"<?xml version=\"1.0\"?>", ""},
             {"<!--DOCTYPE x-->", ""},
             {"some text", ""},
             {"<", ""},
         }) {
        SCOPED_TRACE(c.tagText);
        EXPECT_EQ(TMyXMLNode(0, c.tagText).Name(), c.name);
    }
}

TEST(Elements, EmptyElementTagIsStoredWithoutItsSlash) {
    TMyXMLNodeList list;
    list.ParseText("<r><a x=\"1\"/></r>", false);
    EXPECT_EQ(list.NodeAt(1).TagText(), "<a x=\"1\">");
    EXPECT_EQ(list.NodeAt(1).Level(), 1);
}

struct MismatchCase {
    const char* text;
    const char* message;
};

TEST(Elements, MismatchedClosingTagsFail) {
    for (const MismatchCase& c : std::vector<MismatchCase>{
             {"<a>text</b>", "No matching tag found for </b>!"},
             {"<VORL><Directories></Files></VORL>", "No matching tag found for </Files>!"},
             {"<a><b></a></b>", "No matching tag found for </a>!"},
             {"<a>x</A>", "No matching tag found for </A>!"},
             {"</a>", "List index out of bounds (0)"},
             {"<a></a></a>", "List index out of bounds (0)"},
         }) {
        SCOPED_TRACE(c.text);
        TMyXMLNodeList list;
        EXPECT_EQ(ErrorOf([&] { list.ParseText(c.text, true); }), c.message);
    }
}

TEST(Elements, AFailedParseLeavesTheNodesReadSoFarUncondensed) {
    TMyXMLNodeList list;
    EXPECT_THROW(list.ParseText("<r><a>x</a><b></c>", true), std::runtime_error);
    // r, a, text, /a, b: the text node and the closing tag are still there.
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.NodeAt(2).Value(), "x");
}

TEST(Elements, ParseTextStartsAnewAndCondensesAgain) {
    TMyXMLNodeList list;
    list.ParseText("<r><a>1</a><z/></r>", true);
    list.GoTo(2);
    list.Condense();  // already condensed: nothing happens, the cursor stays
    EXPECT_EQ(list.CurrentPosition(), 2);
    list.ParseText("<s><b>2</b><y/></s>", false);
    EXPECT_EQ(list.Count(), 6);
    list.Condense();
    EXPECT_EQ(Describe(list), (std::vector<NodeDesc>{{0, "s", ""}, {1, "b", "2"}, {1, "y", ""}}));
}

// --- Reading files -----------------------------------------------------------

TEST(ReadFile, AnyLineEndBecomesCrLfAndALastLineWithoutEndCounts) {
    struct Case {
        const char* label;
        std::string bytes;
    };
    for (const Case& c : std::vector<Case>{
             {"crlf", "<r>\r\n<a>x\r\ny</a>\r\n<z/></r>\r\n"},
             {"lf", "<r>\n<a>x\ny</a>\n<z/></r>\n"},
             {"cr", "<r>\r<a>x\ry</a>\r<z/></r>\r"},
             {"no last line end", "<r>\n<a>x\r\ny</a>\r<z/></r>"},
         }) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        test::WriteFile(dir / "p.xml", c.bytes);
        TMyXMLNodeList list(dir / "p.xml", true);
        EXPECT_EQ(Describe(list), (std::vector<NodeDesc>{{0, "r", ""}, {1, "a", "x\r\ny"}, {1, "z", ""}}));
    }
}

TEST(ReadFile, AFileThatCannotBeReadFailsWithTheSystemsText) {
    TempDir dir;
    TMyXMLNodeList list;
    EXPECT_EQ(ErrorOf([&] { list.ReadFile(dir / "missing.xml", true); }),
              "Cannot open file \"" + (dir / "missing.xml") + "\". No such file or directory");
    EXPECT_EQ(ErrorOf([&] { list.ReadFile(dir.Path(), true); }),
              "Cannot open file \"" + dir.Path() + "\". Is a directory");
}

TEST(ReadFile, HugeValuesAndDeepNestingInLinearTime) {
    // A value of ten million characters on one line.
    std::string big(10'000'000, 'v');
    big[5'000'000] = '&';
    TempDir dir;
    test::WriteFile(dir / "big.xml", "<r><Files><Orig_File_0000>" + big + "</Orig_File_0000><File_0000>" + big +
                                         "</File_0000></Files></r>");
    TMyXMLNodeList list(dir / "big.xml", true);
    ASSERT_TRUE(list.FindByName("Files"));
    ASSERT_TRUE(list.FirstChild(-1));
    EXPECT_EQ(list.CurrentNode().Value(), big);
    ASSERT_TRUE(list.NextSibling());
    EXPECT_EQ(list.CurrentNode().Value(), big);

    // Half a million nested elements: no recursion, no quadratic work.
    const int depth = 500'000;
    std::string nested;
    for (int i = 0; i < depth; ++i) nested += "<e>";
    for (int i = 0; i < depth; ++i) nested += "</e>";
    TMyXMLNodeList deep;
    deep.ParseText(nested, true);
    ASSERT_EQ(deep.Count(), depth);
    EXPECT_EQ(deep.NodeAt(depth - 1).Level(), depth - 1);
}

}  // namespace
}  // namespace korvane

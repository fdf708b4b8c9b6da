#include "shell/project/project_rules.h"

#include <gtest/gtest.h>

#include "shared/errors.h"

using namespace korvane;

TEST(ProjectRules, NamesMustBePresentNotLedByADigitAndFitAFileName) {
    struct Case {
        std::string name;
        bool ok;
    } cases[] = {{"", false},  {"1ABC", false}, {"0", false}, {"9x", false}, {"ABC", true},
                 {"a1", true}, {"_9", true},    {" 1", true}, {"LONGERTHAN8", true}, {"a.b", true},
                 {"Pr\xC3\xBC", true}, {"\xFF", true}, {"a-b_c&d", true}, {std::string(120, 'x'), true},
                 // the names become <system>.log, the tools' log, <Project>.srd and masks
                 {"../../victim", false}, {"..", false}, {"a..b", false}, {"a/b", false}, {"/", false},
                 {"a\\b", false}, {"C:x", false}, {"a*", false}, {"*", false}, {"a?", false},
                 {"\"q\"", false}, {"<a>", false}, {"a|b", false}, {"a\tb", false}, {"a\nb", false},
                 {std::string("a\0b", 3), false}, {"a\x7F", false}, {std::string(121, 'x'), false}};
    for (const Case& c : cases) EXPECT_EQ(IsAcceptableName(c.name), c.ok) << '"' << c.name << '"';
}

// Numbers of a project file: in range they count, out of range they give
// the default and say so; text that is no number stays a load error.
TEST(ProjectRules, NumbersOutOfTheirRangeTakeTheDefault) {
    struct Case {
        const char* text;
        int value;
        bool outOfRange;
    } cases[] = {{"", 0, false},         {"42", 42, false},         {"4096", 4096, false},
                 {"4097", 100, true},    {"2147483647", 100, true}, {"2147483648", 100, true},
                 {"99999999999999999999", 100, true}};
    for (const Case& c : cases) {
        const RangedNumber n = ProjectNumberInRange(c.text, 0, kMaxDirDepthLimit, kDefaultMaxDirDepth);
        EXPECT_EQ(n.value, c.value) << c.text;
        EXPECT_EQ(n.outOfRange, c.outOfRange) << c.text;
    }
    for (const char* bad : {"x", "-5", " 5", "1e3"})
        EXPECT_THROW(ProjectNumberInRange(bad, 0, kMaxDirDepthLimit, kDefaultMaxDirDepth), Error) << bad;
}

TEST(ProjectRules, ProjectNameIsProperCasedProductThenSystem) {
    EXPECT_EQ(FormProjectName("ABC", "xyz12"), "AbcXyz12");
    EXPECT_EQ(FormProjectName("prod", "SYS"), "ProdSys");
    EXPECT_EQ(FormProjectName("", "sys"), "Sys");
}

TEST(ProjectRules, ProjectNameFromPathIsTheBaseNameWithoutExtension) {
    EXPECT_EQ(ProjectNameFromPath("/work/jobs/MyJob.srd"), "MyJob");
    EXPECT_EQ(ProjectNameFromPath("/work/a.b/noext"), "noext");
    EXPECT_EQ(ProjectNameFromPath("x.tar.srd"), "x.tar");
    EXPECT_EQ(ProjectNameFromPath("*"), "");
    EXPECT_EQ(ProjectNameFromPath(""), "");
}

TEST(ProjectRules, FilterAndLanguageSuffix) {
    EXPECT_EQ(ProjectFileFilter(), "ZQ Korvane Project File(*.srd)|*.srd");
    EXPECT_EQ(LanguageSuffix("COB", "COB85"), "COB_COB85");
    EXPECT_EQ(LanguageSuffix("JAV", ""), "JAV");
    EXPECT_EQ(LanguageSuffix("COB", ""), "COB");
}

TEST(ProjectRules, NumbersReadWithALeadingZero) {
    EXPECT_EQ(ProjectNumber(""), 0);
    EXPECT_EQ(ProjectNumber("12"), 12);
    EXPECT_EQ(ProjectNumber("007"), 7);
    for (const char* bad : {"x", "-5", " 5", "5 ", "1e3", "99999999999"})
        EXPECT_THROW(ProjectNumber(bad), Error) << bad;
}

TEST(ProjectRules, OutputDirectoryNormalForm) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"//work//out/", "/work/out"},      // doubled and trailing separators
        {"work//out/", "work/out"},         // a relative path stays relative
        {"////srv///share", "/srv/share"},  // a network-style path keeps only the root
        {"/a/b", "/a/b"},
        {"/a/b///", "/a/b"},
        {"/", "/"},
        {"//", "/"},
        {"", ""},
        {"out", "out"},
    };
    for (const Case& c : cases) EXPECT_EQ(NormaliseOutputDirectory(c.in), c.out) << c.in;
    // Leaving the field also drops "." and ".." and takes a relative text
    // from the project's folder, never from the current directory.
    const char* left[][3] = {
        {"out//x/", "/jobs/", "/jobs/out/x"},      {"../out", "/jobs/a/", "/jobs/out"},
        {"work/./x/../out/", "/jobs/", "/jobs/work/out"}, {"/w/x/../out", "/jobs/", "/w/out"},
        {"//srv/./a/../out/", "/jobs/", "/srv/out"}, {"////srv///out", "/jobs/", "/srv/out"},
        {"out", "", "out"},                        {"", "/jobs/", ""},
    };
    for (const auto& c : left) EXPECT_EQ(LeftOutputDirectory(c[0], c[1]), c[2]) << c[0] << " in " << c[1];
}

TEST(ProjectRules, NamesDropTarget) {
    struct Case {
        const char* field;
        const char* prefix;
        const char* name;
        std::optional<std::string> result;
    } cases[] = {
        {"/work/JAV", "JAV", "ProdSys", "/work/ProdSys"},  // the language folder is replaced
        {"/work/JAV/", "JAV", "ProdSys", "/work/ProdSys"},
        {"/work/ProdSys", "JAV", "ProdSys", std::nullopt},     // already there
        {"/work/out", "JAV", "ProdSys", "/work/out/ProdSys"},  // appended
        {"/work/jav", "JAV", "ProdSys", "/work/jav/ProdSys"},  // exact comparisons
        {"/work/prodsys", "JAV", "ProdSys", "/work/prodsys/ProdSys"},
        {"/work/JAVA", "JAV", "ProdSys", "/work/JAVA/ProdSys"},
        {"/JAV/x/JAV", "JAV", "P", "/JAV/x/P"},  // cut at the last occurrence
        {"/work/JAV/ProdSys", "JAV", "ProdSys", std::nullopt},
        {"JAV", "JAV", "P", "/P"},
        {"/", "JAV", "P", "/P"},
        {"rel/dir", "", "P", "rel/dir/P"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NamesDropTarget(c.field, c.prefix, c.name), c.result) << c.field << " " << c.prefix;
}

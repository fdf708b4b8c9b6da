#include "shared/text.h"

#include <gtest/gtest.h>

#include <clocale>

#include "shared/comma_text.h"
#include "shared/flags.h"
#include "shared/errors.h"
#include "shared/name_value_list.h"

using namespace korvane;

TEST(TextRoutines, SplitAroundSeparators) {
    EXPECT_EQ(TextAfterFirst("a=b=c", "="), "b=c");
    EXPECT_EQ(TextAfterLast("a=b=c", "="), "c");
    EXPECT_EQ(TextBeforeFirst("a=b=c", "="), "a");
    EXPECT_EQ(TextBeforeLast("a=b=c", "="), "a=b");
    EXPECT_EQ(TextAfterFirst("a=b=c", ";"), "");
    EXPECT_EQ(TextAfterLast("a=b=c", ";"), "");
    EXPECT_EQ(TextBeforeFirst("a=b=c", ";"), "a=b=c");
    EXPECT_EQ(TextBeforeLast("a=b=c", ";"), "a=b=c");
    EXPECT_EQ(TextAfterFirst("abc", ""), "");
    EXPECT_EQ(TextBeforeFirst("abc", ""), "abc");
}

TEST(TextRoutines, StartsWith) {
    EXPECT_TRUE(StartsWithText("FIL", "file1"));
    EXPECT_FALSE(StartsWithStr("FIL", "file1"));
    EXPECT_TRUE(StartsWithStr("", "x"));
    EXPECT_FALSE(StartsWithText("longer", "long"));
}

TEST(TextRoutines, ProperCaseAndSqueeze) {
    EXPECT_EQ(ProperCase("aBC"), "Abc");
    EXPECT_EQ(ProperCase(""), "");
    EXPECT_EQ(ProperCase("1ABC"), "1abc");
    EXPECT_EQ(SqueezeChar("\\\\srv\\\\x\\\\\\\\y\\", '\\'), "srv\\x\\y\\");
    EXPECT_EQ(SqueezeChar("//srv//x////y/", '/'), "srv/x/y/");
}

// The one routine that follows the locale's case mapping rather than ASCII.
TEST(TextRoutines, ProperCaseFollowsTheLocale) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale here";
    EXPECT_EQ(ProperCase("\xC3\xA9VA"), "\xC3\x89va");          // éVA -> Éva
    EXPECT_EQ(ProperCase("\xC3\x81RV\xC3\x8DZ"), "\xC3\x81rv\xC3\xADz");  // ÁRVÍZ -> Árvíz
    EXPECT_EQ(ProperCase("aB\xFF\xC3"), "Ab\xFF\xC3");             // stray bytes kept
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(TextRoutines, SplitLinesAcceptsEveryLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("\n"), V{""});
    EXPECT_EQ(JoinLinesCrLf({"a", ""}), "a\r\n\r\n");
}

TEST(Flags, TextToBool) {
    for (const char* t : {"J", "i", "Y", "TRUE", "true"}) EXPECT_TRUE(TextToBool(t)) << t;
    for (const char* t : {"N", "false", ""}) EXPECT_FALSE(TextToBool(t)) << t;
    for (const char* t : {"1", "no", "yes", "x"}) EXPECT_THROW(TextToBool(t), Error) << t;
    try {
        TextToBool("no");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "no is not valid boolean value (Y,J,I,N,True,False)");
    }
    EXPECT_TRUE(TextToBoolDef("", true));
    EXPECT_EQ(BoolToYN(true), "Y");
}

TEST(Flags, IsIntegerText) {
    EXPECT_TRUE(IsIntegerText(" -12 ", false));
    EXPECT_FALSE(IsIntegerText(" -12 ", true));
    EXPECT_FALSE(IsIntegerText("-", false));
    EXPECT_FALSE(IsIntegerText("", false));
    EXPECT_EQ(StrToIntDef("abc", 7), 7);
    EXPECT_EQ(StrToInt("0042"), 42);
    EXPECT_THROW(StrToInt("99999999999"), Error);
}

TEST(NameValueList, FirstMatchIgnoringCaseAndEmptyDeletes) {
    NameValueList l({"[Sec]", "Key=1", "KEY=2", "Other=a=b"});
    EXPECT_EQ(l.value("key"), "1");
    EXPECT_EQ(l.value("other"), "a=b");
    EXPECT_EQ(l.value("missing"), "");
    l.setValue("Key", "9");
    EXPECT_EQ(l.lines()[1], "Key=9");
    l.setValue("New", "x");
    EXPECT_EQ(l.lines().back(), "New=x");
    l.setValue("key", "");
    EXPECT_EQ(l.value("key"), "2");
}

TEST(CommaText, SplitRules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommaText("Java,JAV,\"\""), (V{"Java", "JAV", ""}));
    EXPECT_EQ(SplitCommaText("Java,JAV,"), (V{"Java", "JAV"}));
    EXPECT_EQ(SplitCommaText("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitCommaText("Relocate File I/O statements"), (V{"Relocate", "File", "I/O", "statements"}));
    EXPECT_EQ(SplitCommaText("\"Relocate File, I/O\",x"), (V{"Relocate File, I/O", "x"}));
    EXPECT_EQ(SplitCommaText("\"say \"\"hi\"\"\""), (V{"say \"hi\""}));
    EXPECT_EQ(SplitCommaText("  a , b  "), (V{"a", "b"}));
    EXPECT_EQ(SplitCommaText(""), V{});
}

TEST(CommaText, JoinQuotesWhatNeedsIt) {
    EXPECT_EQ(JoinCommaText({"1", "a b", "c,d", "e\"f", ""}), "1,\"a b\",\"c,d\",\"e\"\"f\",");
    EXPECT_EQ(JoinCommaText({""}), "\"\"");
    std::vector<std::string> items{"x y", "", "z"};
    EXPECT_EQ(SplitCommaText(JoinCommaText(items)), items);
}

#include "shared/text.h"

#include <gtest/gtest.h>

#include <clocale>

#include "shared/comma_text.h"
#include "shared/flags.h"
#include "shared/errors.h"
#include "shared/name_value_list.h"
#include "shared/platform/path.h"

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

// Paths reach a widget and come back byte for byte, whatever the bytes.
TEST(TextRoutines, BytesSurviveTheWidgetText) {
    struct Case {
        std::string bytes;
        std::u16string shown;
    } cases[] = {
        {"/srv/out", u"/srv/out"},
        {"/\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", u"/\u00FC\u20AC\U0001F600"},  // UTF-8 reads as text
        {"/out\xFF", u"/out\xDCFF"},                                   // a stray byte
        {"\xC3", u"\xDCC3"},                                           // a cut sequence
        {"\xC0\xAF", u"\xDCC0\xDCAF"},                                // an overlong "/"
        {"\xED\xB3\xBF", u"\xDCED\xDCB3\xDCBF"},                     // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},           // above U+10FFFF
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16FromBytes(c.bytes), c.shown) << c.bytes;
        EXPECT_EQ(BytesFromUtf16(c.shown), c.bytes) << c.bytes;
    }
    // Every byte string comes back as it was.
    unsigned seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(size_t(round % 13), '\0');
        for (char& b : bytes) b = char((seed = seed * 1103515245u + 12345u) >> 16);
        ASSERT_EQ(BytesFromUtf16(Utf16FromBytes(bytes)), bytes);
    }
    EXPECT_EQ(BytesFromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");  // a lone surrogate no byte gave
}

// Paths from a file are taken from the file's folder, never from the
// current directory, and carry no "." or ".." afterwards.
TEST(Paths, AbsolutePathFromABase) {
    struct Case {
        const char* base;
        const char* path;
        const char* result;
    } cases[] = {
        {"/jobs", "src/a.java", "/jobs/src/a.java"},
        {"/jobs/", "./src/../lib/a.java", "/jobs/lib/a.java"},
        {"/jobs", "../../../x", "/x"},                      // never above the root
        {"/jobs", "/src/a/../../etc/x", "/etc/x"},          // absolute: base unused
        {"/jobs", "/src//a/./b.java", "/src/a/b.java"},
        {"/jobs", "/src/a/", "/src/a/"},                    // a trailing separator stays
        {"/jobs", "out", "/jobs/out"},
        {"", "src/a.java", "src/a.java"},                   // no base: left as it is
        {"rel", "src/a.java", "src/a.java"},
        {"/jobs", "/", "/"},
        {"/jobs", "//", "/"},
    };
    for (const Case& c : cases) EXPECT_EQ(AbsolutePathFrom(c.base, c.path), c.result) << c.base << " " << c.path;
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

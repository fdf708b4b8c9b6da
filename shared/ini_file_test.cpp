#include "shared/ini_file.h"

#include <gtest/gtest.h>

#include <random>

#include "shared/errors.h"
#include "shared/test_support.h"

using namespace korvane;

namespace {

TEST(IniFile, EscapingRoundTripsAnyText) {
    const std::string samples[] = {
        "",
        "plain",
        " leading and trailing ",
        "line1\r\nline2\nline3\r",
        "a=b=c",
        "[group]",
        ";comment-like",
        "#hash",
        "\\Software\\Talmek\\x\\",
        "\\x41 is not an escape",
        "\\\\double",
        "ends with backslash\\",
        "backslash before blank\\ ",
        std::string("nul\0inside", 10),
        "tab\there",
        "\x7f\x80\xff",
    };
    for (const std::string& raw : samples)
        for (auto part : {IniFile::Part::Key, IniFile::Part::Value, IniFile::Part::Group})
            EXPECT_EQ(IniFile::Unescape(IniFile::Escape(raw, part)), raw) << raw;

    std::mt19937 rng(7);
    const std::string alphabet = std::string("\\x= []#;\r\n\t\"AbcF0\xe9") + std::string(1, '\0');
    for (int i = 0; i < 2000; ++i) {
        std::string raw;
        const int len = int(rng() % 12);
        for (int j = 0; j < len; ++j) raw.push_back(alphabet[rng() % alphabet.size()]);
        IniFile ini;
        ini.setValue(raw, raw, raw);
        IniFile back;
        back.parse(ini.text());
        ASSERT_TRUE(back.has(raw, raw)) << ::testing::PrintToString(raw) << "\n" << ini.text();
        ASSERT_EQ(back.value(raw, raw), raw) << ::testing::PrintToString(raw) << "\n" << ini.text();
    }
}

TEST(IniFile, WindowsKeyPathsStayReadable) {
    EXPECT_EQ(IniFile::Escape("\\ZQ Korvane Project File\\shell\\Open\\command", IniFile::Part::Key),
              "\\ZQ Korvane Project File\\shell\\Open\\command");
    EXPECT_EQ(IniFile::Escape("\"/opt/k v/korvane\" -root \"/t\" -proj \"%1\"", IniFile::Part::Value),
              "\"/opt/k v/korvane\" -root \"/t\" -proj \"%1\"");
    EXPECT_EQ(IniFile::Escape(" a=b\n", IniFile::Part::Key), "\\x20a\\x3Db\\x0A");
    EXPECT_EQ(IniFile::Escape(" a=b\n", IniFile::Part::Value), "\\x20a=b\\x0A");
}

TEST(IniFile, GroupsAndKeysIgnoreCaseAndKeepOtherLines) {
    IniFile ini;
    ini.parse("; a comment\n[One]\n  Alpha = 1 \nbroken line\n\n[two]\nbeta=2\n");
    EXPECT_EQ(ini.value("one", "ALPHA"), "1");
    EXPECT_EQ(ini.value("TWO", "Beta"), "2");
    EXPECT_FALSE(ini.has("one", "beta"));
    ini.setValue("ONE", "alpha", "changed");
    ini.setValue("one", "gamma", "3");
    ini.setValue("Three", "d", "");
    ini.remove("two", "BETA");
    EXPECT_EQ(ini.text(),
              "; a comment\n[One]\nAlpha=changed\ngamma=3\nbroken line\n\n[two]\n\n[Three]\nd=\n");
    EXPECT_TRUE(ini.has("three", "D"));
    EXPECT_EQ(ini.entries("one"), (std::vector<std::pair<std::string, std::string>>{{"Alpha", "changed"},
                                                                                   {"gamma", "3"}}));
}

TEST(IniFile, LoadAndSave) {
    korvane::testing::TempDir dir;
    IniFile ini;
    ini.load(dir / "missing.ini");  // a missing file is an empty store
    EXPECT_EQ(ini.text(), "");
    ini.setValue("g", "k", "v\nw");
    ini.save(dir / "deep/er/file.ini");  // folders are created
    IniFile back;
    back.load(dir / "deep/er/file.ini");
    EXPECT_EQ(back.value("g", "k"), "v\nw");
    EXPECT_THROW(back.load(dir.path()), Error);  // a folder is no readable file
}

}  // namespace

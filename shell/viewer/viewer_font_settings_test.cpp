#include "shell/viewer/viewer_font_settings.h"

#include <gtest/gtest.h>

#include "shared/ini_file.h"
#include "shared/settings.h"
#include "shared/test_support.h"

namespace korvane {
namespace {

using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;

class ViewerFontSettings : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsApplication("Korvane Shell");
        SetSettingsSection("Parameters");
    }
    TempDir dir_;
    ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path()};
};

TEST_F(ViewerFontSettings, NothingStoredGivesNoFont) { EXPECT_FALSE(ReadStoredViewerFont().has_value()); }

TEST_F(ViewerFontSettings, EightValuesRoundTrip) {
    FontChoice f;
    f.name = "DejaVu Sans Mono";
    f.charSet = 238;
    f.size = 10;
    f.height = -13;
    f.bold = true;
    f.italic = false;
    f.underline = true;
    f.strikeOut = false;
    StoreViewerFont(f);

    // As the store holds them: integers in decimal, flags as "1" and "0".
    IniFile ini;
    ini.load(SettingsFilePath());
    const std::string g = SettingsGroupName();
    EXPECT_EQ(ini.value(g, "FontName"), "DejaVu Sans Mono");
    EXPECT_EQ(ini.value(g, "FontCharSet"), "238");
    EXPECT_EQ(ini.value(g, "FontSize"), "10");
    EXPECT_EQ(ini.value(g, "FontHeight"), "-13");
    EXPECT_EQ(ini.value(g, "FontBold"), "1");
    EXPECT_EQ(ini.value(g, "FontItalic"), "0");
    EXPECT_EQ(ini.value(g, "FontUnderline"), "1");
    EXPECT_EQ(ini.value(g, "FontStrikeOut"), "0");

    const std::optional<FontChoice> back = ReadStoredViewerFont();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, f.name);
    EXPECT_EQ(back->charSet, 238);
    EXPECT_EQ(back->size, 10);
    EXPECT_EQ(back->height, -13);
    EXPECT_TRUE(back->bold);
    EXPECT_FALSE(back->italic);
    EXPECT_TRUE(back->underline);
    EXPECT_FALSE(back->strikeOut);
}

}  // namespace
}  // namespace korvane

#include "shared/settings.h"

#include <gtest/gtest.h>

#include <map>

#include "shared/errors.h"
#include "shared/ini_file.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsApplication("Korvane Shell");
        SetSettingsSection("Parameters");
    }
    void TearDown() override {
        SetSettingsApplication("");
        SetSettingsSection("");
    }
    std::string StoreFile() const { return dir_ / "config/Talmek/Korvane Shell.ini"; }
    // What the file holds for a name, looked at from outside.
    std::optional<std::string> Stored(const std::string& name, const std::string& group = "Parameters") const {
        IniFile ini;
        ini.load(StoreFile());
        if (!ini.has(group, name)) return std::nullopt;
        return ini.value(group, name);
    }
    void Store(const std::string& name, const std::string& value) {
        IniFile ini;
        ini.load(StoreFile());
        ini.setValue("Parameters", name, value);
        ini.save(StoreFile());
    }

    TempDir dir_;
    ScopedEnv config_{"XDG_CONFIG_HOME", dir_ / "config"};
};

TEST_F(SettingsTest, LocationNamesKeyPathFileAndGroup) {
    EXPECT_EQ(SettingsKeyPath(), "Software\\Talmek\\Korvane Shell\\Parameters\\");
    EXPECT_EQ(SettingsFilePath(), StoreFile());
    EXPECT_EQ(SettingsGroupName(), "Parameters");

    SetSettingsApplication("");
    SetSettingsSection("");
    EXPECT_EQ(SettingsKeyPath(), "Software\\Talmek\\\\\\");
    EXPECT_EQ(SettingsFilePath(), dir_ / "config/Talmek/_.ini");
    EXPECT_EQ(SettingsGroupName(), "_");

    SetSettingsSection("Only");  // an empty application takes the section's name
    EXPECT_EQ(SettingsApplication(), "Only");
    SetSettingsSection("Other");  // ... but only while it is empty
    EXPECT_EQ(SettingsApplication(), "Only");
    SetSettingsApplication("a/b");
    EXPECT_EQ(SettingsFilePath(), dir_ / "config/Talmek/a_b.ini");

    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");  // not absolute: ignored
    ScopedEnv home("HOME", dir_ / "home");
    EXPECT_EQ(SettingsFilePath(), dir_ / "home/.config/Talmek/a_b.ini");
}

TEST_F(SettingsTest, ReaderStoresEmptyValueForEveryNameRead) {
    EXPECT_EQ(IniSettingRead("ProgramVersion"), "");
    EXPECT_EQ(Stored("ProgramVersion"), "");
    // With both components empty the read goes to the "_" location.
    SetSettingsApplication("");
    SetSettingsSection("");
    EXPECT_EQ(ReadSettingString("ProgramVersion", ""), "");
    IniFile ini;
    ini.load(dir_ / "config/Talmek/_.ini");
    EXPECT_TRUE(ini.has("_", "ProgramVersion"));
}

TEST_F(SettingsTest, ReadStringStoresDefaultOnlyWhenEmpty) {
    EXPECT_EQ(ReadSettingString("LastSelectedDir", "/first"), "/first");
    EXPECT_EQ(Stored("LastSelectedDir"), "/first");
    EXPECT_EQ(ReadSettingString("LastSelectedDir", "/second"), "/first");
    Store("LastSelectedDir", "");
    EXPECT_EQ(ReadSettingString("LastSelectedDir", "/third"), "/third");
    EXPECT_EQ(Stored("LastSelectedDir"), "/third");
    EXPECT_EQ(ReadSettingString("lastselecteddir", ""), "/third");  // names ignore case
}

TEST_F(SettingsTest, ReadBool) {
    EXPECT_TRUE(ReadSettingBool("FontBold", true));
    EXPECT_EQ(Stored("FontBold"), "1");
    EXPECT_TRUE(ReadSettingBool("FontBold", false));
    EXPECT_FALSE(ReadSettingBool("FontItalic", false));
    EXPECT_EQ(Stored("FontItalic"), "0");
    Store("FontItalic", "yes");  // only "1" is true
    EXPECT_FALSE(ReadSettingBool("FontItalic", true));
    EXPECT_EQ(Stored("FontItalic"), "yes");
}

TEST_F(SettingsTest, ReadInt) {
    Store("Width", "abc");
    EXPECT_EQ(ReadSettingInt("Width", 640), 640);
    EXPECT_EQ(Stored("Width"), "abc");  // an invalid value is left as it is
    EXPECT_EQ(ReadSettingInt("Height", 480), 480);
    EXPECT_EQ(Stored("Height"), "480");
    Store("Height", "-12");
    EXPECT_EQ(ReadSettingInt("Height", 0), -12);
    Store("Height", "99999999999");
    EXPECT_EQ(ReadSettingInt("Height", 7), 7);
}

TEST_F(SettingsTest, WritesRoundTripAnyTextAndKeepOtherLines) {
    PutFile(StoreFile(), "# kept comment\n[Elsewhere]\nx=1\n");
    const std::string values[] = {"  padded  ", "a=b", "two\r\nlines", "C:\\x\\", "\\x41", "[g]", ""};
    int i = 0;
    for (const std::string& v : values) {
        const std::string name = "Value" + std::to_string(i++);
        WriteSettingString(name, v);
        EXPECT_EQ(ReadSettingString(name, "default"), v.empty() ? "default" : v) << v;
    }
    WriteSettingBool("Flag", true);
    WriteSettingInt("Number", -5);
    EXPECT_EQ(Stored("Flag"), "1");
    EXPECT_EQ(Stored("Number"), "-5");
    EXPECT_EQ(Stored("x", "Elsewhere"), "1");
    const std::string text = ReadFileBytes(StoreFile());
    EXPECT_EQ(text.rfind("# kept comment\n", 0), 0u) << text;
    // Written through a temporary file that does not stay behind.
    EXPECT_EQ(ListDirectory(dir_ / "config/Talmek").size(), 1u);
}

TEST_F(SettingsTest, EveryCallReadsTheFileAfresh) {
    WriteSettingString("Name", "one");
    EXPECT_EQ(ReadSettingString("Name", ""), "one");
    Store("Name", "changed outside");
    EXPECT_EQ(ReadSettingString("Name", ""), "changed outside");
}

TEST_F(SettingsTest, FailuresReachTheCallerExceptForIntegers) {
    PutFile(dir_ / "blocker", "a file where a folder should be");
    ScopedEnv config("XDG_CONFIG_HOME", dir_ / "blocker/config");
    EXPECT_THROW(WriteSettingString("A", "x"), Error);
    EXPECT_THROW(ReadSettingString("A", "x"), Error);
    EXPECT_THROW(ReadSettingBool("A", true), Error);
    EXPECT_EQ(ReadSettingInt("A", 17), 17);
    // A store file that cannot be read is not overwritten.
    ScopedEnv back("XDG_CONFIG_HOME", dir_ / "config2");
    ForceDirectories(dir_ / "config2/Talmek/Korvane Shell.ini");  // a folder in place of the file
    EXPECT_THROW(WriteSettingString("A", "x"), Error);
}

TEST_F(SettingsTest, TypedOperationsGoThroughTheRoutineVariables) {
    std::map<std::string, std::string> store{{"Width", "12"}};
    const SettingReaderFn oldReader = SettingReader;
    const SettingWriterFn oldWriter = SettingWriter;
    SettingReader = [&](const std::string& name) { return store[name]; };
    SettingWriter = [&](const std::string& name, const std::string& text) { store[name] = text; };
    EXPECT_EQ(ReadSettingInt("Width", 0), 12);
    EXPECT_TRUE(ReadSettingBool("Bold", true));
    EXPECT_EQ(ReadSettingString("Face", "Mono"), "Mono");
    WriteSettingInt("Height", 3);
    SettingReader = oldReader;
    SettingWriter = oldWriter;
    EXPECT_EQ(store, (std::map<std::string, std::string>{{"Bold", "1"}, {"Face", "Mono"}, {"Height", "3"},
                                                         {"Width", "12"}}));
    EXPECT_FALSE(FileExists(StoreFile()));
}

}  // namespace

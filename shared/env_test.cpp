#include "shared/env.h"

#include <gtest/gtest.h>

#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;

namespace {

TEST(ExpandEnvVars, References) {
    ScopedEnv a("KORVANE_TEST_A", "alpha");
    ScopedEnv b("KORVANE_TEST_B", "");
    ScopedEnv mixed("Korvane_Test_Mixed", "mixed");
    ScopedEnv unknown("KORVANE_TEST_UNKNOWN", std::nullopt);
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"no references", "no references"},
        {"%KORVANE_TEST_A%\\DOSBox-0.74\\DOSBox.exe", "alpha\\DOSBox-0.74\\DOSBox.exe"},
        {"[%KORVANE_TEST_A%%KORVANE_TEST_A%]", "[alphaalpha]"},
        {"[%KORVANE_TEST_B%]", "[]"},
        {"%korvane_test_a%", "alpha"},        // Windows names ignore case
        {"%KORVANE_TEST_MIXED%", "mixed"},
        {"%KORVANE_TEST_UNKNOWN%\\x", "%KORVANE_TEST_UNKNOWN%\\x"},  // unknown names stay
        {"%KORVANE_TEST_UNKNOWN%KORVANE_TEST_A%", "%KORVANE_TEST_UNKNOWNalpha"},
        {"100%", "100%"},
        {"%%", "%%"},
        {"a % b % c", "a % b % c"},
        {"%=x%", "%=x%"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandEnvVars(c.text), c.expected) << c.text;
}

TEST(XdgFolders, FallBackToHome) {
    TempDir dir;
    ScopedEnv home("HOME", dir.path());
    {
        ScopedEnv config("XDG_CONFIG_HOME", dir / "cfg/");
        ScopedEnv data("XDG_DATA_HOME", dir / "data");
        EXPECT_EQ(XdgConfigHome(), dir / "cfg");
        EXPECT_EQ(XdgDataHome(), dir / "data");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "");
        ScopedEnv data("XDG_DATA_HOME", "not/absolute");
        EXPECT_EQ(XdgConfigHome(), dir / ".config");
        EXPECT_EQ(XdgDataHome(), dir / ".local/share");
    }
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(XdgConfigHome(), "");
}

TEST(PersonalFolder, DocumentsDirWhenItExistsElseHome) {
    TempDir dir;
    ScopedEnv home("HOME", dir / "home");
    ScopedEnv config("XDG_CONFIG_HOME", dir / "cfg");
    ForceDirectories(dir / "home");
    const std::string userDirs = dir / "cfg/user-dirs.dirs";

    EXPECT_EQ(PersonalFolder(), dir / "home");  // no user-dirs.dirs

    PutFile(userDirs, "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(PersonalFolder(), dir / "home");  // named, but not there
    ForceDirectories(dir / "home/Dokumente");
    EXPECT_EQ(PersonalFolder(), dir / "home/Dokumente");

    ForceDirectories(dir / "elsewhere/My Docs");
    PutFile(userDirs, "XDG_DOCUMENTS_DIR=\"" + (dir / "elsewhere/My Docs") + "/\"\n");
    EXPECT_EQ(PersonalFolder(), dir / "elsewhere/My Docs");

    PutFile(userDirs, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");  // documents = home: just home
    EXPECT_EQ(PersonalFolder(), dir / "home");

    ScopedEnv noHome("HOME", std::nullopt);
    PutFile(userDirs, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(PersonalFolder(), "");  // unknown
}

}  // namespace

#include "shell/app/tool_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::ErrorOf;
using korvane::testing::TempDir;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object.
struct EnvVar {
    std::string name, old;
    bool had;
    EnvVar(const char* n, const char* v) : name(n) {
        const char* o = getenv(n);
        had = o != nullptr;
        if (had) old = o;
        setenv(n, v, 1);
        tzset();
    }
    ~EnvVar() {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
        tzset();
    }
};

void Touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    WriteFileAtomic(path, "x=1\r\n");
}

}  // namespace

TEST(ToolSettingsText, KeyRules) {
    ToolSettingsText t({"[Languages]", "JAV=Java,JAV,\"\"", "jav=second", "Key =spaced", "Empty=", "=noname",
                        "Runcontrol.Blindrun=y"});
    EXPECT_EQ(t.value("JAV"), "Java,JAV,\"\"");
    EXPECT_EQ(t.value("Jav"), "Java,JAV,\"\"");  // case ignored, first line wins
    EXPECT_EQ(t.value("Key"), "");               // no trimming around "="
    EXPECT_EQ(t.value("Key "), "spaced");
    EXPECT_EQ(t.value("[Languages]"), "");  // a line without "=" defines nothing
    EXPECT_EQ(t.value("Empty"), "");
    EXPECT_TRUE(t.flag("RUNCONTROL.BLINDRUN"));
    EXPECT_FALSE(t.flag("Missing"));

    t.setValue("jAv", "Java 2,JAV,JAV");  // replaces the first line in place
    EXPECT_EQ(t.lines()[1], "jAv=Java 2,JAV,JAV");
    EXPECT_EQ(t.lines()[2], "jav=second");
    t.setValue("New", "1");
    EXPECT_EQ(t.lines().back(), "New=1");
    size_t n = t.size();
    t.setValue("JAV", "");  // an empty value deletes the line; the next one becomes visible
    EXPECT_EQ(t.size(), n - 1);
    EXPECT_EQ(t.value("JAV"), "second");
    EXPECT_EQ(ErrorOf([] { ToolSettingsText({"COB.Scan=maybe"}).flag("COB.Scan"); }),
              "maybe is not valid boolean value (Y,J,I,N,True,False)");
}

TEST(ToolSettingsText, DateWrittenInsertedAsSecondLineOnce) {
    EnvVar tz("TZ", "UTC"), lc("LC_ALL", "C");
    EXPECT_EQ(FormatDateWritten(1704164645), "01/02/24 03:04:05");  // 2024-01-02 03:04:05 UTC
    ToolSettingsText t({"; Korvane tools", "JAV=Java,JAV,JAV"});
    t.stampDateWritten(0);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.lines()[1], "Date Written=01/01/70 00:00:00");
    t.stampDateWritten(86400);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.lines()[1], "Date Written=01/02/70 00:00:00");

    ToolSettingsText empty;
    empty.stampDateWritten(0);
    EXPECT_EQ(empty.lines(), std::vector<std::string>{"Date Written=01/01/70 00:00:00"});
}

TEST(ToolSettingsText, WriteAndReadBack) {
    EnvVar tz("TZ", "UTC"), lc("LC_ALL", "C");
    TempDir dir;
    std::string path = dir / "Korvane.INI";
    WriteFileAtomic(path, "[Top]\nJAV=Java,JAV,JAV\r\nDate Written=old\rLast=1");
    ToolSettingsText t({"stale"});
    t.read(path);  // replaces the text; every line end accepted
    EXPECT_EQ(t.lines(), (std::vector<std::string>{"[Top]", "JAV=Java,JAV,JAV", "Date Written=old", "Last=1"}));

    t.write(path, 0);
    EXPECT_EQ(ReadFileBytes(path), "[Top]\r\nJAV=Java,JAV,JAV\r\nDate Written=01/01/70 00:00:00\r\nLast=1\r\n");
    EXPECT_THROW(t.read(dir / "none.INI"), Error);

    // A failed write keeps the stamped text.
    ToolSettingsText failing({"A=1"});
    EXPECT_EQ(ErrorOf([&] { failing.write(dir / "missing/Korvane.INI", 0); }),
              "Cannot write to " + (dir / "missing/Korvane.INI"));
    EXPECT_EQ(failing.lines()[1].rfind("Date Written=", 0), 0u);
}

TEST(ToolSettingsLocator, CandidatesInOrderAndRemembered) {
    TempDir dir;
    EnvVar config("XDG_CONFIG_HOME", (dir / "config").c_str());
    std::string program = dir / "bin/korvane";
    Touch(program);
    std::string beside = dir / "bin/korvane.INI";
    std::string source = dir / "_Korvane.Src/Korvane.INI";

    {
        ToolSettingsLocator none;
        EXPECT_EQ(none.locate(program), "");
    }
    {
        ToolSettingsLocator loc;
        Touch(beside);
        EXPECT_EQ(loc.locate(program), beside);  // no extension: ".INI" appended
        Touch(source);
        EXPECT_EQ(loc.locate(program), beside);  // the first success is kept
    }
    {
        ToolSettingsLocator loc;
        // The source tree file comes first and is made absolute; a relative
        // program path with "." and ".." parts gives the same file.
        std::string relative = fs::relative(dir / "bin/./../bin/korvane", fs::current_path()).string();
        EXPECT_EQ(loc.locate(dir / "bin/../bin/korvane"), source);
        EXPECT_EQ(ToolSettingsLocator().locate(relative), source);
        fs::remove(source);
        EXPECT_EQ(loc.locate(program), source);  // remembered even when gone
    }
    {
        ToolSettingsLocator loc;
        std::string withExt = dir / "bin/korvane.bin";
        Touch(withExt);
        EXPECT_EQ(loc.locate(withExt), beside);  // the extension is replaced
        Touch(dir / "bin/other.ini");
        EXPECT_EQ(ToolSettingsLocator().locate(dir / "bin/other"), "");  // names compare exactly
    }
}

// An installed program (<prefix>/bin/korvane) with its settings in
// <prefix>/share/korvane, a build-tree layout (_Korvane.Src beside bin) and
// the per-user file $XDG_CONFIG_HOME/korvane/Korvane.INI.
TEST(ToolSettingsLocator, PerUserFileTakesOverWhatTheUserMayNotReplace) {
    struct Case {
        const char* name;
        bool installed, buildTree, user, bundledWritable;
        const char* read;   // "installed", "build", "user" or ""
        const char* write;
    } cases[] = {
        {"installed, nothing saved yet", true, false, false, true, "installed", "user"},
        {"installed, saved before", true, false, true, true, "user", "user"},
        {"build tree wins over installed", true, true, true, true, "build", "build"},
        {"build tree read-only, nothing saved", false, true, false, false, "build", "user"},
        {"build tree read-only, saved before", false, true, true, false, "user", "user"},
        {"only the per-user file", false, false, true, true, "user", "user"},
        {"nothing at all", false, false, false, true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        EnvVar config("XDG_CONFIG_HOME", (dir / "config").c_str());
        const std::string program = dir / "usr/bin/korvane";
        Touch(program);
        const std::map<std::string, std::string> files = {{"installed", dir / "usr/share/korvane/Korvane.INI"},
                                                          {"build", dir / "usr/_Korvane.Src/Korvane.INI"},
                                                          {"user", dir / "config/korvane/Korvane.INI"},
                                                          {"", ""}};
        if (c.installed) Touch(files.at("installed"));
        if (c.buildTree) Touch(files.at("build"));
        if (c.user) Touch(files.at("user"));
        ToolSettingsLocator loc;
        loc.setWritableCheck([&](const std::string&) { return c.bundledWritable; });
        EXPECT_EQ(loc.locate(program), files.at(c.read));
        EXPECT_EQ(loc.place().writePath(), files.at(c.write));
        EXPECT_EQ(loc.place().installed, c.installed && !c.buildTree);
        // After a first save into the per-user file, that file is read.
        if (std::string(c.write) == "user" && !c.user) {
            Touch(files.at("user"));
            loc.savedTo(files.at("user"));
            EXPECT_EQ(loc.found(), files.at("user"));
        }
    }
}

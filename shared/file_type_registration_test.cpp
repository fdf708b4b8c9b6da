#include "shared/file_type_registration.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "shared/ini_file.h"
#include "shared/test_support.h"
#include "shared/text.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::ScopedEnv;
using korvane::testing::TempDir;

namespace {

const char* const kType = "ZQ Korvane Project File";
const char* const kMime = "application/x-zq-korvane-project-file";
const char* const kDesktopId = "zq-korvane-project-file.desktop";

using Args = std::vector<std::string>;
using Group = std::map<std::string, std::string>;
using DesktopFile = std::map<std::string, Group>;

// The four registrations the shell makes for its project files.
bool RegisterProjectType(const std::string& program, const std::string& toolRoot) {
    const std::string advanced = Format("\"%s\" -sha -root \"%s\" -proj \"%%1\"", program.c_str(), toolRoot.c_str());
    const std::string plain = Format("\"%s\" -root \"%s\" -proj \"%%1\"", program.c_str(), toolRoot.c_str());
    bool ok = RegisterFileExtension(".srd", kType);
    ok = RegisterFileTypeIcon(kType, program + ",0") && ok;
    ok = RegisterFileTypeVerb(kType, "OpenAdvanced", "Start job with advanced options enabled", advanced) && ok;
    ok = RegisterFileTypeVerb(kType, "Open", "Start job", plain) && ok;
    return ok;
}

DesktopFile ParseDesktopFile(const std::string& path) {
    std::vector<std::string> problems;
    DesktopFile file = korvane::testing::ReadDesktopEntry(ReadFileBytes(path), problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    return file;
}

Args LaunchArgs(const std::string& exec, const std::string& file) {
    std::vector<std::string> problems;
    Args args = korvane::testing::DesktopExecArguments(exec, file, problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    return args;
}

bool ProgramInstalled(const char* name) {
    const std::string path = getenv("PATH") ? getenv("PATH") : "";
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string candidate = JoinPath(path.substr(start, end - start), name);
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

class FileTypeRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        ForceDirectories(program_dir_);
        ForceDirectories(tool_root_);
        PutFile(program_, "#!/bin/sh\n");
        chmod(program_.c_str(), 0755);
    }
    std::string Data(const std::string& rel) const { return JoinPath(dir_ / "data home", rel); }
    std::string Config(const std::string& rel) const { return JoinPath(dir_ / "config home", rel); }
    std::string DesktopFilePath() const { return Data(std::string("applications/") + kDesktopId); }

    TempDir dir_{"korvane reg"};
    ScopedEnv data_{"XDG_DATA_HOME", dir_ / "data home"};
    ScopedEnv config_{"XDG_CONFIG_HOME", dir_ / "config home"};
    // Blanks, a quote, "$" and "%" in the paths test the quoting.
    const std::string program_dir_ = dir_ / "my prog $HOME";
    const std::string program_ = JoinPath(program_dir_, "korvane");
    const std::string tool_root_ = dir_ / "tool root's 100%";
};

TEST(FileTypeNames, SlugAndMimeType) {
    EXPECT_EQ(FileTypeSlug(kType), "zq-korvane-project-file");
    EXPECT_EQ(FileTypeMimeType(kType), kMime);
    EXPECT_EQ(FileTypeSlug("  A__b--C2 "), "a-b-c2");
    EXPECT_EQ(FileTypeSlug("!!"), "unnamed");
}

TEST_F(FileTypeRegistration, ClassesRootHoldsTheSevenValues) {
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    IniFile ini;
    ini.load(ClassesRootFile());
    EXPECT_EQ(ClassesRootFile(), Data("korvane/classes.ini"));
    const std::string advanced = "\"" + program_ + "\" -sha -root \"" + tool_root_ + "\" -proj \"%1\"";
    const std::string plain = "\"" + program_ + "\" -root \"" + tool_root_ + "\" -proj \"%1\"";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"\\.srd", kType},
        {"\\ZQ Korvane Project File\\DefaultIcon", program_ + ",0"},
        {"\\ZQ Korvane Project File\\shell", "Open"},
        {"\\ZQ Korvane Project File\\shell\\OpenAdvanced", "Start job with advanced options enabled"},
        {"\\ZQ Korvane Project File\\shell\\OpenAdvanced\\command", advanced},
        {"\\ZQ Korvane Project File\\shell\\Open", "Start job"},
        {"\\ZQ Korvane Project File\\shell\\Open\\command", plain},
    };
    EXPECT_EQ(ini.entries("HKEY_CLASSES_ROOT"), expected);
    EXPECT_EQ(ClassesRootValue("\\.SRD"), kType);
}

TEST_F(FileTypeRegistration, DesktopEntryRunsTheCommandsWithArgumentsIntact) {
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    const DesktopFile file = ParseDesktopFile(DesktopFilePath());
    ASSERT_EQ(file.count("Desktop Entry"), 1u);
    const Group& entry = file.at("Desktop Entry");
    EXPECT_EQ(entry.at("Type"), "Application");
    EXPECT_EQ(entry.at("Name"), "Start job");
    EXPECT_EQ(entry.at("MimeType"), std::string(kMime) + ";");
    EXPECT_EQ(entry.at("Icon"), "korvane");
    const std::string project = "/home/u/My Projects/a b.srd";
    EXPECT_EQ(LaunchArgs(entry.at("Exec"), project), (Args{program_, "-root", tool_root_, "-proj", project}));

    EXPECT_EQ(entry.at("Actions"), "OpenAdvanced;");
    ASSERT_EQ(file.count("Desktop Action OpenAdvanced"), 1u);
    const Group& action = file.at("Desktop Action OpenAdvanced");
    EXPECT_EQ(action.at("Name"), "Start job with advanced options enabled");
    EXPECT_EQ(LaunchArgs(action.at("Exec"), project),
              (Args{program_, "-sha", "-root", tool_root_, "-proj", project}));
    EXPECT_EQ(file.size(), 2u);
}

TEST_F(FileTypeRegistration, TheVerbRegisteredLastIsTheDefault) {
    ASSERT_TRUE(RegisterFileTypeVerb(kType, "Open", "Start job", "\"" + program_ + "\" \"%1\""));
    ASSERT_TRUE(RegisterFileTypeVerb(kType, "OpenAdvanced", "Advanced", "\"" + program_ + "\" -sha \"%1\""));
    const DesktopFile file = ParseDesktopFile(DesktopFilePath());
    EXPECT_EQ(file.at("Desktop Entry").at("Name"), "Advanced");
    EXPECT_EQ(LaunchArgs(file.at("Desktop Entry").at("Exec"), "f"), (Args{program_, "-sha", "f"}));
    EXPECT_EQ(LaunchArgs(file.at("Desktop Action Open").at("Exec"), "f"), (Args{program_, "f"}));
    EXPECT_EQ(file.at("Desktop Entry").count("Icon"), 0u);  // no icon registered
}

TEST_F(FileTypeRegistration, MimePackageAndIcons) {
    PutFile(program_ + ".png", "PNG beside the program");
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    const std::string xml = ReadFileBytes(Data("mime/packages/zq-korvane-project-file.xml"));
    EXPECT_NE(xml.find("<mime-type type=\"application/x-zq-korvane-project-file\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<comment>ZQ Korvane Project File</comment>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<glob pattern=\"*.srd\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<icon name=\"application-x-zq-korvane-project-file\"/>"), std::string::npos) << xml;
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/48x48/mimetypes/application-x-zq-korvane-project-file.png")),
              "PNG beside the program");
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/48x48/apps/korvane.png")), "PNG beside the program");
    if (ProgramInstalled("update-mime-database")) {
        // The database built from the package knows the extension.
        EXPECT_NE(ReadFileBytes(Data("mime/globs2")).find(std::string(kMime) + ":*.srd"), std::string::npos);
    }
    if (ProgramInstalled("update-desktop-database")) {
        EXPECT_NE(ReadFileBytes(Data("applications/mimeinfo.cache")).find(std::string(kMime) + "=" + kDesktopId),
                  std::string::npos);
    }
}

TEST_F(FileTypeRegistration, InstalledIconIsTheFallback) {
    PutFile(dir_ / "share/icons/hicolor/48x48/apps/korvane.png", "installed PNG");
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/48x48/apps/korvane.png")), "installed PNG");
}

TEST_F(FileTypeRegistration, DefaultAssociationKeepsOtherLines) {
    const std::string before = "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n\n"
                               "[Added Associations]\napplication/x-zq-korvane-project-file=other.desktop;\n";
    PutFile(Config("mimeapps.list"), before);
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    EXPECT_EQ(ReadFileBytes(Config("mimeapps.list")),
              "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n"
              "application/x-zq-korvane-project-file=zq-korvane-project-file.desktop\n\n"
              "[Added Associations]\napplication/x-zq-korvane-project-file=other.desktop;\n");
}

TEST_F(FileTypeRegistration, RegisteringAgainReplacesThePreviousRegistration) {
    ASSERT_TRUE(RegisterProjectType(program_, tool_root_));
    const std::string otherProgram = dir_ / "second copy/korvane";
    const std::string otherRoot = dir_ / "other root";
    PutFile(otherProgram);
    ASSERT_TRUE(RegisterProjectType(otherProgram, otherRoot));

    IniFile ini;
    ini.load(ClassesRootFile());
    EXPECT_EQ(ini.entries("HKEY_CLASSES_ROOT").size(), 7u);
    EXPECT_EQ(ClassesRootValue("\\ZQ Korvane Project File\\DefaultIcon"), otherProgram + ",0");
    const DesktopFile file = ParseDesktopFile(DesktopFilePath());
    EXPECT_EQ(LaunchArgs(file.at("Desktop Entry").at("Exec"), "p.srd"),
              (Args{otherProgram, "-root", otherRoot, "-proj", "p.srd"}));
    EXPECT_EQ(LaunchArgs(file.at("Desktop Action OpenAdvanced").at("Exec"), "p.srd"),
              (Args{otherProgram, "-sha", "-root", otherRoot, "-proj", "p.srd"}));
    const std::string list = ReadFileBytes(Config("mimeapps.list"));
    EXPECT_EQ(list, "[Default Applications]\napplication/x-zq-korvane-project-file=zq-korvane-project-file.desktop\n");
}

TEST_F(FileTypeRegistration, ExtensionMovedToAnotherTypeLeavesTheOldOne) {
    ASSERT_TRUE(RegisterFileExtension(".srd", kType));
    ASSERT_TRUE(RegisterFileExtension(".SRD", "Other Type"));
    EXPECT_EQ(ReadFileBytes(Data("mime/packages/zq-korvane-project-file.xml")).find("glob"), std::string::npos);
    EXPECT_NE(ReadFileBytes(Data("mime/packages/other-type.xml")).find("<glob pattern=\"*.srd\"/>"),
              std::string::npos);
}

TEST_F(FileTypeRegistration, UnwritableDataFolderGivesFalseAndChangesNothing) {
    PutFile(Config("mimeapps.list"), "[Default Applications]\n");
    PutFile(dir_ / "blocker", "a file where a folder should be");
    {
        ScopedEnv data("XDG_DATA_HOME", dir_ / "blocker/data");
        EXPECT_FALSE(RegisterFileExtension(".srd", kType));
        EXPECT_FALSE(RegisterFileTypeIcon(kType, program_ + ",0"));
        EXPECT_FALSE(RegisterFileTypeVerb(kType, "Open", "Start job", "\"" + program_ + "\" \"%1\""));
        EXPECT_FALSE(RegisterProjectType(program_, tool_root_));
    }
    if (geteuid() != 0) {
        // A folder without write permission (root would write anyway).
        ForceDirectories(Data(""));
        chmod(Data("").c_str(), 0500);
        EXPECT_FALSE(RegisterProjectType(program_, tool_root_));
        chmod(Data("").c_str(), 0700);
    }
    {
        ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
        ScopedEnv noHome("HOME", std::nullopt);
        EXPECT_FALSE(RegisterProjectType(program_, tool_root_));
    }
    EXPECT_EQ(ReadFileBytes(Config("mimeapps.list")), "[Default Applications]\n");
    EXPECT_FALSE(FileExists(Data("korvane/classes.ini")));
}

TEST(FileTypeAssociation, DesktopToolsAnswerTheDefault) {
    if (!ProgramInstalled("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
    // xdg-mime takes the first blank-separated word of Exec as the program,
    // so this registration uses paths without blanks.
    TempDir dir("korvane-xdg");
    ScopedEnv home("HOME", dir.path());
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    const std::string program = dir / "bin/korvane";
    PutFile(program, "#!/bin/sh\n");
    chmod(program.c_str(), 0755);
    ASSERT_TRUE(RegisterProjectType(program, dir / "tools"));
    FILE* out = popen("xdg-mime query default application/x-zq-korvane-project-file 2>/dev/null", "r");
    ASSERT_NE(out, nullptr);
    std::string answer;
    char buf[256];
    while (fgets(buf, sizeof buf, out)) answer += buf;
    pclose(out);
    EXPECT_EQ(Trim(answer), kDesktopId);
}

}  // namespace

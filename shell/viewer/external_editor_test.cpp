#include "shell/viewer/external_editor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "shared/platform/files.h"
#include "shared/platform/process.h"
#include "shared/test_support.h"

namespace korvane {
namespace {

using korvane::testing::TempDir;

// An environment with the given variables and programs in $PATH.
EditorEnvironment Env(std::map<std::string, std::string> vars, std::map<std::string, std::string> programs) {
    EditorEnvironment env;
    env.variable = [vars](const std::string& name) {
        auto it = vars.find(name);
        return it == vars.end() ? std::string() : it->second;
    };
    env.findProgram = [programs](const std::string& name) {
        auto it = programs.find(name);
        return it == programs.end() ? std::string() : it->second;
    };
    return env;
}

std::string Script(const TempDir& dir, const std::string& name) {
    const std::string path = dir / name;
    WriteFileAtomic(path, "#!/bin/sh\nexit 0\n");
    chmod(path.c_str(), 0755);
    return path;
}

TEST(ExternalEditorLaunch, NamedProgramRunsAsItStands) {
    TempDir dir;
    const std::string editor = Script(dir, "my editor");
    const std::string notExecutable = dir / "plain.txt";
    WriteFileAtomic(notExecutable, "text");
    // The desktop's editor is at hand in every case, yet the user's choice
    // is started, also when it cannot be (that start fails silently).
    const EditorEnvironment env = Env({{"VISUAL", "vi"}}, {{"x-terminal-emulator", "/usr/bin/xt"},
                                                           {"xdg-open", "/usr/bin/xdg-open"},
                                                           {"kate", "/usr/bin/kate"}});
    for (const std::string& picker :
         {editor, std::string("kate"), dir / "missing", notExecutable, std::string("no-such-program"),
          dir / "Notepad.Exe.sh", std::string("MyNotepad.Exe")}) {
        const EditorLaunch l = ExternalEditorLaunch(picker, "/out", env);
        EXPECT_EQ(l.program, picker);
        EXPECT_EQ(l.arguments, "") << picker;
    }
}

TEST(ExternalEditorLaunch, DefaultOrEmptyPickerStartsTheDesktopEditor) {
    const std::map<std::string, std::string> programs = {{"x-terminal-emulator", "/usr/bin/xt"},
                                                         {"xdg-open", "/usr/bin/xdg-open"}};
    for (const std::string& picker :
         {std::string("Notepad.Exe"), std::string("notepad.exe"), std::string("NOTEPAD.EXE"), std::string(""),
          std::string("  "), std::string(" Notepad.Exe "), std::string("/mnt/c/Windows/Notepad.Exe"),
          std::string("windows/notepad.EXE")}) {
        // $VISUAL first, in a terminal, its words as separate arguments.
        EditorLaunch l = ExternalEditorLaunch(picker, "/out", Env({{"VISUAL", "code --wait"}, {"EDITOR", "vi"}},
                                                                  programs));
        EXPECT_EQ(l.program, "/usr/bin/xt") << picker;
        EXPECT_EQ(l.arguments, "-e code --wait") << picker;
        // $EDITOR when $VISUAL is empty.
        l = ExternalEditorLaunch(picker, "/out", Env({{"VISUAL", "  "}, {"EDITOR", "vi"}}, programs));
        EXPECT_EQ(l.arguments, "-e vi") << picker;
        // Neither: the output directory opens on the desktop.
        l = ExternalEditorLaunch(picker, "/my out", Env({}, programs));
        EXPECT_EQ(l.program, "/usr/bin/xdg-open") << picker;
        EXPECT_EQ(l.arguments, "\"/my out\"") << picker;
    }
    // An editor but no terminal: the desktop as well.
    EditorLaunch l = ExternalEditorLaunch("Notepad.Exe", "/out",
                                          Env({{"EDITOR", "vi"}}, {{"xdg-open", "/usr/bin/xdg-open"}}));
    EXPECT_EQ(l.program, "/usr/bin/xdg-open");
    EXPECT_EQ(l.arguments, "/out");
}

TEST(QuoteCommandArgument, SurvivesTheLaunchersSplit) {
    for (const std::string& arg : {std::string("plain"), std::string("with blank"), std::string(""),
                                   std::string("a\"quote"), std::string("trail\\"), std::string("dir with\\"),
                                   std::string("back\\\\\"slash"), std::string("tab\there")}) {
        const std::vector<std::string> split = SplitCommandLine("prog " + QuoteCommandArgument(arg));
        ASSERT_EQ(split.size(), 2u) << arg;
        EXPECT_EQ(split[1], arg);
    }
}

TEST(FindProgramInPath, FindsExecutablesOnly) {
    TempDir dir;
    Script(dir, "edit-me");
    WriteFileAtomic(dir / "not-me", "#!/bin/sh\n");
    korvane::testing::ScopedEnv path("PATH", "/nonexistent:" + dir.path());
    EXPECT_EQ(FindProgramInPath("edit-me"), dir / "edit-me");
    EXPECT_EQ(FindProgramInPath("not-me"), "");
    EXPECT_EQ(FindProgramInPath("missing"), "");
    EXPECT_EQ(FindProgramInPath(dir / "edit-me"), "");  // a path is not searched
}

}  // namespace
}  // namespace korvane

#pragma once
// Which program "Call external editor" starts, and with what.
//
// The picker "External editor && viewer" names the program. Its default,
// "Notepad.Exe", is no program on this platform; while the picker still
// holds it (in any case, with or without a folder) or is empty, the
// desktop's own editor comes instead:
//   - $VISUAL, else $EDITOR, when set: run in a terminal window
//     (x-terminal-emulator -e <editor>) in the output directory;
//   - otherwise xdg-open on the output directory (the desktop's file
//     manager), which returns as soon as the desktop has taken over.
// Any other text is the user's program and is started as it stands; when it
// cannot be started, nothing happens.

#include <functional>
#include <string>

namespace korvane {

inline constexpr const char* kDefaultExternalEditor = "Notepad.Exe";

struct EditorLaunch {
    std::string program;    // as RunAndWait takes it (not quoted)
    std::string arguments;  // "" for the named program: it gets no arguments
};

// What the choice looks at; the defaults read the process environment and
// search $PATH.
struct EditorEnvironment {
    std::function<std::string(const std::string& name)> variable;
    // Full path of an executable program found in $PATH, "" when none.
    std::function<std::string(const std::string& name)> findProgram;
    static EditorEnvironment Process();
};

// The program to start for the picker's path.
EditorLaunch ExternalEditorLaunch(const std::string& pickerPath, const std::string& outputDir,
                                  const EditorEnvironment& env = EditorEnvironment::Process());

// An argument quoted so that the command-line split of the tool launcher
// gives it back unchanged (blanks, tabs, quotes and backslashes).
std::string QuoteCommandArgument(const std::string& argument);

}  // namespace korvane

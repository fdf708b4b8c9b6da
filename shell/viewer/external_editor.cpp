#include "shell/viewer/external_editor.h"

#include <vector>

#include "shared/env.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/text.h"

namespace korvane {

namespace {

// Whether the picker names a program of the user's choice: anything but
// nothing and the default, which may stand with a folder before it. Whether
// that program can be started is left to the start, which fails silently.
bool NamesProgram(const std::string& path) {
    return !path.empty() && !SameText(ExtractFileName(path), kDefaultExternalEditor);
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

}  // namespace

EditorEnvironment EditorEnvironment::Process() {
    EditorEnvironment env;
    env.variable = [](const std::string& name) { return GetEnvVar(name); };
    env.findProgram = [](const std::string& name) { return FindProgramInPath(name); };
    return env;
}

std::string QuoteCommandArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

EditorLaunch ExternalEditorLaunch(const std::string& pickerPath, const std::string& outputDir,
                                  const EditorEnvironment& env) {
    if (NamesProgram(Trim(pickerPath))) return {pickerPath, ""};

    std::string editor = Trim(env.variable("VISUAL"));
    if (editor.empty()) editor = Trim(env.variable("EDITOR"));
    if (!editor.empty()) {
        const std::string terminal = env.findProgram("x-terminal-emulator");
        if (!terminal.empty()) {
            std::string arguments = "-e";
            for (const std::string& word : Words(editor)) arguments += " " + QuoteCommandArgument(word);
            return {terminal, arguments};
        }
    }
    std::string opener = env.findProgram("xdg-open");
    if (opener.empty()) opener = "xdg-open";
    return {opener, QuoteCommandArgument(outputDir)};
}

}  // namespace korvane

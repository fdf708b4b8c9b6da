#include "shell/viewer/external_editor.h"

#include <unistd.h>

#include <vector>

#include "shared/env.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/text.h"

namespace korvane {

namespace {

bool HasPathSep(const std::string& s) {
    for (char c : s)
        if (IsPathSep(c)) return true;
    return false;
}

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

std::string FindProgramInPath(const std::string& name) {
    if (name.empty() || HasPathSep(name)) return {};
    std::string path = GetEnvVar("PATH");
    if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string dir = path.substr(start, end - start);
        const std::string candidate = JoinPath(dir.empty() ? "." : dir, name);
        if (access(candidate.c_str(), X_OK) == 0 && ExecutableKind(candidate) == ExecKind::Native)
            return candidate;
        start = end + 1;
    }
    return {};
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

#include "shared/env.h"

#include <cstdlib>
#include <optional>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

extern char** environ;

namespace korvane {

namespace {

std::optional<std::string> LookUp(const std::string& name) {
    if (const char* v = getenv(name.c_str())) return std::string(v);
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        const size_t eq = entry.find('=');
        if (eq != std::string_view::npos && SameText(entry.substr(0, eq), name))
            return std::string(entry.substr(eq + 1));
    }
    return std::nullopt;
}

std::string XdgHome(const char* variable, const char* fallbackBelowHome) {
    std::string dir = GetEnvVar(variable);
    if (!dir.empty() && dir[0] == kPathSep) return ExcludeTrailingSep(dir);
    const std::string home = GetEnvVar("HOME");
    if (home.empty()) return {};
    return JoinPath(home, fallbackBelowHome);
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: a shell-style
// assignment of a double-quoted path that may start with $HOME.
std::string DocumentsDirFrom(const std::string& userDirsFile, const std::string& home) {
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(userDirsFile);
    } catch (...) {
        return {};
    }
    for (const std::string& line : lines) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;
        if (Trim(TextBeforeFirst(t, "=")) != "XDG_DOCUMENTS_DIR" || t.find('=') == std::string::npos) continue;
        std::string value = Trim(TextAfterFirst(t, "="));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        std::string unquoted;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            unquoted.push_back(value[i]);
        }
        for (const char* prefix : {"${HOME}", "$HOME"}) {
            if (StartsWithStr(prefix, unquoted)) {
                if (home.empty()) return {};
                return ExcludeTrailingSep(home + unquoted.substr(std::string_view(prefix).size()));
            }
        }
        if (!unquoted.empty() && unquoted[0] == kPathSep) return ExcludeTrailingSep(unquoted);
        return {};
    }
    return {};
}

}  // namespace

std::string GetEnvVar(const std::string& name) {
    const char* v = getenv(name.c_str());
    return v ? std::string(v) : std::string();
}

std::string XdgConfigHome() { return XdgHome("XDG_CONFIG_HOME", ".config"); }

std::string XdgDataHome() { return XdgHome("XDG_DATA_HOME", ".local/share"); }

std::string PersonalFolder() {
    const std::string home = ExcludeTrailingSep(GetEnvVar("HOME"));
    const std::string config = XdgConfigHome();
    if (!config.empty()) {
        const std::string docs = DocumentsDirFrom(JoinPath(config, "user-dirs.dirs"), home);
        // A documents folder set to the home folder itself means "none".
        if (!docs.empty() && docs != home && DirectoryExists(docs)) return docs;
    }
    return home;
}

std::string ExpandEnvVars(std::string_view text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        if (open == std::string_view::npos) break;
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        const std::string name(text.substr(open + 1, close - open - 1));
        std::optional<std::string> value;
        if (!name.empty() && name.find('=') == std::string::npos) value = LookUp(name);
        if (value) {
            out += *value;
            i = close + 1;
        } else {
            // An unknown reference stays; its closing "%" may open the next.
            out.append(text.substr(open, close - open));
            i = close;
        }
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace korvane

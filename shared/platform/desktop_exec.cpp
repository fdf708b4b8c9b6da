#include "shared/platform/desktop_exec.h"

#include <cstring>

namespace korvane {

std::vector<std::string> SplitWindowsCommandLine(std::string_view cmd) {
    std::vector<std::string> args;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    const size_t n = cmd.size();
    while (i < n && blank(cmd[i])) ++i;
    if (i >= n) return args;

    // The program: quotes only group, backslashes are path characters.
    std::string program;
    bool quoted = false;
    while (i < n && (quoted || !blank(cmd[i]))) {
        if (cmd[i] == '"')
            quoted = !quoted;
        else
            program.push_back(cmd[i]);
        ++i;
    }
    args.push_back(std::move(program));

    while (true) {
        while (i < n && blank(cmd[i])) ++i;
        if (i >= n) break;
        std::string arg;
        bool inQuotes = false;
        while (i < n && (inQuotes || !blank(cmd[i]))) {
            if (cmd[i] == '\\') {
                size_t count = 0;
                while (i < n && cmd[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < n && cmd[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2) {
                        arg.push_back('"');
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
                continue;
            }
            if (cmd[i] == '"') {
                if (inQuotes && i + 1 < n && cmd[i + 1] == '"') {
                    arg.push_back('"');
                    i += 2;
                    continue;
                }
                inQuotes = !inQuotes;
                ++i;
                continue;
            }
            arg.push_back(cmd[i++]);
        }
        args.push_back(std::move(arg));
    }
    return args;
}

namespace {

bool IsReserved(char c) { return c != '\0' && std::strchr(" \t\n\"'\\><~|&;$*?#()`", c) != nullptr; }

bool IsFilePlaceholder(std::string_view text, size_t i) {
    return text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == 'L' || text[i + 1] == 'l');
}

}  // namespace

std::string DesktopExecArg(std::string_view arg) {
    if (arg == "%1" || arg == "%L" || arg == "%l") return "%f";
    bool quote = arg.empty();
    for (char c : arg)
        if (IsReserved(c)) quote = true;
    std::string out;
    if (quote) out.push_back('"');
    for (size_t i = 0; i < arg.size(); ++i) {
        const char c = arg[i];
        if (IsFilePlaceholder(arg, i)) {
            out += "%f";
            ++i;
        } else if (c == '%') {
            out += "%%";
        } else {
            if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out.push_back('\\');
            out.push_back(c);
        }
    }
    if (quote) out.push_back('"');
    return out;
}

std::string DesktopExecFromWindowsCommand(std::string_view commandLine) {
    std::string out;
    for (const std::string& arg : SplitWindowsCommandLine(commandLine)) {
        if (!out.empty()) out.push_back(' ');
        out += DesktopExecArg(arg);
    }
    return out;
}

std::string EscapeDesktopString(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case ' ':
                out += i == 0 ? "\\s" : " ";
                break;
            default: out.push_back(value[i]);
        }
    }
    return out;
}

}  // namespace korvane

#include "shared/cmdline.h"

#include "shared/text.h"

namespace korvane {

namespace {

std::vector<std::string>& Args() {
    static std::vector<std::string> args;
    return args;
}

// Lower case with a leading "-"; an empty abbreviation stays empty so that it
// never matches.
std::string OptionForm(const std::string& part, bool keepEmpty) {
    if (part.empty() && keepEmpty) return {};
    std::string r = LowerCase(part);
    if (r.empty() || r[0] != '-') r.insert(r.begin(), '-');
    return r;
}

// The second ":"-separated part of the entry ("" when there is none).
std::string SecondPart(const std::string& entry) {
    std::string rest = TextAfterFirst(entry, ":");
    return TextBeforeFirst(rest, ":");
}

}  // namespace

void SetCommandLineArgs(std::vector<std::string> args) { Args() = std::move(args); }

const std::vector<std::string>& CommandLineArgs() { return Args(); }

bool CmdLineSwitch(const std::string& entry, bool def) {
    const std::string name = OptionForm(TextBeforeFirst(entry, ":"), false);
    const std::string abbr = OptionForm(TextAfterFirst(entry, ":"), true);
    for (const std::string& arg : Args()) {
        const std::string key = LowerCase(TextBeforeFirst(arg, "="));
        if (key == name || key == name + "+") return true;
        if (!abbr.empty() && (key == abbr || key == abbr + "+")) return true;
        if (key == name + "-") return false;
        if (!abbr.empty() && key == abbr + "-") return false;
    }
    return def;
}

bool CmdLineValue(const std::string& entry, std::string& value) {
    const std::string name = OptionForm(TextBeforeFirst(entry, ":"), false);
    const std::string abbr = OptionForm(SecondPart(entry), true);
    auto matches = [&](const std::string& text) { return text == name || (!abbr.empty() && text == abbr); };
    const std::vector<std::string>& args = Args();
    for (size_t i = 0; i < args.size(); ++i) {
        if (matches(LowerCase(args[i]))) {
            // The option alone: its value is the next argument unless that is
            // another option; then this one yields nothing.
            if (i + 1 < args.size() && !StartsWithStr("-", args[i + 1])) {
                value = args[i + 1];
                return true;
            }
            continue;
        }
        if (args[i].find('=') != std::string::npos && matches(LowerCase(TextBeforeFirst(args[i], "=")))) {
            value = TextAfterFirst(args[i], "=");
            return true;
        }
    }
    return false;
}

}  // namespace korvane

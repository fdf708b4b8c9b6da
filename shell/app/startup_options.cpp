#include "shell/app/startup_options.h"

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

namespace {

struct KnownOption {
    const char* names;  // "|"-separated, lower case, with their leading "-"
    bool takesValue;
    bool batchOnly;
};

// The program's own options, then the toolkit's (taken by the window's
// application object; harmless to the batch mode).
const KnownOption kKnownOptions[] = {
    {"-root|-r", true, false},
    {"-proj|-p", true, false},
    {"-showadvanced|-sha", false, false},
    {"-registershell|-shell", false, false},
    {"-batch", true, false},
    {"-takeover", false, false},
    {"-timeout", true, false},
    {"-out", true, true},
    {"-diff", false, true},
    {"-report", true, true},
    {"-check", false, true},
    {"-quiet", false, true},
    {"-jobs", true, true},
    {"-shard", true, true},
    {"-platform|-platformpluginpath|-platformtheme|-plugin|-qmljsdebugger|-session|-qwindowgeometry|-geometry|"
     "-qwindowicon|-icon|-qwindowtitle|-title|-display|-name|-style|-stylesheet|-visual",
     true, false},
    {"-reverse|-widgetcount|-nograb|-dograb|-sync", false, false},
};

const KnownOption* FindOption(const std::string& key) {
    for (const KnownOption& o : kKnownOptions) {
        std::string rest = o.names;
        while (!rest.empty()) {
            const std::string name = TextBeforeFirst(rest, "|");
            rest = rest.size() > name.size() ? rest.substr(name.size() + 1) : std::string();
            if (key == name || (!o.takesValue && (key == name + "+" || key == name + "-"))) return &o;
        }
    }
    return nullptr;
}

bool IsBatch(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (LowerCase(TextBeforeFirst(a, "=")) == "-batch") return true;
    return false;
}

}  // namespace

std::string CommandLineFault(const std::vector<std::string>& args) {
    const bool batch = IsBatch(args);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') {
            if (batch) return "korvane: unexpected argument " + a;
            continue;
        }
        const bool inlineValue = a.find('=') != std::string::npos;
        const std::string key = LowerCase(inlineValue ? TextBeforeFirst(a, "=") : a);
        const KnownOption* o = FindOption(key);
        if (!o) return "korvane: unknown option " + (inlineValue ? TextBeforeFirst(a, "=") : a);
        if (o->batchOnly && !batch) return "korvane: " + key + " works with -batch only";
        // A switch reads only the text before "=", as the matching does.
        if (!o->takesValue || inlineValue) continue;
        if (i + 1 < args.size() && !StartsWithStr("-", args[i + 1])) {
            ++i;
            continue;
        }
        // The window takes an option without its value as not given.
        if (batch) return "korvane: " + key + " needs a value";
    }
    return {};
}

std::string ResolveToolRoot(bool rootGiven, const std::string& rootValue, const std::string& programDir) {
    std::string root = rootGiven ? rootValue : ExcludeTrailingSep(programDir);
    std::string last = ExtractFileName(ExcludeTrailingSep(root));
    if (UpperCase(last) == "TOOLS") {
        std::string longer = IncludeTrailingSep(root) + "MAINTAIN" + kPathSepStr + "KORVANE";
        if (DirectoryExists(longer)) root = longer;
    }
    return root;
}

}  // namespace korvane

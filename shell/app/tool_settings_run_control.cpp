#include "shell/app/tool_settings_run_control.h"

#include <climits>

#include "shared/comma_text.h"
#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

bool UseDOSBoxFlag(const NameValueList& text) { return TextToBool(text.value(kUseDOSBoxKey)); }

RunControlFlags EvaluateRunControlFlags(const NameValueList& text, bool dosboxReady) {
    RunControlFlags f;
    f.blindRun = TextToBool(text.value(kBlindrunKey)) && !dosboxReady;
    f.captureLog = TextToBool(text.value(kCaptureLogKey)) && !dosboxReady;
    f.deleteAfter = TextToBool(text.value(kDeleteAfterKey));
    for (std::string& item : SplitCommaText(text.value(kIgnoreExitStatusKey)))
        if (!item.empty()) f.exitStatusIgnored.push_back(std::move(item));
    return f;
}

int BigDirectoryLimit(const NameValueList& text, std::string* warning) {
    std::string v = text.value(kBigDirectoryLimitKey);
    if (v.empty()) return kDefaultBigDirectoryLimit;
    const RangedNumber n = DigitsInRange(v, 0, INT_MAX, kDefaultBigDirectoryLimit);
    if (n.outOfRange && warning)
        *warning = Format(kNumberOutOfRange, kBigDirectoryLimitKey, v.c_str(), 0, INT_MAX, kDefaultBigDirectoryLimit);
    return n.value == 0 ? kDefaultBigDirectoryLimit : n.value;
}

std::string DOSBoxBaseConfigPath(std::string_view toolSettingsPath) {
    return ExtractFilePath(toolSettingsPath) + kDOSBoxBaseConfigName;
}

std::string DOSBoxConfigRunCommandLine(std::string_view dosboxPath) {
    return std::string(dosboxPath) + " " + " -c \" CONFIG -writeconf " + kDOSBoxBaseConfigName +
           "\"  -noconsole -c exit ";
}

std::vector<std::string> DOSBoxConfigRunArguments(std::string_view dosboxPath) {
    return {std::string(dosboxPath), "-c", std::string(" CONFIG -writeconf ") + kDOSBoxBaseConfigName,
            "-noconsole", "-c", "exit"};
}

void PlaceDOSBoxLocation(NameValueList& text, std::string_view dosboxPath) {
    auto& lines = text.lines();
    for (int i = text.indexOfName(kDOSBoxLocationKey); i >= 0; i = text.indexOfName(kDOSBoxLocationKey))
        lines.erase(lines.begin() + i);
    std::string line = std::string(kDOSBoxLocationKey) + "=" + std::string(dosboxPath);
    int use = text.indexOfName(kUseDOSBoxKey);
    if (use < 0)
        lines.push_back(std::move(line));
    else
        lines.insert(lines.begin() + use + 1, std::move(line));
}

}  // namespace korvane

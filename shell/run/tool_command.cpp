#include "shell/run/tool_command.h"

#include "shared/platform/process.h"
#include "shared/text.h"

namespace korvane {

std::string ToolArguments(bool scanRun, bool captureLog) {
    std::string args = "last.xml";
    if (captureLog) args += std::string(scanRun ? " > " : " >> ") + kConsoleLogName;
    return args;
}

std::string QuoteProgramPath(const std::string& program) {
    if (program.find(' ') == std::string::npos) return program;
    return "\"" + Trim(program) + "\"";
}

std::string ToolCommandLine(const std::string& program, const std::string& arguments) {
    return QuoteProgramPath(program) + " " + arguments;
}

std::optional<CaptureRequest> CaptureFromArguments(const std::vector<std::string>& args) {
    std::optional<CaptureRequest> found;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '>') continue;
        const bool append = a.size() >= 2 && a[1] == '>';
        std::string file = a.substr(append ? 2 : 1);
        if (file.empty()) {
            if (i + 1 >= args.size()) break;  // a redirection without a target does nothing
            file = args[++i];
        }
        if (file.empty()) continue;
        found = CaptureRequest{file, append};
    }
    return found;
}

std::string StepFailureText(const std::string& step, const std::string& program, const ProcessEnd& end) {
    const std::string who = "Step " + step + ": program " + program;
    switch (end.kind) {
    case ProcessEnd::Kind::Exited:
        if (end.code == 0) return {};
        return who + " ended with exit status " + std::to_string(end.code);
    case ProcessEnd::Kind::Signalled:
        return who + " was ended by signal " + std::to_string(end.signal) + " (" + SignalName(end.signal) + ")";
    case ProcessEnd::Kind::Unknown:
        break;
    }
    return {};
}

std::string StepTimeLimitText(const std::string& step, const std::string& program, int seconds) {
    return "Step " + step + ": program " + program + " did not end within " + std::to_string(seconds) + " seconds";
}

bool ExitStatusCounts(const std::vector<std::string>& ignoringLanguages, const std::string& languageKey,
                      const std::string& languageSuffix) {
    for (const std::string& item : ignoringLanguages)
        if (SameText(item, languageKey) || SameText(item, languageSuffix)) return false;
    return true;
}

}  // namespace korvane

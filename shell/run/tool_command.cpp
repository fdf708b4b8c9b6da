#include "shell/run/tool_command.h"

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

}  // namespace korvane

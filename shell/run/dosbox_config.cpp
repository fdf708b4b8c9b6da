#include "shell/run/dosbox_config.h"

#include "shared/name_value_list.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

std::vector<std::string> BuildDosBoxConfig(const std::vector<std::string>& baseLines, std::string_view programPath) {
    // The old autoexec section goes only when it starts after the first line;
    // a base whose first line is [autoexec] is kept whole.
    size_t keep = baseLines.size();
    for (size_t i = 0; i < baseLines.size(); ++i) {
        if (SameText(baseLines[i], "[autoexec]")) {
            if (i > 0) keep = i;
            break;
        }
    }
    NameValueList config(std::vector<std::string>(baseLines.begin(), baseLines.begin() + std::ptrdiff_t(keep)));
    config.add("[autoexec]");
    // Drive letters and "c:\" are DOS syntax inside the emulator, not our separator.
    config.add("mount c: \"" + ExtractFilePath(programPath) + "\"");
    config.add("mount x: .");
    config.add("x:");
    config.add(Format("c:\\%s last.xml", ExtractFileName(programPath).c_str()));
    config.add("exit");
    config.setValue("cycles", "max");
    return std::move(config.lines());
}

std::string WriteDosBoxConfig(std::string_view workingDir, const std::string& baseConfigPath,
                              std::string_view programPath) {
    std::string path = JoinPath(workingDir, kDosBoxConfigName);
    WriteTextLines(path, BuildDosBoxConfig(ReadTextLines(baseConfigPath), programPath), AtLink::Replace);
    return path;
}

}  // namespace korvane

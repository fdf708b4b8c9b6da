#include "shell/app/registration.h"

#include "shared/file_type_registration.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace korvane {

std::string PlainProjectCommand(const std::string& programPath, const std::string& toolRoot) {
    return Format("\"%s\" -root \"%s\" -proj \"%%1\"", programPath.c_str(), toolRoot.c_str());
}

std::string AdvancedProjectCommand(const std::string& programPath, const std::string& toolRoot) {
    return Format("\"%s\" -sha -root \"%s\" -proj \"%%1\"", programPath.c_str(), toolRoot.c_str());
}

void RegisterProjectFileType(const std::string& programPath, const std::string& toolRoot) {
    RegisterFileExtension(kProjectExtension, kProjectFileType);
    RegisterFileTypeIcon(kProjectFileType, programPath + ",0");
    RegisterFileTypeVerb(kProjectFileType, "OpenAdvanced", "Start job with advanced options enabled",
                         AdvancedProjectCommand(programPath, toolRoot));
    RegisterFileTypeVerb(kProjectFileType, "Open", "Start job", PlainProjectCommand(programPath, toolRoot));
}

void RegisterAtStart(const std::string& programPath, const std::string& toolRoot, bool requested,
                     const std::string& fileVersion) {
    if (requested) {
        RegisterProjectFileType(programPath, toolRoot);
    } else if (ReadSettingString("ProgramVersion", "") != fileVersion) {
        RegisterProjectFileType(programPath, toolRoot);
        WriteSettingString("ProgramVersion", fileVersion);
    }
}

}  // namespace korvane

#include "shared/version_info.h"

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shared/version_config.h"

namespace korvane {

std::string VersionInfoString(const std::string& valueName) {
    static const struct {
        const char* name;
        const char* value;
    } kValues[] = {
        {"FileVersion", KORVANE_FILE_VERSION},         {"ProductVersion", KORVANE_PRODUCT_VERSION},
        {"FileDescription", KORVANE_FILE_DESCRIPTION}, {"ProductName", KORVANE_PRODUCT_NAME},
        {"LegalCopyright", KORVANE_LEGAL_COPYRIGHT},   {"CompanyName", KORVANE_COMPANY_NAME},
    };
    for (const auto& v : kValues)
        if (SameText(valueName, v.name)) return v.value;
    return {};
}

std::string ProgramFilePath() { return RunningProgramPath(); }

std::time_t ProgramFileTime() {
    const std::string path = ProgramFilePath();
    const int64_t ns = path.empty() ? -1 : FileAgeNs(path);
    return ns < 0 ? std::time_t(-1) : std::time_t(ns / 1000000000LL);
}

}  // namespace korvane

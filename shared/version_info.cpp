#include "shared/version_info.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

std::string ProgramFilePath() {
    std::vector<char> buf(4096);
    while (true) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (size_t(n) < buf.size()) return std::string(buf.data(), size_t(n));
        buf.resize(buf.size() * 2);
    }
}

std::time_t ProgramFileTime() {
    const std::string path = ProgramFilePath();
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
    return st.st_mtime;
}

}  // namespace korvane

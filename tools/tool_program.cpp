#include "tools/tool_program.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "shared/text.h"

namespace korvane::tools {

std::string OwnProgramPath(const char* argv0) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) return std::string(buf, size_t(n));
    return argv0 ? argv0 : "";
}

std::string SidecarValue(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(Trim(line.substr(0, eq)), name)) return Trim(line.substr(eq + 1));
    }
    return "";
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

bool AppendToFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << text;
    return bool(out);
}

}  // namespace korvane::tools

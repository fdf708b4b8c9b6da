#include "tools/parameter_file_reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "shared/text.h"

namespace korvane::tools {

namespace {

// For "<Name>value</Name>" gives Name and value; false for other lines.
bool SplitElement(const std::string& line, std::string& name, std::string& value) {
    if (line.size() < 3 || line[0] != '<' || line[1] == '/' || line[1] == '?' || line[1] == '!') return false;
    size_t close = line.find('>');
    if (close == std::string::npos) return false;
    name = line.substr(1, close - 1);
    std::string end = "</" + name + ">";
    size_t endPos = line.rfind(end);
    if (endPos == std::string::npos || endPos < close + 1) return false;
    value = line.substr(close + 1, endPos - close - 1);
    return true;
}

}  // namespace

std::string AttributeValue(const std::string& line) {
    size_t first = line.find('"');
    size_t last = line.rfind('"');
    if (first == std::string::npos || last <= first) return "";
    return line.substr(first + 1, last - first - 1);
}

std::string NativePath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool ReadParameterFile(const std::string& path, ParameterFileContents& contents, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), {});
    for (const std::string& raw : SplitLines(text)) {
        std::string line = TrimLeft(raw);
        std::string name, value;
        if (StartsWithStr("ProductName", line) && line.find('=') != std::string::npos) {
            contents.productName = AttributeValue(line);
        } else if (StartsWithStr("SystemName", line) && line.find('=') != std::string::npos) {
            contents.systemName = AttributeValue(line);
        } else if (StartsWithStr("Version", line) && line.find('=') != std::string::npos) {
            contents.version = AttributeValue(line);
        } else if (SplitElement(line, name, value)) {
            if (name == "Output_Dir") {
                contents.outputDir = NativePath(value);
            } else if (StartsWithStr("File_", name)) {
                contents.files.push_back({name.substr(5), NativePath(value)});
            }
        }
    }
    return true;
}

}  // namespace korvane::tools

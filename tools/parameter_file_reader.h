#pragma once
// Reads the parameter file last.xml of a run the way a tool program needs
// it: the system name, the version, the result folder and the File_ entries.
// The file is read line by line in its fixed layout; nothing is unescaped.

#include <string>
#include <vector>

namespace korvane::tools {

struct ParameterFileEntry {
    std::string number;  // the digits of File_NNNN
    std::string path;    // as written, relative to the working directory
    // "FIL" + number: the internal name the results are named after.
    std::string InternalName() const { return "FIL" + number; }
};

struct ParameterFileContents {
    std::string productName;
    std::string systemName;
    std::string version;
    std::string outputDir = "workout";
    std::vector<ParameterFileEntry> files;
};

// The value between the first and the last double quote of an attribute line
// such as `SystemName  = "ABC"`.
std::string AttributeValue(const std::string& line);

// Reads the file; false with error set when it cannot be read.
bool ReadParameterFile(const std::string& path, ParameterFileContents& contents, std::string& error);

// Paths of the parameter file may use "\" as the separator; here "/".
std::string NativePath(std::string path);

}  // namespace korvane::tools

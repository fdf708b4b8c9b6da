#pragma once
// Helpers for the brelvin tests: temporary folders, whole-file access and the
// parameter file laid out exactly as the shell writes it.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace korvane::test {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "brelvin-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// Lines joined with CR LF after each.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

// The parameter file "last.xml" exactly as the shell writes it: the same
// lines, indents and trailing blanks, CR LF after every line.
struct ShellParameterFile {
    struct Source {
        int position;  // place in the source list, from 0
        std::string path;
    };

    std::string productName = "PRODUCT";
    std::string systemName = "SYSTEM";
    std::string version = "Java";
    // Attribute lines of Parameters after their indent, e.g. RelocateFile = "N".
    std::vector<std::string> parameterLines;
    std::string outputDir = "/home/user/out";
    bool copyDir = false;
    bool nameTab = false;
    bool funcTab = false;
    bool filesSection = true;
    std::vector<Source> sources;  // the checked ones
    std::string inputExtension;

    // workinp/FILnnnn for the first step, workout/FILnnnn.EXT for later ones.
    static std::string InternalPath(int position, const std::string& inputExtension) {
        char n[16];
        std::snprintf(n, sizeof n, "%4.4d", position);
        if (inputExtension.empty() || inputExtension == "*") return std::string("workinp/FIL") + n;
        return std::string("workout/FIL") + n + "." + inputExtension;
    }

    std::string Text() const {
        auto blanks = [](int n) { return std::string(static_cast<size_t>(n), ' '); };
        std::vector<std::string> lines = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>" + blanks(17),
            "<!--DOCTYPE KORVANE SYSTEM \"Vorl.dtd\"-->" + blanks(11),
            "<VORL>" + blanks(46),
            " <Names" + blanks(49),
            "  ProductName = \"" + productName + "\"",
            "  SystemName  = \"" + systemName + "\"",
            "  Version     = \"" + version + "\"",
            " />",
            " <Parameters",
        };
        for (const auto& line : parameterLines) lines.push_back("  " + line);
        lines.push_back(" /> ");
        lines.push_back(" <Directories>");
        lines.push_back("  <Orig_Output_Dir>" + outputDir + "</Orig_Output_Dir>");
        lines.push_back("  <Input_Dir>workinp</Input_Dir>");
        lines.push_back("  <Output_Dir>workout</Output_Dir>");
        if (copyDir) lines.push_back("  <Copy_Dir>CopyLib</Copy_Dir>");
        if (nameTab) lines.push_back("  <Name_Tab>names.csv</Name_Tab>");
        lines.push_back("  <Work_Dir>work</Work_Dir>");
        if (funcTab) lines.push_back("  <Func_Tab>functab.wrl</Func_Tab>");
        lines.push_back(" </Directories>");
        if (filesSection) {
            lines.push_back(" <Files>");
            for (const auto& source : sources) {
                char n[16];
                std::snprintf(n, sizeof n, "%4.4d", source.position);
                lines.push_back(std::string("  <Orig_File_") + n + ">" + source.path + "</Orig_File_" + n + ">");
                lines.push_back(std::string("  <File_") + n + ">" + InternalPath(source.position, inputExtension) +
                                "</File_" + n + ">");
            }
            lines.push_back(" </Files>");
        }
        lines.push_back("</VORL>");
        return CrLf(lines);
    }
};

}  // namespace korvane::test

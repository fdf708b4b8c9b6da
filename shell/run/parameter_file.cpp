#include "shell/run/parameter_file.h"

#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/work_area.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

// Element lines indented by nesting depth, one space per level.
class ElementWriter {
public:
    ElementWriter(std::vector<std::string>& lines, int depth) : lines_(lines), depth_(depth) {}

    void Open(const std::string& name) {
        lines_.push_back(Indent() + "<" + name + ">");
        open_.push_back(name);
        ++depth_;
    }
    void Value(const std::string& name, const std::string& value) {
        lines_.push_back(Indent() + Format("<%s>%s</%s>", name.c_str(), value.c_str(), name.c_str()));
    }
    void Close() {
        --depth_;
        lines_.push_back(Indent() + Format("</%s>", open_.back().c_str()));
        open_.pop_back();
    }

private:
    std::string Indent() const { return std::string(size_t(depth_), ' '); }

    std::vector<std::string>& lines_;
    int depth_;
    std::vector<std::string> open_;
};

const TransformationRow* ShownRow(const ParameterFileInput& in, std::string_view stepName) {
    for (const TransformationRow& row : in.rows)
        if (row.shown && SameText(row.stepName, stepName)) return &row;
    return nullptr;
}

std::string Attribute(const std::string& nameAndGap, const std::string& value) {
    return "  " + nameAndGap + "= \"" + value + "\"";
}

void AppendHeadAndParameters(const ParameterFileInput& in, std::vector<std::string>& lines) {
    lines.push_back("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>" + std::string(17, ' '));
    lines.push_back("<!--DOCTYPE KORVANE SYSTEM \"Vorl.dtd\"-->" + std::string(11, ' '));
    lines.push_back("<VORL>" + std::string(46, ' '));
    lines.push_back(" <Names" + std::string(49, ' '));
    lines.push_back(Attribute("ProductName ", in.productName));
    lines.push_back(Attribute("SystemName  ", in.systemName));
    lines.push_back(Attribute("Version     ", in.languageVersion.empty() ? in.projectVersion : in.languageVersion));
    lines.push_back(" />");
    lines.push_back(" <Parameters");
    if (auto* r = ShownRow(in, "ReplaceNumericConstants")) lines.push_back(Attribute("ReplaceCon  ", BoolToYN(r->checked)));
    if (auto* r = ShownRow(in, "ReplaceLiterals")) lines.push_back(Attribute("ReplaceLit  ", BoolToYN(r->checked)));
    if (auto* r = ShownRow(in, "RelocateFiles")) lines.push_back(Attribute("RelocateFile ", BoolToYN(r->checked)));
    // The level is written whether or not the row is checked.
    if (ShownRow(in, "RefactorNestedBlocks"))
        lines.push_back(Attribute("RefactorLev  ", std::to_string(in.refactorLevelIndex + 1)));
    if (auto* r = ShownRow(in, "Restructure")) lines.push_back(Attribute("RestructCode ", BoolToYN(r->checked)));
    for (const TransformationRow& row : in.rows)
        if (row.shown) lines.push_back(Attribute(row.parameterName + " ", BoolToYN(row.checked)));
    lines.push_back(" /> ");
}

void AppendDirectories(const ParameterFileInput& in, ElementWriter& xml) {
    xml.Open("Directories");
    xml.Value("Orig_Output_Dir", ExcludeTrailingSep(in.outputDir));
    xml.Value("Input_Dir", kInputFolderName);
    xml.Value("Output_Dir", kResultFolderName);
    if (in.copyAdd) xml.Value("Copy_Dir", kCopyLibraryName);
    if (in.renameVariables) xml.Value("Name_Tab", "names.csv");
    xml.Value("Work_Dir", kWorkFolderName);
    if (in.wordScanShown) xml.Value("Func_Tab", "functab.wrl");
    xml.Close();
}

void AppendFiles(const ParameterFileInput& in, std::string_view inputExtension, ElementWriter& xml,
                 std::vector<std::string>* nameMap, Reporter& reporter) {
    if (in.sources.empty()) return;
    const bool fillNameMap = nameMap && inputExtension.empty();
    const std::string inputFolder = MakeWorkArea(in.outputDir).inputFolder;
    xml.Open("Files");
    for (size_t i = 0; i < in.sources.size(); ++i) {
        const CheckEntry& source = in.sources[i];
        if (!source.checked) continue;
        if (!FileExists(source.text)) {
            if (in.showSourceTab) in.showSourceTab();
            reporter.ShowError("File " + source.text + " is not available", false);
            throw SilentAbort{};  // nothing may be saved
        }
        const int n = int(i);
        xml.Value(Format("Orig_File_%4.4d", n), source.text);
        xml.Value(Format("File_%4.4d", n), InternalPath(n, inputExtension));
        if (fillNameMap) {
            nameMap->push_back(Format("FIL%4.4d=%s", n, source.text.c_str()));
            nameMap->push_back(Format("Copy%4.4d=%s%cFIL%4.4d", n, inputFolder.c_str(), kPathSep, n));
        }
    }
    xml.Close();
}

}  // namespace

std::string InternalPath(int position, std::string_view inputExtension) {
    if (inputExtension.empty() || inputExtension == "*")
        return Format("%s%cFIL%4.4d", kInputFolderName, kPathSep, position);
    return Format("%s%cFIL%4.4d.%s", kResultFolderName, kPathSep, position, std::string(inputExtension).c_str());
}

void WriteParameterFile(const ParameterFileInput& in, std::string_view inputExtension,
                        std::vector<std::string>& lines, std::vector<std::string>* nameMap, Reporter& reporter) {
    lines.clear();
    RequireOutputDir(in.outputDir, reporter);
    AppendHeadAndParameters(in, lines);
    ElementWriter xml(lines, 1);
    AppendDirectories(in, xml);
    AppendFiles(in, inputExtension, xml, nameMap, reporter);
    lines.push_back("</VORL>");
    WriteParameterFileAgain(in.outputDir, lines);
}

void WriteParameterFileAgain(std::string_view outputDir, const std::vector<std::string>& lines) {
    WriteTextLines(ParameterFilePath(outputDir), lines, AtLink::Replace);
}

}  // namespace korvane

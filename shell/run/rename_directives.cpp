#include "shell/run/rename_directives.h"

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/run/work_area.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void GatherDirectives(const RenameDirectivesInput& in, Reporter& reporter, std::vector<std::string>& out) {
    for (const CheckEntry& entry : in.csvFiles) {
        if (!entry.checked) continue;
        if (!FileExists(entry.text)) {
            if (in.showCsvTab) in.showCsvTab();
            reporter.ShowError("File " + entry.text + " is not available", false);
            continue;
        }
        for (std::string& line : ReadTextLines(entry.text))
            if (IsRenameDirectiveLine(line)) out.push_back(std::move(line));
    }
}

}  // namespace

bool IsRenameDirectiveLine(std::string_view line) {
    return line.size() >= 2 && IsAsciiAlnum(line[0]) && !StartsWithStr("old-name;", line) &&
           !StartsWithStr("OldName;", line);
}

void MergeRenameDirectives(const RenameDirectivesInput& in, Reporter& reporter) {
    if (!in.renameVariables || in.resultFolder.empty()) return;
    const std::string namesCsv = NamesCsvPath(in.resultFolder);
    ProtectedFiles keep = in.keep;
    for (const CheckEntry& entry : in.csvFiles)
        if (entry.checked) keep.Add(entry.text);
    if (keep.Contains(namesCsv)) {
        reporter.ShowError(Format(kNamesCsvIsProjectFile, namesCsv.c_str()), false);
        throw SilentAbort{};  // never go on, whatever the reporter did
    }
    std::vector<std::string> directives;
    try {
        GatherDirectives(in, reporter, directives);
    } catch (...) {
        // names.csv holds what was gathered before the failure.
        WriteTextLines(namesCsv, directives, AtLink::Replace);
        throw;
    }
    WriteTextLines(namesCsv, directives, AtLink::Replace);
}

}  // namespace korvane

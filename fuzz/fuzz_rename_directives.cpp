// MergeRenameDirectives over a CSV file made from the input.
//
// Checked besides the sanitizers: names.csv holds exactly the kept lines of
// the CSV file in order (two characters or more, an ASCII letter or digit
// first, not beginning with "old-name;" or "OldName;"), each followed by
// CR LF; an unchecked entry is never read; a missing checked file after it
// ends the merge by the silent abort, with names.csv holding the same lines.

#include "fuzz/fuzz_support.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shell/run/rename_directives.h"
#include "shell/ui/null_reporter.h"

using korvane::CheckEntry;
using korvane::RenameDirectivesInput;
using korvane::fuzz::Shown;

namespace {

bool Kept(const std::string& line) {
    if (line.size() < 2) return false;
    const char c = line[0];
    bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return alnum && line.rfind("old-name;", 0) != 0 && line.rfind("OldName;", 0) != 0;
}

std::string ExpectedNamesCsv(std::string_view csv) {
    std::string r;
    for (const std::string& line : korvane::fuzz::OracleLines(csv))
        if (Kept(line)) r += line + "\r\n";
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = korvane::fuzz::AsText(data, size);
    const auto& scratch = korvane::fuzz::Scratch();
    const std::string csv = scratch.file("directives.csv");
    const std::string names = scratch.file("names.csv");
    korvane::fuzz::WriteBytes(csv, input);
    const std::string expected = ExpectedNamesCsv(input);

    RenameDirectivesInput in;
    in.renameVariables = true;
    in.resultFolder = scratch.path();
    in.csvFiles = {CheckEntry{scratch.file("unchecked-and-missing.csv"), false, true}, CheckEntry{csv, true, true}};
    korvane::MergeRenameDirectives(in, korvane::NullReporter::Instance());
    std::string written = korvane::ReadFileBytes(names);
    FUZZ_CHECK_MSG(written == expected, "input " + Shown(input) + "\n    names.csv " + Shown(written) +
                                            "\n    expected " + Shown(expected));

    // A missing checked file after it: the silent abort, names.csv written all
    // the same with what was gathered.
    int tabShown = 0;
    in.csvFiles.push_back(CheckEntry{scratch.file("missing.csv"), true, true});
    in.showCsvTab = [&tabShown] { ++tabShown; };
    korvane::fuzz::WriteBytes(names, "stale\r\n");
    bool aborted = false;
    try {
        korvane::MergeRenameDirectives(in, korvane::NullReporter::Instance());
    } catch (const korvane::SilentAbort&) {
        aborted = true;
    }
    FUZZ_CHECK(aborted && tabShown == 1);
    FUZZ_CHECK(korvane::ReadFileBytes(names) == expected);
    return 0;
}

// korvane-scan: the reference scanner.
//
// Started in the output directory with "last.xml" as its first argument, it
// reads every source the parameter file names, finds its file input/output
// statements and the names of the files it uses (see io_scanner.h), and
// writes them into functab.wrl in the working directory as a word list:
// the entries already in that file first, then what was found, without
// duplicates.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "shared/text.h"
#include "tools/io_scanner.h"
#include "tools/parameter_file_reader.h"
#include "tools/tool_program.h"
#include "tools/word_list_records.h"

namespace fs = std::filesystem;
using namespace korvane;
using namespace korvane::tools;

namespace {

constexpr const char* kWordListFile = "functab.wrl";

bool WriteRecords(const std::vector<std::string>& records, std::string& error) {
    std::string temp = std::string(kWordListFile) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& r : records) out << r << "\r\n";
        out.flush();
        if (!out) {
            error = "cannot write " + temp;
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, kWordListFile, ec);
    if (ec) {
        error = "cannot replace " + std::string(kWordListFile) + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string parameterFile = argc > 1 ? argv[1] : "last.xml";
    ParameterFileContents run;
    std::string error;
    if (!ReadParameterFile(parameterFile, run, error)) {
        std::fprintf(stderr, "korvane-scan: %s\n", error.c_str());
        return 2;
    }

    // The entries already there stay, in their order, each once.
    WordLists lists;
    std::string existing;
    if (ReadWholeFile(kWordListFile, existing)) {
        WordLists read;
        ReadWordListRecords(SplitLines(existing), read);
        for (const std::string& e : read.controlWords) AddUnique(lists.controlWords, e);
        for (const std::string& e : read.objects) AddUnique(lists.objects, e);
    }
    const size_t controlBefore = lists.controlWords.size(), objectsBefore = lists.objects.size();

    const SourceKind kind = SourceKindOfVersion(run.version);
    int failures = 0;
    for (const ParameterFileEntry& file : run.files) {
        std::string text;
        if (!ReadWholeFile(file.path, text)) {
            std::fprintf(stderr, "korvane-scan: cannot read %s (%s)\n", file.path.c_str(),
                         file.InternalName().c_str());
            ++failures;
            continue;
        }
        ScanSource(text, kind, lists);
    }
    if (!WriteRecords(WordListRecords(lists), error)) {
        std::fprintf(stderr, "korvane-scan: %s\n", error.c_str());
        return 2;
    }
    std::printf("Scanned %zu files: %zu new control words, %zu new objects\n", run.files.size(),
                lists.controlWords.size() - controlBefore, lists.objects.size() - objectsBefore);
    return failures ? 1 : 0;
}

// The word list file on arbitrary bytes: LoadWordList, SaveWordList of what
// was loaded, LoadWordList again.
//
// Checked besides the sanitizers: every line gives one entry, all checked; the
// saved file has one record per entry, control words first, numbered from 1;
// and loading the saved file gives the same entries, in the same lists, when
// the entries are such that the file can carry them: texts without blanks at
// either end, lengths that fit their two-digit fields (control words 5 to 104
// characters, objects up to 99), fewer than 10000 records, and no control
// word that begins with "OBJT" in its tag columns. Outside those bounds the
// format changes entries by design (trimming, shifted columns), and only the
// number of entries must survive.

#include "fuzz/fuzz_support.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/wordlists/word_list_file.h"

using korvane::CheckEntry;
using korvane::CheckList;
using korvane::fuzz::Shown;

namespace {

bool Untrimmed(const std::string& text) {
    return !text.empty() && (static_cast<unsigned char>(text.front()) <= 32 ||
                             static_cast<unsigned char>(text.back()) <= 32);
}

bool Representable(const CheckList& objects, const CheckList& words) {
    if (objects.size() + words.size() >= 10000) return false;
    for (const CheckEntry& e : words.entries()) {
        if (Untrimmed(e.text) || e.text.size() < 5 || e.text.size() > 104) return false;
        if (e.text.compare(0, 4, korvane::kObjectTag) == 0) return false;
    }
    for (const CheckEntry& e : objects.entries())
        if (Untrimmed(e.text) || e.text.size() > 99) return false;
    return true;
}

std::vector<std::string> Texts(const CheckList& list) {
    std::vector<std::string> r;
    for (const CheckEntry& e : list.entries()) r.push_back(e.text);
    return r;
}

bool AllChecked(const CheckList& list) {
    for (const CheckEntry& e : list.entries())
        if (!e.checked) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = korvane::fuzz::AsText(data, size);
    const auto& scratch = korvane::fuzz::Scratch();
    const std::string inputPath = scratch.file("input.wrl");
    const std::string savedPath = scratch.file("saved.wrl");
    korvane::fuzz::WriteBytes(inputPath, input);

    CheckList objects, words;
    korvane::LoadWordList(inputPath, objects, words);
    const std::vector<std::string> lines = korvane::fuzz::OracleLines(input);
    FUZZ_CHECK(objects.size() + words.size() == lines.size());
    FUZZ_CHECK(AllChecked(objects) && AllChecked(words));

    korvane::SaveWordList(savedPath, objects, words);
    std::string saved = korvane::ReadFileBytes(savedPath);
    std::vector<std::string> records = korvane::fuzz::OracleLines(saved);
    FUZZ_CHECK(records.size() == lines.size());
    FUZZ_CHECK(saved.empty() || (saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0));
    for (size_t i = 0; i < records.size(); ++i) {
        std::string seq = korvane::Format("%4.4d ", int(i + 1));
        FUZZ_CHECK_MSG(records[i].compare(0, seq.size(), seq) == 0, Shown(records[i]));
        const bool object = i >= words.size();
        if (object) FUZZ_CHECK_MSG(records[i].find(" OBJT ") != std::string::npos, Shown(records[i]));
    }

    CheckList objects2, words2;
    korvane::LoadWordList(savedPath, objects2, words2);
    FUZZ_CHECK(objects2.size() + words2.size() == objects.size() + words.size());
    FUZZ_CHECK(AllChecked(objects2) && AllChecked(words2));
    if (Representable(objects, words)) {
        FUZZ_CHECK_MSG(Texts(words2) == Texts(words), Shown(Texts(words)) + "\n    " + Shown(Texts(words2)));
        FUZZ_CHECK_MSG(Texts(objects2) == Texts(objects), Shown(Texts(objects)) + "\n    " + Shown(Texts(objects2)));
    }

    // Loading appends: the same file once more doubles both lists.
    korvane::LoadWordList(savedPath, objects2, words2);
    FUZZ_CHECK(objects2.size() + words2.size() == 2 * (objects.size() + words.size()));
    return 0;
}

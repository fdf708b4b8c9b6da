// brelvin's if repair on arbitrary text, against a plain character-by-character
// model of the repair rule, and the line-end normalisation RepairFile relies on.
//
// Checked besides the sanitizers: CloseIfConditions gives what the plain scan
// gives; NormalizeLineEnds equals splitting into lines and joining them with
// CR LF; the repair of a normalised text is itself normalised, which is why
// RepairFile may write it out without splitting it into lines again.

#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "repair/file_io.h"
#include "repair/if_repair.h"
#include "shared/text.h"

using korvane::fuzz::Shown;

namespace {

// The repair exactly as the rule reads: every position looked at once, " if "
// tested at each of them.
std::string PlainRepair(std::string_view text) {
    std::string out;
    bool inCondition = false;
    int64_t depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (text.substr(i, 4) == " if ") {
            depth = 0;
            inCondition = true;
        }
        if (inCondition) {
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            } else if (c == ';') {
                inCondition = false;
            } else if (c == '{') {
                inCondition = false;
                if (depth > 0) {
                    size_t p = out.size();
                    while (p > 0 && static_cast<unsigned char>(out[p - 1]) <= 32) --p;
                    if (p > 0) out.insert(p, size_t(depth), ')');
                }
                depth = 0;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view raw = korvane::fuzz::AsText(data, size);

    const std::string repaired = korvane::CloseIfConditions(raw);
    const std::string expected = PlainRepair(raw);
    FUZZ_CHECK_MSG(repaired == expected, "input " + Shown(raw) + "\n    got " + Shown(repaired) +
                                             "\n    expected " + Shown(expected));

    // RepairFile: the file as read (CR LF after every line), repaired, and
    // written out as it is.
    const std::string text = korvane::NormalizeLineEnds(std::string(raw));
    FUZZ_CHECK_MSG(text == korvane::JoinLinesCrLf(korvane::SplitLines(raw)), Shown(raw));
    const std::string repairedText = korvane::CloseIfConditions(text);
    FUZZ_CHECK_MSG(repairedText == korvane::JoinLinesCrLf(korvane::SplitLines(repairedText)), Shown(text));
    return 0;
}

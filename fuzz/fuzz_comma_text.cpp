// Comma text: SplitCommaText on arbitrary text, and JoinCommaText followed by
// SplitCommaText on items made from the input.
//
// Checked besides the sanitizers: for items without control characters,
// splitting the joined text gives the items back. The one exception is a
// trailing empty item of a list of two or more, which the text cannot carry
// (a trailing comma adds no item; a single empty item is written as ""). The
// same holds for the items that splitting arbitrary text gives, as long as
// none of them holds a NUL, which the joiner does not quote.

#include "fuzz/fuzz_support.h"
#include "shared/comma_text.h"

using korvane::JoinCommaText;
using korvane::SplitCommaText;
using korvane::fuzz::Shown;

namespace {

// What splitting the joined items must give.
std::vector<std::string> Carried(std::vector<std::string> items) {
    if (items.size() > 1 && items.back().empty()) items.pop_back();
    return items;
}

void CheckRoundTrip(const std::vector<std::string>& items) {
    const std::string joined = JoinCommaText(items);
    const std::vector<std::string> back = SplitCommaText(joined);
    FUZZ_CHECK_MSG(back == Carried(items),
                   "items " + Shown(items) + "\n    joined " + Shown(joined) + "\n    split " + Shown(back));
}

bool HoldsNul(const std::vector<std::string>& items) {
    for (const std::string& s : items)
        if (s.find('\0') != std::string::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = korvane::fuzz::AsText(data, size);

    // Items: the input cut at LF, control characters (codes 0 to 31 and 127)
    // left out.
    std::vector<std::string> items(1);
    for (char c : input) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\n')
            items.emplace_back();
        else if (u >= 32 && u != 127)
            items.back() += c;
    }
    CheckRoundTrip(items);

    // Arbitrary text as a comma list.
    const std::vector<std::string> split = SplitCommaText(input);
    for (const std::string& s : split) FUZZ_CHECK(s.size() <= input.size());
    if (!HoldsNul(split)) CheckRoundTrip(split);
    return 0;
}

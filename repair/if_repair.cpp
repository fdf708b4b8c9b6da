#include "repair/if_repair.h"

#include "repair/file_io.h"
#include "shared/platform/path.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace korvane {

namespace {

bool ConditionStartsAt(const char* base, size_t n, size_t i) {
    return i + 4 <= n && base[i] == ' ' && base[i + 1] == 'i' && base[i + 2] == 'f' && base[i + 3] == ' ';
}

// Position of the next " if " at or after from. Looks for the "f", the
// rarest of its characters in program text, and checks the others around it.
size_t FindConditionStart(std::string_view text, size_t from) {
    const size_t n = text.size();
    const char* base = text.data();
    size_t i = from + 2;
    while (i + 1 < n) {
        const void* hit = std::memchr(base + i, 'f', n - 1 - i);
        if (!hit) break;
        i = static_cast<size_t>(static_cast<const char*>(hit) - base);
        if (ConditionStartsAt(base, n, i - 2)) return i - 2;
        ++i;
    }
    return std::string_view::npos;
}

// The characters that matter inside a condition. A " if " inside it is
// noticed at its "f": the blank and the "i" before it change nothing, so
// resetting the depth there has the same effect as at the blank.
constexpr std::array<bool, 256> kConditionCharacters = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {'(', ')', ';', '{', 'f'}) table[c] = true;
    return table;
}();

// Inserts count ")" right after the last character of out above code 32;
// nothing when there is none. Only the trailing blanks are moved.
void InsertClosingParens(std::string& out, int64_t count) {
    size_t p = out.size();
    while (p > 0 && static_cast<unsigned char>(out[p - 1]) <= 32) --p;
    if (p == 0) return;
    out.insert(p, static_cast<size_t>(count), ')');
}

}  // namespace

std::string CloseIfConditions(std::string_view text) {
    const size_t n = text.size();
    const char* base = text.data();
    std::string out;
    out.reserve(n + n / 64 + 16);
    size_t copied = 0;  // text[copied, i) is still to be appended to out
    int64_t depth = 0;
    size_t i = 0;
    while (true) {
        // Outside a condition only the next " if " matters. Its blank is
        // copied like any other character.
        size_t start = FindConditionStart(text, i);
        if (start == std::string_view::npos) break;
        depth = 0;
        i = start + 4;
        // Inside the condition, up to the ";" or "{" that ends it.
        bool inCondition = true;
        while (inCondition && i < n) {
            while (i < n && !kConditionCharacters[static_cast<unsigned char>(base[i])]) ++i;
            if (i == n) break;
            switch (base[i]) {
            case '(':
                ++depth;
                break;
            case ')':
                --depth;
                break;
            case 'f':
                if (i >= 2 && ConditionStartsAt(base, n, i - 2)) depth = 0;
                break;
            case ';':
                inCondition = false;
                break;
            default:  // '{'
                inCondition = false;
                if (depth > 0) {
                    out.append(text.substr(copied, i - copied));
                    copied = i;
                    InsertClosingParens(out, depth);
                }
                break;
            }
            ++i;
        }
    }
    out.append(text.substr(copied));
    return out;
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    size_t nameStart = path.rfind(kPathSep);
    nameStart = (nameStart == std::string_view::npos) ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    std::string result(dot != std::string_view::npos && dot >= nameStart ? path.substr(0, dot) : path);
    result.append(ext);
    return result;
}

void RepairFile(const std::string& path) {
    unsigned permissions = 0;
    const std::string text = NormalizeLineEnds(ReadFileToRewrite(path, permissions));
    ReplaceFileBytes(ChangeFileExt(path, ".eredeti.txt"), text);
    // The text has CR LF after every line and the inserted ")" never split a
    // line end, so the repaired text already has the form in which its lines
    // are written: it goes out as it is.
    const std::string repaired = CloseIfConditions(text);
    ReplaceFileBytes(path, repaired, permissions);
    ReplaceFileBytes(ChangeFileExt(path, ".javitott.txt"), repaired);
}

void PreparedRepair::Commit() {
    backup.Commit();
    file.Commit();
    corrected.Commit();
}

PreparedRepair PrepareRepair(const std::string& path) {
    unsigned permissions = 0;
    const std::string text = NormalizeLineEnds(ReadFileToRewrite(path, permissions));
    PreparedRepair prepared;
    prepared.backup = PendingFile(ChangeFileExt(path, ".eredeti.txt"), text);
    const std::string repaired = CloseIfConditions(text);
    prepared.file = PendingFile(path, repaired, permissions);
    prepared.corrected = PendingFile(ChangeFileExt(path, ".javitott.txt"), repaired);
    return prepared;
}

}  // namespace korvane

#include "repair/if_repair.h"

#include "repair/file_io.h"
#include "shared/platform/path.h"

#include <algorithm>
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

}  // namespace

std::vector<ParenInsertion> FindMissingParens(std::string_view text) {
    const size_t n = text.size();
    const char* base = text.data();
    std::vector<ParenInsertion> insertions;
    int64_t depth = 0;
    size_t i = 0;
    while (true) {
        // Outside a condition only the next " if " matters.
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
            default: {  // '{'
                inCondition = false;
                if (depth <= 0) break;
                // Right after the last character above code 32 before the
                // brace; the "{" of an earlier insertion lies between, so
                // the places only grow. Nothing where there is none.
                size_t at = i;
                while (at > 0 && static_cast<unsigned char>(base[at - 1]) <= 32) --at;
                if (at > 0) insertions.push_back({at, depth});
                break;
            }
            }
            ++i;
        }
    }
    return insertions;
}

std::string CloseIfConditions(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 64 + 16);
    size_t copied = 0;
    for (const ParenInsertion& insertion : FindMissingParens(text)) {
        out.append(text.substr(copied, insertion.at - copied));
        out.append(static_cast<size_t>(insertion.count), ')');
        copied = insertion.at;
    }
    out.append(text.substr(copied));
    return out;
}

RepairedPieces::RepairedPieces(std::string_view text) {
    static const std::string kParens(4096, ')');
    size_t copied = 0;
    for (const ParenInsertion& insertion : FindMissingParens(text)) {
        pieces_.push_back(text.substr(copied, insertion.at - copied));
        for (int64_t left = insertion.count; left > 0; left -= static_cast<int64_t>(kParens.size()))
            pieces_.push_back(std::string_view(kParens).substr(0, static_cast<size_t>(std::min<int64_t>(
                                                                      left, static_cast<int64_t>(kParens.size())))));
        copied = insertion.at;
    }
    pieces_.push_back(text.substr(copied));
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
    // are written: it goes out as it is, in its pieces.
    const RepairedPieces repaired(text);
    PendingFile(path, repaired.Pieces(), permissions).Commit();
    PendingFile(ChangeFileExt(path, ".javitott.txt"), repaired.Pieces()).Commit();
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
    const RepairedPieces repaired(text);
    prepared.file = PendingFile(path, repaired.Pieces(), permissions);
    prepared.corrected = PendingFile(ChangeFileExt(path, ".javitott.txt"), repaired.Pieces());
    return prepared;
}

}  // namespace korvane

#include "shell/collections/common_root.h"

#include <algorithm>
#include <vector>

#include "shared/platform/path.h"
#include "shell/ui/check_list.h"

namespace korvane {
namespace {

// The folder of a path without the separator before the file name.
std::string_view FolderOf(std::string_view path) {
    const size_t p = path.rfind(kPathSep);
    return p == std::string_view::npos ? std::string_view() : path.substr(0, p);
}

size_t ComponentCount(std::string_view folder) {
    return 1 + size_t(std::count(folder.begin(), folder.end(), kPathSep));
}

// End offsets of the components of folder (each component ends before a
// separator or at the end of the text).
std::vector<size_t> ComponentEnds(std::string_view folder) {
    std::vector<size_t> ends;
    for (size_t i = 0; i < folder.size(); ++i)
        if (folder[i] == kPathSep) ends.push_back(i);
    ends.push_back(folder.size());
    return ends;
}

// How many leading components folder shares with the reference, at most limit.
size_t SharedComponents(std::string_view folder, std::string_view reference, const std::vector<size_t>& refEnds,
                        size_t limit) {
    size_t start = 0;
    for (size_t k = 0; k < limit; ++k) {
        const size_t end = refEnds[k];
        // The reference component is reference[start, end); the folder's k-th
        // component must be the same text and end there too.
        if (folder.size() < end) return k;
        if (folder.compare(start, end - start, reference, start, end - start) != 0) return k;
        if (folder.size() != end && folder[end] != kPathSep) return k;
        if (folder.size() == end && k + 1 < limit) return k + 1;
        start = end + 1;
    }
    return limit;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// At most max characters of text from its start.
std::string_view FirstChars(std::string_view text, size_t max) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsContinuationByte(text[i])) continue;
        if (chars == max) return text.substr(0, i);
        ++chars;
    }
    return text;
}

}  // namespace

CommonRootResult ComputeCommonRoot(const CheckList& list, const TextWidthFn& textWidth) {
    CommonRootResult result;
    if (list.empty()) return result;

    const std::vector<CheckEntry>& entries = list.entries();
    size_t refIndex = 0, fewest = SIZE_MAX, deepest = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t count = ComponentCount(FolderOf(entries[i].text));
        if (count < fewest) {
            fewest = count;
            refIndex = i;
        }
        deepest = std::max(deepest, count);
        if (textWidth) result.widestText = std::max(result.widestText, textWidth(entries[i].text));
    }

    const std::string_view reference = FolderOf(entries[refIndex].text);
    const std::vector<size_t> refEnds = ComponentEnds(reference);
    size_t shared = refEnds.size();
    for (size_t i = 0; i < entries.size() && shared > 0; ++i)
        shared = SharedComponents(FolderOf(entries[i].text), reference, refEnds, shared);

    const size_t taken = std::min(shared, deepest - 1);
    if (taken > 0) result.root = std::string(reference.substr(0, refEnds[taken - 1]));
    return result;
}

std::string ElidedEntryText(std::string_view path, size_t rootLength) {
    std::string text = kElidedRootPrefix;
    if (rootLength >= path.size()) return text;
    std::string_view tail = path.substr(rootLength);
    // A root that no longer fits the entry may end inside a character.
    while (!tail.empty() && IsContinuationByte(tail.front())) tail.remove_prefix(1);
    text.append(FirstChars(tail, kMaxDrawnChars));
    return text;
}

std::string PanelEntryText(std::string_view path, std::string_view panelCaption) {
    if (panelCaption.empty()) return std::string(path);
    return ElidedEntryText(path, panelCaption.size());
}

}  // namespace korvane

#include "shell/wordlists/word_list_file.h"

#include "shared/comma_text.h"
#include "shared/platform/files.h"
#include "shared/text.h"

namespace korvane {

void SaveWordList(const std::string& path, const CheckList& objects, const CheckList& controlTags, AtLink atLink) {
    std::vector<std::string> lines;
    lines.reserve(size_t(controlTags.checkedCount() + objects.checkedCount()));
    int seq = 0;
    // The texts are appended rather than formatted so that any byte, NUL
    // included, goes into the file as it stands.
    for (const CheckEntry& e : controlTags.entries()) {
        if (!e.checked) continue;
        std::string word = Trim(e.text);
        lines.push_back(Format("%4.4d %2.2d ", ++seq, int(word.size()) - 5) + word);
    }
    for (const CheckEntry& e : objects.entries()) {
        if (!e.checked) continue;
        std::string name = Trim(e.text);
        lines.push_back(Format("%4.4d %2.2d %4.4s ", ++seq, int(name.size()), kObjectTag) + name);
    }
    WriteTextLines(path, lines, atLink);
}

void LoadWordList(const std::string& path, CheckList& objects, CheckList& controlTags) {
    std::vector<std::string> lines = ReadTextLines(path);
    std::vector<CheckEntry> newObjects, newWords;
    for (const std::string& line : lines) {
        std::string_view l = line;
        if (l.size() >= 12 && l.substr(8, 4) == kObjectTag)
            newObjects.push_back({std::string(l.size() > 13 ? l.substr(13) : std::string_view()), true, true});
        else
            newWords.push_back({std::string(l.size() > 8 ? l.substr(8) : std::string_view()), true, true});
    }
    objects.appendAll(std::move(newObjects));
    controlTags.appendAll(std::move(newWords));
}

void RemoveDuplicates(CheckList& list) {
    bool wasSorted = list.sorted();
    list.setSorted(true);
    list.setSorted(false);
    const auto& sorted = list.entries();
    std::vector<CheckEntry> kept;
    kept.reserve(sorted.size());
    for (const CheckEntry& e : sorted)
        if (kept.empty() || kept.back().text != e.text) kept.push_back(e);
    if (kept.size() != sorted.size()) list.assign(std::move(kept));
    list.setSorted(wasSorted);
}

std::string FormatControlWordEntry(std::string_view tag, std::string_view word) {
    std::string padded = std::string(tag) + "   ";
    padded.resize(4 < padded.size() ? 4 : padded.size());
    // "%4.4s" right-aligns a text shorter than four (only an empty tag).
    if (padded.size() < 4) padded.insert(0, 4 - padded.size(), ' ');
    return padded + " " + std::string(word);
}

std::string ControlWordTag(std::string_view entry) { return std::string(entry.substr(0, 4)); }

std::string ControlWordWord(std::string_view entry) {
    return entry.size() > 5 ? std::string(entry.substr(5)) : std::string();
}

std::string SelectionFirstLine(std::string_view selection) {
    return std::string(selection.substr(0, selection.find_first_of("\r\n")));
}

std::string ObjectTypesText(std::string_view objectTypesValue) {
    std::string types = TextBeforeLast(TextAfterFirst(objectTypesValue, "("), ")");
    return types.empty() ? std::string(kDefaultObjectTypes) : types;
}

std::vector<std::string> TagVocabulary(std::string_view objectTypesValue) {
    return SplitCommaText(ObjectTypesText(objectTypesValue));
}

}  // namespace korvane

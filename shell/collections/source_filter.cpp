#include "shell/collections/source_filter.h"

#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

std::string FolderSearchExtensions(std::string_view filter) {
    return ReplaceAll(std::string(filter) + ";", "|", ";");
}

std::vector<std::string> DropExtensionTokens(std::string_view filter) {
    std::string text = std::string(filter) + ";";
    for (char& c : text)
        if (c == '|' || c == ';') c = '\n';
    text = ReplaceAll(text, "*.", ".");
    // Every line break ends one token, so "a;" is the token "a" and ";;"
    // gives two empty ones.
    std::vector<std::string> tokens;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        tokens.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return tokens;
}

bool DroppedFileAccepted(std::string_view path, const std::vector<std::string>& tokens) {
    const std::string ext = ExtractFileExt(path);
    if (ext.empty()) return false;
    for (const std::string& token : tokens)
        if (SameText(token, ext)) return true;
    return false;
}

}  // namespace korvane

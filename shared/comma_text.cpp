#include "shared/comma_text.h"

namespace korvane {

static bool IsSep(char c) { return static_cast<unsigned char>(c) <= 32; }

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> items;
    size_t p = 0, n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsSep(text[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.push_back(text[p++]);
            }
        } else {
            size_t start = p;
            while (p < n && !IsSep(text[p]) && text[p] != ',') ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            ++p;
            skipBlanks();
        }
    }
    return items;
}

std::string JoinCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items[0].empty()) return "\"\"";
    std::string r;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& s = items[i];
        bool quote = false;
        for (char c : s) {
            unsigned char u = static_cast<unsigned char>(c);
            if ((u >= 1 && u <= 32) || c == ',' || c == '"') {
                quote = true;
                break;
            }
        }
        if (i) r.push_back(',');
        if (!quote) {
            r += s;
            continue;
        }
        r.push_back('"');
        for (char c : s) {
            if (c == '"') r.push_back('"');
            r.push_back(c);
        }
        r.push_back('"');
    }
    return r;
}

}  // namespace korvane

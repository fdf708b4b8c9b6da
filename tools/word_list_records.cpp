#include "tools/word_list_records.h"

#include "shared/text.h"

namespace korvane::tools {

void ReadWordListRecords(const std::vector<std::string>& lines, WordLists& lists) {
    for (const std::string& line : lines) {
        if (line.size() >= 12 && line.compare(8, 4, "OBJT") == 0)
            lists.objects.push_back(line.size() > 13 ? line.substr(13) : std::string());
        else
            lists.controlWords.push_back(line.size() > 8 ? line.substr(8) : std::string());
    }
}

std::vector<std::string> WordListRecords(const WordLists& lists) {
    std::vector<std::string> records;
    int seq = 0;
    for (const std::string& entry : lists.controlWords) {
        std::string text = Trim(entry);
        records.push_back(Format("%4.4d %2.2d %s", ++seq, int(text.size()) - 5, text.c_str()));
    }
    for (const std::string& entry : lists.objects) {
        std::string name = Trim(entry);
        records.push_back(Format("%4.4d %2.2d OBJT %s", ++seq, int(name.size()), name.c_str()));
    }
    return records;
}

bool AddUnique(std::vector<std::string>& list, const std::string& entry) {
    std::string key = Trim(entry);
    for (const std::string& e : list)
        if (Trim(e) == key) return false;
    list.push_back(entry);
    return true;
}

}  // namespace korvane::tools

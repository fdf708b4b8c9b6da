#pragma once
// The records of a word list file (functab.wrl) as the scanner reads and
// writes them: control word records "%4.4d %2.2d %s" (length of the entry
// minus 5, then tag, blank, word) and object records "%4.4d %2.2d OBJT %s",
// control words first, every line ended by CR LF.

#include <string>
#include <vector>

namespace korvane::tools {

struct WordLists {
    std::vector<std::string> controlWords;  // "TAG word"
    std::vector<std::string> objects;       // object names
};

// Reads records: columns 9-12 exactly "OBJT" make an object entry of what
// stands from column 14 on, any other line a control word entry of what
// stands from column 9 on.
void ReadWordListRecords(const std::vector<std::string>& lines, WordLists& lists);

// The records of both lists, numbered from 1, without line ends.
std::vector<std::string> WordListRecords(const WordLists& lists);

// Appends the entry unless the list already holds it (compared without the
// surrounding blanks, letter case counting). True when appended.
bool AddUnique(std::vector<std::string>& list, const std::string& entry);

}  // namespace korvane::tools

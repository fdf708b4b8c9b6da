#pragma once
// The macro table as a word list file (.wrl) and the operations on its two
// lists: object names and tagged control words ("TAG word").
//
// File: one record per line, CR LF after every line. First the checked
// control words in list order, then the checked objects:
//   control word  "%4.4d %2.2d %s"       sequence, length - 5, trimmed entry
//   object        "%4.4d %2.2d %4.4s %s" sequence, length, "OBJT", trimmed name
// Sequence numbers count from 1; lengths are those of the trimmed texts.
// Numbers wider than their field are written in full and shift what follows.
// Reading: columns 9-12 exactly "OBJT" give an object (column 14 on), any
// other line a control word (column 9 on); texts are taken unchanged and
// every entry read is checked.

#include <string>
#include <string_view>
#include <vector>

#include "shared/platform/files.h"
#include "shell/ui/check_list.h"

namespace korvane {

// The word list a run hands to its tools, in the output directory.
inline constexpr const char* kRunWordListName = "functab.wrl";

inline constexpr const char* kDefaultObjectTypes = "INPT,OTPT,MASK,REPO,CASE,SKIP,LINK,FUNC,PROC";
inline constexpr const char* kObjectTag = "OBJT";

// Writes the checked entries, replacing the file atomically. Throws Error
// with the system's text when the file cannot be written. atLink says what
// becomes of a symbolic link at path (AtLink::Replace for functab.wrl in an
// output directory).
void SaveWordList(const std::string& path, const CheckList& objects, const CheckList& controlTags,
                  AtLink atLink = AtLink::WriteThrough);

// Appends the file's records to the two lists (existing entries stay, no
// duplicate test). Throws Error with the system's text when the file cannot
// be read; the lists are then unchanged.
void LoadWordList(const std::string& path, CheckList& objects, CheckList& controlTags);

// Sorts the list ignoring case (stable), then merges neighbours that are
// exactly equal, keeping the first one's check mark. The list stays sorted
// afterwards; its own sorted mode is restored.
void RemoveDuplicates(CheckList& list);

// A control word entry made by editing: the tag padded with blanks and cut to
// four characters, a blank, the word ("%4.4s %s" of tag + "   " and word).
std::string FormatControlWordEntry(std::string_view tag, std::string_view word);
// The parts of an entry as the in-place editor shows them: the first four
// characters, and the text from the sixth character on.
std::string ControlWordTag(std::string_view entry);
std::string ControlWordWord(std::string_view entry);
// What a selection of the text area gives as a word: its text up to the
// first line break (CR or LF), the whole text when it has none.
std::string SelectionFirstLine(std::string_view selection);

// The tag vocabulary from the value of <prefix>.ObjectTypes: the text after
// its first "(" up to its last ")", or kDefaultObjectTypes when that is
// empty; then split as comma text.
std::string ObjectTypesText(std::string_view objectTypesValue);
std::vector<std::string> TagVocabulary(std::string_view objectTypesValue);

}  // namespace korvane

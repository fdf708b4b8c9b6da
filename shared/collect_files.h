#pragma once
// Recursive file collection with extension masks and a name pattern.

#include <string>
#include <vector>

namespace korvane {

// CollectFilesEx with no name pattern and no depth limit.
void CollectFiles(const std::string& root, const std::string& subdirectory, const std::string& masks,
                  std::vector<std::string>& list);

// Appends the full paths of the matching files below root/subdirectory to
// list, depth first. Entries of each folder are handled in name order (byte
// order); files and subfolders interleave. Dot-names and entries that are
// neither regular files nor folders are skipped; symbolic links to folders
// are never followed; folders that cannot be read contribute nothing.
//
// masks: ";"-separated tokens such as "*.cob;*.cbl;". "*.*;" accepts every
//   file, ".;" accepts files without extension, otherwise a file is accepted
//   when its extension followed by ";" occurs in masks (ignoring case).
// pattern: "" or "*" accept every name; a leading "*" asks for names ending
//   with the rest, a trailing "*" for names starting with it, both for names
//   containing it; otherwise the name (or the name without extension) must
//   equal it or match it by MatchNamePattern.
// depth: 0 collects nothing, a negative depth means no limit, 1 only the
//   folder itself.
void CollectFilesEx(const std::string& root, const std::string& subdirectory, const std::string& pattern,
                    const std::string& masks, std::vector<std::string>& list, int depth);

// Upper-cased name against upper-cased pattern, position by position: "?"
// matches any character, "#" any decimal digit, anything else itself. With
// prefixOnly the name may be longer than the pattern.
bool MatchNamePattern(const std::string& name, const std::string& pattern, bool prefixOnly);

}  // namespace korvane

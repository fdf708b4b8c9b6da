#pragma once
// Getting found and chosen files into a collection list: the uniqueness rule
// of single additions and the merge of AddDirectoryToList.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvane {

class CheckList;

// Appends, checked and in the given order, every path that names no file
// already in the list nor one appended before it (paths compared as the file
// system compares them). The list's sorted mode is left to the caller. Gives
// the number of entries appended.
size_t AppendNewPaths(CheckList& list, const std::vector<std::string>& paths);

struct MergeObserver {
    // Before the walk: the progress range is 1 to maximum (the entry count
    // with the found files appended), position 1.
    std::function<void(size_t maximum)> begin;
    // After each comparison of the walk, with the new position.
    std::function<void(size_t position, size_t maximum)> step;
    // Polled after each step; true ends the merge there.
    std::function<bool()> cancelRequested;
};

enum class MergeOutcome { Completed, Cancelled };

// The merge of AddDirectoryToList. An empty list takes the found paths in
// search order, all checked. Otherwise the found paths are appended checked,
// the whole list is put in order ignoring case (identical texts next to each
// other), and index i walks from the last entry down to 1: an entry equal to
// the one before it (exactly, case-sensitive) is deleted and the one before
// it checked. A cancel keeps what was merged so far; duplicates further up
// stay. The list ends in the same sorted mode as it began, changed by one
// reset. The walk is linear; the entries are taken out of the list, merged
// and put back once.
MergeOutcome MergeFoundFiles(CheckList& list, std::vector<std::string> found, const MergeObserver& observer = {});

}  // namespace korvane

#include "shell/collections/collection_merge.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "shared/platform/path.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/check_list.h"

namespace korvane {

size_t AppendNewPaths(CheckList& list, const std::vector<std::string>& paths) {
    if (paths.empty()) return 0;
    std::unordered_set<std::string> known;
    known.reserve(list.size() + paths.size());
    for (const CheckEntry& e : list.entries()) known.insert(PathKey(e.text));
    std::vector<CheckEntry> added;
    for (const std::string& path : paths)
        if (known.insert(PathKey(path)).second) added.push_back(CheckEntry{path, true, true});
    const size_t count = added.size();
    list.appendAll(std::move(added));
    return count;
}

namespace {

// The order of a merge: ignoring case, then by the exact text.
bool MergeLess(const std::string& a, const std::string& b) {
    if (int c = CompareText(a, b); c != 0) return c < 0;
    return a.compare(b) < 0;
}

// The entries in the order ignoring case; equal folded texts are ordered by
// their exact text, so identical texts always stand side by side. The list
// and the search result mostly arrive in order already, so the sort merges
// the ascending runs it finds: two sorted parts cost one linear merge.
void SortForMerge(std::vector<CheckEntry>& entries) {
    const auto less = [&entries](size_t a, size_t b) {
        if (int c = CompareText(entries[a].text, entries[b].text); c != 0) return c < 0;
        if (int c = entries[a].text.compare(entries[b].text); c != 0) return c < 0;
        return a < b;
    };
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::vector<size_t> runs{0};
    for (size_t i = 1; i < order.size(); ++i)
        if (!less(order[i - 1], order[i])) runs.push_back(i);
    runs.push_back(order.size());
    if (runs.size() > 64) {
        // Little order to build on: sort on texts folded once.
        std::vector<std::string> keys;
        keys.reserve(entries.size());
        for (const CheckEntry& e : entries) keys.push_back(LowerCase(e.text));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (int c = keys[a].compare(keys[b]); c != 0) return c < 0;
            if (int c = entries[a].text.compare(entries[b].text); c != 0) return c < 0;
            return a < b;
        });
        runs = {0, order.size()};
    }
    while (runs.size() > 2) {
        std::vector<size_t> merged{0};
        for (size_t r = 0; r + 2 < runs.size(); r += 2) {
            std::inplace_merge(order.begin() + long(runs[r]), order.begin() + long(runs[r + 1]),
                               order.begin() + long(runs[r + 2]), less);
            merged.push_back(runs[r + 2]);
        }
        if (merged.back() != order.size()) merged.push_back(order.size());
        runs = std::move(merged);
    }
    std::vector<CheckEntry> sorted;
    sorted.reserve(entries.size());
    for (size_t i : order) sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

}  // namespace

MergeOutcome MergeFoundFiles(CheckList& list, std::vector<std::string> found, const MergeObserver& observer) {
    const bool wasSorted = list.sorted();
    list.setSorted(false);

    // The list's entries are moved out and put back merged.
    std::vector<CheckEntry> old = list.takeEntries();
    const bool wasEmpty = old.empty();
    std::vector<CheckEntry> entries;
    entries.reserve(old.size() + found.size());
    AdviseLargeFill(entries.data(), entries.capacity() * sizeof(CheckEntry));
    const auto entryLess = [](const CheckEntry& a, const CheckEntry& b) { return MergeLess(a.text, b.text); };
    if (!wasEmpty && std::is_sorted(old.begin(), old.end(), entryLess) &&
        std::is_sorted(found.begin(), found.end(), MergeLess)) {
        // Both parts in order already (the usual case): one pass, the list's
        // entry first where the texts are equal, as the sort would put it.
        size_t i = 0, j = 0;
        while (i < old.size() || j < found.size()) {
            if (i == old.size() || (j < found.size() && MergeLess(found[j], old[i].text)))
                entries.push_back(CheckEntry{std::move(found[j++]), true, true});
            else
                entries.push_back(std::move(old[i++]));
        }
    } else {
        for (CheckEntry& e : old) entries.push_back(std::move(e));
        for (std::string& path : found) entries.push_back(CheckEntry{std::move(path), true, true});
        if (!wasEmpty) SortForMerge(entries);
    }
    old.clear();
    found.clear();

    MergeOutcome outcome = MergeOutcome::Completed;
    if (!wasEmpty) {
        const size_t n = entries.size();
        if (observer.begin) observer.begin(n);
        std::vector<char> keep(n, 1);
        size_t position = 1;
        for (size_t i = n - 1; i >= 1; --i) {
            if (entries[i].text == entries[i - 1].text) {
                entries[i - 1].checked = true;
                keep[i] = 0;
            }
            ++position;
            if (observer.step) observer.step(position, n);
            if (observer.cancelRequested && observer.cancelRequested()) {
                outcome = MergeOutcome::Cancelled;
                break;
            }
        }
        size_t out = 0;
        for (size_t i = 0; i < n; ++i) {
            if (!keep[i]) continue;
            if (out != i) entries[out] = std::move(entries[i]);
            ++out;
        }
        entries.resize(out);
    }
    list.assign(std::move(entries));
    list.setSorted(wasSorted);
    return outcome;
}

}  // namespace korvane

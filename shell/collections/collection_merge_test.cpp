#include "shell/collections/collection_merge.h"

#include <gtest/gtest.h>

#include "shell/ui/check_list.h"

namespace korvane {
namespace {

using Paths = std::vector<std::string>;

CheckList ListOf(std::vector<std::pair<std::string, bool>> entries, bool sorted = true) {
    CheckList list;
    std::vector<CheckEntry> e;
    for (auto& [text, checked] : entries) e.push_back({text, checked, true});
    list.assign(std::move(e));
    list.setSorted(sorted);
    return list;
}

std::vector<std::pair<std::string, bool>> Contents(const CheckList& list) {
    std::vector<std::pair<std::string, bool>> out;
    for (const CheckEntry& e : list.entries()) out.emplace_back(e.text, e.checked);
    return out;
}

TEST(AppendNewPaths, SkipsListedPathsAndKeepsTheirMarks) {
    CheckList list = ListOf({{"/s/a.cbl", false}, {"/s/b.cbl", true}}, false);
    const size_t added = AppendNewPaths(list, {"/s/a.cbl", "/s/A.cbl", "/s/c.cbl", "/s/c.cbl", "/s/b.cbl"});
    EXPECT_EQ(added, 2u);
    // Paths are told apart as the file system does: exactly.
    EXPECT_EQ(Contents(list), (std::vector<std::pair<std::string, bool>>{
                                  {"/s/a.cbl", false}, {"/s/b.cbl", true}, {"/s/A.cbl", true}, {"/s/c.cbl", true}}));
    EXPECT_EQ(AppendNewPaths(list, {}), 0u);
}

TEST(MergeFoundFiles, FoundFilesMergeIntoCheckedEntriesInTheListsSortedMode) {
    using Entries = std::vector<std::pair<std::string, bool>>;
    struct Case {
        const char* what;
        Entries before;
        bool sorted;
        Paths found;
        Entries after;
    } cases[] = {
        {"empty unsorted list: search order", {}, false, {"/t/b.cbl", "/t/a.cbl"},
         {{"/t/b.cbl", true}, {"/t/a.cbl", true}}},
        {"empty sorted list", {}, true, {"/t/b.cbl", "/t/a.cbl"}, {{"/t/a.cbl", true}, {"/t/b.cbl", true}}},
        {"dropped again", {{"/t/a.cbl", false}, {"/t/b.cbl", true}, {"/t/c.cbl", false}}, true,
         {"/t/c.cbl", "/t/a.cbl", "/t/d.cbl"},
         {{"/t/a.cbl", true}, {"/t/b.cbl", true}, {"/t/c.cbl", true}, {"/t/d.cbl", true}}},
        // "a" and "A" fold alike; the exact duplicate is still found although
        // a case variant stood between them.
        {"letter case variants", {{"/t/a.cbl", false}, {"/t/A.cbl", false}}, false, {"/t/a.cbl"},
         {{"/t/A.cbl", false}, {"/t/a.cbl", true}}},
    };
    for (const Case& c : cases) {
        CheckList list = ListOf(c.before, c.sorted);
        int steps = 0;
        MergeObserver counting;
        counting.step = [&](size_t, size_t) { ++steps; };
        EXPECT_EQ(MergeFoundFiles(list, c.found, counting), MergeOutcome::Completed) << c.what;
        EXPECT_EQ(Contents(list), c.after) << c.what;
        EXPECT_EQ(list.sorted(), c.sorted) << c.what;
        if (c.before.empty()) {
            EXPECT_EQ(steps, 0) << c.what << ": nothing to merge, no progress";
        }
    }
}

TEST(MergeFoundFiles, ProgressRunsFromOneToTheCount) {
    CheckList list = ListOf({{"/t/a", true}, {"/t/b", true}});
    size_t begun = 0;
    std::vector<std::pair<size_t, size_t>> steps;
    MergeObserver obs;
    obs.begin = [&](size_t max) { begun = max; };
    obs.step = [&](size_t pos, size_t max) { steps.emplace_back(pos, max); };
    MergeFoundFiles(list, {"/t/b", "/t/c"});  // without observer
    MergeFoundFiles(list, {"/t/d"}, obs);
    EXPECT_EQ(begun, 4u);  // a b c + d
    EXPECT_EQ(steps, (std::vector<std::pair<size_t, size_t>>{{2, 4}, {3, 4}, {4, 4}}));
}

TEST(MergeFoundFiles, CancelKeepsWhatWasMergedSoFar) {
    CheckList list = ListOf({{"/t/a", false}, {"/t/b", false}, {"/t/c", false}, {"/t/d", false}});
    int polls = 0;
    MergeObserver obs;
    // The walk starts at the top: d is merged, then the request is seen.
    obs.cancelRequested = [&] { return ++polls >= 1; };
    EXPECT_EQ(MergeFoundFiles(list, {"/t/a", "/t/b", "/t/c", "/t/d"}, obs), MergeOutcome::Cancelled);
    EXPECT_EQ(polls, 1);
    EXPECT_EQ(list.size(), 7u);
    EXPECT_EQ(list.text(6), "/t/d");
    EXPECT_TRUE(list.checked(6));
    EXPECT_EQ(list.text(5), "/t/c");
    EXPECT_EQ(list.text(4), "/t/c");
    EXPECT_TRUE(list.sorted());
}

// The speed of such a merge is measured by bench/collections.bench.sh.
TEST(MergeFoundFiles, ListOfHundredThousandIsPutBackOnce) {
    std::vector<CheckEntry> existing;
    Paths found;
    for (int i = 0; i < 100000; ++i) {
        std::string path = "/bench/d" + std::to_string(i % 10) + "/e" + std::to_string(i % 100) + "/f" +
                           std::to_string(i) + ".cbl";
        if (i % 2 == 0) existing.push_back({path, i % 4 == 0, true});
        found.push_back(std::move(path));
    }
    CheckList list;
    list.setSorted(true);
    list.assign(std::move(existing));
    int resets = 0;
    list.setListener([&](CheckList::Change c, int, int) { resets += c == CheckList::Change::Reset; });
    MergeFoundFiles(list, std::move(found));

    EXPECT_EQ(list.size(), 100000u);
    EXPECT_EQ(list.checkedCount(), 100000);
    EXPECT_EQ(resets, 1);
}

}  // namespace
}  // namespace korvane

#include "shell/collections/collection_merge.h"

#include <gtest/gtest.h>

#include <chrono>

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

TEST(MergeFoundFiles, EmptyListTakesTheSearchOrder) {
    CheckList unsorted;
    EXPECT_EQ(MergeFoundFiles(unsorted, {"/t/b.cbl", "/t/a.cbl"}), MergeOutcome::Completed);
    EXPECT_EQ(Contents(unsorted), (std::vector<std::pair<std::string, bool>>{{"/t/b.cbl", true}, {"/t/a.cbl", true}}));
    EXPECT_FALSE(unsorted.sorted());

    CheckList sorted = ListOf({}, true);
    int steps = 0;
    MergeObserver counting;
    counting.step = [&](size_t, size_t) { ++steps; };
    MergeFoundFiles(sorted, {"/t/b.cbl", "/t/a.cbl"}, counting);
    EXPECT_EQ(Contents(sorted), (std::vector<std::pair<std::string, bool>>{{"/t/a.cbl", true}, {"/t/b.cbl", true}}));
    EXPECT_TRUE(sorted.sorted());
    EXPECT_EQ(steps, 0);  // nothing to merge, no progress
}

TEST(MergeFoundFiles, AgainDroppedFilesMergeIntoCheckedEntries) {
    CheckList list = ListOf({{"/t/a.cbl", false}, {"/t/b.cbl", true}, {"/t/c.cbl", false}});
    MergeFoundFiles(list, {"/t/c.cbl", "/t/a.cbl", "/t/d.cbl"});
    EXPECT_EQ(Contents(list), (std::vector<std::pair<std::string, bool>>{
                                  {"/t/a.cbl", true}, {"/t/b.cbl", true}, {"/t/c.cbl", true}, {"/t/d.cbl", true}}));
    EXPECT_TRUE(list.sorted());
}

TEST(MergeFoundFiles, LetterCaseVariantsBothStay) {
    // "a" and "A" fold alike; the exact duplicate is still found although a
    // case variant stood between them.
    CheckList list = ListOf({{"/t/a.cbl", false}, {"/t/A.cbl", false}}, false);
    MergeFoundFiles(list, {"/t/a.cbl"});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.checked(size_t(list.indexOf("/t/a.cbl", false))), true);
    EXPECT_EQ(list.checked(size_t(list.indexOf("/t/A.cbl", false))), false);
    EXPECT_FALSE(list.sorted());
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

TEST(MergeFoundFiles, ListOfHundredThousandStaysQuick) {
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

    const auto start = std::chrono::steady_clock::now();
    MergeFoundFiles(list, std::move(found));
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(list.size(), 100000u);
    EXPECT_EQ(list.checkedCount(), 100000);
    EXPECT_EQ(resets, 1);
    // Generous for sanitizer builds; the quadratic walk takes minutes.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 5000);
}

}  // namespace
}  // namespace korvane

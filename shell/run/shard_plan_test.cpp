// The split of a run: which sources each shard gets, which queue entries
// may run in shards, the "I/N" of -shard, and the record read back.

#include "shell/run/shard_plan.h"

#include <gtest/gtest.h>

#include "shell/run/run_test_support.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

// The checked positions of each of count shards over a list of
// size entries checked as given ('x' checked, '.' not).
std::vector<std::string> Slices(const std::string& checks, int count) {
    std::vector<CheckEntry> list;
    for (char c : checks) list.push_back({"s" + std::to_string(list.size()), c == 'x', true});
    std::vector<std::string> slices;
    for (int i = 0; i < count; ++i) {
        std::string slice;
        for (const CheckEntry& e : ShardSources(list, {i, count})) slice += e.checked ? 'x' : '.';
        slices.push_back(slice);
    }
    return slices;
}

}  // namespace

TEST(ShardPlan, SourcesSplitInOrderWithoutGapsOrOverlaps) {
    EXPECT_EQ(Slices("xxxxxxx", 3), (std::vector<std::string>{"xx.....", "..xx...", "....xxx"}));
    // Unchecked entries keep their places (and so the internal names).
    EXPECT_EQ(Slices("x.x.x", 2), (std::vector<std::string>{"x....", "..x.x"}));
    // More shards than sources: some shards get none.
    EXPECT_EQ(Slices("xx", 3), (std::vector<std::string>{"..", "x.", ".x"}));
    EXPECT_EQ(Slices("xxx", 1), (std::vector<std::string>{"xxx"}));
}

TEST(ShardPlan, FileLocalHeadOfTheQueue) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, bool>> steps;  // name, file-local
        std::vector<std::string> queue;
        size_t prefix;
    } cases[] = {
        {"all file-local, a chain between", {{"A", true}, {"B", true}}, {"A=<<", "fix=<<a", "B=<<a"}, 3},
        {"a chain goes with its step", {{"A", false}, {"B", true}}, {"A=<<", "fix=<<a", "B=<<a"}, 0},
        {"the head only", {{"A", true}, {"B", false}, {"C", true}}, {"A=<<", "B=<<a", "C=<<b"}, 1},
        {"a chained program after a file-local step", {{"A", true}, {"B", false}}, {"A=<<", "fix=<<a", "B=<<a"}, 2},
        {"an empty queue", {{"A", true}}, {}, 0},
    };
    for (const Case& c : cases) {
        RunSetup setup;
        for (const auto& [name, local] : c.steps) {
            RunStep step;
            step.name = name;
            step.hasPicker = true;
            step.fileLocal = local;
            setup.steps.push_back(step);
        }
        EXPECT_EQ(FileLocalQueuePrefix(c.queue, setup), c.prefix) << c.what;
    }
}

TEST(ShardPlan, ShardIdsAndRecords) {
    EXPECT_EQ(ParseShardId("0/1"), (ShardId{0, 1}));
    EXPECT_EQ(ParseShardId("7/8"), (ShardId{7, 8}));
    for (const char* bad : {"8/8", "1/0", "-1/3", "1/", "/3", "a/3", "1/3x", " 1/3", "1-3", "1/3/4"})
        EXPECT_FALSE(ParseShardId(bad)) << bad;

    TempDir dir;
    ShardRecord r;
    r.id = {1, 3};
    r.queue = {"A=<<", "B=<<a"};
    r.sources = {"FIL0002=/src/a b.java"};
    r.logBytes = {{10, 0, 0, 0}, {25, 3, 0, 0}};
    r.errors = {"Step A: program /t/a ended with exit status 5\r\nsecond line"};
    r.end = ShardRecord::End::Reported;
    WriteShardRecord(dir.path(), r);
    const std::optional<ShardRecord> back = ReadShardRecord(dir.path());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, r.id);
    EXPECT_EQ(back->queue, r.queue);
    EXPECT_EQ(back->sources, r.sources);
    EXPECT_EQ(back->logBytes, r.logBytes);
    EXPECT_EQ(back->errors, std::vector<std::string>{"Step A: program /t/a ended with exit status 5  second line"});
    EXPECT_EQ(back->end, r.end);
    // A record that is not one is no record.
    WriteTextLines(dir.path() + "/shard-record.txt", {"shard=1/3", "after=12,x"});
    EXPECT_FALSE(ReadShardRecord(dir.path()));
}

#pragma once
// A run split into shards: the checked sources cut into N contiguous slices
// in list order, each run through the file-local steps of the chain in a
// folder of its own below the output directory, then brought together as one
// run would have left them.
//
//   <output>/.korvane-shards/<I>-of-<N>/   the shard's output directory: its own
//                                          last.xml, workinp, workout, work,
//                                          Console.log and shard-record.txt
//
// The folder's name begins with a dot, so that no cleaning of a run touches
// it. Inside a shard the tools see a run as always: the internal names are
// the sources' positions in the whole list, so a shard's FIL0042 is the
// one-job run's FIL0042.
//
// The record says which queue entries the shard ran, how long its logs were
// after each (the tools append to them), and how it ended. Bringing the
// shards together appends each step's part of every shard's log in shard
// order: per step, the lines come in source order, as from one job.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/run/run_setup.h"
#include "shell/run/work_area.h"

namespace korvane {

inline constexpr const char* kShardsFolderName = ".korvane-shards";
inline constexpr const char* kShardRecordName = "shard-record.txt";

struct ShardId {
    int index = 0;  // 0 .. count - 1
    int count = 1;
    bool operator==(const ShardId&) const = default;
};

// "I/N" with 0 <= I < N, both plain decimal numbers; nothing otherwise.
std::optional<ShardId> ParseShardId(std::string_view text);

std::string ShardsFolder(std::string_view outputDir);
std::string ShardFolder(std::string_view outputDir, ShardId id);

// The list with only the shard's part of the checked entries left checked.
// Slices differ in size by one at most; with more shards than checked
// entries some shards get none.
std::vector<CheckEntry> ShardSources(const std::vector<CheckEntry>& sources, ShardId id);

// How many entries at the head of the step queue ("name=<<ext") may run in
// shards: steps declared file-local, each with the chained program that
// follows it. The rest of the queue runs as one job afterwards.
size_t FileLocalQueuePrefix(const std::vector<std::string>& queue, const RunSetup& setup);

// The files a shard's tools append to, relative to the shard's folder: the
// console log and the spellings of the system log in the result folder.
std::vector<std::string> ShardLogFiles(std::string_view systemName);

struct ShardRecord {
    enum class End { Running, Finished, Reported, Stopped };
    ShardId id;
    std::vector<std::string> queue;    // the entries the shard runs
    std::vector<std::string> sources;  // its sources, as the name map gives them ("FIL0003=path")
    // After each ended step: the bytes of every log file, in ShardLogFiles order.
    std::vector<std::vector<int64_t>> logBytes;
    End end = End::Running;
    std::vector<std::string> errors;  // what the shard's steps reported
};

// Written whole each time (replacing the file); read back as written.
// Reading gives nothing for a missing or malformed record.
void WriteShardRecord(const std::string& shardFolder, const ShardRecord& record);
std::optional<ShardRecord> ReadShardRecord(const std::string& shardFolder);

// What keeps the shards of a run from being brought together: a missing,
// unfinished or stopped shard, one of another split, or one that ran other
// steps. Empty when all N are there and finished. Format texts: one %s
// (the shards' folder), one %s the shard.
inline constexpr const char* kShardsIncomplete = "The shards in %s cannot be collected: %s";
// sources: the run's sources as its name map gives them; the shards' in
// shard order must be the same.
std::string ShardsProblem(const std::vector<std::optional<ShardRecord>>& records,
                          const std::vector<std::string>& queue, const std::vector<std::string>& sources);

// The lines of a name map that name a source ("FIL0003=path"), in order.
std::vector<std::string> SourceLines(const std::vector<std::string>& nameMap);

// The records of the shards found in the shards folder: the split is the N of
// the first "<I>-of-<N>" folder; a missing shard is an empty entry.
std::vector<std::optional<ShardRecord>> FindShardRecords(const std::string& outputDir);

// Moves every shard's working copies, results, side files and scratch files
// into the run's work area (replacing what is there), and appends the shards'
// logs to the run's, step by step and shard by shard. The system log and the
// console log of the run get exactly the lines one job would have written.
// What could not be moved or appended is added to failed.
void BringShardsTogether(const WorkArea& area, const std::vector<ShardRecord>& records, std::string_view systemName,
                         std::vector<std::string>& failed);

// A shard's tools find the copy members where the run's would: the files
// of the run's copy library are copied into the shard's.
void CopyShardLibrary(const std::string& outputDir, const std::string& shardFolder);

// Removes the folders of shards of any other split than count.
void RemoveOtherSplits(const std::string& outputDir, int count);

// Removes a folder tree without following links; what cannot go stays.
void RemoveFolderTree(const std::string& folder);

}  // namespace korvane

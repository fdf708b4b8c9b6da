#include "shell/run/shard_plan.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/step_queue.h"

namespace korvane {

namespace {

// Plain decimal digits, no sign.
std::optional<int> Decimal(std::string_view text) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "<I>-of-<N>"
std::optional<ShardId> ParseShardFolderName(std::string_view name) {
    const size_t of = name.find("-of-");
    if (of == std::string_view::npos) return std::nullopt;
    return ParseShardId(std::string(name.substr(0, of)) + "/" + std::string(name.substr(of + 4)));
}

std::string ShardName(ShardId id) { return Format("%d/%d", id.index, id.count); }

const char* EndWord(ShardRecord::End end) {
    switch (end) {
        case ShardRecord::End::Finished: return "finished";
        case ShardRecord::End::Reported: return "reported";
        case ShardRecord::End::Stopped: return "stopped";
        case ShardRecord::End::Running: break;
    }
    return "running";
}

// Moves what a shard's folder holds into the run's folder of the same role;
// a folder that is there already is filled, a file replaced.
void MoveFolderContents(const std::string& from, const std::string& to, const std::vector<std::string>& skip,
                        std::vector<std::string>& failed) {
    if (!DirectoryExists(from) || IsSymlink(from)) return;
    ForceDirectories(to);
    for (const DirEntry& e : ListDirectory(from)) {
        if (std::find(skip.begin(), skip.end(), e.name) != skip.end()) continue;
        const std::string source = JoinPath(from, e.name);
        const std::string target = JoinPath(to, e.name);
        if (e.isDir && DirectoryExists(target) && !IsSymlink(target)) {
            MoveFolderContents(source, target, {}, failed);
        } else if (e.isDir ? !MoveFile(source, target) : MoveFileReplace(source, target) != 0) {
            failed.push_back(source);
        }
    }
}

}  // namespace

std::optional<ShardId> ParseShardId(std::string_view text) {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::optional<int> index = Decimal(text.substr(0, slash));
    const std::optional<int> count = Decimal(text.substr(slash + 1));
    if (!index || !count || *count < 1 || *index >= *count) return std::nullopt;
    return ShardId{*index, *count};
}

std::string ShardsFolder(std::string_view outputDir) { return JoinPath(ExcludeTrailingSep(outputDir), kShardsFolderName); }

std::string ShardFolder(std::string_view outputDir, ShardId id) {
    return JoinPath(ShardsFolder(outputDir), Format("%d-of-%d", id.index, id.count));
}

std::vector<CheckEntry> ShardSources(const std::vector<CheckEntry>& sources, ShardId id) {
    const size_t checked = size_t(std::count_if(sources.begin(), sources.end(), [](const CheckEntry& e) { return e.checked; }));
    const size_t first = checked * size_t(id.index) / size_t(id.count);
    const size_t last = checked * size_t(id.index + 1) / size_t(id.count);
    std::vector<CheckEntry> slice = sources;
    size_t n = 0;
    for (CheckEntry& e : slice) {
        if (!e.checked) continue;
        e.checked = n >= first && n < last;
        ++n;
    }
    return slice;
}

size_t FileLocalQueuePrefix(const std::vector<std::string>& queue, const RunSetup& setup) {
    bool previous = false;
    for (size_t i = 0; i < queue.size(); ++i) {
        const std::string name = QueueStepName(queue[i]);
        const auto step = std::find_if(setup.steps.begin(), setup.steps.end(),
                                       [&](const RunStep& s) { return s.hasPicker && s.name == name; });
        // A chained program goes with the step it follows.
        const bool fileLocal = step != setup.steps.end() ? step->fileLocal : previous;
        if (!fileLocal) return i;
        previous = fileLocal;
    }
    return queue.size();
}

std::vector<std::string> ShardLogFiles(std::string_view systemName) {
    // Every spelling the collection takes the tools' log by.
    std::vector<std::string> files{"Console.log"};
    const std::string name(systemName);
    for (const std::string& base : {name + ".LOG", name + ".log", UpperCase(name) + ".LOG"}) {
        const std::string log = JoinPath(kResultFolderName, base);
        if (std::find(files.begin(), files.end(), log) == files.end()) files.push_back(log);
    }
    return files;
}

void WriteShardRecord(const std::string& shardFolder, const ShardRecord& record) {
    std::vector<std::string> lines;
    lines.push_back("shard=" + ShardName(record.id));
    for (const std::string& entry : record.queue) lines.push_back("queue=" + entry);
    for (const std::string& source : record.sources) lines.push_back("source=" + source);
    for (const std::vector<int64_t>& sizes : record.logBytes) {
        std::string line = "after=";
        for (size_t i = 0; i < sizes.size(); ++i) line += (i ? "," : "") + std::to_string(sizes[i]);
        lines.push_back(line);
    }
    for (const std::string& error : record.errors) lines.push_back("error=" + ReplaceAll(ReplaceAll(error, "\r", " "), "\n", " "));
    lines.push_back(std::string("end=") + EndWord(record.end));
    WriteTextLines(JoinPath(shardFolder, kShardRecordName), lines, AtLink::Replace);
}

std::optional<ShardRecord> ReadShardRecord(const std::string& shardFolder) {
    const std::string path = JoinPath(shardFolder, kShardRecordName);
    if (!FileExists(path) || IsSymlink(path)) return std::nullopt;
    ShardRecord r;
    bool haveId = false;
    for (const std::string& line : ReadTextLines(path)) {
        const std::string key = TextBeforeFirst(line, "=");
        if (key.size() == line.size()) return std::nullopt;
        const std::string value = line.substr(key.size() + 1);
        if (key == "shard") {
            const std::optional<ShardId> id = ParseShardId(value);
            if (!id) return std::nullopt;
            r.id = *id;
            haveId = true;
        } else if (key == "queue") {
            r.queue.push_back(value);
        } else if (key == "source") {
            r.sources.push_back(value);
        } else if (key == "after") {
            std::vector<int64_t> sizes;
            std::string rest = value;
            while (!rest.empty()) {
                const std::string item = TextBeforeFirst(rest, ",");
                rest = rest.size() > item.size() ? rest.substr(item.size() + 1) : std::string();
                int64_t n = 0;
                const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), n);
                if (ec != std::errc() || end != item.data() + item.size() || n < 0) return std::nullopt;
                sizes.push_back(n);
            }
            r.logBytes.push_back(std::move(sizes));
        } else if (key == "error") {
            r.errors.push_back(value);
        } else if (key == "end") {
            r.end = value == "finished"   ? ShardRecord::End::Finished
                    : value == "reported" ? ShardRecord::End::Reported
                    : value == "stopped"  ? ShardRecord::End::Stopped
                                          : ShardRecord::End::Running;
        } else {
            return std::nullopt;
        }
    }
    if (!haveId) return std::nullopt;
    return r;
}

std::vector<std::optional<ShardRecord>> FindShardRecords(const std::string& outputDir) {
    const std::string folder = ShardsFolder(outputDir);
    std::map<int, std::vector<ShardId>> splits;
    if (!IsSymlink(folder))
        for (const DirEntry& e : ListDirectory(folder))
            if (e.isDir)
                if (std::optional<ShardId> id = ParseShardFolderName(e.name)) splits[id->count].push_back(*id);
    // Only one split can be collected; with folders of several the larger
    // split stands, and its missing shards say what is wrong.
    if (splits.empty()) return {};
    const int count = splits.rbegin()->first;
    std::vector<std::optional<ShardRecord>> records(static_cast<size_t>(count));
    for (const ShardId& id : splits.rbegin()->second) {
        std::optional<ShardRecord> r = ReadShardRecord(ShardFolder(outputDir, id));
        if (r && r->id == id) records[size_t(id.index)] = std::move(r);
    }
    return records;
}

std::vector<std::string> SourceLines(const std::vector<std::string>& nameMap) {
    std::vector<std::string> lines;
    for (const std::string& line : nameMap)
        if (StartsWithText("FIL", line)) lines.push_back(line);
    return lines;
}

std::string ShardsProblem(const std::vector<std::optional<ShardRecord>>& records, const std::vector<std::string>& queue,
                          const std::vector<std::string>& sources) {
    if (records.empty()) return "no shard has run";
    const int count = int(records.size());
    for (int i = 0; i < count; ++i) {
        const std::string name = "shard " + ShardName({i, count});
        const std::optional<ShardRecord>& r = records[size_t(i)];
        if (!r) return name + " is missing";
        if (r->end == ShardRecord::End::Running) return name + " has not finished";
        if (r->end == ShardRecord::End::Stopped) return name + " was stopped";
        // A shard without sources ran nothing.
        if (!r->queue.empty() && r->queue != queue) return name + " ran other steps";
        if (r->logBytes.size() > r->queue.size()) return name + " has a damaged record";
    }
    // The shards' sources, one after the other, are the run's.
    std::vector<std::string> all;
    for (const std::optional<ShardRecord>& r : records) all.insert(all.end(), r->sources.begin(), r->sources.end());
    if (all != sources) return "the shards ran other sources than the project checks";
    return {};
}

void BringShardsTogether(const WorkArea& area, const std::vector<ShardRecord>& records, std::string_view systemName,
                         std::vector<std::string>& failed) {
    const std::vector<std::string> logs = ShardLogFiles(systemName);
    std::vector<std::string> resultSkip{"names.csv"};
    for (const std::string& log : logs)
        if (StartsWithStr(std::string(kResultFolderName) + "/", log)) resultSkip.push_back(ExtractFileName(log));

    // The logs first, while the shards still hold them: step by step, each
    // shard's part of each log in shard order.
    size_t steps = 0;
    for (const ShardRecord& r : records) steps = std::max(steps, r.logBytes.size());
    std::vector<std::string> contents;
    for (size_t k = 0; k < steps; ++k) {
        for (const ShardRecord& r : records) {
            if (k >= r.logBytes.size()) continue;
            const std::string folder = ShardFolder(area.outputDir, r.id);
            const bool lastStep = k + 1 == r.logBytes.size();
            for (size_t f = 0; f < logs.size(); ++f) {
                const std::string path = JoinPath(folder, logs[f]);
                if (!FileExists(path) || IsSymlink(path)) continue;
                const std::string bytes = ReadFileBytes(path);
                const auto at = [&](size_t step) {
                    const std::vector<int64_t>& sizes = r.logBytes[step];
                    return f < sizes.size() ? std::min<size_t>(size_t(sizes[f]), bytes.size()) : bytes.size();
                };
                const size_t from = k == 0 ? 0 : at(k - 1);
                // What came after the last record (a tool still writing as
                // its step ended) goes with the last step.
                const size_t to = lastStep ? bytes.size() : at(k);
                if (to <= from) continue;
                const std::string target = JoinPath(area.outputDir, logs[f]);
                if (AppendToFile(target, std::string_view(bytes).substr(from, to - from)) != 0) failed.push_back(target);
            }
        }
    }

    for (const ShardRecord& r : records) {
        const std::string folder = ShardFolder(area.outputDir, r.id);
        MoveFolderContents(JoinPath(folder, kInputFolderName), area.inputFolder, {}, failed);
        MoveFolderContents(JoinPath(folder, kResultFolderName), area.resultFolder, resultSkip, failed);
        MoveFolderContents(JoinPath(folder, kWorkFolderName), area.workFolder, {}, failed);
    }
}

void CopyShardLibrary(const std::string& outputDir, const std::string& shardFolder) {
    const std::string from = CopyLibraryPath(outputDir);
    const std::string to = CopyLibraryPath(shardFolder);
    if (IsSymlink(ExcludeTrailingSep(from))) return;
    for (const DirEntry& e : ListDirectory(from))
        if (e.isFile && !IsSymlink(JoinPath(from, e.name))) CopyFileContents(JoinPath(from, e.name), JoinPath(to, e.name));
}

void RemoveOtherSplits(const std::string& outputDir, int count) {
    const std::string folder = ShardsFolder(outputDir);
    if (IsSymlink(folder)) return;
    for (const DirEntry& e : ListDirectory(folder))
        if (std::optional<ShardId> id = ParseShardFolderName(e.name); id && id->count != count)
            RemoveFolderTree(JoinPath(folder, e.name));
}

void RemoveFolderTree(const std::string& folder) {
    if (IsSymlink(folder)) {
        DeleteFile(folder);
        return;
    }
    for (const DirEntry& e : ListDirectory(folder)) {
        const std::string path = JoinPath(folder, e.name);
        if (e.isDir)
            RemoveFolderTree(path);
        else
            DeleteFile(path);
    }
    RemoveDir(folder);
}

}  // namespace korvane

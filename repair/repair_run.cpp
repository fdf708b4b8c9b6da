#include "repair/repair_run.h"

#include "repair/if_repair.h"
#include "repair/xml_node_list.h"
#include "shared/text.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace korvane {

namespace {

const char* const kInvalidParameterFile = "Invalid parameter file!";

std::string Message(std::string_view prefix, std::string_view value) {
    std::string line(prefix);
    line.append(value);
    line.push_back(' ');
    return line;
}

struct FilePair {
    std::string original;  // the source, for the message only
    std::string path;      // the file to repair
};

// What the parameter file asks for, read before any file is touched: the
// complete pairs in order, then the lines that end the walk ("Invalid
// parameter file!", after the first line of a broken pair) or the error that
// ends it.
struct Walk {
    std::vector<FilePair> pairs;
    std::vector<std::string> tail;
    std::exception_ptr error;
};

Walk WalkPairs(TMyXMLNodeList& nodes) {
    Walk walk;
    try {
        if (!nodes.FindByName("Files")) {
            walk.tail.push_back(kInvalidParameterFile);
            return walk;
        }
        // When Files has no child the cursor stays on Files, whose name fails
        // the first test below.
        nodes.FirstChild(-1);
        while (true) {
            if (!StartsWithText("Orig_File_", nodes.CurrentNode().Name())) {
                walk.tail.push_back(kInvalidParameterFile);
                return walk;
            }
            std::string original = nodes.CurrentNode().Value();
            if (!nodes.NextSibling()) {
                walk.tail.push_back(
                    Message(Format("Processing original file %zu ", walk.pairs.size() + 1), original));
                walk.tail.push_back(kInvalidParameterFile);
                return walk;
            }
            // The name of the second element of a pair is not looked at.
            walk.pairs.push_back({std::move(original), nodes.CurrentNode().Value()});
            if (!nodes.NextSibling()) return walk;
        }
    } catch (...) {
        walk.error = std::current_exception();
    }
    return walk;
}

void PrintPair(const FilePair& pair, int& processed, const LineSink& print) {
    print(Message(Format("Processing original file %d ", processed + 1), pair.original));
    print(Message("Internal name ", pair.path));
    ++processed;
}

// A hash of the file name with ASCII letters folded, with its extension
// replaced by ext when one is given (as ChangeFileExt does): two pairs whose
// names agree so may touch the same file, whatever their folders are called.
uint64_t NameHash(std::string_view path, std::string_view ext = {}) {
    const size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!ext.empty()) name = name.substr(0, name.rfind('.'));
    uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    auto add = [&hash](std::string_view bytes) {
        for (char c : bytes) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        }
    };
    add(name);
    add(ext);
    return hash;
}

// For every pair, whether it reads a file that an earlier pair writes (the
// file, its backup or its corrected copy). Names that only share a hash
// count as the same: that costs such a pair no more than its turn on
// another thread.
std::vector<bool> ReadsWhatEarlierPairsWrite(const std::vector<FilePair>& pairs) {
    struct Key {
        uint64_t hash;
        size_t pair;
        bool read;  // the file the pair reads
    };
    std::vector<Key> keys;
    keys.reserve(3 * pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
        keys.push_back({NameHash(pairs[i].path), i, true});
        keys.push_back({NameHash(pairs[i].path, ".eredeti.txt"), i, false});
        keys.push_back({NameHash(pairs[i].path, ".javitott.txt"), i, false});
    }
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.hash != b.hash ? a.hash < b.hash : a.pair < b.pair; });
    std::vector<bool> inTurn(pairs.size(), false);
    size_t first = 0;  // sorted so, the first key of a hash has its earliest pair
    for (size_t k = 1; k < keys.size(); ++k) {
        if (keys[k].hash != keys[first].hash)
            first = k;
        else if (keys[k].read && keys[first].pair < keys[k].pair)
            inTurn[keys[k].pair] = true;
    }
    return inTurn;
}

// Repairs the pairs on several threads, this one included. Each thread
// takes the next pair, reads and repairs its file and writes the three files
// as temporary files; then the pairs are put in place strictly in list
// order: whichever thread hands in the pair that is next in turn prints its
// lines and puts it and every following pair already handed in in place, so
// no thread waits for another except to stay at most a window ahead. A pair
// that reads a file an earlier pair writes is repaired by the thread putting
// it in place, in its turn. When a prepared repair failed, the threads stop
// at that pair, what they wrote ahead is removed, and the run goes on one
// file after the other from that pair on, which repeats the failure (or not,
// when it came from the room the temporary files took). So the lines, the
// files and the error are those of a run on one thread.
class ParallelRepair {
public:
    ParallelRepair(const std::vector<FilePair>& pairs, unsigned threads, const LineSink& print, int& processed)
        : pairs_(pairs), inTurn_(ReadsWhatEarlierPairsWrite(pairs)), print_(print), processed_(processed) {
        window_ = 4 * static_cast<size_t>(threads);
        // Pair i is handed in at slot i % window: the pairs taken and not yet
        // put in place are never a window apart.
        slots_.resize(window_);
        // Where no thread can be started, fewer threads share the work.
        try {
            for (unsigned t = 1; t < threads; ++t) threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
        }
    }
    ~ParallelRepair() { Stop(); }
    ParallelRepair(const ParallelRepair&) = delete;
    ParallelRepair& operator=(const ParallelRepair&) = delete;

    void Run() {
        Work();
        // The threads end when every pair is taken; whichever hands in the
        // last one also puts it in place.
        for (std::thread& t : threads_) t.join();
        threads_.clear();
        for (Slot& slot : slots_) slot.prepared = PreparedRepair();
        if (error_) std::rethrow_exception(error_);
        for (size_t i = resumeAt_; i < pairs_.size(); ++i) {
            PrintPair(pairs_[i], processed_, print_);
            RepairFile(pairs_[i].path);
        }
    }

private:
    struct Slot {
        bool ready = false;
        bool failed = false;
        PreparedRepair prepared;
    };

    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_ && next_ < pairs_.size()) {
            if (next_ >= done_ + window_) {
                ++waiting_;
                room_.wait(lock);
                --waiting_;
                continue;
            }
            const size_t i = next_++;
            lock.unlock();
            PreparedRepair prepared;
            bool failed = false;
            if (!inTurn_[i]) {
                try {
                    prepared = PrepareRepair(pairs_[i].path);
                } catch (...) {
                    failed = true;
                }
            }
            lock.lock();
            Slot& slot = slots_[i % window_];
            slot.prepared = std::move(prepared);
            slot.failed = failed;
            slot.ready = true;
            if (!putting_) PutInPlace(lock);
        }
    }

    // Puts the pairs that are next in turn and handed in in place, one after
    // the other; the lock is held between them, not while one is put.
    void PutInPlace(std::unique_lock<std::mutex>& lock) {
        putting_ = true;
        while (!stop_ && done_ < pairs_.size() && slots_[done_ % window_].ready) {
            const size_t i = done_;
            Slot& slot = slots_[i % window_];
            if (slot.failed) {
                resumeAt_ = i;
                StopLocked();
                break;
            }
            PreparedRepair prepared = std::move(slot.prepared);
            lock.unlock();
            std::exception_ptr error;
            try {
                PrintPair(pairs_[i], processed_, print_);
                if (inTurn_[i])
                    RepairFile(pairs_[i].path);
                else
                    prepared.Commit();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            if (error) {
                error_ = error;
                StopLocked();
                break;
            }
            // The slot is free for the pair a window on, which may be taken
            // from now on.
            slot.ready = false;
            done_ = i + 1;
            if (waiting_ > 0) room_.notify_all();
        }
        putting_ = false;
    }

    void StopLocked() {
        stop_ = true;
        room_.notify_all();
    }

    // Ends the other threads and removes every temporary file written ahead.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            StopLocked();
        }
        for (std::thread& t : threads_) t.join();
        threads_.clear();
        for (Slot& slot : slots_) slot.prepared = PreparedRepair();
    }

    const std::vector<FilePair>& pairs_;
    const std::vector<bool> inTurn_;  // the pairs that read what an earlier pair writes
    std::vector<Slot> slots_;
    const LineSink& print_;
    int& processed_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable room_;  // a thread waits here while a window ahead
    size_t window_ = 0;
    size_t next_ = 0;     // the next pair a thread takes
    size_t done_ = 0;     // pairs put in place
    size_t waiting_ = 0;  // threads waiting for room
    bool putting_ = false;
    bool stop_ = false;
    size_t resumeAt_ = std::numeric_limits<size_t>::max();  // where one thread goes on
    std::exception_ptr error_;
};

void RepairPairs(const std::vector<FilePair>& pairs, const LineSink& print, int& processed, unsigned threads) {
    if (threads <= 1 || pairs.size() < 2) {
        for (const FilePair& pair : pairs) {
            PrintPair(pair, processed, print);
            RepairFile(pair.path);
        }
        return;
    }
    ParallelRepair(pairs, static_cast<unsigned>(std::min<size_t>(threads, pairs.size())), print, processed).Run();
}

}  // namespace

unsigned DefaultRepairThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : std::min(cores, 16u);
}

void RunRepair(const std::string& parameterFile, const LineSink& print, unsigned threads) {
    // A parameter file that cannot be read or parsed ends the run before any
    // line is printed.
    auto nodes = std::make_unique<TMyXMLNodeList>(parameterFile, true);
    const Walk walk = WalkPairs(*nodes);
    nodes.reset();
    int processed = 0;
    try {
        RepairPairs(walk.pairs, print, processed, threads);
    } catch (...) {
        // The count line comes first, then the error goes on to be reported.
        print(Format("%d files processed", processed));
        throw;
    }
    for (const std::string& line : walk.tail) print(line);
    print(Format("%d files processed", processed));
    if (walk.error) std::rethrow_exception(walk.error);
}

int BrelvinMain(const std::vector<std::string>& args, const LineSink& print) {
    if (args.size() < 2) {
        print("Usage: brelvin <parameter file>");
        return 1;
    }
    try {
        RunRepair(args[1], print, DefaultRepairThreads());
        return 0;
    } catch (const std::exception& e) {
        print(std::string("Error: ") + e.what());
    } catch (...) {
        print("Error: unknown error");
    }
    return 1;
}

}  // namespace korvane

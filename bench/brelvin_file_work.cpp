// Driver of brelvin.bench.sh: the file work brelvin does, without the text
// work. For every path read from standard input (one per line) it reads the
// file as brelvin does and writes its three files the same way, through
// brelvin's own routines: the backup and the corrected copy as new files,
// the file itself replaced keeping its permission bits. The bytes are
// written as read: no line ends are changed, nothing is repaired, no line is
// printed and the files are put in place in no particular order. It works on
// as many threads as brelvin. What brelvin takes beyond this program's time
// is its own work; this program's time is as fast as brelvin can be on the
// machine.

#include <atomic>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "repair/file_io.h"
#include "repair/if_repair.h"
#include "repair/repair_run.h"

namespace {

using namespace korvane;

void WriteThree(const std::string& path) {
    unsigned permissions = 0;
    const std::string bytes = ReadFileToRewrite(path, permissions);
    PendingFile backup(ChangeFileExt(path, ".eredeti.txt"), bytes);
    PendingFile file(path, bytes, permissions);
    PendingFile corrected(ChangeFileExt(path, ".javitott.txt"), bytes);
    backup.Commit();
    file.Commit();
    corrected.Commit();
}

}  // namespace

int main() {
    std::vector<std::string> paths;
    for (std::string line; std::getline(std::cin, line);)
        if (!line.empty()) paths.push_back(line);

    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (size_t i = next++; i < paths.size() && !failed; i = next++) {
            try {
                WriteThree(paths[i]);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "brelvin_file_work: %s\n", e.what());
                failed = true;
            }
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < DefaultRepairThreads(); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    return failed ? 1 : 0;
}

// Driver of collections.bench.sh: adding a searched folder tree to a source
// list, as AddDirectoryToList does it without the window (the folder search
// and the merge).
//
//   collections_bench generate DIR   lays out DIR/dNN/dNN/dNN/fNNN.cbl:
//                                     10 x 10 x 10 folders of 100 files each
//   collections_bench add DIR        fills a list with every other file of
//                                     the tree, then times the search of DIR
//                                     and the merge into that list; prints
//                                     "elapsed_ns N"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "shared/collect_files.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/collections/collection_merge.h"
#include "shell/collections/source_filter.h"

namespace {

using namespace korvane;

constexpr int kFanOut = 10;
constexpr int kFilesPerFolder = 100;
constexpr size_t kTreeFiles = size_t(kFanOut) * kFanOut * kFanOut * kFilesPerFolder;

std::vector<std::string> TreePaths(const std::string& root) {
    std::vector<std::string> paths;
    paths.reserve(kTreeFiles);
    for (int a = 0; a < kFanOut; ++a)
        for (int b = 0; b < kFanOut; ++b)
            for (int c = 0; c < kFanOut; ++c)
                for (int f = 0; f < kFilesPerFolder; ++f)
                    paths.push_back(Format("%s/d%02d/d%02d/d%02d/f%03d.cbl", root.c_str(), a, b, c, f));
    return paths;
}

int Generate(const std::string& root) {
    for (const std::string& path : TreePaths(root)) {
        const std::string dir = path.substr(0, path.rfind('/'));
        if (!DirectoryExists(dir) && !ForceDirectories(dir)) {
            std::fprintf(stderr, "cannot create %s\n", dir.c_str());
            return 1;
        }
        WriteFileAtomic(path, "       IDENTIFICATION DIVISION.\r\n");
    }
    return 0;
}

int Add(const std::string& root) {
    CheckList list;
    list.setSorted(true);
    std::vector<CheckEntry> half;
    const std::vector<std::string> paths = TreePaths(root);
    for (size_t i = 0; i < paths.size(); i += 2) half.push_back({paths[i], i % 4 == 0, true});
    list.assign(std::move(half));

    const std::string extensions = FolderSearchExtensions("Cobol sources (*.cbl;*.cob)|*.cbl;*.cob");
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> found;
    CollectFiles(root, "", extensions, found);
    MergeFoundFiles(list, std::move(found));
    const auto elapsed = std::chrono::steady_clock::now() - start;

    if (list.size() != kTreeFiles || list.checkedCount() != int(kTreeFiles)) {
        std::fprintf(stderr, "unexpected list: %zu entries, %d checked\n", list.size(), list.checkedCount());
        return 1;
    }
    std::printf("elapsed_ns %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "generate") return Generate(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "add") return Add(argv[2]);
    std::fprintf(stderr, "usage: collections_bench generate|add DIR\n");
    return 2;
}

// Driver of run.bench.sh: the preparation and the result collection of a
// batch run, without the window, over a generated source tree.
//
//   run_bench generate DIR COUNT   COUNT Java sources below DIR (100 per folder)
//   run_bench prepare DIR OUT      the three preparation phases for every source
//                                  below DIR (cleaning, parameter file, copies);
//                                  prints "elapsed_ns N"
//   run_bench stage DIR OUT        prepares and lets every copy stand as its
//                                  result in OUT/workout (nothing timed)
//   run_bench collect DIR OUT      times the collection of what "stage" left
//                                  (the name map is formed again first, not
//                                  timed); prints "elapsed_ns N"
//   run_bench diff SRC OUT         the unified diff of every file below SRC
//                                  against the same path below OUT, as
//                                  "korvane -batch run -diff" writes it, on
//                                  standard output

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/copy_run_files.h"
#include "shell/run/output_ownership.h"
#include "shell/run/parameter_file.h"
#include "shell/run/result_collection.h"
#include "shell/run/source_changes.h"
#include "shell/run/work_area.h"
#include "shell/ui/null_reporter.h"

namespace fs = std::filesystem;
using namespace korvane;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<CheckEntry> Sources(const std::string& dir) {
    std::vector<CheckEntry> sources;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) sources.push_back({e.path().string(), true, true});
    std::sort(sources.begin(), sources.end(),
              [](const CheckEntry& a, const CheckEntry& b) { return CompareText(a.text, b.text) < 0; });
    return sources;
}

struct Prepared {
    WorkArea area;
    RunNames names;
    std::vector<std::string> nameMap;
    std::vector<CheckEntry> sources;
};

// What PrepareRun, CopyRunFiles and MergeRenameDirectives do with the files.
Prepared Prepare(const std::string& dir, const std::string& out) {
    Reporter& reporter = NullReporter::Instance();
    Prepared p;
    p.sources = Sources(dir);
    p.names = MakeRunNames("Bench", "Run");
    p.area = PrepareWorkArea(out, false, reporter);

    ParameterFileInput in;
    in.productName = "Bench";
    in.systemName = "Run";
    in.projectVersion = "JAV";
    in.rows = {{"Realign", "Realign", true, true}};
    in.outputDir = p.area.outputDir;
    in.sources = p.sources;
    std::vector<std::string> lines;
    WriteParameterFile(in, "", lines, &p.nameMap, reporter);

    ProtectedFiles keep;  // as a run has them: every source of the project
    for (const CheckEntry& e : p.sources) keep.Add(e.text);
    CleanForNewRun(p.area, p.names, 100, false, keep);
    CopySourcesInput copy;
    copy.area = p.area;
    copy.nameMap = p.nameMap;
    for (const CheckEntry& e : p.sources) copy.sourcePaths.push_back(e.text);
    copy.projectName = p.names.projectName;
    copy.numberOfSources = int(p.sources.size());
    CopySourcesToWorkArea(copy, reporter);
    WriteParameterFileAgain(p.area.outputDir, lines);
    return p;
}

int Generate(const std::string& dir, int count) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += Format("    int method%d(int a) { if (a > %d) { return a * 2; } return a; }\n", i, i);
    for (int n = 0; n < count; ++n) {
        std::string folder = Format("%s/d%03d", dir.c_str(), n / 100);
        if (n % 100 == 0) ForceDirectories(folder);
        std::FILE* f = std::fopen(Format("%s/Gen%05d.java", folder.c_str(), n).c_str(), "wb");
        if (!f) return 1;
        std::fprintf(f, "class Gen%d {\n%s}\n", n, text.c_str());
        std::fclose(f);
    }
    return 0;
}

void PrintElapsed(Clock::time_point start) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
    std::printf("elapsed_ns %lld\n", static_cast<long long>(ns));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    try {
        if (a.size() == 3 && a[0] == "generate") return Generate(a[1], std::atoi(a[2].c_str()));
        if (a.size() == 3 && a[0] == "prepare") {
            Clock::time_point start = Clock::now();
            Prepare(a[1], a[2]);
            PrintElapsed(start);
            return 0;
        }
        if (a.size() == 3 && a[0] == "stage") {
            Prepared p = Prepare(a[1], a[2]);
            for (const std::string& line : p.nameMap)
                if (StartsWithStr("Copy", line)) {
                    const std::string copy = TextAfterFirst(line, "=");
                    fs::rename(copy, JoinPath(p.area.resultFolder, ExtractFileName(copy) + ".JRS"));
                }
            return 0;
        }
        if (a.size() == 3 && a[0] == "diff") {
            // The batch mode's loop: each source's diff written as it is formed.
            const std::string src = ExcludeTrailingSep(a[1]), out = ExcludeTrailingSep(a[2]);
            std::ios::sync_with_stdio(false);
            for (const CheckEntry& e : Sources(src)) WriteSourceDiff(std::cout, e.text, out + e.text.substr(src.size()));
            return std::cout.flush() ? 0 : 1;
        }
        if (a.size() == 3 && a[0] == "collect") {
            CollectionInput in;
            in.area = MakeWorkArea(a[2]);
            ParameterFileInput param;
            param.productName = "Bench";
            param.systemName = "Run";
            param.projectVersion = "JAV";
            param.outputDir = in.area.outputDir;
            param.sources = Sources(a[1]);
            std::vector<std::string> lines;
            WriteParameterFile(param, "", lines, &in.nameMap, NullReporter::Instance());
            in.commonRoot = ExcludeTrailingSep(a[1]);
            in.finalResultExtension = "JRS";
            in.outputExtension = ".java";
            in.copyExtension = ".jcp";
            in.systemName = "Run";
            in.projectName = MakeRunNames("Bench", "Run").projectName;
            Clock::time_point start = Clock::now();
            for (const CheckEntry& e : param.sources) in.keep.Add(e.text);
            CollectResults(in, NullReporter::Instance());
            PrintElapsed(start);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "run_bench: %s\n", e.what());
        return 1;
    } catch (const SilentAbort&) {
        std::fprintf(stderr, "run_bench: a step of the run was refused\n");
        return 1;
    }
    std::fprintf(stderr, "usage: run_bench generate DIR COUNT | prepare DIR OUT | stage DIR OUT | collect DIR OUT | "
                 "diff SRC OUT\n");
    return 2;
}

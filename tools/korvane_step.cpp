// korvane-step: the reference program of one step of a tool chain.
//
// Started in the output directory with "last.xml" as its first argument, it
// reads the parameter file and, for every File_ entry, copies the input to
// <Output_Dir>/FILnnnn.<result extension> and notes the step in the system
// log <Output_Dir>/<SystemName>.LOG. Which step it stands for comes from the
// file "<program path>.step" beside the program:
//     Step=Realign
//     ResultExtension=JV1
// so that one program serves every step of a chain. Behaviours for tests are
// switched on by environment variables (see README.md).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "shared/text.h"
#include "tools/parameter_file_reader.h"
#include "tools/tool_program.h"

namespace fs = std::filesystem;
using namespace korvane;
using namespace korvane::tools;

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::set<std::string> SkippedNames() {
    std::set<std::string> names;
    std::string list = Env("KORVANE_STEP_SKIP");
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string name = UpperCase(Trim(list.substr(start, comma - start)));
        if (!name.empty()) names.insert(name);
        start = comma + 1;
    }
    return names;
}

// Spends about that many milliseconds of processor time on the bytes: a
// checksum over them, pass after pass, whose value goes nowhere. Stands in
// for a tool whose work per source is computation rather than file work.
void Burn(const std::string& bytes, double milliseconds) {
    const std::clock_t until = std::clock() + static_cast<std::clock_t>(milliseconds * CLOCKS_PER_SEC / 1000);
    volatile std::uint32_t sink = 0;
    std::uint32_t sum = 2166136261u;
    do {
        // About 64 KB of checksumming between two looks at the clock.
        size_t done = 0;
        do {
            for (unsigned char c : bytes) sum = (sum ^ c) * 16777619u;
            done += bytes.size();
        } while (done > 0 && done < 65536);
        sink = sink + sum;
    } while (std::clock() < until);
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = OwnProgramPath(argv[0]);
    std::string sidecar;
    if (!ReadWholeFile(program + ".step", sidecar)) {
        std::fprintf(stderr, "korvane-step: cannot read the step settings %s.step\n", program.c_str());
        return 2;
    }
    std::vector<std::string> settings = SplitLines(sidecar);
    std::string step = SidecarValue(settings, "Step");
    std::string extension = SidecarValue(settings, "ResultExtension");
    if (step.empty() || extension.empty()) {
        std::fprintf(stderr, "korvane-step: %s.step names no Step and ResultExtension\n", program.c_str());
        return 2;
    }

    if (Env("KORVANE_STEP_ECHO") == "1")
        for (int i = 1; i < argc; ++i) std::printf("%s argument %d: %s\n", step.c_str(), i, argv[i]);
    if (double seconds = std::atof(Env("KORVANE_STEP_SLEEP").c_str()); seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));

    std::string parameterFile = argc > 1 ? argv[1] : "last.xml";
    ParameterFileContents run;
    std::string error;
    if (!ReadParameterFile(parameterFile, run, error)) {
        std::fprintf(stderr, "%s: %s\n", step.c_str(), error.c_str());
        return 2;
    }
    std::error_code ec;
    fs::create_directories(run.outputDir, ec);

    const std::set<std::string> skipped = SkippedNames();
    const bool sideFiles = Env("KORVANE_STEP_SIDEFILES") == "1";
    const double burn = std::atof(Env("KORVANE_STEP_BURN").c_str());
    std::string log;
    int failures = 0;
    for (const ParameterFileEntry& file : run.files) {
        const std::string internal = file.InternalName();
        const std::string resultName = internal + "." + extension;
        const fs::path result = fs::path(run.outputDir) / resultName;
        if (skipped.count(UpperCase(internal))) {
            log += step + " " + internal + " skipped\r\n";
            std::printf("%s %s skipped\n", step.c_str(), internal.c_str());
            continue;
        }
        if (!fs::is_regular_file(file.path)) {
            std::fprintf(stderr, "%s: input %s of %s is missing\n", step.c_str(), file.path.c_str(),
                         internal.c_str());
            log += step + " " + internal + " missing input\r\n";
            ++failures;
            continue;
        }
        if (burn > 0) {
            std::string bytes;
            ReadWholeFile(file.path, bytes);
            Burn(bytes, burn);
        }
        // A step that keeps the extension of its input works in place.
        if (!fs::exists(result) || !fs::equivalent(file.path, result, ec)) {
            fs::copy_file(file.path, result, fs::copy_options::overwrite_existing, ec);
            if (ec) {
                std::fprintf(stderr, "%s: cannot write %s: %s\n", step.c_str(), result.c_str(),
                             ec.message().c_str());
                ++failures;
                continue;
            }
        }
        if (sideFiles) {
            AppendToFile((fs::path(run.outputDir) / (internal + ".LIT")).string(),
                         step + " literals of " + internal + "\r\n");
            AppendToFile((fs::path(run.outputDir) / (internal + ".CON")).string(),
                         step + " constants of " + internal + "\r\n");
        }
        log += step + " " + internal + " -> " + resultName + "\r\n";
        std::printf("%s %s -> %s\n", step.c_str(), internal.c_str(), resultName.c_str());
    }
    if (!run.systemName.empty())
        AppendToFile((fs::path(run.outputDir) / (run.systemName + ".LOG")).string(), log);
    return failures ? 1 : 0;
}

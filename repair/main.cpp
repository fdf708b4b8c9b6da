// brelvin: closes the parentheses missing before the opening brace of Java if
// conditions in every file that the parameter file lists.
//
//   brelvin <parameter file> [ignored...]

#include "repair/repair_run.h"

#include <csignal>
#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string>
#include <vector>

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // no LF -> CR LF translation
#endif
#ifdef SIGXFSZ
    // A write past the file size limit then fails with an error that is
    // reported, instead of ending the program halfway through a file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> args(argv, argv + argc);
    auto print = [](std::string_view line) {
        // Every line ends in CR LF whatever the platform's text convention.
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fwrite("\r\n", 1, 2, stdout);
        // Progress shows while the run goes on: a file's first line goes
        // out with its second, which follows it at once, every other line
        // at once.
        if (!line.starts_with("Processing original file ")) std::fflush(stdout);
    };
    int status = korvane::BrelvinMain(args, print);
    if (std::fflush(stdout) != 0 && status == 0) status = 1;
    return status;
}

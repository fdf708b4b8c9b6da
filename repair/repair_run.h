#pragma once
// One run of brelvin: read the parameter file, repair every file it lists and
// report on the way. Output goes line by line to a sink; the program writes
// each line to standard output followed by CR LF.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

using LineSink = std::function<void(std::string_view line)>;

// Repairs the files listed in the parameter file. Prints the progress lines
// and, once the parameter file has been read, the count line last. Errors
// from reading the parameter file, from navigating it or from repairing a
// file are thrown after the count line has been printed (except for the
// first kind, which leaves no line at all). With more than one thread the
// files are read, repaired and written on that many worker threads and put
// in place in list order: the lines, the files and the error are the same
// as with one.
void RunRepair(const std::string& parameterFile, const LineSink& print, unsigned threads = 1);

// The threads a run uses: one per processor.
unsigned DefaultRepairThreads();

// The whole program: arguments as main() has them (the first one after the
// program name is the parameter file; further ones are ignored). Errors are
// printed as one line "Error: <message>". Returns the exit status: 0, or 1
// when an error ended the run or no parameter file was named.
int BrelvinMain(const std::vector<std::string>& args, const LineSink& print);

}  // namespace korvane

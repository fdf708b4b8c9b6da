#pragma once
// Where a run's results go, checked before the run writes anything: every
// checked source's result must land inside the output directory, and no two
// on the same file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct RunSetup;

// The output directory a run uses: the field's text without a trailing
// separator, "." and "..", a relative text taken from the project directory.
// Empty when there is no text, or it stays relative (no absolute project
// directory): a run never works below the current directory.
std::string RunOutputDirectory(std::string_view fieldText, std::string_view projectDirectory);

// The target of a source's result, as the result collection forms it: the
// output directory, then the source's path after the common root and its
// separator, with the output extension when there is one. A source that
// does not lie below the common root has an empty path there.
std::string ResultTarget(std::string_view outputDir, std::string_view commonRoot, std::string_view sourcePath,
                         std::string_view outputExtension);

// Why a run may not start: the source whose result has no place of its own.
struct TargetRefusal {
    std::string source;
    // The checked source met first whose result goes to the same file;
    // empty when the result would lie outside the output directory.
    std::string other;
    std::string target;
};

// Checks the targets of the checked sources, in list order, compared
// without "." and ".." and as the file system compares names. A target that
// is not a file below the output directory (a path below the common root
// that is empty, or climbs out with "..") refuses the run, and so does the
// second of two sources whose targets coincide. nullopt: the plan is sound.
std::optional<TargetRefusal> CheckTargetPlan(std::string_view outputDir, std::string_view commonRoot,
                                             const std::vector<std::string>& checkedSources,
                                             std::string_view outputExtension);

// "The result of <source> would be written outside the output directory <out>", or
// "The results of <other> and <source> would both be written to <target>".
std::string TargetRefusalMessage(const TargetRefusal& refusal, std::string_view outputDir);

// A checked source and the file its result was delivered to.
struct SourceResultPath {
    std::string source;
    std::string result;
    bool operator==(const SourceResultPath&) const = default;
};

// The checked sources of the project, in list order, each with the file a
// run of this project delivers its result to (ResultTarget): the output
// directory as a run takes it (RunOutputDirectory), the common root computed
// over every entry of the source list, checked or not, and the language's
// output extension. Empty without an output directory. What a run changed
// is the comparison of these pairs.
std::vector<SourceResultPath> CheckedSourceResults(const RunSetup& setup);

}  // namespace korvane

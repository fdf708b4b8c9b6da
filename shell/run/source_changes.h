#pragma once
// What a run changed in one source: the comparison of a source file with its
// result file, the unified diff that turns the one into the other (for the
// patch program), and the bytes that differ inside a pair of changed lines.
// The line and character comparisons are dtl's (Myers' O(NP) algorithm).

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class ChangeState {
    Unchanged,      // byte for byte the same
    Changed,
    LineEndsOnly,   // the same once line ends are ignored (CR LF, LF, none after the last line)
    Binary,         // they differ, and either holds a NUL byte in its first 8 KB
    NoResult,       // the source is there, its result is not
    SourceMissing,  // the source is gone (deleted after the run)
    Unreadable,     // either is there but cannot be read (a folder, an I/O error)
};

// Line-by-line comparison of two texts. A line keeps its end, so "a\r\n",
// "a\n" and a last line "a" all differ. The runs cover both texts in order;
// within a replaced block the Removed run comes before the Added run.
struct LineRun {
    enum Kind { Same, Removed, Added };
    Kind kind;
    std::size_t count;  // lines
};

struct LineDiff {
    std::vector<LineRun> runs;
    std::size_t removed = 0;
    std::size_t added = 0;
    // The lines between the common head and tail were too many to compare
    // (kMaxComparedLines): they are given as removed whole and added whole.
    bool coarse = false;
};

// Lines between the common head and tail of two texts (both sides together)
// above which DiffLines gives up comparing them and reports them replaced.
inline constexpr std::size_t kMaxComparedLines = 200000;

LineDiff DiffLines(std::string_view before, std::string_view after);

struct SourceChange {
    ChangeState state = ChangeState::Unchanged;
    std::size_t linesAdded = 0;    // "+" lines of the unified diff
    std::size_t linesRemoved = 0;  // "-" lines of the unified diff
    bool coarse = false;           // see LineDiff::coarse
};

// A source and its result, read whole, with their line comparison (empty
// unless the state is Changed or LineEndsOnly); what a side-by-side view needs.
struct SourceComparison {
    SourceChange change;
    std::string source;
    std::string result;
    LineDiff lines;
};

SourceComparison CompareSourceFiles(const std::string& sourcePath, const std::string& resultPath);

inline SourceChange CompareSource(const std::string& sourcePath, const std::string& resultPath) {
    return CompareSourceFiles(sourcePath, resultPath).change;
}

// Writes the unified diff of a source and its result: "--- <sourcePath>",
// "+++ <resultPath>", then hunks with 3 lines of context, so that the patch
// program (-p0, from the folder the paths are relative to) turns the source
// into the result byte for byte (a path holding a blank, a quote, a
// backslash or a control character is quoted C-style, as the patch program
// reads it). A binary pair gives the single line
// "Binary files <sourcePath> and <resultPath> differ"; an unchanged, missing
// or unreadable pair gives nothing. Returns the comparison.
SourceChange WriteSourceDiff(std::ostream& out, const std::string& sourcePath, const std::string& resultPath);

// The hunks alone (no "---"/"+++" lines) of a diff made by DiffLines.
void WriteUnifiedHunks(std::ostream& out, std::string_view before, std::string_view after, const LineDiff& diff);

// The bytes that differ inside a pair of changed lines (each given with its
// line end, if any): half-open byte ranges of each line, in order, never
// splitting a UTF-8 sequence. Lines longer than kMaxComparedLineBytes (after
// their common head and tail) give one range each.
struct ByteRange {
    std::size_t begin;
    std::size_t end;
    bool operator==(const ByteRange&) const = default;
};

struct LineChanges {
    std::vector<ByteRange> before;
    std::vector<ByteRange> after;
};

inline constexpr std::size_t kMaxComparedLineBytes = 4000;

LineChanges DiffWithinLine(std::string_view before, std::string_view after);

}  // namespace korvane

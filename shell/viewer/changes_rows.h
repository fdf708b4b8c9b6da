#pragma once
// What the Changes page shows of one source and its result: the rows of the
// side-by-side view (a line of the source, of the result, or of both), which
// rows are marked changed, where each change begins, and the page's words for
// the state of a source.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "shell/run/source_changes.h"

namespace korvane {

// A row beside the other: the line numbers (from 0) on each side, kNoLine
// where the side has no line (an added or removed line without a partner).
inline constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

struct ChangeRow {
    std::size_t source = kNoLine;
    std::size_t result = kNoLine;
    bool changed = false;
    bool operator==(const ChangeRow&) const = default;
};

struct SideBySide {
    std::vector<ChangeRow> rows;
    // The first row of every run of changed rows, ascending.
    std::vector<std::size_t> changeStarts;
};

// The rows of a line comparison of source and result (DiffLines). Within a
// replaced block the i-th removed line stands beside the i-th added line.
// With hideLineEnds a pair that differs only in its line end (CR LF, LF, or
// none after the last line) is not marked changed.
SideBySide SideBySideRows(const LineDiff& diff, std::string_view source, std::string_view result,
                          bool hideLineEnds);

// The lines marked changed on each side: added (result lines) and removed
// (source lines). With line ends hidden these leave out what only changed
// its end.
struct MarkedLines {
    std::size_t added = 0;
    std::size_t removed = 0;
    bool operator==(const MarkedLines&) const = default;
};
MarkedLines CountMarkedLines(const SideBySide& view);

// The row of the next change after row (forward) or of the last change
// before it; nullopt when there is none in that direction.
std::optional<std::size_t> NextChange(const SideBySide& view, std::size_t row, bool forward);

// The lines of a text, each with its end ("\n" or "\r\n"; the last may have none).
std::vector<std::string_view> TextLines(std::string_view text);

// "changed", "unchanged", "line ends only", "binary", "no result",
// "source missing", "unreadable".
const char* ChangeStateText(ChangeState state);

// Source and result together above this many bytes are not shown side by
// side (the list still gives their state and counts): the text areas are
// filled on the window thread, about 0.6 s for 8 MB of short lines.
inline constexpr std::size_t kChangesShownBytes = 8000000;

}  // namespace korvane

#include "shell/viewer/changes_rows.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvane;

namespace {

// Rows as "source-result", a changed row with "*" before it, a side
// without a line left empty: "0-0 *1- *-1".
std::string RowsText(const SideBySide& v) {
    std::string s;
    for (const ChangeRow& r : v.rows) {
        if (!s.empty()) s += ' ';
        if (r.changed) s += '*';
        if (r.source != kNoLine) s += std::to_string(r.source);
        s += '-';
        if (r.result != kNoLine) s += std::to_string(r.result);
    }
    return s;
}

}  // namespace

// The side-by-side rows of a source and its result, with line ends shown or
// hidden, and where each change begins.
TEST(ChangesRows, RowsMarksAndChangeStarts) {
    struct Case {
        const char* what;
        const char* source;
        const char* result;
        bool hideLineEnds;
        const char* rows;
        std::vector<std::size_t> starts;
    } cases[] = {
        {"same", "a\nb\n", "a\nb\n", false, "0-0 1-1", {}},
        {"one line replaced", "a\nb\nc\n", "a\nB\nc\n", false, "0-0 *1-1 2-2", {1}},
        {"more added than removed", "a\nb\n", "a\nx\ny\n", false, "0-0 *1-1 *-2", {1}},
        {"removed only", "a\nb\nc\n", "a\nc\n", false, "0-0 *1- 2-1", {1}},
        {"added only", "a\nc\n", "a\nb\nc\n", false, "0-0 *-1 1-2", {1}},
        {"two changes", "a\nb\nc\nd\ne\n", "a\nB\nc\nD\ne\n", false, "0-0 *1-1 2-2 *3-3 4-4", {1, 3}},
        {"CR LF to LF shown", "a\r\nb\r\n", "a\nb\n", false, "*0-0 *1-1", {0}},
        {"CR LF to LF hidden", "a\r\nb\r\n", "a\nb\n", true, "0-0 1-1", {}},
        {"line end and text, hidden", "a\r\nb\n", "a\nB\n", true, "0-0 *1-1", {1}},
        {"last line's end hidden", "a\nb", "a\nb\n", true, "0-0 1-1", {}},
        {"last line's end shown", "a\nb", "a\nb\n", false, "0-0 *1-1", {1}},
        {"lone CR is no line end", "a\rb\n", "a\nb\n", true, "*0-0 *-1", {0}},
        {"empty result", "a\nb\n", "", false, "*0- *1-", {0}},
    };
    for (const Case& c : cases) {
        const SideBySide v = SideBySideRows(DiffLines(c.source, c.result), c.source, c.result, c.hideLineEnds);
        EXPECT_EQ(RowsText(v), c.rows) << c.what;
        EXPECT_EQ(v.changeStarts, c.starts) << c.what;
    }
}

// The lines counted for the page's note are the marked ones: with line ends
// hidden, a file whose tools turned every LF into CR LF counts only its real
// changes.
TEST(ChangesRows, MarkedLinesCountWhatIsShown) {
    struct Case {
        const char* what;
        const char* source;
        const char* result;
        bool hideLineEnds;
        MarkedLines counted;
    } cases[] = {
        {"every end changed, one line too, shown", "a\nb\nc\n", "a\r\nB\r\nc\r\n", false, {3, 3}},
        {"every end changed, one line too, hidden", "a\nb\nc\n", "a\r\nB\r\nc\r\n", true, {1, 1}},
        {"more added than removed", "a\nb\n", "a\nx\ny\n", true, {2, 1}},
        {"removed only", "a\nb\nc\n", "a\nc\n", true, {0, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountMarkedLines(SideBySideRows(DiffLines(c.source, c.result), c.source, c.result, c.hideLineEnds)),
                  c.counted)
            << c.what;
}

// Next and previous change from a row: from inside a change, past the last,
// before the first.
TEST(ChangesRows, NextAndPreviousChange) {
    SideBySide v;
    v.changeStarts = {2, 5, 9};
    struct Case {
        std::size_t row;
        bool forward;
        std::optional<std::size_t> to;
    } cases[] = {
        {0, true, 2}, {2, true, 5}, {6, true, 9}, {9, true, std::nullopt},
        {0, false, std::nullopt}, {2, false, std::nullopt}, {3, false, 2}, {12, false, 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextChange(v, c.row, c.forward), c.to) << c.row << (c.forward ? " forward" : " back");
}

#include "shell/viewer/changes_rows.h"

#include <algorithm>

namespace korvane {

namespace {

std::string_view WithoutEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

SideBySide SideBySideRows(const LineDiff& diff, std::string_view source, std::string_view result,
                          bool hideLineEnds) {
    const std::vector<std::string_view> a = TextLines(source), b = TextLines(result);
    SideBySide view;
    std::size_t la = 0, lb = 0;
    auto line = [](const std::vector<std::string_view>& lines, std::size_t i) {
        return i < lines.size() ? lines[i] : std::string_view();
    };
    for (std::size_t r = 0; r < diff.runs.size(); ++r) {
        const LineRun& run = diff.runs[r];
        if (run.kind == LineRun::Same) {
            for (std::size_t i = 0; i < run.count; ++i) view.rows.push_back({la++, lb++, false});
            continue;
        }
        // A removed run and the added run right after it form one block.
        std::size_t removed = 0, added = 0;
        if (run.kind == LineRun::Removed) {
            removed = run.count;
            if (r + 1 < diff.runs.size() && diff.runs[r + 1].kind == LineRun::Added) added = diff.runs[++r].count;
        } else {
            added = run.count;
        }
        for (std::size_t i = 0; i < std::max(removed, added); ++i) {
            ChangeRow row;
            if (i < removed) row.source = la + i;
            if (i < added) row.result = lb + i;
            row.changed = !(hideLineEnds && i < removed && i < added &&
                            WithoutEnd(line(a, la + i)) == WithoutEnd(line(b, lb + i)));
            view.rows.push_back(row);
        }
        la += removed;
        lb += added;
    }
    for (std::size_t i = 0; i < view.rows.size(); ++i)
        if (view.rows[i].changed && (i == 0 || !view.rows[i - 1].changed)) view.changeStarts.push_back(i);
    return view;
}

MarkedLines CountMarkedLines(const SideBySide& view) {
    MarkedLines n;
    for (const ChangeRow& row : view.rows) {
        if (!row.changed) continue;
        if (row.result != kNoLine) ++n.added;
        if (row.source != kNoLine) ++n.removed;
    }
    return n;
}

std::optional<std::size_t> NextChange(const SideBySide& view, std::size_t row, bool forward) {
    const auto& s = view.changeStarts;
    if (forward) {
        auto it = std::upper_bound(s.begin(), s.end(), row);
        if (it != s.end()) return *it;
    } else {
        auto it = std::lower_bound(s.begin(), s.end(), row);
        if (it != s.begin()) return *std::prev(it);
    }
    return std::nullopt;
}

const char* ChangeStateText(ChangeState state) {
    switch (state) {
    case ChangeState::Unchanged: return "unchanged";
    case ChangeState::Changed: return "changed";
    case ChangeState::LineEndsOnly: return "line ends only";
    case ChangeState::Binary: return "binary";
    case ChangeState::NoResult: return "no result";
    case ChangeState::SourceMissing: return "source missing";
    case ChangeState::Unreadable: return "unreadable";
    }
    return "";
}

}  // namespace korvane

#include "shell/run/source_changes.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace korvane {
namespace {

constexpr std::size_t kBinaryProbeBytes = 8192;
constexpr std::size_t kContextLines = 3;

// The end of the line that starts at pos (after its '\n', if any).
std::size_t LineEnd(std::string_view text, std::size_t pos) {
    std::size_t nl = text.find('\n', pos);
    return nl == std::string_view::npos ? text.size() : nl + 1;
}

// The start of the last line of text[lo, hi), hi > lo.
std::size_t LastLineStart(std::string_view text, std::size_t lo, std::size_t hi) {
    std::size_t pos = hi - 1;  // the last byte may be the line's own '\n'
    while (pos > lo && text[pos - 1] != '\n') --pos;
    return pos;
}

std::size_t CountLines(std::string_view text) {
    std::size_t n = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return (!text.empty() && text.back() != '\n') ? n + 1 : n;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = LineEnd(text, pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool SameIgnoringLineEnds(std::string_view a, std::string_view b) {
    std::size_t pa = 0, pb = 0;
    while (pa < a.size() && pb < b.size()) {
        std::size_t ea = LineEnd(a, pa), eb = LineEnd(b, pb);
        if (WithoutLineEnd(a.substr(pa, ea - pa)) != WithoutLineEnd(b.substr(pb, eb - pb))) return false;
        pa = ea;
        pb = eb;
    }
    return pa == a.size() && pb == b.size();
}

bool HasNulNearStart(std::string_view text) {
    return text.substr(0, kBinaryProbeBytes).find('\0') != std::string_view::npos;
}

void AddRun(std::vector<LineRun>& runs, LineRun::Kind kind, std::size_t count) {
    if (count == 0) return;
    if (!runs.empty() && runs.back().kind == kind) {
        runs.back().count += count;
        return;
    }
    runs.push_back({kind, count});
}

// dtl's shortest edit script of the lines of a and b, as runs; the lines are
// numbered by their text first so that dtl compares integers.
void DiffMiddle(std::string_view a, std::string_view b, std::vector<LineRun>& runs) {
    std::vector<std::string_view> linesA = SplitLines(a), linesB = SplitLines(b);
    std::unordered_map<std::string_view, std::uint32_t> ids;
    auto number = [&ids](const std::vector<std::string_view>& lines) {
        std::vector<std::uint32_t> seq;
        seq.reserve(lines.size());
        for (std::string_view line : lines)
            seq.push_back(ids.emplace(line, static_cast<std::uint32_t>(ids.size())).first->second);
        return seq;
    };
    std::vector<std::uint32_t> seqA = number(linesA), seqB = number(linesB);
    linesA = {};
    linesB = {};
    dtl::Diff<std::uint32_t> diff(seqA, seqB);
    diff.compose();
    std::size_t removed = 0, added = 0;
    for (const auto& step : diff.getSes().getSequence()) {
        if (step.second.type == dtl::SES_DELETE) {
            ++removed;
        } else if (step.second.type == dtl::SES_ADD) {
            ++added;
        } else {
            AddRun(runs, LineRun::Removed, removed);
            AddRun(runs, LineRun::Added, added);
            removed = added = 0;
            AddRun(runs, LineRun::Same, 1);
        }
    }
    AddRun(runs, LineRun::Removed, removed);
    AddRun(runs, LineRun::Added, added);
}

enum class FileRead { Ok, Missing, Unreadable };

FileRead ReadWhole(const std::string& path, std::string& text) {
    std::error_code ec;
    std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (st.type() == std::filesystem::file_type::not_found) return FileRead::Missing;
    if (ec || st.type() != std::filesystem::file_type::regular) return FileRead::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return FileRead::Unreadable;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec) text.reserve(static_cast<std::size_t>(size));
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, static_cast<std::size_t>(in.gcount()));
    return in.bad() ? FileRead::Unreadable : FileRead::Ok;
}

// Reads lines of a text one after another, for the hunks in order.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    std::size_t line() const { return line_; }
    std::string_view Next() {
        std::size_t end = LineEnd(text_, pos_);
        std::string_view l = text_.substr(pos_, end - pos_);
        pos_ = end;
        ++line_;
        return l;
    }
    void SkipTo(std::size_t line) {
        while (line_ < line) Next();
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
};

void WriteLine(std::ostream& out, char mark, std::string_view line) {
    out << mark << line;
    if (line.empty() || line.back() != '\n') out << "\n\\ No newline at end of file\n";
}

void WriteRange(std::ostream& out, std::size_t start, std::size_t count) {
    if (count == 1) {
        out << start + 1;
    } else {
        out << (count == 0 ? start : start + 1) << ',' << count;
    }
}

// A path as the patch program reads it from a "---"/"+++" line: as it is,
// or quoted C-style if it holds a blank, a quote, a backslash or a control
// character (the patch program would end the name there).
std::string PatchName(const std::string& path) {
    auto special = [](unsigned char ch) { return ch <= ' ' || ch == '"' || ch == '\\' || ch == 0x7F; };
    if (std::none_of(path.begin(), path.end(), special)) return path;
    std::string q = "\"";
    for (unsigned char ch : path) {
        if (ch == '"' || ch == '\\') {
            q += '\\';
            q += static_cast<char>(ch);
        } else if (ch == ' ' || !special(ch)) {
            q += static_cast<char>(ch);
        } else {
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\%03o", ch);
            q += esc;
        }
    }
    return q + '"';
}

struct Block {
    std::size_t a, removed, b, added;  // first line of each side, lines of each side
};

}  // namespace

LineDiff DiffLines(std::string_view before, std::string_view after) {
    LineDiff d;
    std::size_t pa = 0, pb = 0, head = 0;
    while (pa < before.size() && pb < after.size()) {
        std::size_t ea = LineEnd(before, pa), eb = LineEnd(after, pb);
        if (before.substr(pa, ea - pa) != after.substr(pb, eb - pb)) break;
        pa = ea;
        pb = eb;
        ++head;
    }
    std::size_t ea = before.size(), eb = after.size(), tail = 0;
    while (ea > pa && eb > pb) {
        std::size_t la = LastLineStart(before, pa, ea), lb = LastLineStart(after, pb, eb);
        if (before.substr(la, ea - la) != after.substr(lb, eb - lb)) break;
        ea = la;
        eb = lb;
        ++tail;
    }
    std::string_view a = before.substr(pa, ea - pa), b = after.substr(pb, eb - pb);
    d.removed = CountLines(a);
    d.added = CountLines(b);
    AddRun(d.runs, LineRun::Same, head);
    if (d.removed == 0 || d.added == 0 || d.removed + d.added > kMaxComparedLines) {
        d.coarse = d.removed > 0 && d.added > 0;
        AddRun(d.runs, LineRun::Removed, d.removed);
        AddRun(d.runs, LineRun::Added, d.added);
    } else {
        DiffMiddle(a, b, d.runs);
        d.removed = d.added = 0;
        for (const LineRun& r : d.runs) {
            if (r.kind == LineRun::Removed) d.removed += r.count;
            if (r.kind == LineRun::Added) d.added += r.count;
        }
    }
    AddRun(d.runs, LineRun::Same, tail);
    return d;
}

SourceComparison CompareSourceFiles(const std::string& sourcePath, const std::string& resultPath) {
    SourceComparison c;
    FileRead source = ReadWhole(sourcePath, c.source);
    if (source == FileRead::Missing) {
        c.change.state = ChangeState::SourceMissing;
        return c;
    }
    FileRead result = ReadWhole(resultPath, c.result);
    if (result == FileRead::Missing) {
        c.change.state = ChangeState::NoResult;
    } else if (source != FileRead::Ok || result != FileRead::Ok) {
        c.change.state = ChangeState::Unreadable;
    } else if (c.source == c.result) {
        c.change.state = ChangeState::Unchanged;
    } else if (HasNulNearStart(c.source) || HasNulNearStart(c.result)) {
        c.change.state = ChangeState::Binary;
    } else {
        c.change.state = SameIgnoringLineEnds(c.source, c.result) ? ChangeState::LineEndsOnly : ChangeState::Changed;
        c.lines = DiffLines(c.source, c.result);
        c.change.linesAdded = c.lines.added;
        c.change.linesRemoved = c.lines.removed;
        c.change.coarse = c.lines.coarse;
    }
    return c;
}

void WriteUnifiedHunks(std::ostream& out, std::string_view before, std::string_view after, const LineDiff& diff) {
    std::vector<Block> blocks;
    std::size_t a = 0, b = 0;
    for (const LineRun& r : diff.runs) {
        if (r.kind == LineRun::Same) {
            a += r.count;
            b += r.count;
            continue;
        }
        if (blocks.empty() || blocks.back().a + blocks.back().removed != a ||
            blocks.back().b + blocks.back().added != b)
            blocks.push_back({a, 0, b, 0});
        if (r.kind == LineRun::Removed) {
            blocks.back().removed += r.count;
            a += r.count;
        } else {
            blocks.back().added += r.count;
            b += r.count;
        }
    }
    const std::size_t linesBefore = a;
    LineCursor inBefore(before), inAfter(after);
    for (std::size_t first = 0; first < blocks.size();) {
        std::size_t last = first;
        while (last + 1 < blocks.size() &&
               blocks[last + 1].a - (blocks[last].a + blocks[last].removed) <= 2 * kContextLines)
            ++last;
        const Block& f = blocks[first];
        const Block& l = blocks[last];
        std::size_t lead = std::min(f.a, kContextLines);
        std::size_t trail = std::min(linesBefore - (l.a + l.removed), kContextLines);
        std::size_t aStart = f.a - lead, bStart = f.b - lead;
        std::size_t aCount = l.a + l.removed + trail - aStart, bCount = l.b + l.added + trail - bStart;
        out << "@@ -";
        WriteRange(out, aStart, aCount);
        out << " +";
        WriteRange(out, bStart, bCount);
        out << " @@\n";
        inBefore.SkipTo(aStart);
        inAfter.SkipTo(bStart);
        for (std::size_t i = first; i <= last; ++i) {
            while (inBefore.line() < blocks[i].a) {
                WriteLine(out, ' ', inBefore.Next());
                inAfter.Next();
            }
            for (std::size_t n = 0; n < blocks[i].removed; ++n) WriteLine(out, '-', inBefore.Next());
            for (std::size_t n = 0; n < blocks[i].added; ++n) WriteLine(out, '+', inAfter.Next());
        }
        for (std::size_t n = 0; n < trail; ++n) {
            WriteLine(out, ' ', inBefore.Next());
            inAfter.Next();
        }
        first = last + 1;
    }
}

SourceChange WriteSourceDiff(std::ostream& out, const std::string& sourcePath, const std::string& resultPath) {
    SourceComparison c = CompareSourceFiles(sourcePath, resultPath);
    if (c.change.state == ChangeState::Binary) {
        out << "Binary files " << sourcePath << " and " << resultPath << " differ\n";
    } else if (c.change.state == ChangeState::Changed || c.change.state == ChangeState::LineEndsOnly) {
        out << "--- " << PatchName(sourcePath) << "\n+++ " << PatchName(resultPath) << '\n';
        WriteUnifiedHunks(out, c.source, c.result, c.lines);
    }
    return c.change;
}

LineChanges DiffWithinLine(std::string_view before, std::string_view after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    std::string_view a = before.substr(head, before.size() - head - tail);
    std::string_view b = after.substr(head, after.size() - head - tail);

    // With one side empty or both too long, every byte left differs.
    const bool compare = !a.empty() && !b.empty() && a.size() + b.size() <= kMaxComparedLineBytes;
    std::vector<bool> markA(a.size(), !compare), markB(b.size(), !compare);
    if (compare) {
        dtl::Diff<char, std::string> diff{std::string(a), std::string(b)};
        diff.compose();
        std::size_t ia = 0, ib = 0;
        for (const auto& step : diff.getSes().getSequence()) {
            if (step.second.type == dtl::SES_DELETE) {
                markA[ia++] = true;
            } else if (step.second.type == dtl::SES_ADD) {
                markB[ib++] = true;
            } else {
                ++ia;
                ++ib;
            }
        }
    }
    auto ranges = [head](std::string_view line, const std::vector<bool>& marks) {
        auto continuation = [line](std::size_t i) {
            return i < line.size() && (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80;
        };
        std::vector<ByteRange> out;
        for (std::size_t i = 0; i < marks.size();) {
            if (!marks[i]) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < marks.size() && marks[end]) ++end;
            ByteRange r{head + i, head + end};
            while (r.begin > 0 && continuation(r.begin)) --r.begin;
            while (continuation(r.end)) ++r.end;
            if (!out.empty() && out.back().end >= r.begin) {
                out.back().end = std::max(out.back().end, r.end);
            } else {
                out.push_back(r);
            }
            i = end;
        }
        return out;
    };
    return {ranges(before, markA), ranges(after, markB)};
}

}  // namespace korvane

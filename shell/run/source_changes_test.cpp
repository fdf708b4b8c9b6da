#include "shell/run/source_changes.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <streambuf>

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using namespace std::string_literals;
using testing::PutFile;
using testing::TempDir;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Lines "<prefix><n>\n" for n in [from, to).
std::string Numbered(const char* prefix, int from, int to) {
    std::string s;
    for (int n = from; n < to; ++n) s += prefix + std::to_string(n) + "\n";
    return s;
}

const std::string kFolder = "<a folder>";

TEST(SourceChanges, StatesAndLineEnds) {
    struct Case {
        const char* what;
        std::optional<std::string> source, result;  // nullopt: no such file
        ChangeState state;
        std::size_t added, removed;
    } cases[] = {
        {"same", "a\nb\n", "a\nb\n", ChangeState::Unchanged, 0, 0},
        {"one line changed", "a\nb\nc\n", "a\nB\nc\n", ChangeState::Changed, 1, 1},
        {"CR LF to LF", "a\r\nb\r\n", "a\nb\n", ChangeState::LineEndsOnly, 2, 2},
        {"mixed ends made LF", "a\r\nb\nc\r\n", "a\nb\nc\n", ChangeState::LineEndsOnly, 2, 2},
        {"mixed ends and a change", "a\r\nb\n", "a\nX\n", ChangeState::Changed, 2, 2},
        {"final newline added", "a\nb", "a\nb\n", ChangeState::LineEndsOnly, 1, 1},
        {"final newline dropped", "a\r\nb\r\n", "a\r\nb", ChangeState::LineEndsOnly, 1, 1},
        {"an empty line added", "a\n", "a\n\n", ChangeState::Changed, 1, 0},
        {"a lone CR ends no line", "a\rb\r", "a\nb\n", ChangeState::Changed, 2, 1},
        {"empty to text", "", "a\nb", ChangeState::Changed, 2, 0},
        {"text to empty", "a\nb", "", ChangeState::Changed, 0, 2},
        {"both empty", "", "", ChangeState::Unchanged, 0, 0},
        {"NUL in the result", "a\nb\n", "a\n\0b\n"s, ChangeState::Binary, 0, 0},
        {"NUL in the source", "a\0\n"s, "a\n", ChangeState::Binary, 0, 0},
        {"same NUL bytes", "\0\1\n"s, "\0\1\n"s, ChangeState::Unchanged, 0, 0},
        {"NUL past 8 KB is text", std::string(8192, 'x') + "\n\0\n"s, std::string(8192, 'x') + "\n",
         ChangeState::Changed, 0, 1},
        {"no result", "a\n", std::nullopt, ChangeState::NoResult, 0, 0},
        {"source deleted", std::nullopt, "a\n", ChangeState::SourceMissing, 0, 0},
        {"both gone", std::nullopt, std::nullopt, ChangeState::SourceMissing, 0, 0},
        {"result is a folder", "a\n", kFolder, ChangeState::Unreadable, 0, 0},
        {"source is a folder", kFolder, "a\n", ChangeState::Unreadable, 0, 0},
    };
    TempDir tmp;
    int n = 0;
    for (const Case& k : cases) {
        std::string source = tmp / ("s" + std::to_string(n)), result = tmp / ("r" + std::to_string(n));
        ++n;
        for (const auto& [path, text] : {std::pair{source, k.source}, std::pair{result, k.result}}) {
            if (text == kFolder) {
                std::filesystem::create_directories(path);
            } else if (text) {
                PutFile(path, *text);
            }
        }
        SourceChange c = CompareSource(source, result);
        EXPECT_EQ(c.state, k.state) << k.what;
        EXPECT_EQ(c.linesAdded, k.added) << k.what;
        EXPECT_EQ(c.linesRemoved, k.removed) << k.what;
        EXPECT_FALSE(c.coarse) << k.what;
    }
}

// The diff of many pairs, applied by the patch program to the sources,
// gives the results byte for byte; the binary pair is named and left alone.
TEST(SourceChanges, PatchTurnsSourcesIntoResults) {
    if (std::system("patch --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no patch program";
    const std::string ten = Numbered("line ", 0, 10), many = Numbered("row ", 0, 40);
    std::string scattered = many, twoNear = many, twoApart = many, repeated;
    scattered.replace(scattered.find("row 5\n"), 6, "ROW 5\n");
    scattered.replace(scattered.find("row 30\n"), 7, "");
    scattered += "tail\n";
    twoNear.replace(twoNear.find("row 10\n"), 7, "X\n");
    twoNear.replace(twoNear.find("row 17\n"), 7, "Y\n");  // six lines apart: one hunk
    twoApart.replace(twoApart.find("row 10\n"), 7, "X\n");
    twoApart.replace(twoApart.find("row 18\n"), 7, "Y\n");  // seven apart: two hunks
    for (int i = 0; i < 12; ++i) repeated += "}\n";
    const std::string crlfTen = "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n";
    struct Pair {
        std::string name, source, result;
    } pairs[] = {
        {"changed.cbl", ten, "line 0\nline one\n" + ten.substr(14)},
        {"first.cbl", ten, "LINE 0\n" + ten.substr(7)},
        {"last.cbl", ten, ten.substr(0, ten.size() - 7) + "LINE 9\n"},
        {"insert at start.cbl", ten, "new\n" + ten},
        {"delete at end.cbl", ten, ten.substr(0, ten.size() - 14)},
        {"scattered.cbl", many, scattered},
        {"two near.cbl", many, twoNear},
        {"two apart.cbl", many, twoApart},
        {"from empty.cbl", "", "a\nb\n"},
        {"to empty.cbl", "a\nb\n", ""},
        {"no final newline.cbl", "a\nb\nc", "a\nB\nc"},
        {"newline added.cbl", "a\nb", "a\nb\n"},
        {"newline dropped.cbl", "a\nb\n", "a\nb"},
        {"crlf changed.cbl", crlfTen, "a\r\nb\r\nC\r\nd\r\ne\r\nf\r\ng\r\nh"},
        {"crlf to lf.cbl", crlfTen, "a\nb\nc\nd\r\ne\nf\ng\nh\n"},
        {"lf to crlf.cbl", "x\ny\n", "x\r\ny\r\n"},
        {"repeated lines.cbl", repeated, "}\n}\n{\n" + repeated.substr(6) + "}\n"},
        {"all replaced.cbl", ten, Numbered("other ", 0, 7)},
        {"unchanged.cbl", ten, ten},
        {"odd \"name\"\t\\.cbl", "a\n", "b\n"},
        {"too many to compare.cbl", Numbered("s", 0, 110000), Numbered("r", 0, 110000)},
        {"binary.dat", "a\n", "a\0\n"s},
    };
    TempDir tmp;
    std::ostringstream diff;
    for (const Pair& p : pairs) {
        PutFile(tmp / ("src/" + p.name), p.source);
        PutFile(tmp / ("res/" + p.name), p.result);
        SourceChange c = WriteSourceDiff(diff, tmp / ("src/" + p.name), tmp / ("res/" + p.name));
        EXPECT_EQ(c.coarse, p.name == "too many to compare.cbl") << p.name;
    }
    EXPECT_NE(diff.str().find("Binary files " + (tmp / "src/binary.dat") + " and " + (tmp / "res/binary.dat") +
                              " differ\n"),
              std::string::npos);
    EXPECT_EQ(diff.str().find(tmp / "src/unchanged.cbl"), std::string::npos);
    // Empty ranges name the line before them, as other patch readers expect.
    for (const char* hunk : {"\n@@ -0,0 +1,2 @@\n+a\n+b\n", "\n@@ -1,2 +0,0 @@\n-a\n-b\n",
                             "\n@@ -1,2 +1,2 @@\n a\n-b\n+b\n\\ No newline at end of file\n"})
        EXPECT_NE(diff.str().find(hunk), std::string::npos) << hunk;
    // Only the sources where the diff names them: patch then has one file to choose.
    std::filesystem::rename(tmp / "res", tmp / "expected");
    PutFile(tmp / "all.diff", diff.str());
    std::string command = "cd / && patch -p0 -s --no-backup-if-mismatch -i '" + (tmp / "all.diff") + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe)) said += buf;
    EXPECT_EQ(pclose(pipe), 0) << said;
    for (const Pair& p : pairs) {
        std::string expected = p.name == "binary.dat" ? p.source : p.result;
        EXPECT_TRUE(ReadAll(tmp / ("src/" + p.name)) == expected) << p.name;  // no gtest diff of big texts
    }
}

TEST(SourceChanges, BytesThatDifferWithinALine) {
    const std::string longA = "<" + std::string(2500, 'a') + ">", longB = "<" + std::string(2500, 'b') + ">";
    struct Case {
        std::string before, after;
        std::vector<ByteRange> inBefore, inAfter;
    } cases[] = {
        {"MOVE A TO B.\n", "MOVE A TO C.\n", {{10, 11}}, {{10, 11}}},
        {"IF (A > B\n", "IF (A > B)\n", {}, {{9, 10}}},
        {"abc\r\n", "abc\n", {{3, 4}}, {}},
        {"", "xyz", {}, {{0, 3}}},
        {"a1b2c", "a9b8c", {{1, 2}, {3, 4}}, {{1, 2}, {3, 4}}},
        {"caf\xC3\xA9\n", "caf\xC3\xA8\n", {{3, 5}}, {{3, 5}}},  // é / è: whole characters
        {"same\n", "same\n", {}, {}},
        {longA, longB, {{1, 2501}}, {{1, 2501}}},  // too long to compare: one range
    };
    for (const Case& k : cases) {
        LineChanges c = DiffWithinLine(k.before, k.after);
        EXPECT_EQ(c.before, k.inBefore) << k.before << " / " << k.after;
        EXPECT_EQ(c.after, k.inAfter) << k.before << " / " << k.after;
    }
}

// Counts what is written to it and keeps nothing.
class CountingBuffer : public std::streambuf {
public:
    std::size_t count = 0;

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) ++count;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::size_t>(n);
        return n;
    }
};

// 20 MB where every line differs: the middle is not compared line by line,
// it is reported replaced whole; just below the limit dtl compares it all.
TEST(SourceChanges, BigInputsHaveABoundedOutcome) {
    TempDir tmp;
    const int lines = 1000000;  // 20 bytes a line
    std::string source = Numbered("source line ", 1000000, 1000000 + lines);
    PutFile(tmp / "big.src", source);
    PutFile(tmp / "big.res", Numbered("result line ", 1000000, 1000000 + lines));
    CountingBuffer counter;
    std::ostream out(&counter);
    SourceChange c = WriteSourceDiff(out, tmp / "big.src", tmp / "big.res");
    EXPECT_EQ(c.state, ChangeState::Changed);
    EXPECT_TRUE(c.coarse);
    EXPECT_EQ(c.linesRemoved, std::size_t(lines));
    EXPECT_EQ(c.linesAdded, std::size_t(lines));
    std::string head = "--- " + (tmp / "big.src") + "\n+++ " + (tmp / "big.res") + "\n@@ -1,1000000 +1,1000000 @@\n";
    EXPECT_EQ(counter.count, head.size() + 2 * (source.size() + lines));

    const std::size_t half = kMaxComparedLines / 2;
    LineDiff d = DiffLines(Numbered("s", 0, half), Numbered("r", 0, half));
    EXPECT_FALSE(d.coarse);
    EXPECT_EQ(d.removed, half);
    EXPECT_EQ(d.added, half);
}

}  // namespace
}  // namespace korvane

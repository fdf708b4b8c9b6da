#include "shell/run/dosbox_config.h"

#include <gtest/gtest.h>

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using Lines = std::vector<std::string>;

const Lines kAutoexec = {"[autoexec]", "mount c: \"/tools/\"", "mount x: .", "x:", "c:\\X.EXE last.xml", "exit"};

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(DosBoxConfig, AutoexecSectionIsReplaced) {
    struct Case {
        const char* what;
        Lines base;
        Lines expected;
    } cases[] = {
        {"no autoexec, no cycles", {"[cpu]", "core=auto"},
         Join(Join({"[cpu]", "core=auto"}, kAutoexec), {"cycles=max"})},
        {"autoexec after the first line is cut off, cycles in any case",
         {"[cpu]", "CYCLES=auto", "[AutoExec]", "old command"},
         Join({"[cpu]", "cycles=max"}, kAutoexec)},
        {"autoexec on the first line keeps everything",
         {"[autoexec]", "old command", "cycles=fixed 3000"},
         Join({"[autoexec]", "old command", "cycles=max"}, kAutoexec)},
        {"two autoexec lines: cut at the first",
         {"[sdl]", "[autoexec]", "a", "[autoexec]", "b"},
         Join(Join({"[sdl]"}, kAutoexec), {"cycles=max"})},
        {"only the first cycles line changes, a blank before = is another name",
         {"cycles =auto", "cycles=auto", "cycles=3000"},
         Join({"cycles =auto", "cycles=max", "cycles=3000"}, kAutoexec)},
        {"first line [autoexec] and a second one later: all kept", {"[AUTOEXEC]", "a", "[autoexec]", "b"},
         Join(Join({"[AUTOEXEC]", "a", "[autoexec]", "b"}, kAutoexec), {"cycles=max"})},
        {"a cycles line only in the cut-off section is appended", {"[cpu]", "core=auto", "[autoexec]", "cycles=auto"},
         Join(Join({"[cpu]", "core=auto"}, kAutoexec), {"cycles=max"})},
        {"the section line must be exact: a trailing blank is another line", {"[cpu]", "[autoexec] ", "old"},
         Join(Join({"[cpu]", "[autoexec] ", "old"}, kAutoexec), {"cycles=max"})},
        {"a commented cycles line is another name", {"#cycles=auto"}, Join(Join({"#cycles=auto"}, kAutoexec), {"cycles=max"})},
        {"an empty base", {}, Join(kAutoexec, {"cycles=max"})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(BuildDosBoxConfig(k.base, "/tools/X.EXE"), k.expected);
    }
}

TEST(DosBoxConfig, WrittenIntoTheWorkingDirectory) {
    testing::TempDir tmp;
    testing::PutFile(tmp / "base.config", "[cpu]\r\ncycles=auto\r\n[autoexec]\r\n");
    std::string path = WriteDosBoxConfig(tmp.path(), tmp / "base.config", "/opt/my tools/T.EXE");
    EXPECT_EQ(path, tmp / "DOSBox.config");
    EXPECT_EQ(ReadFileBytes(path),
              "[cpu]\r\ncycles=max\r\n[autoexec]\r\nmount c: \"/opt/my tools/\"\r\nmount x: .\r\nx:\r\n"
              "c:\\T.EXE last.xml\r\nexit\r\n");
}

}  // namespace
}  // namespace korvane

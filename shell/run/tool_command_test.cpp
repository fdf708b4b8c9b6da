#include "shell/run/tool_command.h"

#include <gtest/gtest.h>

#include "shared/platform/process.h"

namespace korvane {
namespace {

TEST(ToolCommand, ArgumentsByRunModeAndCapture) {
    EXPECT_EQ(ToolArguments(false, false), "last.xml");
    EXPECT_EQ(ToolArguments(true, false), "last.xml");
    EXPECT_EQ(ToolArguments(false, true), "last.xml >> Console.log");
    EXPECT_EQ(ToolArguments(true, true), "last.xml > Console.log");
}

TEST(ToolCommand, ProgramWithBlankIsQuoted) {
    EXPECT_EQ(ToolCommandLine("/opt/Program Files/T/a.exe", "last.xml"), "\"/opt/Program Files/T/a.exe\" last.xml");
    EXPECT_EQ(ToolCommandLine("/opt/tools/a", "last.xml"), "/opt/tools/a last.xml");
    // Blanks around a path with a blank inside are trimmed before quoting.
    EXPECT_EQ(QuoteProgramPath(" /a b/c "), "\"/a b/c\"");
    // The quoted line splits back into the path and the arguments, the
    // redirection words staying arguments of their own.
    std::vector<std::string> args =
        SplitProgramCommandLine(ToolCommandLine("/opt/Program Files/t", "last.xml >> Console.log"));
    EXPECT_EQ(args, (std::vector<std::string>{"/opt/Program Files/t", "last.xml", ">>", "Console.log"}));
}

TEST(ToolCommand, CaptureFromArguments) {
    using V = std::vector<std::string>;
    struct Case {
        V args;
        bool captured;
        std::string file;
        bool append;
    } cases[] = {
        {{"p", "last.xml"}, false, "", false},
        {{"p", "last.xml", ">>", "Console.log"}, true, "Console.log", true},
        {{"p", "last.xml", ">", "Console.log"}, true, "Console.log", false},
        {{"p", "last.xml", ">>Console.log"}, true, "Console.log", true},
        {{"p", "last.xml", ">out.txt"}, true, "out.txt", false},
        // The last redirection wins; one without a target does nothing.
        {{"p", ">", "a", ">>", "b"}, true, "b", true},
        {{"p", "last.xml", ">>"}, false, "", false},
        // The program itself is never taken for a redirection.
        {{">x", "last.xml"}, false, "", false},
        // DOSBox's arguments ask for nothing.
        {{"dosbox", "-conf", "DOSBox.config", "-noconsole", "-exit"}, false, "", false},
    };
    for (const Case& c : cases) {
        std::optional<CaptureRequest> r = CaptureFromArguments(c.args);
        ASSERT_EQ(r.has_value(), c.captured) << c.args.back();
        if (!r) continue;
        EXPECT_EQ(r->file, c.file);
        EXPECT_EQ(r->append, c.append);
    }
}

TEST(ToolCommand, WhichLanguagesExitStatusesCount) {
    const std::vector<std::string> ignoring = {"COB_COB74", "pli"};
    struct Case {
        const char* key;
        const char* suffix;
        bool counts;
    } cases[] = {{"PLI", "PLI", false}, {"COB", "COB_COB74", false}, {"COB", "COB_COB85", true}, {"JAV", "JAV", true}};
    for (const Case& c : cases) EXPECT_EQ(ExitStatusCounts(ignoring, c.key, c.suffix), c.counts) << c.suffix;
    EXPECT_TRUE(ExitStatusCounts({}, "JAV", "JAV"));
}

}  // namespace
}  // namespace korvane

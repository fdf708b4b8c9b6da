#include "shared/platform/desktop_exec.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

using Args = std::vector<std::string>;

TEST(SplitWindowsCommandLine, Rules) {
    struct Case {
        const char* line;
        Args expected;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"\"C:\\Program Files\\k.exe\" -root \"C:\\T T\" -proj \"%1\"",
         {"C:\\Program Files\\k.exe", "-root", "C:\\T T", "-proj", "%1"}},
        {"\"/opt/my prog/korvane\" -sha -root \"/srv/tool root\" -proj \"%1\"",
         {"/opt/my prog/korvane", "-sha", "-root", "/srv/tool root", "-proj", "%1"}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},          // 3 backslashes + quote: one backslash, literal quote
        {"p \"a\\\\\" b", {"p", "a\\", "b"}},        // 2 backslashes + quote: one backslash, quote closes
        {"p a\\b\\\\c", {"p", "a\\b\\\\c"}},         // backslashes not before a quote are literal
        {"p \"\" x", {"p", "", "x"}},
        {"p \"say \"\"hi\"\"\"", {"p", "say \"hi\""}},
        {"p\ta\t\tb", {"p", "a", "b"}},
        {"p ab\"c d\"e", {"p", "abc de"}},
        {"C:\\dir\\p\"\" x", {"C:\\dir\\p", "x"}},  // the program takes no escapes
    };
    for (const auto& c : cases) EXPECT_EQ(SplitWindowsCommandLine(c.line), c.expected) << c.line;
}

TEST(DesktopExec, ArgumentQuoting) {
    struct Case {
        const char* arg;
        const char* expected;
    } cases[] = {
        {"plain", "plain"},
        {"-root", "-root"},
        {"%1", "%f"},
        {"%L", "%f"},
        {"", "\"\""},
        {"/srv/tool root", "\"/srv/tool root\""},
        {"100%", "100%%"},
        {"50% off", "\"50%% off\""},
        {"a$b", "\"a\\$b\""},
        {"back\\slash", "\"back\\\\slash\""},
        {"q\"uote", "\"q\\\"uote\""},
        {"tick`", "\"tick\\`\""},
        {"it's", "\"it's\""},
        {"~home", "\"~home\""},
        {"a=b,c:d", "a=b,c:d"},
        {"--file=%1", "--file=%f"},
    };
    for (const auto& c : cases) EXPECT_EQ(DesktopExecArg(c.arg), c.expected) << c.arg;
}

TEST(DesktopExec, WholeCommandAndFileEscaping) {
    EXPECT_EQ(DesktopExecFromWindowsCommand("\"/opt/my prog/korvane\" -root \"/srv/t\" -proj \"%1\""),
              "\"/opt/my prog/korvane\" -root /srv/t -proj %f");
    EXPECT_EQ(EscapeDesktopString("\"a\\\\b\" c\nd\te\r"), "\"a\\\\\\\\b\" c\\nd\\te\\r");
    EXPECT_EQ(EscapeDesktopString(" lead"), "\\slead");
}

}  // namespace

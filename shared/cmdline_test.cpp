#include "shared/cmdline.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

using Args = std::vector<std::string>;

class CmdLine : public ::testing::Test {
protected:
    void TearDown() override { SetCommandLineArgs({}); }
};

struct SwitchCase {
    const char* entry;
    Args args;
    bool def;
    bool expected;
};

TEST_F(CmdLine, SwitchCases) {
    const SwitchCase cases[] = {
        {"-ShowAdvanced:-ShA", {"-sha-", "-sha"}, false, false},  // the first deciding argument wins
        {"-ShowAdvanced:-ShA", {"-ShowAdvanced=yes"}, false, true},
        {"-ShowAdvanced:-ShA", {"-ShA"}, false, true},
        {"-ShowAdvanced:-ShA", {"-sha+"}, false, true},
        {"-ShowAdvanced:-ShA", {"-showadvanced=1"}, false, true},
        {"-ShowAdvanced:-ShA", {"-ShA-"}, true, false},
        {"-ShowAdvanced:-ShA", {"-showadvanced-"}, true, false},
        {"-ShowAdvanced:-ShA", {"-sha", "-sha-"}, false, true},
        {"-ShowAdvanced:-ShA", {}, true, true},
        {"-ShowAdvanced:-ShA", {"-show", "-shax", "sha", "x=-sha"}, false, false},
        {"-RegisterShell:-Shell", {"-root", "x", "-SHELL"}, false, true},
        {"RegisterShell:Shell", {"-registershell"}, false, true},  // "-" put in front
        {"-RegisterShell", {"-registershell"}, false, true},       // no abbreviation
        {"-RegisterShell", {"-"}, false, false},                   // ... which never matches
        {"-RegisterShell:", {"--"}, true, true},
        {"-Proj:P", {"-p-"}, true, false},
    };
    for (const SwitchCase& c : cases) {
        SetCommandLineArgs(c.args);
        EXPECT_EQ(CmdLineSwitch(c.entry, c.def), c.expected)
            << c.entry << " with " << ::testing::PrintToString(c.args);
    }
}

struct ValueCase {
    const char* entry;
    Args args;
    bool found;
    const char* value;  // expected value; "<kept>" when it must stay as it was
};

TEST_F(CmdLine, ValueCases) {
    const ValueCase cases[] = {
        {"-Root:-R", {"-root"}, false, "<kept>"},
        {"-Root:-R", {"-r", "D:\\tools"}, true, "D:\\tools"},
        {"-Root:-R", {"-root", "C:\\x"}, true, "C:\\x"},
        {"-Root:-R", {"-root=C:\\x"}, true, "C:\\x"},
        {"-Root:-R", {"-ROOT=Mixed=Case"}, true, "Mixed=Case"},  // text after the first "=", case kept
        {"-Root:-R", {"-root="}, true, ""},
        {"-Root:-R", {"-root", "-proj", "f"}, false, "<kept>"},
        {"-Proj:P", {"-root", "-proj", "f"}, true, "f"},
        {"-Proj:P", {"-P", "My Project.srd"}, true, "My Project.srd"},
        {"-Proj:P", {"-p", "-x", "-p", "second"}, true, "second"},  // the first -p yields nothing
        {"-Proj:P", {"-proj", ""}, true, ""},                       // an empty value is taken
        {"-Proj:P", {"-projx", "a", "-pp=b"}, false, "<kept>"},
        {"-Proj:P", {}, false, "<kept>"},
        {"-Root:-R:ignored", {"-r", "x"}, true, "x"},  // the abbreviation is the second part only
        {"-Root", {"-", "x"}, false, "<kept>"},
    };
    for (const ValueCase& c : cases) {
        SetCommandLineArgs(c.args);
        std::string value = "<kept>";
        EXPECT_EQ(CmdLineValue(c.entry, value), c.found) << c.entry << " with " << ::testing::PrintToString(c.args);
        EXPECT_EQ(value, c.value) << c.entry << " with " << ::testing::PrintToString(c.args);
    }
}

TEST_F(CmdLine, SwitchAbbreviationIsEverythingAfterTheFirstColon) {
    // Unlike the valued form, a switch takes the whole rest as abbreviation.
    SetCommandLineArgs({"-a:b"});
    EXPECT_TRUE(CmdLineSwitch("-Long:-a:b", false));
    std::string value;
    SetCommandLineArgs({"-a:b", "v"});
    EXPECT_FALSE(CmdLineValue("-Long:-a:b", value));
}

}  // namespace

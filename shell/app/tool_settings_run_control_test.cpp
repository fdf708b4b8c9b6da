#include "shell/app/tool_settings_run_control.h"

#include <gtest/gtest.h>

#include <functional>

#include "shared/errors.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::ErrorOf;

TEST(RunControl, FlagsAndDOSBoxOverride) {
    NameValueList text({"Runcontrol.UseDOSBox=N", "Runcontrol.Blindrun=Y", "Runcontrol.CaptureLog=true",
                        "Runcontrol.DeleteAfter=j"});
    EXPECT_FALSE(UseDOSBoxFlag(text));
    RunControlFlags plain = EvaluateRunControlFlags(text, false);
    EXPECT_TRUE(plain.blindRun);
    EXPECT_TRUE(plain.captureLog);
    EXPECT_TRUE(plain.deleteAfter);
    // With DOSBox ready, blind running and console capture are forced off.
    RunControlFlags dosbox = EvaluateRunControlFlags(text, true);
    EXPECT_FALSE(dosbox.blindRun);
    EXPECT_FALSE(dosbox.captureLog);
    EXPECT_TRUE(dosbox.deleteAfter);

    RunControlFlags none = EvaluateRunControlFlags(NameValueList(), false);
    EXPECT_FALSE(none.blindRun || none.captureLog || none.deleteAfter);
    EXPECT_TRUE(none.exitStatusIgnored.empty());
    // The languages whose tools' exit statuses mean nothing, as a comma list.
    NameValueList ignoring({"Runcontrol.IgnoreExitStatus=COB_COB74, pli,,\"CSS\""});
    EXPECT_EQ(EvaluateRunControlFlags(ignoring, false).exitStatusIgnored,
              (std::vector<std::string>{"COB_COB74", "pli", "CSS"}));
}

TEST(RunControl, InvalidFlagStopsTheEvaluation) {
    EXPECT_EQ(ErrorOf([] { UseDOSBoxFlag(NameValueList({"Runcontrol.UseDOSBox=Ja"})); }),
              "Ja is not valid boolean value (Y,J,I,N,True,False)");
    EXPECT_EQ(ErrorOf([] {
                  EvaluateRunControlFlags(NameValueList({"Runcontrol.CaptureLog=2", "Runcontrol.Blindrun=x"}), true);
              }),
              "x is not valid boolean value (Y,J,I,N,True,False)");  // Blindrun is read first
}

TEST(RunControl, BigDirectoryLimit) {
    struct Case {
        const char* value;
        int limit;
    } cases[] = {{nullptr, 50}, {"", 50}, {"0", 50}, {"000", 50}, {"7", 7}, {"120", 120}, {"0051", 51}};
    for (const Case& c : cases) {
        NameValueList text;
        if (c.value) text.add(std::string("Runcontrol.SystemBigDirectoryLimit=") + c.value);
        EXPECT_EQ(BigDirectoryLimit(text), c.limit) << (c.value ? c.value : "(absent)");
    }
    // Beyond the int range: the default, with a warning.
    std::string warning;
    NameValueList huge({"Runcontrol.SystemBigDirectoryLimit=99999999999"});
    EXPECT_EQ(BigDirectoryLimit(huge, &warning), 50);
    EXPECT_EQ(warning, "Runcontrol.SystemBigDirectoryLimit=99999999999 is out of range (0 to 2147483647), 50 is used");
    for (const char* bad : {"abc", "-5", " 12", "12 ", "+3"}) {
        NameValueList text({std::string("Runcontrol.SystemBigDirectoryLimit=") + bad});
        EXPECT_EQ(ErrorOf([&] { BigDirectoryLimit(text); }), std::string("'") + bad + "' is not a valid integer value");
    }
}

TEST(RunControl, DOSBoxConfigurationRun) {
    EXPECT_EQ(DOSBoxConfigRunCommandLine("/usr/bin/dosbox"),
              "/usr/bin/dosbox  -c \" CONFIG -writeconf DOSBox.config\"  -noconsole -c exit ");
    EXPECT_EQ(DOSBoxConfigRunArguments("/usr/bin/dosbox"),
              (std::vector<std::string>{"/usr/bin/dosbox", "-c", " CONFIG -writeconf DOSBox.config", "-noconsole",
                                        "-c", "exit"}));
    EXPECT_EQ(DOSBoxBaseConfigPath("/opt/k/_Korvane.Src/Korvane.INI"), "/opt/k/_Korvane.Src/DOSBox.config");
}

TEST(RunControl, DOSBoxLocationPlacedAfterUseDOSBox) {
    NameValueList text({"[Runcontrol]", "Runcontrol.DOSBoxLocation=", "runcontrol.usedosbox=Y", "Runcontrol.Blindrun=N"});
    PlaceDOSBoxLocation(text, "/opt/dosbox/dosbox");
    EXPECT_EQ(text.lines(), (std::vector<std::string>{"[Runcontrol]", "runcontrol.usedosbox=Y",
                                                      "Runcontrol.DOSBoxLocation=/opt/dosbox/dosbox",
                                                      "Runcontrol.Blindrun=N"}));
    EXPECT_EQ(text.value("Runcontrol.DOSBoxLocation"), "/opt/dosbox/dosbox");

    NameValueList bare({"A=1"});
    PlaceDOSBoxLocation(bare, "/x/dosbox");
    EXPECT_EQ(bare.lines().back(), "Runcontrol.DOSBoxLocation=/x/dosbox");
}

#include "shell/app/tool_settings_run_control.h"

#include <gtest/gtest.h>

#include <functional>

#include "shared/errors.h"
#include "shared/platform/dosbox_places.h"
#include "shared/platform/files.h"
#include "shared/test_support.h"
#include "shell/app/dosbox_setup.h"
#include "shell/ui/scripted_dialogs.h"
#include "shell/ui/status_messages.h"

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

TEST(RunControl, DOSBoxPlacesOnTheSearchPath) {
    struct Case {
        std::string searchPath;
        std::vector<std::string> places;
    } cases[] = {
        {"", {"/usr/bin/dosbox"}},
        {"/opt/a", {"/opt/a/dosbox", "/usr/bin/dosbox"}},
        {"/opt/a::/opt/b/:", {"/opt/a/dosbox", "/opt/b/dosbox", "/usr/bin/dosbox"}},
        {":/usr/bin", {"/usr/bin/dosbox", "/usr/bin/dosbox"}},
    };
    for (const Case& c : cases) EXPECT_EQ(DOSBoxPlacesOnSearchPath(c.searchPath), c.places) << c.searchPath;
}

// DOSBox found in the places searched first, else where the settings name
// it, else asked for (the choice and its saving are the window's test). The
// "DOSBox" programs are scripts that note their call and, as the real one
// asked to, write DOSBox.config into their working directory.
TEST(RunControl, DOSBoxLocated) {
    struct Case {
        const char* what;
        std::vector<std::string> places;
        std::string location;  // Runcontrol.DOSBoxLocation, below the root
        std::string used;      // the DOSBox in use, "" for none
        bool asked;
        std::string reported;
    } cases[] = {
        {"the first program of the places wins; the setting is not looked at",
         {"none/dosbox", "plain/dosbox", "first/dosbox", "second/dosbox"}, "elsewhere/dosbox", "first/dosbox", false, ""},
        {"the setting's program when the places hold none", {"none/dosbox", "plain/dosbox"}, "elsewhere/dosbox",
         "elsewhere/dosbox", false, ""},
        {"a setting naming no file leaves DOSBox unready, silently", {"plain/dosbox"}, "gone/dosbox", "", false, ""},
        {"found nowhere and the user cancels", {"none/dosbox", "plain/dosbox"}, "", "", true,
         "DOSBox-0.74\\DOSBox.exe file search cancelled"},
    };
    for (const Case& c : cases) {
        korvane::testing::TempDir root;
        const std::string log = root / "dosbox.log";
        korvane::testing::PutFile(root / "plain/dosbox", "not a program\n");
        for (const char* program : {"first/dosbox", "second/dosbox", "elsewhere/dosbox"}) {
            korvane::testing::PutFile(root / program, "#!/bin/sh\necho \"$0\" >> '" + log +
                                                          "'\nprintf '[autoexec]\\r\\n' > DOSBox.config\n");
            MakeExecutable(root / program);
        }
        ToolSettingsText settings;
        settings.lines() = {"[Runcontrol]", "Runcontrol.UseDOSBox=Y", "Runcontrol.Blindrun=Y", "Runcontrol.CaptureLog=Y"};
        if (!c.location.empty()) settings.lines().push_back("Runcontrol.DOSBoxLocation=" + (root / c.location));
        const std::vector<std::string> before = settings.lines();
        DOSBoxSearch search;
        for (const std::string& p : c.places) search.places.push_back(root / p);
        search.manualChoice = ManualDOSBoxChoice();
        search.settingsWritePath = root / "settings/Korvane.INI";
        ScriptedDialogs dialogs;
        if (c.asked) dialogs.AnswerCancel();
        StatusMessages status(&dialogs);
        RunControlState run;
        EvaluateRunControl(settings, run, search, dialogs, status);

        const bool ready = !c.used.empty();
        EXPECT_EQ(run.dosboxReady, ready) << c.what;
        EXPECT_EQ(run.dosboxPath, ready ? root / c.used : "") << c.what;
        EXPECT_EQ(FileExists(root / "settings/DOSBox.config"), ready) << c.what;
        EXPECT_EQ(FileExists(log) ? ReadTextLines(log) : std::vector<std::string>{},
                  ready ? std::vector<std::string>{root / c.used} : std::vector<std::string>{})
            << c.what;
        // Ready: the tools run in DOSBox's window, uncaptured.
        EXPECT_EQ(run.blindRun, !ready) << c.what;
        EXPECT_EQ(run.captureLog, !ready) << c.what;
        ASSERT_EQ(dialogs.Calls().size(), c.asked ? 1u : 0u) << c.what;
        if (c.asked) {
            EXPECT_EQ(dialogs.Calls().front().text, "Please locate DOSBox-0.74\\DOSBox.exe manually");
        }
        EXPECT_EQ(settings.lines(), before) << c.what;
        EXPECT_EQ(status.MessageList().empty() ? status.Text() : status.MessageList(), c.reported) << c.what;
    }
}

// The command-line check of korvane: what the window and the batch mode take.

#include <gtest/gtest.h>

#include "shell/app/startup_options.h"

using namespace korvane;

TEST(StartupOptions, CommandLineFault) {
    struct Case {
        std::vector<std::string> args;
        std::string fault;  // empty: taken
    } cases[] = {
        // The window's own lines, as the desktop entries and users give them.
        {{}, ""},
        {{"-root", "/t", "-proj", "/p/Job.srd"}, ""},
        {{"-sha", "-root", "/t", "-proj", "/p/Job.SRD"}, ""},
        {{"-P=/p/Job.srd", "-R=/t", "-ShowAdvanced"}, ""},
        {{"/p/Job.srd"}, ""},
        {{"-registershell"}, ""},
        {{"-platform", "offscreen", "-style", "Fusion", "-reverse"}, ""},
        {{"-proj", ""}, ""},
        // A value may not begin with "-": the window starts without one.
        {{"-root", "-proj", "J.srd"}, ""},
        {{"-proj"}, ""},
        // The batch mode's.
        {{"-proj", "J.srd", "-batch", "run", "-timeout=5", "-takeover", "-out", "o", "-diff", "-report", "r.json",
          "-check", "-quiet"},
         ""},
        {{"-BATCH=scan", "-p", "J.srd", "-Quiet+"}, ""},
        // Faults.
        {{"--dry-run"}, "korvane: unknown option --dry-run"},
        {{"-proj", "J.srd", "-batch", "run", "-frobnicate"}, "korvane: unknown option -frobnicate"},
        {{"-frob=1"}, "korvane: unknown option -frob"},
        {{"-"}, "korvane: unknown option -"},
        {{"-batch", "run", "-root", "-proj", "J.srd"}, "korvane: -root needs a value"},
        {{"-batch", "run", "-proj"}, "korvane: -proj needs a value"},
        {{"-proj", "J.srd", "-batch"}, "korvane: -batch needs a value"},
        {{"-batch", "run", "-out", "-diff"}, "korvane: -out needs a value"},
        {{"-batch", "run", "stray"}, "korvane: unexpected argument stray"},
        {{"-proj", "J.srd", "-check"}, "korvane: -check works with -batch only"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += " " + a;
        EXPECT_EQ(CommandLineFault(c.args), c.fault) << line;
    }
}

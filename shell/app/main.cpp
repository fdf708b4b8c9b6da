// korvane: the shell's program entry.

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shared/cmdline.h"
#include "shared/platform/process.h"
#include "shared/version_info.h"
#include "shell/app/batch_mode.h"
#include "shell/app/main_window.h"
#include "shell/app/startup_options.h"
#include "shell/app/termination.h"
#include "shell/run/run_engine.h"
#include "shell/ui/guard.h"
#include "shell/ui/qt_dialogs.h"
#include "shell/ui/ui_resources.h"

namespace {

const char* kUsage =
    "Usage: korvane [options]\n"
    "\n"
    "Options (case is ignored; a value follows as the next argument or after \"=\"):\n"
    "  -root DIR, -r DIR         tool root directory (default: the program's folder)\n"
    "  -proj FILE, -p FILE       project file (.srd) to open at start\n"
    "  -showadvanced, -sha       offer \"Show all actions\" to hide the technical page\n"
    "  -registershell, -shell    register the project file type for the desktop and end\n"
    "  -batch run, -batch scan   with -proj: perform the project's reengineering run (or\n"
    "                            scan run) without a window, printing the progress and\n"
    "                            every message; questions are answered with the choice\n"
    "                            that changes nothing (No to \"save the changes?\").\n"
    "                            Exit status 0: \"Processing finished\", 1: the run ended\n"
    "                            but something was reported, 2: the run could not start\n"
    "                            or the arguments are wrong (also when another run uses\n"
    "                            the output directory, or when that folder holds files\n"
    "                            but was never used for a run), 3 (with -check only): the\n"
    "                            run finished and its results differ from the sources,\n"
    "                            128+N: ended by signal N. Messages, questions and\n"
    "                            progress go to standard error\n"
    "  -takeover                 with -batch: take an output directory that holds files\n"
    "                            but was never used for a run (no last.xml); every run\n"
    "                            deletes the files there named <Project>_* and the\n"
    "                            folders it leaves empty\n"
    "  -timeout SECONDS          with -batch: a step's program still running after that\n"
    "                            long is killed with what it started, and the run ends\n"
    "                            as cancelled (exit status 1)\n"
    "  -out DIR                  with -batch: the output directory of this run instead\n"
    "                            of the project's (the project file is not changed)\n"
    "  -diff                     with -batch: after the run, a unified diff of every\n"
    "                            changed source against its result on standard output\n"
    "                            (paths below the current folder relative to it, for\n"
    "                            \"patch -p0\")\n"
    "  -report FILE.json         with -batch: write a report of the run (sources and\n"
    "                            their states, steps, exit status, messages) to FILE\n"
    "  -check                    with -batch: exit status 3 when the run finished and\n"
    "                            a result differs from its source\n"
    "  -quiet                    with -batch: no progress captions\n"
    "  -jobs N                   with -batch run: the file-local steps of the chain run\n"
    "                            in N shards side by side (their results come together\n"
    "                            as from one job)\n"
    "  -shard I/N                with -batch run: only shard I of N (0 <= I < N), into\n"
    "                            .korvane-shards/I-of-N in the output directory; run\n"
    "                            \"-batch collect\" once every shard has ended\n"
    "  -batch collect            with -proj: bring the shards together, run the steps\n"
    "                            left as one job and collect the results as one run\n"
    "  --help                    show this text and end\n"
    "  --version                 show the version and end\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h" || a == "-?") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("korvane %s\n", korvane::VersionInfoString("FileVersion").c_str());
            return 0;
        }
    }
    // An option this program does not know, or one without its value: the
    // usage, and nothing done.
    if (const std::string fault = korvane::CommandLineFault(args); !fault.empty()) {
        std::fprintf(stderr, "%s\n\n%s", fault.c_str(), kUsage);
        return korvane::kBatchNotStarted;
    }
    korvane::SetCommandLineArgs(args);
    // DOSBox and other SDL programs started from a shell without a display
    // run without a window.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        korvane::SetEnvVar("SDL_VIDEODRIVER", "dummy", false);
        korvane::SetEnvVar("SDL_AUDIODRIVER", "dummy", false);
    }

    // The batch mode makes no window: the core application needs no display
    // and no graphical platform at all.
    if (korvane::BatchModeRequested(args)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(korvane::kApplicationTitle);
        korvane::StartupInfo batchInfo;
        batchInfo.programPath = korvane::ProgramFilePath();
        return korvane::RunBatchMode(batchInfo);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(korvane::kApplicationTitle);
    QApplication::setApplicationDisplayName("Korvane");

    korvane::InitUiResources();
    QIcon icon;
    icon.addFile(korvane::kAppIcon48Resource);
    icon.addFile(korvane::kAppIcon256Resource);
    QApplication::setWindowIcon(icon);

    korvane::QtDialogs dialogs;
    korvane::SetErrorSink([&dialogs](const std::string& text) {
        dialogs.Message(korvane::MsgKind::Error, text, korvane::kOk);
    });
    korvane::StartupInfo info;
    info.programPath = korvane::ProgramFilePath();
    korvane::TfrmKorvaneMain window(dialogs, info);
    dialogs.SetParentWidget(&window);
    // SIGTERM, SIGINT, SIGHUP: the running step's process group is killed,
    // nothing is saved or asked, and the program ends with 128 + the signal.
    korvane::WatchTerminationRequests(&window, [&window](int sig) {
        if (korvane::RunEngine* run = window.run()) run->TerminateRun();
        QApplication::exit(korvane::kBatchSignalBase + sig);
    });
    window.show();
    return app.exec();
}

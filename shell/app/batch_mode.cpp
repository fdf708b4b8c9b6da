#include "shell/app/batch_mode.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "shared/cmdline.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/platform/process.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/app/startup_options.h"
#include "shell/app/termination.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_controller.h"
#include "shell/ui/action_list.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/viewer/viewer_controller.h"

namespace korvane {

namespace {

std::string OneText(const std::string& text) { return ReplaceAll(text, "\r\n", "\n"); }

const char* ButtonName(unsigned b) {
    switch (b) {
    case kOk: return "OK";
    case kCancel: return "Cancel";
    case kYes: return "Yes";
    case kNo: return "No";
    case kAbort: return "Abort";
    default: return "?";
    }
}

std::string ButtonList(unsigned buttons) {
    std::string list;
    for (unsigned b : {kYes, kNo, kOk, kCancel, kAbort}) {
        if (!(buttons & b)) continue;
        if (!list.empty()) list += "/";
        list += ButtonName(b);
    }
    return list;
}

// The output of one batch run: every line flushed at once, so that a reader
// of a pipe sees the run as it goes.
class BatchOutput {
public:
    explicit BatchOutput(std::FILE* out) : out_(out) {}
    void Line(const std::string& text) {
        std::fputs(OneText(text).c_str(), out_);
        std::fputc('\n', out_);
        std::fflush(out_);
    }

private:
    std::FILE* out_;
};

int Refuse(BatchOutput& out, const std::string& why) {
    out.Line("Batch: " + why);
    return kBatchNotStarted;
}

}  // namespace

// --- answers -----------------------------------------------------------------------

unsigned BatchDialogs::Answer(const std::string& text, unsigned buttons) {
    // Not saving leaves the project file as it is; the batch run never saves.
    if (text == ProjectController::kModifiedQuestion && (buttons & kNo)) return kNo;
    for (unsigned b : {kCancel, kNo, kOk, kYes, kAbort})
        if (buttons & b) return b;
    return kOk;
}

void BatchDialogs::Print(const std::string& line) { BatchOutput(out_).Line(line); }

unsigned BatchDialogs::Message(MsgKind kind, const std::string& text, unsigned buttons) {
    const unsigned answer = Answer(text, buttons);
    if (buttons == kOk || buttons == 0) {
        Print(std::string(kind == MsgKind::Error ? "Message (error): " : "Message: ") + text);
    } else {
        Print("Question: " + text + " [" + ButtonList(buttons) + "] -> " + ButtonName(answer));
    }
    return answer;
}

std::optional<std::vector<std::string>> BatchDialogs::OpenFiles(const FileDialogOptions& opts) {
    Print("Dialog: " + opts.title + " -> Cancel");
    return std::nullopt;
}

std::optional<std::string> BatchDialogs::SaveFile(const FileDialogOptions& opts) {
    Print("Dialog: " + opts.title + " -> Cancel");
    return std::nullopt;
}

std::optional<std::string> BatchDialogs::ChooseFolder(const std::string& caption, const std::string&, bool) {
    Print("Dialog: " + caption + " -> Cancel");
    return std::nullopt;
}

std::optional<FontChoice> BatchDialogs::ChooseFont(const FontChoice&, const std::function<void(const FontChoice&)>&) {
    Print("Dialog: font -> Cancel");
    return std::nullopt;
}

// --- the run -------------------------------------------------------------------------

int TimeLimitSeconds(const std::string& text) {
    if (text.empty() || text.size() > 7) return 0;
    for (char c : text)
        if (c < '0' || c > '9') return 0;
    const int seconds = StrToInt(text);
    return seconds <= kMaxTimeLimit ? seconds : 0;
}

bool BatchModeRequested(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (SameText(TextBeforeFirst(a + "=", "="), "-batch")) return true;
    return false;
}

int RunBatchMode(const StartupInfo& startup) {
    BatchOutput out(stdout);

    std::string kind;
    if (!CmdLineValue(kOptBatch, kind) || !(SameText(kind, "run") || SameText(kind, "scan")))
        return Refuse(out, "-batch takes \"run\" or \"scan\"");
    const bool scan = SameText(kind, "scan");
    std::string project;
    if (!CmdLineValue(kOptProject, project) || project.empty())
        return Refuse(out, "-batch needs a project: -proj FILE.srd");
    if (!SameText(ExtractFileExt(project), ".srd")) return Refuse(out, "not a project file (.srd): " + project);
    if (!FileExists(project)) return Refuse(out, "no project file " + project);
    int timeLimit = 0;
    if (std::string seconds; CmdLineValue(kOptTimeout, seconds) || CmdLineSwitch(kOptTimeout, false)) {
        timeLimit = TimeLimitSeconds(seconds);
        if (timeLimit <= 0) return Refuse(out, Format("-timeout takes a number of seconds from 1 to %d", kMaxTimeLimit));
    }

    // Errors that end an operation are printed like the status bar's reports.
    SetErrorSink([&out](const std::string& text) { out.Line("Error: " + text); });

    BatchDialogs dialogs(stdout);
    TfrmKorvaneMain window(dialogs, startup);
    bool loadFailed = false;
    window.statusBar().OnReport = [&](const char* what, const std::string& text) {
        if (text == ProjectController::kLoadError) loadFailed = true;
        out.Line(std::string(what) + ": " + text);
    };
    RunController* run = window.run();
    run->setForeignOutputDir(CmdLineSwitch(kOptTakeover, false) ? ForeignOutputDir::Take : ForeignOutputDir::Refuse);
    QObject::connect(run, &RunController::progressCaptionChanged, run,
                     [&out](const std::string& caption) { out.Line(caption); });
    run->setStepTimeLimit(timeLimit);
    // No viewer here: a log is never read into a text page (a log of any
    // size is left where it is); only a missing one is reported.
    window.viewer()->setLogsLoaded(false);

    // SIGTERM, SIGINT, SIGHUP: the step's group is killed, nothing more is
    // written, and the program ends with 128 + the signal's number.
    QEventLoop loop;
    int signalled = 0;
    WatchTerminationRequests(&window, [&](int sig) {
        if (signalled) return;
        signalled = sig;
        run->TerminateRun();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    // The scanner and function table pickers start from the language's
    // default programs: their designed text names no program, and nobody
    // could browse for one here.
    window.FrameFindexecScanner->SetFieldText("");
    window.FrameFindexecFunctab->SetFieldText("");
    // The first show loads the project named by -proj (and finishes a run it
    // was saved in); the window itself is never shown.
    window.runFirstShow();
    if (loadFailed) return Refuse(out, "the project could not be loaded");

    const ActionId action = scan ? ActionId::StartScan : ActionId::StartConversion;
    if (!window.actions()[action]->isEnabled() || !window.actions()[action]->isVisible())
        return Refuse(out, std::string(scan ? "the language offers no scan run" : "reengineering is not offered"));

    QObject::connect(run, &RunController::runEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    window.actions().execute(action);
    const bool started = run->BatchRunning();
    if (started && !signalled) loop.exec();

    // The last watcher is still returning from its hand-over: let it end.
    while (run->ToolActive()) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();  // a signal that came meanwhile
    if (signalled) {
        out.Line(Format("Batch: ended by signal %d (%s)", signalled, SignalName(signalled).c_str()));
        return kBatchSignalBase + signalled;
    }
    if (!started) return Refuse(out, "the run could not start");
    if (run->FinishedCleanly()) return kBatchFinished;
    if (run->BatchRunning()) out.Line("Batch: the run stopped before its end");
    return kBatchReported;
}

}  // namespace korvane

#include "shell/app/batch_mode.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <streambuf>

#include "shared/cmdline.h"
#include "shared/flags.h"
#include "shared/name_value_list.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/version_info.h"
#include "shared/platform/dosbox_places.h"
#include "shell/app/dosbox_setup.h"
#include "shell/app/install_places.h"
#include "shell/app/project_run_setup.h"
#include "shell/app/registration.h"
#include "shell/app/startup_options.h"
#include "shell/app/termination.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/run/run_engine.h"
#include "shell/run/source_changes.h"
#include "shell/run/target_plan.h"
#include "shell/run/tool_launcher.h"
#include "shell/run/work_area.h"
#include "shell/ui/guard.h"
#include "shell/ui/status_messages.h"
#include "shell/viewer/viewer_paths.h"
#include "shell/wordlists/word_list_file.h"

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
// of a pipe sees the run as it goes; the messages kept for the report.
class BatchOutput {
public:
    explicit BatchOutput(std::FILE* out) : out_(out) {}
    void Line(const std::string& text) {
        std::fputs(OneText(text).c_str(), out_);
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    // "<kind>: <text>", kept.
    void Message(const std::string& kind, const std::string& text) {
        Line(kind + ": " + text);
        messages.push_back({kind, text});
    }

    std::vector<std::pair<std::string, std::string>> messages;

private:
    std::FILE* out_;
};

int Refuse(BatchOutput& out, const std::string& why) {
    out.Message("Batch", why);
    return kBatchNotStarted;
}

}  // namespace

// --- answers -----------------------------------------------------------------------

unsigned BatchDialogs::Answer(const std::string& text, unsigned buttons) {
    // Not saving leaves the project file as it is; the batch run never saves.
    if (text == kProjectModifiedQuestion && (buttons & kNo)) return kNo;
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

namespace {

// Plain decimal digits making a number from 0 to max; -1 otherwise.
int DecimalUpTo(const std::string& text, int max) {
    if (text.empty() || text.size() > std::to_string(max).size()) return -1;
    for (char c : text)
        if (c < '0' || c > '9') return -1;
    const int value = StrToInt(text);
    return value <= max ? value : -1;
}

}  // namespace

int JobsValue(const std::string& text) { return std::max(DecimalUpTo(text, kMaxJobs), 0); }

int TimeLimitSeconds(const std::string& text) { return std::max(DecimalUpTo(text, kMaxTimeLimit), 0); }

namespace {

// The status bar of the batch mode: every report printed as it comes, then
// kept as the bar keeps it (severity, continuation, the end of an operation).
class PrintingStatus : public StatusMessages {
public:
    PrintingStatus(Dialogs& dialogs, BatchOutput& out) : StatusMessages(&dialogs), out_(out) {}
    void AddInfo(const std::string& t) override { told("Info", t), StatusMessages::AddInfo(t); }
    void AddWarning(const std::string& t) override { told("Warning", t), StatusMessages::AddWarning(t); }
    void AddError(const std::string& t, bool cont) override { told("Error", t), StatusMessages::AddError(t, cont); }
    void ShowError(const std::string& t, bool cont) override { told("Error", t), StatusMessages::ShowError(t, cont); }
    void ShowInfo(const std::string& t) override { told("Info", t), StatusMessages::ShowInfo(t); }
    void ShowFatal(const std::string& t) override { told("Fatal", t), StatusMessages::ShowFatal(t); }
    void ShowWarning(const std::string& t) override { told("Warning", t), StatusMessages::ShowWarning(t); }

private:
    // The run's end says it alone, without the "Warning" the bar shows it with.
    void told(const char* kind, const std::string& text) {
        if (text == "Processing finished") {
            out_.Line(text);
            out_.messages.push_back({"Info", text});
        } else {
            out_.Message(kind, text);
        }
    }
    BatchOutput& out_;
};

// The project of a batch run: as read from its file, then changed as the
// window's fields would be by the run (names taken, the output directory
// resolved); the word lists it hands to its tools.
class BatchProject : public RunSetupSource, public RunObserver {
public:
    BatchProject(ProjectRunSetup project, Reporter& status) : p_(std::move(project)), status_(status) {}

    const ProjectRunSetup& project() const { return p_; }
    RunSetup CurrentSetup() override { return p_.setup; }
    void setOutputDirectory(const std::string& dir) { p_.setup.outputDirectory = dir; }
    void setParallelJobs(int jobs) { p_.setup.parallelJobs = jobs; }

    // The steps' programs, as they started and ended.
    struct Step {
        std::string name;
        std::string program;
        ProcessEnd end;
        double seconds = 0;
    };
    const std::vector<Step>& steps() const { return steps_; }
    void StepStarted() { stepStart_ = std::chrono::steady_clock::now(); }
    void StepEnded(const std::string& step, const std::string& program, const ProcessEnd& end) override {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - stepStart_;
        steps_.push_back({step, program, end, took.count()});
    }

    void NameTaken(bool product, const std::string& text) override {
        const std::string name = text == "*" ? std::string() : text;
        (product ? p_.setup.productName : p_.setup.systemName) = name;
        (product ? p_.setup.projectProductName : p_.setup.projectSystemName) = name;
    }
    void OutputDirResolved(const std::string& dir) override { p_.setup.outputDirectory = dir; }
    void CopyLibraryNeeded() override {
        if (!p_.setup.outputDirectory.empty()) ForceDirectories(CopyLibraryPath(p_.setup.outputDirectory));
    }
    void WriteRunWordList(const std::string& outputDir) override {
        if (p_.setup.wordScanShown)
            SaveWordList(JoinPath(outputDir, kRunWordListName), p_.model.objects, p_.model.controlTags,
                         AtLink::Replace);
    }
    void ReloadWordListsAfterScan(const std::string& outputDir) override {
        p_.model.objects.clear();
        p_.model.controlTags.clear();
        LoadWordList(JoinPath(outputDir, kRunWordListName), p_.model.objects, p_.model.controlTags);
    }
    // No viewer here: a log is never read into a text page (a log of any
    // size is left where it is); only a missing one is reported.
    void ShowLogs(bool consoleLog) override {
        showLog(ViewerLog::Product);
        if (consoleLog) showLog(ViewerLog::Console);
    }

private:
    void showLog(ViewerLog log) {
        const std::string path = ViewerLogPath(log, p_.setup.outputDirectory, p_.setup.projectSystemName);
        try {
            if (!FileExists(path)) status_.ShowError("Cannot find log - " + path, false);
        } catch (const SilentAbort&) {
        }
    }

    ProjectRunSetup p_;
    Reporter& status_;
    std::vector<Step> steps_;
    std::chrono::steady_clock::time_point stepStart_ = std::chrono::steady_clock::now();
};

// A checked source of the last prepared run and where its result lands.
struct SourceResult {
    std::string source;
    std::string result;
    SourceChange change;
};

// The sources of the run's name map with their targets, as the collection
// forms them.
std::vector<SourceResult> RunResults(const RunEngine& run, const RunSetup& setup) {
    std::vector<SourceResult> results;
    if (!run.workArea().IsSet()) return results;
    for (const std::string& line : run.nameMap()) {
        if (!StartsWithText("FIL", NameValueList::NameOf(line))) continue;
        const std::string source = NameValueList::ValueOf(line);
        results.push_back({source, ResultTarget(run.workArea().outputDir, run.commonRoot(), source,
                                                setup.language.outputExtension), {}});
    }
    return results;
}

// A path below the current folder relative to it (as "patch -p0" run there
// wants it), any other as it is.
std::string ShownPath(const std::string& path, const std::string& currentDir) {
    const std::string base = IncludeTrailingSep(currentDir);
    return currentDir.size() > 1 && StartsWithStr(base, path) ? path.substr(base.size()) : path;
}

const char* StateName(ChangeState state) {
    switch (state) {
    case ChangeState::Unchanged: return "unchanged";
    case ChangeState::Changed: return "changed";
    case ChangeState::LineEndsOnly: return "line-ends-only";
    case ChangeState::Binary: return "binary";
    case ChangeState::NoResult: return "no-result";
    case ChangeState::SourceMissing: return "source-missing";
    case ChangeState::Unreadable: return "unreadable";
    }
    return "?";
}

// Hands what a stream is given straight to a C stream, so that the diff of a
// large pair is never held whole.
class FileOutBuffer : public std::streambuf {
public:
    explicit FileOutBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        return std::fputc(traits_type::to_char_type(c), file_) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        return std::streamsize(std::fwrite(s, 1, size_t(n), file_));
    }

private:
    std::FILE* file_;
};

bool Differs(ChangeState state) {
    return state == ChangeState::Changed || state == ChangeState::LineEndsOnly || state == ChangeState::Binary;
}

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Everything a report tells of a batch run.
struct BatchRecord {
    std::string projectFile;
    std::string kind;
    std::string outputDir;
    std::vector<SourceResult> sources;
    std::vector<BatchProject::Step> steps;
    std::FILE* diffOut = nullptr;  // the diff's stream; standard output when none
};

bool WriteReport(const std::string& path, const BatchRecord& record, const BatchOutput& out, int status,
                 std::string& why) {
    QJsonArray sources, steps, messages;
    for (const SourceResult& s : record.sources)
        sources.append(QJsonObject{{"source", Q(s.source)},
                                   {"result", Q(s.result)},
                                   {"state", StateName(s.change.state)},
                                   {"linesAdded", qint64(s.change.linesAdded)},
                                   {"linesRemoved", qint64(s.change.linesRemoved)}});
    for (const BatchProject::Step& s : record.steps) {
        const bool exited = s.end.kind == ProcessEnd::Kind::Exited;
        const bool signalled = s.end.kind == ProcessEnd::Kind::Signalled;
        steps.append(QJsonObject{{"name", Q(s.name)},
                                 {"program", Q(s.program)},
                                 {"exitStatus", exited ? QJsonValue(s.end.code) : QJsonValue()},
                                 {"signal", signalled ? QJsonValue(s.end.signal) : QJsonValue()},
                                 {"durationSeconds", s.seconds}});
    }
    for (const auto& [kind, text] : out.messages) messages.append(QJsonObject{{"kind", Q(kind)}, {"text", Q(text)}});
    const QJsonObject report{{"report", "korvane batch run"},
                             {"version", 1},
                             {"project", Q(record.projectFile)},
                             {"run", Q(record.kind)},
                             {"outputDirectory", Q(record.outputDir)},
                             {"exitStatus", status},
                             {"messages", messages},
                             {"steps", steps},
                             {"sources", sources}};
    const QByteArray bytes = QJsonDocument(report).toJson(QJsonDocument::Indented);
    try {
        WriteFileAtomic(path, std::string_view(bytes.constData(), size_t(bytes.size())));
        return true;
    } catch (const std::exception& e) {
        why = e.what();
        return false;
    }
}

// The scanner picker's check as applying the language makes it, with a
// picker that names no program yet; browsing for another is cancelled.
bool BatchScannerReady(const LanguagePlan& plan, Dialogs& dialogs, Reporter& status) {
    std::string field;
    std::vector<std::string> errors;
    const bool ready = ScannerReady(plan, field, [&](std::string& path) {
        FileDialogOptions browse;
        browse.title = Format("Find %s ", kScannerLabel);
        browse.fileName = ExtractFileName(path);
        browse.initialDir = ExtractFileDir(path);
        browse.mustExist = true;
        const std::optional<std::vector<std::string>> chosen = dialogs.OpenFiles(browse);
        if (!chosen || chosen->empty()) return false;
        path = chosen->front();
        return true;
    }, errors);
    for (const std::string& text : errors) status.AddError(text, true);
    return ready;
}

}  // namespace

bool BatchModeRequested(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (SameText(TextBeforeFirst(a + "=", "="), "-batch")) return true;
    return false;
}

namespace {

int RunBatch(const StartupInfo& startup, BatchOutput& out, BatchRecord& record);

}  // namespace

int RunBatchMode(const StartupInfo& startup) {
    BatchOutput out(stderr);
    BatchRecord record;
    // Standard output is the diff's alone: what the steps' programs print
    // goes to standard error with the messages.
    record.diffOut = DivertStandardOutput();
    int status = RunBatch(startup, out, record);
    if (record.diffOut) std::fclose(record.diffOut);
    std::string reportFile;
    if (CmdLineValue(kOptReport, reportFile)) {
        std::string why;
        if (!WriteReport(reportFile, record, out, status, why)) {
            out.Message("Batch", "the report could not be written - " + why);
            if (status == kBatchFinished || status == kBatchResultsDiffer) status = kBatchReported;
        }
    }
    return status;
}

namespace {

int RunBatch(const StartupInfo& startup, BatchOutput& out, BatchRecord& record) {

    std::string kind;
    if (!CmdLineValue(kOptBatch, kind) || !(SameText(kind, "run") || SameText(kind, "scan") || SameText(kind, "collect")))
        return Refuse(out, "-batch takes \"run\", \"scan\" or \"collect\"");
    const bool scan = SameText(kind, "scan");
    const bool collect = SameText(kind, "collect");
    record.kind = scan ? "scan" : collect ? "collect" : "run";
    int jobs = 1;
    if (std::string value; CmdLineValue(kOptJobs, value) || CmdLineSwitch(kOptJobs, false)) {
        jobs = JobsValue(value);
        if (jobs <= 0 || scan || collect)
            return Refuse(out, Format("-jobs takes a number from 1 to %d, with -batch run", kMaxJobs));
    }
    std::optional<ShardId> shard;
    if (std::string value; CmdLineValue(kOptShard, value) || CmdLineSwitch(kOptShard, false)) {
        shard = ParseShardId(value);
        if (!shard || scan || collect || jobs > 1)
            return Refuse(out, "-shard takes I/N (0 <= I < N), with -batch run and without -jobs");
    }
    std::string projectFile;
    if (!CmdLineValue(kOptProject, projectFile) || projectFile.empty())
        return Refuse(out, "-batch needs a project: -proj FILE.srd");
    if (!SameText(ExtractFileExt(projectFile), ".srd"))
        return Refuse(out, "not a project file (.srd): " + projectFile);
    if (!FileExists(projectFile)) return Refuse(out, "no project file " + projectFile);
    record.projectFile = projectFile;
    std::string outputDir;
    if (CmdLineValue(kOptOut, outputDir)) {
        if (outputDir.empty()) return Refuse(out, "-out needs a folder");
        outputDir = ExpandFileName(outputDir);
    }
    int timeLimit = 0;
    if (std::string seconds; CmdLineValue(kOptTimeout, seconds) || CmdLineSwitch(kOptTimeout, false)) {
        timeLimit = TimeLimitSeconds(seconds);
        if (timeLimit <= 0) return Refuse(out, Format("-timeout takes a number of seconds from 1 to %d", kMaxTimeLimit));
    }

    // Errors that end an operation are printed like the status bar's reports.
    SetErrorSink([&out](const std::string& text) { out.Message("Error", text); });
    BatchDialogs dialogs(stderr);
    PrintingStatus status(dialogs, out);

    // The start-up steps a run depends on, in the window's order: the tool
    // settings, the tool root, the registration once per version, the
    // per-user store, the run control.
    ToolSettingsLocator locator;
    const std::string settingsPath = locator.locate(startup.programPath);
    ToolSettingsText settings;
    std::string toolRoot;
    RunControlState runControl;
    bool ready = false;
    RunGuarded([&] {
        if (settingsPath.empty()) status.AddError(kNoIniFileMessage, false);
        settings.read(settingsPath);
        std::string rootValue;
        const bool rootGiven = CmdLineValue(kOptRoot, rootValue);
        toolRoot = ResolveToolRoot(rootGiven, rootValue,
                                   locator.place().installed ? InstalledPlacesOf(startup.programPath).toolDir
                                                             : ExtractFileDir(startup.programPath));
        RegisterAtStart(startup.programPath, toolRoot, CmdLineSwitch(kOptRegisterShell, false),
                        VersionInfoString("FileVersion"));
        SetSettingsApplication(kSettingsApplication);
        SetSettingsSection(kSettingsSection);
        DOSBoxSearch search;
        search.places = StandardDOSBoxPlaces();
        search.manualChoice = ManualDOSBoxChoice();
        search.settingsWritePath = locator.place().writePath().empty() ? settingsPath : locator.place().writePath();
        ReportingErrors(status, [&] { EvaluateRunControl(settings, runControl, search, dialogs, status); });
        std::string warning;
        ReportingErrors(status, [&] { runControl.bigDirectoryLimit = BigDirectoryLimit(settings, &warning); });
        if (!warning.empty()) status.AddWarning(warning);
        ready = true;
    });
    if (!ready) return Refuse(out, "the run could not start");

    // The project, read from its file as the window's load reads it, and
    // reported in the same order: applying its language, a name refused,
    // the notes of the load, the load's failure.
    std::unique_ptr<BatchProject> project;
    bool scanOffered = false;
    RunGuarded([&] {
        ProjectRunInputs in;
        in.projectFile = projectFile;
        in.settings = &settings;
        in.toolRoot = toolRoot;
        in.runControl = runControl;
        in.languageApplied = [&](const LanguagePlan& plan) {
            for (const std::string& text : plan.errors) status.AddError(text, true);
            scanOffered = plan.tools.scan && BatchScannerReady(plan, dialogs, status);
        };
        ProjectRunSetup read;
        bool failed = true;
        try {
            status.ClearMessages();
            ReadProjectRunSetup(in, read);
            failed = false;
        } catch (const NameRefused& e) {
            status.ShowError(e.what(), true);
        } catch (const Error& e) {
            // Only the language's errors are shown; a file that cannot be
            // read or converted gets the load's message alone.
            if (read.fileRead && !read.languageApplied) status.ShowError(e.what(), true);
        } catch (const SilentAbort&) {
        }
        for (const std::string& text : read.model.errors) status.AddError(text, true);
        for (const std::string& text : read.model.warnings) status.AddWarning(text);
        if (failed) status.AddError(kProjectLoadError, false);
        if (!read.setup.sources.empty()) status.ClearMessages();
        project = std::make_unique<BatchProject>(std::move(read), status);
    });
    if (!project) return Refuse(out, "the project could not be loaded");
    if (!outputDir.empty()) project->setOutputDirectory(outputDir);
    project->setParallelJobs(jobs);

    ProcessLauncher launcher;
    RunEngine run(*project, *project, status, dialogs, launcher);
    run.setForeignOutputDir(CmdLineSwitch(kOptTakeover, false) ? ForeignOutputDir::Take : ForeignOutputDir::Refuse);
    run.setStepTimeLimit(timeLimit);
    if (shard) run.setShard(*shard);
    if (!CmdLineSwitch(kOptQuiet, false))
        QObject::connect(&run, &RunEngine::progressCaptionChanged, &run,
                         [&out](const std::string& caption) { out.Line(caption); });
    QObject::connect(&run, &RunEngine::toolStarted, &run, [&project] { project->StepStarted(); });
    // A project saved while its run was going: its results are collected.
    if (project->project().model.properties.batchRunning) RunGuarded([&] { run.Collect(); });

    if (scan && !scanOffered) return Refuse(out, "the language offers no scan run");

    // SIGTERM, SIGINT, SIGHUP: the step's group is killed, nothing more is
    // written, and the program ends with 128 + the signal's number.
    QEventLoop loop;
    int signalled = 0;
    WatchTerminationRequests(&run, [&](int sig) {
        if (signalled) return;
        signalled = sig;
        run.TerminateRun();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QObject::connect(&run, &RunEngine::runEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);

    RunGuarded([&] {
        status.ClearMessages();
        run.setRunMode(scan ? RunEngine::RunMode::Scan : RunEngine::RunMode::Reengineering);
        if (collect)
            run.CollectShards();
        else
            run.StartRun();
    });
    // A collection, and a shard without sources, may be over at once.
    const bool started = run.BatchRunning() || (collect && run.ShardsBroughtTogether()) ||
                         (shard && run.FinishedCleanly());
    if (run.BatchRunning() && !signalled) loop.exec();

    // The hand-over of the last tool may still be to come: let it run.
    while (run.ToolActive()) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();  // a signal that came meanwhile
    record.steps = project->steps();
    record.outputDir = run.workArea().outputDir;
    if (signalled) {
        out.Message("Batch", Format("ended by signal %d (%s)", signalled, SignalName(signalled).c_str()));
        return kBatchSignalBase + signalled;
    }
    if (!started) return Refuse(out, "the run could not start");

    // What the run changed: a scanner writes no results, a shard collects none.
    if (!scan && !shard) record.sources = RunResults(run, project->CurrentSetup());
    const bool diff = CmdLineSwitch(kOptDiff, false);
    const std::string currentDir = GetCurrentDir();
    bool differs = false;
    FileOutBuffer diffBuffer(record.diffOut ? record.diffOut : stdout);
    std::ostream diffStream(&diffBuffer);
    for (SourceResult& s : record.sources) {
        if (diff) {
            s.change = WriteSourceDiff(diffStream, ShownPath(s.source, currentDir), ShownPath(s.result, currentDir));
        } else {
            s.change = CompareSource(s.source, s.result);
        }
        differs = differs || Differs(s.change.state);
    }
    std::fflush(record.diffOut ? record.diffOut : stdout);

    if (run.FinishedCleanly())
        return differs && CmdLineSwitch(kOptCheck, false) ? kBatchResultsDiffer : kBatchFinished;
    if (run.BatchRunning()) out.Message("Batch", "the run stopped before its end");
    return kBatchReported;
}

}  // namespace

}  // namespace korvane

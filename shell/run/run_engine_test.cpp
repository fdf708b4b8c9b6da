// The run engine driven without any window: a setup source, a recording
// reporter, scripted dialogs, a recording observer and a fake launcher whose
// tools end when the test says so (or the real launcher with small scripts).
// The hand-over of a chain with a chained program, the console capture, a
// scan run, a DOS step in DOSBox, failed and killed steps, cancelling,
// stopping, terminating, the time limit, runs refused before they start, a
// parameter file that cannot be written, tools that delete their inputs,
// errors inside a hand-over, and many real runs that leave nothing behind.

#include "shell/run/run_engine.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>

#include "shared/errors.h"
#include "shared/text.h"
#include "shell/run/run_fault_test_support.h"
#include "shell/run/run_test_support.h"
#include "shell/run/tool_command.h"
#include "shell/run/tool_launcher.h"
#include "shell/ui/guard.h"
#include "shell/ui/scripted_dialogs.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

// Tools that end when the test says so.
class FakeLauncher : public ToolLauncher {
public:
    struct Tool {
        std::vector<std::string> args;
        std::string dir;
        ToolStartOptions options;
        std::function<void()> ended;
        bool running = true;
        bool refuseKill = false;
        ProcessEnd end;
        long pid = 0;
    };

    std::unique_ptr<ToolRun> Start(const std::vector<std::string>& args, const std::string& dir,
                                   const ToolStartOptions& options, std::function<void()> ended,
                                   std::string&) override {
        auto tool = std::make_shared<Tool>();
        tool->args = args;
        tool->dir = dir;
        tool->options = options;
        tool->ended = std::move(ended);
        tool->pid = 90000 + long(tools.size());
        tools.push_back(tool);
        return std::make_unique<Run>(tool);
    }

    // The last tool ends as given and is handed over.
    void End(ProcessEnd end = {ProcessEnd::Kind::Exited, 0, 0}) {
        Tool& tool = *tools.back();
        tool.running = false;
        tool.end = end;
        Deliver(tool);
    }
    Tool& last() { return *tools.back(); }

    std::vector<std::shared_ptr<Tool>> tools;

private:
    static void Deliver(Tool& tool) {
        std::function<void()> ended = std::move(tool.ended);
        tool.ended = nullptr;
        if (ended) ended();
    }

    class Run : public ToolRun {
    public:
        explicit Run(std::shared_ptr<Tool> tool) : tool_(std::move(tool)) {}
        long Pid() const override { return tool_->pid; }
        bool Running() override { return tool_->running; }
        bool Watching() const override { return bool(tool_->ended); }
        bool Kill(std::string& errorText) override {
            if (tool_->refuseKill) {
                errorText = "Operation not permitted";
                return false;
            }
            if (tool_->running) tool_->end = {ProcessEnd::Kind::Signalled, 0, SIGKILL};
            tool_->running = false;
            return true;
        }
        ProcessEnd End() const override { return tool_->running ? ProcessEnd{} : tool_->end; }
        void StopWatching(int) override { Deliver(*tool_); }

    private:
        std::shared_ptr<Tool> tool_;
    };
};

class RecordingObserver : public RunObserver {
public:
    void ProgressShown(bool shown) override { progressShown = shown; }
    void ProgressCaption(const std::string& caption) override { captions.push_back(caption); }
    void NameMapShown(const std::vector<std::string>& lines) override { nameMap = lines; }
    void BatchRunningChanged(bool on) override { batchRunning = on; }
    void ProjectModified() override { modified = true; }
    void CancelCommand(bool on) override { cancelOn = on; }
    void LogsAvailable(bool on) override { logsAvailable = on; }
    void ShowLogs(bool console) override {
        ++logViews;
        consoleLog = console;
        if (onShowLogs) onShowLogs();
    }
    void ReloadWordListsAfterScan(const std::string& dir) override { wordListsFrom = dir; }

    bool progressShown = false, batchRunning = false, modified = false, cancelOn = false, logsAvailable = true;
    bool consoleLog = false;
    std::string wordListsFrom;
    int logViews = 0;
    std::vector<std::string> captions, nameMap;
    std::function<void()> onShowLogs;
};

const char* kJava = "class A {\r\n}\r\n";
const ProcessEnd kExit0{ProcessEnd::Kind::Exited, 0, 0};

// A project of two sources below <tmp>/src and three steps, each a script
// in <tmp>/bin; the output directory <tmp>/out.
class Rig : public RunSetupSource {
public:
    explicit Rig(ToolLauncher* launcher = nullptr) {
        one = tmp / "src/a/One.java";
        two = tmp / "src/b/Two.java";
        out = tmp / "out";
        PutFile(one, kJava);
        PutFile(two, kJava);
        ForceDirectories(out);
        setup.productName = setup.projectProductName = "Prod";
        setup.systemName = setup.projectSystemName = "Sys";
        setup.outputDirectory = out;
        setup.languagePrefix = "JAV";
        setup.language.key = setup.language.suffix = "JAV";
        setup.sources = {{one, true}, {two, true}};
        const std::pair<const char*, const char*> steps[] = {{"Realign", "JRA"}, {"Refine", "JRF"}, {"Restructure", "JRS"}};
        for (const auto& [step, ext] : steps) {
            setup.stepRegistry.push_back(std::string(step) + "=*");
            setup.steps.push_back({step, step, true, true, true, program(step, "exit 0"), ext});
        }
        engine = std::make_unique<RunEngine>(*this, observer, reporter, dialogs, launcher ? *launcher : fake);
        QObject::connect(engine.get(), &RunEngine::runEnded, [this] { ++runsEnded; });
    }

    RunSetup CurrentSetup() override { return setup; }

    // An executable script <tmp>/bin/<name>.
    std::string program(const std::string& name, const std::string& body) {
        const std::string path = tmp / ("bin/" + name);
        PutFile(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    // What a step writes: a result of every working copy.
    void results(const std::string& ext) {
        for (const char* n : {"FIL0000", "FIL0001"}) PutFile(out + "/workout/" + n + "." + ext, "result");
    }
    // A command as the window runs it: an error with continuation off ends it.
    void run(const std::function<void()>& op) { RunGuarded(op); }
    void start() { run([this] { engine->StartRun(); }); }

    TempDir tmp;
    std::string one, two, out;
    RunSetup setup;
    RecordingObserver observer;
    RecordingReporter reporter;
    ScriptedDialogs dialogs;
    FakeLauncher fake;
    std::unique_ptr<RunEngine> engine;
    int runsEnded = 0;
};

bool ProcessEventsUntil(const std::function<bool()>& cond, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

bool Has(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

}  // namespace

TEST(RunEngine, ChainHandsOverWithTheRowsOfTheMomentAndCollects) {
    // Realign with a chained repair, the console captured: four tools, each
    // handed a last.xml naming the extension of the results it reads.
    Rig r;
    r.setup.stepRegistry[0] = "Realign=Fixit";
    r.setup.chains = {{"Fixit", r.program("fixit", "exit 0")}};
    r.setup.runControl.captureLog = true;
    r.start();
    ASSERT_TRUE(r.engine->BatchRunning());
    EXPECT_TRUE(r.engine->HoldsOutputDir());
    EXPECT_TRUE(r.observer.cancelOn && r.observer.batchRunning && r.observer.progressShown);
    EXPECT_FALSE(r.observer.logsAvailable);
    EXPECT_EQ(r.observer.nameMap, (std::vector<std::string>{"FIL0000=" + r.one, "Copy0000=" + r.out + "/workinp/FIL0000",
                                                            "FIL0001=" + r.two, "Copy0001=" + r.out + "/workinp/FIL0001"}));
    ASSERT_EQ(r.fake.tools.size(), 1u);
    // The redirection words stay arguments of the tool; the capture is made here.
    EXPECT_EQ(r.fake.last().args,
              (std::vector<std::string>{r.setup.steps[0].programPath, "last.xml", ">>", "Console.log"}));
    EXPECT_EQ(r.fake.last().options.captureFile, "Console.log");
    EXPECT_TRUE(r.fake.last().options.captureAppend);
    EXPECT_EQ(r.fake.last().dir, r.out);
    EXPECT_TRUE(r.fake.last().options.ownGroup);
    EXPECT_EQ(r.engine->currentToolPid(), r.fake.last().pid);

    // The rows are read again at each hand-over: unchecked now, Restructure
    // is written "N" into the next parameter file, but still runs (the queue
    // was built when the run started).
    r.setup.steps[2].checked = false;
    const char* written[] = {"JRA", "", "JRF", "JRS"};  // what each tool leaves
    const char* read[] = {"JRA", "JRA", "JRF"};         // what the next one is handed
    for (size_t i = 0; i < 4; ++i) {
        if (*written[i]) r.results(written[i]);
        r.fake.End();
        if (i == 3) break;
        const std::string handed = ReadFileBytes(r.out + "/last.xml");
        EXPECT_NE(handed.find(std::string("<File_0001>workout/FIL0001.") + read[i] + "</File_0001>"), std::string::npos)
            << i << handed;
        EXPECT_NE(handed.find("Restructure = \"N\""), std::string::npos) << handed;
        EXPECT_EQ(r.runsEnded, 0);
    }

    std::vector<std::string> started;
    for (const auto& tool : r.fake.tools) started.push_back(tool->args[0]);
    EXPECT_EQ(started, (std::vector<std::string>{r.setup.steps[0].programPath, r.setup.chains[0].programPath,
                                                 r.setup.steps[1].programPath, r.setup.steps[2].programPath}));
    EXPECT_EQ(r.reporter.Texts(), std::vector<std::string>{"Processing finished"});
    EXPECT_TRUE(r.engine->FinishedCleanly());
    EXPECT_EQ(ReadFileBytes(r.out + "/a/One.java"), "result");
    EXPECT_EQ(ReadFileBytes(r.out + "/b/Two.java"), "result");
    EXPECT_TRUE(Exists(r.out + "/workinp/FIL0000"));  // no delete-after: the copies stay
    EXPECT_EQ(r.observer.captions,
              (std::vector<std::string>{"Preparing project ProdSys - Step 1 of 2 - Bytes 0 of 0",
                                        "Preparing project ProdSys - Step 2 of 2 - Bytes 0 of 0",
                                        "Processing project ProdSys - Step 1 of 5 - Bytes 0 of 0",
                                        "Processing project ProdSys - Step 2 of 5 - Bytes 0 of 0",
                                        "Processing project ProdSys - Step 3 of 5 - Bytes 0 of 0",
                                        "Processing project ProdSys - Step 4 of 5 - Bytes 0 of 0"}));
    EXPECT_EQ(r.runsEnded, 1);
    EXPECT_FALSE(r.engine->BatchRunning() || r.engine->ToolActive() || r.engine->HoldsOutputDir());
    EXPECT_FALSE(r.observer.cancelOn || r.observer.batchRunning || r.observer.progressShown);
    EXPECT_TRUE(r.observer.logsAvailable);
    EXPECT_EQ(r.observer.logViews, 1);
    EXPECT_TRUE(r.observer.consoleLog);
    EXPECT_TRUE(r.observer.wordListsFrom.empty());  // only a scan run refills the word lists
    EXPECT_EQ(r.engine->currentToolPid(), 0);
}

TEST(RunEngine, ScanRunReplacesTheConsoleLogAndRefillsTheWordLists) {
    // A scanner writes no results: none is missed, and the run ends finished.
    Rig r;
    r.setup.stepRegistry.resize(1);
    r.setup.scannerProgram = r.program("scan", "exit 0");
    r.setup.runControl.captureLog = true;
    r.engine->setRunMode(RunEngine::RunMode::Scan);
    r.start();
    ASSERT_EQ(r.fake.tools.size(), 1u);
    EXPECT_EQ(r.fake.last().args, (std::vector<std::string>{r.setup.scannerProgram, "last.xml", ">", "Console.log"}));
    EXPECT_FALSE(r.fake.last().options.captureAppend);
    r.fake.End();
    EXPECT_EQ(r.reporter.Texts(), std::vector<std::string>{"Processing finished"});
    EXPECT_EQ(r.observer.captions.back(), "Processing project ProdSys - Step 1 of 2 - Bytes 0 of 0");
    EXPECT_EQ(r.observer.wordListsFrom, r.out);
}

TEST(RunEngine, DosStepRunsInsideDosBox) {
    // With DOSBox ready a DOS program is started by DOSBox through the run
    // configuration in the output directory; DOSBox's status is not the
    // program's, so it is not reported.
    Rig r;
    r.setup.stepRegistry.resize(1);
    r.setup.runControl.dosboxReady = true;
    r.setup.runControl.dosboxPath = "/opt/dosbox/dosbox";
    r.setup.runControl.dosboxConfig = r.tmp / "DOSBox.base";
    PutFile(r.setup.runControl.dosboxConfig, "[cpu]\r\ncycles=auto\r\n[autoexec]\r\n");
    r.setup.steps[0].programPath = r.tmp / "dos tools/STEP.COM";
    PutFile(r.setup.steps[0].programPath, "\xEB\xFE");
    r.start();
    ASSERT_EQ(r.fake.tools.size(), 1u);
    EXPECT_EQ(r.fake.last().args,
              (std::vector<std::string>{"/opt/dosbox/dosbox", "-conf", "DOSBox.config", "-noconsole", "-exit"}));
    const std::vector<std::string> config = ReadTextLines(r.out + "/DOSBox.config");
    EXPECT_NE(std::find(config.begin(), config.end(), "mount c: \"" + r.tmp / "dos tools/\""), config.end());
    r.results("JRA");
    r.fake.End({ProcessEnd::Kind::Exited, 1, 0});
    EXPECT_EQ(r.reporter.Texts(), std::vector<std::string>{"Processing finished"});
}

TEST(RunEngine, StepWithoutResultExtensionKeepsEachSourceOnceInTheNameMap) {
    // The next step reads the working copies again: last.xml names them
    // once more, but the name map is filled only by the run's first writing.
    Rig r;
    r.setup.steps[0].resultExtension.clear();
    r.start();
    const std::vector<std::string> map = r.engine->nameMap();
    ASSERT_EQ(map.size(), 4u);
    r.fake.End();
    EXPECT_NE(ReadFileBytes(r.out + "/last.xml").find("<File_0000>workinp/FIL0000</File_0000>"), std::string::npos);
    EXPECT_EQ(r.engine->nameMap(), map);
}

TEST(RunEngine, FailedStepsAreReportedAndTheChainGoesOn) {
    // Step 2 ends badly and writes nothing: reported with its end (unless the
    // language's statuses mean nothing), the chain goes on, its results are
    // missed, and the run does not end as finished.
    struct Case {
        const char* what;
        ProcessEnd end;
        std::vector<std::string> ignoring;
        std::string report;  // "" for none
    } cases[] = {
        {"killed", {ProcessEnd::Kind::Signalled, 0, SIGKILL}, {}, "was ended by signal 9 (SIGKILL)"},
        {"exit 1", {ProcessEnd::Kind::Exited, 1, 0}, {}, "ended with exit status 1"},
        {"exit 1, statuses ignored", {ProcessEnd::Kind::Exited, 1, 0}, {"JAV"}, ""},
        {"exit 0 without results", kExit0, {}, ""},
    };
    for (const Case& c : cases) {
        Rig r;
        r.setup.runControl.exitStatusIgnored = c.ignoring;
        r.start();
        r.results("JRA");
        r.fake.End();
        r.fake.End(c.end);
        r.fake.End();
        std::vector<std::string> expected;
        if (!c.report.empty()) expected.push_back("Step Refine: program " + r.setup.steps[1].programPath + " " + c.report);
        expected.push_back("No result file(FIL0000.JRS) for " + r.out + "/a/One.java");
        expected.push_back("No result file(FIL0001.JRS) for " + r.out + "/b/Two.java");
        EXPECT_EQ(r.reporter.Texts(), expected) << c.what;
        EXPECT_EQ(r.fake.tools.size(), 3u) << c.what;
        EXPECT_FALSE(r.engine->FinishedCleanly()) << c.what;
        EXPECT_FALSE(r.engine->BatchRunning()) << c.what;
        EXPECT_EQ(r.runsEnded, 1) << c.what;
    }
}

TEST(RunEngine, StoppingWhileAStepRuns) {
    // Ways a run is stopped while step 2 runs; each either ends it as
    // cancelled (the three messages, the tool killed, nothing collected) or
    // leaves it to finish. A kill that is refused is told, and the stop
    // still ends.
    struct Case {
        const char* what;
        std::function<void(Rig&)> stop;
        bool stopped;
    } cases[] = {
        {"cancel, Yes",
         [](Rig& r) {
             r.dialogs.AnswerButton(kYes);
             r.run([&] { r.engine->Cancel(); });
         },
         true},
        {"close request", [](Rig& r) { r.run([&] { r.engine->StopRequested(); }); }, true},
        {"cancel, Yes, the kill refused",
         [](Rig& r) {
             r.fake.last().refuseKill = true;
             r.dialogs.AnswerButton(kYes);
             r.run([&] { r.engine->Cancel(); });
         },
         true},
        {"cancel, No",
         [](Rig& r) {
             r.dialogs.AnswerButton(kNo);
             r.run([&] { r.engine->Cancel(); });
         },
         false},
        // The run ends by itself while the question is open: the Yes after
        // it changes nothing.
        {"cancel, Yes after the end",
         [](Rig& r) {
             r.dialogs.AnswerButton(kYes);
             r.dialogs.SetBeforeAnswer([&] {
                 r.results("JRF");
                 r.fake.End();
                 r.results("JRS");
                 r.fake.End();
             });
             r.run([&] { r.engine->Cancel(); });
         },
         false},
    };
    for (const Case& c : cases) {
        Rig r;
        r.start();
        r.results("JRA");
        r.fake.End();
        FakeLauncher::Tool& step2 = r.fake.last();
        c.stop(r);
        if (!c.stopped) {
            while (r.engine->BatchRunning()) {
                r.results(r.fake.tools.size() == 2 ? "JRF" : "JRS");
                r.fake.End();
            }
            EXPECT_EQ(r.reporter.Texts(), std::vector<std::string>{"Processing finished"}) << c.what;
            EXPECT_TRUE(r.engine->FinishedCleanly()) << c.what;
            EXPECT_FALSE(r.observer.modified) << c.what;
            EXPECT_EQ(r.runsEnded, 1) << c.what;
            continue;
        }
        EXPECT_EQ(r.reporter.Texts(),
                  (std::vector<std::string>{"Terminate signalled!", "Batch process cancelled, renameing, etc..  bypassed",
                                            "Background process cancelled!"}))
            << c.what;
        EXPECT_EQ(step2.end.signal, step2.refuseKill ? 0 : SIGKILL) << c.what;
        if (step2.refuseKill) {
            EXPECT_EQ(r.dialogs.Calls().back().text, Format("Error killing process %ld", step2.pid)) << c.what;
        }
        EXPECT_EQ(r.fake.tools.size(), 2u) << c.what;
        EXPECT_TRUE(r.engine->stepQueue().empty()) << c.what;
        EXPECT_TRUE(r.observer.modified) << c.what;
        EXPECT_FALSE(r.engine->BatchRunning() || r.engine->ToolActive() || r.engine->HoldsOutputDir()) << c.what;
        EXPECT_FALSE(r.observer.cancelOn || r.observer.progressShown) << c.what;
        EXPECT_EQ(r.observer.logViews, 1) << c.what;
        EXPECT_FALSE(r.observer.consoleLog) << c.what;
        EXPECT_EQ(r.runsEnded, 1) << c.what;
        // The work area stays as it is.
        EXPECT_TRUE(Exists(r.out + "/workout/FIL0000.JRA")) << c.what;
        EXPECT_FALSE(Exists(r.out + "/a")) << c.what;
    }
}

TEST(RunEngine, TerminateKillsAndNothingFollows) {
    // The program is asked to end: the tool is killed without a question, its
    // hand-over collects nothing and starts nothing, and no run starts again.
    Rig r;
    r.start();
    r.run([&] { r.engine->TerminateRun(); });
    EXPECT_EQ(r.fake.last().end.signal, SIGKILL);
    EXPECT_TRUE(r.dialogs.Calls().empty());
    r.results("JRA");
    r.fake.End();
    EXPECT_EQ(r.reporter.Texts(), (std::vector<std::string>{"Terminate signalled!",
                                                            "Batch process cancelled, renameing, etc..  bypassed"}));
    EXPECT_EQ(r.fake.tools.size(), 1u);
    EXPECT_FALSE(r.engine->ToolActive());
    EXPECT_FALSE(Exists(r.out + "/a"));
    r.start();
    EXPECT_EQ(r.fake.tools.size(), 1u);
}

TEST(RunEngine, StepTimeLimitEndsTheRunAsCancelled) {
    Rig r;
    r.engine->setStepTimeLimit(1);
    r.start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return r.runsEnded == 1; }));
    EXPECT_EQ(r.reporter.Texts(),
              (std::vector<std::string>{StepTimeLimitText("Realign", r.setup.steps[0].programPath, 1),
                                        "Terminate signalled!", "Batch process cancelled, renameing, etc..  bypassed",
                                        "Background process cancelled!"}));
    EXPECT_EQ(r.fake.last().end.signal, SIGKILL);
    EXPECT_FALSE(r.engine->BatchRunning());
}

TEST(RunEngine, RunsRefusedBeforeStarting) {
    struct Case {
        const char* what;
        std::function<void(Rig&)> setUp;
        std::string message;  // %s: the output directory
        bool copied = false;  // the working copies were made before the refusal
    } cases[] = {
        {"empty output directory", [](Rig& r) { r.setup.outputDirectory.clear(); }, kNoOutputDirMessage},
        {"no step checked",
         [](Rig& r) {
             for (RunStep& s : r.setup.steps) s.checked = false;
         },
         "No transformation step is selected"},
        {"no source checked",
         [](Rig& r) {
             for (CheckEntry& e : r.setup.sources) e.checked = false;
         },
         "You haven't selected any files yet"},
        {"system name missing", [](Rig& r) { r.setup.systemName.clear(); }, "System name name missing or incorrect"},
        {"product name with a path", [](Rig& r) { r.setup.productName = "../Prod"; },
         "Product name missing or incorrect"},
        {"step program gone", [](Rig& r) { DeleteFile(r.setup.steps[0].programPath); },
         "Failed to start batch processing task", true},
        {"invalid step", [](Rig& r) { r.setup.steps[0].hasPicker = false; },
         "Trying to execute an invalid step - Realign", true},
        // Neither DOSBox nor its run configuration comes into play.
        {"DOS program gone",
         [](Rig& r) {
             r.setup.runControl.dosboxReady = true;
             r.setup.runControl.dosboxPath = r.program("dosbox", "exit 0");
             r.setup.steps[0].programPath = r.tmp / "STEP.COM";
         },
         "Failed to start batch processing task", true},
        {"a folder of the user's, No",
         [](Rig& r) {
             PutFile(r.out + "/ProdSys_budget.ods", "numbers");
             r.dialogs.AnswerButton(kNo);
         },
         ""},
    };
    for (const Case& c : cases) {
        Rig r;
        c.setUp(r);
        r.start();
        if (!c.message.empty()) {
            EXPECT_TRUE(Has(r.reporter.Texts(), Format(c.message.c_str(), r.out.c_str()))) << c.what;
        }
        EXPECT_TRUE(r.fake.tools.empty()) << c.what;
        EXPECT_FALSE(r.engine->BatchRunning() || r.observer.batchRunning || r.observer.cancelOn) << c.what;
        EXPECT_FALSE(r.engine->HoldsOutputDir()) << c.what;
        EXPECT_EQ(Exists(r.out + "/workinp/FIL0000"), c.copied) << c.what;
        EXPECT_FALSE(Exists(r.out + "/DOSBox.config")) << c.what;
        // Nothing was made below the file-system root.
        EXPECT_FALSE(Exists("/workinp") || Exists("/last.xml")) << c.what;
    }
}

TEST(RunEngine, TwoRunsIntoOneOutputDirectory) {
    // A second engine (another window, a batch run) may not start into the
    // folder while the first runs; the first goes on undisturbed, and once it
    // has ended the second may run.
    Rig r;
    r.start();
    RecordingObserver observer;
    RecordingReporter reporter;
    FakeLauncher fake;
    RunEngine second(r, observer, reporter, r.dialogs, fake);
    RunGuarded([&] { second.StartRun(); });
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{Format(kOutputDirInUse, r.out.c_str())});
    EXPECT_TRUE(fake.tools.empty());
    EXPECT_FALSE(second.BatchRunning() || second.HoldsOutputDir());
    for (const char* ext : {"JRA", "JRF", "JRS"}) {
        r.results(ext);
        r.fake.End();
    }
    EXPECT_TRUE(r.engine->FinishedCleanly());
    RunGuarded([&] { second.StartRun(); });
    EXPECT_TRUE(second.BatchRunning());
}

TEST(RunEngine, ForeignOutputDirectoryAsTheFrontEndDecides) {
    // The window asks (No by default), the batch mode refuses or takes it.
    struct Case {
        ForeignOutputDir policy;
        std::vector<unsigned> answers;
        bool runs;
    } cases[] = {
        {ForeignOutputDir::Ask, {kYes}, true},
        {ForeignOutputDir::Refuse, {}, false},
        {ForeignOutputDir::Take, {}, true},
    };
    for (const Case& c : cases) {
        Rig r;
        PutFile(r.out + "/ProdSys_budget.ods", "numbers");
        r.engine->setForeignOutputDir(c.policy);
        for (unsigned a : c.answers) r.dialogs.AnswerButton(a);
        r.start();
        EXPECT_EQ(r.engine->BatchRunning(), c.runs);
        EXPECT_EQ(r.dialogs.Calls().size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(r.dialogs.Calls()[0].text, Format(kForeignOutputDirQuestion, r.out.c_str()));
            EXPECT_EQ(r.dialogs.Calls()[0].buttons, unsigned(kYes | kNo | kDefaultNo));
        }
        EXPECT_EQ(r.engine->HoldsOutputDir(), c.runs);
    }
}

TEST(RunEngine, HandOverThatCannotWriteTheParameterFile) {
    // The hand-over to step 2 stops at the rewrite of last.xml: no next tool,
    // last.xml as it was, the run left running until it is cancelled, and
    // then no hand-over is left to run. The write fails for a source that
    // vanished, or under a file-size limit.
    for (bool vanish : {true, false}) {
        const char* what = vanish ? "a source vanished" : "the file-size limit";
        Rig r;
        r.start();
        const std::string before = ReadFileBytes(r.out + "/last.xml");
        std::unique_ptr<ScopedFileSizeLimit> limit;
        if (vanish) DeleteFile(r.two);
        else limit = std::make_unique<ScopedFileSizeLimit>(256);
        r.results("JRA");
        r.fake.End();
        limit.reset();
        EXPECT_EQ(r.reporter.Texts(), vanish ? std::vector<std::string>{"File " + r.two + " is not available"}
                                             : std::vector<std::string>{}) << what;
        EXPECT_EQ(ReadFileBytes(r.out + "/last.xml"), before) << what;
        EXPECT_TRUE(LeftoverTempFiles(r.out).empty()) << what;
        EXPECT_EQ(r.fake.tools.size(), 1u) << what;
        EXPECT_TRUE(r.engine->BatchRunning()) << what;
        EXPECT_FALSE(r.engine->ToolActive()) << what;
        EXPECT_EQ(r.runsEnded, 1) << what;

        r.reporter.ClearMessages();
        r.dialogs.AnswerButton(kYes);
        r.run([&] { r.engine->Cancel(); });
        EXPECT_EQ(r.reporter.Texts(), (std::vector<std::string>{"Terminate signalled!", "Background process cancelled!"}))
            << what;
        EXPECT_FALSE(r.engine->BatchRunning()) << what;
        EXPECT_EQ(r.observer.logViews, 0) << what;
    }
}

TEST(RunEngine, ParameterFileThatCannotBeWrittenAtTheStart) {
    // The earlier last.xml stays whole, the failure is told, nothing starts;
    // without the limit the same run goes through.
    std::vector<std::string> shown;
    SetErrorSink([&](const std::string& text) { shown.push_back(text); });
    Rig r;
    const std::string old = "<VORL>an earlier run</VORL>\r\n";
    PutFile(r.out + "/last.xml", old);
    {
        ScopedFileSizeLimit limit(256);
        r.start();
    }
    SetErrorSink(nullptr);
    EXPECT_EQ(shown, std::vector<std::string>{"Cannot create file \"" + r.out + "/last.xml\". " + SystemErrorText(EFBIG)});
    EXPECT_EQ(ReadFileBytes(r.out + "/last.xml"), old);
    EXPECT_TRUE(LeftoverTempFiles(r.out).empty());
    EXPECT_TRUE(r.fake.tools.empty());
    EXPECT_FALSE(r.engine->BatchRunning() || r.engine->HoldsOutputDir());
    r.start();
    EXPECT_EQ(r.fake.tools.size(), 1u);
    EXPECT_NE(ReadFileBytes(r.out + "/last.xml").find(r.two), std::string::npos);
}

TEST(RunEngine, ToolsThatDeleteTheirInputs) {
    // A step deletes what the run gave it before it ends: every later step
    // still gets a whole last.xml, exactly the source whose input went is
    // reported, the sources stay as they are, and the next run finishes.
    struct Case {
        const char* what;
        size_t step;                       // which step deletes
        std::vector<std::string> deleted;  // below the output directory
        std::string lost;                  // the source no step writes a result for from then on
        bool deleteAfter;
    } cases[] = {
        {"step 1 deletes a working copy", 0, {"workinp/FIL0000"}, "FIL0000", false},
        {"step 2 deletes last.xml", 1, {"last.xml"}, "", false},
        {"step 3 deletes workinp and an input", 2, {"workinp", "workout/FIL0001.JRF"}, "FIL0001", true},
    };
    const std::pair<std::string, std::string> sources[] = {{"FIL0000", "/a/One.java"}, {"FIL0001", "/b/Two.java"}};
    const char* exts[] = {"JRA", "JRF", "JRS"};
    for (const Case& c : cases) {
        Rig r;
        r.setup.runControl.deleteAfter = c.deleteAfter;
        r.start();
        for (size_t i = 0; i < 3; ++i) {
            for (const auto& [n, source] : sources)
                if (i < c.step || n != c.lost) PutFile(r.out + "/workout/" + n + "." + exts[i], "result");
            if (i == c.step)
                for (const std::string& d : c.deleted) std::filesystem::remove_all(r.out + "/" + d);
            r.fake.End();
            if (i < 2) {
                const std::string handed = ReadFileBytes(r.out + "/last.xml");
                EXPECT_NE(handed.find(std::string("<File_0001>workout/FIL0001.") + exts[i] + "</File_0001>\r\n </Files>"),
                          std::string::npos) << c.what;
            }
        }
        std::vector<std::string> expected;
        for (const auto& [n, source] : sources) {
            if (n == c.lost) expected.push_back("No result file(" + n + ".JRS) for " + r.out + source);
            EXPECT_EQ(Exists(r.out + source), n != c.lost) << c.what << source;
        }
        if (c.lost.empty()) expected.push_back("Processing finished");
        EXPECT_EQ(r.reporter.Texts(), expected) << c.what;
        EXPECT_EQ(r.fake.tools.size(), 3u) << c.what;
        EXPECT_EQ(r.engine->FinishedCleanly(), c.lost.empty()) << c.what;
        EXPECT_EQ(ReadFileBytes(r.one) + ReadFileBytes(r.two), std::string(kJava) + kJava) << c.what;
        if (c.deleteAfter) {
            EXPECT_FALSE(Exists(r.out + "/workinp")) << c.what;
            EXPECT_TRUE(ListDirectory(r.out + "/workout").empty()) << c.what;
        }

        r.reporter.ClearMessages();
        r.start();
        for (const char* ext : exts) {
            r.results(ext);
            r.fake.End();
        }
        EXPECT_TRUE(r.engine->FinishedCleanly()) << c.what << ": " << JoinLinesCrLf(r.reporter.Texts());
    }
}

TEST(RunEngine, ErrorsInsideAHandOverEndItSilently) {
    std::vector<std::string> shown;
    SetErrorSink([&](const std::string& text) { shown.push_back(text); });
    struct Case {
        const char* name;
        std::function<void()> raise;
    } cases[] = {
        {"error", [] { throw Error("Trying to execute an invalid step - X"); }},
        {"silent abort", [] { throw SilentAbort(); }},
        {"other", [] { throw 42; }},
        // A guarded operation run from inside passes its error up and ends
        // the hand-over there, as an action executed at the end of a run does.
        {"nested guarded", [] { RunGuarded([] { throw Error("Cannot find log - x"); }); }},
    };
    for (const Case& c : cases) {
        Rig r;
        r.setup.stepRegistry.resize(1);
        r.observer.onShowLogs = c.raise;
        int handOvers = 0;
        QObject::connect(r.engine.get(), &RunEngine::stepHandedOver, [&] { ++handOvers; });
        r.start();
        r.results("JRA");
        r.fake.End();
        EXPECT_EQ(handOvers, 1) << c.name;
        EXPECT_EQ(r.runsEnded, 1) << c.name;
        EXPECT_FALSE(r.engine->FinishedCleanly()) << c.name;
        EXPECT_FALSE(r.engine->ToolActive()) << c.name;
    }
    EXPECT_TRUE(shown.empty());
    SetErrorSink(nullptr);
}

TEST(RunEngine, CollectWithoutAPreparedRunTouchesNothing) {
    Rig r;
    for (const char* left : {"/workout/FIL0000.JRA", "/workout/Sys.LOG", "/workinp/FIL0000", "/ProdSys_x"})
        PutFile(r.out + left, "x");
    for (const std::string& field : {r.out, std::string()}) {
        r.setup.outputDirectory = field;
        r.run([&] { r.engine->Collect(); });
        for (const char* kept : {"/workout/FIL0000.JRA", "/workout/Sys.LOG", "/workinp/FIL0000", "/ProdSys_x"})
            EXPECT_TRUE(Exists(r.out + kept)) << kept;
        EXPECT_FALSE(Exists(r.out + "/Sys.log") || Exists(r.out + "/a"));
        EXPECT_TRUE(r.reporter.Texts().empty());
    }
}

TEST(RunEngine, GoingWhileAToolRunsKillsIt) {
    // The window closes (or the program ends) in the middle of a step: the
    // tool goes with the engine, collected, and its end is handed to no one.
    ProcessLauncher launcher;
    Rig r(&launcher);
    r.setup.steps[0].programPath = r.program("hang", "exec sleep 30");
    r.start();
    const long pid = r.engine->currentToolPid();
    ASSERT_NE(pid, 0);
    r.engine.reset();
    EXPECT_NE(kill(pid_t(pid), 0), 0);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child process, not even a zombie";
    QCoreApplication::processEvents();
    EXPECT_EQ(r.runsEnded, 0);
    EXPECT_TRUE(r.reporter.Texts().empty());
}

TEST(RunEngine, ManyRealRunsLeaveNothingBehind) {
    // The real launcher and two steps that copy what they read as their
    // results, each started from the report of the one before: 100 runs,
    // no process, descriptor or thread left.
    ProcessLauncher launcher;
    Rig r(&launcher);
    r.setup.stepRegistry.resize(2);
    r.setup.runControl.deleteAfter = true;
    r.setup.steps[0].programPath =
        r.program("copier", "for f in workinp/FIL*; do cp \"$f\" \"workout/${f#workinp/}.JRA\"; done");
    r.setup.steps[1].programPath =
        r.program("refiner", "for f in workout/FIL*.JRA; do cp \"$f\" \"${f%.JRA}.JRF\"; done");
    auto runOnce = [&] {
        const int ended = r.runsEnded;
        r.reporter.ClearMessages();
        r.start();
        return ProcessEventsUntil([&] { return r.runsEnded > ended && !r.engine->ToolActive(); }) &&
               r.engine->FinishedCleanly();
    };
    ASSERT_TRUE(runOnce()) << JoinLinesCrLf(r.reporter.Texts());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto count = [](const char* folder) {
        return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
    };
    const auto fds = count("/proc/self/fd");
    const auto threads = count("/proc/self/task");
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(runOnce()) << i << ": " << JoinLinesCrLf(r.reporter.Texts());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(count("/proc/self/fd"), fds);
    EXPECT_EQ(count("/proc/self/task"), threads);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child process, not even a zombie";
    EXPECT_EQ(ReadFileBytes(r.out + "/a/One.java"), kJava);
    EXPECT_EQ(ReadFileBytes(r.one), kJava);
    EXPECT_FALSE(Exists(r.out + "/workinp"));  // delete-after
}

// Runs that do not end normally: cancelled while a step runs, a missing
// result, a source that vanished between two steps, a tool killed by a
// signal; runs refused before they start; collecting before any run.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QtTest>

#include <signal.h>

#include <chrono>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/app/action_list.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_controller.h"
#include "shell/run/output_ownership.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/run/work_area.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n}\r\n";

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

// Three plain steps; the environment of each step program as given.
std::vector<StepEntry> ThreeSteps(const std::string& env1, const std::string& env2, const std::string& env3) {
    return {{"Realign", "jvrealign", "JRA", "", env1},
            {"Refine", "jvrefine", "JRF", "", env2},
            {"Restructure", "jvrestruct", "JRS", "", env3}};
}

struct Sources {
    std::string one, two;
    explicit Sources(RunFixture& f) : one(f.addSource("a/One.java", kJava)), two(f.addSource("b/Two.java", kJava)) {}
    std::vector<std::pair<std::string, bool>> list() const { return {{one, true}, {two, true}}; }
};

// Starts the run and waits until the n-th step program has started.
bool StartAndWaitForStep(RunFixture& f, size_t n) {
    f.window().actions().execute("ActStartConversion");
    if (!f.run().BatchRunning()) return false;
    return RunFixture::waitFor([&] { return f.snapshots().size() >= n && f.run().currentToolPid() != 0; });
}

bool ProcessGone(long pid) { return kill(pid_t(pid), 0) != 0; }

}  // namespace

class RunFailureTest : public QObject {
    Q_OBJECT
private slots:
    void cancelWhileStepTwoOfThreeRuns();
    void cancelAnsweredNoLeavesTheRun();
    void missingResultIsReported();
    void sourceVanishedBetweenSteps();
    void toolKilledBySignal();
    void stopAnsweredYesAfterTheRunEnded();
    void runsRefusedBeforeStarting();
    void renameBeforeAnyRunTouchesNothing();
    void outputDirectoryOfTheUserOrOfAnotherRun();
};

void RunFailureTest::cancelWhileStepTwoOfThreeRuns() {
    RunFixture f;
    f.writeRunSettings(ThreeSteps("", "export KORVANE_STEP_SLEEP=30", ""), {"Runcontrol.CaptureLog=Y"});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    const auto started = std::chrono::steady_clock::now();
    QVERIFY(StartAndWaitForStep(f, 2));
    const long pid = f.run().currentToolPid();
    QCOMPARE(f.run().stepQueue().size(), size_t(1));

    f.dialogs.AnswerButton(kYes);
    w.actions().execute("ActCancelRun");

    QCOMPARE(f.dialogs.Calls().back().text, std::string("Do you really want to cancel processing?"));
    QVERIFY(std::chrono::steady_clock::now() - started < std::chrono::seconds(20));
    QVERIFY(ProcessGone(pid));
    QCOMPARE(ChildProcessCount(), 0);
    QVERIFY(f.run().stepQueue().empty());
    // The three messages, in this order, and nothing after them.
    const std::vector<std::string> expected = {"Terminate signalled!",
                                               "Batch process cancelled, renameing, etc..  bypassed",
                                               "Background process cancelled!"};
    QCOMPARE(f.reports, expected);
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(!w.busy());
    QVERIFY(w.project()->modified());
    // Branch A: progress hidden, logs enabled and opened; nothing collected.
    QVERIFY(w.GroupBoxSlider->isHidden());
    QVERIFY(w.actions()["ActViewProductLog"]->isEnabled());
    QCOMPARE(f.productLogViews, 1);
    QCOMPARE(f.consoleLogViews, 1);
    QVERIFY(!w.actions()["ActCancelRun"]->isEnabled());
    QVERIFY(!w.actions()["ActCancelRun"]->isVisible());
    const std::string out = f.outputDir();
    QVERIFY(PathExists(out + "/workout/FIL0000.JRA"));
    QVERIFY(PathExists(out + "/workout/Sys.LOG"));
    QVERIFY(!PathExists(out + "/a"));
    QVERIFY(!PathExists(out + "/Sys.log"));
    QCOMPARE(f.runsEnded, 1);
    QVERIFY(!f.run().ToolActive());
}

void RunFailureTest::cancelAnsweredNoLeavesTheRun() {
    RunFixture f;
    f.writeRunSettings(ThreeSteps("", "export KORVANE_STEP_SLEEP=1", ""), {});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    w.collections()->setCancelRequested(false);
    QVERIFY(StartAndWaitForStep(f, 2));
    f.dialogs.AnswerButton(kNo);
    w.actions().execute("ActCancelRun");
    QVERIFY(w.collections()->cancelRequested());
    QVERIFY(f.run().BatchRunning());
    QVERIFY(w.actions()["ActCancelRun"]->isEnabled());
    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));
    QVERIFY(f.run().FinishedCleanly());
    QVERIFY(PathExists(f.outputDir() + "/b/Two.java"));
}

void RunFailureTest::missingResultIsReported() {
    RunFixture f;
    f.writeRunSettings(ThreeSteps("", "", "export KORVANE_STEP_SKIP=FIL0001"), {});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    QVERIFY(f.runAndWait());
    const std::string out = f.outputDir();
    QVERIFY(Contains(f.reports, "No result file(FIL0001.JRS) for " + out + "/b/Two.java"));
    QVERIFY(!Contains(f.reports, "Processing finished"));
    QVERIFY(!f.run().FinishedCleanly());
    QVERIFY(PathExists(out + "/a/One.java"));
    // The run has ended all the same.
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(w.GroupBoxSlider->isHidden());
    QCOMPARE(f.productLogViews, 1);
}

void RunFailureTest::sourceVanishedBetweenSteps() {
    RunFixture f;
    const std::string two = f.sourceDir() + "/b/Two.java";
    f.writeRunSettings(ThreeSteps("rm -f '" + two + "'", "", ""), {});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    w.actions().execute("ActStartConversion");
    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));

    // The hand-over to step 2 stops at the rewrite of last.xml: no next tool,
    // the run left running until it is cancelled.
    QVERIFY(Contains(f.reports, "File " + two + " is not available"));
    QCOMPARE(f.snapshots().size(), size_t(1));
    QVERIFY(f.run().BatchRunning());
    QVERIFY(w.busy());
    QCOMPARE(ChildProcessCount(), 0);
    QVERIFY(f.run().ToolActive() == false);

    f.reports.clear();
    f.dialogs.AnswerButton(kYes);
    w.actions().execute("ActCancelRun");
    // No watcher is left, so branch A does not run: the progress group and
    // the disabled log actions stay until the next run.
    QCOMPARE(f.reports, (std::vector<std::string>{"Terminate signalled!", "Background process cancelled!"}));
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(!w.GroupBoxSlider->isHidden());
    QVERIFY(!w.actions()["ActViewProductLog"]->isEnabled());
    QCOMPARE(f.productLogViews, 0);
}

void RunFailureTest::toolKilledBySignal() {
    RunFixture f;
    f.writeRunSettings(ThreeSteps("", "export KORVANE_STEP_SLEEP=30", ""), {});
    Sources src(f);
    QVERIFY((f.startProject(src.list()), true));
    QVERIFY(StartAndWaitForStep(f, 2));
    const long pid = f.run().currentToolPid();
    QCOMPARE(kill(pid_t(pid), SIGKILL), 0);

    // The killed step is reported; the chain goes on, and the step after it
    // finds no input (and says so with its exit status).
    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));
    QCOMPARE(f.snapshots().size(), size_t(3));
    QVERIFY(!f.run().BatchRunning());
    const std::string out = f.outputDir();
    const std::string tools = f.binDir() + "/JAVVorl/";
    QCOMPARE(f.reports, (std::vector<std::string>{
                            "Step Refine: program " + tools + "jvrefine was ended by signal 9 (SIGKILL)",
                            "Step Restructure: program " + tools + "jvrestruct ended with exit status 1",
                            "No result file(FIL0000.JRS) for " + out + "/a/One.java",
                            "No result file(FIL0001.JRS) for " + out + "/b/Two.java"}));
    QVERIFY(!f.run().FinishedCleanly());
    QCOMPARE(ChildProcessCount(), 0);
}

void RunFailureTest::stopAnsweredYesAfterTheRunEnded() {
    // The question stays open while the run ends by itself; the Yes that
    // comes after changes nothing and reports nothing. Both questions: the
    // cancel action's and the close request's.
    struct Case {
        const char* what;
        std::function<void(TfrmKorvaneMain&)> ask;
    } cases[] = {
        {"Skip the rest of processing", [](TfrmKorvaneMain& w) { w.actions().execute("ActCancelRun"); }},
        {"close request", [](TfrmKorvaneMain& w) { w.closeRequest(); }},
    };
    for (const Case& c : cases) {
        RunFixture f;
        f.writeRunSettings(ThreeSteps("", "export KORVANE_STEP_SLEEP=0.5", ""), {});
        Sources src(f);
        TfrmKorvaneMain& w = f.startProject(src.list());
        QVERIFY(StartAndWaitForStep(f, 2));
        f.dialogs.AnswerButton(kYes);
        f.dialogs.SetBeforeAnswer([&] {
            NestedEventLoopScope modal;
            RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); });
        });
        c.ask(w);
        QCOMPARE(f.dialogs.PendingAnswers(), size_t(0));
        QVERIFY2(f.run().FinishedCleanly(), c.what);
        QCOMPARE(f.reports, std::vector<std::string>{"Processing finished"});
        QVERIFY2(PathExists(f.outputDir() + "/b/Two.java"), c.what);
        QVERIFY2(!f.run().BatchRunning() && !w.busy(), c.what);
    }
}

void RunFailureTest::runsRefusedBeforeStarting() {
    struct Case {
        const char* what;
        std::function<void(RunFixture&, TfrmKorvaneMain&)> setUp;
        std::string message;
    } cases[] = {
        {"empty output directory",
         [](RunFixture&, TfrmKorvaneMain& w) { w.FrameFindDirectoryOutputDir->SetFieldText(""); },
         kNoOutputDirMessage},
        {"no step checked",
         [](RunFixture&, TfrmKorvaneMain& w) {
             w.CheckBoxRefine->setChecked(false);
             w.CheckBoxRestructure->setChecked(false);
         },
         "No transformation step is selected"},
        {"no source checked",
         [](RunFixture&, TfrmKorvaneMain& w) { w.CheckListBoxSelectedFiles->checkList().checkAll(false); },
         "You haven't selected any files yet"},
        {"system name missing", [](RunFixture&, TfrmKorvaneMain& w) { w.EditSystemName->setText(""); },
         "System name name missing or incorrect"},
        {"step program gone",
         [](RunFixture& f, TfrmKorvaneMain&) { DeleteFile(f.binDir() + "/JAVVorl/jvrefine"); },
         "Failed to start batch processing task"},
    };
    for (const Case& c : cases) {
        RunFixture f;
        // No Realign step: its row can never be unchecked.
        f.writeRunSettings({{"Refine", "jvrefine", "JRF", "", ""}, {"Restructure", "jvrestruct", "JRS", "", ""}}, {});
        Sources src(f);
        TfrmKorvaneMain& w = f.startProject(src.list());
        c.setUp(f, w);
        w.actions().execute("ActStartConversion");
        QVERIFY2(Contains(f.reports, c.message), c.what);
        QVERIFY2(!f.run().BatchRunning(), c.what);
        QVERIFY2(!w.busy(), c.what);
        QVERIFY2(!f.run().ToolActive(), c.what);
        QVERIFY2(f.snapshots().empty(), c.what);
        QVERIFY2(!w.actions()["ActCancelRun"]->isEnabled(), c.what);
        // Nothing was copied: the refusals come before the working copies.
        if (c.message != "Failed to start batch processing task")
            QVERIFY2(FolderNames(f.outputDir() + "/workinp").empty(), c.what);
        // Nothing was made below the file-system root either.
        QVERIFY2(!PathExists("/workinp") && !PathExists("/last.xml"), c.what);
    }
}

void RunFailureTest::renameBeforeAnyRunTouchesNothing() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {"Runcontrol.DeleteAfter=Y"});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    // What an earlier session left in the output directory.
    const std::string out = f.outputDir();
    f.writeFile("out/workout/FIL0000.JRA", "result");
    f.writeFile("out/workout/Sys.LOG", "log");
    f.writeFile("out/work/scratch", "s");
    f.writeFile("out/workinp/FIL0000", "copy");
    f.writeFile("out/ProdSys_x", "p");
    for (const std::string& field : {out, std::string()}) {
        w.FrameFindDirectoryOutputDir->SetFieldText(field);
        w.actions().execute("ActRename");
        for (const char* kept : {"/workout/FIL0000.JRA", "/workout/Sys.LOG", "/work/scratch", "/workinp/FIL0000",
                                 "/ProdSys_x"})
            QVERIFY2(PathExists(out + kept), kept);
        QVERIFY(!PathExists(out + "/Sys.log"));
        QVERIFY(!PathExists(out + "/a"));
        QVERIFY(f.reports.empty());
    }
}

// No process started by the tests outlives them.
KORVANE_QT_TEST_ENVIRONMENT(NoProcessLeftBehind);
KORVANE_QT_TEST(RunFailureTest);

#include "run_failure_gui_test.moc"

void RunFailureTest::outputDirectoryOfTheUserOrOfAnotherRun() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {});
    Sources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());
    const std::string out = f.outputDir();
    f.writeFile("out/ProdSys_budget.ods", "numbers");

    // A folder of the user's: the question, No by default; No does nothing.
    f.dialogs.AnswerButton(kNo);
    w.actions().execute("ActStartConversion");
    const ScriptedDialogs::Call& question = f.dialogs.Calls().back();
    QCOMPARE(question.text, Format(kForeignOutputDirQuestion, out.c_str()));
    QCOMPARE(question.buttons, unsigned(kYes | kNo | kDefaultNo));
    QVERIFY(!f.run().BatchRunning());
    QCOMPARE(FolderNames(out), std::vector<std::string>{"ProdSys_budget.ods"});
    QVERIFY(!f.run().HoldsOutputDir());

    // Another run holds the folder.
    FolderLock other;
    QCOMPARE(other.TryLock(out), 0);
    w.actions().execute("ActStartConversion");
    QCOMPARE(f.reports.back(), Format(kOutputDirInUse, out.c_str()));
    QVERIFY(f.snapshots().empty());
    other.Unlock();

    // Yes: the run takes the folder, holds it while it runs, and lets it go.
    f.dialogs.AnswerButton(kYes);
    QVERIFY(f.runAndWait());
    QVERIFY(f.run().FinishedCleanly());
    QVERIFY(!f.run().HoldsOutputDir());
    QCOMPARE(other.TryLock(out), 0);
}

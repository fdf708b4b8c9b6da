// Tools that misbehave and projects saved in the middle of a run: whatever
// happens, nothing of the user's is lost, the run ends (or can be ended) and
// the next run succeeds.

#include <QAction>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/check_list_box.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n}\r\n";
const char* kJavaTwo = "class B {\r\n  int b;\r\n}\r\n";

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

bool HasReportStarting(const std::vector<std::string>& list, const std::string& start) {
    for (const std::string& r : list)
        if (r.rfind(start, 0) == 0) return true;
    return false;
}

// Shell lines that do what is given once: the first run of the step finds
// the marker file of the fixture and takes it away. "@OUT@" in the lines
// stands for the output directory.
std::string Once(RunFixture& f, const std::string& lines) {
    const std::string marker = f.root() + "/fault-armed";
    return "if [ -e '" + marker + "' ]; then rm -f '" + marker + "'; " +
           ReplaceAll(lines, "@OUT@", f.outputDir()) + "; fi";
}

void ArmFault(RunFixture& f) { f.writeFile("fault-armed", ""); }

}  // namespace

class RunProcessFaultTest : public QObject {
    Q_OBJECT
private slots:
    void toolDeletesItsInputs();
    void projectSavedDuringRunAndOpenedAgain();
};

void RunProcessFaultTest::toolDeletesItsInputs() {
    // Every case is followed by a run without the fault.
    struct Case {
        const char* what;
        int step;                          // 0, 1, 2: which of the three steps misbehaves
        const char* lines;                 // what it does before its work
        std::vector<std::string> missing;  // sources reported without result
        bool deleteAfter;
        // The exit status of each step's program (korvane-step: 1 for an
        // input it misses, 2 without parameter file), reported when not 0.
        std::vector<int> statuses;
    } cases[] = {
        {"first step deletes one working copy", 0, "rm -f @OUT@/workinp/FIL0000", {"a/One.java"}, false, {1, 1, 1}},
        {"second step deletes last.xml", 1, "rm -f @OUT@/last.xml", {"a/One.java", "b/Two.java"}, false, {0, 2, 1}},
        {"last step deletes workinp and one input",
         2,
         "rm -rf @OUT@/workinp @OUT@/workout/FIL0001.JRF",
         {"b/Two.java"},
         true,
         {0, 0, 1}},
        {"first step deletes both copies and last.xml",
         0,
         "rm -f @OUT@/workinp/FIL0000 @OUT@/workinp/FIL0001 @OUT@/last.xml",
         {"a/One.java", "b/Two.java"},
         true,
         {2, 1, 1}},
    };
    for (const Case& c : cases) {
        RunFixture f;
        std::string env[3];
        env[c.step] = Once(f, c.lines);
        f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", env[0]},
                            {"Refine", "jvrefine", "JRF", "", env[1]},
                            {"Restructure", "jvrestruct", "JRS", "", env[2]}},
                           {std::string("Runcontrol.DeleteAfter=") + (c.deleteAfter ? "Y" : "N")});
        const std::string one = f.addSource("a/One.java", kJava);
        const std::string two = f.addSource("b/Two.java", kJavaTwo);
        TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}});
        const std::string out = f.outputDir();
        ArmFault(f);

        QVERIFY2(f.runAndWait(), c.what);
        // The run went through all three steps and ended.
        QCOMPARE(f.snapshots().size(), size_t(3));
        QVERIFY2(!f.run().BatchRunning() && !w.busy() && !f.run().ToolActive(), c.what);
        QCOMPARE(ChildProcessCount(), 0);
        // Every step got a complete parameter file, whatever the one before
        // did to it: the last step's names the second step's results.
        QCOMPARE(
            ReadBytes(f.snapshotDir() + "/02-jvrestruct.xml"),
            ExpectedParameterFile(out, {"Realign", "Refine", "Restructure"}, {{0, one}, {1, two}}, "JRF"));
        // Exactly the steps that failed and the sources whose input went
        // are reported, and nothing else.
        std::vector<std::string> expected;
        const char* const steps[][2] = {{"Realign", "jvrealign"}, {"Refine", "jvrefine"}, {"Restructure", "jvrestruct"}};
        for (size_t i = 0; i < 3; ++i)
            if (c.statuses[i] != 0)
                expected.push_back(Format("Step %s: program %s/JAVVorl/%s ended with exit status %d", steps[i][0],
                                          f.binDir().c_str(), steps[i][1], c.statuses[i]));
        const std::pair<std::string, std::string> internal[] = {{"a/One.java", "FIL0000"},
                                                                {"b/Two.java", "FIL0001"}};
        for (const auto& [relative, name] : internal)
            if (Contains(c.missing, relative))
                expected.push_back("No result file(" + name + ".JRS) for " + out + "/" + relative);
        QCOMPARE(f.reports, expected);
        QVERIFY2(!f.run().FinishedCleanly(), c.what);
        for (const auto& [relative, name] : internal)
            QCOMPARE(PathExists(out + "/" + relative), !Contains(c.missing, relative));
        // The user's sources are never touched.
        QCOMPARE(ReadBytes(one), std::string(kJava));
        QCOMPARE(ReadBytes(two), std::string(kJavaTwo));
        if (c.deleteAfter) {
            QVERIFY2(!PathExists(out + "/workinp"), c.what);
            QVERIFY2(FolderNames(out + "/workout").empty(), c.what);
        }

        // The next run, without the fault, succeeds.
        f.reports.clear();
        QVERIFY2(f.runAndWait(), c.what);
        QVERIFY2(f.run().FinishedCleanly(), c.what);
        QCOMPARE(f.reports, std::vector<std::string>{"Processing finished"});
        QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kJava));
        QCOMPARE(ReadBytes(out + "/b/Two.java"), std::string(kJavaTwo));
    }
}

void RunProcessFaultTest::projectSavedDuringRunAndOpenedAgain() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_SLEEP=1"}}, {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string two = f.addSource("b/Two.java", kJavaTwo);
    TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}});
    const std::string projects = f.root() + "/projects";
    ForceDirectories(projects);
    w.project()->SetProjectDirectory(projects + "/x.srd");
    const std::string out = f.outputDir();

    // Saved through the action while the run is in progress: the busy gate
    // lets it pass, and the file says that a batch was running.
    w.actions().execute(ActionId::StartConversion);
    QVERIFY(f.run().BatchRunning());
    QVERIFY(w.busy());
    QVERIFY(w.project()->modified());
    const std::string saved = projects + "/ProdSys.srd";
    f.dialogs.AnswerPath(saved);
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(f.dialogs.Calls().back().text, std::string(ProjectController::kSaveTitle));
    QVERIFY(f.run().BatchRunning());
    QVERIFY(!w.project()->modified());
    QVERIFY(!w.actions()[ActionId::SaveProject]->isEnabled());
    const std::string duringRun = ReadBytes(saved);
    QVERIFY(duringRun.find("\r\nBatchRunning=Y\r\n") != std::string::npos);
    QVERIFY(duringRun.find("\r\nMaxDirDepth=100\r\nNumberOfSourceFiles=2\r\n[Konyec szkazki]\r\n") !=
            std::string::npos);
    const std::string kept = projects + "/DuringRun.srd";
    f.writeFile("projects/DuringRun.srd", duringRun);

    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));
    QVERIFY(!w.busy());
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kJava));
    // Saved once the run is over, the same project says nothing of a run.
    f.dialogs.AnswerPath(projects + "/After.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string after = ReadBytes(projects + "/After.srd");
    QVERIFY(after.find("\r\nBatchRunning=N\r\n") != std::string::npos);
    QVERIFY(after.find("NumberOfSourceFiles") == std::string::npos);

    // What the work area holds when the file is opened again: a late result
    // and a collected result that the user has taken away.
    f.writeFile("out/workout/FIL0000.JRA", "late result");
    QVERIFY(DeleteFile(out + "/a/One.java"));
    f.reports.clear();
    w.project()->setModified(true);
    f.dialogs.AnswerButton(kNo);  // "save the changes?"
    f.dialogs.AnswerPath(kept);
    w.actions().execute(ActionId::OpenProject);
    QCOMPARE(f.dialogs.PendingAnswers(), size_t(0));

    // The collection ran with the empty name map: nothing moved, nothing
    // reported missing; the flag is cleared and the project marked modified.
    QVERIFY(!w.project()->batchRunning());
    QVERIFY(w.project()->modified());
    QCOMPARE(w.project()->numberOfSourceFiles(), 2);
    QVERIFY(f.run().nameMap().empty());
    QCOMPARE(ReadBytes(out + "/workout/FIL0000.JRA"), std::string("late result"));
    QVERIFY(!PathExists(out + "/a/One.java"));
    QVERIFY(!HasReportStarting(f.reports, "No result file"));
    QVERIFY(!Contains(f.reports, ProjectController::kLoadError));
    QVERIFY(!w.busy());
    // Opening left the saved files as they were.
    QCOMPARE(ReadBytes(kept), duringRun);
    QCOMPARE(ReadBytes(saved), duringRun);

    // The project as opened runs again: the sources and the output
    // directory came back from the file.
    QCOMPARE(w.CheckListBoxSelectedFiles->checkList().checkedCount(), 2);
    f.reports.clear();
    QVERIFY(f.runAndWait());
    QVERIFY(f.run().FinishedCleanly());
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kJava));
    QCOMPARE(ReadBytes(out + "/b/Two.java"), std::string(kJavaTwo));
    QVERIFY(!PathExists(out + "/workout/FIL0000.JRA"));
}

KORVANE_QT_TEST(RunProcessFaultTest);

#include "run_fault_gui_test.moc"

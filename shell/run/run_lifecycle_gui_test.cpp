// The life of runs in the window: the busy gate while a run is in progress,
// the close request during a run, what the window shows of a stopped run,
// a project saved during a run and opened again, and the page of what a run
// changed. (The run itself, with
// its hand-overs, faults and stops: the engine's tests.)

#include <QAction>
#include <QGroupBox>
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTreeWidget>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/app/startup_options.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"
#include "shell/viewer/changes_controller.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n}\r\n";

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::string Shown(TfrmKorvaneMain& w) { return Str(w.statusBar().shownText()); }

}  // namespace

class RunLifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void busyGateDuringRun();
    void closeRequestStopsTheRun();
    void projectSavedDuringRunIsOpenedAgain();
    void changesOfARunShownAndWalked();
    void parallelJobsSetInTheWindow();
};

void RunLifecycleTest::busyGateDuringRun() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_SLEEP=1"}}, {});
    const std::string one = f.addSource("One.java", kJava);
    TfrmKorvaneMain& w = f.startProject({{one, true}});
    int newProjects = 0;
    w.actions().setHandler(ActionId::NewProject, [&](QObject*) { ++newProjects; });
    w.actions()[ActionId::SaveProject]->setEnabled(true);
    int saves = 0;
    w.actions().setHandler(ActionId::SaveProject, [&](QObject*) { ++saves; });

    w.actions().execute(ActionId::StartConversion);
    QVERIFY(f.run().BatchRunning());
    QVERIFY(RunFixture::waitFor([&] { return f.snapshots().size() == 1; }));
    QVERIFY(w.busy());
    QVERIFY(w.project()->batchRunning());
    QVERIFY(!w.GroupBoxSlider->isHidden());
    QCOMPARE(Str(w.GroupBoxSlider->title()), std::string("Processing project ProdSys - Step 1 of 2 - Bytes 0 of 0"));
    QVERIFY(w.actions()[ActionId::CancelRun]->isEnabled());
    QVERIFY(w.actions()[ActionId::CancelRun]->isVisible());
    QVERIFY(!w.actions()[ActionId::ViewProductLog]->isEnabled());
    // The name map is shown.
    QCOMPARE(Str(w.MemoNewFileNames->toPlainText()) + "\n",
             ReplaceAll(JoinLinesCrLf(f.run().nameMap()), "\r\n", "\n"));
    QCOMPARE(f.run().nameMap().size(), size_t(2));

    // Refused: another run, a new project, save as.
    for (ActionId refused : {ActionId::StartConversion, ActionId::NewProject, ActionId::SaveProjectAs}) {
        w.statusBar().ClearMessages();
        w.actions().execute(refused);
        QCOMPARE(Shown(w), std::string(kBusyRefusal));
    }
    QCOMPARE(newProjects, 0);
    QCOMPARE(f.snapshots().size(), size_t(1));
    // Allowed, keeping the messages: saving and the viewers.
    w.statusBar().ShowWarning("still running");
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(saves, 1);
    w.actions()[ActionId::ViewProductLog]->setEnabled(true);
    w.actions().execute(ActionId::ViewProductLog);
    QCOMPARE(f.productLogViews, 1);
    QCOMPARE(Shown(w), std::string("still running"));
    w.actions()[ActionId::ViewProductLog]->setEnabled(false);

    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));
    QVERIFY(!w.busy());
    // A message shown before the run ended keeps "Processing finished" away.
    QVERIFY(!f.run().FinishedCleanly());
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(newProjects, 1);
}

void RunLifecycleTest::parallelJobsSetInTheWindow() {
    // "Parallel jobs" splits the window's run: a finished run collects every
    // source and says so; the user's cancel, answered Yes, stops every
    // shard's tool.
    for (const bool cancel : {false, true}) {
        RunFixture f;
        f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", cancel ? "export KORVANE_STEP_SLEEP=30" : ""}}, {},
                           {"JAV.FileLocal=Y"});
        std::vector<std::pair<std::string, bool>> sources;
        for (int i = 0; i < 3; ++i) sources.push_back({f.addSource(Format("d%d/S.java", i), kJava), true});
        TfrmKorvaneMain& w = f.startProject(sources);
        w.SpinEditParallelJobs->setValue(3);
        w.actions().execute(ActionId::StartConversion);
        QVERIFY(f.run().BatchRunning());
        QVERIFY(DirectoryExists(f.outputDir() + "/.korvane-shards/2-of-3/workinp"));
        if (!cancel) {
            QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));
            QVERIFY(f.run().FinishedCleanly());
            QCOMPARE(Shown(w), std::string("Processing finished"));
            for (int i = 0; i < 3; ++i) QCOMPARE(ReadBytes(f.outputDir() + Format("/d%d/S.java", i)), std::string(kJava));
            QVERIFY(!PathExists(f.outputDir() + "/.korvane-shards"));
            continue;
        }
        QVERIFY(RunFixture::waitFor([&] { return f.run().currentToolPid() != 0; }));
        f.dialogs.AnswerButton(kYes);
        w.actions().execute(ActionId::CancelRun);
        QVERIFY(!f.run().BatchRunning());
        QVERIFY(RunFixture::waitFor([&] { return !f.run().ToolActive(); }));
        QVERIFY(Contains(f.reports, "Background process cancelled!"));
        QVERIFY(NoChildProcess());
        QVERIFY(!w.busy());
        QVERIFY(!PathExists(f.outputDir() + "/d0/S.java"));
    }
}

void RunLifecycleTest::closeRequestStopsTheRun() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_SLEEP=30"}}, {});
    const std::string one = f.addSource("One.java", kJava);
    TfrmKorvaneMain& w = f.startProject({{one, true}});
    w.actions().execute(ActionId::StartConversion);
    QVERIFY(RunFixture::waitFor([&] { return f.run().currentToolPid() != 0; }));

    // No: the run goes on and the window stays.
    f.dialogs.AnswerButton(kNo);
    QVERIFY(!w.close());
    QVERIFY(f.run().BatchRunning());
    // Yes: the run is stopped, the window still stays open.
    f.dialogs.AnswerButton(kYes);
    QVERIFY(!w.close());
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(!f.run().ToolActive());
    QVERIFY(f.run().stepQueue().empty());
    QVERIFY(w.project()->modified());
    QVERIFY(Contains(f.reports, "Terminate signalled!"));
    QVERIFY(Contains(f.reports, "Background process cancelled!"));
    QVERIFY(NoChildProcess());
    // The window of a stopped run: not busy, progress hidden, the cancel
    // action gone, the logs there to be viewed (and the product log shown).
    QVERIFY(!w.busy());
    QVERIFY(w.GroupBoxSlider->isHidden());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isEnabled());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isVisible());
    QVERIFY(w.actions()[ActionId::ViewProductLog]->isEnabled());
    QCOMPARE(f.productLogViews, 1);
}

void RunLifecycleTest::projectSavedDuringRunIsOpenedAgain() {
    // Saved while its run is in progress, opened once the run is over: the
    // collection on opening has no name map, so a late result stays where
    // it is and nothing is reported missing; the project as opened runs again.
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_SLEEP=1"}}, {});
    const std::string one = f.addSource("a/One.java", kJava);
    TfrmKorvaneMain& w = f.startProject({{one, true}});
    const std::string saved = f.root() + "/Run.srd", out = f.outputDir();
    w.project()->SetProjectDirectory(saved);
    w.actions().execute(ActionId::StartConversion);
    QVERIFY(w.busy());
    f.dialogs.AnswerPath(saved);
    w.actions().execute(ActionId::SaveProject);
    QVERIFY(f.run().BatchRunning());
    QVERIFY(ReadBytes(saved).find("\r\nBatchRunning=Y\r\n") != std::string::npos);
    QVERIFY(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }));

    f.writeFile("out/workout/FIL0000.JRA", "late result");
    QVERIFY(DeleteFile(out + "/a/One.java"));
    w.project()->clearModifiedWithoutAsking();
    f.reports.clear();
    f.dialogs.AnswerPath(saved);
    w.actions().execute(ActionId::OpenProject);
    QVERIFY(f.run().nameMap().empty());
    QCOMPARE(ReadBytes(out + "/workout/FIL0000.JRA"), std::string("late result"));
    QVERIFY(!PathExists(out + "/a/One.java"));
    for (const std::string& r : f.reports) QVERIFY2(r.rfind("No result file", 0) != 0, r.c_str());
    QVERIFY(!Contains(f.reports, ProjectController::kLoadError));
    QVERIFY(!w.project()->batchRunning() && w.project()->modified() && !w.busy());

    QVERIFY(f.runAndWait());
    QVERIFY(f.run().FinishedCleanly());
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kJava));
}

// After a run the Changes page lists the checked sources with their states;
// the repaired source is shown beside its result, and F7 / Shift+F7 walk
// its changes in both text areas.
void RunLifecycleTest::changesOfARunShownAndWalked() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "fixit", ""}}, {});
    const std::string broken =
        "class A {\r\n  void f(int a) {\r\n    if (a > 1 {\r\n    }\r\n    g();\r\n    h();\r\n"
        "    if (a > 2 {\r\n    }\r\n  }\r\n}\r\n";
    const std::string one = f.addSource("a/One.java", broken);
    const std::string two = f.addSource("b/Two.java", kJava);
    TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}});
    ChangesController& c = *w.changes();
    QVERIFY(!TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetChanges));
    QVERIFY(f.runAndWait());
    QVERIFY(RunFixture::waitFor([&] { return c.entries().size() == 2 && !c.busy(); }));
    QVERIFY(TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetChanges));
    QCOMPARE(c.entries()[0].change.state, ChangeState::Changed);
    QCOMPARE(c.entries()[0].change.linesAdded, size_t(2));
    QCOMPARE(c.entries()[1].change.state, ChangeState::Unchanged);
    QCOMPARE(Str(c.list()->topLevelItem(1)->text(1)), std::string("unchanged"));
    // The changed source is selected and shown at its first change.
    QCOMPARE(Str(c.list()->currentItem()->text(0)), std::string("a/One.java"));
    auto line = [](QPlainTextEdit* m, int row) { return Str(m->document()->findBlockByNumber(row).text()); };
    QCOMPARE(line(c.sourceMemo(), 2), std::string("    if (a > 1 {"));
    QCOMPARE(line(c.resultMemo(), 2), std::string("    if (a > 1) {"));
    QCOMPARE(c.shownRows().changeStarts, (std::vector<std::size_t>{2, 6}));
    QCOMPARE(c.currentRow(), size_t(2));

    w.PageControlMain->setCurrentWidget(w.TabSheetChanges);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    c.sourceMemo()->setFocus();
    QTest::keyClick(c.sourceMemo(), Qt::Key_F7);
    QCOMPARE(c.currentRow(), size_t(6));
    QCOMPARE(c.resultMemo()->textCursor().blockNumber(), 6);
    QTest::keyClick(c.sourceMemo(), Qt::Key_F7);  // no further change
    QCOMPARE(c.currentRow(), size_t(6));
    QTest::keyClick(c.sourceMemo(), Qt::Key_F7, Qt::ShiftModifier);
    QCOMPARE(c.currentRow(), size_t(2));

    // Opening the project again shows what its last run changed.
    const std::string saved = f.root() + "/Run.srd";
    f.dialogs.AnswerPath(saved);
    w.actions().execute(ActionId::SaveProjectAs);
    QVERIFY(PathExists(saved));
    QSignalSpy filled(&c, &ChangesController::listFilled);
    f.dialogs.AnswerPath(saved);
    w.actions().execute(ActionId::OpenProject);
    QVERIFY(c.entries().empty());  // the new project cleared the page
    QVERIFY(RunFixture::waitFor([&] { return filled.count() == 1 && !c.busy(); }));
    QCOMPARE(c.entries().size(), size_t(2));
    QCOMPARE(c.entries()[0].change.state, ChangeState::Changed);
    QVERIFY(TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetChanges));

    // A result that holds NUL bytes, one too big to be shown side by side:
    // said so above the text areas.
    auto shownNote = [&](const std::string& result) {
        f.writeFile("out/b/Two.java", result);
        c.refresh();
        if (!RunFixture::waitFor([&] { return !c.busy(); })) return std::string("(busy)");
        c.list()->setCurrentItem(c.list()->topLevelItem(1));
        if (!RunFixture::waitFor([&] { return !c.busy(); })) return std::string("(busy)");
        return Str(w.TabSheetChanges->findChild<QLabel*>("LabelChangesCaption")->text()).substr(0, 20);
    };
    QCOMPARE(shownNote(std::string("class A {\0}\r\n", 13)), std::string("Binary files differ"));
    QCOMPARE(shownNote(std::string(9000000, 'x')), std::string("Too large to be show"));
    QCOMPARE(c.sourceMemo()->toPlainText(), QString());

    // A source deleted after the run is shown as such.
    QVERIFY(DeleteFile(two));
    c.refresh();
    QVERIFY(RunFixture::waitFor([&] { return !c.busy(); }));
    QCOMPARE(c.entries()[1].change.state, ChangeState::SourceMissing);
}

// No process started by the tests outlives them.
KORVANE_QT_TEST_ENVIRONMENT(NoProcessLeftBehind);
KORVANE_QT_TEST(RunLifecycleTest);

#include "run_lifecycle_gui_test.moc"

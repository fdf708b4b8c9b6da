// The main window: start-up, caption, advanced mode, busy gate, menus,
// close request and the application of a language.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <set>

#include <unistd.h>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/app/project_run_setup.h"
#include "shell/app/run_binding.h"
#include "shell/app/startup_options.h"
#include "shell/project/project_controller.h"
#include "shell/app/testing/shell_fixture.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/field_colour.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"
#include "shell/wordlists/word_list_controller.h"

using namespace korvane;
using korvane::testing::ShellFixture;
using korvane::testing::Str;

namespace {

// The menu's items, separators as "-", in one line.
std::string MenuNames(QMenu* menu) {
    std::string names;
    for (QAction* a : menu->actions()) names += (names.empty() ? "" : " ") + (a->isSeparator() ? "-" : Str(a->objectName()));
    return names;
}

std::string Shown(TfrmKorvaneMain& w) { return Str(w.statusBar().shownText()); }

// Names of the shown transformation rows, top to bottom.
std::vector<std::string> ShownRows(TfrmKorvaneMain& w) {
    std::vector<std::pair<int, std::string>> rows;
    for (QCheckBox* b : w.transformationBoxes)
        if (!b->parentWidget()->isHidden())
            rows.push_back({w.extrasLayout->indexOf(b->parentWidget()), Str(b->objectName())});
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> names;
    for (auto& r : rows) names.push_back(r.second);
    return names;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void toolRootResolution();
    void installedSettingsSavedPerUser();
    void dosboxAskedForAtStart();
    void windowFitsTheScreen();
    void missingSettingsFileStillOpensWindow();
    void captionCarriesLanguageAndProject();
    void advancedMode();
    void busyGateRefusesAndClears();
    void menusInTheirOrder();
    void listShortcutsActOnFocusedList();
    void closeRequestStates();
    void windowSizeKeptOnlyInNormalState();
    void narrowLibraryPanelWrapsButtons();
    void planShownOnTheWidgets();
    void languageOfferedByFullSuffix();
    void defaultLanguageWithoutButtonSelectsPLI();
    void projectArgumentRules();
    void badSettingsValues();
    void modifiedProjectQuestionOnLanguageChange();
    void projectReadWithoutWindowAsTheWindowReadsIt();
};

void MainWindowTest::toolRootResolution() {
    ShellFixture f;
    QCOMPARE(ResolveToolRoot(false, "", f.binDir() + "/"), f.binDir());
    // A folder named TOOLS (any case) with MAINTAIN/KORVANE inside is replaced.
    ForceDirectories(f.root() + "/Tools/MAINTAIN/KORVANE");
    QCOMPARE(ResolveToolRoot(true, f.root() + "/Tools", ""), f.root() + "/Tools/MAINTAIN/KORVANE");
    QCOMPARE(ResolveToolRoot(false, "", f.root() + "/Tools"), f.root() + "/Tools/MAINTAIN/KORVANE");
    ForceDirectories(f.root() + "/other/TOOLS");
    QCOMPARE(ResolveToolRoot(true, f.root() + "/other/TOOLS", ""), f.root() + "/other/TOOLS");

    // The forms of "-root" are the command line's test (CmdLine.ValueCases).
    f.writeJavaSettings({});
    QCOMPARE(f.start({"-root", "/x/y"}).toolRoot(), std::string("/x/y"));
}

// Installed as <prefix>/bin/korvane with the settings in <prefix>/share/korvane
// and the tools in <prefix>/lib/korvane: the tools are found there, and
// saving goes to the per-user file, which is read from then on.
void MainWindowTest::installedSettingsSavedPerUser() {
    ShellFixture f;
    f.writeJavaSettings({});
    const std::string installed = f.root() + "/share/korvane/Korvane.INI";
    ForceDirectories(f.root() + "/share/korvane");
    QVERIFY(MoveFile(f.settingsPath(), installed));
    const std::string before = ReadFileBytes(installed);
    TfrmKorvaneMain& w = f.start();
    QCOMPARE(w.toolRoot(), f.root() + "/lib/korvane");
    QCOMPARE(w.language()->settingsPath(), installed);
    QCOMPARE(w.caption(), std::string("Korvane main shell - Java []"));

    const std::string user = f.root() + "/config/korvane/Korvane.INI";
    w.actions().execute(ActionId::WriteINIFile);
    QCOMPARE(Shown(w), "Initialisation parameters saved to " + user);
    QCOMPARE(ReadFileBytes(installed), before);
    QVERIFY(ReadFileBytes(user).find("Date Written=") != std::string::npos);
    QCOMPARE(f.start().language()->settingsPath(), user);
    QCOMPARE(f.window().toolRoot(), f.root() + "/lib/korvane");
}

// DOSBox found nowhere at the start (the search itself is the engine's test,
// RunControl.DOSBoxLocated): a cancel is reported on the bar; a choice is
// written into the settings file by replacing it, shown on the technical
// page and found through the setting by the next start.
void MainWindowTest::dosboxAskedForAtStart() {
    ShellFixture f;
    const std::string r = f.root();
    using V = std::vector<std::string>;
    const V original = {"[Languages]", "DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.Copy=.jcp", "JAV.Filter=J|*.java",
                        "[Runcontrol]", "Runcontrol.UseDOSBox=Y", "Runcontrol.Blindrun=Y", "Runcontrol.CaptureLog=Y",
                        "Runcontrol.DeleteAfter=N"};
    f.writeSettings(original);
    V reports;
    const auto start = [&]() -> TfrmKorvaneMain& {
        f.dialogs.ClearCalls();
        reports.clear();
        TfrmKorvaneMain& w = f.start({}, false);
        w.language()->setDOSBoxPlaces([r] { return V{r + "/nowhere/dosbox"}; });
        w.statusBar().OnReport = [&](const char*, const std::string& text) { reports.push_back(text); };
        w.show();
        w.runFirstShow();
        return w;
    };
    f.dialogs.AnswerCancel();
    TfrmKorvaneMain& cancelled = start();
    QCOMPARE(int(std::count(reports.begin(), reports.end(), "DOSBox-0.74\\DOSBox.exe file search cancelled")), 1);
    QVERIFY(!cancelled.language()->runControl().dosboxReady);
    QVERIFY(cancelled.actions()[ActionId::ViewConsoleLog]->isVisible());
    QCOMPARE(ReadTextLines(f.settingsPath()), original);

    const std::string chosen = f.addProgram("apps/dosbox-0.74/dosbox", "echo \"$0\" >> '" + r +
                                                                           "/dosbox.log'\nprintf '[autoexec]\\r\\n' > DOSBox.config");
    // A second name of the file as it was: a replacement leaves it alone.
    const std::string before = r + "/Korvane.INI.before";
    QVERIFY(link(f.settingsPath().c_str(), before.c_str()) == 0);
    f.dialogs.AnswerPath(chosen);
    TfrmKorvaneMain& w = start();
    QCOMPARE(f.dialogs.Calls().size(), size_t(1));
    const ScriptedDialogs::Call& call = f.dialogs.Calls().front();
    QCOMPARE(call.text, std::string("Please locate DOSBox-0.74\\DOSBox.exe manually"));
    QCOMPARE(call.file.fileName, std::string("dosbox"));
    QVERIFY(call.file.mustExist && !call.file.multiSelect);
    // The location line directly after the UseDOSBox line, the stamp second.
    V written = ReadTextLines(f.settingsPath());
    QVERIFY2(written.size() > 1 && written[1].rfind("Date Written=", 0) == 0, written[1].c_str());
    written.erase(written.begin() + 1);
    V expected = original;
    expected.insert(expected.begin() + 7, "Runcontrol.DOSBoxLocation=" + chosen);
    QCOMPARE(written, expected);
    QCOMPARE(ReadTextLines(before), original);
    QCOMPARE(w.language()->settings().lines(), ReadTextLines(f.settingsPath()));
    std::string file;
    for (const std::string& line : ReadTextLines(f.settingsPath())) file += line + "\n";
    QCOMPARE(Str(w.MemoToolDefaultValues->toPlainText()) + "\n", file);
    const RunControlState& rc = w.language()->runControl();
    QVERIFY(rc.dosboxReady && rc.dosboxPath == chosen && !rc.blindRun);
    QCOMPARE(rc.dosboxConfig, r + "/_Korvane.Src/DOSBox.config");
    QCOMPARE(ReadTextLines(r + "/dosbox.log"), V{chosen});
    QVERIFY(!w.actions()[ActionId::ViewConsoleLog]->isVisible());

    DeleteFile(rc.dosboxConfig);
    TfrmKorvaneMain& again = start();
    QVERIFY(f.dialogs.Calls().empty());
    QVERIFY(again.language()->runControl().dosboxReady);
    QCOMPARE(again.language()->runControl().dosboxPath, chosen);
}

// Whatever the scale factor and screen (the test also runs at
// QT_SCALE_FACTOR=2 on a 1400x900 screen), the window asks for no more than
// the screen's work area and shows its status bar on the screen.
void MainWindowTest::windowFitsTheScreen() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start({"-sha"}, false);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect area = w.screen()->availableGeometry();
    qInfo("work area %dx%d, scale %g", area.width(), area.height(), w.devicePixelRatioF());
    for (QWidget* page : {w.TabSheetNames, w.TabSheetTech, w.TabSheetViewer, w.TabSheetWordScan}) {
        w.PageControlMain->setCurrentWidget(page);
        QApplication::processEvents();
        const QSize least = w.minimumSize().expandedTo(w.minimumSizeHint());
        QVERIFY2(least.width() <= area.width() && least.height() <= area.height(),
                 qPrintable(QString("least size %1x%2").arg(least.width()).arg(least.height())));
        QVERIFY(w.height() <= area.height() && w.width() <= area.width());
        const QRect bar(w.MyStB->mapToGlobal(QPoint(0, 0)), w.MyStB->size());
        QVERIFY2(area.contains(bar), qPrintable(QString("status bar at %1,%2 %3x%4, window at %5,%6 %7x%8")
                                                    .arg(bar.x()).arg(bar.y()).arg(bar.width()).arg(bar.height())
                                                    .arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
    }
}

void MainWindowTest::missingSettingsFileStillOpensWindow() {
    ShellFixture f;
    TfrmKorvaneMain& w = f.start();
    QVERIFY(w.statusBar().messages().MessageList().find("No ini file is available for Korvane") !=
            std::string::npos);
    QVERIFY(w.PageControlMain != nullptr);
    w.show();
    QVERIFY(w.isVisible());
}

void MainWindowTest::captionCarriesLanguageAndProject() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    QCOMPARE(w.caption(), std::string("Korvane main shell - Java []"));
    w.setProjectCaption("MyJob");
    w.setLanguageCaption("C");
    QCOMPARE(w.caption(), std::string("Korvane main shell - C"));
    w.setProjectCaption("X");
    QCOMPARE(w.caption(), std::string("Korvane main shell - C [X]"));
}

// Without "-sha" the advanced parts are shown for good; with it they come
// and go with the menu item.
void MainWindowTest::advancedMode() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& plain = f.start();
    QVERIFY(TfrmKorvaneMain::isTabVisible(plain.PageControlMain, plain.TabSheetTech));
    QVERIFY(plain.actions()[ActionId::WriteINIFile]->isVisible());
    QVERIFY(!plain.actions()[ActionId::ShowAdvanced]->isVisible());
    QVERIFY(!plain.MenuShowAllActions->isVisible());
    QVERIFY(!plain.MemoNewFileNames->isHidden());

    TfrmKorvaneMain& w = f.start({"-sha"});
    QVERIFY(w.MenuShowAllActions->isVisible());
    QVERIFY(w.MenuShowAllActions->isChecked());
    w.PageControlMain->setCurrentWidget(w.TabSheetViewer);
    w.MenuShowAllActions->trigger();
    QVERIFY(!TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetTech));
    QVERIFY(w.MemoNewFileNames->isHidden());
    for (ActionId id : {ActionId::Rename, ActionId::WriteINIFile, ActionId::ApplyIni})
        QVERIFY2(!w.actions()[id]->isVisible(), w.actions().entry(id).name);
    QVERIFY(w.actions()[ActionId::ShowAdvanced]->isVisible());
    QVERIFY(w.MenuShowAllActions->isVisible());
    QVERIFY(!w.MenuShowAllActions->isChecked());
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);
    w.MenuShowAllActions->trigger();
    QVERIFY(TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetTech));
}

// Which action passes the gate is the action table's test (BusyGateTest);
// here the window applies the decisions: a refusal shown in red, an action
// run keeping the bar, and an idle one clearing it.
void MainWindowTest::busyGateRefusesAndClears() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    int newProject = 0, viewer = 0;
    w.actions().setHandler(ActionId::NewProject, [&](QObject*) { ++newProject; });
    w.actions().setHandler(ActionId::InternalViewer, [&](QObject*) { ++viewer; });

    w.setBusy(true);
    w.statusBar().ShowWarning("running");
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(newProject, 0);
    QCOMPARE(Shown(w), std::string(kBusyRefusal));
    QCOMPARE(w.statusBar().backgroundColor(), QColor(255, 128, 128));
    w.statusBar().ShowWarning("still running");
    w.actions().execute(ActionId::InternalViewer);
    QCOMPARE(viewer, 1);
    QCOMPARE(Shown(w), std::string("still running"));

    w.setBusy(false);
    w.statusBar().ShowWarning("old message");
    // A page switch by the user clears the bar as well; one by the program does not.
    w.PageControlMain->setCurrentWidget(w.TabSheetTech);
    QCOMPARE(Shown(w), std::string("old message"));
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(newProject, 1);
    QCOMPARE(Shown(w), std::string());
}

void MainWindowTest::menusInTheirOrder() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    const std::pair<const char*, const char*> menus[] = {
        {"MenuFile", "ActOpenProject ActNewProject ActSaveProject ActSaveProjectAs - ActCloseAll"},
        {"MenuActions", "ActAddfiles ActAddDirectoriesToSources ActAddCopies ActAddDirectoriesToCopies "
                        "ActRefreshCopyLib ActAddCSVFiles - ActStartScan ActStartConversion ActCancelRun - "
                        "MenuShowAllActions ActWriteINIFile"},
        {"MenuViewers", "ActInternalViewer - ActViewNotepad"},
        {"MenuLogs", "ActViewProductLog ActViewConsoleLog - MenuShowXmlParameters"},
        {"MenuHelp", "HelpContents1 ActAbout"},
        {"PopupMenuSelectedFiles", "ActAddfiles ActAddDirectoriesToSources - ActRemoveFiles - ActReverseSelect "
                                   "ActSelectAll ActUnselectAll - MenuShow83Names ActCalculateCommonRoot ActLoadTextFile"},
        {"PopupMenuCSVForRename", "ActAddCSVFiles - ActRemoveFiles - ActReverseSelect ActSelectAll ActUnselectAll"},
        {"PopupMenuAddCopies", "ActAddCopies ActAddDirectoriesToCopies ActRefreshCopyLib - ActRemoveFiles - "
                               "ActReverseSelect ActSelectAll ActUnselectAll"},
        {"PopupMenuViewer", "ActCloseTab ActCloseAllPages - ActInternalViewer - ActViewProductLog ActViewConsoleLog "
                            "MenuShowXmlParameters - EditCopy1 EditSelectAll1 - ActSelectFont"},
        {"PopupMenuWordList", "ActRemoveFiles ActReverseSelect ActSelectAll ActUnselectAll ActRemoveDuplicates"},
        {"PopupMenuRichEditCTLWords", "ActLoadTextFile ActAddselectedToLIst"},
    };
    for (const auto& [name, items] : menus)
        QCOMPARE(MenuNames(std::string(name).rfind("Popup", 0) == 0 ? w.popupMenu(name) : w.mainMenu(name)),
                 std::string(items));

    // Every action of a main menu is reachable by its shortcut from the window.
    for (const char* m : {"MenuFile", "MenuActions", "MenuViewers", "MenuLogs", "MenuHelp"})
        for (QAction* a : w.mainMenu(m)->actions())
            if (!a->isSeparator() && !a->shortcut().isEmpty()) QVERIFY(w.QWidget::actions().contains(a));
    // Initial states.
    QVERIFY(!w.actions()[ActionId::SaveProject]->isEnabled());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isEnabled());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isVisible());
    QVERIFY(!w.BitBtnCancelRun->isVisibleTo(&w));
}

void MainWindowTest::listShortcutsActOnFocusedList() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int selectAll = 0, addSelected = 0;
    w.actions().setHandler(ActionId::SelectAll, [&](QObject*) { ++selectAll; });
    w.actions().setHandler(ActionId::AddselectedToLIst, [&](QObject*) { ++addSelected; });
    w.CheckListBoxSelectedFiles->setFocus();
    QTest::keyClick(w.CheckListBoxSelectedFiles, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(selectAll, 1);
    w.PageControlMain->setCurrentWidget(w.TabSheetWordScan);
    w.RichEditCTLWords->setFocus();
    QTest::keyClick(w.RichEditCTLWords, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(addSelected, 1);
}

void MainWindowTest::closeRequestStates() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    // Not modified, no run: the window may close without a question.
    QVERIFY(w.closeRequest());
    // Modified: Cancel keeps the window open.
    w.project()->setModified(true);
    f.dialogs.AnswerButton(kCancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(Shown(w), std::string("Action cancelled"));
    // No: closes.
    f.dialogs.AnswerButton(kNo);
    QVERIFY(w.close());
    w.show();
    // A run in progress: No keeps it running, Yes asks to stop; the window stays.
    w.setBusy(true);
    int stops = 0;
    QObject::connect(&w, &TfrmKorvaneMain::stopRunRequested, [&] { ++stops; });
    f.dialogs.AnswerButton(kNo);
    QVERIFY(!w.closeRequest());
    QCOMPARE(stops, 0);
    f.dialogs.AnswerButton(kYes);
    QVERIFY(!w.closeRequest());
    QCOMPARE(stops, 1);
    QVERIFY(f.dialogs.Calls().back().text.find("You are running a batch process in the background. If you quit \r\n"
                                                "now, it will be stopped \r\nDo you still want to exit?") == 0);
    w.setBusy(false);
}

void MainWindowTest::windowSizeKeptOnlyInNormalState() {
    ShellFixture f;
    f.writeJavaSettings({});
    {
        TfrmKorvaneMain& w = f.start();
        w.resize(700, 690);
        QTRY_COMPARE(w.width(), 700);
        w.hide();
        QCOMPARE(ReadSettingInt("FormWidth", 0), w.width());
        w.showMaximized();
        QTRY_VERIFY(w.windowState() & Qt::WindowMaximized);
        w.hide();
        QCOMPARE(ReadSettingInt("FormWidth", 0), 700);
        // "Parallel jobs" is kept per user as soon as it changes.
        QCOMPARE(RunSetupFromWindow(w).parallelJobs, 1);
        w.SpinEditParallelJobs->setValue(5);
        QCOMPARE(RunSetupFromWindow(w).parallelJobs, 5);
    }
    TfrmKorvaneMain& w2 = f.start();
    QCOMPARE(w2.width(), 700);
    QCOMPARE(RunSetupFromWindow(w2).parallelJobs, 5);
}

// The wrapping itself is ArrangeTaggedButtons' test (window routines); here
// moving the splitter narrows the library panel, whose resize re-arranges the
// rows by itself, and the collection tabs move down.
void MainWindowTest::narrowLibraryPanelWrapsButtons() {
    ShellFixture f;
    f.writeJavaSettings({"JAV.Step01=CopyAdd,cp,jc1", "JAV.Step02=RenameVariables,rn,jc2"});
    f.addProgram("JAVVorl/cp");
    f.addProgram("JAVVorl/rn");
    TfrmKorvaneMain& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.BitBtnWM_DropAddManyCopies->isVisibleTo(&w));
    auto rowsOf = [&] {
        std::set<int> ys;
        for (QPushButton* b : w.Panel3->findChildren<QPushButton*>())
            if (b->isVisibleTo(&w)) ys.insert(b->y());
        return ys.size();
    };
    QList<int> sizes = w.SplitterNames->sizes();
    const int total = sizes[0] + sizes[1];
    w.SplitterNames->setSizes({0, total});
    QTest::qWait(50);
    const size_t rowsWide = rowsOf();
    const int tabsWide = w.PageControlFileCollect->y();
    w.SplitterNames->setSizes({total - 350, 350});
    QTRY_VERIFY(w.PanelLibraries->width() <= 400);
    QTRY_VERIFY(rowsOf() > rowsWide);
    QTRY_VERIFY(w.PageControlFileCollect->y() > tabsWide);
    for (QPushButton* b : w.Panel3->findChildren<QPushButton*>())
        if (b->isVisibleTo(&w)) QVERIFY2(b->geometry().right() < w.Panel3->width(), qPrintable(b->objectName()));
}

// What applying a language works out is PlanLanguage's test; here the plan
// reaches the widgets: rows in step order, created rows and pickers, the
// shared chain picker, the pickers' fields and reports, the scanner's check.
void MainWindowTest::planShownOnTheWidgets() {
    ShellFixture f;
    f.writeJavaSettings({"JAV.Step01=Refine,r2,J2,Chain=brelvin", "JAV.Step02=S9,r1,J9,\"Nine\",XMLFlag=X9",
                         "JAV.Step03=Realign,r1,J1,Chain=brelvin", "JAV.Step04=RelocateDB,gone,J4",
                         "JAV.Step05=RelocateTP,p*,J5"},
                        {"JAV.Scan=Y", "JAV.Scanner=scan"});
    for (const char* p : {"r1", "r2", "brelvin"}) f.addProgram(std::string("JAVVorl/") + p);
    f.dialogs.AnswerCancel();  // browsing for the missing scanner
    TfrmKorvaneMain& w = f.start();
    const std::string tools = f.binDir() + "/JAVVorl/";
    QCOMPARE(ShownRows(w), (std::vector<std::string>{"CheckBoxRefine", "CheckBoxS9", "CheckBoxRealign",
                                                     "CheckBoxRelocateDB", "CheckBoxRelocateTP"}));
    QCOMPARE(w.language()->stepRegistry(), (std::vector<std::string>{"Refine=brelvin", "S9=*", "Realign=brelvin"}));
    QCOMPARE(w.language()->rowParameterName("S9"), std::string("X9"));
    QCOMPARE(w.language()->stepResultExtension("Refine"), std::string("J2"));
    QCheckBox* nine = w.transformationBox("CheckBoxS9");
    QCOMPARE(Str(nine->text()), std::string("Nine"));
    QCOMPARE(Str(nine->toolTip()), std::string("Nine"));
    QVERIFY(nine->isChecked() && w.CheckBoxRefine->isChecked());
    QVERIFY(w.CheckBoxRealign->isChecked() && !w.CheckBoxRealign->isEnabled());
    QVERIFY(!w.CheckBoxRelocateDB->isEnabled() && !w.CheckBoxRelocateDB->isChecked());
    QVERIFY(!w.CheckBoxRelocateTP->isEnabled());
    // Hidden rows keep their designed hints.
    QVERIFY(w.CheckBoxRestructure->parentWidget()->isHidden());
    QCOMPARE(Str(w.CheckBoxRestructure->toolTip()), std::string("Restructure source code"));
    QVERIFY(w.picker("FindExexRestructure")->isHidden());

    struct Picker {
        const char* name;
        std::string label, field;
        FieldColour colour;
    } pickers[] = {{"FindExexS9", "Program for Nine", tools + "r1", FieldColour::Window},
                   {"FindExexRefine", "Program for Refine source code", tools + "r2", FieldColour::Window},
                   {"Chainbrelvin", "Chained Program for brelvin", tools + "brelvin", FieldColour::Window},
                   {"FindExexRelocateDB", "Program for Relocate database access statements", tools + "gone",
                    FieldColour::Failed},
                   {"FindExexRelocateTP", "Program for Relocate teleprocessing statements", "", FieldColour::Failed},
                   {"FrameFindexecScanner", "Scanner program", tools + "scan", FieldColour::Failed}};
    for (const Picker& p : pickers) {
        TFrameFindexec* picker = w.picker(p.name);
        QVERIFY2(picker && !picker->isHidden(), p.name);
        QCOMPARE(Str(picker->LabelFindExec->text()), p.label);
        QCOMPARE(picker->ProgramPath(), p.field);
        QCOMPARE(picker->Edit->property("fieldState").toInt(), int(p.colour));
    }
    QCOMPARE(int(std::count_if(w.stepPickers.begin(), w.stepPickers.end(),
                               [](TFrameFindexec* p) { return Str(p->objectName()) == "Chainbrelvin"; })),
             1);
    QVERIFY(!w.actions()[ActionId::StartScan]->isEnabled());

    // Applied again (the start's later steps clear the bar): no second row or
    // picker; the reports in the order of the checks.
    const size_t rows = w.transformationBoxes.size(), stepPickers = w.stepPickers.size();
    f.dialogs.AnswerCancel();
    std::vector<std::string> reports;
    w.statusBar().OnReport = [&](const char* kind, const std::string& text) {
        reports.push_back(std::string(kind) + ": " + text);
    };
    w.language()->ApplyLanguage("JAV");
    QCOMPARE(w.transformationBoxes.size(), rows);
    QCOMPARE(w.stepPickers.size(), stepPickers);
    QCOMPARE(f.dialogs.Calls().back().text, std::string("Find Scanner program "));
    QCOMPARE(reports, (std::vector<std::string>{
                          "Error: File Program for Relocate teleprocessing statements is marked unavailable!",
                          "Error: File not found: " + tools + "scan"}));
    QCOMPARE(Str(w.MemoToolDefaultValues->toPlainText()).substr(0, 11), std::string("[Languages]"));
}

void MainWindowTest::languageOfferedByFullSuffix() {
    ShellFixture f;
    f.writeSettings({"DefaultLanguage=COB_COB85", "COB_COB85=Y", "COB=Cobol 85,COB,\"\"", "COB.Copy=cpy",
                     "COB.Filter=Cobol (*.cbl)|*.cbl", "JAV=Java,JAV,\"\"", "JAV.Copy=x", "JAV.Filter=J|*.java"});
    TfrmKorvaneMain& w = f.start();
    QVERIFY(w.RadioButtonCOB_COB85->isEnabled());
    QVERIFY(!w.RadioButtonCOB_COB74->isEnabled());
    QVERIFY(w.RadioButtonJAV->isEnabled());
    QVERIFY(w.RadioButtonCOB_COB85->isChecked());
    QCOMPARE(w.language()->applied().dialect, std::string("COB85"));
    QCOMPARE(w.language()->applied().key, std::string("COB"));
    w.RadioButtonJAV->setChecked(true);
    QCOMPARE(w.language()->selectedLanguage(), std::string("JAV"));
    QCOMPARE(w.caption(), std::string("Korvane main shell - Java []"));
}

void MainWindowTest::defaultLanguageWithoutButtonSelectsPLI() {
    ShellFixture f;
    f.writeSettings({"DefaultLanguage=XYZ", "JAV=Java,JAV,\"\""});
    TfrmKorvaneMain& w = f.start();
    QVERIFY(w.RadioButtonPLI->isChecked());
    QCOMPARE(Shown(w), std::string("Shell error,missing language definition, inform Talmek"));
}

void MainWindowTest::projectArgumentRules() {
    ShellFixture f;
    f.writeJavaSettings({});
    std::string txt = f.writeFile("work/job.txt", "x");
    for (auto args : {std::vector<std::string>{"-proj", f.root() + "/none.srd"}, std::vector<std::string>{"-p", txt}}) {
        std::string requested;
        f.start(args, false);
        QObject::connect(&f.window(), &TfrmKorvaneMain::loadProjectRequested,
                         [&](const std::string& p) { requested = p; });
        f.window().runFirstShow();
        QCOMPARE(requested, std::string());
        QVERIFY(f.window().RadioButtonJAV->isChecked());
    }
    // A usable project opening is the project's test (projectNamedOnTheCommandLine).
    // An existing ".srd" (any case) is loaded; an unusable one reports the
    // load error and ends the first show there.
    std::string srd = f.writeFile("work/Job.SRD", "");
    TfrmKorvaneMain& w = f.start({"-proj", srd});
    QVERIFY(w.statusBar().messages().MessageList().find(
                " Error while loading project definition, it was possibly generated with an older version of the tool") !=
            std::string::npos);
}

// Settings errors end up on the bar; a language applied up to its failure
// (rows given: the rows shown).
void MainWindowTest::badSettingsValues() {
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        V extra, steps;
        std::string shown;
        V rows;
        bool consoleLog = false;
        std::string caption = "";  // given: the window's caption
    } cases[] = {
        {"blind run", {"Runcontrol.Blindrun=yes"}, {}, "yes is not valid boolean value (Y,J,I,N,True,False)", {}},
        {"capture", {"Runcontrol.CaptureLog=1"}, {}, "1 is not valid boolean value (Y,J,I,N,True,False)", {}},
        {"limit", {"Runcontrol.SystemBigDirectoryLimit=many"}, {}, "'many' is not a valid integer value", {}},
        {"duplicate keys: the first wins", {"Runcontrol.CaptureLog=Y", "Runcontrol.CaptureLog=N"},
         {"JAV.Step01=Realign,a,J1"}, "", {"CheckBoxRealign"}, true},
        {"a step with fewer than three items ends the application silently", {},
         {"JAV.Step01=Realign,a,J1", "JAV.Step02=Refine,a", "JAV.Step03=Restructure,a,J3"}, "", {"CheckBoxRealign"}},
        {"an invalid scan flag: the language's name is shown all the same", {"JAV.Scan=perhaps"}, {"JAV.Step01=Realign,a,J1"},
         "perhaps is not valid boolean value (Y,J,I,N,True,False)", {}, false, "Korvane main shell - Java"},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        f.writeJavaSettings(c.steps, c.extra);
        f.addProgram("JAVVorl/a");
        TfrmKorvaneMain& w = f.start();
        QVERIFY2(Shown(w) == c.shown, c.what);
        QVERIFY2(c.rows.empty() || ShownRows(w) == c.rows, c.what);
        QVERIFY2(!c.consoleLog || w.actions()[ActionId::ViewConsoleLog]->isVisible(), c.what);
        QVERIFY2(c.caption.empty() || w.caption() == c.caption, (c.what + (": " + w.caption())).c_str());
        QVERIFY2(!w.project()->modified(), c.what);
    }
}

void MainWindowTest::modifiedProjectQuestionOnLanguageChange() {
    ShellFixture f;
    f.writeSettings({"DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.Copy=x", "JAV.Filter=J|*.java", "CPP_C=Y",
                     "CPP=C,CPP,\"\"", "CPP.Copy=h", "CPP.Filter=C|*.c"});
    TfrmKorvaneMain& w = f.start();
    w.project()->setModified(true);
    f.dialogs.AnswerButton(kCancel);
    w.RadioButtonCPP_C->setChecked(true);
    QCOMPARE(Shown(w), std::string("Action cancelled"));
    QCOMPARE(w.caption(), std::string("Korvane main shell - Java []"));
    QVERIFY(w.project()->modified());
}

// The batch mode reads a project without a window: for every kind of file
// it must find what the window's load shows.
void MainWindowTest::projectReadWithoutWindowAsTheWindowReadsIt() {
    const std::string controls =
        "[TFrames]\nfrmKorvaneMain.FrameFindDirectoryOutputDir.Edit=out/../out2\n"
        "[Editboxes]\nfrmKorvaneMain.EditSystemName=SYS\nfrmKorvaneMain.EditProductName=PRD\n"
        "[ComboBoxes]\n[TComboBox - ComboBoxRefactorLevel]\nfrmKorvaneMain.ComboBoxRefactorLevel=3\n"
        "[Checkboxes]\nfrmKorvaneMain.CheckBoxRealign=N\nfrmKorvaneMain.CheckBoxRefine=N\n"
        "frmKorvaneMain.CheckBoxRelocateDB=Y\nfrmKorvaneMain.CheckBoxS9=N\nfrmKorvaneMain.CheckBoxCopyAdd=Y\n"
        "[CheckListBoxes]\n[TCheckListBox - frmKorvaneMain.CheckListBoxSelectedFiles]\n"
        "frmKorvaneMain.CheckListBoxSelectedFiles=CheckListBoxSelectedFiles\n"
        "frmKorvaneMain.CheckListBoxSelectedFiles.Tag=0\nYYsrc/a.java\nNY/abs/b.java\n"
        "[TCheckListBox - frmKorvaneMain.CheckListBoxControlTags]\n"
        "frmKorvaneMain.CheckListBoxControlTags=CheckListBoxControlTags\nfrmKorvaneMain.CheckListBoxControlTags.Tag=2\n"
        "YYINPT PAYIN\nNYOTPT PAYOUT\n"
        "[Konyec szkazki]\n";
    struct Case {
        const char* what;
        std::string properties;
        std::string controls;
    };
    const std::vector<Case> cases = {
        {"every control", "ProjectProductName=PRD\nProjectSystemName=SYS\nProjectVersion=JAV\nMaxDirDepth=7\n"
                          "ProjectDirectory=jobs/\n", controls},
        {"no controls", "ProjectProductName=P1\nProjectSystemName=*\nProjectVersion=JAV\n", ""},
        {"refused name, depth out of range", "ProjectProductName=a/b\nProjectSystemName=S\nProjectVersion=JAV\n"
                                             "MaxDirDepth=999999\n", controls},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        f.writeJavaSettings({"JAV.Step01=Realign,r1,J1", "JAV.Step02=Refine,r2,J2,Chain=post",
                             "JAV.Step03=RelocateDB,gone,J3,\"Rel\",XMLFlag=RelDB", "JAV.Step04=S9,r1,J9",
                             "JAV.Step05=S10,p*,J10", "JAV.Step02.FileLocal=Y"});
        for (const char* p : {"r1", "r2", "post"}) f.addProgram(std::string("JAVVorl/") + p);
        const std::string project = f.writeFile(
            "work/p.srd", "StreamToIni.FileFormat=1\n[Properties]\n" + c.properties +
                              "[Konyec szkazki]\n[Form - frmKorvaneMain]\n" + c.controls);
        // As the batch mode starts: the scanner picker names no program.
        TfrmKorvaneMain& w = f.start({"-proj", project}, false);
        w.FrameFindexecScanner->SetFieldText("");
        w.runFirstShow();
        ProjectRunInputs in;
        in.projectFile = project;
        in.settings = &w.language()->settings();
        in.toolRoot = w.toolRoot();
        in.runControl = w.language()->runControl();
        ProjectRunSetup read;
        ReadProjectRunSetup(in, read);
        const RunSetup shown = RunSetupFromWindow(w);
        QCOMPARE(read.setup.steps.size(), shown.steps.size());
        for (size_t i = 0; i < shown.steps.size(); ++i) {
            const RunStep& a = read.setup.steps[i];
            const RunStep& b = shown.steps[i];
            QVERIFY2(a == b, (std::string(c.what) + ": row " + b.name + " read " + a.name + (a.checked ? " on " : " off ") +
                              a.programPath + " " + a.parameterName + (a.shown ? " shown" : "") + ", shown " +
                              (b.checked ? "on " : "off ") + b.programPath + " " + b.parameterName +
                              (b.shown ? " shown" : "")).c_str());
        }
        QVERIFY2(read.setup == shown, c.what);
        // Not two defaults alike: the one file-local step is carried.
        std::vector<std::string> fileLocal;
        for (const RunStep& s : shown.steps)
            if (s.fileLocal) fileLocal.push_back(s.name);
        QCOMPARE(fileLocal, std::vector<std::string>{"Refine"});
        QVERIFY(read.model.controlTags.entries() == w.wordLists()->controlTags().entries());
        QCOMPARE(read.model.controlTags.tag(), w.wordLists()->controlTags().tag());
        QVERIFY(read.model.objects.entries() == w.wordLists()->objects().entries());
    }
}

// The window's sizes as the toolkit's test main sets them up: 96 dots per inch.
class Use96Dpi : public korvane::testing::QtTestEnvironment {
public:
    void AfterApplication(QApplication& app) override { app.setAttribute(Qt::AA_Use96Dpi, true); }
};
KORVANE_QT_TEST_ENVIRONMENT(Use96Dpi);
KORVANE_QT_TEST(MainWindowTest);
#include "main_window_gui_test.moc"

// Locating DOSBox through the window's start: the places searched first, the
// DOSBox location of the tool settings, the open-file dialog whose choice is
// written into the tool settings file, and the dialog cancelled. The places
// searched first are given to the window, so the DOSBox installed on the
// machine (if any) never takes part; the "DOSBox" programs are small scripts.

#include <QAction>
#include <QPlainTextEdit>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shared/platform/dosbox_places.h"
#include "shell/app/language_controller.h"
#include "shell/testing/shell_fixture.h"
#include "shell/ui/action_list.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using korvane::testing::ShellFixture;
using korvane::testing::Str;

namespace {

using Lines = std::vector<std::string>;

const char* kDialogTitle = "Please locate DOSBox-0.74\\DOSBox.exe manually";
const char* kCancelledWarning = "DOSBox-0.74\\DOSBox.exe file search cancelled";

// Tool settings of a Java language with DOSBox in use; more lines after the
// UseDOSBox line, so that "directly after it" is not "at the end".
Lines DosSettings(const Lines& locationLines = {}) {
    Lines lines = {"[Languages]",
                   "DefaultLanguage=JAV",
                   "JAV=Java,JAV,\"\"",
                   "JAV.Copy=.jcp",
                   "JAV.Filter=Java sources (*.java)|*.java",
                   "[Runcontrol]",
                   "Runcontrol.UseDOSBox=Y",
                   "Runcontrol.Blindrun=Y",
                   "Runcontrol.CaptureLog=Y"};
    lines.insert(lines.end(), locationLines.begin(), locationLines.end());
    return lines;
}

// A "dosbox" that notes how it was called in <root>/dosbox.log and, like the
// real one asked to, writes DOSBox.config into its working directory.
std::string AddFakeDosBox(ShellFixture& f, const std::string& relativePath) {
    const std::string path = f.writeFile(relativePath, "#!/bin/sh\n"
                                                       "echo \"$0\" >> '" + f.root() + "/dosbox.log'\n"
                                                       "printf '[autoexec]\\r\\n' > DOSBox.config\n");
    chmod(path.c_str(), 0755);
    return path;
}

// A file's lines, each followed by "\n" (line ends of any kind).
std::string FileBytes(const std::string& path) {
    std::string bytes;
    for (const std::string& line : ReadTextLines(path)) bytes += line + "\n";
    return bytes;
}

// The window built, the places given, then its first show (which locates
// DOSBox); every status bar report is kept as kind + ": " + text.
struct LocatingShell {
    LocatingShell(ShellFixture& f, Lines places) : w(f.start({}, false)) {
        w.language()->setDOSBoxPlaces([places = std::move(places)] { return places; });
        w.statusBar().OnReport = [this](const char* kind, const std::string& text) {
            reports.push_back(std::string(kind) + ": " + text);
        };
        w.show();
        w.runFirstShow();
    }
    const RunControlState& rc() { return w.language()->runControl(); }
    bool reported(const std::string& text) const {
        return std::find(reports.begin(), reports.end(), text) != reports.end();
    }
    bool anyDOSBoxReport() const {
        return std::any_of(reports.begin(), reports.end(),
                           [](const std::string& r) { return r.find("DOSBox") != std::string::npos; });
    }

    TfrmKorvaneMain& w;
    Lines reports;
};

}  // namespace

class DOSBoxLocatorTest : public QObject {
    Q_OBJECT
private slots:
    void placesOnTheSearchPath();
    void foundOnTheSearchPathFirst();
    void foundThroughTheLocationSetting();
    void chosenInTheDialog();
    void dialogCancelled();
};

void DOSBoxLocatorTest::placesOnTheSearchPath() {
    struct Case {
        std::string searchPath;
        Lines places;
    } cases[] = {
        {"", {"/usr/bin/dosbox"}},
        {"/opt/a", {"/opt/a/dosbox", "/usr/bin/dosbox"}},
        {"/opt/a::/opt/b/:", {"/opt/a/dosbox", "/opt/b/dosbox", "/usr/bin/dosbox"}},
        {":/usr/bin", {"/usr/bin/dosbox", "/usr/bin/dosbox"}},
    };
    for (const Case& c : cases) QCOMPARE(DOSBoxPlacesOnSearchPath(c.searchPath), c.places);
}

void DOSBoxLocatorTest::foundOnTheSearchPathFirst() {
    ShellFixture f;
    // An empty folder, a "dosbox" that is no program, then two programs: the
    // first program wins, and the location setting is not even looked at.
    f.writeFile("plain/dosbox", "not a program\n");
    const std::string first = AddFakeDosBox(f, "first/dosbox");
    AddFakeDosBox(f, "second/dosbox");
    const std::string elsewhere = AddFakeDosBox(f, "elsewhere/dosbox");
    f.writeSettings(DosSettings({"Runcontrol.DOSBoxLocation=" + elsewhere}));
    const std::string settingsBefore = FileBytes(f.settingsPath());
    const std::string r = f.root();
    LocatingShell s(f, DOSBoxPlacesOnSearchPath(r + "/none:" + r + "/plain:" + r + "/first:" + r + "/second"));

    QCOMPARE(s.rc().dosboxPath, first);
    QVERIFY(s.rc().dosboxReady);
    QCOMPARE(s.rc().dosboxConfig, r + "/_Korvane.Src/DOSBox.config");
    QCOMPARE(ReadTextLines(r + "/dosbox.log"), Lines{first});
    QVERIFY(f.dialogs.Calls().empty());
    QVERIFY(!s.anyDOSBoxReport());
    QCOMPARE(FileBytes(f.settingsPath()), settingsBefore);
    // Ready: the tools run in DOSBox's window, uncaptured.
    QVERIFY(!s.rc().blindRun);
    QVERIFY(!s.rc().captureLog);
}

void DOSBoxLocatorTest::foundThroughTheLocationSetting() {
    struct Case {
        const char* name;
        bool programThere;
    } cases[] = {{"named program there", true}, {"named program missing", false}};
    for (const Case& c : cases) {
        ShellFixture f;
        const std::string r = f.root();
        f.writeFile("plain/dosbox", "not a program\n");
        const std::string named =
            c.programThere ? AddFakeDosBox(f, "opt/DOSBox-0.74/dosbox") : r + "/opt/DOSBox-0.74/dosbox";
        f.writeSettings(DosSettings({"Runcontrol.DOSBoxLocation=" + named}));
        const std::string settingsBefore = FileBytes(f.settingsPath());
        LocatingShell s(f, {r + "/nowhere/dosbox", r + "/plain/dosbox"});

        // A location is given, so nobody is asked, whether or not it holds a file.
        QVERIFY2(f.dialogs.Calls().empty(), c.name);
        QVERIFY2(!s.anyDOSBoxReport(), c.name);
        QCOMPARE(FileBytes(f.settingsPath()), settingsBefore);
        if (c.programThere) {
            QCOMPARE(s.rc().dosboxPath, named);
            QVERIFY2(s.rc().dosboxReady, c.name);
            QCOMPARE(ReadTextLines(r + "/dosbox.log"), Lines{named});
            QVERIFY2(!s.rc().blindRun, c.name);
        } else {
            // A path that names no file leaves DOSBox unready, silently.
            QVERIFY2(s.rc().dosboxPath.empty(), c.name);
            QVERIFY2(!s.rc().dosboxReady, c.name);
            QVERIFY2(!FileExists(r + "/_Korvane.Src/DOSBox.config"), c.name);
            QVERIFY2(s.rc().blindRun, c.name);
            QVERIFY2(s.rc().captureLog, c.name);
        }
    }
}

void DOSBoxLocatorTest::chosenInTheDialog() {
    ShellFixture f;
    const std::string r = f.root();
    const std::string chosen = AddFakeDosBox(f, "apps/dosbox-0.74/dosbox");
    const Lines original = DosSettings({"Runcontrol.DeleteAfter=N"});
    f.writeSettings(original);
    // A second name of the file as it was: an atomic replacement leaves it
    // alone, a write into the file would change it too.
    const std::string before = r + "/Korvane.INI.before";
    QVERIFY(link(f.settingsPath().c_str(), before.c_str()) == 0);
    const std::string beforeBytes = FileBytes(before);
    f.dialogs.AnswerPath(chosen);
    LocatingShell s(f, {r + "/nowhere/dosbox"});

    // Asked once, with the DOSBox title, for an existing file.
    QCOMPARE(f.dialogs.Calls().size(), size_t(1));
    const ScriptedDialogs::Call& call = f.dialogs.Calls().front();
    QCOMPARE(call.what, std::string("OpenFiles"));
    QCOMPARE(call.text, std::string(kDialogTitle));
    QCOMPARE(call.file.fileName, std::string("dosbox"));
    QVERIFY(call.file.mustExist);
    QVERIFY(!call.file.multiSelect);

    // The file: the location line directly after the UseDOSBox line, and the
    // write's "Date Written" stamp as the second line.
    Lines written = ReadTextLines(f.settingsPath());
    QVERIFY(written.size() > 1);
    QVERIFY2(written[1].rfind("Date Written=", 0) == 0, written[1].c_str());
    written.erase(written.begin() + 1);
    Lines expected = original;
    const auto use = std::find(expected.begin(), expected.end(), "Runcontrol.UseDOSBox=Y");
    expected.insert(use + 1, "Runcontrol.DOSBoxLocation=" + chosen);
    QCOMPARE(written, expected);
    QCOMPARE(FileBytes(before), beforeBytes);
    // Read back: the text in use and on the technical page is the file's.
    QCOMPARE(s.w.language()->settings().lines(), ReadTextLines(f.settingsPath()));
    QCOMPARE(Str(s.w.MemoToolDefaultValues->toPlainText()) + "\n", FileBytes(f.settingsPath()));

    // The choice is the DOSBox in use; it wrote its base configuration.
    QCOMPARE(s.rc().dosboxPath, chosen);
    QVERIFY(s.rc().dosboxReady);
    QCOMPARE(ReadTextLines(r + "/dosbox.log"), Lines{chosen});
    QVERIFY(!s.rc().blindRun);
    QVERIFY(!s.w.actions()[ActionId::ViewConsoleLog]->isVisible());
    QVERIFY(!s.anyDOSBoxReport());

    // The next start finds it through the setting, without asking.
    f.destroyWindow();
    f.dialogs.ClearCalls();
    DeleteFile(r + "/_Korvane.Src/DOSBox.config");
    LocatingShell again(f, {r + "/nowhere/dosbox"});
    QVERIFY(f.dialogs.Calls().empty());
    QCOMPARE(again.rc().dosboxPath, chosen);
    QVERIFY(again.rc().dosboxReady);
}

void DOSBoxLocatorTest::dialogCancelled() {
    ShellFixture f;
    const std::string r = f.root();
    f.writeFile("plain/dosbox", "not a program\n");
    f.writeSettings(DosSettings());
    const std::string settingsBefore = FileBytes(f.settingsPath());
    f.dialogs.AnswerCancel();
    LocatingShell s(f, {r + "/nowhere/dosbox", r + "/plain/dosbox"});

    QCOMPARE(f.dialogs.Calls().size(), size_t(1));
    QCOMPARE(f.dialogs.Calls().front().text, std::string(kDialogTitle));
    QVERIFY2(s.reported(std::string("Warning: ") + kCancelledWarning), JoinLinesCrLf(s.reports).c_str());
    QCOMPARE(FileBytes(f.settingsPath()), settingsBefore);
    QVERIFY(!s.rc().dosboxReady);
    QVERIFY(s.rc().dosboxPath.empty());
    QVERIFY(!FileExists(r + "/_Korvane.Src/DOSBox.config"));
    // Unready: the switches keep their values.
    QVERIFY(s.rc().blindRun);
    QVERIFY(s.rc().captureLog);
    QVERIFY(s.w.actions()[ActionId::ViewConsoleLog]->isVisible());
}

KORVANE_QT_TEST(DOSBoxLocatorTest);

#include "dosbox_locator_gui_test.moc"

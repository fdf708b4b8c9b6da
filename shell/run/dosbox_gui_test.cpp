// DOSBox through the window: locating it and its configuration run at start
// and by "Apply INI file settings"; and a chain of a DOS step, run inside the
// real DOSBox (DOSSTEP.COM from tools/dos), and a native step, run by
// "korvane -proj ... -batch run" without a display. (How the engine starts a
// DOS step: the engine's tests; DOSSTEP.COM by hand: dosbox_run_test.cpp.)
// Skipped where dosbox is not installed (and the run where DOSSTEP.COM was
// not built).

#include <QAction>
#include <QPlainTextEdit>
#include <QtTest>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>

#include "shared/env.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_file.h"
#include "shell/project/window_form_adapter.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

using Lines = std::vector<std::string>;

// The DOSBox the shell finds first: "dosbox" on the PATH, else Debian's.
std::string InstalledDosBox() {
    std::string path = GetEnvVar("PATH");
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string candidate = JoinPath(path.substr(start, end - start), "dosbox");
        if (end > start && ExecutableKind(candidate) != ExecKind::None) return candidate;
        start = end + 1;
    }
    return ExecutableKind("/usr/bin/dosbox") != ExecKind::None ? "/usr/bin/dosbox" : "";
}

// Sets a variable of the environment (value), or takes it out (nullptr),
// for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name), had_(std::getenv(name) != nullptr) {
        if (had_) saved_ = std::getenv(name);
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, saved_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string saved_;
};

// Puts a folder in front of the PATH for one test.
struct PathInFront : ScopedEnv {
    explicit PathInFront(const std::string& dir) : ScopedEnv("PATH", (dir + ":" + GetEnvVar("PATH")).c_str()) {}
};

// The fake's line: notes its working directory and arguments in its log,
// and ends at once without writing anything.
#define kFakeLine \
    "{ printf '%s|' \"$PWD\"; for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo; } >> '@LOG@'\nexit 0\n"

const Lines kRunControl = {"[Runcontrol]", "Runcontrol.UseDOSBox=Y", "Runcontrol.Blindrun=Y",
                           "Runcontrol.CaptureLog=Y", "Runcontrol.DeleteAfter=Y"};

// Tool settings of a Java language with the given steps, DOSBox in use.
Lines DosSettings(const Lines& steps, const Lines& runControl = kRunControl) {
    Lines lines = {"[Languages]",
                   "DefaultLanguage=JAV",
                   "JAV=Java,JAV,\"\"",
                   "JAV.Copy=.jcp",
                   "JAV.OuputExtension=.java",
                   "JAV.Filter=Java sources (*.java)|*.java"};
    lines.insert(lines.end(), steps.begin(), steps.end());
    lines.insert(lines.end(), runControl.begin(), runControl.end());
    return lines;
}

}  // namespace

class DosBoxGuiTest : public QObject {
    Q_OBJECT
private slots:
    void locatingDOSBox();
    void batchRunWithoutDisplay();
};

void DosBoxGuiTest::locatingDOSBox() {
    // At start and at every "Apply INI file settings": the DOSBox found
    // first (the installed one, or a fake put in front of the PATH) has
    // its base configuration written by a run in the settings folder,
    // unless one is there. Ready, DOSBox turns blind running and console
    // capture off; not ready, the switches keep their values.
    struct Case {
        const char* what;
        const char* fake;  // the fake "dosbox" script after its #! line; nullptr: the installed one
        bool baseThere;
        bool ready;
        int configRuns;  // by the fake, counted in its log: at start, and after one Apply
    } cases[] = {
        {"the installed DOSBox", nullptr, false, true, 0},
        {"a DOSBox that writes nothing", "/bin/sh\n" kFakeLine, false, false, 2},
        {"a DOSBox that cannot start", "/nonexistent/interpreter\n", false, false, 0},
        {"a base configuration already there", "/bin/sh\n" kFakeLine, true, true, 0},
    };
    for (const Case& c : cases) {
        if (!c.fake && InstalledDosBox().empty()) {
            qInfo("dosbox is not installed: %s is skipped", c.what);
            continue;
        }
        ShellFixture f;
        const std::string log = f.root() + "/fake.log";
        std::string fake;
        if (c.fake) {
            fake = f.writeFile("fakebin/dosbox", "#!" + ReplaceAll(c.fake, "@LOG@", log));
            chmod(fake.c_str(), 0755);
        }
        PathInFront path(f.root() + "/fakebin");
        const std::string base = f.root() + "/_Korvane.Src/DOSBox.config";
        if (c.baseThere) f.writeFile("_Korvane.Src/DOSBox.config", "[cpu]\r\ncycles=auto\r\n");
        f.writeSettings(DosSettings({}));
        TfrmKorvaneMain& w = f.start();
        const RunControlState& rc = w.language()->runControl();
        QVERIFY2(rc.dosboxReady == c.ready, c.what);
        QVERIFY2(FileExists(base) == c.ready, c.what);
        QVERIFY2(rc.blindRun == !c.ready && rc.captureLog == !c.ready && rc.deleteAfter, c.what);
        QVERIFY2(w.actions()[ActionId::ViewConsoleLog]->isVisible() == !c.ready, c.what);
        if (c.ready) {
            QCOMPARE(rc.dosboxPath, c.fake ? fake : InstalledDosBox());
            QCOMPARE(rc.dosboxConfig, base);
        }
        if (!c.fake) {
            // DOSBox's own configuration; its home is the test's.
            const Lines lines = ReadTextLines(base);
            QVERIFY(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return SameText(l, "[autoexec]"); }));
            QVERIFY(DirectoryExists(f.root() + "/home/.dosbox"));
        }
        // Ready stays ready while DOSBox is in use, even when the base is gone;
        // not ready, every evaluation tries again.
        if (c.ready) DeleteFile(base);
        w.actions().execute(ActionId::ApplyIni);
        QVERIFY2(rc.dosboxReady == c.ready && !FileExists(base), c.what);
        const std::string run = f.root() + "/_Korvane.Src|[-c][ CONFIG -writeconf DOSBox.config][-noconsole][-c][exit]";
        QCOMPARE(FileExists(log) ? ReadTextLines(log) : Lines{}, Lines(size_t(c.configRuns), run));

        // Not in use: nothing of DOSBox is kept, and the switches count again.
        Lines off = DosSettings({}, {"[Runcontrol]", "Runcontrol.UseDOSBox=N", "Runcontrol.Blindrun=Y",
                                     "Runcontrol.CaptureLog=Y"});
        w.MemoToolDefaultValues->setPlainText(QString::fromUtf8(JoinLinesCrLf(off)));
        w.actions().execute(ActionId::ApplyIni);
        QVERIFY2(!rc.dosboxReady && rc.dosboxPath.empty() && rc.dosboxConfig.empty(), c.what);
        QVERIFY2(rc.blindRun && rc.captureLog && w.actions()[ActionId::ViewConsoleLog]->isVisible(), c.what);
    }
}

void DosBoxGuiTest::batchRunWithoutDisplay() {
    // A chain of a DOS step (DOSSTEP.COM in a tool folder with a blank, run
    // inside the real DOSBox) and a native step (korvane-step), run by the
    // batch mode without a display.
    if (InstalledDosBox().empty()) QSKIP("dosbox is not installed");
    if (!FileExists(KORVANE_DOSSTEP_PROGRAM)) QSKIP(KORVANE_DOSSTEP_PROGRAM " was not built (nasm missing)");
    RunFixture f;
    ForceDirectories(f.binDir() + "/JAVVorl/dos tools");
    CopyFileReplace(KORVANE_DOSSTEP_PROGRAM, f.binDir() + "/JAVVorl/dos tools/DOSSTEP.COM");
    LinkProgram(KORVANE_STEP_PROGRAM, f.binDir() + "/JAVVorl/refine");
    f.writeFile("bin/JAVVorl/refine.step", "Step=Refine\nResultExtension=JV2\n");
    // Result extensions in upper case: DOS writes its file names so.
    f.writeSettings(DosSettings({"JAV.Step01=Realign,\"dos tools/DOSSTEP.COM\",DS1", "JAV.Step02=Refine,refine,JV2"}));
    const std::string one = f.addSource("a/One.java", "class One {\r\n}\r\n");
    const std::string two = f.addSource("b/Two.java", "class Two {\r\n}\r\n");
    TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}}, "Prod", "SYS");
    const std::string project = f.root() + "/Dos.srd";
    WindowFormAdapter form(w);
    SaveProjectFile(project, form, w.project()->properties());
    f.destroyWindow();
    // The batch run locates DOSBox again and has it write the base anew.
    DeleteFile(f.root() + "/_Korvane.Src/DOSBox.config");
    LinkProgram(KORVANE_PROGRAM, f.programPath());

    // The DOSBox found first notes the SDL drivers it is given, then becomes
    // the real one.
    const std::string drivers = f.root() + "/drivers.log";
    const std::string wrapper = f.writeFile("wrapbin/dosbox", "#!/bin/sh\necho \"$SDL_VIDEODRIVER/$SDL_AUDIODRIVER\" >> '" +
                                                                  drivers + "'\nexec '" + InstalledDosBox() + "' \"$@\"\n");
    chmod(wrapper.c_str(), 0755);
    PathInFront path(f.root() + "/wrapbin");
    // No display and no SDL choice: korvane itself sends DOSBox to SDL's
    // dummy drivers.
    ScopedEnv display("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr), video("SDL_VIDEODRIVER", nullptr),
        audio("SDL_AUDIODRIVER", nullptr), platform("QT_QPA_PLATFORM", nullptr);
    ToolProcess korvane;
    ToolStartOptions options;
    options.captureFile = f.root() + "/batch.out";
    std::string error;
    QVERIFY2(korvane.StartArgs({f.programPath(), "-proj", project, "-batch", "run"}, f.root(), options, error),
             error.c_str());
    const bool ended = korvane.WaitFor(120000);
    if (!ended) korvane.Kill(error);
    korvane.Reap();
    const std::string printed = ReadBytes(f.root() + "/batch.out");
    QVERIFY2(ended, printed.c_str());
    QVERIFY2(WIFEXITED(korvane.WaitStatus()) && WEXITSTATUS(korvane.WaitStatus()) == 0, printed.c_str());
    QVERIFY2(printed.find("Processing finished") != std::string::npos, printed.c_str());
    QVERIFY(FileExists(f.root() + "/_Korvane.Src/DOSBox.config"));
    // The configuration run and the DOS step.
    QCOMPARE(ReadTextLines(drivers), (Lines{"dummy/dummy", "dummy/dummy"}));
    const std::string out = f.outputDir();
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string("class One {\r\n}\r\n"));
    QCOMPARE(ReadBytes(out + "/b/Two.java"), std::string("class Two {\r\n}\r\n"));
    QCOMPARE(ReadTextLines(out + "/SYS.log"),
             (Lines{"DOSSTEP FIL0000 -> FIL0000.DS1", "DOSSTEP FIL0001 -> FIL0001.DS1",
                    "Refine FIL0000 -> FIL0000.JV2", "Refine FIL0001 -> FIL0001.JV2"}));
    // The run configuration of the DOS step stays; with DOSBox no console is captured.
    const Lines config = ReadTextLines(out + "/DOSBox.config");
    QVERIFY(std::find(config.begin(), config.end(), "mount c: \"" + f.binDir() + "/JAVVorl/dos tools/\"") != config.end());
    QVERIFY(!PathExists(out + "/Console.log"));
}

// DOSBox started by the tests opens no window and plays no sound.
class SilentDOSBox : public korvane::testing::QtTestEnvironment {
public:
    void BeforeApplication() override {
        korvane::SetEnvVar("SDL_VIDEODRIVER", "dummy");
        korvane::SetEnvVar("SDL_AUDIODRIVER", "dummy");
    }
};
KORVANE_QT_TEST_ENVIRONMENT(SilentDOSBox);
KORVANE_QT_TEST(DosBoxGuiTest);

#include "dosbox_gui_test.moc"

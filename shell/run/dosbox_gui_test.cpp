// DOSBox through the window: locating it and its configuration run at start
// and by "Apply INI file settings", and whole runs whose DOS steps run inside
// the real DOSBox (DOSSTEP.COM from tools/dos): a chain of a DOS step and a
// native step, a DOS program in a folder with a blank, a missing DOS
// program, a DOSBox that never ends, cancelled like any tool, and the same
// chain run by "korvane -proj ... -batch run" without a display.
// Skipped where dosbox is not installed (and the runs where DOSSTEP.COM was
// not built).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QThread>
#include <QtTest>

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>

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
#include "shell/run/run_engine.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/my_status_bar.h"
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

#define REQUIRE_DOSBOX()                                                 \
    do {                                                                 \
        if (InstalledDosBox().empty()) QSKIP("dosbox is not installed"); \
    } while (0)

#define REQUIRE_DOSSTEP()                                                                        \
    do {                                                                                         \
        REQUIRE_DOSBOX();                                                                        \
        if (!FileExists(KORVANE_DOSSTEP_PROGRAM))                                                \
            QSKIP(KORVANE_DOSSTEP_PROGRAM " was not built (nasm missing)");                      \
    } while (0)

bool Contains(const Lines& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

// Puts a folder in front of the PATH for one test.
class PathInFront {
public:
    explicit PathInFront(const std::string& dir) : saved_(GetEnvVar("PATH")) {
        setenv("PATH", (dir + ":" + saved_).c_str(), 1);
    }
    ~PathInFront() { setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

// A "dosbox" that notes its working directory and arguments in log and
// ends at once without writing anything.
std::string AddFakeDosBox(ShellFixture& f, const std::string& log) {
    std::string fake = f.writeFile("fakebin/dosbox",
                                   "#!/bin/sh\n"
                                   "{ printf '%s|' \"$PWD\"; for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo; } >> '" +
                                       log + "'\nexit 0\n");
    chmod(fake.c_str(), 0755);
    return fake;
}

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

// DOSSTEP.COM at <bin>/JAVVorl/<relative>.
std::string PlaceDosStep(ShellFixture& f, const std::string& relative) {
    std::string target = f.binDir() + "/JAVVorl/" + relative;
    ForceDirectories(ExtractFileDir(target));
    CopyFileReplace(KORVANE_DOSSTEP_PROGRAM, target);
    return target;
}

// korvane-step as the native program <bin>/JAVVorl/<name> of a step.
void PlaceNativeStep(ShellFixture& f, const std::string& name, const std::string& step, const std::string& ext) {
    LinkProgram(KORVANE_STEP_PROGRAM, f.binDir() + "/JAVVorl/" + name);
    f.writeFile("bin/JAVVorl/" + name + ".step", "Step=" + step + "\nResultExtension=" + ext + "\n");
}

std::string Bytes(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char((i * 13 + i / 241) & 0xFF);
    return s;
}

// Takes a variable out of the environment for one test.
class Unset {
public:
    explicit Unset(const char* name) : name_(name), had_(std::getenv(name) != nullptr) {
        if (had_) value_ = std::getenv(name);
        unsetenv(name);
    }
    ~Unset() {
        if (had_) setenv(name_, value_.c_str(), 1);
    }

private:
    const char* name_;
    bool had_;
    std::string value_;
};

bool ProcessGone(long pid) { return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

class DosBoxGuiTest : public QObject {
    Q_OBJECT
private slots:
    void configurationRunMakesDOSBoxReady();
    void dosboxThatWritesNothingStaysUnready();
    void dosboxThatCannotStartStaysUnready();
    void existingBaseConfigurationNeedsNoRun();
    void chainOfDosAndNativeStep();
    void dosProgramInFolderWithBlank();
    void missingDosProgram();
    void hangingDosBoxIsCancelled();
    void batchRunWithoutDisplay();
};

void DosBoxGuiTest::configurationRunMakesDOSBoxReady() {
    REQUIRE_DOSBOX();
    ShellFixture f;
    f.writeSettings(DosSettings({}));
    TfrmKorvaneMain& w = f.start();
    const std::string base = f.root() + "/_Korvane.Src/DOSBox.config";
    const RunControlState& rc = w.language()->runControl();
    QVERIFY(rc.dosboxReady);
    QCOMPARE(rc.dosboxPath, InstalledDosBox());
    QCOMPARE(rc.dosboxConfig, base);
    // DOSBox's own configuration, written by the run in the settings folder;
    // its home is the test's.
    const Lines lines = ReadTextLines(base);
    QVERIFY(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return SameText(l, "[autoexec]"); }));
    QVERIFY(DirectoryExists(f.root() + "/home/.dosbox"));
    // Blind running and console capture are off with DOSBox; clean-up is not.
    QVERIFY(!rc.blindRun);
    QVERIFY(!rc.captureLog);
    QVERIFY(rc.deleteAfter);
    QVERIFY(!w.actions()[ActionId::ViewConsoleLog]->isVisible());

    // Ready stays ready while DOSBox is in use, even when the base is gone.
    DeleteFile(base);
    w.actions().execute(ActionId::ApplyIni);
    QVERIFY(rc.dosboxReady);
    QVERIFY(!FileExists(base));

    // Not in use: nothing of DOSBox is kept, and the switches count again.
    Lines off = DosSettings({}, {"[Runcontrol]", "Runcontrol.UseDOSBox=N", "Runcontrol.Blindrun=Y",
                                 "Runcontrol.CaptureLog=Y"});
    w.MemoToolDefaultValues->setPlainText(QString::fromUtf8(JoinLinesCrLf(off)));
    w.actions().execute(ActionId::ApplyIni);
    QVERIFY(!rc.dosboxReady);
    QVERIFY(rc.dosboxPath.empty());
    QVERIFY(rc.dosboxConfig.empty());
    QVERIFY(rc.blindRun);
    QVERIFY(rc.captureLog);
    QVERIFY(w.actions()[ActionId::ViewConsoleLog]->isVisible());
}

void DosBoxGuiTest::dosboxThatWritesNothingStaysUnready() {
    ShellFixture f;
    const std::string log = f.root() + "/fake.log";
    AddFakeDosBox(f, log);
    PathInFront path(f.root() + "/fakebin");
    f.writeSettings(DosSettings({}));
    QElapsedTimer timer;
    timer.start();
    TfrmKorvaneMain& w = f.start();
    const RunControlState& rc = w.language()->runControl();
    QVERIFY(!rc.dosboxReady);
    QVERIFY(!FileExists(f.root() + "/_Korvane.Src/DOSBox.config"));
    // Not ready: the switches keep their values.
    QVERIFY(rc.blindRun);
    QVERIFY(rc.captureLog);
    QVERIFY(w.actions()[ActionId::ViewConsoleLog]->isVisible());
    // The configuration run: in the settings folder, with its own arguments.
    const std::string run =
        f.root() + "/_Korvane.Src|[-c][ CONFIG -writeconf DOSBox.config][-noconsole][-c][exit]";
    QCOMPARE(ReadTextLines(log), Lines{run});
    // Every evaluation tries again while DOSBox is not ready.
    w.actions().execute(ActionId::ApplyIni);
    QCOMPARE(ReadTextLines(log), (Lines{run, run}));
    QVERIFY(!rc.dosboxReady);
    QVERIFY(timer.elapsed() < 30000);
}

void DosBoxGuiTest::dosboxThatCannotStartStaysUnready() {
    ShellFixture f;
    // Looks like a program, but its interpreter does not exist.
    const std::string fake = f.writeFile("fakebin/dosbox", "#!/nonexistent/interpreter\n");
    chmod(fake.c_str(), 0755);
    PathInFront path(f.root() + "/fakebin");
    f.writeSettings(DosSettings({}));
    TfrmKorvaneMain& w = f.start();
    const RunControlState& rc = w.language()->runControl();
    QVERIFY(!rc.dosboxReady);
    QVERIFY(rc.blindRun);
    QVERIFY(!FileExists(f.root() + "/_Korvane.Src/DOSBox.config"));
}

void DosBoxGuiTest::existingBaseConfigurationNeedsNoRun() {
    ShellFixture f;
    const std::string log = f.root() + "/fake.log";
    const std::string fake = AddFakeDosBox(f, log);
    PathInFront path(f.root() + "/fakebin");
    f.writeFile("_Korvane.Src/DOSBox.config", "[cpu]\r\ncycles=auto\r\n");
    f.writeSettings(DosSettings({}));
    TfrmKorvaneMain& w = f.start();
    const RunControlState& rc = w.language()->runControl();
    QVERIFY(rc.dosboxReady);
    QCOMPARE(rc.dosboxPath, fake);
    QVERIFY(!FileExists(log));
    QVERIFY(!rc.blindRun);
}

void DosBoxGuiTest::chainOfDosAndNativeStep() {
    REQUIRE_DOSSTEP();
    RunFixture f;
    PlaceDosStep(f, "DOSSTEP.COM");
    PlaceNativeStep(f, "refine", "Refine", "JV2");
    // Result extensions in upper case: DOS writes its file names so.
    f.writeSettings(DosSettings({"JAV.Step01=Realign,DOSSTEP.COM,DS1", "JAV.Step02=Refine,refine,JV2"}));
    const std::string one = f.addSource("a/One.java", "class One {\r\n}\r\n");
    const std::string big = Bytes(150000);
    const std::string two = f.addSource("Two.java", big);
    const std::string three = f.addSource("Three.java", "class Three {}\r\n");
    TfrmKorvaneMain& w = f.startProject({{one, true}, {three, false}, {two, true}}, "Prod", "SYS");
    QVERIFY(w.language()->runControl().dosboxReady);
    Lines started;
    QObject::connect(&f.run(), &RunEngine::toolStarted, &f.run(),
                     [&](const std::string& program, long) { started.push_back(program); });

    QVERIFY(f.runAndWait());
    QVERIFY2(f.run().FinishedCleanly(), JoinLinesCrLf(f.reports).c_str());
    QCOMPARE(started, (Lines{InstalledDosBox(), f.binDir() + "/JAVVorl/refine"}));
    const std::string out = f.outputDir();
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string("class One {\r\n}\r\n"));
    QVERIFY(ReadBytes(out + "/Two.java") == big);
    QVERIFY(!PathExists(out + "/Three.java"));
    // Both steps wrote into the one log; it became the product log.
    QCOMPARE(ReadTextLines(out + "/SYS.log"),
             (Lines{"DOSSTEP FIL0000 -> FIL0000.DS1", "DOSSTEP FIL0002 -> FIL0002.DS1",
                    "Refine FIL0000 -> FIL0000.JV2", "Refine FIL0002 -> FIL0002.JV2"}));
    // The run configuration of the DOS step stays in the output directory;
    // with DOSBox no console is captured.
    const Lines config = ReadTextLines(out + "/DOSBox.config");
    QVERIFY(config.size() > 6);
    QCOMPARE(Lines(config.end() - 6, config.end()),
             (Lines{"[autoexec]", "mount c: \"" + f.binDir() + "/JAVVorl/\"", "mount x: .", "x:",
                    "c:\\DOSSTEP.COM last.xml", "exit"}));
    QVERIFY(Contains(config, "cycles=max"));
    QVERIFY(!PathExists(out + "/Console.log"));
    QCOMPARE(ChildProcessCount(), 0);
}

void DosBoxGuiTest::dosProgramInFolderWithBlank() {
    REQUIRE_DOSSTEP();
    RunFixture f;
    PlaceDosStep(f, "dos tools/DOSSTEP.COM");
    f.writeSettings(DosSettings({"JAV.Step01=Realign,\"dos tools/DOSSTEP.COM\",DS1"}));
    const std::string one = f.addSource("One.java", "class One {}\r\n");
    const std::string two = f.addSource("b/Two.java", "class Two {}\r\n");
    TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}}, "Prod", "SYS");
    QVERIFY(w.CheckBoxRealign->isChecked());
    QVERIFY(f.runAndWait());
    QVERIFY2(f.run().FinishedCleanly(), JoinLinesCrLf(f.reports).c_str());
    QCOMPARE(ReadBytes(f.outputDir() + "/One.java"), std::string("class One {}\r\n"));
    QCOMPARE(ReadBytes(f.outputDir() + "/b/Two.java"), std::string("class Two {}\r\n"));
    QVERIFY(Contains(ReadTextLines(f.outputDir() + "/DOSBox.config"),
                     "mount c: \"" + f.binDir() + "/JAVVorl/dos tools/\""));
}

void DosBoxGuiTest::missingDosProgram() {
    REQUIRE_DOSSTEP();
    RunFixture f;
    const std::string program = PlaceDosStep(f, "DOSSTEP.COM");
    f.writeSettings(DosSettings({"JAV.Step01=Realign,DOSSTEP.COM,DS1"}));
    const std::string one = f.addSource("One.java", "class One {}\r\n");
    TfrmKorvaneMain& w = f.startProject({{one, true}}, "Prod", "SYS");
    QVERIFY(w.CheckBoxRealign->isChecked());
    int starts = 0;
    QObject::connect(&f.run(), &RunEngine::toolStarted, &f.run(), [&](const std::string&, long) { ++starts; });

    // Gone after the language was applied: the run does not start, and
    // neither DOSBox nor its run configuration comes into play.
    DeleteFile(program);
    QVERIFY(!f.runAndWait());
    QVERIFY(Contains(f.reports, "Failed to start batch processing task"));
    QCOMPARE(starts, 0);
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(!PathExists(f.outputDir() + "/DOSBox.config"));
    QCOMPARE(ChildProcessCount(), 0);
}

void DosBoxGuiTest::hangingDosBoxIsCancelled() {
    REQUIRE_DOSBOX();
    RunFixture f;
    // A DOS program that loops for ever: "jmp $".
    f.writeFile("bin/JAVVorl/HANG.COM", std::string("\xEB\xFE", 2));
    f.writeSettings(DosSettings({"JAV.Step01=Realign,HANG.COM,DS1"}));
    const std::string one = f.addSource("One.java", "class One {}\r\n");
    TfrmKorvaneMain& w = f.startProject({{one, true}}, "Prod", "SYS");
    QVERIFY(w.language()->runControl().dosboxReady);

    w.actions().execute(ActionId::StartConversion);
    QVERIFY(f.run().BatchRunning());
    QVERIFY(RunFixture::waitFor([&] { return f.run().currentToolPid() != 0; }));
    const long pid = f.run().currentToolPid();
    // DOSBox is busy with the program, not ending by itself.
    QTest::qWait(1500);
    QVERIFY(f.run().ToolActive());
    QVERIFY(!ProcessGone(pid));

    f.dialogs.AnswerButton(kYes);
    w.actions().execute(ActionId::CancelRun);
    QVERIFY(RunFixture::waitFor([&] { return !f.run().ToolActive(); }, 10000));
    QVERIFY(!f.run().BatchRunning());
    QVERIFY(Contains(f.reports, "Terminate signalled!"));
    QVERIFY(Contains(f.reports, "Batch process cancelled, renameing, etc..  bypassed"));
    QVERIFY(Contains(f.reports, "Background process cancelled!"));
    QVERIFY(ProcessGone(pid));
    QCOMPARE(ChildProcessCount(), 0);
    // Nothing collected: the work area stays as it was.
    QVERIFY(!PathExists(f.outputDir() + "/One.java"));
    QVERIFY(PathExists(f.outputDir() + "/workinp/FIL0000"));
}

void DosBoxGuiTest::batchRunWithoutDisplay() {
    REQUIRE_DOSSTEP();
    RunFixture f;
    PlaceDosStep(f, "DOSSTEP.COM");
    PlaceNativeStep(f, "refine", "Refine", "JV2");
    f.writeSettings(DosSettings({"JAV.Step01=Realign,DOSSTEP.COM,DS1", "JAV.Step02=Refine,refine,JV2"}));
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
    Unset display("DISPLAY"), wayland("WAYLAND_DISPLAY"), video("SDL_VIDEODRIVER"), audio("SDL_AUDIODRIVER"),
        platform("QT_QPA_PLATFORM");
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

// File systems that refuse writes: a file-size limit (root ignores the
// permission bits, but not the limit) and a tiny tmpfs that is full. The
// faults strike while a run prepares its work area, while it hands over to
// the next step, and while it collects; and whenever the shell writes a file
// that a user would miss. In every case the sources, the earlier project,
// word list and log files stay as they were, no temporary file is left, and
// once the fault is gone the shell works again.

#include <QAction>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

#include <cstdio>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/action_list.h"
#include "shell/app/batch_mode.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_file.h"
#include "shell/project/window_form_adapter.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_fault_test_support.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"
#include "shell/wordlists/word_list_controller.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n}\r\n";
const size_t kTmpfsSize = 4 << 20;

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

bool HasReportStarting(const std::vector<std::string>& list, const std::string& start) {
    for (const std::string& r : list)
        if (r.rfind(start, 0) == 0) return true;
    return false;
}

std::string Lines(const std::string& text, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += text + std::to_string(i) + "\r\n";
    return s;
}

const DiskFault::Kind kKinds[] = {DiskFault::FileSizeLimit, DiskFault::FullDisk};

// The full-disk cases need the private mount namespace of main().
bool Available(DiskFault::Kind kind) {
    if (kind == DiskFault::FullDisk && !PrivateMountsAvailable()) {
        qInfo("no private mount namespace: the full-disk case is skipped");
        return false;
    }
    return true;
}

// A tmpfs on folder (inside the fixture's tree) for the full-disk kind.
std::unique_ptr<ScopedTmpfs> MaybeTmpfs(DiskFault::Kind kind, RunFixture& f, const std::string& folder) {
    if (kind != DiskFault::FullDisk) return nullptr;
    return std::make_unique<ScopedTmpfs>(f.root(), folder, kTmpfsSize);
}

// Texts that ended an operation without a status bar report, while alive.
struct ShownErrors {
    std::vector<std::string> texts;
    ShownErrors() {
        SetErrorSink([this](const std::string& text) { texts.push_back(text); });
    }
    ~ShownErrors() { SetErrorSink(nullptr); }
};

// The test language with a macro table (its scan run is offered), so that
// runs write functab.wrl and word lists can be exported.
void WriteSettings(RunFixture& f, const std::vector<StepEntry>& steps,
                   const std::vector<std::string>& runControl = {}) {
    f.writeRunSettings(steps, runControl, {"JAV.Scan=Y", "JAV.Scanner=jvscan"});
    f.addScanner("jvscan");
}

std::vector<StepEntry> OneStep() { return {{"Realign", "jvrealign", "JRA", "", ""}}; }

// A small source and one of about 80 KB, too big for the limits the
// preparation cases set.
struct SmallAndBigSource {
    std::string one, big, bigText;
};

SmallAndBigSource AddSmallAndBigSource(RunFixture& f) {
    SmallAndBigSource s;
    s.one = f.addSource("a/One.java", kJava);
    s.bigText = Lines("// a long source line ", 3000);
    s.big = f.addSource("b/Big.java", s.bigText);
    return s;
}

// Runs "korvane -proj project -batch run" laid into the fixture's tool
// tree; with limit, under that file-size limit (SIGXFSZ ignored).
BatchResult RunBatch(RunFixture& f, const std::string& project, rlim_t limit = RLIM_INFINITY) {
    std::function<void()> underLimit;
    if (limit != RLIM_INFINITY) {
        underLimit = [limit] {
            signal(SIGXFSZ, SIG_IGN);
            rlimit r;
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = limit;
            setrlimit(RLIMIT_FSIZE, &r);
        };
    }
    return RunBatchProcess(f.programPath(), {"-proj", QString::fromStdString(project), "-batch", "run"}, {},
                           std::move(underLimit));
}

}  // namespace

class RunDiskFaultTest : public QObject {
    Q_OBJECT
private slots:
    void preparationFailsInTheWindow();
    void preparationFailsInBatchMode();
    void parameterFileRewriteFailsDuringRun();
    void collectionFails();
    void filesUsersWouldMissAreReplacedWhole();
};

void RunDiskFaultTest::preparationFailsInTheWindow() {
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        const char* what = DiskFault::name(kind);
        RunFixture f;
        std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, f.outputDir());
        WriteSettings(f, OneStep());
        const auto [one, big, bigText] = AddSmallAndBigSource(f);
        TfrmKorvaneMain& w = f.startProject({{one, true}, {big, false}});
        w.wordLists()->controlTags().add("INPT READ", true);
        const std::string out = f.outputDir();

        // What the output directory holds from earlier: a project file, an
        // exported word list, and the files of a run.
        ForceDirectories(out);
        w.project()->SetProjectDirectory(out + "/Job.srd");
        f.dialogs.AnswerPath(out + "/Job.srd");
        w.actions().execute(ActionId::SaveProject);
        f.dialogs.AnswerPath(out + "/words.wrl");
        w.actions().execute(ActionId::SaveWordList);
        f.dialogs.AnswerButton(kYes);  // a folder of the user's: taken once asked
        QVERIFY2(f.runAndWait(), what);
        QVERIFY2(f.run().FinishedCleanly(), what);
        const std::vector<std::string> kept = {out + "/Job.srd",
                                               out + "/words.wrl",
                                               out + "/functab.wrl",
                                               out + "/Sys.log",
                                               out + "/a/One.java",
                                               one,
                                               big};
        std::vector<std::string> before;
        for (const std::string& path : kept) before.push_back(ReadBytes(path));
        for (size_t i = 0; i < 3; ++i) QVERIFY2(!before[i].empty(), kept[i].c_str());
        QCOMPARE(f.dialogs.PendingAnswers(), size_t(0));

        // The big source does not fit: its copy fails.
        w.CheckListBoxSelectedFiles->checkList().setChecked(1, true);
        DiskFault fault(kind, tmpfs.get(), 16 << 10, 16 << 10);
        fault.arm();
        f.reports.clear();
        w.actions().execute(ActionId::StartConversion);
        fault.disarm();

        QCOMPARE(f.reports,
                 std::vector<std::string>{"Error during preparation - " + big + " - " + fault.errorText()});
        QVERIFY2(!f.run().BatchRunning() && !w.busy() && !f.run().ToolActive(), what);
        QCOMPARE(f.snapshots().size(), size_t(1));             // no tool was started
        QVERIFY2(PathExists(out + "/workinp/FIL0000"), what);  // the copy before it was made
        for (size_t i = 0; i < kept.size(); ++i) QVERIFY2(ReadBytes(kept[i]) == before[i], kept[i].c_str());
        QCOMPARE(LeftoverTempFiles(out), std::vector<std::string>{});

        // With room again the same run goes through.
        f.reports.clear();
        QVERIFY2(f.runAndWait(), what);
        QVERIFY2(f.run().FinishedCleanly(), what);
        QVERIFY2(ReadBytes(out + "/b/Big.java") == bigText, what);
    }
}

void RunDiskFaultTest::preparationFailsInBatchMode() {
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        const char* what = DiskFault::name(kind);
        RunFixture f;
        std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, f.outputDir());
        WriteSettings(f, OneStep());
        const auto [one, big, bigText] = AddSmallAndBigSource(f);
        TfrmKorvaneMain& w = f.startProject({{one, true}, {big, true}});
        const std::string project = f.root() + "/Job.srd";
        WindowFormAdapter form(w);
        SaveProjectFile(project, form, w.project()->properties());
        f.destroyWindow();
        LinkProgram(KORVANE_PROGRAM, f.programPath());
        const std::string projectBytes = ReadBytes(project);

        BatchResult r;
        if (kind == DiskFault::FileSizeLimit) {
            r = RunBatch(f, project, 16 << 10);
        } else {
            DiskFault fault(kind, tmpfs.get(), 0, 16 << 10);
            fault.arm();
            r = RunBatch(f, project);
        }
        const std::string error = SystemErrorText(kind == DiskFault::FileSizeLimit ? EFBIG : ENOSPC);
        QCOMPARE(r.status, kBatchNotStarted);
        QVERIFY2(r.has("Error: Error during preparation - " + big + " - " + error), what);
        QVERIFY2(r.has("Batch: the run could not start"), what);
        QVERIFY2(f.snapshots().empty(), what);
        QVERIFY2(ReadBytes(project) == projectBytes, what);
        QVERIFY2(ReadBytes(one) == kJava && ReadBytes(big) == bigText, what);
        QCOMPARE(LeftoverTempFiles(f.outputDir()), std::vector<std::string>{});

        r = RunBatch(f, project);
        QCOMPARE(r.status, kBatchFinished);
        QVERIFY2(ReadBytes(f.outputDir() + "/b/Big.java") == bigText, what);
        QVERIFY2(ReadBytes(project) == projectBytes, what);
    }
}

void RunDiskFaultTest::parameterFileRewriteFailsDuringRun() {
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        const char* what = DiskFault::name(kind);
        RunFixture f;
        std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, f.outputDir());
        WriteSettings(f, {{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_SLEEP=0.3"},
                          {"Refine", "jvrefine", "JRF", "", ""}});
        const std::string one = f.addSource("a/One.java", kJava);
        TfrmKorvaneMain& w = f.startProject({{one, true}});
        const std::string out = f.outputDir();

        // The fault strikes while the first step runs; the hand-over cannot
        // write the next step's parameter file.
        DiskFault fault(kind, tmpfs.get(), 512, 0);
        w.actions().execute(ActionId::StartConversion);
        QVERIFY2(RunFixture::waitFor([&] { return f.run().currentToolPid() != 0; }), what);
        fault.arm();
        QVERIFY2(RunFixture::waitFor([&] { return f.runsEnded == 1 && !f.run().ToolActive(); }), what);
        QCOMPARE(f.snapshots().size(), size_t(1));
        QVERIFY2(ReadBytes(out + "/last.xml") == ReadBytes(f.snapshotDir() + "/00-jvrealign.xml"), what);
        QCOMPARE(LeftoverTempFiles(out), std::vector<std::string>{});
        // No tool runs, and the run waits to be cancelled.
        QVERIFY2(f.run().BatchRunning() && w.busy(), what);
        QCOMPARE(ChildProcessCount(), 0);
        fault.disarm();
        f.reports.clear();
        f.dialogs.AnswerButton(kYes);
        w.actions().execute(ActionId::CancelRun);
        QCOMPARE(f.reports,
                 (std::vector<std::string>{"Terminate signalled!", "Background process cancelled!"}));
        QVERIFY2(!f.run().BatchRunning() && !w.busy(), what);

        f.reports.clear();
        QVERIFY2(f.runAndWait(), what);
        QVERIFY2(f.run().FinishedCleanly(), what);
        QVERIFY2(ReadBytes(out + "/a/One.java") == kJava, what);
    }
}

void RunDiskFaultTest::collectionFails() {
    // The last step's program: with the fault armed it first notes the run
    // in the tools' log (and, for the side-file case, leaves a big side
    // file), and, for the full disk, fills the disk after its work.
    struct Case {
        const char* what;
        DiskFault::Kind kind;
        rlim_t limit;      // file-size limit while collecting
        bool bigSideFile;  // the side-file target is what cannot be written
    } cases[] = {
        {"product log, file-size limit", DiskFault::FileSizeLimit, 64, false},
        {"product log, full disk", DiskFault::FullDisk, 0, false},
        {"side-file target, file-size limit", DiskFault::FileSizeLimit, 1024, true},
    };
    for (const Case& c : cases) {
        if (!Available(c.kind)) continue;
        RunFixture f;
        std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(c.kind, f, f.outputDir());
        WriteSettings(f, {{"Realign", "jvrealign", "JRA", "", ""},
                          {"Refine", "jvrefine", "JRF", "", ""},
                          {"Restructure", "jvrestruct", "JRS", "", ""}});
        const std::string marker = f.root() + "/fault-armed";
        const std::string workout = f.outputDir() + "/workout";
        std::string before =
            "if [ -e '" + marker + "' ]; then echo 'run with the fault' >> '" + workout + "/Sys.LOG'; ";
        if (c.bigSideFile) before += "head -c 9000 /dev/zero | tr '\\0' x > '" + workout + "/FIL0000.LIT'; ";
        before += "fi";
        std::string after = "if [ -e '" + marker + "' ]; then rm -f '" + marker + "'; ";
        if (c.kind == DiskFault::FullDisk)
            after += "head -c 8388608 /dev/zero > '" + f.outputDir() + "/.fill' 2>/dev/null; ";
        after += "fi";
        f.addProgram("JAVVorl/jvrestruct", "export KORVANE_STEP_SIDEFILES=1\n" + before + "\n'" + f.root() +
                                               "/tools/jvrestruct' \"$@\"\n" + after + "\nexit 0");
        const std::string one = f.addSource("a/One.java", "v1 one\r\n");
        const std::string two = f.addSource("b/Two.java", "v1 two\r\n");
        TfrmKorvaneMain& w = f.startProject({{one, true}, {two, true}});
        const std::string out = f.outputDir();

        // The first run leaves a product log and side-file targets.
        QVERIFY2(f.runAndWait(), c.what);
        QVERIFY2(f.run().FinishedCleanly(), c.what);
        const std::string oldLog = ReadBytes(out + "/Sys.log");
        const std::string oldSide = ReadBytes(out + "/a/One.jcp");
        QVERIFY2(oldLog.find("Restructure FIL0001 -> FIL0001.JRS") != std::string::npos, c.what);
        QVERIFY2(oldSide.find("Restructure literals of FIL0000") != std::string::npos, c.what);

        // The second run, with the fault while it collects.
        f.addSource("a/One.java", "v2 one\r\n");
        f.addSource("b/Two.java", "v2 two\r\n");
        f.writeFile("fault-armed", "");
        DiskFault fault(c.kind, tmpfs.get(), c.limit);
        QMetaObject::Connection armOnLastStep;
        if (c.kind == DiskFault::FileSizeLimit)
            armOnLastStep = QObject::connect(&f.run(), &RunEngine::toolStarted, &f.run(),
                                             [&](const std::string& program, long) {
                                                 if (program.find("jvrestruct") != std::string::npos)
                                                     fault.arm();
                                             });
        f.reports.clear();
        w.actions().execute(ActionId::StartConversion);
        QVERIFY2(RunFixture::waitFor([&] { return f.runsEnded == 2 && !f.run().ToolActive(); }), c.what);
        QObject::disconnect(armOnLastStep);

        // The run is over, without "Processing finished"; nothing was lost.
        QVERIFY2(!f.run().BatchRunning() && !w.busy(), c.what);
        QVERIFY2(!f.run().FinishedCleanly() && !Contains(f.reports, "Processing finished"), c.what);
        QCOMPARE(LeftoverTempFiles(out), std::vector<std::string>{});
        QCOMPARE(LeftoverTempFiles(out + "/a"), std::vector<std::string>{});
        if (!c.bigSideFile) {
            // The earlier product log and results stay; this run's log and
            // results wait in the work area.
            QVERIFY2(ReadBytes(out + "/Sys.log") == oldLog, c.what);
            QVERIFY2(ReadBytes(out + "/a/One.java") == "v1 one\r\n", c.what);
            QVERIFY2(ReadBytes(out + "/workout/Sys.LOG").find("run with the fault") != std::string::npos,
                     c.what);
            QVERIFY2(PathExists(out + "/workout/FIL0000.JRS") && PathExists(out + "/workout/FIL0001.JRS"),
                     c.what);
        } else {
            // The first result was moved; its side lines wait in the work
            // area and the earlier side-file target stays.
            QVERIFY2(ReadBytes(out + "/Sys.log").find("run with the fault") != std::string::npos, c.what);
            QVERIFY2(ReadBytes(out + "/a/One.java") == "v2 one\r\n", c.what);
            QVERIFY2(ReadBytes(out + "/a/One.jcp") == oldSide, c.what);
            QVERIFY2(PathExists(out + "/workout/FIL0000.LIT") && PathExists(out + "/workout/FIL0000.CON"),
                     c.what);
            QVERIFY2(ReadBytes(out + "/b/Two.java") == "v1 two\r\n", c.what);
        }
        QVERIFY2(ReadBytes(one) == "v2 one\r\n" && ReadBytes(two) == "v2 two\r\n", c.what);

        // With room again, collecting by hand brings everything out.
        fault.disarm();
        f.reports.clear();
        w.actions().execute(ActionId::Rename);
        QVERIFY2(ReadBytes(out + "/a/One.java") == "v2 one\r\n", c.what);
        QVERIFY2(ReadBytes(out + "/b/Two.java") == "v2 two\r\n", c.what);
        QVERIFY2(!PathExists(out + "/workout/Sys.LOG"), c.what);
        if (c.bigSideFile) {
            QCOMPARE(f.reports,
                     std::vector<std::string>{"No result file(FIL0000.JRS) for " + out + "/a/One.java"});
            QVERIFY2(ReadBytes(out + "/a/One.jcp").find(std::string(9000, 'x')) == 0, c.what);
            QVERIFY2(!PathExists(out + "/workout/FIL0000.LIT") && !PathExists(out + "/workout/FIL0000.CON"),
                     c.what);
        } else {
            // This run's log, kept in the work area, is the product log now.
            QVERIFY2(ReadBytes(out + "/Sys.log").find("run with the fault") != std::string::npos, c.what);
            QCOMPARE(f.reports, std::vector<std::string>{});
        }

        // And the next run goes through.
        f.reports.clear();
        QVERIFY2(f.runAndWait(), c.what);
        QVERIFY2(f.run().FinishedCleanly(), c.what);
    }
}

void RunDiskFaultTest::filesUsersWouldMissAreReplacedWhole() {
    // Each file is first written by the shell itself, then made to grow
    // past what the fault lets through, so that the write fails midway.
    struct Case {
        const char* what;
        const char* folder;  // relative to the fixture's root; on the tmpfs for the full disk
        // Writes the old file, makes the next content big; gives the path.
        std::function<std::string(RunFixture&, TfrmKorvaneMain&, const std::string& dir)> arrange;
        std::function<void(RunFixture&, TfrmKorvaneMain&, const std::string& path)> write;
        // The message of the failed write (path, system text).
        std::function<std::string(const std::string&, const std::string&)> message;
        std::string grown;  // a text the new file holds
    } cases[] = {
        {"project file", "projects",
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string& dir) {
             w.project()->SetProjectDirectory(dir + "/x.srd");
             f.dialogs.AnswerPath(dir + "/ProdSys.srd");
             w.actions().execute(ActionId::SaveProject);
             for (int i = 0; i < 200; ++i)
                 w.CheckListBoxSelectedFiles->checkList().add(
                     f.sourceDir() + "/many/folders/deep/down/Source" + std::to_string(i) + ".java", false);
             w.project()->setModified(true);
             return dir + "/ProdSys.srd";
         },
         [](RunFixture&, TfrmKorvaneMain& w, const std::string&) { w.actions().execute(ActionId::SaveProject); },
         [](const std::string& path, const std::string& error) {
             return "Cannot create file \"" + path + "\". " + error;
         },
         "Source199.java"},
        {"tool settings file", "_Korvane.Src",
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string&) {
             w.MemoToolDefaultValues->appendPlainText(
                 QString::fromStdString(Lines("; a comment line, number ", 400)));
             return f.settingsPath();
         },
         [](RunFixture&, TfrmKorvaneMain& w, const std::string&) { w.actions().execute(ActionId::WriteINIFile); },
         [](const std::string& path, const std::string&) { return "Cannot write to " + path; },
         "; a comment line, number 399"},
        {"exported word list", "lists",
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string& dir) {
             CheckList& words = w.wordLists()->controlTags();
             words.add("INPT READ", true);
             words.add("OTPT WRITE", true);
             f.dialogs.AnswerPath(dir + "/words.wrl");
             w.actions().execute(ActionId::SaveWordList);
             for (int i = 0; i < 400; ++i) words.add("FUNC ROUTINE" + std::to_string(i), true);
             return dir + "/words.wrl";
         },
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string& path) {
             f.dialogs.AnswerPath(path);
             w.actions().execute(ActionId::SaveWordList);
         },
         [](const std::string& path, const std::string& error) {
             return "Cannot create file \"" + path + "\". " + error;
         },
         "FUNC ROUTINE399"},
        {"parameter file", "out",
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string& dir) {
             if (!f.runAndWait() || !f.run().FinishedCleanly()) return std::string("the first run failed");
             for (int i = 0; i < 150; ++i)
                 w.CheckListBoxSelectedFiles->checkList().add(
                     f.addSource("many/Source" + std::to_string(i) + ".java", kJava), true);
             return dir + "/last.xml";
         },
         [](RunFixture&, TfrmKorvaneMain& w, const std::string&) {
             w.actions().execute(ActionId::StartConversion);
         },
         [](const std::string& path, const std::string& error) {
             return "Cannot create file \"" + path + "\". " + error;
         },
         "many/Source149.java"},
    };
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + ", " + DiskFault::name(kind);
            RunFixture f;
            const std::string dir = f.root() + "/" + c.folder;
            ForceDirectories(dir);
            std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, dir);
            WriteSettings(f, OneStep());
            const std::string one = f.addSource("One.java", kJava);
            TfrmKorvaneMain& w = f.startProject({{one, true}});
            ShownErrors shown;
            const std::string path = c.arrange(f, w, dir);
            const std::string old = ReadBytes(path);
            QVERIFY2(!old.empty(), what.c_str());
            QVERIFY2(old.find(c.grown) == std::string::npos, what.c_str());

            DiskFault fault(kind, tmpfs.get(), 1024, 4096);
            fault.arm();
            f.reports.clear();
            c.write(f, w, path);
            fault.disarm();

            // The failure is told, and the old file is there, whole.
            const std::string message = c.message(path, fault.errorText());
            QVERIFY2(Contains(f.reports, message) || Contains(shown.texts, message), message.c_str());
            QVERIFY2(ReadBytes(path) == old, what.c_str());
            QVERIFY2(LeftoverTempFiles(ExtractFileDir(path)).empty(), what.c_str());
            QVERIFY2(!f.run().BatchRunning() && !w.busy(), what.c_str());

            // Written again without the fault, it holds the new content.
            f.reports.clear();
            c.write(f, w, path);
            if (std::string(c.folder) == "out")
                QVERIFY2(
                    RunFixture::waitFor([&] { return f.runsEnded == 2 && !f.run().ToolActive(); }, 60000),
                    what.c_str());
            QVERIFY2(ReadBytes(path).find(c.grown) != std::string::npos, what.c_str());
            QVERIFY2(!HasReportStarting(f.reports, "Cannot "), what.c_str());
        }
    }
}

// The program enters a private mount namespace before any thread exists, so
// that the tiny file systems of the full-disk tests are seen by this process
// and the tools it starts, and by nothing else.
class PrivateMounts : public QtTestEnvironment {
public:
    void BeforeApplication() override {
        if (!EnterPrivateMountNamespace())
            std::fprintf(stderr, "no private mount namespace: the full-disk cases are skipped\n");
    }
};
KORVANE_QT_TEST_ENVIRONMENT(PrivateMounts);
KORVANE_QT_TEST(RunDiskFaultTest);

#include "run_disk_fault_gui_test.moc"

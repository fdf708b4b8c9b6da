// File systems that refuse writes: a file-size limit (root ignores the
// permission bits, but not the limit) and a tiny tmpfs that is full. The
// faults strike while the batch mode prepares a run's work area, and when
// the window writes the tool settings or exports a word list. In every case
// the sources and the earlier files stay as they were, no temporary file is
// left, and once the fault is gone the same write goes through. (The hand-over,
// the parameter file and the collection under a failing write: the engine's
// and the collection's own tests; the project file: shell/project.)

#include <QPlainTextEdit>
#include <QtTest>

#include <cstdio>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/app/batch_mode.h"
#include "shell/ui/check_list.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_fault_test_support.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/guard.h"
#include "shell/wordlists/word_list_controller.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n}\r\n";

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::string Lines(const std::string& text, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += text + std::to_string(i) + "\r\n";
    return s;
}

const DiskFault::Kind kKinds[] = {DiskFault::FileSizeLimit, DiskFault::FullDisk};

// The full-disk cases need the private mount namespace of main(); a tmpfs
// on folder (inside the fixture's tree) stands for the full disk.
bool Available(DiskFault::Kind kind) {
    if (kind == DiskFault::FullDisk && !PrivateMountsAvailable()) {
        qInfo("no private mount namespace: the full-disk case is skipped");
        return false;
    }
    return true;
}
std::unique_ptr<ScopedTmpfs> MaybeTmpfs(DiskFault::Kind kind, RunFixture& f, const std::string& folder) {
    if (kind != DiskFault::FullDisk) return nullptr;
    return std::make_unique<ScopedTmpfs>(f.root(), folder, 4 << 20);
}

// Texts that ended an operation without a status bar report, while alive.
struct ShownErrors {
    std::vector<std::string> texts;
    ShownErrors() {
        SetErrorSink([this](const std::string& text) { texts.push_back(text); });
    }
    ~ShownErrors() { SetErrorSink(nullptr); }
};

// The test language with one step and a macro table, so that word lists
// can be exported.
void WriteSettings(RunFixture& f) {
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {}, {"JAV.Scan=Y", "JAV.Scanner=jvscan"});
    f.addScanner("jvscan");
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
    LinkProgram(KORVANE_PROGRAM, f.programPath());
    return RunBatchProcess(f.programPath(), {"-proj", QString::fromStdString(project), "-batch", "run"}, {},
                           std::move(underLimit));
}

}  // namespace

class RunDiskFaultTest : public QObject {
    Q_OBJECT
private slots:
    void preparationFailsInBatchMode();
    void filesUsersWouldMissAreReplacedWhole();
};

void RunDiskFaultTest::preparationFailsInBatchMode() {
    // A source of about 80 KB does not fit: its working copy fails.
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        const char* what = DiskFault::name(kind);
        RunFixture f;
        std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, f.outputDir());
        WriteSettings(f);
        const std::string one = f.addSource("a/One.java", kJava);
        const std::string bigText = Lines("// a long source line ", 3000);
        const std::string big = f.addSource("b/Big.java", bigText);
        const std::string project = f.saveProject({{one, true}, {big, true}});
        const std::string projectBytes = ReadBytes(project);

        BatchResult r;
        DiskFault fault(kind, tmpfs.get(), 16 << 10, 16 << 10);
        if (kind == DiskFault::FullDisk) fault.arm();
        r = RunBatch(f, project, kind == DiskFault::FileSizeLimit ? 16 << 10 : RLIM_INFINITY);
        fault.disarm();
        QCOMPARE(r.status, kBatchNotStarted);
        QVERIFY2(r.has("Error: Error during preparation - " + big + " - " + fault.errorText()), what);
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

void RunDiskFaultTest::filesUsersWouldMissAreReplacedWhole() {
    // Each file is first written by the shell itself, then made to grow
    // past what the fault lets through, so that the write fails midway.
    struct Case {
        const char* what;
        const char* folder;  // relative to the fixture's root; on the tmpfs for the full disk
        // Writes the old file, makes the next content big; gives the path.
        std::function<std::string(RunFixture&, TfrmKorvaneMain&, const std::string& dir)> arrange;
        std::function<void(RunFixture&, TfrmKorvaneMain&, const std::string& path)> write;
        const char* message;  // of the failed write: the path, the system's text
        std::string grown;  // a text the new file holds
    } cases[] = {
        {"tool settings file", "_Korvane.Src",
         [](RunFixture& f, TfrmKorvaneMain& w, const std::string&) {
             w.MemoToolDefaultValues->appendPlainText(
                 QString::fromStdString(Lines("; a comment line, number ", 400)));
             return f.settingsPath();
         },
         [](RunFixture&, TfrmKorvaneMain& w, const std::string&) { w.actions().execute(ActionId::WriteINIFile); },
         "Cannot write to %s",
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
         "Cannot create file \"%s\". %s",
         "FUNC ROUTINE399"},
    };
    for (DiskFault::Kind kind : kKinds) {
        if (!Available(kind)) continue;
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + ", " + DiskFault::name(kind);
            RunFixture f;
            const std::string dir = f.root() + "/" + c.folder;
            ForceDirectories(dir);
            std::unique_ptr<ScopedTmpfs> tmpfs = MaybeTmpfs(kind, f, dir);
            WriteSettings(f);
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
            const std::string message = Format(c.message, path.c_str(), fault.errorText().c_str());
            QVERIFY2(Contains(f.reports, message) || Contains(shown.texts, message), message.c_str());
            QVERIFY2(ReadBytes(path) == old, what.c_str());
            QVERIFY2(LeftoverTempFiles(ExtractFileDir(path)).empty(), what.c_str());
            QVERIFY2(!f.run().BatchRunning() && !w.busy(), what.c_str());

            // Written again without the fault, it holds the new content.
            f.reports.clear();
            c.write(f, w, path);
            QVERIFY2(ReadBytes(path).find(c.grown) != std::string::npos, what.c_str());
            for (const std::string& report : f.reports) QVERIFY2(report.rfind("Cannot ", 0) != 0, report.c_str());
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

// The batch mode of the korvane program: a project made and saved through
// the window in a temporary tool tree, then run by the program itself
// ("korvane -proj FILE.srd -batch run"), whose output and exit status are
// checked, and the answers the batch mode gives to questions.

#include <QProcess>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/app/batch_mode.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_file.h"
#include "shell/run/output_ownership.h"
#include "shell/project/window_form_adapter.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/check_list_box.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kJava = "class A {\r\n  void f(int a) {\r\n    if (a > 1 {\r\n    }\r\n  }\r\n}\r\n";
const char* kRepaired = "class A {\r\n  void f(int a) {\r\n    if (a > 1) {\r\n    }\r\n  }\r\n}\r\n";

// Runs the program laid into the fixture's tool tree with the arguments.
BatchResult RunKorvane(RunFixture& f, const QStringList& args) {
    return RunBatchProcess(f.programPath(), args);
}

// A saved project of the test language over the sources (path, checked).
std::string SaveProject(RunFixture& f, const std::vector<std::pair<std::string, bool>>& sources) {
    TfrmKorvaneMain& w = f.startProject(sources);
    const std::string path = f.root() + "/Job.srd";
    WindowFormAdapter form(w);
    SaveProjectFile(path, form, w.project()->properties());
    f.destroyWindow();
    LinkProgram(KORVANE_PROGRAM, f.programPath());
    return path;
}

std::vector<StepEntry> TwoSteps(const std::string& env2 = "") {
    return {{"Realign", "jvrealign", "JRA", "fixit", ""}, {"Refine", "jvrefine", "JRF", "", env2}};
}

}  // namespace

class RunBatchTest : public QObject {
    Q_OBJECT
private slots:
    void runEndsWithProcessingFinished();
    void reportedRunEndsWithOne();
    void stepWithoutResultExtension();
    void runThatCannotStart();
    void toolRootFromTheCommandLine();
    void scanRun();
    void answersLoseNothing();
    void oneRunPerOutputDirectory();
    void foreignOutputDirectoryNeedsTakeOver();
};

void RunBatchTest::runEndsWithProcessingFinished() {
    RunFixture f;
    f.writeRunSettings(TwoSteps(), {"Runcontrol.CaptureLog=Y"});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string two = f.addSource("b/Two.java", kJava);
    const std::string project = SaveProject(f, {{one, true}, {two, true}});

    BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "run"});
    QCOMPARE(r.status, kBatchFinished);
    // The captions in order, then the one message.
    std::vector<std::string> captions;
    for (const std::string& l : r.lines)
        if (l.find(" project ProdSys - Step ") != std::string::npos) captions.push_back(l);
    QCOMPARE(captions, (std::vector<std::string>{"Preparing project ProdSys - Step 1 of 2 - Bytes 0 of 0",
                                                  "Preparing project ProdSys - Step 2 of 2 - Bytes 0 of 0",
                                                  "Processing project ProdSys - Step 1 of 4 - Bytes 0 of 0",
                                                  "Processing project ProdSys - Step 2 of 4 - Bytes 0 of 0",
                                                  "Processing project ProdSys - Step 3 of 4 - Bytes 0 of 0"}));
    QCOMPARE(r.lines.back(), std::string("Warning: Processing finished"));
    // What the window's run leaves: results under the sources' names,
    // the product log, the console log; the project file is untouched.
    const std::string out = f.outputDir();
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kRepaired));
    QCOMPARE(ReadBytes(out + "/b/Two.java"), std::string(kRepaired));
    QVERIFY(ReadBytes(out + "/Sys.log").find("Refine FIL0001 -> FIL0001.JRF") != std::string::npos);
    QVERIFY(ReadBytes(out + "/Console.log").find("2 files processed") != std::string::npos);
    QCOMPARE(f.snapshots().size(), size_t(3));
    QVERIFY(ReadBytes(project).find("BatchRunning=N") != std::string::npos);
}

void RunBatchTest::reportedRunEndsWithOne() {
    RunFixture f;
    f.writeRunSettings(TwoSteps("export KORVANE_STEP_SKIP=FIL0000"), {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string project = SaveProject(f, {{one, true}});
    BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "RUN"});
    QCOMPARE(r.status, kBatchReported);
    QVERIFY(r.has("Error: No result file(FIL0000.JRF) for " + f.outputDir() + "/a/One.java"));
    QVERIFY(!r.has("Warning: Processing finished"));
}

void RunBatchTest::stepWithoutResultExtension() {
    // The repair writes no result extension; Refine then reads the repaired
    // copies in workinp and its results are collected once.
    RunFixture f;
    f.writeRunSettings({{"Realign", "fixit", "", "", "", KORVANE_BRELVIN_PROGRAM},
                        {"Refine", "jvrefine", "JRF", "", "export KORVANE_STEP_SIDEFILES=1"}},
                       {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string two = f.addSource("b/Two.java", kJava);
    const std::string project = SaveProject(f, {{one, true}, {two, true}});

    BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "run"});
    QCOMPARE(r.status, kBatchFinished);
    QCOMPARE(r.lines.back(), std::string("Warning: Processing finished"));
    for (const std::string& l : r.lines) QVERIFY2(l.rfind("Error: ", 0) != 0, l.c_str());
    const std::string out = f.outputDir();
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kRepaired));
    QCOMPARE(ReadBytes(out + "/b/Two.java"), std::string(kRepaired));
    QCOMPARE(ReadBytes(out + "/b/Two.jcp"),
             std::string("Refine literals of FIL0001\r\nRefine constants of FIL0001\r\n"));
    QCOMPARE(f.snapshots(), (std::vector<std::string>{"00-fixit.xml", "01-jvrefine.xml"}));
}

void RunBatchTest::runThatCannotStart() {
    RunFixture f;
    f.writeRunSettings(TwoSteps(), {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string none = SaveProject(f, {{one, false}});
    const QString p = QString::fromStdString(none);
    struct Case {
        QStringList args;
        std::string expected;  // a line of the output
    } cases[] = {
        {{"-batch", "run"}, "Batch: -batch needs a project: -proj FILE.srd"},
        {{"-proj", p, "-batch", "later"}, "Batch: -batch takes \"run\" or \"scan\""},
        {{"-proj", p, "-batch"}, "Batch: -batch takes \"run\" or \"scan\""},
        {{"-proj", p + ".missing.srd", "-batch", "run"}, "Batch: no project file " + none + ".missing.srd"},
        {{"-proj", QString::fromUtf8(f.settingsPath()), "-batch", "run"},
         "Batch: not a project file (.srd): " + f.settingsPath()},
        // The project checks no source: the run is refused before it starts.
        {{"-proj", p, "-batch", "run"}, "Error: You haven't selected any files yet"},
        // The language offers no scan run.
        {{"-proj", p, "-batch", "scan"}, "Batch: the language offers no scan run"},
    };
    for (const Case& c : cases) {
        BatchResult r = RunKorvane(f, c.args);
        QCOMPARE(r.status, kBatchNotStarted);
        QVERIFY2(r.has(c.expected), c.expected.c_str());
    }
    QVERIFY(f.snapshots().empty());
}

void RunBatchTest::toolRootFromTheCommandLine() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string project = SaveProject(f, {{one, true}});
    // The tools move to another root; the settings file stays beside the program.
    const std::string other = f.root() + "/elsewhere";
    ForceDirectories(other);
    QVERIFY(std::rename((f.binDir() + "/JAVVorl").c_str(), (other + "/JAVVorl").c_str()) == 0);

    BatchResult without = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "run"});
    QCOMPARE(without.status, kBatchNotStarted);
    BatchResult with = RunKorvane(
        f, {"-proj", QString::fromStdString(project), "-root", QString::fromStdString(other), "-batch", "run"});
    QCOMPARE(with.status, kBatchFinished);
    QCOMPARE(ReadBytes(f.outputDir() + "/a/One.java"), std::string(kJava));
}

void RunBatchTest::scanRun() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {"Runcontrol.CaptureLog=Y"},
                       {"JAV.Scan=Y", "JAV.Scanner=jvscan"});
    f.addScanner("jvscan");
    const std::string reader = f.addSource("Reader.java", "class R { Object o = new FileWriter(\"out.txt\"); }\r\n");
    const std::string project = SaveProject(f, {{reader, true}});
    BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "scan"});
    // A scan collects too, and the scanner writes no results: reported.
    QCOMPARE(r.status, kBatchReported);
    QVERIFY(r.has("Processing project ProdSys - Step 1 of 2 - Bytes 0 of 0"));
    QVERIFY(r.has("Error: No result file(FIL0000.JRA) for " + f.outputDir() + "/src/Reader.java"));
    QCOMPARE(f.snapshots(), std::vector<std::string>{"00-jvscan.xml"});
    const std::string table = ReadBytes(f.outputDir() + "/functab.wrl");
    QVERIFY(table.find("OTPT FileWriter") != std::string::npos);
    QVERIFY(table.find("OBJT out.txt") != std::string::npos);
}

void RunBatchTest::answersLoseNothing() {
    struct Case {
        std::string text;
        unsigned buttons;
        unsigned answer;
    } cases[] = {
        {ProjectController::kModifiedQuestion, kYes | kNo | kCancel, kNo},
        {"Do you really want to cancel processing?", kYes | kNo, kNo},
        {"Directory /x doesn't exists, create it? ", kOk | kCancel, kCancel},
        {"Many files: add them all?", kYes | kNo | kCancel, kCancel},
        {"Error killing process 12", kOk, kOk},
    };
    for (const Case& c : cases) QCOMPARE(BatchDialogs::Answer(c.text, c.buttons), c.answer);

    // Every question and dialog is printed with its answer.
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    BatchDialogs d(out);
    QCOMPARE(d.Message(MsgKind::Warning, "Do you really want to cancel processing?", kYes | kNo), unsigned(kNo));
    FileDialogOptions o;
    o.title = "Open a result file";
    QVERIFY(!d.OpenFiles(o));
    std::fclose(out);
    QCOMPARE(std::string(text, size), std::string("Question: Do you really want to cancel processing? [Yes/No] -> No\n"
                                                  "Dialog: Open a result file -> Cancel\n"));
    std::free(text);
}

void RunBatchTest::oneRunPerOutputDirectory() {
    // The step of the first run waits for the file "go"; once "stop" is
    // there too, a step left over from a killed run ends without working.
    RunFixture f;
    const std::string r = f.root();
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "",
                         "touch '" + r + "/waiting'; while [ ! -e '" + r + "/go' ]; do sleep 0.05; done\n"
                         "[ -e '" + r + "/stop' ] && { rm '" + r + "/waiting'; exit 0; }"}},
                       {});
    const std::string one = f.addSource("a/One.java", kJava);
    const QStringList args = {"-proj", QString::fromStdString(SaveProject(f, {{one, true}})), "-batch", "run"};

    QProcess first;
    first.setProgram(QString::fromStdString(f.programPath()));
    first.setArguments(args);
    first.start();
    QVERIFY(RunFixture::waitFor([&] { return PathExists(r + "/waiting"); }, 60000));
    BatchResult second = RunKorvane(f, args);
    QCOMPARE(second.status, kBatchNotStarted);
    QVERIFY(second.has("Error: " + Format(kOutputDirInUse, f.outputDir().c_str())));
    QCOMPARE(f.snapshots().size(), size_t(1));  // the second run started no tool

    // Killed, the first run holds nothing any more.
    first.kill();
    QVERIFY(first.waitForFinished());
    f.writeFile("stop", "");
    f.writeFile("go", "");
    QVERIFY(RunFixture::waitFor([&] { return !PathExists(r + "/waiting"); }));
    QVERIFY(std::remove((r + "/stop").c_str()) == 0);
    BatchResult third = RunKorvane(f, args);
    QCOMPARE(third.status, kBatchFinished);
    QCOMPARE(ReadBytes(f.outputDir() + "/a/One.java"), std::string(kJava));
}

void RunBatchTest::foreignOutputDirectoryNeedsTakeOver() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {"Runcontrol.CaptureLog=Y"});
    const std::string one = f.addSource("a/One.java", kJava);
    const QStringList args = {"-proj", QString::fromStdString(SaveProject(f, {{one, true}})), "-batch", "run"};
    const std::string out = f.outputDir();
    f.writeFile("out/ProdSys_budget.ods", "numbers");  // the user's, named as the cleaning picks

    BatchResult refused = RunKorvane(f, args);
    QCOMPARE(refused.status, kBatchNotStarted);
    QVERIFY(refused.has("Error: " + Format(kForeignOutputDirRefused, out.c_str())));
    QCOMPARE(FolderNames(out), std::vector<std::string>{"ProdSys_budget.ods"});  // nothing made or cleaned
    QVERIFY(f.snapshots().empty());

    BatchResult taken = RunKorvane(f, args + QStringList{"-takeover"});
    QCOMPARE(taken.status, kBatchFinished);
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kJava));

    // Used for a run now, it needs no switch. The files the run writes there
    // are links to files elsewhere: the run replaces the links.
    const std::vector<std::string> linked = {"last.xml", "Sys.log", "Console.log", "a/One.java"};
    for (const std::string& name : linked) {
        const std::string elsewhere = f.writeFile("elsewhere/" + name, "not the run's");
        QVERIFY(std::remove((out + "/" + name).c_str()) == 0);
        QVERIFY(symlink(elsewhere.c_str(), (out + "/" + name).c_str()) == 0);
    }
    BatchResult again = RunKorvane(f, args);
    QCOMPARE(again.status, kBatchFinished);
    for (const std::string& name : linked) {
        QCOMPARE(ReadBytes(f.root() + "/elsewhere/" + name), std::string("not the run's"));
        QVERIFY2(!IsSymlink(out + "/" + name), name.c_str());
    }
    QVERIFY(ReadBytes(out + "/Sys.log").find("Realign FIL0000") != std::string::npos);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RunBatchTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "run_batch_test.moc"

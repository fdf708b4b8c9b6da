// Whole runs through the window with real tool processes: a three-step chain
// with a chained repair program, a step without a result extension (the
// sources stay once in the name map), the parameter file each step was handed,
// the collected results, side files and logs; the work area with and without
// the delete-after flag; the console log over several runs; a scan run.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

// A method whose if condition lacks its ")" (the chained brelvin repairs it).
const char* kBrokenJava =
    "public class One {\r\n"
    "    int f(int a, int b) {\r\n"
    "        if (a > b {\r\n"
    "            return a;\r\n"
    "        }\r\n"
    "        return b;\r\n"
    "    }\r\n"
    "}\r\n";
const char* kRepairedJava =
    "public class One {\r\n"
    "    int f(int a, int b) {\r\n"
    "        if (a > b) {\r\n"
    "            return a;\r\n"
    "        }\r\n"
    "        return b;\r\n"
    "    }\r\n"
    "}\r\n";
const char* kPlainJava = "class Three {\r\n    int g() { return 3; }\r\n}\r\n";

const char* kCaptureOn = "Runcontrol.CaptureLog=Y";
const char* kCaptureOff = "Runcontrol.CaptureLog=N";

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::string Joined(const std::vector<std::string>& list, const std::string& separator) {
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) text += (i ? separator : std::string()) + list[i];
    return text;
}

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The sources of the chain tests: the middle one unchecked.
struct ThreeSources {
    std::string one, two, three;
    explicit ThreeSources(RunFixture& f)
        : one(f.addSource("a/One.java", kBrokenJava)),
          two(f.addSource("b/Two.java", kPlainJava)),
          three(f.addSource("c/Three.java", kPlainJava)) {}
    std::vector<std::pair<std::string, bool>> list() const { return {{one, true}, {two, false}, {three, true}}; }
};

}  // namespace

class RunChainTest : public QObject {
    Q_OBJECT
private slots:
    void threeStepChainWithChainedRepair();
    void stepWithoutResultExtension();
    void workAreaWithAndWithoutDeleteAfter();
    void consoleLogAppendedAcrossRunsAndReplacedByScan();
    void scanRunRefillsWordLists();
};

void RunChainTest::threeStepChainWithChainedRepair() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "fixit", ""},
                        {"Refine", "jvrefine", "JRF", "", "export KORVANE_STEP_SIDEFILES=1"},
                        {"Restructure", "jvrestruct", "JRS", "", ""}},
                       {kCaptureOn, "Runcontrol.DeleteAfter=N"});
    ThreeSources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());

    QVERIFY(f.runAndWait());

    // The queue: the chained program reads what Realign wrote, and so does
    // Refine; every rewrite of last.xml names the extension of the step before.
    const std::string out = f.outputDir();
    const std::vector<std::pair<int, std::string>> files = {{0, src.one}, {2, src.three}};
    const std::vector<std::string> rows = {"Realign", "Refine", "Restructure"};
    QCOMPARE(f.snapshots(), (std::vector<std::string>{"00-jvrealign.xml", "01-fixit.xml", "02-jvrefine.xml",
                                                       "03-jvrestruct.xml"}));
    const char* inputs[] = {"", "JRA", "JRA", "JRF"};
    for (size_t i = 0; i < 4; ++i)
        QCOMPARE(ReadBytes(f.snapshotDir() + "/" + f.snapshots()[i]),
                 ExpectedParameterFile(out, rows, files, inputs[i]));
    QCOMPARE(ReadBytes(out + "/last.xml"), ExpectedParameterFile(out, rows, files, "JRF"));

    // The name map, and only the checked sources copied (numbered by position).
    QCOMPARE(Str(w.MemoNewFileNames->toPlainText()),
             "FIL0000=" + src.one + "\nCopy0000=" + out + "/workinp/FIL0000\nFIL0002=" + src.three +
                 "\nCopy0002=" + out + "/workinp/FIL0002");
    QCOMPARE(FolderNames(out + "/workinp"), (std::vector<std::string>{"FIL0000", "FIL0002"}));

    // Results under the sources' names below the common root, repaired by the chain.
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kRepairedJava));
    QCOMPARE(ReadBytes(out + "/c/Three.java"), std::string(kPlainJava));
    QVERIFY(!PathExists(out + "/b/Two.java"));
    QVERIFY(!PathExists(out + "/workout/FIL0000.JRS"));
    // Side files of the Refine step merged (LIT lines, then CON lines).
    QCOMPARE(ReadBytes(out + "/a/One.jcp"),
             std::string("Refine literals of FIL0000\r\nRefine constants of FIL0000\r\n"));
    QVERIFY(!PathExists(out + "/workout/FIL0000.LIT"));
    // The tools' system log became the product log.
    const std::string log = ReadBytes(out + "/Sys.log");
    for (const char* line : {"Realign FIL0000 -> FIL0000.JRA\r\n", "Refine FIL0002 -> FIL0002.JRF\r\n",
                             "Restructure FIL0000 -> FIL0000.JRS\r\n"})
        QVERIFY2(log.find(line) != std::string::npos, line);
    QVERIFY(!PathExists(out + "/workout/Sys.LOG"));
    // The console log holds what the steps and the chained program printed.
    const std::string console = ReadBytes(out + "/Console.log");
    QVERIFY(console.find("Realign FIL0000 -> FIL0000.JRA") != std::string::npos);
    QVERIFY(console.find("Processing original file 1 " + src.one) != std::string::npos);

    // Progress: copying two sources, then steps 1 to 4 of 5.
    QCOMPARE(f.captions, (std::vector<std::string>{"Preparing project ProdSys - Step 1 of 2 - Bytes 0 of 0",
                                                    "Preparing project ProdSys - Step 2 of 2 - Bytes 0 of 0",
                                                    "Processing project ProdSys - Step 1 of 5 - Bytes 0 of 0",
                                                    "Processing project ProdSys - Step 2 of 5 - Bytes 0 of 0",
                                                    "Processing project ProdSys - Step 3 of 5 - Bytes 0 of 0",
                                                    "Processing project ProdSys - Step 4 of 5 - Bytes 0 of 0"}));
    // The finished state.
    QVERIFY(f.run().FinishedCleanly());
    QCOMPARE(f.reports.back(), std::string("Processing finished"));
    QCOMPARE(f.productLogViews, 1);
    QCOMPARE(f.consoleLogViews, 1);
    QVERIFY(!w.busy());
    QVERIFY(!w.project()->batchRunning());
    QVERIFY(w.GroupBoxSlider->isHidden());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isEnabled());
    QVERIFY(!w.actions()[ActionId::CancelRun]->isVisible());
    QVERIFY(w.actions()[ActionId::ViewProductLog]->isEnabled());
    QCOMPARE(ChildProcessCount(), 0);
}

void RunChainTest::stepWithoutResultExtension() {
    // The first step repairs the copies in workinp in place and writes no
    // result of its own (empty result extension), so the hand-over to the
    // second one writes last.xml with an empty input extension once more.
    RunFixture f;
    f.writeRunSettings({{"Realign", "fixit", "", "", "", KORVANE_BRELVIN_PROGRAM},
                        {"Refine", "jvrefine", "JRF", "", "export KORVANE_STEP_SIDEFILES=1"}},
                       {kCaptureOff, "Runcontrol.DeleteAfter=N"});
    ThreeSources src(f);
    TfrmKorvaneMain& w = f.startProject(src.list());

    QVERIFY(f.runAndWait());

    const std::string out = f.outputDir();
    const std::vector<std::pair<int, std::string>> files = {{0, src.one}, {2, src.three}};
    QCOMPARE(f.snapshots(), (std::vector<std::string>{"00-fixit.xml", "01-jvrefine.xml"}));
    const std::string handed = ExpectedParameterFile(out, {"Realign", "Refine"}, files, "");
    for (const std::string& snap : f.snapshots()) QCOMPARE(ReadBytes(f.snapshotDir() + "/" + snap), handed);

    // Every source once in the name map, shown and used for the collection.
    const std::vector<std::string> map = {"FIL0000=" + src.one, "Copy0000=" + out + "/workinp/FIL0000",
                                          "FIL0002=" + src.three, "Copy0002=" + out + "/workinp/FIL0002"};
    QCOMPARE(f.run().nameMap(), map);
    QCOMPARE(Str(w.MemoNewFileNames->toPlainText()), Joined(map, "\n"));

    // Collected once: the repaired result and the merged side lines of each source.
    QVERIFY2(f.run().FinishedCleanly(), Joined(f.reports, " | ").c_str());
    QCOMPARE(f.reports.back(), std::string("Processing finished"));
    QCOMPARE(f.run().finalResultExtension(), std::string("JRF"));
    QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kRepairedJava));
    QCOMPARE(ReadBytes(out + "/c/Three.java"), std::string(kPlainJava));
    QCOMPARE(ReadBytes(out + "/a/One.jcp"),
             std::string("Refine literals of FIL0000\r\nRefine constants of FIL0000\r\n"));
    QCOMPARE(ReadBytes(out + "/c/Three.jcp"),
             std::string("Refine literals of FIL0002\r\nRefine constants of FIL0002\r\n"));
    QCOMPARE(FolderNames(out + "/workout"), std::vector<std::string>{});
    QVERIFY(PathExists(out + "/workinp/FIL0000.eredeti.txt"));
    QCOMPARE(ReadTextLines(out + "/Sys.log"),
             (std::vector<std::string>{"Refine FIL0000 -> FIL0000.JRF", "Refine FIL0002 -> FIL0002.JRF"}));
}

void RunChainTest::workAreaWithAndWithoutDeleteAfter() {
    struct Case {
        const char* flag;
        bool deleteAfter;
    } cases[] = {{"Runcontrol.DeleteAfter=Y", true}, {"Runcontrol.DeleteAfter=N", false}};
    for (const Case& c : cases) {
        RunFixture f;
        // The step leaves a file of the project beside the results
        // (ProjectName_...): it goes with the flag too.
        f.writeRunSettings({{"Realign", "jvrealign", "JRA", "fixit",
                             "export KORVANE_STEP_SIDEFILES=1; echo x > ProdSys_scratch.txt"}},
                           {kCaptureOff, c.flag});
        ThreeSources src(f);
        f.startProject(src.list());
        const std::string out = f.outputDir();
        QVERIFY(f.runAndWait());
        QVERIFY(f.run().FinishedCleanly());
        QCOMPARE(ReadBytes(out + "/a/One.java"), std::string(kRepairedJava));
        QVERIFY(PathExists(out + "/a/One.jcp"));
        if (c.deleteAfter) {
            for (const char* gone : {"/workinp", "/workout", "/work", "/ProdSys_scratch.txt"})
                QVERIFY2(!PathExists(out + gone), gone);
        } else {
            QCOMPARE(FolderNames(out + "/workinp"), (std::vector<std::string>{"FIL0000", "FIL0002"}));
            // What the chained repair kept beside the results stays too.
            QVERIFY(PathExists(out + "/workout/FIL0000.eredeti.txt"));
            QVERIFY(PathExists(out + "/work"));
            QVERIFY(PathExists(out + "/ProdSys_scratch.txt"));
        }
    }
}

void RunChainTest::consoleLogAppendedAcrossRunsAndReplacedByScan() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", "export KORVANE_STEP_ECHO=1"}},
                       {kCaptureOn, "Runcontrol.DeleteAfter=N"}, {"JAV.Scan=Y", "JAV.Scanner=jvscan"});
    f.addScanner("jvscan");
    ThreeSources src(f);
    f.startProject(src.list());
    const std::string console = f.outputDir() + "/Console.log";

    QVERIFY(f.runAndWait());
    const std::string once = ReadBytes(console);
    // The redirection words reach the tool as arguments of their own.
    QVERIFY(once.find("Realign argument 1: last.xml\n") != std::string::npos);
    QVERIFY(once.find("Realign argument 2: >>\n") != std::string::npos);
    QVERIFY(once.find("Realign argument 3: Console.log\n") != std::string::npos);
    QVERIFY(f.runAndWait());
    QVERIFY(f.runAndWait());
    QCOMPARE(ReadBytes(console), once + once + once);
    QCOMPARE(f.consoleLogViews, 3);

    // A scan run asks for the file to be replaced.
    QVERIFY(f.runAndWait(ActionId::StartScan));
    const std::string scanned = ReadBytes(console);
    QVERIFY(PathExists(console));
    QVERIFY(scanned.find("Realign") == std::string::npos);
}

void RunChainTest::scanRunRefillsWordLists() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {kCaptureOff},
                       {"JAV.Scan=Y", "JAV.Scanner=jvscan"});
    f.addScanner("jvscan");
    const std::string reader =
        f.addSource("io/Reader.java", "class Reader {\r\n  void r() throws Exception {\r\n"
                                      "    new FileInputStream(\"data.txt\").read();\r\n  }\r\n}\r\n");
    TfrmKorvaneMain& w = f.startProject({{reader, true}});
    CheckList& tags = w.CheckListBoxControlTags->checkList();
    tags.add("SKIP KEEPME", true);
    tags.add("SKIP DROPME", false);

    QVERIFY(f.runAndWait(ActionId::StartScan));

    // The scanner was handed the word list (named in last.xml) and read the copy.
    const std::string out = f.outputDir();
    QCOMPARE(f.snapshots(), (std::vector<std::string>{"00-jvscan.xml"}));
    QCOMPARE(ReadBytes(f.snapshotDir() + "/00-jvscan.xml"),
             ExpectedParameterFile(out, {"Realign"}, {{0, reader}}, "", true));
    // The lists hold what functab.wrl holds now: the checked entry handed
    // over and what the scanner found, all checked; the unchecked one is gone.
    std::vector<std::string> texts;
    for (const CheckEntry& e : tags.entries()) {
        texts.push_back(e.text);
        QVERIFY(e.checked);
    }
    QVERIFY(Contains(texts, "SKIP KEEPME"));
    QVERIFY(Contains(texts, "INPT FileInputStream"));
    QVERIFY(!Contains(texts, "SKIP DROPME"));
    QCOMPARE(w.CheckListBoxObjects->checkList().size(), size_t(1));
    QCOMPARE(w.CheckListBoxObjects->checkList().text(0), std::string("data.txt"));
    // The scan collects too, but a scanner writes no results: none is
    // reported missing, and the run ends with "Processing finished".
    QCOMPARE(f.reports, std::vector<std::string>{"Processing finished"});
    QVERIFY(f.run().FinishedCleanly());
    QCOMPARE(f.captions.back(), std::string("Processing project ProdSys - Step 1 of 2 - Bytes 0 of 0"));
    QCOMPARE(Occurrences(ReadBytes(out + "/functab.wrl"), "OBJT data.txt"), 1);
}

// No process started by the tests outlives them.
KORVANE_QT_TEST_ENVIRONMENT(NoProcessLeftBehind);
KORVANE_QT_TEST(RunChainTest);

#include "run_chain_gui_test.moc"

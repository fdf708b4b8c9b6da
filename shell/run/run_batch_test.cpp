// The batch mode of the korvane program: a project made and saved through
// the window in a temporary tool tree, then run by the program itself
// ("korvane -proj FILE.srd -batch run"), whose output and exit status are
// checked, and the answers the batch mode gives to questions.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/test_support.h"
#include "shared/text.h"
#include "shell/app/batch_mode.h"
#include "shell/project/project_controller.h"
#include "shell/run/output_ownership.h"
#include "shell/run/shard_plan.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/run/tool_command.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_HAS_ASAN 1
#endif
#endif
#ifndef KORVANE_HAS_ASAN
#define KORVANE_HAS_ASAN 0
#endif

namespace {

const char* kJava = "class A {\r\n  void f(int a) {\r\n    if (a > 1 {\r\n    }\r\n  }\r\n}\r\n";
const char* kRepaired = "class A {\r\n  void f(int a) {\r\n    if (a > 1) {\r\n    }\r\n  }\r\n}\r\n";

// Runs the program laid into the fixture's tool tree with the arguments, in
// the fixture's root.
BatchResult RunKorvane(RunFixture& f, const QStringList& args, const std::function<void(long pid)>& whileRunning = {},
                       std::function<void()> childSetup = {}) {
    return RunBatchProcess(f.programPath(), args, f.root(), std::move(childSetup), whileRunning);
}

// The report a run wrote (an empty object when it is no JSON object).
QJsonObject Report(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    return QJsonDocument::fromJson(QByteArray(bytes.data(), qsizetype(bytes.size()))).object();
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// One value of each object of a report's list, as text.
QStringList Column(const QJsonObject& report, const char* list, const char* key) {
    QStringList values;
    for (const QJsonValue& v : report[list].toArray()) {
        const QJsonValue value = v.toObject()[key];
        values << (value.isString() ? value.toString() : value.isNull() ? "null" : QString::number(value.toInteger()));
    }
    return values;
}

// Step lines that start a child and then wait for it for ever (before the
// tool would run): the step's pid goes to <dir>/tool.pid, the child's to
// <dir>/child.pid.
std::string HangsWithAChild(const std::string& dir) {
    return "echo $$ > '" + dir + "/tool.pid'; sleep 300 & echo $! > '" + dir + "/child.pid'; wait";
}

// A saved project of the test language over the sources (path, checked),
// and the program laid into the fixture's tool tree.
std::string SaveProject(RunFixture& f, const std::vector<std::pair<std::string, bool>>& sources) {
    LinkProgram(KORVANE_PROGRAM, f.programPath());
    return f.saveProject(sources);
}

// Every file below folder, with its bytes and its inode (a file replaced by
// another with the same bytes still shows), leaving out the folders given.
std::map<std::string, std::pair<std::string, ino_t>> Tree(const std::string& folder,
                                                          const std::vector<std::string>& except) {
    namespace fs = std::filesystem;
    std::map<std::string, std::pair<std::string, ino_t>> files;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = it->path();
        if (std::find(except.begin(), except.end(), path) != except.end()) {
            it.disable_recursion_pending();
            continue;
        }
        struct stat st {};
        if (it->is_regular_file() && stat(path.c_str(), &st) == 0) files[path] = {ReadBytes(path), st.st_ino};
    }
    return files;
}

// Replaces the one occurrence of from in text.
bool ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos || text.find(from, at + 1) != std::string::npos) return false;
    text.replace(at, from.size(), to);
    return true;
}

std::vector<StepEntry> TwoSteps(const std::string& env1 = "", const std::string& env2 = "",
                                const std::string& chain = "fixit") {
    return {{"Realign", "jvrealign", "JRA", chain, env1}, {"Refine", "jvrefine", "JRF", "", env2}};
}

// The lines of expected appear among lines, in that order.
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
    auto at = lines.begin();
    for (const std::string& e : expected)
        if ((at = std::find(at, lines.end(), e)) == lines.end()) return false;
    return true;
}

}  // namespace

class RunBatchTest : public QObject {
    Q_OBJECT
private slots:
    void runsAndTheirEnds();
    void runThatCannotStart();
    void answersLoseNothing();
    void foreignOutputDirectoryNeedsTakeOver();
    void hostileProjectsWriteNothingOutside();
    void signalsEndTheRunAndItsProcesses();
    void bigLogsAreNotRead();
    void splitRunsLeaveWhatOneJobLeaves();
    void shardsThatCannotBeCollected();
    void splitRunsEndAsOneRun();
};

void RunBatchTest::runsAndTheirEnds() {
    // A project run by the program: its exit status; lines it prints, in
    // order (@OUT@: the output directory, @BIN@: the tool folder); a run that
    // finished ends with "Processing finished" and prints no error, one that
    // reported does not finish; files below the output directory (a text each
    // holds, or none); the tools started, by the parameter files they were handed;
    // and the project file as it was.
    using Files = std::vector<std::pair<std::string, std::string>>;
    const Files repaired = {{"a/One.java", kRepaired}, {"b/Two.java", kRepaired}};
    const std::vector<std::pair<std::string, std::string>> one = {{"a/One.java", kJava}};
    const std::vector<std::pair<std::string, std::string>> two = {one[0], {"b/Two.java", kJava}};
    const std::string realignExits5 = "'@TOOLS@/jvrealign' \"$@\"; exit 5";
    auto moveTools = [](RunFixture& f) {
        ForceDirectories(f.root() + "/elsewhere");
        QVERIFY(std::rename((f.binDir() + "/JAVVorl").c_str(), (f.root() + "/elsewhere/JAVVorl").c_str()) == 0);
    };
    struct Case {
        const char* what;
        std::vector<StepEntry> steps;
        std::vector<std::string> runControl;
        QStringList args;  // after -proj FILE
        int status;
        std::vector<std::string> printed;
        Files files = {};
        std::vector<std::string> snapshots = {};
        std::vector<std::pair<std::string, std::string>> sources = {{"a/One.java", kJava}};
        std::vector<std::string> extra = {};  // language lines; a scanner jvscan is laid out with them
        std::function<void(RunFixture&)> before = {};
        std::function<void(RunFixture&, const BatchResult&)> after = {};
    } cases[] = {
        {"a chain with a repair, the console captured", TwoSteps(), {"Runcontrol.CaptureLog=Y"}, {"-batch", "run"},
         kBatchFinished,
         {"Preparing project ProdSys - Step 1 of 2 - Bytes 0 of 0", "Preparing project ProdSys - Step 2 of 2 - Bytes 0 of 0",
          "Processing project ProdSys - Step 1 of 4 - Bytes 0 of 0", "Processing project ProdSys - Step 2 of 4 - Bytes 0 of 0",
          "Processing project ProdSys - Step 3 of 4 - Bytes 0 of 0"},
         {repaired[0], repaired[1], {"Sys.log", "Refine FIL0001 -> FIL0001.JRF"}, {"Console.log", "2 files processed"}},
         {"00-jvrealign.xml", "01-fixit.xml", "02-jvrefine.xml"}, two},
        {"a result missing, -batch RUN", TwoSteps("", "export KORVANE_STEP_SKIP=FIL0000"), {}, {"-batch", "RUN"},
         kBatchReported, {"Error: No result file(FIL0000.JRF) for @OUT@/a/One.java"}},
        // The repair writes no result extension; Refine then reads the
        // repaired copies in workinp and its results are collected once.
        {"a step without result extension",
         {{"Realign", "fixit", "", "", "", KORVANE_BRELVIN_PROGRAM},
          {"Refine", "jvrefine", "JRF", "", "export KORVANE_STEP_SIDEFILES=1"}},
         {}, {"-batch", "run"}, kBatchFinished, {},
         {repaired[0], repaired[1], {"b/Two.jcp", "Refine literals of FIL0001\r\nRefine constants of FIL0001\r\n"}},
         {"00-fixit.xml", "01-jvrefine.xml"}, two},
        // A scan collects too, but a scanner writes no results: none is missed.
        {"a scan run", {{"Realign", "jvrealign", "JRA", "", ""}}, {"Runcontrol.CaptureLog=Y"}, {"-batch", "scan"},
         kBatchFinished, {"Processing project ProdSys - Step 1 of 2 - Bytes 0 of 0"},
         {{"functab.wrl", "OTPT FileWriter"}, {"functab.wrl", "OBJT out.txt"}}, {"00-jvscan.xml"},
         {{"Reader.java", "class R { Object o = new FileWriter(\"out.txt\"); }\r\n"}},
         {"JAV.Scan=Y", "JAV.Scanner=jvscan"}},
        {"a time limit not reached", TwoSteps(), {}, {"-batch", "run", "-timeout=60"}, kBatchFinished, {}},
        // A hung step (and the child it waits for) ends at the limit; nothing
        // further runs. (Any process left fails the program at its end.)
        {"a hung step at the time limit", TwoSteps(HangsWithAChild("@ROOT@"), "", ""), {},
         {"-batch", "run", "-timeout", "1"}, kBatchReported,
         {"Error: " + StepTimeLimitText("Realign", "@BIN@/jvrealign", 1), "Error: Background process cancelled!"},
         {{"a/One.java", ""}}, {"00-jvrealign.xml"}},
        // The tools move to another root; the settings file stays beside the program.
        {"the tools moved away", TwoSteps(), {}, {"-batch", "run"}, kBatchNotStarted,
         {"Error: No transformation step is selected"}, {}, {}, one, {}, moveTools},
        {"the tools moved, -root names them", TwoSteps(), {}, {"-root", "@ROOT@/elsewhere", "-batch", "run"},
         kBatchFinished, {}, {repaired[0]}, {}, one, {}, moveTools},
        // A step program that ends with a status other than 0, or by a
        // signal, is reported and the chain goes on; a language may declare
        // that its tools' statuses mean nothing.
        {"a step exits 5 after its work, reported", TwoSteps(realignExits5, "", ""), {},
         {"-batch", "run", "-report=@ROOT@/r.json", "-check"}, kBatchReported,
         {"Error: Step Realign: program @BIN@/jvrealign ended with exit status 5"}, {}, {}, one, {}, {},
         [](RunFixture& f, const BatchResult&) {
             const QJsonObject report = Report(f.root() + "/r.json");
             QCOMPARE(report["exitStatus"].toInt(), kBatchReported);
             QCOMPARE(Column(report, "steps", "name"), (QStringList{"Realign", "Refine"}));
             QCOMPARE(Column(report, "steps", "exitStatus"), (QStringList{"5", "0"}));
             QCOMPARE(Column(report, "steps", "signal"), (QStringList{"null", "null"}));
             QCOMPARE(Column(report, "messages", "text"),
                      QStringList{Q(StepFailureText("Realign", f.binDir() + "/JAVVorl/jvrealign", {ProcessEnd::Kind::Exited, 5}))});
         }},
        {"a step exits 5, statuses ignored", TwoSteps(realignExits5, "", ""), {"Runcontrol.IgnoreExitStatus=CSS,jav"},
         {"-batch", "run"}, kBatchFinished, {}},
        {"a step killed", TwoSteps("kill -KILL $$", "", ""), {}, {"-batch", "run", "-report", "@ROOT@/r.json"},
         kBatchReported, {"Error: Step Realign: program @BIN@/jvrealign was ended by signal 9 (SIGKILL)"}, {}, {}, one,
         {}, {}, [](RunFixture& f, const BatchResult&) {
             const QJsonObject report = Report(f.root() + "/r.json");
             QCOMPARE(Column(report, "steps", "exitStatus"), (QStringList{"null", "1"}));  // Refine finds no input
             QCOMPARE(Column(report, "steps", "signal"), (QStringList{"9", "null"}));
         }},
        // -out: the results go elsewhere, the project file stays as it was;
        // -quiet: no captions.
        {"another output directory, quiet", TwoSteps(), {}, {"-batch", "run", "-out", "@ROOT@/other", "-quiet"},
         kBatchFinished, {}, {{"a/One.java", ""}}, {}, one, {}, {},
         [](RunFixture& f, const BatchResult& r) {
             QCOMPARE(ReadBytes(f.root() + "/other/a/One.java"), std::string(kRepaired));
             QVERIFY(FileExists(f.root() + "/other/last.xml"));
             for (const std::string& l : r.lines) QVERIFY2(l.find(" project ProdSys - Step ") == std::string::npos, l.c_str());
         }},
        // -check: results that equal their sources still end with 0.
        {"nothing to change, -check", TwoSteps(), {}, {"-batch", "run", "-check", "-diff"}, kBatchFinished, {},
         {{"a/One.java", kRepaired}}, {}, {{"a/One.java", kRepaired}}},
        // -diff applied by the patch program to a copy of the sources gives
        // the results byte for byte; the report tells each source's state
        // and lines; -check turns the finished run into 3.
        {"diff, report and check", TwoSteps(), {}, {"-batch", "run", "-diff", "-check", "-report", "@ROOT@/r.json"},
         kBatchResultsDiffer, {}, repaired, {}, {one[0], two[1], {"c/Same.java", kRepaired}}, {}, {},
         [](RunFixture& f, const BatchResult& r) {
             const std::string copy = f.root() + "/copy";
             ForceDirectories(copy);
             QCOMPARE(std::system(("cp -R '" + f.sourceDir() + "' '" + copy + "/src'").c_str()), 0);
             f.writeFile("patch.diff", r.out);
             const std::string patch = "cd '" + copy + "' && patch -p0 -s < '" + f.root() + "/patch.diff'";
             QVERIFY2(std::system(patch.c_str()) == 0, r.out.c_str());
             for (const char* path : {"a/One.java", "b/Two.java", "c/Same.java"})
                 QCOMPARE(ReadBytes(copy + "/src/" + path), ReadBytes(f.outputDir() + "/" + path));
             const QJsonObject report = Report(f.root() + "/r.json");
             QCOMPARE(report["exitStatus"].toInt(), kBatchResultsDiffer);
             for (const char* key : {"source", "result"}) {
                 const QString dir = Q(key == std::string("source") ? f.sourceDir() : f.outputDir());
                 QCOMPARE(Column(report, "sources", key),
                          (QStringList{dir + "/a/One.java", dir + "/b/Two.java", dir + "/c/Same.java"}));
             }
             QCOMPARE(Column(report, "sources", "state"), (QStringList{"changed", "changed", "unchanged"}));
             QCOMPARE(Column(report, "sources", "linesAdded"), (QStringList{"1", "1", "0"}));
             QCOMPARE(Column(report, "sources", "linesRemoved"), (QStringList{"1", "1", "0"}));
             QCOMPARE(Column(report, "steps", "name"), (QStringList{"Realign", "fixit", "Refine"}));
             QCOMPARE(Column(report, "messages", "text"), QStringList{"Processing finished"});
         }},
        // brelvin refuses a parameter file with a "<" in a source name and
        // leaves the files in place: nothing else would tell.
        {"the chained brelvin refuses last.xml", TwoSteps(), {}, {"-batch", "run"}, kBatchReported,
         {"Error: Step fixit: program @BIN@/fixit ended with exit status 1"}, {}, {}, {{"a/L<T>.java", kJava}}},
    };
    for (const Case& c : cases) {
        RunFixture f;
        auto fill = [&](const std::string& text) {
            const std::string t = ReplaceAll(ReplaceAll(text, "@OUT@", f.outputDir()), "@BIN@", f.binDir() + "/JAVVorl");
            return ReplaceAll(ReplaceAll(t, "@TOOLS@", f.root() + "/tools"), "@ROOT@", f.root());
        };
        auto fillArgs = [&](QStringList args) {
            for (QString& a : args) a.replace("@ROOT@", QString::fromStdString(f.root()));
            return args;
        };
        std::vector<StepEntry> steps = c.steps;
        for (StepEntry& step : steps) step.environment = fill(step.environment);
        f.writeRunSettings(steps, c.runControl, c.extra);
        if (!c.extra.empty()) f.addScanner("jvscan");
        std::vector<std::pair<std::string, bool>> sources;
        for (const auto& [path, text] : c.sources) sources.push_back({f.addSource(path, text), true});
        const std::string project = SaveProject(f, sources);
        const std::string projectBytes = ReadBytes(project);
        if (c.before) c.before(f);

        BatchResult r = RunKorvane(f, QStringList{"-proj", QString::fromStdString(project)} + fillArgs(c.args));
        std::string output = std::string(c.what) + ": status " + std::to_string(r.status);
        for (const std::string& l : r.lines) output += "\n" + l;
        QVERIFY2(r.status == c.status, output.c_str());
        std::vector<std::string> printed;
        for (const std::string& line : c.printed) printed.push_back(fill(line));
        QVERIFY2(InOrder(r.lines, printed), output.c_str());
        const bool finished = c.status == kBatchFinished || c.status == kBatchResultsDiffer;
        QVERIFY2(r.has("Processing finished") == finished, output.c_str());
        if (finished) {
            QCOMPARE(r.lines.back(), std::string("Processing finished"));
            for (const std::string& l : r.lines) QVERIFY2(l.rfind("Error: ", 0) != 0, output.c_str());
        }
        // Standard output carries only the diff.
        if (!c.args.contains("-diff")) QVERIFY2(r.out.empty(), r.out.c_str());
        for (const auto& [path, text] : c.files)  // an empty text: no such file
            QVERIFY2(text.empty() ? !PathExists(f.outputDir() + "/" + path)
                                  : ReadBytes(f.outputDir() + "/" + path).find(text) != std::string::npos,
                     (c.what + (": " + path)).c_str());
        if (!c.snapshots.empty() || c.status == kBatchNotStarted) QCOMPARE(f.snapshots(), c.snapshots);
        QCOMPARE(ReadBytes(project), projectBytes);
        if (c.after) c.after(f, r);
        if (QTest::currentTestFailed()) return;
    }
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
        {{"-proj", p, "-batch", "later"}, "Batch: -batch takes \"run\", \"scan\" or \"collect\""},
        {{"-proj", p, "-batch"}, "korvane: -batch needs a value"},
        {{"-proj", p + ".missing.srd", "-batch", "run"}, "Batch: no project file " + none + ".missing.srd"},
        {{"-proj", QString::fromUtf8(f.settingsPath()), "-batch", "run"},
         "Batch: not a project file (.srd): " + f.settingsPath()},
        // The project checks no source: the run is refused before it starts.
        {{"-proj", p, "-batch", "run"}, "Error: You haven't selected any files yet"},
        // The language offers no scan run.
        {{"-proj", p, "-batch", "scan"}, "Batch: the language offers no scan run"},
        // A time limit must be a number of seconds.
        {{"-proj", p, "-batch", "run", "-timeout", "0"}, "Batch: -timeout takes a number of seconds from 1 to 2000000"},
        {{"-proj", p, "-batch", "run", "-timeout=1.5"}, "Batch: -timeout takes a number of seconds from 1 to 2000000"},
        // Jobs and shards: numbers in range, for a reengineering run, not both.
        {{"-proj", p, "-batch", "run", "-jobs", "0"}, "Batch: -jobs takes a number from 1 to 256, with -batch run"},
        {{"-proj", p, "-batch", "run", "-jobs=257"}, "Batch: -jobs takes a number from 1 to 256, with -batch run"},
        {{"-proj", p, "-batch", "collect", "-jobs", "2"}, "Batch: -jobs takes a number from 1 to 256, with -batch run"},
        {{"-proj", p, "-batch", "run", "-shard", "3/3"},
         "Batch: -shard takes I/N (0 <= I < N), with -batch run and without -jobs"},
        {{"-proj", p, "-batch", "run", "-shard", "0/2", "-jobs", "2"},
         "Batch: -shard takes I/N (0 <= I < N), with -batch run and without -jobs"},
        {{"-proj", p, "-batch", "scan", "-shard", "1/-2"},
         "Batch: -shard takes I/N (0 <= I < N), with -batch run and without -jobs"},
        {{"-proj", p, "-batch", "run", "-timeout"}, "korvane: -timeout needs a value"},
        // Options not known, or without their value: the usage, nothing done
        // (the window is not opened either).
        {{"-proj", p, "-batch", "run", "-frobnicate"}, "korvane: unknown option -frobnicate"},
        {{"--dry-run"}, "korvane: unknown option --dry-run"},
        {{"-proj", p, "-frobnicate=1"}, "korvane: unknown option -frobnicate"},
        {{"-proj", p, "-batch", "run", "-out"}, "korvane: -out needs a value"},
        {{"-proj", p, "-batch", "run", "-report", "-diff"}, "korvane: -report needs a value"},
        {{"-proj", p, "-diff"}, "korvane: -diff works with -batch only"},
        {{"-proj", p, "-batch", "run", "later"}, "korvane: unexpected argument later"},
    };
    for (const Case& c : cases) {
        BatchResult r = RunKorvane(f, c.args);
        QCOMPARE(r.status, kBatchNotStarted);
        QVERIFY2(r.has(c.expected), c.expected.c_str());
        QCOMPARE(r.has("Usage: korvane [options]"), c.expected.rfind("korvane: ", 0) == 0);
        QVERIFY(r.out.empty());
    }
    QVERIFY(f.snapshots().empty());

    // A report is written for a run that could not start, too.
    const BatchResult r = RunKorvane(f, {"-proj", p, "-batch", "run", "-report", "r.json"});
    const QJsonObject report = Report(f.root() + "/r.json");
    QCOMPARE(report["exitStatus"].toInt(-1), kBatchNotStarted);
    QCOMPARE(Column(report, "messages", "text"), (QStringList{"You haven't selected any files yet", "the run could not start"}));
    QVERIFY(report["sources"].toArray().isEmpty() && report["steps"].toArray().isEmpty());
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

    // Used for a run now, it needs no switch.
    QCOMPARE(RunKorvane(f, args).status, kBatchFinished);
}

// Hand-written project files that reach outside the output directory: a
// system name with "..", a source entry climbing out with "..", relative
// entries and output directory run from another current directory, two
// sources with one target, a depth that overflows, an output directory whose
// name is no UTF-8. None of them touches a file outside its output directory
// (the project file and the sources included) or the current directory.
void RunBatchTest::hostileProjectsWriteNothingOutside() {
    RunFixture f;
    f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", ""}}, {});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string two = f.addSource("b/Two.java", kJava);
    const std::string upper = f.addSource("a/Foo.JAVA", kJava);
    const std::string lower = f.addSource("a/Foo.java", kJava);
    const std::string climber = f.writeFile("victim2/Two.java", kJava);
    f.writeFile("victim.log", "the user's own log\r\n");
    const std::string base = ReadBytes(SaveProject(f, {{one, true}, {two, true}}));
    const std::string root = f.root(), src = f.sourceDir(), out = root + "/deep/out", cwd = root + "/cwd/here";
    ForceDirectories(cwd);

    struct Case {
        const char* what;
        std::vector<std::string> entries;  // as the file holds them
        std::string system = "Sys";
        std::string outText = "/deep/out";  // after the root, or relative to jobs/ when not starting with "/"
        std::string maxDirDepth = "100";
        int status = kBatchFinished;
        std::string line = "Processing finished";
        std::vector<std::string> results = {};  // below the output directory
    } cases[] = {
        {"system name", {one, two}, "../../victim", "/deep/out", "100", kBatchNotStarted,
         "Error: System name name missing or incorrect"},
        {"entry climbing out", {one, src + "/a/../../victim2/Two.java"}, "Sys", "/deep/out", "100", kBatchFinished,
         "Processing finished", {"/src/a/One.java", "/victim2/Two.java"}},
        {"relative entries and output directory", {"../src/a/One.java", "../src/b/./Two.java"}, "Sys", "../deep/out",
         "100", kBatchFinished, "Processing finished", {"/a/One.java", "/b/Two.java"}},
        {"one target for two sources", {upper, lower}, "Sys", "/deep/out", "100", kBatchNotStarted,
         "Error: The results of " + upper + " and " + lower + " would both be written to " + out + "/a/Foo.java"},
        {"depth that overflows", {one, two}, "Sys", "/deep/out", "2147483647", kBatchFinished,
         "Warning: MaxDirDepth=2147483647 is out of range (0 to 4096), 100 is used", {"/a/One.java"}},
        {"output directory that is no UTF-8", {one, two}, "Sys", "/deep/out\xFF", "100", kBatchFinished,
         "Processing finished", {"/a/One.java", "/b/Two.java"}},
    };
    for (const Case& c : cases) {
        const std::string caseOut =
            ExpandFileName(c.outText[0] == '/' ? root + c.outText : root + "/jobs/" + c.outText);
        std::string text = base;
        std::string entries, stored;
        for (const std::string& e : c.entries) entries += "YY" + e + "\r\n";
        QVERIFY(ReplaceOnce(text, "YY" + one + "\r\nYY" + two + "\r\n", entries));
        QVERIFY(ReplaceOnce(text, "ProjectSystemName=Sys\r\n", "ProjectSystemName=" + c.system + "\r\n"));
        QVERIFY(ReplaceOnce(text, "EditSystemName=Sys\r\n", "EditSystemName=" + c.system + "\r\n"));
        QVERIFY(ReplaceOnce(text, "MaxDirDepth=100\r\n", "MaxDirDepth=" + c.maxDirDepth + "\r\n"));
        QVERIFY(ReplaceOnce(text, "OutputDir.Edit=" + f.outputDir() + "\r\n",
                            "OutputDir.Edit=" + (c.outText[0] == '/' ? caseOut : c.outText) + "\r\n"));
        const std::string project = f.writeFile("jobs/Job.srd", text);
        std::filesystem::remove_all(root + "/deep");
        // An old working copy, left by an earlier run, that the cleaning must take.
        f.writeFile(caseOut.substr(root.size() + 1) + "/workinp/FIL0009", "stale");
        f.writeFile(caseOut.substr(root.size() + 1) + "/last.xml", "");
        const std::vector<std::string> except = {caseOut, f.snapshotDir(), root + "/config", root + "/reports"};
        const auto before = Tree(root, except);

        const std::string report = root + "/reports/report.json";
        ForceDirectories(root + "/reports");
        BatchResult r = RunBatchProcess(
            f.programPath(),
            {"-proj", QString::fromStdString(project), "-batch", "run", "-report", QString::fromStdString(report)}, cwd);
        std::string output = std::string(c.what) + " status " + std::to_string(r.status);
        for (const std::string& l : r.lines) output += "\n" + l;
        QVERIFY2(r.status == c.status, output.c_str());
        QVERIFY2(r.has(c.line), (std::string(c.what) + ": " + c.line).c_str());
        QVERIFY2(Tree(root, except) == before, c.what);
        QVERIFY2(FolderNames(cwd).empty(), c.what);
        for (const std::string& result : c.results)
            QVERIFY2(ReadBytes(caseOut + result) == kJava, (std::string(c.what) + ": " + result).c_str());
        if (c.status == kBatchFinished) QVERIFY2(!PathExists(caseOut + "/workinp/FIL0009"), c.what);
        // The report stays JSON whatever bytes its paths hold.
        if (c.status == kBatchFinished) {
            const QJsonObject parsed = Report(report);
            QCOMPARE(parsed["exitStatus"].toInt(-1), kBatchFinished);
            QCOMPARE(parsed["outputDirectory"].toString(), QString::fromUtf8(caseOut.c_str()));
        }
        QVERIFY2(FolderNames(root + "/deep") == std::vector<std::string>{ExtractFileName(caseOut)}, c.what);
    }
}

void RunBatchTest::signalsEndTheRunAndItsProcesses() {
    // SIGTERM, SIGINT and SIGHUP while a step (and a child it started)
    // runs: the step's group is killed, nothing more is written, exit
    // 128 + signal. SIGKILL cannot be handled, but the group dies as well.
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        const std::string name = SignalName(sig);
        RunFixture f;
        const std::string dir = f.root();
        f.writeRunSettings({{"Realign", "jvrealign", "JRA", "", HangsWithAChild(dir)},
                            {"Refine", "jvrefine", "JRF", "", ""}},
                           {"Runcontrol.CaptureLog=Y"});
        const std::string one = f.addSource("a/One.java", kJava);
        const std::string project = SaveProject(f, {{one, true}});
        const std::string projectBytes = ReadBytes(project);
        long tool = 0, child = 0;
        BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "run"}, [&](long pid) {
            child = PidFromFile(dir + "/child.pid");
            tool = PidFromFile(dir + "/tool.pid");
            kill(pid_t(pid), sig);
        });
        QVERIFY2(child > 0 && tool > 0, name.c_str());
        if (sig == SIGKILL) {
            QCOMPARE(r.status, -1);
        } else {
            QCOMPARE(r.status, 128 + sig);
            QVERIFY2(r.has(Format("Batch: ended by signal %d (%s)", sig, name.c_str())), name.c_str());
            QVERIFY(r.has("Error: Terminate signalled!"));
        }
        QVERIFY2(WaitUntil([&] { return !ProcessAlive(child) && !ProcessAlive(tool); }), name.c_str());
        // Nothing further: no second step, no result, the project file and
        // the parameter file as they were.
        QCOMPARE(f.snapshots(), std::vector<std::string>{"00-jvrealign.xml"});
        QCOMPARE(ReadBytes(project), projectBytes);
        QCOMPARE(ReadBytes(f.outputDir() + "/last.xml"), ReadBytes(f.snapshotDir() + "/00-jvrealign.xml"));
        QVERIFY(!PathExists(f.outputDir() + "/a/One.java"));
    }
}

void RunBatchTest::bigLogsAreNotRead() {
#if defined(__SANITIZE_ADDRESS__) || KORVANE_HAS_ASAN
    QSKIP("an address-space limit does not suit the sanitizer's shadow memory");
#else
    // A console log of 3 GB (every run appends to it) under a 2 GB address
    // space: the batch mode shows no logs, so the size does not matter.
    RunFixture f;
    f.writeRunSettings(TwoSteps(), {"Runcontrol.CaptureLog=Y"});
    const std::string one = f.addSource("a/One.java", kJava);
    const std::string project = SaveProject(f, {{one, true}});
    ForceDirectories(f.outputDir());
    const std::string log = f.outputDir() + "/Console.log";
    korvane::testing::PutFile(log, "earlier runs\n");
    QCOMPARE(truncate(log.c_str(), off_t(3) << 30), 0);
    // The folder was used for runs before: the earlier runs' last.xml is there.
    korvane::testing::PutFile(f.outputDir() + "/last.xml", "");
    BatchResult r = RunKorvane(f, {"-proj", QString::fromStdString(project), "-batch", "run"}, {}, [] {
        struct rlimit limit = {rlim_t(2) << 30, rlim_t(2) << 30};
        setrlimit(RLIMIT_AS, &limit);
    });
    QCOMPARE(r.status, kBatchFinished);
    QCOMPARE(r.lines.back(), std::string("Processing finished"));
#endif
}

// No process started by the tests outlives them.
KORVANE_QT_TEST_ENVIRONMENT(NoProcessLeftBehind);
KORVANE_QT_TEST(RunBatchTest);

void RunBatchTest::splitRunsLeaveWhatOneJobLeaves() {
    // One chain (a step, then a step with side files), its console captured,
    // over sources in three folders with a gap in the numbering: run as one
    // job, as three jobs, as three shards collected afterwards, and as three
    // shards started by GNU parallel. Each run leaves the output directory
    // byte for byte as the one job does: results, side files, working
    // copies, last.xml, the system log and Console.log. With only the first
    // step file-local, the second runs once, after the shards.
    const std::string parallel = "/usr/bin/parallel";
    RunFixture f;
    std::vector<std::pair<std::string, bool>> sources;
    for (int i = 0; i < 8; ++i) {
        const std::string text = i % 3 ? kJava : Format("class C%d {}\r\n", i);
        sources.push_back({f.addSource(Format("%c/S%d.java", "abc"[i % 3], i), text), i != 4});
    }
    const QString program = Q(f.programPath());
    // Each program run reports the steps' programs it started.
    const QString report = Q(f.root() + "/reports/");
    for (const int fileLocal : {2, 1}) {
        f.writeRunSettings(TwoSteps("", "export KORVANE_STEP_SIDEFILES=1", ""), {"Runcontrol.CaptureLog=Y"},
                           {fileLocal == 2 ? "JAV.FileLocal=Y" : "JAV.Step01.FileLocal=Y"});
        const QString proj = Q(SaveProject(f, sources));
        const int split = 3 * fileLocal + (2 - fileLocal);
        struct Variant {
            const char* what;
            std::vector<QStringList> runs;  // programs and arguments, one after another
            int toolsStarted;               // programs started, by the reports
        } variants[] = {
            {"one job", {{program, "-proj", proj, "-batch", "run", "-jobs", "1", "-report", report + "1.json"}}, 2},
            {"three jobs", {{program, "-proj", proj, "-batch", "run", "-jobs", "3", "-report", report + "1.json"}}, split},
            {"three shards, then collect",
             {{program, "-proj", proj, "-batch", "run", "-shard", "2/3", "-report", report + "2.json"},
              {program, "-proj", proj, "-batch", "run", "-shard", "0/3", "-report", report + "0.json"},
              {program, "-proj", proj, "-batch", "run", "-shard=1/3", "-report", report + "1.json"},
              {program, "-proj", proj, "-batch", "collect", "-report", report + "c.json"}},
             split},
            {"three shards by GNU parallel, then collect",
             {{Q(parallel), "-j", "3", program, "-proj", proj, "-batch", "run", "-quiet", "-shard", "{}/3", "-report",
               report + "{}.json", ":::", "0", "1", "2"},
              {program, "-proj", proj, "-batch", "collect", "-report", report + "c.json"}},
             split},
        };
        std::map<std::string, std::string> oneJob;
        for (const Variant& v : variants) {
            const std::string what = std::string(v.what) + (fileLocal == 2 ? "" : ", the first step file-local");
            if (StartsWithStr("three shards by GNU", v.what) && !FileExists(parallel)) {
                qWarning("GNU parallel is not installed: its recipe is not tried");
                continue;
            }
            RemoveFolderTree(report.toStdString());
            ForceDirectories(report.toStdString());
            for (const QStringList& run : v.runs) {
                const BatchResult r = RunBatchProcess(run[0].toStdString(), run.mid(1), f.root());
                QVERIFY2(r.status == kBatchFinished, (what + ": " + JoinLinesCrLf(r.lines)).c_str());
            }
            int started = 0;
            for (const DirEntry& e : ListDirectory(report.toStdString()))
                started += int(Column(Report(report.toStdString() + e.name), "steps", "name").size());
            QVERIFY2(started == v.toolsStarted, what.c_str());
            QVERIFY2(!PathExists(f.outputDir() + "/.korvane-shards"), what.c_str());
            std::map<std::string, std::string> files;
            for (const auto& [path, content] : Tree(f.outputDir(), {}))
                files[path.substr(f.outputDir().size())] = content.first;
            if (oneJob.empty()) {
                oneJob = files;
                // The one job's files are what they should be.
                QCOMPARE(ReadBytes(f.outputDir() + "/b/S1.java"), std::string(kJava));
                QVERIFY(files.count("/c/S2.jcp") && files.count("/workout/FIL0007.JRA") && !files.count("/b/S4.java"));
                QVERIFY(InOrder(SplitLines(files["/Sys.log"]),
                                {"Refine FIL0000 -> FIL0000.JRF", "Refine FIL0005 -> FIL0005.JRF",
                                 "Refine FIL0007 -> FIL0007.JRF"}));
            } else {
                for (const auto& [path, bytes] : oneJob)
                    QVERIFY2(files.count(path) && files[path] == bytes, (what + ": " + path).c_str());
                QCOMPARE(files.size(), oneJob.size());
            }
            // The next run starts in an output directory of its own.
            QVERIFY(std::rename(f.outputDir().c_str(), (f.outputDir() + "-" + what).c_str()) == 0);
        }
    }
}

void RunBatchTest::shardsThatCannotBeCollected() {
    // Collecting refuses, before anything is cleaned, shards that are not
    // all there or not all done, and while a shard still runs; no shard
    // works through a linked shards' folder, nor on a chain with no
    // file-local step. Exit 2 each time, the last run's results untouched.
    RunFixture f;
    f.writeRunSettings(TwoSteps(), {}, {"JAV.FileLocal=Y"});
    std::vector<std::pair<std::string, bool>> sources;
    for (int i = 0; i < 3; ++i) sources.push_back({f.addSource(Format("S%d.java", i), kJava), true});
    const std::string project = SaveProject(f, sources);
    const QStringList proj = {"-proj", Q(project)};
    QCOMPARE(RunKorvane(f, proj + QStringList{"-batch", "run"}).status, kBatchFinished);
    const std::string earlier = ReadBytes(f.outputDir() + "/S0.java");
    const std::string shards = f.outputDir() + "/.korvane-shards";
    struct Case {
        const char* what;
        std::function<void()> before;
        std::string message;
    } cases[] = {
        {"no shard", [] {}, "no shard has run"},
        {"one of two", [&] { QCOMPARE(RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", "1/2"}).status, 0); },
         "shard 0/2 is missing"},
        {"one still running",
         [&] {
             QCOMPARE(RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", "0/2"}).status, 0);
             std::string record = ReadBytes(shards + "/0-of-2/shard-record.txt");
             QVERIFY(ReplaceOnce(record, "end=finished", "end=running"));
             WriteFileAtomic(shards + "/0-of-2/shard-record.txt", record);
         },
         "shard 0/2 has not finished"},
        {"a larger split begun", [&] { ForceDirectories(shards + "/3-of-4"); }, "shard 0/4 is missing"},
        {"sources changed since",
         [&] {
             for (const char* shard : {"0/2", "1/2"})
                 QCOMPARE(RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", shard}).status, 0);
             sources[1].second = false;
             QCOMPARE(f.saveProject(sources), project);
         },
         "the shards ran other sources than the project checks"},
    };
    for (const Case& c : cases) {
        c.before();
        const BatchResult r = RunKorvane(f, proj + QStringList{"-batch", "collect"});
        QCOMPARE(r.status, kBatchNotStarted);
        QVERIFY2(r.has("Error: " + Format(kShardsIncomplete, shards.c_str(), c.message.c_str())),
                 (std::string(c.what) + ": " + JoinLinesCrLf(r.lines)).c_str());
        QCOMPARE(ReadBytes(f.outputDir() + "/S0.java"), earlier);
    }
    // The shards' folder a link to elsewhere: no shard writes through it,
    // and collecting finds nothing there.
    RemoveFolderTree(shards);
    ForceDirectories(f.root() + "/elsewhere");
    QVERIFY(symlink((f.root() + "/elsewhere").c_str(), shards.c_str()) == 0);
    const BatchResult linked = RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", "0/2"});
    QCOMPARE(linked.status, kBatchNotStarted);
    QVERIFY(ListDirectory(f.root() + "/elsewhere").empty());
    QVERIFY(RunKorvane(f, proj + QStringList{"-batch", "collect"})
                .has("Error: " + Format(kShardsIncomplete, shards.c_str(), "no shard has run")));
    DeleteFile(shards);
    // A collection while a shard still runs: the output directory is in use.
    const std::string started = f.root() + "/started";
    f.writeRunSettings(TwoSteps("touch '" + started + "'; sleep 300"), {}, {"JAV.FileLocal=Y"});
    BatchResult during;
    const BatchResult running = RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", "1/2"}, [&](long pid) {
        QVERIFY(WaitUntil([&] { return PathExists(started); }));
        during = RunKorvane(f, proj + QStringList{"-batch", "collect"});
        kill(pid_t(pid), SIGTERM);
    });
    QCOMPARE(running.status, 128 + SIGTERM);
    QCOMPARE(during.status, kBatchNotStarted);
    QVERIFY(during.has("Error: " + Format(kOutputDirInUse, f.outputDir().c_str())));
    QCOMPARE(ReadBytes(f.outputDir() + "/S0.java"), earlier);
    // A chain without a file-local step is not split.
    f.writeRunSettings(TwoSteps(), {}, {});
    const BatchResult r = RunKorvane(f, proj + QStringList{"-batch", "run", "-shard", "0/2"});
    QCOMPARE(r.status, kBatchNotStarted);
    QVERIFY(r.has("Error: No step of this run is file-local: it cannot run in shards"));
}

void RunBatchTest::splitRunsEndAsOneRun() {
    // A signal, the time limit and a failing step reach every shard of a
    // run in three jobs: the killed steps' groups die whole, nothing is
    // collected after a stop, and a failure is reported while the other
    // shards' results come back.
    const std::string hang = "echo $$ >> '@ROOT@/tools.pid'; sleep 300 & echo $! >> '@ROOT@/tools.pid'; wait";
    struct Case {
        const char* what;
        std::string realign;  // shell lines before the step's tool
        QStringList args;
        int signal;           // sent once every shard's step and its child run (0: none)
        int status;
        std::string message;  // printed; @BIN@: the tool folder
        bool collected;       // the first source's result is there
    } cases[] = {
        {"SIGTERM to three hung shards", hang, {"-jobs", "3"}, SIGTERM, 128 + SIGTERM, "Error: Terminate signalled!", false},
        {"one shard hung at the time limit", "case \"$PWD\" in *2-of-3) " + hang + ";; esac", {"-jobs", "3", "-timeout", "1"},
         0, kBatchReported, "Error: " + StepTimeLimitText("Realign", "@BIN@/jvrealign", 1), false},
        {"one shard's step failing", "case \"$PWD\" in *1-of-3) exit 5;; esac", {"-jobs", "3"}, 0, kBatchReported,
         "Error: " + StepFailureText("Realign", "@BIN@/jvrealign", {ProcessEnd::Kind::Exited, 5, 0}), true},
    };
    for (const Case& c : cases) {
        RunFixture f;
        const std::string root = f.root();
        f.writeRunSettings(TwoSteps(ReplaceAll(c.realign, "@ROOT@", root), "", ""), {}, {"JAV.FileLocal=Y"});
        std::vector<std::pair<std::string, bool>> sources;
        for (int i = 0; i < 4; ++i) sources.push_back({f.addSource(Format("S%d.java", i), kJava), true});
        const std::string project = SaveProject(f, sources);
        auto pids = [&] {
            std::vector<long> found;
            for (const std::string& line : SplitLines(PathExists(root + "/tools.pid") ? ReadBytes(root + "/tools.pid") : ""))
                if (!line.empty()) found.push_back(std::stol(line));
            return found;
        };
        const BatchResult r =
            RunKorvane(f, QStringList{"-proj", Q(project), "-batch", "run"} + c.args, [&](long pid) {
                if (!c.signal) return;
                QVERIFY(WaitUntil([&] { return pids().size() == 6; }));
                kill(pid_t(pid), c.signal);
            });
        QVERIFY2(r.status == c.status, (std::string(c.what) + ": " + JoinLinesCrLf(r.lines)).c_str());
        QVERIFY2(r.has(ReplaceAll(c.message, "@BIN@", f.binDir() + "/JAVVorl")), (std::string(c.what) + ": " + JoinLinesCrLf(r.lines)).c_str());
        QVERIFY2(WaitUntil([&] {
                     for (long pid : pids())
                         if (ProcessAlive(pid)) return false;
                     return true;
                 }),
                 c.what);
        QVERIFY2(PathExists(f.outputDir() + "/src/S0.java") == c.collected, c.what);
        QCOMPARE(r.has("Processing finished"), false);
    }
}

#include "run_batch_test.moc"

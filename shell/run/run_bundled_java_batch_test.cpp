// The bundled Java example end to end, as a user runs it: the example
// project (<build>/examples/java/JavaDemo.srd and its sources), the bundled
// tool settings (<build>/_Korvane.Src/Korvane.INI) and the tool tree laid out
// beside the program (<build>/bin/JAVVorl: korvane-step per step, brelvin
// chained to Realign) are copied into a temporary folder, the project's
// folders moved with them, and "korvane -proj JavaDemo.srd -batch run" runs
// there. Everything the run writes stays in that folder; the build tree's
// example is only read.

#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/batch_mode.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kBuildExample = KORVANE_JAVA_EXAMPLE_DIR;
const std::string kBuildBin = KORVANE_BIN_DIR;
const std::string kBuildSettings = KORVANE_BUNDLED_SETTINGS;

// The example's sources below src/com/example and the if conditions the
// chained brelvin repairs in each (the broken text, the repaired text).
struct ExampleSource {
    const char* relativePath;
    std::vector<std::pair<std::string, std::string>> repairs;
};
const std::vector<ExampleSource> kSources = {
    {"shop/Cart.java",
     {{"if (item.getQuantity() <= 0 {", "if (item.getQuantity() <= 0) {"},
      {"if (total > 10000 && items.size() >= 3 {", "if (total > 10000 && items.size() >= 3) {"}}},
    {"shop/Item.java", {{"if (name == null || name.isEmpty() {", "if (name == null || name.isEmpty()) {"}}},
    {"shop/Main.java", {}},
    {"util/MathUtil.java",
     {{"if ((percent < 0) || (percent > 100) {", "if ((percent < 0) || (percent > 100)) {"},
      {"} else if (value > high {", "} else if (value > high) {"}}},
    // A condition spread over lines ends at the "{" of the next line.
    {"util/Strings.java", {{"|| text.trim().isEmpty()", "|| text.trim().isEmpty())"}}},
};

// Every file below a folder with its size and modification time.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        struct stat st {};
        if (lstat(it->path().c_str(), &st) != 0) continue;
        files[it->path().string()] = Format("%lld/%lld.%09ld", (long long)st.st_size, (long long)st.st_mtim.tv_sec,
                                            st.st_mtim.tv_nsec);
    }
    return files;
}

void CopyTree(const std::string& from, const std::string& to) {
    ForceDirectories(ExtractFileDir(to));
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace

class RunBundledJavaTest : public QObject {
    Q_OBJECT
private slots:
    void javaExampleRunsThroughTheBatchMode();
};

void RunBundledJavaTest::javaExampleRunsThroughTheBatchMode() {
    QVERIFY2(FileExists(kBuildBin + "/JAVVorl/brelvin"), "the tool tree is not laid out");
    QVERIFY2(FileExists(kBuildExample + "/JavaDemo.srd"), "the example project is not configured");
    const auto buildExampleBefore = Snapshot(kBuildExample);

    // The temporary tree: <root>/bin/korvane with its tool folder, the
    // settings in <root>/_Korvane.Src, the example in <root>/java.
    ShellFixture f;
    LinkProgram(kBuildBin + "/korvane", f.programPath());
    CopyFileReplace(kBuildSettings, f.settingsPath());
    CopyTree(kBuildBin + "/JAVVorl", f.binDir() + "/JAVVorl");
    const std::string example = f.root() + "/java";
    CopyTree(kBuildExample + "/src", example + "/src");
    ForceDirectories(example + "/out");
    std::string project = ReadBytes(kBuildExample + "/JavaDemo.srd");
    project = ReplaceAll(project, kBuildExample, example);
    project = ReplaceAll(project, "ToolRootDir=" + kBuildBin, "ToolRootDir=" + f.binDir());
    QVERIFY2(project.find(ExtractFileDir(kBuildBin)) == std::string::npos, "the project names the build tree");
    const std::string projectPath = f.writeFile("java/JavaDemo.srd", project);
    const std::string srcRoot = example + "/src/com/example";
    std::map<std::string, std::string> sources;
    for (const ExampleSource& s : kSources) sources[s.relativePath] = ReadBytes(srcRoot + "/" + s.relativePath);

    const QStringList args = {"-proj", QString::fromStdString(projectPath), "-batch", "run"};
    BatchResult r = RunBatchProcess(f.programPath(), args, f.root());
    QCOMPARE(r.status, kBatchFinished);
    QVERIFY(!r.lines.empty());
    QCOMPARE(r.lines.back(), std::string("Processing finished"));
    for (const std::string& l : r.lines) QVERIFY2(l.rfind("Error: ", 0) != 0, l.c_str());
    // Realign, the chained brelvin, Refine and Restructure.
    const std::string lastStep = "Processing project DemoShop - Step 4 of 5 - Bytes 0 of 0";
    QVERIFY(std::find(r.lines.begin(), r.lines.end(), lastStep) != r.lines.end());

    // The results below the sources' common root, every condition repaired,
    // every line ended by CR LF; nothing else beside them.
    const std::string out = example + "/out";
    for (const ExampleSource& s : kSources) {
        Lines expected = SplitLines(sources[s.relativePath]);
        for (const auto& [broken, repaired] : s.repairs) {
            int found = 0;
            for (std::string& line : expected)
                if (Trim(line) == broken) {
                    line = line.substr(0, line.find(broken)) + repaired;
                    ++found;
                }
            QVERIFY2(found == 1, broken.c_str());
        }
        QCOMPARE(ReadBytes(out + "/" + s.relativePath), JoinLinesCrLf(expected));
        // The user's sources are untouched.
        QCOMPARE(ReadBytes(srcRoot + "/" + s.relativePath), sources[s.relativePath]);
    }
    QCOMPARE(FolderNames(out + "/shop"), (Lines{"Cart.java", "Item.java", "Main.java"}));
    QCOMPARE(FolderNames(out + "/util"), (Lines{"MathUtil.java", "Strings.java"}));
    // brelvin worked on Realign's results and kept its copies beside them.
    QVERIFY(FileExists(out + "/workout/FIL0000.eredeti.txt"));
    QVERIFY(FileExists(out + "/workout/FIL0004.javitott.txt"));

    // The product log: what the three steps wrote, in order.
    Lines log;
    const std::pair<const char*, const char*> steps[] = {
        {"Realign", "JRA"}, {"Refine", "JRF"}, {"Restructure", "JRS"}};
    for (const auto& [step, ext] : steps)
        for (int n = 0; n < 5; ++n) log.push_back(Format("%s FIL%4.4d -> FIL%4.4d.%s", step, n, n, ext));
    QCOMPARE(ReadTextLines(out + "/SHOP.log"), log);
    QVERIFY(!FileExists(out + "/workout/SHOP.LOG"));
    // The console log (captured by the bundled settings) holds brelvin's report.
    const std::string console = ReadBytes(out + "/Console.log");
    QVERIFY(console.find("Processing original file 1 " + srcRoot + "/shop/Cart.java") != std::string::npos);
    QVERIFY(console.find("Internal name workout/FIL0000.JRA") != std::string::npos);
    QVERIFY(console.find("5 files processed") != std::string::npos);
    // The last writing of last.xml is the one Restructure read.
    QVERIFY(ReadBytes(out + "/last.xml").find("  <File_0004>workout/FIL0004.JRF</File_0004>\r\n") !=
            std::string::npos);

    // The project file is as it was; the build tree's example too.
    QCOMPARE(ReadBytes(projectPath), project);
    QVERIFY(Snapshot(kBuildExample) == buildExampleBefore);
}

KORVANE_QT_TEST(RunBundledJavaTest);

#include "run_bundled_java_batch_test.moc"

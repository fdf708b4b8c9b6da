// Project files through the window: a file written by hand, the round trip
// of a save, bad files and a failed save.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_gui_test_support.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::project_test;
using Lines = std::vector<std::string>;

namespace {

const std::string kM = "frmKorvaneMain.";

// A valid Java project with a dump of a few controls.
Lines BaseProject() {
    Lines l = JavaProjectHeader("PROD", "SYS");
    for (const std::string& line :
         Lines{"[Form - frmKorvaneMain]", "[Captions]", kM + "Caption=Korvane main shell - Java [Base]",
               "[TFrames]", kM + "FrameFindDirectoryOutputDir.Edit=/base/out", "[Editboxes]",
               kM + "EditSystemName=SYS", kM + "EditProductName=PROD", kM + "EditCreateWrdList=base",
               "[Checkboxes]", kM + "CheckBoxRefine=N", "[CheckListBoxes]",
               "[TCheckListBox - " + kM + "CheckListBoxSelectedFiles]",
               kM + "CheckListBoxSelectedFiles=CheckListBoxSelectedFiles",
               kM + "CheckListBoxSelectedFiles.Tag=0", "YY/src/a.java", "NY/src/b.java", "[Konyec szkazki]"})
        l.push_back(line);
    return l;
}

std::string Bytes(const Lines& lines) { return JoinLinesCrLf(lines); }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t pos = text.find(from);
    if (pos != std::string::npos) text.replace(pos, from.size(), to);
    return text;
}

// Names the window's project Prod/Sys with <root>/jobs/ as its folder, which
// it creates; gives that folder.
std::string NameProjectInJobsFolder(ShellFixture& f, TfrmKorvaneMain& w) {
    const std::string dir = f.root() + "/jobs/";
    ForceDirectories(dir);
    w.project()->SetProjectDirectory(dir);
    w.project()->SetProductName("Prod");
    w.project()->SetSystemName("Sys");
    return dir;
}

}  // namespace

class ProjectFileGuiTest : public QObject {
    Q_OBJECT
private slots:
    void handWrittenFileLoads();
    void secondSaveIsByteIdentical();
    void typedComboTextsSurviveReopening();
    void unusualNamesRestoreByteForByte();
    void badFilesReportTheLoadErrorOrLeaveValues();
    void failedSaveKeepsTheOldFileAndTheModifiedFlag();
};

void ProjectFileGuiTest::handWrittenFileLoads() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string path = f.writeFile(
        "jobs/handwritten.srd", ReadFileBytes(std::string(KORVANE_PROJECT_TESTDATA) + "/handwritten.srd"));
    QVERIFY(ReadFileBytes(path).find("\r\n") != std::string::npos);
    OpenThroughAction(f, path);
    QVERIFY2(MessageList(w).empty(), MessageList(w).c_str());
    ProjectController* p = w.project();
    QVERIFY(w.RadioButtonCOB_COB85->isChecked());
    QCOMPARE(p->languagePrefix(), std::string("COB"));
    QCOMPARE(p->dialect(), std::string("COB85"));
    QCOMPARE(w.caption(), std::string("Korvane main shell - Cobol 85 [Payroll]"));
    QCOMPARE(p->productName(), std::string("PAY"));
    QCOMPARE(p->systemName(), std::string("ROLL"));
    QCOMPARE(p->projectDirectory(), std::string("/srv/korvane/jobs/"));
    QCOMPARE(ReadSettingString("LastPositionCOB", ""), std::string("/srv/korvane/jobs/"));
    QCOMPARE(w.localToolRoot(), std::string("/home/operator/tools"));
    QCOMPARE(p->maxDirDepth(), 42);
    QCOMPARE(p->testName(), std::string("Nightly"));
    QCOMPARE(p->objectName(), std::string("PAYROLL01"));
    QVERIFY(!p->batchRunning());
    QVERIFY(!p->modified());
    QCOMPARE(p->outputDirectory(), std::string("/srv/korvane/out/Payroll"));
    QCOMPARE(Str(w.EditCreateWrdList->text()), std::string("PAYTAB"));
    QCOMPARE(w.ComboBoxRefactorLevel->currentIndex(), 3);
    QVERIFY(!w.CheckBoxRefine->isChecked());
    QVERIFY(w.CheckBoxRemoveComp->isChecked());
    QVERIFY(w.CheckBoxRealign->isChecked() && !w.CheckBoxRealign->isEnabled());

    const CheckList& sources = w.CheckListBoxSelectedFiles->checkList();
    QCOMPARE(sources.size(), size_t(3));
    QCOMPARE(sources.text(0), std::string("/srv/src/pay/PAY001.cbl"));
    QVERIFY(sources.checked(0));
    QVERIFY(!sources.checked(1));
    QVERIFY(sources.checked(2));
    QVERIFY(sources.at(2).enabled);  // enabled flags are not restored
    QCOMPARE(w.CheckListBoxCopyCollection->checkList().size(), size_t(1));
    QCOMPARE(w.CheckListBoxControlTags->tag(), 2);
    QCOMPARE(w.CheckListBoxControlTags->checkList().text(1), std::string("OTPT PAYOUT"));
    QCOMPARE(w.PageControlFileCollect->currentWidget(), w.TabSheetSelectedFiles);
    // The stored project name went with the names; the caption keeps it.
    QCOMPARE(p->GetProjectName(), std::string("PayRoll"));
}

void ProjectFileGuiTest::secondSaveIsByteIdentical() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = NameProjectInJobsFolder(f, w);
    w.FrameFindDirectoryOutputDir->SetFieldText(f.root() + "/out");
    CheckList& sources = w.CheckListBoxSelectedFiles->checkList();
    sources.add("/src/app/a.java", true);
    sources.add("/src/app/b.java", false);
    sources.add("/src/lib/c.java", true);
    w.CheckListBoxCSVForRename->checkList().add("/csv/names.csv", true);
    w.CheckListBoxCopyCollection->checkList().add("/copy/x.jcp", false);
    w.CheckListBoxObjects->checkList().add("OBJECT1", true);
    w.CheckListBoxControlTags->checkList().add("INPT FILEA", true);
    w.CheckListBoxControlTags->setTag(5);
    w.CheckBoxRefine->setChecked(false);
    w.ComboBoxRefactorLevel->setCurrentIndex(4);
    w.EditCreateWrdList->setText("words, with = signs");
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string first = ReadFileBytes(dir + "ProdSys.srd");
    QVERIFY(first.find("YY/src/app/a.java\r\nNY/src/app/b.java\r\n") != std::string::npos);

    f.destroyWindow();
    TfrmKorvaneMain& w2 = f.start();
    OpenThroughAction(f, dir + "ProdSys.srd");
    QVERIFY2(MessageList(w2).empty(), MessageList(w2).c_str());
    w2.project()->SaveProject(false);
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), first);
}

void ProjectFileGuiTest::typedComboTextsSurviveReopening() {
    ShellFixture f;
    // With a scanner the tag boxes offer the default tags.
    WriteStandardSettings(f);
    f.writeFile("_Korvane.Src/Korvane.INI",
                ReadFileBytes(f.settingsPath()) + "JAV.Scan=Y\r\nJAV.Scanner=scan\r\n");
    f.addProgram("JAVVorl/scan");
    TfrmKorvaneMain& w = f.start();
    const std::string dir = NameProjectInJobsFolder(f, w);
    struct Box {
        QComboBox* box;
        const char* typed;
    } boxes[] = {{w.ComboBoxCreateWrdList, "MYTAG"}, {w.ComboBoxEditCWrd, "OTHER TAG"}};
    for (const Box& b : boxes) {
        QVERIFY(b.box->isEditable());
        QVERIFY(b.box->count() > 1);
        QCOMPARE(b.box->currentIndex(), 0);
        b.box->lineEdit()->selectAll();
        QTest::keyClicks(b.box->lineEdit(), QString::fromUtf8(b.typed));
        QCOMPARE(Str(b.box->currentText()), std::string(b.typed));
    }
    // An item chosen and left alone stays an index.
    w.ComboBoxRefactorLevel->setCurrentIndex(1);
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string first = ReadFileBytes(dir + "ProdSys.srd");
    for (const char* line : {"frmKorvaneMain.ComboBoxCreateWrdList=MYTAG\r\n",
                             "frmKorvaneMain.ComboBoxEditCWrd=OTHER TAG\r\n",
                             "frmKorvaneMain.ComboBoxRefactorLevel=1\r\n"})
        QVERIFY2(first.find(line) != std::string::npos, line);

    const int items = w.ComboBoxCreateWrdList->count();
    f.destroyWindow();
    TfrmKorvaneMain& w2 = f.start();
    OpenThroughAction(f, dir + "ProdSys.srd");
    QVERIFY2(MessageList(w2).empty(), MessageList(w2).c_str());
    QCOMPARE(w2.ComboBoxCreateWrdList->count(), items);
    QCOMPARE(Str(w2.ComboBoxCreateWrdList->currentText()), std::string("MYTAG"));
    QCOMPARE(Str(w2.ComboBoxEditCWrd->currentText()), std::string("OTHER TAG"));
    QCOMPARE(w2.ComboBoxRefactorLevel->currentIndex(), 1);
    w2.project()->SaveProject(false);
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), first);
}

void ProjectFileGuiTest::unusualNamesRestoreByteForByte() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = NameProjectInJobsFolder(f, w);
    // An output directory whose name is no UTF-8 keeps its bytes through the field.
    const std::string out = f.root() + "/\xC3\xBC out & \"more\" \xFF\xC3";
    w.FrameFindDirectoryOutputDir->SetFieldText(out);
    const Lines names = {"/src/a&b.java",        "/src/q\"uo'te.java", "/src/sp ace.java",
                         "/src/\xC3\xBCn\xC3\xAF.java", "/src/tab\there.java", "/src/\xFF\xFE raw.java",
                         "/src/=sign=.java",      "/src/ lead and trail .java"};
    CheckList& sources = w.CheckListBoxSelectedFiles->checkList();
    for (size_t i = 0; i < names.size(); ++i) sources.add(names[i], i % 2 == 0);
    w.CheckListBoxCSVForRename->checkList().add("/csv/a&b \"x\".csv", false);
    w.CheckListBoxCopyCollection->checkList().add("/copy/\xC3\xA9t\xC3\xA9.jcp", true);
    const std::vector<CheckEntry> before = sources.entries();

    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string first = ReadFileBytes(dir + "ProdSys.srd");
    QVERIFY(first.find("OutputDir.Edit=" + out + "\r\n") != std::string::npos);

    f.destroyWindow();
    TfrmKorvaneMain& w2 = f.start();
    OpenThroughAction(f, dir + "ProdSys.srd");
    QVERIFY2(MessageList(w2).empty(), MessageList(w2).c_str());
    const std::vector<CheckEntry>& after = w2.CheckListBoxSelectedFiles->checkList().entries();
    QCOMPARE(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].text, before[i].text);
        QCOMPARE(after[i].checked, before[i].checked);
    }
    QCOMPARE(w2.CheckListBoxCSVForRename->checkList().text(0), std::string("/csv/a&b \"x\".csv"));
    QCOMPARE(w2.CheckListBoxCopyCollection->checkList().text(0), std::string("/copy/\xC3\xA9t\xC3\xA9.jcp"));
    QCOMPARE(w2.FrameFindDirectoryOutputDir->FieldText(), out);
    w2.project()->SaveProject(false);
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), first);
}

void ProjectFileGuiTest::badFilesReportTheLoadErrorOrLeaveValues() {
    const std::string base = Bytes(BaseProject());
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(char((i * 7919 + 13) % 256));
    std::string manyItems;
    {
        Lines l = BaseProject();
        Lines items;
        for (int i = 0; i < 100000; ++i)
            items.push_back("YY/src/deep/folder/File" + std::to_string(i) + ".java");
        l.insert(l.end() - 1, items.begin(), items.end());
        manyItems = Bytes(l);
    }
    const std::string mb(1 << 20, 'x');
    std::string longLines;
    {
        Lines l = BaseProject();
        l.insert(l.begin() + 3, mb);  // a raw line of 1 MB in the properties
        for (std::string& line : l) {
            if (line == kM + "EditCreateWrdList=base") line = kM + "EditCreateWrdList=" + mb;
            if (line == "ProjectProductName=PROD") line = "ProjectProductName=P" + mb;
        }
        l.insert(l.end() - 1, "YY" + mb);
        longLines = Bytes(l);
    }

    std::string folder;  // of the case's project file
    struct Case {
        const char* name;
        std::string bytes;  // empty with missing: no file at all
        bool missing;
        bool fails;
        std::function<void(TfrmKorvaneMain&)> check;
    };
    std::vector<Case> cases = {
        {"truncated in the properties", base.substr(0, 60), false, true, nullptr},
        {"truncated in the dump", base.substr(0, base.find("NY/src/b.java") + 6), false, false,
         [](TfrmKorvaneMain& w) {
             const CheckList& l = w.CheckListBoxSelectedFiles->checkList();
             QCOMPARE(l.size(), size_t(2));
             QVERIFY(l.indexOf("/src", false) >= 0);  // the cut line is the last item
             QVERIFY(!w.CheckBoxRefine->isChecked());
         }},
        {"binary", binary, false, true, nullptr},
        {"empty", "", false, true, nullptr},
        {"missing", "", true, true, nullptr},
        {"Tag x", Replaced(base, ".Tag=0", ".Tag=x"), false, true,
         [](TfrmKorvaneMain& w) {
             // What was restored before the bad value stays.
             QVERIFY(!w.CheckBoxRefine->isChecked());
             QCOMPARE(Str(w.EditCreateWrdList->text()), std::string("base"));
             QVERIFY(w.CheckListBoxSelectedFiles->checkList().empty());
         }},
        {"bad check box flag", Replaced(base, "CheckBoxRefine=N", "CheckBoxRefine=Q"), false, true,
         [](TfrmKorvaneMain& w) {
             QVERIFY(w.CheckBoxRefine->isChecked());
             QCOMPARE(Str(w.EditCreateWrdList->text()), std::string("base"));
         }},
        {"bad item flag", Replaced(base, "NY/src/b.java", "QY/src/b.java"), false, true,
         [](TfrmKorvaneMain& w) { QCOMPARE(w.CheckListBoxSelectedFiles->checkList().size(), size_t(1)); }},
        {"language naming no button", Replaced(base, "ProjectVersion=JAV", "ProjectVersion=FOO"), false, true,
         [](TfrmKorvaneMain& w) {
             QVERIFY(w.RadioButtonJAV->isChecked());
             QCOMPARE(w.project()->productName(), std::string());
         }},
        {"number not a number", Replaced(base, "MaxDirDepth=100", "MaxDirDepth=abc"), false, true,
         [](TfrmKorvaneMain& w) { QCOMPARE(w.project()->productName(), std::string("PROD")); }},
        // Refused names and numbers out of range are reported, and the
        // project still opens; relative paths start at the file's folder.
        {"system name that cannot be a file name",
         Replaced(base, "ProjectSystemName=SYS", "ProjectSystemName=../../victim"), false, false,
         [](TfrmKorvaneMain& w) {
             QCOMPARE(w.project()->systemName(), std::string());
             QCOMPARE(w.project()->productName(), std::string("PROD"));
             QCOMPARE(w.CheckListBoxSelectedFiles->checkList().size(), size_t(2));
             QVERIFY(MessageList(w).find("System name name missing or incorrect") != std::string::npos);
         }},
        {"depth that overflows", Replaced(base, "MaxDirDepth=100", "MaxDirDepth=2147483647"), false, false,
         [](TfrmKorvaneMain& w) {
             QCOMPARE(w.project()->maxDirDepth(), 100);
             QVERIFY2(MessageList(w).find("MaxDirDepth=2147483647 is out of range (0 to 4096), 100 is used") !=
                          std::string::npos,
                      MessageList(w).c_str());
             QCOMPARE(w.CheckListBoxSelectedFiles->checkList().size(), size_t(2));
         }},
        {"relative paths",
         Replaced(Replaced(Replaced(base, "Edit=/base/out", "Edit=out/./x"), "YY/src/a.java", "YYsrc/a.java"),
                  "NY/src/b.java", "NY../elsewhere/../src/b.java"),
         false, false,
         [&folder](TfrmKorvaneMain& w) {
             QCOMPARE(w.project()->outputDirectory(), folder + "/out/x");
             const CheckList& l = w.CheckListBoxSelectedFiles->checkList();
             QCOMPARE(l.size(), size_t(2));
             QVERIFY(l.indexOf(folder + "/src/a.java", false) >= 0);
             QVERIFY(l.indexOf(ExtractFileDir(folder) + "/src/b.java", false) >= 0);
             QCOMPARE(w.PanelCommonRoot->text(), QString::fromUtf8(ExtractFileDir(folder)));
         }},
        {"100,000 items", manyItems, false, false,
         [](TfrmKorvaneMain& w) {
             const CheckList& l = w.CheckListBoxSelectedFiles->checkList();
             QCOMPARE(l.size(), size_t(100002));
             QVERIFY(l.indexOf("/src/deep/folder/File99999.java", false) >= 0);
         }},
        {"1 MB lines", longLines, false, false,
         [&mb, &folder](TfrmKorvaneMain& w) {
             // a name longer than any file name is refused, and the project opens
             QCOMPARE(w.project()->productName(), std::string());
             QVERIFY(MessageList(w).find("Product name missing or incorrect") != std::string::npos);
             QVERIFY(w.EditCreateWrdList->text().startsWith(QStringLiteral("xxxx")));
             // a relative entry, taken from the file's folder
             QVERIFY(w.CheckListBoxSelectedFiles->checkList().indexOf(folder + "/" + mb, false) >= 0);
             QCOMPARE(w.project()->systemName(), std::string("SYS"));
         }},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        TfrmKorvaneMain& w = StartStandard(f);
        folder = f.root() + "/jobs";
        const std::string path = c.missing ? f.root() + "/none.srd" : f.writeFile("jobs/p.srd", c.bytes);
        QElapsedTimer timer;
        timer.start();
        OpenThroughAction(f, path);
        QVERIFY2(timer.elapsed() < 20000, c.name);
        const bool reported = MessageList(w).find(ProjectController::kLoadError) != std::string::npos;
        QVERIFY2(reported == c.fails, c.name);
        QVERIFY2(!w.project()->modified(), c.name);
        QVERIFY2(!w.project()->projectLoading(), c.name);
        if (c.check) c.check(w);
        if (QTest::currentTestFailed()) {
            qWarning("case: %s", c.name);
            return;
        }
    }
}

void ProjectFileGuiTest::failedSaveKeepsTheOldFileAndTheModifiedFlag() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = NameProjectInJobsFolder(f, w);
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string old = ReadFileBytes(dir + "ProdSys.srd");
    w.CheckBoxRefine->setChecked(false);
    QVERIFY(w.project()->modified());

    // A folder that cannot be written; the superuser writes anywhere, so
    // for it the write is made to fail half way instead.
    const bool root = geteuid() == 0;
    struct rlimit limit {};
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    if (root) {
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        struct rlimit small = limit;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    } else {
        QCOMPARE(chmod(dir.c_str(), 0555), 0);
    }
    w.actions().execute(ActionId::SaveProject);
    if (root)
        setrlimit(RLIMIT_FSIZE, &limit);
    else
        chmod(dir.c_str(), 0755);
    signal(SIGXFSZ, oldHandler);

    const std::string shown = Shown(w);
    QVERIFY2(shown.find("Cannot create file") != std::string::npos, shown.c_str());
    QVERIFY2(shown.find(SystemErrorText(root ? EFBIG : EACCES)) != std::string::npos, shown.c_str());
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), old);
    QVERIFY(w.project()->modified());
    QVERIFY(w.actions()[ActionId::SaveProject]->isEnabled());
    QCOMPARE(int(ListDirectory(dir).size()), 1);
}

KORVANE_QT_TEST(ProjectFileGuiTest);

#include "project_file_gui_test.moc"

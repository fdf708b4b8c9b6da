// Project files through the window: a file written by hand, the round trip
// of a save, what the load reports and a failed save. What the file's values
// become without a window is ProjectModel's test (project_file_test.cpp),
// the text format is StreamToIni's.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <functional>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
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
std::string BaseProject() {
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
    return JoinLinesCrLf(l);
}

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
    void savedProjectReopensAndSavesByteForByte();
    void loadReportsBadFilesAndNotesAndStillOpensGoodOnes();
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

// Every kind of value a user gives the window, unusual names among them,
// comes back from the file, and the reopened project saves the same bytes.
void ProjectFileGuiTest::savedProjectReopensAndSavesByteForByte() {
    ShellFixture f;
    // With a scanner the tag boxes offer the default tags.
    WriteStandardSettings(f);
    f.writeFile("_Korvane.Src/Korvane.INI", ReadFileBytes(f.settingsPath()) + "JAV.Scan=Y\r\nJAV.Scanner=scan\r\n");
    f.addProgram("JAVVorl/scan");
    TfrmKorvaneMain& w = f.start();
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
    w.CheckListBoxObjects->checkList().add("OBJECT1", true);
    w.CheckListBoxControlTags->checkList().add("INPT FILEA", true);
    w.CheckListBoxControlTags->setTag(5);
    w.CheckBoxRefine->setChecked(false);
    w.EditCreateWrdList->setText("words, with = signs");
    // Typed texts of the editable boxes stay texts; a chosen item stays an index.
    struct Box {
        QComboBox* box;
        const char* typed;
    } boxes[] = {{w.ComboBoxCreateWrdList, "MYTAG"}, {w.ComboBoxEditCWrd, "OTHER TAG"}};
    for (const Box& b : boxes) {
        QVERIFY(b.box->isEditable() && b.box->count() > 1);
        QCOMPARE(b.box->currentIndex(), 0);
        b.box->lineEdit()->selectAll();
        QTest::keyClicks(b.box->lineEdit(), QString::fromUtf8(b.typed));
    }
    w.ComboBoxRefactorLevel->setCurrentIndex(4);
    const std::vector<CheckEntry> before = sources.entries();
    const int tags = w.ComboBoxCreateWrdList->count();

    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    const std::string first = ReadFileBytes(dir + "ProdSys.srd");
    for (const std::string& line : {kM + "ComboBoxCreateWrdList=MYTAG", kM + "ComboBoxEditCWrd=OTHER TAG",
                                    kM + "ComboBoxRefactorLevel=4", "OutputDir.Edit=" + out})
        QVERIFY2(first.find(line + "\r\n") != std::string::npos, line.c_str());

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
    QCOMPARE(w2.ComboBoxCreateWrdList->count(), tags);
    QCOMPARE(Str(w2.ComboBoxCreateWrdList->currentText()), std::string("MYTAG"));
    QCOMPARE(Str(w2.ComboBoxEditCWrd->currentText()), std::string("OTHER TAG"));
    QCOMPARE(w2.ComboBoxRefactorLevel->currentIndex(), 4);
    w2.project()->SaveProject(false);
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), first);
}

// The load's own handling of a file; the many kinds of bad values are
// ProjectModel's and StreamToIni's cases.
void ProjectFileGuiTest::loadReportsBadFilesAndNotesAndStillOpensGoodOnes() {
    const std::string base = BaseProject();
    std::string folder;  // of the case's project file
    struct Case {
        const char* name;
        std::string bytes;  // empty with missing: no file at all
        bool missing;
        bool fails;
        std::function<void(TfrmKorvaneMain&)> check;
    };
    const std::vector<Case> cases = {
        {"missing", "", true, true, nullptr},
        {"truncated in the properties", base.substr(0, 60), false, true, nullptr},
        {"language naming no button", Replaced(base, "ProjectVersion=JAV", "ProjectVersion=FOO"), false, true,
         [](TfrmKorvaneMain& w) {
             QVERIFY(w.RadioButtonJAV->isChecked());
             QCOMPARE(w.project()->productName(), std::string());
         }},
        {"number not a number", Replaced(base, "MaxDirDepth=100", "MaxDirDepth=abc"), false, true,
         [](TfrmKorvaneMain& w) { QCOMPARE(w.project()->productName(), std::string("PROD")); }},
        {"Tag x", Replaced(base, ".Tag=0", ".Tag=x"), false, true,
         [](TfrmKorvaneMain& w) {
             // What was restored before the bad value stays.
             QVERIFY(!w.CheckBoxRefine->isChecked());
             QCOMPARE(Str(w.EditCreateWrdList->text()), std::string("base"));
             QVERIFY(w.CheckListBoxSelectedFiles->checkList().empty());
         }},
        // A refused name and a number out of range are reported, and the
        // project opens; relative paths start at the file's folder.
        {"notes and relative paths",
         Replaced(Replaced(Replaced(Replaced(Replaced(base, "ProjectSystemName=SYS", "ProjectSystemName=../../victim"),
                                             "MaxDirDepth=100", "MaxDirDepth=2147483647"),
                                    "Edit=/base/out", "Edit=out/./x"),
                           "YY/src/a.java", "YYsrc/a.java"),
                  "NY/src/b.java", "NY../elsewhere/../src/b.java"),
         false, false,
         [&folder](TfrmKorvaneMain& w) {
             QCOMPARE(w.project()->systemName(), std::string());
             QCOMPARE(w.project()->productName(), std::string("PROD"));
             QCOMPARE(w.project()->maxDirDepth(), 100);
             for (const char* note : {"System name name missing or incorrect",
                                      "MaxDirDepth=2147483647 is out of range (0 to 4096), 100 is used"})
                 QVERIFY2(MessageList(w).find(note) != std::string::npos, MessageList(w).c_str());
             QCOMPARE(w.project()->outputDirectory(), folder + "/out/x");
             const CheckList& l = w.CheckListBoxSelectedFiles->checkList();
             QCOMPARE(l.size(), size_t(2));
             QVERIFY(l.indexOf(folder + "/src/a.java", false) >= 0);
             QVERIFY(l.indexOf(ExtractFileDir(folder) + "/src/b.java", false) >= 0);
             QCOMPARE(w.PanelCommonRoot->text(), QString::fromUtf8(ExtractFileDir(folder)));
         }},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        TfrmKorvaneMain& w = StartStandard(f);
        folder = f.root() + "/jobs";
        OpenThroughAction(f, c.missing ? f.root() + "/none.srd" : f.writeFile("jobs/p.srd", c.bytes));
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

    // The write fails half way (a file size limit stops the super-user too).
    struct rlimit limit {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = limit;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    w.actions().execute(ActionId::SaveProject);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, oldHandler);

    const std::string shown = Shown(w);
    QVERIFY2(shown.find("Cannot create file") != std::string::npos, shown.c_str());
    QVERIFY2(shown.find(SystemErrorText(EFBIG)) != std::string::npos, shown.c_str());
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), old);
    QVERIFY(w.project()->modified());
    QVERIFY(w.actions()[ActionId::SaveProject]->isEnabled());
    QCOMPARE(int(ListDirectory(dir).size()), 1);
}

KORVANE_QT_TEST(ProjectFileGuiTest);

#include "project_file_gui_test.moc"

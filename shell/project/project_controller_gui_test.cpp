// The project's values, the modified flag and its question, new, open, load
// and save as the window runs them.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "shared/platform/files.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_gui_test_support.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::project_test;
using Lines = std::vector<std::string>;

namespace {

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int CountCalls(ShellFixture& f, const std::string& what) {
    int n = 0;
    for (const auto& c : f.dialogs.Calls())
        if (c.what == what) ++n;
    return n;
}

// A folder for project files, made the project directory.
std::string JobsFolder(ShellFixture& f) {
    const std::string dir = f.root() + "/jobs/";
    ForceDirectories(dir);
    f.window().project()->SetProjectDirectory(dir);
    return dir;
}

void SetNames(TfrmKorvaneMain& w, const std::string& product, const std::string& system) {
    w.project()->SetProductName(product);
    w.project()->SetSystemName(system);
}

}  // namespace

class ProjectControllerTest : public QObject {
    Q_OBJECT
private slots:
    void typingAndLeavingTheNameFields();
    void digitLedOrMissingNamesAreRefused();
    void longNamesFromAFileAreTakenUnchanged();
    void saveAsksForANameOnlyWhenNeeded();
    void openedFileKeepsItsCaptionWhileSaveTargetsTheFormedName();
    void interruptedRunIsResumedAfterOpening();
    void storedLanguageSelectsTheButton();
    void rowWithMissingProgramOpensUncheckedAndDisabled();
    void newProjectAsksThenClears();
    void answeringYesSavesFirst();
    void cancelledOpenLeavesANewProject();
    void designedRowsAndRefactorLevelMarkModified();
    void projectNamedOnTheCommandLine();
    void destroyingTheWindowWithAFocusedField();
};

void ProjectControllerTest::typingAndLeavingTheNameFields() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    ProjectController* p = w.project();
    // Typing copies the text into the name without a check and without
    // marking the project modified.
    Type(w.EditProductName, "ABC");
    QCOMPARE(p->productName(), std::string("ABC"));
    QVERIFY(!p->modified());
    Type(w.EditSystemName, "xyz12");
    QCOMPARE(p->systemName(), std::string("xyz12"));
    // Leaving a field with text runs the setter.
    Leave(w.EditProductName);
    QVERIFY(p->modified());
    QVERIFY(w.actions()[ActionId::SaveProject]->isEnabled());
    Leave(w.EditSystemName);
    QCOMPARE(p->GetProjectName(), std::string("AbcXyz12"));
    // Eight characters at most can be typed.
    Type(w.EditSystemName, "3456");
    QCOMPARE(Str(w.EditSystemName->text()), std::string("xyz12345"));
    // Leaving an empty field does nothing.
    w.EditProductName->clear();
    p->clearModifiedWithoutAsking();
    w.statusBar().ShowWarning("kept");
    Leave(w.EditProductName);
    QVERIFY(!p->modified());
    QCOMPARE(Shown(w), std::string("kept"));
    // "*" empties a name.
    p->SetSystemName("*");
    QCOMPARE(p->systemName(), std::string());
    QCOMPARE(Str(w.EditSystemName->text()), std::string());
}

void ProjectControllerTest::digitLedOrMissingNamesAreRefused() {
    struct Case {
        bool product;
        const char* text;
        const char* message;
    } cases[] = {{true, "1ABC", "Product name missing or incorrect"},
                 {false, "0xyz", "System name name missing or incorrect"},
                 {false, "9", "System name name missing or incorrect"},
                 // names that cannot stand in a file name
                 {false, "../../x", "System name name missing or incorrect"},
                 {true, "a/b", "Product name missing or incorrect"},
                 {true, "C:x", "Product name missing or incorrect"}};
    for (const Case& c : cases) {
        // Refused when the field is left.
        ShellFixture f;
        TfrmKorvaneMain& w = StartStandard(f);
        QLineEdit* edit = c.product ? w.EditProductName : w.EditSystemName;
        w.PageControlMain->setCurrentWidget(w.TabSheetTech);
        Type(edit, c.text);
        Leave(edit);
        QCOMPARE(Shown(w), std::string(c.message));
        QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);
        QVERIFY(!w.project()->modified());

        // Refused at the next save, before any dialog.
        ShellFixture g;
        TfrmKorvaneMain& w2 = StartStandard(g);
        Type(w2.EditProductName, c.product ? c.text : "PROD");
        Type(w2.EditSystemName, c.product ? "xyz12" : c.text);
        w2.actions().execute(ActionId::SaveProjectAs);
        QCOMPARE(Shown(w2), std::string(c.message));
        QCOMPARE(CountCalls(g, "SaveFile"), 0);
        // An empty name is refused the same way.
        w2.EditProductName->clear();
        w2.project()->SetProductName("*");
        w2.actions().execute(ActionId::SaveProjectAs);
        QCOMPARE(Shown(w2), std::string(c.product ? c.message : "System name name missing or incorrect"));
    }
}

void ProjectControllerTest::longNamesFromAFileAreTakenUnchanged() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = JobsFolder(f);
    Lines lines = JavaProjectHeader("PRODUCTLONG", "SYSTEMNAMELONG");
    for (const std::string& l :
         Lines{"[Form - frmKorvaneMain]", "[Editboxes]", "frmKorvaneMain.EditSystemName=SYSTEMNAMELONG",
               "frmKorvaneMain.EditProductName=PRODUCTLONG", "[Konyec szkazki]"})
        lines.push_back(l);
    const std::string path = WriteProject(f, "jobs/Long.srd", lines);
    OpenThroughAction(f, path);
    ProjectController* p = w.project();
    QCOMPARE(p->systemName(), std::string("SYSTEMNAMELONG"));
    QCOMPARE(p->productName(), std::string("PRODUCTLONG"));
    QCOMPARE(Str(w.EditSystemName->text()), std::string("SYSTEMNAMELONG"));
    // Leaving the field keeps the whole name.
    Leave(w.EditSystemName);
    QCOMPARE(p->systemName(), std::string("SYSTEMNAMELONG"));
    QCOMPARE(p->GetProjectName(), std::string("ProductlongSystemnamelong"));
    f.dialogs.AnswerPath(dir + "Again.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    Lines saved = ReadLines(dir + "Again.srd");
    QVERIFY(Contains(saved, "ProjectSystemName=SYSTEMNAMELONG"));
    QVERIFY(Contains(saved, "frmKorvaneMain.EditSystemName=SYSTEMNAMELONG"));
}

void ProjectControllerTest::saveAsksForANameOnlyWhenNeeded() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = JobsFolder(f);
    SetNames(w, "Prod", "Sys");
    // A new project: the dialog proposes the project name.
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(CountCalls(f, "SaveFile"), 1);
    const FileDialogOptions& o = f.dialogs.Calls().back().file;
    QCOMPARE(f.dialogs.Calls().back().text, std::string("Save project as..."));
    QCOMPARE(o.fileName, std::string("ProdSys"));
    QCOMPARE(o.filter, std::string("ZQ Korvane Project File(*.srd)|*.srd"));
    QCOMPARE(o.defaultExt, std::string("srd"));
    QCOMPARE(o.initialDir, dir);
    QVERIFY(o.overwritePrompt);
    QVERIFY(FileExists(dir + "ProdSys.srd"));
    QVERIFY(!w.project()->modified());
    QVERIFY(!w.actions()[ActionId::SaveProject]->isEnabled());
    QVERIFY(EndsWith(w.caption(), " - Java [ProdSys]"));
    QCOMPARE(ReadLines(dir + "ProdSys.srd")[2], std::string("ProjectName=ProdSys"));

    // The file exists: overwritten without a dialog.
    w.CheckBoxRefine->setChecked(false);
    QVERIFY(w.project()->modified());
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(CountCalls(f, "SaveFile"), 1);
    QVERIFY(Contains(ReadLines(dir + "ProdSys.srd"), "frmKorvaneMain.CheckBoxRefine=N"));
    QVERIFY(!w.project()->modified());

    // Save as always asks; cancelling writes nothing.
    w.CheckBoxRefine->setChecked(true);
    const std::string before = ReadFileBytes(dir + "ProdSys.srd");
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::SaveProjectAs);
    QCOMPARE(CountCalls(f, "SaveFile"), 2);
    QCOMPARE(Shown(w), std::string("Save cancelled"));
    QVERIFY(w.project()->modified());
    QCOMPARE(ReadFileBytes(dir + "ProdSys.srd"), before);
}

void ProjectControllerTest::openedFileKeepsItsCaptionWhileSaveTargetsTheFormedName() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = JobsFolder(f);
    SetNames(w, "Prod", "Sys");
    f.dialogs.AnswerPath(dir + "MyJob.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    QVERIFY(Contains(ReadLines(dir + "MyJob.srd"), "ProjectName=MyJob"));

    f.dialogs.ClearCalls();
    OpenThroughAction(f, dir + "MyJob.srd");
    {
        const auto& call = f.dialogs.Calls().back();
        QCOMPARE(call.what, std::string("OpenFiles"));
        QCOMPARE(call.text, std::string("Open a Korvane project definition"));
        QCOMPARE(call.file.filter, std::string("ZQ Korvane Project File(*.srd)|*.srd"));
        QCOMPARE(call.file.defaultExt, std::string("srd"));
        QCOMPARE(call.file.fileName, std::string());
        QCOMPARE(call.file.initialDir, dir);
        QVERIFY(call.file.mustExist);
    }
    QVERIFY(EndsWith(w.caption(), "[MyJob]"));
    QCOMPARE(w.project()->GetProjectName(), std::string("ProdSys"));
    QVERIFY(EndsWith(w.caption(), "[MyJob]"));

    // ProdSys.srd does not exist: a plain save asks, proposing ProdSys.
    w.project()->setModified(true);
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(f.dialogs.Calls().back().file.fileName, std::string("ProdSys"));
    QCOMPARE(Shown(w), std::string("Save cancelled"));

    // Once it exists, a plain save after opening MyJob writes ProdSys.srd.
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    f.dialogs.AnswerButton(kNo);  // the open's question about the unsaved change below
    w.CheckBoxRefine->setChecked(false);
    OpenThroughAction(f, dir + "MyJob.srd");
    QVERIFY(EndsWith(w.caption(), "[MyJob]"));
    w.CheckBoxRefine->setChecked(false);
    const int dialogs = CountCalls(f, "SaveFile");
    w.actions().execute(ActionId::SaveProject);
    QCOMPARE(CountCalls(f, "SaveFile"), dialogs);
    QVERIFY(Contains(ReadLines(dir + "ProdSys.srd"), "frmKorvaneMain.CheckBoxRefine=N"));
    QVERIFY(Contains(ReadLines(dir + "MyJob.srd"), "frmKorvaneMain.CheckBoxRefine=Y"));
}

void ProjectControllerTest::interruptedRunIsResumedAfterOpening() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = JobsFolder(f);
    SetNames(w, "Prod", "Sys");
    ProjectController* p = w.project();
    // Saved while a run is in progress.
    w.setBusy(true);
    p->setBatchRunning(true);
    p->setNumberOfSourceFiles(7);
    f.dialogs.AnswerPath(dir + "Run.srd");
    w.actions().execute(ActionId::SaveProject);
    Lines saved = ReadLines(dir + "Run.srd");
    QVERIFY(Contains(saved, "BatchRunning=Y"));
    QVERIFY(Contains(saved, "NumberOfSourceFiles=7"));
    w.setBusy(false);
    p->setBatchRunning(false);

    int renames = 0;
    bool cleared = false, clearedFirst = false;
    QObject::connect(p, &ProjectController::projectCleared, [&] { cleared = true; });
    w.actions().setHandler(ActionId::Rename, [&](QObject*) {
        ++renames;
        clearedFirst = cleared;
    });
    OpenThroughAction(f, dir + "Run.srd");
    QCOMPARE(renames, 1);
    QVERIFY(clearedFirst);  // the name map went with the cleared project
    QVERIFY(!p->batchRunning());
    QCOMPARE(p->numberOfSourceFiles(), 7);
    QVERIFY(p->modified());

    // A project saved idle resumes nothing.
    p->clearModifiedWithoutAsking();
    f.dialogs.AnswerPath(dir + "Idle.srd");
    w.actions().execute(ActionId::SaveProjectAs);
    QVERIFY(!Contains(ReadLines(dir + "Idle.srd"), "NumberOfSourceFiles=7"));
    OpenThroughAction(f, dir + "Idle.srd");
    QCOMPARE(renames, 1);
    QVERIFY(!p->modified());
}

void ProjectControllerTest::storedLanguageSelectsTheButton() {
    struct Case {
        Lines properties;
        const char* button;  // nullptr: the load fails
        const char* dialect;
    } cases[] = {
        {{"ProjectVersion=JAV"}, "RadioButtonJAV", ""},
        {{"ProjectVersion=JAV", "LanguageVersion="}, "RadioButtonJAV", ""},
        {{"ProjectVersion=COB", "LanguageVersion=COB85"}, "RadioButtonCOB_COB85", "COB85"},
        {{"ProjectVersion=COB"}, nullptr, ""},
        {{"ProjectVersion=XYZ"}, nullptr, ""},
        {{}, nullptr, ""},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        TfrmKorvaneMain& w = StartStandard(f);
        const std::string caption = w.caption();
        Lines lines = {"[Properties]", "ProjectProductName=PROD", "ProjectSystemName=SYS", "BatchRunning=N"};
        lines.insert(lines.end(), c.properties.begin(), c.properties.end());
        OpenThroughAction(f, WriteProject(f, "p.srd", lines));
        if (c.button) {
            QVERIFY2(MessageList(w).empty(), MessageList(w).c_str());
            QCOMPARE(w.language()->applied().suffix, std::string(c.button).substr(11));
            QVERIFY(w.languageButton(std::string(c.button).substr(11))->isChecked());
            QCOMPARE(w.project()->dialect(), std::string(c.dialect));
            QCOMPARE(w.project()->systemName(), std::string("SYS"));
        } else {
            QVERIFY2(MessageList(w).find(ProjectController::kLoadError) != std::string::npos,
                     MessageList(w).c_str());
            QVERIFY(w.RadioButtonJAV->isChecked());
            QCOMPARE(w.language()->selectedLanguage(), std::string("JAV"));
            QCOMPARE(w.caption(), caption);
            QVERIFY(!w.project()->modified());
            QVERIFY(!w.project()->projectLoading());
        }
    }
}

void ProjectControllerTest::rowWithMissingProgramOpensUncheckedAndDisabled() {
    ShellFixture f;
    StartStandard(f);
    const std::string dir = JobsFolder(f);
    SetNames(f.window(), "Prod", "Sys");
    QVERIFY(f.window().CheckBoxRelocateDB->isChecked());
    f.dialogs.AnswerPath(dir + "Rows.srd");
    f.window().actions().execute(ActionId::SaveProjectAs);
    QVERIFY(Contains(ReadLines(dir + "Rows.srd"), "frmKorvaneMain.CheckBoxRelocateDB=Y"));

    QVERIFY(DeleteFile(f.binDir() + "/JAVVorl/reldb"));
    TfrmKorvaneMain& w = f.start();
    OpenThroughAction(f, dir + "Rows.srd");
    QVERIFY(MessageList(w).empty());
    QVERIFY(!w.CheckBoxRelocateDB->isEnabled());
    QVERIFY(!w.CheckBoxRelocateDB->isChecked());
    QVERIFY(w.CheckBoxRefine->isChecked());
    QVERIFY(!w.CheckBoxRealign->isEnabled());
    QVERIFY(w.CheckBoxRealign->isChecked());
}

void ProjectControllerTest::newProjectAsksThenClears() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    ProjectController* p = w.project();
    SetNames(w, "Prod", "Sys");
    w.CheckListBoxSelectedFiles->checkList().add("/src/a.java", true);
    w.CheckListBoxCSVForRename->checkList().add("/csv/r.csv", true);
    w.CheckListBoxCopyCollection->checkList().add("/copy/c.jcp", true);
    w.CheckListBoxObjects->checkList().add("OBJ", true);
    w.CheckListBoxControlTags->checkList().add("TAG", true);
    w.PanelCommonRoot->setText("/src");
    w.EditCreateWrdList->setText("word");
    w.RichEditCTLWords->setPlainText("text");
    w.MemoNewFileNames->setPlainText("FIL0000=x");
    w.CheckBoxRefine->setChecked(false);
    w.ComboBoxRefactorLevel->setCurrentIndex(2);
    w.FrameFindDirectoryOutputDir->SetFieldText("/somewhere");
    TfrmKorvaneMain::setTabVisible(w.PageControlMain, w.TabSheetViewer, true);
    w.PageControlMain->setCurrentWidget(w.TabSheetTech);
    QVERIFY(p->modified());

    // Cancel keeps everything.
    f.dialogs.AnswerButton(kCancel);
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(Shown(w), std::string("Action cancelled"));
    const auto& q = f.dialogs.Calls().back();
    QCOMPARE(q.text,
             std::string("The current project has been modified \r\nDo you want to save the changes?'"));
    QCOMPARE(q.kind, MsgKind::Warning);
    QCOMPARE(q.buttons, unsigned(kYes | kNo | kCancel));
    QCOMPARE(p->productName(), std::string("Prod"));
    QVERIFY(p->modified());

    // No: the new-project state.
    int cleared = 0;
    QObject::connect(p, &ProjectController::projectCleared, [&] { ++cleared; });
    f.dialogs.AnswerButton(kNo);
    w.actions().execute(ActionId::NewProject);
    QVERIFY(cleared >= 1);
    QCOMPARE(p->productName(), std::string());
    QCOMPARE(Str(w.EditSystemName->text()), std::string());
    QVERIFY(w.CheckListBoxSelectedFiles->checkList().empty());
    QVERIFY(w.CheckListBoxCSVForRename->checkList().empty());
    QVERIFY(w.CheckListBoxObjects->checkList().empty());
    QVERIFY(w.CheckListBoxControlTags->checkList().empty());
    QCOMPARE(w.CheckListBoxCopyCollection->checkList().size(), size_t(1));
    QCOMPARE(Str(w.PanelCommonRoot->text()), std::string());
    QCOMPARE(Str(w.EditCreateWrdList->text()), std::string());
    QVERIFY(w.RichEditCTLWords->toPlainText().isEmpty());
    QVERIFY(w.MemoNewFileNames->toPlainText().isEmpty());
    QVERIFY(w.CheckBoxRefine->isChecked());
    QVERIFY(w.CheckBoxRelocateDB->isChecked());
    QVERIFY(!w.CheckBoxRealign->isEnabled() && w.CheckBoxRealign->isChecked());
    QCOMPARE(w.ComboBoxRefactorLevel->currentIndex(), 8);
    QVERIFY(EndsWith(w.caption(), " - Java []"));
    QVERIFY(!TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetViewer));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);
    // The language applied again puts the project directory into the field.
    QCOMPARE(w.FrameFindDirectoryOutputDir->FieldText() + "/", p->projectDirectory());
    QVERIFY(!p->modified());
    QVERIFY(!w.actions()[ActionId::SaveProject]->isEnabled());
}

void ProjectControllerTest::answeringYesSavesFirst() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    const std::string dir = JobsFolder(f);
    SetNames(w, "Prod", "Sys");
    f.dialogs.AnswerButton(kYes);
    f.dialogs.AnswerPath(dir + "ProdSys.srd");
    w.actions().execute(ActionId::NewProject);
    QVERIFY(Contains(ReadLines(dir + "ProdSys.srd"), "ProjectProductName=Prod"));
    QCOMPARE(w.project()->productName(), std::string());
    QVERIFY(!w.project()->modified());

    // Yes, then the save dialog cancelled: the new project is not made.
    SetNames(w, "Other", "Sys");
    f.dialogs.AnswerButton(kYes);
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(Shown(w), std::string("Save cancelled"));
    QCOMPARE(w.project()->productName(), std::string("Other"));
    QVERIFY(w.project()->modified());
}

void ProjectControllerTest::cancelledOpenLeavesANewProject() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    SetNames(w, "Prod", "Sys");
    w.project()->clearModifiedWithoutAsking();
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::OpenProject);
    QCOMPARE(Shown(w), std::string("File search cancelled, new project created"));
    QCOMPARE(w.project()->productName(), std::string());
    QVERIFY(!w.project()->modified());
}

void ProjectControllerTest::designedRowsAndRefactorLevelMarkModified() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    for (QCheckBox* box : {w.CheckBoxRefine, w.CheckBoxRemoveComp, w.CheckBoxReplaceNumericConstants,
                           w.CheckBoxReplaceLiterals, w.CheckBoxRelocateFiles, w.CheckBoxRelocateDB,
                           w.CheckBoxRelocateTP, w.CheckBoxRestructure, w.CheckBoxRefactorNestedBlocks}) {
        w.project()->clearModifiedWithoutAsking();
        box->click();
        QVERIFY2(w.project()->modified(), qPrintable(box->objectName()));
    }
    w.project()->clearModifiedWithoutAsking();
    w.ComboBoxRefactorLevel->setCurrentIndex(3);
    QVERIFY(w.project()->modified());
}

void ProjectControllerTest::projectNamedOnTheCommandLine() {
    ShellFixture f;
    WriteStandardSettings(f);
    Lines lines = JavaProjectHeader("CMD", "LINE");
    lines.insert(lines.begin() + 2, "ProjectName=FromArgs");
    lines.push_back("[Form - frmKorvaneMain]");
    lines.push_back("[Captions]");
    lines.push_back("frmKorvaneMain.Caption=Korvane main shell - Java [FromArgs]");
    lines.push_back("[Checkboxes]");
    lines.push_back("frmKorvaneMain.CheckBoxRefine=N");
    const std::string path = WriteProject(f, "jobs/FromArgs.srd", lines);
    TfrmKorvaneMain& w = f.start({"-proj", path});
    QCOMPARE(w.project()->productName(), std::string("CMD"));
    QVERIFY(!w.CheckBoxRefine->isChecked());
    QVERIFY(EndsWith(w.caption(), "[FromArgs]"));
    QVERIFY(!w.project()->modified());

    // A file that does not load reports the load error at start.
    const std::string bad = WriteProject(f, "jobs/Bad.srd", {"[Properties]", "ProjectVersion=XYZ"});
    TfrmKorvaneMain& w2 = f.start({"-proj", bad});
    QVERIFY(MessageList(w2).find(ProjectController::kLoadError) != std::string::npos);
}

void ProjectControllerTest::destroyingTheWindowWithAFocusedField() {
    // The window goes while a field that validates on leaving has the focus.
    for (int field = 0; field < 2; ++field) {
        ShellFixture f;
        TfrmKorvaneMain& w = StartStandard(f);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* edit = field == 0 ? w.EditProductName : w.FrameFindDirectoryOutputDir->Edit;
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        Type(edit, field == 0 ? "1ABC" : "/no/such/folder");
        f.destroyWindow();
    }
}

KORVANE_QT_TEST(ProjectControllerTest);

#include "project_controller_gui_test.moc"

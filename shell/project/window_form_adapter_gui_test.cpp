// The main window as the form-state walks see it. Values restored through
// it are also checked by the project file's tests (project_file_gui_test).

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

#include "shell/app/main_window.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_gui_test_support.h"
#include "shell/project/stream_to_ini.h"
#include "shell/project/window_form_adapter.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::project_test;
using Lines = std::vector<std::string>;

namespace {

FormComponent* Find(WindowFormAdapter& a, const std::string& name) {
    for (FormComponent* c : a.components())
        if (c->name() == name) return c;
    return nullptr;
}

}  // namespace

class WindowFormAdapterTest : public QObject {
    Q_OBJECT
private slots:
    void componentsAndDumpInTheWindowsOrder();
    void restoreRunsTheWindowsHandlers();
};

void WindowFormAdapterTest::componentsAndDumpInTheWindowsOrder() {
    ShellFixture f;
    WriteStandardSettings(f);
    // A step whose row is created at run time.
    f.writeSettings({"DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.Copy=jcp", "JAV.Filter=J|*.java",
                     "JAV.Step01=Realign,realign,J1", "JAV.Step02=Beautify,realign,J2"});
    TfrmKorvaneMain& w = f.start();
    WindowFormAdapter a(w);
    QCOMPARE(a.name(), std::string("frmKorvaneMain"));
    QCOMPARE(a.caption(), w.caption());

    std::vector<FormComponent*> all = a.components();
    QCOMPARE(all.size(), w.components().size());
    for (size_t i = 0; i < all.size(); ++i) {
        QCOMPARE(all[i]->name(), Str(w.components()[i].object->objectName()));
        QCOMPARE(all[i]->className(), w.components()[i].className);
    }
    QCOMPARE(all.back()->name(), std::string("FindExexBeautify"));
    QCOMPARE(Find(a, "CheckBoxBeautify")->className(), std::string("TCheckBox"));

    // Frames own their field "Edit" as an edit box.
    FormComponent* out = Find(a, "FrameFindDirectoryOutputDir");
    QVERIFY(out && out->isFrame());
    QCOMPARE(out->className(), std::string("TFrameFindDirectory"));
    FormComponent* edit = nullptr;
    for (FormComponent* c : out->components())
        if (c->name() == "Edit") edit = c;
    QVERIFY(edit);
    QCOMPARE(edit->className(), std::string("TEdit"));
    QCOMPARE(edit->text(), w.FrameFindDirectoryOutputDir->FieldText());
    FormComponent* picker = Find(a, "FrameFindexecScanner");
    QVERIFY(picker && picker->isFrame());
    QCOMPARE(picker->className(), std::string("TFrameFindexec"));
    // The same wrapper every time.
    QCOMPARE(Find(a, "EditSystemName"), Find(a, "EditSystemName"));

    // The dump: the project's controls kind by kind, the created row's
    // check box after the designed ones.
    TStreamToIni ini;
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.SaveFormState(a, 991);
    Lines names;
    for (const std::string& line : ini.Lines())
        if (!line.empty() && line[0] != '[') names.push_back(line.substr(0, line.find('=')));
    const std::string m = "frmKorvaneMain.";
    Lines expected = {m + "Caption", m + "FrameFindDirectoryOutputDir.Edit"};
    for (const char* n : {"EditSystemName", "EditProductName", "EditObjects", "EditCreateWrdList", "EditCWrd",
                          "ComboBoxRefactorLevel", "ComboBoxCreateWrdList", "ComboBoxEditCWrd", "CheckBoxCopyAdd",
                          "CheckBoxRealign", "CheckBoxRefine", "CheckBoxRenameVariables", "CheckBoxRemoveComp",
                          "CheckBoxReplaceNumericConstants", "CheckBoxReplaceLiterals", "CheckBoxRelocateFiles",
                          "CheckBoxRelocateDB", "CheckBoxRelocateTP", "CheckBoxRestructure",
                          "CheckBoxRefactorNestedBlocks", "CheckBoxBeautify"})
        expected.push_back(m + n);
    for (const char* n : {"CheckListBoxSelectedFiles", "CheckListBoxCSVForRename", "CheckListBoxCopyCollection",
                          "CheckListBoxObjects", "CheckListBoxControlTags"}) {
        expected.push_back(m + n);
        expected.push_back(m + n + ".Tag");
    }
    QCOMPARE(names, expected);
    // No memo and no program picker.
    for (const std::string& line : ini.Lines()) {
        QVERIFY2(line.find("Memo") == std::string::npos, line.c_str());
        QVERIFY2(line.find("FrameFindexec") == std::string::npos, line.c_str());
    }
}

void WindowFormAdapterTest::restoreRunsTheWindowsHandlers() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    QVERIFY(w.CheckBoxRefine->isChecked());
    QVERIFY(!w.project()->modified());
    const std::string m = "frmKorvaneMain.";
    TStreamToIni ini;
    for (const std::string& l :
         Lines{"[Form - frmKorvaneMain]", m + "Caption=Restored [X]", m + "FrameFindDirectoryOutputDir.Edit=/restored/out",
               m + "ComboBoxCreateWrdList=TAG", m + "CheckBoxRefine=N", "[TCheckListBox - " + m + "CheckListBoxCopyCollection]",
               m + "CheckListBoxCopyCollection=CheckListBoxCopyCollection", m + "CheckListBoxCopyCollection.Tag=3",
               "YN/c/a.cpy", "NY/c/b.cpy", "[TMemo - " + m + "MemoNewFileNames]",
               m + "MemoNewFileNames=MemoNewFileNames", "FIL0000=/src/a.java", "", "[Konyec szkazki]"})
        ini.Add(l);
    // The tag box offers tags, the first one selected, as with a scanner.
    w.ComboBoxCreateWrdList->addItems({QStringLiteral("INPT"), QStringLiteral("OTPT")});
    w.ComboBoxCreateWrdList->setCurrentIndex(0);
    WindowFormAdapter a(w);
    ini.LoadFormState(a);

    QCOMPARE(w.caption(), std::string("Restored [X]"));
    QCOMPARE(w.FrameFindDirectoryOutputDir->FieldText(), std::string("/restored/out"));
    // The field's change handling ran: its hint follows the text.
    QCOMPARE(Str(w.FrameFindDirectoryOutputDir->Edit->toolTip()), std::string("/restored/out"));
    QCOMPARE(Str(w.ComboBoxCreateWrdList->currentText()), std::string("TAG"));
    // The click handling of the row ran: the project is modified.
    QVERIFY(!w.CheckBoxRefine->isChecked());
    QVERIFY(w.project()->modified());
    CheckListBox* copies = w.CheckListBoxCopyCollection;
    QCOMPARE(copies->checkList().size(), size_t(2));
    QCOMPARE(copies->model()->rowCount(), 2);  // the view follows the list
    QCOMPARE(Str(w.MemoNewFileNames->toPlainText()), std::string("FIL0000=/src/a.java\n"));
    QVERIFY(w.MemoNewFileNames->document()->isModified());
}

KORVANE_QT_TEST(WindowFormAdapterTest);

#include "window_form_adapter_gui_test.moc"

// The macro table's file commands on a real window: import with its clear
// question, export, duplicate removal, the default function table and the
// hand-over of the lists to a run.

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <unistd.h>

#include <cerrno>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/settings.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/word_list_controller.h"
#include "shell/wordlists/wordlists_gui_test_support.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

using Lines = std::vector<std::string>;
using Marks_ = std::vector<bool>;

const char* const kWordListFilter = "Word lists (*.wrl)|*.wrl";

// The whole text of the last message (the bar may show it shortened).
std::string Message(TfrmKorvaneMain& w) { return w.statusBar().messages().LastMessage(); }

CheckList& Words(TfrmKorvaneMain& w) { return w.CheckListBoxControlTags->checkList(); }
CheckList& Objects(TfrmKorvaneMain& w) { return w.CheckListBoxObjects->checkList(); }

int CountCalls(const ScriptedDialogs& d, const std::string& what) {
    int n = 0;
    for (const auto& c : d.Calls()) n += c.what == what;
    return n;
}

}  // namespace

class WordListControllerTest : public QObject {
    Q_OBJECT
private slots:
    void importAsksBeforeClearing();
    void importThenRemoveDuplicates();
    void exportAsksBeforeOverwriting();
    void removeDuplicatesNeedsACheckList();
    void defaultFunctionTableOnlyIntoEmptyLists();
    void defaultFunctionTableNeedsAShownValidPicker();
    void unreadableDefaultFunctionTableIsReported();
    void runHandOverOnlyWithThePageShown();
};

void WordListControllerTest::importAsksBeforeClearing() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    const std::string file = f.writeFile("lists/a.wrl", "0001 04 INPT READ\r\n0002 08 OBJT CUSTFILE\r\n");
    WriteSettingString(kLastUsedWordTable, f.root() + "/old/last.wrl");

    // Empty lists: no question; the dialog starts at the last used list.
    f.dialogs.AnswerFiles({file});
    w.actions().execute(ActionId::LoadWordList);
    QCOMPARE(CountCalls(f.dialogs, "Message"), 0);
    const FileDialogOptions& o = f.dialogs.Calls().at(0).file;
    QCOMPARE(o.title, std::string("Load a word list"));
    QCOMPARE(o.filter, std::string("Word lists (*.wrl)|*.wrl|All files (*.*)|*.*"));
    QCOMPARE(o.initialDir, f.root() + "/old");
    QCOMPARE(o.fileName, std::string("last.wrl"));
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});
    QCOMPARE(Texts(Objects(w)), Lines{"CUSTFILE"});
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetWordScan);
    QVERIFY(w.project()->modified());
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), file);

    // Cancel in the file dialog ends the action before anything else.
    w.project()->clearModifiedWithoutAsking();
    w.PageControlMain->setCurrentWidget(w.TabSheetNames);
    f.dialogs.ClearCalls();
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::LoadWordList);
    QCOMPARE(CountCalls(f.dialogs, "Message"), 0);
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);

    // Cancel in the question: nothing changes, not even the remembered path.
    const std::string other = f.writeFile("lists/b.wrl", "0001 05 OTPT WRITE\r\n");
    f.dialogs.AnswerFiles({other});
    f.dialogs.AnswerButton(kCancel);
    w.actions().execute(ActionId::LoadWordList);
    const ScriptedDialogs::Call& q = f.dialogs.Calls().back();
    const std::string question =
        "You already have some items in the active word list !\r\nShould I clear it before loading ?";
    QCOMPARE(q.text, question);
    QCOMPARE(q.kind, MsgKind::Warning);
    QCOMPARE(q.buttons, unsigned(kYes | kNo | kCancel));
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});
    QVERIFY(!w.project()->modified());
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), file);

    // Yes clears both lists first; every entry read is checked.
    Words(w).setChecked(0, false);
    f.dialogs.AnswerFiles({other});
    f.dialogs.AnswerButton(kYes);
    w.actions().execute(ActionId::LoadWordList);
    QCOMPARE(Texts(Words(w)), Lines{"OTPT WRITE"});
    QCOMPARE(Marks(Words(w)), Marks_{true});
    QVERIFY(Objects(w).empty());
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), other);

    // A file that cannot be read after Yes: the lists stay cleared, the
    // remembered path stays.
    Objects(w).add("CUSTFILE", true);
    const std::string missing = f.root() + "/gone.wrl";
    f.dialogs.AnswerFiles({missing});
    f.dialogs.AnswerButton(kYes);
    w.actions().execute(ActionId::LoadWordList);
    QCOMPARE(Message(w), "Cannot open file \"" + missing + "\". " + SystemErrorText(ENOENT));
    QVERIFY(Words(w).empty());
    QVERIFY(Objects(w).empty());
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), other);
}

void WordListControllerTest::importThenRemoveDuplicates() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    const std::string file =
        f.writeFile("a.wrl", "0001 05 OTPT WRITE\r\n0002 04 INPT READ\r\n0003 08 OBJT CUSTFILE\r\n");
    f.dialogs.AnswerFiles({file});
    w.actions().execute(ActionId::LoadWordList);
    // No appends: every entry twice.
    f.dialogs.AnswerFiles({file});
    f.dialogs.AnswerButton(kNo);
    w.actions().execute(ActionId::LoadWordList);
    QCOMPARE(Texts(Words(w)), (Lines{"OTPT WRITE", "INPT READ", "OTPT WRITE", "INPT READ"}));

    // Which entry survives with which mark is RemoveDuplicates' own test.
    w.project()->clearModifiedWithoutAsking();
    w.actions().execute(ActionId::RemoveDuplicates, w.CheckListBoxControlTags);
    QCOMPARE(Texts(Words(w)), (Lines{"INPT READ", "OTPT WRITE"}));
    QVERIFY(w.project()->modified());
    QCOMPARE(Texts(Objects(w)), (Lines{"CUSTFILE", "CUSTFILE"}));  // only the target list
    w.actions().execute(ActionId::RemoveDuplicates, w.CheckListBoxObjects);
    QCOMPARE(Texts(Objects(w)), Lines{"CUSTFILE"});
}

void WordListControllerTest::exportAsksBeforeOverwriting() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    // Both lists empty: nothing happens, nothing is said.
    f.dialogs.ClearCalls();
    w.actions().execute(ActionId::SaveWordList);
    QVERIFY(f.dialogs.Calls().empty());
    QCOMPARE(Message(w), std::string());

    Words(w).add("INPT READ", true);
    Words(w).add("SKIP NOT", false);
    Words(w).add("OTPT WRITE", true);
    Objects(w).add("CUSTFILE", true);
    WriteSettingString(kLastUsedWordTable, f.root() + "/prev/table.wrl");
    const std::string target = f.writeFile("out/exported.wrl", "old contents\r\n");
    f.dialogs.AnswerPath(target);
    w.actions().execute(ActionId::SaveWordList);
    const FileDialogOptions& o = f.dialogs.Calls().back().file;
    QCOMPARE(f.dialogs.Calls().back().what, std::string("SaveFile"));
    QCOMPARE(o.title, std::string("Export your word list"));
    QCOMPARE(o.filter, std::string(kWordListFilter));
    QCOMPARE(o.defaultExt, std::string("wrl"));
    QCOMPARE(o.initialDir, f.root() + "/prev");
    QCOMPARE(o.fileName, std::string("table.wrl"));
    QVERIFY(o.overwritePrompt);  // the dialog asks before replacing the file
    QCOMPARE(ReadFileBytes(target),
             std::string("0001 04 INPT READ\r\n0002 05 OTPT WRITE\r\n0003 08 OBJT CUSTFILE\r\n"));
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), target);
    QVERIFY(!w.project()->modified());

    // Cancelled: no file, the remembered path stays.
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::SaveWordList);
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), target);

    // A file that cannot be written ends the action with the system's text.
    const std::string bad = f.root() + "/no/such/folder/x.wrl";
    f.dialogs.AnswerPath(bad);
    w.actions().execute(ActionId::SaveWordList);
    QVERIFY(Message(w).rfind("Cannot create file \"" + bad + "\". ", 0) == 0);
    QCOMPARE(ReadSettingString(kLastUsedWordTable, ""), target);
}

void WordListControllerTest::removeDuplicatesNeedsACheckList() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    for (const char* t : {"B", "A", "B"}) Words(w).add(t, true);
    w.EditCreateWrdList->setFocus();
    w.actions().execute(ActionId::RemoveDuplicates);
    QCOMPARE(Message(w), std::string("Click on a checklistbox first to use this function!"));
    QCOMPARE(Texts(Words(w)), (Lines{"B", "A", "B"}));
    QVERIFY(!w.project()->modified());
    // From the context menu: the list has the focus.
    w.CheckListBoxControlTags->setFocus();
    w.actions().execute(ActionId::RemoveDuplicates);
    QCOMPARE(Texts(Words(w)), (Lines{"A", "B"}));
}

void WordListControllerTest::defaultFunctionTableOnlyIntoEmptyLists() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f, {"0001 04 INPT READ", "0002 08 OBJT CUSTFILE"});
    // Applied at start-up: the table is read into the emptied lists, all
    // checked, and the project stays unmodified.
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});
    QCOMPARE(Texts(Objects(w)), Lines{"CUSTFILE"});
    QCOMPARE(Marks(Words(w)), Marks_{true});
    QVERIFY(!w.project()->modified());
    QCOMPARE(w.ComboBoxCreateWrdList->currentText(), QString("INPT"));
    QCOMPARE(w.ComboBoxEditCWrd->count(), 2);

    // Lists holding entries are left alone.
    Objects(w).clear();
    w.wordLists()->loadDefaultFunctionTable();
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});
    QVERIFY(Objects(w).empty());
    Words(w).clear();
    Objects(w).add("X", true);
    w.wordLists()->loadDefaultFunctionTable();
    QVERIFY(Words(w).empty());

    // Applying the language again clears the project and reads it anew.
    Words(w).add("OTHER", true);
    w.language()->ApplyLanguage("JAV");
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});
    QCOMPARE(Texts(Objects(w)), Lines{"CUSTFILE"});
}

void WordListControllerTest::defaultFunctionTableNeedsAShownValidPicker() {
    {
        // Function table switched off: its picker is hidden, nothing is read.
        ShellFixture f;
        f.writeJavaSettings({}, {"JAV.Scan=Y", "JAV.Functab=N", "JAV.Scanner=scan"});
        f.addProgram("JAVVorl/scan");
        WriteTextLines(FunctionTablePath(f), {"0001 04 INPT READ"});
        TfrmKorvaneMain& w = StartWithDefaultPickers(f);
        QVERIFY(TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetWordScan));
        QVERIFY(Words(w).empty());
    }
    {
        // No file where the picker points: the browse is offered; cancelled,
        // the picker is invalid and nothing is read.
        ShellFixture f;
        f.writeJavaSettings({}, {"JAV.Scan=Y", "JAV.Functab=Y", "JAV.Scanner=scan"});
        f.addProgram("JAVVorl/scan");
        f.dialogs.AnswerCancel();
        TfrmKorvaneMain& w = StartWithDefaultPickers(f);
        QCOMPARE(CountCalls(f.dialogs, "OpenFiles"), 1);
        QCOMPARE(f.dialogs.PendingAnswers(), size_t(0));
        QVERIFY(Words(w).empty());
        QVERIFY(Objects(w).empty());
        // A readable file chosen in the browse is read.
        const std::string chosen = f.writeFile("elsewhere/FUNCTAB.JAV", "0001 05 OTPT WRITE\r\n");
        f.dialogs.AnswerFiles({chosen});
        w.language()->ApplyLanguage("JAV");
        QCOMPARE(w.FrameFindexecFunctab->ProgramPath(), chosen);
        QCOMPARE(Texts(Words(w)), Lines{"OTPT WRITE"});
    }
}

void WordListControllerTest::unreadableDefaultFunctionTableIsReported() {
    ShellFixture f;
    f.writeJavaSettings({}, {"JAV.Scan=Y", "JAV.Functab=Y", "JAV.ObjectTypes=(INPT,OTPT)", "JAV.Scanner=scan"});
    f.addProgram("JAVVorl/scan");
    // A table that opens but cannot be read, for any user (the super-user
    // too): the memory file of the process, read from address 0.
    const std::string table = FunctionTablePath(f);
    QCOMPARE(symlink("/proc/self/mem", table.c_str()), 0);
    TfrmKorvaneMain& w = StartWithDefaultPickers(f);
    const std::string error = "Cannot read file \"" + table + "\". " + SystemErrorText(EIO);
    // Reported on the status bar; the start goes on with empty lists and
    // the language fully set up.
    QCOMPARE(Message(w), error);
    QCOMPARE(CountCalls(f.dialogs, "Message"), 0);
    QVERIFY(Words(w).empty());
    QVERIFY(Objects(w).empty());
    QCOMPARE(w.FrameFindexecFunctab->ProgramPath(), table);
    QCOMPARE(w.ComboBoxEditCWrd->count(), 2);
    QVERIFY(!w.project()->modified());

    // Applying the language again: reported once more, and what follows
    // the table in the language's setup still happens: the output directory
    // is taken over as if the user had left its field, which tidies it.
    const std::string last = f.root() + "/last";
    ForceDirectories(last);
    WriteSettingString("LastPositionJAV", f.root() + "//last/");
    w.statusBar().ShowWarning("before");
    RunGuarded([&] { w.language()->ApplyLanguage("JAV"); });
    QCOMPARE(Message(w), error);
    QCOMPARE(CountCalls(f.dialogs, "Message"), 0);
    QVERIFY(Words(w).empty());
    QCOMPARE(w.FrameFindDirectoryOutputDir->FieldText(), last);
}

void WordListControllerTest::runHandOverOnlyWithThePageShown() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    WordListController& c = *w.wordLists();
    const std::string out = f.root() + "/out";
    ForceDirectories(out);
    Words(w).add("INPT READ", true);
    Words(w).add("SKIP X", false);
    Objects(w).add("CUSTFILE", true);

    QVERIFY(c.WriteRunWordList(out));
    QCOMPARE(ReadFileBytes(out + "/functab.wrl"),
             std::string("0001 04 INPT READ\r\n0002 08 OBJT CUSTFILE\r\n"));

    // The scanner's file replaces both lists, every entry checked.
    WriteTextLines(out + "/functab.wrl", {"0001 04 INPT READ", "0002 05 OTPT WRITE", "0003 04 OBJT FILE"});
    c.ReloadAfterScan(out);
    QCOMPARE(Texts(Words(w)), (Lines{"INPT READ", "OTPT WRITE"}));
    QCOMPARE(Marks(Words(w)), (Marks_{true, true}));
    QCOMPARE(Texts(Objects(w)), Lines{"FILE"});

    // A missing file: the lists are empty and the error carries the system's text.
    DeleteFile(out + "/functab.wrl");
    bool failed = false;
    try {
        c.ReloadAfterScan(out);
    } catch (const Error& e) {
        failed = std::string(e.what()).find(SystemErrorText(ENOENT)) != std::string::npos;
    }
    QVERIFY(failed);
    QVERIFY(Words(w).empty());
    QVERIFY(Objects(w).empty());

    // With the page hidden no file is written.
    Words(w).add("INPT READ", true);
    TfrmKorvaneMain::setTabVisible(w.PageControlMain, w.TabSheetWordScan, false);
    QVERIFY(!c.WriteRunWordList(out));
    QVERIFY(!FileExists(out + "/functab.wrl"));
}

KORVANE_QT_TEST(WordListControllerTest);

#include "word_list_controller_gui_test.moc"

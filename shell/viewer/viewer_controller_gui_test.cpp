// The internal viewer in a real main window: pages and captions, the open
// dialog, the logs, closing pages, the font, the external editor and the
// about box. The rules behind captions, dialog starts, log names and editor
// choice are table rows in viewer_paths_test.cpp and external_editor_test.cpp;
// here the window's wiring of them is the subject.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/test_support.h"
#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/app/testing/shell_fixture.h"
#include "shell/ui/about_box.h"
#include "shell/ui/action_list.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/viewer/viewer_controller.h"
#include "shell/viewer/viewer_font.h"
#include "shell/viewer/viewer_text.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using korvane::testing::ScopedEnv;
using korvane::testing::ShellFixture;
using korvane::testing::Str;

namespace {

// A Java shell whose output directory <root>/out exists and whose system
// name is SYS; the project is left unmodified.
TfrmKorvaneMain& StartViewerShell(ShellFixture& f, const std::vector<std::string>& extra = {}) {
    f.writeJavaSettings({}, extra);
    TfrmKorvaneMain& w = f.start();
    ForceDirectories(f.root() + "/out");
    w.FrameFindDirectoryOutputDir->SetFieldText(f.root() + "/out");
    w.project()->SetSystemName("SYS");
    w.project()->clearModifiedWithoutAsking();
    return w;
}

ViewerController& V(TfrmKorvaneMain& w) { return *w.viewer(); }

std::string Shown(TfrmKorvaneMain& w) { return Str(w.statusBar().shownText()); }

std::vector<std::string> Captions(TfrmKorvaneMain& w) {
    std::vector<std::string> c;
    for (int i = 0; i < V(w).pageCount(); ++i) c.push_back(V(w).pageCaption(i));
    return c;
}

bool ViewerTabShown(TfrmKorvaneMain& w) { return TfrmKorvaneMain::isTabVisible(w.PageControlMain, w.TabSheetViewer); }

void Open(TfrmKorvaneMain& w, const std::string& path) {
    RunGuarded([&] { V(w).OpenInViewer(path); });
}

// Restarts the window as a new process would: the store addressed with
// empty names until the first show sets them.
TfrmKorvaneMain& Restart(ShellFixture& f) {
    f.destroyWindow();
    SetSettingsApplication("");
    SetSettingsSection("");
    TfrmKorvaneMain& w = f.start();
    w.FrameFindDirectoryOutputDir->SetFieldText(f.root() + "/out");
    return w;
}

}  // namespace

class ViewerControllerTest : public QObject {
    Q_OBJECT
private slots:
    void pagesCaptionsAndMissingFiles();
    void openDialogStartsAtOutputDirectoryOrShownFile();
    void logsOpenByNameAndReportWhenMissing();
    void consoleLogOfferedOnlyWithCaptureLog();
    void closingPages();
    void contextMenuCopyAndSelectAll();
    void fontChosenIsKeptAcrossRestart();
    void fontApplyAndCancel();
    void externalEditorRunsInOutputDirectoryAndIsWaitedFor();
    void externalEditorThatCannotStartIsSilent();
    void hugeFileShowsItsLastPart();
    void pageClosedWhileLoading();
    void textDecodingAndLineEnds();
    void mixedUtf8AcrossBlocksShownExactly();
    void unreadableFileReported();
    void aboutShowsToolRoot();
};

void ViewerControllerTest::pagesCaptionsAndMissingFiles() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    // Missing: a message, no page, no tab.
    const std::string missing = f.root() + "/out/none.txt";
    Open(w, missing);
    QCOMPARE(Shown(w), "File " + missing + " doesn't exist");
    QCOMPARE(V(w).pageCount(), 0);
    QVERIFY(!ViewerTabShown(w));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);

    const std::string a = f.writeFile("out/work/a.txt", "first\r\nsecond\r\n");
    Open(w, a);
    QCOMPARE(Str(V(w).page(0)->objectName()), std::string("tsv0"));
    QPlainTextEdit* memo = V(w).pageMemo(0);
    QVERIFY(memo);
    QCOMPARE(Str(memo->objectName()), std::string("tsv0Memo"));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(memo->toPlainText(), QStringLiteral("first\nsecond"));
    QCOMPARE(memo->font().family(), DefaultViewerFont().family());
    QVERIFY(ViewerTabShown(w));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetViewer);

    // The counter grows with every page created, closed ones included.
    Open(w, f.writeFile("out/b.txt", "b"));
    V(w).CloseViewerPage();
    const std::string outside = f.writeFile("other/R&D.txt", "r");
    Open(w, outside);
    QCOMPARE(Str(V(w).page(1)->objectName()), std::string("tsv2"));
    // Captions relative inside the output directory; "&" shows as itself.
    QCOMPARE(Captions(w), (std::vector<std::string>{"work/a.txt", outside}));
    QCOMPARE(Str(w.PageControlEditor->tabText(1)), outside.substr(0, outside.size() - 7) + "R&&D.txt");

    // The same file again: its page moves to the end with the new text.
    f.writeFile("out/work/a.txt", "new");
    Open(w, a);
    QCOMPARE(Captions(w), (std::vector<std::string>{outside, "work/a.txt"}));
    QCOMPARE(w.PageControlEditor->currentIndex(), 1);
    QCOMPARE(Str(V(w).page(1)->objectName()), std::string("tsv3"));
    QCOMPARE(V(w).pageMemo(1)->toPlainText(), QStringLiteral("new"));
    // Captions compare as paths: another case is another file with a page of its own.
    Open(w, f.writeFile("out/work/A.TXT", "upper"));
    QCOMPARE(Captions(w), (std::vector<std::string>{outside, "work/a.txt", "work/A.TXT"}));
    QCOMPARE(V(w).pageMemo(1)->toPlainText(), QStringLiteral("new"));
}

void ViewerControllerTest::openDialogStartsAtOutputDirectoryOrShownFile() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    const std::string out = f.root() + "/out";
    const std::string x = f.writeFile("out/work/x.java", "class X {}");

    f.dialogs.AnswerPath(x);
    w.actions().execute(ActionId::InternalViewer);
    const FileDialogOptions first = f.dialogs.Calls().back().file;
    QCOMPARE(f.dialogs.Calls().back().what, std::string("OpenFiles"));
    QCOMPARE(first.title, std::string("Open a result file"));
    QCOMPARE(first.filter, std::string("Transformed Java sources (*.java)|*.java|Logs and technical files|"
                                       "*.con;*.lit;*.txt;*.xml;*.csv;*.log;*.JAV|All files|*.*"));
    QCOMPARE(first.filterIndex, 1);
    QCOMPARE(first.initialDir, out);
    QVERIFY(first.fileName.empty() && first.defaultExt.empty() && !first.multiSelect && first.mustExist);
    QCOMPARE(Captions(w), (std::vector<std::string>{"work/x.java"}));

    // With a page shown, the dialog starts at its file; cancelling reports.
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::InternalViewer);
    const FileDialogOptions second = f.dialogs.Calls().back().file;
    QCOMPARE(second.initialDir, out + "/work");
    QCOMPARE(second.fileName, std::string("x.java"));
    QCOMPARE(Shown(w), std::string("File search cancelled"));
    QCOMPARE(V(w).pageCount(), 1);
}

void ViewerControllerTest::logsOpenByNameAndReportWhenMissing() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f, {"Runcontrol.CaptureLog=Y"});
    const std::string out = f.root() + "/out";
    // Missing: one message, nothing opened.
    w.actions().execute(ActionId::ViewProductLog);
    QCOMPARE(Shown(w), "Cannot find log - " + out + "/SYS.log");
    const StatusMessages& m = w.statusBar().messages();
    for (const std::string& t : {m.Text(), m.Hint(), m.MessageList()})
        QVERIFY2(t.find("doesn't exist") == std::string::npos, t.c_str());
    w.actions().execute(ActionId::ViewConsoleLog);
    QCOMPARE(Shown(w), "Cannot find log - " + out + "/Console.log");
    QCOMPARE(V(w).pageCount(), 0);

    // The product log is <system>.log exactly (not SYS.LOG).
    f.writeFile("out/SYS.LOG", "upper");
    w.actions().execute(ActionId::ViewProductLog);
    QCOMPARE(V(w).pageCount(), 0);
    f.writeFile("out/SYS.log", "Realign FIL0000 -> FIL0000.JRA\r\n");
    f.writeFile("out/Console.log", "console\r\n");
    w.statusBar().ClearMessages();
    w.actions().execute(ActionId::ViewProductLog);
    w.actions().execute(ActionId::ViewConsoleLog);
    QCOMPARE(Captions(w), (std::vector<std::string>{"SYS.log", "Console.log"}));
    QCOMPARE(V(w).pageMemo(0)->toPlainText(), QStringLiteral("Realign FIL0000 -> FIL0000.JRA"));
    QCOMPARE(Shown(w), std::string());

    // The parameter file of the last run, from the Logs menu.
    w.MenuShowXmlParameters->trigger();
    QCOMPARE(Shown(w), "File " + out + "/last.xml doesn't exist");
    QCOMPARE(V(w).pageCount(), 2);
    f.writeFile("out/last.xml", "<?xml version=\"1.0\"?>\r\n<Project/>\r\n");
    w.statusBar().ClearMessages();
    w.MenuShowXmlParameters->trigger();
    QCOMPARE(Captions(w), (std::vector<std::string>{"SYS.log", "Console.log", "last.xml"}));
    QCOMPARE(V(w).pageMemo(2)->toPlainText(), QStringLiteral("<?xml version=\"1.0\"?>\n<Project/>"));
    // Without an output directory nothing is looked for in the current one.
    w.FrameFindDirectoryOutputDir->SetFieldText("");
    w.MenuShowXmlParameters->trigger();
    QCOMPARE(Shown(w), std::string("File last.xml doesn't exist"));
}

void ViewerControllerTest::consoleLogOfferedOnlyWithCaptureLog() {
    for (bool capture : {false, true}) {
        ShellFixture f;
        TfrmKorvaneMain& w = StartViewerShell(f, {capture ? "Runcontrol.CaptureLog=Y" : "Runcontrol.CaptureLog=N"});
        QCOMPARE(w.actions()[ActionId::ViewConsoleLog]->isVisible(), capture);
        QVERIFY(w.actions()[ActionId::ViewProductLog]->isVisible());
    }
}

void ViewerControllerTest::closingPages() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    Open(w, f.writeFile("out/a.txt", "a"));
    Open(w, f.writeFile("out/b.txt", "b"));
    Open(w, f.writeFile("out/c.txt", "c"));
    // Ctrl+F4 closes the current page.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(Captions(w), (std::vector<std::string>{"a.txt", "b.txt"}));
    // On another page the action closes nothing.
    w.PageControlMain->setCurrentWidget(w.TabSheetNames);
    QVERIFY(!V(w).CloseViewerPage());
    QCOMPARE(V(w).pageCount(), 2);

    // A close request closes one viewer page each; the last one hides the tab.
    w.PageControlMain->setCurrentWidget(w.TabSheetViewer);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(Captions(w), (std::vector<std::string>{"a.txt"}));
    QVERIFY(ViewerTabShown(w));
    QVERIFY(!w.close());
    QCOMPARE(V(w).pageCount(), 0);
    QVERIFY(!ViewerTabShown(w));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);

    // "Close all" leaves the tab, empty, until a new project.
    Open(w, f.writeFile("out/a.txt", "a"));
    Open(w, f.writeFile("out/b.txt", "b"));
    w.actions().execute(ActionId::CloseAllPages);
    QCOMPARE(V(w).pageCount(), 0);
    QVERIFY(ViewerTabShown(w));
    Open(w, f.writeFile("out/c.txt", "c"));
    w.project()->clearModifiedWithoutAsking();
    w.actions().execute(ActionId::NewProject);
    QCOMPARE(V(w).pageCount(), 0);
    QVERIFY(!ViewerTabShown(w));
    // Without viewer pages the request goes on to the project and closes the window.
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
}

void ViewerControllerTest::contextMenuCopyAndSelectAll() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    Open(w, f.writeFile("out/a.txt", "line one\r\nline two\r\n"));
    QMenu* menu = w.popupMenu("PopupMenuViewer");
    QVERIFY(menu && !menu->isVisible());
    QWidget* viewport = V(w).currentMemo()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), viewport->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    w.PageControlMain->setFocus();  // no text control has the focus
    w.actions().execute(ActionId::EditSelectAll1);
    QCOMPARE(V(w).currentMemo()->textCursor().selectedText(), QStringLiteral("line one\u2029line two"));
    QApplication::clipboard()->clear();
    w.actions().execute(ActionId::EditCopy1);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line one\nline two"));
}

// How the stored values read back is viewer_font_settings_test.cpp's subject;
// here the dialog's answer reaches every page, the store and the next start.
void ViewerControllerTest::fontChosenIsKeptAcrossRestart() {
    ShellFixture f;
    TfrmKorvaneMain* w = &StartViewerShell(f);
    Open(*w, f.writeFile("out/a.txt", "a"));
    Open(*w, f.writeFile("out/b.txt", "b"));
    FontChoice chosen;
    chosen.name = "DejaVu Sans Mono";
    chosen.charSet = 238;
    chosen.size = 12;
    chosen.height = -17;
    chosen.italic = true;
    f.dialogs.AnswerFont(chosen);
    w->actions().execute(ActionId::SelectFont);
    QCOMPARE(f.dialogs.Calls().back().what, std::string("ChooseFont"));
    for (int i = 0; i < 2; ++i) {
        const QFont font = V(*w).pageMemo(i)->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(font.pixelSize(), 17);  // the height decides
        QVERIFY(font.italic() && !font.bold());
    }
    Open(*w, f.writeFile("out/c.txt", "c"));
    QCOMPARE(V(*w).pageMemo(2)->font().pixelSize(), 17);

    w = &Restart(f);
    Open(*w, f.root() + "/out/a.txt");
    QCOMPARE(V(*w).currentMemo()->font().family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(V(*w).currentMemo()->font().pixelSize(), 17);
    QVERIFY(V(*w).currentMemo()->font().italic());
    // The character set chosen goes back to the dialog unchanged.
    f.dialogs.AnswerCancel();
    w->actions().execute(ActionId::SelectFont);
    QCOMPARE(ReadSettingInt("FontCharSet", 0), 238);
}

void ViewerControllerTest::fontApplyAndCancel() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    Open(w, f.writeFile("out/a.txt", "a"));
    Open(w, f.writeFile("out/b.txt", "b"));
    const QFont before = V(w).pageMemo(0)->font();
    // Apply: the current page only, nothing stored.
    FontChoice tried;
    tried.name = "DejaVu Sans Mono";
    tried.height = -23;
    V(w).applyFontToCurrentPage(tried);
    QCOMPARE(V(w).pageMemo(1)->font().pixelSize(), 23);
    QCOMPARE(V(w).pageMemo(0)->font(), before);
    QCOMPARE(V(w).viewerFont(), before);
    QCOMPARE(ReadSettingString("FontName", ""), std::string());
    // Cancel: nothing changes.
    f.dialogs.AnswerCancel();
    w.actions().execute(ActionId::SelectFont);
    QCOMPARE(V(w).pageMemo(0)->font(), before);
    QCOMPARE(ReadSettingString("FontName", ""), std::string());
}

void ViewerControllerTest::externalEditorRunsInOutputDirectoryAndIsWaitedFor() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    const std::string marker = f.root() + "/editor-cwd";
    // The marks are left only after a pause: they are there on return only
    // when the editor's end was waited for.
    const std::string editor =
        f.addProgram("my editor/edit", "sleep 1\necho \"$#\" > '" + marker + ".args'\npwd > '" + marker + "'");
    w.FrameFindexecEditorGeneral->SetFieldText(editor);
    w.actions().execute(ActionId::ViewNotepad);
    QVERIFY(FileExists(marker));
    QCOMPARE(Trim(ReadFileBytes(marker)), f.root() + "/out");
    QCOMPARE(Trim(ReadFileBytes(marker + ".args")), std::string("0"));
    QCOMPARE(Shown(w), std::string());
}

void ViewerControllerTest::externalEditorThatCannotStartIsSilent() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    // The desktop's opener, found first in $PATH, leaves a mark.
    const std::string opened = f.root() + "/desktop-opened";
    const std::string opener = f.addProgram("desk/xdg-open", "echo \"$1\" > '" + opened + "'");
    ScopedEnv path("PATH", ExtractFileDir(opener) + ":/usr/bin:/bin");
    ScopedEnv visual("VISUAL", std::nullopt);
    ScopedEnv editor("EDITOR", std::nullopt);
    const std::string ran = f.root() + "/editor-ran";
    const std::string startable = f.addProgram("edit", "touch '" + ran + "'");
    struct Case {
        std::string picker, outputDir;
    } cases[] = {
        {f.root() + "/no such editor", f.root() + "/out"},
        {f.writeFile("plain.txt", "not a program"), f.root() + "/out"},
        {startable, f.root() + "/no such folder"},
    };
    for (const Case& c : cases) {
        w.FrameFindexecEditorGeneral->SetFieldText(c.picker);
        w.FrameFindDirectoryOutputDir->SetFieldText(c.outputDir);
        w.actions().execute(ActionId::ViewNotepad);
        QVERIFY2(!FileExists(opened) && !FileExists(ran), c.picker.c_str());
        QCOMPARE(Shown(w), std::string());
        QCOMPARE(w.statusBar().Severity(), 0);
    }
    // The default, with a folder before it, brings up the desktop.
    w.FrameFindDirectoryOutputDir->SetFieldText(f.root() + "/out");
    w.FrameFindexecEditorGeneral->SetFieldText("/windows/NOTEPAD.EXE");
    w.actions().execute(ActionId::ViewNotepad);
    QVERIFY(FileExists(opened));
    QCOMPARE(Trim(ReadFileBytes(opened)), f.root() + "/out");
}

void ViewerControllerTest::hugeFileShowsItsLastPart() {
    // A Console.log that every run appends to: 3 GB (a hole) and 18 MB of
    // lines. The page holds the last 16 MB from a whole line on, with a
    // note; memory and time stay those of 16 MB.
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f, {"Runcontrol.CaptureLog=Y"});
    const std::string log = f.writeFile("out/Console.log", "");
    QCOMPARE(truncate(log.c_str(), off_t(3) << 30), 0);
    {
        std::ofstream tail(log, std::ios::binary | std::ios::app);
        char line[128];
        const std::string filler(90, 'x');
        for (int i = 0; i < 180000; ++i) {
            std::snprintf(line, sizeof line, "%07d %s\r\n", i, filler.c_str());  // 100 bytes
            tail << line;
        }
    }
    w.actions().execute(ActionId::ViewConsoleLog);
    QCOMPARE(Shown(w), std::string());
    QPlainTextEdit* memo = V(w).currentMemo();
    QVERIFY(memo);
    QCOMPARE(memo->blockCount(), 160000);
    QVERIFY(memo->document()->firstBlock().text().startsWith(QStringLiteral("0020000 ")));
    QVERIFY(memo->document()->lastBlock().text().startsWith(QStringLiteral("0179999 ")));
    auto* note = V(w).page(0)->findChild<QLabel*>(QStringLiteral("tsv0Note"));
    QVERIFY(note && !note->isHidden());
    QCOMPARE(note->text(), QStringLiteral("Only the last 16.0 MB of this file (3239.2 MB) are shown."));

    // A file within the bound is shown whole, without a note.
    Open(w, f.writeFile("out/small.txt", "small\n"));
    auto* none = V(w).page(1)->findChild<QLabel*>(QStringLiteral("tsv1Note"));
    QVERIFY(none && none->isHidden());
}

void ViewerControllerTest::pageClosedWhileLoading() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    const std::string big = f.writeFile("out/big.txt", std::string(size_t(4 * kViewerLoadChunk), 'y') + "\n" +
                                                           std::string(size_t(4 * kViewerLoadChunk), 'z'));
    Open(w, f.writeFile("out/small.txt", "small"));
    // The user closes the loading page at the first chance: while the file
    // is still being read, so the window answers before any text is in.
    bool closed = false;
    QTimer::singleShot(0, [&] { closed = V(w).pageMemo(1)->document()->isEmpty() && V(w).CloseViewerPage(); });
    Open(w, big);
    QVERIFY(closed);
    QCOMPARE(Captions(w), (std::vector<std::string>{"small.txt"}));
    QCOMPARE(Shown(w), std::string());

    // And once its text has begun to come in.
    closed = false;
    bool hadText = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QPlainTextEdit* memo = V(w).pageCount() == 2 ? V(w).pageMemo(1) : nullptr;
        if (closed || !memo || memo->document()->isEmpty()) return;
        hadText = true;
        closed = V(w).CloseViewerPage();
    });
    user.start(1);
    Open(w, big);
    user.stop();
    QVERIFY(hadText && closed);
    QCOMPARE(Captions(w), (std::vector<std::string>{"small.txt"}));
    QCOMPARE(Shown(w), std::string());
}

void ViewerControllerTest::textDecodingAndLineEnds() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    struct Case {
        const char* bytes;
        QString shown;
    } cases[] = {
        {"a\r\nb\r\n", QStringLiteral("a\nb")},
        {"a\nb", QStringLiteral("a\nb")},
        {"a\rb\r", QStringLiteral("a\nb")},
        {"a\r\n\r\nb", QStringLiteral("a\n\nb")},
        {"K\xc3\xb6nyv", QStringLiteral("K\u00f6nyv")},  // UTF-8
        {"K\xf6nyv\r\n", QStringLiteral("K\u00f6nyv")},  // single-byte text
        {"", QString()},
    };
    int n = 0;
    for (const Case& c : cases) {
        Open(w, f.writeFile("out/t" + std::to_string(n++) + ".txt", c.bytes));
        QCOMPARE(V(w).currentMemo()->toPlainText(), c.shown);
    }
}

void ViewerControllerTest::mixedUtf8AcrossBlocksShownExactly() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    // Lines of one-, two-, three- and four-byte characters, with a four-byte
    // character across the end of each block the file is read in. Then one
    // line longer than a load chunk that starts with one letter, so that a
    // chunk ends between the halves of a surrogate pair.
    const std::string grin = "\xf0\x9f\x98\x80";
    const std::string round = "a\xc3\xa9\xe2\x82\xac" + grin + "b";  // a e-acute euro grin b
    std::string bytes;
    int n = 0;
    auto fillTo = [&](size_t size) {
        while (bytes.size() + round.size() + 2 <= size) {
            bytes += round;
            if (++n % 9 == 0) bytes += n % 2 ? "\r\n" : "\n";
        }
        bytes.append(size - bytes.size(), '-');
    };
    for (qint64 blockEnd : {kViewerReadBlock, 2 * kViewerReadBlock}) {
        fillTo(size_t(blockEnd) - 2);
        bytes += grin;
    }
    fillTo(bytes.size() + 1000);
    bytes += "\r\nx";
    for (qsizetype i = 0; i < kViewerLoadChunk; ++i) bytes += grin;
    bytes += "\r\nend\r\n";
    const std::string path = f.writeFile("out/mixed.txt", bytes);

    QString expected = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    expected.chop(1);
    Open(w, path);
    QCOMPARE(Shown(w), std::string());
    const QString shown = V(w).currentMemo()->toPlainText();
    QCOMPARE(shown.size(), expected.size());
    QVERIFY(shown == expected);
    QVERIFY(!shown.contains(QChar::ReplacementCharacter));
}

void ViewerControllerTest::unreadableFileReported() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    // A file that opens but whose reading fails, for any user: the memory
    // file of the process, read from address 0.
    const std::string broken = f.root() + "/out/broken.txt";
    QCOMPARE(symlink("/proc/self/mem", broken.c_str()), 0);
    // The error ends the open and is shown as the window shows errors.
    std::vector<std::string> shown;
    SetErrorSink([&shown](const std::string& text) { shown.push_back(text); });
    Open(w, broken);
    SetErrorSink(nullptr);
    QCOMPARE(shown.size(), size_t(1));
    QCOMPARE(shown[0], "Cannot read " + broken + ": " + SystemErrorText(EIO));
    // The page made for it stays, empty.
    QCOMPARE(Captions(w), (std::vector<std::string>{"broken.txt"}));
    QVERIFY(V(w).currentMemo()->document()->isEmpty());

    // As a log it is reported as it is, never as missing.
    const std::string log = f.root() + "/out/SYS.log";
    QCOMPARE(symlink("/proc/self/mem", log.c_str()), 0);
    w.actions().execute(ActionId::ViewProductLog);
    QCOMPARE(Shown(w), "Cannot read " + log + ": " + SystemErrorText(EIO));
}

void ViewerControllerTest::aboutShowsToolRoot() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartViewerShell(f);
    TAboutBoxDlg* box = V(w).aboutBox();
    QVERIFY(box);
    QCOMPARE(Str(box->objectName()), std::string("AboutBoxDlg1"));
    QCOMPARE(box->parent(), static_cast<QObject*>(&w));
    QString caption = QStringLiteral("unset");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* about = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
        if (!about) return;
        caption = about->windowTitle();
        about->btnOK->click();
    });
    poll.start(10);
    w.actions().execute(ActionId::About);
    poll.stop();
    QCOMPARE(caption, QString());  // shown, without a caption
    QCOMPARE(box->MemoContent, "Tool root directory : \r\n" + w.toolRoot());
}

KORVANE_QT_TEST(ViewerControllerTest);

#include "viewer_controller_gui_test.moc"

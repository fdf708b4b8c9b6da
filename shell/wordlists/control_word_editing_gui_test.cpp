// Picking and editing control words on a real window: loading a source into
// the text area, taking its selection (command and drag), "Add to list" and
// the in-place editors of the word lists.

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>

#include <memory>

#include "shared/platform/files.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/control_word_picking.h"
#include "shell/wordlists/in_place_editor.h"
#include "shell/wordlists/word_list_controller.h"
#include "shell/wordlists/wordlists_gui_test_support.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

using Lines = std::vector<std::string>;

CheckList& Words(TfrmKorvaneMain& w) { return w.CheckListBoxControlTags->checkList(); }

void Select(QPlainTextEdit* edit, int start, int end) {
    QTextCursor c = edit->textCursor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

// Sends a drag event of the given kind to a widget; gives whether it was
// accepted. Moves and drops reach the widget that last accepted an entering
// drag, as during a real drag.
bool SendDrag(QWidget* target, QEvent::Type type, QMimeData* data, QPoint at = QPoint(5, 5)) {
    std::unique_ptr<QDropEvent> e;
    if (type == QEvent::DragEnter)
        e = std::make_unique<QDragEnterEvent>(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    else if (type == QEvent::DragMove)
        e = std::make_unique<QDragMoveEvent>(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    else
        e = std::make_unique<QDropEvent>(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    e->ignore();
    QCoreApplication::sendEvent(target, e.get());
    return e->isAccepted();
}

// A drag entering a widget and dropped there when it was accepted.
bool DragAndDrop(QWidget* target, QMimeData* data, QPoint at = QPoint(5, 5)) {
    if (!SendDrag(target, QEvent::DragEnter, data, at)) return false;
    SendDrag(target, QEvent::Drop, data, at);
    return true;
}

// A point right of the check box, in the middle of a row of the list.
QPoint RowText(CheckListBox* list, int row) {
    const QRect r = list->visualRect(list->model()->index(row, 0));
    return QPoint(r.left() + r.width() / 2, r.center().y());
}

void AddWords(TfrmKorvaneMain& w, const Lines& entries) {
    for (const std::string& e : entries) Words(w).add(e, true);
}

}  // namespace

class ControlWordEditingTest : public QObject {
    Q_OBJECT
private slots:
    void loadTextFileFromTheSelectedSource();
    void takingTheSelectionKeepsItsFirstLine();
    void addToListFormatsTheTag();
    void dragOfTheSelection();
    void editorOpensOverTheRow();
    void editorEnterEscapeAndFocusOut();
};

void ControlWordEditingTest::loadTextFileFromTheSelectedSource() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    const std::string a = f.writeFile("src/a.java", "class A {\r\n  read();\r\n}\r\n");
    const std::string b = f.writeFile("src/b.java", "class B {}\r\n");
    CheckList& sources = w.CheckListBoxSelectedFiles->checkList();
    sources.add(a, true);
    sources.add(b, true);
    w.RichEditCTLWords->setPlainText("kept");

    // Elsewhere than "Names and datasets": go there and focus the sources.
    w.actions().execute(ActionId::LoadTextFile);
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.CheckListBoxSelectedFiles));

    // Checked is not selected: without a highlighted entry nothing happens.
    w.CheckListBoxSelectedFiles->setItemIndex(-1);
    w.actions().execute(ActionId::LoadTextFile);
    QCOMPARE(w.RichEditCTLWords->toPlainText(), QString("kept"));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);

    w.CheckListBoxSelectedFiles->setItemIndex(1);
    w.actions().execute(ActionId::LoadTextFile);
    QCOMPARE(w.RichEditCTLWords->toPlainText(), QString("class B {}"));
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetWordScan);
    QCOMPARE(w.PageControlWordLists->currentWidget(), w.TabSheetControlWords);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.RichEditCTLWords));

    w.PageControlMain->setCurrentWidget(w.TabSheetNames);
    w.CheckListBoxSelectedFiles->setItemIndex(0);
    w.actions().execute(ActionId::LoadTextFile);
    QCOMPARE(w.RichEditCTLWords->toPlainText(), QString("class A {\n  read();\n}"));

    // A source that cannot be read is reported.
    DeleteFile(a);
    w.PageControlMain->setCurrentWidget(w.TabSheetNames);
    w.actions().execute(ActionId::LoadTextFile);
    QVERIFY(w.statusBar().messages().Text().find(a) != std::string::npos);
    QCOMPARE(w.PageControlMain->currentWidget(), w.TabSheetNames);
}

void ControlWordEditingTest::takingTheSelectionKeepsItsFirstLine() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    w.RichEditCTLWords->setPlainText("READ FILE\nWRITE REC\nCLOSE");
    // How a selection is cut is SelectionFirstLine's table; here the command
    // and Ctrl+A hand it to the word field.
    Select(w.RichEditCTLWords, 5, 12);
    w.RichEditCTLWords->setFocus();
    w.actions().execute(ActionId::AddselectedToLIst);
    QCOMPARE(w.EditCreateWrdList->text(), QString("FILE"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.EditCreateWrdList));
    Select(w.RichEditCTLWords, 0, 4);
    w.RichEditCTLWords->setFocus();
    QTest::keyClick(w.RichEditCTLWords, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.EditCreateWrdList->text(), QString("READ"));
}

void ControlWordEditingTest::addToListFormatsTheTag() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    // The entry's layout is FormatControlWordEntry's table; here the word is
    // trimmed and the tag taken from the picker.
    struct Case {
        const char* tag;
        const char* word;
        const char* entry;
    } cases[] = {{"AB", "  READ FILE ", "AB   READ FILE"}, {"LONGTAG", "WRITE", "LONG WRITE"}};
    for (const Case& c : cases) {
        w.ComboBoxCreateWrdList->setEditText(c.tag);
        w.EditCreateWrdList->setText(c.word);
        QTest::mouseClick(w.ButtonCreateWrdList, Qt::LeftButton);
        QCOMPARE(Words(w).entries().back().text, std::string(c.entry));
        QVERIFY(Words(w).entries().back().checked);
    }
    // A tag typed and confirmed with Enter does not become an item.
    w.ComboBoxCreateWrdList->setFocus();
    w.ComboBoxCreateWrdList->setEditText("ZZ");
    QTest::keyClick(w.ComboBoxCreateWrdList, Qt::Key_Return);
    QCOMPARE(w.ComboBoxCreateWrdList->count(), 2);
    w.ComboBoxCreateWrdList->setEditText("LONGTAG");
    QVERIFY(!w.project()->modified());
    // The same word twice gives two equal entries.
    QTest::mouseClick(w.ButtonCreateWrdList, Qt::LeftButton);
    QCOMPARE(Texts(Words(w)), (Lines{"AB   READ FILE", "LONG WRITE", "LONG WRITE"}));
}

void ControlWordEditingTest::dragOfTheSelection() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    ControlWordPicking& picking = w.wordLists()->picking();
    QStringList dragged;
    picking.startDrag = [&](QMimeData* data) {
        QVERIFY(DragComesFrom(data, w.RichEditCTLWords));
        dragged << data->text();
        delete data;
    };
    QPlainTextEdit* text = w.RichEditCTLWords;
    text->setPlainText("READ FILE\nWRITE REC");
    Select(text, 5, 12);

    // A press on the selection starts the drag and leaves the selection be.
    QTextCursor at = text->textCursor();
    at.setPosition(7);
    QTest::mousePress(text->viewport(), Qt::LeftButton, {}, text->cursorRect(at).center());
    QCOMPARE(dragged.size(), 1);
    QCOMPARE(text->textCursor().selectionStart(), 5);
    QCOMPARE(text->textCursor().selectionEnd(), 12);
    QTest::mouseRelease(text->viewport(), Qt::LeftButton, {}, text->cursorRect(at).center());

    // The word field takes a drop from the text area: the first line of the selection.
    auto own = [&] { return MakeDragData(text, "ignored"); };
    auto foreign = [] {
        auto* d = new QMimeData;
        d->setText("from elsewhere");
        return d;
    };
    std::unique_ptr<QMimeData> mine(own()), other(foreign());
    QVERIFY(SendDrag(w.EditCreateWrdList, QEvent::DragEnter, other.get()));
    QVERIFY(SendDrag(w.EditCreateWrdList, QEvent::DragMove, other.get()));
    w.EditCreateWrdList->setText("before");
    QVERIFY(DragAndDrop(w.EditCreateWrdList, other.get()));
    QCOMPARE(w.EditCreateWrdList->text(), QString("before"));
    QVERIFY(DragAndDrop(w.EditCreateWrdList, mine.get()));
    QCOMPARE(w.EditCreateWrdList->text(), QString("FILE"));
    // The tab around the word field accepts any drag as well; a drop there does nothing.
    w.EditCreateWrdList->clear();
    const QPoint overButton = w.ButtonCreateWrdList->geometry().center();
    QVERIFY(DragAndDrop(w.TabSheetControlWords, mine.get(), overButton));
    QVERIFY(SendDrag(w.TabSheetControlWords, QEvent::DragEnter, other.get(), overButton));
    QCOMPARE(w.EditCreateWrdList->text(), QString());

    // The text area and the list accept only their own drags; drops change nothing.
    QVERIFY(!SendDrag(text->viewport(), QEvent::DragEnter, other.get()));
    QVERIFY(DragAndDrop(text->viewport(), mine.get()));
    QCOMPARE(text->toPlainText(), QString("READ FILE\nWRITE REC"));
    QCOMPARE(text->textCursor().selectionStart(), 5);
    QCOMPARE(text->textCursor().selectionEnd(), 12);
    QCOMPARE(w.EditCreateWrdList->text(), QString());
    QVERIFY(!SendDrag(w.CheckListBoxControlTags->viewport(), QEvent::DragEnter, other.get()));
    QVERIFY(!SendDrag(w.CheckListBoxControlTags->viewport(), QEvent::DragEnter, mine.get()));
    std::unique_ptr<QMimeData> fromList(MakeDragData(w.CheckListBoxControlTags, "INPT READ"));
    AddWords(w, {"INPT READ"});
    QVERIFY(DragAndDrop(w.CheckListBoxControlTags->viewport(), fromList.get()));
    QCOMPARE(Texts(Words(w)), Lines{"INPT READ"});

    // A press beside the selection is an ordinary click: it starts a new
    // selection there.
    QTextCursor beside = text->textCursor();
    beside.setPosition(16);
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(beside).center());
    QCOMPARE(dragged.size(), 1);
    QVERIFY(!text->textCursor().hasSelection());
    // Without a selection no press drags.
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(at).center());
    QCOMPARE(dragged.size(), 1);
}

void ControlWordEditingTest::editorOpensOverTheRow() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    AddWords(w, {"INPT READ", "AB   WRITE REC", "OTPT X"});
    CheckListBox* list = w.CheckListBoxControlTags;
    InPlaceEditor& editor = w.wordLists()->controlWordEditor();

    // A click on the check box only toggles; the right button and a click
    // below the last entry open nothing either.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->checkBoxRect(1).center());
    QVERIFY(!Words(w).checked(1));
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, RowText(list, 0));
    const QPoint belowEntries(RowText(list, 0).x(), list->viewport()->height() - 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, belowEntries);
    QVERIFY(w.PanelCWrd->isHidden());
    QCOMPARE(editor.editedIndex(), -1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    QCOMPARE(editor.editedIndex(), 1);
    QVERIFY(w.PanelCWrd->isVisible());
    const QRect row = list->visualRect(list->model()->index(1, 0));
    const QRect panel = w.PanelCWrd->geometry();
    QVERIFY(panel.left() > list->checkBoxRect(1).right());
    QCOMPARE(panel.right(), list->viewport()->width() - 1);
    QVERIFY(qAbs(panel.center().y() - row.center().y()) <= 1);
    QCOMPARE(w.EditCWrd->text(), QString("WRITE REC"));
    QCOMPARE(w.ComboBoxEditCWrd->currentText(), QString("AB  "));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.EditCWrd));
    QCOMPARE(w.EditCWrd->cursorPosition(), 9);

    // Enter in the list opens it on the current entry.
    QTest::keyClick(w.EditCWrd, Qt::Key_Escape);
    list->setItemIndex(2);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(editor.editedIndex(), 2);
    QCOMPARE(w.EditCWrd->text(), QString("X"));
    QTest::keyClick(w.EditCWrd, Qt::Key_Escape);

    // An empty list opens nothing.
    Words(w).clear();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!editor.isOpen());
}

void ControlWordEditingTest::editorEnterEscapeAndFocusOut() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartWordListShell(f);
    ShowWordPage(w);
    AddWords(w, {"INPT READ", "OTPT WRITE"});
    Words(w).setChecked(0, false);
    CheckListBox* list = w.CheckListBoxControlTags;
    InPlaceEditor& editor = w.wordLists()->controlWordEditor();

    // Enter in the word field stores (word not trimmed), keeps the mark,
    // hides the panel and focuses the list.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 0));
    w.ComboBoxEditCWrd->setEditText("AB");
    w.EditCWrd->setText(" GET ");
    QTest::keyClick(w.EditCWrd, Qt::Key_Return);
    QCOMPARE(Words(w).text(0), std::string("AB    GET "));
    QVERIFY(!Words(w).checked(0));
    QVERIFY(w.PanelCWrd->isHidden());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    QVERIFY(w.project()->modified());
    QCOMPARE(editor.editedIndex(), -1);

    // Enter in the tag picker stores as well; a long tag is cut to four.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    w.ComboBoxEditCWrd->setFocus();
    w.ComboBoxEditCWrd->setEditText("LONGTAG");
    QTest::keyClick(w.ComboBoxEditCWrd, Qt::Key_Enter);
    QCOMPARE(Words(w).text(1), std::string("LONG WRITE"));
    QVERIFY(w.PanelCWrd->isHidden());
    QCOMPARE(w.ComboBoxEditCWrd->count(), 2);

    // Escape leaves the entry as it was.
    w.project()->clearModifiedWithoutAsking();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    w.EditCWrd->setText("CHANGED");
    QTest::keyClick(w.EditCWrd, Qt::Key_Escape);
    QCOMPARE(Words(w).text(1), std::string("LONG WRITE"));
    QVERIFY(w.PanelCWrd->isHidden());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    QVERIFY(!w.project()->modified());

    // Moving from the word field to the tag picker keeps the editor open.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    w.ComboBoxEditCWrd->setFocus();
    QVERIFY(editor.isOpen());
    // Leaving the panel without typing stores and still marks the project modified.
    w.EditCreateWrdList->setFocus();
    QVERIFY(w.PanelCWrd->isHidden());
    QCOMPARE(Words(w).text(1), std::string("LONG WRITE"));
    QVERIFY(w.project()->modified());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.EditCreateWrdList));

    // A changed word stored by a click on another entry of the list.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    w.EditCWrd->setText("PUT");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 0));
    QCOMPARE(Words(w).text(1), std::string("LONG PUT"));
    QCOMPARE(editor.editedIndex(), 0);  // the release opened the clicked entry
    QTest::keyClick(w.EditCWrd, Qt::Key_Escape);

    // The entry went away while editing (a new project): nothing is stored.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowText(list, 1));
    w.project()->ClearProject();
    QVERIFY(!editor.isOpen());
    QVERIFY(Words(w).empty());

    // The object editor stores only a changed text.
    CheckList& objects = w.CheckListBoxObjects->checkList();
    objects.add("CUSTFILE", true);
    InPlaceEditor& objectEditor = w.wordLists()->objectEditor();
    w.project()->clearModifiedWithoutAsking();
    objectEditor.open(0);
    QCOMPARE(w.EditObjects->text(), QString("CUSTFILE"));
    QTest::keyClick(w.EditObjects, Qt::Key_Return);
    QVERIFY(!w.project()->modified());
    objectEditor.open(0);
    w.EditObjects->setText("ORDERS");
    QTest::keyClick(w.EditObjects, Qt::Key_Escape);
    QCOMPARE(objects.text(0), std::string("CUSTFILE"));
    objectEditor.open(0);
    w.EditObjects->setText("ORDERS");
    QTest::keyClick(w.EditObjects, Qt::Key_Return);
    QCOMPARE(objects.text(0), std::string("ORDERS"));
    QVERIFY(objects.checked(0));
    QVERIFY(w.project()->modified());
}

KORVANE_QT_TEST(ControlWordEditingTest);

#include "control_word_editing_gui_test.moc"

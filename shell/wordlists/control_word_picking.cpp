#include "shell/wordlists/control_word_picking.h"

#include <QComboBox>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"
#include "shell/wordlists/word_list_file.h"

namespace korvane {

namespace {

const QString kDragSourceFormat = QStringLiteral("application/x-korvane-drag-source");

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

bool IsDragEvent(QEvent::Type t) {
    return t == QEvent::DragEnter || t == QEvent::DragMove || t == QEvent::Drop;
}

// Accepts or refuses a drag event; a drop that is accepted does nothing more.
bool AnswerDrag(QEvent* event, bool accept) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (accept) {
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
    } else {
        drop->ignore();
    }
    return true;
}

}  // namespace

QMimeData* MakeDragData(const QWidget* source, const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kDragSourceFormat, source->objectName().toUtf8());
    return data;
}

bool DragComesFrom(const QMimeData* data, const QWidget* source) {
    return data && data->hasFormat(kDragSourceFormat) &&
           data->data(kDragSourceFormat) == source->objectName().toUtf8();
}

ControlWordPicking::ControlWordPicking(QObject* parent, const WordListsView& view, ShellServices services)
    : QObject(parent), v_(view), s_(services), wordField_(view.EditCreateWrdList), tab_(view.TabSheetControlWords),
      textArea_(view.RichEditCTLWords->viewport()), listArea_(view.CheckListBoxControlTags->viewport()) {
    startDrag = [this](QMimeData* data) { runDrag(data); };

    ActionList& a = s_.actions;
    a.setHandler(ActionId::LoadTextFile, [this](QObject*) { ActLoadTextFileExecute(); });
    a.setHandler(ActionId::AddselectedToLIst, [this](QObject*) { ActAddselectedToLIstExecute(); });
    connect(v_.ButtonCreateWrdList, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { ButtonCreateWrdListClick(); }); });

    // Drag and drop between the text area and the word field.
    for (QWidget* target : {wordField_, tab_, textArea_, listArea_}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
    // A typed tag stays a text; it does not become an item of the picker.
    v_.ComboBoxCreateWrdList->setInsertPolicy(QComboBox::NoInsert);
}

void ControlWordPicking::ActLoadTextFileExecute() {
    if (v_.PageControlMain->currentWidget() != v_.TabSheetNames) {
        v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
        v_.CheckListBoxSelectedFiles->setFocus(Qt::OtherFocusReason);
        return;
    }
    CheckListBox* sources = v_.CheckListBoxSelectedFiles;
    const int count = int(sources->checkList().size());
    int row = 0;
    while (row < count && !sources->selectionModel()->isRowSelected(row, QModelIndex())) ++row;
    if (row >= count) return;
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(sources->checkList().text(size_t(row)));
    } catch (const Error& e) {
        s_.statusBar.ShowError(e.what(), false);
    }
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    v_.RichEditCTLWords->setPlainText(Q(text));
    if (IsTabVisible(v_.PageControlMain, v_.TabSheetWordScan))
        v_.PageControlMain->setCurrentWidget(v_.TabSheetWordScan);
    v_.PageControlWordLists->setCurrentWidget(v_.TabSheetControlWords);
    v_.RichEditCTLWords->setFocus(Qt::OtherFocusReason);
}

void ControlWordPicking::takeSelection() {
    // The text cursor writes line breaks of the selection as paragraph
    // separators.
    QString selection = v_.RichEditCTLWords->textCursor().selectedText();
    selection.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    selection.replace(QChar::LineSeparator, QLatin1Char('\n'));
    v_.EditCreateWrdList->setText(Q(SelectionFirstLine(S(selection))));
}

void ControlWordPicking::ActAddselectedToLIstExecute() {
    takeSelection();
    if (v_.EditCreateWrdList->isVisible()) v_.EditCreateWrdList->setFocus(Qt::OtherFocusReason);
}

void ControlWordPicking::ButtonCreateWrdListClick() {
    const std::string tag = S(v_.ComboBoxCreateWrdList->currentText());
    const std::string entry = FormatControlWordEntry(tag, Trim(S(v_.EditCreateWrdList->text())));
    CheckList& words = v_.CheckListBoxControlTags->checkList();
    words.insert(words.size(), entry, true);
}

bool ControlWordPicking::pressOnSelection(QEvent* event) const {
    auto* m = static_cast<QMouseEvent*>(event);
    const QTextCursor selection = v_.RichEditCTLWords->textCursor();
    if (m->button() != Qt::LeftButton || !selection.hasSelection()) return false;
    const int at = v_.RichEditCTLWords->cursorForPosition(m->position().toPoint()).position();
    return at >= selection.selectionStart() && at <= selection.selectionEnd();
}

void ControlWordPicking::runDrag(QMimeData* data) {
    auto* drag = new QDrag(v_.RichEditCTLWords);
    drag->setMimeData(data);
    NestedEventLoopScope nested;
    drag->exec(Qt::CopyAction);
}

bool ControlWordPicking::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == textArea_ && type == QEvent::MouseButtonPress && pressOnSelection(event)) {
        // The press is taken here, so the text area keeps its selection.
        startDrag(MakeDragData(v_.RichEditCTLWords, v_.RichEditCTLWords->textCursor().selectedText()));
        return true;
    }
    if (!IsDragEvent(type)) return QObject::eventFilter(watched, event);
    const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
    if (watched == wordField_) {
        if (type == QEvent::Drop && DragComesFrom(data, v_.RichEditCTLWords))
            RunGuarded([this] { takeSelection(); });
        return AnswerDrag(event, true);
    }
    if (watched == tab_) {
        // A drag the text area or the list refused comes up to the tab; the
        // control under the pointer has decided, so the tab refuses it too.
        const QPoint at = static_cast<QDropEvent*>(event)->position().toPoint();
        const QWidget* under = tab_->childAt(at);
        const bool overOwnTarget = under && (under == v_.RichEditCTLWords ||
                                             v_.RichEditCTLWords->isAncestorOf(under) ||
                                             under == v_.CheckListBoxControlTags ||
                                             v_.CheckListBoxControlTags->isAncestorOf(under));
        return AnswerDrag(event, !overOwnTarget);
    }
    if (watched == textArea_) return AnswerDrag(event, DragComesFrom(data, v_.RichEditCTLWords));
    if (watched == listArea_) return AnswerDrag(event, DragComesFrom(data, v_.CheckListBoxControlTags));
    return QObject::eventFilter(watched, event);
}

}  // namespace korvane

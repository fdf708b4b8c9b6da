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
#include "shell/app/main_window.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
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

ControlWordPicking::ControlWordPicking(TfrmKorvaneMain& window)
    : QObject(&window), w_(window), wordField_(window.EditCreateWrdList), tab_(window.TabSheetControlWords),
      textArea_(window.RichEditCTLWords->viewport()), listArea_(window.CheckListBoxControlTags->viewport()) {
    startDrag = [this](QMimeData* data) { runDrag(data); };

    ActionList& a = w_.actions();
    a.setHandler(ActionId::LoadTextFile, [this](QObject*) { ActLoadTextFileExecute(); });
    a.setHandler(ActionId::AddselectedToLIst, [this](QObject*) { ActAddselectedToLIstExecute(); });
    connect(w_.ButtonCreateWrdList, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { ButtonCreateWrdListClick(); }); });

    // Drag and drop between the text area and the word field.
    for (QWidget* target : {wordField_, tab_, textArea_, listArea_}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
    // A typed tag stays a text; it does not become an item of the picker.
    w_.ComboBoxCreateWrdList->setInsertPolicy(QComboBox::NoInsert);
}

void ControlWordPicking::ActLoadTextFileExecute() {
    if (w_.PageControlMain->currentWidget() != w_.TabSheetNames) {
        w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
        w_.CheckListBoxSelectedFiles->setFocus(Qt::OtherFocusReason);
        return;
    }
    CheckListBox* sources = w_.CheckListBoxSelectedFiles;
    const int count = int(sources->checkList().size());
    int row = 0;
    while (row < count && !sources->selectionModel()->isRowSelected(row, QModelIndex())) ++row;
    if (row >= count) return;
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(sources->checkList().text(size_t(row)));
    } catch (const Error& e) {
        w_.statusBar().ShowError(e.what(), false);
    }
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    w_.RichEditCTLWords->setPlainText(Q(text));
    if (TfrmKorvaneMain::isTabVisible(w_.PageControlMain, w_.TabSheetWordScan))
        w_.PageControlMain->setCurrentWidget(w_.TabSheetWordScan);
    w_.PageControlWordLists->setCurrentWidget(w_.TabSheetControlWords);
    w_.RichEditCTLWords->setFocus(Qt::OtherFocusReason);
}

void ControlWordPicking::takeSelection() {
    // The text cursor writes line breaks of the selection as paragraph
    // separators.
    QString selection = w_.RichEditCTLWords->textCursor().selectedText();
    selection.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    selection.replace(QChar::LineSeparator, QLatin1Char('\n'));
    w_.EditCreateWrdList->setText(Q(SelectionFirstLine(S(selection))));
}

void ControlWordPicking::ActAddselectedToLIstExecute() {
    takeSelection();
    if (w_.EditCreateWrdList->isVisible()) w_.EditCreateWrdList->setFocus(Qt::OtherFocusReason);
}

void ControlWordPicking::ButtonCreateWrdListClick() {
    const std::string tag = S(w_.ComboBoxCreateWrdList->currentText());
    const std::string entry = FormatControlWordEntry(tag, Trim(S(w_.EditCreateWrdList->text())));
    CheckList& words = w_.CheckListBoxControlTags->checkList();
    words.insert(words.size(), entry, true);
}

bool ControlWordPicking::pressOnSelection(QEvent* event) const {
    auto* m = static_cast<QMouseEvent*>(event);
    const QTextCursor selection = w_.RichEditCTLWords->textCursor();
    if (m->button() != Qt::LeftButton || !selection.hasSelection()) return false;
    const int at = w_.RichEditCTLWords->cursorForPosition(m->position().toPoint()).position();
    return at >= selection.selectionStart() && at <= selection.selectionEnd();
}

void ControlWordPicking::runDrag(QMimeData* data) {
    auto* drag = new QDrag(w_.RichEditCTLWords);
    drag->setMimeData(data);
    NestedEventLoopScope nested;
    drag->exec(Qt::CopyAction);
}

bool ControlWordPicking::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == textArea_ && type == QEvent::MouseButtonPress && pressOnSelection(event)) {
        // The press is taken here, so the text area keeps its selection.
        startDrag(MakeDragData(w_.RichEditCTLWords, w_.RichEditCTLWords->textCursor().selectedText()));
        return true;
    }
    if (!IsDragEvent(type)) return QObject::eventFilter(watched, event);
    const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
    if (watched == wordField_) {
        if (type == QEvent::Drop && DragComesFrom(data, w_.RichEditCTLWords))
            RunGuarded([this] { takeSelection(); });
        return AnswerDrag(event, true);
    }
    if (watched == tab_) {
        // A drag the text area or the list refused comes up to the tab; the
        // control under the pointer has decided, so the tab refuses it too.
        const QPoint at = static_cast<QDropEvent*>(event)->position().toPoint();
        const QWidget* under = tab_->childAt(at);
        const bool overOwnTarget = under && (under == w_.RichEditCTLWords ||
                                             w_.RichEditCTLWords->isAncestorOf(under) ||
                                             under == w_.CheckListBoxControlTags ||
                                             w_.CheckListBoxControlTags->isAncestorOf(under));
        return AnswerDrag(event, !overOwnTarget);
    }
    if (watched == textArea_) return AnswerDrag(event, DragComesFrom(data, w_.RichEditCTLWords));
    if (watched == listArea_) return AnswerDrag(event, DragComesFrom(data, w_.CheckListBoxControlTags));
    return QObject::eventFilter(watched, event);
}

}  // namespace korvane

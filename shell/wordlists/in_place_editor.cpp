#include "shell/wordlists/in_place_editor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"

namespace korvane {

InPlaceEditor::InPlaceEditor(Parts parts, std::function<void(int)> fill, std::function<void(int)> store,
                             QObject* parent)
    : QObject(parent), list_(parts.list), viewport_(parts.list->viewport()), panel_(parts.panel),
      focusField_(parts.focusField), keyFields_(std::move(parts.keyFields)), fill_(std::move(fill)),
      store_(std::move(store)) {
    viewport_->installEventFilter(this);
    list_->installEventFilter(this);
    for (QWidget* w : keyFields_) w->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &InPlaceEditor::onFocusChanged);
}

int InPlaceEditor::openThreshold(int row) const {
    int height = list_->itemHeight();
    if (height <= 0) height = list_->visualRect(list_->model()->index(row, 0)).height();
    return std::max(height, list_->checkBoxRect(row).right() + 1);
}

void InPlaceEditor::place(int row) {
    const QRect rowRect = list_->visualRect(list_->model()->index(row, 0));
    const int left = openThreshold(row);
    const int height = std::max(panel_->sizeHint().height(), panel_->minimumSizeHint().height());
    const int top = rowRect.center().y() - height / 2;
    panel_->setGeometry(left, top, std::max(0, viewport_->width() - left), height);
}

void InPlaceEditor::open(int row) {
    if (!panel_ || row < 0 || row >= int(list_->checkList().size())) return;
    if (isOpen()) close(true, false);
    index_ = row;
    place(row);
    fill_(row);
    panel_->show();
    panel_->raise();
    focusField_->setFocus(Qt::OtherFocusReason);
    focusField_->setCursorPosition(int(focusField_->text().size()));
}

void InPlaceEditor::close(bool store, bool focusList) {
    if (!isOpen()) return;
    const int row = index_;
    // Forget the entry first: hiding the panel moves the focus, which must
    // not close the editor a second time.
    index_ = -1;
    if (panel_) panel_->hide();
    if (focusList) list_->setFocus(Qt::OtherFocusReason);
    if (store && row < int(list_->checkList().size())) store_(row);
}

void InPlaceEditor::abandon() {
    index_ = -1;
    if (panel_) panel_->hide();
}

bool InPlaceEditor::inPanel(const QWidget* w) const {
    return w && panel_ && (w == panel_ || panel_->isAncestorOf(w));
}

void InPlaceEditor::onFocusChanged(QWidget* old, QWidget* now) {
    // A null target (the application lost the focus, or the window is going
    // away) and focus moving into another window (the tag picker's drop-down,
    // a dialog) do not end the editing.
    if (!isOpen() || !now || !panel_) return;
    if (!inPanel(old) || inPanel(now) || now->window() != panel_->window()) return;
    RunGuarded([this] { close(true, false); });
}

bool InPlaceEditor::eventFilter(QObject* watched, QEvent* event) {
    // Only pointers are compared before the event is known to matter: while
    // the window goes away, the list may be half destroyed.
    const QEvent::Type type = event->type();
    if (watched == viewport_ && type == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint pos = m->position().toPoint();
        const QModelIndex index = list_->indexAt(pos);
        if (!list_->checkList().empty() && m->button() == Qt::LeftButton && index.isValid() &&
            pos.x() > openThreshold(index.row()))
            RunGuarded([&] { open(index.row()); });
        return false;  // the list still handles the release (check box, clicked)
    }
    if (watched == list_ && type == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const bool plain = (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && plain) {
            const int row = list_->itemIndex();
            if (!list_->checkList().empty() && row >= 0) RunGuarded([&] { open(row); });
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyPress && isOpen() &&
        std::find(keyFields_.begin(), keyFields_.end(), watched) != keyFields_.end()) {
        auto* k = static_cast<QKeyEvent*>(event);
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RunGuarded([this] { close(true, true); });
            return true;
        case Qt::Key_Escape:
            RunGuarded([this] { close(false, true); });
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace korvane

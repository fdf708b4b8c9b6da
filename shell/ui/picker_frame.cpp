#include "shell/ui/picker_frame.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include "shell/ui/byte_text.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/guard.h"

namespace korvane {

PickerFrame::PickerFrame(Dialogs& dialogs, QWidget* parent) : QFrame(parent), dialogs_(dialogs) {
    setMouseTracking(true);
}

PickerFrame::~PickerFrame() {
    // The field may lose the focus while it is destroyed; that is no leave.
    if (field_) field_->removeEventFilter(this);
}

void PickerFrame::BuildControls(const QString& caption, const QString& text, int width, int height,
                                QLabel*& label, QLineEdit*& edit, QToolButton*& button) {
    label = new QLabel(caption, this);
    edit = new QLineEdit(text, this);
    button = new QToolButton(this);
    button->setText(QStringLiteral("..."));
    button->setToolTip(QStringLiteral("Click here to navigate!"));
    // A speed button: clicking it leaves the focus where it is, so the
    // field's leave handling does not run before the browse.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(0);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(edit, 1, 0);
    grid->addWidget(button, 1, 1);
    resize(width, height);

    field_ = edit;
    edit->setToolTip(text);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this] { modified_ = true; });
    connect(edit, &QLineEdit::textChanged, this, [edit](const QString& t) { edit->setToolTip(t); });
}

std::string PickerFrame::FieldText() const { return BytesFromQString(field_->text()); }

void PickerFrame::SetFieldText(const std::string& text) { field_->setText(QStringFromBytes(text)); }

FieldColour PickerFrame::FieldState() const { return GetFieldColour(field_); }

void PickerFrame::RunLeaveHandling() {
    RunGuarded([this] {
        if (OnEditExit)
            OnEditExit(field_);
        else
            EditExit();
    });
}

bool PickerFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_) return QFrame::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                RunLeaveHandling();
                return true;
            }
            return false;
        }
        case QEvent::FocusOut: {
            // Only a move to another control of the window counts as leaving;
            // a dialog or another window taking the focus does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) RunLeaveHandling();
            return false;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            // The field takes the file drops of its frame and no other drag:
            // dragged text (or a file the frame does not take now) must not
            // end up typed into the path.
            if (!HandleDragEvent(event)) event->ignore();
            return true;
        default:
            return false;
    }
}

bool PickerFrame::HandleDragEvent(QEvent* event) {
    if (!AcceptsFileDrops()) return false;
    if (event->type() == QEvent::Drop) {
        const std::vector<std::string> names = TakeFileDrop(static_cast<QDropEvent*>(event));
        if (names.empty()) return false;
        RunGuarded([&] { HandleFileDrop(names); });
        return true;
    }
    return AcceptFileDrag(static_cast<QDragMoveEvent*>(event));
}

void PickerFrame::mouseMoveEvent(QMouseEvent* event) {
    setToolTip(field_->text());
    QFrame::mouseMoveEvent(event);
}

void PickerFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!HandleDragEvent(event)) QFrame::dragEnterEvent(event);
}

void PickerFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!HandleDragEvent(event)) QFrame::dragMoveEvent(event);
}

void PickerFrame::dropEvent(QDropEvent* event) {
    if (!HandleDragEvent(event)) QFrame::dropEvent(event);
}

}  // namespace korvane

#include "shell/ui/my_status_bar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include "shared/text.h"
#include "shell/ui/guard.h"
#include "shell/ui/window_routines.h"

namespace korvane {

QColor TMyStatusBar::FromColorRef(unsigned value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

TMyStatusBar::TMyStatusBar(QWidget* parent, Dialogs* dialogs)
    : QStatusBar(parent),
      messages_(dialogs),
      label_(new QLabel(this)),
      colorErr_(FromColorRef(kDefaultColorErr)),
      colorWarn_(FromColorRef(kDefaultColorWarn)) {
    label_->setObjectName(QStringLiteral("MessageLabel"));
    label_->setTextFormat(Qt::PlainText);
    // A long text must neither widen the window nor take the mouse.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    addWidget(label_, 1);
    setAutoFillBackground(true);
    messages_.SetMetrics([this](const std::string& t) { return TextPixelWidth(t, font()); },
                         [this] { return contentsRect().width(); });
    messages_.SetChangeListener([this] { refresh(); });
    refresh();
}

void TMyStatusBar::setColorErr(const QColor& c) {
    colorErr_ = c;
    refresh();
}

void TMyStatusBar::setColorWarn(const QColor& c) {
    colorWarn_ = c;
    refresh();
}

QString TMyStatusBar::shownText() const { return label_->text(); }

QColor TMyStatusBar::backgroundColor() const {
    switch (messages_.Background()) {
    case StatusBackground::Err:
        return colorErr_;
    case StatusBackground::Warn:
        return colorWarn_;
    case StatusBackground::Normal:
        break;
    }
    return palette().color(QPalette::Button);
}

void TMyStatusBar::refresh() {
    label_->setText(QString::fromUtf8(messages_.Text()));
    setToolTip(QString::fromUtf8(ReplaceAll(messages_.Hint(), "\r\n", "\n")));
    QPalette p = palette();
    const QColor bg = backgroundColor();
    if (p.color(QPalette::Window) != bg) {
        p.setColor(QPalette::Window, bg);
        setPalette(p);
    }
}

void TMyStatusBar::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    // The normal background follows the button face of the current palette.
    if (event->type() == QEvent::StyleChange && messages_.Background() == StatusBackground::Normal) refresh();
}

void TMyStatusBar::mousePressEvent(QMouseEvent* event) {
    QStatusBar::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void TMyStatusBar::mouseReleaseEvent(QMouseEvent* event) {
    QStatusBar::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (!rect().contains(event->position().toPoint())) return;
    RunGuarded([this] {
        if (OnClick)
            OnClick();
        else
            messages_.Click();
    });
}

void TMyStatusBar::mouseDoubleClickEvent(QMouseEvent* event) {
    QStatusBar::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    pressed_ = false;  // the release that follows is no click of its own
    RunGuarded([this] {
        if (OnDblClick)
            OnDblClick();
        else
            messages_.Click();
    });
}

}  // namespace korvane

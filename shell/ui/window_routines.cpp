#include "shell/ui/window_routines.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <map>
#include <vector>

namespace korvane {
namespace {

constexpr int kBorderWidth = 1;   // the system's border width
constexpr int kGlyphSpacing = 4;  // space between a button's image and caption

bool IsPushButton(const QWidget* w) {
    return qobject_cast<const QPushButton*>(w) != nullptr || qobject_cast<const QToolButton*>(w) != nullptr;
}

int ClientWidth(const QWidget* w) { return w->contentsRect().width(); }

// The button belongs to window itself, not to a dialog or frame window
// parented to it.
bool OwnedBy(const QWidget* button, const QWidget* window) {
    for (const QWidget* p = button->parentWidget(); p && p != window; p = p->parentWidget())
        if (p->isWindow()) return false;
    return true;
}

struct Placed {
    QAbstractButton* button;
    QWidget* parent;
    QByteArray parentName;
    int tag;
    int order;
    int left, top, width, height;
};

// The width a button needs for its caption (and image).
int NeededWidth(const QAbstractButton* b) {
    const int caption = TextPixelWidth(b->text(), b->font());
    // The image of a button is stored as one picture per state; the needed
    // width counts one picture (half of a two-state strip).
    if (!b->icon().isNull()) return b->iconSize().width() + 3 * kGlyphSpacing + caption;
    return caption + 8;
}

}  // namespace

int TextPixelWidth(const QString& text, const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(text) + 4 * kBorderWidth;
}

int TextPixelWidth(const std::string& text, const QFont& font) {
    return TextPixelWidth(QString::fromUtf8(text), font);
}

void FitFormToWorkArea(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!window || !screen) return;
    const QRect area = screen->availableGeometry();
    // The window's frame (title bar, borders) once the window system has
    // given it one: the whole window, frame included, is what must fit.
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    const int frameWidth = std::max(0, outer.width() - inner.width());
    const int frameHeight = std::max(0, outer.height() - inner.height());
    const int right = area.x() + area.width() - frameWidth;
    const int bottom = area.y() + area.height() - frameHeight;
    window->setMaximumSize(right, bottom);
    // Nor does the window ask for more than the work area as its least size
    // (large fonts, a high scale factor): a tenth is left for the window's
    // frame, and what does not fit scrolls inside the pages.
    const QSize least = window->minimumSize();
    window->setMinimumSize(std::min(least.width(), area.width() * 9 / 10),
                           std::min(least.height(), area.height() * 9 / 10));

    int left = window->x(), top = window->y(), width = window->width(), height = window->height();
    if (top < 0) top = 0;
    if (top > bottom - 50) top = bottom - 50;
    if (height > bottom) height = bottom;
    if (left > right - 50) left = right - 50;
    if (left < 0) left = 0;
    if (width > right) width = right;
    if (left != window->x() || top != window->y()) window->move(left, top);
    if (width != window->width() || height != window->height()) window->resize(width, height);
}

void ArrangeTaggedButtons(QWidget* window) {
    if (!window) return;
    const QList<QAbstractButton*> all = window->findChildren<QAbstractButton*>();
    std::vector<Placed> buttons;
    for (int i = 0; i < all.size(); ++i) {
        QAbstractButton* b = all[i];
        if (!IsPushButton(b) || b->isHidden() || !(b->focusPolicy() & Qt::TabFocus) || !b->parentWidget() ||
            !OwnedBy(b, window))
            continue;
        const int tag = b->property("Tag").toInt();
        if (tag <= 0) continue;
        const QVariant tabOrder = b->property("TabOrder");
        buttons.push_back({b, b->parentWidget(), b->parentWidget()->objectName().toUtf8(), tag,
                           tabOrder.isValid() ? tabOrder.toInt() : i, b->x(), b->y(), b->width(), b->height()});
    }
    if (buttons.empty()) return;
    std::stable_sort(buttons.begin(), buttons.end(), [](const Placed& a, const Placed& b) {
        if (a.parentName != b.parentName) return a.parentName < b.parentName;
        if (a.tag != b.tag) return a.tag < b.tag;
        return a.order < b.order;
    });

    // Each parent's rows start below its other visible controls.
    std::map<QWidget*, int> startLine;
    for (const Placed& p : buttons) {
        if (startLine.count(p.parent)) continue;
        int line = 2;
        for (QObject* o : p.parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow() || w->isHidden() || IsPushButton(w)) continue;
            line = std::max(line, 2 + w->y() + w->height());
        }
        startLine[p.parent] = line;
    }

    auto setClientHeight = [](QWidget* parent, int clientHeight) {
        const int h = clientHeight + parent->height() - parent->contentsRect().height();
        parent->setFixedHeight(h);
        parent->resize(parent->width(), h);
    };

    const Placed* prev = nullptr;
    for (Placed& b : buttons) {
        const int parentWidth = ClientWidth(b.parent);
        const int needed = NeededWidth(b.button);
        if (needed != ClientWidth(b.button)) b.width = needed + b.button->width() - ClientWidth(b.button);
        if (b.width >= parentWidth) b.width = parentWidth - 1;
        if (b.top < 2) b.top = 2;

        if (!prev || prev->parent != b.parent) {
            if (prev) setClientHeight(prev->parent, prev->top + prev->height + 4);
            b.left = 2;
            b.top = startLine[b.parent];
        } else if (prev->tag != b.tag) {
            b.left = 2;
            b.top = prev->top + prev->height + 2;
        } else {
            const int behindLeft = prev->left + prev->width + 2;
            const int nextRowTop = prev->top + prev->height + 2;
            if (b.left != behindLeft || b.top != prev->top) {
                // Moving up from the next row needs 2 pixels more room than
                // staying up, so a button does not jump back and forth.
                const bool atNextRowStart = b.left == 2 && b.top == nextRowTop;
                if (!(atNextRowStart && prev->left + prev->width + b.width + 6 > parentWidth)) {
                    b.left = behindLeft;
                    b.top = prev->top;
                }
            }
            if (b.left + b.width + 2 > parentWidth) {
                b.left = 2;
                b.top = nextRowTop;
            }
        }
        prev = &b;
    }
    setClientHeight(prev->parent, prev->top + prev->height + 4);

    for (const Placed& b : buttons) {
        const QRect r(b.left, b.top, b.width, b.height);
        if (b.button->geometry() != r) b.button->setGeometry(r);
    }
}

void SetTabVisible(QTabWidget* tabs, QWidget* page, bool visible) {
    const int i = tabs->indexOf(page);
    if (i >= 0) tabs->setTabVisible(i, visible);
}

bool IsTabVisible(QTabWidget* tabs, QWidget* page) {
    const int i = tabs->indexOf(page);
    return i >= 0 && tabs->isTabVisible(i);
}

}  // namespace korvane

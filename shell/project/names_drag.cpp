#include "shell/project/names_drag.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>

#include "shell/ui/drop_targets.h"
#include "shell/ui/guard.h"

namespace korvane {

NamesDrag::NamesDrag(QWidget* source, const std::vector<QWidget*>& targets, QObject* parent)
    : QObject(parent), source_(source), targets_(targets) {
    StartDrag = [this] { RunDrag(); };
    source_->installEventFilter(this);
    for (QWidget* t : targets_) {
        t->setAcceptDrops(true);
        t->installEventFilter(this);
    }
}

bool NamesDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched == source_) return SourceEvent(event);
    return TargetEvent(event);
}

bool NamesDrag::SourceEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) return false;
        bool allowed = false;
        RunGuarded([&] { allowed = PressAllowed && PressAllowed(); });
        tracking_ = allowed;
        pressPos_ = e->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!tracking_ || !(e->buttons() & Qt::LeftButton)) return false;
        const QPoint d = e->position().toPoint() - pressPos_;
        if (std::abs(d.x()) < kThreshold && std::abs(d.y()) < kThreshold) return false;
        tracking_ = false;
        if (StartDrag) StartDrag();
        return true;
    }
    case QEvent::MouseButtonRelease:
        tracking_ = false;
        return false;
    default:
        return false;
    }
}

bool NamesDrag::TargetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QMimeData* mime = e->mimeData();
        if (mime && mime->hasFormat(kMimeType)) {
            e->acceptProposedAction();
            if (event->type() == QEvent::Drop) {
                RunGuarded([this] {
                    if (OnDrop) OnDrop();
                });
            }
            return true;
        }
        // Files from the desktop are the targets' own business; any other
        // drag (text above all) is refused here, so that no target, and
        // least of all the field, takes it.
        if (mime && !DropNamesFromMime(mime).empty()) return false;
        e->ignore();
        return true;
    }
    default:
        return false;
    }
}

void NamesDrag::RunDrag() {
    auto* drag = new QDrag(source_);
    auto* mime = new QMimeData;
    mime->setData(kMimeType, QByteArray("names"));
    drag->setMimeData(mime);
    NestedEventLoopScope nested;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

}  // namespace korvane

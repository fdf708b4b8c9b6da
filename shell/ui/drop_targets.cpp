#include "shell/ui/drop_targets.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QUrl>

#include "shared/platform/path.h"
#include "shell/ui/guard.h"

namespace korvane {

std::vector<std::string> DropNamesFromMime(const QMimeData* mime) {
    std::vector<std::string> names;
    if (!mime || !mime->hasUrls()) return names;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) continue;
        // The name's bytes as the URL carries them, percent-encoded: a name
        // that is no UTF-8 keeps its bytes (toLocalFile would replace them).
        std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
        if (path.empty()) continue;
        if (path.size() > 1) path = ExcludeTrailingSep(path);
        names.push_back(std::move(path));
    }
    return names;
}

namespace {

bool HasLocalFiles(const QMimeData* mime) { return !DropNamesFromMime(mime).empty(); }

// The shell offers copy and link; anything else is taken as a copy when the
// source allows it.
bool ChooseDropAction(QDropEvent* event) {
    const Qt::DropAction proposed = event->proposedAction();
    if (proposed == Qt::CopyAction || proposed == Qt::LinkAction) {
        event->acceptProposedAction();
        return true;
    }
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    return false;
}

QStringList ToQStringList(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& n : names) list << QString::fromUtf8(n);
    return list;
}

void RaiseDrop(QObject* sender, const DropFilesHandler& handler, const std::vector<std::string>& names) {
    if (handler) RunGuarded([&] { handler(sender, names); });
}

}  // namespace

bool AcceptFileDrag(QDragMoveEvent* event) {
    if (!HasLocalFiles(event->mimeData())) return false;
    return ChooseDropAction(event);
}

std::vector<std::string> TakeFileDrop(QDropEvent* event) {
    std::vector<std::string> names = DropNamesFromMime(event->mimeData());
    if (names.empty() || !ChooseDropAction(event)) return {};
    return names;
}

// ---- TBitBtnWM_Drop

TBitBtnWM_Drop::TBitBtnWM_Drop(QWidget* parent) : QPushButton(parent) { setAcceptDrops(false); }

TBitBtnWM_Drop::TBitBtnWM_Drop(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAcceptDrops(false);
}

void TBitBtnWM_Drop::RegisterDropTarget(bool on) {
    registered_ = on;
    setAcceptDrops(on);
}

void TBitBtnWM_Drop::dragEnterEvent(QDragEnterEvent* event) {
    if (!registered_ || !AcceptFileDrag(event)) QPushButton::dragEnterEvent(event);
}

void TBitBtnWM_Drop::dragMoveEvent(QDragMoveEvent* event) {
    if (!registered_ || !AcceptFileDrag(event)) QPushButton::dragMoveEvent(event);
}

void TBitBtnWM_Drop::dropEvent(QDropEvent* event) {
    const std::vector<std::string> names = registered_ ? TakeFileDrop(event) : std::vector<std::string>{};
    if (names.empty()) {
        QPushButton::dropEvent(event);
        return;
    }
    RaiseDrop(this, OnWMDropFileMessage, names);
    emit filesDropped(ToQStringList(names));
}

// ---- TPanelWM_Drop

TPanelWM_Drop::TPanelWM_Drop(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAcceptDrops(false);
}

void TPanelWM_Drop::RegisterDropTarget(bool on) {
    registered_ = on;
    setAcceptDrops(on);
}

void TPanelWM_Drop::dragEnterEvent(QDragEnterEvent* event) {
    if (!registered_ || !AcceptFileDrag(event)) QFrame::dragEnterEvent(event);
}

void TPanelWM_Drop::dragMoveEvent(QDragMoveEvent* event) {
    if (!registered_ || !AcceptFileDrag(event)) QFrame::dragMoveEvent(event);
}

void TPanelWM_Drop::dropEvent(QDropEvent* event) {
    const std::vector<std::string> names = registered_ ? TakeFileDrop(event) : std::vector<std::string>{};
    if (names.empty()) {
        QFrame::dropEvent(event);
        return;
    }
    RaiseDrop(this, OnWMDropFileMessage, names);
    emit filesDropped(ToQStringList(names));
}

// ---- FileDropFilter

FileDropFilter::FileDropFilter(QWidget* target) : QObject(target), target_(target) {
    target_->installEventFilter(this);
}

void FileDropFilter::RegisterDropTarget(bool on) {
    registered_ = on;
    target_->setAcceptDrops(on);
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_ || !registered_) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            return AcceptFileDrag(static_cast<QDragMoveEvent*>(event));
        case QEvent::Drop: {
            const std::vector<std::string> names = TakeFileDrop(static_cast<QDropEvent*>(event));
            if (names.empty()) return false;
            RaiseDrop(target_, OnWMDropFileMessage, names);
            emit filesDropped(ToQStringList(names));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace korvane

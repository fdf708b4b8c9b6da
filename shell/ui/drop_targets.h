#pragma once
// Controls that take files dropped from the desktop: a push button, a panel,
// and a filter that makes any other widget (a group box) a drop target. Each
// passes the local paths of the dropped files, in drop order, to
// OnWMDropFileMessage and to the filesDropped signal. A control takes drops
// only after RegisterDropTarget(true); the main window registers its targets
// when it is first shown.

#include <QFrame>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

namespace korvane {

// Local paths (UTF-8) of the file URLs in a drag's data, in their order;
// URLs that are not local files are left out. A folder comes without its
// trailing separator.
std::vector<std::string> DropNamesFromMime(const QMimeData* mime);

using DropFilesHandler = std::function<void(QObject* sender, const std::vector<std::string>& names)>;

// What every drop target does with the three drag events. Returns true when
// the event was taken (accepted) as a file drop.
bool AcceptFileDrag(QDragMoveEvent* event);
// Reads the names of a drop and accepts it; empty when it carries no local file.
std::vector<std::string> TakeFileDrop(QDropEvent* event);

class TBitBtnWM_Drop : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtnWM_Drop(QWidget* parent = nullptr);
    TBitBtnWM_Drop(const QString& text, QWidget* parent = nullptr);

    void RegisterDropTarget(bool on);
    bool DropTargetRegistered() const { return registered_; }

    DropFilesHandler OnWMDropFileMessage;

signals:
    void filesDropped(const QStringList& names);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool registered_ = false;
};

class TPanelWM_Drop : public QFrame {
    Q_OBJECT
public:
    explicit TPanelWM_Drop(QWidget* parent = nullptr);

    void RegisterDropTarget(bool on);
    bool DropTargetRegistered() const { return registered_; }

    DropFilesHandler OnWMDropFileMessage;

signals:
    void filesDropped(const QStringList& names);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool registered_ = false;
};

// Makes an existing widget a file drop target. The filter is a child of the
// widget and watches only it; drags that carry no local file are left to the
// widget's own handling.
class FileDropFilter : public QObject {
    Q_OBJECT
public:
    explicit FileDropFilter(QWidget* target);

    QWidget* Target() const { return target_; }
    void RegisterDropTarget(bool on);
    bool DropTargetRegistered() const { return registered_; }

    DropFilesHandler OnWMDropFileMessage;

signals:
    void filesDropped(const QStringList& names);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* target_;
    bool registered_ = false;
};

}  // namespace korvane

#pragma once
// Dragging the project's names: a press of the left mouse button on the
// source (the group of the name fields) starts a drag once the mouse has
// moved kThreshold pixels, when the owner allows it for that press. The
// drop targets take this drag; dropping runs OnDrop. Files dragged from the
// desktop are left to the targets' own handling; every other drag (dragged
// text, say) is refused on the targets.

#include <QObject>
#include <QPoint>

#include <functional>
#include <vector>

class QWidget;

namespace korvane {

class NamesDrag : public QObject {
    Q_OBJECT
public:
    static constexpr int kThreshold = 3;
    static constexpr const char* kMimeType = "application/x-korvane-project-names";

    NamesDrag(QWidget* source, const std::vector<QWidget*>& targets, QObject* parent);

    // Asked at every left press on the source: whether this press may start
    // a drag.
    std::function<bool()> PressAllowed;
    // The names were dropped on a target.
    std::function<void()> OnDrop;
    // Performs the drag; by default a drag carrying kMimeType, run in a
    // nested event loop until it ends. Tests replace it.
    std::function<void()> StartDrag;

    bool Tracking() const { return tracking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool SourceEvent(QEvent* event);
    bool TargetEvent(QEvent* event);
    void RunDrag();

    QWidget* source_;
    std::vector<QWidget*> targets_;
    bool tracking_ = false;
    QPoint pressPos_;
};

}  // namespace korvane

#pragma once
// What the directory picker and the program picker have in common: a frame
// holding a caption label, a one-line field and a browse button, where
//   - Enter in the field is swallowed and runs the field's leave handling,
//   - leaving the field (focus moving to another control of the window) runs
//     the leave handling,
//   - the field's hint follows its text and the frame's hint becomes the
//     field's text when the mouse moves over it,
//   - the field keeps a "changed" mark that user edits set and only the
//     owner clears,
//   - files dropped on the frame or on its field reach HandleFileDrop once
//     drops are accepted; the field takes no other drag (no dragged text).

#include <QFrame>
#include <functional>
#include <string>
#include <vector>

#include "shell/ui/field_colour.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace korvane {

class Dialogs;

class PickerFrame : public QFrame {
    Q_OBJECT
public:
    ~PickerFrame() override;

    // The field's text as UTF-8.
    std::string FieldText() const;
    void SetFieldText(const std::string& text);

    // The field's changed mark: set by the user's edits, never by the program.
    bool Modified() const { return modified_; }
    void SetModified(bool on) { modified_ = on; }

    // When set, replaces the built-in leave handling of the field; an owner
    // that installs it calls the picker's exit check at its end.
    std::function<void(QObject* sender)> OnEditExit;

    // The leave handling as the field runs it (OnEditExit or the exit check),
    // guarded like every event handler.
    void RunLeaveHandling();

    FieldColour FieldState() const;

protected:
    PickerFrame(Dialogs& dialogs, QWidget* parent);
    // Builds label, field and button; the subclass keeps its own names for them.
    void BuildControls(const QString& caption, const QString& text, int width, int height, QLabel*& label,
                       QLineEdit*& edit, QToolButton*& button);

    virtual void EditExit() = 0;
    virtual void HandleFileDrop(const std::vector<std::string>& names) = 0;
    // Whether file drops are taken now.
    virtual bool AcceptsFileDrops() const = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Picker visibility as the owner set it: false only after an explicit
    // hide, whether or not the window around it is shown yet.
    bool PickerVisible() const {
        return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
    }

    Dialogs& dialogs_;

private:
    bool HandleDragEvent(QEvent* event);

    QLineEdit* field_ = nullptr;
    bool modified_ = false;
};

}  // namespace korvane

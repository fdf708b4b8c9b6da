#pragma once
// Picking control words out of program text on the tab "Control Words":
// loading a source into the read-only text area, taking its selection into
// the word field (command, Ctrl+A or dragging), and adding the word with its
// tag to the control word list.
//
// Dragging: a left button pressed on the selected text of the text area
// starts a drag at once and leaves the selection as it was. The word field
// and the tab around it accept any drag; a drop on the word field that comes
// from the text area takes the selection. The text area and the control word
// list accept a drag only from themselves, and a drop on them does nothing.

#include <QObject>

#include <functional>

#include "shell/ui/shell_services.h"
#include "shell/wordlists/word_lists_view.h"

class QMimeData;
class QWidget;

namespace korvane {

// The drag data of a control: the text, marked with the object name of the
// control the drag comes from.
QMimeData* MakeDragData(const QWidget* source, const QString& text);
bool DragComesFrom(const QMimeData* data, const QWidget* source);

class ControlWordPicking : public QObject {
    Q_OBJECT
public:
    ControlWordPicking(QObject* parent, const WordListsView& view, ShellServices services);

    // ActLoadTextFile: on "Names and datasets" loads the selected source into
    // the text area; elsewhere goes to that page and focuses the source list.
    void ActLoadTextFileExecute();
    // ActAddselectedToLIst: the selection up to its first line break into
    // the word field, which then gets the focus when it is visible.
    void ActAddselectedToLIstExecute();
    // "Add to list": tag and trimmed word as a new checked control word.
    void ButtonCreateWrdListClick();

    // Carries out a drag that a press on the selection started; takes
    // ownership of the data. Runs QDrag unless replaced (tests record).
    std::function<void(QMimeData*)> startDrag;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeSelection();
    bool pressOnSelection(QEvent* event) const;
    void runDrag(QMimeData* data);

    WordListsView v_;
    ShellServices s_;
    // The watched controls, compared by address only: while the window goes
    // away they may be half destroyed.
    QWidget* wordField_;
    QWidget* tab_;
    QWidget* textArea_;
    QWidget* listArea_;
};

}  // namespace korvane

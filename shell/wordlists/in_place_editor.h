#pragma once
// An editor laid over one entry of a check-list box: a panel (or a single
// field) inside the list's viewport, hidden while not editing.
//
// Opening: a left button released right of the check box over an entry, or
// Enter on the current entry. The panel then covers the entry's row from the
// check box to the right edge, the owner fills its fields, and the focus
// field gets the focus with the caret at the end.
// Closing: Enter in a field stores, hides and focuses the list; Escape hides
// and focuses the list without storing; the focus moving anywhere else in the
// window stores and hides. After closing no entry is remembered.

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QLineEdit;
class QWidget;

namespace korvane {

class CheckListBox;

class InPlaceEditor : public QObject {
    Q_OBJECT
public:
    struct Parts {
        CheckListBox* list = nullptr;
        QWidget* panel = nullptr;          // a child of the list's viewport
        QLineEdit* focusField = nullptr;   // focused on opening, caret at the end
        std::vector<QWidget*> keyFields;   // where Enter and Escape close the editor
    };
    // fill puts entry row into the fields; store writes them back to row
    // (called only while row still denotes an entry).
    InPlaceEditor(Parts parts, std::function<void(int row)> fill, std::function<void(int row)> store,
                  QObject* parent = nullptr);

    bool isOpen() const { return index_ >= 0; }
    // The entry being edited, -1 when closed.
    int editedIndex() const { return index_; }

    void open(int row);
    // Closes the editor; with store the fields are written back first.
    void close(bool store, bool focusList);
    // Hides the editor without storing and without moving the focus (the
    // list was emptied under it).
    void abandon();

    // Horizontal position from which a release opens the editor: the list's
    // item height, or the right edge of the check box when that is further.
    int openThreshold(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    bool inPanel(const QWidget* w) const;
    void place(int row);

    CheckListBox* list_;
    QWidget* viewport_;
    QPointer<QWidget> panel_;
    QLineEdit* focusField_;
    std::vector<QWidget*> keyFields_;
    std::function<void(int)> fill_;
    std::function<void(int)> store_;
    int index_ = -1;
};

}  // namespace korvane

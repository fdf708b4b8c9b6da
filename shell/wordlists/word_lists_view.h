#pragma once
// The controls the macro table page works with, and what it needs of the
// rest of the shell. The window builds the controls and fills the view; it
// also serves the hooks.

#include <functional>

class QComboBox;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace korvane {

class CheckListBox;
class TFrameFindexec;

struct WordListsView {
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QWidget* TabSheetWordScan = nullptr;
    QTabWidget* PageControlWordLists = nullptr;
    QWidget* TabSheetControlWords = nullptr;
    // The source list a text file to pick from is taken from.
    CheckListBox* CheckListBoxSelectedFiles = nullptr;
    CheckListBox* CheckListBoxObjects = nullptr;
    QLineEdit* EditObjects = nullptr;
    CheckListBox* CheckListBoxControlTags = nullptr;
    QWidget* PanelCWrd = nullptr;
    QComboBox* ComboBoxEditCWrd = nullptr;
    QLineEdit* EditCWrd = nullptr;
    QPlainTextEdit* RichEditCTLWords = nullptr;
    QLineEdit* EditCreateWrdList = nullptr;
    QComboBox* ComboBoxCreateWrdList = nullptr;
    QPushButton* ButtonCreateWrdList = nullptr;
    // The default function table's picker.
    TFrameFindexec* FrameFindexecFunctab = nullptr;
};

struct WordListsHooks {
    std::function<void()> markModified;
    // The list a list command acts on (the sender, else the focused
    // check-list, else an error that ends the operation).
    std::function<CheckListBox*(QObject* sender)> targetList;
};

}  // namespace korvane

#pragma once
// The controls the project works with, and what it needs of the rest of the
// shell. The window builds the controls and fills the view; it also serves
// the hooks.

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace korvane {

class CheckListBox;
class FormHost;
class TFrameFindDirectory;

struct ProjectView {
    // The window as the project file stores it.
    FormHost* form = nullptr;
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QWidget* TabSheetViewer = nullptr;
    QGroupBox* GroupBoxNames = nullptr;
    QLineEdit* EditProductName = nullptr;
    QLineEdit* EditSystemName = nullptr;
    // All transformation check boxes, designed rows first; rows a language
    // creates are added to the vector as they come.
    const std::vector<QCheckBox*>* transformationBoxes = nullptr;
    QCheckBox* CheckBoxRealign = nullptr;
    QCheckBox* CheckBoxRenameVariables = nullptr;
    // The designed rows whose changes mark the project modified (the copy
    // and rename rows are the collections').
    std::vector<QCheckBox*> markingBoxes;
    QComboBox* ComboBoxRefactorLevel = nullptr;
    QGroupBox* GroupBoxDataSets = nullptr;
    TFrameFindDirectory* FrameFindDirectoryOutputDir = nullptr;
    QPlainTextEdit* MemoNewFileNames = nullptr;
    QTabWidget* PageControlFileCollect = nullptr;
    QWidget* TabSheetSelectedFiles = nullptr;
    QWidget* TabSheetCSVForRename = nullptr;
    QLabel* PanelCommonRoot = nullptr;
    CheckListBox* CheckListBoxSelectedFiles = nullptr;
    CheckListBox* CheckListBoxCSVForRename = nullptr;
    CheckListBox* CheckListBoxCopyCollection = nullptr;
    CheckListBox* CheckListBoxObjects = nullptr;
    CheckListBox* CheckListBoxControlTags = nullptr;
    QLineEdit* EditCreateWrdList = nullptr;
    QPlainTextEdit* RichEditCTLWords = nullptr;
};

struct ProjectHooks {
    // The window caption's project part.
    std::function<void(const std::string&)> setProjectCaption;
    std::function<void()> arrangeTaggedButtons;
    // The language: the one selected, and applying one by its suffix.
    std::function<std::string()> selectedLanguage;
    std::function<void(const std::string&)> applyLanguage;
    // The tool roots carried in the project file.
    std::function<std::string()> toolRoot;
    std::function<std::string()> localToolRoot;
    std::function<void(const std::string&)> setLocalToolRoot;
    // A project file has been applied: the collection pages follow it.
    std::function<void()> loaded;
};

}  // namespace korvane

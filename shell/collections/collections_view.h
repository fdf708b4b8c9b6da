#pragma once
// The controls the collection lists work with, and what they need of the
// rest of the shell. The window builds the controls and fills the view; it
// also serves the hooks.

#include <functional>
#include <string>

#include "shared/platform/files.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QTabWidget;
class QWidget;

namespace korvane {

class CheckListBox;
class TBitBtnWM_Drop;
class TPanelWM_Drop;

struct CollectionsView {
    QWidget* window = nullptr;  // its focused control picks the target list
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QTabWidget* PageControlFileCollect = nullptr;
    QWidget* TabSheetSelectedFiles = nullptr;
    QWidget* TabSheetCSVForRename = nullptr;
    QWidget* TabSheetCopyCollection = nullptr;
    QGroupBox* GroupBoxSelectedFiles = nullptr;
    QLabel* PanelCommonRoot = nullptr;
    QLabel* PanelCSVForRename = nullptr;
    QLabel* PanelCopyCollection = nullptr;
    CheckListBox* CheckListBoxSelectedFiles = nullptr;
    CheckListBox* CheckListBoxCSVForRename = nullptr;
    CheckListBox* CheckListBoxCopyCollection = nullptr;
    // The word lists take the common list commands too.
    CheckListBox* CheckListBoxObjects = nullptr;
    CheckListBox* CheckListBoxControlTags = nullptr;
    QCheckBox* CheckBoxRenameVariables = nullptr;
    QCheckBox* CheckBoxCopyAdd = nullptr;
    TBitBtnWM_Drop* SpeedButtonAddFiles = nullptr;
    TBitBtnWM_Drop* SpeedButtonAdddManyFiles = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropAddCopies = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropAddManyCopies = nullptr;
    TBitBtnWM_Drop* BitBtnWM_DropCSVForRename = nullptr;
    TPanelWM_Drop* PanelWM_DropCSVForRename = nullptr;
    TPanelWM_Drop* PanelWM_DropCopyCollection = nullptr;
    // The progress group, lent to a merge.
    QGroupBox* GroupBoxSlider = nullptr;
    QProgressBar* ProgressBarModules = nullptr;
};

struct CollectionsHooks {
    // The project's output directory (the picker's text) and folder.
    std::function<std::string()> outputDirectory;
    std::function<std::string()> projectDirectory;
    std::function<void()> markModified;
    // The file filters of the applied language and the run-control limit
    // above which a merge asks first.
    std::function<std::string()> sourceFilter;
    std::function<std::string()> copyFilter;
    std::function<int()> bigDirectoryLimit;
    // Takes the lock of the output directory (an existing folder) into lock
    // unless a run of this window holds it already; when another run holds
    // it, reports that and ends silently.
    std::function<void(const std::string& dir, FolderLock& lock)> lockOutputDir;
    std::function<void()> arrangeTaggedButtons;
    // The list item height (known from the first show on) and whether the
    // first show has run (drop targets are registered then).
    std::function<int()> itemHeight;
    std::function<bool()> firstShowDone;
};

}  // namespace korvane

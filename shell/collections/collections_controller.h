#pragma once
// CollectionsController: the three collection lists of the main window (the
// sources, the rename-directive CSV files and the copy members) and the
// commands common to all five check-lists.
//
// It adds files through the file dialog, the folder browser and desktop
// drops, merges searched folders (AddDirectoryToList), keeps the copy
// library, removes unchecked entries, runs the check commands, computes and
// shows the common roots and draws the collection lists. It works on the
// controls of its view and serves their actions and events; what it needs of
// the project, the language and the run comes through its hooks.

#include <QObject>

#include <string>
#include <vector>

#include "shell/collections/collections_view.h"
#include "shell/ui/shell_services.h"

class QLabel;
class QWidget;

namespace korvane {

class CheckListBox;

class CollectionsController : public QObject {
    Q_OBJECT
public:
    CollectionsController(QObject* parent, const CollectionsView& view, ShellServices services,
                          CollectionsHooks hooks);
    ~CollectionsController() override;

    // --- what other subsystems use ---
    // The common root of a collection list into the caption of its panel;
    // repaints the list. Gives the root (empty for an empty list; the
    // remembered root of the source list then stays).
    std::string ComputeAndShowCommonRoot(CheckListBox* list);
    // The last root computed for the source list; kept across new projects.
    const std::string& rememberedSourceRoot() const { return rememberedRoot_; }
    // The copy library folder (with trailing separator), empty while none
    // has been derived.
    const std::string& copyLibraryFolder() const { return copyLibraryFolder_; }
    // Derives the copy library folder from the output directory and creates
    // it when asked. An empty output directory leaves no library.
    void deriveCopyLibraryFolder(bool create);
    // The window-wide cancel-request flag (ActCancelRun sets it).
    bool cancelRequested() const { return cancelRequested_; }
    void setCancelRequested(bool on) { cancelRequested_ = on; }
    // Brings the collection pages up to date: drop bindings, the tabs and
    // actions that follow the two options, roots, item heights.
    void updatePages();
    // A new project has no CSV files, so their root is gone too.
    void projectCleared();

    // The collection list of the active collection tab.
    CheckListBox* currentCollectionList() const;
    // The list a list command acts on: the sender when it is a check-list,
    // else the window's focused check-list, else the error "Click on a
    // checklistbox first to use this function!".
    CheckListBox* targetList(QObject* sender) const;

    // Searches folder's tree with the folder-search form of filter and merges
    // the files found into list (the big-directory question, progress, the
    // cancel request). Names with a line break are left out and counted for
    // the addition that called it to report.
    void AddDirectoryToList(const std::string& folder, const std::string& filter, CheckListBox* list);
    // Copies the checked copy members into the copy library.
    void RefreshCopyLibrary();

    // True while a merge lets the window process input; the collection
    // commands and drops arriving then are ignored.
    bool merging() const { return merging_; }

private:
    enum class Kind { Sources, Csv, Copies };
    struct Collection {
        Kind kind;
        CheckListBox* list;
        QLabel* panel;
        QWidget* tab;
    };

    // collections_controller.cpp
    void bindActions();
    void bindLists();
    const Collection& collection(Kind kind) const;
    const Collection* collectionOf(const CheckListBox* list) const;
    std::vector<CheckListBox*> allCheckLists() const;
    void showCollection(Kind kind);
    std::string showCommonRoot(CheckListBox* list, bool clearMessages);
    void markModified();
    void checkCommand(QObject* sender, int what);
    void removeUnchecked(QObject* sender);
    void applyRenameVisibility();
    void applyCopyVisibility();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // collections_additions.cpp
    void bindDrops();
    void addFilesFromDialog(Kind kind);
    void addDirectoryFromBrowser(Kind kind);
    void dropFiles(Kind kind, const std::vector<std::string>& names);
    // The follow-up of an addition that changed the count: the copy
    // library (copy members), the root, the modified mark.
    void followUp(Kind kind, bool keepMessages = false);
    std::string filterFor(Kind kind, bool forDrops) const;
    // Shows how many names with a line break the addition skipped (none:
    // nothing) and starts the count again.
    void reportSkippedNames();

    CollectionsView v_;
    ShellServices s_;
    CollectionsHooks hooks_;
    std::vector<Collection> collections_;
    // The collection lists' viewports, compared by address only.
    std::vector<const QObject*> viewports_;
    std::string rememberedRoot_;
    std::string copyLibraryFolder_;
    bool cancelRequested_ = false;
    // Names with a line break left out by the addition running now, also
    // by the folders it merges (AddDirectoryToList); reported once when the
    // addition ends.
    size_t skippedNames_ = 0;
    bool merging_ = false;
};

}  // namespace korvane

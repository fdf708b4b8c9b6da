#include "shell/collections/collections_controller.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QTabWidget>

#include <algorithm>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/check_list.h"
#include "shell/collections/common_root.h"
#include "shell/collections/copy_library.h"
#include "shell/collections/copy_library_folder.h"
#include "shell/collections/text_width_meter.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"

namespace korvane {
namespace {

constexpr const char* kNoCheckListMessage = "Click on a checklistbox first to use this function!";

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

enum CheckCommand { kReverse, kSelectAll, kUnselectAll };

}  // namespace

CollectionsController::CollectionsController(QObject* parent, const CollectionsView& view, ShellServices services,
                                             CollectionsHooks hooks)
    : QObject(parent), v_(view), s_(services), hooks_(std::move(hooks)) {
    collections_ = {
        {Kind::Sources, v_.CheckListBoxSelectedFiles, v_.PanelCommonRoot, v_.TabSheetSelectedFiles},
        {Kind::Csv, v_.CheckListBoxCSVForRename, v_.PanelCSVForRename, v_.TabSheetCSVForRename},
        {Kind::Copies, v_.CheckListBoxCopyCollection, v_.PanelCopyCollection, v_.TabSheetCopyCollection},
    };
    // The collection lists keep their entries in order ignoring case.
    for (const Collection& c : collections_) c.list->checkList().setSorted(true);
    bindActions();
    bindLists();
    bindDrops();

    connect(v_.PageControlFileCollect, &QTabWidget::currentChanged, this, [this](int) {
        RunGuarded([this] { ComputeAndShowCommonRoot(currentCollectionList()); });
    });
    connect(v_.CheckBoxRenameVariables, &QCheckBox::toggled, this, [this](bool) {
        RunGuarded([this] {
            applyRenameVisibility();
            hooks_.arrangeTaggedButtons();
            markModified();
        });
    });
    connect(v_.CheckBoxCopyAdd, &QCheckBox::toggled, this, [this](bool on) {
        RunGuarded([this, on] {
            applyCopyVisibility();
            if (on) deriveCopyLibraryFolder(true);
            hooks_.arrangeTaggedButtons();
            markModified();
        });
    });
}

void CollectionsController::projectCleared() { v_.PanelCSVForRename->clear(); }

CollectionsController::~CollectionsController() = default;

void CollectionsController::bindActions() {
    ActionList& a = s_.actions;
    a.setHandler(ActionId::Addfiles, [this](QObject*) { addFilesFromDialog(Kind::Sources); });
    a.setHandler(ActionId::AddDirectoriesToSources, [this](QObject*) { addDirectoryFromBrowser(Kind::Sources); });
    a.setHandler(ActionId::AddCSVFiles, [this](QObject*) { addFilesFromDialog(Kind::Csv); });
    a.setHandler(ActionId::AddCopies, [this](QObject*) { addFilesFromDialog(Kind::Copies); });
    a.setHandler(ActionId::AddDirectoriesToCopies, [this](QObject*) { addDirectoryFromBrowser(Kind::Copies); });
    a.setHandler(ActionId::RefreshCopyLib, [this](QObject*) {
        if (!merging_) RefreshCopyLibrary();
    });
    a.setHandler(ActionId::RemoveFiles, [this](QObject* sender) { removeUnchecked(sender); });
    a.setHandler(ActionId::ReverseSelect, [this](QObject* sender) { checkCommand(sender, kReverse); });
    a.setHandler(ActionId::SelectAll, [this](QObject* sender) { checkCommand(sender, kSelectAll); });
    a.setHandler(ActionId::UnselectAll, [this](QObject* sender) { checkCommand(sender, kUnselectAll); });
    a.setHandler(ActionId::CalculateCommonRoot, [this](QObject*) { ComputeAndShowCommonRoot(currentCollectionList()); });
}

void CollectionsController::bindLists() {
    for (CheckListBox* list : allCheckLists()) {
        connect(list, &CheckListBox::listDoubleClicked, this,
                [this, list] { s_.actions.execute(ActionId::ReverseSelect, list); });
        connect(list, &CheckListBox::checkToggled, this, [this](int) { RunGuarded([this] { markModified(); }); });
    }
    for (const Collection& c : collections_) {
        // Any click in a collection list recomputes the current root.
        c.list->viewport()->installEventFilter(this);
        viewports_.push_back(c.list->viewport());
        c.list->setItemHeight(hooks_.itemHeight());
    }
    // Drawing: the source list elides its remembered root, the CSV and copy
    // lists the caption of their panel.
    v_.CheckListBoxSelectedFiles->setDisplayText([this](int row) {
        return ElidedEntryText(v_.CheckListBoxSelectedFiles->checkList().text(size_t(row)), rememberedRoot_.size());
    });
    for (Kind kind : {Kind::Csv, Kind::Copies}) {
        const Collection& c = collection(kind);
        CheckListBox* list = c.list;
        QLabel* panel = c.panel;
        list->setDisplayText([list, panel](int row) {
            return PanelEntryText(list->checkList().text(size_t(row)), Utf8(panel->text()));
        });
    }
}

bool CollectionsController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        std::find(viewports_.begin(), viewports_.end(), watched) != viewports_.end()) {
        RunGuarded([this] {
            if (!merging_) ComputeAndShowCommonRoot(currentCollectionList());
        });
    }
    return QObject::eventFilter(watched, event);
}

const CollectionsController::Collection& CollectionsController::collection(Kind kind) const {
    for (const Collection& c : collections_)
        if (c.kind == kind) return c;
    return collections_.front();
}

const CollectionsController::Collection* CollectionsController::collectionOf(const CheckListBox* list) const {
    for (const Collection& c : collections_)
        if (c.list == list) return &c;
    return nullptr;
}

std::vector<CheckListBox*> CollectionsController::allCheckLists() const {
    return {v_.CheckListBoxSelectedFiles, v_.CheckListBoxCSVForRename, v_.CheckListBoxCopyCollection,
            v_.CheckListBoxObjects, v_.CheckListBoxControlTags};
}

CheckListBox* CollectionsController::currentCollectionList() const {
    QWidget* page = v_.PageControlFileCollect->currentWidget();
    if (page == v_.TabSheetCSVForRename) return v_.CheckListBoxCSVForRename;
    if (page == v_.TabSheetCopyCollection) return v_.CheckListBoxCopyCollection;
    return v_.CheckListBoxSelectedFiles;
}

CheckListBox* CollectionsController::targetList(QObject* sender) const {
    const std::vector<CheckListBox*> lists = allCheckLists();
    for (CheckListBox* l : lists)
        if (sender == l) return l;
    QWidget* focused = v_.window->focusWidget();
    if (!focused) focused = QApplication::focusWidget();
    for (CheckListBox* l : lists)
        if (focused && (focused == l || focused == l->viewport())) return l;
    s_.statusBar.ShowError(kNoCheckListMessage, false);
    return nullptr;
}

void CollectionsController::showCollection(Kind kind) {
    v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
    v_.PageControlFileCollect->setCurrentWidget(collection(kind).tab);
}

void CollectionsController::markModified() {
    hooks_.markModified();
}

// --- common root ------------------------------------------------------------

std::string CollectionsController::ComputeAndShowCommonRoot(CheckListBox* list) {
    return showCommonRoot(list, true);
}

std::string CollectionsController::showCommonRoot(CheckListBox* list, bool clearMessages) {
    const Collection* c = collectionOf(list);
    const CheckList& entries = list->checkList();
    CommonRootResult result;
    if (!entries.empty()) {
        const TextWidthMeter meter(list->font());
        result = ComputeCommonRoot(entries, [&meter](std::string_view t) { return meter(t); });
        if (c && c->kind == Kind::Sources) rememberedRoot_ = result.root;
        list->setItemHeight(hooks_.itemHeight());
        list->setHorizontalExtent(result.widestText + kExtentMargin);
    }
    if (c) c->panel->setText(QString::fromUtf8(result.root));
    list->refreshItems();
    if (!entries.empty() && clearMessages) s_.statusBar.ClearMessages();
    return result.root;
}

// --- check commands and removal ----------------------------------------------

void CollectionsController::checkCommand(QObject* sender, int what) {
    if (merging_) return;
    CheckListBox* target = targetList(sender);
    CheckList& list = target->checkList();
    switch (what) {
    case kReverse:
        list.invertAll();
        markModified();
        break;
    case kSelectAll:
        list.checkAll(true);
        markModified();
        break;
    case kUnselectAll:
        list.checkAll(false);
        break;
    }
}

void CollectionsController::removeUnchecked(QObject* sender) {
    if (merging_) return;
    CheckListBox* target = targetList(sender);
    if (v_.CheckBoxCopyAdd->isChecked()) deriveCopyLibraryFolder(false);
    const std::string library = target == v_.CheckListBoxCopyCollection ? copyLibraryFolder_ : std::string();
    if (RemoveUncheckedEntries(target->checkList(), library) == 0) return;
    ComputeAndShowCommonRoot(currentCollectionList());
    markModified();
}

// --- copy library and the two options -------------------------------------------

void CollectionsController::deriveCopyLibraryFolder(bool create) {
    const std::string output = hooks_.outputDirectory();
    copyLibraryFolder_ = output.empty() ? std::string() : CopyLibraryPath(output);
    if (create && !copyLibraryFolder_.empty()) ForceDirectories(copyLibraryFolder_);
}

void CollectionsController::RefreshCopyLibrary() {
    if (v_.CheckBoxCopyAdd->isChecked()) deriveCopyLibraryFolder(true);
    struct Repaint {
        CheckListBox* list;
        ~Repaint() { list->refreshItems(); }
    } repaint{v_.CheckListBoxCopyCollection};
    // The library lies in the output directory: written only while no other
    // run uses that folder (a run of this window holds its lock already).
    FolderLock lock;
    const std::string output = ExcludeTrailingSep(hooks_.outputDirectory());
    if (!copyLibraryFolder_.empty() && DirectoryExists(output)) hooks_.lockOutputDir(output, lock);
    ProtectedFiles keep;
    for (const CheckListBox* list : {v_.CheckListBoxSelectedFiles, v_.CheckListBoxCSVForRename})
        for (const CheckEntry& e : list->checkList().entries()) keep.Add(e.text);
    CopyCheckedMembers(v_.CheckListBoxCopyCollection->checkList(), copyLibraryFolder_, s_.statusBar, keep);
}

void CollectionsController::applyRenameVisibility() {
    const bool on = v_.CheckBoxRenameVariables->isChecked();
    QAction* add = s_.actions[ActionId::AddCSVFiles];
    add->setEnabled(on);
    add->setVisible(on);
    SetTabVisible(v_.PageControlFileCollect, v_.TabSheetCSVForRename, on);
}

void CollectionsController::applyCopyVisibility() {
    const bool on = v_.CheckBoxCopyAdd->isChecked();
    QAction* add = s_.actions[ActionId::AddCopies];
    add->setEnabled(on);
    add->setVisible(on);
    s_.actions[ActionId::AddDirectoriesToCopies]->setVisible(on);
    SetTabVisible(v_.PageControlFileCollect, v_.TabSheetCopyCollection, on);
}

void CollectionsController::updatePages() {
    RunGuarded([this] {
        bindDrops();
        applyRenameVisibility();
        applyCopyVisibility();
        hooks_.arrangeTaggedButtons();
        for (const Collection& c : collections_) {
            c.list->setItemHeight(hooks_.itemHeight());
            showCommonRoot(c.list, false);
        }
    });
}

}  // namespace korvane

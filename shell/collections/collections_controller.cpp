#include "shell/collections/collections_controller.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTabWidget>

#include <algorithm>
#include <array>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/app/action_list.h"
#include "shell/app/main_window.h"
#include "shell/collections/check_list.h"
#include "shell/collections/common_root.h"
#include "shell/collections/copy_library.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_engine.h"
#include "shell/run/work_area.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

constexpr const char* kNoCheckListMessage = "Click on a checklistbox first to use this function!";

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

// Text widths in a list's font. The widest of many paths is measured by
// summing the advances of their characters (one table for ASCII), which
// keeps a list of 100,000 entries quick; other texts are measured whole.
class TextWidthMeter {
public:
    explicit TextWidthMeter(const QFont& font) : metrics_(font) {
        for (int c = 0; c < 128; ++c) ascii_[size_t(c)] = metrics_.horizontalAdvance(QChar(c));
    }
    int operator()(std::string_view text) const {
        int width = 0;
        for (char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 128) return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
            width += ascii_[u];
        }
        return width;
    }

private:
    QFontMetrics metrics_;
    std::array<int, 128> ascii_{};
};

enum CheckCommand { kReverse, kSelectAll, kUnselectAll };

}  // namespace

CollectionsController::CollectionsController(TfrmKorvaneMain& window) : QObject(&window), w_(window) {
    collections_ = {
        {Kind::Sources, w_.CheckListBoxSelectedFiles, w_.PanelCommonRoot, w_.TabSheetSelectedFiles},
        {Kind::Csv, w_.CheckListBoxCSVForRename, w_.PanelCSVForRename, w_.TabSheetCSVForRename},
        {Kind::Copies, w_.CheckListBoxCopyCollection, w_.PanelCopyCollection, w_.TabSheetCopyCollection},
    };
    // The collection lists keep their entries in order ignoring case.
    for (const Collection& c : collections_) c.list->checkList().setSorted(true);
    bindActions();
    bindLists();
    bindDrops();

    connect(w_.PageControlFileCollect, &QTabWidget::currentChanged, this, [this](int) {
        RunGuarded([this] { ComputeAndShowCommonRoot(currentCollectionList()); });
    });
    connect(w_.CheckBoxRenameVariables, &QCheckBox::toggled, this, [this](bool) {
        RunGuarded([this] {
            applyRenameVisibility();
            w_.arrangeTaggedButtons();
            markModified();
        });
    });
    connect(w_.CheckBoxCopyAdd, &QCheckBox::toggled, this, [this](bool on) {
        RunGuarded([this, on] {
            applyCopyVisibility();
            if (on) deriveCopyLibraryFolder(true);
            w_.arrangeTaggedButtons();
            markModified();
        });
    });
    connect(&w_, &TfrmKorvaneMain::collectionPagesUpdateRequested, this, [this] { updatePages(); });
    connect(w_.project(), &ProjectController::projectCleared, this, [this] {
        // The new project has no CSV files, so their root is gone too.
        w_.PanelCSVForRename->clear();
    });
}

CollectionsController::~CollectionsController() = default;

void CollectionsController::bindActions() {
    ActionList& a = w_.actions();
    a.setHandler("ActAddfiles", [this](QObject*) { addFilesFromDialog(Kind::Sources); });
    a.setHandler("ActAddDirectoriesToSources", [this](QObject*) { addDirectoryFromBrowser(Kind::Sources); });
    a.setHandler("ActAddCSVFiles", [this](QObject*) { addFilesFromDialog(Kind::Csv); });
    a.setHandler("ActAddCopies", [this](QObject*) { addFilesFromDialog(Kind::Copies); });
    a.setHandler("ActAddDirectoriesToCopies", [this](QObject*) { addDirectoryFromBrowser(Kind::Copies); });
    a.setHandler("ActRefreshCopyLib", [this](QObject*) {
        if (!merging_) RefreshCopyLibrary();
    });
    a.setHandler("ActRemoveFiles", [this](QObject* sender) { removeUnchecked(sender); });
    a.setHandler("ActReverseSelect", [this](QObject* sender) { checkCommand(sender, kReverse); });
    a.setHandler("ActSelectAll", [this](QObject* sender) { checkCommand(sender, kSelectAll); });
    a.setHandler("ActUnselectAll", [this](QObject* sender) { checkCommand(sender, kUnselectAll); });
    a.setHandler("ActCalculateCommonRoot", [this](QObject*) { ComputeAndShowCommonRoot(currentCollectionList()); });
}

void CollectionsController::bindLists() {
    for (CheckListBox* list : allCheckLists()) {
        connect(list, &CheckListBox::listDoubleClicked, this,
                [this, list] { w_.actions().execute("ActReverseSelect", list); });
        connect(list, &CheckListBox::checkToggled, this, [this](int) { RunGuarded([this] { markModified(); }); });
    }
    for (const Collection& c : collections_) {
        // Any click in a collection list recomputes the current root.
        c.list->viewport()->installEventFilter(this);
        viewports_.push_back(c.list->viewport());
        c.list->setItemHeight(w_.itemHeight());
    }
    // Drawing: the source list elides its remembered root, the CSV and copy
    // lists the caption of their panel.
    w_.CheckListBoxSelectedFiles->setDisplayText([this](int row) {
        return ElidedEntryText(w_.CheckListBoxSelectedFiles->checkList().text(size_t(row)), rememberedRoot_.size());
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
    return {w_.CheckListBoxSelectedFiles, w_.CheckListBoxCSVForRename, w_.CheckListBoxCopyCollection,
            w_.CheckListBoxObjects, w_.CheckListBoxControlTags};
}

CheckListBox* CollectionsController::currentCollectionList() const {
    QWidget* page = w_.PageControlFileCollect->currentWidget();
    if (page == w_.TabSheetCSVForRename) return w_.CheckListBoxCSVForRename;
    if (page == w_.TabSheetCopyCollection) return w_.CheckListBoxCopyCollection;
    return w_.CheckListBoxSelectedFiles;
}

CheckListBox* CollectionsController::targetList(QObject* sender) const {
    const std::vector<CheckListBox*> lists = allCheckLists();
    for (CheckListBox* l : lists)
        if (sender == l) return l;
    QWidget* focused = w_.focusWidget();
    if (!focused) focused = QApplication::focusWidget();
    for (CheckListBox* l : lists)
        if (focused && (focused == l || focused == l->viewport())) return l;
    w_.statusBar().ShowError(kNoCheckListMessage, false);
    return nullptr;
}

void CollectionsController::showCollection(Kind kind) {
    w_.PageControlMain->setCurrentWidget(w_.TabSheetNames);
    w_.PageControlFileCollect->setCurrentWidget(collection(kind).tab);
}

void CollectionsController::markModified() {
    if (w_.project()) w_.project()->setModified(true);
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
        list->setItemHeight(w_.itemHeight());
        list->setHorizontalExtent(result.widestText + kExtentMargin);
    }
    if (c) c->panel->setText(QString::fromUtf8(result.root));
    list->refreshItems();
    if (!entries.empty() && clearMessages) w_.statusBar().ClearMessages();
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
    if (w_.CheckBoxCopyAdd->isChecked()) deriveCopyLibraryFolder(false);
    const std::string library = target == w_.CheckListBoxCopyCollection ? copyLibraryFolder_ : std::string();
    if (RemoveUncheckedEntries(target->checkList(), library) == 0) return;
    ComputeAndShowCommonRoot(currentCollectionList());
    markModified();
}

// --- copy library and the two options -------------------------------------------

void CollectionsController::deriveCopyLibraryFolder(bool create) {
    const std::string output = w_.project() ? w_.project()->outputDirectory() : std::string();
    copyLibraryFolder_ = output.empty() ? std::string() : CopyLibraryPath(output);
    if (create && !copyLibraryFolder_.empty()) ForceDirectories(copyLibraryFolder_);
}

void CollectionsController::RefreshCopyLibrary() {
    if (w_.CheckBoxCopyAdd->isChecked()) deriveCopyLibraryFolder(true);
    struct Repaint {
        CheckListBox* list;
        ~Repaint() { list->refreshItems(); }
    } repaint{w_.CheckListBoxCopyCollection};
    // The library lies in the output directory: written only while no other
    // run uses that folder (a run of this window holds its lock already).
    FolderLock lock;
    const std::string output = ExcludeTrailingSep(w_.project() ? w_.project()->outputDirectory() : std::string());
    if (!copyLibraryFolder_.empty() && DirectoryExists(output) && !(w_.run() && w_.run()->HoldsOutputDir()))
        LockOutputDir(output, lock, w_.statusBar());
    ProtectedFiles keep;
    for (const CheckListBox* list : {w_.CheckListBoxSelectedFiles, w_.CheckListBoxCSVForRename})
        for (const CheckEntry& e : list->checkList().entries()) keep.Add(e.text);
    CopyCheckedMembers(w_.CheckListBoxCopyCollection->checkList(), copyLibraryFolder_, w_.statusBar(), keep);
}

void CollectionsController::applyRenameVisibility() {
    const bool on = w_.CheckBoxRenameVariables->isChecked();
    QAction* add = w_.actions()["ActAddCSVFiles"];
    add->setEnabled(on);
    add->setVisible(on);
    TfrmKorvaneMain::setTabVisible(w_.PageControlFileCollect, w_.TabSheetCSVForRename, on);
}

void CollectionsController::applyCopyVisibility() {
    const bool on = w_.CheckBoxCopyAdd->isChecked();
    QAction* add = w_.actions()["ActAddCopies"];
    add->setEnabled(on);
    add->setVisible(on);
    w_.actions()["ActAddDirectoriesToCopies"]->setVisible(on);
    TfrmKorvaneMain::setTabVisible(w_.PageControlFileCollect, w_.TabSheetCopyCollection, on);
}

void CollectionsController::updatePages() {
    RunGuarded([this] {
        bindDrops();
        applyRenameVisibility();
        applyCopyVisibility();
        w_.arrangeTaggedButtons();
        for (const Collection& c : collections_) {
            c.list->setItemHeight(w_.itemHeight());
            showCommonRoot(c.list, false);
        }
    });
}

}  // namespace korvane

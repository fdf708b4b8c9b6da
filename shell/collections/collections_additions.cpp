// Additions to the collection lists: the file dialogs, the folder browsers,
// desktop drops and AddDirectoryToList.

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

#include <algorithm>
#include <exception>

#include "shared/collect_files.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/collections/collection_merge.h"
#include "shell/collections/collections_controller.h"
#include "shell/collections/copy_library_folder.h"
#include "shell/collections/source_filter.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

constexpr const char* kBigDirectoryQuestion = "You are going to add %d source files\r\nDo you really want to proceed?";
constexpr const char* kTooManyFilesMessage = "Cancelled due to too many files in directory";
constexpr const char* kAbortedMessage = "Process aborted!";
constexpr const char* kProgressCaption = "Processing %d of %d";
constexpr const char* kLineBreakNamesSkipped = "%d file name(s) with a line break skipped";
// Pending input is processed at most this often during a merge.
constexpr qint64 kInputPollMs = 50;

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

// A name holding a CR or LF could be kept neither as a line of the project
// file nor of the parameter file, nor handed to a tool program: such names
// never enter a collection. Removes them and gives their number. The others
// enter as absolute paths without "." and ".." (a relative one taken from
// the project directory), so that a source's place below the common root is
// the place of its result.
size_t PrepareNewNames(std::vector<std::string>& names, const std::string& projectDirectory) {
    const auto broken = [](const std::string& name) { return name.find_first_of("\r\n") != std::string::npos; };
    const auto end = std::remove_if(names.begin(), names.end(), broken);
    const size_t count = size_t(names.end() - end);
    names.erase(end, names.end());
    for (std::string& name : names) name = AbsolutePathFrom(projectDirectory, name);
    return count;
}

// Runs body, then cleanup(failed) also when body ended with an error; the
// body's error is passed on unless the cleanup ends with one of its own.
template <typename Body, typename Cleanup>
void RunThenAlways(Body&& body, Cleanup&& cleanup) {
    std::exception_ptr failure;
    try {
        body();
    } catch (...) {
        failure = std::current_exception();
    }
    cleanup(failure != nullptr);
    if (failure) std::rethrow_exception(failure);
}

// The hourglass for the life of the object.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The process's current directory, put back when the object goes.
struct CurrentDirectoryKeeper {
    std::string saved = GetCurrentDir();
    ~CurrentDirectoryKeeper() {
        if (!saved.empty()) SetCurrentDir(saved);
    }
};

// The progress group during a merge: shown with the merge's range and
// caption, and put back as it was (a run may own it) afterwards.
class MergeProgress {
public:
    MergeProgress(QGroupBox* group, QProgressBar* bar)
        : group_(group), bar_(bar), title_(group->title()), visible_(!group->isHidden()),
          minimum_(bar->minimum()), maximum_(bar->maximum()), value_(bar->value()) {}
    ~MergeProgress() {
        bar_->setRange(minimum_, maximum_);
        bar_->setValue(value_);
        group_->setTitle(title_);
        group_->setVisible(visible_);
    }
    MergeProgress(const MergeProgress&) = delete;
    MergeProgress& operator=(const MergeProgress&) = delete;

    void begin(size_t maximum) {
        bar_->setRange(1, int(maximum));
        group_->setVisible(true);
        show(1, maximum);
    }
    void show(size_t position, size_t maximum) {
        bar_->setValue(int(position));
        group_->setTitle(QString::fromUtf8(Format(kProgressCaption, int(position), int(maximum))));
    }

private:
    QGroupBox* group_;
    QProgressBar* bar_;
    QString title_;
    bool visible_;
    int minimum_, maximum_, value_;
};

}  // namespace

void CollectionsController::bindDrops() {
    auto bind = [this](DropFilesHandler& handler, Kind kind) {
        handler = [this, kind](QObject*, const std::vector<std::string>& names) { dropFiles(kind, names); };
    };
    bind(v_.SpeedButtonAddFiles->OnWMDropFileMessage, Kind::Sources);
    bind(v_.SpeedButtonAdddManyFiles->OnWMDropFileMessage, Kind::Sources);
    // The group box becomes a drop target when the window is first shown.
    if (auto* filter = v_.GroupBoxSelectedFiles->findChild<FileDropFilter*>(QString(), Qt::FindDirectChildrenOnly))
        bind(filter->OnWMDropFileMessage, Kind::Sources);
    bind(v_.BitBtnWM_DropCSVForRename->OnWMDropFileMessage, Kind::Csv);
    bind(v_.PanelWM_DropCSVForRename->OnWMDropFileMessage, Kind::Csv);
    bind(v_.BitBtnWM_DropAddCopies->OnWMDropFileMessage, Kind::Copies);
    bind(v_.PanelWM_DropCopyCollection->OnWMDropFileMessage, Kind::Copies);
    // "Add complete directories to copies" takes drops like its neighbour.
    bind(v_.BitBtnWM_DropAddManyCopies->OnWMDropFileMessage, Kind::Copies);
    if (hooks_.firstShowDone()) v_.BitBtnWM_DropAddManyCopies->RegisterDropTarget(true);
}

std::string CollectionsController::filterFor(Kind kind, bool forDrops) const {
    switch (kind) {
    case Kind::Sources:
        return hooks_.sourceFilter();
    case Kind::Csv:
        return forDrops ? kCsvDropFilter : kCsvDialogFilter;
    case Kind::Copies:
        return hooks_.copyFilter();
    }
    return {};
}

void CollectionsController::followUp(Kind kind, bool keepMessages) {
    if (kind == Kind::Copies) RefreshCopyLibrary();
    showCommonRoot(collection(kind).list, !keepMessages);
    markModified();
}

void CollectionsController::reportSkippedNames() {
    if (skippedNames_ > 0) s_.statusBar.ShowWarning(Format(kLineBreakNamesSkipped, int(skippedNames_)));
    skippedNames_ = 0;
}

// --- file dialogs -----------------------------------------------------------------

void CollectionsController::addFilesFromDialog(Kind kind) {
    if (merging_) return;
    const Collection& c = collection(kind);
    showCollection(kind);
    CheckList& list = c.list->checkList();
    const size_t before = list.size();
    if (kind == Kind::Sources && hooks_.outputDirectory().empty())
        s_.statusBar.ShowError(kNoOutputDirMessage, false);

    FileDialogOptions opts;
    opts.multiSelect = true;
    opts.mustExist = true;
    opts.filter = filterFor(kind, false);
    switch (kind) {
    case Kind::Sources:
        opts.title = "Add files to process to the project";
        opts.initialDir = rememberedRoot_;
        break;
    case Kind::Csv:
        opts.title = "Add files conatining variable rename directives";
        opts.initialDir = Utf8(c.panel->text());
        break;
    case Kind::Copies:
        opts.title = "Add copy members to be inserted into the programs";
        opts.initialDir = Utf8(c.panel->text());
        break;
    }
    std::optional<std::vector<std::string>> chosen = s_.dialogs.OpenFiles(opts);
    if (!chosen) return;

    skippedNames_ = PrepareNewNames(*chosen, hooks_.projectDirectory());
    list.setSorted(false);
    AppendNewPaths(list, *chosen);
    list.setSorted(true);
    if (list.size() != before) followUp(kind);
    reportSkippedNames();
}

// --- folder browsers --------------------------------------------------------------

void CollectionsController::addDirectoryFromBrowser(Kind kind) {
    if (merging_) return;
    const Collection& c = collection(kind);
    v_.PageControlFileCollect->setCurrentWidget(c.tab);
    const std::string root = kind == Kind::Sources ? rememberedRoot_ : Utf8(c.panel->text());
    const std::string caption = kind == Kind::Sources ? "Select a folder containing files to add to the project"
                                                      : "Select a folder containing copy files to add to the copy library";
    CurrentDirectoryKeeper keepCurrentDirectory;
    std::optional<std::string> folder = s_.dialogs.ChooseFolder(caption, root, false);
    if (!folder) return;

    CheckList& list = c.list->checkList();
    const size_t before = list.size();
    const std::string extensions = FolderSearchExtensions(filterFor(kind, false));
    std::vector<std::string> found;
    {
        WaitCursor cursor;
        CollectFiles(*folder, "", extensions, found);
    }
    skippedNames_ = PrepareNewNames(found, hooks_.projectDirectory());
    list.setSorted(false);
    AppendNewPaths(list, found);
    found.clear();
    list.setSorted(true);
    if (list.size() != before) followUp(kind);
    reportSkippedNames();
}

// --- drops ------------------------------------------------------------------------

void CollectionsController::dropFiles(Kind kind, const std::vector<std::string>& names) {
    if (merging_) return;
    const Collection& c = collection(kind);
    showCollection(kind);
    CheckList& list = c.list->checkList();
    const size_t before = list.size();
    const std::string filter = filterFor(kind, true);
    const std::vector<std::string> tokens = DropExtensionTokens(filter);
    skippedNames_ = 0;
    list.setSorted(false);

    RunThenAlways(
        [&] {
            // Single files are gathered and appended in one go before each
            // folder and at the end, so that the order of additions stays
            // the drop order.
            std::vector<std::string> files;
            auto flush = [&] {
                skippedNames_ += PrepareNewNames(files, hooks_.projectDirectory());
                AppendNewPaths(list, files);
                files.clear();
            };
            for (const std::string& name : names) {
                if (DirectoryExists(name)) {
                    flush();
                    AddDirectoryToList(name, filter, c.list);
                } else if (DroppedFileAccepted(name, tokens)) {
                    files.push_back(name);
                }
            }
            flush();
        },
        [&](bool failed) {
            list.setSorted(true);
            // After an error the follow-up leaves its report on the bar, and
            // so does the report of skipped names, which is dropped then.
            if (list.size() != before) followUp(kind, failed);
            if (failed)
                skippedNames_ = 0;
            else
                reportSkippedNames();
        });
}

// --- AddDirectoryToList -----------------------------------------------------------

void CollectionsController::AddDirectoryToList(const std::string& folder, const std::string& filter,
                                               CheckListBox* target) {
    const std::string extensions = FolderSearchExtensions(filter);
    CheckList& list = target->checkList();
    const bool wasSorted = list.sorted();
    const size_t before = list.size();
    WaitCursor cursor;
    std::vector<std::string> found;

    RunThenAlways(
        [&] {
            CollectFiles(folder, "", extensions, found);
            skippedNames_ += PrepareNewNames(found, hooks_.projectDirectory());
            const int limit = hooks_.bigDirectoryLimit();
            if (found.size() > size_t(limit)) {
                const unsigned answer = s_.dialogs.Message(
                    MsgKind::Warning, Format(kBigDirectoryQuestion, int(found.size())), kOk | kCancel);
                if (answer != kOk) s_.statusBar.ShowError(kTooManyFilesMessage, false);
            }
            cancelRequested_ = false;
            list.setSorted(false);

            MergeProgress progress(v_.GroupBoxSlider, v_.ProgressBarModules);
            QElapsedTimer sinceInput;
            bool inputDue = true;  // the first comparison already looks at input
            MergeObserver observer;
            observer.begin = [&](size_t maximum) { progress.begin(maximum); };
            observer.step = [&](size_t position, size_t maximum) {
                if (!inputDue && sinceInput.elapsed() < kInputPollMs) return;
                progress.show(position, maximum);
                {
                    NestedEventLoopScope nested;
                    QCoreApplication::processEvents();
                }
                sinceInput.start();
                inputDue = false;
            };
            observer.cancelRequested = [this] { return cancelRequested_; };

            struct MergingFlag {
                bool& flag;
                explicit MergingFlag(bool& f) : flag(f) { flag = true; }
                ~MergingFlag() { flag = false; }
            } mergingFlag(merging_);
            if (MergeFoundFiles(list, std::move(found), observer) == MergeOutcome::Cancelled)
                s_.statusBar.ShowError(kAbortedMessage, false);
        },
        [&](bool) {
            cancelRequested_ = true;
            if (list.size() != before) markModified();
            found.clear();
            list.setSorted(wasSorted);
        });
}

}  // namespace korvane

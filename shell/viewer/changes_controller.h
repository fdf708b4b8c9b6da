#pragma once
// The Changes page: the list of the checked sources with their state
// (changed, unchanged, line ends only, binary, no result, source missing,
// unreadable) and lines added and removed; the selected source beside its
// result in two read-only text areas that scroll together, changed lines
// marked and the changed bytes within a line highlighted; F7 / Shift+F7
// (also Alt+Down / Alt+Up) move to the next / previous change; "Hide
// line-end changes" leaves out sources and lines that differ only in their
// line ends. All comparing is done beside the window thread.

#include <QObject>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "shell/run/source_changes.h"
#include "shell/viewer/changes_rows.h"
#include "shell/viewer/changes_view.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

namespace korvane {

class ChangesController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kHideLineEnds = "Hide line-end changes";

    ChangesController(const ChangesView& view, ChangesHooks hooks, QObject* parent);
    ~ChangesController() override;

    // Compares every checked source with its result again (after a run, on
    // opening a project) and shows the page; the comparing goes on beside the
    // window thread, the list fills when it is done.
    void refresh();
    // A new project: the list empties and the page is hidden.
    void projectCleared();

    // Moves both text areas to the next (previous) change; false when there is none.
    bool goToChange(bool forward);

    // What the page shows, for the tests: one entry per checked source.
    struct Entry {
        SourceResultPath paths;
        SourceChange change;
    };
    const std::vector<Entry>& entries() const { return entries_; }
    // Work beside the window thread is still going on.
    bool busy() const { return listJobs_ > 0 || pairJobs_ > 0; }
    // The row of the side-by-side view the text areas' cursors are on.
    std::size_t currentRow() const;
    const SideBySide& shownRows() const { return rows_; }

    QTreeWidget* list() const { return list_; }
    QPlainTextEdit* sourceMemo() const { return source_; }
    QPlainTextEdit* resultMemo() const { return result_; }
    QCheckBox* hideLineEnds() const { return hide_; }

    // One pair as the two text areas show it (made beside the window thread).
    struct PairText;

signals:
    // The list was filled from a refresh.
    void listFilled();
    // The selected source is shown beside its result.
    void pairShown();

private:
    void buildPage();
    void fillList();
    void showSelected();
    void showPair(const PairText& pair);

    ChangesView v_;
    ChangesHooks hooks_;
    QTreeWidget* list_ = nullptr;
    QCheckBox* hide_ = nullptr;
    QLabel* caption_ = nullptr;
    QPlainTextEdit* source_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    std::vector<Entry> entries_;
    SideBySide rows_;
    // Raised when the controller goes: the work beside the thread ends early.
    std::shared_ptr<std::atomic<bool>> stop_;
    // Every job carries the number current when it started; a result of an
    // older one is dropped.
    unsigned listGeneration_ = 0;
    unsigned pairGeneration_ = 0;
    int listJobs_ = 0;
    int pairJobs_ = 0;
};

}  // namespace korvane

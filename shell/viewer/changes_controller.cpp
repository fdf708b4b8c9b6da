#include "shell/viewer/changes_controller.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/guard.h"
#include "shell/ui/window_routines.h"
#include "shell/viewer/viewer_font.h"

namespace korvane {

namespace {

// Rows marked at most in one pair (a coarse comparison of a big file may
// give hundreds of thousands); the rest are still there to be scrolled to.
constexpr std::size_t kMostMarkedRows = 20000;

const QColor kChangedLine(255, 243, 205);
const QColor kChangedBytes(255, 196, 120);
const QColor kNoLineColor(232, 232, 232);

QString Q(std::string_view s) { return QStringFromBytes(s); }

std::string_view WithoutEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

const char* LineEndName(std::string_view line) {
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") return "CR LF";
    if (!line.empty() && line.back() == '\n') return "LF";
    return "no line end";
}

// Runs work on a thread of its own; done runs on receiver's thread after it.
void RunBeside(QObject* receiver, std::function<void()> work, std::function<void()> done) {
    QThread* thread = QThread::create(std::move(work));
    QObject::connect(thread, &QThread::finished, receiver, std::move(done));
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

}  // namespace

// One pair as the text areas show it: the rows joined by line feeds (a
// missing side an empty line), the bytes changed within a line as character
// spans of their rows.
struct ChangesController::PairText {
    SourceChange change;
    QString note;
    QString source, result;
    SideBySide rows;
    struct Span {
        int row, begin, length;
    };
    std::vector<Span> sourceSpans, resultSpans;
};

namespace {

using PairText = ChangesController::PairText;

void AddSpans(std::vector<PairText::Span>& spans, std::size_t row, std::string_view line,
              const std::vector<ByteRange>& ranges) {
    const std::size_t shown = WithoutEnd(line).size();
    for (const ByteRange& r : ranges) {
        const std::size_t b = std::min(r.begin, shown), e = std::min(r.end, shown);
        if (b >= e) continue;
        const int begin = int(Q(line.substr(0, b)).size());
        const int length = int(Q(line.substr(b, e - b)).size());
        spans.push_back({int(row), begin, length});
    }
}

PairText MakePairText(const SourceResultPath& p, bool hideLineEnds) {
    PairText out;
    const int64_t sizes = std::max<int64_t>(0, FileSizeBytes(p.source)) + std::max<int64_t>(0, FileSizeBytes(p.result));
    if (std::size_t(sizes) > kChangesShownBytes) {
        out.change = CompareSource(p.source, p.result);
        out.note = QStringLiteral("Too large to be shown side by side (%1 MB)").arg(double(sizes) / 1e6, 0, 'f', 1);
        return out;
    }
    SourceComparison c = CompareSourceFiles(p.source, p.result);
    out.change = c.change;
    switch (c.change.state) {
    case ChangeState::Binary: out.note = QStringLiteral("Binary files differ"); return out;
    case ChangeState::NoResult: out.note = "No result file " + Q(p.result); return out;
    case ChangeState::SourceMissing: out.note = "The source " + Q(p.source) + " is no longer there"; return out;
    case ChangeState::Unreadable: out.note = QStringLiteral("The source or its result cannot be read"); return out;
    case ChangeState::Unchanged:
        c.lines.runs = {{LineRun::Same, TextLines(c.source).size()}};
        out.note = QStringLiteral("The result is the same as the source");
        break;
    case ChangeState::LineEndsOnly: out.note = QStringLiteral("Only line ends differ"); break;
    case ChangeState::Changed: break;
    }
    out.rows = SideBySideRows(c.lines, c.source, c.result, hideLineEnds);
    if (c.change.state == ChangeState::Changed) {
        // What the panes mark: with line ends hidden, lines that only changed
        // their end are not counted.
        const MarkedLines n = CountMarkedLines(out.rows);
        out.note = QStringLiteral("%1 lines added, %2 removed").arg(n.added).arg(n.removed);
        if (hideLineEnds && (n.added != c.change.linesAdded || n.removed != c.change.linesRemoved))
            out.note += QStringLiteral(" (line-end changes hidden)");
    }
    const std::vector<std::string_view> a = TextLines(c.source), b = TextLines(c.result);
    std::size_t marked = 0;
    for (std::size_t i = 0; i < out.rows.rows.size(); ++i) {
        const ChangeRow& row = out.rows.rows[i];
        if (i > 0) {
            out.source += QLatin1Char('\n');
            out.result += QLatin1Char('\n');
        }
        const std::string_view la = row.source != kNoLine ? a[row.source] : std::string_view();
        const std::string_view lb = row.result != kNoLine ? b[row.result] : std::string_view();
        out.source += Q(WithoutEnd(la));
        out.result += Q(WithoutEnd(lb));
        if (!row.changed || row.source == kNoLine || row.result == kNoLine) continue;
        if (WithoutEnd(la) == WithoutEnd(lb)) {
            // Only the line end differs: say which one each side has.
            out.source += QStringLiteral("  \u21b5 ") + LineEndName(la);
            out.result += QStringLiteral("  \u21b5 ") + LineEndName(lb);
        } else if (marked++ < kMostMarkedRows) {
            const LineChanges within = DiffWithinLine(la, lb);
            AddSpans(out.sourceSpans, i, la, within.before);
            AddSpans(out.resultSpans, i, lb, within.after);
        }
    }
    return out;
}

}  // namespace

ChangesController::ChangesController(const ChangesView& view, ChangesHooks hooks, QObject* parent)
    : QObject(parent), v_(view), hooks_(std::move(hooks)), stop_(std::make_shared<std::atomic<bool>>(false)) {
    setObjectName("ChangesController");
    buildPage();
    SetTabVisible(v_.PageControlMain, v_.TabSheetChanges, false);
}

ChangesController::~ChangesController() { stop_->store(true); }

void ChangesController::buildPage() {
    QWidget* page = v_.TabSheetChanges;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* top = new QHBoxLayout;
    hide_ = new QCheckBox(kHideLineEnds, page);
    hide_->setObjectName("CheckBoxHideLineEnds");
    top->addWidget(hide_);
    caption_ = new QLabel(page);
    caption_->setObjectName("LabelChangesCaption");
    caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(caption_, 1);
    auto* keys = new QLabel(QStringLiteral("F7 / Shift+F7: next / previous change"), page);
    top->addWidget(keys);
    layout->addLayout(top);

    auto* split = new QSplitter(Qt::Horizontal, page);
    split->setObjectName("SplitterChanges");
    list_ = new QTreeWidget(split);
    list_->setObjectName("TreeChangedSources");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Source"), QStringLiteral("State"), QStringLiteral("Added"),
                            QStringLiteral("Removed")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column : {1, 2, 3}) list_->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    auto* texts = new QSplitter(Qt::Horizontal, split);
    auto memo = [&](const char* name) {
        auto* m = new QPlainTextEdit(texts);
        m->setObjectName(name);
        m->setReadOnly(true);
        m->setUndoRedoEnabled(false);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m->setFont(DefaultViewerFont());
        return m;
    };
    source_ = memo("MemoChangesSource");
    result_ = memo("MemoChangesResult");
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    split->setSizes({360, 780});
    layout->addWidget(split, 1);

    // The two sides scroll together; a row is the same line number in both.
    for (auto [from, to] : {std::pair{source_, result_}, std::pair{result_, source_}}) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(), &QScrollBar::setValue);
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged, to->horizontalScrollBar(),
                &QScrollBar::setValue);
    }
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { RunGuarded([this] { showSelected(); }); });
    connect(hide_, &QCheckBox::toggled, this, [this] {
        RunGuarded([this] { fillList(); });
    });
    const std::pair<QKeySequence, bool> keyTable[] = {{QKeySequence(Qt::Key_F7), true},
                                                      {QKeySequence(Qt::SHIFT | Qt::Key_F7), false},
                                                      {QKeySequence(Qt::ALT | Qt::Key_Down), true},
                                                      {QKeySequence(Qt::ALT | Qt::Key_Up), false}};
    for (const auto& [key, forward] : keyTable) {
        auto* s = new QShortcut(key, page);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, fw = forward] { RunGuarded([this, fw] { goToChange(fw); }); });
    }
}

void ChangesController::projectCleared() {
    ++listGeneration_;
    ++pairGeneration_;
    entries_.clear();
    rows_ = {};
    list_->clear();
    source_->clear();
    result_->clear();
    caption_->clear();
    SetTabVisible(v_.PageControlMain, v_.TabSheetChanges, false);
}

void ChangesController::refresh() {
    std::vector<SourceResultPath> pairs = hooks_.checkedSources();
    const unsigned generation = ++listGeneration_;
    auto changes = std::make_shared<std::vector<SourceChange>>();
    auto shared = std::make_shared<std::vector<SourceResultPath>>(std::move(pairs));
    ++listJobs_;
    RunBeside(
        this,
        [changes, shared, stop = stop_] {
            try {
                for (const SourceResultPath& p : *shared) {
                    if (stop->load()) return;
                    changes->push_back(CompareSource(p.source, p.result));
                }
            } catch (const std::bad_alloc&) {
                changes->resize(shared->size(), SourceChange{ChangeState::Unreadable});
            }
        },
        [this, changes, shared, generation] {
            --listJobs_;
            if (generation != listGeneration_) return;
            entries_.clear();
            for (std::size_t i = 0; i < shared->size() && i < changes->size(); ++i)
                entries_.push_back({(*shared)[i], (*changes)[i]});
            RunGuarded([this] { fillList(); });
            SetTabVisible(v_.PageControlMain, v_.TabSheetChanges, !entries_.empty());
            emit listFilled();
        });
}

void ChangesController::fillList() {
    const int selected = list_->currentItem() ? list_->currentItem()->data(0, Qt::UserRole).toInt() : -1;
    const QSignalBlocker block(list_);
    list_->clear();
    QTreeWidgetItem* current = nullptr;
    QTreeWidgetItem* firstChanged = nullptr;
    // The list shows the sources below the folder they all share.
    std::string_view shared = entries_.empty() ? std::string_view() : std::string_view(entries_[0].paths.source);
    for (const Entry& e : entries_) {
        std::size_t n = 0;
        while (n < shared.size() && n < e.paths.source.size() && shared[n] == e.paths.source[n]) ++n;
        shared = shared.substr(0, n);
    }
    const std::size_t sep = shared.rfind(kPathSep);
    shared = shared.substr(0, sep == std::string_view::npos ? 0 : sep + 1);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (hide_->isChecked() && e.change.state == ChangeState::LineEndsOnly) continue;
        const bool counted = e.change.state == ChangeState::Changed || e.change.state == ChangeState::LineEndsOnly;
        auto* item = new QTreeWidgetItem(list_, {Q(std::string_view(e.paths.source).substr(shared.size())),
                                                 ChangeStateText(e.change.state),
                                                 counted ? QString::number(e.change.linesAdded) : QString(),
                                                 counted ? QString::number(e.change.linesRemoved) : QString()});
        item->setData(0, Qt::UserRole, int(i));
        item->setToolTip(0, Q(e.paths.source) + "\nResult: " + Q(e.paths.result));
        if (int(i) == selected) current = item;
        if (!firstChanged && e.change.state == ChangeState::Changed) firstChanged = item;
    }
    if (!current) current = firstChanged ? firstChanged : list_->topLevelItem(0);
    list_->setCurrentItem(current);
    // Shown again also when the selection stays: the comparison is new.
    showSelected();
}

void ChangesController::showSelected() {
    QTreeWidgetItem* item = list_->currentItem();
    const unsigned generation = ++pairGeneration_;
    if (!item) {
        rows_ = {};
        source_->clear();
        result_->clear();
        caption_->clear();
        return;
    }
    const std::size_t index = std::size_t(item->data(0, Qt::UserRole).toInt());
    if (index >= entries_.size()) return;
    const SourceResultPath paths = entries_[index].paths;
    const bool hide = hide_->isChecked();
    caption_->setText(QStringLiteral("Comparing ") + Q(paths.source) + QStringLiteral(" ..."));
    auto pair = std::make_shared<PairText>();
    ++pairJobs_;
    RunBeside(
        this,
        [pair, paths, hide, stop = stop_] {
            if (stop->load()) return;
            try {
                *pair = MakePairText(paths, hide);
            } catch (const std::bad_alloc&) {
                *pair = PairText();
                pair->change.state = ChangeState::Unreadable;
                pair->note = QStringLiteral("Not enough memory to compare these files");
            }
        },
        [this, pair, generation] {
            --pairJobs_;
            if (generation != pairGeneration_) return;
            RunGuarded([this, pair] { showPair(*pair); });
            emit pairShown();
        });
}

void ChangesController::showPair(const PairText& pair) {
    caption_->setText(pair.note);
    rows_ = pair.rows;
    source_->setPlainText(pair.source);
    result_->setPlainText(pair.result);
    for (QPlainTextEdit* memo : {source_, result_}) {
        const bool left = memo == source_;
        QList<QTextEdit::ExtraSelection> marks;
        QTextDocument* doc = memo->document();
        std::size_t marked = 0;
        for (std::size_t r = 0; r < rows_.rows.size() && marked < kMostMarkedRows; ++r) {
            const ChangeRow& row = rows_.rows[r];
            if (!row.changed) continue;
            ++marked;
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(doc->findBlockByNumber(int(r)));
            s.format.setBackground((left ? row.source : row.result) == kNoLine ? kNoLineColor : kChangedLine);
            s.format.setProperty(QTextFormat::FullWidthSelection, true);
            marks.append(s);
        }
        for (const PairText::Span& span : left ? pair.sourceSpans : pair.resultSpans) {
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(doc->findBlockByNumber(span.row));
            s.cursor.setPosition(s.cursor.block().position() + span.begin);
            s.cursor.setPosition(s.cursor.position() + span.length, QTextCursor::KeepAnchor);
            s.format.setBackground(kChangedBytes);
            marks.append(s);
        }
        memo->setExtraSelections(marks);
    }
    // Start at the first change.
    if (!rows_.changeStarts.empty() && rows_.changeStarts.front() > 0) {
        source_->moveCursor(QTextCursor::Start);
        result_->moveCursor(QTextCursor::Start);
        goToChange(true);
    }
}

std::size_t ChangesController::currentRow() const { return std::size_t(source_->textCursor().blockNumber()); }

bool ChangesController::goToChange(bool forward) {
    const std::optional<std::size_t> row = NextChange(rows_, currentRow(), forward);
    if (!row) return false;
    for (QPlainTextEdit* memo : {result_, source_}) {
        memo->setTextCursor(QTextCursor(memo->document()->findBlockByNumber(int(*row))));
        memo->centerCursor();
    }
    return true;
}

}  // namespace korvane

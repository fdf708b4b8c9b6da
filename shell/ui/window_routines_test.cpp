#include "shell/ui/window_routines.h"
#include "shell/testing/qt_test_main.h"

#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace korvane;

namespace {

constexpr int kHeight = 25;

QPushButton* MakeButton(QWidget* parent, const char* caption, int tag, int tabOrder = -1, bool icon = true) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setProperty("Tag", tag);
    if (tabOrder >= 0) b->setProperty("TabOrder", tabOrder);
    if (icon) {
        QPixmap pm(16, 16);
        pm.fill(Qt::darkGreen);
        b->setIcon(QIcon(pm));
        b->setIconSize(QSize(16, 16));
    }
    b->resize(b->width(), kHeight);
    return b;
}

// Caption and image width plus frame: what a button is sized to.
int Needed(QPushButton* b) {
    const int frame = b->width() - b->contentsRect().width();
    const int content = TextPixelWidth(b->text(), b->font());
    return frame + (b->icon().isNull() ? content + 8 : b->iconSize().width() + 12 + content);
}

// The library panel's button rows as the main window has them.
struct LibraryButtons {
    QWidget window;
    QWidget* panel;
    QTabWidget* tabs;
    QPushButton *addFiles, *addDirs, *addCopies, *addCopyDirs, *addCsv, *scan, *start, *cancel;

    LibraryButtons() {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        panel = new QWidget(&window);
        panel->setObjectName("Panel3");
        tabs = new QTabWidget(&window);
        tabs->addTab(new QWidget, "Files selected for Vorl");
        tabs->setMinimumSize(1, 1);
        layout->addWidget(panel);
        layout->addWidget(tabs, 1);
        // Created out of order on purpose: rows come from Tag, order from TabOrder.
        scan = MakeButton(panel, "Scan files for I/O &operations", 4, 0);
        addCsv = MakeButton(panel, "Add CSV files containing rename directives", 2, 2);
        addCopies = MakeButton(panel, "Add copies to be inserted", 2, 0);
        addCopyDirs = MakeButton(panel, "Add complete directories to copies", 2, 1);
        addFiles = MakeButton(panel, "Add source files", 1, 0);
        addDirs = MakeButton(panel, "Add complete directories to the sources", 1, 1);
        start = MakeButton(panel, "&Start reengineering", 4, 1);
        cancel = MakeButton(panel, "Skip the rest of processing (&Cancel run)", 4, 2);
        window.show();
    }
    void Arrange(int width) {
        window.resize(width, 400);
        QCoreApplication::processEvents();
        ArrangeTaggedButtons(&window);
        QCoreApplication::processEvents();
    }
};

}  // namespace

class WindowRoutinesTest : public QObject {
    Q_OBJECT

private slots:
    void textPixelWidthAddsTheBorders() {
        QFont font;
        QCOMPARE(TextPixelWidth(QString(), font), 4);
        QCOMPARE(TextPixelWidth(std::string("Wg"), font), QFontMetrics(font).horizontalAdvance("Wg") + 4);
    }

    void threeRowsByTag() {
        LibraryButtons w;
        w.Arrange(2000);
        const int row1 = 2, row2 = row1 + kHeight + 2, row4 = row2 + kHeight + 2;
        QCOMPARE(w.addFiles->geometry(), QRect(2, row1, Needed(w.addFiles), kHeight));
        QCOMPARE(w.addDirs->pos(), QPoint(2 + w.addFiles->width() + 2, row1));
        QCOMPARE(w.addCopies->pos(), QPoint(2, row2));
        QCOMPARE(w.addCopyDirs->pos(), QPoint(w.addCopies->geometry().right() + 1 + 2, row2));
        QCOMPARE(w.addCsv->pos(), QPoint(w.addCopyDirs->geometry().right() + 1 + 2, row2));
        QCOMPARE(w.scan->pos(), QPoint(2, row4));
        QCOMPARE(w.start->y(), row4);
        QCOMPARE(w.cancel->x(), w.start->geometry().right() + 1 + 2);
        for (QPushButton* b : w.panel->findChildren<QPushButton*>()) QCOMPARE(b->width(), Needed(b));
        QCOMPARE(w.panel->height(), row4 + kHeight + 4);
        QCOMPARE(w.tabs->y(), w.panel->height());
    }

    void narrowPanelWrapsTheRowAndTabsMoveDown() {
        LibraryButtons w;
        w.Arrange(2000);
        const int wideTabs = w.tabs->y();
        // One pixel too narrow for the directory button behind the copies button.
        const int width = 2 + Needed(w.addCopies) + 2 + Needed(w.addCopyDirs) + 2 - 1;
        QVERIFY(width < 2 + Needed(w.addCopyDirs) + 2 + Needed(w.addCsv) + 2);  // the CSV button follows it down
        w.Arrange(width);
        QCOMPARE(w.panel->width(), width);
        const int row2 = 2 + kHeight + 2;
        QCOMPARE(w.addCopies->pos(), QPoint(2, row2));
        QCOMPARE(w.addCopyDirs->pos(), QPoint(2, row2 + kHeight + 2));
        QCOMPARE(w.addCsv->pos(), QPoint(2, row2 + 2 * (kHeight + 2)));
        QCOMPARE(w.scan->y(), row2 + 3 * (kHeight + 2));
        QCOMPARE(w.panel->height(), w.cancel->geometry().bottom() + 1 + 4);
        QVERIFY(w.tabs->y() > wideTabs);
        QCOMPARE(w.tabs->y(), w.panel->height());

        // Wide again: everything moves back up.
        w.Arrange(2000);
        QCOMPARE(w.addCopyDirs->y(), row2);
        QCOMPARE(w.tabs->y(), wideTabs);
    }

    void panelTooNarrowForTwoButtonsStacksThem() {
        QWidget window;
        auto* panel = new QWidget(&window);
        panel->setObjectName("Panel3");
        QPushButton* a = MakeButton(panel, "First button", 1);
        QPushButton* b = MakeButton(panel, "Second button", 1);
        panel->resize(Needed(a) + Needed(b) / 2, 10);
        ArrangeTaggedButtons(&window);
        QCOMPARE(a->pos(), QPoint(2, 2));
        QCOMPARE(b->pos(), QPoint(2, 2 + kHeight + 2));
        QCOMPARE(panel->height(), b->y() + kHeight + 4);
    }

    void captionWiderThanPanelIsClipped() {
        QWidget window;
        auto* panel = new QWidget(&window);
        QPushButton* a = MakeButton(panel, "A rather long caption for a narrow panel", 1, -1, false);
        panel->resize(60, 10);
        ArrangeTaggedButtons(&window);
        QCOMPARE(a->width(), 59);
        QCOMPARE(a->pos(), QPoint(2, 2));
    }

    void hiddenButtonsTakeNoPlace() {
        LibraryButtons w;
        w.addCopies->hide();
        w.addFiles->hide();
        w.Arrange(2000);
        QCOMPARE(w.addDirs->pos(), QPoint(2, 2));
        QCOMPARE(w.addCopyDirs->pos(), QPoint(2, 2 + kHeight + 2));
        QCOMPARE(w.addCsv->x(), w.addCopyDirs->geometry().right() + 1 + 2);

        // All of a row hidden: the next row moves up.
        w.addCopyDirs->hide();
        w.addCsv->hide();
        w.Arrange(2000);
        QCOMPARE(w.scan->pos(), QPoint(2, 2 + kHeight + 2));
        QCOMPARE(w.panel->height(), 2 + 2 * kHeight + 2 + 4);
    }

    void rowsStartBelowOtherControlsAndNeverAboveTwo() {
        QWidget window;
        auto* panel = new QWidget(&window);
        panel->resize(800, 10);
        auto* label = new QLabel("Common root", panel);
        label->setGeometry(0, 0, 200, 20);
        auto* hiddenLabel = new QLabel("hidden", panel);
        hiddenLabel->setGeometry(0, 0, 200, 90);
        hiddenLabel->hide();
        auto* untagged = new QPushButton("untagged", panel);  // buttons do not count for the start line
        untagged->setGeometry(0, 0, 50, 60);
        QPushButton* a = MakeButton(panel, "Up high", 1);
        a->move(40, -10);
        ArrangeTaggedButtons(&window);
        QCOMPARE(a->pos(), QPoint(2, 22));
        QCOMPARE(untagged->geometry(), QRect(0, 0, 50, 60));

        // No other controls at all: the rows start at 2.
        QWidget window2;
        auto* panel2 = new QWidget(&window2);
        panel2->resize(800, 10);
        QPushButton* b = MakeButton(panel2, "Up high", 1);
        b->move(2, 0);
        ArrangeTaggedButtons(&window2);
        QCOMPARE(b->pos(), QPoint(2, 2));
    }

    void movingUpNeedsTwoPixelsMoreThanStaying() {
        QWidget window;
        auto* panel = new QWidget(&window);
        QPushButton* a = MakeButton(panel, "Alpha", 1);
        QPushButton* b = MakeButton(panel, "Beta", 1);
        const int fitsBehind = Needed(a) + Needed(b) + 6;  // 2 + a + 2 + b + 2
        const int nextRow = 2 + kHeight + 2;

        // Standing elsewhere: moved behind, as it fits.
        panel->resize(fitsBehind, 10);
        b->move(300, 300);
        ArrangeTaggedButtons(&window);
        QCOMPARE(b->pos(), QPoint(2 + Needed(a) + 2, 2));

        // Standing at the start of the next row: stays there below 2 more pixels.
        for (int extra : {0, 1}) {
            panel->resize(fitsBehind + extra, 10);
            b->move(2, nextRow);
            ArrangeTaggedButtons(&window);
            QCOMPARE(b->pos(), QPoint(2, nextRow));
        }
        panel->resize(fitsBehind + 2, 10);
        ArrangeTaggedButtons(&window);
        QCOMPARE(b->pos(), QPoint(2 + Needed(a) + 2, 2));

        // One pixel less than fitting: wraps whatever its place.
        panel->resize(fitsBehind - 1, 10);
        ArrangeTaggedButtons(&window);
        QCOMPARE(b->pos(), QPoint(2, nextRow));
    }

    void onlyVisibleTabStopPushButtonsWithTag() {
        QWidget window;
        auto* panel = new QWidget(&window);
        panel->resize(800, 10);
        auto* check = new QCheckBox("Rename variables", panel);
        check->setProperty("Tag", 1);
        check->setGeometry(300, 0, 100, 20);
        QPushButton* noTab = MakeButton(panel, "no tab stop", 1);
        noTab->setFocusPolicy(Qt::ClickFocus);
        noTab->move(500, 50);
        QPushButton* noTag = MakeButton(panel, "no tag", 0);
        noTag->move(500, 80);
        auto* tool = new QToolButton(panel);
        tool->setText("drop here");
        tool->setProperty("Tag", 1);
        tool->resize(40, kHeight);
        auto* dialog = new QDialog(&window);  // a window of its own: its buttons are not ours
        QPushButton* dialogButton = MakeButton(dialog, "in a dialog", 1);
        dialogButton->move(50, 50);
        ArrangeTaggedButtons(&window);
        QCOMPARE(dialogButton->pos(), QPoint(50, 50));
        QCOMPARE(noTab->pos(), QPoint(500, 50));
        QCOMPARE(noTag->pos(), QPoint(500, 80));
        QCOMPARE(check->pos(), QPoint(300, 0));
        // The check box is no button: the row starts below it.
        QCOMPARE(tool->pos(), QPoint(2, 22));
    }

    void panelsInNameOrderEachGetTheirHeight() {
        QWidget window;
        auto* panelB = new QWidget(&window);
        panelB->setObjectName("PanelB");
        panelB->resize(800, 10);
        auto* panelA = new QWidget(&window);
        panelA->setObjectName("PanelA");
        panelA->resize(800, 10);
        QPushButton* b1 = MakeButton(panelB, "b1", 1);
        QPushButton* a1 = MakeButton(panelA, "a1", 1);
        QPushButton* a2 = MakeButton(panelA, "a2", 2);
        ArrangeTaggedButtons(&window);
        QCOMPARE(a1->pos(), QPoint(2, 2));
        QCOMPARE(a2->pos(), QPoint(2, 2 + kHeight + 2));
        QCOMPARE(b1->pos(), QPoint(2, 2));
        QCOMPARE(panelA->height(), 2 * kHeight + 2 + 2 + 4);
        QCOMPARE(panelB->height(), kHeight + 2 + 4);
    }

    void fitFormToWorkArea() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const int right = area.x() + area.width(), bottom = area.y() + area.height();
        const std::pair<QRect, QRect> cases[] = {
            {QRect(10, 10, 200, 100), QRect(10, 10, 200, 100)},                             // inside
            {QRect(-30, -40, 200, 100), QRect(0, 0, 200, 100)},                             // above and left
            {QRect(right + 100, bottom + 100, 200, 100), QRect(right - 50, bottom - 50, 200, 100)},
            {QRect(0, 0, right + 300, bottom + 300), QRect(0, 0, right, bottom)},           // too big
        };
        for (const auto& [before, after] : cases) {
            QWidget window;
            window.move(before.topLeft());
            window.resize(before.size());
            FitFormToWorkArea(&window);
            QCOMPARE(window.maximumSize(), QSize(right, bottom));
            QCOMPARE(QRect(window.pos(), window.size()), after);
        }
    }
    // A least size beyond the work area (large fonts, a high scale factor)
    // comes down within it; a smaller one stays.
    void fitFormKeepsLeastSizeWithinWorkArea() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.setMinimumSize(area.width() * 2, area.height() + 1);
        FitFormToWorkArea(&window);
        QCOMPARE(window.minimumSize(), QSize(area.width() * 9 / 10, area.height() * 9 / 10));
        QVERIFY(window.width() <= area.width() && window.height() <= area.height());
        window.setMinimumSize(100, 80);
        FitFormToWorkArea(&window);
        QCOMPARE(window.minimumSize(), QSize(100, 80));
    }
};

KORVANE_QT_TEST(WindowRoutinesTest);

#include "window_routines_test.moc"

#include "shell/ui/check_list_box.h"
#include "shell/testing/qt_test_main.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace korvane;

namespace {

void Fill(CheckList& list, std::initializer_list<const char*> texts) {
    std::vector<CheckEntry> entries;
    for (const char* t : texts) entries.push_back({t, false, true});
    list.assign(std::move(entries));
}

// A shown, active window holding a line edit and the list.
struct Window {
    QWidget window;
    QLineEdit* edit;
    CheckListBox* box;
    Window() {
        auto* layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        box = new CheckListBox(&window);
        layout->addWidget(edit);
        layout->addWidget(box);
        window.resize(400, 300);
        window.show();
        window.activateWindow();
    }
};

}  // namespace

class CheckListBoxTest : public QObject {
    Q_OBJECT

private slots:
    void clicksToggleSelectAndEmit() {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        Fill(w.box->checkList(), {"a", "b", "c"});
        QSignalSpy toggled(w.box, &CheckListBox::checkToggled);
        QSignalSpy doubles(w.box, &CheckListBox::listDoubleClicked);

        // On the box: toggles and emits.
        const QRect check = w.box->checkBoxRect(1);
        QVERIFY(check.isValid());
        QTest::mouseClick(w.box->viewport(), Qt::LeftButton, {}, check.center());
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toInt(), 1);
        QVERIFY(w.box->checkList().checked(1));
        QCOMPARE(w.box->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QTest::mouseClick(w.box->viewport(), Qt::LeftButton, {}, check.center());
        QCOMPARE(toggled.count(), 2);
        QVERIFY(!w.box->checkList().checked(1));

        // Right of the box: selects without toggling; Space toggles the selected entry.
        const QPoint text(w.box->checkBoxRect(2).right() + 30, w.box->checkBoxRect(2).center().y());
        QTest::mouseClick(w.box->viewport(), Qt::LeftButton, {}, text);
        QCOMPARE(toggled.count(), 2);
        QVERIFY(!w.box->checkList().checked(2));
        QCOMPARE(w.box->itemIndex(), 2);
        QCOMPARE(w.box->checkList().itemIndex(), 2);
        QTest::keyClick(w.box, Qt::Key_Space);
        QCOMPARE(toggled.count(), 3);
        QVERIFY(w.box->checkList().checked(2));

        QCOMPARE(doubles.count(), 0);
        QTest::mouseDClick(w.box->viewport(), Qt::LeftButton, {}, text);
        QCOMPARE(doubles.count(), 1);
    }

    void programChangesShowButAreNoUserToggles() {
        CheckListBox box;
        QSignalSpy toggled(&box, &CheckListBox::checkToggled);
        Fill(box.checkList(), {"a", "b"});
        box.checkList().invertAll();
        QCOMPARE(box.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        box.checkList().add("c", true);
        QCOMPARE(box.model()->rowCount(), 3);
        box.checkList().remove(0);
        QCOMPARE(box.model()->rowCount(), 2);
        QCOMPARE(box.model()->index(0, 0).data().toString(), QStringLiteral("b"));
        box.checkList().clear();
        QCOMPARE(box.model()->rowCount(), 0);
        QCOMPARE(toggled.count(), 0);
    }

    void rightPressFocusesAnEnabledList() {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        Fill(w.box->checkList(), {"a"});
        w.edit->setFocus();
        QVERIFY(w.edit->hasFocus());
        w.box->setEnabled(false);
        QTest::mousePress(w.box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(w.box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(w.edit->hasFocus());
        w.box->setEnabled(true);
        QTest::mousePress(w.box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(w.box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(w.box->hasFocus());
    }

    void itemHeightAndHorizontalExtent() {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        Fill(w.box->checkList(), {"a", "b", "c"});
        w.box->setItemHeight(23);
        QCOMPARE(w.box->visualRect(w.box->model()->index(1, 0)).height(), 23);
        QCOMPARE(w.box->visualRect(w.box->model()->index(2, 0)).top(),
                 w.box->visualRect(w.box->model()->index(0, 0)).top() + 46);

        QCOMPARE(w.box->horizontalScrollBar()->maximum(), 0);
        w.box->setHorizontalExtent(3000);
        QCoreApplication::processEvents();
        QVERIFY(w.box->horizontalScrollBar()->maximum() > 2000);
        w.box->setHorizontalExtent(0);
        QCoreApplication::processEvents();
        QCOMPARE(w.box->horizontalScrollBar()->maximum(), 0);
        // Without an extent the items still span the list.
        QVERIFY(w.box->visualRect(w.box->model()->index(0, 0)).width() >= w.box->viewport()->width() - 2);
    }

    void displayTextAndTag() {
        CheckListBox box;
        Fill(box.checkList(), {"/src/app/a.cbl"});
        QCOMPARE(box.model()->index(0, 0).data().toString(), QStringLiteral("/src/app/a.cbl"));
        box.setDisplayText([&box](int row) { return "...." + box.checkList().text(size_t(row)).substr(4); });
        QCOMPARE(box.model()->index(0, 0).data().toString(), QStringLiteral("..../app/a.cbl"));
        box.setTag(7);
        QCOMPARE(box.checkList().tag(), 7);
        QCOMPARE(box.tag(), 7);
    }

    void outsideListIsShownAndReleased() {
        CheckList outside;
        Fill(outside, {"x", "y"});
        {
            CheckListBox box;
            box.setCheckList(&outside);
            QCOMPARE(box.model()->rowCount(), 2);
            outside.add("z");
            QCOMPARE(box.model()->rowCount(), 3);
        }
        outside.add("after the box");  // no listener left behind
        QCOMPARE(outside.size(), size_t(4));
    }

    // Quadratic work per entry would not end within the program's time limit.
    void hundredThousandEntries() {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        std::vector<CheckEntry> entries(100000, CheckEntry{"/work/src/module.cbl", true, true});
        w.box->checkList().assign(std::move(entries));
        w.box->scrollToBottom();
        QCoreApplication::processEvents();
        w.box->checkList().invertAll();
        QCoreApplication::processEvents();
        QCOMPARE(w.box->model()->rowCount(), 100000);
        QCOMPARE(w.box->checkList().checkedCount(), 0);
    }
};

KORVANE_QT_TEST(CheckListBoxTest);

#include "check_list_box_test.moc"

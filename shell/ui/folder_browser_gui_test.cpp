// The folder browser of QtDialogs: rooted at a folder it keeps every move
// and every choice inside that folder's tree; without a root, with a root
// that no longer exists, or as the directory chooser (creation allowed) it
// only starts somewhere.

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QToolButton>
#include <QLineEdit>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <optional>
#include <string>

#include "shared/platform/files.h"
#include "shared/test_support.h"
#include "shell/ui/qt_dialogs.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using korvane::testing::TempDir;

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s); }

QString Shown(QFileDialog* dlg) { return dlg->directory().absolutePath(); }

// Runs checks on the folder dialog as soon as it is open; the dialog is
// closed afterwards when the checks left it open (also after a failure).
void WhenOpen(std::function<void(QFileDialog*)> checks) {
    QTimer::singleShot(0, [checks] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        checks(dlg);
        if (dlg->isVisible()) dlg->reject();
    });
}

// A path typed into the dialog's name field.
void Type(QFileDialog* dlg, const QString& path) {
    auto* name = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
}

// The dialog's OK, as the button or Enter gives it.
void Choose(QFileDialog* dlg) { static_cast<QDialog*>(dlg)->accept(); }

// Gives pending queued calls and timers their turn, then a little more.
void Settle() { QTest::qWait(50); }

}  // namespace

class FolderBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ForceDirectories(tmp_ / "root/a/b");
        ForceDirectories(tmp_ / "outside");
    }

    void rootedBrowserKeepsMovesAndChoicesInsideTheRoot() {
        QtDialogs dialogs;
        const QString root = Q(tmp_ / "root");
        bool closedOnOutsideChoice = true;
        WhenOpen([&](QFileDialog* dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Pick one"));
            QCOMPARE(Shown(dlg), root);
            QCOMPARE(dlg->sidebarUrls(), QList<QUrl>{QUrl::fromLocalFile(root)});
            QVERIFY(dlg->testOption(QFileDialog::ReadOnly));

            // Up from the root, as the parent button does it.
            auto* up = dlg->findChild<QToolButton*>(QStringLiteral("toParentButton"));
            QVERIFY(up);
            up->click();
            Settle();
            QCOMPARE(Shown(dlg), root);

            // Another folder shown by any other way (a typed path, the path list).
            dlg->setDirectory(Q(tmp_ / "outside"));
            QTRY_COMPARE(Shown(dlg), root);
            dlg->setDirectory(QStringLiteral("/"));
            QTRY_COMPARE(Shown(dlg), root);

            // Inside the tree it moves freely, down and up again.
            dlg->setDirectory(root + QStringLiteral("/a/b"));
            Settle();
            QCOMPARE(Shown(dlg), root + QStringLiteral("/a/b"));
            up->click();
            Settle();
            QCOMPARE(Shown(dlg), root + QStringLiteral("/a"));

            // A folder outside cannot be chosen; the root is shown instead.
            Type(dlg, Q(tmp_ / "outside"));
            Choose(dlg);
            closedOnOutsideChoice = !dlg->isVisible();
            QVERIFY(!closedOnOutsideChoice);
            Settle();
            QCOMPARE(Shown(dlg), root);

            Type(dlg, root + QStringLiteral("/a/b"));
            Choose(dlg);
        });
        const std::optional<std::string> chosen = dialogs.ChooseFolder("Pick one", tmp_ / "root", false);
        QVERIFY(!closedOnOutsideChoice);
        QVERIFY(chosen.has_value());
        QCOMPARE(Q(*chosen), root + QStringLiteral("/a/b"));

        // The root itself may be chosen.
        WhenOpen([&](QFileDialog* dlg) {
            Type(dlg, root);
            Choose(dlg);
        });
        const std::optional<std::string> itself = dialogs.ChooseFolder("Pick one", tmp_ / "root", false);
        QVERIFY(itself.has_value());
        QCOMPARE(Q(*itself), root);

        // The rooted sidebar is not left behind for the dialogs that follow.
        QFileDialog later;
        later.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY(!later.sidebarUrls().contains(QUrl::fromLocalFile(root)));
    }

    void unrootedBrowsersOnlyStartSomewhere_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("allowCreate");
        QTest::addColumn<QString>("start");
        const QString home = QDir::homePath();
        QTest::newRow("no root: the whole desktop") << QString() << false << home;
        QTest::newRow("vanished root") << Q(tmp_ / "gone") << false << home;
        QTest::newRow("directory chooser") << Q(tmp_ / "root/a") << true << Q(tmp_ / "root/a");
    }
    void unrootedBrowsersOnlyStartSomewhere() {
        QFETCH(QString, root);
        QFETCH(bool, allowCreate);
        QFETCH(QString, start);
        QtDialogs dialogs;
        QString startShown, afterUp, afterOutside;
        WhenOpen([&](QFileDialog* dlg) {
            startShown = Shown(dlg);
            auto* up = dlg->findChild<QToolButton*>(QStringLiteral("toParentButton"));
            if (up) {
                up->click();
                Settle();
                afterUp = Shown(dlg);
            }
            dlg->setDirectory(Q(tmp_ / "outside"));
            Settle();
            afterOutside = Shown(dlg);
            Type(dlg, Q(tmp_ / "outside"));
            Choose(dlg);
        });
        const std::optional<std::string> chosen =
            dialogs.ChooseFolder("Free", root.toUtf8().toStdString(), allowCreate);
        QCOMPARE(startShown, start);
        if (!afterUp.isEmpty()) QCOMPARE(afterUp, QFileInfo(start).absolutePath());
        QCOMPARE(afterOutside, Q(tmp_ / "outside"));
        QVERIFY(chosen.has_value());
        QCOMPARE(Q(*chosen), Q(tmp_ / "outside"));
    }

private:
    TempDir tmp_{"korvane-browse"};
};

KORVANE_QT_TEST(FolderBrowserTest);

#include "folder_browser_gui_test.moc"

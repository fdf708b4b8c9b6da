#include "shell/ui/my_status_bar.h"

#include <QtTest>

#include "shared/errors.h"
#include "shell/ui/scripted_dialogs.h"
#include "shell/ui/window_routines.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;

class StatusBarTest : public QObject {
    Q_OBJECT

private slots:
    void defaultColoursAreTheStoredValues() {
        TMyStatusBar bar;
        QCOMPARE(bar.colorErr(), QColor(255, 128, 128));
        QCOMPARE(bar.colorWarn(), QColor(88, 84, 250));
        QCOMPARE(bar.property("ColorErr").value<QColor>(), QColor(255, 128, 128));
        QCOMPARE(bar.useMessageBox(), false);
    }

    void backgroundFollowsSeverity() {
        ScriptedDialogs dialogs;
        TMyStatusBar bar(nullptr, &dialogs);
        const QColor face = bar.palette().color(QPalette::Button);
        QCOMPARE(bar.palette().color(QPalette::Window), face);

        bar.ShowError("broken", true);
        QCOMPARE(bar.palette().color(QPalette::Window), QColor(255, 128, 128));
        QCOMPARE(bar.shownText(), QStringLiteral("broken"));
        QCOMPARE(dialogs.BeepCount(), 1);

        bar.setColorErr(QColor(1, 2, 3));  // a changed property shows at once
        QCOMPARE(bar.palette().color(QPalette::Window), QColor(1, 2, 3));

        bar.ShowWarning("Processing finished");
        QCOMPARE(bar.palette().color(QPalette::Window), QColor(88, 84, 250));

        bar.ClearMessages();
        QCOMPARE(bar.palette().color(QPalette::Window), face);
        QCOMPARE(bar.shownText(), QString());
    }

    void errorWithoutContinuationAbandonsThroughTheWidget() {
        ScriptedDialogs dialogs;
        TMyStatusBar bar(nullptr, &dialogs);
        Reporter& reporter = bar;
        bool aborted = false;
        try {
            reporter.ShowError("You haven't selected any files yet", false);
        } catch (const SilentAbort&) {
            aborted = true;
        }
        QVERIFY(aborted);
        QCOMPARE(bar.shownText(), QStringLiteral("You haven't selected any files yet"));
        QCOMPARE(reporter.Severity(), 2);
    }

    void longMessageIsShortenedToTheBarAndKeptInTheTooltip() {
        TMyStatusBar bar;
        bar.resize(300, 24);
        const std::string text = std::string(60, 'a') + std::string(60, 'b') + std::string(30, 'c');
        bar.ShowInfo(text);
        const QString shown = bar.shownText();
        QVERIFY(shown.endsWith(QStringLiteral("...")));
        const QString prefix = shown.chopped(3);
        QVERIFY(prefix.size() < 120);
        QCOMPARE(prefix.size() % 5, 0);
        const int available = std::max(10, bar.contentsRect().width() - TextPixelWidth(QStringLiteral("..."), bar.font()));
        QVERIFY(TextPixelWidth(prefix, bar.font()) <= available);
        QVERIFY(TextPixelWidth(QString::fromStdString(text.substr(0, size_t(prefix.size()) + 5)), bar.font()) > available);
        QCOMPARE(bar.toolTip(), prefix + QLatin1Char('\n') + QString::fromStdString(text).mid(prefix.size()));

        bar.ClearMessages();
        QCOMPARE(bar.toolTip(), QString());
    }

    // What a click shows is StatusMessages' test; here the mouse reaches it.
    void clickShowsTheCollectedMessages() {
        ScriptedDialogs dialogs;
        TMyStatusBar bar(nullptr, &dialogs);
        bar.resize(600, 24);
        QTest::mouseClick(&bar, Qt::LeftButton);  // an empty bar: nothing
        bar.AddError("a", true);
        bar.AddError("b", true);
        QCOMPARE(bar.toolTip(), QStringLiteral("- a\n- b"));
        QTest::mouseClick(&bar, Qt::LeftButton);
        QTest::mouseDClick(&bar, Qt::LeftButton);
        QCOMPARE(dialogs.Calls().size(), size_t(2));
        QCOMPARE(dialogs.Calls()[0].text, std::string("The following errors occured....\r\n\r\n- a\r\n- b"));
        QCOMPARE(dialogs.Calls()[1].text, dialogs.Calls()[0].text);
    }

    void handlersReplaceTheDefaultBehaviour() {
        ScriptedDialogs dialogs;
        TMyStatusBar bar(nullptr, &dialogs);
        bar.resize(600, 24);
        bar.ShowError("x", true);
        int clicks = 0, doubles = 0;
        bar.OnClick = [&] { ++clicks; };
        bar.OnDblClick = [&] {
            ++doubles;
            throw SilentAbort();  // stays inside the bar's event handling
        };
        QTest::mouseClick(&bar, Qt::LeftButton);
        QTest::mouseDClick(&bar, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(doubles, 1);
        QVERIFY(dialogs.Calls().empty());
    }

    void messageBoxesFollowTheProperty() {
        ScriptedDialogs dialogs;
        TMyStatusBar bar(nullptr, &dialogs);
        QVERIFY(bar.setProperty("UseMessageBox", true));
        bar.ShowWarning("w");
        QCOMPARE(dialogs.Calls().size(), size_t(1));
        QVERIFY(dialogs.Calls()[0].kind == MsgKind::Warning);
    }
};

KORVANE_QT_TEST(StatusBarTest);

#include "my_status_bar_test.moc"

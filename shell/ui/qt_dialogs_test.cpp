#include "shell/ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "shell/ui/font_choice.h"
#include "shell/ui/guard.h"

using namespace korvane;

namespace {

// Runs f on the modal dialog as soon as it is open.
template <typename Dialog, typename F>
void WhenOpen(F f) {
    QTimer::singleShot(0, [f] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        f(dlg);
    });
}

}  // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void filterConversion_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two filters") << "Cobol sources|*.cob;*.cbl|All files|*.*"
                                     << "Cobol sources (*.cob *.cbl);;All files (*.*)";
        QTest::newRow("blanks around masks") << "Projects| *.srd ; *.SRD |" << "Projects (*.srd *.SRD)";
        QTest::newRow("description without masks") << "Anything" << "Anything (*)";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("no extension mask") << "Members|*.;*.cpy" << "Members (*. *.cpy)";
    }
    void filterConversion() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(QtFilterString(filter.toStdString()), expected);
    }

    void messageTextBreaksLines() {
        QCOMPARE(MessageBoxText("The following errors occured....\r\n\r\n- a\r\n- b"),
                 QStringLiteral("The following errors occured....\n\n- a\n- b"));
        QCOMPARE(MessageBoxText("a\rb"), QStringLiteral("a\nb"));
    }

    void messageBoxAnswersAndRunsAsNestedLoop() {
        QtDialogs dialogs;
        bool guardedInside = true;
        QString shownText;
        WhenOpen<QMessageBox>([&](QMessageBox* box) {
            guardedInside = InGuardedOperation();
            shownText = box->text();
            box->button(QMessageBox::No)->click();
        });
        unsigned answer = 0;
        RunGuarded([&] { answer = dialogs.Message(MsgKind::Confirmation, "Save?\r\nNow", kYes | kNo | kCancel); });
        QCOMPARE(answer, unsigned(kNo));
        QCOMPARE(shownText, QStringLiteral("Save?\nNow"));
        QVERIFY(!guardedInside);

        WhenOpen<QMessageBox>([](QMessageBox* box) { box->reject(); });
        QCOMPARE(dialogs.Message(MsgKind::Confirmation, "Go on?", kYes | kNo | kCancel), unsigned(kCancel));
        WhenOpen<QMessageBox>([](QMessageBox* box) { box->reject(); });
        QCOMPARE(dialogs.Message(MsgKind::Confirmation, "Go on?", kYes | kNo), unsigned(kNo));
    }

    void saveDialogTakesFilterIndexAndDefaultExtension() {
        QtDialogs dialogs;
        FileDialogOptions opts;
        opts.title = "Save project as";
        opts.filter = "Korvane project|*.srd|All files|*.*";
        opts.filterIndex = 2;
        opts.defaultExt = "srd";
        opts.overwritePrompt = true;
        QStringList filters;
        QString selected, suffix;
        bool confirms = false;
        WhenOpen<QFileDialog>([&](QFileDialog* dlg) {
            filters = dlg->nameFilters();
            selected = dlg->selectedNameFilter();
            suffix = dlg->defaultSuffix();
            confirms = !dlg->testOption(QFileDialog::DontConfirmOverwrite);
            dlg->reject();
        });
        QVERIFY(!dialogs.SaveFile(opts).has_value());
        QCOMPARE(filters, QStringList({"Korvane project (*.srd)", "All files (*.*)"}));
        QVERIFY2(selected.startsWith(QStringLiteral("All files")), qPrintable(selected));
        QCOMPARE(suffix, QStringLiteral("srd"));
        QVERIFY(confirms);
    }

    void fontChoiceRoundTrip() {
        FontChoice entry;
        entry.name = "DejaVu Sans Mono";
        entry.size = 11;
        entry.bold = true;
        entry.underline = true;
        entry.charSet = 238;
        const QFont font = QFontFromChoice(entry);
        QCOMPARE(font.pointSize(), 11);
        const FontChoice back = FontChoiceFromQFont(font, entry.charSet);
        QCOMPARE(back.name, entry.name);
        QCOMPARE(back.size, 11);
        QVERIFY(back.height < 0);
        QVERIFY(back.bold && back.underline && !back.italic && !back.strikeOut);
        QCOMPARE(back.charSet, 238);

        FontChoice byHeight;
        byHeight.name = "DejaVu Sans Mono";
        byHeight.height = -15;
        QCOMPARE(QFontFromChoice(byHeight).pixelSize(), 15);
    }
};

int RunQtDialogsTests(int argc, char** argv) {
    QtDialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "qt_dialogs_test.moc"

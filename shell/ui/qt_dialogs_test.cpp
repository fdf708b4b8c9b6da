#include "shell/ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "shell/ui/font_choice.h"
#include "shell/ui/guard.h"
#include "shell/testing/qt_test_main.h"

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
    void filterConversion() {
        const std::pair<const char*, QString> cases[] = {
            {"Cobol sources|*.cob;*.cbl|All files|*.*", "Cobol sources (*.cob *.cbl);;All files (*.*)"},
            {"Projects| *.srd ; *.SRD |", "Projects (*.srd *.SRD)"},  // blanks around masks
            {"Anything", "Anything (*)"},
            {"", ""},
            {"Members|*.;*.cpy", "Members (*. *.cpy)"},
        };
        for (const auto& [filter, expected] : cases) QCOMPARE(QtFilterString(filter), expected);
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

    void fontDialogFixedPitchWithApplyAtOnce() {
        const QString mono = QStringLiteral("DejaVu Sans Mono");
        QtDialogs dialogs;
        FontChoice current;
        current.name = mono.toStdString();
        current.size = 10;
        current.charSet = 238;
        std::vector<FontChoice> applied;
        bool opened = false, monospaced = false, native = true, openAfterApply = false;
        QFont shownFirst;
        QStringList families;
        WhenOpen<QFontDialog>([&](QFontDialog* dlg) {
            opened = true;
            shownFirst = dlg->currentFont();
            monospaced = dlg->testOption(QFontDialog::MonospacedFonts);
            native = !dlg->testOption(QFontDialog::DontUseNativeDialog);
            // The family list offered: the first list of the dialog.
            if (auto* list = dlg->findChild<QListView*>()) {
                for (int row = 0; row < list->model()->rowCount(); ++row)
                    families << list->model()->index(row, 0).data().toString();
            }
            QFont tried(mono, 14);
            tried.setBold(true);
            dlg->setCurrentFont(tried);
            auto* box = dlg->findChild<QDialogButtonBox*>();
            QPushButton* apply = box ? box->button(QDialogButtonBox::Apply) : nullptr;
            QPushButton* cancel = box ? box->button(QDialogButtonBox::Cancel) : nullptr;
            if (!apply || !cancel) return dlg->reject();
            apply->click();
            openAfterApply = dlg->isVisible();
            cancel->click();
        });
        const std::optional<FontChoice> chosen =
            dialogs.ChooseFont(current, [&](const FontChoice& font) { applied.push_back(font); });
        QVERIFY(opened);
        // It opens at the font in use, in its own style (the regular face
        // of this family is called "Book", after "Oblique" in the list).
        QCOMPARE(shownFirst.family(), mono);
        QCOMPARE(shownFirst.pointSize(), 10);
        QVERIFY(!shownFirst.italic());
        QVERIFY(!shownFirst.bold());
        // Fixed-pitch fonts only, from a dialog of its own.
        QVERIFY(monospaced);
        QVERIFY(!native);
        QVERIFY(!families.isEmpty());
        for (const QString& family : families) QVERIFY2(QFontDatabase::isFixedPitch(family), qPrintable(family));
        QVERIFY(families.contains(mono));
        // Apply hands the font over at once and leaves the dialog open;
        // Cancel then gives nothing.
        QVERIFY(openAfterApply);
        QCOMPARE(applied.size(), size_t(1));
        QCOMPARE(applied[0].name, current.name);
        QCOMPARE(applied[0].size, 14);
        QVERIFY(applied[0].bold && !applied[0].italic);
        QCOMPARE(applied[0].charSet, 238);  // kept, a QFont has none
        QVERIFY(!chosen);

        // OK gives the font chosen; without an apply handler there is no
        // Apply button.
        bool hasApply = true;
        WhenOpen<QFontDialog>([&](QFontDialog* dlg) {
            auto* box = dlg->findChild<QDialogButtonBox*>();
            hasApply = box && box->button(QDialogButtonBox::Apply);
            dlg->setCurrentFont(QFontDatabase::font(mono, QStringLiteral("Oblique"), 12));
            dlg->accept();
        });
        const std::optional<FontChoice> ok = dialogs.ChooseFont(current, nullptr);
        QVERIFY(!hasApply);
        QVERIFY(ok.has_value());
        QCOMPARE(ok->name, current.name);
        QCOMPARE(ok->size, 12);
        QVERIFY(ok->italic && !ok->bold);
        QCOMPARE(ok->charSet, 238);
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

KORVANE_QT_TEST(QtDialogsTest);

#include "qt_dialogs_test.moc"

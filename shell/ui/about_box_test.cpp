#include "shell/ui/about_box.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <map>
#include <utility>

#include "shell/ui/ui_picker_test_support.h"
#include "shell/ui/ui_resources.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

std::time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
    return static_cast<std::time_t>(QDateTime(QDate(y, mo, d), QTime(h, mi, s)).toSecsSinceEpoch());
}

AboutSources FakeSources(std::map<std::string, std::string> values, std::time_t built) {
    AboutSources s;
    s.versionString = [values](const std::string& name) {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
    s.buildTime = [built] { return built; };
    s.locale = kEnglish;
    return s;
}

std::vector<Qt::Alignment> BlockAlignments(QTextEdit* memo) {
    std::vector<Qt::Alignment> result;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
        result.push_back(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    return result;
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void buildTimeFormat() {
        struct Case {
            QLocale locale;
            QDateTime time;
            QString text;
        } cases[] = {
            {kEnglish, QDateTime(QDate(2010, 3, 5), QTime(14, 7, 9)), "2010 March 05,Friday 14:07:09"},
            // 24-hour clock, padded
            {kEnglish, QDateTime(QDate(2009, 12, 31), QTime(23, 5, 0)), "2009 December 31,Thursday 23:05:00"},
            {kEnglish, QDateTime(QDate(2024, 1, 1), QTime(0, 0, 7)), "2024 January 01,Monday 00:00:07"},
            // names from the locale
            {QLocale(QLocale::German, QLocale::Germany), QDateTime(QDate(2010, 3, 5), QTime(14, 7, 9)),
             QString::fromUtf8("2010 M\xC3\xA4rz 05,Freitag 14:07:09")},
        };
        for (const Case& c : cases) QCOMPARE(FormatBuildTime(c.locale, c.time), c.text);
    }

    void versionValuesFillTheLabels() {
        TAboutBoxDlg dlg;
        dlg.Sources = FakeSources({{"FileDescription", "Wrapper application"},
                                   {"FileVersion", "2.0.0.7"},
                                   {"ProductName", "Korvane"},
                                   {"LegalCopyright", "(C) Talmek"}},
                                  LocalTime(2010, 3, 5, 14, 7, 9));
        auto form = dlg.CreateForm();
        QCOMPARE(form->lblFileVer->text(), QStringLiteral("File Version: 2.0.0.7"));
        QCOMPARE(form->lblBuildDateTime->text(), QStringLiteral("Built on: 2010 March 05,Friday 14:07:09"));
        QCOMPARE(form->lblPgmTitle->text(), QStringLiteral("Korvane"));
        QCOMPARE(form->lblFileDesc->text(), QStringLiteral("Wrapper application"));
        QCOMPARE(form->lblCopyright->text(), QStringLiteral("(C) Talmek"));
        QCOMPARE(form->lblProdver->text(), QStringLiteral("Product Version: "));  // not in the resource
        QCOMPARE(form->windowTitle(), QString());
    }

    void withoutVersionInformationDesignTextsStay() {
        TAboutBoxDlg dlg;
        dlg.Sources = FakeSources({}, LocalTime(2010, 3, 5, 14, 7, 9));
        auto form = dlg.CreateForm();
        QCOMPARE(form->lblBuildDateTime->text(), QStringLiteral("Built on: "));
        QCOMPARE(form->lblFileVer->text(), QStringLiteral("File Version: "));
        QCOMPARE(form->lblPgmTitle->text(), QStringLiteral("Program title"));
    }

    void programOwnValues() {
        TAboutBoxDlg dlg;
        auto form = dlg.CreateForm();
        QVERIFY(form->lblFileVer->text().startsWith(QStringLiteral("File Version: ")));
        QVERIFY(form->lblFileVer->text().size() > QStringLiteral("File Version: ").size());
        QVERIFY(form->lblBuildDateTime->text().size() > QStringLiteral("Built on: ").size());
    }

    void headingAndTitle() {
        TAboutBoxDlg dlg;
        dlg.Sources = FakeSources({{"ProductName", "Korvane"}}, -1);
        dlg.Heading = "About";
        dlg.PgmTitle = "Korvane Workbench";
        auto form = dlg.CreateForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("About"));
        QCOMPARE(form->lblPgmTitle->text(), QStringLiteral("Korvane Workbench"));
        QCOMPARE(form->lblBuildDateTime->text(), QStringLiteral("Built on: "));  // time unknown
    }

    void memo() {
        struct Case {
            const char* content;
            bool visible;
            QString shown;
            Qt::Alignment alignment;
            int clientHeight;
        } cases[] = {
            {"@a\nb", true, "a\nb", Qt::AlignLeft, 38},  // "@" selects left alignment
            {"x", true, "x", Qt::AlignHCenter, 19},       // centred by default
            {"Tool root directory : \r\n/opt/korvane", true, "Tool root directory : \n/opt/korvane",
             Qt::AlignHCenter, 38},
            {"", false, "", {}, 0},  // empty hides
        };
        for (const Case& c : cases) {
            TAboutBoxDlg dlg;
            dlg.MemoContent = c.content;
            auto form = dlg.CreateForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            QCOMPARE(form->Memo1->isVisible(), c.visible);
            if (c.visible) {
                QCOMPARE(form->Memo1->toPlainText(), c.shown);
                for (Qt::Alignment a : BlockAlignments(form->Memo1)) QCOMPARE(int(a), int(c.alignment));
                QCOMPARE(form->Memo1->viewport()->height(), c.clientHeight);
                QVERIFY(form->Memo1->isReadOnly());
                QCOMPARE(form->Memo1->frameShape(), QFrame::NoFrame);
                QVERIFY(form->height() >= form->Memo1->geometry().bottom());
            } else {
                QVERIFY(form->height() < form->btnOK->geometry().bottom() + 20);
            }
        }
    }

    void layoutAndCentring() {
        TAboutBoxDlg dlg;
        dlg.Sources = FakeSources({{"ProductName", "Korvane"}, {"LegalCopyright", "(C) Talmek"}}, -1);
        auto form = dlg.CreateForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const int w = form->width();
        QCOMPARE(form->pnlPgmTitle->width(), form->lblPgmTitle->width() + 10);
        QCOMPARE(form->pnlPgmTitle->x(), (w - form->pnlPgmTitle->width()) / 2);
        QCOMPARE(form->lblPgmTitle->x(), (form->pnlPgmTitle->width() - form->lblPgmTitle->width()) / 2);
        QCOMPARE(form->lblCopyright->x(), (w - 309) / 2);
        int lastBottom = form->pnlTalmek->geometry().bottom();
        for (QLabel* l : {form->lblFileDesc, form->lblCopyright, form->lblProdver, form->lblFileVer,
                          form->lblBuildDateTime}) {
            QCOMPARE(l->width(), 309);
            QVERIFY(l->alignment() & Qt::AlignHCenter);
            QVERIFY(l->y() > lastBottom);
            lastBottom = l->geometry().bottom();
        }
        QVERIFY(form->btnOK->y() > lastBottom);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->btnOK));
    }

    void designColoursAndFonts() {
        const QColor form(252, 242, 186), titlePanel(253, 247, 210), navy(0, 0, 128), maroon(128, 0, 0);
        TAboutBoxDlg dlg;
        dlg.Sources = FakeSources({{"ProductName", "Korvane"}}, -1);
        dlg.MemoContent = "@x";
        auto f = dlg.CreateForm();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));

        // The window: its colour and "MS Sans Serif" 8 pt, which the
        // information labels take over.
        QCOMPARE(f->palette().color(QPalette::Window), form);
        QCOMPARE(f->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(f->font().pointSize(), 8);
        for (QLabel* l : {f->lblFileDesc, f->lblCopyright, f->lblProdver, f->lblFileVer, f->lblBuildDateTime}) {
            QCOMPARE(l->font().family(), QStringLiteral("MS Sans Serif"));
            QCOMPARE(l->font().pointSize(), 8);
        }
        // The title: a raised panel of its own colour, the text navy, bold, 12 pt.
        QCOMPARE(f->pnlPgmTitle->frameShape(), QFrame::Panel);
        QCOMPARE(f->pnlPgmTitle->frameShadow(), QFrame::Raised);
        QCOMPARE(f->pnlPgmTitle->palette().color(QPalette::Window), titlePanel);
        QCOMPARE(f->lblPgmTitle->palette().color(QPalette::WindowText), navy);
        QVERIFY(f->lblPgmTitle->font().bold() && !f->lblPgmTitle->font().italic());
        QCOMPARE(f->lblPgmTitle->font().pointSize(), 12);
        // The maker's panel: white, raised; its texts maroon bold italic Arial.
        QCOMPARE(f->pnlTalmek->frameShape(), QFrame::Panel);
        QCOMPARE(f->pnlTalmek->frameShadow(), QFrame::Raised);
        QCOMPARE(f->pnlTalmek->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(f->lblCreatedBy->text(), QStringLiteral("Created by: "));
        for (auto [label, points] : {std::pair{f->lblCreatedBy, 14}, std::pair{f->lblTalmek, 12}}) {
            QCOMPARE(label->palette().color(QPalette::WindowText), maroon);
            QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            QCOMPARE(label->font().pointSize(), points);
            QVERIFY(label->font().bold() && label->font().italic());
        }

        // And so they are drawn: the window's margin, the title panel below
        // its text, the maker's panel inside its bevel, the memo beside its
        // short line.
        const QImage shot = f->grab().toImage();
        auto pixel = [&](QWidget* w, QPoint at) { return shot.pixelColor(w->mapTo(f.get(), at)); };
        QCOMPARE(shot.pixelColor(1, 1), form);
        QCOMPARE(pixel(f->pnlPgmTitle, QPoint(f->pnlPgmTitle->width() / 2, f->pnlPgmTitle->height() - 4)),
                 titlePanel);
        QCOMPARE(pixel(f->pnlTalmek, QPoint(3, 3)), QColor(Qt::white));
        QCOMPARE(pixel(f->Memo1, QPoint(f->Memo1->width() - 3, f->Memo1->height() / 2)), form);
    }

    void desktopIcons() {
        InitUiResources();
        QCOMPARE(QImage(QString::fromLatin1(kAppIcon48Resource)).size(), QSize(48, 48));
        QCOMPARE(QImage(QString::fromLatin1(kAppIcon256Resource)).size(), QSize(256, 256));
        TfrmAbout form;
        QVERIFY(!form.imgTalmek->pixmap().isNull());
    }

    void executeShowsModallyUntilOk() {
        TAboutBoxDlg dlg;
        dlg.MemoContent = "@root";
        bool sawBox = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
            if (!form) return;
            sawBox = form->isModal() && form->Memo1->toPlainText() == "root";
            form->btnOK->click();
        });
        dlg.Execute();
        QVERIFY(sawBox);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(dlg.MemoContent, std::string("@root"));  // kept for the next showing
    }
};

KORVANE_QT_TEST(AboutBoxTest);

}  // namespace korvane::testing

#include "about_box_test.moc"

// Help contents and the program icon provided for the desktop registration.

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTextBrowser>
#include <QtTest>

#include "shared/platform/files.h"
#include "shell/app/main_window.h"
#include "shell/app/testing/shell_fixture.h"
#include "shell/ui/action_list.h"
#include "shell/ui/my_status_bar.h"
#include "shell/viewer/help_contents.h"
#include "shell/viewer/viewer_controller.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using korvane::testing::ShellFixture;
using korvane::testing::Str;

namespace {

// Records what is handed to the desktop; answers from a rule.
struct Desktop {
    std::vector<std::string> opened;
    std::function<bool(const std::string&)> canOpen = [](const std::string&) { return true; };
    void attach(TfrmKorvaneMain& w) {
        w.viewer()->help().setUrlOpener([this](const QUrl& url) {
            const std::string path = Str(url.toLocalFile());
            opened.push_back(path);
            return canOpen(path);
        });
    }
};

}  // namespace

class ViewerHelpTest : public QObject {
    Q_OBJECT
private slots:
    void contentsPageChoice();
    void programIconWrittenOnlyWhenNoneBeside();
};

void ViewerHelpTest::contentsPageChoice() {
    ShellFixture f;
    f.writeJavaSettings({});
    TfrmKorvaneMain& w = f.start();
    Desktop desktop;
    desktop.attach(w);
    const std::string guide = f.binDir() + "/KORVANE-help/index.html";
    const std::string hlp = f.binDir() + "/KORVANE.HLP";

    // Nothing beside the program.
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(Str(w.statusBar().shownText()), "Cannot find help - " + guide);
    QVERIFY(desktop.opened.empty());

    // The guide of an installation (<prefix>/share/doc/korvane/html) ...
    const std::string installed = f.writeFile("share/doc/korvane/html/index.html", "<html></html>");
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(desktop.opened, (std::vector<std::string>{installed}));
    desktop.opened.clear();

    // ... and the one beside the program, which goes first.
    f.writeFile("bin/KORVANE-help/index.html", "<html><body><h1>Guide</h1></body></html>");
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(desktop.opened, (std::vector<std::string>{guide}));

    // A help file beside the program goes first when the desktop opens it ...
    f.writeFile("bin/KORVANE.HLP", "help");
    desktop.opened.clear();
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(desktop.opened, (std::vector<std::string>{hlp}));

    // ... and the guide comes when it cannot.
    desktop.opened.clear();
    desktop.canOpen = [](const std::string& path) { return path.find(".HLP") == std::string::npos; };
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(desktop.opened, (std::vector<std::string>{hlp, guide}));
    QVERIFY(!w.viewer()->help().helpWindow());

    // The desktop opens nothing: the guide comes in a help window of our own,
    // here asked for with F1.
    desktop.canOpen = [](const std::string&) { return false; };
    f.writeFile("bin/KORVANE-help/index.html", "<html><body><h1>Korvane guide</h1></body></html>");
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F1);
    QDialog* help = w.viewer()->help().helpWindow();
    QVERIFY(help && help->isVisible());
    QVERIFY(!help->isModal());  // the window stays usable beside it
    auto* browser = help->findChild<QTextBrowser*>("HelpBrowser");
    QVERIFY(browser);
    QCOMPARE(Str(browser->source().toLocalFile()), guide);
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Korvane guide")));
    // Asking again reuses the window.
    help->close();
    w.actions().execute(ActionId::HelpContents1);
    QCOMPARE(w.viewer()->help().helpWindow(), help);
    QVERIFY(help->isVisible());
    // Ctrl+Q ends the program: the window closes.
    help->close();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
}

void ViewerHelpTest::programIconWrittenOnlyWhenNoneBeside() {
    const std::string rel = "data/icons/hicolor/48x48/";
    {
        ShellFixture f;
        f.writeJavaSettings({});
        f.start();
        for (const std::string& icon :
             {rel + "apps/korvane.png", rel + "mimetypes/application-x-zq-korvane-project-file.png"}) {
            QVERIFY2(FileExists(f.root() + "/" + icon), icon.c_str());
            QCOMPARE(QImage(QString::fromUtf8(f.root() + "/" + icon)).size(), QSize(48, 48));
        }
    }
    {
        ShellFixture f;
        f.writeJavaSettings({});
        f.writeFile("bin/korvane.png", "a picture beside the program");
        f.start();
        QVERIFY(!FileExists(f.root() + "/" + rel + "apps/korvane.png"));
    }
}

KORVANE_QT_TEST(ViewerHelpTest);

#include "viewer_help_gui_test.moc"

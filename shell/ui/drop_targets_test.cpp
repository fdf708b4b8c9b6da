#include "shell/ui/drop_targets.h"

#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>

#include "shared/errors.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/guard.h"
#include "shell/ui/ui_picker_test_support.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {

namespace {

using Names = std::vector<std::string>;

struct Received {
    int calls = 0;
    QObject* sender = nullptr;
    Names names;
};

DropFilesHandler Recorder(Received& r) {
    return [&r](QObject* sender, const Names& names) {
        ++r.calls;
        r.sender = sender;
        r.names = names;
    };
}

// The three kinds of drop target, behind one face for table tests.
struct Target {
    std::unique_ptr<QWidget> owner;
    QWidget* widget = nullptr;
    QObject* signalSource = nullptr;
    std::function<void(bool)> registerTarget;
    std::function<void(DropFilesHandler)> setHandler;
};

Target MakeTarget(int kind) {
    Target t;
    if (kind == 0) {
        auto* b = new TBitBtnWM_Drop(QStringLiteral("Add"));
        t.owner.reset(b);
        t.widget = b;
        t.signalSource = b;
        t.registerTarget = [b](bool on) { b->RegisterDropTarget(on); };
        t.setHandler = [b](DropFilesHandler h) { b->OnWMDropFileMessage = std::move(h); };
    } else if (kind == 1) {
        auto* p = new TPanelWM_Drop;
        t.owner.reset(p);
        t.widget = p;
        t.signalSource = p;
        t.registerTarget = [p](bool on) { p->RegisterDropTarget(on); };
        t.setHandler = [p](DropFilesHandler h) { p->OnWMDropFileMessage = std::move(h); };
    } else {
        auto* g = new QGroupBox(QStringLiteral("Selected files"));
        auto* f = new FileDropFilter(g);
        t.owner.reset(g);
        t.widget = g;
        t.signalSource = f;
        t.registerTarget = [f](bool on) { f->RegisterDropTarget(on); };
        t.setHandler = [f](DropFilesHandler h) { f->OnWMDropFileMessage = std::move(h); };
    }
    return t;
}

}  // namespace

class DropTargetTest : public QObject {
    Q_OBJECT
private slots:
    void namesFromMime() {
        const std::pair<QList<QUrl>, QStringList> cases[] = {
            // files in drop order
            {{QUrl::fromLocalFile("/b/two.cbl"), QUrl::fromLocalFile("/a/one.cbl")}, {"/b/two.cbl", "/a/one.cbl"}},
            // remote urls left out
            {{QUrl("https://example.org/x.cbl"), QUrl::fromLocalFile("/a/one.cbl")}, {"/a/one.cbl"}},
            {{QUrl("file:///src/lib/")}, {"/src/lib"}},  // a folder loses its trailing separator
            {{QUrl("file:///")}, {"/"}},
            {{QUrl::fromLocalFile(QString::fromUtf8("/t/\xC3\xA1rv\xC3\xADz.pli"))},
             {QString::fromUtf8("/t/\xC3\xA1rv\xC3\xADz.pli")}},
            {{QUrl("ftp://host/f")}, {}},
            {{QUrl("file:///t/a%FF%20b.cbl")}, {QStringFromBytes("/t/a\xFF b.cbl")}},  // a name that is no UTF-8
        };
        for (const auto& [urls, expected] : cases) {
            std::unique_ptr<QMimeData> mime(MimeWithUrls(urls));
            QStringList got;
            for (const std::string& n : DropNamesFromMime(mime.get())) got << QStringFromBytes(n);
            QCOMPARE(got, expected);
        }
    }

    // Button, panel and group box (through the filter): registered, they pass
    // the local names in order with themselves as sender; before registration,
    // after it is withdrawn and for remote names only, nothing is taken.
    void targets() {
        for (int kind = 0; kind < 3; ++kind) {
            Target t = MakeTarget(kind);
            Received r;
            t.setHandler(Recorder(r));
            QSignalSpy spy(t.signalSource, SIGNAL(filesDropped(QStringList)));
            QVERIFY(!SimulateDrop(t.widget, {QUrl::fromLocalFile("/src/a.cbl")}).enterAccepted);
            t.registerTarget(true);
            QVERIFY(t.widget->acceptDrops());
            QVERIFY(!SimulateDrop(t.widget, {QUrl("https://example.org/a.cbl")}).enterAccepted);
            QCOMPARE(r.calls, 0);

            DropOutcome out = SimulateDrop(t.widget, {QUrl::fromLocalFile("/src/b.cbl"), QUrl("https://x.org/y"),
                                                      QUrl::fromLocalFile("/src/a.cbl")});
            QVERIFY(out.enterAccepted && out.dropAccepted);
            QCOMPARE(r.calls, 1);
            QCOMPARE(r.sender, static_cast<QObject*>(t.widget));
            QCOMPARE(r.names, (Names{"/src/b.cbl", "/src/a.cbl"}));
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toStringList(), (QStringList{"/src/b.cbl", "/src/a.cbl"}));

            t.registerTarget(false);
            QVERIFY(!t.widget->acceptDrops());
            SimulateDrop(t.widget, {QUrl::fromLocalFile("/src/a.cbl")});
            QCOMPARE(r.calls, 1);
        }
    }

    // Moves are not offered to the shell: a move-or-copy drag becomes a copy,
    // a move-only drag is refused.
    void dropActions() {
        Target t = MakeTarget(0);
        Received r;
        t.setHandler(Recorder(r));
        t.registerTarget(true);
        DropOutcome out =
            SimulateDrop(t.widget, {QUrl::fromLocalFile("/a")}, Qt::MoveAction | Qt::CopyAction);
        QVERIFY(out.dropAccepted);
        QCOMPARE(out.action, Qt::CopyAction);
        QCOMPARE(r.calls, 1);
        out = SimulateDrop(t.widget, {QUrl::fromLocalFile("/a")}, Qt::MoveAction);
        QVERIFY(!out.enterAccepted);
        QCOMPARE(r.calls, 1);
    }

    // An error in the handler is shown and stops there; it never reaches Qt.
    void handlerErrorsStayInside() {
        std::vector<std::string> shown;
        SetErrorSink([&](const std::string& t) { shown.push_back(t); });
        TPanelWM_Drop panel;
        panel.RegisterDropTarget(true);
        panel.OnWMDropFileMessage = [](QObject*, const Names&) { throw Error("cannot add"); };
        SimulateDrop(&panel, {QUrl::fromLocalFile("/a")});
        panel.OnWMDropFileMessage = [](QObject*, const Names&) { throw SilentAbort{}; };
        SimulateDrop(&panel, {QUrl::fromLocalFile("/a")});
        SetErrorSink(nullptr);
        QCOMPARE(shown, (std::vector<std::string>{"cannot add"}));
    }
};

KORVANE_QT_TEST(DropTargetTest);

}  // namespace korvane::testing

#include "drop_targets_test.moc"

#include "shell/ui/find_directory_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/settings.h"
#include "shell/ui/ui_picker_test_support.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {

namespace {

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

// Records the settings written while alive instead of touching the store.
class SettingsRecorder {
public:
    SettingsRecorder() : saved_(SettingWriter) {
        SettingWriter = [this](const std::string& name, const std::string& text) {
            written.emplace_back(name, text);
        };
    }
    ~SettingsRecorder() { SettingWriter = saved_; }
    std::vector<std::pair<std::string, std::string>> written;

private:
    SettingWriterFn saved_;
};

}  // namespace

class FindDirectoryFrameTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::string root_;  // holds "src/a.cbl", "src/b.cbl" and "out/"

    // A frame with a recording status bar and events that log their order.
    struct Fixture {
        ProbeDialogs dialogs;
        RecordingReporter report;
        SettingsRecorder settings;
        TFrameFindDirectory frame{dialogs};
        std::vector<std::string> events;
        Fixture() {
            frame.SetStatusBar(&report);
            frame.LabelCaption->setText(QStringLiteral("Output directory"));
            frame.OnDirectoryChosen = [this](QObject* s) { events.push_back(s == &frame ? "chosen" : "?"); };
            frame.OnDirectoryDropped = [this](QObject* s) { events.push_back(s == &frame ? "dropped" : "?"); };
            frame.OnBeforeCheck = [this](QObject* s) { events.push_back(s == &frame ? "before" : "?"); };
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        root_ = Utf8(tmp_.path());
        QVERIFY(ForceDirectories(root_ + "/src"));
        QVERIFY(ForceDirectories(root_ + "/out"));
        WriteFileAtomic(root_ + "/src/a.cbl", "x");
        WriteFileAtomic(root_ + "/src/b.cbl", "x");
    }

    // ---- drops

    void dropOfTwoFoldersChangesNothing() {
        Fixture f;
        f.frame.RegisterDropTarget(true);
        f.frame.SetFieldText("/keep");
        SimulateDrop(&f.frame, LocalUrls({root_ + "/src", root_ + "/out"}));
        QCOMPARE(f.frame.FieldText(), std::string("/keep"));
        QVERIFY(f.events.empty());
        QVERIFY(f.settings.written.empty());
    }

    void dropOfOneFilePutsItsFolder() {
        Fixture f;
        f.frame.RegisterDropTarget(true);
        const std::string cwd = GetCurrentDir();
        SimulateDrop(&f.frame, LocalUrls({root_ + "/src/a.cbl"}));
        QCOMPARE(f.frame.FieldText(), root_ + "/src");
        QCOMPARE(f.events, (std::vector<std::string>{"dropped", "chosen"}));
        QCOMPARE(f.settings.written.size(), size_t(1));
        QCOMPARE(f.settings.written[0].first, std::string("LastSelectedDir"));
        QCOMPARE(f.settings.written[0].second, root_ + "/src");
        QCOMPARE(GetCurrentDir(), cwd);
    }

    void dropOnTheFieldCountsAsDropOnTheFrame() {
        Fixture f;
        f.frame.RegisterDropTarget(true);
        SimulateDrop(f.frame.Edit, LocalUrls({root_ + "/out"}));
        QCOMPARE(f.frame.FieldText(), root_ + "/out");
        QCOMPARE(f.events, (std::vector<std::string>{"dropped", "chosen"}));
    }

    void dropOfTheSameFolderChangesNothing() {
        const std::string out = root_ + "/out";
        struct Case {
            std::string field, dropped;
            bool changes;
        } cases[] = {
            {out, out, false},
            {out + "/", out, false},  // field with trailing separator
            {Utf8(QString::fromStdString(out).toUpper()), out, true},  // case differs
            {"", out + "/gone/x.cbl", false},  // missing file in missing folder
        };
        for (const Case& c : cases) {
            Fixture f;
            f.frame.RegisterDropTarget(true);
            f.frame.Edit->setText(QString::fromStdString(c.field));
            SimulateDrop(&f.frame, LocalUrls({c.dropped}));
            QVERIFY2(f.events.empty() != c.changes, c.field.c_str());
            QVERIFY2((Utf8(f.frame.Edit->text()) != c.field) == c.changes, c.field.c_str());
        }
    }

    void dropsWaitForRegistration() {
        Fixture f;
        const DropOutcome out = SimulateDrop(&f.frame, LocalUrls({root_ + "/src"}));
        QVERIFY(!out.enterAccepted);
        QVERIFY(f.frame.FieldText().empty());
        QVERIFY(f.events.empty());
    }

    // ---- browsing

    void browseStartFolder() {
        const std::string src = root_ + "/src", personal = PersonalFolder();
        const std::pair<std::string, std::string> cases[] = {
            {src, src},                      // existing folder
            {src + "/gone/deeper", src},     // two missing levels
            {src + "/a.cbl", src},           // existing file's folder
            {"", personal},                  // empty field
            {"/zz", personal},               // nothing of it exists
            {"nowhere", personal},           // relative and missing
        };
        for (const auto& [field, start] : cases) QCOMPARE(TFrameFindDirectory::BrowseStartFolder(field), start);
    }

    void browseStartsAtNearestExistingAncestor() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/src/gone/deeper");
        f.dialogs.AnswerPath(root_ + "/out");
        f.frame.BrowseForDir();
        QCOMPARE(f.dialogs.Calls().size(), size_t(1));
        QCOMPARE(f.dialogs.Calls()[0].what, std::string("ChooseFolder"));
        QCOMPARE(f.dialogs.Calls()[0].root, root_ + "/src");
    }

    void browseChoosingANewFolder() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/src");
        f.frame.SetModified(true);
        const std::string cwd = GetCurrentDir();
        FieldColour during = FieldColour::Window;
        f.dialogs.probe = [&] {
            during = f.frame.FieldState();
            SetCurrentDir(root_ + "/out");  // a chooser may wander about
        };
        f.dialogs.AnswerPath(root_ + "/out");
        f.frame.BrowseForDir();
        QCOMPARE(during, FieldColour::Browsing);
        QCOMPARE(f.frame.FieldState(), FieldColour::Window);
        QCOMPARE(GetCurrentDir(), cwd);
        QCOMPARE(f.frame.FieldText(), root_ + "/out");
        QVERIFY(f.frame.Modified());
        QCOMPARE(f.events, (std::vector<std::string>{"chosen"}));
        QCOMPARE(f.settings.written,
                 (std::vector<std::pair<std::string, std::string>>{{"LastSelectedDir", root_ + "/out"}}));
        QCOMPARE(f.report.entries, (std::vector<RecordingReporter::Entry>{{"ShowError", "", true}}));
    }

    void browseChoosingTheSameFolderChangesNothing() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/src");
        f.dialogs.AnswerPath(root_ + "/src");
        f.frame.BrowseForDir();
        QVERIFY(f.events.empty());
        QVERIFY(f.settings.written.empty());
    }

    void browseCancelledReportsAndAborts() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/src");
        f.dialogs.AnswerCancel();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, f.frame.BrowseForDir());
        QCOMPARE(f.report.entries,
                 (std::vector<RecordingReporter::Entry>{{"ShowError", "Directorry selection cancelled ", true}}));
        QCOMPARE(f.frame.FieldText(), root_ + "/src");
        QCOMPARE(f.frame.FieldState(), FieldColour::Window);
        QVERIFY(f.events.empty());
    }

    void browseButtonCancelEndsQuietly() {
        Fixture f;
        f.dialogs.AnswerCancel();
        f.frame.SpeedButton->click();  // the guard swallows the abort
        QCOMPARE(f.dialogs.PendingAnswers(), size_t(0));
        QCOMPARE(f.report.entries.size(), size_t(1));
    }

    void withoutStatusBarMessagesAreDropped() {
        ScriptedDialogs dialogs;
        TFrameFindDirectory frame(dialogs);
        dialogs.AnswerCancel();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, frame.BrowseForDir());
        dialogs.AnswerPath(root_ + "/out");
        SettingsRecorder settings;
        frame.BrowseForDir();
        QCOMPARE(frame.FieldText(), root_ + "/out");
    }

    // ---- leaving the field

    void exitCheckOnlyForChangedField() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/missing");
        f.frame.EditExit();  // no dialog is scripted: none may open
        QVERIFY(f.events.empty());
        QVERIFY(f.report.entries.empty());
    }

    void exitCheckOfMissingFolderBrowses() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/missing/deeper");
        f.frame.SetModified(true);
        f.dialogs.AnswerPath(root_ + "/out");
        f.frame.EditExit();
        QCOMPARE(f.events, (std::vector<std::string>{"before", "chosen"}));
        QCOMPARE(f.report.entries,
                 (std::vector<RecordingReporter::Entry>{
                     {"ShowError", "Output directory - " + root_ + "/missing/deeper doesn't exist", true},
                     {"ShowError", "", true}}));
        QCOMPARE(f.dialogs.Calls().at(0).root, root_);
        QCOMPARE(f.frame.FieldText(), root_ + "/out");
        QVERIFY(f.frame.Modified());
    }

    void exitCheckOfExistingFolder() {
        Fixture f;
        f.frame.SetFieldText(root_ + "/out");
        f.frame.SetModified(true);
        f.frame.EditExit();
        QCOMPARE(f.events, (std::vector<std::string>{"before"}));
        QVERIFY(f.report.entries.empty());
    }

    void userEditsSetTheChangedMark() {
        Fixture f;
        f.frame.SetFieldText("/a");
        QVERIFY(!f.frame.Modified());
        f.frame.Edit->setFocus();
        QTest::keyClicks(f.frame.Edit, "b");
        QVERIFY(f.frame.Modified());
        f.frame.SetModified(false);
        f.frame.SetFieldText("/c");
        QVERIFY(!f.frame.Modified());
    }

    // Enter is swallowed and runs the leave handling (the owner's when set).
    void enterRunsTheLeaveHandling() {
        Fixture f;
        QSignalSpy returns(f.frame.Edit, &QLineEdit::returnPressed);
        int ownerExits = 0;
        f.frame.OnEditExit = [&](QObject* sender) {
            QCOMPARE(sender, static_cast<QObject*>(f.frame.Edit));
            ++ownerExits;
        };
        QTest::keyClick(f.frame.Edit, Qt::Key_Return);
        QTest::keyClick(f.frame.Edit, Qt::Key_Enter);
        QCOMPARE(ownerExits, 2);
        QCOMPARE(returns.count(), 0);

        f.frame.OnEditExit = nullptr;
        f.frame.SetFieldText(root_ + "/src");
        f.frame.SetModified(true);
        QTest::keyClick(f.frame.Edit, Qt::Key_Return);
        QCOMPARE(f.events, (std::vector<std::string>{"before"}));
    }

    void focusMovingOnRunsTheLeaveHandling() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        ProbeDialogs dialogs;
        auto* frame = new TFrameFindDirectory(dialogs);
        auto* other = new QLineEdit;
        layout->addWidget(frame);
        layout->addWidget(other);
        int exits = 0;
        frame->OnEditExit = [&](QObject*) { ++exits; };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        frame->Edit->setFocus(Qt::OtherFocusReason);
        QCOMPARE(exits, 0);
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(exits, 1);
    }

    void hintsFollowTheText() {
        Fixture f;
        f.frame.SetFieldText("/data/out");
        QCOMPARE(f.frame.Edit->toolTip(), QStringLiteral("/data/out"));
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&f.frame, &move);
        QCOMPARE(f.frame.toolTip(), QStringLiteral("/data/out"));
    }
};

KORVANE_QT_TEST(FindDirectoryFrameTest);

}  // namespace korvane::testing

#include "find_directory_frame_test.moc"

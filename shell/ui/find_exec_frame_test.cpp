#include "shell/ui/find_exec_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shell/ui/ui_picker_test_support.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {

namespace {

using Entries = std::vector<RecordingReporter::Entry>;
const char* const kExeFilter = "Scanner program files (*.exe)|*.exe|All files(*.*)|*.*";

}  // namespace

class FindExecFrameTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::string dir_;

    struct Fixture {
        ProbeDialogs dialogs;
        RecordingReporter report;
        TFrameFindexec frame{dialogs};
        int pathChanges = 0;
        Fixture() {
            frame.SetStatusBar(&report);
            frame.LabelFindExec->setText(QStringLiteral("Scanner program"));
            frame.OnPathChanged = [this](QObject* s) {
                if (s == &frame) ++pathChanges;
            };
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        dir_ = tmp_.path().toUtf8().toStdString();
        WriteFileAtomic(dir_ + "/scan.exe", "MZ");
        WriteFileAtomic(dir_ + "/other.exe", "MZ");
    }

    void drop() {
        struct Case {
            const char* what;
            std::string filter, file;
            bool accepted;
        } cases[] = {
            {"no filter yet: anything", "", "/t/tool.bat", true},
            {"*.exe takes TOOL.EXE", kExeFilter, "/t/TOOL.EXE", true},
            {"*.exe refuses tool.bat", kExeFilter, "/t/tool.bat", false},
            {"*.exe refuses .exe as a stem", kExeFilter, "/t/tool.exe.bak", false},
            {"all files", "All files(*.*)|*.*", "/t/tool.bat", true},
            {"several patterns", "Sources|*.cbl;*.CPY|All|*.*", "/t/m.cpy", true},
            {"several patterns, other", "Sources|*.cbl;*.CPY|All|*.*", "/t/m.pli", false},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.frame.OpenDialogFindExec.filter = c.filter;
            SetFieldColour(f.frame.Edit, FieldColour::Failed);
            SimulateDrop(&f.frame, LocalUrls({c.file}));
            QVERIFY2((f.frame.ProgramPath() == c.file) == c.accepted, c.what);
            QVERIFY2(f.pathChanges == (c.accepted ? 1 : 0), c.what);
            QVERIFY2(f.frame.FieldState() == (c.accepted ? FieldColour::Window : FieldColour::Failed), c.what);
        }
    }

    void dropOfTwoFilesChangesNothing() {
        Fixture f;
        SimulateDrop(&f.frame, LocalUrls({"/t/a.exe", "/t/b.exe"}));
        QCOMPARE(f.frame.ProgramPath(), std::string("Notepad.exe"));
        QCOMPARE(f.pathChanges, 0);
    }

    void dropOnTheField() {
        Fixture f;
        const DropOutcome out = SimulateDrop(f.frame.Edit, LocalUrls({"/t/a.exe"}), Qt::LinkAction);
        QVERIFY(out.dropAccepted);
        QCOMPARE(out.action, Qt::LinkAction);
        QCOMPARE(f.frame.ProgramPath(), std::string("/t/a.exe"));
    }

    // The first browse makes the filter; drops are judged by it from then on.
    void dropAfterFirstBrowse() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/scan.exe");
        f.dialogs.AnswerPath(dir_ + "/other.exe");
        f.frame.SpeedButtonFindExec->click();
        QCOMPARE(f.frame.OpenDialogFindExec.filter, std::string(kExeFilter));
        SimulateDrop(&f.frame, LocalUrls({"/t/tool.bat"}));
        QCOMPARE(f.frame.ProgramPath(), dir_ + "/other.exe");
        SimulateDrop(&f.frame, LocalUrls({"/t/TOOL.EXE"}));
        QCOMPARE(f.frame.ProgramPath(), std::string("/t/TOOL.EXE"));
    }

    // ---- validation

    void validateWithoutBrowsing() {
        const std::string missing = dir_ + "/missing.exe", present = dir_ + "/scan.exe";
        const std::string unavailable = "File Scanner program is marked unavailable!";
        const FieldColour window = FieldColour::Window, red = FieldColour::Failed;
        struct Case {
            const char* what;
            std::string defaultName, field;
            int tag;
            bool hidden, browse, valid;
            FieldColour colour;
            std::string error, after;
        } cases[] = {
            {"'@' with empty field", "@", "", 0, false, true, true, window, "", ""},
            {"hidden picker", "", missing, 0, true, true, true, window, "", missing},
            {"existing file", "", present, 0, false, true, true, window, "", present},
            {"'?' takes the default", present, "?", 0, false, true, true, window, "", present},
            {"empty takes the default", present, "", 0, false, true, true, window, "", present},
            {"missing, optional: red but valid", "", missing, 1, false, true, true, red, "", missing},
            {"missing, no browsing", "", missing, 0, false, false, false, red, "", missing},
            {"marked unavailable", "x*", present, 0, false, true, false, red, unavailable, present},
            {"unavailable wins over optional", "*", present, 1, false, true, false, red, unavailable, present},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.frame.DefaultName = c.defaultName;
            f.frame.Edit->setText(QString::fromStdString(c.field));
            f.frame.setProperty("Tag", c.tag);  // the owner marks a picker optional
            if (c.hidden) f.frame.hide();
            SetFieldColour(f.frame.Edit, FieldColour::Failed);
            // No dialog is scripted: none may open.
            QVERIFY2(f.frame.ValidatePath(c.browse) == c.valid, c.what);
            QVERIFY2(f.frame.FieldState() == c.colour, c.what);
            const Entries expected =
                c.error.empty() ? Entries{} : Entries{{"AddError", c.error, true}};
            QVERIFY2(f.report.entries == expected, c.what);
            QVERIFY2(f.dialogs.Calls().empty() && f.pathChanges == 0, c.what);
            QCOMPARE(f.frame.ProgramPath(), c.after);
        }
    }

    void validateBrowsesForMissingProgram() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/missing.exe");
        f.dialogs.AnswerPath(dir_ + "/scan.exe");
        QVERIFY(f.frame.ValidatePath(true));
        QCOMPARE(f.frame.ProgramPath(), dir_ + "/scan.exe");
        QCOMPARE(f.frame.FieldState(), FieldColour::Window);
        QCOMPARE(f.pathChanges, 1);
        QVERIFY(f.report.entries.empty());
    }

    void validateBrowseCancelled() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/missing.exe");
        f.dialogs.AnswerCancel();
        QVERIFY(!f.frame.ValidatePath(true));
        QCOMPARE(f.frame.FieldState(), FieldColour::Failed);
        QCOMPARE(f.report.entries, (Entries{{"AddError", "File not found: " + dir_ + "/missing.exe", true}}));
        QCOMPARE(f.pathChanges, 0);
    }

    void validateHandsOverToOnBrowse() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/missing.exe");
        std::string gotPath, gotCaption;
        f.frame.OnBrowse = [&](std::string& path, const std::string& caption) {
            gotPath = path;
            gotCaption = caption;
            path = dir_ + "/scan.exe";
        };
        QVERIFY(!f.frame.ValidatePath(true));
        QCOMPARE(gotPath, dir_ + "/missing.exe");
        QCOMPARE(gotCaption, std::string("Scanner program"));
        QVERIFY(f.dialogs.Calls().empty());
    }

    void validateSwallowsBrowseErrors() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/missing.exe");
        f.frame.OnBrowse = [](std::string&, const std::string&) { throw Error("no chooser"); };
        QVERIFY(!f.frame.ValidatePath(true));
        f.frame.OnBrowse = [](std::string&, const std::string&) { throw SilentAbort{}; };
        QVERIFY(!f.frame.ValidatePath(true));
    }

    void withoutStatusBarNothingIsReported() {
        ScriptedDialogs dialogs;
        TFrameFindexec frame(dialogs);
        frame.DefaultName = "*";
        QVERIFY(!frame.ValidatePath(false));
        frame.DefaultName = "";
        frame.SetFieldText(dir_ + "/missing.exe");
        dialogs.AnswerCancel();
        QVERIFY(!frame.ValidatePath(true));
    }

    // ---- the dialog

    void dialogFilterAndTitleAreKept() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/scan.exe");
        FieldColour during = FieldColour::Window;
        f.dialogs.probe = [&] { during = f.frame.FieldState(); };
        SetFieldColour(f.frame.Edit, FieldColour::Failed);
        std::string path = f.frame.ProgramPath();
        f.dialogs.AnswerPath(dir_ + "/other.exe");
        QVERIFY(f.frame.BrowseForProgram(path, "Scanner program"));
        QCOMPARE(path, dir_ + "/other.exe");
        QCOMPARE(during, FieldColour::Browsing);
        QCOMPARE(f.frame.FieldState(), FieldColour::Failed);
        const FileDialogOptions& first = f.dialogs.Calls().at(0).file;
        QCOMPARE(first.filter, std::string(kExeFilter));
        QCOMPARE(first.title, std::string("Find Scanner program "));
        QCOMPARE(first.fileName, std::string("scan.exe"));
        QCOMPARE(first.initialDir, dir_);
        QVERIFY(!first.multiSelect);
        QVERIFY(first.mustExist);

        f.frame.LabelFindExec->setText(QStringLiteral("Program for Realign"));
        path = "/elsewhere/tool.com";
        f.dialogs.AnswerCancel();
        QVERIFY(!f.frame.BrowseForProgram(path, "Program for Realign"));
        QCOMPARE(path, std::string("/elsewhere/tool.com"));
        const FileDialogOptions& second = f.dialogs.Calls().at(1).file;
        QCOMPARE(second.filter, std::string(kExeFilter));
        QCOMPARE(second.title, std::string("Find Scanner program "));
        QCOMPARE(second.fileName, std::string("tool.com"));
        QCOMPARE(second.initialDir, std::string("/elsewhere"));
    }

    void dialogStartsFromDefaultName() {
        struct Case {
            const char* path;
            const char* defaultName;
            const char* fileName;
            const char* initialDir;
            const char* filter;
        } cases[] = {
            {"?", "/opt/k/realign.exe", "realign.exe", "/opt/k", "Realign files (*.exe)|*.exe|All files(*.*)|*.*"},
            {"", "/opt/k/realign", "realign", "/opt/k", "All files(*.*)|*.*"},
            {"/usr/bin/realign", "", "realign", "/usr/bin", "All files(*.*)|*.*"},  // own path, no extension
        };
        for (const Case& c : cases) {
            Fixture f;
            f.frame.DefaultName = c.defaultName;
            std::string p = c.path;
            f.dialogs.AnswerCancel();
            QVERIFY(!f.frame.BrowseForProgram(p, "Realign"));
            const FileDialogOptions& opts = f.dialogs.Calls().at(0).file;
            QCOMPARE(opts.fileName, std::string(c.fileName));
            QCOMPARE(opts.initialDir, std::string(c.initialDir));
            QCOMPARE(opts.filter, std::string(c.filter));
        }
    }

    void browseButton() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/scan.exe");
        f.dialogs.AnswerPath(dir_ + "/scan.exe");  // the same path: no change
        f.frame.SpeedButtonFindExec->click();
        QCOMPARE(f.pathChanges, 0);
        f.dialogs.AnswerPath(dir_ + "/other.exe");
        f.frame.SpeedButtonFindExec->click();
        QCOMPARE(f.pathChanges, 1);
        QCOMPARE(f.frame.ProgramPath(), dir_ + "/other.exe");
        f.dialogs.AnswerCancel();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, f.frame.SpeedButtonFindExecClick());
        QCOMPARE(f.frame.ProgramPath(), dir_ + "/other.exe");
        QVERIFY(f.report.entries.empty());

        f.frame.OnBrowse = [&](std::string& path, const std::string&) { path = "/chosen/by/owner"; };
        f.frame.SpeedButtonFindExecClick();
        QCOMPARE(f.frame.ProgramPath(), std::string("/chosen/by/owner"));
        QCOMPARE(f.pathChanges, 2);

        f.frame.hide();
        f.frame.OnBrowse = [&](std::string& path, const std::string&) { path = "/hidden"; };
        f.frame.SpeedButtonFindExecClick();
        QCOMPARE(f.frame.ProgramPath(), std::string("/chosen/by/owner"));
    }

    // ---- leaving the field

    void exitCheck() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/missing.exe");
        f.frame.EditExit();  // unchanged field: nothing
        QCOMPARE(f.pathChanges, 0);

        f.frame.SetModified(true);
        f.dialogs.AnswerPath(dir_ + "/scan.exe");
        f.frame.EditExit();
        QCOMPARE(f.report.entries, (Entries{{"AddError", "File \"" + dir_ + "/missing.exe\" doesn't exist", true}}));
        QCOMPARE(f.frame.ProgramPath(), dir_ + "/scan.exe");
        QCOMPARE(f.pathChanges, 2);  // once for the browse, once for leaving

        f.frame.EditExit();  // an existing file: only the change is announced
        QCOMPARE(f.pathChanges, 3);
        QCOMPARE(f.report.entries.size(), size_t(1));

        f.frame.SetFieldText(dir_ + "/missing.exe");
        f.dialogs.AnswerCancel();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, f.frame.EditExit());
        QCOMPARE(f.pathChanges, 3);

        f.frame.hide();
        f.frame.EditExit();
        QCOMPARE(f.pathChanges, 3);
    }

    void enterInTheField() {
        Fixture f;
        f.frame.SetFieldText(dir_ + "/scan.exe");
        f.frame.SetModified(true);
        QTest::keyClick(f.frame.Edit, Qt::Key_Return);
        QCOMPARE(f.pathChanges, 1);
    }
};

KORVANE_QT_TEST(FindExecFrameTest);

}  // namespace korvane::testing

#include "find_exec_frame_test.moc"

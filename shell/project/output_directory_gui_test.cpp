// The output directory field: leaving it, creating a missing directory,
// browsing, and dragging the names onto it.

#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "shared/platform/files.h"
#include "shell/app/main_window.h"
#include "shell/project/names_drag.h"
#include "shell/project/output_directory_field.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_gui_test_support.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/ui_picker_test_support.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::project_test;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
void Press(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonPress, pos, b, b);
}
void MoveHeld(QWidget* w, QPoint pos) { Mouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton); }
void Release(QWidget* w, QPoint pos) {
    Mouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

// Sends a drag enter and, when taken, the drop of data with this format.
bool DropOn(QWidget* target, const char* format) {
    QMimeData mime;
    mime.setData(format, "names");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

}  // namespace

class OutputDirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void leavingNormalisesAndMarksModified();
    void missingDirectoryIsOfferedForCreationOrBrowsedFor();
    void namesDragStartsAfterThreePixelsWithBothNames();
    void droppingTheNamesPointsAtTheProjectFolder();
    void otherDragsAreRefused();
};

// The normal forms are LeftOutputDirectory's cases (ProjectRules); leaving
// applies it with the project's folder.
void OutputDirectoryTest::leavingNormalisesAndMarksModified() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    TFrameFindDirectory* frame = w.FrameFindDirectoryOutputDir;
    const std::string root = f.root();
    ForceDirectories(root + "/work/out");
    w.project()->SetProjectDirectory(root + "/");
    frame->SetFieldText("work//./x/../out/");
    frame->SetModified(true);
    w.project()->clearModifiedWithoutAsking();
    w.statusBar().ShowWarning("old");
    const size_t calls = f.dialogs.Calls().size();
    frame->RunLeaveHandling();
    QCOMPARE(frame->FieldText(), root + "/work/out");
    QVERIFY(frame->Modified());  // the changed mark stays
    QVERIFY(w.project()->modified());
    QCOMPARE(Shown(w), std::string());
    QCOMPARE(f.dialogs.Calls().size(), calls);

    // Enter runs the same leave handling.
    frame->SetFieldText("/" + root + "//work/out/");
    w.project()->clearModifiedWithoutAsking();
    QTest::keyClick(frame->Edit, Qt::Key_Return);
    QCOMPARE(frame->FieldText(), root + "/work/out");
    QVERIFY(w.project()->modified());
    QVERIFY(w.project()->outputDirectoryField().JustLeft());
}

void OutputDirectoryTest::missingDirectoryIsOfferedForCreationOrBrowsedFor() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    TFrameFindDirectory* frame = w.FrameFindDirectoryOutputDir;
    const std::string root = f.root();

    // OK creates it with its parents; the picker's check then passes.
    const std::string deep = root + "/new/deep/out";
    frame->SetFieldText(deep + "/");
    frame->SetModified(true);
    f.dialogs.AnswerButton(kOk);
    frame->RunLeaveHandling();
    const auto& q = f.dialogs.Calls().back();
    QCOMPARE(q.text, "Directory " + deep + " doesn't exists, create it? ");
    QCOMPARE(q.kind, MsgKind::Confirmation);
    QCOMPARE(q.buttons, unsigned(kOk | kCancel));
    QVERIFY(DirectoryExists(deep));

    // Cancel: nothing is created and the picker offers browsing.
    frame->SetFieldText(root + "/never");
    w.project()->clearModifiedWithoutAsking();
    f.dialogs.AnswerButton(kCancel);
    f.dialogs.AnswerCancel();
    frame->RunLeaveHandling();
    QVERIFY(!DirectoryExists(root + "/never"));
    QCOMPARE(f.dialogs.Calls().back().what, std::string("ChooseFolder"));
    QVERIFY(w.project()->modified());  // marked before the check failed

    // A directory that cannot be created: the question, the warning, the
    // browser; the field unchanged.
    f.writeFile("afile", "x");
    const std::string blocked = root + "/afile/sub";
    frame->SetFieldText(blocked);
    f.dialogs.AnswerButton(kOk);
    f.dialogs.AnswerCancel();
    const size_t before = f.dialogs.Calls().size();
    frame->RunLeaveHandling();
    QCOMPARE(f.dialogs.Calls().size(), before + 3);
    const auto& warning = f.dialogs.Calls()[before + 1];
    QVERIFY(warning.kind == MsgKind::Warning && warning.text == "Cannot create directory" && warning.buttons == kOk);
    QCOMPARE(frame->FieldText(), blocked);

    // An unchanged field is not checked at all.
    frame->SetFieldText(root + "/elsewhere");
    frame->SetModified(false);
    const size_t calls = f.dialogs.Calls().size();
    frame->RunLeaveHandling();
    QCOMPARE(f.dialogs.Calls().size(), calls);

    // The exit check browses for a missing folder; the choice is left again.
    ForceDirectories(root + "/chosen");
    ForceDirectories(root + "/picked");
    frame->SetFieldText(root + "/missing");
    frame->SetModified(true);
    f.dialogs.AnswerButton(kCancel);
    f.dialogs.AnswerPath(root + "//chosen/");
    frame->RunLeaveHandling();
    QCOMPARE(frame->FieldText(), root + "/chosen");
    QVERIFY(frame->Modified());

    // The browse button.
    frame->SetModified(false);
    w.project()->clearModifiedWithoutAsking();
    f.dialogs.AnswerPath(root + "/picked/");
    frame->SpeedButton->click();
    QCOMPARE(frame->FieldText(), root + "/picked");
    QVERIFY(frame->Modified());
    QVERIFY(w.project()->modified());
}

void OutputDirectoryTest::namesDragStartsAfterThreePixelsWithBothNames() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    QWidget* names = w.GroupBoxNames;
    int drags = 0;
    w.project()->outputDirectoryField().namesDrag().StartDrag = [&] { ++drags; };
    // The drags a press at (10, 10) and a move to the point start.
    auto dragTo = [&](QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        const int before = drags;
        Press(names, {10, 10}, button);
        MoveHeld(names, to);
        return drags - before;
    };
    QCOMPARE(dragTo({30, 30}), 0);  // no names: no drag

    w.project()->SetProductName("Prod");
    w.project()->SetSystemName("Sys");
    Press(names, {10, 10});
    MoveHeld(names, {12, 12});
    QCOMPARE(drags, 0);
    MoveHeld(names, {13, 10});
    QCOMPARE(drags, 1);
    QCOMPARE(dragTo({10, 7}), 1);
    // After the release a move starts nothing; nor does the right button.
    Press(names, {10, 10});
    Release(names, {10, 10});
    MoveHeld(names, {30, 30});
    QCOMPARE(dragTo({30, 30}, Qt::RightButton), 0);
    QCOMPARE(drags, 2);

    // The press right after leaving the output directory only forgets that.
    w.FrameFindDirectoryOutputDir->SetModified(false);
    w.FrameFindDirectoryOutputDir->RunLeaveHandling();
    QVERIFY(w.project()->outputDirectoryField().JustLeft());
    QCOMPARE(dragTo({30, 30}), 0);
    QVERIFY(!w.project()->outputDirectoryField().JustLeft());
    QCOMPARE(dragTo({30, 30}), 1);

    // One name missing: no drag.
    w.project()->SetSystemName("*");
    QCOMPARE(dragTo({30, 30}), 0);
}

void OutputDirectoryTest::droppingTheNamesPointsAtTheProjectFolder() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    TFrameFindDirectory* frame = w.FrameFindDirectoryOutputDir;
    OutputDirectoryField& field = w.project()->outputDirectoryField();
    const std::string root = f.root();
    w.project()->SetProductName("Prod");
    w.project()->SetSystemName("Sys");
    QCOMPARE(w.project()->languagePrefix(), std::string("JAV"));

    // Onto <dir>/JAV: the language folder becomes the project's folder,
    // created when the field is left.
    ForceDirectories(root + "/work/JAV");
    frame->SetFieldText(root + "/work/JAV");
    frame->SetModified(false);
    w.statusBar().ShowWarning("old");
    QVERIFY(DropOn(frame->Edit, NamesDrag::kMimeType));
    QCOMPARE(frame->FieldText(), root + "/work/ProdSys");
    QVERIFY(frame->Modified());
    QVERIFY(field.DropRemembered());
    QCOMPARE(Shown(w), std::string());
    QVERIFY(!DirectoryExists(root + "/work/ProdSys"));
    const size_t calls = f.dialogs.Calls().size();
    frame->RunLeaveHandling();
    QVERIFY(DirectoryExists(root + "/work/ProdSys"));
    QCOMPARE(f.dialogs.Calls().size(), calls);  // no question: it exists by then
    QVERIFY(!field.DropRemembered());

    // Onto <dir>/ProdSys: nothing changes.
    frame->SetModified(false);
    QVERIFY(DropOn(w.GroupBoxDataSets, NamesDrag::kMimeType));
    QCOMPARE(frame->FieldText(), root + "/work/ProdSys");
    QVERIFY(!frame->Modified());
    QVERIFY(!field.DropRemembered());

    // Onto another folder: the project's name is appended; the frame takes it too.
    frame->SetFieldText(root + "/work");
    QVERIFY(DropOn(frame, NamesDrag::kMimeType));
    QCOMPARE(frame->FieldText(), root + "/work/ProdSys");

    // The targets take no other drag of this kind.
    QVERIFY(!DropOn(w.GroupBoxDataSets, "text/plain"));

    // A key other than Enter forgets the drop: the leave creates nothing.
    frame->SetFieldText(root + "/k/JAV");
    field.DropNames();
    QVERIFY(field.DropRemembered());
    QTest::keyClick(frame->Edit, Qt::Key_Right);
    QVERIFY(!field.DropRemembered());
    f.dialogs.AnswerButton(kCancel);  // the question comes
    f.dialogs.AnswerCancel();
    frame->RunLeaveHandling();
    QVERIFY(!DirectoryExists(root + "/k/ProdSys"));
    frame->SetFieldText(root + "/k/JAV");
    field.DropNames();
    const size_t before = f.dialogs.Calls().size();
    QTest::keyClick(frame->Edit, Qt::Key_Return);
    QVERIFY(DirectoryExists(root + "/k/ProdSys"));
    QCOMPARE(f.dialogs.Calls().size(), before);
}

void OutputDirectoryTest::otherDragsAreRefused() {
    ShellFixture f;
    TfrmKorvaneMain& w = StartStandard(f);
    TFrameFindDirectory* frame = w.FrameFindDirectoryOutputDir;
    const std::string root = f.root();
    ForceDirectories(root + "/out");
    frame->SetFieldText(root + "/out");
    frame->SetModified(false);
    QMimeData text;
    text.setText(QStringLiteral("/dragged/text"));
    QMimeData names;
    names.setData(NamesDrag::kMimeType, "names");
    auto accepted = [](QWidget* target, QDropEvent&& e) {
        e.setAccepted(false);
        QCoreApplication::sendEvent(target, &e);
        return e.isAccepted();
    };
    const auto actions = Qt::CopyAction | Qt::MoveAction;
    for (QWidget* t : std::vector<QWidget*>{frame->Edit, frame, w.GroupBoxDataSets}) {
        const char* name = t->metaObject()->className();
        QVERIFY2(!accepted(t, QDragEnterEvent({5, 5}, actions, &text, Qt::LeftButton, Qt::NoModifier)), name);
        // Text dropped where the names drag entered: refused as well.
        QVERIFY2(accepted(t, QDragEnterEvent({5, 5}, Qt::CopyAction, &names, Qt::LeftButton, Qt::NoModifier)), name);
        QVERIFY2(!accepted(t, QDragMoveEvent({6, 6}, actions, &text, Qt::LeftButton, Qt::NoModifier)), name);
        QVERIFY2(!accepted(t, QDropEvent(QPointF(5, 5), actions, &text, Qt::LeftButton, Qt::NoModifier)), name);
        QCOMPARE(frame->FieldText(), root + "/out");
    }
    QVERIFY(!frame->Modified());

    // A folder from the desktop is still taken by the field.
    ForceDirectories(root + "/dropped");
    const korvane::testing::DropOutcome outcome =
        korvane::testing::SimulateDrop(frame->Edit, korvane::testing::LocalUrls({root + "/dropped"}));
    QVERIFY(outcome.enterAccepted && outcome.dropAccepted);
    QCOMPARE(frame->FieldText(), root + "/dropped");
}

KORVANE_QT_TEST(OutputDirectoryTest);

#include "output_directory_gui_test.moc"

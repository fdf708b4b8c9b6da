// The commands common to the check-lists, common roots, drawing, the copy
// library and the two options, through a real main window. The routines
// behind them have their own tests (ComputeCommonRoot, EntryTexts,
// CopyCheckedMembers, RemoveUncheckedEntries).

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/collections/collections_gui_test_support.h"
#include "shell/run/output_ownership.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {
namespace {

using Strings = std::vector<std::string>;

void Fill(CheckListBox* list, const Strings& paths, bool checked = true) {
    std::vector<CheckEntry> entries;
    for (const std::string& p : paths) entries.push_back({p, checked, true});
    list->checkList().assign(std::move(entries));
}

std::vector<bool> Marks(CheckListBox* list) {
    std::vector<bool> marks;
    for (const CheckEntry& e : list->checkList().entries()) marks.push_back(e.checked);
    return marks;
}

QAction* MenuAction(QMenu* menu, const char* name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

void ShowActive(Shell& s) {
    s.w().show();
    s.w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.w()));
}

}  // namespace

class CollectionsListsTest : public QObject {
    Q_OBJECT

private slots:
    void listCommandWithoutAFocusedListReports() {
        Shell s;
        ShowActive(s);
        Fill(s.w().CheckListBoxSelectedFiles, {"/s/a.cbl", "/s/b.cbl"}, false);
        s.w().EditProductName->setFocus();
        s.clearModified();
        // The command as the source tab's context menu runs it.
        QAction* selectAll = MenuAction(s.w().popupMenu("PopupMenuSelectedFiles"), "ActSelectAll");
        QVERIFY(selectAll);
        selectAll->trigger();
        QCOMPARE(Q(s.status()), QStringLiteral("Click on a checklistbox first to use this function!"));
        QCOMPARE(Marks(s.w().CheckListBoxSelectedFiles), (std::vector<bool>{false, false}));
        QVERIFY(!s.modified());

        // With the list focused (a right press focuses it) the same command acts on it.
        QTest::mousePress(s.w().CheckListBoxSelectedFiles->viewport(), Qt::RightButton);
        QTest::mouseRelease(s.w().CheckListBoxSelectedFiles->viewport(), Qt::RightButton);
        QCOMPARE(s.w().focusWidget(), static_cast<QWidget*>(s.w().CheckListBoxSelectedFiles));
        selectAll->trigger();
        QCOMPARE(Marks(s.w().CheckListBoxSelectedFiles), (std::vector<bool>{true, true}));
        QVERIFY(s.modified());

        // A double click reverses every mark; a click on a row's box toggles that row.
        CheckListBox* list = s.w().CheckListBoxSelectedFiles;
        list->checkList().setChecked(1, false);
        s.clearModified();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        QCOMPARE(Marks(list), (std::vector<bool>{false, true}));
        QVERIFY(s.modified());
        s.clearModified();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->checkBoxRect(0).center());
        QCOMPARE(Marks(list), (std::vector<bool>{true, true}));
        QVERIFY(s.modified());
    }

    void checkCommandsAndTheModifiedMark() {
        Shell s;
        CheckListBox* words = s.w().CheckListBoxControlTags;
        Fill(words, {"ONE", "TWO", "THREE"});
        words->checkList().setChecked(1, false);
        struct Case {
            ActionId action;
            std::vector<bool> marks;
            bool modified;
        };
        const Case cases[] = {
            {ActionId::ReverseSelect, {false, true, false}, true},
            {ActionId::UnselectAll, {false, false, false}, false},
            {ActionId::SelectAll, {true, true, true}, true},
        };
        for (const Case& c : cases) {
            s.clearModified();
            s.w().actions().execute(c.action, words);  // the sender decides the list
            QCOMPARE(Marks(words), c.marks);
            QCOMPARE(s.modified(), c.modified);
        }
    }

    void commonRootsDrawingAndExtents() {
        Shell s;
        ShowActive(s);
        CheckListBox* src = s.w().CheckListBoxSelectedFiles;
        // The source list draws the prefix also with an empty root.
        Fill(src, {"/a/x/f.cbl", "/b/y/g.cbl"});
        QCOMPARE(Q(s.c().ComputeAndShowCommonRoot(src)), QString());
        QCOMPARE(Q(s.drawn(src, 0)), QStringLiteral("..../a/x/f.cbl"));
        Fill(src, {"/src/app/a.cbl", "/src/app/b.cbl"});
        s.c().ComputeAndShowCommonRoot(src);
        QCOMPARE(Q(s.drawn(src, 1)), QStringLiteral("..../app/b.cbl"));
        const int widest = QFontMetrics(src->font()).horizontalAdvance(QStringLiteral("/src/app/a.cbl"));
        QVERIFY2(std::abs(src->horizontalExtent() - (widest + 20)) <= 2, qPrintable(QString::number(src->horizontalExtent())));
        QVERIFY(s.w().itemHeight() > 0);
        for (CheckListBox* list : {src, s.w().CheckListBoxCopyCollection})
            QCOMPARE(list->itemHeight(), s.w().itemHeight());

        // The other lists: a tab switch, a click in the list and the command
        // compute the root; the plain path is drawn while there is none.
        s.w().PageControlFileCollect->setCurrentWidget(s.w().TabSheetSelectedFiles);
        Fill(s.w().CheckListBoxCSVForRename, {"/r/csv/x/a.csv", "/r/csv/y/z/b.csv"});
        s.w().PageControlFileCollect->setCurrentWidget(s.w().TabSheetCSVForRename);
        QCOMPARE(s.w().PanelCSVForRename->text(), QStringLiteral("/r/csv"));
        QCOMPARE(Q(s.drawn(s.w().CheckListBoxCSVForRename, 0)), QStringLiteral("..../x/a.csv"));
        Fill(s.w().CheckListBoxCSVForRename, {"/r/csv/x/a.csv", "/q/b.csv"});
        QTest::mouseClick(s.w().CheckListBoxCSVForRename->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(s.w().PanelCSVForRename->text(), QString());
        QCOMPARE(Q(s.drawn(s.w().CheckListBoxCSVForRename, 1)), QStringLiteral("/r/csv/x/a.csv"));
        s.w().PageControlFileCollect->setCurrentWidget(s.w().TabSheetCopyCollection);
        Fill(s.w().CheckListBoxCopyCollection, {"/c/app/a.cpy", "/c/app/b.cpy"});
        s.w().actions().execute(ActionId::CalculateCommonRoot);
        QCOMPARE(s.w().PanelCopyCollection->text(), QStringLiteral("/c"));
        QCOMPARE(Q(s.drawn(s.w().CheckListBoxCopyCollection, 0)), QStringLiteral("..../app/a.cpy"));
        QCOMPARE(Q(s.c().rememberedSourceRoot()), QStringLiteral("/src"));  // only the source list's root
    }

    void removingUncheckedEntries() {
        Shell s;
        const std::string out = s.setOutputDirectory();
        const Strings cpy = s.files({"cpy/a.cpy", "cpy/b.cpy", "cpy/c.cpy"});
        s.dialogs().AnswerFiles(cpy);
        s.w().actions().execute(ActionId::AddCopies);
        const std::string lib = out + "/CopyLib/";
        QVERIFY(FileExists(lib + "a.cpy") && FileExists(lib + "b.cpy") && FileExists(lib + "c.cpy"));

        CheckListBox* copies = s.w().CheckListBoxCopyCollection;
        copies->checkList().setChecked(0, false);
        copies->checkList().setChecked(2, false);
        s.clearModified();
        s.w().actions().execute(ActionId::RemoveFiles, copies);
        QCOMPARE(s.entries(copies), (Strings{cpy[1]}));
        QVERIFY(!FileExists(lib + "a.cpy") && FileExists(lib + "b.cpy") && !FileExists(lib + "c.cpy"));
        QVERIFY(FileExists(cpy[0]));
        QVERIFY(s.modified());

        // Sources: no file is deleted; emptying the list empties the caption
        // but keeps the remembered root.
        const Strings src = s.files({"src/a.cbl"});
        s.dialogs().AnswerFiles(src);
        s.w().actions().execute(ActionId::Addfiles);
        const QString remembered = Q(s.c().rememberedSourceRoot());
        QVERIFY(!remembered.isEmpty());
        QCOMPARE(s.w().PanelCommonRoot->text(), remembered);
        CheckListBox* sources = s.w().CheckListBoxSelectedFiles;
        sources->checkList().setChecked(0, false);
        s.clearModified();
        s.w().actions().execute(ActionId::RemoveFiles, sources);
        QVERIFY(sources->checkList().empty());
        QVERIFY(FileExists(src[0]));
        QCOMPARE(s.w().PanelCommonRoot->text(), QString());
        QCOMPARE(Q(s.c().rememberedSourceRoot()), remembered);
        QVERIFY(s.modified());

        // Nothing unchecked: no change, not modified.
        s.clearModified();
        s.w().actions().execute(ActionId::RemoveFiles, copies);
        QVERIFY(!s.modified());
    }

    void copyLibraryRefresh() {
        Shell s;
        const std::string out = s.setOutputDirectory();
        const std::string lib = out + "/CopyLib/";
        const Strings cpy = s.files({"cpy/kept.cpy", "cpy/gone.cpy"});
        s.dialogs().AnswerFiles(cpy);
        s.w().actions().execute(ActionId::AddCopies);
        QCOMPARE(Q(ReadFileBytes(lib + "gone.cpy")), QStringLiteral("cpy/gone.cpy"));

        // A vanished member is unchecked by the refresh; the rest is copied.
        DeleteFile(cpy[1]);
        DeleteFile(lib + "kept.cpy");
        s.w().actions().execute(ActionId::RefreshCopyLib);
        CheckListBox* copies = s.w().CheckListBoxCopyCollection;
        QCOMPARE(Marks(copies), (std::vector<bool>{false, true}));
        QVERIFY(FileExists(lib + "kept.cpy"));

        // While another run holds the output directory, nothing is written there.
        DeleteFile(lib + "kept.cpy");
        FolderLock otherRun;
        QCOMPARE(otherRun.TryLock(ExcludeTrailingSep(out)), 0);
        s.w().actions().execute(ActionId::RefreshCopyLib);
        QCOMPARE(Q(s.status()), Q(Format(kOutputDirInUse, ExcludeTrailingSep(out).c_str())));
        QVERIFY(!FileExists(lib + "kept.cpy"));
    }

    void copyLibraryThatCannotBeWritten() {
        Shell s;
        const std::string out = s.setOutputDirectory();
        const Strings first = s.files({"one/a.cpy"});
        s.dialogs().AnswerFiles(first);
        s.w().actions().execute(ActionId::AddCopies);
        const QString rootBefore = s.w().PanelCopyCollection->text();

        // A file takes the library folder's place (which stops the super-user too).
        const std::string lib = out + "/CopyLib";
        DeleteFile(lib + "/a.cpy");
        QVERIFY(RemoveDir(lib));
        PutFile(lib, "in the way");
        const Strings more = s.files({"two/deeper/b.cpy"});
        s.clearModified();
        s.dialogs().AnswerFiles(more);
        s.w().actions().execute(ActionId::AddCopies);
        const std::string status = s.status();
        QVERIFY2(StartsWithStr("Error during preparation - ", status), status.c_str());
        QVERIFY2(status.find(" - ", std::string("Error during preparation - ").size()) != std::string::npos,
                 status.c_str());
        // The addition stays, its follow-up (root, modified mark) is not done.
        QCOMPARE(s.w().CheckListBoxCopyCollection->checkList().size(), size_t(2));
        QCOMPARE(s.w().PanelCopyCollection->text(), rootBefore);
        QVERIFY(!s.modified());
    }

    void optionsShowTheirTabsAndActions() {
        Shell s;
        ActionList& a = s.w().actions();
        QWidget* csvTab = s.w().TabSheetCSVForRename;
        QWidget* copyTab = s.w().TabSheetCopyCollection;
        QVERIFY(TfrmKorvaneMain::isTabVisible(s.w().PageControlFileCollect, csvTab));
        QVERIFY(a[ActionId::AddCSVFiles]->isVisible() && a[ActionId::AddCSVFiles]->isEnabled());
        Fill(s.w().CheckListBoxCSVForRename, {"/r/a.csv"});

        s.clearModified();
        s.w().CheckBoxRenameVariables->setChecked(false);
        QVERIFY(!TfrmKorvaneMain::isTabVisible(s.w().PageControlFileCollect, csvTab));
        QVERIFY(!a[ActionId::AddCSVFiles]->isVisible() && !a[ActionId::AddCSVFiles]->isEnabled());
        QCOMPARE(s.w().CheckListBoxCSVForRename->checkList().size(), size_t(1));  // the entries stay
        QVERIFY(s.modified());

        s.clearModified();
        s.w().CheckBoxCopyAdd->setChecked(false);
        QVERIFY(!TfrmKorvaneMain::isTabVisible(s.w().PageControlFileCollect, copyTab));
        QVERIFY(!a[ActionId::AddCopies]->isVisible() && !a[ActionId::AddCopies]->isEnabled());
        QVERIFY(!a[ActionId::AddDirectoriesToCopies]->isVisible());
        QVERIFY(s.modified());
        QVERIFY(s.w().BitBtnWM_DropAddCopies->isHidden());  // the tagged buttons follow

        // Set with no output directory: no library, nothing written.
        s.w().FrameFindDirectoryOutputDir->SetFieldText("");
        s.w().CheckBoxCopyAdd->setChecked(true);
        QCOMPARE(Q(s.c().copyLibraryFolder()), QString());
        QVERIFY(TfrmKorvaneMain::isTabVisible(s.w().PageControlFileCollect, copyTab));
        QVERIFY(a[ActionId::AddCopies]->isVisible() && a[ActionId::AddDirectoriesToCopies]->isVisible());

        // Set with one: the library is derived and created.
        s.w().CheckBoxCopyAdd->setChecked(false);
        const std::string out = s.setOutputDirectory();
        s.w().CheckBoxCopyAdd->setChecked(true);
        QCOMPARE(Q(s.c().copyLibraryFolder()), Q(out + "/CopyLib/"));
        QVERIFY(DirectoryExists(out + "/CopyLib"));
    }

    void newProjectEmptiesTheCsvListOnly() {
        Shell s;
        s.setOutputDirectory();
        const Strings src = s.files({"p/s/a.cbl"});
        s.dialogs().AnswerFiles(src);
        s.w().actions().execute(ActionId::Addfiles);
        const std::string remembered = s.c().rememberedSourceRoot();
        Fill(s.w().CheckListBoxCSVForRename, {"/r/x/a.csv"});
        s.c().ComputeAndShowCommonRoot(s.w().CheckListBoxCSVForRename);
        Fill(s.w().CheckListBoxCopyCollection, {"/c/x/a.cpy"});
        s.clearModified();
        s.w().actions().execute(ActionId::NewProject);
        QVERIFY(s.w().CheckListBoxSelectedFiles->checkList().empty());
        QVERIFY(s.w().CheckListBoxCSVForRename->checkList().empty());
        QCOMPARE(s.w().PanelCSVForRename->text(), QString());
        QCOMPARE(s.w().CheckListBoxCopyCollection->checkList().size(), size_t(1));
        QCOMPARE(Q(s.c().rememberedSourceRoot()), Q(remembered));
    }
};

KORVANE_QT_TEST(CollectionsListsTest);

}  // namespace korvane::testing

#include "collections_lists_gui_test.moc"

// Additions to the collection lists through a real main window: which
// dialog, folder browser or drop target feeds which list, and what follows
// an addition (root, modified mark, copy library, reports). The routines
// behind them have their own tests: the folder search (CollectFilesTest:
// hidden entries, links, unreadable folders), the filters (SourceFilter) and
// the merges (AppendNewPaths, MergeFoundFiles).

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/collections/collections_gui_test_support.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

namespace korvane::testing {
namespace {

using Strings = std::vector<std::string>;

void Drop(QWidget* target, const Strings& paths) { SimulateDrop(target, LocalUrls(paths)); }

// The entries as paths relative to the data folder, "-" marking unchecked ones.
Strings Relative(Shell& s, CheckListBox* list) {
    Strings out;
    const std::string base = s.data("");
    for (std::string e : s.entries(list)) {
        const bool unchecked = !e.empty() && e[0] == '-';
        if (unchecked) e.erase(0, 1);
        if (StartsWithStr(base, e)) e.erase(0, base.size());
        out.push_back((unchecked ? "-" : "") + e);
    }
    return out;
}

}  // namespace

class CollectionsAdditionsTest : public QObject {
    Q_OBJECT

private slots:
    void addSourceFilesThroughTheDialog() {
        Shell s;
        s.setOutputDirectory();
        const Strings f = s.files({"p/app/a.cbl", "p/app/A.cbl"});
        s.dialogs().AnswerFiles({f[0]});
        s.w().actions().execute(ActionId::Addfiles);

        QCOMPARE(s.dialogs().Calls().size(), size_t(1));
        const FileDialogOptions& o = s.dialogs().Calls()[0].file;
        QCOMPARE(Q(o.title), QStringLiteral("Add files to process to the project"));
        QCOMPARE(Q(o.filter), QStringLiteral("Cobol sources (*.cbl;*.cob)|*.cbl;*.cob"));
        QCOMPARE(Q(o.initialDir), QString());  // no root remembered yet
        QVERIFY(o.multiSelect && o.mustExist);
        QVERIFY(o.fileName.empty() && o.defaultExt.empty());
        QCOMPARE(Relative(s, s.w().CheckListBoxSelectedFiles), (Strings{"p/app/a.cbl"}));
        QVERIFY(s.modified());
        const std::string root = s.data("p");
        QCOMPARE(Q(s.c().rememberedSourceRoot()), Q(root));
        QCOMPARE(S(s.w().PanelCommonRoot->text()), root);

        // The next dialog starts at the root; a listed path keeps its mark.
        s.w().CheckListBoxSelectedFiles->checkList().setChecked(0, false);
        s.clearModified();
        s.dialogs().ClearCalls();
        s.dialogs().AnswerFiles({f[0], f[1]});
        s.w().actions().execute(ActionId::Addfiles);
        QCOMPARE(Q(s.dialogs().Calls()[0].file.initialDir), Q(root));
        QCOMPARE(Relative(s, s.w().CheckListBoxSelectedFiles), (Strings{"-p/app/a.cbl", "p/app/A.cbl"}));
        QVERIFY(s.modified());

        // Only listed files: no change, no follow-up; cancelled: nothing.
        s.clearModified();
        s.dialogs().AnswerFiles({f[0]});
        s.w().actions().execute(ActionId::Addfiles);
        s.dialogs().AnswerCancel();
        s.w().actions().execute(ActionId::Addfiles);
        QVERIFY(!s.modified());
        QCOMPARE(s.w().CheckListBoxSelectedFiles->checkList().size(), size_t(2));
        QCOMPARE(s.dialogs().PendingAnswers(), size_t(0));
    }

    void addSourceFilesNeedsTheOutputDirectory() {
        Shell s;
        s.w().FrameFindDirectoryOutputDir->SetFieldText("");
        s.w().PageControlFileCollect->setCurrentWidget(s.w().TabSheetCopyCollection);
        s.w().actions().execute(ActionId::Addfiles);
        QVERIFY(s.dialogs().Calls().empty());
        QCOMPARE(Q(s.status()), QStringLiteral("You should specify the output directory first"));
        QCOMPARE(s.w().PageControlFileCollect->currentWidget(), s.w().TabSheetSelectedFiles);
        QVERIFY(s.w().CheckListBoxSelectedFiles->checkList().empty());
    }

    void addDirectoriesThroughTheBrowser() {
        ShellOptions o;
        o.bigDirectoryLimit = 2;
        Shell s(o);
        s.files({"tree/a.cbl", "tree/sub/b.cob", "tree/sub/deep/c.cbl", "tree/d.txt"});
        const std::string before = GetCurrentDir();
        // The browser may move the current directory; the action puts it back.
        s.dialogs().probe = [&] { SetCurrentDir(s.dir().path()); };
        s.dialogs().AnswerPath(s.data("tree"));
        s.w().actions().execute(ActionId::AddDirectoriesToSources);
        s.dialogs().probe = nullptr;

        QCOMPARE(Q(GetCurrentDir()), Q(before));
        QCOMPARE(s.dialogs().Calls().size(), size_t(1));  // no file-count question on this path
        QCOMPARE(Q(s.dialogs().Calls()[0].text), QStringLiteral("Select a folder containing files to add to the project"));
        QCOMPARE(Q(s.dialogs().Calls()[0].root), QString());  // the whole desktop
        QCOMPARE(Relative(s, s.w().CheckListBoxSelectedFiles),
                 (Strings{"tree/a.cbl", "tree/sub/b.cob", "tree/sub/deep/c.cbl"}));
        QVERIFY(s.modified());

        s.dialogs().ClearCalls();
        s.dialogs().AnswerCancel();
        s.w().actions().execute(ActionId::AddDirectoriesToSources);
        QCOMPARE(Q(s.dialogs().Calls()[0].root), Q(s.c().rememberedSourceRoot()));
        QCOMPARE(Q(s.c().rememberedSourceRoot()), Q(s.data("tree")));
    }

    void bigDirectoryLimitExactlyAndOneMoreAndFoldersDroppedAgain() {
        ShellOptions o;
        o.bigDirectoryLimit = 5;
        Shell s(o);
        s.files({"five/1.cbl", "five/2.cbl", "five/3.cbl", "five/4.cbl", "five/sub/5.cbl"});
        s.files({"six/1.cbl", "six/2.cbl", "six/3.cbl", "six/4.cbl", "six/5.cbl", "six/6.cbl", "after.cbl"});
        CheckList& list = s.w().CheckListBoxSelectedFiles->checkList();

        Drop(s.w().SpeedButtonAddFiles, {s.data("five")});
        QVERIFY(s.messages().empty());
        QCOMPARE(list.size(), size_t(5));

        // One more: the question; Cancel leaves the list and skips the rest
        // of the drop.
        s.clearModified();
        s.dialogs().AnswerButton(kCancel);
        Drop(s.w().SpeedButtonAddFiles, {s.data("six"), s.data("after.cbl")});
        QCOMPARE(s.dialogs().Calls().size(), size_t(1));
        QCOMPARE(int(s.dialogs().Calls()[0].kind), int(MsgKind::Warning));
        QCOMPARE(s.dialogs().Calls()[0].buttons, unsigned(kOk | kCancel));
        QCOMPARE(Q(s.dialogs().Calls()[0].text),
                 QStringLiteral("You are going to add 6 source files\r\nDo you really want to proceed?"));
        QCOMPARE(Q(s.status()), QStringLiteral("Cancelled due to too many files in directory"));
        QCOMPARE(list.size(), size_t(5));
        QVERIFY(!s.modified());
        QVERIFY(s.c().cancelRequested());  // set again when the routine ends

        s.dialogs().AnswerButton(kOk);
        Drop(s.w().SpeedButtonAddFiles, {s.data("six"), s.data("after.cbl")});
        QCOMPARE(list.size(), size_t(12));
        QVERIFY(s.modified());

        // A folder dropped again checks its files without changing the count
        // (after.cbl comes first).
        list.setChecked(1, false);
        list.setChecked(3, false);
        s.clearModified();
        Drop(s.w().GroupBoxSelectedFiles, {s.data("five")});
        QCOMPARE(list.size(), size_t(12));
        QCOMPARE(list.checkedCount(), 12);
        QVERIFY(!s.modified());
        QVERIFY(list.sorted());
    }

    void namesWithLineBreaksNeverEnterACollection() {
        Shell s;
        s.setOutputDirectory();
        const Strings f = s.files({"lb/src/a&b.cbl", "lb/src/b\nc.cbl", "lb/src/q\"uo'te.cbl", "lb/src/sp ace.cbl",
                                   "lb/src/\xC3\xBCn\xC3\xAF.cbl", "lb/src/car\rret.cbl", "lb/csv/r.csv",
                                   "lb/csv/s\r.csv", "lb/cpy/m.cpy", "lb/cpy/n\r\no.cpy", "lb/cpy/sub/p\n.cpy",
                                   "lb/more/q.cpy", "lb/more/r\n.cpy"});
        CheckListBox* sources = s.w().CheckListBoxSelectedFiles;
        const Strings kept = {"lb/src/a&b.cbl", "lb/src/q\"uo'te.cbl", "lb/src/sp ace.cbl",
                              "lb/src/\xC3\xBCn\xC3\xAF.cbl"};
        struct Case {
            const char* what;
            std::function<void()> add;
            CheckListBox* list;
            Strings expected;
            int skipped;
            bool changes;
        } cases[] = {
            {"single files dropped", [&] { Drop(s.w().SpeedButtonAddFiles, {f[0], f[1], f[2], f[3], f[4], f[5]}); },
             sources, kept, 2, true},
            {"source dialog",
             [&] {
                 s.dialogs().AnswerFiles({f[1], f[0]});
                 s.w().actions().execute(ActionId::Addfiles);
             },
             sources, kept, 1, false},
            {"source folder browser",
             [&] {
                 s.dialogs().AnswerPath(s.data("lb/src"));
                 s.w().actions().execute(ActionId::AddDirectoriesToSources);
             },
             sources, kept, 2, false},
            {"CSV dialog",
             [&] {
                 s.dialogs().AnswerFiles({f[6], f[7]});
                 s.w().actions().execute(ActionId::AddCSVFiles);
             },
             s.w().CheckListBoxCSVForRename, {"lb/csv/r.csv"}, 1, true},
            {"copy folder browser",
             [&] {
                 s.dialogs().AnswerPath(s.data("lb/cpy"));
                 s.w().actions().execute(ActionId::AddDirectoriesToCopies);
             },
             s.w().CheckListBoxCopyCollection, {"lb/cpy/m.cpy"}, 2, true},
            // A single file and two folders merged: one report, all counted.
            {"copy drop",
             [&] { Drop(s.w().PanelWM_DropCopyCollection, {f[10], s.data("lb/cpy"), s.data("lb/more")}); },
             s.w().CheckListBoxCopyCollection, {"lb/cpy/m.cpy", "lb/more/q.cpy"}, 4, true},
        };
        for (const Case& c : cases) {
            s.clearModified();
            s.w().statusBar().ClearMessages();
            c.add();
            QVERIFY2(Relative(s, c.list) == c.expected, c.what);
            QVERIFY2(s.status() == std::to_string(c.skipped) + " file name(s) with a line break skipped",
                     (std::string(c.what) + ": " + s.status()).c_str());
            QVERIFY2(s.modified() == c.changes, c.what);
        }
        QVERIFY(s.messages().empty());
        // The other names are drawn whole after the root.
        for (int row = 0; row < int(kept.size()); ++row)
            QCOMPARE(Q(s.drawn(sources, row)), Q("..../" + kept[size_t(row)].substr(3)));
        // A drop without such names says nothing.
        s.w().statusBar().ClearMessages();
        Drop(s.w().SpeedButtonAddFiles, {f[0]});
        QCOMPARE(Q(s.status()), QString());
    }

    void everyDropTargetFeedsItsList_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("kind");  // 0 sources, 1 CSV, 2 copies
        QTest::newRow("SpeedButtonAddFiles") << "SpeedButtonAddFiles" << 0;
        QTest::newRow("SpeedButtonAdddManyFiles") << "SpeedButtonAdddManyFiles" << 0;
        QTest::newRow("GroupBoxSelectedFiles") << "GroupBoxSelectedFiles" << 0;
        QTest::newRow("BitBtnWM_DropCSVForRename") << "BitBtnWM_DropCSVForRename" << 1;
        QTest::newRow("PanelWM_DropCSVForRename") << "PanelWM_DropCSVForRename" << 1;
        QTest::newRow("BitBtnWM_DropAddCopies") << "BitBtnWM_DropAddCopies" << 2;
        QTest::newRow("PanelWM_DropCopyCollection") << "PanelWM_DropCopyCollection" << 2;
        QTest::newRow("BitBtnWM_DropAddManyCopies") << "BitBtnWM_DropAddManyCopies" << 2;
    }
    void everyDropTargetFeedsItsList() {
        QFETCH(QString, target);
        QFETCH(int, kind);
        Shell s;
        s.setOutputDirectory();
        QVERIFY(s.w().CheckBoxCopyAdd->isChecked());
        QVERIFY(s.w().CheckBoxRenameVariables->isChecked());
        auto* widget = s.w().findChild<QWidget*>(target);
        QVERIFY(widget);
        CheckListBox* lists[] = {s.w().CheckListBoxSelectedFiles, s.w().CheckListBoxCSVForRename,
                                 s.w().CheckListBoxCopyCollection};
        QWidget* tabs[] = {s.w().TabSheetSelectedFiles, s.w().TabSheetCSVForRename, s.w().TabSheetCopyCollection};
        const Strings skipped = s.files({"only/x.txt", "only/noext"});
        const Strings files = s.files({"in/a.cbl", "in/b.csv", "in/c.cpy"});

        // Even a drop whose files are all skipped switches to the list's tab.
        s.w().PageControlMain->setCurrentWidget(s.w().TabSheetTech);
        s.w().PageControlFileCollect->setCurrentWidget(tabs[(kind + 1) % 3]);
        QVERIFY(SimulateDrop(widget, LocalUrls(skipped)).dropAccepted);
        QCOMPARE(s.w().PageControlMain->currentWidget(), s.w().TabSheetNames);
        QCOMPARE(s.w().PageControlFileCollect->currentWidget(), tabs[kind]);
        QVERIFY(!s.modified());

        Drop(widget, files);
        for (int k = 0; k < 3; ++k) QCOMPARE(lists[k]->checkList().size(), size_t(k == kind ? 1 : 0));
        QCOMPARE(lists[kind]->checkList().text(0), files[size_t(kind)]);
        QVERIFY(s.modified());
        if (kind == 2) QVERIFY(FileExists(s.dir() / "out/CopyLib/c.cpy"));
    }

    void csvDropsAndDialog() {
        Shell s;
        s.files({"csv/a.csv", "csv/sub/b.CSV", "csv/c.cbl", "csv/d.txt"});
        const Strings single = s.files({"loose/e.CSV", "loose/f.cbl"});
        Drop(s.w().PanelWM_DropCSVForRename, {single[0], s.data("csv"), single[1]});
        QCOMPARE(Relative(s, s.w().CheckListBoxCSVForRename), (Strings{"csv/a.csv", "csv/sub/b.CSV", "loose/e.CSV"}));
        QCOMPARE(S(s.w().PanelCSVForRename->text()), ExcludeTrailingSep(s.data("")));
        QVERIFY(s.w().CheckListBoxSelectedFiles->checkList().empty());

        // The dialog needs no output directory.
        s.w().FrameFindDirectoryOutputDir->SetFieldText("");
        const Strings more = s.files({"more/g.csv"});
        s.dialogs().AnswerFiles({more[0], single[0]});
        s.w().actions().execute(ActionId::AddCSVFiles);
        QCOMPARE(s.dialogs().Calls().size(), size_t(1));
        const FileDialogOptions& o = s.dialogs().Calls()[0].file;
        QCOMPARE(Q(o.title), QStringLiteral("Add files conatining variable rename directives"));
        QCOMPARE(Q(o.filter), QStringLiteral("CSV Files (*.csv)|*.csv"));
        QCOMPARE(Q(o.initialDir), Q(ExcludeTrailingSep(s.data(""))));
        QVERIFY(o.multiSelect && o.mustExist);
        QCOMPARE(s.w().CheckListBoxCSVForRename->checkList().size(), size_t(4));
    }

    void copyDialogBrowserAndEmptyCopyFilter() {
        {
            Shell s;
            s.setOutputDirectory();
            const Strings f = s.files({"cpy/a.cpy", "cpy/sub/b.cpy", "cpy/c.cbl"});
            s.dialogs().AnswerFiles({f[0]});
            s.w().actions().execute(ActionId::AddCopies);
            const FileDialogOptions& o = s.dialogs().Calls()[0].file;
            QCOMPARE(Q(o.title), QStringLiteral("Add copy members to be inserted into the programs"));
            QCOMPARE(Q(o.filter), QStringLiteral("Copy members (*.cpy)|*.cpy"));
            QCOMPARE(Q(o.initialDir), QString());
            QCOMPARE(Q(ReadFileBytes(s.dir() / "out/CopyLib/a.cpy")), QStringLiteral("cpy/a.cpy"));

            s.dialogs().ClearCalls();
            s.dialogs().AnswerPath(s.data("cpy"));
            s.w().actions().execute(ActionId::AddDirectoriesToCopies);
            QCOMPARE(Q(s.dialogs().Calls()[0].text),
                     QStringLiteral("Select a folder containing copy files to add to the copy library"));
            QCOMPARE(Q(s.dialogs().Calls()[0].root), Q(ExcludeTrailingSep(s.data(""))));
            QCOMPARE(Relative(s, s.w().CheckListBoxCopyCollection), (Strings{"cpy/a.cpy", "cpy/sub/b.cpy"}));
            QVERIFY(FileExists(s.dir() / "out/CopyLib/b.cpy"));
            QCOMPARE(S(s.w().PanelCopyCollection->text()), s.data("cpy"));
        }
        ShellOptions o;
        o.copyFilter = nullptr;
        Shell s(o);
        s.setOutputDirectory();
        const Strings f = s.files({"cpy/a.cpy", "cpy/noext"});
        Drop(s.w().PanelWM_DropCopyCollection, {s.data("cpy"), f[0], f[1]});
        QVERIFY(s.w().CheckListBoxCopyCollection->checkList().empty());
        s.dialogs().AnswerCancel();
        s.w().actions().execute(ActionId::AddCopies);
        QCOMPARE(Q(s.dialogs().Calls()[0].file.filter), QString());
    }

    void cancelDuringAMergeKeepsWhatWasMerged() {
        Shell s;
        s.files({"m/a.cbl", "m/b.cbl", "m/c.cbl", "m/d.cbl"});
        Drop(s.w().SpeedButtonAddFiles, {s.data("m")});
        s.files({"m/e.cbl"});
        s.clearModified();
        QString caption;
        bool groupShown = false;
        // Runs when the merge first lets the window process input.
        QTimer::singleShot(0, &s.w(), [&] {
            caption = s.w().GroupBoxSlider->title();
            groupShown = s.w().GroupBoxSlider->isVisible() || !s.w().GroupBoxSlider->isHidden();
            s.c().setCancelRequested(true);
        });
        Drop(s.w().SpeedButtonAddFiles, {s.data("m")});
        QCOMPARE(caption, QStringLiteral("Processing 2 of 9"));
        QVERIFY(groupShown);
        QCOMPARE(Q(s.status()), QStringLiteral("Process aborted!"));
        // e was compared with d and the walk stopped: nothing merged.
        QCOMPARE(s.w().CheckListBoxSelectedFiles->checkList().size(), size_t(9));
        QVERIFY(s.modified());
        QVERIFY(s.c().cancelRequested());
        QVERIFY(s.w().GroupBoxSlider->isHidden());
        QVERIFY(s.w().CheckListBoxSelectedFiles->checkList().sorted());
    }
};

KORVANE_QT_TEST(CollectionsAdditionsTest);

}  // namespace korvane::testing

#include "collections_additions_gui_test.moc"

// The scan run end to end as the built program does it: the window starts
// from <build>/bin/korvane, so the bundled tool settings
// (<build>/_Korvane.Src/Korvane.INI) and the tool tree laid out beside the
// program (COBVorl/cobscan = the reference scanner) are the ones in use. A
// Cobol 85 project over a few sources in a temporary folder is scanned; the
// control words found fill the list in the window, and an export of the
// scanner's word list holds the same words.

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "shared/cmdline.h"
#include "shared/platform/files.h"
#include "shell/ui/action_list.h"
#include "shell/app/startup_options.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_controller.h"
#include "shell/run/run_engine.h"
#include "shell/run/run_gui_test_support.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/word_list_controller.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

const char* kCustomers =
    "       IDENTIFICATION DIVISION.\r\n"
    "       PROGRAM-ID. CUSTRPT.\r\n"
    "       ENVIRONMENT DIVISION.\r\n"
    "       INPUT-OUTPUT SECTION.\r\n"
    "       FILE-CONTROL.\r\n"
    "           SELECT CUSTFILE ASSIGN TO \"CUST.DAT\".\r\n"
    "       DATA DIVISION.\r\n"
    "       FILE SECTION.\r\n"
    "       FD  CUSTFILE.\r\n"
    "       01  CUST-REC PIC X(80).\r\n"
    "       PROCEDURE DIVISION.\r\n"
    "      * A comment line: DELETE here is no statement.\r\n"
    "           OPEN INPUT CUSTFILE.\r\n"
    "           READ CUSTFILE AT END DISPLAY \"WRITE IN A LITERAL\".\r\n"
    "           CLOSE CUSTFILE.\r\n"
    "           STOP RUN.\r\n";

const char* kOrders =
    "       IDENTIFICATION DIVISION.\r\n"
    "       PROGRAM-ID. ORDUPD.\r\n"
    "       DATA DIVISION.\r\n"
    "       FILE SECTION.\r\n"
    "       fd  ORDRFILE.\r\n"
    "       01  ORDR-REC PIC X(40).\r\n"
    "       PROCEDURE DIVISION.\r\n"
    "           open i-o ORDRFILE.\r\n"
    "           read ORDRFILE.\r\n"
    "           write ORDR-REC.\r\n"
    "           rewrite ORDR-REC.          *> an inline comment: DELETE\r\n"
    "           close ORDRFILE.\r\n"
    "           goback.\r\n";

std::vector<std::string> Texts(const CheckList& list) {
    std::vector<std::string> texts;
    for (const CheckEntry& e : list.entries()) texts.push_back(e.text);
    return texts;
}

}  // namespace

class RunBundledScanTest : public QObject {
    Q_OBJECT
private slots:
    void cobolScanFillsTheControlWords();
};

void RunBundledScanTest::cobolScanFillsTheControlWords() {
    // The fixture gives the temporary folder and the per-user store; the
    // window itself is the built program's, with its own tool tree.
    ShellFixture f;
    const std::string program = std::string(KORVANE_BIN_DIR) + "/korvane";
    QVERIFY2(FileExists(std::string(KORVANE_BIN_DIR) + "/COBVorl/cobscan"), "the tool tree is not laid out");
    SetCommandLineArgs({});
    TfrmKorvaneMain w(f.dialogs, StartupInfo{program});
    w.FrameFindexecScanner->SetFieldText("");
    w.FrameFindexecFunctab->SetFieldText("");
    w.show();
    w.runFirstShow();
    std::vector<std::string> reports;
    w.statusBar().OnReport = [&](const char*, const std::string& text) { reports.push_back(text); };
    int runsEnded = 0;
    QObject::connect(w.run(), &RunEngine::runEnded, w.run(), [&] { ++runsEnded; });

    w.RadioButtonCOB_COB85->setChecked(true);
    QCOMPARE(w.project()->languagePrefix(), std::string("COB"));
    QCOMPARE(w.project()->dialect(), std::string("COB85"));
    QVERIFY(w.actions()[ActionId::StartScan]->isEnabled());
    QVERIFY(w.FrameFindexecScanner->ProgramPath().find("/COBVorl/cobscan") != std::string::npos);

    const std::string customers = f.writeFile("src/CUSTRPT.cbl", kCustomers);
    const std::string orders = f.writeFile("src/orders/ORDUPD.cbl", kOrders);
    const std::string out = f.root() + "/out";
    w.EditProductName->setText(QStringLiteral("Bank"));
    w.EditSystemName->setText(QStringLiteral("Ledger"));
    w.project()->SetProductName("Bank");
    w.project()->SetSystemName("Ledger");
    w.FrameFindDirectoryOutputDir->SetFieldText(out);
    w.CheckListBoxSelectedFiles->checkList().add(customers, true);
    w.CheckListBoxSelectedFiles->checkList().add(orders, true);
    // What the lists hold before the scan: a checked control word and object
    // stay, an unchecked word goes (only checked entries reach the scanner).
    CheckList& words = w.CheckListBoxControlTags->checkList();
    CheckList& objects = w.CheckListBoxObjects->checkList();
    words.add("CALL DBACCESS", true);
    words.add("SKIP OLDWORD", false);
    objects.add("MASTERF", true);

    w.actions().execute(ActionId::StartScan);
    QVERIFY(w.run()->BatchRunning());
    QVERIFY(RunFixture::waitFor([&] { return runsEnded == 1 && !w.run()->ToolActive(); }, 60000));
    QVERIFY(!w.busy());
    QVERIFY(ReadBytes(out + "/last.xml").find("  Version     = \"COB85\"\r\n") != std::string::npos);

    // The words found, in the order the sources name them, after those kept.
    const std::vector<std::string> expectedWords = {"CALL DBACCESS", "FUNC OPEN",  "INPT READ",
                                                    "FUNC CLOSE",    "OTPT WRITE", "OTPT REWRITE"};
    QCOMPARE(Texts(words), expectedWords);
    QCOMPARE(Texts(objects), (std::vector<std::string>{"MASTERF", "CUSTFILE", "ORDRFILE"}));
    QCOMPARE(words.checkedCount(), int(expectedWords.size()));
    QCOMPARE(objects.checkedCount(), 3);
    QCOMPARE(w.CheckListBoxControlTags->model()->rowCount(), int(expectedWords.size()));

    // What the scanner left for the shell, read into the lists.
    QCOMPARE(ReadBytes(out + "/functab.wrl"), std::string("0001 08 CALL DBACCESS\r\n"
                                              "0002 04 FUNC OPEN\r\n"
                                              "0003 04 INPT READ\r\n"
                                              "0004 05 FUNC CLOSE\r\n"
                                              "0005 05 OTPT WRITE\r\n"
                                              "0006 07 OTPT REWRITE\r\n"
                                              "0007 07 OBJT MASTERF\r\n"
                                              "0008 08 OBJT CUSTFILE\r\n"
                                              "0009 08 OBJT ORDRFILE\r\n"));
    // The user's sources are untouched.
    QCOMPARE(ReadBytes(customers), std::string(kCustomers));
    QCOMPARE(ReadBytes(orders), std::string(kOrders));

    w.project()->clearModifiedWithoutAsking();
}

KORVANE_QT_TEST(RunBundledScanTest);

#include "run_bundled_scan_gui_test.moc"

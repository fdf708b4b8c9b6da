#include "shell/wordlists/wordlists_gui_test_support.h"

#include <QTabWidget>
#include <QtTest>

#include "shared/platform/files.h"
#include "shell/ui/check_list.h"
#include "shell/ui/find_exec_frame.h"

namespace korvane::testing {

std::string FunctionTablePath(const ShellFixture& f) { return f.binDir() + "/JAVVorl/FUNCTAB.JAV"; }

TfrmKorvaneMain& StartWordListShell(ShellFixture& f, const std::vector<std::string>& functab,
                                    const std::vector<std::string>& extra) {
    std::vector<std::string> lines = {"JAV.Scan=Y", "JAV.Functab=Y", "JAV.ObjectTypes=(INPT,OTPT)",
                                      "JAV.Scanner=scan"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    f.writeJavaSettings({}, lines);
    f.addProgram("JAVVorl/scan");
    WriteTextLines(FunctionTablePath(f), functab);
    return StartWithDefaultPickers(f);
}

TfrmKorvaneMain& StartWithDefaultPickers(ShellFixture& f) {
    TfrmKorvaneMain& w = f.start({}, false);
    w.FrameFindexecScanner->SetFieldText("");
    w.FrameFindexecFunctab->SetFieldText("");
    w.runFirstShow();
    return w;
}

void ShowWordPage(TfrmKorvaneMain& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.PageControlMain->setCurrentWidget(w.TabSheetWordScan);
    w.PageControlWordLists->setCurrentWidget(w.TabSheetControlWords);
    QCoreApplication::processEvents();
}

std::vector<std::string> Texts(const CheckList& list) {
    std::vector<std::string> r;
    for (const CheckEntry& e : list.entries()) r.push_back(e.text);
    return r;
}

std::vector<bool> Marks(const CheckList& list) {
    std::vector<bool> r;
    for (const CheckEntry& e : list.entries()) r.push_back(e.checked);
    return r;
}

}  // namespace korvane::testing

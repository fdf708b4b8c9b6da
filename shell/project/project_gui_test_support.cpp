#include "shell/project/project_gui_test_support.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QtTest>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/ui/action_list.h"
#include "shell/ui/my_status_bar.h"

namespace korvane::project_test {

void WriteStandardSettings(ShellFixture& f) {
    f.writeSettings({"[Languages]", "DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.Copy=jcp",
                     "JAV.Filter=Java sources (*.java)|*.java", "JAV.Step01=Realign,realign,J1",
                     "JAV.Step02=Refine,refine,J2", "JAV.Step03=RelocateDB,reldb,J3", "COB_COB85=Y",
                     "COB=\"Cobol 85\",COB,\"\"", "COB.Copy=cpy", "COB.Filter=Cobol (*.cbl)|*.cbl",
                     "COB.Step01=Realign,realign,C1"});
    for (const char* p : {"JAVVorl/realign", "JAVVorl/refine", "JAVVorl/reldb", "COBVorl/realign"})
        f.addProgram(p);
}

TfrmKorvaneMain& StartStandard(ShellFixture& f, const std::vector<std::string>& args) {
    WriteStandardSettings(f);
    return f.start(args);
}

std::string Shown(TfrmKorvaneMain& w) { return Str(w.statusBar().shownText()); }

std::string MessageList(TfrmKorvaneMain& w) { return w.statusBar().messages().MessageList(); }

std::string WriteProject(ShellFixture& f, const std::string& relativePath,
                         const std::vector<std::string>& lines) {
    return f.writeFile(relativePath, JoinLinesCrLf(lines));
}

std::vector<std::string> ReadLines(const std::string& path) { return ReadTextLines(path); }

void Leave(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(widget, &out);
}

void Type(QWidget* edit, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(edit)) e->end(false);
    QTest::keyClicks(edit, text);
}

void OpenThroughAction(ShellFixture& f, const std::string& path) {
    f.dialogs.AnswerFiles({path});
    f.window().actions().execute(ActionId::OpenProject);
}

std::vector<std::string> JavaProjectHeader(const std::string& product, const std::string& system) {
    return {"StreamToIni.FileFormat=1",
            "[Properties]",
            "ProjectProductName=" + product,
            "ProjectSystemName=" + system,
            "BatchRunning=N",
            "ProjectVersion=JAV",
            "MaxDirDepth=100",
            "[Konyec szkazki]"};
}

}  // namespace korvane::project_test

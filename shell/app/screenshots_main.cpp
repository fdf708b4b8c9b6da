// korvane_screenshots: pictures of the window for the user guide.
//
//   KORVANE_SCREENSHOTS=docs/screenshots
//     xvfb-run -a -s "-screen 0 1280x1024x24" <build>/bin/korvane_screenshots
//
// Starts the window as the built program would (<build>/bin/korvane with the
// bundled tool settings <build>/_Korvane.Src/Korvane.INI), with the example
// Java project laid out under <temp>/korvane-demo, performs its run with the
// reference tools, and saves page-names.png, page-technical.png,
// page-viewer.png (the logs of the run open), changes-view.png (what the
// run changed, a repaired source beside its result, line-end changes hidden), page-macro-table.png (Cobol 85:
// Java has no macro table) and about.png into the folder named by
// $KORVANE_SCREENSHOTS (or the first argument). Settings and desktop files go
// to a temporary folder, never to the user's own.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "shared/cmdline.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/version_info.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/ui/about_box.h"
#include "shell/ui/action_list.h"
#include "shell/ui/scripted_dialogs.h"
#include "shell/viewer/changes_controller.h"
#include "shell/viewer/viewer_controller.h"

using namespace korvane;

namespace {

// The window opens at its design size on a screen large enough for it.
const QSize kDesignSize(1144, 747);

std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// Waits, handling events, until done() holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(20);
    }
    return true;
}

void Save(QWidget* w, const std::string& dir, const char* name) {
    QApplication::processEvents();
    QTest::qWait(200);
    const std::string path = JoinPath(dir, name);
    const QPixmap picture = w->grab();
    if (picture.size() != w->size()) {
        std::fprintf(stderr, "%s: picture %dx%d of a %dx%d window\n", name, picture.width(), picture.height(),
                     w->width(), w->height());
        std::exit(1);
    }
    if (!picture.save(QString::fromUtf8(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::printf("%s\n", path.c_str());
}

// The example project of the source tree, laid out as the build lays it out.
std::string LayOutExample(const std::string& demo) {
    namespace fs = std::filesystem;
    const std::string source = KORVANE_SOURCE_DIR "/examples/java";
    fs::remove_all(demo);
    fs::create_directories(demo + "/out");
    fs::copy(source + "/src", demo + "/src", fs::copy_options::recursive);
    std::string text = ReadFileBytes(source + "/JavaDemo.srd.in");
    text = ReplaceAll(text, "@EXAMPLE_DIR@", demo);
    text = ReplaceAll(text, "@TOOL_ROOT@", KORVANE_BIN_DIR);
    std::vector<std::string> lines = SplitLines(text);
    const std::string project = demo + "/JavaDemo.srd";
    WriteTextLines(project, lines);
    return project;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir = std::getenv("KORVANE_SCREENSHOTS") ? std::getenv("KORVANE_SCREENSHOTS") : "";
    if (argc > 1) outDir = argv[1];
    if (outDir.empty()) {
        std::fprintf(stderr, "usage: KORVANE_SCREENSHOTS=<folder> korvane_screenshots (or the folder as argument)\n");
        return 2;
    }
    outDir = ExpandFileName(outDir);
    ForceDirectories(outDir);

    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTemporaryDir home;
    for (const char* sub : {"config", "data", "home"}) QDir(home.path()).mkpath(QString::fromLatin1(sub));
    SetEnvVar("XDG_CONFIG_HOME", S(home.path() + "/config"));
    SetEnvVar("XDG_DATA_HOME", S(home.path() + "/data"));
    SetEnvVar("HOME", S(home.path() + "/home"));
    // Registered for this version already: no desktop registration.
    SetSettingsApplication("");
    SetSettingsSection("");
    WriteSettingString("ProgramVersion", VersionInfoString("FileVersion"));

    const std::string demo = S(QDir::tempPath()) + "/korvane-demo";
    const std::string project = LayOutExample(demo);
    SetCommandLineArgs({"-proj", project});

    ScriptedDialogs dialogs;
    auto w = std::make_unique<TfrmKorvaneMain>(dialogs, StartupInfo{KORVANE_BIN_DIR "/korvane"});
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    if (w->size() != kDesignSize) {
        std::fprintf(stderr, "the window opened at %dx%d, not at its design size %dx%d\n", w->width(),
                     w->height(), kDesignSize.width(), kDesignSize.height());
        return 1;
    }

    // Names and datasets, with the example project.
    w->PageControlMain->setCurrentWidget(w->TabSheetNames);
    Save(w.get(), outDir, "page-names.png");

    w->PageControlMain->setCurrentWidget(w->TabSheetTech);
    Save(w.get(), outDir, "page-technical.png");

    // The run, and its logs in the viewer.
    w->project()->clearModifiedWithoutAsking();
    w->actions().execute(ActionId::StartConversion);
    const bool ran = WaitFor([&] { return !w->busy() && w->viewer()->pageCount() > 0; }, 60000);
    if (!ran) {
        std::fprintf(stderr, "the run did not end with its logs open\n");
        return 1;
    }
    w->PageControlEditor->setCurrentIndex(0);  // the product log
    Save(w.get(), outDir, "page-viewer.png");

    // What the run changed: the first changed source beside its result.
    ChangesController& changes = *w->changes();
    if (!WaitFor([&] { return !changes.busy() && !changes.entries().empty(); }, 60000)) {
        std::fprintf(stderr, "the Changes page was not filled\n");
        return 1;
    }
    // The example's tools also turn LF into CR LF: those changes are hidden.
    w->PageControlMain->setCurrentWidget(w->TabSheetChanges);
    changes.hideLineEnds()->setChecked(true);
    if (!WaitFor([&] { return !changes.busy(); }, 60000)) return 1;
    Save(w.get(), outDir, "changes-view.png");

    // The macro table of Cobol 85, with a few control words.
    w->actions().execute(ActionId::CloseAllPages);
    w->project()->clearModifiedWithoutAsking();
    w->RadioButtonCOB_COB85->setChecked(true);
    const std::string wordList = demo + "/cobol-io.wrl";
    WriteTextLines(wordList, {"0001 04 INPT READ", "0002 05 OTPT WRITE", "0003 07 OTPT REWRITE",
                              "0004 04 FUNC OPEN", "0005 05 FUNC CLOSE", "0006 08 OBJT CUSTFILE",
                              "0007 08 OBJT ORDRFILE"});
    dialogs.AnswerPath(wordList);
    w->actions().execute(ActionId::LoadWordList);
    w->RichEditCTLWords->setPlainText(QStringLiteral(
        "       PROCEDURE DIVISION.\n"
        "           OPEN INPUT CUSTFILE OUTPUT ORDRFILE.\n"
        "           READ CUSTFILE AT END MOVE 'Y' TO WS-EOF.\n"
        "           WRITE ORDR-REC.\n"
        "           CLOSE CUSTFILE ORDRFILE.\n"));
    w->PageControlMain->setCurrentWidget(w->TabSheetWordScan);
    Save(w.get(), outDir, "page-macro-table.png");

    // The about box as "About the program" fills it.
    TAboutBoxDlg* box = w->viewer()->aboutBox();
    box->MemoContent = "Tool root directory : \r\n" + w->toolRoot();
    std::unique_ptr<TfrmAbout> about = box->CreateForm(w.get());
    about->show();
    if (!QTest::qWaitForWindowExposed(about.get())) return 1;
    Save(about.get(), outDir, "about.png");
    about.reset();

    w->project()->clearModifiedWithoutAsking();
    w.reset();
    return 0;
}

// Driver of viewer.bench.sh: the internal viewer opening a large file.
//
//   viewer_bench FILE   builds the viewer's controls in a shown window
//                       (offscreen): the page control with the names and
//                       viewer pages, the editor page control, the action
//                       list, status bar and editor picker; then times
//                       OpenInViewer(FILE) until its page shows its text
//                       (the read runs beside the window thread, which
//                       answers meanwhile). Prints "elapsed_ns N" and, as a
//                       check of the work, "blocks N note 0|1".

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "shared/platform/path.h"
#include "shell/ui/action_list.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/scripted_dialogs.h"
#include "shell/viewer/viewer_controller.h"

using namespace korvane;

namespace {

int Run(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string path = argv[1];

    QWidget window;
    window.resize(1000, 700);
    auto* layout = new QVBoxLayout(&window);
    auto* pages = new QTabWidget(&window);
    layout->addWidget(pages);
    auto* names = new QWidget;
    auto* viewerPage = new QWidget;
    pages->addTab(names, "Names");
    pages->addTab(viewerPage, "Internal viewer");
    auto* viewerLayout = new QVBoxLayout(viewerPage);
    auto* editorPages = new QTabWidget(viewerPage);
    viewerLayout->addWidget(editorPages);
    ScriptedDialogs dialogs;
    auto* editor = new TFrameFindexec(dialogs, names);
    ActionList actions(&window);
    auto* statusBar = new TMyStatusBar(&window, &dialogs);
    layout->addWidget(statusBar);

    ViewerView view;
    view.window = &window;
    view.PageControlMain = pages;
    view.TabSheetNames = names;
    view.TabSheetViewer = viewerPage;
    view.PageControlEditor = editorPages;
    view.FrameFindexecEditorGeneral = editor;
    ViewerHooks hooks;
    const std::string folder = ExtractFileDir(path);
    hooks.outputDirectory = [folder] { return folder; };
    hooks.systemName = [] { return std::string("SYS"); };
    hooks.sourceFilter = [] { return std::string(); };
    hooks.languagePrefix = [] { return std::string(); };
    hooks.toolRoot = [] { return std::string(); };
    ViewerController viewer(view, ShellServices{actions, *statusBar, dialogs}, std::move(hooks));
    window.show();
    QApplication::processEvents();

    const auto start = std::chrono::steady_clock::now();
    RunGuarded([&] { viewer.OpenInViewer(path); });
    QPlainTextEdit* memo = viewer.currentMemo();
    if (memo) {
        memo->viewport()->repaint();
        QApplication::processEvents();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;

    if (!memo || memo->document()->isEmpty()) {
        std::fprintf(stderr, "viewer_bench: no text shown for %s\n", path.c_str());
        return 1;
    }
    auto* note = viewer.page(viewer.pageCount() - 1)->findChild<QLabel*>();
    std::printf("elapsed_ns %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()));
    std::printf("blocks %d note %d\n", memo->blockCount(), note && !note->isHidden() ? 1 : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer_bench <file>\n");
        return 2;
    }
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "viewer_bench: %s\n", e.what());
        return 1;
    }
}

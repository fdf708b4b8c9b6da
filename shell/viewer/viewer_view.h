#pragma once
// The controls the internal viewer works with, and what it needs of the rest
// of the shell. The window builds the controls and fills the view; it also
// serves the hooks.

#include <functional>
#include <string>

class QAction;
class QTabWidget;
class QWidget;

namespace korvane {

class TFrameFindexec;

struct ViewerView {
    // The window: parent of the about box and the help, and of the viewer.
    QWidget* window = nullptr;
    std::string programPath;      // the running program (help)
    std::string installedDocDir;  // the installation's documentation folder (help)
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QWidget* TabSheetViewer = nullptr;
    QTabWidget* PageControlEditor = nullptr;
    TFrameFindexec* FrameFindexecEditorGeneral = nullptr;
    // "Show XML parameter file in a viewer tab" (Logs menu and the viewer's
    // context menu): a menu item of the window, not an action of the list.
    QAction* MenuShowXmlParameters = nullptr;
};

struct ViewerHooks {
    // The project's output directory and system name (the logs' places).
    std::function<std::string()> outputDirectory;
    std::function<std::string()> systemName;
    // The output directory as a run takes it (a relative field text taken
    // from the project's folder); empty when there is none. last.xml lies there.
    std::function<std::string()> runOutputDirectory;
    // The applied language's source filter and prefix (the open dialog).
    std::function<std::string()> sourceFilter;
    std::function<std::string()> languagePrefix;
    // Shown by the about box.
    std::function<std::string()> toolRoot;
};

}  // namespace korvane

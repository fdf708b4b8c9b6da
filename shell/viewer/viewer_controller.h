#pragma once
// The internal viewer: the page "Internal viewer" with one read-only text
// page per opened file, the product and console logs, the viewer font, the
// external editor, and the Help menu (contents and about box).

#include <QFont>
#include <QObject>

#include <string>

#include "shell/ui/shell_services.h"
#include "shell/viewer/viewer_view.h"

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace korvane {

class HelpContents;
class TAboutBoxDlg;
struct FontChoice;

class ViewerController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kOpenTitle = "Open a result file";
    static constexpr const char* kSearchCancelled = "File search cancelled";

    ViewerController(const ViewerView& view, ShellServices services, ViewerHooks hooks);
    ~ViewerController() override;

    // Opens the file as a new page at the end, replacing an open page of the
    // same caption. A missing file reports "File <path> doesn't exist"; one
    // that cannot be read ends the operation with Error("Cannot read <path>:
    // <reason>"). Of a file above kViewerShownBytes the page shows the last
    // part, with a note (a label named after the page followed by "Note").
    void OpenInViewer(const std::string& path);
    // Closes the current viewer page when the viewer page is the current
    // page of the window; gives whether a page was closed. The viewer tab is
    // shown exactly while pages are left.
    bool CloseViewerPage();
    // Closes every viewer page; the tab stays as it is.
    void CloseAllPages();

    // ActInternalViewer, ActViewProductLog / ActViewConsoleLog (the sender
    // tells them apart), ActSelectFont, ActViewNotepad, ActAbout.
    void ActInternalViewerExecute();
    void ActViewLogExecute(QObject* sender);
    void ActSelectFontExecute();
    void ActViewNotepadExecute();
    void ActAboutExecute();
    // "Show XML parameter file in a viewer tab": OpenInViewer on last.xml
    // of the output directory; without an output directory the error
    // "File last.xml doesn't exist".
    void ShowParameterFile();

    // Whether the two log views read the log into a page (the window); off,
    // they only report a log that is missing (the batch mode).
    void setLogsLoaded(bool on) { logsLoaded_ = on; }

    // The font of the viewer pages (and of those opened later).
    const QFont& viewerFont() const { return font_; }
    // The dialog's Apply button: the current page's text area only.
    void applyFontToCurrentPage(const FontChoice& font);
    // First show: the stored font, when one was chosen.
    void restoreFont();
    // A new project closes every page and hides the tab.
    void projectCleared();

    // Pages in order: the page widget, its caption, its text area.
    int pageCount() const;
    QWidget* page(int index) const;
    std::string pageCaption(int index) const;
    QPlainTextEdit* pageMemo(int index) const;
    QPlainTextEdit* currentMemo() const;

    TAboutBoxDlg* aboutBox() const { return AboutBoxDlg1; }
    HelpContents& help() { return *help_; }

private:
    void bindActions();
    void closePage(int index);
    void showViewerTab();
    void loadFile(QPlainTextEdit* memo, QLabel* note, const std::string& path);

    ViewerView v_;
    ShellServices s_;
    ViewerHooks hooks_;
    TAboutBoxDlg* AboutBoxDlg1 = nullptr;
    HelpContents* help_ = nullptr;
    QFont font_;
    int fontCharSet_ = 0;
    int pageCounter_ = 0;
    bool logsLoaded_ = true;
};

}  // namespace korvane

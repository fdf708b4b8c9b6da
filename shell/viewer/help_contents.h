#pragma once
// "&Contents" of the Help menu: the contents page of the program's help.
//
// A "KORVANE.HLP" beside the program is opened by the desktop when it can
// open it. Otherwise the user guide installed beside the program
// (KORVANE-help/index.html; installed: <prefix>/share/doc/korvane/html/
// index.html) opens in the desktop's browser, or, when the
// desktop cannot open it, in a help window of the program itself.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <string>

class QWidget;

namespace korvane {

class Reporter;

inline constexpr const char* kHelpFile = "KORVANE.HLP";
inline constexpr const char* kHelpGuideFolder = "KORVANE-help";
inline constexpr const char* kHelpGuidePage = "index.html";

class HelpContents : public QObject {
    Q_OBJECT
public:
    // programPath: the running program; the help lies beside it, or in
    // installedDocDir (the installation's documentation folder).
    HelpContents(std::string programPath, std::string installedDocDir, QWidget* window);

    // Opens the contents page; reports "Cannot find help - <guide>" when
    // there is no help at all.
    void ShowContents(Reporter& reporter);

    // How a document is handed to the desktop (OpenWithDesktop for files by
    // default); false when the desktop cannot open it.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }

    std::string hlpFilePath() const;
    std::string guidePath() const;
    // The program's own help window, once it has been needed.
    QDialog* helpWindow() const { return helpWindow_; }

private:
    void showHelpWindow(const QUrl& page);

    std::string programPath_;
    std::string installedDocDir_;
    QWidget* window_;
    std::function<bool(const QUrl&)> opener_;
    QPointer<QDialog> helpWindow_;
};

}  // namespace korvane

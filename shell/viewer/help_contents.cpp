#include "shell/viewer/help_contents.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "shared/platform/desktop_open.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/ui/reporter.h"

namespace korvane {

HelpContents::HelpContents(std::string programPath, std::string installedDocDir, QWidget* window)
    : QObject(window),
      programPath_(std::move(programPath)),
      installedDocDir_(std::move(installedDocDir)),
      window_(window),
      opener_([](const QUrl& url) {
          // A local file goes to the desktop's opener, whose answer says
          // whether anything will show it.
          if (url.isLocalFile()) return OpenWithDesktop(url.toLocalFile().toUtf8().toStdString());
          return QDesktopServices::openUrl(url);
      }) {
    setObjectName("HelpContents");
}

std::string HelpContents::hlpFilePath() const { return JoinPath(ExtractFileDir(programPath_), kHelpFile); }

std::string HelpContents::guidePath() const {
    const std::string beside = JoinPath(JoinPath(ExtractFileDir(programPath_), kHelpGuideFolder), kHelpGuidePage);
    if (FileExists(beside)) return beside;
    // An installed program: <prefix>/share/doc/korvane/html/index.html.
    const std::string installed = JoinPath(JoinPath(installedDocDir_, "html"), kHelpGuidePage);
    return FileExists(installed) ? installed : beside;
}

void HelpContents::ShowContents(Reporter& reporter) {
    const std::string hlp = hlpFilePath();
    if (FileExists(hlp) && opener_(QUrl::fromLocalFile(QString::fromUtf8(hlp)))) return;
    const std::string guide = guidePath();
    if (!FileExists(guide)) {
        reporter.ShowError("Cannot find help - " + guide, false);
        return;
    }
    const QUrl page = QUrl::fromLocalFile(QString::fromUtf8(guide));
    if (opener_(page)) return;
    showHelpWindow(page);
}

void HelpContents::showHelpWindow(const QUrl& page) {
    if (!helpWindow_) {
        auto* dlg = new QDialog(window_);
        dlg->setObjectName("HelpWindow");
        dlg->setWindowTitle(QStringLiteral("Korvane - Help"));
        dlg->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* layout = new QVBoxLayout(dlg);
        auto* browser = new QTextBrowser(dlg);
        browser->setObjectName("HelpBrowser");
        browser->setOpenExternalLinks(true);
        layout->addWidget(browser);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
        connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::close);
        layout->addWidget(buttons);
        dlg->resize(820, 640);
        helpWindow_ = dlg;
    }
    auto* browser = helpWindow_->findChild<QTextBrowser*>("HelpBrowser");
    browser->setSource(page);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

}  // namespace korvane

#pragma once
// The about box. TAboutBoxDlg keeps three texts and, on Execute, builds a
// TfrmAbout window, fills it from the program's version information and
// file time, shows it modally and frees it.

#include <QDateTime>
#include <QDialog>
#include <QLocale>
#include <QObject>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

namespace korvane {

// The build time as the box shows it: "yyyy mmmm dd,dddd hh:mm:ss" with the
// month and weekday names of the locale and a 24-hour clock.
QString FormatBuildTime(const QLocale& locale, const QDateTime& time);

// Where the box reads the version values and the build time; the defaults
// are VersionInfoString and ProgramFileTime (-1: unknown).
struct AboutSources {
    std::function<std::string(const std::string& valueName)> versionString;
    std::function<std::time_t()> buildTime;
    QLocale locale = QLocale::system();
    static AboutSources Program();
};

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QFrame* pnlPgmTitle = nullptr;
    QLabel* lblPgmTitle = nullptr;
    QFrame* pnlTalmek = nullptr;
    QLabel* lblCreatedBy = nullptr;
    QLabel* imgTalmek = nullptr;
    QLabel* lblTalmek = nullptr;
    QLabel* lblFileDesc = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblProdver = nullptr;
    QLabel* lblFileVer = nullptr;
    QLabel* lblBuildDateTime = nullptr;
    QPushButton* btnOK = nullptr;
    QTextEdit* Memo1 = nullptr;

    // Fills the title and the information labels. Without version
    // information the labels keep their design texts.
    void FillVersionInfo(const AboutSources& sources);
    // The free text: "" hides the memo; a leading "@" selects left alignment
    // and is not shown; every line takes 19 pixels of the memo's height.
    void SetMemoContent(const std::string& content);
    // Places the controls one below the other and sizes the window to them.
    void ArrangeControls();
    // The centring done when the window is shown.
    void CentreControls();

    static constexpr int kInfoLabelWidth = 309;
    static constexpr int kMemoLineHeight = 19;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int memoLines_ = 0;
};

class TAboutBoxDlg : public QObject {
    Q_OBJECT
public:
    explicit TAboutBoxDlg(QObject* parent = nullptr);

    // Replaces the title from the version information when not empty.
    std::string PgmTitle;
    // Free text shown at the foot; a leading "@" selects left alignment.
    std::string MemoContent;
    // The window caption when not empty.
    std::string Heading;

    // Where the values come from (the program's own by default).
    AboutSources Sources;

    // Builds and fills the window without showing it.
    std::unique_ptr<TfrmAbout> CreateForm(QWidget* parent = nullptr) const;
    // Shows the box modally; the window is freed when it closes.
    void Execute(QWidget* parent = nullptr);
};

}  // namespace korvane

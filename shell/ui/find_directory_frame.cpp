#include "shell/ui/find_directory_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <optional>

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/guard.h"
#include "shell/ui/null_reporter.h"

namespace korvane {

namespace {

// Keeps the process's current directory across a dialog or a drop.
class CurrentDirScope {
public:
    CurrentDirScope() : saved_(GetCurrentDir()) {}
    ~CurrentDirScope() {
        if (!saved_.empty()) SetCurrentDir(saved_);
    }
    CurrentDirScope(const CurrentDirScope&) = delete;
    CurrentDirScope& operator=(const CurrentDirScope&) = delete;

private:
    std::string saved_;
};

}  // namespace

TFrameFindDirectory::TFrameFindDirectory(Dialogs& dialogs, QWidget* parent, bool allowCreate)
    : PickerFrame(dialogs, parent), allowCreate_(allowCreate) {
    BuildControls(QStringLiteral("Find directory"), QString(), 337, 37, LabelCaption, Edit, SpeedButton);
    LabelCaption->setObjectName(QStringLiteral("LabelCaption"));
    Edit->setObjectName(QStringLiteral("Edit"));
    SpeedButton->setObjectName(QStringLiteral("SpeedButton"));
    connect(SpeedButton, &QToolButton::clicked, this, [this] { RunGuarded([this] { BrowseForDir(); }); });
}

Reporter& TFrameFindDirectory::Report() const {
    return statusBar_ ? *statusBar_ : NullReporter::Instance();
}

void TFrameFindDirectory::RegisterDropTarget(bool on) {
    registered_ = on;
    setAcceptDrops(on);
}

std::string TFrameFindDirectory::BrowseStartFolder(const std::string& fieldText) {
    std::string start = fieldText;
    while (start.size() >= 3 && !DirectoryExists(start)) {
        std::string parent = ExtractFileDir(ExcludeTrailingSep(start));
        if (parent == start) break;
        start = std::move(parent);
    }
    if (start.size() <= 2) start = PersonalFolder();
    return start;
}

void TFrameFindDirectory::BrowseForDir() {
    FieldColourScope colour(Edit, FieldColour::Browsing, FieldColour::Window);
    const std::string text = FieldText();
    std::optional<std::string> chosen;
    {
        CurrentDirScope keepDir;
        chosen = dialogs_.ChooseFolder(LabelCaption->text().toUtf8().toStdString(), BrowseStartFolder(text),
                                       allowCreate_);
    }
    if (!chosen) {
        Report().ShowError("Directorry selection cancelled ", true);
        throw SilentAbort{};
    }
    if (*chosen != text) {
        SetFieldText(*chosen);
        WriteSettingString("LastSelectedDir", *chosen);
        if (OnDirectoryChosen) OnDirectoryChosen(this);
    }
    Report().ShowError("", true);
}

void TFrameFindDirectory::EditExit() {
    if (!Modified()) return;
    if (OnBeforeCheck) OnBeforeCheck(this);
    const std::string text = FieldText();
    if (!DirectoryExists(text)) {
        Report().ShowError(LabelCaption->text().toUtf8().toStdString() + " - " + text + " doesn't exist", true);
        BrowseForDir();
    }
}

void TFrameFindDirectory::DropFiles(const std::vector<std::string>& names) {
    if (names.size() != 1) return;
    std::string folder = names.front();
    if (!DirectoryExists(folder)) folder = ExtractFileDir(folder);
    if (folder.empty() || !DirectoryExists(folder)) return;
    if (IncludeTrailingSep(folder) == IncludeTrailingSep(FieldText())) return;
    CurrentDirScope keepDir;
    folder = folder.size() > 1 ? ExcludeTrailingSep(folder) : folder;
    SetFieldText(folder);
    WriteSettingString("LastSelectedDir", folder);
    if (OnDirectoryDropped) OnDirectoryDropped(this);
    if (OnDirectoryChosen) OnDirectoryChosen(this);
}

}  // namespace korvane

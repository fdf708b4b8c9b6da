#pragma once
// TFrameFindDirectory: the directory picker. A caption, a field holding a
// folder path and a button that opens the directory chooser. A changed field
// is checked when it is left; a folder (or a file, for its folder) dropped on
// the frame becomes the field's text.

#include <functional>
#include <string>
#include <vector>

#include "shell/ui/picker_frame.h"

namespace korvane {

class Reporter;

class TFrameFindDirectory : public PickerFrame {
    Q_OBJECT
public:
    // allowCreate: the directory chooser lets the user name a new folder,
    // asks before creating it and creates it.
    explicit TFrameFindDirectory(Dialogs& dialogs, QWidget* parent = nullptr, bool allowCreate = true);

    QLabel* LabelCaption = nullptr;
    QLineEdit* Edit = nullptr;
    QToolButton* SpeedButton = nullptr;

    // Where the picker reports; null drops its messages.
    void SetStatusBar(Reporter* statusBar) { statusBar_ = statusBar; }
    Reporter* StatusBar() const { return statusBar_; }

    bool AllowCreate() const { return allowCreate_; }

    // A browse or a drop has put a new folder into the field.
    std::function<void(QObject* sender)> OnDirectoryChosen;
    // The field was changed and is about to be checked.
    std::function<void(QObject* sender)> OnBeforeCheck;
    // A drop has put a new folder into the field (raised before OnDirectoryChosen).
    std::function<void(QObject* sender)> OnDirectoryDropped;

    // Opens the directory chooser. Cancelling reports it and ends the
    // operation (throws SilentAbort).
    void BrowseForDir();
    // The field's leave check: runs only for a changed field.
    void EditExit() override;
    // A shell drop of these names on the frame.
    void DropFiles(const std::vector<std::string>& names);

    // Drops are taken only once the owner registered the frame.
    void RegisterDropTarget(bool on);
    bool DropTargetRegistered() const { return registered_; }

    // Where the chooser starts for a field text: the text, or its nearest
    // existing ancestor; the personal folder when that gets too short.
    static std::string BrowseStartFolder(const std::string& fieldText);

protected:
    void HandleFileDrop(const std::vector<std::string>& names) override { DropFiles(names); }
    bool AcceptsFileDrops() const override { return registered_; }

private:
    Reporter& Report() const;

    Reporter* statusBar_ = nullptr;
    bool allowCreate_;
    bool registered_ = false;
};

}  // namespace korvane

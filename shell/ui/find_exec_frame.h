#pragma once
// TFrameFindexec: the program picker. A caption, a field holding a program
// or file path, a browse button with an open-file dialog whose filter and
// title are made on first use and kept, and a drop target for a single file.
// The field's colour tells the state of the last check.

#include <functional>
#include <string>
#include <vector>

#include "shell/ui/dialogs.h"
#include "shell/ui/picker_frame.h"

namespace korvane {

class Reporter;

class TFrameFindexec : public PickerFrame {
    Q_OBJECT
public:
    explicit TFrameFindexec(Dialogs& dialogs, QWidget* parent = nullptr);

    QLabel* LabelFindExec = nullptr;
    QLineEdit* Edit = nullptr;
    QToolButton* SpeedButtonFindExec = nullptr;
    // The open-file dialog's settings, kept for the frame's lifetime.
    FileDialogOptions OpenDialogFindExec;

    // Where the picker reports; null drops its messages.
    void SetStatusBar(Reporter* statusBar) { statusBar_ = statusBar; }
    Reporter* StatusBar() const { return statusBar_; }

    // Default path. "@": the picker is never checked; a "*" anywhere marks
    // the program unavailable.
    std::string DefaultName;

    // When set, replaces the picker's own file dialog: gets the path to
    // change and the label caption.
    std::function<void(std::string& path, const std::string& labelCaption)> OnBrowse;
    // The field was changed by browsing, dropping or validating, or left
    // after a change.
    std::function<void(QObject* sender)> OnPathChanged;

    // The dynamic property "Tag"; 1 makes the picker optional.
    int Tag() const;
    void SetTag(int tag);

    // Checks the path; with browseAllowed a missing program offers the
    // browse. Gives whether the picker is valid.
    bool ValidatePath(bool browseAllowed);
    // The open-file dialog for path (in/out); false when cancelled.
    bool BrowseForProgram(std::string& path, const std::string& labelCaption);
    std::string ProgramPath() const { return FieldText(); }

    // The browse button's operation; a cancelled dialog ends the operation
    // silently (throws SilentAbort).
    void SpeedButtonFindExecClick();
    // The field's leave check: runs only for a visible picker with a changed field.
    void EditExit() override;
    // A file drop on the frame.
    void DropFileTargetFindExecDrop(const std::vector<std::string>& names);

    std::string LabelCaptionText() const;

protected:
    void HandleFileDrop(const std::vector<std::string>& names) override { DropFileTargetFindExecDrop(names); }
    bool AcceptsFileDrops() const override { return true; }

private:
    Reporter& Report() const;
    void RaisePathChanged();

    Reporter* statusBar_ = nullptr;
};

// The pattern list a drop is matched against: the first pattern list of a
// dialog filter followed by ";", or "" when the filter has none.
std::string FirstFilterPatterns(const std::string& filter);
// Whether a dropped file fits such a pattern list.
bool DropMatchesPatterns(const std::string& fileName, const std::string& patterns);

}  // namespace korvane

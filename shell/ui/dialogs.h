#pragma once
// Every message box, question and file/folder/font dialog of the shell goes
// through this interface. The window uses the Qt implementation
// (QtDialogs); tests install ScriptedDialogs, which answers from a script and
// records every call.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

enum class MsgKind { Information, Warning, Error, Confirmation };

// Buttons of a message box, combinable as flags; the answer is one of them.
enum Button : unsigned {
    kOk = 1,
    kCancel = 2,
    kYes = 4,
    kNo = 8,
    kAbort = 16,
    // Not a button: makes No, not Yes, the default of a box with both.
    kDefaultNo = 256,
};

struct FileDialogOptions {
    std::string title;
    // Windows-style filter: "Description|*.a;*.b|Other|*.*".
    std::string filter;
    int filterIndex = 1;  // 1-based, as preselected
    std::string initialDir;
    std::string fileName;
    std::string defaultExt;  // without dot
    bool multiSelect = false;
    bool mustExist = true;         // existing files and paths only
    bool overwritePrompt = false;  // save: ask before replacing a file
};

// A font as the viewer stores it.
struct FontChoice {
    std::string name;
    int charSet = 0;
    int size = 0;    // points
    int height = 0;  // pixels, negative for a character height
    bool bold = false, italic = false, underline = false, strikeOut = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box; gives the button pressed (the Escape/close answer is
    // kCancel when offered, else kNo when offered, else kOk).
    virtual unsigned Message(MsgKind kind, const std::string& text, unsigned buttons) = 0;
    // Open-file dialog; nullopt when cancelled.
    virtual std::optional<std::vector<std::string>> OpenFiles(const FileDialogOptions& opts) = 0;
    // Save-file dialog; nullopt when cancelled.
    virtual std::optional<std::string> SaveFile(const FileDialogOptions& opts) = 0;
    // Folder chooser starting at (or rooted at) root; "" root = whole desktop.
    virtual std::optional<std::string> ChooseFolder(const std::string& caption, const std::string& root,
                                                    bool allowCreate) = 0;
    // Fixed-pitch font dialog; apply is called by the dialog's Apply button.
    virtual std::optional<FontChoice> ChooseFont(const FontChoice& current,
                                               const std::function<void(const FontChoice&)>& apply) = 0;
    virtual void Beep() = 0;
};

}  // namespace korvane

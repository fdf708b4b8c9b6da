#pragma once
// The window the collection tests work on: a real TfrmKorvaneMain over a
// tool settings file written for the test (one Cobol language whose
// filters and big-directory limit the test chooses, with the copy and
// rename rows backed by step programs), scripted dialogs, and the per-user
// folders in a temporary folder.

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "shared/test_support.h"
#include "shell/ui/ui_picker_test_support.h"

namespace korvane {
class CheckListBox;
class CollectionsController;
class TfrmKorvaneMain;
}  // namespace korvane

namespace korvane::testing {

struct ShellOptions {
    std::string filter = "Cobol sources (*.cbl;*.cob)|*.cbl;*.cob";
    // nullptr: no ".CopyFilter" line at all.
    const char* copyFilter = "Copy members (*.cpy)|*.cpy";
    int bigDirectoryLimit = 50;
};

class Shell {
public:
    explicit Shell(const ShellOptions& options = {});
    ~Shell();

    TfrmKorvaneMain& w() { return *window_; }
    CollectionsController& c();
    // Scripted dialogs; their probe runs while a file or folder dialog is open.
    ProbeDialogs& dialogs() { return dialogs_; }
    const TempDir& dir() const { return dir_; }
    // A path below the test folder's "data" folder.
    std::string data(const std::string& relative) const { return dir_ / ("data/" + relative); }
    // Creates files below "data" (folders included) and gives their paths.
    std::vector<std::string> files(const std::vector<std::string>& relatives) const;
    // The output directory (created) and its field.
    std::string setOutputDirectory();

    bool modified();
    void clearModified();
    // Texts of a list's entries and its check marks as "text" / "-text".
    std::vector<std::string> entries(CheckListBox* list);
    // The text a list draws for a row.
    std::string drawn(CheckListBox* list, int row);
    // The status bar's shown text.
    std::string status();
    // Message calls of the scripted dialogs since the last ClearCalls.
    std::vector<std::string> messages();

private:
    TempDir dir_{"korvane-coll"};
    ScopedEnv config_, data_, home_;
    ProbeDialogs dialogs_;
    std::unique_ptr<TfrmKorvaneMain> window_;
};

QString Q(const std::string& s);
std::string S(const QString& s);

}  // namespace korvane::testing

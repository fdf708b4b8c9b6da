#pragma once
// A shell in a temporary tool tree, for window tests: its own tool settings
// file, step programs, per-user settings folder and scripted dialogs.
//
//   ShellFixture f;                       // temp tree with <root>/bin/korvane
//   f.writeSettings({"DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", ...});
//   f.addProgram("JAVVorl/realign");      // an executable script
//   auto& w = f.start({"-sha"});          // window built, first show run
//   f.dialogs.AnswerButton(korvane::kYes);

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "shell/app/main_window.h"
#include "shell/ui/scripted_dialogs.h"

namespace korvane::testing {

class ShellFixture {
public:
    ShellFixture();
    ~ShellFixture();

    const std::string& root() const { return root_; }      // the temporary folder
    std::string binDir() const { return root_ + "/bin"; }  // program folder = default tool root
    std::string programPath() const { return binDir() + "/korvane"; }
    std::string settingsPath() const { return root_ + "/_Korvane.Src/Korvane.INI"; }

    // Writes the tool settings file.
    void writeSettings(const std::vector<std::string>& lines);
    // Settings for Java with the given step lines (e.g. "JAV.Step01=...").
    void writeJavaSettings(const std::vector<std::string>& steps, const std::vector<std::string>& extra = {});
    // Creates an executable script under the tool root (relative path).
    std::string addProgram(const std::string& relativePath, const std::string& body = "exit 0");
    // Writes a file (creating folders) and gives its full path.
    std::string writeFile(const std::string& relativePath, const std::string& content);

    // Builds the window with the arguments and runs its first show.
    TfrmKorvaneMain& start(const std::vector<std::string>& args = {}, bool firstShow = true);
    TfrmKorvaneMain& window() { return *window_; }
    void destroyWindow();

    ScriptedDialogs dialogs;

private:
    std::string root_;
    std::unique_ptr<TfrmKorvaneMain> window_;
};

// Text of a Qt string as bytes.
std::string Str(const QString& s);

}  // namespace korvane::testing

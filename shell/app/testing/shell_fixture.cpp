#include "shell/app/testing/shell_fixture.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "shared/cmdline.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/version_info.h"

namespace korvane::testing {

std::string Str(const QString& s) { return s.toUtf8().toStdString(); }

ShellFixture::ShellFixture() {
    root_ = CreateUniqueFolder("/tmp/korvane-shell-");
    if (root_.empty()) throw std::runtime_error("mkdtemp failed");
    ForceDirectories(binDir());
    ForceDirectories(root_ + "/_Korvane.Src");
    ForceDirectories(root_ + "/config");
    ForceDirectories(root_ + "/data");
    ForceDirectories(root_ + "/home/Documents");
    SetEnvVar("XDG_CONFIG_HOME", root_ + "/config");
    SetEnvVar("XDG_DATA_HOME", root_ + "/data");
    SetEnvVar("HOME", root_ + "/home");
    // The per-user store starts addressed with empty names, as at start-up.
    SetSettingsApplication("");
    SetSettingsSection("");
    // Registered already for this version: the window registers the file
    // type only in the tests that ask for it.
    WriteSettingString("ProgramVersion", VersionInfoString("FileVersion"));
}

void ShellFixture::destroyWindow() { window_.reset(); }

ShellFixture::~ShellFixture() {
    window_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string ShellFixture::writeFile(const std::string& relativePath, const std::string& content) {
    std::string path = JoinPath(root_, relativePath);
    ForceDirectories(ExtractFileDir(path));
    WriteFileAtomic(path, content);
    return path;
}

void ShellFixture::writeSettings(const std::vector<std::string>& lines) { WriteTextLines(settingsPath(), lines); }

void ShellFixture::writeJavaSettings(const std::vector<std::string>& steps, const std::vector<std::string>& extra) {
    std::vector<std::string> lines = {"[Languages]",
                                      "DefaultLanguage=JAV",
                                      "JAV=Java,JAV,\"\"",
                                      "JAV.Copy=jcp",
                                      "JAV.OuputExtension=.java",
                                      "JAV.Filter=Java sources (*.java)|*.java",
                                      "JAV.CopyFilter=Java includes (*.jcp)|*.jcp"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.insert(lines.end(), steps.begin(), steps.end());
    writeSettings(lines);
}

std::string ShellFixture::addProgram(const std::string& relativePath, const std::string& body) {
    std::string path = writeFile("bin/" + relativePath, "#!/bin/sh\n" + body + "\n");
    MakeExecutable(path);
    return path;
}

TfrmKorvaneMain& ShellFixture::start(const std::vector<std::string>& args, bool firstShow) {
    SetCommandLineArgs(args);
    window_.reset();
    window_ = std::make_unique<TfrmKorvaneMain>(dialogs, StartupInfo{programPath()});
    if (firstShow) {
        window_->show();  // the first show runs here; the status bar gets its real width
        window_->runFirstShow();
    }
    return *window_;
}

}  // namespace korvane::testing

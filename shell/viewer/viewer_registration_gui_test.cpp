// The desktop registration of project files, as the built program performs
// it: "korvane -registershell" run as a process under a temporary
// $XDG_DATA_HOME, paths with blanks, a second instance taking over; and the
// registration at start, which happens once per program version.

#include <QProcess>
#include <QtTest>

#include <filesystem>
#include <system_error>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/test_support.h"
#include "shared/text.h"
#include "shared/version_info.h"
#include "shell/app/main_window.h"
#include "shell/app/testing/shell_fixture.h"
#include "shell/ui/my_status_bar.h"
#include "shell/testing/qt_test_main.h"

using namespace korvane;
using korvane::testing::ShellFixture;
using korvane::testing::DesktopGroups;
using korvane::testing::TempDir;

namespace {

const char* const kDesktopId = "zq-korvane-project-file.desktop";
const char* const kMime = "application/x-zq-korvane-project-file";

// The value of a key in a group of a desktop entry ("" when none).
std::string DesktopValue(const std::string& text, const std::string& group, const std::string& key) {
    std::vector<std::string> problems;
    const DesktopGroups groups = korvane::testing::ReadDesktopEntry(text, problems);
    const auto g = groups.find(group);
    if (g == groups.end() || !g->second.count(key)) return {};
    return g->second.at(key);
}

// The arguments of an Exec value as a desktop launcher splits them, the
// file's field code left as it stands.
std::vector<std::string> ExecArguments(const std::string& exec) {
    std::vector<std::string> problems;
    return korvane::testing::DesktopExecArguments(exec, "%f", problems);
}

// A tool tree with the built program in <base>/<folder>/bin (linked, or
// copied where links cannot be made) and its icon and settings file.
std::string PlaceProgram(const std::string& base, const std::string& folder) {
    const std::string bin = JoinPath(base, folder + "/bin");
    ForceDirectories(bin);
    ForceDirectories(JoinPath(base, folder + "/_Korvane.Src"));
    const std::string program = JoinPath(bin, "korvane");
    std::error_code ec;
    std::filesystem::create_hard_link(KORVANE_PROGRAM, program, ec);
    if (ec) std::filesystem::copy_file(KORVANE_PROGRAM, program, ec);
    CopyFileReplace(KORVANE_PROGRAM_ICON, program + ".png");
    WriteTextLines(JoinPath(base, folder + "/_Korvane.Src/Korvane.INI"),
                   {"DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.ResourceExtension=java",
                    "JAV.Filter=Java sources (*.java)|*.java"});
    return program;
}

struct Homes {
    std::string data, config, home;
};

int RunProgram(const std::string& program, const QStringList& args, const Homes& homes) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", QString::fromUtf8(homes.data));
    env.insert("XDG_CONFIG_HOME", QString::fromUtf8(homes.config));
    env.insert("HOME", QString::fromUtf8(homes.home));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString::fromUtf8(program), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        qWarning("%s did not end: %s", program.c_str(), p.readAll().constData());
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

std::string MimeAppsDefault(const std::string& mimeapps) {
    std::vector<std::string> found;
    bool in = false;
    for (const std::string& line : SplitLines(ReadFileBytes(mimeapps))) {
        if (StartsWithStr("[", line)) in = line == "[Default Applications]";
        else if (in && StartsWithStr(std::string(kMime) + "=", line)) found.push_back(TextAfterFirst(line, "="));
    }
    return found.size() == 1 ? found.front() : "(" + std::to_string(found.size()) + " entries)";
}

}  // namespace

class ViewerRegistrationTest : public QObject {
    Q_OBJECT
private slots:
    void registerShellWithBlanksAndTakeOver();
    void registrationAtStartOncePerVersion();
    void registrationWithoutWriteAccessIsSilent();
};

// What the entries hold and how the desktop reads them back is
// file_type_registration_test.cpp's subject; here the program's command line
// and the commands, texts and icon it registers.
void ViewerRegistrationTest::registerShellWithBlanksAndTakeOver() {
    TempDir tmp("korvane-registration");
    const Homes homes{tmp / "my data", tmp / "my config", tmp / "home"};
    for (const std::string& d : {homes.data, homes.config, homes.home}) ForceDirectories(d);
    const std::string desktopFile = homes.data + "/applications/" + kDesktopId;
    auto execOf = [&](const std::string& group) {
        return ExecArguments(DesktopValue(ReadFileBytes(desktopFile), group, "Exec"));
    };

    // First: program and tool root with blanks.
    const std::string program1 = PlaceProgram(tmp.path(), "my tools");
    const std::string root1 = tmp / "tool root one";
    QCOMPARE(RunProgram(program1, {"-registershell", "-root", QString::fromUtf8(root1)}, homes), 0);
    const std::string entry = ReadFileBytes(desktopFile);
    QCOMPARE(DesktopValue(entry, "Desktop Entry", "Comment"), std::string("ZQ Korvane Project File"));
    QCOMPARE(execOf("Desktop Entry"), (std::vector<std::string>{program1, "-root", root1, "-proj", "%f"}));
    const std::string action =
        "Desktop Action " + Trim(TextBeforeFirst(DesktopValue(entry, "Desktop Entry", "Actions"), ";"));
    QCOMPARE(DesktopValue(entry, action, "Name"), std::string("Start job with advanced options enabled"));
    QCOMPARE(execOf(action), (std::vector<std::string>{program1, "-sha", "-root", root1, "-proj", "%f"}));
    QCOMPARE(ReadFileBytes(homes.data + "/icons/hicolor/48x48/apps/korvane.png"),
             ReadFileBytes(KORVANE_PROGRAM_ICON));
    QCOMPARE(MimeAppsDefault(homes.config + "/mimeapps.list"), std::string(kDesktopId));

    // Second: another installation with another root takes the type over.
    const std::string program2 = PlaceProgram(tmp.path(), "second");
    const std::string root2 = tmp / "tool root two";
    QCOMPARE(RunProgram(program2, {"-shell", "-r", QString::fromUtf8(root2)}, homes), 0);
    QCOMPARE(execOf("Desktop Entry"), (std::vector<std::string>{program2, "-root", root2, "-proj", "%f"}));
    QCOMPARE(execOf(action), (std::vector<std::string>{program2, "-sha", "-root", root2, "-proj", "%f"}));
}

void ViewerRegistrationTest::registrationAtStartOncePerVersion() {
    ShellFixture f;
    f.writeJavaSettings({});
    const std::string desktopFile = f.root() + "/data/applications/" + kDesktopId;
    const std::string version = VersionInfoString("FileVersion");
    QVERIFY(!version.empty());
    // An older version registered last.
    SetSettingsApplication("");
    SetSettingsSection("");
    WriteSettingString("ProgramVersion", "0.0.0.1");
    f.start({"-root", f.root() + "/my root"});
    QVERIFY(FileExists(desktopFile));
    QCOMPARE(ExecArguments(DesktopValue(ReadFileBytes(desktopFile), "Desktop Entry", "Exec")),
             (std::vector<std::string>{f.programPath(), "-root", f.root() + "/my root", "-proj", "%f"}));
    // The version is remembered where the start reads it.
    SetSettingsApplication("");
    SetSettingsSection("");
    QCOMPARE(ReadSettingString("ProgramVersion", ""), version);

    // The next start of the same version leaves the desktop alone.
    f.destroyWindow();
    std::remove(desktopFile.c_str());
    SetSettingsApplication("");
    SetSettingsSection("");
    f.start();
    QVERIFY(!FileExists(desktopFile));

    // Asked for on the command line, it registers and closes the window.
    f.destroyWindow();
    SetSettingsApplication("");
    SetSettingsSection("");
    TfrmKorvaneMain& w = f.start({"-registershell"});
    QVERIFY(FileExists(desktopFile));
    QTRY_VERIFY(!w.isVisible());
}

void ViewerRegistrationTest::registrationWithoutWriteAccessIsSilent() {
    ShellFixture f;
    f.writeJavaSettings({});
    // The data folder cannot be made: a file stands where its parent should be.
    f.writeFile("blocked", "a file, not a folder");
    korvane::testing::ScopedEnv data("XDG_DATA_HOME", f.root() + "/blocked/data");
    SetSettingsApplication("");
    SetSettingsSection("");
    WriteSettingString("ProgramVersion", "0.0.0.1");
    TfrmKorvaneMain& w = f.start();
    QVERIFY(w.isVisible());
    QCOMPARE(korvane::testing::Str(w.statusBar().shownText()), std::string());
    QCOMPARE(w.statusBar().Severity(), 0);
    QVERIFY(f.dialogs.Calls().empty());
    QVERIFY(!FileExists(f.root() + "/config/mimeapps.list"));
    // Asked for on the command line: still no message, and the window ends.
    f.destroyWindow();
    SetSettingsApplication("");
    SetSettingsSection("");
    TfrmKorvaneMain& again = f.start({"-registershell"});
    QTRY_VERIFY(!again.isVisible());
    QVERIFY(f.dialogs.Calls().empty());
    QCOMPARE(again.statusBar().Severity(), 0);
}

KORVANE_QT_TEST(ViewerRegistrationTest);

#include "viewer_registration_gui_test.moc"

#include "shell/run/run_gui_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QThread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/ui/action_list.h"
#include "shell/project/project_controller.h"
#include "shell/project/project_file.h"
#include "shell/project/window_form_adapter.h"
#include "shell/run/run_engine.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"

namespace korvane::testing {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::vector<std::string> FolderNames(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(path, ec)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool NoChildProcess() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

void LinkProgram(const std::string& program, const std::string& target) {
    ForceDirectories(ExtractFileDir(target));
    std::error_code ec;
    fs::remove(target, ec);
    if (link(program.c_str(), target.c_str()) != 0)
        fs::copy_file(program, target, fs::copy_options::overwrite_existing);
    chmod(target.c_str(), 0755);
}

RunFixture::RunFixture() { ForceDirectories(snapshotDir()); }

void RunFixture::layOutProgram(const std::string& program, const std::string& target, const std::string& sidecar,
                               const std::string& environment) {
    // The tool itself sits apart from the tool folder; the script in the
    // tool folder keeps the parameter file and then becomes the tool, so
    // that killing the started process kills the tool itself.
    const std::string name = ExtractFileName(target);
    const std::string real = root() + "/tools/" + name;
    LinkProgram(program, real);
    if (!sidecar.empty()) writeFile("tools/" + name + ".step", sidecar);
    const std::string snap = snapshotDir();
    // Tools of a split run start side by side: each claims its number with
    // an exclusive create before it copies.
    addProgram("JAVVorl/" + name,
               "n=$(ls '" + snap + "' | wc -l)\n"
               "while ! (set -C; : > \"" + snap + "/$(printf %02d $n)-" + name + ".xml\") 2>/dev/null; do\n"
               "  n=$((n + 1))\n"
               "done\n"
               "cp last.xml \"" + snap + "/$(printf %02d $n)-" + name + ".xml\"\n" +
                   environment + "\nexec '" + real + "' \"$@\"");
}

void RunFixture::writeRunSettings(const std::vector<StepEntry>& steps, const std::vector<std::string>& runControl,
                                  const std::vector<std::string>& extra) {
    std::vector<std::string> lines = {"[Languages]",
                                      "DefaultLanguage=JAV",
                                      "JAV=Java,JAV,\"\"",
                                      "JAV.Copy=.jcp",
                                      "JAV.OuputExtension=.java",
                                      "JAV.Filter=Java sources (*.java)|*.java",
                                      "JAV.CopyFilter=Java includes (*.jcp)|*.jcp"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    int n = 0;
    for (const StepEntry& s : steps) {
        // A trailing comma adds no item: an empty extension must be quoted.
        const std::string extension = s.resultExtension.empty() ? "\"\"" : s.resultExtension;
        std::string value = s.name + "," + s.program + "," + extension;
        if (!s.chain.empty()) value += ",Chain=" + s.chain;
        lines.push_back(Format("JAV.Step%02d=", ++n) + value);
        const std::string tool = s.tool.empty() ? std::string(KORVANE_STEP_PROGRAM) : s.tool;
        layOutProgram(tool, binDir() + "/JAVVorl/" + s.program,
                      "Step=" + s.name + "\nResultExtension=" + s.resultExtension + "\n", s.environment);
        if (!s.chain.empty()) layOutProgram(KORVANE_BRELVIN_PROGRAM, binDir() + "/JAVVorl/" + s.chain, "", "");
    }
    lines.push_back("[Runcontrol]");
    lines.push_back("Runcontrol.UseDOSBox=N");
    lines.insert(lines.end(), runControl.begin(), runControl.end());
    writeSettings(lines);
}

void RunFixture::addScanner(const std::string& name) {
    layOutProgram(KORVANE_SCAN_PROGRAM, binDir() + "/JAVVorl/" + name, "", "");
}

std::string RunFixture::addSource(const std::string& relativePath, const std::string& content) {
    return writeFile("src/" + relativePath, content);
}

TfrmKorvaneMain& RunFixture::startProject(const std::vector<std::pair<std::string, bool>>& sources,
                                          const std::string& product, const std::string& system) {
    // The scanner and function table pickers start empty, so that the
    // language's default programs fill them (their designed text would
    // otherwise ask for a browse).
    TfrmKorvaneMain& w = start({}, false);
    w.FrameFindexecScanner->SetFieldText("");
    w.FrameFindexecFunctab->SetFieldText("");
    w.show();
    w.runFirstShow();
    w.statusBar().OnReport = [this](const char*, const std::string& text) { reports.push_back(text); };
    w.actions().setHandler(ActionId::ViewProductLog, [this](QObject*) { ++productLogViews; });
    w.actions().setHandler(ActionId::ViewConsoleLog, [](QObject*) {});
    QObject::connect(w.run(), &RunEngine::runEnded, w.run(), [this] { ++runsEnded; });
    // As if typed and left: the fields and the project's names.
    w.EditProductName->setText(QString::fromUtf8(product));
    w.EditSystemName->setText(QString::fromUtf8(system));
    if (!product.empty() && !system.empty()) {
        w.project()->SetProductName(product);
        w.project()->SetSystemName(system);
    }
    w.FrameFindDirectoryOutputDir->SetFieldText(outputDir());
    for (const auto& [path, checked] : sources) w.CheckListBoxSelectedFiles->checkList().add(path, checked);
    return w;
}

std::string RunFixture::saveProject(const std::vector<std::pair<std::string, bool>>& sources,
                                    const std::string& name) {
    TfrmKorvaneMain& w = startProject(sources);
    const std::string path = root() + "/" + name;
    WindowFormAdapter form(w);
    SaveProjectFile(path, form, w.project()->properties());
    destroyWindow();
    return path;
}

RunEngine& RunFixture::run() { return *window().run(); }

bool RunFixture::waitFor(const std::function<bool()>& cond, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool RunFixture::runAndWait(ActionId action, int timeoutMs) {
    const int before = runsEnded;
    window().actions().execute(action);
    if (!run().BatchRunning()) return false;
    return waitFor([&] { return runsEnded > before && !run().ToolActive(); }, timeoutMs);
}

std::vector<std::string> RunFixture::snapshots() const {
    std::vector<std::string> files;
    for (const std::string& name : FolderNames(snapshotDir())) files.push_back(name);
    return files;
}

bool BatchResult::has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

BatchResult RunBatchProcess(const std::string& program, const QStringList& args, const std::string& workingDir,
                            std::function<void()> childSetup, const std::function<void(long pid)>& whileRunning) {
    QProcess p;
    p.setProgram(QString::fromUtf8(program));
    p.setArguments(args);
    if (!workingDir.empty()) p.setWorkingDirectory(QString::fromUtf8(workingDir));
    // A graphical platform that cannot work here: the batch mode must need
    // none (no window, no display).
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    if (childSetup) p.setChildProcessModifier(std::move(childSetup));
    p.start();
    BatchResult r;
    if (whileRunning && p.waitForStarted()) whileRunning(long(p.processId()));
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (p.exitStatus() != QProcess::NormalExit) r.signal = p.exitCode();
    const QByteArray out = p.readAllStandardOutput();
    r.out.assign(out.constData(), size_t(out.size()));
    for (const QByteArray& l : p.readAllStandardError().split('\n'))
        if (!l.isEmpty()) r.lines.push_back(l.toStdString());
    return r;
}

}  // namespace korvane::testing

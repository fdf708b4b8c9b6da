#pragma once
// Support for the run tests: a shell in a temporary tool tree whose step
// programs are the reference tools (korvane-step, korvane-scan, brelvin),
// each behind a small script that first keeps a copy of the parameter file
// it was handed, so that every step's last.xml can be compared afterwards.

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/app/main_window.h"
#include "shell/app/testing/shell_fixture.h"
#include "shell/ui/action_table.h"

namespace korvane {
class RunEngine;
}

namespace korvane::testing {

// A step of the tool settings, with what its program does.
struct StepEntry {
    std::string name;             // row name: Realign, Refine, ...
    std::string program;          // program file in <root>/bin/JAVVorl
    std::string resultExtension;  // written into workout
    std::string chain;            // chained program name, or empty
    std::string environment;      // shell lines run before the tool (export ...)
    std::string tool = {};        // the program behind the step; korvane-step when empty
};

class RunFixture : public ShellFixture {
public:
    RunFixture();

    std::string snapshotDir() const { return root() + "/snap"; }
    std::string sourceDir() const { return root() + "/src"; }
    std::string outputDir() const { return root() + "/out"; }

    // Writes the tool settings of the Java test language with these steps
    // and run-control lines, and lays out their programs: each step program
    // keeps last.xml as <snap>/<nn>-<program>.xml and then becomes a copy of
    // korvane-step (or the step's own tool); a chained program does the same
    // and becomes brelvin. An empty result extension is written as "".
    void writeRunSettings(const std::vector<StepEntry>& steps, const std::vector<std::string>& runControl,
                          const std::vector<std::string>& extra = {});
    // The scanner program <root>/bin/JAVVorl/<name> (korvane-scan).
    void addScanner(const std::string& name);

    // A source file below sourceDir().
    std::string addSource(const std::string& relativePath, const std::string& content);

    // Starts the window and sets up the project: names, output directory and
    // the source list (path, checked).
    TfrmKorvaneMain& startProject(const std::vector<std::pair<std::string, bool>>& sources,
                                  const std::string& product = "Prod", const std::string& system = "Sys");

    // Starts the window with these sources, saves the project as
    // <root>/<name> and closes the window again, for a batch run; gives
    // the project file's path.
    std::string saveProject(const std::vector<std::pair<std::string, bool>>& sources,
                            const std::string& name = "Job.srd");

    RunEngine& run();
    // Executes the action and waits until the run has ended (runEnded) and
    // every tool has been handed over; false on time-out.
    bool runAndWait(ActionId action = ActionId::StartConversion, int timeoutMs = 60000);
    // Waits until cond holds, processing events; false on time-out.
    static bool waitFor(const std::function<bool()>& cond, int timeoutMs = 30000);

    // The kept parameter files, in the order the steps ran.
    std::vector<std::string> snapshots() const;
    // Status bar texts reported since the window started, in order.
    std::vector<std::string> reports;
    // How often the product log view was executed.
    int productLogViews = 0;
    int runsEnded = 0;

private:
    void layOutProgram(const std::string& program, const std::string& target, const std::string& sidecar,
                       const std::string& environment);
};

// A file's bytes ("" when it cannot be read).
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
// Names in a folder, sorted; empty when it does not exist.
std::vector<std::string> FolderNames(const std::string& path);

// No process of ours is left, running or a zombie.
bool NoChildProcess();

// Makes target a hard link of (or, across file systems, a copy of) program.
void LinkProgram(const std::string& program, const std::string& target);

// A korvane process in batch mode: its exit status (-1 when it crashed or did
// not end within two minutes) and its standard output lines.
struct BatchResult {
    int status = -1;
    int signal = 0;  // the signal that ended the program, when it crashed or was killed
    std::vector<std::string> lines;  // standard error: messages and progress
    std::string out;                 // standard output, as written
    bool has(const std::string& line) const;
};

// Runs program with args without a display, the platform set to xcb (which
// cannot start without one), in workingDir when one is given; childSetup, when given, runs in
// the child just before the program starts; whileRunning, when given, is
// called with the program's pid once it has started (to signal it).
BatchResult RunBatchProcess(const std::string& program, const QStringList& args, const std::string& workingDir = {},
                            std::function<void()> childSetup = {},
                            const std::function<void(long pid)>& whileRunning = {});

}  // namespace korvane::testing

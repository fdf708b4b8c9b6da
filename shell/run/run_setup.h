#pragma once
// RunSetup: everything a run reads of the project, the applied language and
// the tool settings (its run control switches), as one value. The window
// forms it from its controls, the batch mode from the project file; the run
// engine reads nothing else.

#include <string>
#include <vector>

#include "shell/ui/check_list.h"

namespace korvane {

// What applying a language leaves for the rest of the shell.
struct AppliedLanguage {
    std::string suffix;  // radio button suffix, e.g. COB_COB85
    std::string key;     // COB
    std::string dialect; // COB85
    std::string displayName;
    std::string prefix;
    std::string copyExtension;
    std::string outputExtension;
    std::string sourceFilter;
    std::string copyFilter;
    std::vector<std::string> objectTypes;

    bool operator==(const AppliedLanguage&) const = default;
};

// The run control switches of the tool settings, DOSBox made ready.
struct RunControlState {
    bool dosboxReady = false;
    std::string dosboxPath;
    std::string dosboxConfig;  // the base configuration beside the tool settings file
    bool blindRun = false;
    bool captureLog = false;
    bool deleteAfter = false;
    std::vector<std::string> exitStatusIgnored;  // languages whose tools' statuses mean nothing
    int bigDirectoryLimit = 50;

    bool operator==(const RunControlState&) const = default;
};

// A transformation row ("CheckBox" + name) with its program picker
// ("FindExex" + name), in the order the rows were created.
struct RunStep {
    std::string name;
    std::string parameterName;    // the step's XMLFlag when it has one and a result extension, else name
    bool shown = false;           // the selected language defines the step
    bool checked = false;
    bool hasPicker = false;       // a "FindExex" + name picker exists
    std::string programPath;      // the picker's program path
    std::string resultExtension;  // recorded on the row when the language was applied
    // Its program (and the program chained to it) treats each file listed in
    // last.xml on its own: the step may run in shards side by side.
    bool fileLocal = false;

    bool operator==(const RunStep&) const = default;
};

// A chained program picker ("Chain" + name), in creation order.
struct RunChain {
    std::string name;
    std::string programPath;

    bool operator==(const RunChain&) const = default;
};

struct RunSetup {
    // --- the project ---
    std::string productName;       // as typed, before validation
    std::string systemName;
    // The names as the project holds them (taken when a run starts; what is
    // typed afterwards counts only once it has been taken).
    std::string projectProductName;
    std::string projectSystemName;
    std::string projectDirectory;
    std::string outputDirectory;   // the field's text
    int maxDirDepth = 100;
    std::string dialect;           // LanguageVersion
    std::string languagePrefix;    // ProjectVersion
    std::vector<CheckEntry> sources;      // "Selected files", every entry
    std::vector<CheckEntry> copyMembers;  // "Copy collection"
    std::vector<CheckEntry> renameFiles;  // "CSV for rename"
    bool copyAdd = false;                 // "Insert copies into program source"
    bool renameVariables = false;         // "Rename variables"
    int refactorLevelIndex = -1;
    bool wordScanShown = false;           // page "Edit macro table" shown

    // --- the applied language and the tool settings ---
    AppliedLanguage language;
    RunControlState runControl;
    std::vector<std::string> stepRegistry;  // "name=chain" or "name=*", in step order
    std::vector<RunStep> steps;
    std::vector<RunChain> chains;
    std::string scannerProgram;             // the scanner picker's program path

    // --- how the run is spread ---
    // Shards a chain of file-local steps is split into, run side by side
    // ("Parallel jobs" in the window, -jobs in the batch mode); 1: one job.
    int parallelJobs = 1;

    bool operator==(const RunSetup&) const = default;
};

}  // namespace korvane

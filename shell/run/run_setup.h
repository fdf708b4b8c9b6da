#pragma once
// RunSetup: everything a run reads of the project, the applied language and
// the tool settings, as one value. The window forms it from its controls,
// the batch mode from the project file; the run engine reads nothing else.

#include <string>
#include <vector>

#include "shell/app/applied_language.h"
#include "shell/collections/check_list.h"

namespace korvane {

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
};

// A chained program picker ("Chain" + name), in creation order.
struct RunChain {
    std::string name;
    std::string programPath;
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
};

}  // namespace korvane

#pragma once
// What applying a language leaves for the rest of the shell, and the run
// control switches of the tool settings: plain values, read by the run
// engine and by the window alike.

#include <string>
#include <vector>

namespace korvane {

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

}  // namespace korvane

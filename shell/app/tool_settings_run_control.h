#pragma once
// The run-control keys of the tool settings text: how tool programs are
// started (DOSBox, hidden windows, console capture), clean-up after a run and
// the big-directory question. Searching for DOSBox and running it is the
// window's business; this holds the evaluation and the texts it needs.

#include <string>
#include <string_view>
#include <vector>

#include "shared/name_value_list.h"

namespace korvane {

inline constexpr const char* kUseDOSBoxKey = "Runcontrol.UseDOSBox";
inline constexpr const char* kDOSBoxLocationKey = "Runcontrol.DOSBoxLocation";
inline constexpr const char* kBlindrunKey = "Runcontrol.Blindrun";
inline constexpr const char* kCaptureLogKey = "Runcontrol.CaptureLog";
inline constexpr const char* kDeleteAfterKey = "Runcontrol.DeleteAfter";
inline constexpr const char* kBigDirectoryLimitKey = "Runcontrol.SystemBigDirectoryLimit";
// Comma list of languages (key such as COB, or radio button suffix such as
// COB_COB74) whose tools' exit statuses mean nothing: legacy tools that end
// with a status other than 0 also when all went well.
inline constexpr const char* kIgnoreExitStatusKey = "Runcontrol.IgnoreExitStatus";

// DOSBox's base configuration, kept beside the tool settings file.
inline constexpr const char* kDOSBoxBaseConfigName = "DOSBox.config";
inline constexpr int kDefaultBigDirectoryLimit = 50;

struct RunControlFlags {
    bool blindRun = false;
    bool captureLog = false;
    bool deleteAfter = false;
    std::vector<std::string> exitStatusIgnored;  // Runcontrol.IgnoreExitStatus
};

// "Runcontrol.UseDOSBox" as a flag; an invalid value throws the flag error.
bool UseDOSBoxFlag(const NameValueList& text);

// Blindrun, CaptureLog and DeleteAfter, read in that order (the first
// invalid value throws), and the IgnoreExitStatus list. With DOSBox ready the tools run in DOSBox's own
// window, so blind running and console capture are off whatever the keys say.
RunControlFlags EvaluateRunControlFlags(const NameValueList& text, bool dosboxReady);

// The number of files above which adding a folder asks first. Decimal digits
// only; empty or 0 gives 50, and so do digits beyond the int range, with the
// kNumberOutOfRange warning put into *warning; anything else throws
// Error("'<value>' is not a valid integer value").
int BigDirectoryLimit(const NameValueList& text, std::string* warning = nullptr);

// "DOSBox.config" in the folder of the tool settings file.
std::string DOSBoxBaseConfigPath(std::string_view toolSettingsPath);

// The command line of the run that has DOSBox write its base configuration:
// the executable path, then exactly
// "  -c \" CONFIG -writeconf DOSBox.config\"  -noconsole -c exit ".
std::string DOSBoxConfigRunCommandLine(std::string_view dosboxPath);
// The same run as an argument vector for a direct start (the quoted part is
// one argument, leading blank included).
std::vector<std::string> DOSBoxConfigRunArguments(std::string_view dosboxPath);

// Puts "Runcontrol.DOSBoxLocation=<path>" directly after the
// "Runcontrol.UseDOSBox" line (at the end when there is none), dropping any
// earlier line of that key so that the new one is the one read.
void PlaceDOSBoxLocation(NameValueList& text, std::string_view dosboxPath);

}  // namespace korvane

#pragma once
// The command line a tool program of a run is started with, and what the
// shell makes of the redirection words in it. No command interpreter takes
// part in a start, so ">>", ">" and "Console.log" reach the tool as plain
// arguments; the shell itself sends the tool's output into the named file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr const char* kConsoleLogName = "Console.log";
// The arguments of a DOS program started inside DOSBox.
inline constexpr const char* kDosBoxArguments = "-conf DOSBox.config -noconsole -exit";

// "last.xml", followed with the capture-log flag by " >> Console.log" for a
// step of a reengineering run or " > Console.log" for a scan run.
std::string ToolArguments(bool scanRun, bool captureLog);

// A program path holding a blank is trimmed and put in double quotes;
// any other path is given back as it is.
std::string QuoteProgramPath(const std::string& program);

// QuoteProgramPath(program) + " " + arguments.
std::string ToolCommandLine(const std::string& program, const std::string& arguments);

// Where the output of a started tool goes.
struct CaptureRequest {
    std::string file;     // relative paths count from the working directory
    bool append = false;  // ">>" appends, ">" replaces
};

// The redirection the arguments ask for (args[0] is the program and is not
// looked at): ">>" or ">" followed by a file name, as separate words or
// joined to the name (">>Console.log"). The last one wins, as in a command
// interpreter. None when the arguments hold no complete redirection.
std::optional<CaptureRequest> CaptureFromArguments(const std::vector<std::string>& args);

struct ProcessEnd;

// What the end of a step's program says, when it says the step failed:
//   "Step <step>: program <program> ended with exit status <n>"
//   "Step <step>: program <program> was ended by signal <n> (<SIGNAME>)"
// Empty for exit status 0 (and for an end that is not known).
std::string StepFailureText(const std::string& step, const std::string& program, const ProcessEnd& end);

// The end of a step that ran too long:
//   "Step <step>: program <program> did not end within <n> seconds"
std::string StepTimeLimitText(const std::string& step, const std::string& program, int seconds);

// Whether the exit status of the language's tools means something: not when
// the run-control list of languages whose statuses mean nothing (items
// compared ignoring case) names the language's key or its radio button
// suffix.
bool ExitStatusCounts(const std::vector<std::string>& ignoringLanguages, const std::string& languageKey,
                      const std::string& languageSuffix);

}  // namespace korvane

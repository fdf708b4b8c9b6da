#pragma once
// The step queue of a run: which programs run, in which order, and which
// result extension each one reads. A queue line is the step name, "=<<" and
// the input extension ("A=<<", "B=<<a").

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A transformation row of the selected language as the queue builder needs it.
struct QueueStep {
    std::string name;             // step name: check box "CheckBox" + name, picker "FindExex" + name
    bool checked = false;
    std::string programPath;      // path in the step's program picker
    std::string resultExtension;  // recorded on the row when the language was applied
};

// A chained program picker ("Chain" + name).
struct ChainProgram {
    std::string name;
    std::string programPath;
};

struct StepQueueInput {
    std::vector<std::string> registry;  // "name=chain" or "name=*", in step order
    std::vector<QueueStep> steps;       // rows that exist; a name not listed has no check box
    std::vector<ChainProgram> chains;
};

// Builds the queue. finalResultExtension becomes the result extension of the
// last step queued; it keeps its value when no step is queued. A step whose
// program (compared ignoring case) is already taken contributes nothing, not
// even its chained program.
std::vector<std::string> BuildStepQueue(const StepQueueInput& in, std::string& finalResultExtension);

// The parts of a queue line.
std::string QueueStepName(std::string_view line);       // text before "=<<"
std::string QueueInputExtension(std::string_view line);  // text after the first "=<<"

}  // namespace korvane

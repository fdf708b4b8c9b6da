#include "shell/run/step_queue.h"

#include <algorithm>

#include "shared/name_value_list.h"
#include "shared/text.h"

namespace korvane {

namespace {

const QueueStep* FindStep(const StepQueueInput& in, std::string_view name) {
    for (const QueueStep& s : in.steps)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

std::string ChainPath(const StepQueueInput& in, std::string_view name) {
    for (const ChainProgram& c : in.chains)
        if (SameText(c.name, name)) return c.programPath;
    return {};
}

bool Contains(const std::vector<std::string>& paths, std::string_view path) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return SameText(p, path); });
}

}  // namespace

std::vector<std::string> BuildStepQueue(const StepQueueInput& in, std::string& finalResultExtension) {
    NameValueList queue;
    std::vector<std::string> taken;
    std::string inputExtension;
    for (const std::string& entry : in.registry) {
        const std::string name = NameValueList::NameOf(entry);
        const std::string chain = NameValueList::ValueOf(entry);
        const QueueStep* step = FindStep(in, name);
        if (!step || !step->checked || queue.indexOfName(name) >= 0) continue;
        if (Contains(taken, step->programPath)) continue;
        taken.push_back(step->programPath);
        queue.add(name + "=<<" + inputExtension);
        inputExtension = step->resultExtension;
        finalResultExtension = step->resultExtension;
        if (chain != "*") {
            std::string chainPath = ChainPath(in, chain);
            if (!Contains(taken, chainPath)) taken.push_back(chainPath);
            // The chained program reads what its step wrote and changes no extension.
            queue.add(chain + "=<<" + inputExtension);
        }
    }
    return std::move(queue.lines());
}

std::string QueueStepName(std::string_view line) { return TextBeforeFirst(line, "=<<"); }
std::string QueueInputExtension(std::string_view line) { return TextAfterFirst(line, "=<<"); }

}  // namespace korvane

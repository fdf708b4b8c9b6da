#pragma once
// One step of a language's chain, parsed from the value of a step key: a
// comma list of positional items (step name, program, result extension,
// caption) and keyword items name=value (NestingLevel, Chain, XMLFlag) that
// may stand anywhere after the first item.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct StepDefinition {
    // The items after rearrangement: NestingLevel resolved and removed, the
    // Chain item and then the XMLFlag item moved to the end.
    std::vector<std::string> items;
    std::string name;             // item 1: names the row, panel and picker
    std::string program;          // item 2, relative to the tool directory
    std::string resultExtension;  // item 3, without dot
    std::string caption;          // item 4, empty when absent
    std::string chain;            // the Chain value, empty when none
    bool hasXmlFlag = false;
    std::string xmlFlag;          // the XMLFlag value
};

// Parses a step value. Nothing when fewer than three positional items are
// left, which ends applying the language without a message.
//
// A NestingLevel item appends a copy of item 1 (so it becomes the caption
// when there is no caption item) and, with the value Y, turns item 1 into
// "RefactorNestedBlocks". Since keyword items go to the end, a keyword item
// standing as the fourth item after that is the caption: "Refine,prog,ext,
// Chain=POST" is captioned "Chain=POST".
std::optional<StepDefinition> ParseStepDefinition(std::string_view value);

// The hint of the row's panel read by the batch run: item 3 + "@@" + XMLFlag
// with an XMLFlag item, else item 3 + "@" + item 1.
std::string StepPanelHint(const StepDefinition& step);

// "%s/%sVorl/%s": tool root, prefix, program item.
std::string StepProgramPath(std::string_view root, std::string_view prefix, std::string_view program);
// The chained program: "%s/%sVorl/%s" + the platform's executable suffix.
std::string ChainProgramPath(std::string_view root, std::string_view prefix, std::string_view chain);

// The step registry entry: "<step>=<chain>" for a usable chain, "<step>=*"
// when chain is empty.
std::string StepRegistryEntry(std::string_view stepName, std::string_view chain);

}  // namespace korvane

#include "shell/app/step_definition.h"

#include "shared/comma_text.h"
#include "shared/name_value_list.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

namespace {

constexpr const char* kNestingLevel = "NestingLevel";
constexpr const char* kChain = "Chain";
constexpr const char* kXmlFlag = "XMLFlag";
constexpr const char* kNestedBlocksStep = "RefactorNestedBlocks";

void MoveToEnd(NameValueList& items, const char* name) {
    int i = items.indexOfName(name);
    if (i < 0) return;
    auto& v = items.lines();
    std::string item = std::move(v[size_t(i)]);
    v.erase(v.begin() + i);
    v.push_back(std::move(item));
}

bool IsMovedKeyword(std::string_view item) {
    std::string name = NameValueList::NameOf(item);
    return item.find('=') != std::string_view::npos && (SameText(name, kChain) || SameText(name, kXmlFlag));
}

}  // namespace

std::optional<StepDefinition> ParseStepDefinition(std::string_view value) {
    NameValueList items(SplitCommaText(value));
    auto& v = items.lines();

    int nesting = items.indexOfName(kNestingLevel);
    if (nesting >= 0) {
        v.push_back(v.front());
        if (SameText(NameValueList::ValueOf(v[size_t(nesting)]), "Y")) v.front() = kNestedBlocksStep;
        v.erase(v.begin() + nesting);
    }
    MoveToEnd(items, kChain);
    MoveToEnd(items, kXmlFlag);

    if (v.size() < 3) return std::nullopt;
    for (size_t i = 0; i < 3; ++i)
        if (IsMovedKeyword(v[i])) return std::nullopt;

    StepDefinition s;
    s.name = v[0];
    s.program = v[1];
    s.resultExtension = v[2];
    if (v.size() > 3) s.caption = v[3];
    s.chain = items.value(kChain);
    s.hasXmlFlag = items.indexOfName(kXmlFlag) >= 0;
    s.xmlFlag = items.value(kXmlFlag);
    s.items = std::move(v);
    return s;
}

std::string StepPanelHint(const StepDefinition& step) {
    if (step.hasXmlFlag) return step.resultExtension + "@@" + step.xmlFlag;
    return step.resultExtension + "@" + step.name;
}

std::string StepProgramPath(std::string_view root, std::string_view prefix, std::string_view program) {
    return std::string(root) + kPathSep + std::string(prefix) + "Vorl" + kPathSep + std::string(program);
}

std::string ChainProgramPath(std::string_view root, std::string_view prefix, std::string_view chain) {
    return StepProgramPath(root, prefix, chain) + kExeSuffix;
}

std::string StepRegistryEntry(std::string_view stepName, std::string_view chain) {
    return std::string(stepName) + "=" + (chain.empty() ? std::string("*") : std::string(chain));
}

}  // namespace korvane

// The tool settings text on arbitrary text: every language definition, its
// files, tools and steps, and the run-control keys, read the way applying a
// language and evaluating the run control read them.
//
// Checked besides the sanitizers: only korvane::Error escapes a read (a
// missing definition, a flag that is no flag, a limit that is no number); a
// parsed step has its three positional items first and the keyword items
// Chain and XMLFlag after them; the DOSBox location is placed once, right
// after the UseDOSBox line; "Date Written" is stamped in place or as the
// second line.

#include <ctime>

#include "fuzz/fuzz_support.h"
#include "shared/errors.h"
#include "shared/text.h"
#include "shell/app/language_definition.h"
#include "shell/app/step_definition.h"
#include "shell/app/tool_settings.h"
#include "shell/app/tool_settings_run_control.h"

using namespace korvane;
using korvane::fuzz::Shown;

namespace {

template <class F>
void IgnoringErrors(F f) {
    try {
        f();
    } catch (const Error&) {
    }
}

void ReadStep(const std::string& value) {
    std::optional<StepDefinition> step = ParseStepDefinition(value);
    if (!step) return;
    const std::vector<std::string>& items = step->items;
    FUZZ_CHECK_MSG(items.size() >= 3, Shown(value));
    FUZZ_CHECK(step->name == items[0] && step->program == items[1] && step->resultExtension == items[2]);
    FUZZ_CHECK(step->caption == (items.size() > 3 ? items[3] : std::string()));
    for (size_t i = 0; i < 3; ++i) {
        std::string name = NameValueList::NameOf(items[i]);
        bool keyword = items[i].find('=') != std::string::npos && (SameText(name, "Chain") || SameText(name, "XMLFlag"));
        FUZZ_CHECK_MSG(!keyword, Shown(value));
    }
    std::string hint = StepPanelHint(*step);
    FUZZ_CHECK(StartsWithStr(step->resultExtension, hint));
    StepProgramPath("/opt/tools", "JAV", step->program);
    if (!step->chain.empty()) ChainProgramPath("/opt/tools", "JAV", step->chain);
    std::string entry = StepRegistryEntry(step->name, step->chain);
    FUZZ_CHECK(entry == step->name + "=" + (step->chain.empty() ? std::string("*") : step->chain));
}

void ApplyLanguage(const NameValueList& text, const LanguageRadioButton& button) {
    LanguageOffered(text, button.suffix);
    LanguageSuffixParts parts = SplitLanguageSuffix(button.suffix);
    FUZZ_CHECK(parts.key == button.key && parts.dialect == button.dialect);
    std::optional<LanguageDefinition> def;
    try {
        def = ReadLanguageDefinition(text, parts.key);
    } catch (const Error&) {
        FUZZ_CHECK(text.value(parts.key).empty());
        return;
    }
    if (!def) return;
    FUZZ_CHECK(!def->third.empty() || def->prefix.empty());
    std::string caption = CaptionWithLanguage("Korvane main shell - PL/I", def->displayName);
    FUZZ_CHECK(caption == "Korvane main shell - " + def->displayName);
    IgnoringErrors([&] { ReadLanguageFiles(text, parts.key, def->prefix); });
    IgnoringErrors([&] {
        LanguageTools tools = ReadLanguageTools(text, parts.key, def->prefix);
        ScannerDefaultPath("/opt/tools", def->prefix, tools.scannerName);
    });
    FunctionTableDefaultPath("/opt/tools", def->prefix);
    std::vector<std::string> steps = ReadStepValues(text, def->prefix);
    for (size_t i = 0; i < steps.size(); ++i) {
        FUZZ_CHECK(!steps[i].empty());
        ReadStep(steps[i]);
    }
}

void RunControl(const NameValueList& text) {
    bool useDOSBox = false;
    IgnoringErrors([&] { useDOSBox = UseDOSBoxFlag(text); });
    for (bool ready : {false, true}) {
        IgnoringErrors([&] {
            RunControlFlags f = EvaluateRunControlFlags(text, ready);
            if (ready) FUZZ_CHECK(!f.blindRun && !f.captureLog);
        });
    }
    IgnoringErrors([&] { FUZZ_CHECK(BigDirectoryLimit(text) != 0); });

    NameValueList placed = text;
    PlaceDOSBoxLocation(placed, "/opt/dosbox/dosbox");
    int at = placed.indexOfName(kDOSBoxLocationKey);
    FUZZ_CHECK(at >= 0 && placed.value(kDOSBoxLocationKey) == "/opt/dosbox/dosbox");
    int use = placed.indexOfName(kUseDOSBoxKey);
    FUZZ_CHECK(use < 0 ? at == int(placed.size()) - 1 : at == use + 1);
    (void)useDOSBox;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ToolSettingsText text(SplitLines(korvane::fuzz::AsText(data, size)));

    IgnoringErrors([&] { (void)FindLanguageRadioButton(text.value(kDefaultLanguageKey)); });
    for (const LanguageRadioButton& button : kLanguageRadioButtons) ApplyLanguage(text, button);
    // Values under keys the fixed buttons never ask for go through the same
    // parsers: every line's value as a language definition and as a step.
    for (const std::string& line : text.lines()) {
        std::string value = NameValueList::ValueOf(line);
        if (value.empty()) continue;
        ReadStep(value);
    }
    RunControl(text);

    ToolSettingsText stamped = text;
    const bool hadDate = !text.value(kDateWrittenKey).empty();
    stamped.stampDateWritten(std::time_t(0));
    FUZZ_CHECK(!stamped.value(kDateWrittenKey).empty());
    FUZZ_CHECK(stamped.size() == text.size() + (hadDate ? 0 : 1));
    if (!hadDate && text.indexOfName(kDateWrittenKey) < 0)
        FUZZ_CHECK(stamped.indexOfName(kDateWrittenKey) == (text.empty() ? 0 : 1));
    return 0;
}

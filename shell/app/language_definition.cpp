#include "shell/app/language_definition.h"

#include "shared/comma_text.h"
#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/wordlists/word_list_file.h"

namespace korvane {

const std::array<LanguageRadioButton, 8> kLanguageRadioButtons = {{
    {"RadioButtonPLI", "PL/I", "PLI", "PLI", ""},
    {"RadioButtonASM", "Assembler", "ASM", "ASM", ""},
    {"RadioButtonCOB_COB74", "Cobol 74", "COB_COB74", "COB", "COB74"},
    {"RadioButtonCOB_COB85", "Cobol 85", "COB_COB85", "COB", "COB85"},
    {"RadioButtonCPP_C", "C", "CPP_C", "CPP", "C"},
    {"RadioButtonCPP_CPP", "C++", "CPP_CPP", "CPP", "CPP"},
    {"RadioButtonCSS", "C#", "CSS", "CSS", ""},
    {"RadioButtonJAV", "Java", "JAV", "JAV", ""},
}};

const LanguageRadioButton* FindLanguageRadioButton(std::string_view suffix) {
    for (const auto& b : kLanguageRadioButtons)
        if (SameText(b.suffix, suffix)) return &b;
    return nullptr;
}

bool LanguageOffered(const NameValueList& text, std::string_view suffix) {
    return !text.value(suffix).empty();
}

LanguageSuffixParts SplitLanguageSuffix(std::string_view suffix) {
    return {TextBeforeFirst(suffix, "_"), TextAfterFirst(suffix, "_")};
}

std::optional<LanguageDefinition> ReadLanguageDefinition(const NameValueList& text, std::string_view key) {
    std::string value = text.value(key);
    if (value.empty()) throw Error(kMissingLanguageDefinitionMessage);
    std::vector<std::string> items = SplitCommaText(value);
    if (items.size() < 3) return std::nullopt;
    LanguageDefinition d{items[0], items[1], items[2]};
    if (d.third.empty()) d.third = d.prefix;
    return d;
}

std::string CaptionWithLanguage(std::string_view caption, std::string_view displayName) {
    return TextBeforeLast(caption, " - ") + " - " + std::string(displayName);
}

static std::string KeyOf(std::string_view base, const char* suffix) { return std::string(base) + suffix; }

LanguageFiles ReadLanguageFiles(const NameValueList& text, std::string_view key, std::string_view prefix) {
    LanguageFiles f;
    f.copyExtension = text.value(KeyOf(key, ".Copy"));
    if (f.copyExtension.empty()) f.copyExtension = text.value(KeyOf(key, ".ResourceExtension"));
    if (f.copyExtension.empty()) throw Error(kMissingCopyExtensionMessage);
    f.outputExtension = text.value(KeyOf(key, ".OuputExtension"));
    f.filter = text.value(KeyOf(prefix, ".Filter"));
    if (f.filter.empty()) throw Error(kMissingFilterMessage);
    f.copyFilter = text.value(KeyOf(prefix, ".CopyFilter"));
    return f;
}

LanguageTools ReadLanguageTools(const NameValueList& text, std::string_view key, std::string_view prefix) {
    LanguageTools t;
    t.scan = TextToBool(text.value(KeyOf(prefix, ".Scan")));
    t.functab = TextToBool(text.value(KeyOf(prefix, ".Functab")));
    t.objectTypes = TagVocabulary(text.value(KeyOf(prefix, ".ObjectTypes")));
    t.scannerName = text.value(KeyOf(key, ".Scanner"));
    return t;
}

std::string StepKey(std::string_view prefix, int number) {
    return Format("%s.Step%2.2d", std::string(prefix).c_str(), number);
}

std::vector<std::string> ReadStepValues(const NameValueList& text, std::string_view prefix) {
    std::vector<std::string> values;
    for (int n = 1;; ++n) {
        std::string v = text.value(StepKey(prefix, n));
        if (v.empty()) break;
        values.push_back(std::move(v));
    }
    return values;
}

std::string ToolDirectory(std::string_view root, std::string_view prefix) {
    return std::string(root) + kPathSep + std::string(prefix) + "Vorl";
}

std::string ScannerDefaultPath(std::string_view root, std::string_view prefix, std::string_view scannerName) {
    return ToolDirectory(root, prefix) + kPathSep + std::string(scannerName);
}

std::string FunctionTableDefaultPath(std::string_view root, std::string_view prefix) {
    return ToolDirectory(root, prefix) + kPathSep + "FUNCTAB." + std::string(prefix);
}

}  // namespace korvane

#pragma once
// Languages as the tool settings text defines them: the fixed language radio
// buttons, the definition under a language key (display name, prefix, third
// name), the per-language keys (extensions, filters, scan and function-table
// switches, control word tags, scanner) and the keys of the step chain.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/name_value_list.h"

namespace korvane {

inline constexpr const char* kMissingLanguageDefinitionMessage =
    "Shell error,missing language definition, inform Talmek";
inline constexpr const char* kMissingCopyExtensionMessage =
    "Shell program error, missing copy/resource file extension definition, inform Talmek";
inline constexpr const char* kMissingFilterMessage = "Shell program error, missing filter definition, inform Talmek";
inline constexpr const char* kDefaultLanguageKey = "DefaultLanguage";

// One language radio button. The suffix is the part of the name after
// "RadioButton"; it is also the key whose value offers the language.
struct LanguageRadioButton {
    std::string_view name;
    std::string_view caption;
    std::string_view suffix;
    std::string_view key;
    std::string_view dialect;
};

// In the order of the group "Source program language".
extern const std::array<LanguageRadioButton, 8> kLanguageRadioButtons;

// The button whose suffix equals suffix ignoring case, nullptr when none.
const LanguageRadioButton* FindLanguageRadioButton(std::string_view suffix);
// A language is offered when its full suffix (COB_COB74, not COB) has a value.
bool LanguageOffered(const NameValueList& text, std::string_view suffix);

// "COB_COB74" -> key "COB", dialect "COB74"; "JAV" -> key "JAV", no dialect.
struct LanguageSuffixParts {
    std::string key;
    std::string dialect;
};
LanguageSuffixParts SplitLanguageSuffix(std::string_view suffix);

struct LanguageDefinition {
    std::string displayName;
    std::string prefix;
    std::string third;  // the prefix when the definition leaves it empty
};

// The definition under the language key. Throws
// Error(kMissingLanguageDefinitionMessage) when the key has no value; gives
// nothing when the value has fewer than three items, which ends applying the
// language without a message.
std::optional<LanguageDefinition> ReadLanguageDefinition(const NameValueList& text, std::string_view key);

// "<name> - <display name>": the caption from its last " - " on replaced.
std::string CaptionWithLanguage(std::string_view caption, std::string_view displayName);

struct LanguageFiles {
    std::string copyExtension;    // <key>.Copy, else <key>.ResourceExtension
    std::string outputExtension;  // <key>.OuputExtension (the key is spelled so)
    std::string filter;           // <prefix>.Filter
    std::string copyFilter;       // <prefix>.CopyFilter
};
// Throws Error(kMissingCopyExtensionMessage) or Error(kMissingFilterMessage).
LanguageFiles ReadLanguageFiles(const NameValueList& text, std::string_view key, std::string_view prefix);

struct LanguageTools {
    bool scan = false;      // <prefix>.Scan: scanning offered
    bool functab = false;   // <prefix>.Functab: function-table picker shown
    std::vector<std::string> objectTypes;  // the control word tags
    std::string scannerName;               // <key>.Scanner
    // The page "Edit macro table" is shown for either switch.
    bool wordListPage() const { return scan || functab; }
};
// Invalid flag values throw the flag error (Scan is read before Functab).
LanguageTools ReadLanguageTools(const NameValueList& text, std::string_view key, std::string_view prefix);

// "%s.Step%2.2d": JAV.Step01 ... JAV.Step99, JAV.Step100.
std::string StepKey(std::string_view prefix, int number);
// The step definitions from Step01 on, up to the first number without value.
std::vector<std::string> ReadStepValues(const NameValueList& text, std::string_view prefix);

// The tool directory of a language: root + "/" + prefix + "Vorl".
std::string ToolDirectory(std::string_view root, std::string_view prefix);
// "%s/%sVorl/%s" with the scanner name of the language.
std::string ScannerDefaultPath(std::string_view root, std::string_view prefix, std::string_view scannerName);
// "%s/%sVorl/FUNCTAB.%s".
std::string FunctionTableDefaultPath(std::string_view root, std::string_view prefix);

}  // namespace korvane

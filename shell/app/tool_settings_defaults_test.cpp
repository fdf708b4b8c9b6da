// The bundled tool settings file must apply cleanly for every language it
// offers: a definition with three items, extensions and filters present,
// valid flags, and a complete chain.

#include <gtest/gtest.h>

#include <set>

#include "shell/app/language_definition.h"
#include "shell/app/step_definition.h"
#include "shell/app/tool_settings.h"
#include "shell/app/tool_settings_run_control.h"

using namespace korvane;

namespace {

ToolSettingsText Defaults() {
    ToolSettingsText t;
    t.read(KORVANE_DEFAULT_INI);
    return t;
}

}  // namespace

TEST(DefaultToolSettings, OfferedLanguagesApply) {
    ToolSettingsText t = Defaults();
    EXPECT_EQ(t.value("DefaultLanguage"), "JAV");
    std::set<std::string> offered;
    for (const auto& b : kLanguageRadioButtons)
        if (LanguageOffered(t, b.suffix)) offered.insert(std::string(b.suffix));
    EXPECT_EQ(offered, (std::set<std::string>{"JAV", "CPP_C", "CPP_CPP", "COB_COB74", "COB_COB85"}));

    for (const std::string& suffix : offered) {
        SCOPED_TRACE(suffix);
        std::string key = SplitLanguageSuffix(suffix).key;
        auto def = ReadLanguageDefinition(t, key);
        ASSERT_TRUE(def);
        EXPECT_EQ(def->prefix, key);  // projects reopen through the prefix
        ASSERT_NO_THROW(ReadLanguageFiles(t, key, def->prefix));
        ASSERT_NO_THROW(ReadLanguageTools(t, key, def->prefix));
        std::vector<std::string> steps = ReadStepValues(t, def->prefix);
        ASSERT_GE(steps.size(), 6u);
        std::set<std::string> names;
        for (const std::string& v : steps) {
            auto s = ParseStepDefinition(v);
            ASSERT_TRUE(s) << v;
            EXPECT_FALSE(s->caption.empty()) << v;
            EXPECT_EQ(s->caption.find('='), std::string::npos) << v;  // no keyword item taken as caption
            EXPECT_EQ(s->program.find('.'), std::string::npos) << v;  // plain program names
            EXPECT_TRUE(names.insert(s->name).second) << v;
        }
        EXPECT_EQ(ParseStepDefinition(steps.front())->name, "Realign");
        EXPECT_TRUE(names.count("RefactorNestedBlocks"));
    }
}

TEST(DefaultToolSettings, JavaRealignIsChainedToBrelvin) {
    ToolSettingsText t = Defaults();
    auto realign = ParseStepDefinition(t.value("JAV.Step01"));
    ASSERT_TRUE(realign);
    EXPECT_EQ(realign->program, "jvrealign");
    EXPECT_EQ(realign->chain, "brelvin");
    EXPECT_EQ(ChainProgramPath("/t", "JAV", realign->chain), "/t/JAVVorl/brelvin");
}

TEST(DefaultToolSettings, CobolScansAndRunControl) {
    ToolSettingsText t = Defaults();
    LanguageTools cob = ReadLanguageTools(t, "COB", "COB");
    EXPECT_TRUE(cob.scan);
    EXPECT_TRUE(cob.functab);
    EXPECT_EQ(cob.scannerName, "cobscan");
    EXPECT_EQ(cob.objectTypes.front(), "INPT");
    EXPECT_FALSE(UseDOSBoxFlag(t));
    RunControlFlags f = EvaluateRunControlFlags(t, false);
    EXPECT_FALSE(f.blindRun);
    EXPECT_TRUE(f.captureLog);
    EXPECT_FALSE(f.deleteAfter);
    EXPECT_EQ(BigDirectoryLimit(t), 50);
}

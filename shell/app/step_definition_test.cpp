#include "shell/app/step_definition.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

StepDefinition Parse(const char* value) {
    auto s = ParseStepDefinition(value);
    EXPECT_TRUE(s) << value;
    return s ? *s : StepDefinition{};
}

}  // namespace

TEST(StepDefinition, PositionalItems) {
    StepDefinition s = Parse("Refine, jvrefine ,RFN,\"Refine source code\"");
    EXPECT_EQ(s.name, "Refine");
    EXPECT_EQ(s.program, "jvrefine");
    EXPECT_EQ(s.resultExtension, "RFN");
    EXPECT_EQ(s.caption, "Refine source code");
    EXPECT_EQ(s.chain, "");
    EXPECT_FALSE(s.hasXmlFlag);
    EXPECT_EQ(StepPanelHint(s), "RFN@Refine");
    EXPECT_EQ(Parse("Refine,p,x").caption, "");
    EXPECT_EQ(Parse("Refine,p,x,\"\"").caption, "");

    // Fewer than three positional items end the application silently.
    for (const char* bad : {"", "Refine", "Refine,p", "Refine,p,", "Refine,p,Chain=POST", "Refine,p,XMLFlag=F"})
        EXPECT_FALSE(ParseStepDefinition(bad)) << bad;
    // Unquoted blanks separate: the caption is only the first word.
    EXPECT_EQ(Parse("RelocateFiles,p,x,Relocate File I/O statements").items.size(), 7u);
    EXPECT_EQ(Parse("Refine,p,,").resultExtension, "");  // two commas in a row: an empty third item
}

TEST(StepDefinition, NestingLevel) {
    StepDefinition y = Parse("Restructure,jvnest,RNB,NestingLevel=Y");
    EXPECT_EQ(y.name, "RefactorNestedBlocks");
    EXPECT_EQ(y.caption, "Restructure");  // the appended copy of item 1
    EXPECT_EQ(y.items, (std::vector<std::string>{"RefactorNestedBlocks", "jvnest", "RNB", "Restructure"}));
    EXPECT_EQ(StepPanelHint(y), "RNB@RefactorNestedBlocks");

    StepDefinition n = Parse("Restructure,jvnest,RNB,nestinglevel=n");
    EXPECT_EQ(n.name, "Restructure");
    EXPECT_EQ(n.caption, "Restructure");

    StepDefinition captioned = Parse("Nesting,p,RNB,NestingLevel=y,\"Refactor nested blocks\"");
    EXPECT_EQ(captioned.name, "RefactorNestedBlocks");
    EXPECT_EQ(captioned.caption, "Refactor nested blocks");
}

TEST(StepDefinition, KeywordItemsMoveToTheEnd) {
    // Without a caption item the keyword item becomes item 4, the caption.
    StepDefinition chained = Parse("Refine,jvrefine,RFN,Chain=POST");
    EXPECT_EQ(chained.caption, "Chain=POST");
    EXPECT_EQ(chained.chain, "POST");
    StepDefinition both = Parse("Refine,Chain=POST,jvrefine,RFN,\"Refine it\"");
    EXPECT_EQ(both.program, "jvrefine");
    EXPECT_EQ(both.caption, "Refine it");
    EXPECT_EQ(both.chain, "POST");

    StepDefinition flagged = Parse("CopyAdd,XMLFlag=InsertCopy,cobcopy,CPY,Chain=fix,Copies");
    EXPECT_EQ(flagged.items,
              (std::vector<std::string>{"CopyAdd", "cobcopy", "CPY", "Copies", "Chain=fix", "XMLFlag=InsertCopy"}));
    EXPECT_TRUE(flagged.hasXmlFlag);
    EXPECT_EQ(flagged.xmlFlag, "InsertCopy");
    EXPECT_EQ(StepPanelHint(flagged), "CPY@@InsertCopy");
    EXPECT_EQ(StepPanelHint(Parse("A,p,x,XMLFlag=")), "x@@");
    EXPECT_EQ(Parse("A,p,x,Chain=").chain, "");
}

TEST(StepDefinition, ProgramPathsAndRegistry) {
    EXPECT_EQ(StepProgramPath("/opt/tools", "JAV", "jvrealign"), "/opt/tools/JAVVorl/jvrealign");
    EXPECT_EQ(ChainProgramPath("/opt/tools", "JAV", "brelvin"), "/opt/tools/JAVVorl/brelvin");
    EXPECT_EQ(StepRegistryEntry("Realign", "brelvin"), "Realign=brelvin");
    EXPECT_EQ(StepRegistryEntry("Refine", ""), "Refine=*");
}

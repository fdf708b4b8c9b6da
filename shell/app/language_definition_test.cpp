#include "shell/app/language_definition.h"

#include <gtest/gtest.h>

#include <functional>

#include "shared/errors.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::ErrorOf;

TEST(LanguageRadioButtons, SuffixKeyAndDialect) {
    ASSERT_EQ(kLanguageRadioButtons.size(), 8u);
    for (const auto& b : kLanguageRadioButtons) {
        EXPECT_EQ("RadioButton" + std::string(b.suffix), b.name);
        LanguageSuffixParts p = SplitLanguageSuffix(b.suffix);
        EXPECT_EQ(p.key, b.key) << b.name;
        EXPECT_EQ(p.dialect, b.dialect) << b.name;
    }
    EXPECT_EQ(SplitLanguageSuffix("COB_COB74").key, "COB");
    EXPECT_EQ(SplitLanguageSuffix("COB_COB74").dialect, "COB74");
    EXPECT_EQ(SplitLanguageSuffix("A_B_C").dialect, "B_C");
    ASSERT_NE(FindLanguageRadioButton("cpp_cpp"), nullptr);
    EXPECT_EQ(FindLanguageRadioButton("cpp_cpp")->caption, "C++");
    EXPECT_EQ(FindLanguageRadioButton("COB"), nullptr);  // only full suffixes name buttons
    EXPECT_EQ(FindLanguageRadioButton(""), nullptr);
}

TEST(LanguageRadioButtons, OfferedByFullSuffixOnly) {
    NameValueList text({"COB=Cobol,COB,COB", "COB_COB85=Cobol 85", "COB_COB74="});
    EXPECT_TRUE(LanguageOffered(text, "COB_COB85"));
    EXPECT_FALSE(LanguageOffered(text, "COB_COB74"));
    EXPECT_FALSE(LanguageOffered(text, "JAV"));
}

TEST(LanguageDefinition, ItemsAndThirdDefault) {
    NameValueList text({"JAV=Java,JAV,\"\"", "COB=\"Cobol (IBM)\", COB ,COBIBM,extra", "CPP=C,CPP,", "ASM=Asm",
                        "PLI="});
    auto jav = ReadLanguageDefinition(text, "jav");
    ASSERT_TRUE(jav);
    EXPECT_EQ(jav->displayName, "Java");
    EXPECT_EQ(jav->prefix, "JAV");
    EXPECT_EQ(jav->third, "JAV");  // an empty third item is the prefix
    auto cob = ReadLanguageDefinition(text, "COB");
    ASSERT_TRUE(cob);
    EXPECT_EQ(cob->displayName, "Cobol (IBM)");
    EXPECT_EQ(cob->prefix, "COB");
    EXPECT_EQ(cob->third, "COBIBM");
    // A trailing comma adds no item: two items end the application silently.
    EXPECT_FALSE(ReadLanguageDefinition(text, "CPP"));
    EXPECT_FALSE(ReadLanguageDefinition(text, "ASM"));
    for (const char* key : {"PLI", "CSS"})
        EXPECT_EQ(ErrorOf([&] { ReadLanguageDefinition(text, key); }),
                  "Shell error,missing language definition, inform Talmek");
}

TEST(LanguageDefinition, WindowCaption) {
    EXPECT_EQ(CaptionWithLanguage("Korvane - ", "Java"), "Korvane - Java");
    EXPECT_EQ(CaptionWithLanguage("Korvane - a - Cobol [proj]", "C"), "Korvane - a - C");
    EXPECT_EQ(CaptionWithLanguage("Korvane", "C"), "Korvane - C");
}

TEST(LanguageDefinition, FilesAndExtensions) {
    NameValueList text({"COB.Copy=cpy", "COB.ResourceExtension=res", "COB.OuputExtension=cbl",
                        "COB.Filter=Cobol (*.cbl;*.cob)|*.cbl;*.cob", "COB.CopyFilter=Copies (*.cpy)|*.cpy",
                        "JAV.ResourceExtension=java", "JAV.OutputExtension=wrong", "JAV.Filter=Java (*.java)|*.java",
                        "CPP.Filter=C|*.c", "PLI.Copy=inc"});
    LanguageFiles cob = ReadLanguageFiles(text, "COB", "COB");
    EXPECT_EQ(cob.copyExtension, "cpy");
    EXPECT_EQ(cob.outputExtension, "cbl");
    EXPECT_EQ(cob.filter, "Cobol (*.cbl;*.cob)|*.cbl;*.cob");
    EXPECT_EQ(cob.copyFilter, "Copies (*.cpy)|*.cpy");
    LanguageFiles jav = ReadLanguageFiles(text, "JAV", "JAV");
    EXPECT_EQ(jav.copyExtension, "java");  // the resource extension stands in
    EXPECT_EQ(jav.outputExtension, "");    // only the key spelled "Ouput" counts
    EXPECT_EQ(jav.copyFilter, "");
    EXPECT_EQ(ErrorOf([&] { ReadLanguageFiles(text, "CPP", "CPP"); }),
              "Shell program error, missing copy/resource file extension definition, inform Talmek");
    EXPECT_EQ(ErrorOf([&] { ReadLanguageFiles(text, "PLI", "PLI"); }),
              "Shell program error, missing filter definition, inform Talmek");
}

TEST(LanguageDefinition, ScanFunctabAndTags) {
    NameValueList text({"COB.Scan=Y", "COB.Functab=n", "COB.ObjectTypes=(INPT, \"OT PT\",CALL)", "COB.Scanner=cobscan",
                        "JAV.Functab=True", "JAV.ObjectTypes=none", "CPP.Scan=perhaps", "CSS.Functab=2"});
    LanguageTools cob = ReadLanguageTools(text, "COB", "COB");
    EXPECT_TRUE(cob.scan);
    EXPECT_FALSE(cob.functab);
    EXPECT_TRUE(cob.wordListPage());
    EXPECT_EQ(cob.objectTypes, (std::vector<std::string>{"INPT", "OT PT", "CALL"}));
    EXPECT_EQ(cob.scannerName, "cobscan");
    LanguageTools jav = ReadLanguageTools(text, "JAV", "JAV");
    EXPECT_FALSE(jav.scan);
    EXPECT_TRUE(jav.wordListPage());
    EXPECT_EQ(jav.objectTypes.size(), 9u);  // no "(": the default tags
    EXPECT_EQ(jav.objectTypes.front(), "INPT");
    EXPECT_EQ(jav.objectTypes.back(), "PROC");
    EXPECT_FALSE(ReadLanguageTools(text, "PLI", "PLI").wordListPage());
    EXPECT_EQ(ErrorOf([&] { ReadLanguageTools(text, "CPP", "CPP"); }),
              "perhaps is not valid boolean value (Y,J,I,N,True,False)");
    EXPECT_EQ(ErrorOf([&] { ReadLanguageTools(text, "CSS", "CSS"); }),
              "2 is not valid boolean value (Y,J,I,N,True,False)");
}

TEST(LanguageDefinition, StepKeys) {
    EXPECT_EQ(StepKey("JAV", 1), "JAV.Step01");
    EXPECT_EQ(StepKey("JAV", 10), "JAV.Step10");
    EXPECT_EQ(StepKey("JAV", 100), "JAV.Step100");

    // A gap ends the chain; a one-digit key is never read.
    NameValueList gap({"JAV.Step1=Never,p,x", "JAV.Step01=A,a,x", "jav.step02=B,b,x", "JAV.Step04=D,d,x"});
    EXPECT_EQ(ReadStepValues(gap, "JAV"), (std::vector<std::string>{"A,a,x", "B,b,x"}));
    EXPECT_TRUE(ReadStepValues(NameValueList({"JAV.Step1=A,a,x"}), "JAV").empty());

    NameValueList hundred;
    for (int n = 1; n <= 100; ++n) hundred.add(StepKey("COB", n) + "=S" + std::to_string(n) + ",p,x");
    hundred.add("COB.Step0100=never");
    std::vector<std::string> steps = ReadStepValues(hundred, "COB");
    ASSERT_EQ(steps.size(), 100u);
    EXPECT_EQ(steps.back(), "S100,p,x");
}

TEST(LanguageDefinition, ToolPaths) {
    EXPECT_EQ(ToolDirectory("/opt/tools", "COB"), "/opt/tools/COBVorl");
    EXPECT_EQ(ScannerDefaultPath("/opt/tools", "COB", "cobscan"), "/opt/tools/COBVorl/cobscan");
    EXPECT_EQ(FunctionTableDefaultPath("/opt/tools", "COB"), "/opt/tools/COBVorl/FUNCTAB.COB");
}

// What applying a language makes of the rows, pickers and step registry,
// worked out from the tool settings text alone.

#include "shell/app/language_plan.h"

#include <gtest/gtest.h>

#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::PutFile;
using korvane::testing::TempDir;

namespace {

std::vector<std::string> Java(std::vector<std::string> steps, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> lines = {"DefaultLanguage=JAV", "JAV=Java,JAV,\"\"", "JAV.Copy=jcp",
                                      "JAV.Filter=Java sources (*.java)|*.java"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.insert(lines.end(), steps.begin(), steps.end());
    return lines;
}

// Each shown step in order: name "caption" on|off [missing] ext@parameter
// program [+chain program] [local], paths below the tool root.
std::vector<std::string> Shown(const LanguagePlan& plan, const std::string& root) {
    const auto below = [&](const std::string& path) {
        return path.rfind(root + "/", 0) == 0 ? path.substr(root.size() + 1) : "'" + path + "'";
    };
    std::vector<std::string> shown;
    for (const PlannedStep& step : plan.steps) {
        const PlannedRow& r = plan.rows[step.row];
        std::string line = r.name + " \"" + r.caption + "\" " + (r.checked ? "on" : "off") +
                           (r.programReady ? "" : " missing") + " " + r.resultExtension + "@" + r.parameterName +
                           " " + below(r.programPath);
        if (step.chain >= 0) {
            const PlannedChain& c = plan.chains[size_t(step.chain)];
            line += " +" + c.name + " " + below(c.programPath) + (c.programReady ? "" : " missing");
        }
        if (r.fileLocal) line += " local";
        shown.push_back(line);
    }
    return shown;
}

std::string EndOf(const LanguagePlan& plan) {
    if (plan.complete) return "complete";
    if (!plan.failure.empty()) return (plan.definitionRead ? "failed after the definition: " : "failed: ") + plan.failure;
    return plan.definitionRead ? "ended silently in the steps" : "ended silently";
}

}  // namespace

TEST(LanguagePlan, RowsPickersAndRegistry) {
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        V settings;
        V programs;  // below JAVVorl
        V shown;
        V registry;
        V errors;
        std::string end = "complete";
    } cases[] = {
        {"rows stand in step order; a step without designed row gets one",
         Java({"JAV.Step01=Refine,r2,J2", "JAV.Step02=S9,r1,J9,\"Nine\",XMLFlag=X9", "JAV.Step03=Realign,r1,J1"}),
         {"r1", "r2"},
         {"Refine \"Refine source code\" on J2@Refine JAVVorl/r2", "S9 \"Nine\" on J9@X9 JAVVorl/r1",
          "Realign \"Realign source code\" on J1@Realign JAVVorl/r1"},
         {"Refine=*", "S9=*", "Realign=*"}, {}},
        {"captions and keyword items (a keyword item standing fourth is the caption)",
         Java({"JAV.Step01=Restructure,n1,J1,NestingLevel=Y", "JAV.Step02=Refine,n2,J2,Chain=POST",
               "JAV.Step03=RelocateDB,n3,J3,\"My caption\",XMLFlag=RelDB",
               "JAV.Step04=RelocateTP,n5,,\"Cap\",Chain=POST", "JAV.Step05=ReplaceLiterals,n5,,XMLFlag=RL"}),
         {"n1", "n2", "n3", "n4", "n5", "POST"},
         {"RefactorNestedBlocks \"Restructure\" on J1@RefactorNestedBlocks JAVVorl/n1",
          "Refine \"Chain=POST\" on J2@Refine JAVVorl/n2 +POST JAVVorl/POST",
          "RelocateDB \"My caption\" on J3@RelDB JAVVorl/n3",
          "RelocateTP \"Cap\" on @RelocateTP JAVVorl/n5 +POST JAVVorl/POST",
          "ReplaceLiterals \"XMLFlag=RL\" on @ReplaceLiterals JAVVorl/n5"},
         {"RefactorNestedBlocks=*", "Refine=POST", "RelocateDB=*", "RelocateTP=POST",
          "ReplaceLiterals=*"},
         {}},
        {"a shared chain picker; a missing chained program leaves the step unchained",
         Java({"JAV.Step01=Realign,a,J1,Chain=brelvin", "JAV.Step02=Refine,b,J2,Chain=brelvin",
               "JAV.Step03=RelocateDB,c,J3,Chain=gone"}),
         {"a", "b", "c", "brelvin"},
         {"Realign \"Chain=brelvin\" on J1@Realign JAVVorl/a +brelvin JAVVorl/brelvin",
          "Refine \"Chain=brelvin\" on J2@Refine JAVVorl/b +brelvin JAVVorl/brelvin",
          "RelocateDB \"Chain=gone\" on J3@RelocateDB JAVVorl/c +gone JAVVorl/gone missing"},
         {"Realign=brelvin", "Refine=brelvin", "RelocateDB=*"}, {}},
        {"a missing or unavailable program turns its row off; Realign stays on",
         Java({"JAV.Step01=Realign,gone,J1", "JAV.Step02=Refine,missing,J2,Chain=brelvin",
               "JAV.Step03=RelocateTP,p*,J3", "JAV.Step04=RelocateDB,there,J4,Chain=c*"}),
         {"there", "brelvin"},
         {"Realign \"Realign source code\" on missing J1@Realign JAVVorl/gone",
          "Refine \"Chain=brelvin\" off missing J2@Refine JAVVorl/missing",
          "RelocateTP \"Relocate teleprocessing statements\" off missing J3@RelocateTP ''",
          "RelocateDB \"Chain=c*\" on J4@RelocateDB JAVVorl/there +c* '' missing"},
         {"RelocateDB=*"},
         {"File Program for Relocate teleprocessing statements is marked unavailable!",
          "File Chained Program for c* is marked unavailable!"}},
        {"a step with fewer than three items ends the steps silently",
         Java({"JAV.Step01=Realign,a,J1", "JAV.Step02=Refine,b", "JAV.Step03=RelocateDB,a,J3"}), {"a"},
         {"Realign \"Realign source code\" on J1@Realign JAVVorl/a"}, {"Realign=*"}, {},
         "ended silently in the steps"},
        {"the language's FileLocal flag makes every step file-local, its chain with it",
         Java({"JAV.Step01=Realign,a,J1,Chain=brelvin", "JAV.Step02=Refine,a,J2", "JAV.Step02.FileLocal=N"},
              {"JAV.FileLocal=y"}),
         {"a", "brelvin"},
         {"Realign \"Chain=brelvin\" on J1@Realign JAVVorl/a +brelvin JAVVorl/brelvin local",
          "Refine \"Refine source code\" on J2@Refine JAVVorl/a local"},
         {"Realign=brelvin", "Refine=*"}, {}},
        {"a step's FileLocal flag (two digits, as the step key) makes that step alone file-local",
         Java({"JAV.Step01=Realign,a,J1", "JAV.Step02=Refine,a,J2,Chain=brelvin", "JAV.Step02.FileLocal=True",
               "JAV.Step1.FileLocal=Y"}),
         {"a", "brelvin"},
         {"Realign \"Realign source code\" on J1@Realign JAVVorl/a",
          "Refine \"Chain=brelvin\" on J2@Refine JAVVorl/a +brelvin JAVVorl/brelvin local"},
         {"Realign=*", "Refine=brelvin"}, {}},
        {"a FileLocal value that is no flag is reported, counts as not file-local, and the language applies",
         Java({"JAV.Step01=Realign,a,J1", "JAV.Step02=Refine,gone,J2", "JAV.Step02.FileLocal=sometimes"},
              {"JAV.FileLocal=perhaps"}),
         {"a"},
         {"Realign \"Realign source code\" on J1@Realign JAVVorl/a",
          "Refine \"Refine source code\" off missing J2@Refine JAVVorl/gone"},
         {"Realign=*"},
         {"perhaps is not valid boolean value (Y,J,I,N,True,False)",
          "sometimes is not valid boolean value (Y,J,I,N,True,False)"}},
        {"no definition", {"JAV.Step01=Realign,a,J1"}, {}, {}, {}, {},
         "failed: Shell error,missing language definition, inform Talmek"},
        {"a definition of two items", {"JAV=Java,JAV,", "JAV.Copy=x", "JAV.Filter=J|*.java"}, {}, {}, {}, {},
         "ended silently"},
        {"no filter", {"JAV=Java,JAV,\"\"", "JAV.Copy=x"}, {}, {}, {}, {},
         "failed after the definition: Shell program error, missing filter definition, inform Talmek"},
        {"an invalid scan flag", Java({"JAV.Step01=Realign,a,J1"}, {"JAV.Scan=perhaps"}), {"a"}, {}, {}, {},
         "failed after the definition: perhaps is not valid boolean value (Y,J,I,N,True,False)"},
    };
    for (const Case& c : cases) {
        TempDir root;
        for (const std::string& p : c.programs) PutFile(root / ("JAVVorl/" + p), "#!/bin/sh\n");
        const LanguagePlan plan = PlanLanguage(NameValueList(c.settings), "JAV", root.path());
        EXPECT_EQ(EndOf(plan), c.end) << c.what;
        EXPECT_EQ(Shown(plan, root.path()), c.shown) << c.what;
        EXPECT_EQ(plan.stepRegistry, c.registry) << c.what;
        EXPECT_EQ(plan.errors, c.errors) << c.what;
        // The new project's rows: only a shown row may be on, and Realign always is.
        for (const PlannedRow& r : plan.rows)
            EXPECT_TRUE(r.shown || r.checked == (r.name == "Realign")) << c.what << ": " << r.name;
        EXPECT_EQ(plan.applied.displayName, plan.definitionRead ? "Java" : "") << c.what;
    }
}

TEST(LanguagePlan, ScannerCheck) {
    TempDir root;
    const std::string scanner = root / "JAVVorl/scan";
    const std::string other = root / "mine";
    PutFile(scanner);
    PutFile(other);
    struct Case {
        const char* what;
        bool scan;
        std::string scannerDefault;
        std::string field;
        const char* chosen;  // what browsing gives, nullptr: nothing
        bool ready;
        std::string fieldAfter;
        int browsed;
        std::vector<std::string> errors;
    } cases[] = {
        {"no scan step", false, root / "none", "", nullptr, true, "", 0, {}},
        {"marked unavailable", true, root / "JAVVorl/s*", "", "x", false, "", 0,
         {"File Scanner program is marked unavailable!"}},
        {"an empty field takes the default", true, scanner, "", nullptr, true, scanner, 0, {}},
        {"so does \"?\"", true, scanner, "?", nullptr, true, scanner, 0, {}},
        {"a field naming a program keeps it", true, root / "none", other, nullptr, true, other, 0, {}},
        {"a missing program is browsed for", true, root / "none", "", "/chosen/scan", true, "/chosen/scan", 1, {}},
        {"browsing gives nothing", true, root / "none", "", nullptr, false, root / "none", 1,
         {"File not found: " + (root / "none")}},
    };
    for (const Case& c : cases) {
        LanguagePlan plan;
        plan.tools.scan = c.scan;
        plan.scannerDefault = c.scannerDefault;
        std::string field = c.field;
        std::vector<std::string> errors;
        int browsed = 0;
        const bool ready = ScannerReady(plan, field, [&](std::string& path) {
            ++browsed;
            if (c.chosen) path = c.chosen;
            return c.chosen != nullptr;
        }, errors);
        EXPECT_EQ(ready, c.ready) << c.what;
        EXPECT_EQ(field, c.fieldAfter) << c.what;
        EXPECT_EQ(browsed, c.browsed) << c.what;
        EXPECT_EQ(errors, c.errors) << c.what;
    }
}

#include "shell/run/target_plan.h"
#include "shell/run/run_setup.h"

#include <gtest/gtest.h>

using namespace korvane;

// One table over the ways a result could leave the output directory or meet
// another: which source is refused, and beside which.
TEST(TargetPlan, RefusedSourcesAndTheirPartners) {
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        const char* root;
        V sources;
        const char* outputExtension;
        const char* refused;  // nullptr: the plan is sound
        const char* other;    // the partner of a coinciding target
    } cases[] = {
        {"plain tree", "/src", {"/src/a/One.java", "/src/b/Two.java"}, "", nullptr, nullptr},
        {"one folder", "", {"/One.java", "/Two.java"}, "", nullptr, nullptr},
        {"climbs out", "/src/a", {"/src/a/One.java", "/src/a/../../../v/Two.java"}, "", "/src/a/../../../v/Two.java",
         ""},
        {"relative entries", "", {"One.java", "Two.java"}, ".new", "One.java", ""},
        {"not below the root", "/src", {"/src/a/One.java", "/other/Two.java"}, "", "/other/Two.java", ""},
        {"same after normalising", "/src", {"/src/a/Foo.java", "/src/b/../a/Foo.java"}, "", "/src/b/../a/Foo.java",
         "/src/a/Foo.java"},
        {"dot components", "/src", {"/src/a/./Foo.java", "/src/a/Foo.java"}, "", "/src/a/Foo.java",
         "/src/a/./Foo.java"},
        {"extension makes one", "/src", {"/src/a/Foo.JAVA", "/src/a/Foo.java"}, ".new", "/src/a/Foo.java",
         "/src/a/Foo.JAVA"},
        {"case differs, no output extension", "/src", {"/src/a/Foo.JAVA", "/src/a/Foo.java"}, "", nullptr, nullptr},
        {"a folder, not a file", "/src", {"/src/a/"}, "", "/src/a/", ""},
    };
    for (const Case& c : cases) {
        std::optional<TargetRefusal> r = CheckTargetPlan("/out", c.root, c.sources, c.outputExtension);
        if (!c.refused) {
            EXPECT_FALSE(r) << c.what << ": " << r->source;
            continue;
        }
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->source, c.refused) << c.what;
        EXPECT_EQ(r->other, c.other) << c.what;
    }
}

TEST(TargetPlan, OutputDirectoryOfARun) {
    struct Case {
        const char* field;
        const char* projectDirectory;
        const char* result;
    } cases[] = {
        {"/srv/out/", "/jobs/", "/srv/out"},
        {"/srv/a/../out", "/jobs/", "/srv/out"},
        {"out", "/jobs/", "/jobs/out"},         // from the project's folder
        {"../out/", "/jobs/x/", "/jobs/out"},
        {"out", "", ""},                        // never from the current directory
        {"out", "jobs/", ""},
        {"", "/jobs/", ""},
        {"/", "/jobs/", "/"},                   // refused later as the root
    };
    for (const Case& c : cases) EXPECT_EQ(RunOutputDirectory(c.field, c.projectDirectory), c.result) << c.field;
}

TEST(TargetPlan, TargetsAndMessages) {
    EXPECT_EQ(ResultTarget("/out", "/src", "/src/lib/a.cbl", ".new"), "/out/lib/a.new");
    EXPECT_EQ(ResultTarget("/out", "/src", "/src/a.cbl", ""), "/out/a.cbl");
    EXPECT_EQ(TargetRefusalMessage({"/s/../x.java", "", "/x.java"}, "/out"),
              "The result of /s/../x.java would be written outside the output directory /out");
    EXPECT_EQ(TargetRefusalMessage({"/s/Foo.java", "/s/Foo.JAVA", "/out/Foo.new"}, "/out"),
              "The results of /s/Foo.JAVA and /s/Foo.java would both be written to /out/Foo.new");
}

namespace korvane {
void PrintTo(const SourceResultPath& p, std::ostream* os) { *os << p.source << " -> " << p.result; }
}  // namespace korvane

// Which result file belongs to which checked source: the root comes from
// every entry (an unchecked one included), the output directory and the
// extension as a run takes them.
TEST(TargetPlan, CheckedSourcesAndTheirResults) {
    using P = std::vector<SourceResultPath>;
    struct Case {
        const char* what;
        std::vector<CheckEntry> sources;
        const char* outputDir;
        const char* outputExtension;
        P pairs;
    } cases[] = {
        {"unchecked entry widens the root",
         {{"/src/a/One.java", true}, {"/src/b/Two.java", false}, {"/src/a/c/Three.java", true}},
         "/out/",
         "",
         {{"/src/a/One.java", "/out/a/One.java"}, {"/src/a/c/Three.java", "/out/a/c/Three.java"}}},
        {"output extension", {{"/src/a/One.cob", true}, {"/src/a/Two.cob", true}}, "/out", ".new",
         {{"/src/a/One.cob", "/out/a/One.new"}, {"/src/a/Two.cob", "/out/a/Two.new"}}},
        {"relative output directory", {{"/src/One.c", true}}, "out", "", {{"/src/One.c", "/jobs/out/src/One.c"}}},
        {"no output directory", {{"/src/One.c", true}}, "", "", {}},
        {"nothing checked", {{"/src/One.c", false}}, "/out", "", {}},
    };
    for (const Case& c : cases) {
        RunSetup setup;
        setup.sources = c.sources;
        setup.outputDirectory = c.outputDir;
        setup.projectDirectory = "/jobs/";
        setup.language.outputExtension = c.outputExtension;
        EXPECT_EQ(CheckedSourceResults(setup), c.pairs) << c.what;
    }
}

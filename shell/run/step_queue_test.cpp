#include "shell/run/step_queue.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using Lines = std::vector<std::string>;

StepQueueInput ChainExample() {
    StepQueueInput in;
    in.registry = {"A=*", "B=C", "D=*"};
    in.steps = {
        {"A", true, "/t/a.exe", "a"},
        {"B", true, "/t/b.exe", "b"},
        {"D", true, "/t/d.exe", "d"},
    };
    in.chains = {{"C", "/t/C.exe"}};
    return in;
}

TEST(StepQueue, ChainedProgramReadsTheResultOfItsStep) {
    std::string finalExt;
    EXPECT_EQ(BuildStepQueue(ChainExample(), finalExt), (Lines{"A=<<", "B=<<a", "C=<<b", "D=<<b"}));
    EXPECT_EQ(finalExt, "d");
}

TEST(StepQueue, StepsThatAreSkipped) {
    struct Case {
        const char* what;
        void (*change)(StepQueueInput&);
        Lines queue;
        const char* finalExt;
    } cases[] = {
        {"unchecked step", [](StepQueueInput& in) { in.steps[2].checked = false; }, {"A=<<", "B=<<a", "C=<<b"}, "b"},
        {"no check box", [](StepQueueInput& in) { in.steps.erase(in.steps.begin()); }, {"B=<<", "C=<<b", "D=<<b"}, "d"},
        {"same program, other case: the second contributes nothing",
         [](StepQueueInput& in) { in.steps[2].programPath = "/T/A.EXE"; },
         {"A=<<", "B=<<a", "C=<<b"}, "b"},
        {"a step whose program is the chained one",
         [](StepQueueInput& in) { in.steps[2].programPath = "/t/c.exe"; },
         {"A=<<", "B=<<a", "C=<<b"}, "b"},
        {"step twice in the registry", [](StepQueueInput& in) { in.registry.push_back("a=*"); },
         {"A=<<", "B=<<a", "C=<<b", "D=<<b"}, "d"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        StepQueueInput in = ChainExample();
        k.change(in);
        std::string finalExt;
        EXPECT_EQ(BuildStepQueue(in, finalExt), k.queue);
        EXPECT_EQ(finalExt, k.finalExt);
    }
}

TEST(StepQueue, DuplicateProgramLeavesTheFinalExtensionAlone) {
    StepQueueInput in;
    in.registry = {"X=*", "Y=*"};
    in.steps = {{"X", true, "/t/same.exe", "x"}, {"Y", true, "/t/same.exe", "y"}};
    std::string finalExt;
    EXPECT_EQ(BuildStepQueue(in, finalExt), (Lines{"X=<<"}));
    EXPECT_EQ(finalExt, "x");
}

TEST(StepQueue, EmptyQueueKeepsThePreviousFinalExtension) {
    StepQueueInput in = ChainExample();
    for (auto& s : in.steps) s.checked = false;
    std::string finalExt = "old";
    EXPECT_TRUE(BuildStepQueue(in, finalExt).empty());
    EXPECT_EQ(finalExt, "old");
}

TEST(StepQueue, LineParts) {
    EXPECT_EQ(QueueStepName("Refine=<<cbl"), "Refine");
    EXPECT_EQ(QueueInputExtension("Refine=<<cbl"), "cbl");
    EXPECT_EQ(QueueInputExtension("A=<<"), "");
}

}  // namespace
}  // namespace korvane

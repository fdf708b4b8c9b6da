#include "shell/ui/action_table.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// During a run only the viewers and saving, exiting, cancelling and the
// renaming step pass the gate; without a run every action passes, and all
// but the viewers clear the status bar first.
TEST(BusyGateTest, DecidesByCategoryAndTheFourExceptions) {
    using D = GateDecision;
    struct Case {
        ActionId id;
        D busy;
        D idle;
    };
    const Case cases[] = {
        {ActionId::SaveProject, D::RunKeepingMessages, D::ClearAndRun},
        {ActionId::CloseAll, D::RunKeepingMessages, D::ClearAndRun},
        {ActionId::CancelRun, D::RunKeepingMessages, D::ClearAndRun},
        {ActionId::Rename, D::RunKeepingMessages, D::ClearAndRun},
        {ActionId::SaveProjectAs, D::Refuse, D::ClearAndRun},
        {ActionId::NewProject, D::Refuse, D::ClearAndRun},
        {ActionId::RunTool, D::Refuse, D::ClearAndRun},
        {ActionId::EditCopy1, D::Refuse, D::ClearAndRun},
        {ActionId::InternalViewer, D::RunKeepingMessages, D::RunKeepingMessages},
        {ActionId::CloseTab, D::RunKeepingMessages, D::RunKeepingMessages},
    };
    for (const Case& c : cases) {
        const ActionEntry& entry = ActionEntryOf(c.id);
        EXPECT_EQ(BusyGate(true, entry), c.busy) << entry.name;
        EXPECT_EQ(BusyGate(false, entry), c.idle) << entry.name;
    }
    // The name lookup finds the same rows, and only exact names.
    EXPECT_EQ(FindActionEntry("ActCancelRun"), &ActionEntryOf(ActionId::CancelRun));
    EXPECT_EQ(FindActionEntry("actcancelrun"), nullptr);
}

}  // namespace
}  // namespace korvane

#include "shell/ui/status_messages.h"

#include <gtest/gtest.h>

#include "shared/errors.h"
#include "shell/ui/scripted_dialogs.h"

namespace korvane {
namespace {

// One pixel per character plus the 4 pixels of border that TextPixelWidth adds.
class StatusMessagesTest : public ::testing::Test {
protected:
    void SetUp() override { SetClientWidth(5000); }
    void SetClientWidth(int w) {
        client = w;
        bar.SetMetrics([](const std::string& t) { return int(t.size()) + 4; }, [this] { return client; });
    }

    ScriptedDialogs dialogs;
    StatusMessages bar{&dialogs};
    int client = 0;
};

TEST_F(StatusMessagesTest, ShowErrorWithoutContinuationReportsAndAbandonsEveryTime) {
    for (int round = 1; round <= 2; ++round) {
        EXPECT_THROW(bar.ShowError("x", false), SilentAbort);
        EXPECT_EQ(bar.Text(), "x");
        EXPECT_EQ(bar.Background(), StatusBackground::Err);
        EXPECT_EQ(bar.Severity(), 2);
        EXPECT_EQ(dialogs.BeepCount(), round);
    }
    EXPECT_TRUE(dialogs.Calls().empty());  // no box without UseMessageBox
    EXPECT_FALSE(bar.Collecting());
}

TEST_F(StatusMessagesTest, TwoAddedErrorsAreCollectedAndShownOnClick) {
    bar.AddError("a", true);
    EXPECT_EQ(bar.Text(), "a");
    bar.AddError("b", true);
    EXPECT_EQ(bar.Text(), "More than one message, click here to get them!");
    EXPECT_EQ(bar.Hint(), "- a\r\n- b");
    EXPECT_EQ(bar.Background(), StatusBackground::Err);
    EXPECT_EQ(dialogs.BeepCount(), 2);

    bar.Click();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].kind, MsgKind::Error);
    EXPECT_EQ(dialogs.Calls()[0].buttons, unsigned(kOk));
    EXPECT_EQ(dialogs.Calls()[0].text, "The following errors occured....\r\n\r\n- a\r\n- b");
}

TEST_F(StatusMessagesTest, ShowErrorWhileCollectingSkipsTheRepeatButStillAbandons) {
    bar.AddError("b", true);
    EXPECT_THROW(bar.ShowError("b", false), SilentAbort);
    EXPECT_EQ(bar.MessageList(), "- b");
    EXPECT_EQ(dialogs.BeepCount(), 1);

    EXPECT_THROW(bar.ShowError("c", false), SilentAbort);
    EXPECT_EQ(bar.MessageList(), "- b\r\n- c");
    bar.ShowError("c", true);  // a repeat with continuation on: nothing at all
    EXPECT_EQ(bar.MessageList(), "- b\r\n- c");
}

TEST_F(StatusMessagesTest, WarningAfterErrorWhileCollectingKeepsErrorColour) {
    bar.AddError("e", true);
    bar.ShowWarning("w");
    EXPECT_EQ(bar.Background(), StatusBackground::Err);
    EXPECT_EQ(bar.Severity(), 2);
    EXPECT_EQ(bar.MessageList(), "- e\r\n- w");
    bar.ShowWarning("w");  // equal to the last message: ignored
    bar.ShowInfo("w");
    EXPECT_EQ(bar.MessageList(), "- e\r\n- w");
}

TEST_F(StatusMessagesTest, LongMessageOnWideBarIsCutAt120Characters) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += char('a' + i % 26);
    bar.ShowError(text, true);
    EXPECT_EQ(bar.Text(), text.substr(0, 120) + "...");
    EXPECT_EQ(bar.Hint(), text.substr(0, 120) + "\r\n" + text.substr(120));
    EXPECT_EQ(bar.LastMessage(), text);

    bar.Click();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].text, "The following error occured....\r\n\r\n" + bar.Hint());
}

TEST_F(StatusMessagesTest, ShorteningFollowsTheBarWidth) {
    struct Case {
        size_t length;
        int clientWidth;
        size_t shown;  // characters before "...", or npos when not cut
    };
    // Text width = length + 4; "..." is 7 wide; available = max(10, client - 7).
    const Case cases[] = {
        {130, 60, 45},                  // 120, 115, ... down to the first that fits 53
        {125, 5000, std::string::npos},  // below 126 characters and narrow enough
        {126, 5000, 120},                // 126 characters are always cut
        {80, 60, 45},                   // wider than 53: starts at 75
        {49, 60, std::string::npos},     // 53 wide: just fits
        {50, 60, 45},                   // 54 wide: starts at 45
        {130, 0, 5},                    // available width never below 10
        {7, 8, 2},                      // 11 > 1: starts at 2, which fits 10
        {3, 8, 0},                      // starts at nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.length << ", width " << c.clientWidth);
        SetClientWidth(c.clientWidth);
        bar.ClearMessages();
        const std::string text(c.length, 'm');
        bar.ShowInfo(text);
        if (c.shown == std::string::npos) {
            EXPECT_EQ(bar.Text(), text);
            EXPECT_EQ(bar.Hint(), "");
        } else {
            EXPECT_EQ(bar.Text(), std::string(c.shown, 'm') + "...");
            EXPECT_EQ(bar.Hint(), std::string(c.shown, 'm') + "\r\n" + std::string(c.length - c.shown, 'm'));
        }
    }
}

TEST_F(StatusMessagesTest, CutDoesNotSplitAMultiByteCharacter) {
    std::string text(119, 'x');
    for (int i = 0; i < 10; ++i) text += "\xC3\xA9";  // é
    bar.ShowInfo(text);
    EXPECT_EQ(bar.Text(), std::string(119, 'x') + "...");
    EXPECT_EQ(bar.Hint(), std::string(119, 'x') + "\r\n" + text.substr(119));
}

TEST_F(StatusMessagesTest, ClearingLeavesNothingButTheLastMessage) {
    bar.ShowError(std::string(200, 'z'), true);
    bar.ClearMessages();
    EXPECT_EQ(bar.Text(), "");
    EXPECT_EQ(bar.Hint(), "");
    EXPECT_EQ(bar.Background(), StatusBackground::Normal);
    EXPECT_EQ(bar.Severity(), 0);
    EXPECT_EQ(bar.LastMessage(), std::string(200, 'z'));
    bar.Click();
    EXPECT_TRUE(dialogs.Calls().empty());  // nothing happens on an empty bar

    // While collecting: hint and list emptied too.
    bar.AddWarning("a");
    bar.AddWarning("b");
    bar.ClearMessages();
    EXPECT_FALSE(bar.Collecting());
    EXPECT_EQ(bar.Hint(), "");
    EXPECT_EQ(bar.Text(), "");
    EXPECT_EQ(bar.LastMessage(), "b");

    // An empty error clears the bar and ends nothing.
    bar.ShowWarning("careful");
    bar.ShowError("", true);
    EXPECT_EQ(bar.Text(), "");
    EXPECT_EQ(bar.Background(), StatusBackground::Normal);
    EXPECT_EQ(bar.Severity(), 0);
    bar.ShowWarning("careful");
    EXPECT_NO_THROW(bar.ShowError("", false));
    EXPECT_EQ(bar.Text(), "");
}

TEST_F(StatusMessagesTest, ShortTextAfterShortenedOneDropsTheOldHint) {
    bar.ShowError(std::string(150, 'q'), true);
    bar.ShowInfo("done");
    EXPECT_EQ(bar.Text(), "done");
    EXPECT_EQ(bar.Hint(), "");
    EXPECT_EQ(bar.Background(), StatusBackground::Normal);
    EXPECT_EQ(bar.Severity(), 2);  // information changes no severity
    EXPECT_EQ(bar.LastMessage(), std::string(150, 'q'));
    bar.Click();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].text, "The following error occured....\r\n\r\ndone");
}

TEST_F(StatusMessagesTest, InformationNeitherBeepsNorRecords) {
    bar.ShowInfo("hello");
    bar.AddInfo("one");
    EXPECT_EQ(dialogs.BeepCount(), 0);
    EXPECT_EQ(bar.Background(), StatusBackground::Normal);
    EXPECT_EQ(bar.LastMessage(), "one");
    bar.AddWarning("two");
    EXPECT_EQ(bar.Background(), StatusBackground::Warn);
    EXPECT_EQ(dialogs.BeepCount(), 1);
    bar.AddInfo("three");  // severity above 0 now: beeps, colour stays
    EXPECT_EQ(dialogs.BeepCount(), 2);
    EXPECT_EQ(bar.Background(), StatusBackground::Warn);
    EXPECT_THROW(bar.AddError("four", false), SilentAbort);
    EXPECT_EQ(bar.Background(), StatusBackground::Err);
    EXPECT_EQ(bar.MessageList(), "- one\r\n- two\r\n- three\r\n- four");
}

TEST_F(StatusMessagesTest, WarningOutsideCollectingTakesWarnColourButKeepsSeverity) {
    bar.ShowError("bad", true);
    bar.ShowWarning("Processing finished");
    EXPECT_EQ(bar.Background(), StatusBackground::Warn);
    EXPECT_EQ(bar.Severity(), 2);
    EXPECT_EQ(bar.LastMessage(), "Processing finished");
    EXPECT_EQ(dialogs.BeepCount(), 2);
}

TEST_F(StatusMessagesTest, MessageBoxesWhenAskedFor) {
    bar.SetUseMessageBox(true);
    bar.ShowError("e1", true);
    bar.ShowWarning("w1");
    bar.ShowInfo("i1");  // never a box
    bar.AddInfo("a");
    bar.AddInfo("b");
    const auto& calls = dialogs.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, MsgKind::Error);
    EXPECT_EQ(calls[0].text, "e1");
    EXPECT_EQ(calls[1].kind, MsgKind::Warning);
    EXPECT_EQ(calls[1].text, "w1");
    EXPECT_EQ(calls[2].kind, MsgKind::Error);  // whatever the level
    EXPECT_EQ(calls[2].text, "- a");
    EXPECT_EQ(calls[3].text, "- a\r\n- b");
    for (const auto& c : calls) EXPECT_EQ(c.buttons, unsigned(kOk));
}

TEST_F(StatusMessagesTest, FatalShowsWholeTextEndsCollectingAndAbandons) {
    bar.AddError("a", true);
    bar.AddError("b", true);
    const std::string text(300, 'f');
    dialogs.AnswerButton(kAbort);
    EXPECT_THROW(bar.ShowFatal(text), SilentAbort);
    EXPECT_EQ(bar.Text(), text);
    EXPECT_FALSE(bar.Collecting());
    EXPECT_EQ(bar.Severity(), 3);
    EXPECT_EQ(bar.Background(), StatusBackground::Err);
    EXPECT_EQ(dialogs.BeepCount(), 3);
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].kind, MsgKind::Error);
    EXPECT_EQ(dialogs.Calls()[0].buttons, unsigned(kAbort));
    EXPECT_EQ(dialogs.Calls()[0].text, text);
}

TEST_F(StatusMessagesTest, ListenerSeesTheReportBeforeTheAbort) {
    std::string seen;
    bar.SetChangeListener([&] { seen = bar.Text(); });
    EXPECT_THROW(bar.ShowError("stop", false), SilentAbort);
    EXPECT_EQ(seen, "stop");
}

}  // namespace
}  // namespace korvane

#pragma once
// What the message status bar knows and does, without the widget: the text
// shown, the hint, the collected message list, the last message, the
// severity and the background state, the shortening of long messages, the
// click texts, and the beep/message box/abort that go with a report. The
// widget (TMyStatusBar) draws this state and supplies the text measuring.

#include <functional>
#include <string>

#include "shell/ui/dialogs.h"
#include "shell/ui/reporter.h"

namespace korvane {

enum class StatusBackground { Normal, Warn, Err };

class StatusMessages : public Reporter {
public:
    // Width in pixels of a text in the bar's font (TextPixelWidth).
    using TextWidthFn = std::function<int(const std::string&)>;
    // Client width of the bar in pixels.
    using ClientWidthFn = std::function<int()>;

    static constexpr const char* kMoreMessages = "More than one message, click here to get them!";
    static constexpr const char* kErrorsHeading = "The following errors occured....\r\n\r\n";
    static constexpr const char* kErrorHeading = "The following error occured....\r\n\r\n";

    explicit StatusMessages(Dialogs* dialogs = nullptr);

    void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
    // Without metrics every character counts one pixel and the bar is
    // taken as 1000 pixels wide.
    void SetMetrics(TextWidthFn textWidth, ClientWidthFn clientWidth);
    // Called after every change of text, hint or background, before any
    // beep, message box or abort.
    void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

    bool UseMessageBox() const { return useMessageBox_; }
    void SetUseMessageBox(bool on) { useMessageBox_ = on; }

    // Reporter
    void ClearMessages() override;
    void AddInfo(const std::string& text) override;
    void AddWarning(const std::string& text) override;
    void AddError(const std::string& text, bool cont) override;
    void ShowError(const std::string& text, bool cont) override;
    void ShowInfo(const std::string& text) override;
    void ShowFatal(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    int Severity() const override { return severity_; }

    const std::string& Text() const { return text_; }
    const std::string& Hint() const { return hint_; }
    const std::string& MessageList() const { return messageList_; }
    const std::string& LastMessage() const { return lastMessage_; }
    StatusBackground Background() const { return background_; }
    bool Collecting() const { return !messageList_.empty(); }

    // The text of the box that a click (or double click) on the bar shows;
    // empty when the bar is empty and nothing is collected.
    std::string ClickBoxText() const;
    // The default click and double-click behaviour: the box above.
    void Click();

private:
    void AppendMessage(const std::string& text, int level, bool cont);
    void DisplayText(const std::string& text);
    // The hint still holds the whole text of the shortened message shown.
    bool HintHoldsShownText() const;
    void RaiseSeverity(int level);
    void Changed();
    void Beep();
    void Box(MsgKind kind, const std::string& text, unsigned buttons);
    [[noreturn]] static void Abandon();

    Dialogs* dialogs_;
    TextWidthFn textWidth_;
    ClientWidthFn clientWidth_;
    std::function<void()> changed_;
    bool useMessageBox_ = false;

    std::string text_;
    std::string hint_;
    std::string messageList_;
    std::string lastMessage_;
    int severity_ = 0;
    StatusBackground background_ = StatusBackground::Normal;
};

}  // namespace korvane

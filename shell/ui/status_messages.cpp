#include "shell/ui/status_messages.h"

#include <algorithm>

#include "shared/errors.h"
#include "shared/text.h"

namespace korvane {
namespace {

// Moves a cut position back so that it does not split a UTF-8 sequence.
size_t CharBoundary(const std::string& text, size_t len) {
    while (len > 0 && len < text.size() && (static_cast<unsigned char>(text[len]) & 0xC0) == 0x80) --len;
    return len;
}

}  // namespace

StatusMessages::StatusMessages(Dialogs* dialogs) : dialogs_(dialogs) {}

void StatusMessages::SetMetrics(TextWidthFn textWidth, ClientWidthFn clientWidth) {
    textWidth_ = std::move(textWidth);
    clientWidth_ = std::move(clientWidth);
}

void StatusMessages::ClearMessages() {
    background_ = StatusBackground::Normal;
    if (Collecting() || HintHoldsShownText()) hint_.clear();
    text_.clear();
    messageList_.clear();
    severity_ = 0;
    Changed();
}

void StatusMessages::AddInfo(const std::string& text) { AppendMessage(text, 0, true); }

void StatusMessages::AddWarning(const std::string& text) { AppendMessage(text, 1, true); }

void StatusMessages::AddError(const std::string& text, bool cont) { AppendMessage(text, 2, cont); }

void StatusMessages::ShowError(const std::string& text, bool cont) {
    if (Collecting()) {
        if (text != lastMessage_) AppendMessage(text, 2, cont);
        if (!cont) Abandon();
        return;
    }
    // An empty error is a request to clear the bar; it ends nothing.
    if (text.empty()) {
        ClearMessages();
        return;
    }
    background_ = StatusBackground::Err;
    lastMessage_ = text;
    DisplayText(text);
    RaiseSeverity(2);
    Changed();
    Beep();
    if (useMessageBox_) Box(MsgKind::Error, text, kOk);
    if (!cont) Abandon();
}

void StatusMessages::ShowWarning(const std::string& text) {
    if (Collecting()) {
        if (text != lastMessage_) AppendMessage(text, 1, true);
        return;
    }
    background_ = StatusBackground::Warn;
    DisplayText(text);
    lastMessage_ = text;
    RaiseSeverity(1);
    Changed();
    Beep();
    if (useMessageBox_) Box(MsgKind::Warning, text, kOk);
}

void StatusMessages::ShowInfo(const std::string& text) {
    if (Collecting()) {
        if (text != lastMessage_) AppendMessage(text, 0, true);
        return;
    }
    background_ = StatusBackground::Normal;
    DisplayText(text);
    Changed();
}

void StatusMessages::ShowFatal(const std::string& text) {
    background_ = StatusBackground::Err;
    lastMessage_ = text;
    text_ = text;
    messageList_.clear();
    RaiseSeverity(3);
    Changed();
    Beep();
    Box(MsgKind::Error, text, kAbort);
    Abandon();
}

void StatusMessages::AppendMessage(const std::string& text, int level, bool cont) {
    if (severity_ < level) {
        if (level == 1)
            background_ = StatusBackground::Warn;
        else if (level >= 2)
            background_ = StatusBackground::Err;
    }
    lastMessage_ = text;
    if (messageList_.empty()) {
        messageList_ = "- " + text;
        DisplayText(text);
    } else {
        messageList_ += "\r\n- " + text;
        text_ = kMoreMessages;
        hint_ = messageList_;
    }
    RaiseSeverity(level);
    Changed();
    if (severity_ > 0) Beep();
    if (useMessageBox_) Box(MsgKind::Error, messageList_, kOk);
    if (!cont) Abandon();
}

void StatusMessages::DisplayText(const std::string& text) {
    auto width = [this](const std::string& t) { return textWidth_ ? textWidth_(t) : int(t.size()); };
    const int client = clientWidth_ ? clientWidth_() : 1000;
    const int dots = width("...");
    const int available = std::max(10, client - dots);

    long start = -1;
    if (text.size() >= 126)
        start = 120;
    else if (width(text) > client - dots)
        start = std::max(0L, long(text.size()) - 5);

    if (start >= 0) {
        // Going down in steps of 5 until the prefix fits; the empty prefix
        // always does, since the available width is at least 10.
        long n = start;
        size_t len = CharBoundary(text, size_t(n));
        while (n > 0 && width(text.substr(0, len)) > available) {
            n = std::max(0L, n - 5);
            len = CharBoundary(text, size_t(n));
        }
        text_ = text.substr(0, len) + "...";
        hint_ = text.substr(0, len) + "\r\n" + text.substr(len);
        return;
    }
    // A hint left over from a shortened message belongs to that message.
    if (HintHoldsShownText()) hint_.clear();
    text_ = text;
}

bool StatusMessages::HintHoldsShownText() const {
    if (text_.empty() || hint_.empty()) return false;
    return StartsWithStr(Trim(TextBeforeLast(text_, "...")), Trim(hint_));
}

std::string StatusMessages::ClickBoxText() const {
    if (Collecting()) return kErrorsHeading + messageList_;
    if (text_.empty()) return {};
    return kErrorHeading + (HintHoldsShownText() ? hint_ : text_);
}

void StatusMessages::Click() {
    const std::string text = ClickBoxText();
    if (!text.empty()) Box(MsgKind::Error, text, kOk);
}

void StatusMessages::RaiseSeverity(int level) { severity_ = std::max(severity_, level); }

void StatusMessages::Changed() {
    if (changed_) changed_();
}

void StatusMessages::Beep() {
    if (dialogs_) dialogs_->Beep();
}

void StatusMessages::Box(MsgKind kind, const std::string& text, unsigned buttons) {
    if (dialogs_) dialogs_->Message(kind, text, buttons);
}

void StatusMessages::Abandon() { throw SilentAbort(); }

}  // namespace korvane

#pragma once
// Dialogs for tests: answers come from a script queue, every call is
// recorded. A call with no scripted answer fails the test loudly (it throws
// std::logic_error), so no flow can wait for a person.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/ui/dialogs.h"

namespace korvane {

class ScriptedDialogs : public Dialogs {
public:
    struct Call {
        std::string what;  // "Message", "OpenFiles", "SaveFile", "ChooseFolder", "ChooseFont"
        MsgKind kind = MsgKind::Information;
        std::string text;  // message text, dialog title or folder caption
        unsigned buttons = 0;
        FileDialogOptions file;
        std::string root;
    };
    // Queue answers in the order the flow will ask.
    void AnswerButton(unsigned button) { push(Item::Button).button = button; }
    void AnswerFiles(std::vector<std::string> files) { push(Item::Files).files = std::move(files); }
    void AnswerPath(std::string path) { push(Item::Files).files = {std::move(path)}; }
    void AnswerFont(FontChoice font) { push(Item::Font).font = std::move(font); }
    // Cancels the next file, folder or font dialog.
    void AnswerCancel() { push(Item::Cancel); }
    // Messages of kind Information/Error with only an OK button need no
    // scripted answer when this is on (the default).
    void SetAutoOk(bool on) { autoOk_ = on; }
    // Runs once, while the next scripted question is open, before it is
    // answered (a person who takes their time).
    void SetBeforeAnswer(std::function<void()> fn) { beforeAnswer_ = std::move(fn); }

    const std::vector<Call>& Calls() const { return calls_; }
    size_t PendingAnswers() const { return answers_.size(); }
    int BeepCount() const { return beeps_; }
    void ClearCalls() { calls_.clear(); }

    unsigned Message(MsgKind kind, const std::string& text, unsigned buttons) override;
    std::optional<std::vector<std::string>> OpenFiles(const FileDialogOptions& opts) override;
    std::optional<std::string> SaveFile(const FileDialogOptions& opts) override;
    std::optional<std::string> ChooseFolder(const std::string& caption, const std::string& root,
                                            bool allowCreate) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& current,
                                       const std::function<void(const FontChoice&)>& apply) override;
    void Beep() override { ++beeps_; }

private:
    struct Item {
        enum Kind { Button, Files, Font, Cancel } kind = Cancel;
        unsigned button = 0;
        std::vector<std::string> files;
        FontChoice font;
    };
    Item& push(Item::Kind kind) {
        answers_.push_back(Item{});
        answers_.back().kind = kind;
        return answers_.back();
    }
    Item Next(const std::string& what);

    std::deque<Item> answers_;
    std::vector<Call> calls_;
    bool autoOk_ = true;
    int beeps_ = 0;
    std::function<void()> beforeAnswer_;
};

}  // namespace korvane

#include "shell/ui/scripted_dialogs.h"

namespace korvane {

ScriptedDialogs::Item ScriptedDialogs::Next(const std::string& what) {
    if (answers_.empty()) throw std::logic_error("unscripted dialog: " + what);
    Item item = std::move(answers_.front());
    answers_.pop_front();
    return item;
}

unsigned ScriptedDialogs::Message(MsgKind kind, const std::string& text, unsigned buttons) {
    calls_.push_back({"Message", kind, text, buttons, {}, {}});
    if (autoOk_ && buttons == kOk && (answers_.empty() || answers_.front().kind != Item::Button)) return kOk;
    if (beforeAnswer_) {
        std::function<void()> fn = std::move(beforeAnswer_);
        beforeAnswer_ = nullptr;
        fn();
    }
    Item item = Next("Message: " + text);
    if (item.kind != Item::Button) throw std::logic_error("scripted answer is not a button: " + text);
    if (!(item.button & buttons)) throw std::logic_error("scripted button not offered: " + text);
    return item.button;
}

std::optional<std::vector<std::string>> ScriptedDialogs::OpenFiles(const FileDialogOptions& opts) {
    calls_.push_back({"OpenFiles", MsgKind::Information, opts.title, 0, opts, {}});
    Item item = Next("OpenFiles: " + opts.title);
    if (item.kind == Item::Cancel) return std::nullopt;
    if (item.kind != Item::Files) throw std::logic_error("scripted answer is not a file list: " + opts.title);
    return item.files;
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogOptions& opts) {
    calls_.push_back({"SaveFile", MsgKind::Information, opts.title, 0, opts, {}});
    Item item = Next("SaveFile: " + opts.title);
    if (item.kind == Item::Cancel) return std::nullopt;
    if (item.kind != Item::Files || item.files.size() != 1)
        throw std::logic_error("scripted answer is not a path: " + opts.title);
    return item.files.front();
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(const std::string& caption, const std::string& root,
                                                         bool /*allowCreate*/) {
    calls_.push_back({"ChooseFolder", MsgKind::Information, caption, 0, {}, root});
    Item item = Next("ChooseFolder: " + caption);
    if (item.kind == Item::Cancel) return std::nullopt;
    if (item.kind != Item::Files || item.files.size() != 1)
        throw std::logic_error("scripted answer is not a folder: " + caption);
    return item.files.front();
}

std::optional<FontChoice> ScriptedDialogs::ChooseFont(const FontChoice& /*current*/,
                                                    const std::function<void(const FontChoice&)>& /*apply*/) {
    calls_.push_back({"ChooseFont", MsgKind::Information, "", 0, {}, {}});
    Item item = Next("ChooseFont");
    if (item.kind == Item::Cancel) return std::nullopt;
    if (item.kind != Item::Font) throw std::logic_error("scripted answer is not a font");
    return item.font;
}

}  // namespace korvane

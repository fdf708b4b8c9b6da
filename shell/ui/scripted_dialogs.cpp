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
    if (autoOk_ && buttons == kOk && (answers_.empty() || !std::holds_alternative<unsigned>(answers_.front())))
        return kOk;
    Item item = Next("Message: " + text);
    if (auto* b = std::get_if<unsigned>(&item)) {
        if (!(*b & buttons)) throw std::logic_error("scripted button not offered: " + text);
        return *b;
    }
    throw std::logic_error("scripted answer is not a button: " + text);
}

std::optional<std::vector<std::string>> ScriptedDialogs::OpenFiles(const FileDialogOptions& opts) {
    calls_.push_back({"OpenFiles", MsgKind::Information, opts.title, 0, opts, {}});
    Item item = Next("OpenFiles: " + opts.title);
    if (std::holds_alternative<Cancel>(item)) return std::nullopt;
    if (auto* f = std::get_if<std::optional<std::vector<std::string>>>(&item)) return *f;
    if (auto* p = std::get_if<std::optional<std::string>>(&item)) return std::vector<std::string>{**p};
    throw std::logic_error("scripted answer is not a file list: " + opts.title);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogOptions& opts) {
    calls_.push_back({"SaveFile", MsgKind::Information, opts.title, 0, opts, {}});
    Item item = Next("SaveFile: " + opts.title);
    if (std::holds_alternative<Cancel>(item)) return std::nullopt;
    if (auto* p = std::get_if<std::optional<std::string>>(&item)) return *p;
    throw std::logic_error("scripted answer is not a path: " + opts.title);
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(const std::string& caption, const std::string& root,
                                                         bool /*allowCreate*/) {
    calls_.push_back({"ChooseFolder", MsgKind::Information, caption, 0, {}, root});
    Item item = Next("ChooseFolder: " + caption);
    if (std::holds_alternative<Cancel>(item)) return std::nullopt;
    if (auto* p = std::get_if<std::optional<std::string>>(&item)) return *p;
    throw std::logic_error("scripted answer is not a folder: " + caption);
}

std::optional<FontSpec> ScriptedDialogs::ChooseFont(const FontSpec& /*current*/,
                                                    const std::function<void(const FontSpec&)>& /*apply*/) {
    calls_.push_back({"ChooseFont", MsgKind::Information, "", 0, {}, {}});
    Item item = Next("ChooseFont");
    if (std::holds_alternative<Cancel>(item)) return std::nullopt;
    if (auto* f = std::get_if<std::optional<FontSpec>>(&item)) return *f;
    throw std::logic_error("scripted answer is not a font");
}

}  // namespace korvane

#pragma once
// The Qt implementation of the shell's dialogs: message boxes, file and
// folder dialogs and the fixed-pitch font dialog. Every dialog runs its own
// event loop inside a NestedEventLoopScope, so events handled meanwhile are
// guarded operations of their own.

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "shell/ui/dialogs.h"

namespace korvane {

// "Desc|*.a;*.b|All|*.*" -> {"Desc (*.a *.b)", "All (*.*)"}. A description
// without masks gets "*".
QStringList QtNameFilters(const std::string& filter);
// The same joined as QFileDialog takes it: "Desc (*.a *.b);;All (*.*)".
QString QtFilterString(const std::string& filter);
// Message text for display: CR LF (and a lone CR) become line breaks.
QString MessageBoxText(const std::string& text);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParentWidget(QWidget* parent) { parent_ = parent; }

    unsigned Message(MsgKind kind, const std::string& text, unsigned buttons) override;
    std::optional<std::vector<std::string>> OpenFiles(const FileDialogOptions& opts) override;
    std::optional<std::string> SaveFile(const FileDialogOptions& opts) override;
    std::optional<std::string> ChooseFolder(const std::string& caption, const std::string& root,
                                            bool allowCreate) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& current,
                                       const std::function<void(const FontChoice&)>& apply) override;
    void Beep() override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace korvane

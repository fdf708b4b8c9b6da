#pragma once
// Helpers of the picker and drop-target tests: a reporter that records what
// it is told, a dialog script that can look at the picker while a dialog is
// "open", and synthesised desktop drops.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "shared/errors.h"
#include "shell/ui/reporter.h"
#include "shell/ui/scripted_dialogs.h"

namespace korvane::testing {

class RecordingReporter : public Reporter {
public:
    struct Entry {
        std::string op;
        std::string text;
        bool cont = true;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries;

    void ClearMessages() override { entries.push_back({"ClearMessages", "", true}); }
    void AddInfo(const std::string& t) override { entries.push_back({"AddInfo", t, true}); }
    void AddWarning(const std::string& t) override { entries.push_back({"AddWarning", t, true}); }
    void AddError(const std::string& t, bool cont) override {
        entries.push_back({"AddError", t, cont});
        if (!cont) throw SilentAbort{};
    }
    void ShowError(const std::string& t, bool cont) override {
        entries.push_back({"ShowError", t, cont});
        if (!cont) throw SilentAbort{};
    }
    void ShowInfo(const std::string& t) override { entries.push_back({"ShowInfo", t, true}); }
    void ShowFatal(const std::string& t) override {
        entries.push_back({"ShowFatal", t, false});
        throw SilentAbort{};
    }
    void ShowWarning(const std::string& t) override { entries.push_back({"ShowWarning", t, true}); }
    int Severity() const override { return 0; }
};

// Scripted dialogs that first run a probe (to look at the caller's state
// while the dialog would be open).
class ProbeDialogs : public ScriptedDialogs {
public:
    std::function<void()> probe;
    std::optional<std::vector<std::string>> OpenFiles(const FileDialogOptions& opts) override {
        if (probe) probe();
        return ScriptedDialogs::OpenFiles(opts);
    }
    std::optional<std::string> ChooseFolder(const std::string& caption, const std::string& root,
                                            bool allowCreate) override {
        if (probe) probe();
        return ScriptedDialogs::ChooseFolder(caption, root, allowCreate);
    }
};

inline QMimeData* MimeWithUrls(const QList<QUrl>& urls) {
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

inline QList<QUrl> LocalUrls(const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromUtf8(p));
    return urls;
}

struct DropOutcome {
    bool enterAccepted = false;
    bool dropAccepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// A desktop drop as the window system delivers it: drag enter, then drop.
inline DropOutcome SimulateDrop(QWidget* target, const QList<QUrl>& urls,
                                Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction) {
    std::unique_ptr<QMimeData> mime(MimeWithUrls(urls));
    DropOutcome out;
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, offered, mime.get(), Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(target, &enter);
    out.enterAccepted = enter.isAccepted();
    QDropEvent drop(QPointF(at), offered, mime.get(), Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(target, &drop);
    out.dropAccepted = drop.isAccepted();
    out.action = drop.dropAction();
    return out;
}

}  // namespace korvane::testing

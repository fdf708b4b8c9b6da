#pragma once
// ActionListMain: the QActions of the main window, built from the action
// table and indexed by ActionId. Executing an action (menu, button, shortcut
// or program) passes the busy gate and runs its handler inside the guard.
// Each QAction carries its table name as object name ("ActCancelRun").

#include <QAction>
#include <QObject>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shell/ui/action_table.h"

namespace korvane {

class ActionList : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(QObject* sender)>;
    // Runs before every handler; throws SilentAbort to refuse.
    using Gate = std::function<void(const ActionEntry&)>;

    explicit ActionList(QObject* owner);

    QAction* action(ActionId id) const { return actions_[size_t(id)]; }
    QAction* operator[](ActionId id) const { return action(id); }
    const ActionEntry& entry(ActionId id) const { return ActionEntryOf(id); }
    std::vector<QAction*> all() const { return {actions_.begin(), actions_.end()}; }

    void setHandler(ActionId id, Handler h) { handlers_[size_t(id)] = std::move(h); }
    void setGate(Gate g) { gate_ = std::move(g); }

    // Executes an action as its menu item would: busy gate, then handler,
    // inside the guard. Disabled actions do nothing.
    void execute(ActionId id, QObject* sender = nullptr);
    // Runs the handler alone (no gate), as "running the handler directly".
    void runHandler(ActionId id, QObject* sender = nullptr);

private:
    std::array<QAction*, kActionCount> actions_{};
    std::array<Handler, kActionCount> handlers_{};
    Gate gate_;
};

}  // namespace korvane

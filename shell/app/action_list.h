#pragma once
// ActionListMain: the QActions of the main window, built from the action
// table. Executing an action (menu, button, shortcut or program) passes the
// busy gate and runs its handler inside the guard.

#include <QAction>
#include <QObject>

#include <functional>
#include <map>
#include <string>

#include "shell/app/action_table.h"

namespace korvane {

class ActionList : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(QObject* sender)>;
    // Runs before every handler; throws SilentAbort to refuse.
    using Gate = std::function<void(const ActionEntry&)>;

    explicit ActionList(QObject* owner);

    QAction* action(const std::string& name) const;
    QAction* operator[](const std::string& name) const { return action(name); }
    const ActionEntry& entry(const std::string& name) const;
    std::vector<QAction*> all() const { return ordered_; }

    void setHandler(const std::string& name, Handler h);
    void setGate(Gate g) { gate_ = std::move(g); }

    // Executes an action as its menu item would: busy gate, then handler,
    // inside the guard. Disabled actions do nothing.
    void execute(const std::string& name, QObject* sender = nullptr);
    // Runs the handler alone (no gate), as "running the handler directly".
    void runHandler(const std::string& name, QObject* sender = nullptr);

private:
    std::map<std::string, QAction*> byName_;
    std::map<std::string, Handler> handlers_;
    std::vector<QAction*> ordered_;
    Gate gate_;
};

}  // namespace korvane

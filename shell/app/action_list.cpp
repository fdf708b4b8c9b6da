#include "shell/app/action_list.h"

#include <stdexcept>

#include "shell/ui/guard.h"

namespace korvane {

ActionList::ActionList(QObject* owner) : QObject(owner) {
    setObjectName("ActionListMain");
    for (const ActionEntry& entry : MainActionTable()) {
        auto* a = new QAction(QString::fromUtf8(entry.caption), this);
        a->setObjectName(entry.name);
        if (*entry.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut)));
        if (*entry.hint) {
            a->setToolTip(QString::fromUtf8(entry.hint));
            a->setStatusTip(QString::fromUtf8(entry.hint));
        }
        a->setProperty("category", entry.category);
        std::string name = entry.name;
        connect(a, &QAction::triggered, this, [this, name] { execute(name, nullptr); });
        byName_[name] = a;
        ordered_.push_back(a);
    }
}

QAction* ActionList::action(const std::string& name) const {
    auto it = byName_.find(name);
    if (it == byName_.end()) throw std::logic_error("no action " + name);
    return it->second;
}

const ActionEntry& ActionList::entry(const std::string& name) const {
    const ActionEntry* s = FindActionEntry(name);
    if (!s) throw std::logic_error("no action " + name);
    return *s;
}

void ActionList::setHandler(const std::string& name, Handler h) {
    action(name);
    handlers_[name] = std::move(h);
}

void ActionList::execute(const std::string& name, QObject* sender) {
    QAction* a = action(name);
    if (!a->isEnabled()) return;
    const ActionEntry& s = entry(name);
    RunGuarded([&] {
        if (gate_) gate_(s);
        auto it = handlers_.find(name);
        if (it != handlers_.end() && it->second) it->second(sender);
    });
}

void ActionList::runHandler(const std::string& name, QObject* sender) {
    auto it = handlers_.find(name);
    if (it == handlers_.end() || !it->second) return;
    RunGuarded([&] { it->second(sender); });
}

}  // namespace korvane

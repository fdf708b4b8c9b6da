#include "shell/app/action_list.h"

#include <stdexcept>

#include "shell/ui/guard.h"

namespace korvane {

ActionList::ActionList(QObject* owner) : QObject(owner) {
    setObjectName("ActionListMain");
    for (const ActionSpec& spec : MainActionTable()) {
        auto* a = new QAction(QString::fromUtf8(spec.caption), this);
        a->setObjectName(spec.name);
        if (*spec.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(spec.shortcut)));
        if (*spec.hint) {
            a->setToolTip(QString::fromUtf8(spec.hint));
            a->setStatusTip(QString::fromUtf8(spec.hint));
        }
        a->setProperty("category", spec.category);
        std::string name = spec.name;
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

const ActionSpec& ActionList::spec(const std::string& name) const {
    const ActionSpec* s = FindActionSpec(name);
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
    const ActionSpec& s = spec(name);
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

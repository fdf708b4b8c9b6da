#include "shell/ui/action_list.h"


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
        const ActionId id = entry.id;
        connect(a, &QAction::triggered, this, [this, id] { execute(id, nullptr); });
        actions_[size_t(id)] = a;
    }
}

void ActionList::execute(ActionId id, QObject* sender) {
    QAction* a = action(id);
    if (!a->isEnabled()) return;
    const ActionEntry& s = entry(id);
    RunGuarded([&] {
        if (gate_) gate_(s);
        if (const Handler& h = handlers_[size_t(id)]) h(sender);
    });
}

void ActionList::runHandler(ActionId id, QObject* sender) {
    if (!handlers_[size_t(id)]) return;
    RunGuarded([&] { handlers_[size_t(id)](sender); });
}

}  // namespace korvane

// The main menu, the six context menus and the buttons bound to actions.

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "shell/app/main_window.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"

namespace korvane {
namespace {

// A menu built from actions of the list, separators and extra QActions
// given by pointer.
enum ItemKind { kAction, kSeparator, kExtra };
struct MenuItem {
    MenuItem(ActionId id) : action(id) {}  // NOLINT: an action is an item
    MenuItem(ItemKind k, QAction* e = nullptr) : kind(k), extra(e) {}
    ItemKind kind = kAction;
    ActionId action{};
    QAction* extra = nullptr;
};

void Fill(QMenu* menu, ActionList& actions, std::initializer_list<MenuItem> items) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case kAction: menu->addAction(actions[item.action]); break;
        case kSeparator: menu->addSeparator(); break;
        case kExtra: menu->addAction(item.extra); break;
        }
    }
}

}  // namespace

void TfrmKorvaneMain::buildMenus() {
    ActionList& a = actions();
    MenuShowAllActions = new QAction("Show all actions", this);
    MenuShowAllActions->setObjectName("MenuShowAllActions");
    MenuShowAllActions->setCheckable(true);
    MenuShow83Names = new QAction("Show 8.3 names", this);
    MenuShow83Names->setObjectName("MenuShow83Names");
    MenuShowXmlParameters = new QAction("Show XML parameter file in a viewer tab", this);
    MenuShowXmlParameters->setObjectName("MenuShowXmlParameters");

    // "Show all actions" mirrors ActShowAdvanced: its check, visibility and
    // enabled state; choosing it executes the action.
    QAction* adv = a[ActionId::ShowAdvanced];
    adv->setCheckable(true);
    auto mirror = [this, adv] {
        MenuShowAllActions->setChecked(adv->isChecked());
        MenuShowAllActions->setVisible(adv->isVisible());
        MenuShowAllActions->setEnabled(adv->isEnabled());
    };
    connect(adv, &QAction::changed, this, mirror);
    connect(MenuShowAllActions, &QAction::triggered, this, [this, mirror] {
        actions().execute(ActionId::ShowAdvanced);
        mirror();
    });
    mirror();

    QMenuBar* bar = menuBar();
    auto top = [&](const char* name, const char* title) {
        QMenu* m = bar->addMenu(title);
        m->setObjectName(name);
        menus_.push_back(m);
        return m;
    };
    Fill(top("MenuFile", "&File"), a,
         {{ActionId::OpenProject}, {ActionId::NewProject}, {ActionId::SaveProject}, {ActionId::SaveProjectAs}, {kSeparator}, {ActionId::CloseAll}});
    Fill(top("MenuActions", "&Actions"), a,
         {{ActionId::Addfiles},
          {ActionId::AddDirectoriesToSources},
          {ActionId::AddCopies},
          {ActionId::AddDirectoriesToCopies},
          {ActionId::RefreshCopyLib},
          {ActionId::AddCSVFiles},
          {kSeparator},
          {ActionId::StartScan},
          {ActionId::StartConversion},
          {ActionId::CancelRun},
          {kSeparator},
          {kExtra, MenuShowAllActions},
          {ActionId::WriteINIFile}});
    Fill(top("MenuViewers", "&Viewers"), a, {{ActionId::InternalViewer}, {kSeparator}, {ActionId::ViewNotepad}});
    Fill(top("MenuLogs", "&Logs"), a,
         {{ActionId::ViewProductLog}, {ActionId::ViewConsoleLog}, {kSeparator}, {kExtra, MenuShowXmlParameters}});
    Fill(top("MenuHelp", "&Help"), a, {{ActionId::HelpContents1}, {ActionId::About}});

    // Shortcuts of menu actions work window-wide; the list actions and the
    // word-selection action are handled by their lists and text area (see
    // installListShortcuts), so they do not compete with menu mnemonics.
    for (QMenu* m : menus_)
        for (QAction* act : m->actions())
            if (!act->isSeparator()) addAction(act);
    for (ActionId id : {ActionId::CloseTab, ActionId::InternalViewer}) addAction(a[id]);

    auto popup = [&](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        menus_.push_back(m);
        return m;
    };
    QMenu* selected = popup("PopupMenuSelectedFiles");
    Fill(selected, a,
         {{ActionId::Addfiles},
          {ActionId::AddDirectoriesToSources},
          {kSeparator},
          {ActionId::RemoveFiles},
          {kSeparator},
          {ActionId::ReverseSelect},
          {ActionId::SelectAll},
          {ActionId::UnselectAll},
          {kSeparator},
          {kExtra, MenuShow83Names},
          {ActionId::CalculateCommonRoot},
          {ActionId::LoadTextFile}});
    QMenu* csv = popup("PopupMenuCSVForRename");
    Fill(csv, a,
         {{ActionId::AddCSVFiles}, {kSeparator}, {ActionId::RemoveFiles}, {kSeparator}, {ActionId::ReverseSelect}, {ActionId::SelectAll},
          {ActionId::UnselectAll}});
    QMenu* copies = popup("PopupMenuAddCopies");
    Fill(copies, a,
         {{ActionId::AddCopies},
          {ActionId::AddDirectoriesToCopies},
          {ActionId::RefreshCopyLib},
          {kSeparator},
          {ActionId::RemoveFiles},
          {kSeparator},
          {ActionId::ReverseSelect},
          {ActionId::SelectAll},
          {ActionId::UnselectAll}});
    QMenu* viewer = popup("PopupMenuViewer");
    Fill(viewer, a,
         {{ActionId::CloseTab},
          {ActionId::CloseAllPages},
          {kSeparator},
          {ActionId::InternalViewer},
          {kSeparator},
          {ActionId::ViewProductLog},
          {ActionId::ViewConsoleLog},
          {kExtra, MenuShowXmlParameters},
          {kSeparator},
          {ActionId::EditCopy1},
          {ActionId::EditSelectAll1},
          {kSeparator},
          {ActionId::SelectFont}});
    QMenu* words = popup("PopupMenuWordList");
    Fill(words, a,
         {{ActionId::RemoveFiles}, {ActionId::ReverseSelect}, {ActionId::SelectAll}, {ActionId::UnselectAll}, {ActionId::RemoveDuplicates}});
    QMenu* text = popup("PopupMenuRichEditCTLWords");
    Fill(text, a, {{ActionId::LoadTextFile}, {ActionId::AddselectedToLIst}});

    auto attach = [this](QWidget* w, QMenu* m) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [w, m](const QPoint& pos) { m->popup(w->mapToGlobal(pos)); });
    };
    attach(TabSheetSelectedFiles, selected);
    attach(TabSheetCSVForRename, csv);
    attach(TabSheetCopyCollection, copies);
    attach(TabSheetViewer, viewer);
    attach(PageControlEditor, viewer);
    attach(CheckListBoxObjects, words);
    attach(CheckListBoxControlTags, words);
    attach(RichEditCTLWords, text);
    // The three collection lists defer to their tab page's menu.
    for (QWidget* list : {static_cast<QWidget*>(CheckListBoxSelectedFiles),
                          static_cast<QWidget*>(CheckListBoxCSVForRename),
                          static_cast<QWidget*>(CheckListBoxCopyCollection)})
        list->setContextMenuPolicy(Qt::NoContextMenu);

    for (QWidget* list : {static_cast<QWidget*>(CheckListBoxSelectedFiles),
                          static_cast<QWidget*>(CheckListBoxCSVForRename),
                          static_cast<QWidget*>(CheckListBoxCopyCollection),
                          static_cast<QWidget*>(CheckListBoxObjects),
                          static_cast<QWidget*>(CheckListBoxControlTags)})
        installListShortcuts(list);
    RichEditCTLWords->installEventFilter(this);

    bindButton(SpeedButtonAddFiles, ActionId::Addfiles);
    bindButton(SpeedButtonAdddManyFiles, ActionId::AddDirectoriesToSources);
    bindButton(BitBtnWM_DropAddCopies, ActionId::AddCopies);
    bindButton(BitBtnWM_DropAddManyCopies, ActionId::AddDirectoriesToCopies);
    bindButton(BitBtnWM_DropCSVForRename, ActionId::AddCSVFiles);
    bindButton(BitBtnStartScan, ActionId::StartScan);
    bindButton(BitBtnStartConversion, ActionId::StartConversion);
    bindButton(BitBtnCancelRun, ActionId::CancelRun);
    bindButton(ButtonWriteINIFile, ActionId::WriteINIFile);
    bindButton(ButtonApplyIni, ActionId::ApplyIni);
    bindButton(ButtonLoadWordList, ActionId::LoadWordList);
    bindButton(ButtonSaveWordList, ActionId::SaveWordList);
    bindButton(ButtonStartScan, ActionId::StartScan);
    bindButton(ButtonStartConversion, ActionId::StartConversion);
}

void TfrmKorvaneMain::bindButton(QPushButton* button, ActionId id) {
    QAction* act = actions()[id];
    auto sync = [button, act] {
        QString text = act->text();
        button->setText(text);
        button->setToolTip(act->toolTip());
        button->setEnabled(act->isEnabled());
        button->setVisible(act->isVisible());
    };
    sync();
    connect(act, &QAction::changed, button, sync);
    connect(button, &QPushButton::clicked, this, [this, id] { actions().execute(id); });
}

QMenu* TfrmKorvaneMain::mainMenu(const std::string& objectName) const { return popupMenu(objectName); }

QMenu* TfrmKorvaneMain::popupMenu(const std::string& objectName) const {
    for (QMenu* m : menus_)
        if (m->objectName().toUtf8().toStdString() == objectName) return m;
    return nullptr;
}

}  // namespace korvane

// The main menu, the six context menus and the buttons bound to actions.

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "shell/app/action_list.h"
#include "shell/app/main_window.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"

namespace korvane {
namespace {

// A menu built from action names; "-" is a separator, other entries are
// either action names or extra QActions given by pointer.
struct MenuItem {
    const char* action = nullptr;
    QAction* extra = nullptr;
};

void Fill(QMenu* menu, ActionList& actions, std::initializer_list<MenuItem> items) {
    for (const MenuItem& item : items) {
        if (item.extra)
            menu->addAction(item.extra);
        else if (std::string(item.action) == "-")
            menu->addSeparator();
        else
            menu->addAction(actions[item.action]);
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
    QAction* adv = a["ActShowAdvanced"];
    adv->setCheckable(true);
    auto mirror = [this, adv] {
        MenuShowAllActions->setChecked(adv->isChecked());
        MenuShowAllActions->setVisible(adv->isVisible());
        MenuShowAllActions->setEnabled(adv->isEnabled());
    };
    connect(adv, &QAction::changed, this, mirror);
    connect(MenuShowAllActions, &QAction::triggered, this, [this, mirror] {
        actions().execute("ActShowAdvanced");
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
         {{"ActOpenProject"}, {"ActNewProject"}, {"ActSaveProject"}, {"ActSaveProjectAs"}, {"-"}, {"ActCloseAll"}});
    Fill(top("MenuActions", "&Actions"), a,
         {{"ActAddfiles"},
          {"ActAddDirectoriesToSources"},
          {"ActAddCopies"},
          {"ActAddDirectoriesToCopies"},
          {"ActRefreshCopyLib"},
          {"ActAddCSVFiles"},
          {"-"},
          {"ActStartScan"},
          {"ActStartConversion"},
          {"ActCancelRun"},
          {"-"},
          {nullptr, MenuShowAllActions},
          {"ActWriteINIFile"}});
    Fill(top("MenuViewers", "&Viewers"), a, {{"ActInternalViewer"}, {"-"}, {"ActViewNotepad"}});
    Fill(top("MenuLogs", "&Logs"), a,
         {{"ActViewProductLog"}, {"ActViewConsoleLog"}, {"-"}, {nullptr, MenuShowXmlParameters}});
    Fill(top("MenuHelp", "&Help"), a, {{"HelpContents1"}, {"ActAbout"}});

    // Shortcuts of menu actions work window-wide; the list actions and the
    // word-selection action are handled by their lists and text area (see
    // installListShortcuts), so they do not compete with menu mnemonics.
    for (QMenu* m : menus_)
        for (QAction* act : m->actions())
            if (!act->isSeparator()) addAction(act);
    for (const char* name : {"ActCloseTab", "ActInternalViewer"}) addAction(a[name]);

    auto popup = [&](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        menus_.push_back(m);
        return m;
    };
    QMenu* selected = popup("PopupMenuSelectedFiles");
    Fill(selected, a,
         {{"ActAddfiles"},
          {"ActAddDirectoriesToSources"},
          {"-"},
          {"ActRemoveFiles"},
          {"-"},
          {"ActReverseSelect"},
          {"ActSelectAll"},
          {"ActUnselectAll"},
          {"-"},
          {nullptr, MenuShow83Names},
          {"ActCalculateCommonRoot"},
          {"ActLoadTextFile"}});
    QMenu* csv = popup("PopupMenuCSVForRename");
    Fill(csv, a,
         {{"ActAddCSVFiles"}, {"-"}, {"ActRemoveFiles"}, {"-"}, {"ActReverseSelect"}, {"ActSelectAll"},
          {"ActUnselectAll"}});
    QMenu* copies = popup("PopupMenuAddCopies");
    Fill(copies, a,
         {{"ActAddCopies"},
          {"ActAddDirectoriesToCopies"},
          {"ActRefreshCopyLib"},
          {"-"},
          {"ActRemoveFiles"},
          {"-"},
          {"ActReverseSelect"},
          {"ActSelectAll"},
          {"ActUnselectAll"}});
    QMenu* viewer = popup("PopupMenuViewer");
    Fill(viewer, a,
         {{"ActCloseTab"},
          {"ActCloseAllPages"},
          {"-"},
          {"ActInternalViewer"},
          {"-"},
          {"ActViewProductLog"},
          {"ActViewConsoleLog"},
          {nullptr, MenuShowXmlParameters},
          {"-"},
          {"EditCopy1"},
          {"EditSelectAll1"},
          {"-"},
          {"ActSelectFont"}});
    QMenu* words = popup("PopupMenuWordList");
    Fill(words, a,
         {{"ActRemoveFiles"}, {"ActReverseSelect"}, {"ActSelectAll"}, {"ActUnselectAll"}, {"ActRemoveDuplicates"}});
    QMenu* text = popup("PopupMenuRichEditCTLWords");
    Fill(text, a, {{"ActLoadTextFile"}, {"ActAddselectedToLIst"}});

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

    bindButton(SpeedButtonAddFiles, "ActAddfiles");
    bindButton(SpeedButtonAdddManyFiles, "ActAddDirectoriesToSources");
    bindButton(BitBtnWM_DropAddCopies, "ActAddCopies");
    bindButton(BitBtnWM_DropAddManyCopies, "ActAddDirectoriesToCopies");
    bindButton(BitBtnWM_DropCSVForRename, "ActAddCSVFiles");
    bindButton(BitBtnStartScan, "ActStartScan");
    bindButton(BitBtnStartConversion, "ActStartConversion");
    bindButton(BitBtnCancelRun, "ActCancelRun");
    bindButton(ButtonWriteINIFile, "ActWriteINIFile");
    bindButton(ButtonApplyIni, "ActApplyIni");
    bindButton(ButtonLoadWordList, "ActLoadWordList");
    bindButton(ButtonSaveWordList, "ActSaveWordList");
    bindButton(ButtonStartScan, "ActStartScan");
    bindButton(ButtonStartConversion, "ActStartConversion");
}

void TfrmKorvaneMain::bindButton(QPushButton* button, const std::string& actionName) {
    QAction* act = actions()[actionName];
    auto sync = [button, act] {
        QString text = act->text();
        button->setText(text);
        button->setToolTip(act->toolTip());
        button->setEnabled(act->isEnabled());
        button->setVisible(act->isVisible());
    };
    sync();
    connect(act, &QAction::changed, button, sync);
    connect(button, &QPushButton::clicked, this, [this, actionName] { actions().execute(actionName); });
}

QMenu* TfrmKorvaneMain::mainMenu(const std::string& objectName) const { return popupMenu(objectName); }

QMenu* TfrmKorvaneMain::popupMenu(const std::string& objectName) const {
    for (QMenu* m : menus_)
        if (m->objectName().toUtf8().toStdString() == objectName) return m;
    return nullptr;
}

}  // namespace korvane

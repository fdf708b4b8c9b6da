#include "shell/app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <optional>

#include "shared/cmdline.h"
#include "shared/settings.h"
#include "shared/platform/path.h"
#include "shared/version_info.h"
#include "shell/app/startup_options.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"

namespace korvane {

TfrmKorvaneMain::TfrmKorvaneMain(Dialogs& dialogs, StartupInfo startup, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), startup_(std::move(startup)) {
    actions_ = new ActionList(this);
    buildLayout();
    buildMenus();

    // Components as the form-state walks see them, kind by kind in the
    // order of the window's definition (check boxes and pickers registered
    // themselves when they were created).
    registerComponent(FrameFindDirectoryOutputDir, "TFrameFindDirectory");
    for (QLineEdit* e : {EditSystemName, EditProductName, EditObjects, EditCreateWrdList, EditCWrd})
        registerComponent(e, "TEdit");
    for (QComboBox* c : {ComboBoxRefactorLevel, ComboBoxCreateWrdList, ComboBoxEditCWrd})
        registerComponent(c, "TComboBox");
    for (CheckListBox* l : {CheckListBoxSelectedFiles, CheckListBoxCSVForRename, CheckListBoxCopyCollection,
                            CheckListBoxObjects, CheckListBoxControlTags})
        registerComponent(l, "TCheckListBox");
    for (QPlainTextEdit* m : {MemoNewFileNames, MemoToolDefaultValues}) registerComponent(m, "TMemo");

    // Initial states of the action list.
    actions()[ActionId::SaveProject]->setEnabled(false);
    actions()[ActionId::CancelRun]->setEnabled(false);
    actions()[ActionId::CancelRun]->setVisible(false);
    actions()[ActionId::ShowAdvanced]->setVisible(false);

    actions().setGate([this](const ActionEntry& entry) {
        switch (BusyGate(busy_, entry)) {
        case GateDecision::Refuse:
            statusBar().ShowError(kBusyRefusal, false);
            break;
        case GateDecision::ClearAndRun:
            statusBar().ClearMessages();
            break;
        case GateDecision::RunKeepingMessages:
            break;
        }
    });
    connectCommonHandlers();
    createControllers();
    RunGuarded([this] { runCreationSequence(); });
}

void TfrmKorvaneMain::registerComponent(QObject* object, const char* className) {
    components_.push_back({object, className});
}

void TfrmKorvaneMain::connectCommonHandlers() {
    ActionList& a = actions();
    a.setHandler(ActionId::ShowAdvanced, [this](QObject*) {
        QAction* adv = actions()[ActionId::ShowAdvanced];
        adv->setChecked(!adv->isChecked());
        applyAdvancedMode();
    });
    a.setHandler(ActionId::CloseAll, [this](QObject*) {
        actions().execute(ActionId::CloseAllPages);
        close();
    });
    a.setHandler(ActionId::EditCopy1, [](QObject*) {
        QWidget* w = QApplication::focusWidget();
        if (auto* t = qobject_cast<QPlainTextEdit*>(w)) t->copy();
        else if (auto* e = qobject_cast<QLineEdit*>(w)) e->copy();
    });
    a.setHandler(ActionId::EditSelectAll1, [](QObject*) {
        QWidget* w = QApplication::focusWidget();
        if (auto* t = qobject_cast<QPlainTextEdit*>(w)) t->selectAll();
        else if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    });

    // The user switching the main page clears the status bar; pages made
    // current by the program keep it.
    connect(PageControlMain, &QTabWidget::tabBarClicked, this, [this](int) { userPageSwitch_ = true; });
    PageControlMain->tabBar()->installEventFilter(this);
    connect(PageControlMain, &QTabWidget::currentChanged, this, [this](int) {
        if (!userPageSwitch_) return;
        userPageSwitch_ = false;
        RunGuarded([this] { statusBar().ClearMessages(); });
    });
}

// --- caption ---------------------------------------------------------------

std::string TfrmKorvaneMain::caption() const { return windowTitle().toUtf8().toStdString(); }

void TfrmKorvaneMain::setCaption(const std::string& text) { setWindowTitle(QString::fromUtf8(text)); }

void TfrmKorvaneMain::setLanguageCaption(const std::string& displayName) {
    std::string c = caption();
    size_t pos = c.rfind(" - ");
    if (pos != std::string::npos) c.erase(pos);
    setCaption(c + " - " + displayName);
}

void TfrmKorvaneMain::setProjectCaption(const std::string& projectName) {
    std::string c = caption();
    size_t pos = c.rfind(" [");
    if (pos != std::string::npos) c.erase(pos);
    setCaption(c + " [" + projectName + "]");
}

// --- tabs, advanced mode, tagged buttons ------------------------------------

void TfrmKorvaneMain::applyAdvancedMode() {
    const bool shown = actions()[ActionId::ShowAdvanced]->isChecked();
    setTabVisible(PageControlMain, TabSheetTech, shown);
    PageControlMain->setCurrentWidget(TabSheetNames);
    for (QAction* act : actions().all())
        if (act->property("category").toString() == "Preparation") act->setVisible(shown);
    MemoNewFileNames->setVisible(shown);
    actions()[ActionId::ShowAdvanced]->setVisible(CmdLineSwitch(kOptShowAdvanced, false));
}

void TfrmKorvaneMain::arrangeTaggedButtons() { ArrangeTaggedButtons(this); }

void TfrmKorvaneMain::runFirstShow() {
    if (firstShowDone_) return;
    firstShowDone_ = true;
    RunGuarded([this] { firstShowSequence(); });
    emit firstShown();
}

void TfrmKorvaneMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    runFirstShow();
    // Once shown the window has its frame, which must fit the work area too.
    QTimer::singleShot(0, this, [this] { FitFormToWorkArea(this); });
}

void TfrmKorvaneMain::hideEvent(QHideEvent* e) {
    QMainWindow::hideEvent(e);
    if (!firstShowDone_) return;
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        RunGuarded([this] {
            WriteSettingInt("FormWidth", width());
            WriteSettingInt("FormHeight", height());
        });
    }
}

void TfrmKorvaneMain::closeEvent(QCloseEvent* e) {
    bool ok = false;
    RunGuarded([&] { ok = closeRequest(); });
    if (ok)
        e->accept();
    else
        e->ignore();
}

bool TfrmKorvaneMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == PageControlMain->tabBar() && e->type() == QEvent::KeyPress) userPageSwitch_ = true;
    if (watched == PanelLibraries && e->type() == QEvent::Resize) {
        arrangeTaggedButtons();
        return false;
    }
    // Ctrl+A in the control-word text takes the selection into the word
    // field rather than selecting all text.
    if (watched == RichEditCTLWords && (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_A && k->modifiers() == Qt::ControlModifier) {
            e->accept();
            if (e->type() == QEvent::KeyPress) actions().execute(ActionId::AddselectedToLIst, RichEditCTLWords);
            return true;
        }
    }
    // The list actions' Alt shortcuts act on the focused check-list.
    if (watched->property("korvaneCheckList").toBool() &&
        (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() == Qt::AltModifier) {
            std::optional<ActionId> id;
            switch (k->key()) {
            case Qt::Key_D: id = ActionId::RemoveFiles; break;
            case Qt::Key_U: id = ActionId::UnselectAll; break;
            case Qt::Key_A: id = ActionId::SelectAll; break;
            case Qt::Key_R: id = ActionId::ReverseSelect; break;
            default: break;
            }
            if (id) {
                e->accept();
                if (e->type() == QEvent::KeyPress) actions().execute(*id);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TfrmKorvaneMain::installListShortcuts(QWidget* list) {
    list->setProperty("korvaneCheckList", true);
    list->installEventFilter(this);
}

}  // namespace korvane

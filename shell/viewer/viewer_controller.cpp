#include "shell/viewer/viewer_controller.h"

#include <QAction>
#include <QLabel>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/run/work_area.h"
#include "shell/ui/about_box.h"
#include "shell/ui/action_list.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/font_choice.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"
#include "shell/viewer/external_editor.h"
#include "shell/viewer/help_contents.h"
#include "shell/viewer/viewer_font.h"
#include "shell/viewer/viewer_font_settings.h"
#include "shell/viewer/viewer_paths.h"
#include "shell/viewer/viewer_text.h"

namespace korvane {

namespace {

const char* const kCaptionProperty = "viewerCaption";

// The actions whose handlers the viewer provides.
const ActionId kViewerActions[] = {
    ActionId::InternalViewer, ActionId::ViewProductLog, ActionId::ViewConsoleLog, ActionId::CloseTab,
    ActionId::CloseAllPages,  ActionId::SelectFont,     ActionId::ViewNotepad,    ActionId::About,
    ActionId::HelpContents1,  ActionId::EditCopy1,      ActionId::EditSelectAll1};

// Paths keep their bytes through the page captions (byte_text.h).
QString Q(const std::string& s) { return QStringFromBytes(s); }
std::string S(const QString& s) { return BytesFromQString(s); }

// A tab text shows "&" as itself, not as an access key.
QString TabText(const std::string& caption) { return Q(caption).replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

ViewerController::ViewerController(const ViewerView& view, ShellServices services, ViewerHooks hooks)
    : QObject(view.window), v_(view), s_(services), hooks_(std::move(hooks)), font_(DefaultViewerFont()) {
    setObjectName("ViewerController");
    AboutBoxDlg1 = new TAboutBoxDlg(v_.window);
    AboutBoxDlg1->setObjectName("AboutBoxDlg1");
    help_ = new HelpContents(v_.programPath, v_.installedDocDir, v_.window);
    bindActions();

    // The tab is shown only while it holds pages.
    SetTabVisible(v_.PageControlMain, v_.TabSheetViewer, false);
}

void ViewerController::projectCleared() {
    CloseAllPages();
    SetTabVisible(v_.PageControlMain, v_.TabSheetViewer, false);
}

ViewerController::~ViewerController() {
    // The actions outlive the controller: their handlers must not reach it.
    for (ActionId id : kViewerActions) s_.actions.setHandler(id, nullptr);
}

void ViewerController::bindActions() {
    ActionList& a = s_.actions;
    a.setHandler(ActionId::InternalViewer, [this](QObject*) { ActInternalViewerExecute(); });
    a.setHandler(ActionId::ViewProductLog, [this](QObject*) { ActViewLogExecute(s_.actions[ActionId::ViewProductLog]); });
    a.setHandler(ActionId::ViewConsoleLog, [this](QObject*) { ActViewLogExecute(s_.actions[ActionId::ViewConsoleLog]); });
    a.setHandler(ActionId::CloseTab, [this](QObject*) { CloseViewerPage(); });
    a.setHandler(ActionId::CloseAllPages, [this](QObject*) { CloseAllPages(); });
    a.setHandler(ActionId::SelectFont, [this](QObject*) { ActSelectFontExecute(); });
    a.setHandler(ActionId::ViewNotepad, [this](QObject*) { ActViewNotepadExecute(); });
    a.setHandler(ActionId::About, [this](QObject*) { ActAboutExecute(); });
    a.setHandler(ActionId::HelpContents1, [this](QObject*) { help_->ShowContents(s_.statusBar); });
    // Copy and select all work on the focused text control; from the
    // viewer's menu, when no text control has the focus, on the current page.
    auto target = [this]() -> QWidget* {
        QWidget* focused = QApplication::focusWidget();
        if (qobject_cast<QPlainTextEdit*>(focused) || qobject_cast<QLineEdit*>(focused)) return focused;
        if (v_.PageControlMain->currentWidget() == v_.TabSheetViewer) return currentMemo();
        return nullptr;
    };
    a.setHandler(ActionId::EditCopy1, [target](QObject*) {
        QWidget* t = target();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(t)) memo->copy();
        else if (auto* edit = qobject_cast<QLineEdit*>(t)) edit->copy();
    });
    a.setHandler(ActionId::EditSelectAll1, [target](QObject*) {
        QWidget* t = target();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(t)) memo->selectAll();
        else if (auto* edit = qobject_cast<QLineEdit*>(t)) edit->selectAll();
    });
    if (v_.MenuShowXmlParameters)
        connect(v_.MenuShowXmlParameters, &QAction::triggered, this, [this] { RunGuarded([this] { ShowParameterFile(); }); });
}

// --- pages -------------------------------------------------------------------

int ViewerController::pageCount() const { return v_.PageControlEditor->count(); }

QWidget* ViewerController::page(int index) const { return v_.PageControlEditor->widget(index); }

std::string ViewerController::pageCaption(int index) const {
    QWidget* p = page(index);
    return p ? S(p->property(kCaptionProperty).toString()) : std::string();
}

QPlainTextEdit* ViewerController::pageMemo(int index) const {
    QWidget* p = page(index);
    if (!p) return nullptr;
    return p->findChild<QPlainTextEdit*>(p->objectName() + QStringLiteral("Memo"), Qt::FindDirectChildrenOnly);
}

QPlainTextEdit* ViewerController::currentMemo() const { return pageMemo(v_.PageControlEditor->currentIndex()); }

void ViewerController::closePage(int index) {
    QWidget* p = page(index);
    if (!p) return;
    v_.PageControlEditor->removeTab(index);
    delete p;
}

void ViewerController::showViewerTab() {
    SetTabVisible(v_.PageControlMain, v_.TabSheetViewer, true);
    v_.PageControlMain->setCurrentWidget(v_.TabSheetViewer);
}

void ViewerController::loadFile(QPlainTextEdit* memo, QLabel* note, const std::string& path) {
    // The file is read beside the window thread, which answers meanwhile:
    // the page (even the window) may be closed before the text is there, so
    // nothing of this controller is touched after the reading.
    QPointer<QPlainTextEdit> alive(memo);
    QPointer<QLabel> noteAlive(note);
    const ViewerFileText file = ReadViewerFileAnswering(path, memo);
    if (file.failed) throw Error("Cannot read " + path + ": " + S(file.error));
    if (noteAlive && file.skippedBytes > 0) {
        noteAlive->setText(ViewerPartNote(file));
        noteAlive->setVisible(true);
    }
    if (alive) LoadViewerText(alive, file.text);
}

void ViewerController::OpenInViewer(const std::string& path) {
    if (!FileExists(path)) s_.statusBar.ShowError("File " + path + " doesn't exist", false);
    showViewerTab();
    const std::string caption = ViewerCaption(path, hooks_.outputDirectory());
    for (int i = 0; i < pageCount(); ++i) {
        if (SamePath(pageCaption(i), caption) && pageMemo(i)) {
            closePage(i);
            break;
        }
    }
    const QString name = QStringLiteral("tsv%1").arg(pageCounter_++);
    auto* p = new QWidget;
    p->setObjectName(name);
    p->setProperty(kCaptionProperty, Q(caption));
    auto* layout = new QVBoxLayout(p);
    layout->setContentsMargins(0, 0, 0, 0);
    // Shown only when the page holds the last part of a big file.
    auto* note = new QLabel(p);
    note->setObjectName(name + QStringLiteral("Note"));
    note->setVisible(false);
    layout->addWidget(note);
    auto* memo = new QPlainTextEdit(p);
    memo->setObjectName(name + QStringLiteral("Memo"));
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The viewer's context menu belongs to the page control.
    memo->setContextMenuPolicy(Qt::NoContextMenu);
    memo->setFont(font_);
    layout->addWidget(memo);
    const int index = v_.PageControlEditor->addTab(p, TabText(caption));
    v_.PageControlEditor->setTabToolTip(index, Q(path));
    v_.PageControlEditor->setCurrentIndex(index);
    loadFile(memo, note, path);
}

bool ViewerController::CloseViewerPage() {
    bool closed = false;
    if (v_.PageControlMain->currentWidget() == v_.TabSheetViewer && pageCount() > 0) {
        closePage(v_.PageControlEditor->currentIndex());
        closed = true;
    }
    const bool visible = pageCount() > 0;
    SetTabVisible(v_.PageControlMain, v_.TabSheetViewer, visible);
    if (!visible) v_.PageControlMain->setCurrentWidget(v_.TabSheetNames);
    return closed;
}

void ViewerController::CloseAllPages() {
    while (pageCount() > 0) closePage(pageCount() - 1);
}

// --- actions -------------------------------------------------------------------

void ViewerController::ActInternalViewerExecute() {
    showViewerTab();
    const std::string outputDir = hooks_.outputDirectory();
    const bool havePage = pageCount() > 0;
    const ViewerDialogStart start =
        ViewerDialogStartFor(outputDir, havePage ? pageCaption(v_.PageControlEditor->currentIndex()) : "", havePage);
    FileDialogOptions opts;
    opts.title = kOpenTitle;
    opts.filter = ViewerFileFilter(hooks_.sourceFilter(), hooks_.languagePrefix());
    opts.filterIndex = 1;
    opts.initialDir = start.initialDir;
    opts.fileName = start.fileName;
    opts.defaultExt = "";
    opts.multiSelect = false;
    opts.mustExist = true;
    const auto files = s_.dialogs.OpenFiles(opts);
    if (!files || files->empty()) s_.statusBar.ShowError(kSearchCancelled, false);
    OpenInViewer(files->front());
}

void ViewerController::ActViewLogExecute(QObject* sender) {
    const bool console = sender == s_.actions[ActionId::ViewConsoleLog];
    const std::string path = ViewerLogPath(console ? ViewerLog::Console : ViewerLog::Product,
                                           hooks_.outputDirectory(), hooks_.systemName());
    if (!FileExists(path)) s_.statusBar.ShowError("Cannot find log - " + path, false);
    if (!logsLoaded_) return;
    std::string failure;
    try {
        OpenInViewer(path);
    } catch (const Error& e) {
        failure = e.what();  // a log that is there but cannot be read says why
    } catch (const SilentAbort&) {
        failure = "Cannot find log - " + path;  // gone before it was opened
    }
    if (!failure.empty()) s_.statusBar.ShowError(failure, false);
}

void ViewerController::ShowParameterFile() {
    const std::string dir = hooks_.runOutputDirectory();
    if (dir.empty()) s_.statusBar.ShowError("File last.xml doesn't exist", false);
    OpenInViewer(ParameterFilePath(dir));
}

void ViewerController::applyFontToCurrentPage(const FontChoice& font) {
    if (QPlainTextEdit* memo = currentMemo()) memo->setFont(ViewerFontFromChoice(font));
}

void ViewerController::ActSelectFontExecute() {
    const FontChoice current = FontChoiceFromQFont(font_, fontCharSet_);
    const std::optional<FontChoice> chosen =
        s_.dialogs.ChooseFont(current, [this](const FontChoice& font) { applyFontToCurrentPage(font); });
    if (!chosen) return;
    font_ = ViewerFontFromChoice(*chosen);
    fontCharSet_ = chosen->charSet;
    for (int i = 0; i < pageCount(); ++i)
        if (QPlainTextEdit* memo = pageMemo(i)) memo->setFont(font_);
    StoreViewerFont(*chosen);
}

void ViewerController::restoreFont() {
    const std::optional<FontChoice> stored = ReadStoredViewerFont();
    if (!stored) return;
    font_ = ViewerFontFromChoice(*stored);
    fontCharSet_ = stored->charSet;
    for (int i = 0; i < pageCount(); ++i)
        if (QPlainTextEdit* memo = pageMemo(i)) memo->setFont(font_);
}

void ViewerController::ActViewNotepadExecute() {
    const std::string outputDir = hooks_.outputDirectory();
    const EditorLaunch launch = ExternalEditorLaunch(v_.FrameFindexecEditorGeneral->ProgramPath(), outputDir);
    // The window waits for the editor; a start that fails is not reported.
    RunAndWait(launch.program, launch.arguments, outputDir);
}

void ViewerController::ActAboutExecute() {
    AboutBoxDlg1->MemoContent = "Tool root directory : \r\n" + hooks_.toolRoot();
    AboutBoxDlg1->Execute(v_.window);
}

}  // namespace korvane

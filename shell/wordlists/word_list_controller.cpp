#include "shell/wordlists/word_list_controller.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include "shared/errors.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shell/ui/action_list.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/control_word_picking.h"
#include "shell/wordlists/in_place_editor.h"
#include "shell/wordlists/word_list_file.h"

namespace korvane {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// The dialog options shared by import and export: folder and name of the
// last used word list.
FileDialogOptions WordListDialog(const char* title, const char* filter) {
    FileDialogOptions o;
    const std::string last = ReadSettingString(kLastUsedWordTable, "");
    o.title = title;
    o.filter = filter;
    o.initialDir = ExtractFileDir(last);
    o.fileName = ExtractFileName(last);
    return o;
}

// Shown as a visible frame is: not hidden explicitly, whether or not the
// window around it is on the screen yet.
bool FrameShown(const QWidget* w) {
    return !(w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden));
}

}  // namespace

WordListController::WordListController(TfrmKorvaneMain& window) : QObject(&window), w_(window) {
    ActionList& a = w_.actions();
    a.setHandler(ActionId::SaveWordList, [this](QObject*) { ActSaveWordListExecute(); });
    a.setHandler(ActionId::LoadWordList, [this](QObject*) { ActLoadWordListExecute(); });
    a.setHandler(ActionId::RemoveDuplicates, [this](QObject* sender) { ActRemoveDuplicatesExecute(sender); });

    picking_ = new ControlWordPicking(w_);
    picking_->setParent(this);

    w_.ComboBoxEditCWrd->setInsertPolicy(QComboBox::NoInsert);
    controlWordEditor_ = new InPlaceEditor(
        {w_.CheckListBoxControlTags, w_.PanelCWrd, w_.EditCWrd, {w_.ComboBoxEditCWrd, w_.EditCWrd}},
        [this](int row) {
            const std::string& entry = controlTags().text(size_t(row));
            w_.EditCWrd->setText(Q(ControlWordWord(entry)));
            w_.ComboBoxEditCWrd->setEditText(Q(ControlWordTag(entry)));
        },
        [this](int row) { storeControlWord(row); }, this);
    // The object list's field; its tab stays hidden, so nobody reaches it
    // while the window keeps it so.
    objectEditor_ = new InPlaceEditor(
        {w_.CheckListBoxObjects, w_.EditObjects, w_.EditObjects, {w_.EditObjects}},
        [this](int row) { w_.EditObjects->setText(Q(objects().text(size_t(row)))); },
        [this](int row) { storeObject(row); }, this);

    if (LanguageController* language = w_.language())
        connect(language, &LanguageController::languageApplied, this,
                &WordListController::loadDefaultFunctionTable);
    if (ProjectController* project = w_.project())
        connect(project, &ProjectController::projectCleared, this, [this] {
            controlWordEditor_->abandon();
            objectEditor_->abandon();
        });
}

WordListController::~WordListController() = default;

CheckList& WordListController::objects() { return w_.CheckListBoxObjects->checkList(); }
CheckList& WordListController::controlTags() { return w_.CheckListBoxControlTags->checkList(); }

void WordListController::markModified() {
    if (ProjectController* project = w_.project()) project->setModified(true);
}

void WordListController::ActSaveWordListExecute() {
    if (objects().empty() && controlTags().empty()) return;
    FileDialogOptions o = WordListDialog("Export your word list", "Word lists (*.wrl)|*.wrl");
    o.defaultExt = "wrl";
    o.mustExist = false;
    o.overwritePrompt = true;
    const std::optional<std::string> path = w_.dialogs().SaveFile(o);
    if (!path) return;
    try {
        SaveWordList(*path, objects(), controlTags());
    } catch (const Error& e) {
        w_.statusBar().ShowError(e.what(), false);
    }
    WriteSettingString(kLastUsedWordTable, *path);
}

void WordListController::ActLoadWordListExecute() {
    FileDialogOptions o =
        WordListDialog("Load a word list", "Word lists (*.wrl)|*.wrl|All files (*.*)|*.*");
    const std::optional<std::vector<std::string>> files = w_.dialogs().OpenFiles(o);
    if (!files || files->empty()) return;
    const std::string path = files->front();
    if (TfrmKorvaneMain::isTabVisible(w_.PageControlMain, w_.TabSheetWordScan))
        w_.PageControlMain->setCurrentWidget(w_.TabSheetWordScan);
    if (!objects().empty() || !controlTags().empty()) {
        const unsigned answer =
            w_.dialogs().Message(MsgKind::Warning, kClearBeforeLoadingQuestion, kYes | kNo | kCancel);
        if (answer == kCancel) return;
        if (answer == kYes) {
            controlWordEditor_->abandon();
            objectEditor_->abandon();
            objects().clear();
            controlTags().clear();
        }
    }
    try {
        LoadWordList(path, objects(), controlTags());
    } catch (const Error& e) {
        w_.statusBar().ShowError(e.what(), false);
    }
    markModified();
    WriteSettingString(kLastUsedWordTable, path);
}

void WordListController::ActRemoveDuplicatesExecute(QObject* sender) {
    CheckListBox* list = w_.collections()->targetList(sender);
    // An open editor would point at an entry that moves.
    if (list == w_.CheckListBoxControlTags) controlWordEditor_->abandon();
    if (list == w_.CheckListBoxObjects) objectEditor_->abandon();
    RemoveDuplicates(list->checkList());
    markModified();
}

void WordListController::loadDefaultFunctionTable() {
    TFrameFindexec* picker = w_.FrameFindexecFunctab;
    if (!FrameShown(picker) || !picker->ValidatePath(true)) return;
    if (!objects().empty() || !controlTags().empty()) return;
    try {
        LoadWordList(picker->ProgramPath(), objects(), controlTags());
    } catch (const Error& e) {
        w_.statusBar().ShowError(e.what(), true);
    }
}

bool WordListController::WriteRunWordList(const std::string& outputDir) {
    if (!TfrmKorvaneMain::isTabVisible(w_.PageControlMain, w_.TabSheetWordScan)) return false;
    SaveWordList(JoinPath(outputDir, kRunWordListName), objects(), controlTags(), AtLink::Replace);
    return true;
}

void WordListController::ReloadAfterScan(const std::string& outputDir) {
    controlWordEditor_->abandon();
    objectEditor_->abandon();
    objects().clear();
    controlTags().clear();
    LoadWordList(JoinPath(outputDir, kRunWordListName), objects(), controlTags());
}

void WordListController::storeControlWord(int row) {
    const std::string tag = S(w_.ComboBoxEditCWrd->currentText());
    controlTags().setText(size_t(row), FormatControlWordEntry(tag, S(w_.EditCWrd->text())));
    markModified();
}

void WordListController::storeObject(int row) {
    const std::string text = S(w_.EditObjects->text());
    if (text == objects().text(size_t(row))) return;
    objects().setText(size_t(row), text);
    markModified();
}

}  // namespace korvane

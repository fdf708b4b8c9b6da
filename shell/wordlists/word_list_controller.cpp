#include "shell/wordlists/word_list_controller.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include "shared/errors.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/my_status_bar.h"
#include "shell/ui/window_routines.h"
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

WordListController::WordListController(QObject* parent, const WordListsView& view, ShellServices services,
                                       WordListsHooks hooks)
    : QObject(parent), v_(view), s_(services), hooks_(std::move(hooks)) {
    ActionList& a = s_.actions;
    a.setHandler(ActionId::SaveWordList, [this](QObject*) { ActSaveWordListExecute(); });
    a.setHandler(ActionId::LoadWordList, [this](QObject*) { ActLoadWordListExecute(); });
    a.setHandler(ActionId::RemoveDuplicates, [this](QObject* sender) { ActRemoveDuplicatesExecute(sender); });

    picking_ = new ControlWordPicking(this, v_, s_);

    v_.ComboBoxEditCWrd->setInsertPolicy(QComboBox::NoInsert);
    controlWordEditor_ = new InPlaceEditor(
        {v_.CheckListBoxControlTags, v_.PanelCWrd, v_.EditCWrd, {v_.ComboBoxEditCWrd, v_.EditCWrd}},
        [this](int row) {
            const std::string& entry = controlTags().text(size_t(row));
            v_.EditCWrd->setText(Q(ControlWordWord(entry)));
            v_.ComboBoxEditCWrd->setEditText(Q(ControlWordTag(entry)));
        },
        [this](int row) { storeControlWord(row); }, this);
    // The object list's field; its tab stays hidden, so nobody reaches it
    // while the window keeps it so.
    objectEditor_ = new InPlaceEditor(
        {v_.CheckListBoxObjects, v_.EditObjects, v_.EditObjects, {v_.EditObjects}},
        [this](int row) { v_.EditObjects->setText(Q(objects().text(size_t(row)))); },
        [this](int row) { storeObject(row); }, this);
}

void WordListController::projectCleared() {
    controlWordEditor_->abandon();
    objectEditor_->abandon();
}

WordListController::~WordListController() = default;

CheckList& WordListController::objects() { return v_.CheckListBoxObjects->checkList(); }
CheckList& WordListController::controlTags() { return v_.CheckListBoxControlTags->checkList(); }

void WordListController::markModified() {
    hooks_.markModified();
}

void WordListController::ActSaveWordListExecute() {
    if (objects().empty() && controlTags().empty()) return;
    FileDialogOptions o = WordListDialog("Export your word list", "Word lists (*.wrl)|*.wrl");
    o.defaultExt = "wrl";
    o.mustExist = false;
    o.overwritePrompt = true;
    const std::optional<std::string> path = s_.dialogs.SaveFile(o);
    if (!path) return;
    try {
        SaveWordList(*path, objects(), controlTags());
    } catch (const Error& e) {
        s_.statusBar.ShowError(e.what(), false);
    }
    WriteSettingString(kLastUsedWordTable, *path);
}

void WordListController::ActLoadWordListExecute() {
    FileDialogOptions o =
        WordListDialog("Load a word list", "Word lists (*.wrl)|*.wrl|All files (*.*)|*.*");
    const std::optional<std::vector<std::string>> files = s_.dialogs.OpenFiles(o);
    if (!files || files->empty()) return;
    const std::string path = files->front();
    if (IsTabVisible(v_.PageControlMain, v_.TabSheetWordScan))
        v_.PageControlMain->setCurrentWidget(v_.TabSheetWordScan);
    if (!objects().empty() || !controlTags().empty()) {
        const unsigned answer =
            s_.dialogs.Message(MsgKind::Warning, kClearBeforeLoadingQuestion, kYes | kNo | kCancel);
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
        s_.statusBar.ShowError(e.what(), false);
    }
    markModified();
    WriteSettingString(kLastUsedWordTable, path);
}

void WordListController::ActRemoveDuplicatesExecute(QObject* sender) {
    CheckListBox* list = hooks_.targetList(sender);
    // An open editor would point at an entry that moves.
    if (list == v_.CheckListBoxControlTags) controlWordEditor_->abandon();
    if (list == v_.CheckListBoxObjects) objectEditor_->abandon();
    RemoveDuplicates(list->checkList());
    markModified();
}

void WordListController::loadDefaultFunctionTable() {
    TFrameFindexec* picker = v_.FrameFindexecFunctab;
    if (!FrameShown(picker) || !picker->ValidatePath(true)) return;
    if (!objects().empty() || !controlTags().empty()) return;
    try {
        LoadWordList(picker->ProgramPath(), objects(), controlTags());
    } catch (const Error& e) {
        s_.statusBar.ShowError(e.what(), true);
    }
}

bool WordListController::WriteRunWordList(const std::string& outputDir) {
    if (!IsTabVisible(v_.PageControlMain, v_.TabSheetWordScan)) return false;
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
    const std::string tag = S(v_.ComboBoxEditCWrd->currentText());
    controlTags().setText(size_t(row), FormatControlWordEntry(tag, S(v_.EditCWrd->text())));
    markModified();
}

void WordListController::storeObject(int row) {
    const std::string text = S(v_.EditObjects->text());
    if (text == objects().text(size_t(row))) return;
    objects().setText(size_t(row), text);
    markModified();
}

}  // namespace korvane

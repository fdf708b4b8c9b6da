#pragma once
// The macro table of the page "Edit macro table": import and export of word
// list files, duplicate removal, the default function table loaded when a
// language is applied, the hand-over of the lists to a run and back, and the
// editing of control words (picking from text, the in-place editors).

#include <QObject>

#include <memory>
#include <string>

#include "shell/ui/shell_services.h"
#include "shell/wordlists/word_lists_view.h"

namespace korvane {

class CheckList;
class CheckListBox;
class ControlWordPicking;
class InPlaceEditor;

inline constexpr const char* kLastUsedWordTable = "LastUsedWordTable";
inline constexpr const char* kClearBeforeLoadingQuestion =
    "You already have some items in the active word list !\r\nShould I clear it before loading ?";

class WordListController : public QObject {
    Q_OBJECT
public:
    WordListController(QObject* parent, const WordListsView& view, ShellServices services, WordListsHooks hooks);
    ~WordListController() override;

    CheckList& objects();
    CheckList& controlTags();

    // ActSaveWordList: both lists empty does nothing; else the save dialog,
    // SaveWordList and the path remembered as the last used word list.
    void ActSaveWordListExecute();
    // ActLoadWordList: the open dialog, the page shown, the clear question
    // when the lists hold entries, LoadWordList, project modified, path kept.
    void ActLoadWordListExecute();
    // ActRemoveDuplicates on the target list of the list commands.
    void ActRemoveDuplicatesExecute(QObject* sender);

    // When a language has been applied: the default function table when its
    // picker is shown and valid and both lists are empty. A file that cannot
    // be read is reported and the language application goes on.
    void loadDefaultFunctionTable();
    // A new project: the open editors are abandoned.
    void projectCleared();

    // Before a run: with the page "Edit macro table" shown, the checked
    // entries go to functab.wrl in the output directory. Gives whether the
    // file was written (the parameter file names it then). Throws Error with
    // the system's text when it cannot be written.
    bool WriteRunWordList(const std::string& outputDir);
    // After a scan run: both lists refilled from functab.wrl in the output
    // directory. Throws Error with the system's text when it cannot be read
    // (the lists are then empty).
    void ReloadAfterScan(const std::string& outputDir);

    ControlWordPicking& picking() { return *picking_; }
    InPlaceEditor& controlWordEditor() { return *controlWordEditor_; }
    InPlaceEditor& objectEditor() { return *objectEditor_; }

private:
    void storeControlWord(int row);
    void storeObject(int row);
    void markModified();

    WordListsView v_;
    ShellServices s_;
    WordListsHooks hooks_;
    ControlWordPicking* picking_ = nullptr;
    InPlaceEditor* controlWordEditor_ = nullptr;
    InPlaceEditor* objectEditor_ = nullptr;
};

}  // namespace korvane

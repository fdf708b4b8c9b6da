#include "shell/project/stream_to_ini.h"

#include <algorithm>
#include <string>

#include "shared/comma_text.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/project/form_tree.h"

namespace korvane {

namespace {

bool IsSectionLine(std::string_view line) { return !line.empty() && line[0] == '['; }

// The text after the first "=" of a name line.
std::string ValueOfLine(std::string_view line) {
    size_t pos = line.find('=');
    return pos == std::string_view::npos ? std::string() : std::string(line.substr(pos + 1));
}

std::string InnerText(const std::string& text) {
    return text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
}

bool IsEditClass(const std::string& cls) { return cls == form_class::kEdit || cls == form_class::kNumEdit; }

bool IsYN(char c) { return c == 'Y' || c == 'N'; }

bool HoldsLineBreak(const std::string& line) { return line.find_first_of("\r\n") != std::string::npos; }

// The components of exactly one class, in the window's order.
std::vector<FormComponent*> OfClass(FormWindow& window, std::string_view cls) {
    std::vector<FormComponent*> r;
    for (FormComponent* c : window.components())
        if (c->className() == cls) r.push_back(c);
    return r;
}

// "%s.%s" of a window and a control.
std::string Dotted(const std::string& window, const FormComponent& c) { return window + "." + c.name(); }

// Resets the class exclusion and the options when a walk ends, on every path.
template <class F>
struct AtExit {
    F f;
    ~AtExit() { f(); }
};
template <class F>
AtExit(F) -> AtExit<F>;

}  // namespace

// ---- Lines and names -------------------------------------------------------

void TStreamToIni::Add(std::string line) {
    lines_.push_back(std::move(line));
    if (indexed_) IndexLine(int(lines_.size()) - 1);
}

void TStreamToIni::Insert(int i, std::string line) {
    if (i < 0) i = 0;
    if (size_t(i) > lines_.size()) i = int(lines_.size());
    lines_.insert(lines_.begin() + i, std::move(line));
    InvalidateIndex();
}

void TStreamToIni::Delete(int i) {
    if (i < 0 || size_t(i) >= lines_.size()) return;
    lines_.erase(lines_.begin() + i);
    InvalidateIndex();
}

void TStreamToIni::SetLine(int i, std::string line) {
    lines_.at(size_t(i)) = std::move(line);
    InvalidateIndex();
}

void TStreamToIni::Clear() {
    lines_.clear();
    InvalidateIndex();
}

void TStreamToIni::IndexLine(int i) const {
    const std::string& line = lines_[size_t(i)];
    if (IsSectionLine(line)) return;
    size_t pos = line.find('=');
    if (pos == std::string::npos) return;
    index_.emplace(LowerCase(std::string_view(line).substr(0, pos)), i);  // the first line wins
}

int TStreamToIni::IndexOfName(std::string_view name) const {
    if (!indexed_) {
        index_.clear();
        for (size_t i = 0; i < lines_.size(); ++i) IndexLine(int(i));
        indexed_ = true;
    }
    auto it = index_.find(LowerCase(name));
    return it == index_.end() ? -1 : it->second;
}

int TStreamToIni::FindName(std::string_view name) const {
    int i = IndexOfName(name);
    if (i >= 0) return i;
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return -1;
    return IndexOfName(name.substr(dot + 1));
}

std::string TStreamToIni::ReadValue(std::string_view name) const {
    int i = FindName(name);
    return i < 0 ? std::string() : ValueOfLine(lines_[size_t(i)]);
}

void TStreamToIni::WriteValue(std::string_view name, std::string_view value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i >= 0)
        lines_[size_t(i)] = std::move(line);  // same name: the index stays valid
    else
        Add(std::move(line));
}

// ---- Files -----------------------------------------------------------------

void TStreamToIni::LoadFromFile(const std::string& path) {
    lines_ = ReadTextLines(path);
    InvalidateIndex();
    fileFormat_ = ReadValue(kFormatName) == "1" ? 1 : 0;
}

void TStreamToIni::SaveToFile(const std::string& path) {
    int i = IndexOfName(kFormatName);
    if (i < 0) {
        Insert(0, std::string(kFormatName) + "=1");
    } else {
        const std::string& line = lines_[size_t(i)];
        lines_[size_t(i)] = line.substr(0, line.find('=')) + "=1";
    }
    if (!lines_.empty() && !lines_.back().empty() && !IsSectionLine(lines_.back())) Add(kEndMarker);
    // A line holding a line break would be read back as two lines: a
    // check-list item would turn into a bad flag line and end the restore,
    // and every list after it would be lost. Such a line (an item, or a
    // value with its name) is left out of the file.
    if (std::none_of(lines_.begin(), lines_.end(), HoldsLineBreak)) {
        WriteTextLines(path, lines_);
        return;
    }
    std::vector<std::string> written;
    written.reserve(lines_.size());
    for (const std::string& line : lines_)
        if (!HoldsLineBreak(line)) written.push_back(line);
    WriteTextLines(path, written);
}

// ---- Walks -----------------------------------------------------------------

void TStreamToIni::ExcludeClasses(const std::vector<std::string>& classNames) {
    exclusion_.clear();
    for (const std::string& cls : classNames) exclusion_ += "." + cls + ".";
}

bool TStreamToIni::Excluded(const FormComponent& frame) const {
    return !exclusion_.empty() && ContainsText(exclusion_, "." + frame.className() + ".");
}

void TStreamToIni::EndWalk() {
    exclusion_.clear();
    options_ = kDefaultOptions;
}

void TStreamToIni::SaveFormState(FormWindow& window, uint16_t kinds) {
    AtExit done{[this] { EndWalk(); }};
    if (kinds == 0) kinds = kinds_;
    const std::string w = window.name();
    Add("[Form - " + w + "]");
    if (kinds & kKindCaption) {
        Add("[Captions]");
        WriteValue(w + ".Caption", window.caption());
    }
    if ((kinds & kKindFrameEdits) && (kinds & kKindEditBoxes)) SaveFrameEdits(window);
    if (kinds & kKindEditBoxes) SaveEditBoxes(window);
    if (kinds & kKindComboBoxes) SaveComboBoxes(window);
    if (kinds & kKindIncCombos) SaveIncCombos(window);
    if (kinds & kKindCheckBoxes) SaveCheckBoxes(window);
    if (kinds & kKindCheckListBoxes) SaveCheckListBoxes(window);
    if (kinds & kKindMemos) SaveMemos(window);
    if (kinds & kKindStringListHolders) SaveStringListHolders(window);
    if (kinds & kKindRadioGroups) SaveRadioGroups(window);
}

void TStreamToIni::SaveFrameEdits(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* frame : window.components()) {
        if (!frame->isFrame() || Excluded(*frame)) continue;
        if (first) Add("[TFrames]");
        first = false;
        const std::string prefix = Dotted(w, *frame) + ".";
        for (FormComponent* edit : frame->components())
            if (IsEditClass(edit->className())) Add(prefix + edit->name() + "=" + edit->text());  // %s.%s.%s=%s
    }
}

void TStreamToIni::SaveEditBoxes(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* edit : window.components()) {
        if (!IsEditClass(edit->className())) continue;
        if (first) Add("[Editboxes]");
        first = false;
        Add(Dotted(w, *edit) + "=" + edit->text());  // %s.%s=%s
    }
}

void TStreamToIni::SaveComboBoxes(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* box : OfClass(window, form_class::kComboBox)) {
        if (first) Add("[ComboBoxes]");
        first = false;
        Add("[TComboBox - " + box->name() + "]");
        const std::string name = Dotted(w, *box);
        int index = box->itemIndex();
        Add(name + "=" + (index >= 0 ? std::to_string(index) : box->text()));  // %s.%s=%d or %s.%s=%s
        if (!(options_ & kSkipComboItems)) {
            std::vector<std::string> items = box->items();
            if (!items.empty()) Add(name + ".Content=(" + JoinCommaText(items) + ")");  // %s.%s.Content=(%s)
        }
    }
}

void TStreamToIni::SaveIncCombos(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* box : OfClass(window, form_class::kIncCombo)) {
        if (first) Add("[IncComboBoxes]");
        first = false;
        const std::string name = Dotted(w, *box);
        Add("[TIncCombo - " + name + "]");
        int index = box->itemIndex();
        Add(name + "=" + (index >= 0 ? std::to_string(index) : box->text()));
        if (!(options_ & kSkipIncComboItems)) {
            std::vector<std::string> items = box->items();
            for (size_t i = 0; i < items.size(); ++i) Add(items[i] + "==" + box->itemValue(int(i)));
        }
    }
}

void TStreamToIni::SaveCheckBoxes(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* box : OfClass(window, form_class::kCheckBox)) {
        if (first) Add("[Checkboxes]");
        first = false;
        Add(Dotted(w, *box) + "=" + BoolToYN(box->checked()));
    }
}

void TStreamToIni::SaveCheckListBoxes(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* box : OfClass(window, form_class::kCheckListBox)) {
        if (first) Add("[CheckListBoxes]");
        first = false;
        const std::string name = Dotted(w, *box);
        const CheckList& list = box->checkList();
        lines_.reserve(lines_.size() + list.size() + 3);
        Add("[TCheckListBox - " + name + "]");
        Add(name + "=" + box->name());
        Add(name + ".Tag=" + std::to_string(list.tag()));  // %s.%s.Tag=%d
        for (const CheckEntry& e : list.entries()) {
            std::string line;
            line.reserve(e.text.size() + 2);
            line += e.checked ? 'Y' : 'N';
            line += e.enabled ? 'Y' : 'N';
            line += e.text;
            Add(std::move(line));
        }
    }
}

void TStreamToIni::SaveMemos(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* memo : OfClass(window, form_class::kMemo)) {
        if (first) Add("[Memos]");
        first = false;
        const std::string name = Dotted(w, *memo);
        Add("[TMemo - " + name + "]");
        Add(name + "=" + memo->name());
        for (std::string& line : memo->memoLines()) Add(std::move(line));
    }
}

void TStreamToIni::SaveStringListHolders(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* holder : OfClass(window, form_class::kStringListHolder)) {
        if (first) Add("[StringListHolders]");
        first = false;
        const std::string name = Dotted(w, *holder);
        Add("[TStringListHolder - " + name + "]");
        Add(name + "=" + holder->name());
        bool saveObjects = holder->holderSaveObjects();
        WriteValue(name + ".MaxLen", std::to_string(holder->holderMaxLen()));  // %s.%s.%s=%s
        WriteValue(name + ".SaveObjects", BoolToYN(saveObjects));
        std::vector<std::string> strings = holder->holderStrings();
        std::vector<int> objects = saveObjects ? holder->holderObjects() : std::vector<int>();
        for (size_t i = 0; i < strings.size(); ++i) {
            if (saveObjects)
                Add(std::to_string(i < objects.size() ? objects[i] : 0) + "@" + strings[i]);  // %d@%s
            else
                Add(std::move(strings[i]));
        }
    }
}

void TStreamToIni::SaveRadioGroups(FormWindow& window) {
    const std::string w = window.name();
    bool first = true;
    for (FormComponent* group : OfClass(window, form_class::kRadioGroup)) {
        if (first) Add("[RadioGroups]");
        first = false;
        Add(Dotted(w, *group) + "=" + std::to_string(group->itemIndex()));
    }
}

void TStreamToIni::LoadFormState(FormWindow& window) {
    AtExit done{[this] { EndWalk(); }};
    const uint16_t kinds = kinds_;
    if (kinds & kKindCaption) window.setCaption(ReadValue(window.name() + ".Caption"));
    if ((kinds & kKindFrameEdits) && (kinds & kKindEditBoxes)) LoadFrameEdits(window);
    if (kinds & kKindEditBoxes) LoadEditBoxes(window);
    if (kinds & kKindComboBoxes) LoadComboBoxes(window);
    if (kinds & kKindIncCombos) LoadIncCombos(window);
    if (kinds & kKindCheckBoxes) LoadCheckBoxes(window);
    if (kinds & kKindCheckListBoxes) LoadCheckListBoxes(window);
    if (kinds & kKindMemos) LoadMemos(window);
    if (kinds & kKindStringListHolders) LoadStringListHolders(window);
    if (kinds & kKindRadioGroups) LoadRadioGroups(window);
}

void TStreamToIni::LoadFrameEdits(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* frame : window.components()) {
        if (!frame->isFrame() || Excluded(*frame)) continue;
        const std::string frameName = Dotted(w, *frame);
        for (FormComponent* edit : frame->components()) {
            if (!IsEditClass(edit->className())) continue;
            int i = FindName(frameName + "." + edit->name());
            if (i < 0) i = FindName(frameName);
            if (i >= 0) edit->setText(ValueOfLine(lines_[size_t(i)]));
        }
    }
}

void TStreamToIni::LoadEditBoxes(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* edit : window.components()) {
        if (!IsEditClass(edit->className())) continue;
        int i = FindName(Dotted(w, *edit));
        if (i >= 0) edit->setText(ValueOfLine(lines_[size_t(i)]));
    }
}

// A value of decimal digits below the number of items selects that item;
// anything else becomes the box's text.
void TStreamToIni::SelectIndexOrText(FormComponent& box, const std::string& value) {
    bool digits = !value.empty();
    long long n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            digits = false;
            break;
        }
        if (n <= 0x7fffffff) n = n * 10 + (c - '0');
    }
    if (digits && n < (long long)box.items().size())
        box.setItemIndex(int(n));
    else
        box.setText(value);
}

void TStreamToIni::LoadComboBoxes(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* box : OfClass(window, form_class::kComboBox)) {
        const std::string name = Dotted(w, *box);
        int i = FindName(name);
        if (i < 0) continue;
        if (!(options_ & kSkipComboItems)) box->setItems(SplitCommaText(InnerText(ReadValue(name + ".Content"))));
        SelectIndexOrText(*box, ValueOfLine(lines_[size_t(i)]));
    }
}

void TStreamToIni::LoadIncCombos(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* box : OfClass(window, form_class::kIncCombo)) {
        int i = FindName(Dotted(w, *box));
        if (i < 0) continue;
        if (!(options_ & kSkipIncComboItems)) {
            box->clearItemsAndValues();
            for (size_t j = size_t(i) + 1; j < lines_.size(); ++j) {
                const std::string& line = lines_[j];
                if (line.empty() || IsSectionLine(line)) break;
                box->addItemWithValue(TextBeforeFirst(line, "=="), TextAfterFirst(line, "=="));
            }
        }
        SelectIndexOrText(*box, ValueOfLine(lines_[size_t(i)]));
    }
}

void TStreamToIni::LoadCheckBoxes(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* box : OfClass(window, form_class::kCheckBox)) {
        int i = FindName(Dotted(w, *box));
        if (i >= 0) box->setChecked(TextToBool(ValueOfLine(lines_[size_t(i)])));
    }
}

void TStreamToIni::LoadCheckListBoxes(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* box : OfClass(window, form_class::kCheckListBox)) {
        const std::string name = Dotted(w, *box);
        int i = FindName(name);
        if (i < 0) continue;
        CheckList& list = box->checkList();
        list.clear();
        std::string tag = ReadValue(name + ".Tag");
        int first = i + 1;
        if (!tag.empty()) {
            list.setTag(StrToInt(tag));
            first = i + 2;
        }
        LoadCheckListItems(*box, first);
    }
}

// The item lines from line first up to an empty line, a section line or the
// end. Format 1 files always carry two flags (checked, enabled); older files
// may carry one, which shows when any line does not begin with two of Y/N.
void TStreamToIni::LoadCheckListItems(FormComponent& box, int first) {
    size_t begin = size_t(first), end = begin;
    while (end < lines_.size() && !lines_[end].empty() && !IsSectionLine(lines_[end])) ++end;
    bool twoFlags = true;
    if (fileFormat_ != 1) {
        for (size_t j = begin; j < end && twoFlags; ++j) {
            const std::string& line = lines_[j];
            twoFlags = line.size() >= 2 && IsYN(line[0]) && IsYN(line[1]);
        }
    }
    const size_t flags = twoFlags ? 2 : 1;
    const bool setEnabled = twoFlags && !(options_ & kSkipCheckListEnabled);

    std::vector<CheckEntry> entries;
    if (end > begin) entries.reserve(end - begin);
    CheckList& list = box.checkList();
    try {
        for (size_t j = begin; j < end; ++j) {
            std::string_view line = lines_[j];
            CheckEntry e;
            e.checked = TextToBool(line.substr(0, 1));
            if (setEnabled) e.enabled = TextToBool(line.substr(1, 1));
            if (line.size() > flags) e.text = std::string(line.substr(flags));
            entries.push_back(std::move(e));
        }
    } catch (...) {
        list.appendAll(std::move(entries));  // the items before the bad line stay, as when added one by one
        throw;
    }
    list.appendAll(std::move(entries));
}

void TStreamToIni::LoadMemos(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* memo : OfClass(window, form_class::kMemo)) {
        int i = FindName(Dotted(w, *memo));
        if (i < 0) continue;
        std::vector<std::string> lines;
        for (size_t j = size_t(i) + 1; j < lines_.size() && !IsSectionLine(lines_[j]); ++j) lines.push_back(lines_[j]);
        memo->setMemoLines(lines);
        memo->setMemoModified(true);
    }
}

void TStreamToIni::LoadStringListHolders(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* holder : OfClass(window, form_class::kStringListHolder)) {
        const std::string name = Dotted(w, *holder);
        int i = FindName(name);
        if (i < 0) continue;
        holder->clearHolder();
        std::string maxLen = ReadValue(name + ".MaxLen");
        if (!maxLen.empty()) holder->setHolderMaxLen(StrToInt(maxLen));
        std::string saveObjects = ReadValue(name + ".SaveObjects");
        if (!saveObjects.empty()) holder->setHolderSaveObjects(TextToBoolDef(saveObjects, false));
        if (fileFormat_ != 1) {
            for (const std::string& s : SplitCommaText(InnerText(ValueOfLine(lines_[size_t(i)]))))
                holder->addHolderString(s, 0);
            continue;
        }
        const bool withObjects = holder->holderSaveObjects();
        size_t j = size_t(i) + (FindName(name + ".SaveObjects") >= 0 ? 3 : 2);
        for (; j < lines_.size() && !IsSectionLine(lines_[j]); ++j) {
            const std::string& line = lines_[j];
            if (withObjects)
                holder->addHolderString(TextAfterFirst(line, "@"), StrToInt(TextBeforeFirst(line, "@")));
            else
                holder->addHolderString(line, 0);
        }
    }
}

void TStreamToIni::LoadRadioGroups(FormWindow& window) {
    const std::string w = window.name();
    for (FormComponent* group : OfClass(window, form_class::kRadioGroup)) {
        int i = FindName(Dotted(w, *group));
        if (i >= 0) group->setItemIndex(StrToInt(ValueOfLine(lines_[size_t(i)])));
    }
}

}  // namespace korvane

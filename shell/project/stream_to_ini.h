#pragma once
// TStreamToIni: the state of a window's controls as INI-like text lines.
//
// The object is a list of lines (the lines of a file) with name lookups over
// it: a name line is "name=value" (the name before the first "="), a section
// line begins with "[" and is never looked up, any other line is a raw line
// of the block above it. SaveFormState appends a window's state as such lines,
// LoadFormState finds every control again by its dotted name
// (window.control, window.frame.edit) and puts the state back through the
// controls' ordinary setters. The project file is one such text: its
// [Properties] block goes through WriteValue/ReadValue, the dump through the
// walks.
//
// Name lookups use an index of first occurrences that is built on the first
// lookup and kept up to date while lines are appended, so big files (long
// lines, check-lists of many thousand entries) cost one pass.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane {

class FormWindow;
class FormComponent;

class TStreamToIni {
public:
    // Control kinds (bits of Kinds and of the kinds passed to SaveFormState).
    enum Kind : uint16_t {
        kKindCaption = 1,
        kKindComboBoxes = 2,
        kKindEditBoxes = 4,
        kKindIncCombos = 8,
        kKindCheckListBoxes = 16,
        kKindMemos = 32,
        kKindStringListHolders = 64,
        kKindFrameEdits = 128,  // only together with kKindEditBoxes
        kKindCheckBoxes = 256,
        kKindRadioGroups = 512,
    };
    static constexpr uint16_t kAllKinds = 1023;
    // Parts of the state that a walk skips (bits of Options).
    enum Option : uint16_t {
        kSkipComboItems = 2,
        kSkipIncComboItems = 8,
        kSkipCheckListEnabled = 16,  // restoring the enabled flags of check-list items
    };
    static constexpr uint16_t kDefaultOptions = 26;

    static constexpr const char* kFormatName = "StreamToIni.FileFormat";
    static constexpr const char* kEndMarker = "[Konyec szkazki]";

    TStreamToIni() = default;

    uint16_t Kinds() const { return kinds_; }
    void SetKinds(uint16_t kinds) { kinds_ = kinds; }
    // Back to 26 at the end of every walk.
    uint16_t Options() const { return options_; }
    void SetOptions(uint16_t options) { options_ = options; }
    // 1 when the lines last loaded declared "StreamToIni.FileFormat=1".
    uint8_t FileFormat() const { return fileFormat_; }

    // Plain line operations.
    int Count() const { return int(lines_.size()); }
    const std::string& Line(int i) const { return lines_.at(size_t(i)); }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Add(std::string line);
    void Insert(int i, std::string line);
    void Delete(int i);
    void SetLine(int i, std::string line);
    void Clear();

    // Replaces the lines by the file's lines (CR LF, LF or CR) and sets
    // FileFormat. File errors throw korvane::Error.
    void LoadFromFile(const std::string& path);
    // Declares format 1 (first line, or in place), appends the end marker
    // when the last line is a non-empty, non-section line, and writes the
    // lines with CR LF through a temporary file, so that a failed save leaves
    // the old file as it was. A line holding a CR or LF (a check-list item
    // or a value with such a character) is left out of the file. File
    // errors throw korvane::Error.
    void SaveToFile(const std::string& path);

    // First name line whose name equals name ignoring case; failing that,
    // when name holds a ".", the same for the part after its last ".". -1
    // when none.
    int FindName(std::string_view name) const;
    // The value of the line FindName finds, empty when none.
    std::string ReadValue(std::string_view name) const;
    // Value not empty: the first line with exactly this name (no fallback)
    // becomes name=value, or such a line is appended. Empty value: that line
    // is deleted.
    void WriteValue(std::string_view name, std::string_view value);

    // Frame classes the next walk leaves out.
    void ExcludeClasses(const std::vector<std::string>& classNames);
    // The exclusion as held: "." + class name + "." for each class.
    const std::string& ClassExclusion() const { return exclusion_; }

    // Appends the window's state for the kinds given (0: Kinds()).
    void SaveFormState(FormWindow& window, uint16_t kinds = 0);
    // Restores the window's state for all of Kinds(). A value that cannot be
    // converted (an integer or a flag) throws korvane::Error; the controls
    // restored before it keep their new state.
    void LoadFormState(FormWindow& window);

private:
    int IndexOfName(std::string_view name) const;
    void IndexLine(int i) const;
    void InvalidateIndex() { indexed_ = false; }
    bool Excluded(const FormComponent& frame) const;
    void EndWalk();

    // Appending one kind's lines of a window.
    void SaveFrameEdits(FormWindow& window);
    void SaveEditBoxes(FormWindow& window);
    void SaveComboBoxes(FormWindow& window);
    void SaveIncCombos(FormWindow& window);
    void SaveCheckBoxes(FormWindow& window);
    void SaveCheckListBoxes(FormWindow& window);
    void SaveMemos(FormWindow& window);
    void SaveStringListHolders(FormWindow& window);
    void SaveRadioGroups(FormWindow& window);

    // Restoring one kind.
    void LoadFrameEdits(FormWindow& window);
    void LoadEditBoxes(FormWindow& window);
    void LoadComboBoxes(FormWindow& window);
    void LoadIncCombos(FormWindow& window);
    void LoadCheckBoxes(FormWindow& window);
    void LoadCheckListBoxes(FormWindow& window);
    void LoadMemos(FormWindow& window);
    void LoadStringListHolders(FormWindow& window);
    void LoadRadioGroups(FormWindow& window);
    void SelectIndexOrText(FormComponent& box, const std::string& value);
    void LoadCheckListItems(FormComponent& box, int first);

    std::vector<std::string> lines_;
    uint16_t kinds_ = kAllKinds;
    uint16_t options_ = kDefaultOptions;
    std::string exclusion_;
    uint8_t fileFormat_ = 0;

    // Lower-cased name -> index of its first name line; valid while indexed_.
    mutable std::unordered_map<std::string, int> index_;
    mutable bool indexed_ = false;
};

}  // namespace korvane

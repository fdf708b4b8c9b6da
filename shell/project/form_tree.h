#pragma once
// The component tree that the form-state walks of TStreamToIni see: a window
// with its name, caption and the components it owns in order, and for each
// component its name, class name, frame ancestry and the properties of its
// kind. The Qt layer puts its widgets behind these interfaces; tests use the
// in-memory tree of form_tree_memory.h.
//
// Class names are the names the form-state text uses ("TEdit", "TComboBox",
// "TCheckListBox", "TFrameFindexec", ...). Except for frames a component
// belongs to a kind only when its class name is exactly the kind's class.
//
// The setters are the controls' ordinary setters: an implementation runs the
// change and click handling that the window attaches, as a user's edit or
// click would. A property accessor that a component's kind does not have
// throws std::logic_error (a programming error, never a user's).

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class CheckList;

// Class names the walks know.
namespace form_class {
inline constexpr std::string_view kFrame = "TFrame";
inline constexpr std::string_view kEdit = "TEdit";
inline constexpr std::string_view kNumEdit = "TMrNumEdit";
inline constexpr std::string_view kComboBox = "TComboBox";
inline constexpr std::string_view kIncCombo = "TIncCombo";
inline constexpr std::string_view kCheckBox = "TCheckBox";
inline constexpr std::string_view kCheckListBox = "TCheckListBox";
inline constexpr std::string_view kMemo = "TMemo";
inline constexpr std::string_view kStringListHolder = "TStringListHolder";
inline constexpr std::string_view kRadioGroup = "TRadioGroup";
}  // namespace form_class

class FormComponent {
public:
    virtual ~FormComponent() = default;

    virtual std::string name() const = 0;
    virtual std::string className() const = 0;
    // The component's class followed by its base classes, nearest first
    // ("TFrameFindDirectory", "TFrame", ...). Default: the class alone.
    virtual std::vector<std::string> classAncestry() const { return {className()}; }
    // A frame is a component of the frame class "TFrame" or a class derived
    // from it. Default: "TFrame" occurs in classAncestry().
    virtual bool isFrame() const;
    // The components a frame owns, in order (empty for other components).
    virtual std::vector<FormComponent*> components() { return {}; }

    // Edit boxes (TEdit, TMrNumEdit) and the edit text of combo boxes.
    virtual std::string text() const;
    virtual void setText(const std::string& text);

    // Combo boxes and incremental combo boxes: items and selected index
    // (-1 for none). Radio groups: the selected index.
    virtual std::vector<std::string> items() const;
    virtual void setItems(const std::vector<std::string>& items);
    virtual int itemIndex() const;
    virtual void setItemIndex(int index);

    // Incremental combo boxes: the value of item i (empty when it has none),
    // emptying the box (text, items and values), and adding an item with a
    // value (the box trims the text when set to, and ignores a text that is
    // already an item).
    virtual std::string itemValue(int index) const;
    virtual void clearItemsAndValues();
    virtual void addItemWithValue(const std::string& item, const std::string& value);

    // Check boxes.
    virtual bool checked() const;
    virtual void setChecked(bool on);

    // Check-list boxes: the list model the box shows (entries, Tag).
    virtual CheckList& checkList();
    virtual const CheckList& checkList() const;

    // Memos.
    virtual std::vector<std::string> memoLines() const;
    virtual void setMemoLines(const std::vector<std::string>& lines);
    virtual bool memoModified() const;
    virtual void setMemoModified(bool on);

    // String-list holders: strings with attached object numbers, a maximum
    // length and whether the objects are saved.
    virtual std::vector<std::string> holderStrings() const;
    virtual std::vector<int> holderObjects() const;
    virtual int holderMaxLen() const;
    virtual bool holderSaveObjects() const;
    // Empties the strings and sets the maximum length to 0.
    virtual void clearHolder();
    virtual void setHolderMaxLen(int maxLen);
    virtual void setHolderSaveObjects(bool on);
    virtual void addHolderString(const std::string& text, int object);

protected:
    [[noreturn]] void unsupported(const char* property) const;
};

class FormWindow {
public:
    virtual ~FormWindow() = default;

    virtual std::string name() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The components the window owns, in the order in which it owns them
    // (definition order, then those created at run time). Components owned
    // by a frame are reached through the frame.
    virtual std::vector<FormComponent*> components() = 0;
};

}  // namespace korvane

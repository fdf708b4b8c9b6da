#pragma once
// A check-list: an ordered list of entries, each a text, a check mark and an
// enabled flag, with the sorted mode of a list box (entries kept in ascending
// order ignoring case) and an integer Tag. The Qt list widget shows one of
// these through a model; everything else works on it directly.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct CheckEntry {
    std::string text;
    bool checked = false;
    bool enabled = true;

    bool operator==(const CheckEntry&) const = default;
};

class CheckList {
public:
    // Notifications for a view. Bulk changes report Reset.
    enum class Change { Reset, Inserted, Removed, DataChanged };
    using Listener = std::function<void(Change, int first, int last)>;

    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const CheckEntry& at(size_t i) const { return entries_.at(i); }
    const std::string& text(size_t i) const { return entries_.at(i).text; }
    bool checked(size_t i) const { return entries_.at(i).checked; }
    const std::vector<CheckEntry>& entries() const { return entries_; }
    // Moves the entries out, leaving the list empty without telling a view:
    // for a caller that assigns the list again at once.
    std::vector<CheckEntry> takeEntries() {
        std::vector<CheckEntry> taken = std::move(entries_);
        entries_.clear();
        itemIndex_ = -1;
        return taken;
    }

    void setChecked(size_t i, bool on);
    void setEnabled(size_t i, bool on);
    void setText(size_t i, std::string text);
    // Every entry checked / unchecked / inverted.
    void checkAll(bool on);
    void invertAll();
    int checkedCount() const;

    // Adds an entry: at its sorted place when the list is sorted, else at
    // the end. Gives its index.
    int add(std::string text, bool checked = false);
    void insert(size_t i, std::string text, bool checked = false);
    void remove(size_t i);
    void clear();
    // Replaces all entries at once (one Reset notification).
    void assign(std::vector<CheckEntry> entries);
    // Appends many entries at the end, ignoring the sorted mode, then sorts
    // once when the list is sorted.
    void appendAll(std::vector<CheckEntry> entries);

    bool sorted() const { return sorted_; }
    // Switching sorting on sorts the entries (stable, ignoring case).
    void setSorted(bool on);

    // Index of the first entry whose text equals text, -1 when none.
    int indexOf(std::string_view text, bool ignoreCase) const;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Index of the selected (highlighted) entry, -1 for none; kept by the view.
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int i) { itemIndex_ = i; }

    void setListener(Listener l) { listener_ = std::move(l); }

private:
    void notify(Change c, int first, int last) {
        if (listener_) listener_(c, first, last);
    }
    // Puts the entries in order; false when they already were.
    bool sortEntries();

    std::vector<CheckEntry> entries_;
    bool sorted_ = false;
    int tag_ = 0;
    int itemIndex_ = -1;
    Listener listener_;
};

}  // namespace korvane

#include "shell/ui/check_list.h"

#include <algorithm>

#include "shared/text.h"

namespace korvane {

void CheckList::setChecked(size_t i, bool on) {
    if (entries_.at(i).checked == on) return;
    entries_[i].checked = on;
    notify(Change::DataChanged, int(i), int(i));
}

void CheckList::setEnabled(size_t i, bool on) {
    entries_.at(i).enabled = on;
    notify(Change::DataChanged, int(i), int(i));
}

void CheckList::setText(size_t i, std::string text) {
    entries_.at(i).text = std::move(text);
    notify(Change::DataChanged, int(i), int(i));
}

void CheckList::checkAll(bool on) {
    for (auto& e : entries_) e.checked = on;
    if (!entries_.empty()) notify(Change::DataChanged, 0, int(entries_.size()) - 1);
}

void CheckList::invertAll() {
    for (auto& e : entries_) e.checked = !e.checked;
    if (!entries_.empty()) notify(Change::DataChanged, 0, int(entries_.size()) - 1);
}

int CheckList::checkedCount() const {
    return int(std::count_if(entries_.begin(), entries_.end(), [](const CheckEntry& e) { return e.checked; }));
}

int CheckList::add(std::string text, bool checked) {
    size_t pos = entries_.size();
    if (sorted_) {
        auto it = std::upper_bound(entries_.begin(), entries_.end(), text, [](const std::string& t, const CheckEntry& e) {
            return CompareText(t, e.text) < 0;
        });
        pos = size_t(it - entries_.begin());
    }
    entries_.insert(entries_.begin() + long(pos), CheckEntry{std::move(text), checked, true});
    notify(Change::Inserted, int(pos), int(pos));
    return int(pos);
}

void CheckList::insert(size_t i, std::string text, bool checked) {
    if (i > entries_.size()) i = entries_.size();
    entries_.insert(entries_.begin() + long(i), CheckEntry{std::move(text), checked, true});
    notify(Change::Inserted, int(i), int(i));
}

void CheckList::remove(size_t i) {
    if (i >= entries_.size()) return;
    entries_.erase(entries_.begin() + long(i));
    if (itemIndex_ >= int(entries_.size())) itemIndex_ = int(entries_.size()) - 1;
    notify(Change::Removed, int(i), int(i));
}

void CheckList::clear() {
    entries_.clear();
    itemIndex_ = -1;
    notify(Change::Reset, 0, -1);
}

void CheckList::assign(std::vector<CheckEntry> entries) {
    entries_ = std::move(entries);
    if (sorted_) sortEntries();
    itemIndex_ = -1;
    notify(Change::Reset, 0, int(entries_.size()) - 1);
}

void CheckList::appendAll(std::vector<CheckEntry> entries) {
    if (entries.empty()) return;
    entries_.reserve(entries_.size() + entries.size());
    for (auto& e : entries) entries_.push_back(std::move(e));
    if (sorted_) sortEntries();
    notify(Change::Reset, 0, int(entries_.size()) - 1);
}

bool CheckList::sortEntries() {
    const auto less = [](const CheckEntry& a, const CheckEntry& b) { return CompareText(a.text, b.text) < 0; };
    if (std::is_sorted(entries_.begin(), entries_.end(), less)) return false;
    if (entries_.size() < 256) {
        std::stable_sort(entries_.begin(), entries_.end(), less);
        return true;
    }
    // Long lists: fold every text once and sort the folded keys (byte order
    // of the folded text is the order of CompareText), keeping ties in their
    // old order as the short path does.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) keys.emplace_back(LowerCase(entries_[i].text), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CheckEntry> sorted;
    sorted.reserve(entries_.size());
    for (const auto& k : keys) sorted.push_back(std::move(entries_[k.second]));
    entries_ = std::move(sorted);
    return true;
}

void CheckList::setSorted(bool on) {
    if (sorted_ == on) return;
    sorted_ = on;
    // Switching on over entries already in order changes nothing visible.
    if (on && sortEntries()) notify(Change::Reset, 0, int(entries_.size()) - 1);
}

int CheckList::indexOf(std::string_view text, bool ignoreCase) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (ignoreCase ? SameText(entries_[i].text, text) : entries_[i].text == text) return int(i);
    }
    return -1;
}

}  // namespace korvane

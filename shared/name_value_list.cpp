#include "shared/name_value_list.h"

#include "shared/text.h"

namespace korvane {

std::string NameValueList::NameOf(std::string_view line) {
    auto pos = line.find('=');
    return pos == std::string_view::npos ? std::string() : std::string(line.substr(0, pos));
}

std::string NameValueList::ValueOf(std::string_view line) { return TextAfterFirst(line, "="); }

int NameValueList::indexOfName(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& l = lines_[i];
        auto pos = l.find('=');
        if (pos == std::string::npos) continue;
        if (SameText(std::string_view(l).substr(0, pos), name)) return int(i);
    }
    return -1;
}

std::string NameValueList::value(std::string_view name) const {
    int i = indexOfName(name);
    return i < 0 ? std::string() : ValueOf(lines_[size_t(i)]);
}

void NameValueList::setValue(std::string_view name, std::string_view value) {
    int i = indexOfName(name);
    if (value.empty()) {
        if (i >= 0) lines_.erase(lines_.begin() + i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i >= 0)
        lines_[size_t(i)] = std::move(line);
    else
        lines_.push_back(std::move(line));
}

}  // namespace korvane

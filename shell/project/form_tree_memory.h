#pragma once
// An in-memory component tree for tests of the form-state walks and of the
// code that drives them. Every component keeps all properties in plain
// members; the setters change them the way the real controls do and record
// each call ("EditSystemName.setText(ABC)") in the window's call log, which
// stands in for the change and click handlers of the real window.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/text.h"
#include "shell/ui/check_list.h"
#include "shell/project/form_tree.h"

namespace korvane {

class MemoryFormComponent : public FormComponent {
public:
    MemoryFormComponent(std::string name, std::string className, std::vector<std::string> bases,
                        std::vector<std::string>* log)
        : name_(std::move(name)), className_(std::move(className)), bases_(std::move(bases)), log_(log) {}

    // The state, open for setting up and inspecting a test.
    std::string textValue;
    std::vector<std::string> itemList;
    int index = -1;
    std::vector<std::string> values;       // incremental combo: value per item
    bool trimItemsOnAdd = false;           // incremental combo: trims added item texts
    bool isChecked = false;
    CheckList list;
    std::vector<std::string> memo;
    bool modified = false;
    std::vector<std::string> strings;
    std::vector<int> objects;
    int maxLen = 0;
    bool saveObjects = false;

    // Adds a component owned by this one (a frame's edit box, say).
    MemoryFormComponent& add(std::string name, std::string className, std::vector<std::string> bases = {}) {
        children_.push_back(
            std::make_unique<MemoryFormComponent>(std::move(name), std::move(className), std::move(bases), log_));
        return *children_.back();
    }

    std::string name() const override { return name_; }
    std::string className() const override { return className_; }
    std::vector<std::string> classAncestry() const override {
        std::vector<std::string> r{className_};
        r.insert(r.end(), bases_.begin(), bases_.end());
        return r;
    }
    std::vector<FormComponent*> components() override {
        std::vector<FormComponent*> r;
        for (auto& c : children_) r.push_back(c.get());
        return r;
    }

    std::string text() const override { return textValue; }
    void setText(const std::string& text) override {
        record("setText", text);
        textValue = text;
        index = -1;
    }
    std::vector<std::string> items() const override { return itemList; }
    void setItems(const std::vector<std::string>& items) override {
        record("setItems", JoinWith(items));
        itemList = items;
        index = -1;
    }
    int itemIndex() const override { return index; }
    void setItemIndex(int i) override {
        record("setItemIndex", std::to_string(i));
        index = i;
        if (i >= 0 && size_t(i) < itemList.size()) textValue = itemList[size_t(i)];
    }
    std::string itemValue(int i) const override {
        return i >= 0 && size_t(i) < values.size() ? values[size_t(i)] : std::string();
    }
    void clearItemsAndValues() override {
        record("clearItemsAndValues", "");
        textValue.clear();
        itemList.clear();
        values.clear();
        index = -1;
    }
    void addItemWithValue(const std::string& item, const std::string& value) override {
        record("addItemWithValue", item + "==" + value);
        std::string t = trimItemsOnAdd ? TrimRight(item) : item;
        for (const std::string& s : itemList)
            if (SameText(s, t)) return;
        itemList.push_back(t);
        values.resize(itemList.size());
        values.back() = value;
    }
    bool checked() const override { return isChecked; }
    void setChecked(bool on) override {
        record("setChecked", on ? "true" : "false");
        isChecked = on;
    }
    CheckList& checkList() override { return list; }
    const CheckList& checkList() const override { return list; }
    std::vector<std::string> memoLines() const override { return memo; }
    void setMemoLines(const std::vector<std::string>& lines) override {
        record("setMemoLines", std::to_string(lines.size()));
        memo = lines;
    }
    bool memoModified() const override { return modified; }
    void setMemoModified(bool on) override {
        record("setMemoModified", on ? "true" : "false");
        modified = on;
    }
    std::vector<std::string> holderStrings() const override { return strings; }
    std::vector<int> holderObjects() const override { return objects; }
    int holderMaxLen() const override { return maxLen; }
    bool holderSaveObjects() const override { return saveObjects; }
    void clearHolder() override {
        record("clearHolder", "");
        strings.clear();
        objects.clear();
        maxLen = 0;
    }
    void setHolderMaxLen(int n) override {
        record("setHolderMaxLen", std::to_string(n));
        maxLen = n;
    }
    void setHolderSaveObjects(bool on) override {
        record("setHolderSaveObjects", on ? "true" : "false");
        saveObjects = on;
    }
    void addHolderString(const std::string& text, int object) override {
        strings.push_back(text);
        objects.push_back(object);
    }

private:
    static std::string JoinWith(const std::vector<std::string>& items) {
        std::string r;
        for (size_t i = 0; i < items.size(); ++i) r += (i ? "|" : "") + items[i];
        return r;
    }
    void record(const char* what, const std::string& arg) {
        if (log_) log_->push_back(name_ + "." + what + "(" + arg + ")");
    }

    std::string name_;
    std::string className_;
    std::vector<std::string> bases_;
    std::vector<std::string>* log_;
    std::vector<std::unique_ptr<MemoryFormComponent>> children_;
};

class MemoryFormWindow : public FormWindow {
public:
    explicit MemoryFormWindow(std::string name, std::string caption = {})
        : captionValue(std::move(caption)), name_(std::move(name)) {}

    std::string captionValue;
    // Every setter call of the window and its components, in order.
    std::vector<std::string> calls;

    MemoryFormComponent& add(std::string name, std::string className, std::vector<std::string> bases = {}) {
        components_.push_back(
            std::make_unique<MemoryFormComponent>(std::move(name), std::move(className), std::move(bases), &calls));
        return *components_.back();
    }
    // A frame of the given class, derived from "TFrame".
    MemoryFormComponent& addFrame(std::string name, std::string className) {
        return add(std::move(name), std::move(className), {std::string(form_class::kFrame)});
    }
    MemoryFormComponent& get(const std::string& name) {
        for (auto& c : components_)
            if (c->name() == name) return *c;
        throw std::out_of_range("no component " + name);
    }

    std::string name() const override { return name_; }
    std::string caption() const override { return captionValue; }
    void setCaption(const std::string& caption) override {
        calls.push_back(name_ + ".setCaption(" + caption + ")");
        captionValue = caption;
    }
    std::vector<FormComponent*> components() override {
        std::vector<FormComponent*> r;
        for (auto& c : components_) r.push_back(c.get());
        return r;
    }

private:
    std::string name_;
    std::vector<std::unique_ptr<MemoryFormComponent>> components_;
};

}  // namespace korvane

#include "shell/project/form_tree.h"

#include <stdexcept>

#include "shell/ui/check_list.h"

namespace korvane {

bool FormComponent::isFrame() const {
    for (const std::string& cls : classAncestry())
        if (cls == form_class::kFrame) return true;
    return false;
}

void FormComponent::unsupported(const char* property) const {
    throw std::logic_error("Component " + name() + " (" + className() + ") has no property " + property);
}

std::string FormComponent::text() const { unsupported("text"); }
void FormComponent::setText(const std::string&) { unsupported("text"); }
std::vector<std::string> FormComponent::items() const { unsupported("items"); }
void FormComponent::setItems(const std::vector<std::string>&) { unsupported("items"); }
int FormComponent::itemIndex() const { unsupported("itemIndex"); }
void FormComponent::setItemIndex(int) { unsupported("itemIndex"); }
std::string FormComponent::itemValue(int) const { unsupported("itemValue"); }
void FormComponent::clearItemsAndValues() { unsupported("item values"); }
void FormComponent::addItemWithValue(const std::string&, const std::string&) { unsupported("item values"); }
bool FormComponent::checked() const { unsupported("checked"); }
void FormComponent::setChecked(bool) { unsupported("checked"); }
CheckList& FormComponent::checkList() { unsupported("checkList"); }
const CheckList& FormComponent::checkList() const { unsupported("checkList"); }
std::vector<std::string> FormComponent::memoLines() const { unsupported("memoLines"); }
void FormComponent::setMemoLines(const std::vector<std::string>&) { unsupported("memoLines"); }
bool FormComponent::memoModified() const { unsupported("memoModified"); }
void FormComponent::setMemoModified(bool) { unsupported("memoModified"); }
std::vector<std::string> FormComponent::holderStrings() const { unsupported("holderStrings"); }
std::vector<int> FormComponent::holderObjects() const { unsupported("holderObjects"); }
int FormComponent::holderMaxLen() const { unsupported("holderMaxLen"); }
bool FormComponent::holderSaveObjects() const { unsupported("holderSaveObjects"); }
void FormComponent::clearHolder() { unsupported("holder strings"); }
void FormComponent::setHolderMaxLen(int) { unsupported("holderMaxLen"); }
void FormComponent::setHolderSaveObjects(bool) { unsupported("holderSaveObjects"); }
void FormComponent::addHolderString(const std::string&, int) { unsupported("holder strings"); }

}  // namespace korvane

#pragma once
// A list of entries with a check box each, showing a korvane::CheckList.
// Built for long lists: one model over the entries, uniform item sizes, bulk
// changes reported as one reset, no widget per entry.
//
// The user toggles a check mark by clicking the box or pressing Space; the
// list then emits checkToggled(row). A double click anywhere in the list
// emits listDoubleClicked(). A right mouse press focuses the list first, so
// that its context menu acts on it.

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <memory>
#include <string>

#include "shell/ui/check_list.h"

namespace korvane {

class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CheckListModel(QObject* parent = nullptr);
    ~CheckListModel() override;

    void setCheckList(CheckList* list);
    CheckList* checkList() const { return list_; }
    void setDisplayText(std::function<std::string(int)> fn);
    // Repaints every row (after a change of what the display text shows).
    void refreshAll();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user changed the check mark of row through the view.
    void userToggled(int row);

private:
    void onChange(CheckList::Change change, int first, int last);

    CheckList* list_ = nullptr;
    // The row count the view knows; follows the list inside the notifications.
    int rows_ = 0;
    std::function<std::string(int)> displayText_;
};

class CheckListBox : public QListView {
    Q_OBJECT
public:
    explicit CheckListBox(QWidget* parent = nullptr);
    ~CheckListBox() override;

    // The entries shown: the list's own by default, or one the owner keeps
    // (it must outlive the box or be replaced before it goes).
    CheckList& checkList() { return *model_->checkList(); }
    const CheckList& checkList() const { return *model_->checkList(); }
    void setCheckList(CheckList* list);

    int tag() const { return checkList().tag(); }
    void setTag(int tag) { checkList().setTag(tag); }

    // Height of every item; 0 takes the height the style gives.
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int height);
    // Width in pixels up to which the list scrolls sideways; 0 for none.
    int horizontalExtent() const { return horizontalExtent_; }
    void setHorizontalExtent(int width);

    // The text drawn for a row instead of the entry's text; unset draws the
    // entry's text.
    void setDisplayText(std::function<std::string(int row)> fn);
    // Repaints the entries (after a change of what the display text shows).
    void refreshItems();

    // The selected entry; kept in the check list's item index as well.
    int itemIndex() const { return checkList().itemIndex(); }
    void setItemIndex(int row);

    // Where the check box of row is drawn, in viewport coordinates.
    QRect checkBoxRect(int row) const;

signals:
    void checkToggled(int row);
    void listDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void itemSizeChanged();

    std::unique_ptr<CheckList> ownList_;
    CheckListModel* model_;
    class Delegate;
    Delegate* delegate_;
    int itemHeight_ = 0;
    int horizontalExtent_ = 0;
};

}  // namespace korvane

#include "shell/ui/check_list_box.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace korvane {

// ---- model ----

CheckListModel::CheckListModel(QObject* parent) : QAbstractListModel(parent) {}

CheckListModel::~CheckListModel() {
    if (list_) list_->setListener(nullptr);
}

void CheckListModel::setCheckList(CheckList* list) {
    beginResetModel();
    if (list_) list_->setListener(nullptr);
    list_ = list;
    rows_ = list_ ? int(list_->size()) : 0;
    if (list_) list_->setListener([this](CheckList::Change c, int first, int last) { onChange(c, first, last); });
    endResetModel();
}

void CheckListModel::setDisplayText(std::function<std::string(int)> fn) {
    displayText_ = std::move(fn);
    refreshAll();
}

void CheckListModel::refreshAll() {
    if (rows_ > 0) emit dataChanged(index(0), index(rows_ - 1), {Qt::DisplayRole});
}

void CheckListModel::onChange(CheckList::Change change, int first, int last) {
    // The list reports after the fact; the row count the view sees moves
    // between the begin and end calls, as the view expects.
    const int count = int(list_->size());
    switch (change) {
    case CheckList::Change::Inserted:
        beginInsertRows(QModelIndex(), first, last);
        rows_ = count;
        endInsertRows();
        return;
    case CheckList::Change::Removed:
        beginRemoveRows(QModelIndex(), first, last);
        rows_ = count;
        endRemoveRows();
        return;
    case CheckList::Change::DataChanged:
        if (count == rows_ && first >= 0 && last < rows_ && first <= last) {
            emit dataChanged(index(first), index(last), {Qt::DisplayRole, Qt::CheckStateRole});
            return;
        }
        break;
    case CheckList::Change::Reset:
        break;
    }
    beginResetModel();
    rows_ = count;
    endResetModel();
}

int CheckListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!list_ || !index.isValid() || index.row() >= int(list_->size())) return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(displayText_ ? displayText_(row) : list_->text(size_t(row)));
    case Qt::CheckStateRole:
        return list_->checked(size_t(row)) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !list_ || !index.isValid() || index.row() >= int(list_->size()))
        return false;
    const int row = index.row();
    const bool on = value.toInt() == Qt::Checked;
    if (list_->checked(size_t(row)) == on) return false;
    list_->setChecked(size_t(row), on);
    emit userToggled(row);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!list_ || !index.isValid() || index.row() >= int(list_->size())) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    if (list_->at(size_t(index.row())).enabled) f |= Qt::ItemIsEnabled;
    return f;
}

// ---- delegate ----

// Draws the background and the check box through the style, then the text
// 2 pixels right of the check box at the top of the item.
class CheckListBox::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(CheckListBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, opt.widget);
        const int left = check.right() + 1 + 2;
        const QRect textRect(left, opt.rect.top(), std::max(0, opt.rect.right() + 1 - left), opt.rect.height());
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                                 : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                       : QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize natural = QStyledItemDelegate::sizeHint(option, index);
        return QSize(box_->horizontalExtent() > 0 ? box_->horizontalExtent() : 1,
                     box_->itemHeight() > 0 ? box_->itemHeight() : natural.height());
    }

    void notifySizeChanged() { emit sizeHintChanged(QModelIndex()); }

    QRect checkRect(QStyleOptionViewItem opt, const QModelIndex& index) const {
        initStyleOption(&opt, index);
        const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, opt.widget);
    }

private:
    CheckListBox* box_;
};

// ---- view ----

CheckListBox::CheckListBox(QWidget* parent)
    : QListView(parent), ownList_(std::make_unique<CheckList>()), model_(new CheckListModel(this)),
      delegate_(new Delegate(this)) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(delegate_);
    model_->setCheckList(ownList_.get());
    setModel(model_);
    connect(model_, &CheckListModel::userToggled, this, &CheckListBox::checkToggled);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (model_->checkList()) model_->checkList()->setItemIndex(current.isValid() ? current.row() : -1);
            });
}

CheckListBox::~CheckListBox() {
    // Detach from an outside list before the model goes.
    model_->setCheckList(nullptr);
}

void CheckListBox::setCheckList(CheckList* list) { model_->setCheckList(list ? list : ownList_.get()); }

void CheckListBox::setItemHeight(int height) {
    if (height == itemHeight_) return;
    itemHeight_ = height;
    itemSizeChanged();
}

void CheckListBox::setHorizontalExtent(int width) {
    if (width == horizontalExtent_) return;
    horizontalExtent_ = width;
    itemSizeChanged();
}

void CheckListBox::itemSizeChanged() {
    delegate_->notifySizeChanged();
    doItemsLayout();
    viewport()->update();
}

void CheckListBox::setDisplayText(std::function<std::string(int)> fn) { model_->setDisplayText(std::move(fn)); }

void CheckListBox::refreshItems() { model_->refreshAll(); }

void CheckListBox::setItemIndex(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
        checkList().setItemIndex(-1);
        return;
    }
    setCurrentIndex(model_->index(row));
}

QRect CheckListBox::checkBoxRect(int row) const {
    const QModelIndex index = model_->index(row);
    if (!index.isValid()) return {};
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.rect = visualRect(index);
    return delegate_->checkRect(opt, index);
}

void CheckListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && isEnabled() && isVisible()) setFocus(Qt::MouseFocusReason);
    QListView::mousePressEvent(event);
}

void CheckListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit listDoubleClicked();
}

}  // namespace korvane

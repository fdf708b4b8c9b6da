#include "shell/project/window_form_adapter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>
#include <QToolButton>
#include <QWidget>

#include "shared/text.h"
#include "shell/ui/byte_text.h"
#include "shell/ui/check_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"

namespace korvane {
namespace {

std::string Text(const QString& s) { return s.toUtf8().toStdString(); }
QString Q(const std::string& s) { return QString::fromUtf8(s); }

// A control of a class the walks do not handle (labels, buttons of frames).
class PlainComponent : public FormComponent {
public:
    PlainComponent(QObject* object, std::string className)
        : object_(object), className_(std::move(className)) {}
    std::string name() const override { return object_ ? Text(object_->objectName()) : std::string(); }
    std::string className() const override { return className_; }

protected:
    QPointer<QObject> object_;
    std::string className_;
};

class EditComponent : public PlainComponent {
public:
    EditComponent(QLineEdit* edit, std::string className)
        : PlainComponent(edit, std::move(className)), edit_(edit) {}
    // The bytes of the file go into the field and come back unchanged.
    std::string text() const override { return BytesFromQString(edit_->text()); }
    void setText(const std::string& text) override { edit_->setText(QStringFromBytes(text)); }

private:
    QLineEdit* edit_;
};

class ComboComponent : public PlainComponent {
public:
    ComboComponent(QComboBox* box, std::string className)
        : PlainComponent(box, std::move(className)), box_(box) {}
    std::string text() const override { return Text(box_->currentText()); }
    void setText(const std::string& text) override {
        if (box_->isEditable())
            box_->setEditText(Q(text));
        else
            box_->setCurrentIndex(box_->findText(Q(text)));  // a list without typing shows only its items
    }
    std::vector<std::string> items() const override {
        std::vector<std::string> r;
        for (int i = 0; i < box_->count(); ++i) r.push_back(Text(box_->itemText(i)));
        return r;
    }
    void setItems(const std::vector<std::string>& items) override {
        box_->clear();
        for (const std::string& item : items) box_->addItem(Q(item));
    }
    // Typing into an editable box leaves its index where it was; a text that
    // is not the item at that index counts as no item selected, so that the
    // typed text is what the dump keeps.
    int itemIndex() const override {
        const int index = box_->currentIndex();
        if (index >= 0 && box_->isEditable() && box_->currentText() != box_->itemText(index)) return -1;
        return index;
    }
    void setItemIndex(int index) override { box_->setCurrentIndex(index); }

private:
    QComboBox* box_;
};

class CheckBoxComponent : public PlainComponent {
public:
    CheckBoxComponent(QCheckBox* box, std::string className)
        : PlainComponent(box, std::move(className)), box_(box) {}
    bool checked() const override { return box_->isChecked(); }
    void setChecked(bool on) override { box_->setChecked(on); }

private:
    QCheckBox* box_;
};

class CheckListComponent : public PlainComponent {
public:
    CheckListComponent(CheckListBox* box, std::string className)
        : PlainComponent(box, std::move(className)), box_(box) {}
    CheckList& checkList() override { return box_->checkList(); }
    const CheckList& checkList() const override { return box_->checkList(); }

private:
    CheckListBox* box_;
};

class MemoComponent : public PlainComponent {
public:
    MemoComponent(QPlainTextEdit* memo, std::string className)
        : PlainComponent(memo, std::move(className)), memo_(memo) {}
    std::vector<std::string> memoLines() const override {
        const QString text = memo_->toPlainText();
        if (text.isEmpty()) return {};
        std::vector<std::string> lines;
        for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(Text(line));
        return lines;
    }
    void setMemoLines(const std::vector<std::string>& lines) override {
        QStringList list;
        list.reserve(qsizetype(lines.size()));
        for (const std::string& line : lines) list << Q(line);
        memo_->setPlainText(list.join(QLatin1Char('\n')));
    }
    bool memoModified() const override { return memo_->document()->isModified(); }
    void setMemoModified(bool on) override { memo_->document()->setModified(on); }

private:
    QPlainTextEdit* memo_;
};

// A picker frame: its label, its field "Edit" and its button.
class FrameComponent : public PlainComponent {
public:
    FrameComponent(QObject* frame, std::string className, QLabel* label, QLineEdit* edit, QToolButton* button)
        : PlainComponent(frame, std::move(className)),
          label_(label, "TLabel"),
          edit_(edit, "TEdit"),
          button_(button, "TSpeedButton") {}
    std::vector<std::string> classAncestry() const override { return {className_, "TFrame"}; }
    std::vector<FormComponent*> components() override { return {&label_, &edit_, &button_}; }

private:
    PlainComponent label_;
    EditComponent edit_;
    PlainComponent button_;
};

}  // namespace

WindowFormAdapter::WindowFormAdapter(FormHost& window) : window_(window) {}

WindowFormAdapter::~WindowFormAdapter() = default;

std::string WindowFormAdapter::name() const { return Text(window_.formWidget().objectName()); }

std::string WindowFormAdapter::caption() const { return Text(window_.formWidget().windowTitle()); }

void WindowFormAdapter::setCaption(const std::string& caption) { window_.formWidget().setWindowTitle(Q(caption)); }

FormComponent* WindowFormAdapter::wrap(QObject* object, const std::string& className) {
    auto it = wrapped_.find(object);
    if (it != wrapped_.end()) return it->second.get();
    std::unique_ptr<FormComponent> c;
    if (auto* frame = qobject_cast<TFrameFindDirectory*>(object))
        c = std::make_unique<FrameComponent>(frame, className, frame->LabelCaption, frame->Edit,
                                             frame->SpeedButton);
    else if (auto* picker = qobject_cast<TFrameFindexec*>(object))
        c = std::make_unique<FrameComponent>(picker, className, picker->LabelFindExec, picker->Edit,
                                             picker->SpeedButtonFindExec);
    else if (auto* edit = qobject_cast<QLineEdit*>(object))
        c = std::make_unique<EditComponent>(edit, className);
    else if (auto* combo = qobject_cast<QComboBox*>(object))
        c = std::make_unique<ComboComponent>(combo, className);
    else if (auto* box = qobject_cast<QCheckBox*>(object))
        c = std::make_unique<CheckBoxComponent>(box, className);
    else if (auto* list = qobject_cast<CheckListBox*>(object))
        c = std::make_unique<CheckListComponent>(list, className);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(object))
        c = std::make_unique<MemoComponent>(memo, className);
    else
        c = std::make_unique<PlainComponent>(object, className);
    return wrapped_.emplace(object, std::move(c)).first->second.get();
}

std::vector<FormComponent*> WindowFormAdapter::components() {
    std::vector<FormComponent*> r;
    r.reserve(window_.components().size());
    for (const FormHost::Component& c : window_.components()) r.push_back(wrap(c.object, c.className));
    return r;
}

}  // namespace korvane

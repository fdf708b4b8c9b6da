#pragma once
// The main window as the form-state walks see it: its name and caption and
// the components it owns, in its order, with the class names the
// form-state text keys on. Frames own their "Edit" (a "TEdit"). Every
// property is read and set through the control's ordinary getter and setter,
// so the change and click handling the window attaches runs during a
// restore: check boxes emit toggled, edit boxes textChanged, check-lists
// notify through their korvane::CheckList.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/project/form_tree.h"

class QObject;
class QWidget;

namespace korvane {

// A window as the project sees it: the widget whose name and caption are
// stored, and the components it owns in creation order with the class name
// the form-state format keys on ("TEdit", "TCheckBox", ...).
class FormHost {
public:
    struct Component {
        QObject* object;
        std::string className;
    };
    virtual QWidget& formWidget() = 0;
    virtual const std::vector<Component>& components() const = 0;

protected:
    ~FormHost() = default;
};

class WindowFormAdapter : public FormWindow {
public:
    explicit WindowFormAdapter(FormHost& window);
    ~WindowFormAdapter() override;

    std::string name() const override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    // The window's registered components, including the check boxes of rows
    // created since the adapter was made.
    std::vector<FormComponent*> components() override;

private:
    FormComponent* wrap(QObject* object, const std::string& className);

    FormHost& window_;
    std::map<QObject*, std::unique_ptr<FormComponent>> wrapped_;
};

}  // namespace korvane

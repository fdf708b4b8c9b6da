#pragma once
// The background colours of a picker's edit field: the window colour when the
// path is valid or unchecked, red after a failed check, the button-face colour
// while a browse dialog is open.

#include <QLineEdit>
#include <QPalette>

namespace korvane {

enum class FieldColour { Window, Failed, Browsing };

inline void SetFieldColour(QLineEdit* edit, FieldColour state) {
    QPalette pal = edit->palette();
    const QPalette base;  // the application palette
    switch (state) {
        case FieldColour::Window:
            pal.setColor(QPalette::Base, base.color(QPalette::Base));
            break;
        case FieldColour::Failed:
            pal.setColor(QPalette::Base, QColor(255, 0, 0));
            break;
        case FieldColour::Browsing:
            pal.setColor(QPalette::Base, base.color(QPalette::Button));
            break;
    }
    edit->setPalette(pal);
    edit->setProperty("fieldState", static_cast<int>(state));
}

inline FieldColour GetFieldColour(const QLineEdit* edit) {
    const QVariant v = edit->property("fieldState");
    return v.isValid() ? static_cast<FieldColour>(v.toInt()) : FieldColour::Window;
}

// Puts the field into a state for the lifetime of the object; at the end it
// gets the state it had before, or the one given as after.
class FieldColourScope {
public:
    FieldColourScope(QLineEdit* edit, FieldColour during)
        : FieldColourScope(edit, during, GetFieldColour(edit)) {}
    FieldColourScope(QLineEdit* edit, FieldColour during, FieldColour after) : edit_(edit), saved_(after) {
        SetFieldColour(edit_, during);
    }
    ~FieldColourScope() { SetFieldColour(edit_, saved_); }
    FieldColourScope(const FieldColourScope&) = delete;
    FieldColourScope& operator=(const FieldColourScope&) = delete;

private:
    QLineEdit* edit_;
    FieldColour saved_;
};

}  // namespace korvane

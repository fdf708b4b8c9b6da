#pragma once
// The message status bar at the foot of the main window: one label showing
// the current message in a colour that tells its severity, the whole text of
// a shortened message (or the collected list) as its tooltip, and a click
// that shows the collected messages. All logic is in StatusMessages; the bar
// draws its state and measures texts in its own font.

#include <QColor>
#include <QStatusBar>
#include <functional>

#include "shell/ui/reporter.h"
#include "shell/ui/status_messages.h"

class QLabel;

namespace korvane {

class Dialogs;

class TMyStatusBar : public QStatusBar, public Reporter {
    Q_OBJECT
    Q_PROPERTY(QColor ColorErr READ colorErr WRITE setColorErr)
    Q_PROPERTY(QColor ColorWarn READ colorWarn WRITE setColorWarn)
    Q_PROPERTY(bool UseMessageBox READ useMessageBox WRITE setUseMessageBox)

public:
    // A colour value as the form files store it: 0x00BBGGRR.
    static QColor FromColorRef(unsigned value);
    static constexpr unsigned kDefaultColorErr = 8421631;    // RGB(255, 128, 128)
    static constexpr unsigned kDefaultColorWarn = 16405592;  // RGB(88, 84, 250)

    explicit TMyStatusBar(QWidget* parent = nullptr, Dialogs* dialogs = nullptr);

    void setDialogs(Dialogs* dialogs) { messages_.SetDialogs(dialogs); }

    QColor colorErr() const { return colorErr_; }
    void setColorErr(const QColor& c);
    QColor colorWarn() const { return colorWarn_; }
    void setColorWarn(const QColor& c);
    bool useMessageBox() const { return messages_.UseMessageBox(); }
    void setUseMessageBox(bool on) { messages_.SetUseMessageBox(on); }

    // Replace the default click / double-click behaviour when set.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // Told of every report before the bar takes it (the batch mode prints
    // them): the kind ("Info", "Warning", "Error", "Fatal") and the text.
    std::function<void(const char* kind, const std::string& text)> OnReport;

    // Reporter, forwarded to the message state.
    void ClearMessages() override { messages_.ClearMessages(); }
    void AddInfo(const std::string& text) override {
        Told("Info", text);
        messages_.AddInfo(text);
    }
    void AddWarning(const std::string& text) override {
        Told("Warning", text);
        messages_.AddWarning(text);
    }
    void AddError(const std::string& text, bool cont) override {
        Told("Error", text);
        messages_.AddError(text, cont);
    }
    void ShowError(const std::string& text, bool cont) override {
        Told("Error", text);
        messages_.ShowError(text, cont);
    }
    void ShowInfo(const std::string& text) override {
        Told("Info", text);
        messages_.ShowInfo(text);
    }
    void ShowFatal(const std::string& text) override {
        Told("Fatal", text);
        messages_.ShowFatal(text);
    }
    void ShowWarning(const std::string& text) override {
        Told("Warning", text);
        messages_.ShowWarning(text);
    }
    int Severity() const override { return messages_.Severity(); }

    const StatusMessages& messages() const { return messages_; }
    // The text on the bar and its background as drawn.
    QString shownText() const;
    QColor backgroundColor() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void Told(const char* kind, const std::string& text) {
        if (OnReport) OnReport(kind, text);
    }

    StatusMessages messages_;
    QLabel* label_;
    QColor colorErr_;
    QColor colorWarn_;
    bool pressed_ = false;
};

}  // namespace korvane

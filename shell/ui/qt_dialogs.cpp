#include "shell/ui/qt_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

#include "shared/text.h"
#include "shell/ui/font_choice.h"
#include "shell/ui/guard.h"

namespace korvane {
namespace {

std::string ToStd(const QString& s) { return s.toUtf8().toStdString(); }

const struct {
    unsigned ours;
    QMessageBox::StandardButton qt;
} kButtons[] = {
    {kYes, QMessageBox::Yes}, {kNo, QMessageBox::No},         {kOk, QMessageBox::Ok},
    {kCancel, QMessageBox::Cancel}, {kAbort, QMessageBox::Abort},
};

void PrepareFileDialog(QFileDialog& dlg, const FileDialogOptions& opts) {
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    if (!opts.initialDir.empty()) dlg.setDirectory(QString::fromUtf8(opts.initialDir));
    const QStringList filters = QtNameFilters(opts.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int index = opts.filterIndex >= 1 && opts.filterIndex <= filters.size() ? opts.filterIndex : 1;
        dlg.selectNameFilter(filters[index - 1]);
    }
    if (!opts.defaultExt.empty()) dlg.setDefaultSuffix(QString::fromUtf8(opts.defaultExt));
    if (!opts.fileName.empty()) dlg.selectFile(QString::fromUtf8(opts.fileName));
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
    QStringList result;
    const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    if (filter.empty()) return result;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList masks;
        if (i + 1 < parts.size()) {
            for (const QString& m : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const QString mask = m.trimmed();
                if (!mask.isEmpty()) masks << mask;
            }
        }
        if (masks.isEmpty()) masks << QStringLiteral("*");
        if (description.isEmpty() && i + 1 >= parts.size()) continue;  // a trailing "|"
        result << (description.isEmpty() ? masks.join(QLatin1Char(' '))
                                         : description + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) +
                                               QLatin1Char(')'));
    }
    return result;
}

QString QtFilterString(const std::string& filter) { return QtNameFilters(filter).join(QStringLiteral(";;")); }

QString MessageBoxText(const std::string& text) {
    return QString::fromUtf8(ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n"));
}

unsigned QtDialogs::Message(MsgKind kind, const std::string& text, unsigned buttons) {
    if (buttons == 0) buttons = kOk;
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title = QStringLiteral("Information");
    switch (kind) {
    case MsgKind::Information:
        break;
    case MsgKind::Warning:
        icon = QMessageBox::Warning;
        title = QStringLiteral("Warning");
        break;
    case MsgKind::Error:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Error");
        break;
    case MsgKind::Confirmation:
        icon = QMessageBox::Question;
        title = QStringLiteral("Confirm");
        break;
    }
    QMessageBox box(icon, title, MessageBoxText(text), QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    for (const auto& b : kButtons) {
        if (buttons & b.ours) box.addButton(b.qt);
    }
    // Default: the first of Yes, OK, Abort offered; Escape: Cancel, else No,
    // else OK, else the only button there is.
    for (unsigned b : {unsigned(kYes), unsigned(kOk), unsigned(kAbort)}) {
        if (buttons & b) {
            for (const auto& m : kButtons)
                if (m.ours == b) box.setDefaultButton(m.qt);
            break;
        }
    }
    unsigned escape = buttons & kCancel ? kCancel : buttons & kNo ? kNo : buttons & kOk ? kOk : kAbort;
    for (const auto& m : kButtons)
        if (m.ours == escape && (buttons & escape)) box.setEscapeButton(m.qt);

    {
        NestedEventLoopScope scope;
        box.exec();
    }
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const auto& m : kButtons)
        if (m.qt == pressed && (buttons & m.ours)) return m.ours;
    return escape;
}

std::optional<std::vector<std::string>> QtDialogs::OpenFiles(const FileDialogOptions& opts) {
    QFileDialog dlg(parent_, QString::fromUtf8(opts.title));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(!opts.mustExist         ? QFileDialog::AnyFile
                    : opts.multiSelect      ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
    PrepareFileDialog(dlg, opts);
    int result;
    {
        NestedEventLoopScope scope;
        result = dlg.exec();
    }
    if (result != QDialog::Accepted) return std::nullopt;
    std::vector<std::string> files;
    for (const QString& f : dlg.selectedFiles()) files.push_back(ToStd(QDir::toNativeSeparators(f)));
    if (files.empty()) return std::nullopt;
    return files;
}

std::optional<std::string> QtDialogs::SaveFile(const FileDialogOptions& opts) {
    QFileDialog dlg(parent_, QString::fromUtf8(opts.title));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !opts.overwritePrompt);
    PrepareFileDialog(dlg, opts);
    int result;
    {
        NestedEventLoopScope scope;
        result = dlg.exec();
    }
    if (result != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return ToStd(QDir::toNativeSeparators(dlg.selectedFiles().first()));
}

std::optional<std::string> QtDialogs::ChooseFolder(const std::string& caption, const std::string& root,
                                                   bool allowCreate) {
    QFileDialog dlg(parent_, QString::fromUtf8(caption));
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setOption(QFileDialog::ReadOnly, !allowCreate);
    dlg.setDirectory(root.empty() ? QDir::homePath() : QString::fromUtf8(root));
    int result;
    {
        NestedEventLoopScope scope;
        result = dlg.exec();
    }
    if (result != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return ToStd(QDir::toNativeSeparators(dlg.selectedFiles().first()));
}

std::optional<FontChoice> QtDialogs::ChooseFont(const FontChoice& current,
                                              const std::function<void(const FontChoice&)>& apply) {
    QFontDialog dlg(QFontFromChoice(current), parent_);
    dlg.setOption(QFontDialog::MonospacedFonts);
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    if (apply) {
        if (auto* box = dlg.findChild<QDialogButtonBox*>()) {
            QPushButton* applyButton = box->addButton(QDialogButtonBox::Apply);
            QObject::connect(applyButton, &QPushButton::clicked, &dlg, [&dlg, &apply, &current] {
                RunGuarded([&] { apply(FontChoiceFromQFont(dlg.currentFont(), current.charSet)); });
            });
        }
    }
    int result;
    {
        NestedEventLoopScope scope;
        result = dlg.exec();
    }
    if (result != QDialog::Accepted) return std::nullopt;
    return FontChoiceFromQFont(dlg.selectedFont(), current.charSet);
}

void QtDialogs::Beep() { QApplication::beep(); }

}  // namespace korvane

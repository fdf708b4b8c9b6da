#include "shell/ui/qt_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

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
    // Default: the first of Yes, OK, Abort offered (No when the caller asks
    // for it); Escape: Cancel, else No, else OK, else the only button there is.
    const bool defaultNo = (buttons & kDefaultNo) && (buttons & kNo);
    for (unsigned b : {unsigned(defaultNo ? kNo : kYes), unsigned(kYes), unsigned(kOk), unsigned(kAbort)}) {
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

namespace {

// The folder browser rooted at a folder (none: not rooted): what lies
// outside the folder's tree can be neither shown for long nor chosen. Every
// move of the shown folder out of the tree (the parent button, the sidebar,
// the path list, history, a typed path) is answered by going back to the
// root; choosing a folder outside the tree shows the root instead.
class RootedFolderDialog : public QFileDialog {
public:
    RootedFolderDialog(QWidget* parent, const QString& caption, const QString& root)
        : QFileDialog(parent, caption), root_(root.isEmpty() ? QString() : QDir::cleanPath(root)) {}

    const QString& Root() const { return root_; }
    bool Inside(const QString& path) const {
        if (root_.isEmpty()) return true;
        if (path.isEmpty()) return false;
        const QString clean = QDir::cleanPath(path);
        return root_ == QStringLiteral("/") || clean == root_ || clean.startsWith(root_ + QLatin1Char('/'));
    }
    void KeepInside(const QString& shown) {
        if (!Inside(shown)) setDirectory(root_);
    }

protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.isEmpty() || !Inside(chosen.first())) {
            setDirectory(root_);
            return;
        }
        QFileDialog::accept();
    }

private:
    QString root_;
};

}  // namespace

// With a root and no folder creation this is the shell's folder browser,
// rooted at that folder (an empty or vanished root: the whole file system,
// starting at home). With folder creation it is the directory chooser, which
// only starts at the folder given.
std::optional<std::string> QtDialogs::ChooseFolder(const std::string& caption, const std::string& root,
                                                   bool allowCreate) {
    const QString rootDir = QString::fromUtf8(root);
    const bool rooted = !allowCreate && !root.empty() && QFileInfo(rootDir).isDir();
    RootedFolderDialog dlg(parent_, QString::fromUtf8(caption), rooted ? rootDir : QString());
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setOption(QFileDialog::ReadOnly, !allowCreate);
    // What the dialog remembers for all later dialogs is put back before it
    // goes, so that the rooted sidebar and history stay with this browser.
    QList<QUrl> sidebar;
    QStringList history;
    if (rooted) {
        // A platform dialog cannot be kept inside a folder.
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        sidebar = dlg.sidebarUrls();
        history = dlg.history();
        dlg.setDirectory(dlg.Root());
        dlg.setSidebarUrls({QUrl::fromLocalFile(dlg.Root())});
        dlg.setHistory({dlg.Root()});
        // Queued: the dialog is not moved while it is still changing folders.
        const auto keepInside = [&dlg](const QString& shown) { dlg.KeepInside(shown); };
        QObject::connect(&dlg, &QFileDialog::directoryEntered, &dlg, keepInside, Qt::QueuedConnection);
        if (auto* model = dlg.findChild<QFileSystemModel*>())
            QObject::connect(model, &QFileSystemModel::rootPathChanged, &dlg, keepInside, Qt::QueuedConnection);
    } else {
        dlg.setDirectory(!root.empty() && QFileInfo(rootDir).isDir() ? rootDir : QDir::homePath());
    }
    int result;
    {
        NestedEventLoopScope scope;
        result = dlg.exec();
    }
    if (rooted) {
        dlg.setSidebarUrls(sidebar);
        dlg.setHistory(history);
    }
    if (result != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return ToStd(QDir::toNativeSeparators(dlg.selectedFiles().first()));
}

std::optional<FontChoice> QtDialogs::ChooseFont(const FontChoice& current,
                                              const std::function<void(const FontChoice&)>& apply) {
    // The options first: the family list is made when the font is set.
    QFontDialog dlg(parent_);
    dlg.setOption(QFontDialog::MonospacedFonts);
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    // The dialog finds the style by its name, and a name it does not list
    // (a regular face may be called "Book" or "Roman") selects the family's
    // first style: the font's own style is named as the family names it.
    QFont shown = QFontFromChoice(current);
    for (const QString& style : QFontDatabase::styles(shown.family())) {
        const QFont face = QFontDatabase::font(shown.family(), style, 10);  // oblique counts as italic
        if (face.bold() == shown.bold() && face.italic() == shown.italic()) {
            shown.setStyleName(style);
            break;
        }
    }
    dlg.setCurrentFont(shown);
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

#include "shell/app/language_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shared/comma_text.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shell/app/language_definition.h"
#include "shell/app/main_window.h"
#include "shell/app/step_definition.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/action_list.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

std::string Name(const QObject* o) { return o->objectName().toUtf8().toStdString(); }
std::string Text(const QString& s) { return s.toUtf8().toStdString(); }
QString Q(const std::string& s) { return QString::fromUtf8(s); }

// Hints of rows and check boxes are kept apart from Qt's tool tips: a row's
// panel carries the step's result extension and XML name for the run.
void SetHint(QWidget* w, const std::string& hint) { w->setProperty("Hint", Q(hint)); }
std::string Hint(const QWidget* w) { return Text(w->property("Hint").toString()); }
void ShowHint(QWidget* w, bool show) {
    w->setProperty("ShowHint", show);
    w->setToolTip(show ? w->property("Hint").toString() : QString());
}

}  // namespace

LanguageController::LanguageController(TfrmKorvaneMain& window, LanguageProjectHooks project)
    : QObject(&window), w_(window), s_(window.services()), project_(std::move(project)) {
    for (QRadioButton* b : w_.languageButtons())
        connect(b, &QRadioButton::toggled, this, [this, b](bool on) { onRadioButtonToggled(b, on); });
    w_.actions().setHandler(ActionId::WriteINIFile, [this](QObject*) { onWriteIniFile(); });
    w_.actions().setHandler(ActionId::ApplyIni, [this](QObject*) { onApplyIni(); });
}

// --- tool settings text ------------------------------------------------------

void LanguageController::readToolSettings() {
    std::string path = locator_.locate(w_.startup().programPath);
    if (path.empty()) w_.statusBar().AddError(kNoIniFileMessage, false);
    settingsPath_ = path;
    settings_.read(path);
    showSettingsInMemo();
}

void LanguageController::showSettingsInMemo() {
    QStringList lines;
    for (const std::string& l : settings_.lines()) lines << Q(l);
    w_.MemoToolDefaultValues->setPlainText(lines.join('\n'));
}

void LanguageController::takeSettingsFromMemo() {
    std::string text = Text(w_.MemoToolDefaultValues->toPlainText());
    settings_.lines() = SplitLines(text);
}

std::string LanguageController::settingsWritePath() const {
    const std::string path = locator_.place().writePath();
    return path.empty() ? settingsPath_ : path;
}

std::string LanguageController::writeToolSettings() {
    const std::string path = settingsWritePath();
    if (path != settingsPath_) ForceDirectories(ExtractFileDir(path));
    try {
        WriteTextLines(path, settings_.lines());
    } catch (const Error&) {
        throw Error("Cannot write to " + path);
    }
    if (path != settingsPath_) {
        locator_.savedTo(path);
        settingsPath_ = path;
    }
    return path;
}

void LanguageController::onWriteIniFile() {
    takeSettingsFromMemo();
    std::string path = settingsPath_.empty() ? locator_.locate(w_.startup().programPath) : settingsPath_;
    if (path.empty() && settingsWritePath().empty()) w_.statusBar().AddError(kNoIniFileMessage, false);
    settings_.stampDateWritten(std::time(nullptr));
    showSettingsInMemo();
    try {
        path = writeToolSettings();
    } catch (const Error&) {
        w_.statusBar().ShowError("Cannot write to " + settingsWritePath(), false);
    }
    // Saved into the per-user file: the user is told where.
    if (path == settingsPlace().user) w_.statusBar().ShowInfo("Initialisation parameters saved to " + path);
}

void LanguageController::onApplyIni() {
    takeSettingsFromMemo();
    applyRunControl();
    ApplyLanguage(selected_);
}

// --- run control -------------------------------------------------------------

void LanguageController::applyRunControl() {
    ReportingErrors(w_.statusBar(), [this] { evaluateRunControl(); });
}

void LanguageController::evaluateRunControl() {
    EvaluateRunControl(settings_, run_, dosboxSearch(), s_.dialogs, s_.statusBar);
    w_.actions()[ActionId::ViewConsoleLog]->setVisible(run_.captureLog);
}

void LanguageController::readBigDirectoryLimit() {
    std::string warning;
    ReportingErrors(w_.statusBar(), [&] { run_.bigDirectoryLimit = BigDirectoryLimit(settings_, &warning); });
    if (!warning.empty()) w_.statusBar().AddWarning(warning);
}

void LanguageController::enableLanguageButtons() {
    for (QRadioButton* b : w_.languageButtons())
        b->setEnabled(LanguageOffered(settings_, TextAfterFirst(Name(b), "RadioButton")));
}

// --- applying a language -------------------------------------------------------

void LanguageController::onRadioButtonToggled(QRadioButton* button, bool checked) {
    if (!checked) return;
    RunGuarded([&] {
        selected_ = TextAfterFirst(Name(button), "RadioButton");
        ApplyLanguage(selected_);
    });
}

void LanguageController::markModified() { project_.setModified(true); }

std::string LanguageController::stepResultExtension(const std::string& stepName) const {
    QCheckBox* box = w_.transformationBox("CheckBox" + stepName);
    if (!box) return {};
    return TextBeforeFirst(Hint(box->parentWidget()), "@");
}

std::string LanguageController::rowParameterName(const std::string& stepName) const {
    QCheckBox* box = w_.transformationBox("CheckBox" + stepName);
    if (!box) return stepName;
    std::string hint = Hint(box->parentWidget());
    std::string xmlFlag = TextAfterFirst(hint, "@@");
    if (!xmlFlag.empty() && !TextBeforeFirst(hint, "@").empty()) return xmlFlag;
    return stepName;
}

void LanguageController::ApplyLanguage(const std::string& suffix) {
    ReportingErrors(w_.statusBar(), [&] { applyLanguage(suffix); });
}

void LanguageController::applyLanguage(const std::string& suffix) {
    stepRegistry_.clear();
    QRadioButton* button = w_.languageButton(suffix);
    if (!button) throw Error("No language button for " + suffix);
    if (selected_ != TextAfterFirst(Name(button), "RadioButton")) {
        selected_ = TextAfterFirst(Name(button), "RadioButton");
        if (!button->isChecked()) {
            button->setChecked(true);  // its toggle applies the language
            return;
        }
    } else if (!button->isChecked()) {
        // The language already selected (a project opened at start) shows
        // its button checked; this application goes on by itself.
        QSignalBlocker quiet(button);
        button->setChecked(true);
    }
    if (project_.loading()) return;
    project_.setModified(false);
    const ToolSettingsText text = settings_;  // a copy: the memo may be edited meanwhile
    w_.statusBar().ClearMessages();

    LanguageSuffixParts parts = SplitLanguageSuffix(selected_);
    applied_ = AppliedLanguage{};
    applied_.suffix = selected_;
    applied_.key = parts.key;
    applied_.dialect = parts.dialect;
    project_.setDialect(parts.dialect);

    // From here on the application always ends with the modified flag
    // cleared without a question, also after an error.
    struct ClearModified {
        const LanguageProjectHooks& p;
        ~ClearModified() { p.clearModifiedWithoutAsking(); }
    } clearModified{project_};

    std::optional<LanguageDefinition> def = ReadLanguageDefinition(text, parts.key);
    if (!def) throw SilentAbort();
    applied_.displayName = def->displayName;
    applied_.prefix = def->prefix;
    project_.setLanguagePrefix(def->prefix);
    w_.setLanguageCaption(def->displayName);

    LanguageFiles files = ReadLanguageFiles(text, parts.key, def->prefix);
    applied_.copyExtension = files.copyExtension;
    applied_.outputExtension = files.outputExtension;
    applied_.sourceFilter = files.filter;
    applied_.copyFilter = files.copyFilter;

    LanguageTools tools = ReadLanguageTools(text, parts.key, def->prefix);
    w_.actions()[ActionId::StartScan]->setVisible(tools.scan);
    w_.FrameFindexecScanner->setVisible(tools.scan);
    w_.FrameFindexecFunctab->setVisible(tools.functab);
    TfrmKorvaneMain::setTabVisible(w_.PageControlMain, w_.TabSheetWordScan, tools.wordListPage());
    if (tools.wordListPage()) {
        applied_.objectTypes = tools.objectTypes;
        for (QComboBox* c : {w_.ComboBoxEditCWrd, w_.ComboBoxCreateWrdList}) {
            c->clear();
            for (const std::string& t : tools.objectTypes) c->addItem(Q(t));
            c->setCurrentIndex(c->count() > 0 ? 0 : -1);
        }
    }

    resetRows();
    applySteps(ReadStepValues(text, def->prefix), def->prefix);
    w_.GroupBoxExtras->adjustSize();

    w_.FrameFindexecEditorGeneral->DefaultName = "Notepad.Exe";
    w_.FrameFindexecScanner->DefaultName = ScannerDefaultPath(w_.toolRoot(), def->prefix, tools.scannerName);
    w_.FrameFindexecFunctab->DefaultName = FunctionTableDefaultPath(w_.toolRoot(), def->prefix);

    project_.startNewProject(def->prefix);

    if (!w_.FrameFindexecScanner->ValidatePath(true)) w_.actions()[ActionId::StartScan]->setEnabled(false);
    else w_.actions()[ActionId::StartScan]->setEnabled(true);
    emit languageApplied();

    project_.leaveOutputDirectory();
}

void LanguageController::resetRows() {
    for (QCheckBox* box : w_.transformationBoxes) {
        QWidget* panel = box->parentWidget();
        box->setEnabled(true);
        ShowHint(box, true);
        panel->hide();
        ShowHint(panel, false);
        if (TFrameFindexec* p = w_.picker("FindExex" + TextAfterFirst(Name(box), "CheckBox"))) p->hide();
    }
    for (TFrameFindexec* p : w_.stepPickers)
        if (StartsWithText("Chain", Name(p))) p->hide();
    w_.CheckBoxRealign->setEnabled(false);
    w_.CheckBoxRealign->setChecked(true);
    rowsShown_ = 0;
    pickersShown_ = 0;
}

void LanguageController::showRow(QWidget* panel) {
    // Shown rows stand in the order they were shown, above the hidden ones.
    w_.extrasLayout->removeWidget(panel);
    w_.extrasLayout->insertWidget(rowsShown_++, panel);
    panel->show();
}

void LanguageController::showPicker(TFrameFindexec* picker) {
    // Below the three fixed pickers and the step pickers shown so far.
    w_.pickersLayout->removeWidget(picker);
    w_.pickersLayout->insertWidget(3 + pickersShown_++, picker);
    picker->show();
}

TFrameFindexec* LanguageController::ensureChainPicker(const std::string& chain) {
    TFrameFindexec* p = w_.picker("Chain" + chain);
    if (!p) p = w_.createPicker("Chain" + chain, "Chained Program for " + chain);
    return p;
}

void LanguageController::applySteps(const std::vector<std::string>& stepValues, const std::string& prefix) {
    int n = 0;
    for (const std::string& value : stepValues) {
        ++n;
        std::optional<StepDefinition> step = ParseStepDefinition(value);
        if (!step) throw SilentAbort();  // fewer than three positional items

        QCheckBox* box = w_.transformationBox("CheckBox" + step->name);
        const std::string designed = w_.designCaption("CheckBox" + step->name);
        const std::string caption = !step->caption.empty() ? step->caption : designed;
        if (!box) {
            box = w_.createTransformationRow(step->name);
            box->setChecked(false);
            box->setEnabled(true);
            box->setText(Q(caption));
            SetHint(box, caption);
            ShowHint(box, true);
            connect(box, &QCheckBox::toggled, this, [this] { RunGuarded([this] { markModified(); }); });
            TFrameFindexec* picker = w_.createPicker("FindExex" + step->name, "Program for " + caption);
            picker->hide();
            box->parentWidget()->setProperty("TabOrder", n - 1);
        }
        QWidget* panel = box->parentWidget();
        showRow(panel);
        SetHint(panel, StepPanelHint(*step));
        box->setText(Q(caption));
        box->setChecked(true);

        TFrameFindexec* picker = w_.picker("FindExex" + step->name);
        if (!picker) picker = w_.createPicker("FindExex" + step->name, "Program for " + caption);
        showPicker(picker);
        picker->DefaultName = StepProgramPath(w_.toolRoot(), prefix, step->program);
        picker->SetFieldText("");
        if (picker->ValidatePath(false)) {
            if (!step->chain.empty()) {
                TFrameFindexec* chain = ensureChainPicker(step->chain);
                showPicker(chain);
                chain->DefaultName = ChainProgramPath(w_.toolRoot(), prefix, step->chain);
                chain->SetFieldText("");
                stepRegistry_.push_back(StepRegistryEntry(step->name, chain->ValidatePath(false) ? step->chain : ""));
            } else {
                stepRegistry_.push_back(StepRegistryEntry(step->name, ""));
            }
        } else {
            box->setChecked(false);
            box->setEnabled(false);
        }
    }
}

}  // namespace korvane

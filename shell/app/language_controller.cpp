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
#include "shell/app/language_plan.h"
#include "shell/app/main_window.h"
#include "shell/app/step_definition.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/action_list.h"
#include "shell/ui/field_colour.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

std::string Name(const QObject* o) { return o->objectName().toUtf8().toStdString(); }
std::string Text(const QString& s) { return s.toUtf8().toStdString(); }
QString Q(const std::string& s) { return QString::fromUtf8(s); }

// Hints of check boxes are kept apart from Qt's tool tips.
void SetHint(QWidget* w, const std::string& hint) { w->setProperty("Hint", Q(hint)); }
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
    const auto row = shownRows_.find(stepName);
    return row == shownRows_.end() ? std::string() : row->second.resultExtension;
}

bool LanguageController::stepFileLocal(const std::string& stepName) const {
    const auto row = shownRows_.find(stepName);
    return row != shownRows_.end() && row->second.fileLocal;
}

std::string LanguageController::rowParameterName(const std::string& stepName) const {
    const auto row = shownRows_.find(stepName);
    return row == shownRows_.end() ? stepName : row->second.parameterName;
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
    const LanguagePlan plan = PlanLanguage(settings_, selected_, w_.toolRoot());
    w_.statusBar().ClearMessages();
    showPlan(plan);
}

void LanguageController::showPlan(const LanguagePlan& plan) {
    applied_ = plan.applied;
    project_.setDialect(plan.applied.dialect);

    // From here on the application always ends with the modified flag
    // cleared without a question, also after an error.
    struct ClearModified {
        const LanguageProjectHooks& p;
        ~ClearModified() { p.clearModifiedWithoutAsking(); }
    } clearModified{project_};

    if (!plan.definitionRead) {
        if (!plan.failure.empty()) throw Error(plan.failure);
        throw SilentAbort();
    }
    project_.setLanguagePrefix(plan.applied.prefix);
    w_.setLanguageCaption(plan.applied.displayName);
    if (!plan.toolsRead) throw Error(plan.failure);

    const LanguageTools& tools = plan.tools;
    w_.actions()[ActionId::StartScan]->setVisible(tools.scan);
    w_.FrameFindexecScanner->setVisible(tools.scan);
    w_.FrameFindexecFunctab->setVisible(tools.functab);
    TfrmKorvaneMain::setTabVisible(w_.PageControlMain, w_.TabSheetWordScan, tools.wordListPage());
    if (tools.wordListPage()) {
        for (QComboBox* c : {w_.ComboBoxEditCWrd, w_.ComboBoxCreateWrdList}) {
            c->clear();
            for (const std::string& t : tools.objectTypes) c->addItem(Q(t));
            c->setCurrentIndex(c->count() > 0 ? 0 : -1);
        }
    }

    resetRows();
    showSteps(plan);
    if (!plan.complete) throw SilentAbort();  // a step value with too few items
    w_.GroupBoxExtras->adjustSize();

    w_.FrameFindexecEditorGeneral->DefaultName = "Notepad.Exe";
    w_.FrameFindexecScanner->DefaultName = plan.scannerDefault;
    w_.FrameFindexecFunctab->DefaultName = plan.functabDefault;

    project_.startNewProject(plan.applied.prefix);

    w_.actions()[ActionId::StartScan]->setEnabled(checkScanner(plan));
    emit languageApplied();

    project_.leaveOutputDirectory();
}

bool LanguageController::checkScanner(const LanguagePlan& plan) {
    TFrameFindexec* scanner = w_.FrameFindexecScanner;
    SetFieldColour(scanner->Edit, FieldColour::Window);
    std::string field = scanner->FieldText();
    std::vector<std::string> errors;
    const bool ready = ScannerReady(plan, field, [&](std::string& path) {
        // The field shows the default taken before the dialog opens.
        if (path != scanner->FieldText()) scanner->SetFieldText(path);
        SetFieldColour(scanner->Edit, FieldColour::Failed);
        try {
            if (!scanner->BrowseForProgram(path, scanner->LabelCaptionText())) return false;
        } catch (const SilentAbort&) {
            return false;
        } catch (const std::runtime_error&) {
            return false;
        }
        SetFieldColour(scanner->Edit, FieldColour::Window);
        if (path != scanner->FieldText()) {
            scanner->SetFieldText(path);
            if (scanner->OnPathChanged) scanner->OnPathChanged(scanner);
        }
        return true;
    }, errors);
    if (field != scanner->FieldText()) scanner->SetFieldText(field);
    if (!ready) SetFieldColour(scanner->Edit, FieldColour::Failed);
    for (const std::string& text : errors) w_.statusBar().AddError(text, true);
    return ready;
}

void LanguageController::resetRows() {
    for (QCheckBox* box : w_.transformationBoxes) {
        box->setEnabled(true);
        ShowHint(box, true);
        box->parentWidget()->hide();
        if (TFrameFindexec* p = w_.picker("FindExex" + TextAfterFirst(Name(box), "CheckBox"))) p->hide();
    }
    for (TFrameFindexec* p : w_.stepPickers)
        if (StartsWithText("Chain", Name(p))) p->hide();
    w_.CheckBoxRealign->setEnabled(false);
    w_.CheckBoxRealign->setChecked(true);
    rowsShown_ = 0;
    pickersShown_ = 0;
    // What the hidden rows said of their steps is no longer asked for.
    shownRows_.clear();
}

void LanguageController::showRow(QWidget* panel) {
    // Shown rows stand in the order they were shown, above the hidden ones.
    w_.extrasLayout->removeWidget(panel);
    w_.extrasLayout->insertWidget(rowsShown_++, panel);
    panel->show();
}

void LanguageController::showPicker(TFrameFindexec* picker, const std::string& defaultName, const std::string& field,
                                    bool ready) {
    // Below the three fixed pickers and the step pickers shown so far.
    w_.pickersLayout->removeWidget(picker);
    w_.pickersLayout->insertWidget(3 + pickersShown_++, picker);
    picker->show();
    picker->DefaultName = defaultName;
    picker->SetFieldText(field);
    SetFieldColour(picker->Edit, ready ? FieldColour::Window : FieldColour::Failed);
}

void LanguageController::showSteps(const LanguagePlan& plan) {
    // The pickers' reports, in the order they were checked.
    for (const std::string& text : plan.errors) w_.statusBar().AddError(text, true);
    int n = 0;
    for (const PlannedStep& step : plan.steps) {
        ++n;
        const PlannedRow& row = plan.rows[step.row];
        QCheckBox* box = w_.transformationBox("CheckBox" + row.name);
        if (!box) {
            box = w_.createTransformationRow(row.name);
            box->setChecked(false);
            box->setEnabled(true);
            box->setText(Q(row.caption));
            SetHint(box, row.caption);
            ShowHint(box, true);
            connect(box, &QCheckBox::toggled, this, [this] { RunGuarded([this] { markModified(); }); });
            TFrameFindexec* picker = w_.createPicker("FindExex" + row.name, "Program for " + row.caption);
            picker->hide();
            box->parentWidget()->setProperty("TabOrder", n - 1);
        }
        showRow(box->parentWidget());
        shownRows_[row.name] = row;
        box->setText(Q(row.caption));
        box->setChecked(row.programReady);
        if (!row.programReady) box->setEnabled(false);

        TFrameFindexec* picker = w_.picker("FindExex" + row.name);
        if (!picker) picker = w_.createPicker("FindExex" + row.name, "Program for " + row.caption);
        showPicker(picker, row.programDefault, row.programPath, row.programReady);
        if (step.chain >= 0) {
            const PlannedChain& chain = plan.chains[size_t(step.chain)];
            TFrameFindexec* p = w_.picker("Chain" + chain.name);
            if (!p) p = w_.createPicker("Chain" + chain.name, "Chained Program for " + chain.name);
            showPicker(p, chain.programDefault, chain.programPath, chain.programReady);
        }
    }
    stepRegistry_ = plan.stepRegistry;
}

}  // namespace korvane

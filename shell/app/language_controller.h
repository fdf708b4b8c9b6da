#pragma once
// The tool settings text of the running shell and the application of a
// language: filters and extensions, transformation rows, step and chain
// program pickers, the step registry; run-control switches and DOSBox.

#include <QObject>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/run/run_setup.h"
#include "shell/app/dosbox_setup.h"
#include "shell/app/language_plan.h"
#include "shell/app/tool_settings.h"
#include "shell/ui/shell_services.h"

class QRadioButton;

namespace korvane {

class TfrmKorvaneMain;
class TFrameFindexec;

// What applying a language does to the project.
struct LanguageProjectHooks {
    // While a project file is being applied, its language is applied alone.
    std::function<bool()> loading;
    // Setting false asks first when the project is modified.
    std::function<void(bool)> setModified;
    std::function<void()> clearModifiedWithoutAsking;
    std::function<void(const std::string&)> setDialect;
    std::function<void(const std::string&)> setLanguagePrefix;
    // The new project of the language with that prefix.
    std::function<void(const std::string&)> startNewProject;
    // The output directory field, marked changed, is left as by the user.
    std::function<void()> leaveOutputDirectory;
};

class LanguageController : public QObject {
    Q_OBJECT
public:
    LanguageController(TfrmKorvaneMain& window, LanguageProjectHooks project);

    // --- tool settings text ---
    ToolSettingsText& settings() { return settings_; }
    const std::string& settingsPath() const { return settingsPath_; }
    // Where the settings came from and where saving writes them.
    const ToolSettingsPlace& settingsPlace() const { return locator_.place(); }
    // The file a save writes: the per-user file when the user may not
    // replace the bundled one (ToolSettingsPlace); created with its folder.
    std::string settingsWritePath() const;
    // Whether the user may replace a file (tests run as root).
    void setWritableCheck(WritableCheck check) { locator_.setWritableCheck(std::move(check)); }
    // Locates and reads the tool settings file; reports "No ini file is
    // available for Korvane" and ends the operation when there is none.
    void readToolSettings();
    // The memo on the technical page shows the text.
    void showSettingsInMemo();
    void takeSettingsFromMemo();
    // Writes the text as it is to settingsWritePath(); throws Error("Cannot
    // write to <path>"). Gives the path written.
    std::string writeToolSettings();

    // --- languages ---
    const std::string& selectedLanguage() const { return selected_; }
    void setSelectedLanguage(const std::string& suffix) { selected_ = suffix; }
    void ApplyLanguage(const std::string& suffix);
    const AppliedLanguage& applied() const { return applied_; }
    // "step=chain" or "step=*" for each usable step, in step order.
    const std::vector<std::string>& stepRegistry() const { return stepRegistry_; }
    // The result extension recorded on a step's transformation row.
    std::string stepResultExtension(const std::string& stepName) const;
    // Whether a step's programs treat each listed file on its own.
    bool stepFileLocal(const std::string& stepName) const;
    // The XML parameter name of a transformation row (XMLFlag or step name).
    std::string rowParameterName(const std::string& stepName) const;
    // Enables the radio buttons the tool settings offer.
    void enableLanguageButtons();

    // --- run control ---
    const RunControlState& runControl() const { return run_; }
    void applyRunControl();
    void readBigDirectoryLimit();
    // Where DOSBox is looked for (the places below, else the setting, else
    // the user's choice) and where its base configuration goes.
    DOSBoxSearch dosboxSearch();
    // Where DOSBox is looked for before "Runcontrol.DOSBoxLocation", asked
    // anew at every search; the standard places of the system when not set.
    void setDOSBoxPlaces(std::function<std::vector<std::string>()> places) { dosboxPlaces_ = std::move(places); }

signals:
    // A language was applied up to its pickers (the word lists then load
    // the default function table).
    void languageApplied();

private:
    void applyLanguage(const std::string& suffix);
    void evaluateRunControl();
    void onRadioButtonToggled(QRadioButton* button, bool checked);
    void onWriteIniFile();
    void onApplyIni();
    void showPlan(const LanguagePlan& plan);
    void resetRows();
    void showSteps(const LanguagePlan& plan);
    bool checkScanner(const LanguagePlan& plan);
    void showRow(QWidget* panel);
    void showPicker(TFrameFindexec* picker, const std::string& defaultName, const std::string& field, bool ready);
    void markModified();

    TfrmKorvaneMain& w_;
    ShellServices s_;
    LanguageProjectHooks project_;
    ToolSettingsText settings_;
    ToolSettingsLocator locator_;
    std::string settingsPath_;
    std::string selected_;
    AppliedLanguage applied_;
    std::vector<std::string> stepRegistry_;
    // The rows as a language last showed them (result extension, parameter
    // name, file-local).
    std::map<std::string, PlannedRow> shownRows_;
    RunControlState run_;
    std::function<std::vector<std::string>()> dosboxPlaces_;
    int rowsShown_ = 0;
    int pickersShown_ = 0;
};

}  // namespace korvane

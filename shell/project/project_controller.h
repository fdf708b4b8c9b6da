#pragma once
// The project: its values, the modified flag and the question guarding
// unsaved changes, new/open/load/save, and the output directory field.

#include <QObject>

#include <string>
#include <vector>

#include "shell/project/project_model.h"
#include "shell/project/project_view.h"
#include "shell/ui/shell_services.h"

namespace korvane {

class OutputDirectoryField;
struct ProjectProperties;

class ProjectController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kModifiedQuestion = kProjectModifiedQuestion;
    static constexpr const char* kLoadError = kProjectLoadError;
    static constexpr const char* kOpenTitle = "Open a Korvane project definition";
    static constexpr const char* kSaveTitle = "Save project as...";
    static constexpr const char* kOpenCancelled = "File search cancelled, new project created";
    static constexpr const char* kSaveCancelled = "Save cancelled";

    ProjectController(QObject* parent, const ProjectView& view, ShellServices services, ProjectHooks hooks);

    // --- modified flag ---
    bool modified() const { return modified_; }
    // Setting false on a set flag asks "save the changes?" first; Cancel
    // reports "Action cancelled" and ends the operation that asked.
    void setModified(bool value);
    void clearModifiedWithoutAsking();
    bool projectLoading() const { return projectLoad_; }
    void setProjectLoading(bool on) { projectLoad_ = on; }

    // --- values ---
    const std::string& productName() const { return productName_; }
    const std::string& systemName() const { return systemName_; }
    const std::string& projectDirectory() const { return projectDirectory_; }
    const std::string& languagePrefix() const { return languagePrefix_; }
    const std::string& dialect() const { return dialect_; }
    int maxDirDepth() const { return maxDirDepth_; }
    bool batchRunning() const { return batchRunning_; }
    int numberOfSourceFiles() const { return numberOfSourceFiles_; }
    const std::string& testName() const { return testName_; }
    const std::string& objectName() const { return objectName_; }
    void setLanguagePrefix(const std::string& p) { languagePrefix_ = p; }
    void setDialect(const std::string& d) { dialect_ = d; }
    void setMaxDirDepth(int d) { maxDirDepth_ = d; }
    void setBatchRunning(bool on) { batchRunning_ = on; }
    void setNumberOfSourceFiles(int n) { numberOfSourceFiles_ = n; }

    // Validate and store a name: "*" empties it; an empty or digit-led text,
    // or one that cannot stand in a file name (IsAcceptableName), shows the
    // names page, focuses the field and reports the error, which ends the
    // operation.
    void SetSystemName(const std::string& text);
    void SetProductName(const std::string& text);
    // The project name, formed from product and system names when empty.
    std::string GetProjectName();
    // The base name of the path ("" or "*" empty it); the caption follows.
    void SetProjectName(const std::string& path);
    const std::string& projectNameField() const { return projectName_; }
    // The directory part of the path; remembered per language.
    void SetProjectDirectory(const std::string& path);

    // The output directory: the text of the output directory picker.
    std::string outputDirectory() const;
    OutputDirectoryField& outputDirectoryField() { return *outputDir_; }
    // Connects the output directory picker's notifications (first show).
    void ConnectOutputDirectoryPicker();

    // The new-project state.
    void ClearProject();
    // The new project of an applied language: the new-project state, the
    // project directory last used with the language's prefix (else the
    // personal folder) and the output directory there.
    void StartNewProject(const std::string& prefix);
    // The output directory field, marked changed, is left as by the user.
    void LeaveOutputDirectory();

    // --- project actions ---
    void NewProject();
    void OpenProject();
    // Applies a project file; an error reports the load error and ends the
    // operation. A name that cannot stand in a file name is refused with its
    // name error and left empty, and a number out of its range takes its
    // default with a warning; both are reported at the end and the project
    // still opens. Relative paths of the file (output directory, project
    // directory, list entries) are taken from the file's folder, and every
    // entry loses its "." and ".." components.
    void LoadProject(const std::string& path);
    // Finishes a run the loaded project was saved in.
    void ResumeAfterLoad();
    // The project named on the command line, loaded by the first show. A
    // failed load has been reported; it goes no further than this, so that
    // the other receivers of the request still run.
    void LoadRequestedProject(const std::string& path);
    // Save (asking for a name only when the file does not exist yet) and
    // save as (always asking).
    void SaveProject(bool saveAs);
    // The values the [Properties] block of a save carries.
    ProjectProperties properties();

signals:
    void modifiedChanged(bool modified);
    // The project was cleared: the viewer closes its pages, the run forgets
    // its name map.
    void projectCleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setName(std::string& field, const std::string& text, bool product, bool fromFile = false);
    void connectModifiedMarks();
    void loadSteps(const std::string& path);
    int loadNumber(const std::string& key, const std::string& text, int lo, int hi, int def);
    void resolveLoadedPaths(const std::string& projectFolder);
    void reportLoadNotes();

    ProjectView v_;
    ShellServices s_;
    ProjectHooks hooks_;
    OutputDirectoryField* outputDir_ = nullptr;
    bool modified_ = false;
    bool projectLoad_ = false;
    std::string productName_, systemName_, projectName_;
    std::string projectDirectory_;
    std::string languagePrefix_, dialect_;
    std::string testName_, objectName_;
    int maxDirDepth_ = 100;
    bool batchRunning_ = false;
    int numberOfSourceFiles_ = 0;
    // Refused names and numbers out of range met by the load in progress:
    // reported once the load has ended (its last steps clear the bar).
    std::vector<std::string> loadErrors_, loadWarnings_;
};

}  // namespace korvane

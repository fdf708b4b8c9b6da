#pragma once
// The project: its values, the modified flag and the question guarding
// unsaved changes, new/open/load/save, and the output directory field.

#include <QObject>

#include <string>

namespace korvane {

class TfrmKorvaneMain;

class ProjectController : public QObject {
    Q_OBJECT
public:
    explicit ProjectController(TfrmKorvaneMain& window);

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
    void setLanguagePrefix(const std::string& p) { languagePrefix_ = p; }
    void setDialect(const std::string& d) { dialect_ = d; }
    void setMaxDirDepth(int d) { maxDirDepth_ = d; }
    void setBatchRunning(bool on) { batchRunning_ = on; }
    void setNumberOfSourceFiles(int n) { numberOfSourceFiles_ = n; }

    void SetSystemName(const std::string& text);
    void SetProductName(const std::string& text);
    std::string GetProjectName();
    void SetProjectName(const std::string& path);
    const std::string& projectNameField() const { return projectName_; }
    void SetProjectDirectory(const std::string& path);

    // The output directory: the text of the output directory picker.
    std::string outputDirectory() const;

    // The new-project state.
    void ClearProject();

signals:
    void modifiedChanged(bool modified);
    // The project was cleared: the viewer closes its pages, the run forgets
    // its name map.
    void projectCleared();

private:
    void setName(std::string& field, const std::string& text, bool product);

    TfrmKorvaneMain& w_;
    bool modified_ = false;
    bool projectLoad_ = false;
    std::string productName_, systemName_, projectName_;
    std::string projectDirectory_;
    std::string languagePrefix_, dialect_;
    int maxDirDepth_ = 100;
    bool batchRunning_ = false;
    int numberOfSourceFiles_ = 0;
};

}  // namespace korvane

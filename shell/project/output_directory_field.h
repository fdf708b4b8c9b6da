#pragma once
// The output directory field (the field of FrameFindDirectoryOutputDir in
// the group "Data set definitions"): leaving it normalises the path, creates
// a directory the names were dropped for, marks the project modified and
// runs the picker's exit check; before that check a missing directory may be
// created; a directory chosen by browsing is taken as if typed and left.
// Dragging the names from the group "Names" onto the group, the picker or
// its field points the output directory at a folder of the project's name.

#include <QObject>

#include <string>

#include "shell/project/project_view.h"
#include "shell/ui/shell_services.h"

namespace korvane {

class NamesDrag;
class ProjectController;

class OutputDirectoryField : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kCreateQuestion = "Directory %s doesn't exists, create it? ";
    static constexpr const char* kCannotCreate = "Cannot create directory";

    OutputDirectoryField(const ProjectView& view, ShellServices services, ProjectController& project);

    // Connects the picker's notifications "directory chosen" and "before
    // check" (done once the window is first shown).
    void ConnectPicker();

    // Leaving the field (or its frame), also by Enter.
    void LeaveField();
    // The picker is about to check a changed field: offers to create a
    // missing directory.
    void CheckBeforeValidation();
    // A browse or a drop has put a new folder into the field.
    void DirectoryChosen();
    // The names were dropped on the group, the picker or its field.
    void DropNames();

    // The last drop is remembered until the field is left or a key other
    // than Enter is typed into it.
    bool DropRemembered() const { return dropped_; }
    // The field was left and no press on the names has happened since.
    bool JustLeft() const { return justLeft_; }

    NamesDrag& namesDrag() { return *drag_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool PressOnNames();
    std::string FieldText() const;

    ProjectView v_;
    ShellServices s_;
    ProjectController& project_;
    NamesDrag* drag_ = nullptr;
    bool dropped_ = false;
    bool justLeft_ = false;
};

}  // namespace korvane

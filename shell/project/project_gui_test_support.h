#pragma once
// Helpers of the project's window tests: a shell with a Java chain of three
// steps and a Cobol 85 language, the status bar's texts, project files
// written and read as bytes, and the leave of a field as the window sees it.

#include <QString>

#include <string>
#include <vector>

#include "shell/app/testing/shell_fixture.h"

class QWidget;

namespace korvane {
class TfrmKorvaneMain;
}

namespace korvane::project_test {

using korvane::testing::ShellFixture;
using korvane::testing::Str;

// Java (default; steps Realign, Refine, RelocateDB) and Cobol 85 (one step).
void WriteStandardSettings(ShellFixture& f);
// The settings and a started window.
TfrmKorvaneMain& StartStandard(ShellFixture& f, const std::vector<std::string>& args = {});

std::string Shown(TfrmKorvaneMain& w);
std::string MessageList(TfrmKorvaneMain& w);

// A project file of these lines, CR LF after each, under the fixture's root.
std::string WriteProject(ShellFixture& f, const std::string& relativePath,
                         const std::vector<std::string>& lines);
std::vector<std::string> ReadLines(const std::string& path);

// The focus leaving a widget for another control of the window.
void Leave(QWidget* widget);
// Typing text into a line edit at its end, as the user does.
void Type(QWidget* edit, const QString& text);

// Opens a project through "&Open existing project", answering the dialog.
void OpenThroughAction(ShellFixture& f, const std::string& path);

// The properties of a minimal Java project, to be followed by dump lines.
std::vector<std::string> JavaProjectHeader(const std::string& product = "PROD",
                                           const std::string& system = "SYS");

}  // namespace korvane::project_test

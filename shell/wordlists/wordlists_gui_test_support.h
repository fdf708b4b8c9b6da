#pragma once
// Window tests of the macro table: a Java shell whose page "Edit macro table"
// is shown (scan and function table switched on, tags INPT and OTPT).

#include <string>
#include <vector>

#include "shell/app/testing/shell_fixture.h"

namespace korvane {
class CheckList;
}

namespace korvane::testing {

// The default function table the language loads: bin/JAVVorl/FUNCTAB.JAV.
std::string FunctionTablePath(const ShellFixture& f);

// Writes the settings (plus extra lines), the scanner and the default
// function table with the given lines, and starts the window.
TfrmKorvaneMain& StartWordListShell(ShellFixture& f, const std::vector<std::string>& functab = {},
                                    const std::vector<std::string>& extra = {});

// Starts the window with the settings written, the scanner and function
// table pickers left empty so that they take their default paths.
TfrmKorvaneMain& StartWithDefaultPickers(ShellFixture& f);

// Shows the window, waits until it is active and makes the tab "Control
// Words" of "Edit macro table" current.
void ShowWordPage(TfrmKorvaneMain& w);

std::vector<std::string> Texts(const CheckList& list);
std::vector<bool> Marks(const CheckList& list);

}  // namespace korvane::testing

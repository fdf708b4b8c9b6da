#pragma once
// What every part of the shell works with besides its own controls: the
// action list, the message status bar and the dialogs. The window owns them
// and hands them to each part it composes.

namespace korvane {

class ActionList;
class Dialogs;
class TMyStatusBar;

struct ShellServices {
    ActionList& actions;
    TMyStatusBar& statusBar;
    Dialogs& dialogs;
};

}  // namespace korvane

#pragma once
// The page "Changes" of the main window: every checked source of the last
// run with the state of its result, and the source beside its result. The
// window builds the empty page; the controller fills it and is served by
// the hooks.

#include <functional>
#include <vector>

#include "shell/run/target_plan.h"

class QTabWidget;
class QWidget;

namespace korvane {

struct ChangesView {
    QTabWidget* PageControlMain = nullptr;
    QWidget* TabSheetNames = nullptr;
    QWidget* TabSheetChanges = nullptr;
};

struct ChangesHooks {
    // The checked sources of the project and the files their results went
    // to (CheckedSourceResults of the current setup).
    std::function<std::vector<SourceResultPath>()> checkedSources;
};

}  // namespace korvane

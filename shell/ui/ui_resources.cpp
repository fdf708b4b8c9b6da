#include "shell/ui/ui_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE has to be used from the global namespace.
static void RegisterUiResources() { Q_INIT_RESOURCE(ui_resources); }

namespace korvane {

void InitUiResources() {
    static const bool done = (RegisterUiResources(), true);
    (void)done;
}

}  // namespace korvane

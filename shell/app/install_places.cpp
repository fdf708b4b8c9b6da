#include "shell/app/install_places.h"

#include "shared/env.h"
#include "shared/platform/path.h"

#ifndef KORVANE_REL_TOOLDIR
#define KORVANE_REL_TOOLDIR "../lib/korvane"
#endif
#ifndef KORVANE_REL_DATADIR
#define KORVANE_REL_DATADIR "../share/korvane"
#endif
#ifndef KORVANE_REL_DOCDIR
#define KORVANE_REL_DOCDIR "../share/doc/korvane"
#endif

namespace korvane {

InstalledPlaces InstalledPlacesOf(const std::string& programPath) {
    const std::string dir = ExtractFileDir(ExpandFileName(programPath));
    auto place = [&](const char* rel) { return ExcludeTrailingSep(ExpandFileName(JoinPath(dir, rel))); };
    return {place(KORVANE_REL_TOOLDIR), place(KORVANE_REL_DATADIR), place(KORVANE_REL_DOCDIR)};
}

std::string UserConfigDir() {
    const std::string config = XdgConfigHome();
    return config.empty() ? std::string() : JoinPath(config, "korvane");
}

}  // namespace korvane

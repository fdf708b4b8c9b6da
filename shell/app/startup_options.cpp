#include "shell/app/startup_options.h"

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

std::string ResolveToolRoot(bool rootGiven, const std::string& rootValue, const std::string& programDir) {
    std::string root = rootGiven ? rootValue : ExcludeTrailingSep(programDir);
    std::string last = ExtractFileName(ExcludeTrailingSep(root));
    if (UpperCase(last) == "TOOLS") {
        std::string longer = IncludeTrailingSep(root) + "MAINTAIN" + kPathSepStr + "KORVANE";
        if (DirectoryExists(longer)) root = longer;
    }
    return root;
}

}  // namespace korvane

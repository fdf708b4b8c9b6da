#include "shell/app/program_icon.h"

#include <QImage>

#include "shared/env.h"
#include "shared/file_type_registration.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/registration.h"
#include "shell/ui/ui_resources.h"

namespace korvane {

namespace {

std::string ProgramName(const std::string& programPath) {
    const std::string name = ExtractFileName(programPath);
    return name.substr(0, name.size() - ExtractFileExt(name).size());
}

}  // namespace

bool ProgramIconAvailable(const std::string& programPath) {
    if (FileExists(programPath + ".png")) return true;
    const std::string installed =
        JoinPath(ExtractFileDir(programPath),
                 "../share/icons/hicolor/48x48/apps/" + ProgramName(programPath) + ".png");
    return FileExists(installed);
}

bool ProvideProgramIcon(const std::string& programPath) {
    if (programPath.empty() || ProgramIconAvailable(programPath)) return true;
    const std::string dataHome = XdgDataHome();
    if (dataHome.empty()) return false;
    const std::string sizeDir = JoinPath(dataHome, "icons/hicolor/48x48");
    const std::string mimeIcon = ReplaceAll(FileTypeMimeType(kProjectFileType), "/", "-");
    const std::string targets[] = {JoinPath(sizeDir, "apps/" + ProgramName(programPath) + ".png"),
                                   JoinPath(sizeDir, "mimetypes/" + mimeIcon + ".png")};
    InitUiResources();
    const QImage icon(QString::fromLatin1(kAppIcon48Resource));
    bool all = true;
    for (const std::string& target : targets) {
        if (FileExists(target)) continue;
        if (icon.isNull() || !ForceDirectories(ExtractFileDir(target)) ||
            !icon.save(QString::fromUtf8(target), "PNG"))
            all = false;
    }
    return all;
}

}  // namespace korvane

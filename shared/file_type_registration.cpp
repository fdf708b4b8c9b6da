#include "shared/file_type_registration.h"

#include <cerrno>
#include <exception>
#include <vector>

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/ini_file.h"
#include "shared/platform/desktop_exec.h"
#include "shared/platform/desktop_open.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

namespace {

// The one group of classes.ini: key paths as the registry spells them.
const char* const kClassesGroup = "HKEY_CLASSES_ROOT";
// Size folder of the icon theme that the icons are installed into.
const char* const kIconSizeDir = "icons/hicolor/48x48";

std::string DataHome() {
    std::string dir = XdgDataHome();
    if (dir.empty()) throw Error("Cannot locate the data folder: neither XDG_DATA_HOME nor HOME is set");
    return dir;
}

void ForceFolder(const std::string& dir) {
    if (!ForceDirectories(dir))
        throw Error(Format("Cannot create folder \"%s\". %s", dir.c_str(), SystemErrorText(errno).c_str()));
}

void WriteFileIn(const std::string& path, std::string_view bytes) {
    ForceFolder(ExtractFileDir(path));
    WriteFileAtomic(path, bytes);
}

struct Verb {
    std::string name;
    std::string caption;
    std::string command;
};

// Everything classes.ini says about one file type.
struct FileTypeView {
    std::string type;
    std::vector<std::string> extensions;
    std::string icon;
    std::string defaultVerb;
    std::vector<Verb> verbs;
};

FileTypeView ViewOf(const IniFile& ini, const std::string& type) {
    FileTypeView view;
    view.type = type;
    const std::string typeKey = "\\" + type;
    const std::string shellKey = typeKey + "\\shell";
    view.icon = ini.value(kClassesGroup, typeKey + "\\DefaultIcon");
    view.defaultVerb = ini.value(kClassesGroup, shellKey);
    for (const auto& [key, value] : ini.entries(kClassesGroup)) {
        // "\<ext>" := type
        if (key.size() > 1 && key[0] == '\\' && key.find('\\', 1) == std::string::npos &&
            SameText(value, type)) {
            view.extensions.push_back(key.substr(1));
            continue;
        }
        // "\<type>\shell\<verb>" := caption
        const std::string prefix = shellKey + "\\";
        if (key.size() > prefix.size() && StartsWithText(prefix, key) &&
            key.find('\\', prefix.size()) == std::string::npos) {
            Verb verb;
            verb.name = key.substr(prefix.size());
            verb.caption = value;
            verb.command = ini.value(kClassesGroup, key + "\\command");
            view.verbs.push_back(std::move(verb));
        }
    }
    return view;
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string IconNameOfMimeType(const std::string& mime) { return ReplaceAll(mime, "/", "-"); }

// The program file named by an icon value "<program path>,<index>".
std::string IconProgramPath(const std::string& icon) {
    std::string path = icon;
    const size_t comma = path.rfind(',');
    if (comma != std::string::npos && IsIntegerText(path.substr(comma + 1), false)) path.erase(comma);
    path = Trim(path);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
}

std::string AppIconName(const std::string& programPath) {
    const std::string name = ExtractFileName(programPath);
    return name.substr(0, name.size() - ExtractFileExt(name).size());
}

// A PNG for the program: the icon file itself when it is one, one beside the
// program, or the one installed with it.
std::string FindIconPng(const std::string& programPath) {
    if (SameText(ExtractFileExt(programPath), ".png") && FileExists(programPath)) return programPath;
    if (FileExists(programPath + ".png")) return programPath + ".png";
    const std::string installed = JoinPath(ExtractFileDir(programPath),
                                           Format("../share/%s/apps/%s.png", kIconSizeDir,
                                                  AppIconName(programPath).c_str()));
    return FileExists(installed) ? installed : std::string();
}

void InstallIcons(const FileTypeView& view, const std::string& dataHome) {
    if (view.icon.empty()) return;
    const std::string program = IconProgramPath(view.icon);
    const std::string png = FindIconPng(program);
    if (png.empty()) return;  // the names stay; a theme may provide them
    const std::string sizeDir = JoinPath(dataHome, kIconSizeDir);
    const std::string mimeIcon =
        JoinPath(sizeDir, "mimetypes/" + IconNameOfMimeType(FileTypeMimeType(view.type)) + ".png");
    const std::string appIcon = JoinPath(sizeDir, "apps/" + AppIconName(program) + ".png");
    for (const std::string& target : {mimeIcon, appIcon}) {
        ForceFolder(ExtractFileDir(target));
        CopyFileReplace(png, target);
    }
}

std::string MimePackageXml(const FileTypeView& view) {
    const std::string mime = FileTypeMimeType(view.type);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    xml += "  <mime-type type=\"" + XmlEscape(mime) + "\">\n";
    xml += "    <comment>" + XmlEscape(view.type) + "</comment>\n";
    if (!view.icon.empty()) xml += "    <icon name=\"" + XmlEscape(IconNameOfMimeType(mime)) + "\"/>\n";
    for (const std::string& ext : view.extensions) xml += "    <glob pattern=\"*" + XmlEscape(ext) + "\"/>\n";
    xml += "  </mime-type>\n</mime-info>\n";
    return xml;
}

// Desktop action identifiers allow letters, digits and "-" only.
std::string ActionId(const std::string& verb) {
    std::string id;
    for (char c : verb) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        id.push_back(ok ? c : '-');
    }
    return id.empty() ? std::string("verb") : id;
}

std::string VerbCaption(const Verb& verb) { return verb.caption.empty() ? verb.name : verb.caption; }

// The desktop entry text, "" when no verb has a command.
std::string DesktopEntryText(const FileTypeView& view) {
    const Verb* main = nullptr;
    for (const Verb& v : view.verbs)
        if (!v.command.empty() && SameText(v.name, view.defaultVerb)) main = &v;
    // Without a usable default verb the first verb with a command opens.
    for (const Verb& v : view.verbs)
        if (!main && !v.command.empty()) main = &v;
    if (!main) return {};

    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n";
    text += "Name=" + EscapeDesktopString(VerbCaption(*main)) + "\n";
    text += "Comment=" + EscapeDesktopString(view.type) + "\n";
    text += "Exec=" + EscapeDesktopString(DesktopExecFromWindowsCommand(main->command)) + "\n";
    if (!view.icon.empty()) text += "Icon=" + EscapeDesktopString(AppIconName(IconProgramPath(view.icon))) + "\n";
    text += "MimeType=" + FileTypeMimeType(view.type) + ";\n";
    text += "NoDisplay=true\n"
            "Terminal=false\n";
    std::string actions, actionGroups;
    for (const Verb& v : view.verbs) {
        if (&v == main || v.command.empty()) continue;
        const std::string id = ActionId(v.name);
        actions += id + ";";
        actionGroups += "\n[Desktop Action " + id + "]\n";
        actionGroups += "Name=" + EscapeDesktopString(VerbCaption(v)) + "\n";
        actionGroups += "Exec=" + EscapeDesktopString(DesktopExecFromWindowsCommand(v.command)) + "\n";
    }
    if (!actions.empty()) text += "Actions=" + actions + "\n";
    return text + actionGroups;
}

// Sets "<mime>=<desktopId>" in the [Default Applications] group of a
// mimeapps.list, leaving every other line as it is.
void SetDefaultApplication(const std::string& path, const std::string& mime, const std::string& desktopId) {
    std::vector<std::string> lines;
    if (FileExists(path)) lines = SplitLines(ReadFileBytes(path));
    const std::string entry = mime + "=" + desktopId;
    auto isHeader = [](const std::string& l) { return StartsWithStr("[", Trim(l)); };
    size_t header = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
        if (Trim(lines[i]) == "[Default Applications]") {
            header = i;
            break;
        }
    if (header == lines.size()) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[Default Applications]");
        lines.push_back(entry);
    } else {
        size_t end = header + 1;
        while (end < lines.size() && !isHeader(lines[end])) ++end;
        bool replaced = false;
        for (size_t i = header + 1; i < end; ++i) {
            if (lines[i].find('=') != std::string::npos && SameText(Trim(TextBeforeFirst(lines[i], "=")), mime)) {
                lines[i] = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            size_t at = end;
            while (at > header + 1 && Trim(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + long(at), entry);
        }
    }
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    WriteFileIn(path, text);
}

// Brings the desktop's view of one file type in line with classes.ini.
void Regenerate(const IniFile& ini, const std::string& type) {
    const std::string dataHome = DataHome();
    const FileTypeView view = ViewOf(ini, type);
    const std::string slug = FileTypeSlug(type);
    const std::string mime = FileTypeMimeType(type);

    InstallIcons(view, dataHome);
    WriteFileIn(JoinPath(dataHome, "mime/packages/" + slug + ".xml"), MimePackageXml(view));

    const std::string desktopId = slug + ".desktop";
    const std::string desktopFile = JoinPath(dataHome, "applications/" + desktopId);
    const std::string entry = DesktopEntryText(view);
    if (!entry.empty()) {
        WriteFileIn(desktopFile, entry);
        const std::string config = XdgConfigHome();
        if (config.empty()) throw Error("Cannot locate the configuration folder");
        SetDefaultApplication(JoinPath(config, "mimeapps.list"), mime, desktopId);
    }

    RunQuietly({"update-mime-database", JoinPath(dataHome, "mime")});
    RunQuietly({"update-desktop-database", JoinPath(dataHome, "applications")});
}

IniFile LoadClasses() {
    IniFile ini;
    ini.load(ClassesRootFile());
    return ini;
}

// Runs one registration; any failure ends it with false.
template <typename Work>
bool Guarded(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::string ClassesRootFile() {
    const std::string dataHome = XdgDataHome();
    return dataHome.empty() ? std::string() : JoinPath(dataHome, "korvane/classes.ini");
}

std::string ClassesRootValue(const std::string& keyPath) {
    if (ClassesRootFile().empty()) return {};
    try {
        return LoadClasses().value(kClassesGroup, keyPath);
    } catch (const std::exception&) {
        return {};
    }
}

std::string FileTypeSlug(std::string_view fileType) {
    std::string slug;
    bool gap = false;
    for (char c : fileType) {
        const char l = AsciiLower(c);
        if ((l >= 'a' && l <= 'z') || (l >= '0' && l <= '9')) {
            if (gap && !slug.empty()) slug.push_back('-');
            slug.push_back(l);
            gap = false;
        } else {
            gap = true;
        }
    }
    return slug.empty() ? std::string("unnamed") : slug;
}

std::string FileTypeMimeType(std::string_view fileType) { return "application/x-" + FileTypeSlug(fileType); }

bool RegisterFileExtension(const std::string& extension, const std::string& fileType) {
    return Guarded([&] {
        DataHome();
        IniFile ini = LoadClasses();
        const std::string key = "\\" + extension;
        const std::string previousType = ini.value(kClassesGroup, key);
        ini.setValue(kClassesGroup, key, fileType);
        ini.save(ClassesRootFile());
        Regenerate(ini, fileType);
        // The type that had the extension before loses its glob.
        if (!previousType.empty() && !SameText(previousType, fileType)) Regenerate(ini, previousType);
    });
}

bool RegisterFileTypeIcon(const std::string& fileType, const std::string& icon) {
    return Guarded([&] {
        DataHome();
        IniFile ini = LoadClasses();
        ini.setValue(kClassesGroup, Format("\\%s\\DefaultIcon", fileType.c_str()), icon);
        ini.save(ClassesRootFile());
        Regenerate(ini, fileType);
    });
}

bool RegisterFileTypeVerb(const std::string& fileType, const std::string& verb, const std::string& caption,
                          const std::string& command) {
    return Guarded([&] {
        DataHome();
        IniFile ini = LoadClasses();
        ini.setValue(kClassesGroup, Format("\\%s\\shell", fileType.c_str()), verb);
        ini.setValue(kClassesGroup, Format("\\%s\\shell\\%s", fileType.c_str(), verb.c_str()), caption);
        ini.setValue(kClassesGroup, Format("\\%s\\shell\\%s\\command", fileType.c_str(), verb.c_str()), command);
        ini.save(ClassesRootFile());
        Regenerate(ini, fileType);
    });
}

}  // namespace korvane

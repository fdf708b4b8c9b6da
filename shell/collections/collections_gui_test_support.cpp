#include "shell/collections/collections_gui_test_support.h"

#include <sys/stat.h>

#include <QAbstractItemModel>

#include "shared/text.h"
#include "shell/app/main_window.h"
#include "shell/collections/collections_controller.h"
#include "shell/project/project_controller.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/my_status_bar.h"

namespace korvane::testing {
namespace {

std::string IniText(const ShellOptions& o) {
    std::string text =
        "[Languages]\n"
        "DefaultLanguage=COB_COB85\n"
        "COB_COB85=Cobol 85\n"
        "[Cobol]\n"
        "COB=Cobol,COB,\"\"\n"
        "COB.Copy=cpy\n"
        "COB.OuputExtension=cbl\n"
        "COB.Filter=" + o.filter + "\n";
    if (o.copyFilter) text += std::string("COB.CopyFilter=") + o.copyFilter + "\n";
    text +=
        "COB.Scan=N\n"
        "COB.Functab=N\n"
        "COB.Step01=Realign,cobrealign,CRA,\"Realign source code\"\n"
        "COB.Step02=CopyAdd,cobcopyadd,CCP,\"Insert copies into program source\"\n"
        "COB.Step03=RenameVariables,cobrename,CRN,\"Rename variables\"\n"
        "[Runcontrol]\n"
        "Runcontrol.UseDOSBox=N\n"
        "Runcontrol.Blindrun=N\n"
        "Runcontrol.CaptureLog=N\n"
        "Runcontrol.DeleteAfter=N\n"
        "Runcontrol.SystemBigDirectoryLimit=" + std::to_string(o.bigDirectoryLimit) + "\n";
    return text;
}

}  // namespace

QString Q(const std::string& s) { return QString::fromUtf8(s); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

Shell::Shell(const ShellOptions& options)
    : config_("XDG_CONFIG_HOME", dir_ / "config"), data_("XDG_DATA_HOME", dir_ / "share"),
      home_("HOME", dir_ / "home") {
    ForceDirectories(dir_ / "home");
    ForceDirectories(dir_ / "data");
    PutFile(dir_ / "_Korvane.Src/Korvane.INI", IniText(options));
    for (const char* program : {"cobrealign", "cobcopyadd", "cobrename"}) {
        const std::string path = dir_ / (std::string("bin/COBVorl/") + program);
        PutFile(path, "#!/bin/sh\nexit 0\n");
        chmod(path.c_str(), 0755);
    }
    window_ = std::make_unique<TfrmKorvaneMain>(dialogs_, StartupInfo{dir_ / "bin/korvane"});
    window_->runFirstShow();
    dialogs_.ClearCalls();
}

Shell::~Shell() = default;

CollectionsController& Shell::c() { return *window_->collections(); }

std::vector<std::string> Shell::files(const std::vector<std::string>& relatives) const {
    std::vector<std::string> paths;
    for (const std::string& r : relatives) {
        paths.push_back(data(r));
        PutFile(paths.back(), r);
    }
    return paths;
}

std::string Shell::setOutputDirectory() {
    const std::string out = dir_ / "out";
    ForceDirectories(out);
    window_->FrameFindDirectoryOutputDir->SetFieldText(out);
    return out;
}

bool Shell::modified() { return window_->project()->modified(); }
void Shell::clearModified() { window_->project()->clearModifiedWithoutAsking(); }

std::vector<std::string> Shell::entries(CheckListBox* list) {
    std::vector<std::string> out;
    for (const CheckEntry& e : list->checkList().entries()) out.push_back((e.checked ? "" : "-") + e.text);
    return out;
}

std::string Shell::drawn(CheckListBox* list, int row) {
    return S(list->model()->index(row, 0).data(Qt::DisplayRole).toString());
}

std::string Shell::status() {
    // A message too long for the bar is shown cut with "..."; its hint holds
    // the cut text and the rest.
    const StatusMessages& m = window_->statusBar().messages();
    const std::string& text = m.Text();
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0) {
        const std::string prefix = text.substr(0, text.size() - 3);
        if (StartsWithStr(prefix + "\r\n", m.Hint())) return prefix + m.Hint().substr(prefix.size() + 2);
    }
    return text;
}

std::vector<std::string> Shell::messages() {
    std::vector<std::string> out;
    for (const ScriptedDialogs::Call& call : dialogs_.Calls())
        if (call.what == "Message") out.push_back(call.text);
    return out;
}

}  // namespace korvane::testing

#include "shell/SaveProfile.h"

#include "engine/Profile.h"
#include "platform/trace.h"
#include "shell/FileOpenDlg.h"
#include "ui/messagebox.h"

namespace {

constexpr int kKindSave = 4;
constexpr int kFileTypeConfigSave = 7;

}  // namespace

bool BrowseAndSaveProfile(std::string& name) {
    CFileOpenDlg dlg;
    dlg.SetKind(kKindSave);
    dlg.SetFileType(kFileTypeConfigSave);
    dlg.SetFilter("*.rcf");
    dlg.SetFolder(name);
    if (dlg.DoModal() != ui::IDOK) return false;
    const std::string path = dlg.GetPathName();
    CProfile profile;
    if (!profile.Save(path)) {
        platform::Trace("Tessaray_PC: %s\n", profile.LastError().c_str());
        ui::MessageBox("Could not write the receiver configuration file\n" + profile.LastError(),
                       ui::MB_OK);
        return false;
    }
    name = path;
    return true;
}

#pragma once

#include <set>
#include <string>

#include "shell/BmpStatic.h"
#include "shell/DateTimeFormat.h"
#include "ui/dialog.h"

// The program's own file chooser, shaped like a screen: a folder tree above a file list and
// a banner whose painted buttons are OK, Cancel and the three layouts. Callers set the kind,
// the file type, the filter and the folder, run it and read folder and file name on IDOK.
//
// Kinds: 2 chooses a folder (the list is disabled and OK gives a default name), 4 saves (OK
// at once); with any other kind OK waits for a file to be clicked. File types: 1 NMEA log,
// 2 raw-data log, 3 binary log, 4 point log, 5 polygon log, 6 and 7 receiver configuration.
class CFileOpenDlg : public ui::Dialog {
public:
    enum Layout { kTreeAndList = 0, kTreeOnly = 1, kListOnly = 2 };

    CFileOpenDlg();

    void SetKind(int kind) { iKind = kind; }
    void SetFileType(int fileType) { iFileType = fileType; }
    void SetFilter(const std::string& filter) { strFilter = filter.empty() ? "*" : filter; }
    // A folder, or a file whose folder to start in.
    void SetFolder(const std::string& folder);

    // "/" … "/"; the chosen file is GetFolder() + GetFileName().
    const std::string& GetFolder() const { return strFolder; }
    const std::string& GetFileName() const { return strFileName; }
    std::string GetPathName() const { return strFolder + strFileName; }

    int GetLayout() const { return iLayout; }
    bool IsOkAvailable() const { return bOkAvailable != 0; }

    ui::BOOL OnInitDialog() override;
    void OnLButtonDown(ui::UINT flags, ui::Point point) override;

private:
    void FillSubfolders(ui::TreeItem* item);
    void FillList();
    void OnTreeExpanded(ui::TreeItem* item);
    void OnTreeSelChanged(ui::TreeItem* item);
    void OnListClick();
    void OnBannerOk();
    void SetLayout(int layout);
    void UpdateBanner();
    // Tells the user once per folder that it could not be read.
    void ReportUnreadable(const std::string& folder, const std::string& error);
    ui::TreeItem* SelectStartFolder(ui::TreeItem* root);

    int iKind = 0;
    int iFileType = 0;
    std::string strFolder;
    std::string strFileName;
    std::string strFilter = "*";
    std::string strShortDate;
    ui::Rect rcTree;
    ui::Rect rcList;
    int iLayout = kTreeAndList;
    CBmpStatic m_Banner;
    int bOkAvailable = 0;
    CDateTimeFormat m_DateFormat;
    std::string strStartFolder;
    std::set<std::string> reported_;
};

#include "shell/FileOpenDlg.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <ctime>

#include "platform/paths.h"
#include "resources/fileopen_template.h"
#include "shell/FileListing.h"
#include "shell/HotSpots.h"
#include "ui/messagebox.h"
#include "ui/pictures.h"

using namespace resources;

namespace {

constexpr int kIconRoot = 131;
constexpr int kIconRootSelected = 134;
constexpr int kIconFolder = 133;
constexpr int kIconFolderSelected = 132;

// Banner buttons in design units, tested in this order.
constexpr std::array<HotSpot, 5> kBannerHotSpots{{
    {54, 420, 108, 440},   // OK
    {112, 420, 166, 440},  // Cancel
    {206, 420, 233, 440},  // tree and list
    {237, 420, 264, 440},  // tree only
    {268, 420, 295, 440},  // list only
}};

// Where the tree (or the list alone) starts in every layout, in design units.
constexpr int kPaneLeft = 47;
constexpr int kPaneTop = 110;

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeFolder() {
    const std::string home = platform::HomeDir();
    return home.empty() ? std::string("/") : home;
}

// The machine's name stands where the original showed the device name.
std::string RootLabel() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') return name;
    return "Local Disk (/)";
}

std::string ItemPath(const ui::TreeItem* item) {
    if (!item) return "/";
    const QByteArray raw = item->data(0, Qt::UserRole).toByteArray();
    return raw.isEmpty() ? "/" : raw.toStdString();
}

void SetItemPath(ui::TreeItem* item, const std::string& path) {
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
}

int IconForFile(const std::string& name) {
    const auto dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    if (ext == ".txt" || ext == ".log" || ext == ".ini") return ui::kIconTextFile;
    if (ext == ".bin") return ui::kIconBinaryFile;
    if (ext == ".rcf") return ui::kIconConfigFile;
    return ui::kIconFile;
}

}  // namespace

CFileOpenDlg::CFileOpenDlg()
    : ui::Dialog(FileOpenTemplate()),
      strFolder("/"),
      strShortDate(CDateTimeFormat::ShortDatePicture()) {}

void CFileOpenDlg::SetFolder(const std::string& folder) {
    std::string path = platform::ExpandHome(folder);
    if (!path.empty() && !IsFolder(path)) {
        // A file name: start in its folder.
        const auto slash = path.rfind('/');
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    strStartFolder = path.empty() ? std::string() : filebrowser::FolderPath(path);
    if (!strStartFolder.empty()) strFolder = strStartFolder;
}

ui::BOOL CFileOpenDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    iLayout = kTreeAndList;
    bOkAvailable = 0;
    reported_.clear();
    m_Banner.Attach(Item<ui::Picture>(IDC_FILE_BANNER));

    OnNotify(IDC_FOLDER_TREE, ui::TVN_ITEMEXPANDED,
             [this](const ui::Notification& n) { OnTreeExpanded(n.item); });
    OnNotify(IDC_FOLDER_TREE, ui::TVN_SELCHANGED,
             [this](const ui::Notification& n) { OnTreeSelChanged(n.item); });
    OnControl(IDC_FILE_LIST, ui::NM_CLICK, [this] { OnListClick(); });
    OnControl(IDC_FILE_LIST, ui::LVN_ITEMCHANGED, [this] { OnListClick(); });

    ui::TreeItem* root =
        InsertTreeItem(IDC_FOLDER_TREE, RootLabel(), kIconRoot, kIconRootSelected, nullptr);
    SetItemPath(root, "/");
    FillSubfolders(root);
    ExpandTreeItem(IDC_FOLDER_TREE, root);

    const float sx = host().fScaleX();
    InsertColumn(IDC_FILE_LIST, 0, "Name", false, static_cast<int>(120 * sx));
    InsertColumn(IDC_FILE_LIST, 1, "Size", true, static_cast<int>(60 * sx));
    InsertColumn(IDC_FILE_LIST, 2, "Date", false, static_cast<int>(60 * sx));
    // The date takes the rest of the row, so the whole short date stays readable and the
    // columns always fill the list exactly: no sideways scrolling.
    if (auto* list = Item<QTreeWidget>(IDC_FILE_LIST)) {
        list->header()->setStretchLastSection(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    // The start folder is opened down from the root and selected, which fills the list.
    ui::TreeItem* start = SelectStartFolder(root);
    strFolder = ItemPath(start);
    SelectTreeItem(IDC_FOLDER_TREE, start);
    if (auto* tree = Item<QTreeWidget>(IDC_FOLDER_TREE)) tree->scrollToItem(start);
    FillList();

    rcTree = GetItemRect(IDC_FOLDER_TREE);
    rcList = GetItemRect(IDC_FILE_LIST);

    if (iKind == 2) {
        bOkAvailable = 1;
        strFileName.clear();
        EnableItem(IDC_FILE_LIST, false);
    } else if (iKind == 4) {
        bOkAvailable = 1;
        EnableItem(IDC_FILE_LIST, true);
    }
    UpdateBanner();
    return ui::TRUE;
}

ui::TreeItem* CFileOpenDlg::SelectStartFolder(ui::TreeItem* root) {
    std::string target = strStartFolder;
    if (target.empty() || !IsFolder(target)) target = filebrowser::FolderPath(HomeFolder());
    ui::TreeItem* item = root;
    std::size_t pos = 1;
    while (pos < target.size()) {
        const std::size_t slash = target.find('/', pos);
        if (slash == std::string::npos) break;
        const std::string path = target.substr(0, slash + 1);
        pos = slash + 1;
        ui::TreeItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            if (ItemPath(item->child(i)) == path) next = item->child(i);
        }
        if (!next) break;
        ExpandTreeItem(IDC_FOLDER_TREE, item);
        item = next;
        FillSubfolders(item);
    }
    ExpandTreeItem(IDC_FOLDER_TREE, item);
    return item;
}

void CFileOpenDlg::FillSubfolders(ui::TreeItem* item) {
    if (!item) return;
    const std::string folder = ItemPath(item);
    const filebrowser::Listing listing = filebrowser::ListFolder(folder, "*");
    DeleteChildren(item);
    if (!listing.ok()) ReportUnreadable(folder, listing.error);
    for (const filebrowser::Entry& e : listing.entries) {
        if (!e.directory) continue;
        ui::TreeItem* child =
            InsertTreeItem(IDC_FOLDER_TREE, e.name, kIconFolder, kIconFolderSelected, item);
        SetItemPath(child, folder + e.name + "/");
        // Placeholders give the folder its expander until it is opened.
        InsertTreeItem(IDC_FOLDER_TREE, ".", 0, 0, child);
        InsertTreeItem(IDC_FOLDER_TREE, "..", 0, 0, child);
    }
}

void CFileOpenDlg::FillList() {
    auto* list = Item<QTreeWidget>(IDC_FILE_LIST);
    if (!list) return;
    list->setUpdatesEnabled(false);
    DeleteAllItems(IDC_FILE_LIST);
    const filebrowser::Listing listing = filebrowser::ListFolder(strFolder, strFilter);
    if (!listing.ok()) ReportUnreadable(strFolder, listing.error);
    int row = 0;
    for (const filebrowser::Entry& e : listing.entries) {
        if (e.directory) continue;
        row = InsertListItem(IDC_FILE_LIST, row, e.name, IconForFile(e.name));
        if (QTreeWidgetItem* item = list->topLevelItem(row))
            item->setData(0, Qt::UserRole, QByteArray::fromStdString(e.name));
        SetItemText(IDC_FILE_LIST, row, 1, filebrowser::SizeText(e.size));
        m_DateFormat.SetDateTime(CDateTimeFormat::DateTime::FromLocalTime(e.modified));
        SetItemText(IDC_FILE_LIST, row, 2, m_DateFormat.Format(strShortDate));
        ++row;
    }
    list->setUpdatesEnabled(true);
}

void CFileOpenDlg::ReportUnreadable(const std::string& folder, const std::string& error) {
    if (!reported_.insert(folder).second) return;
    ui::MessageBox("Cannot read the folder " + folder + ":\n" + error,
                   ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

void CFileOpenDlg::OnTreeExpanded(ui::TreeItem* item) {
    // Opening a folder only lists its subfolders; the folder in use stays the selected one,
    // so the chosen path always names a file the list showed.
    FillSubfolders(item);
}

void CFileOpenDlg::OnTreeSelChanged(ui::TreeItem* item) {
    if (!item) return;
    strFolder = ItemPath(item);
    if (iLayout != kTreeOnly) FillList();
    // A name clicked in the folder left behind names no file of this one: it is dropped, so a
    // save falls back to its default name and an open waits for a new click.
    strFileName.clear();
    bOkAvailable = iKind == 2 || iKind == 4;
    UpdateBanner();
}

void CFileOpenDlg::OnListClick() {
    auto* list = Item<QTreeWidget>(IDC_FILE_LIST);
    const auto selected = list ? list->selectedItems() : QList<QTreeWidgetItem*>();
    if (!selected.isEmpty()) {
        strFileName = selected.front()->data(0, Qt::UserRole).toByteArray().toStdString();
        bOkAvailable = 1;
    } else {
        // Nothing chosen: a save falls back to a default name rather than an old click.
        strFileName.clear();
        bOkAvailable = iKind == 2 || iKind == 4;
    }
    UpdateBanner();
}

void CFileOpenDlg::OnBannerOk() {
    if (strFileName.empty()) {
        if (ui::MessageBox("Do you want the system to\ncreate a default file for you?",
                           ui::MB_OKCANCEL) == ui::IDCANCEL) {
            EndDialog(ui::IDCANCEL);
            return;
        }
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        strFileName = filebrowser::DefaultFileName(strFolder, iFileType, tm.tm_year + 1900,
                                                   tm.tm_mon + 1, tm.tm_mday);
    }
    EndDialog(ui::IDOK);
}

void CFileOpenDlg::OnLButtonDown(ui::UINT, ui::Point point) {
    const int hit = HitTest(kBannerHotSpots, point.x, point.y, host().fScaleX(), host().fScaleY());
    switch (hit) {
        case 0:
            if (bOkAvailable) OnBannerOk();
            break;
        case 1:
            EndDialog(ui::IDCANCEL);
            break;
        case 2:
            SetLayout(kTreeAndList);
            break;
        case 3:
            SetLayout(kTreeOnly);
            break;
        case 4:
            SetLayout(kListOnly);
            break;
        default:
            break;
    }
}

void CFileOpenDlg::SetLayout(int layout) {
    const int x = static_cast<int>(static_cast<float>(kPaneLeft) * host().fScaleX());
    const int y = static_cast<int>(static_cast<float>(kPaneTop) * host().fScaleY());
    const int bigWidth = rcList.Width();
    const int bigHeight = rcList.bottom - rcTree.top;
    const bool refill = iLayout == kTreeOnly && layout != kTreeOnly;
    switch (layout) {
        case kTreeAndList:
            SetItemPos(IDC_FOLDER_TREE, ui::ZOrder::Keep, x, y, rcTree.Width(), rcTree.Height(),
                       ui::SWP_SHOWWINDOW);
            SetItemPos(IDC_FILE_LIST, ui::ZOrder::Keep, x, rcList.top - rcTree.top + y,
                       rcList.Width(), rcList.Height(), ui::SWP_SHOWWINDOW);
            break;
        case kTreeOnly:
            SetItemPos(IDC_FOLDER_TREE, ui::ZOrder::Keep, x, y, bigWidth, bigHeight,
                       ui::SWP_SHOWWINDOW);
            ShowItem(IDC_FILE_LIST, false);
            break;
        case kListOnly:
            ShowItem(IDC_FOLDER_TREE, false);
            SetItemPos(IDC_FILE_LIST, ui::ZOrder::Keep, x, y, bigWidth, bigHeight,
                       ui::SWP_SHOWWINDOW);
            break;
        default:
            return;
    }
    iLayout = layout;
    if (refill) FillList();
}

void CFileOpenDlg::UpdateBanner() {
    m_Banner.SetBitmapId(bOkAvailable ? IDB_FILE_BANNER_OK : IDB_FILE_BANNER);
}

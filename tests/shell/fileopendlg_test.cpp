#include "shell/FileOpenDlg.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "shell/DateTimeFormat.h"
#include "support/qt/qt_env.h"
#include "support/temp_dir.h"
#include "ui/automation.h"
#include "ui/messagebox.h"

namespace {

namespace fs = std::filesystem;

constexpr int kList = 1001;
constexpr int kTree = 1003;
constexpr int kBanner = 1004;

// A fresh folder for the test's files.
class TempFolder : public testsupport::TempDir {
public:
    TempFolder() : TempDir("tessaray-browser-") {}
};

// Runs the browser with `steps` acting inside its loop; a dialog still open after the last
// step is cancelled and counted as a failure.
int RunBrowser(CFileOpenDlg& dlg, std::vector<std::function<void()>> steps) {
    ui::StepRunner runner;
    for (auto& step : steps) {
        runner.Add(std::move(step));
        // Queued notifications and clicks are delivered before the next step looks.
        runner.AddWait([n = 0]() mutable { return ++n > 2; }, 60000, [] {});
    }
    runner.Add([&dlg] {
        if (dlg.IsLoopRunning()) {
            ADD_FAILURE() << "the browser was still open";
            dlg.EndDialog(ui::IDCANCEL);
        }
    });
    runner.Start();
    return dlg.DoModal();
}

QTreeWidget* Tree(CFileOpenDlg& dlg) {
    return dlg.Item<QTreeWidget>(kTree);
}
QTreeWidget* List(CFileOpenDlg& dlg) {
    return dlg.Item<QTreeWidget>(kList);
}

std::vector<std::string> ListNames(CFileOpenDlg& dlg) {
    std::vector<std::string> names;
    for (int i = 0; i < List(dlg)->topLevelItemCount(); ++i)
        names.push_back(dlg.GetItemText(kList, i, 0));
    return names;
}

void ClickRow(CFileOpenDlg& dlg, int row) {
    QTreeWidget* list = List(dlg);
    const QRect r = list->visualItemRect(list->topLevelItem(row));
    ui::UserClick(list->viewport(), r.center());
}

// Clicks a banner button by the centre of its design rectangle.
void ClickBanner(double left, double right) {
    ui::UserClickDesign((left + right) / 2, 430);
}
void ClickOk() {
    ClickBanner(54, 108);
}
void ClickCancel() {
    ClickBanner(112, 166);
}
void ClickTreeAndList() {
    ClickBanner(206, 233);
}
void ClickTreeOnly() {
    ClickBanner(237, 264);
}
void ClickListOnly() {
    ClickBanner(268, 295);
}

void Shot(const char* name) {
    const char* dir = std::getenv("TESSARAY_PC_SHOTS");
    if (!dir || !*dir) return;
    ui::Host::Instance().grab().save(QString::fromStdString(std::string(dir) + "/" + name));
}

std::string Today(int fileType, int n) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "D%02d%02d%02d%d", tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday,
                  n);
    const char* ext = fileType == 2 || fileType == 3 ? ".bin" : fileType >= 6 ? ".rcf" : ".txt";
    return std::string(buf) + ext;
}

TEST(FileOpenDlg, LayoutsMoveAndHideTreeAndList) {
    TempFolder dir;
    dir.Touch("first.txt");
    fs::create_directory(dir.folder() + "logs");
    CFileOpenDlg dlg;
    dlg.SetFolder(dir.folder());
    ui::Rect tree0, list0;
    const float sx = ui::Host::Instance().fScaleX(), sy = ui::Host::Instance().fScaleY();
    const int x = static_cast<int>(47.0f * sx), y = static_cast<int>(110.0f * sy);
    const int result = RunBrowser(
        dlg,
        {
            [&] {
                tree0 = dlg.GetItemRect(kTree);
                list0 = dlg.GetItemRect(kList);
                EXPECT_EQ(dlg.GetLayout(), 0);
                EXPECT_TRUE(dlg.IsItemVisible(kTree));
                EXPECT_TRUE(dlg.IsItemVisible(kList));
                EXPECT_EQ(tree0.left, x);
                EXPECT_EQ(tree0.top, y);
                EXPECT_GT(list0.top, tree0.bottom - 1);
                EXPECT_EQ(ListNames(dlg), std::vector<std::string>{"first.txt"});
                Shot("fileopen-tree-and-list.png");
                ClickTreeOnly();
            },
            [&] {
                EXPECT_EQ(dlg.GetLayout(), 1);
                EXPECT_TRUE(dlg.IsItemVisible(kTree));
                EXPECT_FALSE(dlg.IsItemVisible(kList));
                EXPECT_EQ(dlg.GetItemRect(kTree),
                          (ui::Rect{x, y, x + list0.Width(), y + list0.bottom - tree0.top}));
                Shot("fileopen-tree-only.png");
                dir.Touch("second.txt");
                ClickTreeAndList();
            },
            [&] {
                EXPECT_EQ(dlg.GetLayout(), 0);
                EXPECT_TRUE(dlg.IsItemVisible(kList));
                EXPECT_EQ(dlg.GetItemRect(kTree), tree0);
                EXPECT_EQ(dlg.GetItemRect(kList), list0);
                // Coming back from the tree alone reads the folder again.
                EXPECT_EQ(ListNames(dlg), (std::vector<std::string>{"first.txt", "second.txt"}));
                dir.Touch("third.txt");
                ClickListOnly();
            },
            [&] {
                EXPECT_EQ(dlg.GetLayout(), 2);
                EXPECT_FALSE(dlg.IsItemVisible(kTree));
                EXPECT_TRUE(dlg.IsItemVisible(kList));
                EXPECT_EQ(dlg.GetItemRect(kList),
                          (ui::Rect{x, y, x + list0.Width(), y + list0.bottom - tree0.top}));
                EXPECT_EQ(ListNames(dlg).size(), 2u);
                Shot("fileopen-list-only.png");
                ClickTreeOnly();
            },
            [&] { ClickListOnly(); },
            [&] {
                EXPECT_EQ(ListNames(dlg).size(), 3u);
                ClickTreeAndList();
            },
            [&] {
                EXPECT_TRUE(dlg.IsItemVisible(kTree));
                EXPECT_EQ(dlg.GetItemRect(kTree), tree0);
                ClickCancel();
            },
        });
    EXPECT_EQ(result, ui::IDCANCEL);
}

TEST(FileOpenDlg, HotSpotEdgesAreOutside) {
    CFileOpenDlg dlg;
    const float sx = ui::Host::Instance().fScaleX(), sy = ui::Host::Instance().fScaleY();
    auto px = [&](int design) { return static_cast<int>(static_cast<float>(design) * sx); };
    auto py = [&](int design) { return static_cast<int>(static_cast<float>(design) * sy); };
    RunBrowser(
        dlg,
        {
            [&] {
                const ui::UINT flags = ui::MK_LBUTTON;
                dlg.OnLButtonDown(flags, {px(233), py(430)});  // right edge of the first layout
                dlg.OnLButtonDown(flags, {px(250), py(440)});  // bottom edge of the second
                dlg.OnLButtonDown(flags, {px(250), py(420) - 1});
                dlg.OnLButtonDown(flags, {px(54), py(430)});  // OK is not available yet
                EXPECT_EQ(dlg.GetLayout(), 0);
                EXPECT_TRUE(dlg.IsLoopRunning());
                dlg.OnLButtonDown(flags, {px(237), py(420)});  // top-left corner is inside
                EXPECT_EQ(dlg.GetLayout(), 1);
                dlg.OnLButtonDown(flags, {px(295) - 1, py(440) - 1});
                EXPECT_EQ(dlg.GetLayout(), 2);
                dlg.OnLButtonDown(flags, {px(112), py(420)});
            },
        });
}

TEST(FileOpenDlg, KindsDecideWhenOkIsAvailable) {
    TempFolder dir;
    dir.Touch("a.txt");
    const struct {
        int kind;
        bool okAtOnce;
        bool listEnabled;
    } cases[] = {
        {0, false, true}, {1, false, true}, {2, true, false}, {3, false, true}, {4, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CFileOpenDlg dlg;
        dlg.SetKind(c.kind);
        dlg.SetFileType(1);
        dlg.SetFolder(dir.folder());
        RunBrowser(dlg, {
                            [&] {
                                EXPECT_EQ(dlg.IsOkAvailable(), c.okAtOnce);
                                EXPECT_EQ(dlg.GetPictureId(kBanner), c.okAtOnce ? 237 : 238);
                                EXPECT_EQ(dlg.IsItemEnabled(kList), c.listEnabled);
                                EXPECT_EQ(dlg.GetFileName(), "");
                                ClickRow(dlg, 0);
                            },
                            [&] {
                                EXPECT_TRUE(dlg.IsOkAvailable() || !c.listEnabled);
                                EXPECT_EQ(dlg.IsOkAvailable(), c.okAtOnce || c.listEnabled);
                                EXPECT_EQ(dlg.GetPictureId(kBanner),
                                          dlg.IsOkAvailable() ? 237 : 238);
                                EXPECT_EQ(dlg.GetFileName(), c.listEnabled ? "a.txt" : "");
                                ClickCancel();
                            },
                        });
    }
}

TEST(FileOpenDlg, ChoosingAnExistingFileGivesFolderAndName) {
    TempFolder dir;
    dir.Touch("base.rcf");
    dir.Touch("rover.RCF");
    dir.Touch("notes.txt");
    CFileOpenDlg dlg;
    dlg.SetKind(3);
    dlg.SetFileType(6);
    dlg.SetFilter("*.rcf");
    dlg.SetFolder(dir.folder() + "base.rcf");  // a file name starts in its folder
    ui::MessageBoxRecorder boxes;
    const int result = RunBrowser(
        dlg, {
                 [&] {
                     EXPECT_EQ(ListNames(dlg), (std::vector<std::string>{"base.rcf", "rover.RCF"}));
                     ClickRow(dlg, 1);
                 },
                 [&] { ClickOk(); },
             });
    EXPECT_EQ(result, ui::IDOK);
    EXPECT_EQ(dlg.GetFolder(), dir.folder());
    EXPECT_EQ(dlg.GetFileName(), "rover.RCF");
    EXPECT_EQ(dlg.GetPathName(), dir.folder() + "rover.RCF");
    EXPECT_TRUE(boxes.shown().empty());
}

// The names themselves are the file listing's; the browser asks before taking one.
TEST(FileOpenDlg, DefaultNamesAreOfferedBeforeTheyAreTaken) {
    for (int type : {1, 3, 7}) {
        SCOPED_TRACE(type);
        TempFolder dir;
        const bool taken = type == 1 || type == 6;
        if (taken) dir.Touch(Today(type, 1));
        CFileOpenDlg dlg;
        dlg.SetKind(type == 7 ? 4 : 2);
        dlg.SetFileType(type);
        dlg.SetFolder(dir.folder());
        ui::MessageBoxRecorder boxes;
        boxes.Answer(ui::IDOK);
        const int result = RunBrowser(dlg, {[&] { ClickOk(); }});
        EXPECT_EQ(result, ui::IDOK);
        ASSERT_EQ(boxes.texts(), std::vector<std::string>{
                                     "Do you want the system to\ncreate a default file for you?"});
        EXPECT_EQ(boxes.shown()[0].type & 0xF, ui::MB_OKCANCEL);
        EXPECT_EQ(dlg.GetFolder(), dir.folder());
        // The date may turn over between the two readings of the clock; then the test is moot.
        if (dlg.GetFileName().substr(0, 7) == Today(type, 1).substr(0, 7)) {
            EXPECT_EQ(dlg.GetFileName(), Today(type, taken ? 2 : 1));
        }
    }
}

TEST(FileOpenDlg, DeclinedDefaultNameCancels) {
    TempFolder dir;
    CFileOpenDlg dlg;
    dlg.SetKind(2);
    dlg.SetFileType(3);
    dlg.SetFolder(dir.folder());
    ui::MessageBoxRecorder boxes;
    boxes.Answer(ui::IDCANCEL);
    EXPECT_EQ(RunBrowser(dlg, {[&] { ClickOk(); }}), ui::IDCANCEL);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(dlg.GetFileName(), "");
}

TEST(FileOpenDlg, FolderThatCannotBeReadIsReportedOnce) {
    TempFolder dir;
    fs::create_directory(dir.folder() + "gone");
    fs::create_directory(dir.folder() + "swapped");
    fs::create_directory(dir.folder() + "swapped/inner");
    dir.Touch("kept.txt");
    CFileOpenDlg dlg;
    dlg.SetFolder(dir.folder());
    ui::MessageBoxRecorder boxes;
    auto child = [&](const std::string& name) -> QTreeWidgetItem* {
        QTreeWidgetItem* current = Tree(dlg)->currentItem();
        for (int i = 0; current && i < current->childCount(); ++i)
            if (current->child(i)->text(0).toStdString() == name) return current->child(i);
        return nullptr;
    };
    QTreeWidgetItem *gone = nullptr, *swapped = nullptr, *start = nullptr;
    RunBrowser(dlg,
               {
                   [&] {
                       start = Tree(dlg)->currentItem();
                       gone = child("gone");
                       swapped = child("swapped");
                       ASSERT_TRUE(gone && swapped);
                       fs::remove(dir.folder() + "gone");
                       fs::remove_all(dir.folder() + "swapped");
                       dir.Touch("swapped");
                       Tree(dlg)->setCurrentItem(gone);
                   },
                   [&] {
                       EXPECT_EQ(dlg.GetFolder(), dir.folder() + "gone/");
                       EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
                       EXPECT_EQ(boxes.texts(),
                                 std::vector<std::string>{"Cannot read the folder " + dir.folder() +
                                                          "gone/:\nNo such file or directory"});
                       Tree(dlg)->expandItem(gone);
                   },
                   [&] {
                       EXPECT_EQ(gone->childCount(), 0);
                       Tree(dlg)->setCurrentItem(start);
                   },
                   [&] {
                       EXPECT_EQ(ListNames(dlg), (std::vector<std::string>{"kept.txt", "swapped"}));
                       Tree(dlg)->setCurrentItem(gone);
                   },
                   [&] {
                       EXPECT_EQ(boxes.shown().size(), 1u);  // once per folder
                       Tree(dlg)->setCurrentItem(swapped);
                   },
                   [&] {
                       EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
                       ASSERT_EQ(boxes.shown().size(), 2u);
                       EXPECT_EQ(boxes.texts()[1], "Cannot read the folder " + dir.folder() +
                                                       "swapped/:\nNot a directory");
                       ClickCancel();
                   },
               });
}

TEST(FileOpenDlg, ListShowsSizesAndShortDates) {
    TempFolder dir;
    const std::pair<const char*, std::uint64_t> files[] = {
        {"a-exact-mebibyte.bin", 1048576},
        {"b-just-over-k.bin", 1025},
        {"c-one-k.bin", 1024},
        {"d-large.bin", 5ull * 1024 * 1024 * 1024 + 7},
        {"e-empty.txt", 0}};
    for (const auto& [name, size] : files) dir.Touch(name, size);
    const std::time_t stamp = 1196863629;  // 5 December 2007
    const struct timespec times[2] = {{stamp, 0}, {stamp, 0}};
    utimensat(AT_FDCWD, (dir.folder() + "c-one-k.bin").c_str(), times, 0);
    CFileOpenDlg dlg;
    dlg.SetFolder(dir.folder());
    RunBrowser(dlg, {[&] {
                   ASSERT_EQ(List(dlg)->topLevelItemCount(), 5);
                   const char* sizes[] = {"1024K", "1K", "1024", "5120M", "0"};
                   for (int i = 0; i < 5; ++i)
                       EXPECT_EQ(dlg.GetItemText(kList, i, 1), sizes[i]) << i;
                   CDateTimeFormat f;
                   f.SetDateTime(CDateTimeFormat::DateTime::FromLocalTime(stamp));
                   EXPECT_EQ(dlg.GetItemText(kList, 2, 2),
                             f.Format(CDateTimeFormat::ShortDatePicture()));
                   EXPECT_EQ(List(dlg)->headerItem()->text(0), "Name");
                   EXPECT_EQ(List(dlg)->headerItem()->text(1), "Size");
                   EXPECT_EQ(List(dlg)->headerItem()->text(2), "Date");
                   ClickCancel();
               }});
}

TEST(FileOpenDlg, StartsAtHomeUnderTheMachineRoot) {
    const std::string home = qttest::TempRoot() + "/home/";
    fs::create_directories(home + "projects");
    std::ofstream(home + ".hidden").close();
    CFileOpenDlg dlg;
    dlg.SetFolder(home + "vanished/");  // missing: the home folder is used
    RunBrowser(dlg, {[&] {
                   QTreeWidgetItem* root = Tree(dlg)->topLevelItem(0);
                   ASSERT_NE(root, nullptr);
                   char host[256] = {};
                   gethostname(host, sizeof host - 1);
                   EXPECT_EQ(root->text(0).toStdString(),
                             host[0] ? std::string(host) : "Local Disk (/)");
                   EXPECT_TRUE(root->isExpanded());
                   EXPECT_EQ(dlg.GetFolder(), home);
                   QTreeWidgetItem* current = Tree(dlg)->currentItem();
                   ASSERT_NE(current, nullptr);
                   EXPECT_TRUE(current->isExpanded());
                   ASSERT_EQ(current->childCount(), 1);
                   EXPECT_EQ(current->child(0)->text(0), "projects");
                   EXPECT_EQ(current->child(0)->childCount(), 2);  // placeholders until opened
                   EXPECT_EQ(ListNames(dlg), std::vector<std::string>{".hidden"});
                   ClickCancel();
               }});
}

}  // namespace

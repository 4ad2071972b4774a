// The file browser: layouts, unreadable folders, a refused default name, a folder change.

#include "shell/FileOpenDlg.h"

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <ctime>
#include <filesystem>

#include "shell/FileListing.h"
#include "support/qt/qt_env.h"
#include "support/temp_dir.h"
#include "ui/automation.h"
#include "ui/messagebox.h"

namespace {

namespace fs = std::filesystem;

constexpr int kList = 1001, kTree = 1003;

// Runs `steps` in the browser's loop, each after the last one's notifications; the end code.
int RunBrowser(CFileOpenDlg& dlg, std::vector<std::function<void()>> steps) {
    ui::StepRunner runner;
    for (auto& step : steps) {
        runner.Add(std::move(step));
        runner.AddWait([n = 0]() mutable { return ++n > 2; }, 60000, [] {});
    }
    runner.Add([&dlg] {
        if (!dlg.IsLoopRunning()) return;
        ADD_FAILURE() << "the browser was still open";
        dlg.EndDialog(ui::IDCANCEL);
    });
    runner.Start();
    return dlg.DoModal();
}

const auto Tree = [](CFileOpenDlg& dlg) { return dlg.Item<QTreeWidget>(kTree); };
const auto List = [](CFileOpenDlg& dlg) { return dlg.Item<QTreeWidget>(kList); };

std::vector<std::string> ListNames(CFileOpenDlg& dlg) {
    std::vector<std::string> names;
    for (int i = 0; i < List(dlg)->topLevelItemCount(); ++i)
        names.push_back(dlg.GetItemText(kList, i, 0));
    return names;
}

// Banner buttons by the centre of their design rectangles.
const auto ClickCancel = [] { ui::UserClickDesign(139, 430); };
const auto ClickTreeAndList = [] { ui::UserClickDesign(219.5, 430); };
const auto ClickTreeOnly = [] { ui::UserClickDesign(250.5, 430); };
const auto ClickListOnly = [] { ui::UserClickDesign(281.5, 430); };

TEST(FileOpenDlg, LayoutsMoveAndHideTreeAndList) {
    testsupport::TempDir dir;
    dir.Touch("first.txt");
    fs::create_directory(dir / "logs");
    CFileOpenDlg dlg;
    dlg.SetFolder(dir.folder());
    ui::Rect tree0, list0;
    const float sx = ui::Host::Instance().fScaleX(), sy = ui::Host::Instance().fScaleY();
    const int x = static_cast<int>(47.0f * sx), y = static_cast<int>(110.0f * sy);
    const auto px = [&](int design) { return static_cast<int>(static_cast<float>(design) * sx); };
    const auto py = [&](int design) { return static_cast<int>(static_cast<float>(design) * sy); };
    // Tree or list alone takes the room of both.
    const auto whole = [&] {
        return ui::Rect{x, y, x + list0.Width(), y + list0.bottom - tree0.top};
    };
    std::vector<std::function<void()>> steps = {[&] {
        tree0 = dlg.GetItemRect(kTree);
        list0 = dlg.GetItemRect(kList);
        EXPECT_EQ(std::pair(tree0.left, tree0.top), std::pair(x, y));
        EXPECT_GE(list0.top, tree0.bottom);
        // OK is not offered yet.
        dlg.OnLButtonDown(ui::MK_LBUTTON, {px(54), py(430)});
        EXPECT_TRUE(dlg.GetLayout() == 0 && dlg.IsLoopRunning());
        ClickTreeOnly();
    }};
    // Per step: the layout and the files listed (-1: not looked at), a file added, the click.
    // Coming back from the tree alone reads the folder again.
    const struct {
        int layout, listed;
        const char* added;
        std::function<void()> click;
    } rows[] = {{1, -1, "second.txt", ClickTreeAndList},
                {0, 2, "third.txt", ClickListOnly},
                {2, 2, nullptr, ClickTreeOnly},
                {1, -1, nullptr, ClickListOnly},
                {2, 3, nullptr, ClickCancel}};
    for (const auto& r : rows) {
        steps.push_back([&] {
            SCOPED_TRACE(r.layout);
            EXPECT_EQ(dlg.GetLayout(), r.layout);
            EXPECT_EQ(dlg.IsItemVisible(kTree) * 10 + dlg.IsItemVisible(kList),
                      (r.layout != 2) * 10 + (r.layout != 1));
            const ui::Rect tree = dlg.GetItemRect(kTree), list = dlg.GetItemRect(kList);
            EXPECT_TRUE(r.layout ? (r.layout == 1 ? tree : list) == whole()
                                 : tree == tree0 && list == list0);
            const size_t listed = ListNames(dlg).size();
            EXPECT_TRUE(r.listed < 0 || listed == static_cast<size_t>(r.listed)) << listed;
            if (r.added) dir.Touch(r.added);
            r.click();
        });
    }
    const int result = RunBrowser(dlg, steps);
    EXPECT_EQ(result, ui::IDCANCEL);
}

TEST(FileOpenDlg, FolderThatCannotBeReadIsReportedOnce) {
    testsupport::TempDir dir;
    for (const char* d : {"gone", "swapped", "swapped/inner"}) fs::create_directory(dir / d);
    dir.Touch("kept.txt");
    CFileOpenDlg dlg;
    dlg.SetFolder(dir.folder());
    ui::MessageBoxRecorder boxes;
    const auto child = [&](const std::string& name) -> QTreeWidgetItem* {
        QTreeWidgetItem* current = Tree(dlg)->currentItem();
        for (int i = 0; current && i < current->childCount(); ++i)
            if (current->child(i)->text(0).toStdString() == name) return current->child(i);
        return nullptr;
    };
    const std::string cannot = "Cannot read the folder " + dir.folder();
    QTreeWidgetItem *gone = nullptr, *swapped = nullptr, *start = nullptr;
    RunBrowser(
        dlg, {[&] {
                  start = Tree(dlg)->currentItem();
                  gone = child("gone");
                  swapped = child("swapped");
                  ASSERT_TRUE(gone && swapped);
                  fs::remove(dir / "gone");
                  fs::remove_all(dir / "swapped");
                  dir.Touch("swapped");
                  Tree(dlg)->setCurrentItem(gone);
              },
              [&] {
                  EXPECT_EQ(dlg.GetFolder(), dir.folder() + "gone/");
                  EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
                  EXPECT_EQ(boxes.texts(),
                            std::vector<std::string>{cannot + "gone/:\nNo such file or directory"});
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
                  EXPECT_EQ(boxes.texts()[1], cannot + "swapped/:\nNot a directory");
                  ClickCancel();
              }});
}

// A save into another folder: OK at once; cancelling the default name's offer cancels the save.
TEST(FileOpenDlg, SaveKindOffersADefaultNameThatCanBeRefused) {
    testsupport::TempDir dir;
    fs::create_directory(dir / "sub");
    CFileOpenDlg dlg;
    dlg.SetKind(2);
    dlg.SetFolder(dir.folder());
    ui::MessageBoxRecorder boxes;
    boxes.Answer(ui::IDCANCEL);
    const int result =
        RunBrowser(dlg, {[&] {
                             QTreeWidgetItem* current = Tree(dlg)->currentItem();
                             ASSERT_TRUE(current && current->childCount() == 1);
                             Tree(dlg)->setCurrentItem(current->child(0));
                         },
                         [&] {
                             EXPECT_TRUE(dlg.IsOkAvailable() && dlg.GetFileName().empty());
                             ui::UserClickDesign(81, 430);  // the banner's OK
                         }});
    EXPECT_EQ(result, ui::IDCANCEL);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{
                                 "Do you want the system to\ncreate a default file for you?"});
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
}

// A click in one folder, then another folder chosen in the tree: an open waits for a click
// there, a save falls back to its default name; a same-named file of the new folder is never
// returned unseen.
TEST(FileOpenDlg, FolderChangeDropsTheClickedName) {
    const struct {
        int kind;
        bool okAfterChange;  // the save's OK then asks for a default name
    } kinds[] = {{0, false}, {1, false}, {3, false}, {4, true}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        testsupport::TempDir dir;
        fs::create_directory(dir / "b");
        dir.Touch("same.rcf");
        dir.Touch("b/same.rcf");
        CFileOpenDlg dlg;
        dlg.SetKind(k.kind);
        dlg.SetFileType(7);
        dlg.SetFolder(dir.folder());
        ui::MessageBoxRecorder boxes;
        boxes.Answer(ui::IDOK);
        const int result = RunBrowser(
            dlg, {[&] {
                      const auto items = List(dlg)->findItems("same.rcf", Qt::MatchExactly, 0);
                      ASSERT_EQ(items.size(), 1);
                      ui::UserClick(List(dlg)->viewport(),
                                    List(dlg)->visualItemRect(items[0]).center());
                  },
                  [&] {
                      EXPECT_TRUE(dlg.IsOkAvailable());
                      EXPECT_EQ(dlg.GetFileName(), "same.rcf");
                      QTreeWidgetItem* current = Tree(dlg)->currentItem();
                      ASSERT_TRUE(current && current->childCount() == 1);
                      Tree(dlg)->setCurrentItem(current->child(0));
                  },
                  [&] {
                      EXPECT_EQ(dlg.GetFolder(), dir.folder() + "b/");
                      EXPECT_EQ(dlg.IsOkAvailable(), k.okAfterChange);
                      EXPECT_EQ(dlg.GetFileName(), "");
                      ui::UserClickDesign(81, 430);  // the banner's OK
                  },
                  [&] {
                      if (dlg.IsLoopRunning()) ClickCancel();
                  }});
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        EXPECT_EQ(result, k.okAfterChange ? ui::IDOK : ui::IDCANCEL);
        EXPECT_EQ(boxes.shown().size(), k.okAfterChange ? 1u : 0u);
        if (k.okAfterChange) {
            EXPECT_EQ(dlg.GetPathName(),
                      dir.folder() + "b/" +
                          filebrowser::DefaultFileName(dir.folder() + "b/", 7, tm.tm_year + 1900,
                                                       tm.tm_mon + 1, tm.tm_mday));
        }
    }
}

}  // namespace

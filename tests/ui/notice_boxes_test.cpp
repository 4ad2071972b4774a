// Notice boxes never hold up the loop that showed them: a page opened meanwhile runs and ends in
// its own loop, each box closes on its answer, the next notice follows, and the end of the
// process waits for the answer of a box still open.

#include <gtest/gtest.h>

#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/notify.h"
#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"
#include "ui/notices.h"

namespace {

using namespace ui;

TEST(NoticeBoxes, OpenBesideThePagesOneAfterAnother) {
    // The boxes open now, each with what answers it, as a user sees them.
    std::vector<std::pair<std::string, std::function<void(int)>>> open;
    const MessageBoxHook previous = SetMessageBoxHook(
        [&](const std::string& text, unsigned, const std::function<void(int)>& answer) {
            open.emplace_back(text, answer);
        });
    const auto texts = [&] {
        std::vector<std::string> t;
        for (const auto& box : open) t.push_back(box.first);
        return t;
    };
    const auto answer = [&] {
        auto box = std::move(open.front());
        open.erase(open.begin());
        box.second(IDOK);
    };
    InstallNoticeSink();
    platform::Notify("ports.conf: not a regular file");
    platform::Notify("No space left on device");
    platform::Notify("ports.conf: not a regular file");  // raised again while it waits: once
    ProcessPending();
    EXPECT_EQ(texts(), std::vector<std::string>{"ports.conf: not a regular file"});
    // A page opened while the box waits runs in its own loop and returns from it.
    Dialog page(DialogTemplate{.id = 520});
    StepRunner steps;
    steps.Add([&] { page.EndDialog(IDOK); });
    steps.Start();
    EXPECT_EQ(page.DoModal(), IDOK);
    EXPECT_EQ(texts().size(), 1u);
    answer();
    EXPECT_EQ(texts(), std::vector<std::string>{"No space left on device"});
    answer();
    EXPECT_TRUE(open.empty());
    // Just before the end of the process a notice is shown, and its answer waited for.
    platform::Notify("cannot write Tessaray_PC.CFG");
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(texts(), std::vector<std::string>{"cannot write Tessaray_PC.CFG"});
        answer();
    });
    ShowPendingNotices();
    EXPECT_TRUE(open.empty());
    platform::SetNotifySink({});
    SetMessageBoxHook(previous);
}

}  // namespace

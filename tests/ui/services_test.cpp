#include <gtest/gtest.h>

#include <QFile>
#include <thread>

#include "platform/notify.h"
#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/messagebox.h"
#include "ui/notices.h"
#include "ui/settings.h"

namespace {

using namespace ui;

TEST(MessageBoxes, AnsweredFromTheQueueElseByTheFirstButton) {
    MessageBoxRecorder boxes;
    boxes.Answer(IDNO);
    EXPECT_EQ(MessageBox("Overwrite?", MB_YESNO | MB_ICONQUESTION), IDNO);
    const std::pair<unsigned, int> first[] = {
        {MB_OK, IDOK},           {MB_OKCANCEL, IDOK},       {MB_YESNO, IDYES},
        {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY}, {MB_ABORTRETRYIGNORE, IDABORT}};
    for (auto [type, answer] : first) EXPECT_EQ(MessageBox("x", type), answer) << type;
    EXPECT_EQ(boxes.shown()[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(std::pair(CancelAnswer(MB_YESNO), CancelAnswer(MB_RETRYCANCEL)),
              std::pair(IDNO, IDCANCEL));
}

TEST(SettingsStore, RoundTripInTheUsersConfigFolder) {
    EXPECT_EQ(Settings::GetInt("LastBaud", 19200), 19200);
    EXPECT_TRUE(Settings::SetInt("LastPort", 3) && Settings::SetInt("LastBaud", 14400));
    // Kept under the folder XDG_CONFIG_HOME names, as the organisation and program.
    const std::string path = Settings::Location();
    EXPECT_EQ(path, qttest::TempRoot() + "/config/Varnholt GPS/Tessaray.conf");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("LastPort=3") && content.contains("LastBaud=14400"));
    // A value edited by hand into something that is not a number reads as missing.
    EXPECT_TRUE(Settings::SetString("LastBaud", "fast"));
    EXPECT_EQ(Settings::GetInt("LastBaud", 19200), 19200);
}

TEST(Notices, QueuedFromAnyThreadShownOncePerWindow) {
    MessageBoxRecorder boxes;
    std::uint32_t now = 1000;
    InstallNoticeSink({.repeatWindowMs = 5000, .clock = [&] { return now; }});
    const std::string full = "Error writing log file /tmp/x: No space left on device";
    const std::string damaged = "Receiver configuration file is damaged";
    std::thread engine([&] {
        for (const std::string& text : {full, full, damaged}) platform::Notify(text);
    });
    engine.join();
    // Nothing is shown on the engine's thread; the boxes come from the event loop.
    EXPECT_TRUE(boxes.shown().empty());
    ProcessPending();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{full, damaged}));
    boxes.Clear();
    for (std::uint32_t step : {4999u, 1u}) {
        now += step;
        platform::Notify(damaged);
        ProcessPending();
    }
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{damaged});
    platform::SetNotifySink({});
}

}  // namespace

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <thread>

#include "platform/notify.h"
#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/messagebox.h"
#include "ui/notices.h"
#include "ui/settings.h"

namespace {

using namespace ui;

TEST(MessageBoxes, RecorderAnswersFromItsQueueAndRecordsTexts) {
    MessageBoxRecorder boxes;
    boxes.Answer(IDNO);
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(MessageBox("Overwrite?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox("Do you want the system to\ncreate a default file for you?", MB_OKCANCEL),
              IDCANCEL);
    // An empty queue answers with the box's first button.
    struct Case {
        unsigned type;
        int first;
    };
    for (const Case c : {Case{MB_OK, IDOK}, Case{MB_OKCANCEL, IDOK}, Case{MB_YESNO, IDYES},
                         Case{MB_YESNOCANCEL, IDYES}, Case{MB_RETRYCANCEL, IDRETRY},
                         Case{MB_ABORTRETRYIGNORE, IDABORT}})
        EXPECT_EQ(MessageBox("x", c.type), c.first) << c.type;
    ASSERT_GE(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "Do you want the system to\ncreate a default file for you?");
    EXPECT_EQ(boxes.shown()[0].type, MB_YESNO | MB_ICONQUESTION);

    {
        // A nested recorder takes over and gives the outer one back when it ends.
        MessageBoxRecorder inner;
        MessageBox("inner");
        EXPECT_EQ(inner.texts(), std::vector<std::string>{"inner"});
    }
    boxes.Clear();
    MessageBox("outer");
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"outer"});
    EXPECT_EQ(CancelAnswer(MB_YESNO), IDNO);
    EXPECT_EQ(CancelAnswer(MB_RETRYCANCEL), IDCANCEL);
}

TEST(SettingsStore, RoundTripInTheUsersConfigFolder) {
    EXPECT_FALSE(Settings::ReadInt("LastPort").has_value());
    EXPECT_EQ(Settings::GetInt("LastBaud", 19200), 19200);
    EXPECT_TRUE(Settings::SetInt("LastPort", 3));
    EXPECT_TRUE(Settings::SetInt("LastBaud", 14400));
    EXPECT_TRUE(Settings::SetInt("AutoBaud", 0));
    EXPECT_EQ(Settings::ReadInt("LastPort"), 3);
    EXPECT_EQ(Settings::GetInt("LastBaud", 19200), 14400);
    EXPECT_EQ(Settings::GetInt("AutoBaud", 1), 0);

    // Kept under the folder XDG_CONFIG_HOME names, as the organisation and program.
    const std::string path = Settings::Location();
    EXPECT_EQ(path, qttest::TempRoot() + "/config/Varnholt GPS/Tessaray.conf");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("LastPort=3"));
    EXPECT_TRUE(content.contains("LastBaud=14400"));

    // A value edited by hand into something that is not a number reads as missing.
    EXPECT_TRUE(Settings::SetString("LastBaud", "fast"));
    EXPECT_FALSE(Settings::ReadInt("LastBaud").has_value());
    EXPECT_EQ(Settings::GetInt("LastBaud", 19200), 19200);
    EXPECT_EQ(Settings::ReadString("LastBaud"), "fast");
    EXPECT_TRUE(Settings::Remove("LastBaud"));
    EXPECT_FALSE(Settings::ReadString("LastBaud").has_value());
}

TEST(Notices, QueuedFromAnyThreadShownOncePerWindow) {
    MessageBoxRecorder boxes;
    std::uint32_t now = 1000;
    InstallNoticeSink({.repeatWindowMs = 5000, .clock = [&] { return now; }});

    std::thread engine([] {
        platform::Notify("Error writing log file /tmp/x: No space left on device");
        platform::Notify("Error writing log file /tmp/x: No space left on device");
        platform::Notify("Receiver configuration file is damaged");
    });
    engine.join();
    // Nothing is shown on the engine's thread; the boxes come from the event loop.
    EXPECT_TRUE(boxes.shown().empty());
    ProcessPending();
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{"Error writing log file /tmp/x: No space left on device",
                                        "Receiver configuration file is damaged"}));

    boxes.Clear();
    now += 4999;
    platform::Notify("Receiver configuration file is damaged");
    ProcessPending();
    EXPECT_TRUE(boxes.shown().empty());
    now += 1;
    platform::Notify("Receiver configuration file is damaged");
    ProcessPending();
    EXPECT_EQ(boxes.texts().size(), 1u);
    platform::SetNotifySink({});
}

}  // namespace

// Rules of the baud search, the link watchdog, the radio-modem commands and the start-up
// dialog's stored values, on a recording port and virtual time.

#include <gtest/gtest.h>

#include <QLabel>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "platform/ports.h"
#include "resources/dlg_startup.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/fake_serial.h"
#include "support/qt/link_harness.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"
#include "ui/settings.h"

namespace {

// The program's port on a recording device, with the link state of a fresh start.
class Wire {
public:
    Wire() {
        shelltest::StartQt();
        shelltest::MakeHost(1.0);
        SetApp(&theApp());
        platform::SetDetectedPortsForTest({});
        clock = std::make_unique<shelltest::SplitClock>(timeline);
        platform::SetClock(clock.get());
        device = std::make_unique<shelltest::LoggingDevice>(fake, timeline);
        g_Comm.SetDevice(device.get());
        InstallLinkHooks();
        ::setenv("TESSARAY_PC_COM1", "/dev/fake1", 1);
        ::setenv("TESSARAY_PC_COM2", "/dev/fake2", 1);
    }
    ~Wire() {
        g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        platform::SetClock(nullptr);
    }
    std::vector<std::string> Take() {
        std::vector<std::string> texts = timeline.Texts();
        timeline.Clear();
        return texts;
    }

    shelltest::Timeline timeline;
    std::unique_ptr<shelltest::SplitClock> clock;
    testsupport::FakeSerialDevice fake;
    std::unique_ptr<shelltest::LoggingDevice> device;
};

std::vector<int> Opens(const std::vector<std::string>& texts) {
    std::vector<int> bauds;
    for (const std::string& t : texts) {
        if (t.rfind("open ", 0) == 0) bauds.push_back(std::stoi(t.substr(5)));
    }
    return bauds;
}

TEST(LinkRules, SearchBaudOrderByStartBaud) {
    struct Row {
        int start;
        std::vector<int> tried;
    };
    const Row rows[] = {
        {9600, {9600, 19200, 19200, 4800, 38400, 57600, 115200}},
        {19200, {19200, 9600, 4800, 4800, 38400, 57600, 115200}},
        {4800, {4800, 9600, 19200, 38400, 38400, 57600, 115200}},
        {57600, {57600, 9600, 19200, 4800, 38400, 115200, 115200}},
        {115200, {115200, 9600, 19200, 4800, 38400, 57600}},
        {14400, {14400, 9600, 19200, 4800, 38400, 57600, 115200}},
    };
    Wire wire;
    shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
    for (const Row& row : rows) {
        g_GPS.Info.iComPort = 1;
        g_GPS.Info.Comm.iOpenBaudRate = row.start;
        theApp().bSentenceReceived = 0;
        page.m_iSearchStep = 0;
        page.m_bNotFound = 0;
        wire.Take();
        int found = 0;
        int steps = 0;
        while (steps < 12) {
            ++steps;
            found = page.NextBaudStep();
            if (page.m_bNotFound) break;
        }
        EXPECT_EQ(Opens(wire.Take()), row.tried) << row.start;
        EXPECT_EQ(found, 0);
        EXPECT_EQ(page.m_bNotFound, 1) << row.start;
        EXPECT_EQ(page.m_iSearchStep, 0);
        EXPECT_EQ(bLinkWatchOn, 1);
        EXPECT_EQ(bBaudSearchOn, 0);
    }
}

TEST(LinkRules, FoundOnlyWhileThePortIsOpenAndAtTheBaudOpen) {
    Wire wire;
    CTessaray_PCApp& app = theApp();
    shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
    g_GPS.Info.iComPort = 1;
    g_GPS.Info.Comm.iOpenBaudRate = 38400;
    // A flag left from before the search: the port is closed, so it finds nothing, and the
    // opening clears it.
    app.bSentenceReceived = 1;
    app.bBytesReceived = 1;
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(Opens(wire.Take()), std::vector<int>{38400});
    EXPECT_EQ(app.bSentenceReceived.load(), 0);
    EXPECT_EQ(app.bBytesReceived.load(), 0);
    // An answer at 38400; the baud fields were changed meanwhile by someone else.
    app.bSentenceReceived = 1;
    g_GPS.Info.Settings.WizardLive.iNMEABaudRate = 4800;
    g_GPS.Info.Comm.iOpenBaudRate = 4800;
    EXPECT_EQ(page.NextBaudStep(), 1);
    EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, 38400);
    EXPECT_EQ(g_GPS.Info.Comm.iOpenBaudRate, 38400);
    EXPECT_EQ(OpenPortBaud(), 38400);
    // The same flag once the port is closed finds nothing.
    g_Comm.ClosePort();
    page.m_iSearchStep = 1;
    app.bSentenceReceived = 1;
    EXPECT_EQ(OpenPortBaud(), 0);
    EXPECT_EQ(page.NextBaudStep(), 0);
}

TEST(LinkRules, APortThatCannotBeOpenedIsSkippedAndNamed) {
    Wire wire;
    CTessaray_PCApp& app = theApp();
    shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
    g_GPS.Info.iComPort = 1;
    g_GPS.Info.Comm.iOpenBaudRate = 9600;
    wire.fake.SetOpenError(EACCES);
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(app.bPortOpen.load(), 0);
    EXPECT_EQ(OpenPortBaud(), 0);
    EXPECT_NE(g_Comm.LastOpenError().find("COM1"), std::string::npos);
    // The search goes on to the next baud.
    wire.fake.SetOpenError(0);
    page.m_iProbeRepeats = 0;
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(Opens(wire.Take()), std::vector<int>{19200});
    EXPECT_EQ(OpenPortBaud(), 19200);
}

TEST(LinkRules, WatchdogTicksByReceiverType) {
    // Each tick: what arrived since the last one (B bytes only, S a sentence, - nothing) and
    // what the tick leaves: the not-found mark and the losses counted.
    struct Row {
        int type;
        const char* arrivals;
        std::vector<int> marks;
        std::vector<int> losses;
    };
    const Row rows[] = {
        {RECEIVER_GPS, "S--", {0, 1, 1}, {0, 0, 1}},
        {RECEIVER_GPS, "-S--", {1, 0, 1, 1}, {0, 0, 0, 1}},
        {RECEIVER_GPS, "B-B-", {1, 1, 1, 1}, {0, 1, 2, 3}},
        {RECEIVER_BLUETOOTH, "BBB", {0, 0, 0}, {0, 0, 0}},
        {RECEIVER_BLUETOOTH, "-B-", {1, 1, 1}, {0, 0, 1}},
        {RECEIVER_BLUETOOTH, "S-B-", {0, 0, 0, 1}, {0, 0, 0, 0}},
    };
    Wire wire;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase = 1;
    for (const Row& row : rows) {
        shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
        g_GPS.Info.eReceiverType = row.type;
        app.eReceiverType = row.type;
        app.iLinkLostCount = 0;
        app.bSentenceReceived = 0;
        app.bBytesReceived = 0;
        std::vector<int> marks;
        std::vector<int> losses;
        for (const char* a = row.arrivals; *a; ++a) {
            if (*a != '-') app.bBytesReceived = 1;
            if (*a == 'S') app.bSentenceReceived = 1;
            page.CheckLink();
            marks.push_back(page.m_bNotFound);
            losses.push_back(app.iLinkLostCount);
        }
        EXPECT_EQ(marks, row.marks) << row.arrivals << " type " << row.type;
        EXPECT_EQ(losses, row.losses) << row.arrivals << " type " << row.type;
    }
}

TEST(LinkRules, DuringAnExitTheWatchdogOnlyPollsAndTheSearchStops) {
    Wire wire;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase = 0;
    app.bExitInProgress = 1;
    shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
    page.m_bNotFound = 1;
    for (int i = 0; i < 4; ++i) page.CheckLink();
    EXPECT_EQ(page.leaves, 0);
    EXPECT_EQ(app.iLinkLostCount, 0);

    bBaudSearchOn = 1;
    page.m_iProbeRepeats = 0;
    page.SearchTick();
    EXPECT_EQ(bBaudSearchOn, 0);
    EXPECT_TRUE(Opens(wire.Take()).empty());
    app.bExitInProgress = 0;
}

TEST(LinkRules, RadioModemCommands) {
    struct Row {
        int baud;
        const char* command;
    };
    const Row rows[] = {{4800, "ATSW20,20,1"},   {9600, "ATSW20,39,1"},   {19200, "ATSW20,79,1"},
                        {38400, "ATSW20,157,1"}, {57600, "ATSW20,236,1"}, {115200, "ATSW20,472,1"},
                        {14400, "ATMC"}};
    Wire wire;
    g_GPS.Info.iComPort = 2;
    ReopenPort(2, 9600);
    wire.Take();
    for (const Row& row : rows) {
        EXPECT_EQ(ModemSetBaud(row.baud), 1);
        const std::vector<std::string> expected = {"ATMC", "~200", row.command, "~200", row.command,
                                                   "~200", "ATMD", "~200",      "ATMD", "~200"};
        EXPECT_EQ(wire.Take(), expected) << row.baud;
    }

    // The probe reports a modem that answered "OK" meanwhile.
    theApp().bModemOK = 1;
    EXPECT_EQ(ModemProbe(), ui::FALSE);  // cleared before asking; nothing answers here
    EXPECT_EQ(wire.Take(),
              (std::vector<std::string>{"ATMC", "~200", "ATMD", "~200", "ATMD", "~200"}));
}

TEST(LinkRules, ClosingABluetoothLinkResetsTheModemFirst) {
    Wire wire;
    g_GPS.Info.iComPort = 1;
    ReopenPort(1, 19200);
    wire.Take();
    g_GPS.Info.eReceiverType = RECEIVER_BLUETOOTH;
    theApp().eReceiverType = RECEIVER_BLUETOOTH;
    g_Comm.ClosePort();
    EXPECT_EQ(wire.Take(), (std::vector<std::string>{"ATMC", "~200", "ATMC", "~200", "ATURST",
                                                     "~200", "ATURST", "~200", "~100", "close"}));
    theApp().eReceiverType = RECEIVER_GPS;
    g_GPS.Info.eReceiverType = RECEIVER_GPS;
}

TEST(LinkRules, TypedAndStoredNumbers) {
    const std::pair<const char*, std::optional<int>> bauds[] = {
        {"9600", 9600},          {" 57600 ", 57600},           {"0", std::nullopt},
        {"-9600", std::nullopt}, {"96OO", std::nullopt},       {"9600.0", std::nullopt},
        {"", std::nullopt},      {"4294967296", std::nullopt}, {"0x2580", std::nullopt}};
    for (const auto& [text, want] : bauds) EXPECT_EQ(ParseBaudText(text), want) << text;
    const std::pair<const char*, std::optional<int>> ports[] = {{"COM1", 1},
                                                                {"COM16", 16},
                                                                {"COM17", std::nullopt},
                                                                {"com2", std::nullopt},
                                                                {"COM02", std::nullopt},
                                                                {"COM2 ", std::nullopt}};
    for (const auto& [text, want] : ports) EXPECT_EQ(ParseComPortText(text), want) << text;
}

// The dialog opened on stored values: what the controls and the fields show.
TEST(StartupDialog, StoredValuesFillTheControls) {
    struct Row {
        std::optional<std::string> port, baud, autoBaud;
        const char* portText;
        const char* baudText;
        int nmeaBaud;
        bool autoOn;
    };
    const Row rows[] = {
        {std::nullopt, std::nullopt, std::nullopt, "COM1", "19200", 19200, true},
        {"2", "57600", "1", "COM2", "57600", 57600, true},
        {"2", "14400", "1", "COM2", "38400", 14400, true},
        // Auto-Baud off takes over what the combos show.
        {"2", "14400", "0", "COM2", "38400", 38400, false},
        {"7", "-5", "1", "COM1", "19200", 19200, true},
        {"2", "0", "5", "COM2", "19200", 19200, true},
        {"x", "fast", "no", "COM1", "19200", 19200, true},
    };
    Wire wire;
    CTessaray_PCApp& app = theApp();
    app.iComPortTable[0] = 1;
    app.iComPortTable[1] = 2;
    for (const Row& row : rows) {
        const std::pair<const char*, const std::optional<std::string>*> values[] = {
            {"LastPort", &row.port}, {"LastBaud", &row.baud}, {"AutoBaud", &row.autoBaud}};
        for (const auto& [key, value] : values) {
            if (*value) {
                ui::Settings::SetString(key, **value);
            } else {
                ui::Settings::Remove(key);
            }
        }
        CSTARTUP3 dlg;
        ui::StepRunner run;
        run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
        run.Add([&] {
            EXPECT_EQ(dlg.GetDlgItemText(IDC_PORT_COMBO), row.portText) << row.portText;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_BAUD_COMBO), row.baudText);
            EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, row.nmeaBaud);
            EXPECT_EQ(dlg.m_bAutoBaud, row.autoOn ? 1 : 0);
            EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_AUTO_BAUD), row.autoOn ? 1 : 0);
            EXPECT_EQ(dlg.IsItemEnabled(IDC_BAUD_COMBO), !row.autoOn);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_PORT_DEVICE),
                      std::string("/dev/fake") + (row.portText[3]));
            dlg.OnCancel();
        });
        run.Start();
        dlg.DoModal();
        EXPECT_EQ(app.bStartupPhase.load(), 1);
    }
    EXPECT_EQ(wire.device->opens(), 0);
}

TEST(StartupDialog, AutoBaudOffKeepsTheBaudWhenTheTypedTextIsNoBaud) {
    struct Row {
        const char* typed;
        int nmeaBaud;
        const char* shown;
    };
    const Row rows[] = {
        {"4800", 4800, "4800"},  {"14400", 14400, "14400"}, {"-1", 19200, "19200"},
        {"abc", 19200, "19200"}, {"0", 19200, "19200"},
    };
    Wire wire;
    theApp().iComPortTable[0] = 1;
    for (const Row& row : rows) {
        ui::Settings::SetInt("LastBaud", 19200);
        ui::Settings::SetInt("AutoBaud", 1);
        CSTARTUP3 dlg;
        ui::StepRunner run;
        run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
        run.Add([&] {
            dlg.SetDlgItemText(IDC_BAUD_COMBO, row.typed);
            ui::UserClick(dlg.GetDlgItem(IDC_AUTO_BAUD));
        });
        run.AddWait([&] { return dlg.m_bAutoBaud == 0; }, 5000, [] { ADD_FAILURE(); });
        run.Add([&] {
            EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, row.nmeaBaud) << row.typed;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_BAUD_COMBO), row.shown) << row.typed;
            EXPECT_TRUE(dlg.IsItemEnabled(IDC_BAUD_COMBO));
            dlg.OnCancel();
        });
        run.Start();
        dlg.DoModal();
    }
}

// The device shown follows the port table as it is when the search starts, and the reason a
// port could not be opened is never cut off.
TEST(StartupDialog, DeviceFollowsThePortTableAndTheReasonFits) {
    Wire wire;
    theApp().iComPortTable[0] = 1;
    ui::Settings::SetInt("LastPort", 1);
    ui::Settings::SetInt("AutoBaud", 1);
    CSTARTUP3 dlg;
    ui::StepRunner run;
    run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
    run.Add([&] {
        EXPECT_EQ(dlg.GetDlgItemText(IDC_PORT_DEVICE), "/dev/fake1");
        ::setenv("TESSARAY_PC_COM1", "/dev/moved1", 1);
        ui::UserClick(dlg.GetDlgItem(IDC_SEARCH));
    });
    run.AddWait([&] { return dlg.GetDlgItemText(IDC_PORT_DEVICE) == "/dev/moved1"; }, 5000,
                [] { ADD_FAILURE() << "the device shown is the old one"; });
    run.Add([&] {
        ::setenv("TESSARAY_PC_COM1", "/dev/fake1", 1);

        const std::string reason = "- cannot open COM12 (/dev/ttyUSB10): No such file or directory";
        dlg.m_strLine[4] = reason;
        dlg.UpdateData(ui::FALSE);
        EXPECT_EQ(dlg.GetDlgItemText(kProgressLineIds[4]), reason);
        auto* line = qobject_cast<QLabel*>(dlg.GetDlgItem(kProgressLineIds[4]));
        ASSERT_NE(line, nullptr);
        const QSize need = line->wordWrap()
                               ? QSize(line->width(), line->heightForWidth(line->width()))
                               : line->sizeHint();
        EXPECT_LE(need.width(), line->width());
        EXPECT_LE(need.height(), line->height());
        dlg.OnCancel();
    });
    run.Start();
    dlg.DoModal();
}

}  // namespace

// Baud search, watchdog, radio-modem commands and stored start-up values on a recording port.

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

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
#include "ui/messagebox.h"
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
        platform::SetClock(&clock);
        g_Comm.SetDevice(&device);
        InstallLinkHooks();
        ::setenv("TESSARAY_PC_COM1", "/dev/fake1", 1);
        ::setenv("TESSARAY_PC_COM2", "/dev/fake2", 1);
        g_GPS.Info.iComPort = 1;
        page = std::make_unique<shelltest::TestPage>(SCR_GPS_1, ScreenFamily::Gps, "Position");
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
    std::vector<int> Opens() {
        std::vector<int> bauds;
        for (const std::string& t : Take())
            if (t.rfind("open ", 0) == 0) bauds.push_back(std::stoi(t.substr(5)));
        return bauds;
    }
    shelltest::Timeline timeline;
    shelltest::SplitClock clock{timeline};
    testsupport::FakeSerialDevice fake;
    shelltest::LoggingDevice device{fake, timeline};
    std::unique_ptr<shelltest::TestPage> page;
};

TEST(LinkRules, SearchOrderFoundOnlyAtTheBaudOpenAndPortsThatCannotBeOpened) {
    const struct {
        int start;
        std::vector<int> tried;
    } rows[] = {
        {19200, {19200, 9600, 4800, 4800, 38400, 57600, 115200}},
        {115200, {115200, 9600, 19200, 4800, 38400, 57600}},
        {14400, {14400, 9600, 19200, 4800, 38400, 57600, 115200}},
    };
    Wire wire;
    CTessaray_PCApp& app = theApp();
    shelltest::TestPage& page = *wire.page;
    for (const auto& row : rows) {
        g_GPS.Info.Comm.iOpenBaudRate = row.start;
        app.bSentenceReceived = 0;
        page.m_iSearchStep = 0;
        page.m_bNotFound = 0;
        int found = 0;
        for (int steps = 0; steps < 12 && !page.m_bNotFound; ++steps) found |= page.NextBaudStep();
        for (const std::string& t : wire.timeline.Texts())
            EXPECT_NE(t.rfind("AT", 0), 0u) << "modem on COM1";
        EXPECT_EQ(wire.Opens(), row.tried) << row.start;
        EXPECT_EQ(std::vector<int>(
                      {found, page.m_bNotFound, page.m_iSearchStep, bLinkWatchOn, bBaudSearchOn}),
                  std::vector<int>({0, 1, 0, 1, 0}))
            << row.start;
    }
    g_Comm.ClosePort();
    page.m_iSearchStep = page.m_bNotFound = 0;
    g_GPS.Info.Comm.iOpenBaudRate = 38400;
    // A flag left from before: the port is closed, so nothing is found; the opening clears it.
    app.bSentenceReceived = app.bBytesReceived = 1;
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(wire.Opens(), std::vector<int>{38400});
    EXPECT_EQ(app.bSentenceReceived.load() + app.bBytesReceived.load(), 0);
    // An answer at 38400 while someone else changed the baud fields: the baud open counts.
    app.bSentenceReceived = 1;
    g_GPS.Info.Settings.WizardLive.iNMEABaudRate = 4800;
    g_GPS.Info.Comm.iOpenBaudRate = 4800;
    EXPECT_EQ(page.NextBaudStep(), 1);
    EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate + g_GPS.Info.Comm.iOpenBaudRate, 76800);
    // The same flag once the port is closed finds nothing.
    g_Comm.ClosePort();
    page.m_iSearchStep = 1;
    app.bSentenceReceived = 1;
    EXPECT_EQ(page.NextBaudStep(), 0);
    // A port that cannot be opened is skipped and named; the search goes on to the next baud.
    g_Comm.ClosePort();
    page.m_iSearchStep = 0;
    g_GPS.Info.Comm.iOpenBaudRate = 9600;
    wire.Take();
    wire.fake.SetOpenError(EACCES);
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(app.bPortOpen.load() + OpenPortBaud(), 0);
    EXPECT_NE(g_Comm.LastOpenError().find("COM1"), std::string::npos);
    wire.fake.SetOpenError(0);
    page.m_iProbeRepeats = 0;
    EXPECT_EQ(page.NextBaudStep(), 0);
    EXPECT_EQ(wire.Opens(), std::vector<int>{OpenPortBaud()});
    EXPECT_EQ(OpenPortBaud(), 19200);
}

TEST(LinkRules, WatchdogTicksByReceiverTypeAndDuringAnExit) {
    // Per tick: arrivals (B bytes, S a sentence, - nothing), then the not-found mark and losses.
    const struct {
        int type;
        const char *arrivals, *marks, *losses;
    } rows[] = {
        {RECEIVER_GPS, "S--", "011", "001"},       {RECEIVER_GPS, "-S--", "1011", "0001"},
        {RECEIVER_GPS, "B-B-", "1111", "0123"},    {RECEIVER_BLUETOOTH, "BBB", "000", "000"},
        {RECEIVER_BLUETOOTH, "-B-", "111", "001"}, {RECEIVER_BLUETOOTH, "S-B-", "0001", "0000"},
    };
    Wire wire;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase = 1;
    for (const auto& row : rows) {
        shelltest::TestPage page(SCR_GPS_1, ScreenFamily::Gps, "Position");
        g_GPS.Info.eReceiverType = row.type;
        app.iLinkLostCount = app.bSentenceReceived = app.bBytesReceived = 0;
        std::string marks, losses;
        for (const char* a = row.arrivals; *a; ++a) {
            if (*a != '-') app.bBytesReceived = 1;
            if (*a == 'S') app.bSentenceReceived = 1;
            page.CheckLink();
            marks += std::to_string(page.m_bNotFound);
            losses += std::to_string(app.iLinkLostCount);
        }
        EXPECT_EQ(marks, row.marks) << row.arrivals << " type " << row.type;
        EXPECT_EQ(losses, row.losses) << row.arrivals << " type " << row.type;
    }
    // During an exit the watchdog only polls, and the search stops.
    app.bStartupPhase = 0;
    app.bExitInProgress = 1;
    app.iLinkLostCount = 0;
    wire.page->m_bNotFound = 1;
    for (int i = 0; i < 4; ++i) wire.page->CheckLink();
    EXPECT_EQ(wire.page->leaves + app.iLinkLostCount, 0);
    bBaudSearchOn = 1;
    wire.page->m_iProbeRepeats = 0;
    wire.page->SearchTick();
    EXPECT_EQ(bBaudSearchOn, 0);
    EXPECT_TRUE(wire.Opens().empty());
    app.bExitInProgress = 0;
}

TEST(LinkRules, RadioModemCommandsAndTypedNumbers) {
    const std::pair<int, const char*> rows[] = {
        {4800, "ATSW20,20,1"}, {38400, "ATSW20,157,1"}, {115200, "ATSW20,472,1"}, {14400, "ATMC"}};
    Wire wire;
    g_GPS.Info.iComPort = 2;
    ReopenPort(2, 9600);
    wire.Take();
    for (auto [baud, command] : rows) {
        EXPECT_EQ(ModemSetBaud(baud), 1);
        EXPECT_EQ(wire.Take(), (std::vector<std::string>{"ATMC", "~200", command, "~200", command,
                                                         "~200", "ATMD", "~200", "ATMD", "~200"}))
            << baud;
    }
    // The probe clears a modem "OK" seen before asking; nothing answers here.
    theApp().bModemOK = 1;
    EXPECT_EQ(ModemProbe(), ui::FALSE);
    EXPECT_EQ(wire.Take(),
              (std::vector<std::string>{"ATMC", "~200", "ATMD", "~200", "ATMD", "~200"}));
    // Closing a Bluetooth link resets the modem first.
    g_GPS.Info.eReceiverType = RECEIVER_BLUETOOTH;
    g_Comm.ClosePort();
    EXPECT_EQ(wire.Take(), (std::vector<std::string>{"ATMC", "~200", "ATMC", "~200", "ATURST",
                                                     "~200", "ATURST", "~200", "~100", "close"}));
    g_GPS.Info.eReceiverType = RECEIVER_GPS;
    std::string bauds;
    for (const char* text : {" 57600 ", "0", "-9600", "9600.0", "4294967296"})
        bauds += std::to_string(ParseBaudText(text).value_or(-1)) + "|";
    EXPECT_EQ(bauds, "57600|-1|-1|-1|-1|");
    std::string ports;
    for (const char* text : {"COM16", "COM17", "com2", "COM02"})
        ports += std::to_string(ParseComPortText(text).value_or(-1)) + "|";
    EXPECT_EQ(ports, "16|-1|-1|-1|");
}

// Opens the start-up dialog and runs `body` once it shows; the dialog is cancelled after.
void WithStartupDialog(const std::function<void(CSTARTUP3&)>& body) {
    CSTARTUP3 dlg;
    ui::StepRunner run;
    run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
    run.Add([&] {
        body(dlg);
        dlg.OnCancel();
    });
    run.Start();
    dlg.DoModal();
}

// Stored values as shown; with Auto-Baud switched off, a typed text that is no baud is refused.
TEST(StartupDialog, StoredValuesAndTypedBauds) {
    const struct {
        std::optional<std::string> port, baud, autoBaud;
        const char *portText, *baudText;
        int nmeaBaud;
        bool autoOn;
    } rows[] = {
        {std::nullopt, std::nullopt, std::nullopt, "COM1", "19200", 19200, true},
        {"2", "14400", "1", "COM2", "38400", 14400, true},
        // Auto-Baud off takes over what the combos show.
        {"2", "14400", "0", "COM2", "38400", 38400, false},
        {"x", "fast", "no", "COM1", "19200", 19200, true},
    };
    Wire wire;
    CTessaray_PCApp& app = theApp();
    app.iComPortTable[0] = 1;
    app.iComPortTable[1] = 2;
    for (const auto& row : rows) {
        for (auto [key, value] : {std::pair{"LastPort", &row.port},
                                  {"LastBaud", &row.baud},
                                  {"AutoBaud", &row.autoBaud}})
            (void)(*value ? ui::Settings::SetString(key, **value) : ui::Settings::Remove(key));
        WithStartupDialog([&](CSTARTUP3& dlg) {
            EXPECT_EQ(
                shelltest::Texts(&dlg, {IDC_PORT_COMBO, IDC_BAUD_COMBO, IDC_PORT_DEVICE}),
                std::string(row.portText) + "|" + row.baudText + "|/dev/fake" + row.portText[3]);
            EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, row.nmeaBaud);
            EXPECT_EQ(std::vector<int>({dlg.m_bAutoBaud, dlg.IsDlgButtonChecked(IDC_AUTO_BAUD),
                                        !dlg.IsItemEnabled(IDC_BAUD_COMBO)}),
                      std::vector<int>(3, row.autoOn ? 1 : 0));
        });
        EXPECT_EQ(app.bStartupPhase.load(), 1);
    }
    const std::pair<const char*, int> typed[] = {{"14400", 14400}, {"abc", 19200}};
    for (auto [text, baud] : typed) {
        ui::Settings::SetInt("LastBaud", 19200);
        ui::Settings::SetInt("AutoBaud", 1);
        WithStartupDialog([&](CSTARTUP3& dlg) {
            dlg.SetDlgItemText(IDC_BAUD_COMBO, text);
            ui::UserClick(dlg.GetDlgItem(IDC_AUTO_BAUD));
            ui::ProcessPending();
            EXPECT_TRUE(dlg.m_bAutoBaud == 0 && dlg.IsItemEnabled(IDC_BAUD_COMBO));
            EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, baud) << text;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_BAUD_COMBO), std::to_string(baud)) << text;
        });
    }
    EXPECT_EQ(wire.device.opens(), 0);
}

// A typed baud the port cannot run at is refused with the rates it takes; the last good one
// stays in use and on show.
TEST(StartupDialog, TypedBaudThePortCannotSetIsRefused) {
    const std::string rates =
        "It takes 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600 or 115200 baud.";
    const struct {
        const char* typed;
        int baud;
        const char* told;  // "" for none
    } rows[] = {
        {"192001", 19200, "The serial port cannot run at 192001 baud.\n"},
        {"1200", 19200, "The serial port cannot run at 1200 baud.\n"},
        {"56000", 56000, ""},
        {"2400", 2400, ""},
    };
    Wire wire;
    theApp().iComPortTable[0] = 1;
    for (const auto& row : rows) {
        ui::Settings::SetInt("LastBaud", 19200);
        ui::Settings::SetInt("AutoBaud", 1);
        ui::MessageBoxRecorder boxes;
        WithStartupDialog([&](CSTARTUP3& dlg) {
            dlg.SetDlgItemText(IDC_BAUD_COMBO, row.typed);
            ui::UserClick(dlg.GetDlgItem(IDC_AUTO_BAUD));
            ui::ProcessPending();
            EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, row.baud) << row.typed;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_BAUD_COMBO), std::to_string(row.baud));
        });
        EXPECT_EQ(boxes.texts(), *row.told ? std::vector<std::string>{row.told + rates}
                                           : std::vector<std::string>{})
            << row.typed;
    }
}

}  // namespace

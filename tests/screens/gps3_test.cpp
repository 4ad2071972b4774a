// The output setup screen headless: every rate combo of both ports, "ALL OFF", the 20 Hz
// choice, the mask and age entries key by key, the baud change with and without a radio
// modem, and ".rcf" files saved and loaded through the file browser.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <QTreeWidget>
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/clock.h"
#include "screens/position/GPS_3.h"
#include "shell/BaseDialog.h"
#include "shell/DiffSource.h"
#include "shell/FileOpenDlg.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace {

using Lines = std::vector<std::string>;

// The correction-port lines every sent change ends with (correction output off).
const Lines kCorrection = {"$JASC,BEAC,0,OTHER\r\n",
                           "$JASC,RTCM,0,OTHER\r\n",
                           "$JASC,BEAC,0,OTHER\r\n",
                           "$JASC,RTCM,0,OTHER\r\n",
                           "$JASC,BEAC,0,OTHER\r\n",
                           "$JASC,BEAC,0,OTHER\r\n",
                           "$JASC,RTCM,0,OTHER\r\n",
                           "$JASC,BEAC,0,OTHER\r\n",
                           "$JASC,RTCM,0,OTHER\r\n",
                           "$JASC,RTCM,0,OTHER\r\n",
                           "~20"};

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A radio modem that answers "OK" to the probe: the clock's pause after an "ATMD" is when the
// reader thread would have seen the answer.
class ModemClock : public platform::Clock {
public:
    ModemClock(platform::Clock& inner, shelltest::WireLog& wire) : inner_(inner), wire_(wire) {}
    uint32_t Now() override { return inner_.Now(); }
    void Sleep(uint32_t ms) override {
        const Lines events = wire_.Events();
        if (answers && !events.empty() && events.back() == "ATMD\r\n") theApp().bModemOK = 1;
        inner_.Sleep(ms);
    }
    bool answers = false;

private:
    platform::Clock& inner_;
    shelltest::WireLog& wire_;
};

class Gps3Test : public shelltest::ScreenTest {
protected:
    void StartAt19200() {
        Start();
        // The file browser starts in the home folder.
        ::setenv("HOME", shelltest::TempDir().c_str(), 1);
        ReopenPort(1, 19200);
        WizardInfo& live = g_GPS.Info.Settings.WizardLive;
        live.Init();
        live.iNMEABaudRate = live.iRTCMBaudRate = 19200;
        live.iElevation = 10;
        live.iMaxAge = 30;
        g_GPS.Info.Settings.WizardSnapshot = live;
        ClearWire();
    }
    CGPS_3* S() { return As<CGPS_3>(SCR_GPS_3); }
    WizardInfo& Live() { return g_GPS.Info.Settings.WizardLive; }

    template <class T>
    static T* Top() {
        return dynamic_cast<T*>(ui::Host::Instance().TopPage());
    }
    void WaitBrowser(ui::StepRunner& run) {
        run.AddWait([] { return Top<CFileOpenDlg>() != nullptr; }, 5000,
                    [] { ADD_FAILURE() << "no file browser"; });
    }
    // Clicks a file of the browser's list by its name.
    static void ClickFile(const std::string& name) {
        auto* list = Top<CFileOpenDlg>()->Item<QTreeWidget>(1001);
        ASSERT_NE(list, nullptr);
        const auto items = list->findItems(QString::fromStdString(name), Qt::MatchExactly, 0);
        ASSERT_EQ(items.size(), 1) << name;
        ui::UserClick(list->viewport(), list->visualItemRect(items[0]).center());
    }
    static void BrowserOk() { ui::UserClickDesign(81, 430); }
};

TEST_F(Gps3Test, RateCombosAndAllOffSendThePortsCommands) {
    StartAt19200();
    Live().ThisPortConfig.eHEHDT = RATE_10HZ;
    Live().OtherPortConfig.eHPR = RATE_1HZ;
    g_GPS.Info.Settings.WizardSnapshot = Live();
    Open(SCR_GPS_3);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        EXPECT_EQ(Wire(), Lines{});  // nothing on entry
        Tick();
        EXPECT_EQ(Wire(), (Lines{"$JDIFF\r\n", "~0"}));
        struct Case {
            int combo, index;
            Lines first;
        };
        const Case cases[] = {
            {1035, 2, {"$JASC,GPGGA,5\r\n", "~20"}},
            {1053, 3, {"$JASC,GPGGA,0.2,OTHER\r\n", "\r\n", "~20"}},
            {1036, 4, {"$JASC,GPGLL,10\r\n", "~20"}},
            {1054, 1, {"$JASC,GPGLL,1,OTHER\r\n", "\r\n", "~20"}},
            {1037, 1, {"$JASC,GPGSA,1\r\n", "~20"}},
            {1055, 1, {"$JASC,GPGSA,1,OTHER\r\n", "\r\n", "~20"}},
            {1038, 1, {"$JASC,GPGST,1\r\n", "~20"}},
            {1056, 1, {"$JASC,GPGST,1,OTHER\r\n", "\r\n", "~20"}},
            {1039, 1, {"$JASC,GPGSV,1\r\n", "~20"}},
            {1057, 1, {"$JASC,GPGSV,1,OTHER\r\n", "\r\n", "~20"}},
            {1040, 3, {"$JASC,GPRMC,0.2\r\n", "~20"}},
            {1058, 2, {"$JASC,GPRMC,5,OTHER\r\n", "\r\n", "~20"}},
            {1041, 1, {"$JASC,GPRRE,1\r\n", "~20"}},
            {1059, 1, {"$JASC,GPRRE,1,OTHER\r\n", "\r\n", "~20"}},
            {1049, 1, {"$JASC,GPVTG,1\r\n", "~20"}},
            {1060, 4, {"$JASC,GPVTG,10,OTHER\r\n", "\r\n", "~20"}},
            {1050, 2, {"$JASC,GPZDA,5\r\n"}},  // the one rate without its own pause
            {1061, 1, {"$JASC,GPZDA,1,OTHER\r\n", "\r\n"}},
            {1051, 1, {"$JBIN,95,1\r\n", "~20"}},
            {1062, 1, {"$JBIN,95,1,OTHER\r\n", "\r\n", "~20"}},
            {1052, 1, {"$JBIN,96,1\r\n", "~20"}},
            {1063, 1, {"$JBIN,96,1,OTHER\r\n", "\r\n", "~20"}},
            {1035, 2, {}},  // unchanged: only the correction lines
            {1035, 0, {"$JASC,GPGGA,0\r\n", "~20"}},
        };
        for (const Case& c : cases) {
            ClearWire();
            Choose(c.combo, c.index);
            EXPECT_EQ(Wire(), Join(c.first, kCorrection)) << c.combo;
        }
        // "ALL OFF" of this port: its rates go off, the other port and the heading stay.
        ClearWire();
        Click(IDC_GPS3_ALL_OFF_THIS);
        const Lines off = Wire();
        for (const char* line : {"$JASC,GPGLL,0\r\n", "$JASC,GPGSA,0\r\n", "$JASC,GPRMC,0\r\n",
                                 "$JASC,GPZDA,0\r\n", "$JBIN,95,0\r\n", "$JBIN,96,0\r\n"})
            EXPECT_NE(std::find(off.begin(), off.end(), line), off.end()) << line;
        for (const std::string& line : off) {
            if (line.rfind("$JASC,BEAC", 0) == 0 || line.rfind("$JASC,RTCM", 0) == 0) continue;
            EXPECT_EQ(line.find("OTHER"), std::string::npos) << line;
            EXPECT_EQ(line.find("HEHDT"), std::string::npos) << line;
        }
        EXPECT_EQ(Live().ThisPortConfig.eHEHDT, RATE_10HZ);
        EXPECT_EQ(Live().OtherPortConfig.eHPR, RATE_1HZ);
        EXPECT_EQ(Live().OtherPortConfig.eRMC, RATE_5HZ);
        EXPECT_EQ(Text(1058), "5 Hz");
        EXPECT_EQ(Text(1040), "OFF");
        ClearWire();
        Click(IDC_GPS3_ALL_OFF_OTHER);
        EXPECT_EQ(Live().OtherPortConfig.eRMC, RATE_OFF);
        EXPECT_EQ(Live().OtherPortConfig.eHPR, RATE_1HZ);
        EXPECT_EQ(Text(1058), "OFF");
        EndAll();
    });
    Run(run);
}

TEST_F(Gps3Test, TwentyHertzOnlyWithTheCapability) {
    StartAt19200();
    Live().ThisPortConfig.eGGA = RATE_20HZ;
    Live().ThisPortConfig.eGSA = RATE_5HZ;  // a rate its row does not offer
    g_GPS.Info.Settings.WizardSnapshot = Live();
    SetOptionCode(0);
    Open(SCR_GPS_3);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        CGPS_3* s = S();
        EXPECT_EQ(s->GetCount(1035), 5);
        EXPECT_EQ(Text(1035), "10 Hz");
        EXPECT_EQ(s->GetCount(1037), 2);
        EXPECT_EQ(s->GetCurSel(1037), -1);
        SetOptionCode(OPTION_20HZ);
        s->OnInitDialog();
        EXPECT_EQ(s->GetCount(1035), 6);
        EXPECT_EQ(Text(1035), "20 Hz");
        ClearWire();
        Choose(1053, 5);
        EXPECT_EQ(Wire(), Join({"$JASC,GPGGA,20,OTHER\r\n", "\r\n", "~20"}, kCorrection));
        ResetOptionCode();
        EndAll();
    });
    Run(run);
}

TEST_F(Gps3Test, MaskAndAgeSendOnlyWholeNumbers) {
    StartAt19200();
    Open(SCR_GPS_3);
    struct Key {
        int edit;
        const char* key;   // "" clears the edit first
        const char* sent;  // first line sent, nullptr for nothing
        const char* shown;
    };
    const Key keys[] = {
        {IDC_GPS3_ELEVATION, "", nullptr, ""},
        {IDC_GPS3_ELEVATION, "1", "$JMASK,1\r\n", "1"},
        {IDC_GPS3_ELEVATION, "2", "$JMASK,12\r\n", "12"},
        {IDC_GPS3_ELEVATION, ".", nullptr, "12."},
        {IDC_GPS3_ELEVATION, "5", nullptr, "12.5"},
        {IDC_GPS3_ELEVATION, "", nullptr, ""},
        {IDC_GPS3_ELEVATION, "-", nullptr, "-"},
        {IDC_GPS3_ELEVATION, "4", "$JMASK,0\r\n", "0"},
        {IDC_GPS3_ELEVATION, "", nullptr, ""},
        {IDC_GPS3_ELEVATION, "1", "$JMASK,1\r\n", "1"},
        {IDC_GPS3_ELEVATION, "2", "$JMASK,12\r\n", "12"},
        {IDC_GPS3_ELEVATION, "0", "$JMASK,90\r\n", "90"},
        {IDC_GPS3_ELEVATION, "x", nullptr, "90x"},
        {IDC_GPS3_MAX_AGE, "", nullptr, ""},
        {IDC_GPS3_MAX_AGE, "6", "$JAGE,6\r\n", "6"},
        {IDC_GPS3_MAX_AGE, "0", "$JAGE,60\r\n", "60"},
        {IDC_GPS3_MAX_AGE, "0", "$JAGE,600\r\n", "600"},
        {IDC_GPS3_MAX_AGE, "", nullptr, ""},
        {IDC_GPS3_MAX_AGE, "-", nullptr, "-"},
        {IDC_GPS3_MAX_AGE, "9", "$JAGE,0\r\n", "0"},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        for (const Key& k : keys) {
            ClearWire();
            if (*k.key == '\0')
                S()->SetDlgItemText(k.edit, "");
            else
                Type(k.edit, k.key);
            const Lines wire = Wire();
            if (k.sent) {
                ASSERT_FALSE(wire.empty()) << k.shown;
                EXPECT_EQ(wire.front(), k.sent) << k.shown;
            } else {
                EXPECT_EQ(wire, Lines{}) << k.shown;
            }
            EXPECT_EQ(Text(k.edit), k.shown);
        }
        EXPECT_EQ(Live().iElevation, 90);
        EXPECT_EQ(Live().iMaxAge, 0);
        EndAll();
    });
    Run(run);
}

TEST_F(Gps3Test, ThisPortBaudWithAndWithoutModem) {
    struct Case {
        const char* name;
        bool modem;
        int type;
        int answer;  // to the question
        int recordBaud, portBaud;
        Lines wireStart;
        std::vector<std::string> boxes;
    };
    const Lines probe = {"ATMC\r\n", "~200", "ATMD\r\n", "~200", "ATMD\r\n", "~200"};
    const std::string question =
        "You have chosen to change the baud rates.\n Do you want to continue?";
    const std::string refused =
        "You have chosen either the incorrect receiver type or incorrect data mode, operation "
        "failed!";
    const Case cases[] = {
        {"cable",
         false,
         RECEIVER_GPS,
         ui::IDOK,
         38400,
         38400,
         Join(probe, {"$JBAUD,38400\r\n", "~250", "~500"}),
         {question}},
        {"radio modem",
         true,
         RECEIVER_BLUETOOTH,
         ui::IDOK,
         38400,
         19200,
         Join(probe, {"$JBAUD,38400\r\n", "~250", "~500", "$JBAUD,38400\r\n", "~250", "~500",
                      "ATMC\r\n", "~200", "ATSW20,157,1\r\n", "~200", "ATSW20,157,1\r\n", "~200",
                      "ATMD\r\n", "~200", "ATMD\r\n", "~200"}),
         {question}},
        {"modem on a cable receiver",
         true,
         RECEIVER_GPS,
         ui::IDOK,
         19200,
         19200,
         probe,
         {question, refused}},
        {"no modem on a radio link",
         false,
         RECEIVER_BLUETOOTH,
         ui::IDOK,
         19200,
         19200,
         probe,
         {question, refused}},
        {"cancelled", false, RECEIVER_GPS, ui::IDCANCEL, 19200, 19200, {}, {question}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAt19200();
        g_GPS.Info.eReceiverType = c.type;
        g_GPS.Info.eCurCorrSource = CORR_SBAS;
        iTargetBaud = 19200;
        ModemClock modemClock(clock, wire_);
        modemClock.answers = c.modem;
        platform::SetClock(&modemClock);
        ui::MessageBoxRecorder boxes;
        boxes.Answer(c.answer);
        Open(SCR_GPS_3);
        ui::StepRunner run;
        WaitShown(run, SCR_GPS_3);
        run.Add([&] {
            ClearWire();
            Choose(IDC_GPS3_BAUD_THIS, 3);
            const Lines wire = Wire();
            ASSERT_GE(wire.size(), c.wireStart.size());
            EXPECT_EQ(Lines(wire.begin(), wire.begin() + long(c.wireStart.size())), c.wireStart);
            EXPECT_EQ(boxes.texts(), c.boxes);
            EXPECT_EQ(Live().iNMEABaudRate, c.recordBaud);
            EXPECT_EQ(Text(IDC_GPS3_BAUD_THIS), std::to_string(c.recordBaud));
            EXPECT_EQ(OpenPortBaud(), c.portBaud);
            EXPECT_EQ(iTargetBaud, c.recordBaud);
            if (c.portBaud != 19200) {
                // The link starts over at the new baud and is told the whole change.
                EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_NONE);
                EXPECT_EQ(g_GPS.Info.Comm.iOpenBaudRate, 38400);
                EXPECT_EQ(g_GPS.Info.Settings.WizardSnapshot.iNMEABaudRate, 38400);
            }
            // The other port's baud asks nothing and is sent because it changed.
            ClearWire();
            Choose(IDC_GPS3_BAUD_OTHER, 1);
            const Lines other = Join({"$JBAUD,9600,OTHER\r\n", "~250", "~20"}, kCorrection);
            const Lines tail = Wire();
            ASSERT_GE(tail.size(), other.size());
            EXPECT_EQ(Lines(tail.end() - long(other.size()), tail.end()), other);
            EXPECT_EQ(boxes.texts().size(), c.boxes.size());
            EndAll();
        });
        Run(run);
        platform::SetClock(&clock);
        TearDown();
    }
}

TEST_F(Gps3Test, ProfileSavedAndLoadedThroughTheBrowser) {
    StartAt19200();
    Live().ThisPortConfig.eGGA = RATE_5HZ;
    Live().OtherPortConfig.eRMC = RATE_1HZ;
    Live().iElevation = 7;
    g_GPS.Info.Settings.WizardSnapshot = Live();
    ui::MessageBoxRecorder boxes;
    Open(SCR_GPS_3);
    std::string first, second;
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_3);
    run.Add([&] { Click(IDC_GPS3_SAVE); });
    WaitBrowser(run);
    run.Add([&] { BrowserOk(); });  // a default name in the home folder
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        first = Text(IDC_GPS3_PROFILE);
        ASSERT_EQ(first.rfind(shelltest::TempDir(), 0), 0u) << first;
        ASSERT_EQ(first.substr(first.size() - 4), ".rcf");
        // Changes after saving are undone by loading.
        Choose(1035, 0);
        Choose(IDC_GPS3_BAUD_OTHER, 0);
        ClearWire();
        Click(IDC_GPS3_LOAD);
    });
    WaitBrowser(run);
    run.Add([&] {
        ClickFile(first.substr(first.rfind('/') + 1));
        BrowserOk();
    });
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        Lines wire = Wire();
        // The screen's once-a-second query may fall between the steps.
        std::erase_if(wire, [](const std::string& e) { return e == "$JDIFF\r\n" || e == "~0"; });
        // The loaded ports first, then the whole configuration; the baud is the one open,
        // so the port is not touched.
        ASSERT_GE(wire.size(), 2u);
        EXPECT_EQ(wire[0], "$JASC,GPGGA,5\r\n");
        const auto jbaud = std::find(wire.begin(), wire.end(), "$JBAUD,19200\r\n");
        ASSERT_NE(jbaud, wire.end());
        EXPECT_EQ(*(jbaud + 2), "$JBAUD,19200,OTHER\r\n");
        EXPECT_EQ(*(jbaud + 4), "$JMASK,7\r\n");
        EXPECT_EQ(std::find(wire.begin(), wire.end(), "ATMC\r\n"), wire.end());
        EXPECT_EQ(Text(1035), "5 Hz");
        EXPECT_EQ(Text(IDC_GPS3_BAUD_OTHER), "19200");
        EXPECT_EQ(Text(IDC_GPS3_ELEVATION), "7");
        Click(IDC_GPS3_SAVE);
    });
    WaitBrowser(run);
    run.Add([&] { BrowserOk(); });
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        second = Text(IDC_GPS3_PROFILE);
        EXPECT_NE(second, first);
        EXPECT_EQ(shelltest::ReadFile(second), shelltest::ReadFile(first));
        // A file asking for a baud the receiver does not offer keeps the old baud.
        const std::string bad = std::regex_replace(
            shelltest::ReadFile(first), std::regex("(iNMEABaudRate\\D*)19200"), "$011234");
        ASSERT_NE(bad.find("1234"), std::string::npos);
        shelltest::WriteFile(first, bad);
        boxes.Clear();
        ClearWire();
        Click(IDC_GPS3_LOAD);
    });
    WaitBrowser(run);
    run.Add([&] {
        ClickFile(first.substr(first.rfind('/') + 1));
        BrowserOk();
    });
    WaitShown(run, SCR_GPS_3);
    run.Add([&] {
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_NE(boxes.texts()[0].find(first), std::string::npos);
        EXPECT_NE(boxes.texts()[0].find("1234"), std::string::npos);
        for (const std::string& line : Wire()) EXPECT_EQ(line.find("1234"), std::string::npos);
        EXPECT_EQ(Live().iNMEABaudRate, 19200);
        EXPECT_EQ(OpenPortBaud(), 19200);
        EXPECT_EQ(Text(IDC_GPS3_BAUD_THIS), "19200");
        Shot("gps3_setup_scale_1.0");
        EndAll();
    });
    Run(run);
}

}  // namespace

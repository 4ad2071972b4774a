// The output setup screen: rates, "ALL OFF", 20 Hz, mask and age, baud changes, ".rcf" files.

#include <stdlib.h>
#include <sys/stat.h>

#include <QTreeWidget>
#include <regex>

#include "screens/position/GPS_3.h"
#include "screens/screen_walk.h"
#include "shell/FileOpenDlg.h"

namespace {

// The correction-port lines every sent change ends with (correction output off).
const std::string kCorrection = [] {
    std::string s;
    for (const char* k :
         {"BEAC", "RTCM", "BEAC", "RTCM", "BEAC", "BEAC", "RTCM", "BEAC", "RTCM", "RTCM"})
        s += std::string("$JASC,") + k + ",0,OTHER\r\n";
    return s + "~20";
}();

class Gps3Test : public shelltest::WalkTest {
protected:
    void StartAt19200() {
        Start();
        ::setenv("HOME", shelltest::TempDir().c_str(), 1);  // where the file browser starts
        ReopenPort(1, 19200);
        WizardInfo& live = Live();
        live.Init();
        live.iNMEABaudRate = live.iRTCMBaudRate = 19200;
        live.iElevation = 10;
        live.iMaxAge = 30;
        g_GPS.Info.Settings.WizardSnapshot = live;
        ClearWire();
    }
    CGPS_3* S() { return As<CGPS_3>(SCR_GPS_3); }
    WizardInfo& Live() { return g_GPS.Info.Settings.WizardLive; }
};

TEST_F(Gps3Test, RatesAllOffTwentyHertzMaskAndAge) {
    StartAt19200();
    Live().ThisPortConfig.eHEHDT = RATE_10HZ;
    Live().OtherPortConfig.eHPR = RATE_1HZ;
    Live().ThisPortConfig.eGSA = RATE_5HZ;  // a rate its row does not offer
    g_GPS.Info.Settings.WizardSnapshot = Live();
    SetOptionCode(0);
    OnScreen(SCR_GPS_3, [&] {
        EXPECT_EQ(Sent(), "");  // nothing on entry
        Tick();
        EXPECT_EQ(Sent(), "$JDIFF\r\n~0");
        EXPECT_EQ(S()->GetCount(1035), 5);
        EXPECT_EQ(S()->GetCount(1037), 2);
        EXPECT_EQ(S()->GetCurSel(1037), -1);
        // 1 Hz on every row of both ports; ZDA is the one rate without its own pause.
        const char* const names[11] = {"JASC,GPGGA", "JASC,GPGLL", "JASC,GPGSA", "JASC,GPGST",
                                       "JASC,GPGSV", "JASC,GPRMC", "JASC,GPRRE", "JASC,GPVTG",
                                       "JASC,GPZDA", "JBIN,95",    "JBIN,96"};
        for (int row = 0; row < 11; ++row) {
            const std::string pause = row == 8 ? "" : "~20";
            EXPECT_EQ(ChooseSent(kGps3ThisPortCombos[row], 1),
                      "$" + std::string(names[row]) + ",1\r\n" + pause + kCorrection);
            EXPECT_EQ(ChooseSent(kGps3OtherPortCombos[row], 1),
                      "$" + std::string(names[row]) + ",1,OTHER\r\n\r\n" + pause + kCorrection);
        }
        // Combo, item, the line before the correction lines (none when unchanged).
        // clang-format off
        const struct { int combo, index; const char* first; } cases[] = {{1035, 2, "$JASC,GPGGA,5\r\n~20"},
            {1053, 3, "$JASC,GPGGA,0.2,OTHER\r\n\r\n~20"}, {1058, 2, "$JASC,GPRMC,5,OTHER\r\n\r\n~20"}, {1058, 2, ""}};
        // clang-format on
        for (const auto& c : cases)
            EXPECT_EQ(ChooseSent(c.combo, c.index), c.first + kCorrection) << c.combo;
        // "ALL OFF" of this port: its rates go off, the other port and the heading stay.
        EXPECT_EQ(ClickSent(IDC_GPS3_ALL_OFF_THIS),
                  "$JASC,GPGGA,0\r\n~20$JASC,GPGLL,0\r\n~20$JASC,GPGST,0\r\n~20$JASC,GPGSV,0\r\n"
                  "~20$JASC,GPRMC,0\r\n~20$JASC,GPRRE,0\r\n~20$JASC,GPVTG,0\r\n~20$JASC,GPZDA,"
                  "0\r\n$JASC,GPGSA,0\r\n"
                  "~20$JBIN,95,0\r\n~20$JBIN,96,0\r\n~20" +
                      kCorrection);
        EXPECT_EQ(Live().ThisPortConfig.eHEHDT, RATE_10HZ);
        EXPECT_EQ(Texts({1058, 1036}), "5 Hz|OFF");
        Click(IDC_GPS3_ALL_OFF_OTHER);
        EXPECT_EQ(Live().OtherPortConfig.eRMC, RATE_OFF);
        EXPECT_EQ(Live().OtherPortConfig.eHPR, RATE_1HZ);
        // 20 Hz only with the capability.
        Live().ThisPortConfig.eGGA = RATE_20HZ;
        g_GPS.Info.Settings.WizardSnapshot = Live();
        S()->OnInitDialog();
        EXPECT_EQ(Text(1035), "10 Hz");
        SetOptionCode(OPTION_20HZ);
        S()->OnInitDialog();
        EXPECT_EQ(S()->GetCount(1035), 6);
        EXPECT_EQ(Text(1035), "20 Hz");
        EXPECT_EQ(ChooseSent(1053, 5), "$JASC,GPGGA,20,OTHER\r\n\r\n~20" + kCorrection);
        ResetOptionCode();
        // Mask and age go out as whole numbers only, clamped.
        // Edit, keys, the first line sent after each key, shown.
        // clang-format off
        const struct { int edit; const char *keys, *first, *shown; } typed[] = {
            {IDC_GPS3_ELEVATION, "12.5", "$JMASK,1|$JMASK,12|||", "12.5"}, {IDC_GPS3_ELEVATION, "-4", "|$JMASK,0|", "0"},
            {IDC_GPS3_ELEVATION, "120x", "$JMASK,1|$JMASK,12|$JMASK,90||", "90x"},
            {IDC_GPS3_MAX_AGE, "600", "$JAGE,6|$JAGE,60|$JAGE,600|", "600"}};
        // clang-format on
        for (const auto& c : typed) {
            S()->SetDlgItemText(c.edit, "");
            std::string first;
            for (const char* k = c.keys; *k; ++k) {
                ClearWire();
                Type(c.edit, std::string(1, *k));
                first +=
                    (Wire().empty() ? "" : Wire().front().substr(0, Wire().front().size() - 2)) +
                    "|";
            }
            EXPECT_EQ(first, c.first) << c.keys;
            EXPECT_EQ(Text(c.edit), c.shown) << c.keys;
        }
        EXPECT_EQ(Live().iElevation * 1000 + Live().iMaxAge, 90600);
    });
}

// Mask and age take whole numbers only: anything else is refused aloud and sends nothing.
TEST_F(Gps3Test, MaskAndAgeRefuseWhatIsNotAWholeNumber) {
    StartAt19200();
    OnScreen(SCR_GPS_3, [&] {
        // Edit, text standing in it, the key typed, the first line that goes out, what is said.
        // clang-format off
        const struct { int edit; const char *before, *key, *sent, *told; } typed[] = {
            {IDC_GPS3_ELEVATION, "12.", "5", "", "Please enter an integer.|"},
            {IDC_GPS3_MAX_AGE, "1800-", "x", "", "Please enter an integer.|"},
            {IDC_GPS3_ELEVATION, "4", "x", "", "Please enter an integer.|"},
            {IDC_GPS3_MAX_AGE, "9999999999", "9", "", "Please enter an integer.|"},
            {IDC_GPS3_ELEVATION, "", "-", "", "Please enter an integer.|"}, {IDC_GPS3_ELEVATION, "12", ".", "", ""},
            {IDC_GPS3_ELEVATION, "4", "5", "$JMASK,45\r\n", ""},
            {IDC_GPS3_MAX_AGE, "180", "0", "$JAGE,1800\r\n", ""}};
        // clang-format on
        for (const auto& t : typed) {
            SCOPED_TRACE(std::string(t.before) + t.key);
            S()->SetDlgItemText(t.edit, t.before);
            ClearWire();
            Told();
            Type(t.edit, t.key);
            EXPECT_EQ(Wire().empty() ? "" : Wire().front(), t.sent);
            EXPECT_EQ(Told(), t.told);
            EXPECT_EQ(Text(t.edit), std::string(t.before) + t.key);
        }
        EXPECT_EQ(Live().iElevation * 10000 + Live().iMaxAge, 451800);
    });
}

TEST_F(Gps3Test, ThisPortBaudWithAndWithoutModem) {
    const std::string probe = "ATMC\r\n~200ATMD\r\n~200ATMD\r\n~200";
    const std::string question =
        "You have chosen to change the baud rates.\n Do you want to continue?";
    const std::string refused =
        "You have chosen either the incorrect receiver type or incorrect data mode, operation "
        "failed!";
    const std::string cable = probe + "$JBAUD,38400\r\n~250~500";
    const std::string radio = cable +
                              "$JBAUD,38400\r\n~250~500ATMC\r\n~200ATSW20,157,1\r\n~200"
                              "ATSW20,157,1\r\n~200ATMD\r\n~200ATMD\r\n~200";
    // clang-format off
    const struct { bool modem; int type, answer, recordBaud, portBaud; std::string wireStart; std::vector<std::string> boxes; } cases[] = {
        {false, RECEIVER_GPS, ui::IDOK, 38400, 38400, cable, {question}},
        {true, RECEIVER_BLUETOOTH, ui::IDOK, 38400, 19200, radio, {question}},
        {true, RECEIVER_GPS, ui::IDOK, 19200, 19200, probe, {question, refused}},
        {false, RECEIVER_BLUETOOTH, ui::IDOK, 19200, 19200, probe, {question, refused}},
        {false, RECEIVER_GPS, ui::IDCANCEL, 19200, 19200, "", {question}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wireStart);
        StartAt19200();
        g_GPS.Info.eReceiverType = c.type;
        g_GPS.Info.eCurCorrSource = CORR_SBAS;
        iTargetBaud = 19200;
        AnsweringClock modem(this);  // a radio modem answers "OK" to the probe
        if (c.modem) modem.answers["ATMD\r\n"] = [] { theApp().bModemOK = 1; };
        platform::SetClock(&modem);
        boxes.Clear();
        boxes.Answer(c.answer);
        OnScreen(SCR_GPS_3, [&] {
            EXPECT_EQ(ChooseSent(IDC_GPS3_BAUD_THIS, 3).substr(0, c.wireStart.size()), c.wireStart);
            EXPECT_EQ(boxes.texts(), c.boxes);
            EXPECT_EQ(std::vector<int>({Live().iNMEABaudRate, std::stoi(Text(IDC_GPS3_BAUD_THIS)),
                                        OpenPortBaud(), iTargetBaud}),
                      std::vector<int>({c.recordBaud, c.recordBaud, c.portBaud, c.recordBaud}));
            if (c.portBaud != 19200) {
                // The link starts over at the new baud and is told the whole change.
                EXPECT_EQ(
                    std::vector<int>({g_GPS.Info.eCurCorrSource, g_GPS.Info.Comm.iOpenBaudRate,
                                      g_GPS.Info.Settings.WizardSnapshot.iNMEABaudRate}),
                    std::vector<int>({CORR_NONE, 38400, 38400}));
            }
            // The other port's baud asks nothing and is sent because it changed.
            const std::string sent = ChooseSent(IDC_GPS3_BAUD_OTHER, 1);
            EXPECT_TRUE(sent.ends_with("$JBAUD,9600,OTHER\r\n~250~20" + kCorrection)) << sent;
            EXPECT_EQ(boxes.texts().size(), c.boxes.size());
        });
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
    const std::string fifo = shelltest::TempDir() + "/pipe.rcf";
    std::string first;
    const auto file = [&] { return first.substr(first.rfind('/') + 1); };
    // Each body ends with the click that opens the browser, as its events run the next steps.
    const auto browser = Top<CFileOpenDlg>();
    Walk({{SCR_GPS_3, [&] { Click(IDC_GPS3_SAVE); }},
          {browser, [] { PickFile(""); }},  // a default name at home
          {SCR_GPS_3,
           [&] {
               first = Text(IDC_GPS3_PROFILE);
               ASSERT_TRUE(first.starts_with(shelltest::TempDir()) && first.ends_with(".rcf"));
               // Changes after saving are undone by loading.
               Choose(1035, 0);
               Choose(IDC_GPS3_BAUD_OTHER, 0);
               ClearWire();
               Click(IDC_GPS3_LOAD);
           }},
          {browser, [&] { PickFile(file()); }},
          {SCR_GPS_3,
           [&] {
               // The loaded ports first, then the whole configuration; the baud is the one
               // open, so the port is not touched. The once-a-second query may fall between.
               const std::string sent =
                   std::regex_replace(Sent(), std::regex("\\$JDIFF\r\n|~0(?![0-9])"), "");
               EXPECT_EQ(sent.rfind("$JASC,GPGGA,5\r\n", 0), 0u) << sent;
               EXPECT_NE(sent.find("$JBAUD,19200\r\n~250$JBAUD,19200,OTHER\r\n~250$JMASK,7\r\n"),
                         std::string::npos);
               EXPECT_EQ(sent.find("ATMC"), std::string::npos);
               EXPECT_EQ(Texts({1035, IDC_GPS3_BAUD_OTHER, IDC_GPS3_ELEVATION}), "5 Hz|19200|7");
               ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
               Told();
               Click(IDC_GPS3_SAVE);
           }},
          {browser, [] { PickFile("pipe.rcf"); }},
          {SCR_GPS_3,
           [&] {
               // A file that cannot be written is named with the reason; the profile stays.
               EXPECT_EQ(Told(), "Could not write the receiver configuration file\ncannot write " +
                                     fifo + ": not a regular file|");
               EXPECT_EQ(Text(IDC_GPS3_PROFILE), first);
               // A file asking for a baud the receiver does not offer is refused whole.
               const std::string bad = std::regex_replace(
                   shelltest::ReadFile(first), std::regex("(iNMEABaudRate\\D*)19200"), "$011234");
               ASSERT_NE(bad.find("1234"), std::string::npos);
               shelltest::WriteFile(first, bad);
               ClearWire();
               Click(IDC_GPS3_LOAD);
           }},
          {browser, [&] { PickFile(file()); }},
          {SCR_GPS_3, [&] {
               EXPECT_EQ(Told(), "The receiver configuration file\n" + first +
                                     "\nwas not loaded: iNMEABaudRate=1234 in [CurrentWizard] is "
                                     "not a baud rate (4800, 9600, 19200, 38400, 57600 or "
                                     "115200).\nNothing was sent.|");
               EXPECT_EQ(std::regex_replace(Sent(), std::regex("\\$JDIFF\r\n~0"), ""), "");
               EXPECT_EQ(std::to_string(Live().iNMEABaudRate) + std::to_string(OpenPortBaud()) +
                             Text(IDC_GPS3_BAUD_THIS),
                         "192001920019200");
               Shot("gps3_setup_scale_1.0");
           }}});
}

// A file with a value its field cannot hold is refused whole, named with the key and value.
TEST_F(Gps3Test, ProfileWithAValueItsFieldCannotHoldIsRefused) {
    StartAt19200();
    Live().ThisPortConfig.eGGA = RATE_5HZ;
    g_GPS.Info.Settings.WizardSnapshot = Live();
    const std::string dir = shelltest::TempDir() + "/";
    // The file, and the value refused.
    // clang-format off
    const struct { const char *name, *text, *refused; } files[] = {
        {"rate.rcf", "[CurrentWizard]\r\niElevation=7\r\n[ThisPortConfig]\r\neGGA=9\r\n",
         "eGGA=9 in [ThisPortConfig] is not a rate code (0 to 5)"},
        {"lat.rcf", "[CurrentWizard]\r\ndRefLat=1e300\r\n[GPSData]\r\nfHDGTau=1.5\r\n",
         "dRefLat=1e300 in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"port.rcf", "[CurrentWizard]\r\niElevation=7\r\neDfxPort=9\r\n",
         "eDfxPort=9 in [CurrentWizard] is not an output port (0 NONE, 1 PORTA, 2 PORTB, 3 PORTC)"}};
    // clang-format on
    // Each check ends with the click that opens the browser for the next file.
    const auto load = [this] {
        ClearWire();
        Told();
        Click(IDC_GPS3_LOAD);
    };
    std::vector<Step> steps{{SCR_GPS_3, load}};
    for (const auto& f : files) {
        shelltest::WriteFile(dir + f.name, f.text);
        steps.push_back({Top<CFileOpenDlg>(), [&f] { PickFile(f.name); }});
        steps.push_back(
            {SCR_GPS_3, [&, last = &f == std::end(files) - 1] {
                 SCOPED_TRACE(f.name);
                 EXPECT_EQ(Told(), "The receiver configuration file\n" + dir + f.name +
                                       "\nwas not loaded: " + f.refused + ".\nNothing was sent.|");
                 // Nothing but the once-a-second query.
                 EXPECT_EQ(std::regex_replace(Sent(), std::regex("\\$JDIFF\r\n~0"), ""), "");
                 EXPECT_EQ(Texts({1035, IDC_GPS3_ELEVATION}), "5 Hz|10");
                 if (!last) load();
             }});
    }
    Walk(steps);
    EXPECT_NE(g_GPS.Info.Nav.fHDGTau, 1.5f) << "nothing of a refused file is taken";
}

}  // namespace

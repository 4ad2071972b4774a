// The differential screens at their edges: a subscription that comes late, coordinates typed
// wrong, a run left pending, SBAS satellites among the L-band replies, control bytes in the
// receiver's texts.

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "screens/differential/LBND_1.h"
#include "screens/differential/LBND_2.h"
#include "screens/differential/LBND_3.h"
#include "screens/differential/TSpanDlg1.h"
#include "screens/differential/XREF_1.h"
#include "screens/position/GPS_6.h"
#include "screens/screen_walk.h"

namespace {

const char* const kNumber = "Please enter a number.|";
const char* const kLatitude = "Latitude must be between -90 and 90 degrees.|";
const char* const kLongitude = "Longitude must be between -180 and 180 degrees.|";
const char* const kHeight = "Height must be between -99999999999 and 999999999999 meters.|";

class DifferentialEdgeTest : public shelltest::WalkTest {
protected:
    // The next test's screens start with their first activation again.
    void TearDown() override {
        WalkTest::TearDown();
        std::fill(std::begin(bScreenOpened), std::end(bScreenOpened), 0);
    }
    // Over what the edit holds, one key at a time, each key's notification handled before
    // the next key, as a user types.
    void TypeKeys(int id, const std::string& text) {
        Retype(id, text.substr(0, 1));
        for (size_t i = 1; i < text.size(); ++i) Type(id, text.substr(i, 1));
    }
    bool Enabled(int id) { return Page()->IsItemEnabled(id); }
    std::string RunButtons() {
        std::string s;
        for (int id : {IDC_XREF_INIT_UNKNOWN, IDC_XREF_RECAL_UNKNOWN, IDC_XREF_INIT_SINGLE})
            s += Enabled(id) ? "1" : "0";
        return s;
    }
    // The navigation bar's GPS button, then (in the next step) its differential button.
    static void NavGps() { ui::UserClickDesign(61, 429); }
    static void NavDiff() { ui::UserClickDesign(95, 429); }
    std::string Status() {
        return Text(IDC_XREF_STATUS) + (Page()->IsItemVisible(IDC_XREF_LAMP_READY) ? "|ready" : "");
    }
};

// Refused, then subscribed: the run buttons come back as they were, and a later refusal warns
// again.
TEST_F(DifferentialEdgeTest, XRefRunsReturnWithTheSubscription) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    OnScreen(SCR_XREF_1, [&] {
        EXPECT_EQ(RunButtons(), "101");
        // clang-format off
        const struct { const char* reply; const char* told; const char* buttons; } steps[] = {
            {">JRAD,1,FAILED,Not Subscribed for AUTODIFF", "Not subscribed to x-Ref|", "000"},
            {nullptr, "", "000"}, {">JRAD,1,OK", "", "101"}, {nullptr, "", "101"},
            {">JRAD,1,FAILED,Not Subscribed for AUTODIFF", "Not subscribed to x-Ref|", "000"},
            {">JRAD,1,OK", "", "101"}};
        // clang-format on
        for (const auto& s : steps) {
            if (s.reply) Feed(s.reply);
            Tick();
            EXPECT_EQ(Told() + RunButtons(), std::string(s.told) + s.buttons) << s.reply;
        }
        // A recalibration made possible before the refusal is possible again after it.
        Click(IDC_XREF_INIT_UNKNOWN);
        Feed(">JRAD,1,FAILED,Not Subscribed for AUTODIFF");
        Tick();
        EXPECT_EQ(Told() + RunButtons(), "Not subscribed to x-Ref|000");
        Feed(">JRAD,1,OK");
        Tick();
        EXPECT_EQ(RunButtons(), "111");
    });
}

// Each visit asks anew: without a subscribed reply to its queries by the first tick the user
// is told once and the runs stop; a subscribed reply, also a late one, brings them back.
TEST_F(DifferentialEdgeTest, XRefWarnsWhenNoSubscribedReplyCame) {
    Start();
    g_GPS.Info.eCurCorrSource = g_GPS.Info.eReqCorrSource = CORR_XREF;
    const std::string refused = "Not subscribed to x-Ref|";
    // clang-format off
    const struct { const char* reply; int demo; ui::UINT timer; std::string told; const char* buttons; } rows[] = {
        {nullptr, 0, 1, refused, "000"},
        {nullptr, 0, 2, refused, "000"},  // the last visit's answer is not this one's
        {">JRAD,1,OK", 0, 1, "", "101"},
        {">JRAD,1,FAILED,Not Subscribed for AUTODIFF", 0, 1, refused, "000"},
        {nullptr, 1, 1, "", "101"}};
    // clang-format on
    OnScreen(SCR_XREF_1, [&] {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.reply ? r.reply : "no reply");
            theApp().bDemoMode = r.demo;
            Page()->OnInitDialog();
            if (r.reply) Feed(r.reply);
            Tick(r.timer);
            Tick(r.timer);
            EXPECT_EQ(Told() + RunButtons(), r.told + r.buttons);
            theApp().bDemoMode = 0;
            Feed(">JRAD,1,OK");
            Tick();
            EXPECT_EQ(Told() + RunButtons(), "101");
        }
    });
}

// Each text typed into a coordinate edit, character by character: the boxes it brings, and
// what a press of "Initialize" then says, on both screens that take a reference position.
TEST_F(DifferentialEdgeTest, TypedCoordinatesAreRefusedWithAReason) {
    // clang-format off
    const struct { int edit; const char* text; std::string typing, press; } rows[] = {
        {IDC_XREF_LAT, "abc", std::string(kNumber) + kNumber + kNumber, kNumber},
        {IDC_XREF_LAT, "1,5", std::string(kNumber) + kNumber, kNumber},
        {IDC_XREF_LON, "12a", kNumber, kNumber},
        {IDC_XREF_HEIGHT, "1.2.", kNumber, kNumber},
        {IDC_XREF_LAT, "91", kLatitude, kLatitude},
        {IDC_XREF_LAT, "-90.5", kLatitude, kLatitude},
        {IDC_XREF_LON, "-181", kLongitude, kLongitude},
        {IDC_XREF_LON, "180.01", kLongitude, kLongitude},
        {IDC_XREF_LAT, "-", "", kNumber},  // still being typed
        {IDC_XREF_LON, "12.", "", kNumber},
        {IDC_XREF_HEIGHT, "-12345.5", "", ""}};
    // clang-format on
    const auto check = [&](int button) {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.text);
            Retype(IDC_XREF_LAT, "51.5");
            Retype(IDC_XREF_LON, "-0.1");
            Retype(IDC_XREF_HEIGHT, "45");
            Tick();
            ASSERT_EQ(Told(), "");
            TypeKeys(r.edit, r.text);
            EXPECT_EQ(Told(), r.typing);
            ClearWire();
            Click(button);
            EXPECT_EQ(Told(), r.press);
            EXPECT_EQ(Sent().empty(), !r.press.empty()) << Sent();
        }
    };
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    OnScreen(SCR_XREF_1, [&] {
        // A subscribed receiver: the run buttons stay.
        Feed(">JRAD,1,OK");
        check(IDC_XREF_INIT_KNOWN);
    });
    Start();
    g_GPS.Info.eCurCorrSource = CORR_TSPAN_BASE;
    g_GPS.Info.Settings.WizardLive.eDfxPort = DFX_PORTB;
    OnScreen(SCR_TSPAN_BASE, [&] { check(IDC_TSPAN_INITIALIZE); });
}

// Each screen keeps its own limit of length: x-Ref sends the numbers formatted and takes an
// ordinary copied double, t-Span sends the texts as typed into fields of 19 characters. A
// number beyond a double's range lies off the globe on both; a height is held on both to what
// the saved reference's command carries, so x-Ref's line keeps its widths.
TEST_F(DifferentialEdgeTest, EachScreenTakesTheNumbersItsCommandHolds) {
    const std::string huge = "1" + std::string(400, '0');
    const std::string finite = "1" + std::string(300, '0');
    // x-Ref's line with a latitude or a height typed.
    const std::string jrad = "$JRAD,1,  51.5000000,  -0.1000000,";
    // clang-format off
    const struct { int edit; std::string text; const char *xref, *tspan; std::string line = {}; } rows[] = {
        {IDC_XREF_HEIGHT, finite, kHeight, kHeight}, {IDC_XREF_HEIGHT, "-" + finite, kHeight, kHeight},
        {IDC_XREF_HEIGHT, "99999999999999999999", kHeight, kHeight},
        {IDC_XREF_HEIGHT, "1000000000000", kHeight, kHeight},
        {IDC_XREF_HEIGHT, "-100000000000", kHeight, kHeight},
        {IDC_XREF_HEIGHT, "999999999999", "", "", jrad + "999999999999.000"},
        {IDC_XREF_HEIGHT, "-99999999999", "", "", jrad + "-99999999999.000"},
        {IDC_XREF_LAT, "-0.12775829999999999", "", kNumber},  // 20 characters
        {IDC_XREF_LON, "-0.12775829999999999", "", kNumber},
        {IDC_XREF_HEIGHT, "45.000000000000000001", "", kNumber},
        {IDC_XREF_LAT, "-0.1277583", "", ""},
        {IDC_XREF_LAT, huge, kLatitude, kLatitude}, {IDC_XREF_LON, "-" + huge, kLongitude, kLongitude},
        {IDC_XREF_LAT, "-" + huge + ".5", kLatitude, kLatitude}, {IDC_XREF_HEIGHT, huge, kHeight, kHeight},
        {IDC_XREF_LAT, "9999999999999999999", kLatitude, kLatitude}};
    // clang-format on
    const auto check = [&](int button, bool xref) {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.text.substr(0, 24));
            const std::string told = xref ? r.xref : r.tspan;
            Retype(IDC_XREF_LAT, "51.5");
            Retype(IDC_XREF_LON, "-0.1");
            Retype(IDC_XREF_HEIGHT, "45");
            Tick();
            ASSERT_EQ(Told(), "");
            // Pasted but for the last key.
            Page()->SetDlgItemText(r.edit, r.text.substr(0, r.text.size() - 1));
            Type(r.edit, r.text.substr(r.text.size() - 1));
            EXPECT_EQ(Told(), told);
            Tick();
            EXPECT_EQ(Enabled(button), told.empty());
            ClearWire();
            if (told.empty()) Click(button);
            EXPECT_EQ(Told(), "");
            const size_t at = Sent().find(xref ? "$JRAD,1," : "$JRTK,1,");
            EXPECT_EQ(at == std::string::npos, !told.empty()) << Sent();
            if (!told.empty()) continue;
            // x-Ref's command holds the number formatted, t-Span's the text as typed.
            const std::string command = Sent().substr(at, Sent().find("\r\n", at) - at);
            if (xref && r.edit == IDC_XREF_LAT) {
                EXPECT_EQ(command, "$JRAD,1,  -0.1277583,  -0.1000000,    45.000");
            } else if (xref && !r.line.empty()) {
                EXPECT_EQ(command, r.line);
            } else if (!xref) {
                EXPECT_EQ(command, r.edit == IDC_XREF_HEIGHT ? "$JRTK,1,51.5,-0.1," + r.text
                                                             : "$JRTK,1," + r.text + ",-0.1,45");
            }
        }
    };
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    OnScreen(SCR_XREF_1, [&] {
        Feed(">JRAD,1,OK");
        check(IDC_XREF_INIT_KNOWN, true);
    });
    Start();
    g_GPS.Info.eCurCorrSource = CORR_TSPAN_BASE;
    g_GPS.Info.Settings.WizardLive.eDfxPort = DFX_PORTB;
    OnScreen(SCR_TSPAN_BASE, [&] { check(IDC_TSPAN_INITIALIZE, false); });
}

// A run pending at the leave is followed no more: the return shows the ready state when the
// receiver reported it meanwhile, else asks for a mode again.
TEST_F(DifferentialEdgeTest, XRefRunLeftPendingShowsWhatHolds) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    const std::string wait = "x-Ref not ready, please wait ...";
    Walk({{SCR_XREF_1,
           [&] {
               Click(IDC_XREF_INIT_SINGLE);
               EXPECT_EQ(Status(), wait);
               NavGps();
           }},
          {SCR_GPS_1, [] { NavDiff(); }},
          {SCR_XREF_1,
           [&] {
               EXPECT_EQ(Status(), "Please select x-Ref mode above.");
               Feed(">JRAD,1,OK");
               Tick(2);
               EXPECT_EQ(Status(), "Please select x-Ref mode above.");
               Click(IDC_XREF_INIT_UNKNOWN);
               EXPECT_EQ(Status(), wait);
               Feed(">JRAD,2,OK");
               NavGps();
           }},
          {SCR_GPS_1, [] { NavDiff(); }},
          {SCR_XREF_1, [&] { EXPECT_EQ(Status(), "x-Ref now ready|ready"); }}});
}

// The receiver lists its SBAS satellites after the L-band one: both pages keep the L-band
// satellite's line, and no SBAS line makes the status page retune.
TEST_F(DifferentialEdgeTest, SbasLinesNeverBecomeTheBeam) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_LBND;
    const std::string tick = "~0$JAPP\r\n$JDIFF\r\n$JGEO,ALL\r\n$JASC,D1,1\r\n";
    const auto geo = [this](const char* line) {
        ASSERT_TRUE(Feed(std::string(">JGEO,Sent,") + line));
    };
    Walk({{SCR_LBND_1,
           [&] {
               geo("FREQ=1534.7410,ID=1200,LON=-101.0,EL=35.5,AZ=210.25");
               geo("FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1");
               geo("FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5");
               EXPECT_EQ(TickSent(), tick);
               EXPECT_EQ(Texts({IDC_LBND1_BEAM, IDC_LBND1_FREQ, IDC_LBND1_RATE, IDC_LBND1_LONGITUDE,
                                IDC_LBND1_ELEVATION, IDC_LBND1_AZIMUTH}),
                         "MSV-C|1534741|1200|-101.0|35.5|210.25");
               // An SBAS line alone, before any L-band one: nothing to show, nothing to retune.
               g_GPS.InitLBandStatus();
               geo("FREQ=1575.4200,PRN=129,LON=-98.0,EL=30.2,AZ=200.1");
               EXPECT_EQ(TickSent(), tick);
               EXPECT_EQ(Texts({IDC_LBND1_BEAM, IDC_LBND1_FREQ, IDC_LBND1_RATE}), "MSV-W|0|1200");
               geo("FREQ=1535.1375,ID=600,LON=-0.5,EL=1,AZ=2");
               geo("FREQ=1575.4200,PRN=120,LON=-15.5,EL=30.2,AZ=200.1");
               SelectTab(IDC_LBND1_TAB, 1);
           }},
          {SCR_LBND_2, [&] {
               EXPECT_EQ(Texts({IDC_LBND2_FREQ, IDC_LBND2_BEAM, IDC_LBND2_RATE}),
                         "1535137|AM-SAT|600");
           }}});
}

// Control bytes in the receiver's texts never reach a read-out; the letters around them do.
TEST_F(DifferentialEdgeTest, SubscriptionDatesShowWithoutControlBytes) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_LBND;
    LBandInfo& lb = g_GPS.Info.LBand;
    std::snprintf(lb.szSubscriptionBegin, sizeof lb.szSubscriptionBegin, "caf\xE9 \x01x\t\x7F");
    std::snprintf(lb.szSubscriptionExpiry, sizeof lb.szSubscriptionExpiry, "12/31\x1B/2027\x81");
    OnScreen(SCR_LBND_3, [&] {
        EXPECT_EQ(Texts({IDC_LBND3_BEGIN, IDC_LBND3_EXPIRY}), "caf\xC3\xA9 x|12/31/2027");
    });
}

TEST_F(DifferentialEdgeTest, FirmwareTextsShowWithoutControlBytes) {
    Start();
    LBandInfo& lb = g_GPS.Info.LBand;
    std::snprintf(lb.szDspFirmware, sizeof lb.szDspFirmware, "DSP\r\n3.0\x9D\x80");
    std::snprintf(g_GPS.Info.Beacon.szBeaconFirmware, sizeof g_GPS.Info.Beacon.szBeaconFirmware,
                  "\x02"
                  "BX3.1\x03");
    OnScreen(SCR_GPS_6, [&] {
        EXPECT_EQ(Texts({IDC_GPS6_DSP, IDC_GPS6_BEACON}), "DSP3.0\xE2\x82\xAC|BX3.1");
    });
}

}  // namespace

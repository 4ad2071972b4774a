// The x-Ref screen and the t-Span base and rover screens against a scripted receiver.

#include <algorithm>

#include "engine/txnmea.h"
#include "platform/trace.h"
#include "screens/differential/TSpanDlg1.h"
#include "screens/differential/TSpanRover.h"
#include "screens/differential/XREF_1.h"
#include "screens/differential/reference_entry.h"
#include "screens/screen_walk.h"

namespace {

const std::string kSetupTick = "~0$JAPP\r\n$JDIFF\r\n";
const std::string kQueryReference = "~100$JRTK,6\r\n~100$JRTK\r\n~500";

class SetupTest : public shelltest::WalkTest {
protected:
    AnsweringClock receiver{this};
    void TearDown() override {
        platform::SetClock(&clock);
        WalkTest::TearDown();
    }
    void Answer(const std::string& command, const std::string& reply) {
        receiver.answers[command] = [this, reply] { Feed(reply); };
        platform::SetClock(&receiver);
    }
    // Both screens use the same three edits.
    void TypeReference(const char* lat, const char* lon, const char* height) {
        Retype(IDC_XREF_LAT, lat);
        Retype(IDC_XREF_LON, lon);
        Retype(IDC_XREF_HEIGHT, height);
        Tick();
    }
    bool Enabled(int id) { return Page()->IsItemEnabled(id); }
    // Leaves through the navigation bar's GPS button; the position screen opens its own loop.
    void LeaveToGps() {
        ClearWire();
        ui::UserClickDesign(61, 429);
        ui::ProcessPending();
    }
    // The step after LeaveToGps: the page said goodbye and stopped both its timers.
    Step Left(eScreen screen) {
        return {SCR_GPS_1, [this, screen] {
                    EXPECT_EQ(Sent().substr(0, 15), "$PKRV,1,0\r\n~10$");
                    EXPECT_FALSE(ScreenIfBuilt(screen)->IsTimerRunning(1));
                    EXPECT_FALSE(ScreenIfBuilt(screen)->IsTimerRunning(2));
                }};
    }
    static std::string Saved() {
        const WizardInfo& w = g_GPS.Info.Settings.WizardLive;
        return platform::Format("%.8f %.8f %.3f %d", w.dRefLat, w.dRefLon, w.dRefAlt, w.eDfxPort);
    }
};

// What a typed coordinate is told, on the way and on a press, by both screens: the edges of the
// globe and of the height the saved reference's command carries are on it, anything beyond
// them (however many digits) is named, and what is no plain number is refused.
TEST(ReferenceEntry, EdgesOfTheGlobeAndNumbersTooLarge) {
    const std::string lat = "Latitude must be between -90 and 90 degrees.";
    const std::string lon = "Longitude must be between -180 and 180 degrees.";
    const std::string hgt = "Height must be between -99999999999 and 999999999999 meters.";
    const std::string nan = "Please enter a number.";
    using F = ReferenceField;
    // clang-format off
    const struct { F field; const char* text; std::string told; } cases[] = {
        {F::Latitude, "90", ""}, {F::Latitude, "-90", ""}, {F::Latitude, "90.0000000", ""},
        {F::Latitude, "90.0000001", lat}, {F::Latitude, "-90.0000001", lat},
        {F::Latitude, "9999999999999999999", lat}, {F::Latitude, "51.5e400", nan},
        {F::Longitude, "180", ""}, {F::Longitude, "-180", ""}, {F::Longitude, "180.0000001", lon},
        {F::Longitude, "-180.0000001", lon}, {F::Longitude, "-999999999999999999", lon},
        {F::Longitude, "1e309", nan}, {F::Height, "45e39", nan},
        {F::Height, "999999999999", ""}, {F::Height, "999999999999.0000", ""},
        {F::Height, "-99999999999", ""}, {F::Height, "999999999999.001", hgt},
        {F::Height, "1000000000000", hgt}, {F::Height, "-100000000000", hgt},
        {F::Height, "-99999999999.5", hgt}, {F::Height, "9999999999999999999", hgt}};
    // clang-format on
    for (const ReferenceLimits& limits : {kTSpanReferenceLimits, kXRefReferenceLimits}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(TypedReferenceError(c.field, c.text, limits), c.told);
            const std::string texts[3] = {c.field == F::Latitude ? c.text : "1",
                                          c.field == F::Longitude ? c.text : "1",
                                          c.field == F::Height ? c.text : "1"};
            EXPECT_EQ(ReferenceEntryError(texts[0], texts[1], texts[2], limits), c.told);
            const std::optional<ReferenceEntry> e =
                ParseReferenceEntry(texts[0], texts[1], texts[2], limits);
            EXPECT_EQ(e && IsUsableReference(*e), c.told.empty());
        }
    }
}

// Typed coordinates are checked on the tick and again on the press; a subscribed receiver
// keeps its run buttons until a reply, also a late one, says that x-Ref is not subscribed.
TEST_F(SetupTest, XRef) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    const char* wait = "x-Ref not ready, please wait ...";
    const char* ready = "x-Ref now ready";
    // Button (0: a tick of the 10 s timer), reply before it, wire, status.
    // clang-format off
    const struct { int button; const char *reply, *wire, *status; } steps[] = {
        {IDC_XREF_INIT_UNKNOWN, nullptr, "$JRAD,1,P\r\n~500$JRAD,2\r\n", wait},
        {0, nullptr, "$JRAD,2\r\n~0", wait}, {0, ">JRAD,2,OK", "~0", ready}, {0, nullptr, "~0", ready},
        {IDC_XREF_RECAL_UNKNOWN, nullptr, "$JRAD,2\r\n", wait}, {0, ">JRAD,2,OK", "~0", ready},
        {IDC_XREF_INIT_SINGLE, nullptr, "$JRAD,3\r\n", wait},
        {0, ">JRAD,3,FAILED", "$JRAD,3\r\n~0", wait}, {0, ">JRAD,3,OK", "~0", ready}};
    const struct { const char *lat, *lon, *height; bool enabled; } known[] = {
        {"91", "0", "0", false}, {"0", "-181", "0", false}, {"0", "0", "0", false}, {"-90", "180", "0", true},
        {"1e", "0", "5", false}, {"12.", "0", "5", false}, {"0", "0", "1e300", false}, {"0x10", "0", "5", false},
        {"12.123456789012345678", "0", "5", true}};  // 21 characters: sent formatted, so it fits
    // clang-format on
    Walk({{SCR_XREF_1,
           [&] {
               EXPECT_EQ(Sent(), "$JRAD,1\r\n~500$JRAD,1\r\n~500$JAPP\r\n$JDIFF\r\n");
               EXPECT_EQ(Text(IDC_XREF_STATUS), "Please select x-Ref mode above.");
               EXPECT_EQ(Page()->GetCurSel(IDC_DIFF_SOURCE), DIFFITEM_XREF);
               EXPECT_FALSE(Enabled(IDC_XREF_RECAL_UNKNOWN));
               Feed(">JRAD,1,OK");
               EXPECT_EQ(TickSent(), kSetupTick);
               for (const auto& s : steps) {
                   if (s.reply) Feed(s.reply);
                   const std::string sent = s.button ? ClickSent(s.button) : TickSent(2);
                   EXPECT_EQ(sent + "|" + Text(IDC_XREF_STATUS),
                             std::string(s.wire) + "|" + s.status);
                   EXPECT_EQ(Page()->IsItemVisible(IDC_XREF_LAMP_READY), s.status == ready);
                   EXPECT_EQ(Page()->IsItemVisible(IDC_XREF_LAMP_WAIT), s.status != ready);
               }
               for (const auto& r : known) {
                   TypeReference(r.lat, r.lon, r.height);
                   Told();  // what the typing was told has its own test
                   EXPECT_EQ(Enabled(IDC_XREF_INIT_KNOWN), r.enabled) << r.lat << " " << r.height;
               }
               // Right-aligned in fields of 12, 12 and 10.
               TypeReference("51.5", "-0.1", "45");
               EXPECT_EQ(Press(IDC_XREF_INIT_KNOWN),
                         "$JRAD,1,  51.5000000,  -0.1000000,    45.000\r\n~500$JRAD,2\r\n");
               for (const char* height : {"1e300", "4.", "-"}) {
                   TypeReference("51.5", "-0.1", "45");
                   Retype(IDC_XREF_HEIGHT, height);
                   Told();
                   EXPECT_EQ(Press(IDC_XREF_INIT_KNOWN), "Please enter a number.|");
               }
               Feed(">JRAD,1,OK");
               Tick();
               Tick(2);
               EXPECT_EQ(Told(), "");
               Feed(">JRAD,1,FAILED,Not Subscribed for AUTODIFF");
               Tick();
               Tick(2);
               Tick();
               EXPECT_EQ(Told(), "Not subscribed to x-Ref|");
               for (int id : {IDC_XREF_INIT_UNKNOWN, IDC_XREF_RECAL_UNKNOWN, IDC_XREF_INIT_KNOWN,
                              IDC_XREF_RECAL_KNOWN, IDC_XREF_INIT_SINGLE})
                   EXPECT_FALSE(Enabled(id)) << id;
               LeaveToGps();
           }},
          Left(SCR_XREF_1)});
}

// Without a "$>JRTK,1," reply the typed position stays and becomes the saved one; a reply is
// shown and saved.
TEST_F(SetupTest, TSpan) {
    Start();
    g_GPS.Info.Settings.WizardLive = {};
    g_GPS.Info.Settings.WizardLive.dRefLat = 51.12345678;
    g_GPS.Info.Settings.WizardLive.dRefLon = -114.5;
    g_GPS.Info.Settings.WizardLive.dRefAlt = 1100.25;
    g_GPS.Info.Settings.WizardLive.eDfxPort = DFX_PORTB;
    const std::string initialize =
        "$JASC,DFX,0,PORTA\r\n~40$JASC,DFX,0,PORTB\r\n~40$JASC,DFX,0,PORTC\r\n~40"
        "$JASC,DFX,1,PORTB\r\n~50$JRTK,1,51.5,-0.1,45\r\n~250" +
        kQueryReference;
    Walk({{SCR_TSPAN_ROVER,
           [&] {
               EXPECT_EQ(Sent(), "$JAPP\r\n$JDIFF\r\n");
               EXPECT_EQ(TickSent(), kSetupTick);
               EXPECT_EQ(TickSent(2), "~0");
               ClearWire();
               Choose(IDC_DIFF_SOURCE, DIFFITEM_TSPAN_BASE);
           }},
          {SCR_TSPAN_BASE,
           [&] {
               EXPECT_EQ(Sent(), "~500$JAPP\r\n~500$JAPP\r\n~100$JDIFF\r\n~100$PKRV,1,0\r\n~10" +
                                     kQueryReference + "$JAPP\r\n$JDIFF\r\n");
               EXPECT_FALSE(ScreenIfBuilt(SCR_TSPAN_ROVER)->IsTimerRunning(1));
               EXPECT_FALSE(ScreenIfBuilt(SCR_TSPAN_ROVER)->IsTimerRunning(2));
               EXPECT_EQ(Saved(),
                         platform::Format("51.12345678 -114.50000000 1100.250 %d", DFX_PORTB));
               EXPECT_EQ(Texts({IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT, IDC_TSPAN_PORT}),
                         "51.12345678|-114.50000000|1100.250|PORTB");
               EXPECT_EQ(TickSent(), kSetupTick);
               EXPECT_EQ(TickSent(2), "~0");
               g_GPS.Info.Settings.WizardLive.eDfxPort = 7;
               Page()->OnInitDialog();
               EXPECT_EQ(Text(IDC_TSPAN_PORT), "NONE");
               TypeReference("51.5", "-0.1", "45");
               EXPECT_FALSE(Enabled(IDC_TSPAN_INITIALIZE)) << "no port chosen";
               Choose(IDC_TSPAN_PORT, DFX_PORTB);
               Tick();
               Answer("$JRTK,6\r\n", ">JRTK,6,OK,4");
               platform::ClearTrace();
               EXPECT_EQ(ClickSent(IDC_TSPAN_INITIALIZE), initialize);
               EXPECT_EQ(Texts({IDC_TSPAN_LAT, IDC_TSPAN_HEIGHT}), "51.5|45");
               EXPECT_EQ(Saved(), platform::Format("51.50000000 -0.10000000 45.000 %d", DFX_PORTB));
               EXPECT_TRUE(platform::TraceContains("no reference reply"));
               // A rejection left from before is no rejection of this position.
               g_bRTKRefInvalid.store(1);
               Answer("$JRTK\r\n", ">JRTK,1,51.4999,-0.1001,45.2");
               EXPECT_EQ(Press(IDC_TSPAN_INITIALIZE), initialize);
               EXPECT_EQ(Saved(), platform::Format("51.49990000 -0.10010000 45.200 %d", DFX_PORTC));
               EXPECT_EQ(Texts({IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT, IDC_TSPAN_PORT}),
                         "51.4999|-0.1001|45.2|PORTC");
               Answer("$JRTK,1,51.4999,-0.1001,45.2\r\n", ">JRTK,1,FAILED");
               Click(IDC_TSPAN_INITIALIZE);
               EXPECT_EQ(Told(), "Reference position invalid.|");
               const char* number = "Please enter a number.|";
               const std::pair<const char*, const char*> heights[] = {
                   {"1e300", number},
                   {"45.", number},
                   {"12345678901234567890",
                    "Height must be between -99999999999 and 999999999999 meters.|"}};
               for (const auto& [height, told] : heights) {
                   Retype(IDC_TSPAN_HEIGHT, height);
                   Told();
                   EXPECT_EQ(Press(IDC_TSPAN_INITIALIZE), told) << height;
               }
               LeaveToGps();
           }},
          Left(SCR_TSPAN_BASE)});
}

// After an answered "Initialize" the edits show the receiver's position in the general format
// where the entry takes that text back (a second press sends it as it stands), else in the
// fixed format: a press again is refused nowhere and sends what is shown.
TEST_F(SetupTest, TSpanShowsAnAnswerAsTextsItTakesBack) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_TSPAN_BASE;
    g_GPS.Info.Settings.WizardLive.eDfxPort = DFX_PORTB;
    // clang-format off
    const struct { const char *answer, *shown; } rows[] = {
        {">JRTK,1,51.4999,-0.1001,45.2", "51.4999,-0.1001,45.2"},
        {">JRTK,1,0.00001,-0.00005,0.00001", "0.00001000,-0.00005000,0.000"},
        {">JRTK,1,-0.000123456789012,10.5,123456789012", "-0.000123456789012,10.5,123456789012"},
        {">JRTK,1,-0.000123456789012345,10.5,45", "-0.00012346,10.5,45"},  // 21 characters
        {">JRTK,1,12.5,0.0000999,-99999999999", "12.5,0.00009990,-99999999999"}};
    // clang-format on
    OnScreen(SCR_TSPAN_BASE, [&] {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.answer);
            receiver.answers.clear();
            Answer("$JRTK,6\r\n", ">JRTK,6,OK,2");
            Answer("$JRTK\r\n", r.answer);
            TypeReference("51.5", "-0.1", "45");
            Click(IDC_TSPAN_INITIALIZE);
            std::string shown = r.shown;
            std::replace(shown.begin(), shown.end(), ',', '|');
            EXPECT_EQ(Texts({IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT}) + Told(), shown);
            Tick();
            ASSERT_TRUE(Enabled(IDC_TSPAN_INITIALIZE));
            const std::string sent = ClickSent(IDC_TSPAN_INITIALIZE);
            EXPECT_EQ(Told(), "");
            EXPECT_NE(sent.find(std::string("$JRTK,1,") + r.shown + "\r\n"), std::string::npos)
                << sent;
        }
    });
}

// x-Ref writes its edits only at the first entry ("0"); what is typed there stays as typed
// through a run and a return, and goes out formatted.
TEST_F(SetupTest, XRefKeepsTheTextsTyped) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    Walk({{SCR_XREF_1,
           [&] {
               EXPECT_EQ(Texts({IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT}), "0|0|0");
               Feed(">JRAD,1,OK");
               TypeReference("0.00001", "-0.00005", "0.00001");
               Click(IDC_XREF_INIT_KNOWN);
               Feed(">JRAD,2,OK");
               Tick(2);
               LeaveToGps();
           }},
          // Back by the screen switch itself: this is about the texts, not the navigation bar.
          {SCR_GPS_1, [&] { static_cast<CBaseDialog*>(Page())->SwitchTo(SCR_XREF_1); }},
          {SCR_XREF_1, [&] {
               EXPECT_EQ(Texts({IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT}),
                         "0.00001|-0.00005|0.00001");
               Feed(">JRAD,1,OK");
               Tick();
               EXPECT_EQ(Press(IDC_XREF_INIT_KNOWN),
                         "$JRAD,1,   0.0000100,  -0.0000500,     0.000\r\n~500$JRAD,2\r\n");
           }}});
}

// What "Initialize" leaves as the saved reference when the receiver rejects the position or
// does not answer the query after it; with "NONE" picked since the last tick it sends nothing.
TEST_F(SetupTest, TSpanRejectedPositionIsNeverSaved) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_TSPAN_BASE;
    const std::string before = platform::Format("51.12345678 -114.50000000 1100.250 %d", DFX_PORTB);
    const std::string typed = platform::Format("51.50000000 -0.10000000 45.000 %d", DFX_PORTB);
    const std::string invalid = "Reference position invalid.|";
    // Port picked before the press, reply to the position, reply to "$JRTK", then the saved
    // record and the edits on the next entry.
    // clang-format off
    const struct { int port; const char *rejected, *queried; std::string told, saved, shown; bool late = false; } rows[] = {
        {DFX_PORTB, ">JRTK,1,FAILED", nullptr, invalid, before, "51.12345678|-114.50000000|1100.250"},
        {DFX_PORTB, ">JRTK,1,FAILED", ">JRTK,1,51.1,-114.4,1100", invalid,
         platform::Format("51.10000000 -114.40000000 1100.000 %d", DFX_PORTB), "51.10000000|-114.40000000|1100.000"},
        {DFX_PORTB, nullptr, nullptr, "", typed, "51.50000000|-0.10000000|45.000"},
        {DFX_NONE, nullptr, nullptr, "", before, "51.12345678|-114.50000000|1100.250"},
        // The refusal comes only after the wait for it, during the query's pauses; told also
        // when the query is answered with the position kept.
        {DFX_PORTB, ">JRTK,1,FAILED", nullptr, invalid, before, "51.12345678|-114.50000000|1100.250", true},
        {DFX_PORTB, ">JRTK,1,FAILED", ">JRTK,1,51.12345678,-114.5,1100.25", invalid, before,
         "51.12345678|-114.50000000|1100.250", true}};
    // clang-format on
    OnScreen(SCR_TSPAN_BASE, [&] {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.saved);
            WizardInfo& w = g_GPS.Info.Settings.WizardLive;
            w.dRefLat = 51.12345678, w.dRefLon = -114.5, w.dRefAlt = 1100.25;
            w.eDfxPort = DFX_PORTB;
            receiver.answers.clear();
            Answer("$JRTK,6\r\n", r.late ? r.rejected : ">JRTK,6,OK,2");
            if (r.rejected && !r.late) Answer("$JRTK,1,51.5,-0.1,45\r\n", r.rejected);
            if (r.queried) Answer("$JRTK\r\n", r.queried);
            Choose(IDC_TSPAN_PORT, DFX_PORTB);
            TypeReference("51.5", "-0.1", "45");
            ASSERT_TRUE(Enabled(IDC_TSPAN_INITIALIZE));
            Choose(IDC_TSPAN_PORT, r.port);
            const std::string sent = Press(IDC_TSPAN_INITIALIZE);
            // Nothing at all without a port; else the end tells what was said.
            EXPECT_EQ(r.port == DFX_NONE ? sent : sent.substr(sent.size() - r.told.size()), r.told);
            EXPECT_EQ(Saved(), r.saved);
            Page()->OnInitDialog();
            EXPECT_EQ(Texts({IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT}), r.shown);
        }
    });
}

}  // namespace

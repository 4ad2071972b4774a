// The x-Ref screen and the t-Span base and rover screens against a scripted receiver: the
// run state machine, the known point's command, the typed reference position, the port, and
// what is sent on entry, tick and leave.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "screens/differential/TSpanDlg1.h"
#include "screens/differential/TSpanRover.h"
#include "screens/differential/XREF_1.h"
#include "shell/DiffSource.h"
#include "support/qt/screen_harness.h"
#include "ui/messagebox.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kSetupTick{"~0", "$JAPP\r\n", "$JDIFF\r\n"};
const Lines kLeave{"$PKRV,1,0\r\n", "~10"};

class SetupTest : public shelltest::ScreenTest {
protected:
    // The receiver's answers, decoded during the pause after the command they answer (as the
    // reader thread would while the sender waits).
    class ReplyingClock : public platform::Clock {
    public:
        explicit ReplyingClock(SetupTest& t) : t_(t) {}
        uint32_t Now() override { return t_.clock.Now(); }
        void Sleep(uint32_t ms) override {
            t_.clock.Sleep(ms);
            const auto writes = t_.fake.writes();
            if (writes.size() == answered_) return;
            answered_ = writes.size();
            const auto reply = replies.find(writes.back().bytes);
            if (reply != replies.end()) t_.Feed(reply->second);
        }
        std::map<std::string, std::string> replies;

    private:
        SetupTest& t_;
        size_t answered_ = 0;
    };

    void TearDown() override {
        platform::SetClock(&clock);
        shelltest::ScreenTest::TearDown();
    }
    void Answer(const std::string& command, const std::string& reply) {
        receiver.replies[command] = reply;
        platform::SetClock(&receiver);
    }
    // Replaces an edit's text, typed a character at a time.
    void Retype(int id, const std::string& text) {
        Page()->SetDlgItemText(id, "");
        Type(id, text);
    }
    void TypeReference(int lat, int lon, int height, const char* a, const char* b, const char* c) {
        Retype(lat, a);
        Retype(lon, b);
        Retype(height, c);
    }
    bool Enabled(int id) { return Page()->IsItemEnabled(id); }
    // After LeaveToGps: the page said goodbye and stopped both its timers.
    void ExpectLeft(eScreen screen) {
        const Lines wire = Wire();
        ASSERT_GE(wire.size(), 2u);
        EXPECT_EQ(Lines(wire.begin(), wire.begin() + 2), kLeave);
        CBaseDialog* page = ScreenIfBuilt(screen);
        EXPECT_FALSE(page->IsTimerRunning(1));
        EXPECT_FALSE(page->IsTimerRunning(2));
    }
    // Leaves through the navigation bar's GPS button; the position screen opens its own
    // loop, so this ends a step and the next waits for that screen.
    void LeaveToGps() {
        ClearWire();
        ui::UserClickDesign(61, 429);
        ui::ProcessPending();
    }

    ReplyingClock receiver{*this};
    ui::MessageBoxRecorder boxes;
};

TEST_F(SetupTest, XRefRunsUntilTheReceiverIsReady) {
    Start();
    Open(SCR_XREF_1);
    ui::StepRunner run;
    WaitShown(run, SCR_XREF_1);
    run.Add([this] {
        EXPECT_EQ(Wire(),
                  (Lines{"$JRAD,1\r\n", "~500", "$JRAD,1\r\n", "~500", "$JAPP\r\n", "$JDIFF\r\n"}));
        EXPECT_EQ(Text(IDC_XREF_STATUS), "Please select x-Ref mode above.");
        EXPECT_FALSE(Enabled(IDC_XREF_RECAL_UNKNOWN));
        // No answer about the subscription yet: no message.
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), kSetupTick);
        EXPECT_TRUE(boxes.texts().empty());

        struct Step {
            int button;  // 0: a tick of the 10 s timer
            const char* reply;
            Lines wire;
            const char* status;
        };
        const char* wait = "x-Ref not ready, please wait ...";
        const Step steps[] = {
            {IDC_XREF_INIT_UNKNOWN, nullptr, {"$JRAD,1,P\r\n", "~500", "$JRAD,2\r\n"}, wait},
            {0, nullptr, {"$JRAD,2\r\n", "~0"}, wait},
            {0, nullptr, {"$JRAD,2\r\n", "~0"}, wait},
            {0, ">JRAD,2,OK", {"~0"}, "x-Ref now ready"},
            {0, nullptr, {"~0"}, "x-Ref now ready"},
            {IDC_XREF_RECAL_UNKNOWN, nullptr, {"$JRAD,2\r\n"}, wait},
            {0, ">JRAD,2,OK", {"~0"}, "x-Ref now ready"},
            {IDC_XREF_INIT_SINGLE, nullptr, {"$JRAD,3\r\n"}, wait},
            {0, ">JRAD,3,FAILED", {"$JRAD,3\r\n", "~0"}, wait},
            {0, ">JRAD,3,OK", {"~0"}, "x-Ref now ready"},
        };
        int i = 0;
        for (const Step& s : steps) {
            SCOPED_TRACE(i++);
            if (s.reply) Feed(s.reply);
            ClearWire();
            if (s.button)
                Click(s.button);
            else
                Tick(2);
            EXPECT_EQ(Wire(), s.wire);
            EXPECT_EQ(Text(IDC_XREF_STATUS), s.status);
            const bool ready = std::string(s.status) == "x-Ref now ready";
            EXPECT_EQ(Page()->IsItemVisible(IDC_XREF_LAMP_READY), ready);
            EXPECT_EQ(Page()->IsItemVisible(IDC_XREF_LAMP_WAIT), !ready);
        }
        EXPECT_TRUE(Enabled(IDC_XREF_RECAL_UNKNOWN));

        // The known point, right-aligned in fields of 12, 12 and 10.
        TypeReference(IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT, "51.5", "-0.1", "45");
        EXPECT_FALSE(Enabled(IDC_XREF_INIT_KNOWN));
        Tick();
        ClearWire();
        Click(IDC_XREF_INIT_KNOWN);
        EXPECT_EQ(Wire(), (Lines{"$JRAD,1,  51.5000000,  -0.1000000,    45.000\r\n", "~500",
                                 "$JRAD,2\r\n"}));
        EXPECT_TRUE(Enabled(IDC_XREF_RECAL_KNOWN));
        EXPECT_TRUE(boxes.texts().empty());
        LeaveToGps();
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([this] {
        // A pending run is not re-sent after leaving.
        ExpectLeft(SCR_XREF_1);
        EndAll();
    });
    Run(run);
}

TEST_F(SetupTest, XRefKnownPointAndSubscription) {
    Start();
    OnScreen(SCR_XREF_1, [&] {
        struct Row {
            const char *lat, *lon, *height;
            bool enabled;
        };
        const Row rows[] = {
            {"91", "0", "0", false},
            {"0", "-181", "0", false},
            {"0", "0", "0", false},
            {"0", "0", "5", true},
            {"-90", "180", "0", true},
            {"1e", "0", "5", false},
            {"12.", "0", "5", false},
            {"-", "0", "5", false},
            {"0", "0", "1e300", false},
            {"12.5 ", "0", "5", false},
            {"0x10", "0", "5", false},
            {"12.123456789012345678", "0", "5", false},  // 21 characters
        };
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.lat) + " " + r.lon + " " + r.height);
            TypeReference(IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT, r.lat, r.lon, r.height);
            Tick();
            EXPECT_EQ(Enabled(IDC_XREF_INIT_KNOWN), r.enabled);
        }
        // Typed in pieces, nothing complains before the press.
        EXPECT_TRUE(boxes.texts().empty());

        // The press reads the texts again: what changed since the tick is refused.
        for (const char* height : {"1e300", "4.", "-"}) {
            TypeReference(IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT, "51.5", "-0.1", "45");
            Tick();
            Retype(IDC_XREF_HEIGHT, height);
            ClearWire();
            boxes.Clear();
            Click(IDC_XREF_INIT_KNOWN);
            EXPECT_TRUE(Wire().empty()) << height;
            EXPECT_EQ(boxes.texts(), (Lines{"Please enter a number."})) << height;
        }

        // Only an explicit reply says that x-Ref is not subscribed, also a late one.
        boxes.Clear();
        Tick();
        Tick(2);
        EXPECT_TRUE(boxes.texts().empty());
        // A late reply still counts.
        Feed(">JRAD,1,FAILED,Not Subscribed for AUTODIFF");
        Tick();
        EXPECT_EQ(boxes.texts(), (Lines{"Not subscribed to x-Ref"}));
        for (int id : {IDC_XREF_INIT_UNKNOWN, IDC_XREF_RECAL_UNKNOWN, IDC_XREF_INIT_KNOWN,
                       IDC_XREF_RECAL_KNOWN, IDC_XREF_INIT_SINGLE})
            EXPECT_FALSE(Enabled(id)) << id;
        Tick();
        Tick(2);
        EXPECT_EQ(boxes.texts().size(), 1u);
        // Valid coordinates make the known point's button usable again.
        TypeReference(IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT, "0", "0", "5");
        Tick();
        EXPECT_TRUE(Enabled(IDC_XREF_INIT_KNOWN));
        // A subscribed reply never warns.
        boxes.Clear();
        Feed(">JRAD,1,OK");
        As<CXREF_1>(SCR_XREF_1)->m_bWarned = 0;
        Tick();
        EXPECT_TRUE(boxes.texts().empty());
    });
}

void SaveReference(double lat, double lon, double alt, int32_t port) {
    WizardInfo& w = g_GPS.Info.Settings.WizardLive;
    w.dRefLat = lat;
    w.dRefLon = lon;
    w.dRefAlt = alt;
    w.eDfxPort = port;
}

void ExpectSaved(double lat, double lon, double alt, int32_t port) {
    const WizardInfo& w = g_GPS.Info.Settings.WizardLive;
    EXPECT_EQ(w.dRefLat, lat);
    EXPECT_EQ(w.dRefLon, lon);
    EXPECT_EQ(w.dRefAlt, alt);
    EXPECT_EQ(w.eDfxPort, port);
}

const Lines kQueryReference{"~100", "$JRTK,6\r\n", "~100", "$JRTK\r\n", "~500"};

TEST_F(SetupTest, BaseShowsTheSavedReferenceOnTheFirstVisit) {
    Start();
    SaveReference(51.12345678, -114.5, 1100.25, DFX_PORTB);
    OnScreen(SCR_TSPAN_BASE, [&] {
        Lines entry = kQueryReference;
        entry.insert(entry.end(), {"$JAPP\r\n", "$JDIFF\r\n"});
        EXPECT_EQ(Wire(), entry);
        // No answer to the query: the saved reference stays and is shown.
        ExpectSaved(51.12345678, -114.5, 1100.25, DFX_PORTB);
        EXPECT_EQ(Text(IDC_TSPAN_LAT), "51.12345678");
        EXPECT_EQ(Text(IDC_TSPAN_LON), "-114.50000000");
        EXPECT_EQ(Text(IDC_TSPAN_HEIGHT), "1100.250");
        EXPECT_EQ(Text(IDC_TSPAN_PORT), "PORTB");
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), kSetupTick);
        EXPECT_TRUE(Enabled(IDC_TSPAN_INITIALIZE));
        ClearWire();
        Tick(2);
        EXPECT_EQ(Wire(), (Lines{"~0"}));
    });
}

TEST_F(SetupTest, BaseInitializeSendsPortAndTypedReference) {
    Start();
    SaveReference(0, 0, 0, 7);  // a port outside the list reads as NONE
    Open(SCR_TSPAN_BASE);
    ui::StepRunner run;
    WaitShown(run, SCR_TSPAN_BASE);
    run.Add([this] {
        EXPECT_EQ(Text(IDC_TSPAN_PORT), "NONE");
        TypeReference(IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT, "51.5", "-0.1", "45");
        Tick();
        EXPECT_FALSE(Enabled(IDC_TSPAN_INITIALIZE)) << "no port chosen";
        Choose(IDC_TSPAN_PORT, DFX_PORTB);
        Tick();
        ASSERT_TRUE(Enabled(IDC_TSPAN_INITIALIZE));

        const Lines sent{"$JASC,DFX,0,PORTA\r\n",    "~40", "$JASC,DFX,0,PORTB\r\n", "~40",
                         "$JASC,DFX,0,PORTC\r\n",    "~40", "$JASC,DFX,1,PORTB\r\n", "~50",
                         "$JRTK,1,51.5,-0.1,45\r\n", "~250"};
        Lines initialize = sent;
        initialize.insert(initialize.end(), kQueryReference.begin(), kQueryReference.end());

        // The port is answered, the position is not: the typed position stays on screen and
        // becomes the saved one.
        Answer("$JRTK,6\r\n", ">JRTK,6,OK,4");
        platform::ClearTrace();
        ClearWire();
        Click(IDC_TSPAN_INITIALIZE);
        EXPECT_EQ(Wire(), initialize);
        EXPECT_EQ(Text(IDC_TSPAN_LAT), "51.5");
        EXPECT_EQ(Text(IDC_TSPAN_HEIGHT), "45");
        ExpectSaved(51.5, -0.1, 45, DFX_PORTB);
        EXPECT_TRUE(platform::TraceContains("no reference reply"));
        EXPECT_TRUE(boxes.texts().empty());

        // The receiver's answer is shown and saved; a rejection left from before is no
        // rejection of this position.
        g_bRTKRefInvalid.store(1);
        Answer("$JRTK\r\n", ">JRTK,1,51.4999,-0.1001,45.2");
        ClearWire();
        Click(IDC_TSPAN_INITIALIZE);
        EXPECT_EQ(Wire(), initialize);
        EXPECT_TRUE(boxes.texts().empty());
        ExpectSaved(51.4999, -0.1001, 45.2, DFX_PORTC);
        EXPECT_EQ(Text(IDC_TSPAN_LAT), "51.4999");
        EXPECT_EQ(Text(IDC_TSPAN_LON), "-0.1001");
        EXPECT_EQ(Text(IDC_TSPAN_HEIGHT), "45.2");
        EXPECT_EQ(Text(IDC_TSPAN_PORT), "PORTC");

        // A position the receiver rejects.
        Answer("$JRTK,1,51.4999,-0.1001,45.2\r\n", ">JRTK,1,FAILED");
        Click(IDC_TSPAN_INITIALIZE);
        EXPECT_EQ(boxes.texts(), (Lines{"Reference position invalid."}));

        // Bad input sends nothing.
        for (const char* height : {"1e300", "45.", "12345678901234567890"}) {
            boxes.Clear();
            Retype(IDC_TSPAN_HEIGHT, height);
            ClearWire();
            Click(IDC_TSPAN_INITIALIZE);
            EXPECT_TRUE(Wire().empty()) << height;
            EXPECT_EQ(boxes.texts(), (Lines{"Please enter a number."})) << height;
        }
        LeaveToGps();
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([this] {
        ExpectLeft(SCR_TSPAN_BASE);
        EndAll();
    });
    Run(run);
}

TEST_F(SetupTest, RoverPollsAndHandsOverToTheBase) {
    Start();
    Open(SCR_TSPAN_ROVER);
    ui::StepRunner run;
    WaitShown(run, SCR_TSPAN_ROVER);
    run.Add([this] {
        EXPECT_EQ(Wire(), (Lines{"$JAPP\r\n", "$JDIFF\r\n"}));
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), kSetupTick);
        ClearWire();
        Tick(2);
        EXPECT_EQ(Wire(), (Lines{"~0"}));
        ClearWire();
        Choose(IDC_DIFF_SOURCE, DIFFITEM_TSPAN_BASE);
    });
    WaitShown(run, SCR_TSPAN_BASE);
    run.Add([this] {
        const Lines wire = Wire();
        ASSERT_FALSE(wire.empty());
        EXPECT_NE(std::find(wire.begin(), wire.end(), "$PKRV,1,0\r\n"), wire.end());
        auto* rover = As<TSpanRover>(SCR_TSPAN_ROVER);
        EXPECT_FALSE(rover->IsTimerRunning(1));
        EXPECT_FALSE(rover->IsTimerRunning(2));
        EndAll();
    });
    Run(run);
}

// The three set-up pages with live values, as the screenshots show them.
class SetupShotTest : public SetupTest, public ::testing::WithParamInterface<double> {
protected:
    void ShowLive(double scale, const std::string& suffix) {
        Start(scale);
        GPSInfo& info = g_GPS.Info;
        info.eCurCorrSource = CORR_XREF;
        info.Nav.usNavMode = 4;
        info.Nav.iFixQuality = 2;
        SaveReference(51.12345678, -114.0718, 1045.25, DFX_PORTB);
        Open(SCR_XREF_1);
        ui::StepRunner run;
        WaitShown(run, SCR_XREF_1);
        run.Add([this, suffix] {
            TypeReference(IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT, "51.0447", "-114.0719",
                          "1045");
            Tick();
            Click(IDC_XREF_INIT_UNKNOWN);
            Shot("xref" + suffix);
            Page()->SetCurSel(IDC_DIFF_SOURCE, DIFFITEM_TSPAN_BASE);
            g_GPS.Info.eCurCorrSource = CORR_TSPAN_BASE;
            As<CXREF_1>(SCR_XREF_1)->SwitchTo(SCR_TSPAN_BASE);
        });
        WaitShown(run, SCR_TSPAN_BASE);
        run.Add([this, suffix] {
            Tick();
            EXPECT_TRUE(Enabled(IDC_TSPAN_INITIALIZE));
            Shot("tspan_base" + suffix);
            g_GPS.Info.eCurCorrSource = CORR_TSPAN_ROVER;
            As<TSpanDlg1>(SCR_TSPAN_BASE)->SwitchTo(SCR_TSPAN_ROVER);
        });
        WaitShown(run, SCR_TSPAN_ROVER);
        run.Add([this, suffix] {
            Tick();
            Shot("tspan_rover" + suffix);
            EndAll();
        });
        Run(run);
    }
};

TEST_P(SetupShotTest, Screenshots) {
    ShowLive(GetParam(), GetParam() > 1.0 ? "_scale_1.5" : "_scale_1.0");
}

INSTANTIATE_TEST_SUITE_P(Scales, SetupShotTest, ::testing::Values(1.0, 1.5), [](const auto& info) {
    return std::string(info.param > 1.0 ? "scale15" : "scale1");
});

}  // namespace

// The heading setup screen: the queries on entry and every fifth tick, the separation each
// tick, and each control's command byte for byte — typed values key by key, clamped biases,
// text that is no number, flags, pitch or roll and the sentence rates.

#include <gtest/gtest.h>

#include <QLineEdit>

#include "engine/gps.h"
#include "screens/position/HEADING_2.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/messagebox.h"

namespace {

using Wires = std::vector<std::string>;

class Heading2Test : public shelltest::ScreenTest {
protected:
    CHEADING_2* Page2() { return As<CHEADING_2>(SCR_HEADING_2); }

    // Each key of `keys` typed into an edit emptied first, with the wire after each key.
    std::vector<Wires> TypeKeys(int id, const std::string& keys) {
        if (auto* e = Page2()->Item<QLineEdit>(id)) e->clear();
        std::vector<Wires> out;
        for (char k : keys) {
            ClearWire();
            Type(id, std::string(1, k));
            out.push_back(Wire());
        }
        return out;
    }
};

Wires Queries(bool paced) {
    Wires w;
    for (const char* name : {"ROLL", "TILTAID", "GYROAID", "LEVEL", "NEGTILT", "FLIPBRD", "HTAU",
                             "HRTAU", "COGTAU", "SPDTAU", "HBIAS", "PBIAS", "MSEP", "CSEP"}) {
        w.push_back(std::string("$JATT,") + name + "\r\n");
        if (paced) w.push_back("~10");
    }
    w.push_back("$JDIFF\r\n");
    return w;
}

TEST_F(Heading2Test, QueriesOnEntryAndTicksAndTheRecordShown) {
    Start();
    WizardInfo& live = g_GPS.Info.Settings.WizardLive;
    live.ThisPortConfig.eHEHDT = 1;   // "5 s"
    live.ThisPortConfig.eHEROT = 6;   // no such item
    live.ThisPortConfig.eHPR = -1;    // no such item
    live.OtherPortConfig.eHEHDT = 3;  // "5 Hz"
    NavInfo& n = g_GPS.Info.Nav;
    n.bRollOutput = 1;
    n.bGyroAid = 1;
    n.bTiltAid = 0;
    n.fHDGTau = 2.5f;
    n.fHBias = -1.25f;
    n.fCurSep = 0.4999f;
    Open(SCR_HEADING_2);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_2);
    run.Add([&] {
        Wires entry = Queries(false);
        entry.push_back("~1000");
        EXPECT_EQ(Wire(), entry);
        CHEADING_2* s = Page2();
        EXPECT_EQ(s->GetCurSel(1059), 3);
        EXPECT_EQ(s->GetCurSel(1060), -1);
        EXPECT_EQ(s->GetCurSel(1061), -1);
        EXPECT_EQ(s->GetCurSel(1063), 2);
        EXPECT_EQ(s->IsDlgButtonChecked(IDC_HEADING2_ROLL), 1);
        EXPECT_EQ(s->IsDlgButtonChecked(1147), 1);
        EXPECT_EQ(s->IsDlgButtonChecked(1146), 0);
        EXPECT_EQ(Text(1007), "2.5");
        EXPECT_EQ(Text(1035), "-1.25");
        EXPECT_EQ(Text(IDC_HEADING2_CSEP), "0.500");

        const Wires separation{"$JATT,CSEP\r\n", "~100", "~0"};
        for (int t = 1; t <= 4; ++t) {
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), separation) << t;
        }
        n.fCurSep = 1.25f;
        ClearWire();
        Tick();
        Wires fifth = Queries(true);
        fifth.insert(fifth.end(), separation.begin(), separation.end());
        EXPECT_EQ(Wire(), fifth);
        EXPECT_EQ(Text(IDC_HEADING2_CSEP), "1.250");
        EndAll();
    });
    Run(run);
}

TEST_F(Heading2Test, EachControlSendsItsOwnCommand) {
    Start();
    Open(SCR_HEADING_2);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_2);
    run.Add([&] {
        ui::MessageBoxRecorder boxes;
        struct Typed {
            int id;
            const char* keys;
            std::vector<Wires> wires;  // after each key
            const char* shown;
        };
        const Typed typed[] = {
            {1007, "0.5", {{"$JATT,HTAU,0.000000\r\n"}, {}, {"$JATT,HTAU,0.500000\r\n"}}, "0.5"},
            {1035,
             "-200",
             {{},
              {"$JATT,HBIAS,-2.000000\r\n"},
              {"$JATT,HBIAS,-20.000000\r\n"},
              {"$JATT,HBIAS,-180.000000\r\n"}},
             "-180"},
            {1036, "16", {{"$JATT,PBIAS,1.000000\r\n"}, {"$JATT,PBIAS,15.000000\r\n"}}, "15"},
            {1030, "-3", {{}, {"$JATT,HRTAU,-3.000000\r\n"}}, "-3"},
            {1031, "12", {{"$JATT,COGTAU,1.000000\r\n"}, {"$JATT,COGTAU,12.000000\r\n"}}, "12"},
            {1034, "7.", {{"$JATT,SPDTAU,7.000000\r\n"}, {}}, "7."},
            {1037,
             "1.5x",
             {{"$JATT,MSEP,1.000000\r\n"}, {}, {"$JATT,MSEP,1.500000\r\n"}, {}},
             "1.5x"},
        };
        for (const Typed& t : typed) {
            EXPECT_EQ(TypeKeys(t.id, t.keys), t.wires) << t.keys;
            EXPECT_EQ(Text(t.id), t.shown) << t.keys;
        }
        EXPECT_EQ(boxes.texts(), Wires{"Please enter a number."});
        EXPECT_FLOAT_EQ(g_GPS.Info.Nav.fHBias, -180.0f);
        EXPECT_FLOAT_EQ(g_GPS.Info.Nav.fManSep, 1.5f);

        struct Clicked {
            int id;
            Wires wire;
        };
        const Clicked clicks[] = {
            {1146, {"$JATT,TILTAID,NO\r\n"}},
            {1146, {"$JATT,TILTAID,YES\r\n"}},
            {1147, {"$JATT,GYROAID,YES\r\n"}},
            {1149, {"$JATT,LEVEL,YES\r\n"}},
            {1150, {"$JATT,NEGTILT,YES\r\n"}},
            {1151, {"$JATT,FLIPBRD,YES\r\n"}},
            {1151, {"$JATT,FLIPBRD,NO\r\n"}},
            {IDC_HEADING2_ROLL, {"$JATT,ROLL,YES\r\n"}},
            {IDC_HEADING2_PITCH, {"$JATT,ROLL,NO\r\n"}},
        };
        for (const Clicked& c : clicks) {
            ClearWire();
            Click(c.id);
            EXPECT_EQ(Wire(), c.wire) << c.id;
        }
        EXPECT_EQ(g_GPS.Info.Nav.bTiltAid, 1);  // the record follows the receiver's reply

        // The changed-settings sender puts out the new rate first.
        struct Chosen {
            int id, item;
            int32_t PortConfig::*field;
            bool other;
            int32_t code;
            const char* command;
        };
        const Chosen rates[] = {{1059, 1, &PortConfig::eHEHDT, false, 2, "$JASC,HEHDT,1\r\n"},
                                {1060, 3, &PortConfig::eHEROT, false, 1, "$JASC,HEROT,0.2\r\n"},
                                {1065, 5, &PortConfig::eHPR, true, 5, "$JASC,HPR,20,OTHER\r\n"}};
        const WizardInfo& live = g_GPS.Info.Settings.WizardLive;
        for (const Chosen& r : rates) {
            g_GPS.Info.Settings.WizardSnapshot = live;
            ClearWire();
            Choose(r.id, r.item);
            const PortConfig& port = r.other ? live.OtherPortConfig : live.ThisPortConfig;
            EXPECT_EQ(port.*r.field, r.code) << r.id;
            const Wires wire = Wire();
            ASSERT_FALSE(wire.empty()) << r.id;
            EXPECT_EQ(wire.front(), r.command) << r.id;
        }
        Shot("heading2");
        EndAll();
    });
    Run(run);
}

}  // namespace

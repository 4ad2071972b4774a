// The differential source on a screen: the end of the status strip, the combo's choice and
// the report names.

#include "shell/DiffSource.h"

#include <gtest/gtest.h>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"

using shelltest::TestPage;

namespace {

// A beacon page: the narrow strip (label 1 1001 with 1018/1043, label 3 1002 with 1020/1045).
TestPage* OpenBeaconPage(ui::StepRunner& run) {
    shelltest::StartProgram(1.0);
    g_GPS.Info.Init();
    g_GPS.ResetSubRecords();
    RegisterScreen(SCR_BEACON_1, [] {
        return std::make_unique<TestPage>(SCR_BEACON_1, ScreenFamily::Beacon, "Beacon");
    });
    auto* page = dynamic_cast<TestPage*>(Screen(SCR_BEACON_1));
    run.AddWait([page] { return page->IsWindowVisible(); }, 5000,
                [] { ADD_FAILURE() << "page not shown"; });
    return page;
}

void Finish(ui::StepRunner& run, TestPage* page) {
    run.Start();
    page->DoModal();
    DestroyScreens();
}

struct StripCase {
    const char* name;
    int source;
    int snr, lbandBer, sbasBer1, sbasBer2;
    const char* label1Before;
    const char* label3;
    // Shown: label 3, its good and bad lamps, the fix's good and bad lamps. The lamps as a
    // previous strip left them: source good, fix bad.
    const char* shown;
};

TEST(DiffSource, StatusStripEndByTheSource) {
    ui::StepRunner run;
    TestPage* page = OpenBeaconPage(run);
    const StripCase cases[] = {
        {"none", CORR_NONE, 20, 0, 0, 0, "3D+DIFF", "NONE", "00010"},
        {"beacon good", CORR_BEACON, 9, 500, 500, 500, "3D+DIFF", "Beacon", "11001"},
        {"beacon weak", CORR_BEACON, 8, 0, 0, 0, "3D+DIFF", "Beacon", "10101"},
        {"beacon weak, no fix", CORR_BEACON, 8, 0, 0, 0, "COMM", "Beacon", "10101"},
        {"lband good", CORR_LBND, 0, 149, 500, 500, "3D+DIFF", "LBand", "11001"},
        {"lband weak", CORR_LBND, 20, 150, 0, 0, "3D+DIFF", "LBand", "10101"},
        {"sbas one good", CORR_SBAS, 0, 500, 500, 149, "3D+DIFF", "SBAS", "11001"},
        {"sbas weak", CORR_SBAS, 20, 0, 150, 150, "2D+DIFF", "SBAS", "10101"},
        {"external", CORR_EXTERNAL, 0, 500, 500, 500, "3D+DIFF", "EXT", "11001"},
        {"rtk", CORR_RTK, 0, 500, 500, 500, "3D+DIFF", "RTK", "11001"},
        {"x-ref", CORR_XREF, 0, 500, 500, 500, "3D+DIFF", "x-Ref", "11001"},
        {"t-span base", CORR_TSPAN_BASE, 0, 500, 500, 500, "3D+DIFF", "t-Span Base", "11001"},
        {"t-span rover", CORR_TSPAN_ROVER, 0, 500, 500, 500, "3D+DIFF", "t-Span Rover", "11001"},
        {"subsea7", CORR_SUBSEA7, 0, 500, 500, 500, "3D+DIFF", "SubSea7", "11001"},
    };
    run.Add([&] {
        theApp().bReceiverFound = 1;
        for (const StripCase& c : cases) {
            GPSInfo& info = g_GPS.Info;
            info.eCurCorrSource = c.source;
            info.Beacon.iSNR = c.snr;
            info.LBand.iLBandBer = c.lbandBer;
            info.LBand.iSBASBer1 = c.sbasBer1;
            info.LBand.iSBASBer2 = c.sbasBer2;
            // The lamps as a previous strip left them: source good, fix bad.
            page->SetDlgItemText(1001, c.label1Before);
            page->SetDlgItemText(1002, "SBAS");
            page->ShowItem(1002, true);
            page->ShowItem(1020, true), page->ShowItem(1045, false);
            page->ShowItem(1018, false), page->ShowItem(1043, true);
            page->m_bWeakSignalOnce = 0;
            ShowDiffSourceStatus(page, 1002, 1020, 1045, 1001, 1018, 1043);
            EXPECT_EQ(page->GetDlgItemText(1002), c.label3) << c.name;
            EXPECT_EQ(shelltest::Shown(page, {1002, 1020, 1045, 1018, 1043}), c.shown) << c.name;
            if (c.source == CORR_NONE) {
                EXPECT_EQ(page->GetDlgItemText(1001), "COMM");
            }
        }
        // Not found: the fix lamp of source NONE turns bad.
        theApp().bReceiverFound = 0;
        g_GPS.Info.eCurCorrSource = CORR_NONE;
        ShowDiffSourceStatus(page, 1002, 1020, 1045, 1001, 1018, 1043);
        EXPECT_EQ(shelltest::Shown(page, {1018, 1043}), "01");

        platform::ClearTrace();
        g_GPS.Info.eCurCorrSource = 10;
        ShowDiffSourceStatus(page, 1002, 1020, 1045, 1001, 1018, 1043);
        EXPECT_TRUE(platform::TraceContains("internal error"));
        page->EndDialog(ui::IDCANCEL);
    });
    Finish(run, page);
}

TEST(DiffSource, WeakSignalClearsTheFixOncePerSpell) {
    ui::StepRunner run;
    TestPage* page = OpenBeaconPage(run);
    run.Add([&] {
        GPSInfo& info = g_GPS.Info;
        info.eCurCorrSource = CORR_BEACON;
        page->SetDlgItemText(1001, "3D+DIFF");
        auto fix = [&info] {
            info.Nav.usNavMode = 4;
            info.Nav.iFixQuality = 2;
        };
        auto strip = [&] { ShowDiffSourceStatus(page, 1002, 1020, 1045, 1001, 1018, 1043); };
        info.Beacon.iSNR = 3;
        fix();
        strip();
        EXPECT_EQ(info.Nav.usNavMode, 0);
        EXPECT_EQ(info.Nav.iFixQuality, 0);
        fix();
        strip();  // same weak spell: cleared only once
        EXPECT_EQ(info.Nav.usNavMode, 4);
        EXPECT_EQ(info.Nav.iFixQuality, 2);
        info.Beacon.iSNR = 15;
        strip();
        EXPECT_EQ(page->m_bWeakSignalOnce, 0);
        info.Beacon.iSNR = 3;
        strip();  // a new spell clears again
        EXPECT_EQ(info.Nav.usNavMode, 0);
        page->EndDialog(ui::IDCANCEL);
    });
    Finish(run, page);
}

TEST(DiffSource, ReportNames) {
    const std::pair<int, const char*> names[] = {
        {CORR_NONE, "NONE"},
        {CORR_BEACON, "BEACON"},
        {CORR_LBND, "LBND"},
        {CORR_SBAS, "SBAS"},
        {CORR_EXTERNAL, "EXTERNAL"},
        {CORR_RTK, "SBAS"},
        {CORR_XREF, "x-Ref"},
        {CORR_TSPAN_BASE, "t-Span Base"},
        {CORR_TSPAN_ROVER, "t-Span Rover"},
        {CORR_SUBSEA7, "SBAS"},
        {-1, "SBAS"},
        {77, "SBAS"},
    };
    for (const auto& [source, name] : names) {
        std::string out = "stale";
        DiffSourceName(source, out);
        EXPECT_EQ(out, name) << source;
    }
}

}  // namespace

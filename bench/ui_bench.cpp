// What one redraw of the program's pictures costs: the strip chart over a full hour's ring
// (the position plot), the sky plot and the error ellipse, each drawn into its off-screen
// canvas and copied to the window at the design size, headless; and one tick of the position
// screen with every read-out changed and repainted.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

#include "engine/gps.h"
#include "screens/position/GPS_1.h"
#include "screens/position/GPS_2.h"
#include "screens/position/GPS_4.h"
#include "screens/position/GPS_5.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"

namespace {

std::function<void()> g_draw;

void BM_StripChartFullHour(benchmark::State& state) {
    for (auto _ : state) g_draw();
}
void BM_SkyPlot(benchmark::State& state) {
    for (auto _ : state) g_draw();
}
void BM_ErrorEllipse(benchmark::State& state) {
    for (auto _ : state) g_draw();
}
void BM_PositionTick(benchmark::State& state) {
    for (auto _ : state) g_draw();
}
BENCHMARK(BM_StripChartFullHour)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkyPlot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ErrorEllipse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PositionTick)->Unit(benchmark::kMicrosecond);

// The screen harness opens a screen in the program as the screen tests do; the benchmark
// runs inside the screen's loop.
class Pictures : public shelltest::ScreenTest {
public:
    void TestBody() override {}

    void FeedAll(std::initializer_list<std::string> sentences) {
        for (const std::string& s : sentences) Feed(s);
    }

    void Measure(eScreen screen, const std::function<void()>& fill,
                 const std::function<void(CBaseDialog*)>& draw, const std::string& filter) {
        Start();
        Open(screen);
        ui::StepRunner run;
        WaitShown(run, screen);
        run.Add([&] {
            fill();
            Tick();
            CBaseDialog* page = ScreenIfBuilt(screen);
            g_draw = [&] { draw(page); };
            benchmark::RunSpecifiedBenchmarks(filter);
            EndAll();
        });
        Run(run);
    }
};

void FillHour() {
    GPSInfo& info = g_GPS.Info;
    for (int i = 0; i < kHistorySize; ++i) {
        info.fNorthHistory[i] = static_cast<float>(0.8 * std::sin(i * 0.01));
        info.fEastHistory[i] = static_cast<float>(0.6 * std::cos(i * 0.013));
        info.fHeightHistory[i] = static_cast<float>(1.2 * std::sin(i * 0.007));
    }
    info.iPositionHistoryIndex = 1234;
    PlotReference ref;
    ref.bPlotRefValid = true;
    ref.iPlotRefLatDeg = 48;
    ref.dPlotRefLatMin = 7.038;
    ref.cPlotRefNS = 'N';
    ref.iPlotRefLonDeg = 11;
    ref.dPlotRefLonMin = 31.0;
    ref.cPlotRefEW = 'E';
    ref.fPlotRefAlt = 545.4f;
    theApp().SetPlotRef(ref);
}

// The screen harness starts the program once per process (as each screen test runs in a
// process of its own): each picture is measured in a child.
int InChild(const std::function<void()>& measure) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        measure();
        std::fflush(nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Every read-out of the position screen differs from the tick before; each is repainted as
// the window would repaint it, with what lies under it.
void PositionTick(CBaseDialog* page) {
    static int tick = 0;
    NavInfo& n = g_GPS.Info.Nav;
    ++tick;
    n.iYear = 2024, n.iMonth = 1 + tick % 12, n.iDay = 1 + tick % 28;
    n.iHour = tick % 24, n.iMinute = tick % 60, n.iSecond = (tick * 7) % 60;
    n.iLocalYear = n.iYear, n.iLocalMonth = n.iMonth, n.iLocalDay = n.iDay;
    n.iLocalHour = n.iHour, n.iLocalMinute = n.iMinute, n.iLocalSecond = n.iSecond;
    n.cLatDir = 'N', n.iLatDeg = 48, n.dLatMin = 7.0 + tick * 1e-4;
    n.cLonDir = 'E', n.iLonDeg = 11, n.dLonMin = 31.0 + tick * 1e-4;
    n.fAltitude = 545.0f + tick * 0.01f, n.fSpeedKmh = tick * 0.1f, n.fCourse = tick * 0.3f;
    n.fHeading = tick * 0.2f, n.fGSTLatErr = tick * 0.01f, n.fGSTLonErr = 0.5f;
    n.fHDOP = 0.5f + tick * 0.01f, n.fDiffAge = tick * 0.1f;
    static_cast<CGPS_1*>(page)->Refresh();
    for (int id :
         {IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT, IDC_GPS1_SPEED,
          IDC_GPS1_COURSE, IDC_GPS1_HEADING, IDC_GPS1_PRECISION, IDC_GPS1_HDOP, IDC_GPS1_DIFFAGE})
        page->GetDlgItem(id)->repaint();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    int failed = 0;
    failed |= InChild([] {
        shelltest::StartQt();
        Pictures p;
        p.Measure(
            SCR_GPS_5, FillHour, [](CBaseDialog* s) { static_cast<CGPS_5*>(s)->DrawPlot(); },
            "StripChart");
    });
    failed |= InChild([] {
        shelltest::StartQt();
        Pictures sky;
        sky.Measure(
            SCR_GPS_2,
            [&sky] {
                sky.FeedAll({"GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38",
                             "GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38",
                             "GPGSV,3,3,10,09,05,010,30,10,80,270,43"});
            },
            [](CBaseDialog* s) { static_cast<CGPS_2*>(s)->DrawSkyPlot(); }, "SkyPlot");
    });
    failed |= InChild([] {
        shelltest::StartQt();
        Pictures ellipse;
        ellipse.Measure(
            SCR_GPS_4,
            [&ellipse] {
                ellipse.FeedAll({"GPGST,123519.00,0.006,0.45,0.20,273.6,0.021,0.022,0.031"});
            },
            [](CBaseDialog* s) {
                auto* screen = static_cast<CGPS_4*>(s);
                screen->m_bRedraw = 1;  // otherwise an unchanged ellipse is not drawn again
                screen->DrawErrorEllipse();
            },
            "ErrorEllipse");
    });
    failed |= InChild([] {
        shelltest::StartQt();
        Pictures position;
        position.Measure(
            SCR_GPS_1, [] { g_GPS.Info.eReceiverType = RECEIVER_HEADING; }, PositionTick,
            "PositionTick");
    });
    benchmark::Shutdown();
    return failed ? 1 : 0;
}

// What the whole program costs (the test driver, idle while measured) against a simulated
// receiver that streams about 100 sentences and frames a second: CPU time of the process (from
// /proc) and resident memory on the position screen, the position plot and the terminal; then
// the time from a GGA sentence written to the receiver's side of the line to its altitude on the
// position screen, median and worst of 20. scripts/measure runs it on a virtual display.
//
//   tessaray_measure <seconds>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/numbers.h"
#include "resources/dlg_startup.h"
#include "stream.h"
#include "support/driver_client.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::DriverProcess;
using testsupport::ReceiverSimulator;
using Clock = std::chrono::steady_clock;

// "" once the position screen shows after the welcome page and the search, as a user gets there;
// else the step that went wrong and its answer.
std::string SearchToPositionScreen(DriverProcess& p) {
    std::string answer = p.AskUntil("top", "ok CTessaray_PCDlg");
    if (answer != "ok CTessaray_PCDlg") return "welcome page: " + answer;
    // The splash's hand-over now instead of after its three seconds.
    if ((answer = p.Ask("timer 1")) != "ok") return "timer 1: " + answer;
    if ((answer = p.AskUntil("top", "ok CSTARTUP3")) != "ok CSTARTUP3")
        return "start-up: " + answer;
    if ((answer = p.Ask("click " + std::to_string(IDC_SEARCH))) != "ok") return "Search: " + answer;
    // OK is shown once the receiver is found.
    if ((answer = p.AskUntil("click " + std::to_string(IDC_STARTUP_OK), "ok")) != "ok")
        return "OK: " + answer;
    if ((answer = p.AskUntil("top", "ok CGPS_1")) != "ok CGPS_1") return "position: " + answer;
    return "";
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// utime + stime of the process in clock ticks, and its resident set in kB.
struct Usage {
    unsigned long long ticks = 0;
    long rssKb = 0;
};

Usage ReadUsage(pid_t pid) {
    Usage u;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    if (close != std::string::npos) {
        std::istringstream in(line.substr(close + 2));
        std::string field;
        // Fields from the state (3rd) on; utime and stime are the 14th and 15th.
        for (int i = 3; i <= 15 && in >> field; ++i)
            if (i == 14 || i == 15) u.ticks += std::stoull(field);
    }
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) u.rssKb = std::atol(line.c_str() + 6);
    return u;
}

// The program on its position screen against the simulator; nullptr (with why) when it fails.
std::unique_ptr<DriverProcess> Start(const ReceiverSimulator& sim) {
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.env = {{"QT_QPA_PLATFORM", "xcb"}};
    auto p = std::make_unique<DriverProcess>(options);
    const std::string why = p->Connect() ? SearchToPositionScreen(*p) : "no channel";
    if (why.empty()) return p;
    std::fprintf(stderr, "measure: %s\n", why.c_str());
    return nullptr;
}

// Opens a page and answers the notices it shows on the way.
bool Go(DriverProcess& p, const std::string& command, const std::string& page) {
    p.Ask(command);
    return testsupport::WaitUntil([&] {
        if (p.Ask("msgbox") != "ok none") p.Ask("answer ok");
        return p.Ask("top") == "ok " + page;
    });
}

void MeasurePage(DriverProcess& p, const std::string& page, int seconds) {
    Pause(3000);  // settled: the page's entry commands are done
    const Usage a = ReadUsage(p.pid());
    const auto t0 = Clock::now();
    Pause(seconds * 1000);
    const Usage b = ReadUsage(p.pid());
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = static_cast<double>(b.ticks - a.ticks) / sysconf(_SC_CLK_TCK);
    std::printf("%-12s CPU %5.2f %% of one core over %.0f s, resident %.1f MB\n", page.c_str(),
                100.0 * cpu / wall, wall, b.rssKb / 1024.0);
    std::fflush(stdout);
}

// Once binary message 1 has been seen it owns the position and altitude, so the latency is
// measured in a session whose receiver sends neither it nor GGA but the GGA written here.
bool MeasureLatency() {
    ReceiverSimulator sim;
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(false), 10, true);
    auto p = Start(sim);
    if (!p) return false;
    Pause(1500);
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        const std::string before = p->Ask("get 1025");
        const std::string gga = testsupport::NmeaSentence(platform::Format(
            "GPGGA,1236%02d.00,4807.0381,N,01131.0002,E,2,08,0.9,%d.%d,M,46.9,M,3.0,0122", i + 1,
            600 + i, i % 10));
        const auto t0 = Clock::now();
        sim.Send(gga);
        std::string now = before;
        while (now == before && Clock::now() - t0 < std::chrono::seconds(5))
            now = p->Ask("get 1025");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (now == before) std::fprintf(stderr, "measure: altitude stayed %s\n", now.c_str());
        Pause(137);  // not in step with the screen's tick
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "latency      GGA to altitude read-out on CGPS_1: median %.0f ms, worst %.0f ms "
        "(20 sentences)\n",
        (ms[9] + ms[10]) / 2, ms.back());
    p->Ask("quit");
    return p->WaitExit() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc == 2 ? std::atoi(argv[1]) : 0;
    if (seconds < 1) {
        std::fprintf(stderr, "usage: tessaray_measure <seconds>\n");
        return 2;
    }
    ReceiverSimulator sim;
    if (!sim.ok()) {
        std::fprintf(stderr, "measure: %s\n", sim.error().c_str());
        return 1;
    }
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(), 10, true);
    auto p = Start(sim);
    if (!p) return 1;
    const uint64_t bytes0 = sim.BytesWritten();
    const auto t0 = Clock::now();
    MeasurePage(*p, "CGPS_1", seconds);
    std::printf("link         %.0f bytes/s from the receiver\n",
                static_cast<double>(sim.BytesWritten() - bytes0) /
                    std::chrono::duration<double>(Clock::now() - t0).count());
    bool ok = Go(*p, "select 1006 4", "CGPS_5");
    if (ok) MeasurePage(*p, "CGPS_5", seconds);
    ok = ok && Go(*p, "nav 3", "CTERMINAL_1");
    if (ok) MeasurePage(*p, "CTERMINAL_1", seconds);
    p->Ask("quit");
    p->WaitExit();
    p.reset();
    return ok && MeasureLatency() ? 0 : 1;
}

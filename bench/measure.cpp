// What the whole program costs (the test driver, idle while measured) against a simulated
// receiver that streams 100 sentences and frames a second: CPU time of the process (from /proc)
// and resident memory on the position screen, the position plot with a reference point set, the
// satellites screen and the terminal, each checked to show live values at the start and at the
// end of its run; then the time from a GGA sentence written to the receiver's side of the line
// to its altitude on the position screen, median and worst of 40 taken at random moments.
// scripts/measure runs it on a virtual display.
//
//   tessaray_measure <seconds>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
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

constexpr int kLatencySamples = 40;

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

// Answers the message box that waits, if one does; whether one did.
bool AnswerBox(DriverProcess& p) {
    if (p.Ask("msgbox") == "ok none") return false;
    p.Ask("answer ok");
    return true;
}

// A screen measured: the commands that open it from the screen before, and what shows it live:
// each control must hold its text at the start and at the end of the run, and the screen's
// picture and each ticking control must differ at the end from the start.
struct Screen {
    std::vector<std::string> commands;
    std::string page;
    std::vector<std::pair<int, std::string>> holds;
    std::vector<int> ticking;
    bool notice = false;  // the screen tells the user something at its first tick
};

// clang-format off
const Screen kScreens[] = {
    {{}, "CGPS_1", {{1023, "48 07.0"}, {1024, "11 31.0"}, {1025, "545.4"}}, {1022}},
    // SnapShot takes the position as the plot's reference point.
    {{"select 1006 4", "click 1064"}, "CGPS_5", {{1154, "Now"}, {1025, "48 07.038"}}, {}},
    {{"select 1029 1"}, "CGPS_2", {{1024, "9"}, {1035, "120"}, {1036, "340"}}, {}},
    {{"nav 3"}, "CTERMINAL_1", {{1068, "$GPGGA,"}}, {1068}, true},
};
// clang-format on

// Opens the screen, answering the boxes shown on the way; "" or what went wrong.
std::string Open(DriverProcess& p, const Screen& s) {
    for (size_t i = 0; i < s.commands.size(); ++i) {
        const std::string& command = s.commands[i];
        // The last command may be one given on the screen itself.
        const bool onScreen = i + 1 == s.commands.size() && i > 0;
        if (onScreen && !testsupport::WaitUntil([&] {
                AnswerBox(p);
                return p.Ask("top") == "ok " + s.page;
            }))
            return "never reached " + s.page;
        const std::string answer = p.Ask(command);
        if (answer != "ok") return command + ": " + answer;
    }
    if (!testsupport::WaitUntil([&] {
            AnswerBox(p);
            return p.Ask("top") == "ok " + s.page;
        }))
        return "never reached " + s.page + " (" + p.Ask("top") + ")";
    // A notice of the first tick is answered before the run: a box left open would have the
    // channel poll for its answer all the while.
    if (s.notice && !testsupport::WaitUntil([&] { return AnswerBox(p); }, 20000))
        return s.page + " showed no notice";
    // Settled: the screen's entry commands are done and every box is answered.
    const auto settled = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < settled) {
        AnswerBox(p);
        Pause(100);
    }
    return "";
}

// The screen's picture and the read-outs of its ticking controls; what is missing of the held
// texts goes to `missing`.
std::pair<std::string, std::string> LiveValues(DriverProcess& p, const Screen& s,
                                               const std::string& shot, std::string* missing) {
    std::string picture, values;
    if (p.Ask("screenshot " + shot) == "ok") {
        std::ifstream in(shot, std::ios::binary);
        picture.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (picture.empty()) *missing += " no screenshot;";
    for (const auto& [id, part] : s.holds) {
        const std::string got = p.Ask("get " + std::to_string(id));
        if (got.find(part) == std::string::npos)
            *missing += " control " + std::to_string(id) + " reads \"" + got + "\";";
    }
    for (int id : s.ticking) values += p.Ask("get " + std::to_string(id)) + "\n";
    return {picture, values};
}

// Live: the held texts are there and, within a few seconds, the picture and the ticking
// read-outs have changed. The window holds several ticks of the slowest (1 Hz) screen, so a
// tick that shows what the one before it showed cannot fail the check.
// (Compared across the whole run they could match again: the stream repeats every minute.)
bool ShowsLiveValues(DriverProcess& p, const Screen& s, const std::string& shot, const char* when) {
    constexpr auto kWindow = std::chrono::seconds(5);
    std::string missing;
    const auto first = LiveValues(p, s, shot, &missing);
    bool pictureChanged = false, valuesChanged = s.ticking.empty();
    const auto end = Clock::now() + kWindow;
    std::string missingLast;
    while (!(pictureChanged && valuesChanged) && Clock::now() < end) {
        Pause(500);
        missingLast.clear();
        const auto next = LiveValues(p, s, shot, &missingLast);
        pictureChanged = pictureChanged || next.first != first.first;
        valuesChanged = valuesChanged || next.second != first.second;
    }
    missing += missingLast;
    if (!missing.empty())
        std::fprintf(stderr, "measure: %s %s:%s\n", s.page.c_str(), when, missing.c_str());
    const bool changed = pictureChanged && valuesChanged;
    if (!changed)
        std::fprintf(stderr, "measure: %s %s: nothing changed in %lld s\n", s.page.c_str(), when,
                     static_cast<long long>(kWindow.count()));
    return missing.empty() && changed;
}

// The checks (screenshots, which the program encodes) are made just outside the measured time.
bool Measure(DriverProcess& p, const Screen& s, int seconds, const std::string& shot) {
    bool ok = ShowsLiveValues(p, s, shot, "at the start");
    const Usage a = ReadUsage(p.pid());
    const auto t0 = Clock::now();
    Pause(seconds * 1000);
    const Usage b = ReadUsage(p.pid());
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    if (p.Ask("msgbox") != "ok none") {
        std::fprintf(stderr, "measure: a message box opened during the %s run\n", s.page.c_str());
        ok = false;
    }
    ok = ShowsLiveValues(p, s, shot, "at the end") && ok;
    const double cpu = static_cast<double>(b.ticks - a.ticks) / sysconf(_SC_CLK_TCK);
    std::printf("%-12s CPU %5.2f %% of one core over %.0f s, resident %.1f MB%s\n", s.page.c_str(),
                100.0 * cpu / wall, wall, b.rssKb / 1024.0, ok ? ", live values" : ", NOT LIVE");
    std::fflush(stdout);
    return ok;
}

// Once binary message 1 has been seen it owns the position and altitude, so the latency is
// measured in a session whose receiver sends neither it nor GGA but the GGA written here. The
// samples are taken at random moments, so that they fall anywhere in the screen's refresh.
bool MeasureLatency() {
    ReceiverSimulator sim;
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(false), 10, true);
    auto p = Start(sim);
    if (!p) return false;
    Pause(1500);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pauseMs(100, 600);
    std::vector<double> ms;
    bool ok = true;
    for (int i = 0; i < kLatencySamples; ++i) {
        const std::string before = p->Ask("get 1025");
        const std::string gga = testsupport::NmeaSentence(platform::Format(
            "GPGGA,1236%02d.00,4807.0381,N,01131.0002,E,2,08,0.9,%d.%d,M,46.9,M,3.0,0122", i % 60,
            600 + i, i % 10));
        const auto t0 = Clock::now();
        sim.Send(gga);
        std::string now = before;
        while (now == before && Clock::now() - t0 < std::chrono::seconds(5))
            now = p->Ask("get 1025");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (now == before) {
            std::fprintf(stderr, "measure: altitude stayed %s\n", now.c_str());
            ok = false;
        }
        Pause(pauseMs(random));
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    std::printf(
        "latency      GGA to altitude read-out on CGPS_1: median %.0f ms, worst %.0f ms "
        "(%zu sentences, random pauses of 100 to 600 ms between them)\n",
        (ms[(n - 1) / 2] + ms[n / 2]) / 2, ms.back(), n);
    p->Ask("quit");
    return p->WaitExit() == 0 && ok;
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
    char folder[] = "/tmp/tessaray_measure_XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("measure: mkdtemp");
        return 1;
    }
    const std::string shot = std::string(folder) + "/screen.png";
    bool ok = true;
    for (const Screen& s : kScreens) {
        const std::string why = Open(*p, s);
        if (!why.empty()) {
            std::fprintf(stderr, "measure: %s\n", why.c_str());
            ok = false;
            break;
        }
        const uint64_t bytes0 = sim.BytesWritten();
        const auto t0 = Clock::now();
        ok = Measure(*p, s, seconds, shot) && ok;
        std::printf("             link %.0f bytes/s from the receiver\n",
                    static_cast<double>(sim.BytesWritten() - bytes0) /
                        std::chrono::duration<double>(Clock::now() - t0).count());
    }
    p->Ask("quit");
    p->WaitExit();
    p.reset();
    ::unlink(shot.c_str());
    ::rmdir(folder);
    return MeasureLatency() && ok ? 0 : 1;
}

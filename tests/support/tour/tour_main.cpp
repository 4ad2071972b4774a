// Walks the whole program (the test driver) through every screen as a user would, against a
// simulated receiver that streams about 100 sentences and frames a second, and either saves a
// picture of each screen or measures what the program costs on a few of them. Not shipped;
// scripts/screenshots and scripts/measure run it under a virtual display.
//
//   tessaray_tour shots <folder> <suffix>   one PNG per screen: <folder>/<nn>-<class>-<suffix>.png
//   tessaray_tour measure <seconds>         CPU and resident memory per screen, read-out latency

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/numbers.h"
#include "stream.h"
#include "support/driver_client.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::DriverProcess;
using testsupport::NmeaSentence;
using testsupport::ReceiverSimulator;
using Clock = std::chrono::steady_clock;

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// One second of the receiver's output cut to 100 items (sent 10 ms apart): what the engine
// benchmark streams, less its "$>" replies (queries are answered below), with rate of turn and
// the beacon status each second.
std::vector<std::string> ReceiverItems(unsigned seconds, bool withGga = true) {
    std::vector<std::string> items;
    for (unsigned s = 0; s < seconds; ++s) {
        std::vector<std::string> second;
        for (std::string& f : benchsupport::ReceiverSecond(s)) {
            if (f.rfind("$>", 0) == 0) continue;
            // Binary message 1 carries the position too: left out with GGA.
            if (!withGga && (f.rfind("$GPGGA", 0) == 0 || f.rfind("$BIN", 0) == 0)) continue;
            second.push_back(std::move(f));
        }
        second.push_back(NmeaSentence(platform::Format("GPROT,%.1f,A", 1.5 + s % 5)));
        second.push_back(NmeaSentence("PKRV,CS0,BX3.1,0,290.0,M,0,M,7,10,50,3,705,2"));
        // The sky turns slowly: each second moves the satellites a little.
        second.push_back(NmeaSentence(
            platform::Format("GPGSV,3,1,10,01,%u,%03u,46,02,17,308,41,03,07,344,39,04,10,200,38",
                             40 + s % 10, (83 + s) % 360)));
        while (second.size() < 100) second.push_back(second[second.size() % 4]);
        second.resize(100);
        items.insert(items.end(), second.begin(), second.end());
    }
    return items;
}

void Answer(ReceiverSimulator& sim, bool heading) {
    sim.SetReply("$JI", heading ? "$>JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,HEADING\r\n"
                                : "$>JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,\r\n");
    sim.SetReply("$JSHOW", "$>JSHOW,BAUD,19200,PORTA\r\n$>JSHOW,ASC,GPGGA,1.0,PORTA\r\n");
    sim.SetReply("$JGEO", "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n");
    sim.SetReply("$JDIFF", "$>JDIFF,WAAS\r\n");
    sim.SetReply("$JAPP", "$>JAPP,WAAS,LBAND\r\n");
    sim.SetReply("$JRTK", "$>JRTK,1,48.1173,11.5167,545.4\r\n");
    sim.SetReply("$JRAD", "$>JRAD,1,48.1173,11.5167,545.4,AUTO\r\n");
    sim.SetReply("$JOMS", "$>JOMS,1,OK\r\n");
    sim.SetReply("$JBAUD", "$>\r\n");
}

class Tour {
public:
    Tour(ReceiverSimulator& sim, DriverProcess& p) : sim_(sim), p_(p) {}

    bool Ok() const { return ok_; }

    // A reply that came too late would answer the next question: after a time-out the
    // channel is opened afresh, which drops what is still on its way.
    std::string Ask(const std::string& command) {
        std::string reply = p_.Ask(command);
        if (reply == "timeout") p_.Connect();
        return reply;
    }

    std::string Top() { return Ask("top"); }

    // Waits for a page; answers message boxes on the way with their first button.
    bool WaitTop(const std::string& cls, int timeoutMs = 15000) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::string top;
        while (Clock::now() < deadline) {
            top = Top();
            if (top == "ok " + cls) return true;
            AnswerBoxes();
            Pause(50);
        }
        std::fprintf(stderr, "tour: %s did not open (top: %s)\n", cls.c_str(), top.c_str());
        ok_ = false;
        return false;
    }

    void AnswerBoxes() {
        const std::string box = Ask("msgbox");
        if (box == "ok none" || box.rfind("ok ", 0) != 0) return;
        std::fprintf(stderr, "tour: message box answered: %s\n", box.c_str());
        // MB_YESNO (4) and MB_YESNOCANCEL (3) take yes, the others their first button.
        const unsigned type = static_cast<unsigned>(std::atoi(box.c_str() + 3)) & 0xF;
        Ask(type == 3 || type == 4 ? "answer yes" : "answer ok");
    }

    bool Do(const std::string& command) {
        const std::string reply = Ask(command);
        if (reply == "ok") return true;
        std::fprintf(stderr, "tour: %s: %s\n", command.c_str(), reply.c_str());
        ok_ = false;
        return false;
    }

    // Start-up: the search on COM1, then OK, as a first-time user does.
    bool Start(int receiverType) {
        if (!p_.Connect() || !WaitTop("CTessaray_PCDlg", 30000)) return false;
        Do("timer 1");
        if (!WaitTop("CSTARTUP3", 30000)) return false;
        return Search(receiverType);
    }

    bool Search(int receiverType) {
        Do("click 1166");
        const auto deadline = Clock::now() + std::chrono::seconds(40);
        // The receiver type and OK show once the receiver is found.
        while (Ask("select 1002 " + std::to_string(receiverType)) != "ok" ||
               Ask("click 1001") != "ok") {
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "tour: the search did not find the receiver\n");
                return ok_ = false;
            }
            AnswerBoxes();
            Pause(100);
        }
        return WaitTop("CGPS_1", 60000);
    }

    // Moves to another page by a tab or the bar and waits for it.
    bool Go(const std::string& command, const std::string& cls) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Do(command);
            const auto deadline = Clock::now() + std::chrono::seconds(8);
            while (Clock::now() < deadline) {
                if (Top() == "ok " + cls) return true;
                AnswerBoxes();
                Pause(50);
            }
        }
        return WaitTop(cls, 1000);
    }

    ReceiverSimulator& sim_;
    DriverProcess& p_;
    bool ok_ = true;
};

// The pages in the order a user reaches them: the command that opens each from the page
// before it.
struct Step {
    const char* command;
    const char* page;
};

const std::vector<Step> kGpsSteps = {
    {"select 1006 1", "CGPS_2"},
    {"select 1029 2", "CGPS_3"},
    {"select 1006 3", "CGPS_4"},
    {"select 1006 4", "CGPS_5"},
    {"select 1029 5", "CGPS_6"},
    {"nav 3", "CTERMINAL_1"},
    {"select 1006 1", "CTERMINAL_2"},
    {"nav 4", "CLOGS_1"},
    {"select 1008 1", "CLOGS_2"},
    {"select 1008 2", "CLOGS_3"},
    {"select 1008 3", "CLOGS_4"},
    {"select 1008 4", "CLOGS_5"},
    {"nav 2", "CSBAS_1"},
    {"select 1008 1", "CSBAS_3"},
};

// Differential sources by the source combo (1021) of the current differential page: the
// combo item, the receiver's answer to the query, and the pages of the source with their tabs.
struct Source {
    int item;
    const char* jdiff;
    const char* japp;
    std::vector<Step> pages;
};

const std::vector<Source> kSources = {
    {1,
     "BEACON",
     "WAAS,LBAND",
     {{"", "CBEACON_1"}, {"select 1051 1", "CBEACON_2"}, {"select 1050 2", "CBEACON_3"}}},
    {2,
     "LBAND",
     "LBAND,WAAS",
     {{"", "CLBND_1"},
      {"select 1008 1", "CLBND_2"},
      {"select 1008 2", "CLBND_3"},
      {"select 1014 3", "CLBND_4"}}},
    {4, "AUTO", "AUTODIFF,WAAS", {{"", "CXREF_1"}}},
    {7, "RTKBAS", "RTKBAS,WAAS", {{"", "TSpanDlg1"}}},
    {8, "LOCDIF", "LOCDIF,WAAS", {{"", "TSpanRover"}}},
};

const std::vector<Step> kHeadingSteps = {
    {"nav 5", "CHEADING_1"}, {"select 1029 1", "CHEADING_2"}, {"select 1029 2", "CHEADING_3"}};

class Shots {
public:
    Shots(Tour& tour, std::string folder, std::string suffix)
        : tour_(tour), folder_(std::move(folder)), suffix_(std::move(suffix)) {}

    void Take(const std::string& page) {
        // Live values: a few ticks of every screen's timers.
        Pause(2500);
        tour_.AnswerBoxes();
        char name[32];
        std::snprintf(name, sizeof name, "%02d-", ++count_);
        const std::string file = folder_ + "/" + name + page + "-" + suffix_ + ".png";
        if (tour_.Do("screenshot " + file)) std::printf("%s\n", file.c_str());
    }

    void Walk(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            if (*s.command && !tour_.Go(s.command, s.page)) continue;
            Take(s.page);
        }
    }

private:
    Tour& tour_;
    std::string folder_;
    std::string suffix_;
    int count_ = 0;
};

int RunShots(const std::string& folder, const std::string& suffix) {
    ReceiverSimulator sim;
    if (!sim.ok()) {
        std::fprintf(stderr, "tour: %s\n", sim.error().c_str());
        return 1;
    }
    Answer(sim, false);
    sim.Stream(ReceiverItems(60), 10, true);
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.env = {{"QT_QPA_PLATFORM", "xcb"}};
    DriverProcess p(options);
    Tour tour(sim, p);
    if (!tour.Start(0)) return 1;
    Shots shots(tour, folder, suffix);
    shots.Take("CGPS_1");
    shots.Walk(kGpsSteps);
    for (const Source& source : kSources) {
        sim.SetReply("$JDIFF", std::string("$>JDIFF,") + source.jdiff + "\r\n");
        sim.SetReply("$JAPP", std::string("$>JAPP,") + source.japp + "\r\n");
        // Chosen on the position screen; the bar's differential button then opens the new
        // source's first page.
        if (!tour.Go("nav 1", "CGPS_1")) continue;
        tour.Do("select 1021 " + std::to_string(source.item));
        Pause(1500);
        tour.AnswerBoxes();
        if (!tour.Go("nav 2", source.pages.front().page)) continue;
        shots.Walk(source.pages);
    }
    // A heading receiver, found again from the start-up page.
    Answer(sim, true);
    if (tour.Go("nav 6", "CSTARTUP3") && tour.Search(1)) shots.Walk(kHeadingSteps);
    p.Ask("quit");
    p.WaitExit();
    return tour.Ok() ? 0 : 1;
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
        for (int i = 3; i <= 15 && in >> field; ++i) {
            if (i == 14 || i == 15) u.ticks += std::stoull(field);
        }
    }
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) u.rssKb = std::atol(line.c_str() + 6);
    }
    return u;
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

// From writing a GGA to its altitude on the position screen, 20 times.
void MeasureLatency(ReceiverSimulator& sim, DriverProcess& p) {
    sim.Stream(ReceiverItems(60, false), 10, true);
    Pause(1500);
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        const std::string before = p.Ask("get 1025");
        const std::string gga = NmeaSentence(platform::Format(
            "GPGGA,1236%02d.00,4807.0381,N,01131.0002,E,2,08,0.9,%d.%d,M,46.9,M,3.0,0122", i,
            600 + i, i % 10));
        const auto t0 = Clock::now();
        sim.Send(gga);
        std::string now = before;
        while (now == before && Clock::now() - t0 < std::chrono::seconds(5)) {
            now = p.Ask("get 1025");
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        Pause(137);  // not in step with the screen's tick
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "latency      GGA to altitude read-out on CGPS_1: median %.0f ms, worst %.0f ms "
        "(20 sentences)\n",
        (ms[9] + ms[10]) / 2, ms.back());
}

int RunMeasure(int seconds) {
    ReceiverSimulator sim;
    if (!sim.ok()) return 1;
    Answer(sim, false);
    sim.Stream(ReceiverItems(60), 10, true);
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.env = {{"QT_QPA_PLATFORM", "xcb"}};
    DriverProcess p(options);
    Tour tour(sim, p);
    if (!tour.Start(0)) return 1;
    const uint64_t bytes0 = sim.BytesWritten();
    const auto t0 = Clock::now();
    MeasurePage(p, "CGPS_1", seconds);
    std::printf("link         %.0f bytes/s from the receiver\n",
                static_cast<double>(sim.BytesWritten() - bytes0) /
                    std::chrono::duration<double>(Clock::now() - t0).count());
    if (tour.Go("select 1006 4", "CGPS_5")) MeasurePage(p, "CGPS_5", seconds);
    if (tour.Go("nav 3", "CTERMINAL_1")) MeasurePage(p, "CTERMINAL_1", seconds);
    if (tour.Go("nav 1", "CGPS_1")) MeasureLatency(sim, p);
    p.Ask("quit");
    p.WaitExit();
    return tour.Ok() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "shots" && argc == 4) return RunShots(argv[2], argv[3]);
    if (mode == "measure" && argc == 3) return RunMeasure(std::max(1, std::atoi(argv[2])));
    std::fprintf(
        stderr, "usage: tessaray_tour shots <folder> <suffix> | tessaray_tour measure <seconds>\n");
    return 2;
}

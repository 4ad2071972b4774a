// The logging screens headless: rates on the wire and the files the reader thread writes.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

#include "engine/reader_sinks.h"
#include "engine/thread.h"
#include "screens/logging/LOGS_2.h"
#include "screens/logging/LOGS_4.h"
#include "screens/logging/LOGS_5.h"
#include "screens/logging/logs_frame.h"
#include "screens/screen_walk.h"
#include "shell/ExitInstance.h"
#include "shell/FileListing.h"
#include "shell/FileOpenDlg.h"
#include "support/frames.h"

namespace {

using shelltest::ReadFile;
using shelltest::WriteFile;
using testsupport::BinFrame;
using testsupport::NmeaSentence;
using Lines = std::vector<std::string>;

constexpr int kCreateNew = 1034;  // the NMEA page's; the other pages use 1036
const std::string kGGA =
    NmeaSentence("GPGGA,120000.00,5100.0000,N,00100.0000,W,1,08,0.9,10.0,M,,M,,");

class LoggingTest : public shelltest::WalkTest {
protected:
    void SetUp() override {
        Start();
        dir_ = shelltest::TempDir() + "/logs/";
        ::mkdir(dir_.c_str(), 0755);
        reader_ = std::make_unique<CGPSThread>(nullptr, &sinks_);
        g_GPS.Info.Comm.iOpenBaudRate = 57600;
    }
    std::string Path(const std::string& name) const { return dir_ + name; }
    // Received bytes through the reader thread's framing, dispatch and loggers.
    void Receive(const std::string& bytes) { reader_->FrameBytes(bytes.data(), bytes.size()); }
    // Received while the process may write no byte to any file.
    void ReceiveOnAFullDisk(const std::string& bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit none{0, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
        Receive(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    bool Lamp() const {
        return Page()->IsItemVisible(IDC_LOGS_LAMP_ON) && !Page()->IsItemVisible(IDC_LOGS_LAMP_OFF);
    }
    // The position in the record, in NMEA form (degrees and minutes with a letter) or as
    // binary message 1 gives it (signed degrees).
    static void SetPosition(double lat, double lon, float alt, bool bin1 = false) {
        NavInfo& n = g_GPS.Info.Nav;
        RecordLock lock(n.ulNavLock);
        const auto part = [bin1](double v, int32_t& deg, double& min) {
            deg = static_cast<int32_t>(std::fabs(v));
            min = (std::fabs(v) - deg) * 60.0;
            if (bin1 && v < 0) deg = -deg;
        };
        part(lat, n.iLatDeg, n.dLatMin);
        part(lon, n.iLonDeg, n.dLonMin);
        n.cLatDir = lat < 0 ? 'S' : 'N';
        n.cLonDir = lon < 0 ? 'W' : 'E';
        n.fAltitude = alt;
        n.iFixQuality = 1;
        theApp().bBin1Position = bin1 ? 1 : 0;
    }
    std::string dir_;
    EngineSinks sinks_;
    std::unique_ptr<CGPSThread> reader_;
};

// Only GGA is chosen and GGA and VTG are received; a file is emptied only after a question;
// refused starts name the file and the reason.
TEST_F(LoggingTest, NmeaPage) {
    g_GPS.Info.Comm.iOpenBaudRate = 19200;
    const std::string old = "old line\r\n", two = kGGA + kGGA, blocked = Path("plain");
    WriteFile(blocked, "x");  // a file: no folder can be made below it
    const std::string device = Path("device.txt");
    ASSERT_EQ(::symlink("/dev/full", device.c_str()), 0);
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    // clang-format off
    const struct { int mode; const char* before; int answer; std::string after; } modes[] = {
        {IDC_LOGS_APPEND, nullptr, 0, two}, {IDC_LOGS_APPEND, "old line\r\n", 0, old + two},
        {IDC_LOGS_OVERWRITE, "old line\r\n", 0, two}, {kCreateNew, "old line\r\n", ui::IDYES, two},
        {kCreateNew, "old line\r\n", ui::IDNO, old} /* does not run */, {kCreateNew, "", 0, two}};
    const std::pair<std::string, std::string> refused[] = {
        {Path("a.Txt"), kWrongTxtText},
        {blocked + "/deeper/x.txt", blocked}, {device, device + ": not a regular file"}};
    // clang-format on
    Walk({{SCR_LOGS_1,
           [&] {
               const std::string off =
                   "$JASC,GPGGA,0\r\n$JASC,GPGLL,0\r\n$JASC,GPGST,0\r\n"
                   "$JASC,GPGSV,0\r\n$JASC,GPRMC,0\r\n$JASC,GPRRE,0\r\n"
                   "$JASC,GPVTG,0\r\n$JASC,GPZDA,0\r\n$JASC,GPGSA,0\r\n"
                   "$JASC,HEHDT,0\r\n$JASC,HEROT,0\r\n$JASC,HPR,0\r\n";
               EXPECT_EQ(Sent(), off);
               // One changed rate re-sends all twelve.
               EXPECT_EQ(ChooseSent(1037, 1), std::string(off).replace(8 * 15 + 12, 1, "1"));
               Tick();
               Tick();
               EXPECT_EQ(Told(), kBaudNoteText + std::string("|"));  // once, at the first tick
               Choose(1035, 1);
               for (size_t n = 0; n < std::size(modes); ++n) {
                   const auto& c = modes[n];
                   const std::string path = Path(platform::Format("sub%zu/nmea.txt", n));
                   if (c.before) {
                       ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
                       WriteFile(path, c.before);
                   }
                   boxes.Clear();
                   if (c.answer) boxes.Answer(c.answer);
                   Retype(IDC_LOGS_FILE, path);
                   Click(c.mode);
                   Click(IDC_LOGS_START);
                   EXPECT_EQ(boxes.shown().size(), c.answer ? 1u : 0u) << n;
                   Tick();
                   EXPECT_EQ(Lamp(), c.answer != ui::IDNO) << n;
                   EXPECT_EQ(Page()->IsItemEnabled(IDC_LOGS_START), c.answer == ui::IDNO) << n;
                   Receive(kGGA + NmeaSentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A") + kGGA);
                   Click(IDC_LOGS_STOP);
                   Receive(kGGA);
                   Tick();
                   EXPECT_FALSE(Lamp()) << n;
                   EXPECT_EQ(ReadFile(path), c.after) << n;
               }
               for (const auto& [name, says] : refused) {
                   Retype(IDC_LOGS_FILE, name);
                   const std::string told = Press(IDC_LOGS_START);
                   EXPECT_NE(told.find(says), std::string::npos) << told;
                   EXPECT_EQ(told.find('|'), told.size() - 1) << told;  // one message
                   EXPECT_EQ(theApp().bNMEALogOn.load(), 0) << name;
                   EXPECT_EQ(theApp().wLogFlags.load() & LOG_NMEA, 0u) << name;
               }
               Retype(IDC_LOGS_FILE, Path("full.txt"));
               Click(IDC_LOGS_APPEND);
               Click(IDC_LOGS_START);
               EXPECT_EQ(theApp().bNMEALogOn.load(), 1);
               ReceiveOnAFullDisk(kGGA);
               EXPECT_EQ(theApp().bNMEALogOn.load(), 0);
               Tick();
               EXPECT_FALSE(Lamp());
               // Newest first; names the archive cannot hold (outside Windows-1252, too long)
               // used but not stored; a name used again stays where it was; case counts.
               for (const std::string& n :
                    Lines{"a2.txt", "caf\xC3\xA9.txt", "Log.txt", "log.txt", "a6.txt", "a7.txt",
                          "a8.txt", "a9.txt", "a10.txt", "a11.txt",
                          "\xC5\x81\xC3\xB3"
                          "d\xC5\xBA.txt",
                          std::string(56, 'n') + ".txt", "a6.txt"}) {
                   Retype(IDC_LOGS_FILE, n);
                   Click(IDC_LOGS_START);
                   EXPECT_EQ(theApp().szNMEALogFile(), n);
                   Click(IDC_LOGS_STOP);
               }
               ASSERT_TRUE(g_GPS.SaveConfigFile());
               g_GPS.Info.Settings.szLogComboTexts.Init();
               ASSERT_TRUE(g_GPS.LoadConfigFile(false));
               Page()->OnInitDialog();
               // The names used in this run stay listed, also those the archive could not hold.
               const std::string listed = std::string(56, 'n') +
                                          ".txt|\xC5\x81\xC3\xB3"
                                          "d\xC5\xBA.txt|a11.txt|a10.txt|a9.txt|a8.txt|a7.txt|"
                                          "a6.txt|log.txt|Log.txt|caf\xC3\xA9.txt|a2.txt|";
               EXPECT_EQ(Items(IDC_LOGS_FILE).substr(0, listed.size()), listed);
               EXPECT_STREQ(g_GPS.Info.Settings.szLogComboTexts.szNMEALogRecent[8], "caf\xE9.txt");
               SelectTab(IDC_LOGS_TAB, 2);
           }},
          {SCR_LOGS_3, [&] {
               Told();
               theApp().SetLogFile(LOGFILE_NMEA, Path("../logs/shared.bin"));
               theApp().bNMEALogOn = 1;
               Retype(IDC_LOGS_FILE, Path("shared.bin"));
               const std::string told = Press(IDC_LOGS_START);
               EXPECT_NE(told.find(Path("shared.bin")), std::string::npos) << told;
               EXPECT_NE(told.find("NMEA log"), std::string::npos) << told;
               EXPECT_EQ(theApp().bBinLogOn.load(), 0);
               theApp().bNMEALogOn = 0;
           }}});
}

// Neither log lowers messages 95 and 96 while the other needs them; iBin1Rate follows the
// binary log only while it runs.
TEST_F(LoggingTest, RawAndBinaryLogsAndTheirSharedMessages) {
    const std::string f93 = BinFrame(93, std::string(56, '\x01')),
                      f94 = BinFrame(94, std::string(96, '\x02')),
                      f95 = BinFrame(95, std::string(128, '\x0A')),
                      f96 = BinFrame(96, std::string(304, '\x0D'));
    const std::string b1 = BinFrame(1, std::string(52, '\0')),
                      b80 = BinFrame(80, std::string(40, '\0'));
    const auto utf16 = [](const std::string& s) {
        std::string out;
        for (char c : s) out += std::string{c, '\0'};
        return out;
    };
    Walk({{SCR_LOGS_2,
           [&] {
               EXPECT_EQ(Sent(), "$JBIN,96,0\r\n$JBIN,95,0\r\n");
               EXPECT_EQ(ChooseSent(IDC_LOGS2_RATE, 3), "$JBIN,96,0.2\r\n$JBIN,95,0.2\r\n");
               Retype(IDC_LOGS_FILE, Path("raw/rover.bin"));
               Retype(IDC_LOGS2_STATION, "ABCDE");
               Click(IDC_LOGS_START);
               Receive(f93 + f94 + f95 + f96);
               Click(IDC_LOGS_STOP);
               Receive(f95);
               // Appended; a station line whose unit holds 0x0A stays whole.
               Retype(IDC_LOGS2_STATION, "\xC4\x8A");  // U+010A
               Click(IDC_LOGS_APPEND);
               Click(IDC_LOGS_START);
               Receive(f95);
               Click(IDC_LOGS_STOP);
               EXPECT_EQ(ReadFile(Path("raw/rover.bin")),
                         utf16("Station ID: ABCDE") + "\r\n" + f93 + f94 + f95 + f96 +
                             utf16("Station ID: ") + std::string("\x0A\x01\r\n", 4) + f95);
               Click(IDC_LOGS2_ADD);
               EXPECT_EQ(Page()->GetCount(IDC_LOGS2_STATION), 1);  // kept once added
               Choose(IDC_LOGS2_RATE, 1);
               Click(IDC_LOGS_START);
               ASSERT_EQ(theApp().bRawLogOn.load(), 1);
               ClearWire();
               SelectTab(IDC_LOGS_TAB, 2);
           }},
          {SCR_LOGS_3,
           [&] {
               const std::string all =
                   "$JBIN,1,0\r\n$JBIN,2,0\r\n$JBIN,80,0\r\n$JBIN,95,1\r\n$JBIN,96,1\r\n"
                   "$JBIN,97,0\r\n$JBIN,98,0\r\n$JBIN,99,0\r\n$JASC,D1,0\r\n";
               EXPECT_EQ(Sent(), all);
               // Bin80 at 1 Hz re-sends all nine; 95 stays the user's choice.
               EXPECT_EQ(ChooseSent(1037, 1), std::string(all).replace(31, 1, "1"));
               EXPECT_EQ(g_GPS.Info.Settings.BinLogRates.eBIN95, 0);
               Choose(1035, 2);
               Retype(IDC_LOGS_FILE, Path("b.txt"));  // refused
               Click(IDC_LOGS_START);
               EXPECT_EQ(theApp().iBin1Rate.load(), 1);
               Retype(IDC_LOGS_FILE, Path("b.bin"));
               Click(IDC_LOGS_START);
               EXPECT_EQ(theApp().iBin1Rate.load(), 5);
               Receive(b1 + BinFrame(2, std::string(16, '\0')) + NmeaSentence("RD1,1,2") + b80);
               Click(IDC_LOGS_STOP);
               EXPECT_EQ(theApp().iBin1Rate.load(), 1);
               EXPECT_EQ(ReadFile(Path("b.bin")), b1 + b80);
               Retype(IDC_LOGS_FILE, Path("full.bin"));
               Click(IDC_LOGS_START);
               ReceiveOnAFullDisk(b1);
               EXPECT_EQ(theApp().bBinLogOn.load(), 0);
               EXPECT_EQ(theApp().iBin1Rate.load(), 1);
               Tick();
               // With the binary log on 95 at 1 Hz, the raw screen's OFF leaves 95 on.
               Choose(1038, 1);
               Click(IDC_LOGS_START);
               theApp().bRawLogOn = 0;
               SelectTab(IDC_LOGS_TAB, 1);
           }},
          {SCR_LOGS_2,
           [&] { EXPECT_EQ(ChooseSent(IDC_LOGS2_RATE, 0), "$JBIN,96,0\r\n$JBIN,95,1\r\n"); }}});
}

// Point IDs are rescanned from a file named again and saturate; every way out of the group
// asks while a log runs.
TEST_F(LoggingTest, PointsPolygonAndLeaving) {
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    const std::string a = Path("pts/a.txt"), b = Path("pts/b.txt"), head = kPointHeader;
    const std::string polygon =
        "Start Polygon\r\nLat and Lon are in decimal degrees, alt in meters\r\n"
        "Vertex          Lat             Lon             Alt\r\n"
        "1               -0.0050000      -0.0050000      7.250     \r\n"
        "2               -0.0050000      0.0050000       7.250     \r\n"
        "3               0.0050000       0.0050000       7.250     \r\n"
        "4               0.0050000       -0.0050000      7.250     \r\n"
        "Total area:                      123.476033  hectares\r\n"
        "                                 305.109277  acres\r\nEnd Polygon\r\n" +
        std::string(58, '*') + "\r\n";
    // clang-format off
    const struct { std::string file; int mode, idMode; const char* custom; double lat, lon; bool bin1; std::string row; } steps[] = {
        {a, 1036, IDC_LOGS4_AUTO, "", -33.875, 151.2, false, "1               -33.8750000     151.2000000     12.500    \r\n"},
        {a, 0, IDC_LOGS4_AUTO, "", 1.0, 2.0, false, "2               1.0000000       2.0000000       12.500    \r\n"},
        {a, 0, IDC_LOGS4_CUSTOM, "120A", 1.0, 2.0, false, "120A            1.0000000       2.0000000       12.500    \r\n"},
        {a, 0, IDC_LOGS4_CUSTOM, "", 1.0, 2.0, false, "                1.0000000       2.0000000       12.500    \r\n"},
        {b, 0, IDC_LOGS4_AUTO, "", 0.0, -0.5, true, "1               0.0000000       -0.5000000      12.500    \r\n"},
        {a, IDC_LOGS_APPEND, IDC_LOGS4_AUTO, "", -0.25, 0.0, true, "121             -0.2500000      0.0000000       12.500    \r\n"},
        {a, 0, IDC_LOGS4_CUSTOM, "12345678901234567890123456789012", 0, 0, false, ""}};
    // clang-format on
    Walk({{SCR_LOGS_4,
           [&] {
               std::string content[2];
               for (const auto& s : steps) {
                   boxes.Clear();
                   if (s.mode) Click(s.mode);
                   Click(s.idMode);
                   Retype(IDC_LOGS4_ID, s.custom);
                   Retype(IDC_LOGS_FILE, s.file);
                   SetPosition(s.lat, s.lon, 12.5f, s.bin1);
                   Click(IDC_LOGS4_LOG_POINT);
                   std::string& c = content[s.file == a ? 0 : 1];
                   c += (c.empty() && !s.row.empty() ? head : "") + s.row;
                   EXPECT_EQ(ReadFile(s.file), c) << s.row;
                   EXPECT_EQ(boxes.texts().size(), s.row.empty() ? 1u : 0u) << s.row;
               }
               WriteFile(b, head + "12345678901234  1.0 2.0 3.0\r\n");
               Click(IDC_LOGS4_AUTO);
               Retype(IDC_LOGS_FILE, b);
               Click(IDC_LOGS4_LOG_POINT);
               EXPECT_EQ(As<CLOGS_4>(SCR_LOGS_4)->iNextPointId, 2147483647);
               EXPECT_EQ(LargestPointId("7 a\r\n-9\r\n  12x\r\nLat\r\n"), 12);
               Click(1036);
               Click(IDC_LOGS_BROWSE);  // in Create New File mode it chooses a folder
           }},
          {Top<CFileOpenDlg>(), [] { ui::UserClickDesign(80, 430); }},  // the banner's OK
          {SCR_LOGS_4,
           [&] {
               // A default name in the folder, taken as a new file: header, IDs from 1.
               const std::time_t now = std::time(nullptr);
               std::tm tm{};
               localtime_r(&now, &tm);
               EXPECT_EQ(Text(IDC_LOGS_FILE), Path("pts/") + filebrowser::DefaultFileName(
                                                                 Path("pts/"), 4, tm.tm_year + 1900,
                                                                 tm.tm_mon + 1, tm.tm_mday));
               Click(IDC_LOGS4_LOG_POINT);
               EXPECT_EQ(ReadFile(Text(IDC_LOGS_FILE)).substr(0, head.size() + 2), head + "1 ");
               SelectTab(IDC_LOGS_TAB, 4);
           }},
          {SCR_LOGS_5, [&] {
               CLOGS_5* s = As<CLOGS_5>(SCR_LOGS_5);
               Told();
               g_GPS.Info.Nav.iFixQuality = 0;
               Click(IDC_LOGS5_START);
               EXPECT_EQ(Told(), "Tessaray_PC: No valid GPS position available yet! Try later.|");
               Retype(IDC_LOGS_FILE, Path("poly/field.txt"));
               Click(kCreateNew + 2);
               for (const auto& [lat, lon] :
                    {std::pair{-0.005, -0.005}, {-0.005, 0.005}, {0.005, 0.005}, {0.005, -0.005}}) {
                   SetPosition(lat, lon, 7.25f, true);
                   Click(IDC_LOGS5_START);
               }
               EXPECT_EQ(Text(IDC_LOGS5_START), "Log Point");
               Click(IDC_LOGS5_CLOSE);
               EXPECT_EQ(Texts({IDC_LOGS5_START, IDC_LOGS5_AREA}), "Start Polygon|305.109277");
               Choose(IDC_LOGS5_UNITS, 1);
               EXPECT_EQ(Text(IDC_LOGS5_AREA), "123.476033");
               EXPECT_EQ(theApp().iAreaUnits.load(), 1);
               EXPECT_EQ(ReadFile(Path("poly/field.txt")), polygon);
               // Append: a second block; the 100th vertex is refused.
               Click(IDC_LOGS_APPEND);
               boxes.Clear();
               for (int i = 0; i < 100; ++i) {
                   SetPosition(0.001 * i, 0.0, 1.0f);
                   Click(IDC_LOGS5_START);
               }
               EXPECT_EQ(Told(),
                         "A polygon has at most 99 vertices.\nPress \"Close Polygon\" to "
                         "finish it.|");
               EXPECT_NE(ReadFile(Path("poly/field.txt")).find(polygon + "Start Polygon"),
                         std::string::npos);
               // While a log runs, every way out of the group asks and Cancel stays; the
               // group's own button and tabs ask nothing.
               theApp().bBinLogOn = 1;
               for (int row : {1, 2, 3, 5, 6}) {
                   boxes.Answer(ui::IDCANCEL);
                   s->RunNavRow(row);
                   EXPECT_EQ(Told(), kDataLossText + std::string("|")) << row;
                   EXPECT_EQ(Page(), s) << row;
               }
               boxes.Clear();
               s->RunNavRow(4);
               SelectTab(IDC_LOGS_TAB, 3);
               EXPECT_TRUE(boxes.texts().empty());
               theApp().bBinLogOn = 0;
               ReleaseForExit();  // a polygon open at the end is finished as Close would
               const std::string all = ReadFile(Path("poly/field.txt"));
               EXPECT_EQ(all.substr(all.size() - 73, 13), "End Polygon\r\n");
               EXPECT_FALSE(s->bPolygonOpen);
           }}});
}

// A 0.01° square at 51° N and across the antimeridian; too few vertices.
TEST(PolygonArea, HectaresOfSquares) {
    const double c51 = std::cos(51.0 * M_PI / 180.0);
    // clang-format off
    const struct { std::vector<std::pair<double, double>> ring; double hectares; } cases[] = {
        {{{50.995, 1.0}, {50.995, 1.01}, {51.005, 1.01}, {51.005, 1.0}}, 123.476033 * c51},
        {{{-0.005, 179.995}, {-0.005, -179.995}, {0.005, -179.995}, {0.005, 179.995}}, 123.476033},
        {{{0, 0}, {0.01, 0.01}}, 0.0}};
    // clang-format on
    for (const auto& c : cases) {
        std::vector<PolygonVertex> ring;
        for (const auto& [lat, lon] : c.ring) ring.push_back({0, lat, lon, 0.0f});
        const double ha = ArcSec2ToSquareMetres(PolygonAreaArcSec2(ring)) * kHectaresPerSquareMetre;
        EXPECT_NEAR(ha, c.hectares, 1e-5 * (1 + c.hectares)) << c.ring[1].second;
    }
}

}  // namespace

#include "engine/cfgarchive.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/pkrvnmea.h"
#include "platform/notify.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

void Put32(std::string& b, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<char>(v >> (8 * i));
}
uint32_t Get32(const std::string& b, size_t offset) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<uint8_t>(b[offset + i])} << (8 * i);
    return v;
}
uint32_t FloatBits(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetNotifySink([this](const std::string& text) { notices.push_back(text); });
        App().iAreaUnits = 0;
    }
    void TearDown() override { platform::SetNotifySink({}); }
    void StartupReset() {
        if (!gps->LoadConfigFile()) {
            gps->Info.Init();
            gps->InitSettings();
            ASSERT_TRUE(gps->SaveConfigFile());
        }
    }
    // An archive of elevation 21 and area unit 1 saved, the run back on acres; its bytes.
    std::string SaveElevation21InHectares() {
        App().iAreaUnits = 1;
        gps->Info.iRxElevation = 21;
        gps->Info.bCfgMarker = 0;
        EXPECT_TRUE(gps->SaveConfigFile());
        App().iAreaUnits = 0;
        return ReadBytes(path);
    }
    // In a child whose folder refuses new files: the archive SaveElevation21InHectares saved
    // is loaded, both saves fail, and the refusal is told once with `osError`. The
    // child's exit code says whether all of it held.
    [[noreturn]] void LoadedAndRefusalToldOnce(const char* osError) {
        ResetCfgArchiveState();
        notices.clear();
        gps->Info.iRxElevation = 5;
        const bool loaded = gps->LoadConfigFile(false);
        const bool saved = gps->SaveConfigFile() || gps->SaveConfigFile();
        const std::vector<std::string> expected = {
            "You are not permitted to write into current folder.\ncannot write " + path +
            ": cannot create a file in " + dir.dir + ": " + osError};
        const bool ok = loaded && !saved && gps->Info.iRxElevation == 21 &&
                        App().iAreaUnits.load() == 1 && notices == expected &&
                        !GetCfgArchiveState().isProtected;
        for (const std::string& n : notices) std::fprintf(stderr, "%s\n", n.c_str());
        std::_Exit(ok ? 0 : 1);
    }
    testsupport::TempConfigDir dir;
    wiretest::Wire wire;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    std::string path = dir.dir + "/Tessaray_PC.CFG";
    std::vector<std::string> notices;
};

TEST_F(ArchiveTest, FirstStartWritesTheDefaultFileAtItsOffsets) {
    StartupReset();
    const std::string bytes = ReadBytes(path);
    std::string expected(3824, '\0');
    expected[0] = 'A';
    const uint32_t header[] = {57600, 9600, 0x12345678, 0, 0, 0, 5, 3600};
    for (size_t i = 0; i < 8; ++i) Put32(expected, 1 + 4 * i, header[i]);
    const uint32_t plot[] = {0, 2, 0, 0, 2, 0, 0, 0, 0, 0, 2, 0, 0, 2, 0, 0, 2, 0};
    for (size_t i = 0; i < 18; ++i) Put32(expected, 33 + 4 * i, plot[i]);
    std::memcpy(&expected[105], "Unavailable", 11);
    Put32(expected, 126, 1);  // ulSetupWord2
    auto defaults = std::make_unique<GPSInfo>();
    defaults->Init();
    Put32(expected, 176, CGPS::CalcSetupCRC(*defaults));
    const uint32_t settings[] = {0, 1, 0, FloatBits(-6.0f), 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 9; ++i) Put32(expected, 180 + 4 * i, settings[i]);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes, EncodeCfgArchive(gps->Info, 0));
    EXPECT_TRUE(notices.empty());
}

// Every stored field off its default: what loads encodes to the same bytes, nothing lost.
TEST_F(ArchiveTest, EveryStoredFieldRoundTripsAtItsOffset) {
    GPSInfo& g = gps->Info;
    int v = 100;
    for (int32_t* p : {&g.iRxNMEABaudRate, &g.iRxRTCMBaudRate, &g.eCurCorrSource, &g.eRxApp,
                       &g.eRxOtherApp, &g.iRxElevation, &g.iRxMaxAge})
        *p = v++;
    std::tie(g.ulSetupMagic, g.iHeadingPlotZoom, g.iPositionPlotZoom, g.ulPlotReserved) =
        std::tuple(0xCAFEBABEu, -3, 7, 0xDEADBEEFu);
    for (int32_t* p :
         {&g.iHeadingPlotLineWidth, &g.iSBASPlotLineWidth, &g.iBeaconPlotLineWidth,
          &g.iHeadingPlotMarker, &g.iSBASPlotMarker, &g.iBeaconPlotMarker, &g.ePositionPlotAltUnit,
          &g.ePositionPlotOffsetUnit, &g.iLBandPlotScale, &g.eTimeDisplay, &g.eDistanceUnit})
        *p = 1;
    for (int32_t* p : {&g.iPositionPlotMarker, &g.iLBandPlotMarker, &g.ePositionPlotCoordFormat,
                       &g.iSBASPlotScale, &g.eReceiverType, &g.eCoordFormat, &g.eSpeedUnit})
        *p = 2;
    g.iPositionPlotLineWidth = g.iLBandPlotLineWidth = g.eAccuracyLevel = 3;
    std::strcpy(g.szSetupText1, "0123456789abcdef");
    std::strcpy(g.szSetupText2, "two");
    std::strcpy(g.szSetupText3, "three");
    // The shown source and the rings are not stored.
    std::tie(g.ulSetupWord1, g.ulSetupWord2, g.ulSetupWord3, g.ulSetupWord4, g.ulSetupWord5,
             g.iComPort, g.fLocalTimeOffset, g.eDisplayChoice, g.bCfgMarker, g.eShownCorrSource,
             g.fHeadingHistory[5]) =
        std::tuple(1u, 2u, 1u, 2u, 0x01020304u, 49, 5.5f, 77, 0u, 3, 1.5f);
    TextTable& t = g.Settings.szLogComboTexts;
    for (int list = 0; list < kRecentLists; ++list)
        for (int row = 0; row < kRecentEntries; ++row)
            std::snprintf(t.List(list)[row], kRecentTextSize, "L%dR%d%s", list, row,
                          std::string(static_cast<size_t>(row * 4), 'x').c_str());
    PortConfig& log = g.Settings.NMEALogConfig;
    BINLogRateInfo& bin = g.Settings.BinLogRates;
    v = 11;
    for (int32_t* p : {&log.eGGA,   &log.eGLL,   &log.eGSA,   &log.eGST,   &log.eGSV,   &log.eRMC,
                       &log.eRRE,   &log.eVTG,   &log.eZDA,   &log.eBIN95, &log.eBIN96, &log.eHEHDT,
                       &log.eHEROT, &log.eHPR,   &log.bRTCM,  &bin.eBIN1,  &bin.eBIN2,  &bin.eBIN80,
                       &bin.eBIN95, &bin.eBIN96, &bin.eBIN97, &bin.eBIN98, &bin.eBIN99, &bin.eD1})
        *p = v++;
    log.ulLastWord = 0x99;
    App().iAreaUnits = 1;
    g.Settings.WizardLive.iElevation = 33;
    ASSERT_TRUE(gps->SaveConfigFile());
    EXPECT_EQ(g.ulSetupCRC, CGPS::CalcSetupCRC(g));
    const std::string b = ReadBytes(path);
    ASSERT_EQ(b.size(), 3824u);
    EXPECT_EQ(b[0], 'N');
    EXPECT_EQ(b.substr(142, 34), "two" + std::string(14, '\0') + "three" + std::string(12, '\0'));
    EXPECT_EQ(b.substr(220 + 50 * (kRecentLists + 3), 12), std::string("L3R1xxxx\0\0\0\0", 12));
    for (size_t i = 0; i < 15 + 9; ++i)
        EXPECT_EQ(Get32(b, 3720 + 4 * i + (i >= 15 ? 4 : 0)), 11 + i) << i;
    EXPECT_EQ(Get32(b, 3780), 0x99u);
    EXPECT_EQ(Get32(b, 3820), 1u);
    App().iAreaUnits = 0;
    auto loaded = std::make_unique<CGPS>();
    loaded->Info.Settings.WizardLive.iElevation = 44;
    ASSERT_TRUE(loaded->LoadConfigFile());
    GPSInfo& l = loaded->Info;
    EXPECT_EQ(l.bCfgMarker, 1u) << "an 'N' file loads as 1";
    l.bCfgMarker = 0;
    EXPECT_EQ(EncodeCfgArchive(l, App().iAreaUnits.load()), b);
    EXPECT_EQ(App().iAreaUnits.load(), 1);
    EXPECT_EQ(l.eShownCorrSource + l.fHeadingHistory[5] + l.ulPart1Lock, 0.0f);
    EXPECT_EQ(l.Settings.WizardLive.iElevation, 44) << "not in the file";
}

TEST(SetupCrc, IsTheModbusCrc16) {
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(CGPS::CalcCRC16(check, 9), 0x4B37);
}

TEST_F(ArchiveTest, MarkerFlipsOnEveryLoadAndAnAMarkerPausesAfterTheLock) {
    gps->Info.bCfgMarker = 0;  // a normal exit
    ASSERT_TRUE(gps->SaveConfigFile());
    wire.Take();
    EXPECT_EQ(ReadBytes(path)[0], 'N');
    ASSERT_TRUE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.bCfgMarker, 1u);
    EXPECT_EQ(ReadBytes(path)[0], 'A');
    EXPECT_TRUE(wire.Take().empty()) << "no pause after 'N'";
    bool lockedDuringPause = true;
    wire.clock.onSleep = [&](uint32_t) { lockedDuringPause = gps->Info.ulPart1Lock != 0; };
    ASSERT_TRUE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.bCfgMarker, 0u);
    EXPECT_EQ(ReadBytes(path)[0], 'N');
    EXPECT_EQ(wire.Take(), wiretest::Events{"~1000"});
    EXPECT_FALSE(lockedDuringPause);
    // The reader thread's proprietary setup commands use the process archive without pausing.
    CPKRVNMEA pkrv;
    g_GPS.Info.bCfgMarker = 1;  // as after the load at start; each load flips it
    g_GPS.Info.iRxElevation = 21;
    ASSERT_TRUE(pkrv.SaveArchive());
    EXPECT_EQ(ReadBytes(path)[0], 'A');
    g_GPS.Info.iRxElevation = 5;
    wire.Take();
    ASSERT_TRUE(pkrv.LoadArchive());
    EXPECT_EQ(g_GPS.Info.iRxElevation, 21);
    EXPECT_TRUE(wire.Take().empty()) << "the reader thread never waits a second";
}

TEST_F(ArchiveTest, WrongMarkerShortAndLongFiles) {
    StartupReset();
    std::string bytes = ReadBytes(path);
    bytes[0] = 'X';
    WriteBytes(path, bytes);
    gps->Info.iRxElevation = 17;
    EXPECT_FALSE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.iRxElevation, 17);
    EXPECT_EQ(ReadBytes(path), bytes) << "neither loaded nor rewritten";
    EXPECT_TRUE(notices.empty());
    // A short file is deleted and replaced by defaults; the live record stays untouched.
    bytes[0] = 'N';
    WriteBytes(path, bytes.substr(0, 3823));
    EXPECT_FALSE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.iRxElevation, 17);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(notices,
              std::vector<std::string>{"You are not permitted to write into current folder."});
    // A long one is damaged as a short one is.
    WriteBytes(path, bytes + std::string(100, 'z'));
    EXPECT_FALSE(gps->LoadConfigFile());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ArchiveTest, OutOfRangeValuesTakeTheirDefaults) {
    StartupReset();
    std::string b = ReadBytes(path);
    // The plot words, then receiver type, time, coordinates, distance, speed, accuracy, area.
    const std::pair<size_t, uint32_t> bad[] = {
        {37, 0},  {41, 7},  {49, 4},   {53, 0xFFFFFFFF}, {57, 3},  {61, 2},   {65, 2},  {69, 3},
        {73, 4},  {77, 3},  {81, ~0u}, {85, 0},          {89, 3},  {97, 4},   {101, 3}, {180, 3},
        {188, 2}, {196, 3}, {204, 2},  {208, 3},         {212, 4}, {3820, 2},
    };
    for (const auto& [offset, value] : bad) Put32(b, offset, value);
    Put32(b, 192, FloatBits(NAN));
    std::memset(&b[105], 'Q', 17);  // no NUL in the field
    WriteBytes(path, b);
    App().iAreaUnits = 1;
    ASSERT_TRUE(gps->LoadConfigFile());
    const GPSInfo& g = gps->Info;
    for (int32_t w : {g.iHeadingPlotLineWidth, g.iPositionPlotLineWidth, g.iSBASPlotLineWidth,
                      g.iLBandPlotLineWidth, g.iBeaconPlotLineWidth})
        EXPECT_EQ(w, 2);
    for (int32_t w :
         {g.iHeadingPlotMarker, g.iPositionPlotMarker, g.ePositionPlotCoordFormat,
          g.ePositionPlotAltUnit, g.ePositionPlotOffsetUnit, g.iSBASPlotScale, g.iSBASPlotMarker,
          g.iLBandPlotScale, g.iLBandPlotMarker, g.iBeaconPlotMarker, g.eReceiverType,
          g.eTimeDisplay, g.eCoordFormat, g.eDistanceUnit, g.eSpeedUnit, g.eAccuracyLevel})
        EXPECT_EQ(w, 0);
    EXPECT_EQ(g.fLocalTimeOffset, -6.0f);
    EXPECT_EQ(std::string(g.szSetupText1), std::string(16, 'Q'));
    EXPECT_EQ(App().iAreaUnits.load(), 0);
    gps->Info.iComPort = 57;
    ASSERT_TRUE(gps->SaveConfigFile());
    b = ReadBytes(path);
    EXPECT_EQ(Get32(b, 184), 1u);
    Put32(b, 184, 50);
    WriteBytes(path, b);
    ASSERT_TRUE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.iComPort, 1);
}

TEST_F(ArchiveTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    StartupReset();
    const std::string old = ReadBytes(path);
    gps->Info.iRxElevation = 30;
    {
        wiretest::FileSizeLimit limit(1000);
        EXPECT_FALSE(gps->SaveConfigFile());
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(notices, std::vector<std::string>{"You are not permitted to write into current "
                                                "folder.\ncannot write " +
                                                path + ": File too large"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir), {}), 1)
        << "no temporary file is left behind";
    // A held lock is not written as such; loading keeps the holder's lock.
    RecordLock held(gps->Info.ulPart1Lock);
    ASSERT_TRUE(gps->SaveConfigFile());
    EXPECT_EQ(Get32(ReadBytes(path), 216), 0u);
    ASSERT_TRUE(gps->LoadConfigFile());
    EXPECT_EQ(gps->Info.ulPart1Lock, 1u);
}

// An archive there but unreadable or unwritable is neither taken nor replaced in this run.
TEST_F(ArchiveTest, ArchiveThatCannotBeUsedIsNeverReplaced) {
    auto foreign = [this](mode_t mode) {
        StartupReset();
        ASSERT_EQ(::chmod(dir.dir.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    };
    const struct {
        std::function<void()> make;
        bool asUser;  // run the load as an unprivileged user
        const char* reason;
    } cases[] = {
        {[this] { ::mkfifo(path.c_str(), 0600); }, false, ": not a regular file"},
        {[&] { foreign(0644); }, true, ": Permission denied"},  // another user's file
        {[&] { foreign(0600); }, true, ": Permission denied"},  // and one they cannot read
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir.dir);
        std::filesystem::create_directories(dir.dir);
        c.make();
        const bool regular = std::filesystem::is_regular_file(path);
        const std::string before = regular ? ReadBytes(path) : "";
        auto run = [&] {
            ::alarm(10);
            if (c.asUser && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
            ResetCfgArchiveState();
            notices.clear();
            gps->Info.iRxElevation = 17;
            bool ok = !gps->LoadConfigFile() && gps->Info.iRxElevation == 17;
            ok = ok && !gps->SaveConfigFile() && !gps->SaveConfigFile();
            const CfgArchiveState state = GetCfgArchiveState();
            ok = ok && state.isProtected && state.lastLoad == CfgArchiveLoad::Unusable;
            ok = ok && notices.size() == 1 &&
                 notices[0].find(path + c.reason) != std::string::npos &&
                 notices[0].find("runs on its default settings") != std::string::npos;
            if (!ok) std::fprintf(stderr, "%s\n", notices.empty() ? "-" : notices[0].c_str());
            std::_Exit(ok ? 0 : 1);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << c.reason;
        EXPECT_EQ(std::filesystem::is_regular_file(path), c.asUser);
        EXPECT_EQ(regular ? ReadBytes(path) : "", before);
    }
}

// The write-back at a load holds the file's own area unit, not the one the run had so far.
TEST_F(ArchiveTest, LoadWritesBackTheAreaUnitOfTheFile) {
    const std::pair<int32_t, int32_t> rows[] = {{1, 0}, {0, 1}};  // in the file, in the run
    for (auto [stored, running] : rows) {
        App().iAreaUnits = stored;
        gps->Info.bCfgMarker = 0;
        ASSERT_TRUE(gps->SaveConfigFile());
        App().iAreaUnits = running;
        ASSERT_TRUE(gps->LoadConfigFile());
        const std::string b = ReadBytes(path);
        EXPECT_EQ(b[0], 'A');
        EXPECT_EQ(Get32(b, 3820), static_cast<uint32_t>(stored)) << stored;
        EXPECT_EQ(App().iAreaUnits.load(), stored);
    }
}

// A load whose write-back is refused (another user's file) takes nothing from the file, its
// area unit included; the unit comes with the rest of the file when the load succeeds.
TEST_F(ArchiveTest, AreaUnitOfTheFileIsTakenOnlyWithTheLoad) {
    if (::geteuid() != 0) GTEST_SKIP() << "the load runs as another user, which needs root";
    const struct {
        bool foreign;  // the file is another user's, readable but not writable
        int32_t expected;
    } rows[] = {{true, 0}, {false, 1}};
    for (const auto& row : rows) {
        std::filesystem::remove_all(dir.dir);
        App().iAreaUnits = 1;
        gps->Info.bCfgMarker = 0;
        ASSERT_TRUE(gps->SaveConfigFile());
        App().iAreaUnits = 0;
        ASSERT_EQ(::chmod(dir.root.c_str(), 0755), 0);
        ASSERT_EQ(::chmod(dir.dir.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(path.c_str(), row.foreign ? 0644 : 0666), 0);
        auto run = [&] {
            ::alarm(10);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
            ResetCfgArchiveState();
            const bool loaded = gps->LoadConfigFile(false);
            const int32_t unit = App().iAreaUnits.load();
            if (unit != row.expected) std::fprintf(stderr, "area unit %d\n", unit);
            std::_Exit(loaded != row.foreign && unit == row.expected ? 0 : 1);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << row.foreign;
    }
}

// Any size but the archive's is damage: told with the file and its size, the file deleted.
// Large files are sparse: only their size is looked at, they are never read whole. A file
// without the marker is no archive, whatever its size: it is left as it is, unread.
TEST_F(ArchiveTest, ArchiveOfAnotherSizeIsDamagedWithoutBeingReadWhole) {
    const struct {
        char marker;
        uint64_t size;
        bool kept;
    } rows[] = {
        {'N', 3823, false},        {'N', 3825, false}, {'N', 100'000'000, false},
        {'N', 3'000'000'000, false}, {'X', 3823, true},  {'X', 1 + 3924, true},
        {'A', 3825, false},
    };
    for (const auto& row : rows) {
        gps->Info.bCfgMarker = 0;
        ASSERT_TRUE(gps->SaveConfigFile());
        std::filesystem::resize_file(path, row.size);
        if (row.kept) {
            std::string b = ReadBytes(path);
            b[0] = row.marker;
            WriteBytes(path, b);
        } else if (row.marker == 'A') {
            gps->Info.bCfgMarker = 1;
            ASSERT_TRUE(gps->SaveConfigFile());
            std::filesystem::resize_file(path, row.size);
        }
        const std::string before = row.kept ? ReadBytes(path) : "";
        notices.clear();
        gps->Info.iRxElevation = 17;
        EXPECT_FALSE(gps->LoadConfigFile()) << row.size;
        EXPECT_EQ(gps->Info.iRxElevation, 17);
        EXPECT_EQ(std::filesystem::exists(path), row.kept) << row.marker << row.size;
        const CfgArchiveState state = GetCfgArchiveState();
        EXPECT_EQ(state.lastLoad, CfgArchiveLoad::Damaged);
        if (row.kept) {
            EXPECT_TRUE(ReadBytes(path) == before) << "rewritten: " << row.size;
            EXPECT_TRUE(notices.empty()) << row.size;
            EXPECT_EQ(state.loadProblem, path + " does not start with a valid marker");
            continue;
        }
        EXPECT_EQ(notices,
                  std::vector<std::string>{"You are not permitted to write into current folder."});
        EXPECT_EQ(state.loadProblem,
                  path + " holds " + std::to_string(row.size) + " bytes, not 3824");
    }
}

// A folder that lets no file be created (owned by another user here; root would ignore its
// mode, so the load runs as an unprivileged user): the archive is still taken, and the user
// is told once, with the folder and the OS error, that this run cannot keep it.
TEST_F(ArchiveTest, ArchiveInAFolderThatRefusesNewFilesIsLoadedAndTheRefusalToldOnce) {
    if (::geteuid() != 0) GTEST_SKIP() << "the load runs as another user, which needs root";
    const std::string before = SaveElevation21InHectares();
    ASSERT_EQ(::chmod(dir.root.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.dir.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    auto run = [&] {
        ::alarm(10);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
        LoadedAndRefusalToldOnce("Permission denied");
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
    ::chmod(dir.dir.c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), before);
}

// A read-only filesystem refuses the folder, not the user's file: the archive is taken, and
// the refused save is told once with the folder and the OS error. The folder is mounted
// read-only in a mount namespace of its own, in a child.
TEST_F(ArchiveTest, ArchiveOnAReadOnlyFilesystemIsLoadedAndTheRefusalToldOnce) {
    const std::string before = SaveElevation21InHectares();
    constexpr int kNoMount = 4;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(10);
        const char* folder = dir.dir.c_str();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(folder, folder, nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            std::_Exit(kNoMount);
        LoadedAndRefusalToldOnce("Read-only file system");
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoMount) GTEST_SKIP() << "no read-only mount can be made here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(ReadBytes(path) == before);
}

// Files a save left when its process was killed before the rename go at the next load; those
// of a process that still runs, those of other files in the folder, and names that only look
// alike, stay.
TEST_F(ArchiveTest, TemporaryFilesOfKilledSavesAreRemovedAtTheNextLoad) {
    StartupReset();
    const int dead = testsupport::PidOfEndedProcess();
    ASSERT_GT(dead, 0);
    const std::string deadPid = std::to_string(dead);
    const std::pair<std::string, bool> files[] = {
        {"Tessaray_PC.CFG.tmp" + deadPid + "_0", false},
        {"Tessaray_Term.ini.tmp" + deadPid + "_12", true},  // another file's
        {"xTessaray_PC.CFG.tmp" + deadPid + "_0", true},
        {"Tessaray_PC.CFG.tmp1.tmp" + deadPid + "_0", true},
        {"Tessaray_PC.CFG.tmp" + deadPid + "_7", false},
        {"Tessaray_PC.CFG.tmp1_3", true},  // pid 1 runs
        {"Tessaray_PC.CFG.tmp" + deadPid + "_x", true},
        {"notes.tmp", true},
    };
    for (const auto& [name, kept] : files) WriteBytes(dir.dir + "/" + name, "partial");
    ASSERT_TRUE(gps->LoadConfigFile());
    for (const auto& [name, kept] : files)
        EXPECT_EQ(std::filesystem::exists(dir.dir + "/" + name), kept) << name;
}

// The load leaves the pause after an 'A' marker to its caller; it never sleeps by itself.
TEST_F(ArchiveTest, ReadingAnAMarkedFileNeverPausesByItself) {
    gps->Info.bCfgMarker = 1;
    ASSERT_TRUE(gps->SaveConfigFile());
    wire.Take();
    auto image = std::make_unique<GPSInfo>();
    image->Init();
    ASSERT_EQ(CGPS::ReadCfgFile(*image), 1);
    EXPECT_EQ(ReadBytes(path)[0], 'N');
    EXPECT_TRUE(wire.Take().empty());
}

}  // namespace

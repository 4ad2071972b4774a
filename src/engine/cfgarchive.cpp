#include "engine/cfgarchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <type_traits>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/atomic_file.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/textfile.h"
#include "platform/trace.h"

namespace {

constexpr const char* kNotPermitted = "You are not permitted to write into current folder.";

std::mutex g_stateMutex;
CfgArchiveState g_state;

void SetLoad(CfgArchiveLoad load, const std::string& problem) {
    std::lock_guard<std::mutex> lock(g_stateMutex);
    g_state.lastLoad = load;
    g_state.loadProblem = problem;
}

// The file is there but this run cannot use it: the user's settings in it must survive, so
// it is left alone for the rest of the run.
void Protect(const std::string& problem) {
    {
        std::lock_guard<std::mutex> lock(g_stateMutex);
        g_state.lastLoad = CfgArchiveLoad::Unusable;
        g_state.loadProblem = problem;
        if (g_state.isProtected) return;
        g_state.isProtected = true;
    }
    platform::Trace("Tessaray_PC: profile archive unusable: %s\n", problem.c_str());
    platform::Notify("Tessaray_PC: " + problem +
                     "\nThe program runs on its default settings and leaves the file as it is.");
}

bool IsProtected() {
    std::lock_guard<std::mutex> lock(g_stateMutex);
    return g_state.isProtected;
}

void PutText(platform::ByteWriter& w, const char* text, size_t n) {
    const size_t length = strnlen(text, n - 1);
    w.Bytes(text, length);
    w.Zeros(n - length);
}

int32_t ComPortToStore(int32_t port) {
    return (port < 1 || port >= 50) ? 1 : port;
}

void InRange(int32_t& value, int32_t low, int32_t high, int32_t fallback) {
    if (value < low || value > high) value = fallback;
}

// PortConfig words in archive order, bRTCM after eHPR.
int32_t PortConfig::*const kLogWords[] = {
    &PortConfig::eGGA,   &PortConfig::eGLL,   &PortConfig::eGSA,   &PortConfig::eGST,
    &PortConfig::eGSV,   &PortConfig::eRMC,   &PortConfig::eRRE,   &PortConfig::eVTG,
    &PortConfig::eZDA,   &PortConfig::eBIN95, &PortConfig::eBIN96, &PortConfig::eHEHDT,
    &PortConfig::eHEROT, &PortConfig::eHPR,   &PortConfig::bRTCM,
};

int32_t BINLogRateInfo::*const kBinWords[] = {
    &BINLogRateInfo::eBIN1,  &BINLogRateInfo::eBIN2,  &BINLogRateInfo::eBIN80,
    &BINLogRateInfo::eBIN95, &BINLogRateInfo::eBIN96, &BINLogRateInfo::eBIN97,
    &BINLogRateInfo::eBIN98, &BINLogRateInfo::eBIN99, &BINLogRateInfo::eD1,
};

// The 8 header words and the 18 plot words, in file order (the 32-bit words are stored as
// they are, signed or not).
template <class Word>
struct Words {
    Word* header[8];
    Word* plot[18];
};

template <class Info>
auto WordsOf(Info& g) {
    using Word = std::conditional_t<std::is_const_v<Info>, const int32_t, int32_t>;
    using Unsigned = std::conditional_t<std::is_const_v<Info>, const uint32_t, uint32_t>;
    auto asWord = [](Unsigned* p) { return reinterpret_cast<Word*>(p); };
    return Words<Word>{
        {&g.iRxNMEABaudRate, &g.iRxRTCMBaudRate, asWord(&g.ulSetupMagic), &g.eCurCorrSource,
         &g.eRxApp, &g.eRxOtherApp, &g.iRxElevation, &g.iRxMaxAge},
        {&g.iHeadingPlotZoom, &g.iHeadingPlotLineWidth, &g.iHeadingPlotMarker, &g.iPositionPlotZoom,
         &g.iPositionPlotLineWidth, &g.iPositionPlotMarker, &g.ePositionPlotCoordFormat,
         &g.ePositionPlotAltUnit, &g.ePositionPlotOffsetUnit, &g.iSBASPlotScale,
         &g.iSBASPlotLineWidth, &g.iSBASPlotMarker, &g.iLBandPlotScale, &g.iLBandPlotLineWidth,
         &g.iLBandPlotMarker, asWord(&g.ulPlotReserved), &g.iBeaconPlotLineWidth,
         &g.iBeaconPlotMarker}};
}

// A damaged archive behind a link goes, the link stays for the archive written next.
void RemoveFile(const std::string& link) {
    const std::string path = platform::FollowLinks(link);
    if (path.empty() || (std::remove(path.c_str()) != 0 && errno != ENOENT)) {
        platform::Trace("Tessaray_PC: cannot delete %s: %s\n", path.c_str(),
                        platform::ErrorText(errno).c_str());
    }
}

}  // namespace

// ---------------------------------------------------------------- record serialisers

void GPSInfo::SaveArchive(platform::ByteWriter& w) const {
    w.U8(bCfgMarker ? 'A' : 'N');
    const auto words = WordsOf(*this);
    for (const int32_t* p : words.header) w.I32(*p);
    for (const int32_t* p : words.plot) w.I32(*p);
    PutText(w, szSetupText1, sizeof(szSetupText1));
    for (uint32_t v : {ulSetupWord1, ulSetupWord2, ulSetupWord3, ulSetupWord4, ulSetupWord5}) {
        w.U32(v);
    }
    PutText(w, szSetupText2, sizeof(szSetupText2));
    PutText(w, szSetupText3, sizeof(szSetupText3));
    w.U32(ulSetupCRC);
    w.I32(eReceiverType);
    w.I32(ComPortToStore(iComPort));
    w.I32(eTimeDisplay);
    w.F32(fLocalTimeOffset);
    for (int32_t v : {eCoordFormat, eDisplayChoice, eDistanceUnit, eSpeedUnit, eAccuracyLevel}) {
        w.I32(v);
    }
    w.U32(0);  // the lock word: a file never holds a lock
}

bool GPSInfo::LoadArchive(platform::ByteReader& r) {
    const uint8_t marker = r.U8();
    if (marker != 'A' && marker != 'N') return false;
    bCfgMarker = marker == 'A' ? 1 : 0;
    const auto words = WordsOf(*this);
    for (int32_t* p : words.header) *p = r.I32();
    for (int32_t* p : words.plot) *p = r.I32();
    r.Chars(szSetupText1, sizeof(szSetupText1));
    for (uint32_t* p :
         {&ulSetupWord1, &ulSetupWord2, &ulSetupWord3, &ulSetupWord4, &ulSetupWord5}) {
        *p = r.U32();
    }
    r.Chars(szSetupText2, sizeof(szSetupText2));
    r.Chars(szSetupText3, sizeof(szSetupText3));
    ulSetupCRC = r.U32();
    eReceiverType = r.I32();
    iComPort = ComPortToStore(r.I32());
    eTimeDisplay = r.I32();
    fLocalTimeOffset = r.F32();
    for (int32_t* p :
         {&eCoordFormat, &eDisplayChoice, &eDistanceUnit, &eSpeedUnit, &eAccuracyLevel}) {
        *p = r.I32();
    }
    r.Skip(4);  // the lock word is never taken from a file

    // Values the screens use as indexes or pen sizes.
    InRange(eReceiverType, 0, 2, 0);
    InRange(eTimeDisplay, 0, 1, 0);
    InRange(eCoordFormat, 0, 2, 0);
    InRange(eDistanceUnit, 0, 1, 0);
    InRange(eSpeedUnit, 0, 2, 0);
    InRange(eAccuracyLevel, 0, 3, 0);
    if (!std::isfinite(fLocalTimeOffset)) fLocalTimeOffset = -6.0f;
    for (int32_t* width : {&iHeadingPlotLineWidth, &iPositionPlotLineWidth, &iSBASPlotLineWidth,
                           &iLBandPlotLineWidth, &iBeaconPlotLineWidth}) {
        InRange(*width, 1, 3, 2);
    }
    for (int32_t* marker : {&iHeadingPlotMarker, &iPositionPlotMarker, &iSBASPlotMarker,
                            &iLBandPlotMarker, &iBeaconPlotMarker}) {
        InRange(*marker, 0, 2, 0);
    }
    InRange(ePositionPlotCoordFormat, 0, 2, 0);
    InRange(ePositionPlotAltUnit, 0, 1, 0);
    InRange(ePositionPlotOffsetUnit, 0, 1, 0);
    InRange(iSBASPlotScale, 0, 2, 0);
    InRange(iLBandPlotScale, 0, 2, 0);
    return true;
}

void TextTable::SaveArchive(platform::ByteWriter& w) const {
    for (int row = 0; row < kRecentEntries; ++row) {
        for (int list = 0; list < kRecentLists; ++list) {
            PutText(w, List(list)[row], kRecentTextSize);
        }
    }
}

void TextTable::LoadArchive(platform::ByteReader& r) {
    for (int row = 0; row < kRecentEntries; ++row) {
        for (int list = 0; list < kRecentLists; ++list) {
            r.Chars(List(list)[row], kRecentTextSize);
        }
    }
}

void PortConfig::SaveArchive(platform::ByteWriter& w) const {
    for (auto member : kLogWords) w.I32(this->*member);
    w.U32(ulLastWord);
}

void PortConfig::LoadArchive(platform::ByteReader& r) {
    for (auto member : kLogWords) this->*member = r.I32();
    ulLastWord = r.U32();
}

void BINLogRateInfo::SaveArchive(platform::ByteWriter& w) const {
    for (auto member : kBinWords) w.I32(this->*member);
}

void BINLogRateInfo::LoadArchive(platform::ByteReader& r) {
    for (auto member : kBinWords) this->*member = r.I32();
}

// ---------------------------------------------------------------- the file

std::string CfgArchivePath() {
    return platform::ConfigFile(kCfgArchiveName);
}

std::string EncodeCfgArchive(const GPSInfo& image, int32_t iAreaUnits) {
    platform::ByteWriter w;
    image.SaveArchive(w);
    image.Settings.szLogComboTexts.SaveArchive(w);
    image.Settings.NMEALogConfig.SaveArchive(w);
    image.Settings.BinLogRates.SaveArchive(w);
    w.I32(iAreaUnits);
    return w.str();
}

CfgDecode DecodeCfgArchive(std::string_view bytes, GPSInfo& image, int32_t* pAreaUnits) {
    if (bytes.empty()) return CfgDecode::Short;
    if (bytes[0] != 'A' && bytes[0] != 'N') return CfgDecode::BadMarker;
    if (bytes.size() < kCfgArchiveSize) return CfgDecode::Short;
    platform::ByteReader r(bytes);
    image.LoadArchive(r);
    image.Settings.szLogComboTexts.LoadArchive(r);
    image.Settings.NMEALogConfig.LoadArchive(r);
    image.Settings.BinLogRates.LoadArchive(r);
    int32_t areaUnits = r.I32();
    if (!r.ok()) return CfgDecode::Short;
    InRange(areaUnits, 0, 1, 0);
    if (pAreaUnits) *pAreaUnits = areaUnits;
    return CfgDecode::Ok;
}

// ---------------------------------------------------------------- CGPS

bool CGPS::CreateConfigFolder() {
    std::string error;
    if (!platform::EnsureConfigDir(&error)) {
        platform::Trace("Tessaray_PC: %s\n", error.c_str());
        return false;
    }
    return true;
}

CfgArchiveState GetCfgArchiveState() {
    std::lock_guard<std::mutex> lock(g_stateMutex);
    return g_state;
}

void ResetCfgArchiveState() {
    std::lock_guard<std::mutex> lock(g_stateMutex);
    g_state = CfgArchiveState{};
}

namespace {

// Writes the archive with the given area unit; on failure the problem is kept in the state
// and *refusedTarget tells whether the file itself was refused (not ours to replace).
int WriteArchive(GPSInfo& image, int32_t areaUnits, bool* refusedTarget) {
    CGPS::CreateConfigFolder();
    image.iComPort = ComPortToStore(image.iComPort);
    const std::string path = CfgArchivePath();
    const std::string error =
        platform::WriteFileAtomic(path, EncodeCfgArchive(image, areaUnits), refusedTarget);
    std::lock_guard<std::mutex> lock(g_stateMutex);
    g_state.saveProblem = error;
    if (!error.empty()) {
        platform::Trace("Tessaray_PC: Error or Exception When Saving Data: %s\n", error.c_str());
        return 0;
    }
    g_state.saidSaveProblem.clear();
    return 1;
}

// The failed save is told once per reason: the load, a proprietary command and the exit
// that fail alike say nothing new.
void TellSaveProblem() {
    std::string problem;
    {
        std::lock_guard<std::mutex> lock(g_stateMutex);
        if (g_state.saveProblem == g_state.saidSaveProblem) return;
        g_state.saidSaveProblem = problem = g_state.saveProblem;
    }
    platform::Notify(std::string(kNotPermitted) + "\n" + problem);
}

// A file longer than the archive is damaged as a short one is; the read stops one byte past
// the size, however large the file.
constexpr size_t kReadLimit = kCfgArchiveSize;

// The first byte of a file, -1 when it cannot be read.
int FirstByte(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    unsigned char first = 0;
    ssize_t n = 0;
    do {
        n = ::read(fd, &first, 1);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n == 1 ? first : -1;
}

}  // namespace

int CGPS::WriteCfgFile(GPSInfo& image) {
    return WriteArchive(image, App().iAreaUnits.load(), nullptr);
}

int CGPS::ReadCfgFile(GPSInfo& image, bool* pPauseDue) {
    CreateConfigFolder();
    const std::string path = CfgArchivePath();
    // What a save killed before its rename left beside the file.
    if (const std::string target = platform::FollowLinks(path); !target.empty()) {
        platform::RemoveStaleTemporaries(target);
    }
    std::string bytes;
    std::string error;
    int err = 0;
    uint64_t size = 0;
    if (!platform::ReadFileBytes(path, &bytes, &error, kReadLimit, &err)) {
        struct stat st {};
        if (err == ENOENT || err == ENOTDIR) {
            SetLoad(CfgArchiveLoad::Missing, error);
            return 0;
        }
        if (err != EFBIG || ::stat(path.c_str(), &st) != 0) {
            Protect(error);
            return 0;
        }
        size = static_cast<uint64_t>(st.st_size);
    }

    int32_t areaUnits = 0;
    CfgDecode decoded = CfgDecode::Short;
    if (size == 0) {
        decoded = DecodeCfgArchive(bytes, image, &areaUnits);
    } else if (const int first = FirstByte(path); first != 'A' && first != 'N') {
        // Too long, and no archive either: some other file, left as it is.
        decoded = CfgDecode::BadMarker;
    }
    switch (decoded) {
        case CfgDecode::BadMarker:
            SetLoad(CfgArchiveLoad::Damaged, path + " does not start with a valid marker");
            return 0;
        case CfgDecode::Short:
            if (size == 0) size = bytes.size();
            platform::Trace(
                "Tessaray_PC: Error or Exception When Loading Data: %s holds %llu bytes, "
                "expected %zu\n",
                path.c_str(), static_cast<unsigned long long>(size), kCfgArchiveSize);
            SetLoad(CfgArchiveLoad::Damaged, path + " holds " + platform::FormatUInt(size) +
                                                 " bytes, not " +
                                                 platform::FormatUInt(kCfgArchiveSize));
            platform::Notify(kNotPermitted);
            RemoveFile(path);
            return 0;
        case CfgDecode::Ok:
            break;
    }

    // A file still marked 'A' was not closed by a normal exit.
    const bool wasA = image.bCfgMarker == 1;
    image.bCfgMarker = wasA ? 0 : 1;
    bool refusedTarget = false;
    // The write-back holds what the file holds, the area unit among it; the run takes that
    // unit only with the rest of the file.
    if (WriteArchive(image, areaUnits, &refusedTarget) != 1) {
        if (refusedTarget) {
            // Readable but not ours to write (left by another user, read-only): what it
            // holds is not taken either, so the run and the file stay apart.
            Protect(GetCfgArchiveState().saveProblem);
            return 0;
        }
        // The file is the user's, only the folder (or the disk) refuses: the settings are
        // taken, and the user learns that this run cannot keep them.
        TellSaveProblem();
    }
    App().iAreaUnits.store(areaUnits);
    SetLoad(CfgArchiveLoad::Loaded, "");
    if (wasA && pPauseDue) *pPauseDue = true;
    return 1;
}

bool CGPS::SaveConfigFile() {
    if (IsProtected()) {
        platform::Trace("Tessaray_PC: the profile archive is left as it is in this run\n");
        return false;
    }
    auto image = std::make_unique<GPSInfo>();
    RecordLock lock(Info.ulPart1Lock);
    Info.ulSetupCRC = CalcSetupCRC(Info);
    image->Init();
    image->CopyPart1From(Info);
    image->Settings = Info.Settings;
    if (WriteCfgFile(*image) == 1) return true;
    TellSaveProblem();
    return false;
}

bool CGPS::LoadConfigFile(bool bPauseAfterA) {
    auto image = std::make_unique<GPSInfo>();
    bool pauseDue = false;
    {
        RecordLock lock(Info.ulPart1Lock);
        image->Init();
        image->Settings = Info.Settings;
        if (ReadCfgFile(*image, &pauseDue) != 1) return false;
        // The live lock word stays with its holder.
        const uint32_t heldLock = Info.ulPart1Lock;
        Info.CopyPart1From(*image);
        Info.ulPart1Lock = heldLock;
        Info.Settings = image->Settings;
    }
    if (pauseDue && bPauseAfterA) platform::Sleep(1000);
    return true;
}

#include "engine/cfgarchive.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/atomic_file.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/textfile.h"
#include "platform/trace.h"

namespace {

constexpr const char* kNotPermitted = "You are not permitted to write into current folder.";

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

// The 8 header words and the 18 plot words, in file order.
struct Words {
    int32_t* header[8];
    int32_t* plot[18];
};

Words WordsOf(GPSInfo& g) {
    return Words{
        {&g.iRxNMEABaudRate, &g.iRxRTCMBaudRate, reinterpret_cast<int32_t*>(&g.ulSetupMagic),
         &g.eCurCorrSource, &g.eRxApp, &g.eRxOtherApp, &g.iRxElevation, &g.iRxMaxAge},
        {&g.iHeadingPlotZoom, &g.iHeadingPlotLineWidth, &g.iHeadingPlotMarker, &g.iPositionPlotZoom,
         &g.iPositionPlotLineWidth, &g.iPositionPlotMarker, &g.ePositionPlotCoordFormat,
         &g.ePositionPlotAltUnit, &g.ePositionPlotOffsetUnit, &g.iSBASPlotScale,
         &g.iSBASPlotLineWidth, &g.iSBASPlotMarker, &g.iLBandPlotScale, &g.iLBandPlotLineWidth,
         &g.iLBandPlotMarker, reinterpret_cast<int32_t*>(&g.ulPlotReserved),
         &g.iBeaconPlotLineWidth, &g.iBeaconPlotMarker}};
}

void RemoveFile(const std::string& path) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
        platform::Trace("Tessaray_PC: cannot delete %s: %s\n", path.c_str(),
                        platform::ErrorText(errno).c_str());
    }
}

}  // namespace

std::string CfgArchivePath() {
    return platform::ConfigFile(kCfgArchiveName);
}

std::string EncodeCfgArchive(const GPSInfo& image, int32_t iAreaUnits) {
    GPSInfo& g = const_cast<GPSInfo&>(image);  // read only: WordsOf lists the fields
    platform::ByteWriter w;
    w.U8(image.bCfgMarker ? 'A' : 'N');
    const Words words = WordsOf(g);
    for (const int32_t* p : words.header) w.I32(*p);
    for (const int32_t* p : words.plot) w.I32(*p);
    PutText(w, image.szSetupText1, sizeof(image.szSetupText1));
    for (uint32_t v : {image.ulSetupWord1, image.ulSetupWord2, image.ulSetupWord3,
                       image.ulSetupWord4, image.ulSetupWord5}) {
        w.U32(v);
    }
    PutText(w, image.szSetupText2, sizeof(image.szSetupText2));
    PutText(w, image.szSetupText3, sizeof(image.szSetupText3));
    w.U32(image.ulSetupCRC);
    w.I32(image.eReceiverType);
    w.I32(ComPortToStore(image.iComPort));
    w.I32(image.eTimeDisplay);
    w.F32(image.fLocalTimeOffset);
    for (int32_t v : {image.eCoordFormat, image.eDisplayChoice, image.eDistanceUnit,
                      image.eSpeedUnit, image.eAccuracyLevel}) {
        w.I32(v);
    }
    w.U32(0);  // the lock word: a file never holds a lock
    const TextTable& texts = image.Settings.szLogComboTexts;
    for (int row = 0; row < kRecentEntries; ++row) {
        for (int list = 0; list < kRecentLists; ++list) {
            PutText(w, texts.List(list)[row], kRecentTextSize);
        }
    }
    const PortConfig& log = image.Settings.NMEALogConfig;
    for (auto member : kLogWords) w.I32(log.*member);
    w.U32(log.ulLastWord);
    const BINLogRateInfo& bin = image.Settings.BinLogRates;
    for (auto member : kBinWords) w.I32(bin.*member);
    w.I32(iAreaUnits);
    return w.str();
}

CfgDecode DecodeCfgArchive(std::string_view bytes, GPSInfo& g, int32_t* pAreaUnits) {
    if (bytes.empty()) return CfgDecode::Short;
    const char marker = bytes[0];
    if (marker != 'A' && marker != 'N') return CfgDecode::BadMarker;
    if (bytes.size() < kCfgArchiveSize) return CfgDecode::Short;

    platform::ByteReader r(bytes);
    g.bCfgMarker = r.U8() == 'A' ? 1 : 0;
    const Words words = WordsOf(g);
    for (int32_t* p : words.header) *p = r.I32();
    for (int32_t* p : words.plot) *p = r.I32();
    r.Chars(g.szSetupText1, sizeof(g.szSetupText1));
    for (uint32_t* p :
         {&g.ulSetupWord1, &g.ulSetupWord2, &g.ulSetupWord3, &g.ulSetupWord4, &g.ulSetupWord5}) {
        *p = r.U32();
    }
    r.Chars(g.szSetupText2, sizeof(g.szSetupText2));
    r.Chars(g.szSetupText3, sizeof(g.szSetupText3));
    g.ulSetupCRC = r.U32();
    g.eReceiverType = r.I32();
    g.iComPort = ComPortToStore(r.I32());
    g.eTimeDisplay = r.I32();
    g.fLocalTimeOffset = r.F32();
    for (int32_t* p :
         {&g.eCoordFormat, &g.eDisplayChoice, &g.eDistanceUnit, &g.eSpeedUnit, &g.eAccuracyLevel}) {
        *p = r.I32();
    }
    r.Skip(4);  // the lock word is never taken from a file
    TextTable& texts = g.Settings.szLogComboTexts;
    for (int row = 0; row < kRecentEntries; ++row) {
        for (int list = 0; list < kRecentLists; ++list) {
            r.Chars(texts.List(list)[row], kRecentTextSize);
        }
    }
    PortConfig& log = g.Settings.NMEALogConfig;
    for (auto member : kLogWords) log.*member = r.I32();
    log.ulLastWord = r.U32();
    BINLogRateInfo& bin = g.Settings.BinLogRates;
    for (auto member : kBinWords) bin.*member = r.I32();
    int32_t areaUnits = r.I32();
    if (!r.ok()) return CfgDecode::Short;

    // Values the screens use as indexes or pen sizes.
    InRange(g.eReceiverType, 0, 2, 0);
    InRange(g.eTimeDisplay, 0, 1, 0);
    InRange(g.eCoordFormat, 0, 2, 0);
    InRange(g.eDistanceUnit, 0, 1, 0);
    InRange(g.eSpeedUnit, 0, 2, 0);
    InRange(g.eAccuracyLevel, 0, 3, 0);
    if (!std::isfinite(g.fLocalTimeOffset)) g.fLocalTimeOffset = -6.0f;
    for (int32_t* width :
         {&g.iHeadingPlotLineWidth, &g.iPositionPlotLineWidth, &g.iSBASPlotLineWidth,
          &g.iLBandPlotLineWidth, &g.iBeaconPlotLineWidth}) {
        InRange(*width, 1, 3, 2);
    }
    for (int32_t* marker : {&g.iHeadingPlotMarker, &g.iPositionPlotMarker, &g.iSBASPlotMarker,
                            &g.iLBandPlotMarker, &g.iBeaconPlotMarker}) {
        InRange(*marker, 0, 2, 0);
    }
    InRange(g.ePositionPlotCoordFormat, 0, 2, 0);
    InRange(g.ePositionPlotAltUnit, 0, 1, 0);
    InRange(g.ePositionPlotOffsetUnit, 0, 1, 0);
    InRange(g.iSBASPlotScale, 0, 2, 0);
    InRange(g.iLBandPlotScale, 0, 2, 0);
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

int CGPS::WriteCfgFile(GPSInfo& image) {
    CreateConfigFolder();
    image.iComPort = ComPortToStore(image.iComPort);
    const std::string path = CfgArchivePath();
    const std::string error =
        platform::WriteFileAtomic(path, EncodeCfgArchive(image, App().iAreaUnits.load()));
    if (!error.empty()) {
        platform::Trace("Tessaray_PC: Error or Exception When Saving Data: %s\n", error.c_str());
        platform::Notify(kNotPermitted);
        return 0;
    }
    return 1;
}

int CGPS::ReadCfgFile(GPSInfo& image, bool* pPauseDue) {
    CreateConfigFolder();
    const std::string path = CfgArchivePath();
    std::string bytes;
    std::string error;
    if (!platform::ReadFileBytes(path, &bytes, &error)) return 0;

    int32_t areaUnits = 0;
    switch (DecodeCfgArchive(bytes, image, &areaUnits)) {
        case CfgDecode::BadMarker:
            return 0;
        case CfgDecode::Short:
            platform::Trace(
                "Tessaray_PC: Error or Exception When Loading Data: %s holds %zu bytes, "
                "expected %zu\n",
                path.c_str(), bytes.size(), kCfgArchiveSize);
            platform::Notify(kNotPermitted);
            RemoveFile(path);
            return 0;
        case CfgDecode::Ok:
            break;
    }
    App().iAreaUnits.store(areaUnits);

    // A file still marked 'A' was not closed by a normal exit.
    const bool wasA = image.bCfgMarker == 1;
    image.bCfgMarker = wasA ? 0 : 1;
    WriteCfgFile(image);
    if (wasA) {
        if (pPauseDue) {
            *pPauseDue = true;
        } else {
            platform::Sleep(1000);
        }
    }
    return 1;
}

bool CGPS::SaveConfigFile() {
    auto image = std::make_unique<GPSInfo>();
    RecordLock lock(Info.ulPart1Lock);
    Info.ulSetupCRC = CalcSetupCRC(Info);
    image->Init();
    image->CopyPart1From(Info);
    image->Settings = Info.Settings;
    return WriteCfgFile(*image) == 1;
}

bool CGPS::LoadConfigFile() {
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
    if (pauseDue) platform::Sleep(1000);
    return true;
}

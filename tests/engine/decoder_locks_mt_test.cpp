// Every decoder writes the record under its part's lock word: a screen that copies the part
// under that word, while the reader thread decodes, sees it as before or after a whole sentence,
// and ThreadSanitizer sees no write that the lock does not order.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "support/frames.h"

namespace {

constexpr auto& Nmea = testsupport::NmeaSentence;
const auto Bare = [](const std::string& body) { return "$" + body + "\r\n"; };

template <class T>
std::string Bytes(const T& field) {
    return std::string(reinterpret_cast<const char*>(&field), sizeof field);
}

struct Family {
    const char* name;
    std::string a, b;                                 // two sentences of the family
    std::function<uint32_t&(GPSInfo&)> lock;          // the word a screen takes
    std::function<std::string(const GPSInfo&)> part;  // what the sentences write
};

TEST(DecoderLocks, ScreenCopiesUnderTheLockSeeWholeSentences) {
    const auto nav = [](GPSInfo& r) -> uint32_t& { return r.Nav.ulNavLock; };
    const auto lband = [](GPSInfo& r) -> uint32_t& { return r.LBand.ulLBandLock; };
    const auto beacon = [](GPSInfo& r) -> uint32_t& { return r.Beacon.ulBeaconLock; };
    const auto navPart = [](const GPSInfo& r) { return Bytes(r.Nav); };
    const auto lbandPart = [](const GPSInfo& r) { return Bytes(r.LBand); };
    const auto beaconPart = [](const GPSInfo& r) { return Bytes(r.Beacon); };
    const Family families[] = {
        {"GGA", Nmea("GPGGA,123519.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000"),
         Nmea("GPGGA,202020.00,3355.500,S,15112.250,W,2,11,1.1,12.5,M,46.9,M,1.0,0000"), nav,
         navPart},
        {"VTG", Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"),
         Nmea("GPVTG,254.1,T,234.0,M,105.5,N,195.4,K"), nav, navPart},
        {"GST", Nmea("GPGST,172814.0,0.006,0.023,0.020,273.6,0.021,0.022,0.031"),
         Nmea("GPGST,172815.0,1.5,2.5,3.5,12.5,4.5,5.5,6.5"), nav, navPart},
        {"HDT ROT", Nmea("GPHDT,123.4,T"), Nmea("HEROT,-3.5,A"), nav, navPart},
        {"GSV", Nmea("GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38"),
         Nmea("GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38"),
         [](GPSInfo& r) -> uint32_t& { return r.SatView.ulSatViewLock; },
         [](const GPSInfo& r) { return Bytes(r.SatView); }},
        {"RD1", Nmea("RD1,000041,1910,1557.8450,1,300-120,0,0,0,0,0,1,123"),
         Nmea("RD1,000041,1910,1557.8450,1,700,0,0,0,0,0,0D4B,FFFFFFFF"), lband, lbandPart},
        {"JGEO JOMS", Bare(">JGEO,Sent,FREQ=1535.1375,PRN=122,LON=-15.5,EL=30.2,AZ=200.1"),
         Bare(">JOMS,1,2,3,4,01/02/2024,31/12/2025,86400"), lband, lbandPart},
        {"JI", Bare(">JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,"),
         Bare(">JI,42,2,3,4,5,00,APPLICATION-FIRMWARE-TEXT,DSP"), lband, lbandPart},
        {"JAPP JBAUD", Bare(">JAPP,WAAS,SUBSEA7"), Bare("> JBAUD,19200"), lband,
         [](const GPSInfo& r) {
             return Bytes(r.eRxApp) + Bytes(r.eRxOtherApp) + Bytes(r.iRxRTCMBaudRate);
         }},
        {"JRTK", Bare(">JRTK,1,51.0123456,-114.5,1048.25"), Bare(">JRTK,1,10.5,,"),
         [](GPSInfo& r) -> uint32_t& { return r.RxPortConfig.ulLastWord; },
         [](const GPSInfo& r) { return Bytes(r.RxPortConfig); }},
        {"JRAD", Bare(">JRAD,2,OK"), Bare(">JRAD,2,BUSY"),
         [](GPSInfo& r) -> uint32_t& { return r.JRAD.ulJRADLock; },
         [](const GPSInfo& r) { return Bytes(r.JRAD); }},
        {"CS0", Nmea("PKRV,CS0,FW2.1,X,301.5,M,200,M,25,18,3,4,123,1"),
         Nmea("PKRV,CS0,FW2.2,X,305.0,M,100,M,20,15,2,3,456,0"), beacon, beaconPart},
        {"Version", Bare(">PKRV,Version,SBX-4 2.03"), Bare(">PKRV,Version,SBX-5 3.10"), beacon,
         beaconPart},
    };
    App().bBin1Position.store(0);
    for (const Family& f : families) {
        SCOPED_TRACE(f.name);
        auto gps = std::make_unique<CGPS>();
        auto nmea = std::make_unique<CNMEA>();
        nmea->PkrvNMEA.Responder = [](const std::string&) {};
        GPSInfo& rec = gps->Info;
        const auto feed = [&](const std::string& sentence) {
            std::vector<char> buffer(sentence.begin(), sentence.end());
            buffer.push_back('\0');
            nmea->bParseNMEA(&rec, buffer.data());
        };
        const auto copy = [&] {
            RecordLock hold(f.lock(rec));
            return f.part(rec);
        };
        // The states a copy may show: before, and after each sentence of a, b, a, b.
        std::vector<std::string> states{copy()};
        for (int k = 0; k < 4; ++k) {
            feed(k % 2 ? f.b : f.a);
            states.push_back(copy());
        }
        ASSERT_NE(states[0], states[1]) << "the first sentence writes the part";
        ASSERT_NE(states[1], states[2]) << "the second sentence writes the part";
        std::atomic<bool> done{false};
        std::thread reader([&] {
            for (int k = 0; k < 400; ++k) feed(k % 2 ? f.b : f.a);
            done = true;
        });
        int copies = 0, torn = 0;
        while (!done.load(std::memory_order_relaxed)) {
            const std::string seen = copy();
            ++copies;
            if (std::find(states.begin(), states.end(), seen) == states.end()) ++torn;
        }
        reader.join();
        EXPECT_EQ(torn, 0) << "of " << copies << " copies";
    }
}

}  // namespace

// The edges of the ranges the decoders and the replies accept: the last value inside and the
// first outside, each through the dispatcher into the field a screen reads.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "support/frames.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;
constexpr auto& Nmea = testsupport::NmeaSentence;
const auto Bare = [](const std::string& body) { return "$" + body + "\r\n"; };
const std::string kGGA = "GPGGA,123519.50,4807.038,N,01131.000,E,";
const std::string kGGATail = ",08,0.9,545.4,M,46.9,M,2.0,0000";

struct Edge {
    std::vector<std::string> sentences;  // fed in order into a fresh record
    std::function<std::string(const GPSInfo&)> field;
    std::string expected;
};

TEST(Boundaries, LastValueInsideAndFirstOutsideEachRange) {
    testsupport::InstalledVirtualClock clock;
    App().bBin1Position.store(0);
    const auto quality = [](const GPSInfo& r) { return Join(r.Nav.iFixQuality); };
    const auto heading = [](const GPSInfo& r) { return Join(r.Nav.fHeading); };
    const auto geo = [](const GPSInfo& r) {
        const LBandInfo& l = r.LBand;
        return Join(l.iGeoId, l.iSBASPRN1 == l.iGeoId || l.iSBASPRN2 == l.iGeoId);
    };
    const auto geoReply = [](int prn) {
        return Bare(">JGEO,Sent,FREQ=1575.4200,PRN=" + std::to_string(prn) +
                    ",LON=-15.5,EL=30.2,AZ=200.1");
    };
    const auto offset = [](const GPSInfo& r) { return Join(static_cast<int>(r.ulSetupWord5)); };
    const auto setup = [](const char* hours) {
        return "$PKRV,SETUP,SET,DMS,FEET,KNOTS," + std::string(hours) + ",AUTO,5\r\n";
    };
    const auto ggaRate = [](const GPSInfo& r) { return Join(r.RxPortConfig.eGGA); };
    const auto show = [](const char* hz) { return Bare(">JSHOW,ASC,GPGGA," + std::string(hz)); };
    const auto gga = [](const char* q) { return Nmea(kGGA + q + kGGATail); };
    const Edge edges[] = {
        // Fix quality 0 to 2 is stored; anything else keeps the last one.
        {{gga("1"), gga("0")}, quality, "0"},
        {{gga("1"), gga("2")}, quality, "2"},
        {{gga("2"), gga("3")}, quality, "2"},
        {{gga("1"), gga("-1")}, quality, "1"},
        // Headings come into 0..360; 360 itself stays.
        {{Nmea("GPHDT,0.0,T")}, heading, "0"},
        {{Nmea("GPHDT,360.0,T")}, heading, "360"},
        {{Nmea("GPHDT,360.5,T")}, heading, "0.5"},
        {{Nmea("GPHDT,-0.5,T")}, heading, "359.5"},
        {{Nmea("GPHDT,720.0,T")}, heading, "360"},
        {{Nmea("GPHDT,-360.0,T")}, heading, "0"},
        // SBAS satellites are 120 to 138; others never take a slot.
        {{geoReply(119)}, geo, "119 0"},
        {{geoReply(120)}, geo, "120 1"},
        {{geoReply(138)}, geo, "138 1"},
        {{geoReply(139)}, geo, "139 0"},
        // The UTC offset is -12 to 12 hours; beyond, none.
        {{setup("-12")}, offset, "-12"},
        {{setup("12")}, offset, "12"},
        {{setup("-13")}, offset, "0"},
        {{setup("13")}, offset, "0"},
        // A 0.2 Hz rate is one every five seconds; a rate off that is no rate.
        {{show("0.2")}, ggaRate, Join(int{RATE_5S})},
        {{show("0.19")}, ggaRate, Join(int{RATE_OFF})},
        {{show("0.21")}, ggaRate, Join(int{RATE_OFF})},
        {{show("1")}, ggaRate, Join(int{RATE_1HZ})},
        {{show("20")}, ggaRate, Join(int{RATE_20HZ})},
    };
    for (const Edge& e : edges) {
        auto gps = std::make_unique<CGPS>();
        auto nmea = std::make_unique<CNMEA>();
        nmea->PkrvNMEA.Responder = [](const std::string&) {};
        nmea->PkrvNMEA.SaveArchive = nmea->PkrvNMEA.LoadArchive = [] { return true; };
        for (const std::string& s : e.sentences) {
            std::vector<char> buffer(s.begin(), s.end());
            buffer.push_back('\0');
            nmea->bParseNMEA(&gps->Info, buffer.data());
        }
        EXPECT_EQ(e.field(gps->Info), e.expected) << e.sentences.back();
    }
}

}  // namespace

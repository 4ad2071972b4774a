#include "stream.h"

#include <cstdint>
#include <cstring>

#include "platform/bytes.h"
#include "platform/numbers.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace benchsupport {
namespace {

using testsupport::BinFrame;
using testsupport::NmeaSentence;

std::string Message1(double timeOfWeek, double latitude = 48.1173) {
    platform::ByteWriter w;
    w.U8(4);
    w.U8(9);
    w.U16(1400);
    w.F64(timeOfWeek);
    w.F64(latitude);
    w.F64(-11.5167);
    w.F32(545.4f);
    w.F32(0.12f);
    w.F32(-0.25f);
    w.F32(0.03f);
    w.F32(0.8f);
    w.U16(5);  // navigation mode: 3D with differential corrections
    w.U16(3);
    return w.str();
}

std::string Message2() {
    platform::ByteWriter w;
    w.U32(1);
    w.U32(2);
    w.U16(3);
    w.U16(9);  // HDOP x 10: the same the GGA sentences carry, so the read-outs hold still
    w.U16(19);
    w.U16(4);
    return w.str();
}

std::string Message99(double timeOfWeek) {
    platform::ByteWriter w;
    w.U8(1);
    w.U8(12);
    w.U16(1400);
    w.F64(timeOfWeek);
    for (uint8_t ch = 0; ch < 12; ++ch) {
        w.U8(static_cast<uint8_t>(ch + 1));
        w.U8(0);
        w.U8(0);
        w.U32(0x1234u + ch);
        w.U32(0x5678u + ch);
        w.U8(static_cast<uint8_t>(40 + ch));
        for (uint16_t k = 0; k < 6; ++k) w.U16(static_cast<uint16_t>(ch * 10 + k));
    }
    w.U16(7);
    w.U16(0);
    return w.str();
}

std::string Message96(double timeOfWeek) {
    platform::ByteWriter w;
    w.U16(1400);
    w.U16(0);
    w.F64(timeOfWeek);
    for (uint32_t ch = 0; ch < 12; ++ch) {
        w.U32(ch << 8);
        w.U32(0x00ABCDEFu + ch);
        w.F64(2.1e7 + ch * 1000.5);
        w.F64(1.1e8 + ch * 777.25);
    }
    return w.str();
}

}  // namespace

std::vector<std::string> ReceiverSecond(unsigned second, bool rawData) {
    std::vector<std::string> frames;
    const double tow = 302400.0 + second;
    const unsigned s = second % 60;
    for (unsigned tick = 0; tick < 20; ++tick) {
        std::string t = platform::Format("1235%02u.%02u", s, tick * 5);
        frames.push_back(NmeaSentence(
            "GPGGA," + t + ",4807.0381,N,01131.0002,E,2,08,0.9,545.4,M,46.9,M,3.0,0122"));
        frames.push_back(NmeaSentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,D"));
        // A vessel holding its course: the heading wanders within a few tenths of a degree.
        frames.push_back(NmeaSentence(platform::Format("GPHDT,51.%u,T", (s + tick) % 8)));
        frames.push_back(BinFrame(1, Message1(tow + tick / 20.0)));
    }
    frames.push_back(
        NmeaSentence("GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38"));
    frames.push_back(
        NmeaSentence("GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38"));
    frames.push_back(NmeaSentence("GPGSV,3,3,10,09,05,010,30,10,80,270,43"));
    frames.push_back(NmeaSentence("GPGST,1235" + platform::Format("%02u", s) +
                                  ".00,0.006,0.023,0.020,273.6,0.021,0.022,0.031"));
    frames.push_back("$RD1,000041,1910,1557.8450,1,120-340,0,0,0,0,0,1F2,C004\r\n");
    frames.push_back(BinFrame(2, Message2()));
    frames.push_back(BinFrame(99, Message99(tow)));
    if (rawData) frames.push_back(BinFrame(96, Message96(tow)));
    static const char* const kReplies[] = {
        "$>JSHOW,BAUD,115200,PORTC\r\n",
        "$>JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,\r\n",
        "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n",
        "$>JDIFF,BEACON\r\n",
    };
    frames.push_back(kReplies[second % 4]);
    return frames;
}

std::vector<std::string> ReceiverItems(bool withPosition) {
    std::vector<std::string> items;
    for (unsigned s = 0; s < 60; ++s) {
        std::vector<std::string> second;
        unsigned tick = 0;
        for (std::string& f : ReceiverSecond(s)) {
            const bool position = f.rfind("$GPGGA", 0) == 0 || f.rfind("$BIN\x01", 0) == 0;
            // A receiver standing still wanders by centimetres, so the position plot moves.
            if (f.rfind("$BIN\x01", 0) == 0) {
                f = BinFrame(
                    1, Message1(302400.0 + s + tick / 20.0, 48.1173 + 5e-7 * ((s * 7 + tick) % 6)));
                ++tick;
            }
            if (f.rfind("$>", 0) != 0 && (withPosition || !position))
                second.push_back(std::move(f));
        }
        second.push_back(NmeaSentence(platform::Format("GPROT,%.1f,A", 1.5 + s % 5)));
        second.push_back(NmeaSentence("PKRV,CS0,BX3.1,0,290.0,M,0,M,7,10,50,3,705,2"));
        second.push_back(NmeaSentence(
            platform::Format("GPGSV,3,1,10,01,%u,%03u,46,02,17,308,41,03,07,344,39,04,10,200,38",
                             40 + s % 10, (83 + s) % 360)));
        while (second.size() < 100) second.push_back(second[second.size() % 4]);
        second.resize(100);
        items.insert(items.end(), second.begin(), second.end());
    }
    return items;
}

void AnswerQueries(testsupport::ReceiverSimulator& sim, bool heading, const char* jdiff,
                   const char* japp) {
    sim.SetReply("$JI", std::string("$>JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,") +
                            (heading ? "HEADING" : "") + "\r\n");
    sim.SetReply("$JSHOW", "$>JSHOW,BAUD,19200,PORTA\r\n$>JSHOW,ASC,GPGGA,1.0,PORTA\r\n");
    // The L-band satellite first, then the SBAS ones, as the receiver lists them.
    sim.SetReply("$JGEO",
                 "$>JGEO,Sent,FREQ=1534.7410,ID=1200,LON=-101.0,EL=35.4,AZ=210.7\r\n"
                 "$>JGEO,Sent,FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5\r\n"
                 "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n");
    sim.SetReply("$JDIFF", std::string("$>JDIFF,") + jdiff + "\r\n");
    sim.SetReply("$JAPP", std::string("$>JAPP,") + japp + "\r\n");
    sim.SetReply("$JRTK", "$>JRTK,1,48.1173,11.5167,545.4\r\n");
    sim.SetReply("$JRAD", "$>JRAD,1,48.1173,11.5167,545.4,AUTO\r\n");
    sim.SetReply("$JOMS", "$>JOMS,1,OK\r\n");
    sim.SetReply("$JBAUD", "$>\r\n");
}

std::string ReceiverStream(unsigned seconds, bool rawData) {
    std::string out;
    for (unsigned s = 0; s < seconds; ++s) {
        for (const std::string& f : ReceiverSecond(s, rawData)) out += f;
    }
    return out;
}

size_t FrameCount(const std::string& stream) {
    // "$BIN" data may hold CR LF, so frames are walked rather than line ends counted.
    size_t n = 0;
    size_t at = 0;
    while (at < stream.size()) {
        if (stream.compare(at, 4, "$BIN") == 0 && at + 8 <= stream.size()) {
            uint32_t len =
                static_cast<uint8_t>(stream[at + 6]) | (static_cast<uint8_t>(stream[at + 7]) << 8);
            at += len + 12;
        } else {
            size_t end = stream.find("\r\n", at);
            if (end == std::string::npos) break;
            at = end + 2;
        }
        ++n;
    }
    return n;
}

}  // namespace benchsupport

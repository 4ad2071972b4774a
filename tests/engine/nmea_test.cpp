#include "engine/nmea.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/appstate.h"
#include "engine/decoder_cases.h"
#include "platform/trace.h"
#include "support/decimal_comma_locale.h"
#include "support/virtual_clock.h"

namespace {

using decoder_cases::Bare;
using decoder_cases::Nmea;

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        App().bBin1Position.store(0);
        platform::ClearTrace();
        nmea_.PkrvNMEA.Responder = [this](const std::string& text) { answers_ += text; };
        nmea_.PkrvNMEA.SaveArchive = [] { return true; };
        nmea_.PkrvNMEA.LoadArchive = [] { return true; };
    }

    bool Feed(const std::string& sentence) {
        std::vector<char> buffer(sentence.begin(), sentence.end());
        buffer.push_back('\0');
        return nmea_.bParseNMEA(&gps_->Info, buffer.data());
    }

    std::unique_ptr<CGPS> gps_ = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmeaOwner_ = std::make_unique<CNMEA>();
    CNMEA& nmea_ = *nmeaOwner_;
    std::string answers_;
};

TEST_F(Dispatch, EveryFamilyDecodesIntoItsFields) {
    for (const decoder_cases::Case& c : decoder_cases::AllFamilies()) {
        SCOPED_TRACE(c.name);
        gps_ = std::make_unique<CGPS>();
        if (c.setup) c.setup(gps_->Info);
        for (const std::string& s : c.sentences) Feed(s);
        c.check(gps_->Info);
        EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 0);
    }
}

TEST_F(Dispatch, FieldSplitterYieldsEmptyFieldsAndChecksumDigits) {
    char sentence[] = "$GPVTG,,T,,M,0.0,N,0.0,K*4E\r\n";
    char field[kNMEAFieldSize];
    std::vector<std::string> fields;
    char* p = sentence;
    while ((p = CNMEA::pszGetNMEAfield(field, p)) != nullptr && fields.size() < 20)
        fields.push_back(field);
    ASSERT_GE(fields.size(), 10u);
    const std::vector<std::string> expected = {"$GPVTG", "",  "T",   "",  "M",
                                               "0.0",    "N", "0.0", "K", "4E"};
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.begin() + 10), expected);
    EXPECT_LT(fields.size(), 20u);
    EXPECT_EQ(CNMEA::pszGetNMEAfield(field, nullptr), nullptr);
    char empty[] = "";
    EXPECT_EQ(CNMEA::pszGetNMEAfield(field, empty), nullptr);
}

TEST_F(Dispatch, DecoderFieldViewStopsAtTheChecksum) {
    struct Row {
        const char* sentence;
        std::vector<std::string> fields;
    };
    const Row rows[] = {
        {"$A,1,2*3F\r\n", {"$A", "1", "2"}},
        {"$A,1,*3F\r\n", {"$A", "1", ""}},
        {"$A,,\r\n", {"$A", "", ""}},
        {"$A\r\n", {"$A"}},
        {"$A,x", {"$A", "x"}},
    };
    char buffer[kNMEAFieldSize];
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sentence);
        NMEAFields f(buffer, row.sentence);
        std::vector<std::string> got;
        while (f.Next()) got.push_back(f.Text());
        EXPECT_EQ(got, row.fields);
    }
}

TEST_F(Dispatch, FieldCoreConverters) {
    EXPECT_EQ(CNMEA::iACIItoHex("1F"), 31);
    EXPECT_EQ(CNMEA::iACIItoHex("a"), 10);
    EXPECT_EQ(CNMEA::iACIItoHex("FFFFFFFF"), -1);
    struct Digit {
        char c;
        int value;
    };
    for (const Digit d : {Digit{'0', 0}, Digit{'9', 9}, Digit{'A', 10}, Digit{'f', 15},
                          Digit{'G', 0}, Digit{'*', 0}})
        EXPECT_EQ(CNMEA::iHexDigit(d.c), d.value) << d.c;

    EXPECT_EQ(CNMEA::iCalcChecksum("$GPGLL,1*00"), 'G' ^ 'P' ^ 'G' ^ 'L' ^ 'L' ^ ',' ^ '1');
    EXPECT_EQ(CNMEA::iCalcChecksum("$AB"), 'A' ^ 'B');

    EXPECT_EQ(CNMEA::iCheckHeader("$GPGGA,1", "$GPGGA,"), 0);
    EXPECT_EQ(CNMEA::iCheckHeader("$GP", "$GPGGA,"), 0);  // the shorter length decides
    EXPECT_LT(CNMEA::iCheckHeader("$GPAAA,", "$GPGGA,"), 0);
    EXPECT_GT(CNMEA::iCheckHeader("$GPZZZ,", "$GPGGA,"), 0);

    EXPECT_FLOAT_EQ(CNMEA::fACIItoFloat("12.5abc"), 12.5f);
    EXPECT_FLOAT_EQ(CNMEA::fACIItoFloat("abc"), 0.0f);
    EXPECT_FLOAT_EQ(CNMEA::fACIItoFloat("1e39"), 0.0f);  // beyond float: not a number here
    EXPECT_DOUBLE_EQ(CNMEA::dACIItoDouble("-114.5,"), -114.5);
}

TEST_F(Dispatch, ChecksumErrorsAreCountedAndTheSentenceDropped) {
    std::string bad = Nmea(decoder_cases::kGGA);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    EXPECT_FALSE(Feed(bad));
    EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 1);
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 0);

    EXPECT_FALSE(Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*\r\n"));
    EXPECT_FALSE(Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*ZZ\r\n"));
    EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 3);
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 0);

    // Without "*" the sentence is decoded untested.
    EXPECT_TRUE(Feed(Bare(decoder_cases::kGGA)));
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 48);
    EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 3);
}

TEST_F(Dispatch, UnknownTalkersAreTracedAndOtherSentencesDroppedSilently) {
    // Only when traces are wanted: formatting one for every such sentence costs.
    platform::ClearTrace();
    EXPECT_FALSE(Feed(Nmea("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,")));
    EXPECT_FALSE(platform::TraceContains("Unrecognized"));
    platform::SetTracesWanted(true);
    EXPECT_FALSE(Feed(Nmea("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,")));
    EXPECT_TRUE(platform::TraceContains("Unrecognized response!"));
    EXPECT_TRUE(platform::TraceContains("<$GNGGA,123519"));
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 0);

    platform::ClearTrace();
    EXPECT_FALSE(Feed(Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")));
    EXPECT_FALSE(Feed(Nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")));
    EXPECT_FALSE(Feed(Bare(">JUNKNOWN,1,2")));
    EXPECT_FALSE(Feed(Bare(">")));
    EXPECT_FALSE(platform::TraceContains("Unrecognized"));
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 0);
    platform::SetTracesWanted(false);
}

TEST_F(Dispatch, GpSentencesGiveOneWhateverTheDecoderSays) {
    EXPECT_TRUE(Feed(Nmea("GPGGA,1")));
    EXPECT_TRUE(Feed(Nmea("GPVTG,")));
}

TEST_F(Dispatch, HiddenModeFormsAreIgnored) {
    const GPSInfo before = gps_->Info;
    EXPECT_FALSE(Feed("$PKRV,8,QERVAD\r\n"));
    EXPECT_FALSE(Feed("$PKRV,8,QERVAD,FULL\r\n"));
    EXPECT_FALSE(Feed("$PKRV,8,QERVAD,MORE\r\n"));
    EXPECT_FALSE(Feed("$PKRV,UNKNOWN,1\r\n"));
    EXPECT_EQ(std::memcmp(&before.Beacon, &gps_->Info.Beacon, sizeof before.Beacon), 0);
    EXPECT_EQ(before.iRxRTCMBaudRate, gps_->Info.iRxRTCMBaudRate);
    EXPECT_EQ(answers_, "");
}

TEST_F(Dispatch, StatisticsAreTracedEveryThousandSentences) {
    const long start = CNMEA::SentenceCount();
    const long toNext = 1000 - start % 1000;
    for (long k = 0; k < toNext - 1; ++k) Feed(Nmea("GPZDA,1"));
    EXPECT_FALSE(platform::TraceContains("Responses="));
    Feed(Nmea("GPZDA,1"));
    const std::string expected = "Responses=" + std::to_string(start + toNext) + ", comparisons=";
    EXPECT_TRUE(platform::TraceContains(expected));
    EXPECT_TRUE(platform::TraceContains("compare/response="));
}

TEST_F(Dispatch, NumbersDoNotFollowTheProcessLocale) {
    USE_DECIMAL_COMMA_LOCALE();
    Feed(Nmea(decoder_cases::kGGA));
    Feed(Bare(">JGEO,Sent,FREQ=1535.1375,PRN=122,LON=-15.5,EL=30.2,AZ=200.1"));
    Feed(Bare(">JSHOW,ASC,GPGGA,0.2"));
    testsupport::RestoreCLocale();
    EXPECT_DOUBLE_EQ(gps_->Info.Nav.dLatMin, 7.038);
    EXPECT_FLOAT_EQ(gps_->Info.Nav.fHDOP, 0.9f);
    EXPECT_EQ(gps_->Info.LBand.ulGeoFreqKhz, 1535137u);
    EXPECT_FLOAT_EQ(gps_->Info.LBand.fGeoLongitude, -15.5f);
    EXPECT_EQ(gps_->Info.RxPortConfig.eGGA, RATE_5S);
}

TEST_F(Dispatch, BaudCommandSavesTheArchiveAfterItsPause) {
    testsupport::InstalledVirtualClock clock;
    int saves = 0;
    nmea_.PkrvNMEA.SaveArchive = [&] {
        // The archive save runs while the record is held; the recursive lock allows it.
        CGPS::Lock(&gps_->Info.ulPart1Lock);
        CGPS::Unlock(&gps_->Info.ulPart1Lock);
        ++saves;
        return true;
    };
    EXPECT_TRUE(Feed(Nmea("PKRV,BAUD,19200")));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(gps_->Info.iRxRTCMBaudRate, 19200);
    EXPECT_EQ(answers_, "$>PKRV,MSG,Baud rate set to 19200\r\n");
    // The same rate again: accepted, nothing printed, no pause, saved again as a success.
    answers_.clear();
    EXPECT_TRUE(Feed(Nmea("PKRV,BAUD,19200")));
    EXPECT_EQ(answers_, "");
    EXPECT_FALSE(Feed(Nmea("PKRV,BAUD,14400")));
    EXPECT_EQ(gps_->Info.iRxRTCMBaudRate, 19200);
    EXPECT_EQ(saves, 2);
    // Only the change of rate pauses.
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{250}));
    EXPECT_EQ(gps_->Info.ulPart1Lock, 0u);
}

}  // namespace

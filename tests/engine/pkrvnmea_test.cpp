#include "engine/pkrvnmea.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/decoder_cases.h"
#include "engine/nmea.h"
#include "support/virtual_clock.h"

namespace {

using decoder_cases::Nmea;

class Responder : public ::testing::Test {
protected:
    void SetUp() override {
        nmea_->PkrvNMEA.Responder = [this](const std::string& text) { out_ += text; };
        nmea_->PkrvNMEA.SaveArchive = [this] {
            ++saves_;
            return true;
        };
        nmea_->PkrvNMEA.LoadArchive = [this] {
            ++loads_;
            return loadResult_;
        };
    }

    // Feeds each line and returns what the responder printed.
    std::string Run(const std::vector<std::string>& lines) {
        out_.clear();
        for (const std::string& line : lines) {
            std::vector<char> buffer(line.begin(), line.end());
            buffer.push_back('\0');
            nmea_->bParseNMEA(&gps_->Info, buffer.data());
        }
        return out_;
    }

    testsupport::InstalledVirtualClock clock_;
    std::unique_ptr<CGPS> gps_ = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmea_ = std::make_unique<CNMEA>();
    std::string out_;
    int saves_ = 0;
    int loads_ = 0;
    bool loadResult_ = true;
};

TEST_F(Responder, HelpListsVersionAndCommands) {
    EXPECT_EQ(Run({"$PKRV,HELP\r\n"}),
              "$>PKRV,Version,P022-0.001\r\n"
              "$>PKRV,HELP          -Help message\r\n"
              "$>PKRV,BAUD,         -Baud Rate\r\n"
              "$>PKRV,SETUP,SET,    -LL,HGT,SPD,UTC,SRC,RT\r\n"
              "$>PKRV,SETUP,SHOW    -Shows Setup\r\n"
              "$>PKRV,SETUP,MUX     -Enable/Disable Communication Mux\r\n"
              "$>PKRV,STATUS,CS     -Checksum Error Report\r\n");
    // HELP with anything after it is not the help command.
    EXPECT_EQ(Run({"$PKRV,HELP,1\r\n"}), "");
}

TEST_F(Responder, BaudAcceptsOnlyTheListedRates) {
    struct Row {
        const char* line;
        const char* answer;
        int rate;
    };
    const Row rows[] = {
        {"$PKRV,BAUD,14400\r\n", "", 9600},
        {"$PKRV,BAUD,9600\r\n", "", 9600},
        {"$PKRV,BAUD,4800\r\n", "$>PKRV,MSG,Baud rate set to 4800\r\n", 4800},
        {"$PKRV,BAUD,57600\r\n", "$>PKRV,MSG,Baud rate set to 57600\r\n", 57600},
        {"$PKRV,BAUD,115200\r\n", "", 57600},
        {"$PKRV,BAUD,\r\n", "", 57600},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Run({row.line}), row.answer);
        EXPECT_EQ(gps_->Info.iRxRTCMBaudRate, row.rate);
    }
    EXPECT_EQ(saves_, 3);  // 9600 (unchanged but accepted), 4800, 57600
}

TEST_F(Responder, StatusReportsTheChecksumErrors) {
    std::string bad = Nmea("GPGGA,1");
    bad[bad.size() - 3] ^= 1;
    EXPECT_EQ(Run({bad, bad, Nmea("PKRV,STATUS,CS")}), "$>PKRV,Status,ChecksumErrors,2\r\n");
    EXPECT_EQ(Run({"$PKRV,STATUS,XX\r\n", "$PKRV,STATUS,\r\n"}), "");
}

TEST_F(Responder, SetupSetChangesTheHeaderSilently) {
    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,LBAND,5\r\n"}), "");
    const GPSInfo& r = gps_->Info;
    // Words 1 to 5 and the source.
    auto words = [&r] {
        return std::tuple(r.ulSetupWord1, r.ulSetupWord2, r.ulSetupWord3, r.ulSetupWord4,
                          static_cast<int32_t>(r.ulSetupWord5), r.eCurCorrSource);
    };
    EXPECT_EQ(words(), std::tuple(1u, 2u, 1u, 2u, -5, 2));
    Run({"$PKRV,SETUP,SET,XX,YY,ZZ,13,WHAT,1\r\n"});  // offset outside -12..12
    EXPECT_EQ(words(), std::tuple(0u, 2u, 1u, 2u, 0, 2));
    Run({"$PKRV,SETUP,SET,DD,METERS,MPH,7\r\n"});
    EXPECT_EQ(words(), std::tuple(0u, 0u, 0u, 1u, 7, 2));
    Run({"$PKRV,SETUP,SET,DD,METERS,MPH\r\n"});  // a missing offset becomes 0
    EXPECT_EQ(words(), std::tuple(0u, 0u, 0u, 1u, 0, 2));
    EXPECT_EQ(r.ulPart1Lock, 0u);
}

TEST_F(Responder, SetupMuxShowIntroResetPrintTheirLines) {
    EXPECT_EQ(Run({"$PKRV,SETUP,MUX,ON\r\n", "$PKRV,SETUP,MUX,OFF\r\n", "$PKRV,SETUP,MUX,X\r\n"}),
              "$>PKRV,MSG,MUX Enabled\r\n$>PKRV,MSG,MUX Disabled\r\n");

    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,AUTO,5\r\n",
                   "$PKRV,SETUP,INTRO,Top line of the intro,Bottom\r\n", "$PKRV,SETUP,SHOW\r\n"}),
              "$>PKRV,Setup,NMEARate,57600\r\n"
              "$>PKRV,Setup,RTCMRate,9600\r\n"
              "$>PKRV,Setup,LLFormat,DMS\r\n"
              "$>PKRV,Setup,HeightFormat,Feet\r\n"
              "$>PKRV,Setup,SpeedFormat,KNOTS\r\n"
              "$>PKRV,Setup,UTCOffset,-5\r\n"
              "$>PKRV,Setup,DiffSource,AUTODIFF\r\n"
              "$>PKRV,Setup,FiveHertz,On\r\n"
              "$>PKRV,Setup,TopIntro,Top line of the \r\n"
              "$>PKRV,Setup,BottomIntro,Bottom\r\n");

    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DM,METERS,KMPH,0,RTKBAS,1\r\n", "$PKRV,SETUP,SHOW\r\n"}),
              "$>PKRV,Setup,NMEARate,57600\r\n"
              "$>PKRV,Setup,RTCMRate,9600\r\n"
              "$>PKRV,Setup,LLFormat,DM\r\n"
              "$>PKRV,Setup,HeightFormat,Meters\r\n"
              "$>PKRV,Setup,SpeedFormat,KMPH\r\n"
              "$>PKRV,Setup,UTCOffset,0\r\n"
              "$>PKRV,Setup,DiffSource,\r\n"
              "$>PKRV,Setup,FiveHertz,Off\r\n"
              "$>PKRV,Setup,TopIntro,Top line of the \r\n"
              "$>PKRV,Setup,BottomIntro,Bottom\r\n");

    gps_->Info.iRxElevation = 20;
    EXPECT_EQ(Run({"$PKRV,SETUP,RESET\r\n"}), "$>PKRV,MSG,Setup Reset\r\n");
    EXPECT_EQ(gps_->Info.iRxElevation, 5);
    EXPECT_STREQ(gps_->Info.szSetupText2, "");
    EXPECT_EQ(gps_->Info.ulSetupWord2, 1u);
    EXPECT_EQ(gps_->Info.ulPart1Lock, 0u);
}

TEST_F(Responder, SetupSaveAndReadUseTheArchive) {
    EXPECT_EQ(Run({"$PKRV,SETUP,SAVE\r\n"}), "$>PKRV,MSG,Setup Saved\r\n");
    EXPECT_EQ(saves_, 1);
    EXPECT_EQ(Run({"$PKRV,SETUP,READ\r\n"}), "$>PKRV,MSG,CRC Passed\r\n$>PKRV,MSG,Setup Read\r\n");
    loadResult_ = false;
    EXPECT_EQ(Run({"$PKRV,SETUP,READ\r\n"}), "$>PKRV,MSG,CRC Failed\r\n$>PKRV,MSG,Setup Read\r\n");
    EXPECT_EQ(loads_, 2);
    EXPECT_EQ(Run({"$PKRV,SETUP,WHAT\r\n", "$PKRV,SETUP,\r\n"}), "");
    EXPECT_EQ(gps_->Info.ulPart1Lock, 0u);
}

TEST_F(Responder, BeaconStatusWithMissingFieldsTakesTheDefaults) {
    gps_->Info.Beacon.iSNR = 9;
    Run({Nmea("PKRV,CS0,FIRMWARE-TEXT-LONGER-THAN-TWENTY,X,301.5")});
    const BeaconInfo& b = gps_->Info.Beacon;
    EXPECT_EQ(std::tuple(std::string(b.szBeaconFirmware), b.fBeaconFreq, b.cFreqMode,
                         b.iBeaconBitRate, b.cRateMode, b.iSNR),
              std::tuple("FIRMWARE-TEXT-LONGER", 301.5f, 'A', 0, 'A', 0));

    Run({Nmea("PKRV,CS0,")});
    EXPECT_STREQ(b.szBeaconFirmware, "Unavailable");
    EXPECT_FLOAT_EQ(b.fBeaconFreq, 0.0f);

    Run({"$>PKRV,Version,SBX 1.0\r\n", "$>PKRV,Version\r\n"});
    EXPECT_STREQ(b.szBeaconVersion, "Unavailable");
    Run({"$>PKRV,Version,A-VERSION-TEXT-OF-MORE-THAN-22\r\n"});
    EXPECT_STREQ(b.szBeaconVersion, "A-VERSION-TEXT-OF-MORE");
    EXPECT_EQ(b.ulBeaconLock, 0u);
}

}  // namespace

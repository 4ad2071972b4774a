#include "engine/pkrvnmea.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/nmea.h"
#include "platform/numbers.h"

namespace {

bool Is(const char* text, const char* word) {
    return std::strcmp(text, word) == 0;
}

// Index of a word in a list, or -1.
template <std::size_t N>
int IndexOf(const char* const (&words)[N], const char* text) {
    for (std::size_t k = 0; k < N; ++k)
        if (Is(text, words[k])) return static_cast<int>(k);
    return -1;
}

void WriteToStdout(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// The profile archive of the process-wide record. The reader thread takes no pause after
// loading an archive left by an unfinished run.
bool SaveProfileArchive() {
    return g_GPS.SaveConfigFile();
}
bool LoadProfileArchive() {
    return g_GPS.LoadConfigFile(false);
}

}  // namespace

CPKRVNMEA::CPKRVNMEA()
    : Responder(WriteToStdout), SaveArchive(SaveProfileArchive), LoadArchive(LoadProfileArchive) {}

void CPKRVNMEA::Answer(const std::string& text) {
    if (Responder) Responder(text);
}

bool CPKRVNMEA::bCS0(char* field, char* sentence, BeaconInfo* beacon, WizardInfo* live) {
    NMEAFields f(field, sentence);
    f.Skip(2);
    bool more = f.Next();  // 2: firmware
    CopyFieldText(beacon->szBeaconFirmware, sizeof(beacon->szBeaconFirmware),
                  more && !f.Empty() ? f.Text() : "Unavailable");
    more = more && f.Next();  // 3: not used
    more = more && f.Next();  // 4: frequency, kHz
    beacon->fBeaconFreq = more ? CNMEA::fACIItoFloat(f.Text()) : 0.0f;
    live->fFreq = beacon->fBeaconFreq;
    more = more && f.Next();  // 5: frequency mode
    beacon->cFreqMode = more ? f.Text()[0] : 'A';
    more = more && f.Next();  // 6: bit rate
    const int rate = more ? platform::AtoI(f.Text()) : 0;
    beacon->iBeaconBitRate = rate == 100   ? BEACON_RATE_100
                             : rate == 200 ? BEACON_RATE_200
                                           : BEACON_RATE_AUTO;
    live->iBitRate = beacon->iBeaconBitRate;
    more = more && f.Next();  // 7: rate mode
    beacon->cRateMode = more ? f.Text()[0] : 'A';
    int32_t* const numbers[] = {
        &beacon->iSignalStrength, &beacon->iSNR,   &beacon->iMTP, &beacon->iQ,
        &beacon->iStationId,      &beacon->iHealth};
    for (int32_t* number : numbers) {
        more = more && f.Next();
        *number = more ? platform::AtoI(f.Text()) : 0;
    }
    live->iStationId = beacon->iStationId;
    return more;
}

bool CPKRVNMEA::bCS1(char* field, char* sentence, BeaconInfo*) {
    NMEAFields f(field, sentence);
    while (f.Next()) {
    }
    return true;
}

bool CPKRVNMEA::bVersion(char* field, char* sentence, BeaconInfo* beacon) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3) || f.Empty()) {
        CopyFieldText(beacon->szBeaconVersion, sizeof(beacon->szBeaconVersion), "Unavailable");
        return false;
    }
    CopyFieldText(beacon->szBeaconVersion, sizeof(beacon->szBeaconVersion), f.Text());
    return true;
}

bool CPKRVNMEA::bHELP() {
    Answer(platform::Format("$>PKRV,Version,%s-%s\r\n", "P022", "0.001"));
    Answer(
        "$>PKRV,HELP          -Help message\r\n"
        "$>PKRV,BAUD,         -Baud Rate\r\n"
        "$>PKRV,SETUP,SET,    -LL,HGT,SPD,UTC,SRC,RT\r\n"
        "$>PKRV,SETUP,SHOW    -Shows Setup\r\n"
        "$>PKRV,SETUP,MUX     -Enable/Disable Communication Mux\r\n"
        "$>PKRV,STATUS,CS     -Checksum Error Report\r\n");
    return true;
}

bool CPKRVNMEA::bBAUD(char* field, char* sentence, int32_t* otherBaud) {
    baudChanged_ = false;
    NMEAFields f(field, sentence);
    if (!f.Skip(3)) return false;
    const int baud = platform::AtoI(f.Text());
    if (baud != 4800 && baud != 9600 && baud != 19200 && baud != 38400 && baud != 57600)
        return false;
    if (baud == *otherBaud) return true;
    Answer(platform::Format("$>PKRV,MSG,Baud rate set to %d\r\n", baud));
    *otherBaud = baud;
    baudChanged_ = true;
    return true;
}

bool CPKRVNMEA::bSTATUS(char* field, char* sentence, const CommSettings* comm) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3) || !Is(f.Text(), "CS")) return false;
    Answer(platform::Format("$>PKRV,Status,ChecksumErrors,%d\r\n", comm->iChecksumErrors));
    return true;
}

namespace {

const char* const kLLFormats[] = {"DD", "DM", "DMS"};
const char* const kHeightWords[] = {"METERS", "FEET"};
const char* const kHeightNames[] = {"Meters", "Feet"};
const char* const kSpeedWords[] = {"KMPH", "MPH", "KNOTS"};

struct SourceName {
    const char* set;   // the word SET takes
    const char* show;  // the name SHOW prints
    int32_t code;
};
const SourceName kSources[] = {
    {"NONE", "NONE", 0},     {"BEACON", "BEACON", 1},     {"LBAND", "LBAND", 2},
    {"WAAS", "WAAS", 3},     {"EXTERNAL", "EXTERNAL", 4}, {"RTK", "RTK", 5},
    {"AUTO", "AUTODIFF", 6}, {"SUBSEA7", "SUBSEA7", 9},   {"RTKBAS", "", 7},
    {"LOCDIF", "", 8},
};

template <std::size_t N>
const char* NameOf(const char* const (&names)[N], uint32_t index) {
    return index < N ? names[index] : "";
}

bool SetupSet(NMEAFields& f, GPSInfo& rec) {
    RecordLock hold(rec.ulPart1Lock);
    if (!f.Next()) return false;  // 3: lat/lon format
    if (const int k = IndexOf(kLLFormats, f.Text()); k >= 0) rec.ulSetupWord2 = k;
    if (!f.Next()) return false;  // 4: height
    if (const int k = IndexOf(kHeightWords, f.Text()); k >= 0) rec.ulSetupWord3 = k;
    if (!f.Next()) return false;  // 5: speed
    if (const int k = IndexOf(kSpeedWords, f.Text()); k >= 0) rec.ulSetupWord4 = k;
    if (!f.Next()) {  // 6: UTC offset
        rec.ulSetupWord5 = 0;
        return false;
    }
    int offset = platform::AtoI(f.Text());
    if (offset < -12 || offset > 12) offset = 0;
    rec.ulSetupWord5 = static_cast<uint32_t>(offset);
    if (!f.Next()) return false;  // 7: differential source
    for (const SourceName& s : kSources) {
        if (Is(f.Text(), s.set)) {
            rec.eCurCorrSource = s.code;
            break;
        }
    }
    if (!f.Next()) return false;  // 8: output rate
    rec.ulSetupWord1 = platform::AtoI(f.Text()) == 5 ? 1 : 0;
    return true;
}

}  // namespace

bool CPKRVNMEA::bSETUP(char* field, char* sentence, GPSInfo* rec) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3)) return false;
    const std::string command = f.Text();

    if (command == "SET") return SetupSet(f, *rec);
    if (command == "MUX") {
        if (!f.Next()) return false;
        if (Is(f.Text(), "ON"))
            Answer("$>PKRV,MSG,MUX Enabled\r\n");
        else if (Is(f.Text(), "OFF"))
            Answer("$>PKRV,MSG,MUX Disabled\r\n");
        else
            return false;
        return true;
    }
    if (command == "SHOW") {
        std::string text;
        {
            RecordLock hold(rec->ulPart1Lock);
            const char* source = "";
            for (const SourceName& s : kSources)
                if (s.code == rec->eCurCorrSource) source = s.show;
            const char* head = "$>PKRV,Setup";
            text += platform::Format("%s,NMEARate,%d\r\n", head, rec->iRxNMEABaudRate);
            text += platform::Format("%s,RTCMRate,%d\r\n", head, rec->iRxRTCMBaudRate);
            text +=
                platform::Format("%s,LLFormat,%s\r\n", head, NameOf(kLLFormats, rec->ulSetupWord2));
            text += platform::Format("%s,HeightFormat,%s\r\n", head,
                                     NameOf(kHeightNames, rec->ulSetupWord3));
            text += platform::Format("%s,SpeedFormat,%s\r\n", head,
                                     NameOf(kSpeedWords, rec->ulSetupWord4));
            text += platform::Format("%s,UTCOffset,%d\r\n", head,
                                     static_cast<int32_t>(rec->ulSetupWord5));
            text += platform::Format("%s,DiffSource,%s\r\n", head, source);
            text += platform::Format("%s,FiveHertz,%s\r\n", head,
                                     rec->ulSetupWord1 == 1 ? "On" : "Off");
            text += platform::Format("%s,TopIntro,%s\r\n", head, rec->szSetupText2);
            text += platform::Format("%s,BottomIntro,%s\r\n", head, rec->szSetupText3);
        }
        Answer(text);
        return true;
    }
    if (command == "SAVE") {
        {
            RecordLock hold(rec->ulPart1Lock);
            if (SaveArchive) SaveArchive();
        }
        Answer("$>PKRV,MSG,Setup Saved\r\n");
        return true;
    }
    if (command == "READ") {
        bool passed = false;
        {
            RecordLock hold(rec->ulPart1Lock);
            passed = LoadArchive && LoadArchive();
        }
        Answer(passed ? "$>PKRV,MSG,CRC Passed\r\n" : "$>PKRV,MSG,CRC Failed\r\n");
        Answer("$>PKRV,MSG,Setup Read\r\n");
        return true;
    }
    if (command == "INTRO") {
        RecordLock hold(rec->ulPart1Lock);
        if (!f.Next()) return false;
        CopyFieldText(rec->szSetupText2, sizeof(rec->szSetupText2), f.Text());
        if (!f.Next()) return false;
        CopyFieldText(rec->szSetupText3, sizeof(rec->szSetupText3), f.Text());
        return true;
    }
    if (command == "RESET") {
        {
            RecordLock hold(rec->ulPart1Lock);
            rec->Init();
        }
        Answer("$>PKRV,MSG,Setup Reset\r\n");
        return true;
    }
    return false;
}

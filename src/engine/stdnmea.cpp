#include "engine/stdnmea.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "engine/appstate.h"
#include "engine/nmea.h"
#include "platform/numbers.h"
#include "platform/trace.h"

namespace {

// Characters [from, from + count) of a field; what the field lacks is simply absent, so a
// short field counts as 0 in the conversion.
std::string Part(const char* text, std::size_t from, std::size_t count = std::string::npos) {
    const std::size_t length = std::strlen(text);
    if (from >= length) return {};
    return std::string(text + from, std::min(count, length - from));
}

int32_t Truncate(float value) {
    if (!(std::fabs(value) < 2.0e9f)) return 0;
    return static_cast<int32_t>(value);
}

bool Contains(const char* text, const char* word) {
    return std::strstr(text, word) != nullptr;
}

}  // namespace

bool CSTDNMEA::bGPGGA(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Next()) return false;  // header

    if (App().bBin1Position.load() != 0) {
        // Binary message 1 owns time, position, altitude and satellites.
        if (!f.Skip(6)) return false;
        if (f.Empty() || platform::AtoI(f.Text()) == 0) nav->iFixQuality = 0;
        if (!f.Skip(2)) return false;
        nav->fHDOP = CNMEA::fACIItoFloat(f.Text());
        while (f.Next()) {
        }
        return false;
    }

    if (!f.Next()) return false;  // 1: hhmmss.ss
    nav->fSecond = CNMEA::fACIItoFloat(Part(f.Text(), 4).c_str());
    nav->iMinute = platform::AtoI(Part(f.Text(), 2, 2));
    nav->iHour = platform::AtoI(Part(f.Text(), 0, 2));
    nav->iSecond = Truncate(nav->fSecond);

    if (!f.Next()) return false;  // 2: ddmm.mmmm
    nav->fLatMin = CNMEA::fACIItoFloat(Part(f.Text(), 2).c_str());
    nav->dLatMin = CNMEA::dACIItoDouble(Part(f.Text(), 2).c_str());
    nav->iLatDeg = platform::AtoI(Part(f.Text(), 0, 2));

    if (!f.Next()) return false;  // 3: N/S
    nav->cLatDir = f.Text()[0];

    if (!f.Next()) return false;  // 4: dddmm.mmmm
    nav->fLonMin = CNMEA::fACIItoFloat(Part(f.Text(), 3).c_str());
    nav->dLonMin = CNMEA::dACIItoDouble(Part(f.Text(), 3).c_str());
    nav->iLonDeg = platform::AtoI(Part(f.Text(), 0, 3));

    if (!f.Next()) return false;  // 5: E/W
    nav->cLonDir = f.Text()[0];

    if (!f.Next()) return false;  // 6: fix quality
    if (f.Empty()) {
        nav->iFixQuality = 0;
    } else {
        const int quality = platform::AtoI(f.Text());
        if (quality >= 0 && quality <= 2) nav->iFixQuality = quality;
    }

    if (!f.Next()) return false;  // 7: satellites used
    nav->iSatsUsed = platform::AtoI(f.Text()) & 0xFF;

    if (!f.Next()) return false;  // 8
    nav->fHDOP = CNMEA::fACIItoFloat(f.Text());

    if (!f.Next()) return false;  // 9
    nav->fAltitude = CNMEA::fACIItoFloat(f.Text());

    if (!f.Skip(4)) return false;  // 10..12 skipped, 13: differential age
    nav->fDiffAge = CNMEA::fACIItoFloat(f.Text());
    return true;
}

bool CSTDNMEA::bGPVTG(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    nav->fCourse = CNMEA::fACIItoFloat(f.Text());
    if (!f.Skip(6)) return false;
    nav->fSpeedKmh = CNMEA::fACIItoFloat(f.Text());
    return true;
}

bool CSTDNMEA::bGPGSV(char* field, char* sentence, SatViewInfo* view) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3)) return false;  // header, message count, 2: message number
    int first = 0;
    if (!f.Empty()) {
        const int message = platform::AtoI(f.Text());
        first = message == 2 ? 4 : message == 3 ? 8 : 0;
    }
    if (!f.Next()) return false;
    view->iSatsInView = platform::AtoI(f.Text());
    for (int k = 0; k < 16; ++k) {
        if (!f.Next()) return false;
        SatChannelInfo& channel = view->Channel[first + k / 4];
        const int value = platform::AtoI(f.Text());
        switch (k % 4) {
            case 0:
                channel.iPRN = value;
                break;
            case 1:
                channel.iElev = value;
                break;
            case 2:
                channel.iAzim = value;
                break;
            default:
                channel.iSNR = value;
                break;
        }
    }
    return true;
}

bool CSTDNMEA::bGPGST(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    float* const targets[] = {&nav->fGSTRms,    &nav->fGSTSemiMajor, &nav->fGSTSemiMinor,
                              &nav->fGSTOrient, &nav->fGSTLatErr,    &nav->fGSTLonErr,
                              &nav->fGSTAltErr};
    for (float* target : targets) {
        if (!f.Next()) return false;
        *target = CNMEA::fACIItoFloat(f.Text());
    }
    return true;
}

bool CSTDNMEA::bHEHDT(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return true;
    if (f.Empty()) {
        nav->fHeading = 0.0f;
        return true;
    }
    double heading = CNMEA::dACIItoDouble(f.Text());
    if (!std::isfinite(heading)) return true;
    App().iHeadingAge.store(0);
    // Into 0..360 in one step; 360 itself stays, as do exact multiples reached from above.
    if (heading < 0.0 || heading > 360.0) {
        const double rest = std::fmod(heading, 360.0);
        if (heading > 360.0)
            heading = rest == 0.0 ? 360.0 : rest;
        else
            heading = rest < 0.0 ? rest + 360.0 : rest + 0.0;
    }
    nav->fHeading = static_cast<float>(heading);
    return true;
}

bool CSTDNMEA::bHEROT(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return true;
    nav->fROT = CNMEA::fACIItoFloat(f.Text());
    return true;
}

bool CSTDNMEA::bHEHPR(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(5)) return true;  // "$PZLT", "HPR", time, heading, 4: tilt
    // The receiver reports one tilt angle, pitch or roll by its roll setting.
    nav->fPitch = nav->fRoll = CNMEA::fACIItoFloat(f.Text());
    return true;
}

bool CSTDNMEA::bGETROLL(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3)) return true;
    if (Contains(f.Text(), "YES"))
        nav->bRollOutput = 1;
    else if (Contains(f.Text(), "NO"))
        nav->bRollOutput = 0;
    return true;
}

bool CSTDNMEA::bGETAID(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return true;
    int32_t scratch = 0;  // MAGAID is recognised but kept nowhere
    int32_t* flag = nullptr;
    if (Contains(f.Text(), "TILTAID"))
        flag = &nav->bTiltAid;
    else if (Contains(f.Text(), "GYROAID"))
        flag = &nav->bGyroAid;
    else if (Contains(f.Text(), "MAGAID"))
        flag = &scratch;
    else if (Contains(f.Text(), "LEVEL"))
        flag = &nav->bLevel;
    else if (Contains(f.Text(), "NEGTILT"))
        flag = &nav->bNegTilt;
    else if (Contains(f.Text(), "FLIPBRD"))
        flag = &nav->bFLIPBRD;
    if (!f.Next() || flag == nullptr) return true;
    if (Contains(f.Text(), "YES"))
        *flag = 1;
    else if (Contains(f.Text(), "NO"))
        *flag = 0;
    return true;
}

bool CSTDNMEA::bGETTAUPARA(char* field, char* sentence, NavInfo* nav) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return true;
    struct Name {
        const char* text;
        float NavInfo::*value;
    };
    static const Name kNames[] = {
        {"HTAU", &NavInfo::fHDGTau},   {"HRTAU", &NavInfo::fHDGRateTau},
        {"COGTAU", &NavInfo::fCOGTau}, {"SPDTAU", &NavInfo::fSPDTau},
        {"HBIAS", &NavInfo::fHBias},   {"PBIAS", &NavInfo::fPRBias},
        {"MSEP", &NavInfo::fManSep},   {"CSEP", &NavInfo::fCurSep},
    };
    float NavInfo::*target = nullptr;
    for (const Name& name : kNames) {
        if (Contains(f.Text(), name.text)) {
            target = name.value;
            break;
        }
    }
    if (!f.Next() || target == nullptr || f.Empty()) return true;
    // A value that is no float (the converter's 0 for it would pass) or a bias beyond what the
    // heading setup takes is not taken: saved, no file would load it.
    const std::optional<double> reported = platform::ScanDoubleSaturated(f.Text());
    const double limit = target == &NavInfo::fHBias    ? kMaxHeadingBias
                         : target == &NavInfo::fPRBias ? kMaxPitchRollBias
                                                       : FLT_MAX;
    if (reported && std::fabs(*reported) <= limit)
        nav->*target = CNMEA::fACIItoFloat(f.Text());
    else
        platform::Trace("Tessaray_PC: reported bias %s not taken\n", f.Text());
    return true;
}

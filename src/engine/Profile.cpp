#include "engine/Profile.h"

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/gps.h"
#include "platform/trace.h"

const char* const CProfile::kSections[] = {"CurrentWizard", "BINLogRate", "GPSData", ""};

namespace {

// A saved file has 73 short lines; anything much larger is not one, and is not read whole.
constexpr size_t kMaxProfileBytes = size_t{1} << 20;

}  // namespace

CGPS& CProfile::Record() {
    return gps_ ? *gps_ : g_GPS;
}

bool CProfile::Save(const std::string& path) {
    lastError_.clear();
    return SaveText(std::string(path));
}

bool CProfile::Load(const std::string& path) {
    lastError_.clear();
    refusedValue_.clear();
    return LoadText(std::string(path));
}

bool CProfile::SaveText(const std::string& path) {
    GPSInfo& info = Record().Info;
    CfgIo io;
    io.OpenWrite(path);
    io.WriteLabel("CurrentWizard");
    info.Settings.WizardSnapshot.SaveText(io);
    io.WriteLabel("BINLogRate");
    info.Settings.BinLogRates.SaveText(io);
    io.WriteLabel("GPSData");
    {
        RecordLock lock(info.Nav.ulNavLock);
        info.Nav.SaveText(io);
    }
    return io.Close(&lastError_);
}

bool CProfile::LoadText(const std::string& path) {
    platform::Trace("CProfile.LoadText()\n");
    GPSInfo& info = Record().Info;
    CfgIo io;
    std::string error;
    const uint32_t keysBefore = ParseKeysFound();
    if (!io.OpenRead(path, &error, kMaxProfileBytes)) {
        platform::Trace("Tessaray_PC: %s\n", error.c_str());
        lastError_ = error;
        return false;
    }
    // Read into copies: a file that is refused changes nothing.
    WizardInfo wizard;
    BINLogRateInfo rates;
    NavInfo nav;
    {
        RecordLock lock(info.ulPart1Lock);
        wizard = info.Settings.WizardLive;
        rates = info.Settings.BinLogRates;
    }
    {
        RecordLock lock(info.Nav.ulNavLock);
        nav = info.Nav;
    }
    ParseKeysRead read;
    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kSections, &index, label.c_str());
        switch (index) {
            case 0:
                wizard.LoadText(io, &read);
                break;
            case 1:
                rates.LoadText(io, &read);
                break;
            case 2:
                nav.LoadText(io, &read);
                break;
            default:
                platform::Trace("Unrecognized label [%s]\n", label.c_str());
                break;
        }
    }
    io.Close();
    // Another kind of file would send the whole configuration again, unchanged.
    if (ParseKeysFound() == keysBefore) {
        lastError_ = path + ": no setting of a receiver configuration file found";
        platform::Trace("Tessaray_PC: %s\n", lastError_.c_str());
        return false;
    }
    for (const std::string& fault :
         {wizard.TextFault(read), rates.TextFault(read), nav.TextFault(read)}) {
        if (fault.empty()) continue;
        refusedValue_ = fault;
        lastError_ = path + ": " + fault;
        platform::Trace("Tessaray_PC: %s\n", lastError_.c_str());
        return false;
    }
    {
        RecordLock lock(info.ulPart1Lock);
        // A baud of 0, saved from settings never read from a receiver, keeps the port's baud.
        for (int32_t WizardInfo::*baud : {&WizardInfo::iNMEABaudRate, &WizardInfo::iRTCMBaudRate})
            if (wizard.*baud == 0) wizard.*baud = info.Settings.WizardLive.*baud;
        info.Settings.WizardLive = wizard;
        info.Settings.BinLogRates = rates;
    }
    {
        RecordLock lock(info.Nav.ulNavLock);
        info.Nav.CopyTextValues(nav);
        nav = info.Nav;
    }

    // Sent from the copies taken: the reader thread may write the live settings meanwhile.
    wizard.SendPorts();
    rates.Send(PORT_THIS);
    nav.SendHeadingSettings();
    return true;
}

#include "engine/Profile.h"

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/gps.h"
#include "platform/trace.h"

const char* const CProfile::kSections[] = {"CurrentWizard", "BINLogRate", "GPSData", ""};

CGPS& CProfile::Record() {
    return gps_ ? *gps_ : g_GPS;
}

bool CProfile::Save(const std::string& path) {
    lastError_.clear();
    return SaveText(std::string(path));
}

bool CProfile::Load(const std::string& path) {
    lastError_.clear();
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
    if (!io.OpenRead(path, &error)) {
        platform::Trace("Tessaray_PC: %s\n", error.c_str());
        lastError_ = error;
        return false;
    }
    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kSections, &index, label.c_str());
        switch (index) {
            case 0:
                info.Settings.WizardLive.LoadText(io);
                break;
            case 1:
                info.Settings.BinLogRates.LoadText(io);
                break;
            case 2:
                info.Nav.LoadText(io);
                break;
            default:
                platform::Trace("Unrecognized label [%s]\n", label.c_str());
                break;
        }
    }
    io.Close();

    info.Settings.WizardLive.SendPorts();
    info.Settings.BinLogRates.Send(PORT_THIS);
    NavInfo nav;
    {
        RecordLock lock(info.Nav.ulNavLock);
        nav = info.Nav;
    }
    nav.SendHeadingSettings();
    return true;
}

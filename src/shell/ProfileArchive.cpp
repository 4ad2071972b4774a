#include "engine/gps.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"
#include "ui/messagebox.h"

int LoadProfileArchive() {
    CGPS& gps = g_GPS;
    bool written = true;
    if (!gps.LoadConfigFile()) {
        // Missing or unreadable: replaced by a default archive.
        gps.Info.Init();
        gps.InitSettings();
        written = gps.SaveConfigFile();
    }
    CGPS::Unlock(&gps.Info.ulPart1Lock);
    theApp().bArchiveLoaded = 1;
    // The live values start from their defaults whatever the archive held.
    gps.ResetSubRecords();
    if (!written) {
        platform::Trace("Error on Serial Communication:default profile archive not written\n");
        ui::MessageBox("Tessaray_PC: Error Occured When Writting To Your Disk.", ui::MB_OK);
        return 0;
    }
    return 1;
}

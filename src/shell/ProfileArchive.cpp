#include "engine/cfgarchive.h"
#include "engine/gps.h"
#include "platform/notify.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"

int LoadProfileArchive() {
    CGPS& gps = g_GPS;
    bool written = true;
    if (!gps.LoadConfigFile()) {
        gps.Info.Init();
        gps.InitSettings();
        // Missing or damaged: replaced by a default archive. One this run cannot use is left
        // alone (the engine has said so).
        const CfgArchiveState state = GetCfgArchiveState();
        if (!state.isProtected) {
            if (state.lastLoad == CfgArchiveLoad::Damaged) {
                platform::Notify("Tessaray_PC: " + state.loadProblem +
                                 "; it is replaced by the default settings.");
            }
            written = gps.SaveConfigFile();
        }
    }
    CGPS::Unlock(&gps.Info.ulPart1Lock);
    theApp().bArchiveLoaded = 1;
    // The live values start from their defaults whatever the archive held.
    gps.ResetSubRecords();
    if (!written) {
        platform::Trace("Error on Serial Communication:default profile archive not written\n");
        // Queued after the archive's own message; the hand-over goes on meanwhile.
        platform::Notify("Tessaray_PC: Error Occured When Writting To Your Disk.\n" +
                         GetCfgArchiveState().saveProblem);
        return 0;
    }
    return 1;
}

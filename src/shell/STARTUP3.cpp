#include "shell/STARTUP3.h"

#include "engine/gps.h"
#include "engine/scomm.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"

namespace {

StartupDialogFactory& Factory() {
    static StartupDialogFactory factory;
    return factory;
}

// TO BE FILLED with the start-up dialog (CSTARTUP3): until it exists there is nothing to
// hand over to, and the welcome page's run ends here.
std::unique_ptr<ui::Dialog> MakeStartupDialog() {
    return nullptr;
}

}  // namespace

void SetStartupDialogFactory(StartupDialogFactory factory) {
    Factory() = std::move(factory);
}

void RunStartupDialogModal() {
    std::unique_ptr<ui::Dialog> dlg = Factory() ? Factory()() : MakeStartupDialog();
    if (!dlg) {
        platform::Trace("Tessaray_PC: start-up dialog not available\n");
        return;
    }
    dlg->DoModal();
}

void RunStartupDialog(int unused) {
    (void)unused;
    g_Comm.ClosePort();
    CTessaray_PCApp& app = theApp();
    app.iLinkLostCount = 0;
    app.bReceiverFound = 0;
    g_GPS.Info.Nav.iFixQuality = 0;
    g_GPS.Info.Nav.usNavMode = 0;
    app.bBin1Position = 0;
    RunStartupDialogModal();
}

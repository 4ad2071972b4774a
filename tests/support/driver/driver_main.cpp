// The program with a control channel for tests (see control_channel.h). Not shipped.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "shell/ScreenRegistry.h"
#include "shell/Tessaray_PC.h"
#include "shell/end_signals.h"
#include "support/driver/control_channel.h"
#include "ui/fonts.h"

int main(int argc, char** argv) {
    const char* path = std::getenv("TESSARAY_PC_DRIVER");
    if (!path || !*path) {
        std::fprintf(stderr, "tessaray_driver: set TESSARAY_PC_DRIVER=<socket path>\n");
        return 2;
    }
    ui::ScaleWithDialogFont();
    QApplication qapp(argc, argv);
    ui::InstallFontSubstitutes();
    InstallEndSignals();
    driver::ControlChannel channel;
    if (!channel.Listen(path)) return 2;
#ifdef TESSARAY_COVERAGE
    CTessaray_PCApp::SetEndProcessHook([](int code) {
        std::fflush(nullptr);
        driver::WriteCoverage();
        std::_Exit(code);
    });
#endif
    const int rc = theApp().InitInstance();
    DestroyScreens();
    return rc;
}

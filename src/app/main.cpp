#include <QApplication>

#include "shell/ScreenRegistry.h"
#include "shell/Tessaray_PC.h"
#include "shell/end_signals.h"
#include "ui/fonts.h"

// The program takes no command-line options; Qt's own (-platform, ...) still apply.
int main(int argc, char** argv) {
    ui::ScaleWithDialogFont();
    QApplication qapp(argc, argv);
    ui::InstallFontSubstitutes();
    InstallEndSignals();
    const int rc = theApp().InitInstance();
    DestroyScreens();
    return rc;
}

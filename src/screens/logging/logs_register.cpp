// Registration of the logging screens.

#include <memory>

#include "screens/logging/LOGS_1.h"
#include "screens/logging/LOGS_2.h"
#include "screens/logging/LOGS_3.h"
#include "screens/logging/LOGS_4.h"
#include "screens/logging/LOGS_5.h"
#include "shell/ExitInstance.h"

void RegisterLoggingScreens() {
    RegisterScreen(SCR_LOGS_1, [] { return std::make_unique<CLOGS_1>(); });
    RegisterScreen(SCR_LOGS_2, [] { return std::make_unique<CLOGS_2>(); });
    RegisterScreen(SCR_LOGS_3, [] { return std::make_unique<CLOGS_3>(); });
    RegisterScreen(SCR_LOGS_4, [] { return std::make_unique<CLOGS_4>(); });
    RegisterScreen(SCR_LOGS_5, [] { return std::make_unique<CLOGS_5>(); });
    static bool hooked = false;
    if (hooked) return;
    hooked = true;
    // A polygon still open at exit is finished before its file is closed.
    AddExitHook([] {
        if (auto* polygon = dynamic_cast<CLOGS_5*>(ScreenIfBuilt(SCR_LOGS_5)))
            polygon->OnClosePolygon();
    });
}

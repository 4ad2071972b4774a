#include <memory>

#include "screens/logging/TERMINAL_1.h"
#include "screens/logging/TERMINAL_2.h"
#include "screens/logging/terminal_group.h"
#include "shell/ScreenRegistry.h"

void RegisterTerminalScreens() {
    RegisterScreen(SCR_TERMINAL_1, [] { return std::make_unique<CTERMINAL_1>(); });
    RegisterScreen(SCR_TERMINAL_2, [] { return std::make_unique<CTERMINAL_2>(); });
    terminal::InstallExitSaver();
}

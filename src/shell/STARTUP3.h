#pragma once
// Entry points of the start-up dialog.

#include <functional>
#include <memory>

#include "ui/dialog.h"

// Closes the port and runs a new start-up dialog on top of the current screen (navigation
// button 6, a lost link); the screen stays as it was underneath. The argument is not used.
void RunStartupDialog(int unused);

// Builds the start-up dialog and runs it modally (the welcome page's hand-over).
void RunStartupDialogModal();

// What RunStartupDialogModal builds. Tests put a page of their own in; an empty function
// restores the program's own dialog.
using StartupDialogFactory = std::function<std::unique_ptr<ui::Dialog>()>;
void SetStartupDialogFactory(StartupDialogFactory factory);

#pragma once
// Entry points of the exit dialog.

// eExitAction: what the close box does after the exit dialog.
enum eExitAction : int { EXIT_ACTION_CLOSE = 1, EXIT_ACTION_QUIT = 2, EXIT_ACTION_STAY = 3 };

// Runs the exit dialog (CCHECK) and turns the choice into an action.
int RunExitDialog();

// Right before an immediate end of the process; does nothing.
void BeforeExitProcess();

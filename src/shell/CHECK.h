#pragma once
// The exit dialog and its entry points.

#include <string>

#include "ui/dialog.h"

// eExitAction: what the close box does after the exit dialog.
enum eExitAction : int { EXIT_ACTION_CLOSE = 1, EXIT_ACTION_QUIT = 2, EXIT_ACTION_STAY = 3 };

// Runs the exit dialog (CCHECK) and turns the choice into an action; "Exit and Save Profile"
// saves an ".rcf" file first (a cancelled browser still gives CLOSE).
int RunExitDialog();

// Right before an immediate end of the process; does nothing.
void BeforeExitProcess();

// The exit dialog: four choices over the screen left. The choice goes to iExitChoice.
class CCHECK : public ui::Dialog {
public:
    CCHECK();
    ui::BOOL OnInitDialog() override;
    // Closing the window is "Cancel".
    void OnCancel() override;
    void OnMove(int x, int y) override;

private:
    void Choose(int choice, int result);
};

// Placement shared by the dialogs of the exit: the shared screen rectangle, with the
// background control behind everything.
void PlaceOnSharedRectangle(ui::Dialog& page);
// Their move handler: always stores the new position as the shared one.
void StoreSharedPosition(int x, int y);

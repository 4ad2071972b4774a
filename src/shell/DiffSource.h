#pragma once
// The differential source on the screens: the source combo (control 1021), the sequence that
// applies a new choice, the status lamps and labels, the report names, and the baud rate
// hand-over after the receiver changes its application.

#include <cstdint>
#include <string>

namespace ui {
class Dialog;
}
class CBaseDialog;

inline constexpr int IDC_DIFF_SOURCE = 1021;

// Baud the port is to be switched to, and the baud the receiver was found at.
extern int32_t iTargetBaud;
extern int32_t iActiveBaud;

// Combo positions.
enum eDiffSourceItem : int {
    DIFFITEM_SBAS = 0,
    DIFFITEM_BEACON = 1,
    DIFFITEM_LBND = 2,
    DIFFITEM_NONE = 3,
    DIFFITEM_XREF = 4,
    DIFFITEM_EXT_THIS = 5,
    DIFFITEM_EXT_OTHER = 6,
    DIFFITEM_TSPAN_BASE = 7,
    DIFFITEM_TSPAN_ROVER = 8,
};

// Fills the list: seven items, and the two t-Span items with the t-Span capability.
void InitDiffSourceCombo(ui::Dialog* dlg, int comboId);
// Shows the current source in the combo ("NA" for sources that cannot be chosen); a list
// the user has dropped down is left alone.
void SelectDiffSourceItem(ui::Dialog* dlg, int comboId);
// Applies the selected item to the receiver.
void ApplyDiffSourceItem(ui::Dialog* dlg, int comboId);
// The apply sequence: the source command, then the application and source queries.
void SendDiffSource(int source);

// Ends every status strip: names the source on label 3 with its lamp pair, and turns the fix
// lamp bad while the correction signal is weak.
void ShowDiffSourceStatus(CBaseDialog* screen, int label3, int good3, int bad3, int label1,
                          int good1, int bad1);

// The report name of a source ("SBAS" for the ones without a name of their own).
void DiffSourceName(int source, std::string& name);

void SetPortBaud(int baud);
void SetTargetBaud(int baud);
// Run by the command sender after "$JAPP,OTHER": moves the receiver to the target baud.
void ApplyTargetBaud();
// Installs ApplyTargetBaud as the command sender's baud hand-over.
void InstallBaudHandOver();

// The screen the navigation bar's differential button opens: by the group the bar shows, or
// by the source just requested while the receiver has not yet answered the query that
// follows it. The GPS position screen stands in for a group whose screen does not exist.
// -1 for a group outside the list (an internal error).
int DiffScreenTarget(int iScreenGroup);

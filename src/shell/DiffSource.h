#pragma once
// The differential source on the screens: status lamps and labels.

class CBaseDialog;

// Ends every status strip: names the source on label 3 with its lamp pair, and may turn the
// fix lamp bad while the correction signal is weak.
void ShowDiffSourceStatus(CBaseDialog* screen, int label3, int good3, int bad3, int label1,
                          int good1, int bad1);

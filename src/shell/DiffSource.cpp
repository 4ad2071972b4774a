#include "shell/DiffSource.h"

#include "engine/gps.h"
#include "shell/BaseDialog.h"
#include "shell/StatusStrip.h"

// TO BE FILLED with the signal checks of the differential source: for now the source is only
// named, as on the welcome page, and the lamps stay as the strip set them.
void ShowDiffSourceStatus(CBaseDialog* screen, int label3, int good3, int bad3, int label1,
                          int good1, int bad1) {
    (void)good1;
    (void)bad1;
    (void)label1;
    const int source = g_GPS.Info.eCurCorrSource;
    if (source == CORR_NONE) {
        screen->SetDlgItemText(label3, "NONE");
        screen->ShowItem(label3, false);
        screen->ShowItem(good3, false);
        screen->ShowItem(bad3, false);
        return;
    }
    if (const auto name = MainWindowSourceLabel(source)) screen->SetDlgItemText(label3, *name);
}

#include "screens/position/gps_tabs.h"

#include <algorithm>
#include <array>

#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "ui/fonts.h"

namespace {

constexpr std::array<eScreen, 6> kTabs{SCR_GPS_1, SCR_GPS_2, SCR_GPS_3,
                                       SCR_GPS_4, SCR_GPS_5, SCR_GPS_6};
constexpr std::array<const char*, 6> kTabLabels{"Pos'n",     "Sats", "Setup",
                                                "Precision", "Plot", "About"};

}  // namespace

void InsertGpsTabs(CBaseDialog& dlg, int tabId) {
    dlg.DeleteAllItems(tabId);
    for (size_t i = 0; i < kTabLabels.size(); ++i)
        dlg.InsertItem(tabId, static_cast<int>(i), kTabLabels[i]);
}

void SelectGpsTab(CBaseDialog& dlg, int tabId, eScreen own) {
    dlg.SetCurSel(tabId, static_cast<int>(own - SCR_GPS_1));
}

void ConnectGpsTabs(CBaseDialog& dlg, int tabId, eScreen own) {
    dlg.OnNotify(tabId, ui::TCN_SELCHANGE, [&dlg, tabId, own](const ui::Notification&) {
        const int index = dlg.GetCurSel(tabId);
        if (index < 0 || index >= static_cast<int>(kTabs.size())) return;
        const eScreen target = kTabs[static_cast<size_t>(index)];
        if (target == own) return;
        if (!IsScreenRegistered(target)) {
            platform::Trace("Tessaray_PC: screen %s is not available\n", ScreenClassName(target));
            SelectGpsTab(dlg, tabId, own);
            return;
        }
        dlg.SwitchTo(target);
    });
}

QFont ScaledFont(const CBaseDialog& dlg, double factor) {
    QFont font = dlg.Widget()->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * factor + 0.5)));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

void SetGroupFont(CBaseDialog& dlg, std::span<const int> ids, bool bold) {
    QFont font = dlg.Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    font.setBold(bold);
    for (int id : ids) dlg.SetItemFont(id, font);
}

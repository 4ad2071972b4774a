#include "screens/differential/beacon_sbas.h"

#include <memory>

#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/SBAS_2.h"
#include "ui/fonts.h"

void SetUpGroupPage(CBaseDialog& page, const ui::DialogTemplate& tpl, int tabId,
                    const std::vector<std::string>& tabLabels) {
    page.DeleteAllItems(tabId);
    for (size_t i = 0; i < tabLabels.size(); ++i)
        page.InsertItem(tabId, static_cast<int>(i), tabLabels[i]);
    // "Tahoma" 8 point is the dialog font itself, which grows with the window's scale.
    QFont font = page.Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    for (const ui::ControlSpec& spec : tpl.controls) {
        if (spec.kind == ui::Kind::Picture || spec.kind == ui::Kind::Progress ||
            spec.kind == ui::Kind::Slider || spec.kind == ui::Kind::Canvas)
            continue;
        QFont own = font;
        own.setBold((spec.flags & ui::Flag::Bold) != 0);
        page.SetItemFont(spec.id, own);
    }
}

void RegisterBeaconSbasScreens() {
    RegisterScreen(SCR_BEACON_1, [] { return std::make_unique<CBEACON_1>(); });
    RegisterScreen(SCR_BEACON_2, [] { return std::make_unique<CBEACON_2>(); });
    RegisterScreen(SCR_SBAS_1, [] { return std::make_unique<CSBAS_1>(); });
    RegisterScreen(SCR_SBAS_2, [] { return std::make_unique<CSBAS_2>(); });
}

#include "shell/ScreenPage.h"

#include <QFont>
#include <QWidget>

#include "ui/fonts.h"

void SetPageFont(CBaseDialog& screen, const ui::DialogTemplate& tpl) {
    // "Tahoma" 8 point is the dialog font itself, which grows with the window's scale.
    QFont font = screen.Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    for (const ui::ControlSpec& spec : tpl.controls) {
        switch (spec.kind) {
            case ui::Kind::Static:
            case ui::Kind::Edit:
            case ui::Kind::Button:
            case ui::Kind::GroupBox:
            case ui::Kind::ComboDropDown:
            case ui::Kind::ComboDropList: {
                QFont own = font;
                own.setBold((spec.flags & ui::Flag::Bold) != 0);
                screen.SetItemFont(spec.id, own);
                break;
            }
            default:
                break;
        }
    }
}

void FillTabLabels(CBaseDialog& screen, int tabId, std::initializer_list<const char*> labels) {
    screen.DeleteAllItems(tabId);
    int index = 0;
    for (const char* label : labels) screen.InsertItem(tabId, index++, label);
}

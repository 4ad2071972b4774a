#include "shell/CHECK.h"

#include "resources/dlg_exit.h"
#include "shell/SaveProfile.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"

using namespace resources;

void PlaceOnSharedRectangle(ui::Dialog& page) {
    const CTessaray_PCApp& app = theApp();
    // The pages share the one host window, so the shared rectangle is where they all go;
    // the frame offset the screens store is already part of it.
    page.SetWindowPos(ui::ZOrder::Top, app.iWinX, app.iWinY, app.iWinWidth, app.iWinHeight,
                      ui::SWP_SHOWWINDOW);
    if (page.GetDlgItem(1000)) {
        const ui::Rect client = page.GetClientRect();
        page.SetItemPos(1000, ui::ZOrder::Bottom, 0, 0, client.Width(), client.Height(),
                        ui::SWP_SHOWWINDOW);
    }
}

void StoreSharedPosition(int x, int y) {
    CTessaray_PCApp& app = theApp();
    app.iWinX = x - ui::Host::kClientOffset.x;
    app.iWinY = y - ui::Host::kClientOffset.y;
}

CCHECK::CCHECK() : ui::Dialog(CheckTemplate()) {}

ui::BOOL CCHECK::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetItemFont(IDC_CHECK_PROMPT, ui::MakeFont("Tahoma", 10));
    SetWindowText("Tessaray PC");
    if (theApp().bDemoMode.load()) {
        EnableItem(IDC_EXIT_SAVE, false);
        EnableItem(IDC_EXIT_SAVE_PROFILE, false);
    }
    OnControl(IDC_EXIT_SAVE, ui::BN_CLICKED, [this] { Choose(EXIT_AND_SAVE, ui::IDOK); });
    OnControl(IDC_EXIT_NO_SAVE, ui::BN_CLICKED, [this] { Choose(EXIT_WITHOUT_SAVING, ui::IDOK); });
    OnControl(IDC_EXIT_SAVE_PROFILE, ui::BN_CLICKED,
              [this] { Choose(EXIT_AND_SAVE_PROFILE, ui::IDOK); });
    OnControl(IDC_EXIT_CANCEL, ui::BN_CLICKED, [this] { OnCancel(); });
    PlaceOnSharedRectangle(*this);
    return ui::TRUE;
}

void CCHECK::OnCancel() {
    Choose(EXIT_CANCEL, ui::IDCANCEL);
}

void CCHECK::OnMove(int x, int y) {
    StoreSharedPosition(x, y);
}

void CCHECK::Choose(int choice, int result) {
    theApp().iExitChoice = choice;
    EndDialog(result);
}

int RunExitDialog() {
    CCHECK dlg;
    if (dlg.DoModal() != ui::IDOK) return EXIT_ACTION_STAY;
    switch (theApp().iExitChoice) {
        case EXIT_AND_SAVE:
            return EXIT_ACTION_CLOSE;
        case EXIT_WITHOUT_SAVING:
            return EXIT_ACTION_QUIT;
        case EXIT_AND_SAVE_PROFILE: {
            std::string name;
            BrowseAndSaveProfile(name);
            return EXIT_ACTION_CLOSE;
        }
        default:
            return EXIT_ACTION_STAY;
    }
}

void BeforeExitProcess() {}

#include "shell/Tessaray_PCDlg.h"

#include <QMenu>

#include "engine/gps.h"
#include "platform/clock.h"
#include "resources/dlg_main.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

namespace {

constexpr int IDM_ABOUTBOX = 16;
constexpr const char* kAboutMenuText = "&About Tessaray_PC...";
constexpr const char* kVersionText = "Tessaray 2.2.0.0";
constexpr int kNavBarPlaceholder = 1006;

}  // namespace

CAboutDlg::CAboutDlg() : ui::Dialog(AboutDialogTemplate()) {
    OnControl(ui::IDOK, ui::BN_CLICKED, [this] { OnOK(); });
}

void InstallAboutMenu() {
    ui::Host::Instance().SetContextMenuHandler([](QPoint globalPos) {
        QMenu menu;
        QAction* about = menu.addAction(QString::fromUtf8(kAboutMenuText));
        about->setData(IDM_ABOUTBOX);
        bool chosen = false;
        QObject::connect(about, &QAction::triggered, &menu, [&chosen] { chosen = true; });
        // The box opens once the menu is gone, not from inside its loop.
        menu.exec(globalPos);
        if (chosen) {
            CAboutDlg dlg;
            dlg.DoModal();
        }
    });
}

CTessaray_PCDlg::CTessaray_PCDlg() : CBaseDialog(MainDialogTemplate(), ScreenFamily::Main) {
    m_bAlwaysStoreMove = true;
}

ui::BOOL CTessaray_PCDlg::OnInitDialog() {
    // Unlike a screen, no watchdog runs on the welcome page: the base activation is skipped.
    ui::Dialog::OnInitDialog();
    SetWindowText("Tessaray PC");
    InstallAboutMenu();
    m_bClosing = 0;
    UpdateStatusStrip();

    static constexpr const char* kTabs[] = {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"};
    DeleteAllItems(1003);
    for (int i = 0; i < 6; ++i) InsertItem(1003, i, kTabs[i]);

    const QFont large = ui::MakeFont("Tahoma", 10);
    const QFont small = ui::MakeFont("Tahoma", 8);
    for (int id : {1008, 1009}) SetItemFont(id, large);
    for (int id : {1010, 1011, 1012, 1013, 1014, 1015, 1001, 1016, 1002}) {
        SetItemFont(id, small);
    }
    QFont bold = large;
    bold.setBold(true);
    SetItemFont(1008, bold);
    SetDlgItemText(1009, kVersionText);

    m_nTimer1 = SetTimer(kHandOverTimer, kHandOverMs);
    m_nTimer2 = SetTimer(kPortProbeTimer, kPortProbeMs);

    // The window's own size is the shared screen size; the scale follows from it and the
    // background picture's natural size.
    CTessaray_PCApp& app = theApp();
    ui::Host& host = ui::Host::Instance();
    const QSize client = host.ClientSize();
    app.iWinX = host.x();
    app.iWinY = host.y();
    app.iWinWidth = client.width();
    app.iWinHeight = client.height();
    SetWindowPos(ui::ZOrder::Top, app.iWinX, app.iWinY, app.iWinWidth, app.iWinHeight,
                 ui::SWP_SHOWWINDOW);
    const QSize background = ui::Pictures::NaturalSize(130);
    app.fScaleX = static_cast<float>(static_cast<double>(app.iWinWidth) / background.width());
    app.fScaleY = static_cast<float>(static_cast<double>(app.iWinHeight) / background.height());
    app.iScalePercent = static_cast<int>(app.fScaleX * 100 + 0.01);
    SetItemPos(IDC_BACKGROUND, ui::ZOrder::Bottom, 0, 0, app.iWinWidth, app.iWinHeight,
               ui::SWP_SHOWWINDOW);
    const ui::Rect nav = GetItemRect(kNavBarPlaceholder);
    app.iNavBarWidth = nav.Width();
    app.iNavBarHeight = nav.Height();
    return ui::TRUE;
}

void CTessaray_PCDlg::OnTimer(ui::UINT id) {
    CTessaray_PCApp& app = theApp();
    if (m_bClosing || app.bSuspendTimers) {
        KillOwnTimers();
        KillTimer(id);
        return;
    }
    if (id == kPortProbeTimer) {
        KillTimer(m_nTimer2);
        app.EnumSerialPorts();
    } else if (id == kHandOverTimer) {
        OnCancel();
        LoadProfileArchive();
        // The start-up dialog and everything after it run nested in this handler.
        RunStartupDialogModal();
    }
    CBaseDialog::OnTimer(id);
    platform::Sleep(0);
}

void CTessaray_PCDlg::OnCancel() {
    KillTimer(m_nTimer1);
    KillTimer(m_nTimer2);
    OnFullCancel();
}

void CTessaray_PCDlg::OnCloseBox() {
    KillTimer(m_nTimer1);
    KillTimer(m_nTimer2);
    OnDestroy();
}

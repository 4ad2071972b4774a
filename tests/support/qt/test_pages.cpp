#include "support/qt/test_pages.h"

#include "shell/StatusStrip.h"
#include "ui/pictures.h"

namespace shelltest {

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

// The wide strip is the one of CGPS_1, CGPS_3, CXREF_1 and the t-Span screens.
ui::DialogTemplate TestPageTemplate(int templateId, const char* title, bool wideStrip) {
    ui::DialogTemplate t;
    t.id = templateId;
    auto& c = t.controls;
    const StripIds& s = wideStrip ? kStripIdsWide : kStripIdsNarrow;
    c.push_back({s.good1, Kind::Picture, {54, 67, 12, 12}, "", Flag::Hidden, 135, {}});
    c.push_back({s.bad1, Kind::Picture, {54, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({s.label1, Kind::Static, {69, 66, 56, 14}, "COMM", Flag::NoWrap, 0, {}});
    c.push_back({s.good2, Kind::Picture, {128, 67, 12, 12}, "", Flag::Hidden, 138, {}});
    c.push_back({s.bad2, Kind::Picture, {128, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({s.label2, Kind::Static, {143, 66, 40, 14}, "GPS", Flag::NoWrap, 0, {}});
    c.push_back({s.good3, Kind::Picture, {186, 67, 12, 12}, "", Flag::Hidden, 138, {}});
    c.push_back({s.bad3, Kind::Picture, {186, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({s.label3, Kind::Static, {201, 66, 60, 14}, "SBAS", Flag::NoWrap, 0, {}});
    c.push_back({kHeadingLampGood, Kind::Picture, {262, 67, 12, 12}, "", Flag::Hidden, 136, {}});
    c.push_back({kHeadingLampBad, Kind::Picture, {262, 67, 12, 12}, "", Flag::Hidden, 134, {}});
    c.push_back({1006, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 126, 262, 282}, title, 0, 0, {}});
    c.push_back({1007, Kind::Static, {70, 160, 230, 18}, "Latitude", 0, 0, {}});
    c.push_back({1022, Kind::Edit, {150, 158, 150, 20}, "", Flag::ReadOnly, 0, {}});
    c.push_back({1008, Kind::Static, {70, 190, 230, 18}, "Longitude", 0, 0, {}});
    c.push_back({1023, Kind::Edit, {150, 188, 150, 20}, "", Flag::ReadOnly, 0, {}});
    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 141, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

TestPage::TestPage(eScreen screen, ScreenFamily family, const char* title)
    : CBaseDialog(TestPageTemplate(900 + screen, title, screen == SCR_GPS_1), family, screen) {}

ui::BOOL TestPage::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    ++inits;
    if (FirstActivation()) {
        DeleteAllItems(1006);
        InsertItem(1006, 0, "Pos'n");
        InsertItem(1006, 1, "Sats");
        SetTabScreens(1006, {SCR_GPS_1, SCR_GPS_2});
    }
    SelectOwnTab();
    SetDlgItemText(1022, "  51 28.123456");
    SetDlgItemText(1023, "  -0 00.654321");
    m_nTimer1 = SetTimer(1, 500);
    m_nTimer2 = SetTimer(2, 2000);
    UpdateStatusStrip();
    ActivationDone();
    return ui::TRUE;
}

void TestPage::OnCancel() {
    ++leaves;
    KillOwnTimers();
    CBaseDialog::OnCancel();
}

void TestPage::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == 1 || id == 2) {
        ++ticks;
        UpdateStatusStrip();
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void RegisterTestPages() {
    struct Entry {
        eScreen screen;
        ScreenFamily family;
        const char* title;
    };
    static const Entry kPages[] = {{SCR_GPS_1, ScreenFamily::Gps, "Position"},
                                   {SCR_GPS_2, ScreenFamily::Gps, "Satellites"},
                                   {SCR_TERMINAL_1, ScreenFamily::Terminal, "Terminal"},
                                   {SCR_LOGS_1, ScreenFamily::Logs, "Logging"},
                                   {SCR_HEADING_1, ScreenFamily::Heading, "Heading"},
                                   {SCR_SBAS_1, ScreenFamily::Sbas, "SBAS"}};
    for (const Entry& e : kPages)
        RegisterScreen(e.screen,
                       [e] { return std::make_unique<TestPage>(e.screen, e.family, e.title); });
}

TestPage* Page(eScreen screen) {
    return dynamic_cast<TestPage*>(Screen(screen));
}

}  // namespace shelltest

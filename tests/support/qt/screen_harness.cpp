#include "support/qt/screen_harness.h"

#include <stdlib.h>

#include <QLineEdit>
#include <QWidget>
#include <vector>

#include "engine/binary.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/scomm.h"
#include "engine/terminalconfig.h"
#include "engine/txnmea.h"
#include "screens/logging/terminal_group.h"
#include "shell/BaseDialog.h"
#include "shell/ExitInstance.h"
#include "shell/Tessaray_PC.h"
#include "support/frames.h"
#include "ui/canvas.h"
#include "ui/dialog.h"

namespace shelltest {

namespace {

// The engine-facing switches a screen sets, as the application object starts with them.
void ResetAppSwitches(CTessaray_PCApp& app) {
    app.bDemoMode = 0;
    app.bBin1Position = 0;
    app.iHeadingAge = 0;
    g_GPS.Info.eReceiverType = RECEIVER_GPS;
    app.iBin1Rate = 1;
    app.iAreaUnits = 0;
    app.wLogFlags = 0;
    for (std::atomic<int>* on :
         {&app.bNMEALogOn, &app.bRawLogOn, &app.bBinLogOn, &app.bPointSentenceLogOn,
          &app.bPointGGAPending, &app.bPointGSVPending, &app.bReadBackUnanswered})
        on->store(0);
    for (int file = 0; file < LOGFILE_COUNT; ++file)
        app.SetLogFile(static_cast<eLogFile>(file), "");
    app.SetPlotRef(PlotReference{});
    app.TakePlotRefChanged();
}

}  // namespace

void ScreenTest::Start(double scale) {
    StartProgram(scale);
    CTessaray_PCApp& app = theApp();
    app.iScalePercent = static_cast<int>(app.fScaleX * 100 + 0.01);
    app.bReceiverFound = 1;
    ::setenv("TESSARAY_PC_COM1", "/dev/fake-receiver", 1);
    g_Comm.SetDevice(&fake);
    ASSERT_EQ(g_Comm.OpenPort(1, 57600), 0);
    g_GPS.Info.Init();
    g_GPS.ResetSubRecords();
    // What a fresh process holds: no receiver settings seen yet, the default rates, log gates
    // and recent names, the terminal's defaults with its file not yet found unreadable and
    // no failed save told, the application's log switches and names at rest.
    g_GPS.InitSettings();
    g_GPS.Info.Settings.WizardSnapshot = WizardInfo{};
    g_TerminalConfig = TerminalConfig{};
    terminal::ResetGroupState();
    ResetAppSwitches(app);
    RearmExitForTest();
    g_GPS.Info.iComPort = 1;
    RegisterAllScreens();
    QuietPoll();
    ClearWire();
}

void ScreenTest::TearDown() {
    // A hook a test left (failed before it removed it) would outlive what it records into.
    CTessaray_PCApp::SetEndProcessHook(nullptr);
    DestroyScreens();
    g_Comm.ClosePort();
    g_Comm.SetDevice(nullptr);
}

void ScreenTest::QuietPoll() {
    g_dwLastPollTick.store(clock.Now());
}

CBaseDialog* ScreenTest::Open(eScreen screen) {
    opened_ = screen;
    return ::Screen(screen);
}

void ScreenTest::Run(ui::StepRunner& run) {
    CBaseDialog* s = opened_ == SCR_COUNT ? nullptr : ::Screen(opened_);
    ASSERT_NE(s, nullptr) << "Open(screen) first";
    run.Start();
    s->DoModal();
    EXPECT_TRUE(finished_);
    EXPECT_EQ(ui::Dialog::RunningLoops(), 0);
}

void ScreenTest::WaitShown(ui::StepRunner& run, eScreen screen) {
    run.AddWait(
        [screen] { return ScreenIfBuilt(screen) && ScreenIfBuilt(screen)->IsWindowVisible(); },
        5000, [screen] { ADD_FAILURE() << "timed out: " << ScreenClassName(screen); });
}

void ScreenTest::EndAll() {
    finished_ = true;
    for (int s = SCR_COUNT - 1; s >= 0; --s)
        if (CBaseDialog* d = ScreenIfBuilt(static_cast<eScreen>(s)); d && d->IsLoopRunning())
            d->EndDialog(ui::IDCANCEL);
}

ui::Dialog* ScreenTest::Page() const {
    ui::Host* host = ui::Host::Existing();
    if (ui::Dialog* top = host ? host->TopPage() : nullptr) return top;
    return opened_ == SCR_COUNT ? nullptr : ScreenIfBuilt(opened_);
}

std::string ScreenTest::Text(int id) const {
    ui::Dialog* page = Page();
    if (page == nullptr) return "<no page>";
    if (auto* e = dynamic_cast<QLineEdit*>(page->GetDlgItem(id))) return e->text().toStdString();
    return page->GetDlgItemText(id);
}

std::string ScreenTest::Texts(std::initializer_list<int> ids) const {
    std::string out;
    for (int id : ids) out += (out.empty() ? "" : "|") + Text(id);
    return out;
}

namespace {

// Acts on the control when the user could reach it (a test failure otherwise), then lets
// pending notifications run.
template <class Act>
void AsUser(ui::Dialog* page, int id, Act act) {
    QWidget* w = page ? page->GetDlgItem(id) : nullptr;
    if (w == nullptr) return void(ADD_FAILURE() << "no control " << id);
    if (!page->IsItemVisible(id) || !page->IsItemEnabled(id))
        return void(ADD_FAILURE() << "control " << id << " is hidden or disabled");
    act(w);
    ui::ProcessPending();
}

}  // namespace

void ScreenTest::Choose(int comboId, int index) {
    AsUser(Page(), comboId, [&](QWidget* w) {
        EXPECT_TRUE(ui::UserSelectCombo(w, index)) << comboId << " item " << index;
    });
}

void ScreenTest::Click(int id) {
    AsUser(Page(), id, [](QWidget* w) { ui::UserClick(w); });
}

void ScreenTest::Type(int editId, const std::string& text) {
    AsUser(Page(), editId, [&](QWidget* w) { ui::UserType(w, text); });
}

void ScreenTest::Tick(ui::UINT timerId) {
    ui::Dialog* page = Page();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->FireTimer(timerId)) << "timer " << timerId << " is not running";
}

bool ScreenTest::Feed(const std::string& sentenceBody) {
    const std::string s = testsupport::NmeaSentence(sentenceBody);
    std::vector<char> buf(s.begin(), s.end());
    buf.push_back('\0');
    return g_NMEA.bParseNMEA(&g_GPS.Info, buf.data());
}

bool ScreenTest::FeedBin(int messageId, const std::string& data) {
    const std::string frame = testsupport::BinFrame(messageId, data);
    CBinary binary;
    return binary.bParseBINARY(&g_GPS.Info, frame.data(), static_cast<int>(frame.size()));
}

void ScreenTest::ClearWire() {
    wire_.Clear();
    fake.ClearWrites();
}

ui::Rgb ScreenTest::Pixel(int controlId, int x, int y) const {
    ui::Dialog* page = Page();
    QWidget* w = page ? page->GetDlgItem(controlId) : nullptr;
    if (w == nullptr) {
        ADD_FAILURE() << "no control " << controlId;
        return {};
    }
    const QImage image = w->grab().toImage();
    if (!image.rect().contains(x, y)) {
        ADD_FAILURE() << "pixel " << x << "," << y << " outside control " << controlId;
        return {};
    }
    const QRgb p = image.pixel(x, y);
    return ui::Rgb{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                   static_cast<uint8_t>(qBlue(p))};
}

ui::Rgb ScreenTest::Pixel(const ui::Canvas& canvas, int x, int y) {
    return canvas.GetPixel(x, y);
}

}  // namespace shelltest

#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <memory>
#include <vector>

#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/messagebox.h"
#include "ui/pictures.h"

namespace {

using namespace ui;

// A page that counts what happens to it.
class CountingPage : public Dialog {
public:
    explicit CountingPage(DialogTemplate t = {}) : Dialog(std::move(t)) {}
    BOOL OnInitDialog() override {
        ++inits;
        if (endAtInit) EndDialog(42);
        return TRUE;
    }
    void OnTimer(UINT id) override {
        ticks.push_back(id);
        if (onTimer) onTimer(id);
    }
    int inits = 0;
    bool endAtInit = false;
    std::vector<UINT> ticks;
    std::function<void(UINT)> onTimer;
};

void WithOpenPage(Dialog& page, const std::function<void()>& body) {
    StepRunner steps;
    steps.Add([&] {
        body();
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
}

TEST(DialogLoops, ThirtyNestedLoopsKeepRunningUnderHiddenPages) {
    constexpr int kDepth = 30;
    std::vector<std::unique_ptr<CountingPage>> pages;
    for (int i = 0; i < kDepth; ++i)
        pages.push_back(std::make_unique<CountingPage>(DialogTemplate{.id = 500 + i}));
    StepRunner steps;
    // Each step hides the page as a hand-over does (every third stays), then nests the next.
    for (int i = 1; i < kDepth; ++i) {
        steps.Add([&, i] {
            if (i == 1) pages[0]->SetTimer(7, 10);
            if (i % 3 != 0) pages[i - 1]->ShowWindow(SW_HIDE);
            pages[i]->DoModal();
        });
    }
    steps.Add([&] {
        EXPECT_EQ(Dialog::RunningLoops(), kDepth);
        std::string state;  // inits and visibility of each page, innermost alone visible
        for (const auto& p : pages)
            state += std::to_string(p->inits) + (p->Widget()->isVisible() ? "v" : "");
        EXPECT_EQ(state, std::string(kDepth, '1') + "v");
        pages[0]->ticks.clear();
    });
    // The outermost page's timer still ticks while the innermost loop runs.
    steps.AddWait([&] { return pages[0]->ticks.size() >= 2; }, 20000,
                  [&] { ADD_FAILURE() << "timer of the hidden outermost page never fired"; });
    bool ended = false;
    steps.Add([&] {
        ended = true;
        for (int i = kDepth - 1; i >= 0; --i) pages[i]->EndDialog(100 + i);
    });
    steps.Start();
    EXPECT_EQ(pages[0]->DoModal(), 100);
    EXPECT_TRUE(ended);
    EXPECT_EQ(Dialog::RunningLoops(), 0);
    for (const auto& p : pages) EXPECT_FALSE(p->IsCreated());
    CountingPage quick;
    quick.endAtInit = true;
    EXPECT_EQ(quick.DoModal(), 42);
}

TEST(DialogTimers, PeriodicAndOneShot) {
    CountingPage page;
    EXPECT_EQ(page.SetTimer(1, 100), 0u);  // a page that does not exist has no timers
    WithOpenPage(page, [&] {
        EXPECT_EQ(page.SetTimer(1, 1000) + page.SetTimer(1, 171), 2u);
        page.SetTimer(2, 0);
        EXPECT_EQ(page.TimerInterval(1) * 100 + page.TimerInterval(2), 17110);
        page.KillTimer(2);
        EXPECT_EQ(page.KillTimer(99), FALSE);
        const auto fire = [&] { return page.FireTimer(1); };
        const auto kill = [&] { return page.KillTimer(1) == TRUE; };
        const auto once = [&] { return page.SetOneShotTimer(1, 300) == 1; };
        const auto every = [&] { return page.SetTimer(1, 300) == 1; };
        // Each step: what it returns and whether the timer runs after it.
        const std::tuple<std::function<bool()>, bool, bool> steps[] = {
            {fire, true, true},  {kill, true, false},  {kill, false, false}, {fire, false, false},
            {once, true, true},  {fire, true, false},  {fire, false, false}, {once, true, true},
            {kill, true, false}, {fire, false, false}, {every, true, true},  {fire, true, true}};
        for (size_t i = 0; i < std::size(steps); ++i) {
            const auto& [act, result, running] = steps[i];
            EXPECT_EQ(act(), result) << "step " << i;
            EXPECT_EQ(page.IsTimerRunning(1), running) << "step " << i;
        }
        EXPECT_EQ(page.ticks, (std::vector<UINT>{1, 1, 1}));
        // A handler may start its one-shot timer again.
        page.onTimer = [&](UINT id) { page.SetOneShotTimer(id, 300); };
        page.SetOneShotTimer(6, 300);
        EXPECT_TRUE(page.FireTimer(6) && page.IsTimerRunning(6));
        page.onTimer = nullptr;
        page.KillTimer(6);
    });
}

// Stopped timers come back with their periods and kinds; one started anew meanwhile keeps its own.
TEST(DialogTimers, StopAndRestart) {
    CountingPage page;
    WithOpenPage(page, [&] {
        page.SetTimer(1, 1000);
        page.SetOneShotTimer(3, 700);
        page.SetTimer(11, 5000);
        const auto stopped = page.StopTimers({1, 3, 4});
        EXPECT_EQ(page.TimerIds(), std::vector<UINT>{11});
        page.SetTimer(1, 200);
        page.RestartTimers(stopped);
        EXPECT_EQ(page.TimerIds(), (std::vector<UINT>{1, 3, 11}));
        EXPECT_EQ(page.TimerInterval(1) + page.TimerInterval(3), 900);
        EXPECT_TRUE(page.FireTimer(3) && !page.IsTimerRunning(3));
        for (UINT id : {1, 11}) page.KillTimer(id);
    });
}

DialogTemplate ControlsTemplate() {
    DialogTemplate t;
    t.id = 214;
    // clang-format off
    t.controls = {
        {1001, Kind::Button, {50, 100, 60, 20}, "Search"},
        {1002, Kind::CheckBox, {50, 130, 80, 14}, "Auto-Baud:"},
        {1003, Kind::ComboDropList, {50, 150, 80, 100}, "", 0, 0, {"Local", "UTC", "GPS"}},
        {1004, Kind::Edit, {50, 180, 80, 14}},
        {1005, Kind::Tab, {44, 80, 282, 300}},
        {1006, Kind::Picture, {200, 100, 28, 22}, "", Flag::Notify, IDB_PAUSE_OFF},
        {1007, Kind::Static, {200, 200, 80, 14}, "Lat:"},
        {1008, Kind::ComboDropDown, {50, 200, 80, 100}, "", 0, 0, {"4800", "9600", "19200"}},
        {1009, Kind::Progress, {250, 250, 10, 60}, "", Flag::Vertical},
        {1010, Kind::Edit, {50, 230, 80, 14}},
        {1011, Kind::TextView, {220, 400, 120, 60}},
        {1012, Kind::Slider, {220, 470, 120, 20}},
        {1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130}};
    // clang-format on
    return t;
}

TEST(DialogNotifications, FireOnUserActionsOnly) {
    CountingPage page(ControlsTemplate());
    std::vector<std::pair<int, int>> seen;
    const std::pair<int, int> handled[] = {
        {1001, BN_CLICKED},    {1002, BN_CLICKED},  {1003, CBN_SELCHANGE},  {1004, EN_CHANGE},
        {1005, TCN_SELCHANGE}, {1006, STN_CLICKED}, {1008, CBN_EDITCHANGE}, {1008, CBN_SELCHANGE},
        {1001, BN_LBUTTONUP},  {1006, BN_LBUTTONUP}};
    for (auto [id, code] : handled)
        page.OnControl(id, code, [&seen, id, code] { seen.push_back({id, code}); });
    WithOpenPage(page, [&] {
        for (int i = 0; i < 3; ++i) page.InsertItem(1005, i, "Tab");
        // Code changes every control: nothing is reported.
        for (auto [id, text] : {std::pair{1004, "12.5"}, {1008, "9600"}})
            page.SetDlgItemText(id, text);
        for (int id : {1003, 1005}) page.SetCurSel(id, 1);
        page.CheckDlgButton(1002, BST_CHECKED);
        page.ResetContent(1008);
        ProcessPending();
        EXPECT_TRUE(seen.empty());
        // A release over a button or a picture that reports clicks comes before its click.
        const struct {
            const char* what;
            std::function<void()> act;
            int id;
            std::vector<int> codes;
        } actions[] = {
            // clang-format off
            {"button", [&] { UserClick(page.GetDlgItem(1001)); }, 1001, {BN_LBUTTONUP, BN_CLICKED}},
            {"picture", [&] { UserClick(page.GetDlgItem(1006)); }, 1006, {STN_CLICKED, BN_LBUTTONUP}},
            {"typed baud", [&] { UserType(page.GetDlgItem(1008), "4"); }, 1008, {CBN_EDITCHANGE}},
            {"double click", [&] { UserDoubleClick(page.GetDlgItem(1001), QPoint(5, 5)); }, 1001,
             {BN_LBUTTONUP, BN_CLICKED, BN_LBUTTONUP}},
            // clang-format on
        };
        for (const auto& a : actions) {
            seen.clear();
            a.act();
            // Handlers run from the event loop after the action, never inside it.
            EXPECT_TRUE(seen.empty()) << a.what;
            ProcessPending();
            std::vector<int> codes;
            for (auto [id, code] : seen) {
                EXPECT_EQ(id, a.id) << a.what;
                codes.push_back(code);
            }
            EXPECT_EQ(codes, a.codes) << a.what;
        }
        // A disabled or hidden page hears nothing.
        seen.clear();
        for (bool hide : {false, true}) {
            if (!hide) page.EnableWindow(FALSE);
            UserClick(page.GetDlgItem(1001));
            page.EnableWindow(TRUE);
            if (hide) page.ShowWindow(SW_HIDE);
            ProcessPending();
        }
        EXPECT_TRUE(seen.empty());
        page.ShowWindow(SW_SHOW);
    });
}

TEST(DialogControls, CombosProgressPicturesAndSlider) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        EXPECT_EQ(page.SetCurSel(1003, 3), CB_ERR);
        EXPECT_EQ(page.GetCurSel(1003) + page.DeleteString(1003, 9), -1 + CB_ERR);
        page.AddString(1003, "utc");
        // Whole text, starting after `start` and wrapping; with and without case.
        const struct {
            int start;
            const char* text;
            int exactCase, anyCase;
        } finds[] = {
            {-1, "utc", 3, 1}, {1, "UTC", 1, 3}, {-1, "UT", CB_ERR, CB_ERR}, {2, "Local", 0, 0}};
        for (const auto& c : finds) {
            EXPECT_EQ(page.FindStringExactCase(1003, c.start, c.text), c.exactCase) << c.text;
            EXPECT_EQ(page.FindStringExact(1003, c.start, c.text), c.anyCase) << c.text;
        }
        EXPECT_EQ(page.DeleteString(1003, 3), 3);
        page.Item<QComboBox>(1003)->showPopup();
        EXPECT_TRUE(page.IsComboDroppedDown(1003));
        page.Item<QComboBox>(1003)->hidePopup();
        // An editable combo keeps what was typed or set and never completes or inserts.
        page.SetDlgItemText(1008, "14400");
        EXPECT_EQ(page.GetDlgItemText(1008), "14400");
        auto* typed = page.Item<QComboBox>(1008);
        EXPECT_TRUE(typed->insertPolicy() == QComboBox::NoInsert && !typed->completer());
        page.SetRange(1009, 0, 30);
        page.SetPos(1009, 45);
        EXPECT_EQ(page.Item<QProgressBar>(1009)->value(), 30);
        page.SetRange(1012, 0, 150);
        for (auto [pos, shown] : {std::pair{40, 40}, {400, 150}}) {
            EXPECT_TRUE(UserSlide(page.GetDlgItem(1012), pos)) << pos;
            EXPECT_EQ(page.GetPos(1012), shown) << pos;
        }
        page.EnableItem(1012, false);
        EXPECT_FALSE(UserSlide(page.GetDlgItem(1012), 70) || UserSlide(page.GetDlgItem(1009), 70));
        EXPECT_EQ(page.GetPos(1012), 150);
    });
}

TEST(DialogControls, TextViewAppendsAtItsEndWithoutRebuilding) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        auto* view = page.Item<QPlainTextEdit>(1011);
        // Line ends split across reads, CR LF and LF alike; a mark on the first line survives.
        for (const char* chunk : {"$GPGGA,1\r", "\n$GPV", "TG,2\r\n", "$>JI\n", ""})
            page.AppendViewText(1011, chunk);
        view->document()->firstBlock().setUserState(7);
        page.AppendViewText(1011, "partial");
        EXPECT_EQ(view->document()->firstBlock().userState(), 7);
        EXPECT_EQ(page.GetDlgItemText(1011), "$GPGGA,1\n$GPVTG,2\n$>JI\npartial");
        // A limit keeps the newest complete lines and the one being filled.
        page.SetViewMaxLines(1011, 2);
        page.AppendViewText(1011, "a\nb\nc\nd");
        EXPECT_EQ(page.GetDlgItemText(1011), "b\nc\nd");
        page.AppendViewText(1011, "e\n");
        EXPECT_EQ(page.GetDlgItemText(1011), "c\nde\n");
    });
}

TEST(DialogControls, DataExchangeRefusesTextThatIsNotANumber) {
    CountingPage page(ControlsTemplate());
    float lat = 0.1f;
    int count = 7;
    page.DDX_Text(1004, lat);
    page.DDX_Text(1010, count);
    WithOpenPage(page, [&] {
        MessageBoxRecorder boxes;
        // Per text typed into the float and the integer: what each holds after, the boxes.
        const struct {
            const char *real, *whole;
            float lat;
            int count;
            const char* told;
        } cases[] = {{" 12.5 ", "3", 12.5f, 3, ""},
                     {"1e999", "3", 12.5f, 3, "Please enter a number."},
                     {"4.5x", "3", 12.5f, 3, "Please enter a number."},
                     {"1", "2.5", 1.0f, 3, "Please enter an integer."}};
        for (const auto& c : cases) {
            boxes.Clear();
            page.SetDlgItemText(1004, c.real);
            page.SetDlgItemText(1010, c.whole);
            EXPECT_EQ(page.UpdateData(TRUE), *c.told ? FALSE : TRUE) << c.real;
            EXPECT_FLOAT_EQ(lat, c.lat) << c.real;
            EXPECT_EQ(count, c.count) << c.real;
            EXPECT_EQ(boxes.texts(),
                      *c.told ? std::vector<std::string>{c.told} : std::vector<std::string>{})
                << c.real;
        }
    });
}

}  // namespace

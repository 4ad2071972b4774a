#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabBar>
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
        return TRUE;
    }
    void OnTimer(UINT id) override {
        ticks.push_back(id);
        if (onTimer) onTimer(id);
    }
    void OnLButtonDown(UINT flags, Point p) override { clicks.push_back({flags, p}); }
    void OnLButtonUp(UINT flags, Point p) override { releases.push_back({flags, p}); }
    void OnClose() override { ++closes; }
    int inits = 0;
    int closes = 0;
    std::vector<UINT> ticks;
    std::vector<std::pair<UINT, Point>> clicks;
    std::vector<std::pair<UINT, Point>> releases;
    std::function<void(UINT)> onTimer;
};

TEST(DialogLoops, ThirtyNestedLoopsKeepRunningUnderHiddenPages) {
    constexpr int kDepth = 30;
    std::vector<std::unique_ptr<CountingPage>> pages;
    for (int i = 0; i < kDepth; ++i)
        pages.push_back(std::make_unique<CountingPage>(DialogTemplate{.id = 500 + i}));

    StepRunner steps;
    // Each step hides the current page as a screen does when it hands over, then opens the
    // next page's loop inside the current one.
    for (int i = 1; i < kDepth; ++i) {
        steps.Add([&, i] {
            if (i == 1) pages[0]->SetTimer(7, 10);
            // Every third page is left visible underneath; only the top one may show.
            if (i % 3 != 0) pages[i - 1]->ShowWindow(SW_HIDE);
            pages[i]->DoModal();
        });
    }
    bool checked = false;
    steps.Add([&] {
        EXPECT_EQ(Dialog::RunningLoops(), kDepth);
        for (int i = 0; i < kDepth; ++i) {
            EXPECT_TRUE(pages[i]->IsLoopRunning()) << "page " << i;
            EXPECT_EQ(pages[i]->inits, 1) << "page " << i;
            EXPECT_EQ(pages[i]->Widget()->isVisible(), i == kDepth - 1) << "page " << i;
        }
        EXPECT_EQ(Host::Instance().TopPage(), pages[kDepth - 1].get());
        pages[0]->ticks.clear();
    });
    // The outermost page's timer still ticks while the innermost loop runs.
    steps.AddWait([&] { return pages[0]->ticks.size() >= 2; }, 20000,
                  [&] { ADD_FAILURE() << "timer of the hidden outermost page never fired"; });
    steps.Add([&] {
        checked = true;
        for (int i = kDepth - 1; i >= 0; --i) pages[i]->EndDialog(100 + i);
    });
    steps.Start();
    EXPECT_EQ(pages[0]->DoModal(), 100);
    EXPECT_TRUE(checked);
    EXPECT_EQ(Dialog::RunningLoops(), 0);
    for (const auto& p : pages) EXPECT_FALSE(p->IsCreated());
}

TEST(DialogLoops, RevisitInitialisesAgainWithoutANewLoop) {
    CountingPage a(DialogTemplate{.id = 1});
    CountingPage b(DialogTemplate{.id = 2});
    StepRunner steps;
    steps.Add([&] {
        a.ShowWindow(SW_HIDE);
        b.Activate();
    });
    steps.Add([&] {
        b.ShowWindow(SW_HIDE);
        EXPECT_EQ(a.Activate(), TRUE);
    });
    steps.Add([&] {
        EXPECT_EQ(a.inits, 2);
        EXPECT_EQ(b.inits, 1);
        EXPECT_EQ(Dialog::RunningLoops(), 2);
        EXPECT_EQ(Host::Instance().TopPage(), &a);
        EXPECT_TRUE(a.Widget()->isVisible());
        EXPECT_FALSE(b.Widget()->isVisible());
        EXPECT_TRUE(b.IsLoopRunning());
        b.EndDialog(IDOK);
        a.EndDialog(IDCANCEL);
    });
    steps.Start();
    EXPECT_EQ(a.DoModal(), IDCANCEL);
}

TEST(DialogLoops, EndDialogDuringInitReturnsAtOnce) {
    class Quick : public Dialog {
    public:
        Quick() : Dialog(DialogTemplate{.id = 3}) {}
        BOOL OnInitDialog() override {
            EndDialog(42);
            return TRUE;
        }
    } q;
    EXPECT_EQ(q.DoModal(), 42);
    EXPECT_EQ(Dialog::RunningLoops(), 0);
}

TEST(DialogTimers, SetTimerRestartsAndKillTimerIsIdempotent) {
    CountingPage page;
    StepRunner steps;
    steps.Add([&] {
        EXPECT_EQ(page.SetTimer(1, 1000), 1u);
        EXPECT_EQ(page.TimerInterval(1), 1000);
        EXPECT_EQ(page.SetTimer(1, 171), 1u);
        EXPECT_TRUE(page.IsTimerRunning(1));
        EXPECT_EQ(page.TimerInterval(1), 171);
        EXPECT_EQ(page.SetTimer(2, 0), 2u);
        EXPECT_EQ(page.TimerInterval(2), 10);

        EXPECT_TRUE(page.FireTimer(1));
        EXPECT_TRUE(page.FireTimer(2));
        EXPECT_FALSE(page.FireTimer(3));
        EXPECT_EQ(page.ticks, (std::vector<UINT>{1, 2}));

        EXPECT_EQ(page.KillTimer(1), TRUE);
        EXPECT_EQ(page.KillTimer(1), FALSE);
        EXPECT_EQ(page.KillTimer(99), FALSE);
        EXPECT_FALSE(page.IsTimerRunning(1));
        EXPECT_FALSE(page.FireTimer(1));
        page.KillTimer(2);
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
    // A page that does not exist has no timers.
    EXPECT_EQ(page.SetTimer(1, 100), 0u);
}

TEST(DialogTimers, OneShotTimerTicksOnceAndCanBeCancelled) {
    CountingPage page;
    StepRunner steps;
    steps.Add([&] {
        struct Step {
            const char* what;
            std::function<bool()> act;
            bool result;
            bool runningAfter;
        };
        const Step table[] = {
            {"start", [&] { return page.SetOneShotTimer(5, 300) == 5; }, true, true},
            {"expiry", [&] { return page.FireTimer(5); }, true, false},
            {"no second tick", [&] { return page.FireTimer(5); }, false, false},
            {"start again", [&] { return page.SetOneShotTimer(5, 300) == 5; }, true, true},
            {"cancel", [&] { return page.KillTimer(5) == TRUE; }, true, false},
            {"nothing after cancel", [&] { return page.FireTimer(5); }, false, false},
            {"periodic under the same id", [&] { return page.SetTimer(5, 300) == 5; }, true, true},
            {"periodic keeps running", [&] { return page.FireTimer(5); }, true, true},
        };
        for (const Step& st : table) {
            EXPECT_EQ(st.act(), st.result) << st.what;
            EXPECT_EQ(page.IsTimerRunning(5), st.runningAfter) << st.what;
        }
        EXPECT_EQ(page.ticks, (std::vector<UINT>{5, 5}));
        // A handler may start its one-shot timer again.
        page.KillTimer(5);
        page.onTimer = [&](UINT id) { page.SetOneShotTimer(id, 300); };
        page.SetOneShotTimer(6, 300);
        EXPECT_TRUE(page.FireTimer(6));
        EXPECT_TRUE(page.IsTimerRunning(6));
        page.onTimer = nullptr;
        page.KillTimer(6);
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
    EXPECT_EQ(page.SetOneShotTimer(1, 100), 0u);
}

// A screen's timer handler opens another page's loop and stays on the stack; when the
// screen is activated again from inside that loop its restarted timer must tick there.
TEST(DialogTimers, RestartedTimerTicksWhileItsOldHandlerIsOnTheStack) {
    CountingPage screen(DialogTemplate{.id = 10});
    CountingPage other(DialogTemplate{.id = 11});
    bool nested = false;
    screen.onTimer = [&](UINT id) {
        if (id != 11 || nested) return;
        nested = true;
        screen.KillTimer(11);
        screen.ShowWindow(SW_HIDE);
        StepRunner inner;
        inner.Add([&] {
            other.ShowWindow(SW_HIDE);
            screen.ShowWindow(SW_SHOW);
            screen.ticks.clear();
            screen.SetTimer(11, 10);
        });
        inner.AddWait([&] { return screen.ticks.size() >= 3; }, 20000,
                      [&] { ADD_FAILURE() << "restarted timer did not tick"; });
        inner.Add([&] {
            other.EndDialog(IDOK);
            screen.EndDialog(IDOK);
        });
        inner.Start();
        other.DoModal();
    };
    StepRunner steps;
    steps.Add([&] { screen.SetTimer(11, 10); });
    steps.Start();
    screen.DoModal();
    EXPECT_TRUE(nested);
    EXPECT_GE(screen.ticks.size(), 3u);
}

DialogTemplate ControlsTemplate() {
    DialogTemplate t;
    t.id = 214;
    t.controls = {
        {.id = 1001, .kind = Kind::Button, .rect = {50, 100, 60, 20}, .text = "Search"},
        {.id = 1002, .kind = Kind::CheckBox, .rect = {50, 130, 80, 14}, .text = "Auto-Baud:"},
        {.id = 1003,
         .kind = Kind::ComboDropList,
         .rect = {50, 150, 80, 100},
         .seed = {"Local", "UTC", "GPS"}},
        {.id = 1004, .kind = Kind::Edit, .rect = {50, 180, 80, 14}},
        {.id = 1005, .kind = Kind::Tab, .rect = {44, 80, 282, 300}},
        {.id = 1006,
         .kind = Kind::Picture,
         .rect = {200, 100, 28, 22},
         .flags = Flag::Notify,
         .picture = IDB_PAUSE_OFF},
        {.id = 1007, .kind = Kind::Static, .rect = {200, 200, 80, 14}, .text = "Lat:"},
        {.id = 1008,
         .kind = Kind::ComboDropDown,
         .rect = {50, 200, 80, 100},
         .seed = {"4800", "9600", "19200"}},
        {.id = 1009, .kind = Kind::Progress, .rect = {250, 250, 10, 60}, .flags = Flag::Vertical},
        {.id = 1010, .kind = Kind::Edit, .rect = {50, 230, 80, 14}},
        {.id = 1011, .kind = Kind::TextView, .rect = {220, 400, 120, 60}},
        {.id = 1012, .kind = Kind::Slider, .rect = {220, 470, 120, 20}},
        {.id = 1000, .kind = Kind::Picture, .rect = {0, 0, 370, 510}, .picture = 130},
    };
    return t;
}

struct Recorded {
    int id;
    int code;
};

// Runs `body` inside the open page and closes it afterwards.
void WithOpenPage(Dialog& page, const std::function<void()>& body) {
    StepRunner steps;
    steps.Add([&] {
        body();
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
}

TEST(DialogNotifications, FireOnUserActionsOnly) {
    CountingPage page(ControlsTemplate());
    std::vector<Recorded> seen;
    auto record = [&](int id, int code) {
        page.OnControl(id, code, [&seen, id, code] { seen.push_back({id, code}); });
    };
    record(1001, BN_CLICKED);
    record(1002, BN_CLICKED);
    record(1003, CBN_SELCHANGE);
    record(1004, EN_CHANGE);
    record(1005, TCN_SELCHANGE);
    record(1006, STN_CLICKED);
    record(1008, CBN_EDITCHANGE);
    record(1008, CBN_SELCHANGE);
    record(1001, BN_LBUTTONUP);
    record(1006, BN_LBUTTONUP);

    WithOpenPage(page, [&] {
        page.InsertItem(1005, 0, "Pos'n");
        page.InsertItem(1005, 1, "Sats");
        page.InsertItem(1005, 2, "Setup");
        // Code changes every control: nothing is reported.
        page.SetDlgItemText(1004, "12.5");
        page.SetDlgItemText(1008, "9600");
        page.SetCurSel(1003, 1);
        page.SetCurSel(1005, 1);
        page.CheckDlgButton(1002, BST_CHECKED);
        page.AddString(1003, "Extra");
        page.ResetContent(1008);
        ProcessPending();
        EXPECT_TRUE(seen.empty());

        struct Action {
            const char* what;
            std::function<void()> act;
            int id;
            std::vector<int> codes;
        };
        // A release over a button or a picture that reports clicks comes before its click.
        const std::vector<Action> actions{
            {"button", [&] { UserClick(page.GetDlgItem(1001)); }, 1001, {BN_LBUTTONUP, BN_CLICKED}},
            {"check", [&] { UserClick(page.GetDlgItem(1002)); }, 1002, {BN_CLICKED}},
            {"combo", [&] { UserSelectCombo(page.GetDlgItem(1003), 2); }, 1003, {CBN_SELCHANGE}},
            {"edit", [&] { UserType(page.GetDlgItem(1004), "7"); }, 1004, {EN_CHANGE}},
            {"tab", [&] { UserSelectTab(page.GetDlgItem(1005), 2); }, 1005, {TCN_SELCHANGE}},
            {"picture",
             [&] { UserClick(page.GetDlgItem(1006)); },
             1006,
             {STN_CLICKED, BN_LBUTTONUP}},
            {"typed baud", [&] { UserType(page.GetDlgItem(1008), "4"); }, 1008, {CBN_EDITCHANGE}},
            {"double click",
             [&] { UserDoubleClick(page.GetDlgItem(1001), QPoint(5, 5)); },
             1001,
             {BN_LBUTTONUP, BN_CLICKED, BN_LBUTTONUP}},
            {"released beside the button",
             [&] {
                 QWidget* b = page.GetDlgItem(1001);
                 const QPoint outside(b->width() + 5, b->height() / 2);
                 for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, b->rect().center()},
                                         std::pair{QEvent::MouseButtonRelease, outside}}) {
                     QMouseEvent e(type, QPointF(at), b->mapToGlobal(QPointF(at)), Qt::LeftButton,
                                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                   Qt::NoModifier);
                     QApplication::sendEvent(b, &e);
                 }
             },
             1001,
             {}},
        };
        for (const auto& a : actions) {
            seen.clear();
            a.act();
            // Handlers run from the event loop after the action, never inside it.
            EXPECT_TRUE(seen.empty()) << a.what;
            ProcessPending();
            std::vector<int> codes;
            for (const Recorded& r : seen) {
                EXPECT_EQ(r.id, a.id) << a.what;
                codes.push_back(r.code);
            }
            EXPECT_EQ(codes, a.codes) << a.what;
        }
        EXPECT_EQ(page.GetCurSel(1003), 2);
        EXPECT_EQ(page.GetCurSel(1005), 2);
        // Code checked it; the user's click toggled it back.
        EXPECT_EQ(page.IsDlgButtonChecked(1002), BST_UNCHECKED);
        EXPECT_EQ(page.GetDlgItemText(1004), "12.57");

        // A hidden or disabled page hears nothing.
        seen.clear();
        page.EnableWindow(FALSE);
        UserClick(page.GetDlgItem(1001));
        ProcessPending();
        page.EnableWindow(TRUE);
        UserClick(page.GetDlgItem(1001));
        page.ShowWindow(SW_HIDE);
        ProcessPending();
        EXPECT_TRUE(seen.empty());
        page.ShowWindow(SW_SHOW);
    });
}

TEST(DialogMouse, ClicksThroughStaticsReachThePageOnceAndKeysNeverClose) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        const Host& host = Host::Instance();
        // On the label "Lat:" and on the background picture: both let the click through.
        UserClickDesign(205, 205);
        UserClickDesign(100, 440);
        ProcessPending();
        ASSERT_EQ(page.clicks.size(), 2u);
        EXPECT_EQ(page.clicks[0].first, MK_LBUTTON);
        EXPECT_EQ(page.clicks[0].second,
                  (Point{ScaleX(205, host.fScaleX()), ScaleY(205, host.fScaleY())}));
        // Their releases too, without the button flag; a button keeps its own release.
        UserClick(page.GetDlgItem(1001));
        ProcessPending();
        ASSERT_EQ(page.releases.size(), 2u);
        EXPECT_EQ(page.releases[0].first, 0u);
        EXPECT_EQ(page.releases[0].second, page.clicks[0].second);

        page.clicks.clear();
        UserDoubleClick(page.Widget(), QPoint(60, 430));
        ProcessPending();
        EXPECT_EQ(page.clicks.size(), 1u);

        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            UserKey(page.Widget(), key);
            UserKey(page.GetDlgItem(1004), key);
        }
        ProcessPending();
        EXPECT_TRUE(page.IsLoopRunning());
        EXPECT_TRUE(page.IsWindowVisible());

        // The window's close button runs the page's close action.
        UserCloseWindow();
        ProcessPending();
        EXPECT_EQ(page.closes, 1);
        EXPECT_TRUE(page.IsLoopRunning());
    });
}

TEST(DialogControls, ComboListAndProgressHelpers) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        EXPECT_EQ(page.GetCount(1003), 3);
        EXPECT_EQ(page.GetCurSel(1003), -1);
        EXPECT_EQ(page.SetCurSel(1003, 3), CB_ERR);
        EXPECT_EQ(page.GetCurSel(1003), -1);
        EXPECT_EQ(page.SetCurSel(1003, 1), 1);
        EXPECT_EQ(page.GetLBText(1003, 1), "UTC");
        EXPECT_EQ(page.GetLBText(1003, 7), "");
        // Whole-text, case-insensitive, starting after `start` and wrapping.
        EXPECT_EQ(page.FindStringExact(1003, -1, "utc"), 1);
        EXPECT_EQ(page.FindStringExact(1003, 1, "local"), 0);
        EXPECT_EQ(page.FindStringExact(1003, -1, "UT"), CB_ERR);
        EXPECT_EQ(page.InsertString(1003, 0, "First"), 0);
        EXPECT_EQ(page.DeleteString(1003, 9), CB_ERR);
        EXPECT_EQ(page.DeleteString(1003, 0), 3);
        EXPECT_EQ(page.AddString(1003, "\xcf\x83"), 3);
        EXPECT_EQ(page.GetLBText(1003, 3), "\xcf\x83");

        // An editable combo's text is what the user typed or what code set.
        page.SetDlgItemText(1008, "14400");
        EXPECT_EQ(page.GetDlgItemText(1008), "14400");
        auto* drop = page.Item<QComboBox>(1008);
        ASSERT_NE(drop, nullptr);
        EXPECT_EQ(drop->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(drop->completer(), nullptr);

        page.SetRange(1009, 0, 30);
        struct Case {
            int pos, shown;
        };
        for (const Case c : {Case{12, 12}, Case{45, 30}, Case{-3, 0}, Case{30, 30}}) {
            page.SetPos(1009, c.pos);
            EXPECT_EQ(page.GetPos(1009), c.shown) << c.pos;
            EXPECT_EQ(page.Item<QProgressBar>(1009)->value(), c.shown) << c.pos;
        }
        EXPECT_EQ(page.SetPos(1009, 5), 30);

        EXPECT_EQ(page.GetPictureId(1006), IDB_PAUSE_OFF);
        EXPECT_EQ(page.SetPictureId(1006, -1), 0);
        EXPECT_EQ(page.SetPictureId(1006, 99999), 0);
        EXPECT_EQ(page.GetPictureId(1006), IDB_PAUSE_OFF);
        EXPECT_EQ(page.SetPictureId(1006, IDB_PAUSE_ON), 1);
        EXPECT_EQ(page.GetPictureId(1006), IDB_PAUSE_ON);

        page.ShowItem(1007, false);
        EXPECT_FALSE(page.IsItemVisible(1007));
        page.ShowItem(1007, true);
        EXPECT_TRUE(page.IsItemVisible(1007));
    });
}

TEST(DialogControls, ExactCaseSearchAndDroppedList) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        struct Case {
            int start;
            const char* text;
            int exactCase, anyCase;
        };
        page.AddString(1003, "utc");
        const Case cases[] = {
            {-1, "UTC", 1, 1},      {-1, "utc", 3, 1},          {1, "UTC", 1, 3},
            {-1, "Utc", CB_ERR, 1}, {-1, "UT", CB_ERR, CB_ERR}, {2, "Local", 0, 0},
            {7, "GPS", 2, 2},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(page.FindStringExactCase(1003, c.start, c.text), c.exactCase) << c.text;
            EXPECT_EQ(page.FindStringExact(1003, c.start, c.text), c.anyCase) << c.text;
        }
        EXPECT_EQ(page.FindStringExactCase(1004, -1, "x"), CB_ERR);

        auto* combo = page.Item<QComboBox>(1003);
        EXPECT_FALSE(page.IsComboDroppedDown(1003));
        combo->showPopup();
        EXPECT_TRUE(page.IsComboDroppedDown(1003));
        combo->hidePopup();
        EXPECT_FALSE(page.IsComboDroppedDown(1003));
        EXPECT_FALSE(page.IsComboDroppedDown(1004));
    });
}

TEST(DialogControls, SliderMovesAsTheUserDragsIt) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        page.SetRange(1012, 0, 150);
        page.SetPos(1012, 150);
        struct Case {
            int pos, shown;
            bool moved;
        };
        for (const Case c : {Case{40, 40, true}, Case{400, 150, true}, Case{-9, 0, true}}) {
            EXPECT_EQ(UserSlide(page.GetDlgItem(1012), c.pos), c.moved) << c.pos;
            EXPECT_EQ(page.GetPos(1012), c.shown) << c.pos;
        }
        page.EnableItem(1012, false);
        EXPECT_FALSE(UserSlide(page.GetDlgItem(1012), 70));
        EXPECT_FALSE(UserSlide(page.GetDlgItem(1009), 70));
        EXPECT_EQ(page.GetPos(1012), 0);
    });
}

TEST(DialogControls, TextViewAppendsAtItsEndWithoutRebuilding) {
    CountingPage page(ControlsTemplate());
    WithOpenPage(page, [&] {
        auto* view = page.Item<QPlainTextEdit>(1011);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isReadOnly());
        // Line ends split across reads, CR LF and LF alike.
        for (const char* chunk : {"$GPGGA,1\r", "\n$GPV", "TG,2\r\n", "$>JI\n", ""})
            page.AppendViewText(1011, chunk);
        EXPECT_EQ(page.GetDlgItemText(1011), "$GPGGA,1\n$GPVTG,2\n$>JI\n");
        // What is there stays as it is: a mark on the first line survives more text.
        view->document()->firstBlock().setUserState(7);
        page.AppendViewText(1011, "partial");
        page.AppendViewText(1011, " line\r\n");
        EXPECT_EQ(view->document()->firstBlock().userState(), 7);
        EXPECT_EQ(page.GetDlgItemText(1011), "$GPGGA,1\n$GPVTG,2\n$>JI\npartial line\n");
        UserType(view, "x");
        EXPECT_EQ(view->document()->blockCount(), 5);

        // Scrolled to the end after every append.
        std::string many;
        for (int i = 0; i < 200; ++i) many += "line " + std::to_string(i) + "\r\n";
        page.AppendViewText(1011, many);
        ProcessPending();
        EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());

        // A limit keeps the newest complete lines and the one being filled.
        page.SetViewMaxLines(1011, 2);
        page.AppendViewText(1011, "a\nb\nc\nd");
        EXPECT_EQ(page.GetDlgItemText(1011), "b\nc\nd");
        page.AppendViewText(1011, "e\n");
        EXPECT_EQ(page.GetDlgItemText(1011), "c\nde\n");
        page.ClearView(1011);
        EXPECT_EQ(page.GetDlgItemText(1011), "");
        page.AppendViewText(1011, "\xCF\x83 ok");
        EXPECT_EQ(page.GetDlgItemText(1011), "\xCF\x83 ok");
    });
}

TEST(DialogControls, DataExchangeRefusesTextThatIsNotANumber) {
    CountingPage page(ControlsTemplate());
    float lat = 0.1f;
    int count = 7;
    std::string name = "COM3";
    page.DDX_Text(1004, lat);
    page.DDX_Text(1010, count);
    page.DDX_Text(1008, name);
    WithOpenPage(page, [&] {
        MessageBoxRecorder boxes;
        page.UpdateData(FALSE);
        EXPECT_EQ(page.GetDlgItemText(1004), "0.1");
        EXPECT_EQ(page.GetDlgItemText(1010), "7");
        EXPECT_EQ(page.GetDlgItemText(1008), "COM3");

        struct Case {
            const char* text;
            bool ok;
            float value;
        };
        for (const Case c :
             {Case{" 12.5 ", true, 12.5f}, Case{"-3", true, -3.0f}, Case{"abc", false, -3.0f},
              Case{"", false, -3.0f}, Case{"1e999", false, -3.0f}, Case{"4.5x", false, -3.0f}}) {
            boxes.Clear();
            page.SetDlgItemText(1004, c.text);
            EXPECT_EQ(page.UpdateData(TRUE), c.ok ? TRUE : FALSE) << c.text;
            EXPECT_FLOAT_EQ(lat, c.value) << c.text;
            if (c.ok)
                EXPECT_TRUE(boxes.shown().empty()) << c.text;
            else
                EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Please enter a number."})
                    << c.text;
        }
        page.SetDlgItemText(1004, "1");
        page.SetDlgItemText(1010, "2.5");
        boxes.Clear();
        EXPECT_EQ(page.UpdateData(TRUE), FALSE);
        EXPECT_EQ(count, 7);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Please enter an integer."});
    });
}

TEST(DialogHost, ContextMenuRequestsReachTheHook) {
    QPoint asked(-1, -1);
    Host::Instance().SetContextMenuHandler([&](QPoint p) { asked = p; });
    CountingPage page;
    WithOpenPage(page, [&] {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 20), QPoint(110, 220));
        QApplication::sendEvent(page.Widget(), &e);
        EXPECT_EQ(asked, QPoint(110, 220));
    });
    Host::Instance().SetContextMenuHandler({});
}

}  // namespace

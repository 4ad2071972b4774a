#pragma once
// A screen test that walks through pages: each body runs once its screen shows; the wire reads
// as one string (lines with their CR LF, pauses as "~<ms>"), message boxes as lines of text.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "engine/gps.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "shell/BaseDialog.h"
#include "shell/DiffSource.h"
#include "shell/FileOpenDlg.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace shelltest {

class WalkTest : public ScreenTest {
protected:
    // A body and what it waits for: a screen shown, or a page of type T on top (Top<T>()).
    struct Step {
        Step(eScreen s, std::function<void()> b) : screen(s), body(std::move(b)) {}
        Step(std::function<bool()> r, std::function<void()> b)
            : ready(std::move(r)), body(std::move(b)) {}
        eScreen screen = SCR_COUNT;
        std::function<bool()> ready;
        std::function<void()> body;
    };
    template <class T>
    static std::function<bool()> Top() {
        return [] { return dynamic_cast<T*>(ui::Host::Instance().TopPage()) != nullptr; };
    }
    // Opens the first step's screen; every loop ends at the end of the last body (a body that
    // opens a loop returns only when that loop ends, while the next steps run in it).
    void Walk(const std::vector<Step>& steps) {
        Open(steps.front().screen);
        ui::StepRunner run;
        for (size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].ready) run.AddWait(steps[i].ready, 5000, [] { ADD_FAILURE() << "page"; });
            if (!steps[i].ready) WaitShown(run, steps[i].screen);
            run.Add([this, body = steps[i].body, last = i + 1 == steps.size()] {
                body();
                if (last) EndAll();
            });
        }
        Run(run);
    }
    std::string Sent() const {
        std::string s;
        for (const std::string& e : Wire()) s += e;
        return s;
    }
    std::string TickSent(ui::UINT timer = 1) {
        ClearWire();
        Tick(timer);
        return Sent();
    }
    std::string ClickSent(int id) {
        ClearWire();
        Click(id);
        return Sent();
    }
    std::string ChooseSent(int id, int item) {
        ClearWire();
        Choose(id, item);
        return Sent();
    }
    // What leaving the page on top sends.
    std::string LeaveSent() {
        ClearWire();
        Page()->OnCancel();
        return Sent();
    }
    // What a click sends, then the message boxes it showed.
    std::string Press(int id) {
        const std::string sent = ClickSent(id);
        return sent + Told();
    }
    // The message boxes shown since the last call, each text ending in "|".
    std::string Told() {
        std::string s;
        for (const std::string& t : boxes.texts()) s += t + "|";
        boxes.Clear();
        return s;
    }
    // A list's or combo's items joined by "|".
    std::string Items(int id) const {
        std::string s;
        for (int i = 0; i < Page()->GetCount(id); ++i)
            s += (i ? "|" : "") + Page()->GetLBText(id, i);
        return s;
    }
    // Replaces what an edit or an editable combo holds, as typing over a selection does.
    void Retype(int id, const std::string& text) {
        QWidget* w = Page()->GetDlgItem(id);
        if (auto* c = qobject_cast<QComboBox*>(w)) w = c->lineEdit();
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        if (text.empty()) ui::UserKey(w, Qt::Key_Delete);
        if (!text.empty()) Type(id, text);
    }
    // Clicks a file of the file browser's list by its name (none: a default name), then OK.
    static void PickFile(const std::string& name) {
        if (!name.empty()) {
            auto* browser = dynamic_cast<CFileOpenDlg*>(ui::Host::Instance().TopPage());
            auto* list = browser->Item<QTreeWidget>(1001);
            const auto items = list->findItems(QString::fromStdString(name), Qt::MatchExactly, 0);
            ASSERT_EQ(items.size(), 1) << name;
            ui::UserClick(list->viewport(), list->visualItemRect(items[0]).center());
        }
        ui::UserClickDesign(81, 430);
    }
    void SelectTab(int tabId, int index) {
        ASSERT_TRUE(ui::UserSelectTab(Page()->GetDlgItem(tabId), index));
        ui::ProcessPending();
    }
    // A pixel of the page as the user sees it: background, pictures and controls together.
    ui::Rgb PagePixel(ui::Point at) const {
        const QRgb p = Page()->Widget()->grab().toImage().pixel(at.x, at.y);
        return {uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))};
    }
    // The value labels of a strip chart's grid, top to bottom.
    std::string ValueLabels() const { return Texts({1157, 1158, 1159, 1160, 1161}); }

    // A clock whose pause after a command in `answers` first runs that answer, as the reader
    // thread takes the receiver's reply while the sender waits.
    struct AnsweringClock : platform::Clock {
        explicit AnsweringClock(WalkTest* test) : t(test) {}
        uint32_t Now() override { return t->clock.Now(); }
        void Sleep(uint32_t ms) override {
            const std::vector<std::string> wire = t->Wire();
            if (!wire.empty())
                if (auto a = answers.find(wire.back()); a != answers.end()) a->second();
            t->clock.Sleep(ms);
        }
        WalkTest* t;
        std::map<std::string, std::function<void()>> answers;
    };

    ui::MessageBoxRecorder boxes;
};

}  // namespace shelltest

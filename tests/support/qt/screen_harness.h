#pragma once
// A screen test: the program headless at a scale, a recording fake port as COM1, a virtual
// clock, the record reset, every screen registered, the keep-alive poll quiet. Steps run inside
// the screen's modal loop; the helpers act as the user would on the page shown.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/ScreenRegistry.h"
#include "support/fake_serial.h"
#include "support/qt/shell_harness.h"
#include "support/virtual_clock.h"
#include "ui/automation.h"
#include "ui/types.h"

class CBaseDialog;

namespace ui {
class Canvas;
class Dialog;
}  // namespace ui

namespace shelltest {

// Written lines and pauses in the order they happened: each line with its CR LF, each
// pause as "~<ms>".
class WireLog : private testsupport::Guarded {
public:
    void Write(std::string_view bytes) {
        Locked([&] {
            for (char c : bytes)
                if ((partial_ += c).back() == '\n') events_.push_back(std::exchange(partial_, {}));
        });
    }
    void Pause(uint32_t ms) {
        Locked([&] {
            if (!partial_.empty()) events_.push_back(std::exchange(partial_, {}));
            events_.push_back("~" + std::to_string(ms));
        });
    }
    std::vector<std::string> Events() const {
        return Locked([&] {
            std::vector<std::string> out = events_;
            if (!partial_.empty()) out.push_back(partial_);
            return out;
        });
    }
    void Clear() {
        Locked([&] { events_.clear(), partial_.clear(); });
    }

private:
    std::vector<std::string> events_;
    std::string partial_;
};

class ScreenTest : public ::testing::Test {
protected:
    class WireDevice : public testsupport::FakeSerialDevice {
    public:
        explicit WireDevice(WireLog& log) : log_(log) {}
        long Write(const void* buf, size_t len) override {
            const long n = FakeSerialDevice::Write(buf, len);
            if (n > 0) log_.Write({static_cast<const char*>(buf), static_cast<size_t>(n)});
            return n;
        }

    private:
        WireLog& log_;
    };
    class WireClock : public testsupport::InstalledVirtualClock {
    public:
        explicit WireClock(WireLog& log) : log_(log) {}
        void Sleep(uint32_t ms) override {
            InstalledVirtualClock::Sleep(ms);
            log_.Pause(ms);
        }

    private:
        WireLog& log_;
    };

    // Starts the program at `scale` with the port open at 57600 baud and nothing written.
    void Start(double scale = 1.0);
    void TearDown() override;

    // Keeps the base's keep-alive poll out of the wire the test asserts.
    void QuietPoll();

    // The screen Run opens (built now).
    CBaseDialog* Open(eScreen screen);
    // Runs the steps inside the opened screen's loop; the last step must call EndAll.
    void Run(ui::StepRunner& run);
    // A step that waits until the screen is shown.
    void WaitShown(ui::StepRunner& run, eScreen screen);
    void EndAll();
    // Opens the screen (after Start), runs `body` once it is shown, then ends every loop.
    template <class Body>
    void OnScreen(eScreen screen, Body body) {
        Open(screen);
        ui::StepRunner run;
        WaitShown(run, screen);
        run.Add([this, body] {
            body();
            EndAll();
        });
        Run(run);
    }

    // The page the user sees: the topmost visible page, else the opened screen.
    ui::Dialog* Page() const;
    template <class T>
    T* As(eScreen screen) const {
        return dynamic_cast<T*>(ScreenIfBuilt(screen));
    }

    // A control's text as shown (an edit's own text, else the control text).
    std::string Text(int id) const;
    // The texts of several controls joined by "|", so a table row can hold a whole read-out.
    std::string Texts(std::initializer_list<int> ids) const;
    // Chooses a combo item, clicks or types on a control the user can reach (a failure
    // otherwise); pending notifications have run when they return.
    void Choose(int comboId, int index);
    void Click(int id);
    void Type(int editId, const std::string& text);
    // One tick of a running timer of the page.
    void Tick(ui::UINT timerId = 1);

    // An NMEA sentence body ("GPGGA,...") with "$", checksum and CR LF through the
    // dispatcher; a "$BIN" frame of the data through the binary decoder. Their results.
    bool Feed(const std::string& sentenceBody);
    bool FeedBin(int messageId, const std::string& data);

    // The wire since the start or the last ClearWire.
    std::vector<std::string> Wire() const { return wire_.Events(); }
    void ClearWire();

    // A pixel of a control as shown on screen, or of an off-screen canvas.
    ui::Rgb Pixel(int controlId, int x, int y) const;
    static ui::Rgb Pixel(const ui::Canvas& canvas, int x, int y);
    // Saves the host window when TESSARAY_PC_SHOTS is set.
    void Shot(const std::string& name) const { shelltest::Shot(name); }

    WireLog wire_;
    WireDevice fake{wire_};
    WireClock clock{wire_};

private:
    eScreen opened_ = SCR_COUNT;
    bool finished_ = false;
};

}  // namespace shelltest

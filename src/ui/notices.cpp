#include "ui/notices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <utility>

#include "platform/notify.h"
#include "ui/messagebox.h"

namespace ui {

namespace {

// Notice boxes open now (interface thread only), and the loop that waits for them to close
// before the process ends.
int g_open = 0;
QEventLoop* g_waiting = nullptr;

// Lives on the user-interface thread; only touched there. A box never waits inside the code
// that raised it: it opens and the loop that ran goes on, so pages keep running in their own
// loops and the box closes on its answer; the next notice opens then.
class NoticeQueue : public std::enable_shared_from_this<NoticeQueue> {
public:
    explicit NoticeQueue(NoticeOptions options) : options_(std::move(options)) {
        if (!options_.clock) {
            options_.clock = [] {
                using namespace std::chrono;
                return static_cast<std::uint32_t>(
                    duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
            };
        }
    }

    void Add(std::string text) {
        // Raised again while the user has not yet answered it: it is on its way already.
        if ((showing_ && text == shown_) ||
            std::find(pending_.begin(), pending_.end(), text) != pending_.end())
            return;
        pending_.push_back(std::move(text));
        ShowNext();
    }

private:
    void ShowNext() {
        // An answer given at once comes back in here; the loop below goes on with the rest.
        if (draining_) return;
        draining_ = true;
        while (!showing_ && !pending_.empty()) {
            std::string next = std::move(pending_.front());
            pending_.pop_front();
            const std::uint32_t now = options_.clock();
            auto it = lastShown_.find(next);
            if (it != lastShown_.end() && now - it->second < options_.repeatWindowMs) continue;
            lastShown_[next] = now;
            showing_ = true;
            shown_ = next;
            ++g_open;
            OpenMessageBox(next, MB_OK | MB_ICONEXCLAMATION,
                           [self = shared_from_this()](int) { self->Closed(); });
        }
        draining_ = false;
    }

    void Closed() {
        showing_ = false;
        --g_open;
        ShowNext();
        if (g_open == 0 && g_waiting) g_waiting->quit();
    }

    NoticeOptions options_;
    std::deque<std::string> pending_;
    std::map<std::string, std::uint32_t> lastShown_;
    bool showing_ = false;
    std::string shown_;  // the text of the box open now
    bool draining_ = false;
};

// The notices' own receiver on the interface thread, so that they can be delivered ahead of
// everything else the event loop holds.
QPointer<QObject> g_target;

QObject* Target() {
    if (!g_target) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return nullptr;
        g_target = new QObject(app);
    }
    return g_target.data();
}

}  // namespace

std::function<void(std::string)> MakeNoticeSink(NoticeOptions options) {
    auto queue = std::make_shared<NoticeQueue>(std::move(options));
    QPointer<QObject> target = Target();
    return [queue, target](std::string text) {
        if (!target) return;
        // Posting is safe from any thread; the call runs on the thread the target lives in.
        QMetaObject::invokeMethod(
            target.data(), [queue, t = std::move(text)]() mutable { queue->Add(std::move(t)); },
            Qt::QueuedConnection);
    };
}

void ShowPendingNotices() {
    if (!g_target) return;
    QCoreApplication::sendPostedEvents(g_target.data(), QEvent::MetaCall);
    if (g_open == 0) return;
    QEventLoop loop;
    QEventLoop* const outer = std::exchange(g_waiting, &loop);
    loop.exec();
    g_waiting = outer;
}

void InstallNoticeSink(NoticeOptions options) {
    platform::SetNotifySink(
        [sink = MakeNoticeSink(std::move(options))](const std::string& text) { sink(text); });
}

}  // namespace ui

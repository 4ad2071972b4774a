#include "ui/notices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <chrono>
#include <deque>
#include <map>
#include <memory>

#include "platform/notify.h"
#include "ui/messagebox.h"

namespace ui {

namespace {

// Lives on the user-interface thread; only touched there.
class NoticeQueue {
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
        pending_.push_back(std::move(text));
        // A box already open runs its own loop; it drains the queue when it closes.
        if (showing_) return;
        showing_ = true;
        while (!pending_.empty()) {
            std::string next = std::move(pending_.front());
            pending_.pop_front();
            const std::uint32_t now = options_.clock();
            auto it = lastShown_.find(next);
            if (it != lastShown_.end() && now - it->second < options_.repeatWindowMs) continue;
            lastShown_[next] = now;
            MessageBox(next, MB_OK | MB_ICONEXCLAMATION);
        }
        showing_ = false;
    }

private:
    NoticeOptions options_;
    std::deque<std::string> pending_;
    std::map<std::string, std::uint32_t> lastShown_;
    bool showing_ = false;
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
}

void InstallNoticeSink(NoticeOptions options) {
    platform::SetNotifySink(
        [sink = MakeNoticeSink(std::move(options))](const std::string& text) { sink(text); });
}

}  // namespace ui

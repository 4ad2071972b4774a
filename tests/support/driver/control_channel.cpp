#include "support/driver/control_channel.h"

#include <cxxabi.h>
#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QSocketNotifier>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <typeinfo>
#include <vector>

#include "shell/NavBar.h"
#include "ui/automation.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

#ifdef TESSARAY_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace driver {

void WriteCoverage() {
#ifdef TESSARAY_COVERAGE
    __gcov_dump();
#endif
}

namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return out;
}

std::string ClassName(const ui::Dialog& d) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(d).name(), nullptr, nullptr, &status);
    std::string out = status == 0 && name ? name : typeid(d).name();
    std::free(name);
    const size_t colon = out.rfind("::");
    return colon == std::string::npos ? out : out.substr(colon + 2);
}

std::optional<int> ParseInt(const std::string& s) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || errno != 0) return std::nullopt;
    return static_cast<int>(v);
}

// The ink of a label's text, in the page's coordinates; a text of several lines (or wrapped)
// by its cells.
QRect TextRect(const QLabel& label) {
    const QFontMetrics fm(label.font());
    if (label.wordWrap()) {
        const int flags = static_cast<int>(label.alignment()) | Qt::TextWordWrap;
        return fm.boundingRect(label.contentsRect(), flags, label.text()).translated(label.pos());
    }
    const QRect cell = QStyle::alignedRect(label.layoutDirection(), label.alignment(),
                                           fm.size(0, label.text()), label.contentsRect());
    if (label.text().contains('\n')) return cell.translated(label.pos());
    return fm.tightBoundingRect(label.text())
        .translated(cell.left(), cell.top() + fm.ascent())
        .translated(label.pos());
}

// The frame of a group box, in the page's coordinates: below its title, when it has one.
QRect FrameRect(const QGroupBox& box) {
    QRect frame = box.geometry();
    if (box.title().isEmpty()) return frame;
    QStyleOptionGroupBox opt;
    opt.initFrom(&box);
    opt.text = box.title();
    opt.textAlignment = box.alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title =
        box.style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &box);
    frame.setTop(box.y() + title.bottom() + 1);
    return frame;
}

// The faults among the page's visible controls (named "id<number>"; the background 1000 and
// the navigation bar 1004 left out). Texts are measured by their ink.
std::string LayoutFaults(const QWidget& page) {
    struct Shown {
        std::string name;
        QRect rect;  // the text's ink for a label, else the control
    };
    std::vector<Shown> shown;
    std::vector<const QGroupBox*> boxes;
    std::string faults;
    auto fault = [&](const std::string& f) { faults += (faults.empty() ? " " : "; ") + f; };
    for (const QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const std::string name = w->objectName().toStdString();
        if (name.size() <= 2 || name.rfind("id", 0) != 0 ||
            name.find_first_not_of("0123456789", 2) != std::string::npos || name == "id1000" ||
            name == "id1004" || !w->isVisibleTo(&page))
            continue;
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
            boxes.push_back(box);
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->text().isEmpty()) continue;
            const QRect text = TextRect(*label);
            // A glyph may reach one pixel past its cell (the left bearing of "T").
            if (!label->geometry().adjusted(-1, -1, 1, 1).contains(text))
                fault(name + " \"" + label->text().toStdString() + "\" clipped");
            shown.push_back({name, text});
        } else {
            shown.push_back({name, w->geometry()});
        }
    }
    for (size_t a = 0; a < shown.size(); ++a) {
        for (size_t b = a + 1; b < shown.size(); ++b)
            if (shown[a].rect.intersects(shown[b].rect))
                fault(shown[a].name + " over " + shown[b].name);
        for (const QGroupBox* box : boxes) {
            const QRect frame = FrameRect(*box);
            const QRect& r = shown[a].rect;
            if (frame.contains(r.center()) && !frame.adjusted(1, 1, -1, -1).contains(r))
                fault(shown[a].name + " crosses the frame of " + box->objectName().toStdString());
        }
    }
    return faults;
}

}  // namespace

struct ControlChannel::Impl {
    int listenFd = -1;
    int clientFd = -1;
    std::unique_ptr<QSocketNotifier> listenNotifier;
    std::unique_ptr<QSocketNotifier> clientNotifier;
    std::string pending;
    std::function<std::string(const std::string&)> execute;

    // The message boxes waiting for an answer, the newest (the one on top) last.
    struct Box {
        std::string text;
        unsigned type = 0;
        std::function<void(int)> answer;
    };
    std::vector<Box> boxes;

    void Accept() {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        if (clientFd >= 0) ::close(clientFd);
        clientFd = fd;
        pending.clear();
        clientNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(clientNotifier.get(), &QSocketNotifier::activated,
                         [this] { ReadClient(); });
    }

    void ReadClient() {
        char buf[4096];
        const ssize_t n = ::recv(clientFd, buf, sizeof buf, 0);
        if (n <= 0) {
            clientNotifier.reset();
            ::close(clientFd);
            clientFd = -1;
            return;
        }
        pending.append(buf, static_cast<size_t>(n));
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            // A blocking stream socket: the whole reply goes out or the client is gone.
            const std::string reply = execute(line) + "\n";
            ::send(clientFd, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
    }
};

bool ControlChannel::Listen(const std::string& path) {
    impl_ = std::make_shared<Impl>();
    Impl* impl = impl_.get();
    impl->execute = [this](const std::string& line) { return Execute(line); };
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ::unlink(path.c_str());
    impl->listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl->listenFd < 0 ||
        ::bind(impl->listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(impl->listenFd, 4) != 0) {
        std::fprintf(stderr, "driver: cannot listen on %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    impl->listenNotifier = std::make_unique<QSocketNotifier>(impl->listenFd, QSocketNotifier::Read);
    QObject::connect(impl->listenNotifier.get(), &QSocketNotifier::activated,
                     [impl] { impl->Accept(); });
    // A message box waits until the channel answers it, the channel serving meanwhile; the
    // newest box is the one asked about and answered first.
    ui::SetMessageBoxHook(
        [impl](const std::string& text, unsigned type, const std::function<void(int)>& answer) {
            impl->boxes.push_back({text, type, answer});
        });
    return true;
}

std::string ControlChannel::Execute(const std::string& line) {
    std::istringstream in(line);
    std::string cmd;
    in >> cmd;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    auto later = [](std::function<void()> action) { QTimer::singleShot(0, std::move(action)); };
    const Impl::Box* const box = impl_->boxes.empty() ? nullptr : &impl_->boxes.back();
    ui::Host* const host = ui::Host::Existing();
    ui::Dialog* const top = host ? host->TopPage() : nullptr;

    if (cmd == "top") return top ? "ok " + ClassName(*top) : "ok none";
    if (cmd == "quit") {
        later([] {
            std::fflush(nullptr);
            WriteCoverage();
            std::_Exit(0);
        });
        return "ok";
    }
    if (cmd == "msgbox")
        return box ? "ok " + std::to_string(box->type) + " " + Escape(box->text) : "ok none";
    if (cmd == "answer" && args.size() == 1) {
        static const std::map<std::string, int> names = {
            {"ok", ui::IDOK},       {"cancel", ui::IDCANCEL}, {"abort", ui::IDABORT},
            {"retry", ui::IDRETRY}, {"ignore", ui::IDIGNORE}, {"yes", ui::IDYES},
            {"no", ui::IDNO}};
        const auto name = names.find(args[0]);
        const auto button = name != names.end() ? name->second : ParseInt(args[0]);
        if (!box) return "error no message box";
        if (!button) return "error unknown button " + args[0];
        // Taken off first: the answer may open the next box.
        const std::function<void(int)> answer = std::move(impl_->boxes.back().answer);
        impl_->boxes.pop_back();
        if (answer) answer(*button);
        return "ok";
    }
    if (cmd == "screenshot" && args.size() == 1) {
        if (!host) return "error no window";
        return host->grab().save(QString::fromStdString(args[0])) ? "ok"
                                                                  : "error cannot write " + args[0];
    }
    if (cmd == "nav" && args.size() == 1) {
        const auto row = ParseInt(args[0]);
        if (!row || *row < 1 || *row > kNavRows) return "error row must be 1..7";
        const NavHotSpot& s = kNavHotSpots[static_cast<size_t>(*row - 1)];
        later([s] { ui::UserClickDesign((s.left + s.right) / 2.0, (s.top + s.bottom) / 2.0); });
        return "ok";
    }
    if (cmd == "clickxy" && args.size() == 2) {
        char* endX = nullptr;
        char* endY = nullptr;
        const double x = std::strtod(args[0].c_str(), &endX);
        const double y = std::strtod(args[1].c_str(), &endY);
        if (*endX || *endY) return "error bad point " + args[0] + " " + args[1];
        later([x, y] { ui::UserClickDesign(x, y); });
        return "ok";
    }
    if (!top) return "error no page";
    if (cmd == "layout") return "ok" + Escape(LayoutFaults(*top->Widget()));
    if (cmd == "timer" && args.size() == 1) {
        const auto id = ParseInt(args[0]);
        if (!id || *id <= 0) return "error bad timer " + args[0];
        if (!top->IsTimerRunning(static_cast<ui::UINT>(*id))) return "error no timer " + args[0];
        // The tick may open a loop of its own: it runs after the reply, if the page is still
        // there.
        later([top, id = static_cast<ui::UINT>(*id)] {
            ui::Host* host = ui::Host::Existing();
            if (!host) return;
            const auto& pages = host->Pages();
            if (std::find(pages.begin(), pages.end(), top) != pages.end()) top->FireTimer(id);
        });
        return "ok";
    }
    const auto parsed = args.empty() ? std::nullopt : ParseInt(args[0]);
    const int id = parsed.value_or(0);
    QPointer<QWidget> w = parsed ? top->GetDlgItem(id) : nullptr;
    if (cmd == "get" && args.size() == 1) {
        if (!w) return "error no control " + args[0];
        if (auto* pic = dynamic_cast<ui::Picture*>(w.data()))
            return "ok " + std::to_string(pic->pictureId());
        if (auto* tab = qobject_cast<QTabBar*>(w.data()))
            return "ok " + std::to_string(tab->currentIndex());
        return "ok " + Escape(top->GetDlgItemText(id));
    }
    if (cmd == "state" && args.size() == 1) {
        if (!w) return "error no control " + args[0];
        const bool hasPos =
            qobject_cast<QProgressBar*>(w.data()) || qobject_cast<QSlider*>(w.data());
        const int sel =
            qobject_cast<QTreeWidget*>(w.data()) ? top->GetSelectedRow(id) : top->GetCurSel(id);
        return "ok enabled=" + std::to_string(top->IsItemEnabled(id) ? 1 : 0) +
               " visible=" + std::to_string(top->IsItemVisible(id) ? 1 : 0) +
               " checked=" + std::to_string(top->IsDlgButtonChecked(id)) +
               " sel=" + std::to_string(sel) +
               " pos=" + std::to_string(hasPos ? top->GetPos(id) : 0);
    }
    if ((cmd == "click" && args.size() == 1) || (cmd == "select" && args.size() == 2) ||
        (cmd == "text" && args.size() >= 1) || (cmd == "slide" && args.size() == 2)) {
        if (!w) return "error no control " + args[0];
        if (!top->IsItemVisible(id)) return "error hidden " + args[0];
        if (!top->IsItemEnabled(id)) return "error disabled " + args[0];
    }
    if (cmd == "click" && args.size() == 1) {
        later([w] {
            if (w) ui::UserClick(w);
        });
        return "ok";
    }
    if (cmd == "select" && args.size() == 2) {
        const auto index = ParseInt(args[1]);
        if (!index) return "error bad index " + args[1];
        later([w, i = *index] {
            if (qobject_cast<QComboBox*>(w.data())) {
                ui::UserSelectCombo(w, i);
            } else if (qobject_cast<QTabBar*>(w.data())) {
                ui::UserSelectTab(w, i);
            } else if (auto* list = qobject_cast<QListWidget*>(w.data())) {
                list->setCurrentRow(i);
            }
        });
        return "ok";
    }
    if (cmd == "text") {
        // Everything after the id, blanks included, as typed.
        const size_t at = line.find(args[0], line.find(cmd) + cmd.size()) + args[0].size() + 1;
        std::string text = at < line.size() ? line.substr(at) : std::string();
        // Key by key, each key's queued notifications handled before the next, as a user's
        // separate keystrokes are: a change handler sees every text on the way.
        later([w, text = QString::fromStdString(text)] {
            for (const QChar c : text) {
                if (!w) return;
                ui::UserType(w, QString(c).toStdString());
                QCoreApplication::sendPostedEvents();
            }
        });
        return "ok";
    }
    if (cmd == "slide") {
        const auto pos = ParseInt(args[1]);
        if (!qobject_cast<QSlider*>(w.data())) return "error not a slider " + args[0];
        if (!pos) return "error bad position " + args[1];
        // At once, so a "state" right after it reads the new position.
        ui::UserSlide(w, *pos);
        return "ok";
    }
    return "error unknown command: " + line;
}

}  // namespace driver

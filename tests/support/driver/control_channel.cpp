#include "support/driver/control_channel.h"

#include <cxxabi.h>
#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QComboBox>
#include <QEventLoop>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QSocketNotifier>
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
#include "support/qt/layout_check.h"
#include "ui/automation.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace driver {

namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string ClassName(const ui::Dialog& d) {
    const char* mangled = typeid(d).name();
    int status = 0;
    char* name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string out = status == 0 && name ? name : mangled;
    std::free(name);
    const size_t colon = out.rfind("::");
    return colon == std::string::npos ? out : out.substr(colon + 2);
}

ui::Dialog* TopPage() {
    ui::Host* host = ui::Host::Existing();
    return host ? host->TopPage() : nullptr;
}

std::optional<int> ParseInt(const std::string& s) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || errno != 0) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<int> ParseButton(const std::string& s) {
    static const std::map<std::string, int> names = {
        {"ok", ui::IDOK},       {"cancel", ui::IDCANCEL}, {"abort", ui::IDABORT},
        {"retry", ui::IDRETRY}, {"ignore", ui::IDIGNORE}, {"yes", ui::IDYES},
        {"no", ui::IDNO}};
    if (auto it = names.find(s); it != names.end()) return it->second;
    return ParseInt(s);
}

}  // namespace

struct ControlChannel::Impl {
    int listenFd = -1;
    int clientFd = -1;
    std::unique_ptr<QSocketNotifier> listenNotifier;
    std::unique_ptr<QSocketNotifier> clientNotifier;
    std::string pending;

    // The message box waiting for an answer.
    struct Box {
        std::string text;
        unsigned type = 0;
        std::optional<int> answer;
    };
    Box* box = nullptr;

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

    void ReadClient();
    std::function<std::string(const std::string&)> execute;

    void Send(const std::string& reply) {
        if (clientFd < 0) return;
        const std::string line = reply + "\n";
        size_t done = 0;
        while (done < line.size()) {
            const ssize_t n =
                ::send(clientFd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
    }
};

void ControlChannel::Impl::ReadClient() {
    char buf[4096];
    const ssize_t n = ::recv(clientFd, buf, sizeof buf, 0);
    if (n <= 0) {
        clientNotifier.reset();
        ::close(clientFd);
        clientFd = -1;
        return;
    }
    pending.append(buf, static_cast<size_t>(n));
    size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, eol);
        pending.erase(0, eol + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Send(execute(line));
    }
}

bool ControlChannel::Listen(const std::string& path) {
    impl_ = std::make_shared<Impl>();
    Impl* impl = impl_.get();
    impl->execute = [this](const std::string& line) { return Execute(line); };
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        std::fprintf(stderr, "driver: socket path too long: %s\n", path.c_str());
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
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

    // A message box waits in a loop of its own until the channel answers it; the channel
    // keeps serving meanwhile.
    ui::SetMessageBoxHook([impl](const std::string& text, unsigned type) {
        Impl::Box box{text, type, std::nullopt};
        // A box opened while another waits goes first; the other is answered after it.
        Impl::Box* const outer = impl->box;
        impl->box = &box;
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (box.answer) loop.quit();
        });
        poll.start(5);
        loop.exec();
        impl->box = outer;
        return *box.answer;
    });
    return true;
}

std::string ControlChannel::Execute(const std::string& line) {
    std::istringstream in(line);
    std::string cmd;
    in >> cmd;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    auto later = [](std::function<void()> action) {
        QTimer::singleShot(0, [action = std::move(action)] { action(); });
    };
    ui::Dialog* top = TopPage();
    auto control = [&](const std::string& idText) -> QWidget* {
        const auto id = ParseInt(idText);
        return top && id ? top->GetDlgItem(*id) : nullptr;
    };
    // Why the user could not act on the control, or "" when it can.
    auto unreachable = [&](const std::string& idText) -> std::string {
        QWidget* w = control(idText);
        if (!w) return "error no control " + idText;
        const int id = ui::ControlId(w);
        if (!top->IsItemVisible(id)) return "error hidden " + idText;
        if (!top->IsItemEnabled(id)) return "error disabled " + idText;
        return {};
    };

    if (cmd == "top") return top ? "ok " + ClassName(*top) : "ok none";
    if (cmd == "quit") {
        later([] {
            std::fflush(nullptr);
            WriteCoverage();
            std::_Exit(0);
        });
        return "ok";
    }
    if (cmd == "msgbox") {
        Impl* impl = impl_.get();
        if (!impl->box) return "ok none";
        return "ok " + std::to_string(impl->box->type) + " " + Escape(impl->box->text);
    }
    if (cmd == "answer" && args.size() == 1) {
        Impl* impl = impl_.get();
        const auto button = ParseButton(args[0]);
        if (!impl->box) return "error no message box";
        if (!button) return "error unknown button " + args[0];
        impl->box->answer = *button;
        return "ok";
    }
    if (cmd == "screenshot" && args.size() == 1) {
        ui::Host* host = ui::Host::Existing();
        if (!host) return "error no window";
        return host->grab().save(QString::fromStdString(args[0])) ? "ok"
                                                                  : "error cannot write " + args[0];
    }
    if (cmd == "nav" && args.size() == 1) {
        const auto row = ParseInt(args[0]);
        if (!row || *row < 1 || *row > kNavRows) return "error row must be 1..7";
        const NavHotSpot& s = kNavHotSpots[static_cast<size_t>(*row - 1)];
        const double x = (s.left + s.right) / 2.0;
        const double y = (s.top + s.bottom) / 2.0;
        later([x, y] { ui::UserClickDesign(x, y); });
        return "ok";
    }
    if (cmd == "clickxy" && args.size() == 2) {
        char* end = nullptr;
        const double x = std::strtod(args[0].c_str(), &end);
        const double y = std::strtod(args[1].c_str(), &end);
        later([x, y] { ui::UserClickDesign(x, y); });
        return "ok";
    }
    if (!top) return "error no page";
    if (cmd == "get" && args.size() == 1) {
        QWidget* w = control(args[0]);
        if (!w) return "error no control " + args[0];
        if (auto* pic = dynamic_cast<ui::Picture*>(w)) {
            return "ok " + std::to_string(pic->pictureId());
        }
        if (auto* tab = qobject_cast<QTabBar*>(w))
            return "ok " + std::to_string(tab->currentIndex());
        return "ok " + Escape(top->GetDlgItemText(ui::ControlId(w)));
    }
    if (cmd == "state" && args.size() == 1) {
        QWidget* w = control(args[0]);
        if (!w) return "error no control " + args[0];
        const int id = ui::ControlId(w);
        const bool hasPos = qobject_cast<QProgressBar*>(w) || qobject_cast<QSlider*>(w);
        return "ok enabled=" + std::to_string(top->IsItemEnabled(id) ? 1 : 0) +
               " visible=" + std::to_string(top->IsItemVisible(id) ? 1 : 0) +
               " checked=" + std::to_string(top->IsDlgButtonChecked(id)) + " sel=" +
               std::to_string(qobject_cast<QTreeWidget*>(w) ? top->GetSelectedRow(id)
                                                            : top->GetCurSel(id)) +
               " pos=" + std::to_string(hasPos ? top->GetPos(id) : 0);
    }
    if (cmd == "layout") {
        std::string faults;
        for (const std::string& f : shelltest::LayoutFaults(*top->Widget()))
            faults += (faults.empty() ? " " : "; ") + f;
        return "ok" + Escape(faults);
    }
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
    if (cmd == "slide" && args.size() == 2) {
        if (std::string why = unreachable(args[0]); !why.empty()) return why;
        QPointer<QWidget> w = control(args[0]);
        const auto pos = ParseInt(args[1]);
        if (!qobject_cast<QSlider*>(w.data())) return "error not a slider " + args[0];
        if (!pos) return "error bad position " + args[1];
        // At once, so a "state" right after it reads the new position.
        ui::UserSlide(w, *pos);
        return "ok";
    }
    if (cmd == "click" && args.size() == 1) {
        if (std::string why = unreachable(args[0]); !why.empty()) return why;
        QPointer<QWidget> w = control(args[0]);
        later([w] {
            if (w) ui::UserClick(w);
        });
        return "ok";
    }
    if (cmd == "select" && args.size() == 2) {
        if (std::string why = unreachable(args[0]); !why.empty()) return why;
        QPointer<QWidget> w = control(args[0]);
        const auto index = ParseInt(args[1]);
        if (!index) return "error bad index " + args[1];
        const int i = *index;
        later([w, i] {
            if (!w) return;
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
    if (cmd == "text" && args.size() >= 2) {
        if (std::string why = unreachable(args[0]); !why.empty()) return why;
        QPointer<QWidget> w = control(args[0]);
        const size_t at = line.find(args[0]) + args[0].size() + 1;
        const std::string text = at < line.size() ? line.substr(at) : std::string();
        later([w, text] {
            if (w) ui::UserType(w, text);
        });
        return "ok";
    }
    return "error unknown command: " + line;
}

}  // namespace driver

#include "ui/dialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTextCursor>
#include <QTimerEvent>
#include <QTreeWidget>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "ui/canvas.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"
#include "ui/pictures.h"

namespace ui {

namespace {

Host* g_host = nullptr;
int g_runningLoops = 0;

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string U(const QString& s) {
    return s.toStdString();
}

QIcon IconFor(int iconId) {
    if (!Pictures::Exists(iconId, PictureKind::Icon)) return {};
    return QIcon(
        QPixmap::fromImage(Pictures::RenderSized(iconId, PictureKind::Icon, QSize(32, 32))));
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool ParseInt(std::string_view s, int& out) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return false;
    out = v;
    return true;
}

bool ParseDouble(std::string_view s, double& out) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

std::string FormatG(double v, int precision) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    return ec == std::errc() ? std::string(buf, p) : std::string();
}

// A closed combo is as high as its text needs.
int ComboHeight(QComboBox* combo, int requested) {
    const int natural = combo->sizeHint().height();
    return requested > natural * 2 || requested <= 0 ? natural : requested;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The page widget: forwards the window's events to its dialog.

class Page : public QWidget {
public:
    Page(Dialog* dialog, QWidget* parent) : QWidget(parent), dialog_(dialog) {
        setAutoFillBackground(true);
        setFocusPolicy(Qt::ClickFocus);
    }
    // The dialog object is going away while its window stays (a page whose loop never
    // returned, at the end of the process): events no longer reach it.
    void Detach() { dialog_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (dialog_) dialog_->OnPaint();
    }
    void timerEvent(QTimerEvent* e) override {
        if (dialog_) dialog_->DeliverTimer(e->timerId());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton || !dialog_) {
            QWidget::mousePressEvent(e);
            return;
        }
        UINT flags = MK_LBUTTON;
        if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
        const QPoint p = e->position().toPoint();
        dialog_->QueueMouse(flags, Point{p.x(), p.y()}, false);
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton || !dialog_) {
            QWidget::mouseReleaseEvent(e);
            return;
        }
        UINT flags = 0;
        if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
        const QPoint p = e->position().toPoint();
        dialog_->QueueMouse(flags, Point{p.x(), p.y()}, true);
        e->accept();
    }
    // The second press of a double click is not a new press.
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
    // Enter never closes a page and Escape does nothing.
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                e->accept();
                return;
            default:
                QWidget::keyPressEvent(e);
        }
    }
    void closeEvent(QCloseEvent* e) override {
        // Only a page in a window of its own gets this; host pages close through the host.
        e->ignore();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (dialog_) dialog_->OnClose();
            },
            Qt::QueuedConnection);
    }

private:
    Dialog* dialog_;
};

// ---------------------------------------------------------------------------------------

Host::Host(const QFont& dialogFont) {
    Init(dialogFont);
}

Host::Host() {
    Init(DialogFont());
}

void Host::Init(const QFont& font) {
    if (!g_host) g_host = this;
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Every control is laid out for the dialog font, and the window size follows it; any other
    // default (the desktop's) would not fit the rectangles.
    UseDialogFont(font);
    clientSize_ = ClientSizeFor(font);
    scaleX_ = static_cast<float>(static_cast<double>(clientSize_.width()) / kDesignWidth);
    scaleY_ = static_cast<float>(static_cast<double>(clientSize_.height()) / kDesignHeight);
    setFixedSize(clientSize_);
    setWindowTitle(QStringLiteral("Tessaray PC"));
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(Pictures::Render(216, PictureKind::Icon, 1.0)));
    icon.addPixmap(QPixmap::fromImage(Pictures::Render(128, PictureKind::Icon, 1.0)));
    icon.addPixmap(QPixmap::fromImage(Pictures::Render(128, PictureKind::Icon, 2.0)));
    setWindowIcon(icon);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(22, 25, 30));
    setPalette(pal);
    setAutoFillBackground(true);
}

Host::~Host() {
    if (g_host == this) g_host = nullptr;
}

Host& Host::Instance() {
    if (!g_host) new Host();
    return *g_host;
}

Host* Host::Existing() {
    return g_host;
}

QSize Host::ClientSizeFor(const QFont& font) {
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = std::max(1, (letters / 26 + 1) / 2);
    const int baseY = std::max(1, fm.height());
    // Dialog units to pixels round to nearest, as the dialog manager does.
    return QSize((kDialogUnitsX * baseX + 2) / 4, (kDialogUnitsY * baseY + 4) / 8);
}

Dialog* Host::TopPage() const {
    for (Dialog* d : stack_)
        if (d->IsWindowVisible()) return d;
    return nullptr;
}

void Host::SetContextMenuHandler(std::function<void(QPoint)> handler) {
    contextMenu_ = std::move(handler);
}

void Host::AddPage(Dialog* page) {
    if (std::find(stack_.begin(), stack_.end(), page) == stack_.end()) stack_.push_back(page);
}

void Host::RemovePage(Dialog* page) {
    stack_.erase(std::remove(stack_.begin(), stack_.end(), page), stack_.end());
    Restack();
}

void Host::ForgetPage(Dialog* page) {
    stack_.erase(std::remove(stack_.begin(), stack_.end(), page), stack_.end());
}

void Host::MoveToTop(Dialog* page) {
    stack_.erase(std::remove(stack_.begin(), stack_.end(), page), stack_.end());
    stack_.insert(stack_.begin(), page);
}

void Host::MoveToBottom(Dialog* page) {
    stack_.erase(std::remove(stack_.begin(), stack_.end(), page), stack_.end());
    stack_.push_back(page);
}

void Host::Restack() {
    Dialog* top = TopPage();
    for (Dialog* d : stack_) {
        QWidget* w = d->Widget();
        if (!w) continue;
        if (d == top) {
            w->setGeometry(QRect(QPoint(0, 0), clientSize_));
            w->show();
            w->raise();
        } else {
            w->hide();
        }
    }
    if (top && !isVisible()) show();
}

void Host::closeEvent(QCloseEvent* e) {
    e->ignore();
    Dialog* top = TopPage();
    if (!top || !top->Widget()) return;
    QMetaObject::invokeMethod(
        top->Widget(),
        [top] {
            if (top->IsWindowVisible()) top->OnClose();
        },
        Qt::QueuedConnection);
}

void Host::contextMenuEvent(QContextMenuEvent* e) {
    if (contextMenu_) {
        e->accept();
        contextMenu_(e->globalPos());
    } else {
        QWidget::contextMenuEvent(e);
    }
}

void Host::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (Dialog* top = TopPage())
        top->OnMove(pos().x() + kClientOffset.x, pos().y() + kClientOffset.y);
}

// ---------------------------------------------------------------------------------------

Dialog::Dialog(DialogTemplate tmpl) : tmpl_(std::move(tmpl)), host_(nullptr) {}

Dialog::~Dialog() {
    // Pages normally go when their loop returns. One still here belongs to a loop that never
    // returned and goes with the process; only the links to this object are cut, since Qt
    // may already be shutting down.
    if (Host* host = Host::Existing(); host && host == host_.data()) host->ForgetPage(this);
    if (page_) static_cast<Page*>(page_.data())->Detach();
}

QWidget* Dialog::Widget() const {
    return page_;
}

int Dialog::RunningLoops() {
    return g_runningLoops;
}

bool Dialog::IsLoopRunning() const {
    return loop_ && loop_->isRunning();
}

void Dialog::Create() {
    if (page_) return;
    host_ = &Host::Instance();
    const double sx = host_->fScaleX();
    const double sy = host_->fScaleY();
    if (tmpl_.separateWindow) {
        page_ = new Page(this, nullptr);
        page_->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        page_->setWindowModality(Qt::ApplicationModal);
        page_->setWindowTitle(Q(tmpl_.caption));
        page_->setFixedSize(ScaleX(tmpl_.width, sx), ScaleY(tmpl_.height, sy));
    } else {
        page_ = new Page(this, host_);
        page_->setGeometry(QRect(QPoint(0, 0), host_->ClientSize()));
        page_->hide();
        host_->AddPage(this);
    }
    page_->setObjectName(QStringLiteral("dialog%1").arg(tmpl_.id));
    const auto built = BuildControls(tmpl_.controls, page_, sx, sy,
                                     [this](const Notification& n) { QueueNotification(n); });
    for (QWidget* w : built) {
        const int id = ControlId(w);
        if (id > 0 && !controls_.count(id)) controls_[id] = w;
    }
    // Named "id<n>pane" by the control builder.
    for (QWidget* w : page_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString name = w->objectName();
        bool ok = false;
        const int id = name.startsWith(QLatin1String("id")) && name.endsWith(QLatin1String("pane"))
                           ? name.mid(2, name.size() - 6).toInt(&ok)
                           : 0;
        if (ok && id > 0) panes_[id] = w;
    }
}

void Dialog::Destroy() {
    timers_.clear();
    intervals_.clear();
    controls_.clear();
    panes_.clear();
    if (host_) host_->RemovePage(this);
    QWidget* w = page_;
    page_ = nullptr;
    delete w;
}

int Dialog::DoModal() {
    if (loop_) return -1;
    Create();
    QEventLoop loop;
    loop_ = &loop;
    ended_ = false;
    result_ = IDCANCEL;
    visible_ = true;
    if (tmpl_.separateWindow) {
        page_->show();
    } else {
        host_->MoveToTop(this);
        host_->Restack();
    }
    OnInitDialog();
    if (!ended_) {
        ++g_runningLoops;
        loop.exec();
        --g_runningLoops;
    }
    loop_ = nullptr;
    Destroy();
    return result_;
}

int Dialog::Activate() {
    if (!page_) return DoModal();
    ShowWindow(SW_SHOW);
    return OnInitDialog();
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    visible_ = false;
    if (loop_) loop_->exit(result);
    if (!page_) return;
    if (tmpl_.separateWindow)
        page_->hide();
    else if (host_)
        host_->Restack();
}

// ---------------------------------------------------------------------------------------
// Timers.

UINT Dialog::SetTimer(UINT id, UINT ms) {
    if (!page_) return 0;
    oneShot_.erase(id);
    if (auto it = timers_.find(id); it != timers_.end()) page_->killTimer(it->second);
    // The dialog manager's shortest period. A coarse timer may fire up to 5 % early, and every
    // period and wait the screens give is a minimum.
    const int period = static_cast<int>(std::max<UINT>(ms, 10));
    const int qtId = page_->startTimer(period, Qt::PreciseTimer);
    if (qtId == 0) {
        timers_.erase(id);
        intervals_.erase(id);
        return 0;
    }
    timers_[id] = qtId;
    intervals_[id] = period;
    return id;
}

BOOL Dialog::KillTimer(UINT id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return FALSE;
    if (page_) page_->killTimer(it->second);
    timers_.erase(it);
    intervals_.erase(id);
    oneShot_.erase(id);
    return TRUE;
}

UINT Dialog::SetOneShotTimer(UINT id, UINT ms) {
    const UINT result = SetTimer(id, ms);
    if (result != 0) oneShot_.insert(id);
    return result;
}

std::vector<UINT> Dialog::TimerIds() const {
    std::vector<UINT> ids;
    for (const auto& [id, qt] : timers_) ids.push_back(id);
    return ids;
}

std::vector<Dialog::StoppedTimer> Dialog::StopTimers(const std::vector<UINT>& ids) {
    std::vector<StoppedTimer> stopped;
    for (UINT id : ids) {
        if (!IsTimerRunning(id)) continue;
        stopped.push_back({id, static_cast<UINT>(TimerInterval(id)), oneShot_.count(id) != 0});
        KillTimer(id);
    }
    return stopped;
}

void Dialog::RestartTimers(const std::vector<StoppedTimer>& timers) {
    for (const StoppedTimer& t : timers) {
        if (IsTimerRunning(t.id)) continue;
        if (t.oneShot)
            SetOneShotTimer(t.id, t.ms);
        else
            SetTimer(t.id, t.ms);
    }
}

bool Dialog::IsTimerRunning(UINT id) const {
    return timers_.count(id) != 0;
}

int Dialog::TimerInterval(UINT id) const {
    auto it = intervals_.find(id);
    return it == intervals_.end() ? 0 : it->second;
}

bool Dialog::FireTimer(UINT id) {
    if (!IsTimerRunning(id)) return false;
    // A one-shot timer is over before its handler runs, so the handler may start it again.
    if (oneShot_.count(id)) KillTimer(id);
    OnTimer(id);
    return true;
}

void Dialog::DeliverTimer(int qtTimerId) {
    for (const auto& [id, qt] : timers_) {
        if (qt == qtTimerId) {
            FireTimer(id);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The page window.

BOOL Dialog::ShowWindow(int cmd) {
    const BOOL was = visible_ ? TRUE : FALSE;
    if (!page_) return was;
    switch (cmd) {
        case SW_HIDE:
            visible_ = false;
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
            visible_ = true;
            break;
        default:
            visible_ = true;
            if (!tmpl_.separateWindow && host_) host_->MoveToTop(this);
            break;
    }
    if (tmpl_.separateWindow)
        page_->setVisible(visible_);
    else if (host_)
        host_->Restack();
    return was;
}

BOOL Dialog::EnableWindow(BOOL enable) {
    if (!page_) return FALSE;
    const BOOL wasDisabled = page_->isEnabled() ? FALSE : TRUE;
    page_->setEnabled(enable != FALSE);
    return wasDisabled;
}

bool Dialog::IsWindowEnabled() const {
    return page_ && page_->isEnabled();
}

void Dialog::SetWindowPos(ZOrder z, int x, int y, int cx, int cy, unsigned flags) {
    (void)cx;
    (void)cy;
    if (!page_) return;
    if (!(flags & SWP_NOZORDER) && host_ && !tmpl_.separateWindow) {
        if (z == ZOrder::Top) host_->MoveToTop(this);
        if (z == ZOrder::Bottom) host_->MoveToBottom(this);
    }
    if (flags & SWP_SHOWWINDOW) visible_ = true;
    if (flags & SWP_HIDEWINDOW) visible_ = false;
    QWidget* window = tmpl_.separateWindow ? static_cast<QWidget*>(page_) : host_;
    if (!(flags & SWP_NOMOVE) && window && window->pos() != QPoint(x, y)) window->move(x, y);
    if (tmpl_.separateWindow)
        page_->setVisible(visible_);
    else if (host_)
        host_->Restack();
}

Rect Dialog::GetClientRect() const {
    if (!page_) return {};
    return Rect{0, 0, page_->width(), page_->height()};
}

Rect Dialog::GetWindowRect() const {
    const QWidget* window = tmpl_.separateWindow ? static_cast<QWidget*>(page_) : host_;
    if (!window) return {};
    const QRect r = window->frameGeometry();
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void Dialog::SetWindowText(std::string_view caption) {
    tmpl_.caption = std::string(caption);
    if (tmpl_.separateWindow) {
        if (page_) page_->setWindowTitle(Q(caption));
    } else if (host_) {
        host_->setWindowTitle(Q(caption));
    }
}

void Dialog::Invalidate() {
    if (page_) page_->update();
}

void Dialog::RepaintNow() {
    if (page_ && page_->isVisible()) page_->repaint();
}

// ---------------------------------------------------------------------------------------
// Controls.

QWidget* Dialog::GetDlgItem(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

QWidget* Dialog::PaneOf(int id) const {
    auto it = panes_.find(id);
    return it == panes_.end() ? nullptr : it->second.data();
}

void Dialog::ShowItem(int id, bool show) {
    if (QWidget* w = GetDlgItem(id)) {
        w->setVisible(show);
        if (QWidget* pane = PaneOf(id)) pane->setVisible(show);
    }
}

bool Dialog::IsItemVisible(int id) const {
    const QWidget* w = GetDlgItem(id);
    return w && !w->isHidden();
}

void Dialog::EnableItem(int id, bool enable) {
    if (QWidget* w = GetDlgItem(id)) w->setEnabled(enable);
}

bool Dialog::IsItemEnabled(int id) const {
    const QWidget* w = GetDlgItem(id);
    return w && w->isEnabled();
}

void Dialog::SetItemPos(int id, ZOrder z, int x, int y, int cx, int cy, unsigned flags) {
    QWidget* w = GetDlgItem(id);
    if (!w) return;
    if (auto* combo = qobject_cast<QComboBox*>(w)) cy = ComboHeight(combo, cy);
    QRect g = w->geometry();
    if (!(flags & SWP_NOMOVE)) g.moveTo(x, y);
    if (!(flags & SWP_NOSIZE)) g.setSize(QSize(std::max(0, cx), std::max(0, cy)));
    w->setGeometry(g);
    if (!(flags & SWP_NOZORDER)) {
        if (z == ZOrder::Top) w->raise();
        if (z == ZOrder::Bottom) {
            w->lower();
            FixBaseLayers();
        }
    }
    if (flags & SWP_SHOWWINDOW) w->show();
    if (flags & SWP_HIDEWINDOW) w->hide();
}

Rect Dialog::GetItemRect(int id) const {
    const QWidget* w = GetDlgItem(id);
    if (!w) return {};
    const QRect g = w->geometry();
    return Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void Dialog::SetItemFont(int id, const QFont& font) {
    if (QWidget* w = GetDlgItem(id)) w->setFont(font);
}

void Dialog::FixBaseLayers() {
    if (!page_) return;
    // Bottom to top: background, tab panes, the window copy of the plots, then the controls.
    if (canvasLayer_) canvasLayer_->lower();
    const auto children = page_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (IsBaseLayer(w) && w->objectName().endsWith(QLatin1String("pane"))) w->lower();
    for (QWidget* w : children)
        if (IsBaseLayer(w) && !w->objectName().endsWith(QLatin1String("pane"))) w->lower();
}

void Dialog::SetDlgItemText(int id, std::string_view text) {
    QWidget* w = GetDlgItem(id);
    if (!w) return;
    const QString s = Q(text);
    QSignalBlocker block(w);
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text() != s) l->setText(s);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text() != s) b->setText(s);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (g->title() != s) g->setTitle(s);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != s) e->setText(s);
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        if (pe->toPlainText() != s) pe->setPlainText(s);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        QSignalBlocker blockEdit(c->lineEdit());
        if (c->isEditable()) {
            if (c->currentText() != s) c->setEditText(s);
        } else {
            const int i = c->findText(s, Qt::MatchFixedString);
            if (i >= 0) c->setCurrentIndex(i);
        }
    }
}

std::string Dialog::GetDlgItemText(int id) const {
    const QWidget* w = GetDlgItem(id);
    if (!w) return {};
    if (auto* l = qobject_cast<const QLabel*>(w)) return U(l->text());
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return U(b->text());
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return U(g->title());
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return U(e->text());
    if (auto* pe = qobject_cast<const QPlainTextEdit*>(w)) return U(pe->toPlainText());
    if (auto* c = qobject_cast<const QComboBox*>(w)) return U(c->currentText());
    return {};
}

void Dialog::SetDlgItemInt(int id, int value) {
    SetDlgItemText(id, std::to_string(value));
}

int Dialog::GetDlgItemInt(int id, bool* ok) const {
    int v = 0;
    const bool good = ParseInt(GetDlgItemText(id), v);
    if (ok) *ok = good;
    return good ? v : 0;
}

void Dialog::CheckDlgButton(int id, int state) {
    auto* b = Item<QAbstractButton>(id);
    if (!b) return;
    QSignalBlocker block(b);
    QButtonGroup* group = b->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive) group->setExclusive(false);
    b->setChecked(state != BST_UNCHECKED);
    if (exclusive) group->setExclusive(true);
}

int Dialog::IsDlgButtonChecked(int id) const {
    const auto* b = Item<QAbstractButton>(id);
    return b && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id)
        if (GetDlgItem(id)) CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

int Dialog::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id)
        if (IsDlgButtonChecked(id)) return id;
    return 0;
}

int Dialog::AddString(int id, std::string_view text) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->addItem(Q(text));
        return c->count() - 1;
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->addItem(Q(text));
        return l->count() - 1;
    }
    return CB_ERR;
}

int Dialog::InsertString(int id, int index, std::string_view text) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (index > c->count()) return CB_ERR;
        if (index < 0) index = c->count();
        c->insertItem(index, Q(text));
        return index;
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        if (index > l->count()) return LB_ERR;
        if (index < 0) index = l->count();
        l->insertItem(index, Q(text));
        return index;
    }
    return CB_ERR;
}

int Dialog::DeleteString(int id, int index) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (index < 0 || index >= c->count()) return CB_ERR;
        c->removeItem(index);
        return c->count();
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        if (index < 0 || index >= l->count()) return LB_ERR;
        delete l->takeItem(index);
        return l->count();
    }
    return CB_ERR;
}

void Dialog::ResetContent(int id) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QSignalBlocker blockEdit(c->lineEdit());
        c->clear();
        if (c->isEditable()) c->setEditText(QString());
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->clear();
    }
}

int Dialog::GetCount(int id) const {
    const QWidget* w = GetDlgItem(id);
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->count();
    if (auto* l = qobject_cast<const QListWidget*>(w)) return l->count();
    if (auto* t = qobject_cast<const QTabBar*>(w)) return t->count();
    if (auto* v = qobject_cast<const QTreeWidget*>(w)) return v->topLevelItemCount();
    return CB_ERR;
}

int Dialog::SetCurSel(int id, int index) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QSignalBlocker blockEdit(c->lineEdit());
        if (index < 0 || index >= c->count()) {
            c->setCurrentIndex(-1);
            return CB_ERR;
        }
        c->setCurrentIndex(index);
        return index;
    }
    if (auto* t = qobject_cast<QTabBar*>(w)) {
        const int previous = t->currentIndex();
        if (index < 0 || index >= t->count()) return -1;
        t->setCurrentIndex(index);
        return previous;
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        if (index < 0 || index >= l->count()) {
            l->setCurrentRow(-1);
            return LB_ERR;
        }
        l->setCurrentRow(index);
        return index;
    }
    return CB_ERR;
}

int Dialog::GetCurSel(int id) const {
    const QWidget* w = GetDlgItem(id);
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentIndex();
    if (auto* t = qobject_cast<const QTabBar*>(w)) return t->currentIndex();
    if (auto* l = qobject_cast<const QListWidget*>(w)) return l->currentRow();
    return CB_ERR;
}

std::string Dialog::GetLBText(int id, int index) const {
    const QWidget* w = GetDlgItem(id);
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return index >= 0 && index < c->count() ? U(c->itemText(index)) : std::string();
    if (auto* l = qobject_cast<const QListWidget*>(w))
        return index >= 0 && index < l->count() ? U(l->item(index)->text()) : std::string();
    return {};
}

namespace {

int FindText(const Dialog& d, int id, int start, std::string_view text, Qt::CaseSensitivity cs) {
    const int n = d.GetCount(id);
    if (n <= 0) return CB_ERR;
    const QString wanted = Q(text);
    const int first = start < 0 || start >= n ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        if (Q(d.GetLBText(id, i)).compare(wanted, cs) == 0) return i;
    }
    return CB_ERR;
}

}  // namespace

int Dialog::FindStringExact(int id, int start, std::string_view text) const {
    return FindText(*this, id, start, text, Qt::CaseInsensitive);
}

int Dialog::FindStringExactCase(int id, int start, std::string_view text) const {
    return FindText(*this, id, start, text, Qt::CaseSensitive);
}

bool Dialog::IsComboDroppedDown(int id) const {
    const auto* c = Item<QComboBox>(id);
    return c && c->view() && c->view()->isVisible();
}

void Dialog::AppendViewText(int id, std::string_view utf8) {
    auto* e = Item<QPlainTextEdit>(id);
    if (!e || utf8.empty()) return;
    QString s = Q(utf8);
    s.remove(QLatin1Char('\r'));
    QSignalBlocker block(e);
    QTextCursor end(e->document());
    end.movePosition(QTextCursor::End);
    end.insertText(s);
    e->setTextCursor(end);
    e->ensureCursorVisible();
    QScrollBar* bar = e->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void Dialog::ClearView(int id) {
    if (auto* e = Item<QPlainTextEdit>(id)) {
        QSignalBlocker block(e);
        e->clear();
    }
}

void Dialog::SetViewMaxLines(int id, int n) {
    // One block more than lines: the line being filled (empty after a line end).
    if (auto* e = Item<QPlainTextEdit>(id)) e->setMaximumBlockCount(n > 0 ? n + 1 : 0);
}

int Dialog::InsertItem(int id, int index, std::string_view text) {
    auto* t = Item<QTabBar>(id);
    if (!t) return -1;
    QSignalBlocker block(t);
    if (index < 0 || index > t->count()) index = t->count();
    const int result = t->insertTab(index, Q(text));
    // The strip was sized before it had tabs; grow it to its text so no label is cut.
    const int need = t->sizeHint().height();
    if (t->height() < need) {
        const int grow = need - t->height();
        t->resize(t->width(), need);
        if (QWidget* pane = PaneOf(id)) pane->setGeometry(pane->geometry().adjusted(0, grow, 0, 0));
    }
    return result;
}

void Dialog::DeleteAllItems(int id) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* t = qobject_cast<QTabBar*>(w)) {
        while (t->count() > 0) t->removeTab(t->count() - 1);
    } else if (auto* v = qobject_cast<QTreeWidget*>(w)) {
        v->clear();
    }
}

void Dialog::SetRange(int id, int low, int high) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* p = qobject_cast<QProgressBar*>(w)) {
        const int pos = std::clamp(p->value(), std::min(low, high), std::max(low, high));
        p->setRange(low, std::max(low, high));
        p->setValue(pos);
    } else if (auto* s = qobject_cast<QSlider*>(w)) {
        s->setRange(low, std::max(low, high));
    }
}

int Dialog::SetPos(int id, int pos) {
    QWidget* w = GetDlgItem(id);
    QSignalBlocker block(w);
    if (auto* p = qobject_cast<QProgressBar*>(w)) {
        const int old = p->value();
        // A value outside the range would be ignored by the bar; the control pins it.
        p->setValue(std::clamp(pos, p->minimum(), p->maximum()));
        return old;
    }
    if (auto* s = qobject_cast<QSlider*>(w)) {
        const int old = s->value();
        s->setValue(std::clamp(pos, s->minimum(), s->maximum()));
        return old;
    }
    return 0;
}

int Dialog::GetPos(int id) const {
    const QWidget* w = GetDlgItem(id);
    if (auto* p = qobject_cast<const QProgressBar*>(w)) return p->value();
    if (auto* s = qobject_cast<const QSlider*>(w)) return s->value();
    return 0;
}

int Dialog::SetStep(int id, int step) {
    QWidget* w = GetDlgItem(id);
    if (!w) return 0;
    const QVariant old = w->property("tessarayStep");
    w->setProperty("tessarayStep", step);
    return old.isValid() ? old.toInt() : 10;
}

int Dialog::SetPictureId(int id, int pictureId) {
    auto* p = Item<Picture>(id);
    return p ? p->SetPictureId(pictureId) : 0;
}

int Dialog::GetPictureId(int id) const {
    const auto* p = Item<Picture>(id);
    return p ? p->pictureId() : 0;
}

int Dialog::AddIcon(int id, int iconId) {
    auto* c = Item<IconCombo>(id);
    return c ? c->AddIcon(iconId) : CB_ERR;
}

int Dialog::InsertColumn(int id, int column, std::string_view heading, bool rightAligned,
                         int widthPixels) {
    auto* t = Item<QTreeWidget>(id);
    if (!t || column < 0) return -1;
    if (t->columnCount() <= column) t->setColumnCount(column + 1);
    QTreeWidgetItem* header = t->headerItem();
    header->setText(column, Q(heading));
    header->setTextAlignment(column,
                             (rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    t->setProperty(QStringLiteral("tessarayRight%1").arg(column).toLatin1().constData(),
                   rightAligned);
    t->header()->resizeSection(column, widthPixels);
    return column;
}

int Dialog::InsertListItem(int id, int row, std::string_view text, int iconId) {
    auto* t = Item<QTreeWidget>(id);
    if (!t) return -1;
    QSignalBlocker block(t);
    auto* item = new QTreeWidgetItem;
    item->setText(0, Q(text));
    if (iconId) item->setIcon(0, IconFor(iconId));
    if (row < 0 || row > t->topLevelItemCount()) row = t->topLevelItemCount();
    t->insertTopLevelItem(row, item);
    return row;
}

bool Dialog::SetItemText(int id, int row, int column, std::string_view text) {
    auto* t = Item<QTreeWidget>(id);
    if (!t || row < 0 || row >= t->topLevelItemCount() || column < 0) return false;
    QSignalBlocker block(t);
    QTreeWidgetItem* item = t->topLevelItem(row);
    item->setText(column, Q(text));
    const bool right =
        t->property(QStringLiteral("tessarayRight%1").arg(column).toLatin1().constData()).toBool();
    item->setTextAlignment(column, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return true;
}

std::string Dialog::GetItemText(int id, int row, int column) const {
    const auto* t = Item<QTreeWidget>(id);
    if (!t || row < 0 || row >= t->topLevelItemCount()) return {};
    return U(t->topLevelItem(row)->text(column));
}

int Dialog::GetSelectedRow(int id) const {
    const auto* t = Item<QTreeWidget>(id);
    if (!t) return -1;
    const auto selected = t->selectedItems();
    return selected.isEmpty() ? -1 : t->indexOfTopLevelItem(selected.front());
}

TreeItem* Dialog::InsertTreeItem(int id, std::string_view text, int iconId, int selectedIconId,
                                 TreeItem* parent) {
    auto* t = Item<QTreeWidget>(id);
    if (!t) return nullptr;
    QSignalBlocker block(t);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(t);
    item->setText(0, Q(text));
    QIcon icon = IconFor(iconId);
    if (Pictures::Exists(selectedIconId, PictureKind::Icon))
        icon.addPixmap(QPixmap::fromImage(
                           Pictures::RenderSized(selectedIconId, PictureKind::Icon, QSize(32, 32))),
                       QIcon::Selected);
    item->setIcon(0, icon);
    return item;
}

void Dialog::DeleteChildren(TreeItem* item) {
    if (!item) return;
    QTreeWidget* t = item->treeWidget();
    QSignalBlocker block(t);
    const auto children = item->takeChildren();
    qDeleteAll(children);
}

void Dialog::ExpandTreeItem(int id, TreeItem* item) {
    auto* t = Item<QTreeWidget>(id);
    if (!t || !item) return;
    QSignalBlocker block(t);
    t->expandItem(item);
}

TreeItem* Dialog::GetSelectedTreeItem(int id) const {
    const auto* t = Item<QTreeWidget>(id);
    return t ? t->currentItem() : nullptr;
}

void Dialog::SelectTreeItem(int id, TreeItem* item) {
    auto* t = Item<QTreeWidget>(id);
    if (!t) return;
    QSignalBlocker block(t);
    t->setCurrentItem(item);
}

std::string Dialog::GetTreeItemText(const TreeItem* item) {
    return item ? U(item->text(0)) : std::string();
}

// ---------------------------------------------------------------------------------------
// Data exchange.

void Dialog::DDX_Text(int id, std::string& value) {
    bindings_.push_back({id, [this, id, &value] { SetDlgItemText(id, value); },
                         [this, id, &value] {
                             value = GetDlgItemText(id);
                             return true;
                         }});
}

void Dialog::DDX_Text(int id, int& value) {
    bindings_.push_back({id, [this, id, &value] { SetDlgItemText(id, std::to_string(value)); },
                         [this, id, &value] {
                             int v = 0;
                             if (!ParseInt(GetDlgItemText(id), v)) {
                                 MessageBox("Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
                                 return false;
                             }
                             value = v;
                             return true;
                         }});
}

void Dialog::DDX_Text(int id, float& value) {
    bindings_.push_back({id, [this, id, &value] { SetDlgItemText(id, FormatG(value, 6)); },
                         [this, id, &value] {
                             double v = 0;
                             if (!ParseDouble(GetDlgItemText(id), v) ||
                                 std::fabs(v) > std::numeric_limits<float>::max()) {
                                 MessageBox("Please enter a number.", MB_OK | MB_ICONEXCLAMATION);
                                 return false;
                             }
                             value = static_cast<float>(v);
                             return true;
                         }});
}

void Dialog::DDX_Text(int id, double& value) {
    bindings_.push_back({id, [this, id, &value] { SetDlgItemText(id, FormatG(value, 15)); },
                         [this, id, &value] {
                             double v = 0;
                             if (!ParseDouble(GetDlgItemText(id), v)) {
                                 MessageBox("Please enter a number.", MB_OK | MB_ICONEXCLAMATION);
                                 return false;
                             }
                             value = v;
                             return true;
                         }});
}

void Dialog::DDX_Check(int id, int& value) {
    bindings_.push_back({id, [this, id, &value] { CheckDlgButton(id, value); },
                         [this, id, &value] {
                             value = IsDlgButtonChecked(id);
                             return true;
                         }});
}

void Dialog::DDX_Radio(int firstId, int& value) {
    auto buttons = [this, firstId] {
        QList<QAbstractButton*> list;
        auto* first = Item<QAbstractButton>(firstId);
        if (first && first->group()) list = first->group()->buttons();
        return list;
    };
    bindings_.push_back({firstId,
                         [buttons, &value] {
                             const auto list = buttons();
                             QButtonGroup* group = list.isEmpty() ? nullptr : list.front()->group();
                             if (!group) return;
                             QSignalBlocker block(group);
                             group->setExclusive(false);
                             for (int i = 0; i < list.size(); ++i) list[i]->setChecked(i == value);
                             group->setExclusive(true);
                         },
                         [buttons, &value] {
                             const auto list = buttons();
                             value = -1;
                             for (int i = 0; i < list.size(); ++i)
                                 if (list[i]->isChecked()) value = i;
                             return true;
                         }});
}

void Dialog::DDX_CBIndex(int id, int& value) {
    bindings_.push_back({id, [this, id, &value] { SetCurSel(id, value); },
                         [this, id, &value] {
                             value = GetCurSel(id);
                             return true;
                         }});
}

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    if (!page_) return FALSE;
    for (const Binding& b : bindings_) {
        if (!saveAndValidate) {
            b.toControl();
        } else if (!b.fromControl()) {
            if (QWidget* w = GetDlgItem(b.id)) w->setFocus();
            return FALSE;
        }
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Notifications and mouse.

void Dialog::OnControl(int id, int code, std::function<void()> handler) {
    handlers_[{id, code}].push_back([h = std::move(handler)](const Notification&) { h(); });
}

void Dialog::OnNotify(int id, int code, std::function<void(const Notification&)> handler) {
    handlers_[{id, code}].push_back(std::move(handler));
}

void Dialog::QueueNotification(const Notification& n) {
    if (!page_) return;
    QMetaObject::invokeMethod(
        page_, [this, n] { Dispatch(n); }, Qt::QueuedConnection);
}

void Dialog::Dispatch(const Notification& n) {
    if (!page_ || !visible_ || !page_->isEnabled()) return;
    auto it = handlers_.find({n.id, n.code});
    if (it == handlers_.end()) return;
    // A handler may register more handlers; run the ones present now.
    const auto list = it->second;
    for (const auto& h : list) h(n);
}

void Dialog::QueueMouse(UINT flags, Point point, bool release) {
    QMetaObject::invokeMethod(
        page_,
        [this, flags, point, release] {
            if (!page_ || !visible_ || !page_->isEnabled()) return;
            if (release)
                OnLButtonUp(flags, point);
            else
                OnLButtonDown(flags, point);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------

void Dialog::CopyToWindow(const Canvas& canvas, const Rect& src) {
    CopyToWindow(canvas, src, Point{src.left, src.top});
}

void Dialog::CopyToWindow(const Canvas& canvas, const Rect& src, Point dst) {
    if (!page_) return;
    if (!canvasLayer_) {
        auto* layer = new CanvasView(page_);
        layer->setObjectName(QStringLiteral("canvas"));
        layer->setGeometry(page_->rect());
        layer->show();
        canvasLayer_ = layer;
        FixBaseLayers();
    }
    static_cast<CanvasView*>(canvasLayer_.data())->CopyFrom(canvas.Image(), src, dst);
}

}  // namespace ui

#pragma once

// The dialog framework: one host window that holds every page, and pages that run their own
// modal loops. A page is hidden rather than closed when the user moves on; its loop keeps
// running underneath the next page's loop, and a later visit shows the page again and calls
// its OnInitDialog without a new loop.

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/types.h"

class QEventLoop;
class QTreeWidgetItem;

namespace ui {

class Canvas;
class Dialog;
class Page;

using TreeItem = QTreeWidgetItem;

// The program's one window. Its client area is the design size (370 x 510) times the scale
// the dialog font gives; every page fills it and only the topmost visible page is shown.
class Host : public QWidget {
public:
    static constexpr int kDesignWidth = 370;
    static constexpr int kDesignHeight = 510;
    // Size of a dialog in dialog units; with the font's dialog units it gives the window size.
    static constexpr int kDialogUnitsX = 246;
    static constexpr int kDialogUnitsY = 313;

    explicit Host(const QFont& dialogFont);
    Host();
    ~Host() override;

    // The host the pages use: the first one made (made on first use when none was).
    static Host& Instance();
    static Host* Existing();

    // Client size for a dialog font: 246 x 313 dialog units, a horizontal unit a quarter of
    // the font's average character width and a vertical unit an eighth of its height.
    static QSize ClientSizeFor(const QFont& font);

    float fScaleX() const { return scaleX_; }
    float fScaleY() const { return scaleY_; }
    QSize ClientSize() const { return clientSize_; }

    // Pages in z-order, topmost first.
    const std::vector<Dialog*>& Pages() const { return stack_; }
    // The topmost page that is visible, or null.
    Dialog* TopPage() const;

    // Called with the global position of a context-menu request on any page.
    void SetContextMenuHandler(std::function<void(QPoint)> handler);

    // Offset of the client origin from the frame position as the screens store it.
    static constexpr Point kClientOffset{3, 29};

    void AddPage(Dialog* page);
    void RemovePage(Dialog* page);
    void ForgetPage(Dialog* page);  // without touching any window
    void MoveToTop(Dialog* page);
    void MoveToBottom(Dialog* page);
    // Shows the topmost visible page and hides the others.
    void Restack();

protected:
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void Init(const QFont& font);
    QSize clientSize_;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    std::vector<Dialog*> stack_;
    std::function<void(QPoint)> contextMenu_;
};

class Dialog {
public:
    explicit Dialog(DialogTemplate tmpl);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Builds the page, calls OnInitDialog and runs the page's own loop until EndDialog.
    // Returns the result given to EndDialog, or -1 when the page is already running.
    int DoModal();
    // Ends the page's loop with `result` and hides the page. The loop returns once every
    // loop nested inside it has returned.
    void EndDialog(int result);
    // A later visit: a page whose loop runs is shown again and initialised anew without a
    // new loop; a page never opened runs DoModal. Returns OnInitDialog's result or DoModal's.
    int Activate();
    bool IsLoopRunning() const;
    bool IsCreated() const { return page_ != nullptr; }
    int TemplateId() const { return tmpl_.id; }
    // Number of page loops running in the process.
    static int RunningLoops();

    // Handlers. The defaults act as a plain dialog does.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnTimer(UINT id) { (void)id; }
    virtual void OnPaint() {}
    virtual void OnLButtonDown(UINT flags, Point point) {
        (void)flags;
        (void)point;
    }
    // The left button released over the page itself (not over a control that takes clicks).
    virtual void OnLButtonUp(UINT flags, Point point) {
        (void)flags;
        (void)point;
    }
    virtual void OnMove(int x, int y) {
        (void)x;
        (void)y;
    }
    // The window's close button (and the close box of pages that route it here).
    virtual void OnClose() { OnCancel(); }

    // Timers by the system's own ids. SetTimer on a running id restarts it with the new
    // period and returns the id; 0 when the page does not exist.
    UINT SetTimer(UINT id, UINT ms);
    BOOL KillTimer(UINT id);
    bool IsTimerRunning(UINT id) const;
    int TimerInterval(UINT id) const;
    // Delivers one tick of a running timer now, as its expiry would (for tests and tools
    // that must not wait on the clock). False when the timer is not running.
    bool FireTimer(UINT id);
    // A timer that calls OnTimer(id) once, `ms` from now, and then stops; KillTimer cancels
    // it first. Replaces a timer running under the same id. 0 when the page does not exist.
    UINT SetOneShotTimer(UINT id, UINT ms);
    std::vector<UINT> TimerIds() const;
    // A timer taken off by StopTimers, as RestartTimers starts it again.
    struct StoppedTimer {
        UINT id;
        UINT ms;
        bool oneShot;
    };
    std::vector<StoppedTimer> StopTimers(const std::vector<UINT>& ids);
    // Each with its whole period; an id started anew meanwhile keeps its own.
    void RestartTimers(const std::vector<StoppedTimer>& timers);

    // The page.
    BOOL ShowWindow(int cmd);
    bool IsWindowVisible() const { return visible_; }
    BOOL EnableWindow(BOOL enable);
    bool IsWindowEnabled() const;
    // Z-order and visibility of the page; a move moves the host window (x, y being the
    // frame position, as stored by the move handlers). The size always follows the host.
    void SetWindowPos(ZOrder z, int x, int y, int cx, int cy, unsigned flags);
    Rect GetClientRect() const;
    // The frame rectangle of the window the page lies in.
    Rect GetWindowRect() const;
    void SetWindowText(std::string_view caption);
    void Invalidate();
    // Paints the page at once (before a long blocking pause).
    void RepaintNow();
    QWidget* Widget() const;
    Host& host() const { return *host_; }

    // Controls by id.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    void ShowItem(int id, bool show);
    bool IsItemVisible(int id) const;
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;
    // Places a control in page pixels; ZOrder::Bottom keeps it above the background.
    void SetItemPos(int id, ZOrder z, int x, int y, int cx, int cy, unsigned flags);
    Rect GetItemRect(int id) const;
    void SetItemFont(int id, const QFont& font);

    // Texts are UTF-8.
    void SetDlgItemText(int id, std::string_view text);
    std::string GetDlgItemText(int id) const;
    void SetDlgItemInt(int id, int value);
    int GetDlgItemInt(int id, bool* ok = nullptr) const;

    void CheckDlgButton(int id, int state);
    int IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;

    // Combo boxes and list boxes; SetCurSel and GetCurSel also serve tab controls.
    int AddString(int id, std::string_view text);
    int InsertString(int id, int index, std::string_view text);
    int DeleteString(int id, int index);
    void ResetContent(int id);
    int GetCount(int id) const;
    int SetCurSel(int id, int index);
    int GetCurSel(int id) const;
    std::string GetLBText(int id, int index) const;
    // Case-insensitive whole-text search starting after `start` (-1: from the first item),
    // wrapping around; CB_ERR when absent.
    int FindStringExact(int id, int start, std::string_view text) const;
    // The same search, exact and case-sensitive.
    int FindStringExactCase(int id, int start, std::string_view text) const;
    // Whether a combo's list is dropped down (the user is choosing).
    bool IsComboDroppedDown(int id) const;

    // Read-only text views (Kind::TextView; also multi-line edits). Appending adds the text
    // at the end (CR dropped, LF ends a line) and scrolls to the end without rebuilding
    // what the view holds. With a line limit (0: none) only the last n complete lines and
    // the line being filled are kept.
    void AppendViewText(int id, std::string_view utf8);
    void ClearView(int id);
    void SetViewMaxLines(int id, int n);

    // Tab controls.
    int InsertItem(int id, int index, std::string_view text);
    void DeleteAllItems(int id);  // tabs, list-view rows or tree items

    // Progress bars and sliders. SetPos clamps into the range and returns the old position.
    void SetRange(int id, int low, int high);
    int SetPos(int id, int pos);
    int GetPos(int id) const;
    int SetStep(int id, int step);

    // Pictures.
    int SetPictureId(int id, int pictureId);
    int GetPictureId(int id) const;
    int AddIcon(int id, int iconId);  // icon combo

    // List views (report style).
    int InsertColumn(int id, int column, std::string_view heading, bool rightAligned,
                     int widthPixels);
    int InsertListItem(int id, int row, std::string_view text, int iconId);
    bool SetItemText(int id, int row, int column, std::string_view text);
    std::string GetItemText(int id, int row, int column) const;
    int GetSelectedRow(int id) const;

    // Tree views; icons by id.
    TreeItem* InsertTreeItem(int id, std::string_view text, int iconId, int selectedIconId,
                             TreeItem* parent);
    void DeleteChildren(TreeItem* item);
    void ExpandTreeItem(int id, TreeItem* item);
    TreeItem* GetSelectedTreeItem(int id) const;
    void SelectTreeItem(int id, TreeItem* item);
    static std::string GetTreeItemText(const TreeItem* item);

    // Data exchange: members bound to controls, pushed by UpdateData(FALSE) and read back by
    // UpdateData(TRUE), which refuses a text that is not a number with the standard message.
    void DDX_Text(int id, std::string& value);
    void DDX_Text(int id, int& value);
    void DDX_Text(int id, float& value);
    void DDX_Text(int id, double& value);
    void DDX_Check(int id, int& value);
    void DDX_Radio(int firstId, int& value);
    void DDX_CBIndex(int id, int& value);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Control notifications; they run on a clean stack after the user's action, and not at
    // all while the page is hidden or disabled.
    void OnControl(int id, int code, std::function<void()> handler);
    void OnNotify(int id, int code, std::function<void(const Notification&)> handler);

    // Copies part of an off-screen canvas to the window, at the same place or at `dst`.
    void CopyToWindow(const Canvas& canvas, const Rect& src);
    void CopyToWindow(const Canvas& canvas, const Rect& src, Point dst);

protected:
    const DialogTemplate& Template() const { return tmpl_; }

private:
    friend class Page;
    void Create();
    void Destroy();
    void DeliverTimer(int qtTimerId);
    void Dispatch(const Notification& n);
    void QueueNotification(const Notification& n);
    void QueueMouse(UINT flags, Point point, bool release);
    void FixBaseLayers();

    struct Binding {
        int id;
        std::function<void()> toControl;
        std::function<bool()> fromControl;
    };

    QWidget* PaneOf(int id) const;

    DialogTemplate tmpl_;
    QPointer<Host> host_;
    QPointer<QWidget> page_;  // a Page; child of the host, deleted in Destroy
    QEventLoop* loop_ = nullptr;
    bool visible_ = false;
    bool ended_ = false;
    int result_ = 0;
    std::map<UINT, int> timers_;  // our id -> Qt timer id
    std::map<UINT, int> intervals_;
    std::set<UINT> oneShot_;
    std::map<int, QPointer<QWidget>> controls_;
    // The pane below each tab strip, by the strip's id: found once, as the status lamps are
    // shown or hidden on every refresh.
    std::map<int, QPointer<QWidget>> panes_;
    std::map<std::pair<int, int>, std::vector<std::function<void(const Notification&)>>> handlers_;
    std::vector<Binding> bindings_;
    QPointer<QWidget> canvasLayer_;
};

}  // namespace ui

#pragma once

// Dialog templates as C++ tables, and the widgets they build.

#include <QComboBox>
#include <QImage>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/types.h"

namespace ui {

enum class Kind {
    Static,         // text label; alignment by flag
    Picture,        // shows a picture by id (an icon with Flag::Icon)
    Button,         // push button
    CheckBox,       // auto check box
    Radio,          // auto radio button; Flag::Group starts a group
    GroupBox,       // frame with a title
    Edit,           // single- or multi-line edit
    ComboDropDown,  // combo with an editable field
    ComboDropList,  // combo without one
    Tab,            // tab strip
    ListBox,        // single-selection list of texts
    ListView,       // report list with columns and icons
    TreeView,       // folder tree with icons
    Progress,       // progress bar; Flag::Vertical for a vertical bar
    Slider,         // track bar; Flag::Vertical for a vertical one
    IconCombo,      // drop list whose items are pictures
    RichEdit,       // multi-line plain text editor
    Canvas,         // shows an off-screen image copied into it
    TextView,       // multi-line read-only text that grows at its end (Dialog::AppendViewText)
};

namespace Flag {
inline constexpr unsigned Hidden = 1u << 0;
inline constexpr unsigned Disabled = 1u << 1;
inline constexpr unsigned Vertical = 1u << 2;
inline constexpr unsigned Notify = 1u << 3;  // pictures and statics report clicks
inline constexpr unsigned Multiline = 1u << 4;
inline constexpr unsigned ReadOnly = 1u << 5;
inline constexpr unsigned Password = 1u << 6;
inline constexpr unsigned Group = 1u << 7;  // first control of a radio group
inline constexpr unsigned Center = 1u << 8;
inline constexpr unsigned Right = 1u << 9;
inline constexpr unsigned Border = 1u << 10;  // sunken frame around a static or picture
inline constexpr unsigned Icon = 1u << 11;    // the picture id names an icon
inline constexpr unsigned Bold = 1u << 12;
inline constexpr unsigned VScroll = 1u << 13;
inline constexpr unsigned NoWrap = 1u << 14;  // static text on one line
}  // namespace Flag

struct ControlSpec {
    int id = 0;
    Kind kind = Kind::Static;
    DesignRect rect{};
    std::string text{};  // UTF-8
    unsigned flags = 0;
    int picture = 0;                  // picture id of a picture control
    std::vector<std::string> seed{};  // initial items of a combo or list box
};

struct DialogTemplate {
    int id = 0;
    std::vector<ControlSpec> controls{};
    // Size in design units; a page of the host window always takes the host's client size.
    double width = 370;
    double height = 510;
    // A dialog that opens as a window of its own (the About box) instead of a host page.
    bool separateWindow = false;
    std::string caption = "Tessaray PC";
};

// Which user action a control reports, with the item it concerns where there is one.
struct Notification {
    int id = 0;
    int code = 0;
    QTreeWidgetItem* item = nullptr;  // tree item expanded or selected
    int index = -1;                   // row clicked or changed
};

// Shows a picture by id, scaled to the control. Clicks pass through to the page unless the
// control was made with Flag::Notify.
class Picture : public QWidget {
public:
    Picture(int pictureId, bool icon, QWidget* parent);

    int pictureId() const { return id_; }
    bool isIcon() const { return icon_; }
    // 1 when the picture exists and is shown; 0 leaves the previous picture (also for -1).
    int SetPictureId(int id);
    void setClickHandler(std::function<void()> handler);
    // Called when the left button is released over a picture that reports clicks.
    void setReleaseHandler(std::function<void()> handler);
    // Keeps the drawn picture as an image of the control's size, so a repaint under a
    // changing control on top copies pixels instead of drawing the artwork again. Meant for
    // opaque pictures (a page's background).
    void setKeepRendered(bool keep);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int id_;
    bool icon_;
    std::function<void()> onClick_;
    std::function<void()> onRelease_;
    bool keepRendered_ = false;
    QImage rendered_;  // of picture renderedId_, at the control's size in device pixels
    int renderedId_ = 0;
};

// Shows an image that drawing code copied into it. Painting only copies the cached image,
// so a plot drawn once a second is not redrawn on every expose.
class CanvasView : public QWidget {
public:
    explicit CanvasView(QWidget* parent);

    // Copies the part `src` of `image` to `dst` (pixels of this view).
    void CopyFrom(const QImage& image, const Rect& src, Point dst);
    void Clear();
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QImage image_;
};

// A drop list of pictures (line markers); every item's text is "Sample".
class IconCombo : public QComboBox {
public:
    explicit IconCombo(QWidget* parent);
    // Index of the new item, or -1 when the icon does not exist (nothing is added).
    int AddIcon(int iconId);
    int IconAt(int index) const;
    // Selects the item with this exact text; an unknown text in a non-empty list selects
    // the first item.
    void SelectByText(const std::string& text);
};

// Builds the controls of a template on `page`, scaled by the host's factors, stacked with
// the first control on top as a template stacks them. User actions are reported through
// `notify`; code that changes a control never triggers it. A tab control also gets a pane
// (object name "id<n>pane") that frames the area below its tabs.
std::vector<QWidget*> BuildControls(const std::vector<ControlSpec>& specs, QWidget* page,
                                    double scaleX, double scaleY,
                                    const std::function<void(const Notification&)>& notify);

// Whether a control is one of the page's base layers (the background picture and the panes
// of tab controls), which stay below everything else.
bool IsBaseLayer(const QWidget* control);

// The control's id as set by BuildControl ("id1007" → 1007), or 0.
int ControlId(const QWidget* control);

}  // namespace ui

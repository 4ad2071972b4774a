#pragma once

// The program's pictures by number: backgrounds, navigation bars, lamps, banners, buttons and
// icons. Each is drawn from a descriptor with QPainter, so it is sharp at any scale.
// Bitmaps and icons are numbered separately (bitmap 134 is a lamp, icon 134 a folder).

#include <QImage>
#include <QPainter>
#include <QSize>
#include <optional>
#include <vector>

#include "ui/types.h"

namespace ui {

enum class PictureKind { Bitmap, Icon };

// Named pictures the templates refer to by name rather than number.
inline constexpr int IDB_PAUSE_OFF = 231;  // pause button, shown while running
inline constexpr int IDB_PAUSE_ON = 230;   // resume button, shown while paused
inline constexpr int IDB_North_American_Map = 236;

// Icons of our own for the file browser's list (the other icons carry the system's ids).
inline constexpr int kIconFile = 9001;
inline constexpr int kIconTextFile = 9002;
inline constexpr int kIconBinaryFile = 9003;
inline constexpr int kIconConfigFile = 9004;

// Where the navigation bar and the file browser's banner sit, in design units; their
// pictures are drawn for this rectangle, so the painted buttons lie exactly on the hot spots.
inline constexpr DesignRect kNavBarRect{44, 416, 282, 28};
// The screen area of the background picture and its close box.
inline constexpr DesignRect kScreenRect{44, 60, 282, 385};
inline constexpr DesignRect kCloseBoxRect{298, 80, 16, 16};

// Navigation bars. A picture is fixed by the screen family whose button it highlights, the
// label of the differential button, whether the receiver was found and whether it is a
// heading receiver.
enum class NavFamily {
    Base,
    Gps,
    Beacon,
    LBand,
    Sbas,
    XRef,
    TSpanBase,
    TSpanRover,
    Logs,
    Terminal,
    Heading
};
enum class NavLabel { None, Beacon, LBand, Sbas, External, XRef, TSpanBase, TSpanRover };
enum class NavButton { None, Gps, Diff, Terminal, Logs, Heading, Connect };

struct NavBarPicture {
    int id = 0;
    NavFamily family = NavFamily::Base;
    NavLabel label = NavLabel::None;
    bool found = false;
    bool heading = false;
    NavButton highlighted = NavButton::None;
};

class Pictures {
public:
    static bool Exists(int id, PictureKind kind = PictureKind::Bitmap);
    // Natural size in design units (pixels at scale 1).
    static QSize NaturalSize(int id, PictureKind kind = PictureKind::Bitmap);
    // Draws the picture into `target`; false (nothing drawn) for an unknown id.
    static bool Paint(QPainter& painter, const QRectF& target, int id,
                      PictureKind kind = PictureKind::Bitmap);
    // The picture rendered at `scale` times its natural size (or at `size`).
    static QImage Render(int id, PictureKind kind, double scale);
    static QImage RenderSized(int id, PictureKind kind, QSize size);
    static std::vector<int> Ids(PictureKind kind);
    // A short description for contact sheets and traces.
    static const char* Name(int id, PictureKind kind = PictureKind::Bitmap);

    static std::optional<NavBarPicture> NavBar(int id);
    // The picture a family shows for a label, a found flag and a receiver kind.
    static int NavBarId(NavFamily family, NavLabel label, bool found, bool heading);
    static const std::vector<NavBarPicture>& NavBars();
};

}  // namespace ui

#pragma once
// The navigation bar every screen carries: its hot spots, what each does on which screen
// family, and which picture each family shows for the differential source in use.

#include <array>
#include <cstdint>

#include "ui/types.h"

// The screen families. A family decides which button of the bar is highlighted (and so which
// picture set it shows) and which hot spots act.
enum class ScreenFamily {
    Plain,       // no navigation bar of its own (UpdateNavBar does nothing)
    Main,        // the welcome page: base pictures for sources 0, 1, 2, 4, 6; only the close box
    Startup,     // the start-up dialog: the base set; only the close box
    Gps,         // CGPS_1 .. CGPS_6
    Beacon,      // CBEACON_1 .. CBEACON_3
    LBand,       // CLBND_1 .. CLBND_4
    Sbas,        // CSBAS_1 .. CSBAS_3
    XRef,        // CXREF_1
    TSpanBase,   // TSpanDlg1
    TSpanRover,  // TSpanRover
    Logs,        // CLOGS_1 .. CLOGS_5
    Terminal,    // CTERMINAL_1, CTERMINAL_2
    Heading,     // CHEADING_1 .. CHEADING_3
};

enum class NavAction {
    None,
    GoToGps,
    GoToDiff,
    GoToTerminal,
    GoToLogs,
    GoToHeading,
    GoToStartup,
    CloseBox,
};

// One hot spot in design units; right and bottom edges are outside.
struct NavHotSpot {
    int left;
    int top;
    int right;
    int bottom;
    NavAction action;
};

inline constexpr int kNavRows = 7;
inline constexpr std::array<NavHotSpot, kNavRows> kNavHotSpots{{
    {50, 421, 73, 438, NavAction::GoToGps},
    {82, 421, 109, 438, NavAction::GoToDiff},
    {117, 421, 146, 438, NavAction::GoToTerminal},
    {152, 421, 181, 438, NavAction::GoToLogs},
    {189, 421, 213, 438, NavAction::GoToHeading},
    {277, 421, 300, 438, NavAction::GoToStartup},
    {298, 80, 314, 96, NavAction::CloseBox},
}};

// A hot spot's pixel rectangle (ui::ScaleEdges).
using NavPixelRect = ui::Rect;
NavPixelRect NavRowPixels(int row, float fScaleX, float fScaleY);

// The first row (1..7) whose scaled rectangle holds the pixel (x, y), or 0.
int NavHitRow(int x, int y, float fScaleX, float fScaleY);

// What row (1..7) does on a screen of the family. GoToHeading only on heading receivers.
NavAction NavRowAction(ScreenFamily family, int row, int eReceiverType);

// Rows that leave the logging group (every button but its own and the close box): the
// logging screens first ask about running logs.
bool NavRowAsksAboutLogs(ScreenFamily family, int row);

// The picture and the differential group a family shows.
struct NavBarChoice {
    int iBitmapId;     // 0: the family shows no navigation bar
    int iScreenGroup;  // eScreenGroup
};
NavBarChoice ChooseNavBar(ScreenFamily family, int eCurCorrSource, bool bReceiverFound,
                          bool bHeadingReceiver);

// eScreenGroup: the screen the differential button opens.
enum eScreenGroup : int32_t {
    GROUP_SBAS = 1,
    GROUP_BEACON = 2,
    GROUP_LBND = 3,
    GROUP_GPS = 4,
    GROUP_XREF = 5,
    GROUP_EXTERNAL = 6,
    GROUP_TSPAN_BASE = 7,
    GROUP_TSPAN_ROVER = 8,
};

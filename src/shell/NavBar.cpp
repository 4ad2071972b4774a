#include "shell/NavBar.h"

#include "engine/gps.h"

namespace {

// Picture cells of one source row: other receiver found / not found, heading receiver
// found / not found.
struct NavCells {
    int otherFound;
    int otherLost;
    int headingFound;
    int headingLost;
};

// Source rows in this order; every source not listed uses the SBAS row.
enum NavRow { ROW_NONE, ROW_BEACON, ROW_LBND, ROW_SBAS, ROW_EXT, ROW_XREF, ROW_TSB, ROW_TSR };
constexpr int kSourceRows = 8;
using NavSet = std::array<NavCells, kSourceRows>;

constexpr std::array<int, kSourceRows> kRowGroup{GROUP_GPS,        GROUP_BEACON,     GROUP_LBND,
                                                 GROUP_SBAS,       GROUP_EXTERNAL,   GROUP_XREF,
                                                 GROUP_TSPAN_BASE, GROUP_TSPAN_ROVER};

constexpr NavSet kBaseSet{{
    {295, 286, 289, 280},
    {163, 152, 155, 143},
    {186, 175, 178, 166},
    {205, 141, 199, 189},
    {313, 304, 307, 298},
    {277, 265, 268, 256},
    {358, 347, 350, 339},
    {380, 369, 372, 361},
}};

constexpr NavSet kGpsSet{{
    {291, 282, 290, 281},
    {159, 147, 158, 146},
    {180, 168, 179, 167},
    {200, 191, 142, 190},
    {309, 300, 308, 299},
    {273, 260, 272, 259},
    {354, 343, 353, 342},
    {376, 365, 375, 364},
}};

constexpr NavSet kLogsSet{{
    {294, 285, 293, 284},
    {162, 151, 161, 150},
    {185, 174, 184, 173},
    {203, 194, 202, 193},
    {312, 303, 311, 302},
    {276, 263, 275, 262},
    {357, 346, 356, 345},
    {379, 368, 378, 367},
}};

constexpr NavSet kTerminalSet{{
    {297, 288, 296, 287},
    {165, 154, 164, 153},
    {188, 177, 187, 176},
    {209, 198, 208, 197},
    {315, 306, 314, 305},
    {279, 267, 278, 266},
    {360, 349, 359, 348},
    {382, 371, 381, 370},
}};

// The heading screens exist only for heading receivers, so both kinds show the same picture.
constexpr NavSet kHeadingSet{{
    {292, 283, 292, 283},
    {160, 149, 160, 149},
    {181, 169, 181, 169},
    {201, 192, 201, 192},
    {310, 301, 310, 301},
    {274, 261, 274, 261},
    {355, 344, 355, 344},
    {377, 366, 377, 366},
}};

constexpr NavSet WithRow(NavSet set, int row, NavCells cells) {
    set[row] = cells;
    return set;
}

constexpr NavSet kBeaconSet = WithRow(kBaseSet, ROW_BEACON, {157, 145, 156, 144});
constexpr NavSet kLBandSet = WithRow(kBaseSet, ROW_LBND, {183, 172, 182, 171});
constexpr NavSet kSbasSet = WithRow(kBaseSet, ROW_SBAS, {207, 196, 206, 195});
constexpr NavSet kXRefSet = WithRow(kBaseSet, ROW_XREF, {270, 258, 269, 257});
constexpr NavSet kTSpanBaseSet = WithRow(kBaseSet, ROW_TSB, {352, 341, 351, 340});
constexpr NavSet kTSpanRoverSet = WithRow(kBaseSet, ROW_TSR, {374, 363, 373, 362});

int SourceRow(int source) {
    switch (source) {
        case CORR_NONE:
            return ROW_NONE;
        case CORR_BEACON:
            return ROW_BEACON;
        case CORR_LBND:
            return ROW_LBND;
        case CORR_EXTERNAL:
            return ROW_EXT;
        case CORR_XREF:
            return ROW_XREF;
        case CORR_TSPAN_BASE:
            return ROW_TSB;
        case CORR_TSPAN_ROVER:
            return ROW_TSR;
        default:
            return ROW_SBAS;  // SBAS, RTK, SubSea7 and anything unknown
    }
}

const NavSet* FamilySet(ScreenFamily family) {
    switch (family) {
        case ScreenFamily::Main:
        case ScreenFamily::Startup:
            return &kBaseSet;
        case ScreenFamily::Gps:
            return &kGpsSet;
        case ScreenFamily::Beacon:
            return &kBeaconSet;
        case ScreenFamily::LBand:
            return &kLBandSet;
        case ScreenFamily::Sbas:
            return &kSbasSet;
        case ScreenFamily::XRef:
            return &kXRefSet;
        case ScreenFamily::TSpanBase:
            return &kTSpanBaseSet;
        case ScreenFamily::TSpanRover:
            return &kTSpanRoverSet;
        case ScreenFamily::Logs:
            return &kLogsSet;
        case ScreenFamily::Terminal:
            return &kTerminalSet;
        case ScreenFamily::Heading:
            return &kHeadingSet;
        case ScreenFamily::Plain:
            break;
    }
    return nullptr;
}

}  // namespace

NavPixelRect NavRowPixels(int row, float fScaleX, float fScaleY) {
    const NavHotSpot& spot = kNavHotSpots[static_cast<size_t>(row - 1)];
    return ui::ScaleEdges(spot.left, spot.top, spot.right, spot.bottom, fScaleX, fScaleY);
}

int NavHitRow(int x, int y, float fScaleX, float fScaleY) {
    for (int row = 1; row <= kNavRows; ++row) {
        if (NavRowPixels(row, fScaleX, fScaleY).Contains({x, y})) return row;
    }
    return 0;
}

NavAction NavRowAction(ScreenFamily family, int row, int eReceiverType) {
    if (row < 1 || row > kNavRows) return NavAction::None;
    const NavAction action = kNavHotSpots[static_cast<size_t>(row - 1)].action;
    switch (family) {
        case ScreenFamily::Plain:
            return NavAction::None;
        case ScreenFamily::Main:
        case ScreenFamily::Startup:
            return action == NavAction::CloseBox ? action : NavAction::None;
        case ScreenFamily::Heading:
            if (action == NavAction::GoToHeading) return NavAction::None;
            break;
        case ScreenFamily::Terminal:
            if (action == NavAction::GoToTerminal) return NavAction::None;
            break;
        case ScreenFamily::Logs:
            if (action == NavAction::GoToLogs) return NavAction::None;
            break;
        default:
            break;
    }
    if (action == NavAction::GoToHeading && eReceiverType != RECEIVER_HEADING)
        return NavAction::None;
    return action;
}

bool NavRowAsksAboutLogs(ScreenFamily family, int row) {
    return family == ScreenFamily::Logs && (row == 1 || row == 3 || row == 5);
}

NavBarChoice ChooseNavBar(ScreenFamily family, int eCurCorrSource, bool bReceiverFound,
                          bool bHeadingReceiver) {
    const NavSet* set = FamilySet(family);
    if (!set) return NavBarChoice{0, 0};
    int row = SourceRow(eCurCorrSource);
    // The welcome page knows only these sources; the t-Span ones get the SBAS pictures too.
    if (family == ScreenFamily::Main && (row == ROW_TSB || row == ROW_TSR)) row = ROW_SBAS;
    const NavCells& c = (*set)[static_cast<size_t>(row)];
    int id;
    if (bHeadingReceiver) {
        id = bReceiverFound ? c.headingFound : c.headingLost;
    } else {
        id = bReceiverFound ? c.otherFound : c.otherLost;
    }
    return NavBarChoice{id, kRowGroup[static_cast<size_t>(row)]};
}

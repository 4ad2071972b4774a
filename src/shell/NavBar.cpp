#include "shell/NavBar.h"

#include <optional>

#include "engine/gps.h"
#include "ui/pictures.h"

namespace {

// Source rows in this order; every source not listed uses the SBAS row.
enum NavRow { ROW_NONE, ROW_BEACON, ROW_LBND, ROW_SBAS, ROW_EXT, ROW_XREF, ROW_TSB, ROW_TSR };
constexpr int kSourceRows = 8;

constexpr std::array<int, kSourceRows> kRowGroup{GROUP_GPS,        GROUP_BEACON,     GROUP_LBND,
                                                 GROUP_SBAS,       GROUP_EXTERNAL,   GROUP_XREF,
                                                 GROUP_TSPAN_BASE, GROUP_TSPAN_ROVER};

// The label the differential button of each source row shows.
constexpr std::array<ui::NavLabel, kSourceRows> kRowLabel{
    ui::NavLabel::None,      ui::NavLabel::Beacon,    ui::NavLabel::LBand,
    ui::NavLabel::Sbas,      ui::NavLabel::External,  ui::NavLabel::XRef,
    ui::NavLabel::TSpanBase, ui::NavLabel::TSpanRover};

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

// The picture family of a screen family; nothing for pages that show no bar.
std::optional<ui::NavFamily> PictureFamily(ScreenFamily family) {
    switch (family) {
        case ScreenFamily::Main:
        case ScreenFamily::Startup:
            return ui::NavFamily::Base;
        case ScreenFamily::Gps:
            return ui::NavFamily::Gps;
        case ScreenFamily::Beacon:
            return ui::NavFamily::Beacon;
        case ScreenFamily::LBand:
            return ui::NavFamily::LBand;
        case ScreenFamily::Sbas:
            return ui::NavFamily::Sbas;
        case ScreenFamily::XRef:
            return ui::NavFamily::XRef;
        case ScreenFamily::TSpanBase:
            return ui::NavFamily::TSpanBase;
        case ScreenFamily::TSpanRover:
            return ui::NavFamily::TSpanRover;
        case ScreenFamily::Logs:
            return ui::NavFamily::Logs;
        case ScreenFamily::Terminal:
            return ui::NavFamily::Terminal;
        case ScreenFamily::Heading:
            return ui::NavFamily::Heading;
        case ScreenFamily::Plain:
            break;
    }
    return std::nullopt;
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
    return family == ScreenFamily::Logs && row >= 1 && row <= 6 && row != 4;
}

NavBarChoice ChooseNavBar(ScreenFamily family, int eCurCorrSource, bool bReceiverFound,
                          bool bHeadingReceiver) {
    const std::optional<ui::NavFamily> pictures = PictureFamily(family);
    if (!pictures) return NavBarChoice{0, 0};
    int row = SourceRow(eCurCorrSource);
    // The welcome page knows only these sources; the t-Span ones get the SBAS pictures too.
    if (family == ScreenFamily::Main && (row == ROW_TSB || row == ROW_TSR)) row = ROW_SBAS;
    const int id = ui::Pictures::NavBarId(*pictures, kRowLabel[static_cast<size_t>(row)],
                                          bReceiverFound, bHeadingReceiver);
    return NavBarChoice{id, kRowGroup[static_cast<size_t>(row)]};
}

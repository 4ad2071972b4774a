#pragma once
// The ionosphere map page: switches the receiver's binary SBAS message output on, decodes the
// ionospheric delay corrections (SBAS message type 26) of the received messages into a grid
// of ionospheric grid points, and shows the map with its colour scale and legend. No screen
// opens it.

#include <array>
#include <cstdint>
#include <memory>

#include "engine/binaryinfo.h"
#include "shell/BaseDialog.h"

enum : int {
    IDC_SBAS2_TAB = 1029,
    IDC_SBAS2_LEGEND_FIRST = 1008,  // to 1015
    IDC_SBAS2_TEC = 1032,
    IDC_SBAS2_DELAY = 1033,
    IDC_SBAS2_GIVE = 1034,
};

inline constexpr int kIgpBands = 11;
inline constexpr int kIgpBlocks = 14;
inline constexpr int kIgpPerBlock = 15;
inline constexpr int kIgpSlots = kIgpBlocks * kIgpPerBlock;
inline constexpr int32_t kIgpUnused = 360;

struct IonoGridPoint {
    int32_t iLat = kIgpUnused;  // whole degrees
    int32_t iLon = kIgpUnused;
    float fDelay = 0.0f;  // vertical delay, metres
    uint32_t ulGIVEI = 0;
    uint32_t bValid = 0;
};

using IonoGrid = std::array<std::array<IonoGridPoint, kIgpSlots>, kIgpBands>;

// Every point at its place in the standard's band definitions, no delays.
void InitIonoGrid(IonoGrid& grid);

// Stores the fifteen delays and GIVE indicators of one type-26 message (eight words, the
// message bits from the first word's most significant bit on). False, and nothing stored,
// for another message type or a band or block the grid has no place for.
bool DecodeIonoMessage(const uint32_t (&words)[8], IonoGrid& grid);

namespace ui {
class Canvas;
}

class CSBAS_2 : public CBaseDialog {
public:
    CSBAS_2();
    ~CSBAS_2() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void DecodeIonoGrid();
    void DrawIonoMap();

    const IonoGrid& Grid() const { return grid_; }
    // The map as last drawn; null before the first redraw.
    const ui::Canvas* MapCanvas() const { return canvas_.get(); }

    int32_t m_iMapSelection = 0;  // 0 TEC, 1 vertical delay, 2 GIVE indicator
    int32_t m_iRedrawCount = 0;

private:
    IonoGrid grid_;
    uint32_t ring_[kBin80Entries][kBin80Words] = {};
    std::unique_ptr<ui::Canvas> canvas_;
};

#include "screens/differential/SBAS_2.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/trace.h"
#include "resources/dlg_sbas2.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"
#include "shell/Tessaray_PC.h"
#include "ui/canvas.h"

namespace {

constexpr ui::UINT kMapTimer = 1;
constexpr ui::UINT kMapMs = 500;
constexpr int kRedrawEvery = 9;  // the map is redrawn on the tick after the counter passes this
constexpr int kRateOn = 2;
constexpr int kRateOff = 0;
constexpr int kBinSbas = 80;
constexpr int kBinIono = 99;
constexpr uint32_t kTypeMask = 0xFC0000;
constexpr uint32_t kType26 = 0x680000;

constexpr const char* kLegends[3][8] = {
    {"0", "10", "20", "30", "40", "50", "60", "70"},
    {"0.0", "2.0", "4.0", "6.0", "8.0", "10.0", "12.0", "14.0"},
    {"0", "2", "4", "6", "8", "10", "12", "14"},
};

constexpr int kScaleSteps = 209;

// Colour of a step of the colour scale; the left half runs from blue to green, the right
// half from red to green.
ui::Rgb ScaleColour(int step) {
    const int v = -31200 + 300 * step;
    if (step < 104) {
        const int c = (v + 31500) / 210;
        return {100, static_cast<uint8_t>((c + 100) % 256), static_cast<uint8_t>(255 - c)};
    }
    const int c = v / 210;
    return {static_cast<uint8_t>((c + 100) % 256), static_cast<uint8_t>(255 - c), 100};
}

// Bits [first, first + count) of the message, the first word's most significant bit being 0.
uint32_t Bits(const uint32_t (&words)[8], int first, int count) {
    uint32_t value = 0;
    for (int bit = first; bit < first + count; ++bit) {
        const uint32_t word = words[bit / 32];
        value = (value << 1) | ((word >> (31 - bit % 32)) & 1u);
    }
    return value;
}

// The points of one band in the standard's order.
std::vector<std::pair<int, int>> BandPoints(int band) {
    std::vector<std::pair<int, int>> pts;
    if (band <= 8) {
        // Forty degrees of longitude in columns 5 degrees apart, each from south to north:
        // 55S..55N every 5 degrees, the columns on a multiple of 10 also at 65 and 75, and four
        // columns around the world at 85N or 85S.
        for (int col = 0; col < 8; ++col) {
            const int lon = -180 + 40 * band + 5 * col;
            const bool even = lon % 10 == 0;
            const bool north85 = (lon + 180) % 90 == 0;
            const bool south85 = (lon + 140) % 90 == 0;
            if (even && south85) pts.push_back({-85, lon});
            if (even) pts.push_back({-75, lon}), pts.push_back({-65, lon});
            for (int lat = -55; lat <= 55; lat += 5) pts.push_back({lat, lon});
            if (even) pts.push_back({65, lon}), pts.push_back({75, lon});
            if (even && north85) pts.push_back({85, lon});
        }
        return pts;
    }
    // Bands 9 (north) and 10 (south): rows from 60 degrees poleward, west to east.
    const int sign = band == 9 ? 1 : -1;
    struct Row {
        int lat, step, start;
    };
    const Row rows[] = {{60, 5, -180},
                        {65, 10, -180},
                        {70, 10, -180},
                        {75, 10, -180},
                        {85, 30, band == 9 ? -180 : -170}};
    for (const Row& r : rows)
        for (int lon = r.start; lon < r.start + 360; lon += r.step)
            pts.push_back({sign * r.lat, lon});
    return pts;
}

}  // namespace

void InitIonoGrid(IonoGrid& grid) {
    for (int band = 0; band < kIgpBands; ++band) {
        const std::vector<std::pair<int, int>> pts = BandPoints(band);
        for (size_t i = 0; i < grid[band].size(); ++i) {
            IonoGridPoint& p = grid[band][i];
            p = IonoGridPoint{};
            if (i < pts.size()) {
                p.iLat = pts[i].first;
                p.iLon = pts[i].second;
            }
        }
    }
}

bool DecodeIonoMessage(const uint32_t (&words)[8], IonoGrid& grid) {
    if ((words[0] & kTypeMask) != kType26) return false;
    // Type 26: band (4 bits), block (4), then fifteen pairs of a 9-bit vertical delay in
    // eighths of a metre and a 4-bit GIVE indicator.
    const uint32_t band = Bits(words, 14, 4);
    const uint32_t block = Bits(words, 18, 4);
    if (band >= kIgpBands || block >= kIgpBlocks) return false;
    for (int j = 0; j < kIgpPerBlock; ++j) {
        IonoGridPoint& p = grid[band][block * kIgpPerBlock + static_cast<uint32_t>(j)];
        p.fDelay = static_cast<float>(Bits(words, 22 + 13 * j, 9)) * 0.125f;
        p.ulGIVEI = Bits(words, 31 + 13 * j, 4);
        p.bValid = 1;
    }
    return true;
}

CSBAS_2::CSBAS_2() : CBaseDialog(Sbas2DialogTemplate(), ScreenFamily::Sbas, SCR_SBAS_2) {
    InitIonoGrid(grid_);
    DDX_Radio(IDC_SBAS2_TEC, m_iMapSelection);
    SetTabScreens(IDC_SBAS2_TAB, {SCR_SBAS_1, SCR_SBAS_2, SCR_SBAS_3});
}

CSBAS_2::~CSBAS_2() = default;

ui::BOOL CSBAS_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_SBAS2_TAB, {"Status", "IONO Map", "Plot"});
        SetPageFont(*this, Sbas2DialogTemplate());
        m_iMapSelection = 1;
        UpdateData(ui::FALSE);
        UpdateStatusStrip();
        InitIonoGrid(grid_);
    }
    SelectOwnTab();
    m_nTimer1 = SetTimer(kMapTimer, kMapMs);
    g_TxNMEA.OutputsOff(false);
    g_TxNMEA.SetBinaryRate(kRateOn, kBinSbas, false);
    g_TxNMEA.SetBinaryRate(kRateOn, kBinIono, false);
    m_iRedrawCount = 0;
    ActivationDone();
    return ui::TRUE;
}

void CSBAS_2::OnCancel() {
    g_TxNMEA.SetBinaryRate(kRateOff, kBinSbas, false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CSBAS_2::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == kMapTimer) {
        UpdateStatusStrip();
        DecodeIonoGrid();
        if (m_iRedrawCount > kRedrawEvery) {
            DrawIonoMap();
            m_iRedrawCount = 0;
        } else {
            ++m_iRedrawCount;
        }
        g_TxNMEA.QueryDiff();
        g_TxNMEA.QueryGeo();
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CSBAS_2::DecodeIonoGrid() {
    // One copy of the ring per pass; a ring not yet valid decodes what was copied before.
    static_assert(kBin80Words == 8);
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        const BinaryInfo& bin = g_GPS.Info.Binary;
        if (bin.bBin80Valid)
            std::copy(&bin.ulBin80Ring[0][0], &bin.ulBin80Ring[0][0] + kBin80Entries * kBin80Words,
                      &ring_[0][0]);
    }
    for (const auto& words : ring_) DecodeIonoMessage(words, grid_);
}

void CSBAS_2::DrawIonoMap() {
    const CTessaray_PCApp& app = theApp();
    const float sx = app.fScaleX;
    const float sy = app.fScaleY;
    auto px = [sx](double x) { return static_cast<int>(x * sx); };
    auto py = [sy](double y) { return static_cast<int>(y * sy); };
    if (!ui::Pictures::Exists(ui::IDB_North_American_Map)) {
        platform::Trace("ERROR: IDB_North_American_Map Could Not Be Loaded!\n");
        return;
    }
    UpdateData(ui::TRUE);
    const int legend = std::clamp(m_iMapSelection, 0, 2);
    for (int i = 0; i < 8; ++i) SetDlgItemText(IDC_SBAS2_LEGEND_FIRST + i, kLegends[legend][i]);

    canvas_ = std::make_unique<ui::Canvas>(px(ui::Host::kDesignWidth), py(ui::Host::kDesignHeight));
    ui::Canvas& canvas = *canvas_;
    canvas.SetSmooth(false);
    const ui::Rect map{px(kIonoMapRect.x), py(kIonoMapRect.y), px(kIonoMapRect.x + kIonoMapRect.w),
                       py(kIonoMapRect.y + kIonoMapRect.h)};
    // Only the map's framed part, from its row 25 down, is shown; the rows above it stay off
    // the window.
    const ui::Rect picture{map.left, py(kIonoMapRect.y - kIonoMapTopRows), map.right,
                           py(kIonoMapRect.y + kIonoMapRect.h)};
    canvas.DrawPicture(ui::IDB_North_American_Map, picture);

    // The colour scale: 209 steps of 300 from -31200, blue to green on the left half and red
    // to green on the right, stretched over the inside of its frame.
    const int top = py(kIonoScaleTop);
    const int bottom = py(kIonoScaleTop + kIonoScaleHeight);
    const int first = px(kIonoScaleLeft) + 1;
    const int last = px(kIonoScaleLeft + kIonoScaleWidth) - 1;
    for (int col = first; col <= last; ++col) {
        const int step = last > first ? (col - first) * (kScaleSteps - 1) / (last - first) : 0;
        canvas.FillRect(ui::Rect{col, top + 1, col + 1, bottom}, ScaleColour(step));
    }
    canvas.SetPen(ui::Rgb{0, 0, 0});
    canvas.SetHollowBrush();
    canvas.Rectangle(px(kIonoScaleLeft), top, last + 2, bottom + 1);

    CopyToWindow(canvas, map);
    CopyToWindow(canvas, ui::Rect{px(kIonoScaleLeft), top, last + 2, bottom + 1});
}

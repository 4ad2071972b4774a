#pragma once
// The strip chart of the plot screens: 150 seconds of a one-hour, once-a-second history ring
// with a time axis, a value axis, a grid, a cursor placed with the "Coarse Track" and
// "Precise Track" sliders, read-outs under the cursor, and a choice of line width and marker.
// It draws once a second into an off-screen canvas and copies its bands to the window, so the
// window repaints the last picture whenever it is exposed.
//
// How a plot screen uses it
// -------------------------
// 1. Describe the plot once (a StripChartSpec, made by a small function of the screen):
//      - series: one StripSeries per curve, each naming its ring in g_GPS.Info
//        (StripRing{.f = info.fHeadingHistory, .index = &info.iHeadingHistoryIndex} or
//        .i = for an i32 ring), its colour, whether it draws with a 1-pixel pen instead of
//        the line-width word, and an optional clamp of the drawn value (the read-out is the
//        screen's and may show the unclamped sample);
//      - plot: the plot band in design units (left, top, right, bottom), margins (2-pixel
//        rows above and below, or none), strict (y0 < y < y1) or inclusive inside test,
//        point order (oldest first, or newest first), and how many rows more than the band's
//        height the copy to the window takes from the top margin down (copyExtraRows);
//      - title: the title band; its texts come with each frame (StripTitlePiece);
//      - the words of the record: line width and marker (member pointers into GPSInfo);
//      - control ids: sliders, six time labels, five value labels, the two time read-outs
//        (0 where the screen has none), the width and marker combos. The defaults are the
//        ids every plot screen uses.
// 2. Members: a StripChart built from that description. In the screen's constructor call
//    Attach(*this) (combo handlers); in OnInitDialog call FirstActivation(*this) on the
//    first activation (slider ranges and positions), then Activate(*this) every time
//    (combos refilled and selected from the record, remembered points cleared).
// 3. Each timer-1 tick: Snapshot() (copies the rings under the record lock; nothing is
//    read from the record while drawing), compute the value scale from the snapshot
//    (RecentMean, Sample, Newest help), fill a StripFrame — series to draw, StripScale
//    (centre and span; wrapDegrees for a compass quantity), five value labels (bottom to
//    top), title pieces — and call Draw(*this, frame). Draw sets the time labels, moves the
//    sliders in step, sets the time read-outs and returns the cursor: the screen formats
//    its value read-outs from Sample(series, cursor.sample).
// 4. Screen-specific bands (a legend, large figures) are drawn by the screen into Canvas()
//    after Draw, then copied with CopyToWindow.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "ui/canvas.h"
#include "ui/dialog.h"

namespace strip {

inline constexpr int kRingSize = kHistorySize;  // 3600 seconds
inline constexpr int kPageSeconds = 150;
inline constexpr int kPoints = kPageSeconds + 1;
inline constexpr double kUnitsPerSecond = 1.173;  // design units along the time axis

// Colours of every chart.
inline constexpr ui::Rgb kPlotBackground{120, 120, 120};
inline constexpr ui::Rgb kGrid = ui::kWhite;
inline constexpr ui::Rgb kCursor{255, 0, 0};
inline constexpr ui::Rgb kCurve = ui::kDarkBlue;
inline constexpr ui::Rgb kFrame = ui::kBlack;
inline constexpr ui::Rgb kOrange = ui::kOrange;

// The page shown: its right edge lies this many seconds before the newest sample.
int PageOffset(int coarse);
// The six time labels in the order of their controls (1151, 1152, 1153, 1155, 1156, 1154).
std::array<std::string, 6> TimeLabels(int pageOffset);

struct Tracks {
    int coarse;
    int precise;
};
// The two sliders kept in step after a move of one of them; lastPrecise is the precise
// slider's position after the previous redraw.
Tracks SyncTracks(int coarse, int precise, int lastPrecise);

// Ring position of the sample under the cursor (coarse 3600 = the newest).
int CursorSample(int coarse, int writeIndex);
// Ring position of point i (0..150, oldest first) of the page.
int WindowSample(int writeIndex, int pageOffset, int i);
// "-%d s" and "-%02d:%02d" of the cursor's age, "Now" for the newest second.
std::string CursorSecondsText(int coarse);
std::string CursorMinutesText(int coarse);

// Mean of the newest `count` samples whose magnitude exceeds minMagnitude; the others are
// left out. An empty window gives 0 with used 0.
struct Mean {
    double value = 0.0;
    int used = 0;
};
Mean RecentMean(const std::vector<double>& ring, int writeIndex, int count, double minMagnitude);

// v - centre brought into (-180, 180].
double WrappedDifference(double v, double centre);

struct StripScale {
    double centre = 0.0;
    double span = 1.0;  // value range of the whole band height
    bool wrapDegrees = false;
};
// Pixel row of a value in the band y0..y1, clamped far enough outside the band that it is
// never drawn and never overflows (NaN falls above the band).
int ValueToY(double v, const StripScale& scale, int y0, int y1);

struct StripRing {
    const float* f = nullptr;
    const int32_t* i = nullptr;
    const int32_t* index = nullptr;
};

struct StripSeries {
    StripRing ring;
    ui::Rgb colour = kCurve;
    bool thinPen = false;  // 1-pixel pen; the marker size still follows the width word
    bool clamp = false;
    double clampLow = 0.0;
    double clampHigh = 0.0;
    // Samples of at most this magnitude stand for seconds without a value and are not drawn;
    // negative: every sample is a value.
    double missingMagnitude = -1.0;
};

struct DesignBand {
    double left = 0, top = 0, right = 0, bottom = 0;
};

struct StripChartSpec {
    std::vector<StripSeries> series;
    DesignBand plot;
    DesignBand title;  // zero size: no title band
    int marginRows = 2;
    bool strictInside = false;
    bool newestFirst = false;
    int copyExtraRows = 0;  // rows below y1 copied to the window (measured from the top margin)
    int32_t GPSInfo::*widthWord = nullptr;
    int32_t GPSInfo::*markerWord = nullptr;
    // Series whose samples of one second all hold exactly 0.0 mark a second without a value
    // in every curve (empty: each series' own missingMagnitude decides alone).
    std::vector<int> noValueWhenAllZero;

    int coarseSlider = 1163;
    int preciseSlider = 1164;
    std::array<int, 6> timeLabels{1151, 1152, 1153, 1155, 1156, 1154};
    std::array<int, 5> valueLabels{1157, 1158, 1159, 1160, 1161};  // bottom to top
    int secondsEdit = 0;
    int minutesEdit = 0;
    int widthCombo = 1035;
    int markerCombo = 1036;
};

struct StripTitlePiece {
    std::string text;
    ui::Rgb colour = kCurve;
    double dx = 0.0;        // from the band's left edge
    bool dxPixels = false;  // dx in unscaled pixels instead of design units
};

struct StripFrame {
    std::vector<int> series;  // indexes into the description's series, drawn in this order
    StripScale scale;
    std::array<std::string, 5> valueLabels;  // bottom to top
    std::vector<StripTitlePiece> title;
};

struct StripCursor {
    int coarse = 0;
    int precise = 0;
    int pageOffset = 0;
    int sample = 0;  // ring position under the cursor
};

class StripChart {
public:
    explicit StripChart(StripChartSpec spec);

    const StripChartSpec& Spec() const { return spec_; }

    // Combo handlers: the width and marker words follow the user's choice.
    void Attach(ui::Dialog& dlg);
    // Sliders to their ranges with the cursor on the newest sample.
    void FirstActivation(ui::Dialog& dlg);
    // Combos refilled and selected from the record; remembered points cleared.
    void Activate(ui::Dialog& dlg);

    // Copies every series' ring and write index under the record lock.
    void Snapshot();
    const std::vector<double>& Ring(int series) const { return rings_[Index(series)]; }
    int WriteIndex(int series) const { return indexes_[Index(series)]; }
    double Sample(int series, int ringPos) const;
    // The sample `back` seconds before the newest.
    double Newest(int series, int back) const;

    // One full redraw from the last snapshot.
    StripCursor Draw(ui::Dialog& dlg, const StripFrame& frame);

    // The work surface (the whole page) and the band edges in pixels of the last redraw.
    ui::Canvas& Canvas() { return canvas_; }
    ui::Rect PlotRect() const { return plot_; }
    // Pixel x of second i of the page (0 = left edge).
    int XOf(int i) const;
    // Design units to pixels of the last redraw's scale.
    int PxX(double x) const;
    int PxY(double y) const;

private:
    size_t Index(int series) const;
    void DrawTitle(ui::Dialog& dlg, const StripFrame& frame);
    void DrawBand();
    void DrawCurve(int series, const StripScale& scale, int width, int marker, int pageOffset);
    bool NoValue(const StripSeries& s, int series, int ringPos) const;
    void ReadWords(int* width, int* marker);

    StripChartSpec spec_;
    ui::Canvas canvas_{1, 1};
    float sx_ = 1.0f;
    float sy_ = 1.0f;
    ui::Rect plot_{};
    int lastPrecise_ = kPageSeconds;
    std::vector<std::vector<double>> rings_;
    std::vector<int> indexes_;
    std::vector<ui::Point> remembered_;
};

}  // namespace strip

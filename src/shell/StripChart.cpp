#include "shell/StripChart.h"

#include <algorithm>
#include <cmath>

#include "platform/numbers.h"
#include "shell/IconComboBox.h"
#include "ui/fonts.h"

namespace strip {

namespace {

constexpr int kCoarseMax = kRingSize;
constexpr int kLastPageOffset = kRingSize - kPageSeconds;  // 3450: the oldest full page
constexpr std::array<const char*, 3> kWidthItems{"1pt", "2pt", "3pt"};
constexpr std::array<unsigned, 3> kMarkerIcons{219, 218, 217};  // dot, diamond, line
constexpr int kMarkerDiamond = 1;
constexpr int kMarkerLine = 2;
constexpr int kDefaultWidth = 2;

int Wrap(int pos) {
    pos %= kRingSize;
    return pos < 0 ? pos + kRingSize : pos;
}

}  // namespace

int PageOffset(int coarse) {
    coarse = std::clamp(coarse, 0, kCoarseMax);
    if (coarse == 0) return kLastPageOffset;
    return ((kCoarseMax - coarse) / kPageSeconds) * kPageSeconds;
}

std::array<std::string, 6> TimeLabels(int pageOffset) {
    std::array<std::string, 6> labels;
    for (int n = 0; n < 5; ++n)
        labels[static_cast<size_t>(n)] = platform::Format("-%d", pageOffset + 150 - 30 * n);
    labels[5] = pageOffset == 0 ? std::string("Now") : platform::Format("-%d", pageOffset);
    return labels;
}

Tracks SyncTracks(int t, int p, int lastPrecise) {
    t = std::clamp(t, 0, kCoarseMax);
    p = std::clamp(p, 0, kPageSeconds);
    const int inPage = t % kPageSeconds;
    if (p == lastPrecise) {
        // Only the coarse track may have moved: the cursor follows it inside its page.
        if (t == 0)
            p = 0;
        else if (inPage == 0)
            p = kPageSeconds;
        else
            p = inPage;
    } else if (p == 0) {
        // Dragged to the left edge: one page back, the cursor stays on the same second.
        if (t >= kPageSeconds) {
            t = inPage == 0 ? t - kPageSeconds : t - inPage;
            p = kPageSeconds;
        } else {
            t = 0;
        }
    } else if (p == kPageSeconds) {
        // Dragged to the right edge: the first second of the next page.
        if (t < kLastPageOffset) {
            t = inPage == 0 ? t + kPageSeconds + 1 : t + kPageSeconds + 1 - inPage;
            p = 1;
        } else {
            t = kCoarseMax;
        }
    } else if (t == 0) {
        t = p;
    } else if (inPage == 0) {
        t = t - kPageSeconds + p;
    } else {
        t = t - inPage + p;
    }
    return Tracks{t, p};
}

int CursorSample(int coarse, int writeIndex) {
    return Wrap(coarse + writeIndex - (kRingSize + 1));
}

int WindowSample(int writeIndex, int pageOffset, int i) {
    return Wrap(writeIndex - pageOffset + i - kPoints);
}

std::string CursorSecondsText(int coarse) {
    if (coarse >= kCoarseMax) return "Now";
    return platform::Format("-%d s", kCoarseMax - coarse);
}

std::string CursorMinutesText(int coarse) {
    if (coarse >= kCoarseMax) return "Now";
    const int age = kCoarseMax - coarse;
    return platform::Format("-%02d:%02d", age / 60, age % 60);
}

Mean RecentMean(const std::vector<double>& ring, int writeIndex, int count, double minMagnitude) {
    Mean m;
    if (ring.size() != static_cast<size_t>(kRingSize)) return m;
    double sum = 0.0;
    for (int back = 1; back <= count; ++back) {
        const double v = ring[static_cast<size_t>(Wrap(writeIndex - back))];
        if (!std::isfinite(v) || std::fabs(v) <= minMagnitude) continue;
        sum += v;
        ++m.used;
    }
    if (m.used > 0) m.value = sum / m.used;
    return m;
}

double WrappedDifference(double v, double centre) {
    double d = std::fmod(v - centre, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

int ValueToY(double v, const StripScale& scale, int y0, int y1) {
    const double delta =
        scale.wrapDegrees
            ? WrappedDifference(v, scale.centre)
            : static_cast<double>(static_cast<float>(v) - static_cast<float>(scale.centre));
    const double offset = delta * (y1 - y0) / scale.span;
    const double y = (y0 + y1) / 2 - std::trunc(offset);
    // Far enough outside that every inside test fails, near enough that no pixel arithmetic
    // overflows; NaN lands above the band.
    const int reach = (y1 - y0) + 16;
    return ui::ClampToPixel(y, y0 - reach, y1 + reach);
}

StripChart::StripChart(StripChartSpec spec)
    : spec_(std::move(spec)),
      rings_(spec_.series.size(), std::vector<double>(kRingSize, 0.0)),
      indexes_(spec_.series.size(), 0),
      remembered_(spec_.series.size()) {}

size_t StripChart::Index(int series) const {
    return static_cast<size_t>(std::clamp(series, 0, static_cast<int>(rings_.size()) - 1));
}

void StripChart::Attach(ui::Dialog& dlg) {
    dlg.OnControl(spec_.widthCombo, ui::CBN_SELCHANGE, [this, &dlg] {
        const int sel = dlg.GetCurSel(spec_.widthCombo);
        if (sel < 0 || sel >= static_cast<int>(kWidthItems.size()) || !spec_.widthWord) return;
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.*spec_.widthWord = sel + 1;
    });
    dlg.OnControl(spec_.markerCombo, ui::CBN_SELCHANGE, [this, &dlg] {
        const int sel = dlg.GetCurSel(spec_.markerCombo);
        if (sel < 0 || sel >= static_cast<int>(kMarkerIcons.size()) || !spec_.markerWord) return;
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.*spec_.markerWord = sel;
    });
}

void StripChart::FirstActivation(ui::Dialog& dlg) {
    dlg.SetRange(spec_.coarseSlider, 0, kCoarseMax);
    dlg.SetPos(spec_.coarseSlider, kCoarseMax);
    dlg.SetRange(spec_.preciseSlider, 0, kPageSeconds);
    dlg.SetPos(spec_.preciseSlider, kPageSeconds);
    lastPrecise_ = kPageSeconds;
}

void StripChart::ReadWords(int* width, int* marker) {
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    *width = spec_.widthWord ? g_GPS.Info.*spec_.widthWord : kDefaultWidth;
    *marker = spec_.markerWord ? g_GPS.Info.*spec_.markerWord : 0;
}

void StripChart::Activate(ui::Dialog& dlg) {
    int width = 0;
    int marker = 0;
    ReadWords(&width, &marker);

    dlg.ResetContent(spec_.widthCombo);
    for (const char* item : kWidthItems) dlg.AddString(spec_.widthCombo, item);
    dlg.SetCurSel(spec_.widthCombo, width >= 1 && width <= 3 ? width - 1 : 1);

    CIconComboBox markers(dlg.Item<ui::IconCombo>(spec_.markerCombo));
    if (markers.control()) {
        markers.control()->clear();
        for (unsigned icon : kMarkerIcons) markers.AddIcon(icon);
        markers.SelectIcon(marker == kMarkerDiamond || marker == kMarkerLine ? marker : 0);
    }
    std::fill(remembered_.begin(), remembered_.end(), ui::Point{0, 0});
}

void StripChart::Snapshot() {
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    for (size_t s = 0; s < spec_.series.size(); ++s) {
        const StripRing& r = spec_.series[s].ring;
        std::vector<double>& out = rings_[s];
        for (int k = 0; k < kRingSize; ++k) {
            if (r.f)
                out[static_cast<size_t>(k)] = r.f[k];
            else if (r.i)
                out[static_cast<size_t>(k)] = r.i[k];
            else
                out[static_cast<size_t>(k)] = 0.0;
        }
        indexes_[s] = r.index ? Wrap(*r.index) : 0;
    }
}

double StripChart::Sample(int series, int ringPos) const {
    return rings_[Index(series)][static_cast<size_t>(Wrap(ringPos))];
}

double StripChart::Newest(int series, int back) const {
    return Sample(series, WriteIndex(series) - 1 - back);
}

int StripChart::PxX(double x) const {
    return static_cast<int>(x * static_cast<double>(sx_));
}

int StripChart::PxY(double y) const {
    return static_cast<int>(y * static_cast<double>(sy_));
}

int StripChart::XOf(int i) const {
    return plot_.left + static_cast<int>(i * kUnitsPerSecond * static_cast<double>(sx_));
}

void StripChart::DrawTitle(ui::Dialog& dlg, const StripFrame& frame) {
    const DesignBand& b = spec_.title;
    if (b.right <= b.left || b.bottom <= b.top) return;
    ui::Rect band{PxX(b.left), PxY(b.top), PxX(b.right), PxY(b.bottom)};
    // A face taller or wider than the band's design takes more of the page, down to the row
    // above the plot's frame and across to its right edge, so no descender or letter is cut.
    const auto pieceLeft = [&](const StripTitlePiece& piece) {
        return band.left +
               (piece.dxPixels ? static_cast<int>(piece.dx) : PxX(b.left + piece.dx) - band.left);
    };
    const int textHeight = canvas_.GetTextExtent("Hg").y;
    int textRight = band.right;
    for (const StripTitlePiece& piece : frame.title)
        textRight = std::max(textRight, pieceLeft(piece) + canvas_.GetTextExtent(piece.text).x);
    const int lowest = PxY(spec_.plot.top) - spec_.marginRows - 1;
    band.bottom = std::max(band.bottom, std::min(band.top + textHeight, lowest));
    band.right = std::max(band.right, std::min(textRight, PxX(spec_.plot.right)));
    // Still too low: the text rises into its cell's empty top rather than losing its foot.
    const int textTop = band.top - std::max(0, textHeight - band.Height());
    canvas_.FillRect(band, kGrid);
    canvas_.SetBkMode(ui::BkMode::Opaque);
    canvas_.SetBkColor(kGrid);
    for (const StripTitlePiece& piece : frame.title) {
        canvas_.SetTextColor(piece.colour);
        canvas_.ExtTextOutOpaque(ui::Rect{pieceLeft(piece), band.top, band.right, band.bottom},
                                 piece.text, textTop);
    }
    dlg.CopyToWindow(canvas_, band);
}

void StripChart::DrawBand() {
    const int x0 = plot_.left, y0 = plot_.top, x1 = plot_.right, y1 = plot_.bottom;
    const int m = spec_.marginRows;
    canvas_.FillRect(ui::Rect{x0, y0 - m, x1, y1 + m}, kPlotBackground);
    canvas_.SetPen(kGrid, 1);
    const int dx = (x1 - x0) / 5;
    const int dy = (y1 - y0) / 4;
    for (int x = x0; dx > 0 && x < x1; x += dx) {
        canvas_.MoveTo(x, y0);
        canvas_.LineTo(x, y1);
    }
    for (int y = y0; dy > 0 && y < y1; y += dy) {
        canvas_.MoveTo(x0, y);
        canvas_.LineTo(x1, y);
    }
    canvas_.SetPen(kFrame, 1);
    canvas_.MoveTo(x0, y0 - m);
    canvas_.LineTo(x1, y0 - m);
    canvas_.LineTo(x1, y1 + m);
    canvas_.LineTo(x0, y1 + m);
    canvas_.LineTo(x0, y0 - m);
}

bool StripChart::NoValue(const StripSeries& s, int series, int ringPos) const {
    if (std::fabs(Sample(series, ringPos)) <= s.missingMagnitude) return true;
    const std::vector<int>& all = spec_.noValueWhenAllZero;
    return !all.empty() &&
           std::all_of(all.begin(), all.end(), [&](int k) { return Sample(k, ringPos) == 0.0; });
}

void StripChart::DrawCurve(int series, const StripScale& scale, int width, int marker,
                           int pageOffset) {
    const StripSeries& s = spec_.series[Index(series)];
    const int y0 = plot_.top, y1 = plot_.bottom;
    const auto inside = [&](int y) {
        return spec_.strictInside ? y0 < y && y < y1 : y0 <= y && y <= y1;
    };
    canvas_.SetPen(s.colour, s.thinPen ? 1 : width);
    canvas_.SetBrush(s.colour);
    ui::Point& last = remembered_[Index(series)];
    const int index = WriteIndex(series);
    for (int n = 0; n < kPoints; ++n) {
        const int i = spec_.newestFirst ? kPageSeconds - n : n;
        const int ringPos = WindowSample(index, pageOffset, i);
        double v = Sample(series, ringPos);
        const int x = XOf(i);
        if (NoValue(s, series, ringPos)) {
            // A second without a value: nothing drawn, and no line across the gap.
            if (marker == kMarkerLine) last = ui::Point{x, y0 - 1};
            continue;
        }
        if (s.clamp && !std::isnan(v)) v = std::clamp(v, s.clampLow, s.clampHigh);
        const int y = ValueToY(v, scale, y0, y1);
        if (!inside(y) || !inside(last.y)) {
            last = ui::Point{x, y};
            continue;
        }
        if (marker == kMarkerLine) {
            if (n != 0) {
                canvas_.MoveTo(last.x, last.y);
                canvas_.LineTo(x, y);
            }
            last = ui::Point{x, y};
        } else if (marker == kMarkerDiamond) {
            const ui::Point diamond[] = {{x, y + 1}, {x - 1, y}, {x, y - 1}, {x + 1, y}};
            canvas_.Polygon(diamond);
        } else {
            canvas_.Ellipse(x - width, y - width, x + width, y + width);
        }
    }
}

StripCursor StripChart::Draw(ui::Dialog& dlg, const StripFrame& frame) {
    sx_ = dlg.host().fScaleX();
    sy_ = dlg.host().fScaleY();
    const int w = PxX(ui::Host::kDesignWidth);
    const int h = PxY(ui::Host::kDesignHeight);
    if (canvas_.Width() != w || canvas_.Height() != h) canvas_ = ui::Canvas(w, h);
    QFont font = dlg.Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    canvas_.SetFont(font);

    DrawTitle(dlg, frame);

    plot_ = ui::Rect{PxX(spec_.plot.left), PxY(spec_.plot.top), PxX(spec_.plot.right),
                     PxY(spec_.plot.bottom)};
    DrawBand();

    StripCursor cursor;
    const int coarse = dlg.GetPos(spec_.coarseSlider);
    cursor.pageOffset = PageOffset(coarse);
    const std::array<std::string, 6> times = TimeLabels(cursor.pageOffset);
    for (size_t n = 0; n < times.size(); ++n) dlg.SetDlgItemText(spec_.timeLabels[n], times[n]);
    for (size_t n = 0; n < frame.valueLabels.size(); ++n)
        dlg.SetDlgItemText(spec_.valueLabels[n], frame.valueLabels[n]);

    const Tracks tracks = SyncTracks(coarse, dlg.GetPos(spec_.preciseSlider), lastPrecise_);
    dlg.SetPos(spec_.coarseSlider, tracks.coarse);
    dlg.SetPos(spec_.preciseSlider, tracks.precise);
    lastPrecise_ = tracks.precise;
    cursor.coarse = tracks.coarse;
    cursor.precise = tracks.precise;

    // At some scales the newest second falls on the band's right edge, one column past what
    // is copied to the window; the cursor stays on the last copied column so it is seen.
    const int xc = std::min(XOf(tracks.precise), plot_.right - 1);
    canvas_.SetPen(kCursor, 1);
    canvas_.MoveTo(xc, plot_.top);
    canvas_.LineTo(xc, plot_.bottom);

    if (spec_.secondsEdit) dlg.SetDlgItemText(spec_.secondsEdit, CursorSecondsText(tracks.coarse));
    if (spec_.minutesEdit) dlg.SetDlgItemText(spec_.minutesEdit, CursorMinutesText(tracks.coarse));
    const int first = frame.series.empty() ? 0 : frame.series.front();
    cursor.sample = CursorSample(tracks.coarse, WriteIndex(first));

    int width = 0;
    int marker = 0;
    ReadWords(&width, &marker);
    if (width < 1 || width > 3) {
        width = kDefaultWidth;
        if (spec_.widthWord) {
            RecordLock lock(g_GPS.Info.ulPart1Lock);
            g_GPS.Info.*spec_.widthWord = kDefaultWidth;
        }
    }
    for (int series : frame.series) {
        if (series < 0 || series >= static_cast<int>(spec_.series.size())) continue;
        DrawCurve(series, frame.scale, width, marker, cursor.pageOffset);
    }

    const int copyTop = plot_.top - spec_.marginRows;
    dlg.CopyToWindow(canvas_, ui::Rect{plot_.left, copyTop, plot_.right,
                                       copyTop + plot_.Height() + spec_.copyExtraRows});
    return cursor;
}

}  // namespace strip

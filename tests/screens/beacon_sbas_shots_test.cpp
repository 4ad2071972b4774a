// Screenshots of the beacon and SBAS screens with live data, at two scales, for review; and
// their layout as drawn: no text clipped by its own control, crossing a group box's frame or
// lying over another control.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "shell/BaseDialog.h"
#include "support/qt/screen_harness.h"

namespace {

struct ShotCase {
    eScreen screen;
    int32_t source;
    int navBar;  // the picture the family shows for the source, receiver found
};

class BeaconSbasShots : public shelltest::ScreenTest,
                        public ::testing::WithParamInterface<std::tuple<ShotCase, double>> {
protected:
    // A receiver on a beacon with a differential fix that also tracks two SBAS satellites.
    static void Fill(int32_t source) {
        GPSInfo& i = g_GPS.Info;
        i.eCurCorrSource = source;
        i.Nav.usNavMode = 4;
        BeaconInfo& b = i.Beacon;
        b.fBeaconFreq = 316.0f;
        b.cFreqMode = 'M';
        b.iBeaconBitRate = 2;
        b.iSignalStrength = 38;
        b.iSNR = 18;
        b.iMTP = 92;
        b.iQ = 12;
        b.iStationId = 680;
        LBandInfo& l = i.LBand;
        l.iSBASPRN1 = 122;
        l.iSBASPRN2 = 120;
        l.iSBASBer1 = 12;
        l.iSBASBer2 = 140;
        l.fSBASLongitude1 = -142.5f;
        l.fSBASElevation1 = 21.3f;
        l.fSBASAzimuth1 = 221.75f;
        l.fSBASLongitude2 = -15.5f;
        l.fSBASElevation2 = 30.25f;
        l.fSBASAzimuth2 = 140.5f;
        // An hour of history: a slow swell of signal and noise figures, a retune half an
        // hour ago, and the two bit-error rates with a spell of no value.
        for (int s = 0; s < kHistorySize; ++s) {
            const int wave = (s / 7) % 12;
            i.iBeaconSSHistory[s] = 24 + wave;
            i.iBeaconSNRHistory[s] = 14 + wave / 2;
            i.fBeaconFreqHistory[s] = s < 1800 ? 298.0f : 316.0f;
            i.iSBASBerHistory[0][s] = 20 + (s % 40);
            i.iSBASBerHistory[1][s] = s % 300 < 40 ? kBerNoValue : 90 + (s * 7) % 60;
        }
        i.iBeaconHistoryIndex = 2000;
        i.iSBASBerHistoryIndex = 3420;
    }
};

TEST_P(BeaconSbasShots, LiveScreen) {
    const auto& [c, scale] = GetParam();
    Start(scale);
    Fill(c.source);
    Open(c.screen);
    ui::StepRunner run;
    WaitShown(run, c.screen);
    run.Add([&] {
        // Enough ticks for every page to have drawn what it draws.
        for (int i = 0; i < 12; ++i) Tick();
        EXPECT_EQ(Text(1001), "3D+DIFF");
        EXPECT_EQ(Page()->GetPictureId(IDC_NAVBAR), c.navBar);
        Shot(std::string(ScreenClassName(c.screen)) +
             (scale > 1.0 ? "_live_scale_1.5" : "_live_scale_1.0"));
        EndAll();
    });
    Run(run);
}

// The ink of a label's text, in the page's coordinates.
QRect TextRect(const QLabel& label) {
    const QFontMetrics fm(label.font());
    const QRect cell = QStyle::alignedRect(label.layoutDirection(), label.alignment(),
                                           fm.size(0, label.text()), label.contentsRect());
    if (label.text().contains('\n')) return cell.translated(label.pos());
    return fm.tightBoundingRect(label.text())
        .translated(cell.left(), cell.top() + fm.ascent())
        .translated(label.pos());
}

// The frame of a group box, in the page's coordinates: below its title, when it has one.
QRect FrameRect(const QGroupBox& box) {
    QRect frame = box.geometry();
    if (box.title().isEmpty()) return frame;
    QStyleOptionGroupBox opt;
    opt.initFrom(&box);
    opt.text = box.title();
    opt.textAlignment = box.alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title =
        box.style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &box);
    frame.setTop(box.y() + title.bottom() + 1);
    return frame;
}

TEST_P(BeaconSbasShots, NothingClippedOrOverlapping) {
    const auto& [c, scale] = GetParam();
    Start(scale);
    Fill(c.source);
    Open(c.screen);
    ui::StepRunner run;
    WaitShown(run, c.screen);
    run.Add([&] {
        for (int i = 0; i < 12; ++i) Tick();
        QWidget* page = Page()->Widget();
        struct Shown {
            std::string name;
            QRect rect;  // the text for a label, else the control
        };
        std::vector<Shown> shown;
        std::vector<const QGroupBox*> boxes;
        for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const std::string name = w->objectName().toStdString();
            // Controls only (named by their id), not the background, navigation bar or canvas.
            const bool control = name.size() > 2 && name.rfind("id", 0) == 0 &&
                                 name.find_first_not_of("0123456789", 2) == std::string::npos;
            if (!control || !w->isVisibleTo(page) || name == "id1000" || name == "id1004") continue;
            if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
                boxes.push_back(box);
            } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
                if (label->text().isEmpty()) continue;
                const QRect text = TextRect(*label);
                EXPECT_TRUE(label->geometry().adjusted(-1, -1, 1, 1).contains(text))
                    << name << " \"" << label->text().toStdString()
                    << "\" clipped: " << text.width() << "x" << text.height() << " in "
                    << label->geometry().width() << "x" << label->geometry().height();
                shown.push_back({name, text});
            } else {
                shown.push_back({name, w->geometry()});
            }
        }
        for (size_t a = 0; a < shown.size(); ++a) {
            for (size_t b = a + 1; b < shown.size(); ++b)
                EXPECT_FALSE(shown[a].rect.intersects(shown[b].rect))
                    << shown[a].name << " over " << shown[b].name;
            for (const QGroupBox* box : boxes) {
                const QRect frame = FrameRect(*box);
                const QRect& r = shown[a].rect;
                if (!frame.contains(r.center())) continue;
                EXPECT_TRUE(frame.adjusted(1, 1, -1, -1).contains(r))
                    << shown[a].name << " crosses the frame of " << box->objectName().toStdString();
            }
        }
        EndAll();
    });
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, BeaconSbasShots,
    ::testing::Combine(::testing::Values(ShotCase{SCR_BEACON_1, CORR_BEACON, 157},
                                         ShotCase{SCR_BEACON_2, CORR_BEACON, 157},
                                         ShotCase{SCR_SBAS_1, CORR_SBAS, 207},
                                         ShotCase{SCR_BEACON_3, CORR_BEACON, 157},
                                         ShotCase{SCR_SBAS_2, CORR_SBAS, 207},
                                         ShotCase{SCR_SBAS_3, CORR_SBAS, 207}),
                       ::testing::Values(1.0, 1.5)),
    [](const auto& info) {
        return std::string(ScreenClassName(std::get<0>(info.param).screen)) +
               (std::get<1>(info.param) > 1.0 ? "_scale15" : "_scale1");
    });

}  // namespace

#include "resources/screen_frame.h"

#include "shell/StatusStrip.h"
#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr int kLampGoodFix = 135;
constexpr int kLampGood = 138;
constexpr int kLampBad = 134;

void AddStrip(std::vector<ui::ControlSpec>& c, const StripIds& ids) {
    c.push_back({ids.good1, Kind::Picture, {54, 67, 12, 12}, "", Flag::Hidden, kLampGoodFix, {}});
    c.push_back({ids.bad1, Kind::Picture, {54, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({ids.label1, Kind::Static, {69, 66, 56, 14}, "COMM", Flag::NoWrap, 0, {}});
    c.push_back({ids.good2, Kind::Picture, {128, 67, 12, 12}, "", Flag::Hidden, kLampGood, {}});
    c.push_back({ids.bad2, Kind::Picture, {128, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({ids.label2, Kind::Static, {143, 66, 40, 14}, "GPS", Flag::NoWrap, 0, {}});
    c.push_back({ids.good3, Kind::Picture, {186, 67, 12, 12}, "", Flag::Hidden, kLampGood, {}});
    c.push_back({ids.bad3, Kind::Picture, {186, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({ids.label3, Kind::Static, {201, 66, 76, 14}, "SBAS", Flag::NoWrap, 0, {}});
}

}  // namespace

void AddNarrowStrip(std::vector<ui::ControlSpec>& c) {
    AddStrip(c, kStripIdsNarrow);
}

void AddWideStrip(std::vector<ui::ControlSpec>& c) {
    AddStrip(c, kStripIdsWide);
}

void AddScreenFrame(std::vector<ui::ControlSpec>& c, int navBarPicture) {
    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, navBarPicture, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
}

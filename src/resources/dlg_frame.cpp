#include "resources/dlg_frame.h"

#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace dlgframe {

void AddStatusStrip(std::vector<ui::ControlSpec>& c) {
    c.push_back({1018, Kind::Picture, {54, 67, 12, 12}, "", Flag::Hidden, 135, {}});
    c.push_back({1043, Kind::Picture, {54, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({1001, Kind::Static, {69, 66, 56, 14}, "COMM", Flag::NoWrap, 0, {}});
    c.push_back({1019, Kind::Picture, {128, 67, 12, 12}, "", Flag::Hidden, 138, {}});
    c.push_back({1044, Kind::Picture, {128, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({1016, Kind::Static, {143, 66, 40, 14}, "GPS", Flag::NoWrap, 0, {}});
    c.push_back({1020, Kind::Picture, {186, 67, 12, 12}, "", Flag::Hidden, 138, {}});
    c.push_back({1045, Kind::Picture, {186, 67, 12, 12}, "", 0, 134, {}});
    c.push_back({1002, Kind::Static, {201, 66, 76, 14}, "SBAS", Flag::NoWrap, 0, {}});
}

void AddTabStrip(std::vector<ui::ControlSpec>& c, int id) {
    c.push_back({id, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});
}

void AddNavBarAndBackground(std::vector<ui::ControlSpec>& c, int navPicture) {
    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, navPicture, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
}

}  // namespace dlgframe

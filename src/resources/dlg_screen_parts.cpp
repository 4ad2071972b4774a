#include "resources/dlg_screen_parts.h"

#include <algorithm>
#include <string_view>

#include "ui/pictures.h"

namespace resources {

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

void AddStrip(Controls& c, bool wide, double sourceLabelWidth) {
    // Ids per pair: label, good lamp, bad lamp (StatusStrip.h).
    struct Pair {
        int label, good, bad;
        int goodPicture;
        const char* text;
        double x, labelW;
    };
    const Pair narrow[] = {{1001, 1018, 1043, 135, "COMM", 54, 56},
                           {1016, 1019, 1044, 138, "GPS", 128, 40},
                           {1002, 1020, 1045, 138, "SBAS", 186, sourceLabelWidth}};
    const Pair broad[] = {{1001, 1043, 1044, 135, "COMM", 54, 56},
                          {1042, 1045, 1046, 138, "GPS", 128, 40},
                          {1002, 1047, 1048, 138, "SBAS", 186, sourceLabelWidth}};
    for (const Pair& p : wide ? broad : narrow) {
        c.push_back(
            {p.good, Kind::Picture, {p.x, 67, 12, 12}, "", Flag::Hidden, p.goodPicture, {}});
        c.push_back({p.bad, Kind::Picture, {p.x, 67, 12, 12}, "", 0, 134, {}});
        c.push_back(
            {p.label, Kind::Static, {p.x + 15, 66, p.labelW, 14}, p.text, Flag::NoWrap, 0, {}});
    }
}

}  // namespace

void AddStatusStrip(Controls& c, bool wide) {
    // Wide enough for the longest source name, "t-Span Rover".
    AddStrip(c, wide, 76);
}

void AddHeadingStatusStrip(Controls& c) {
    // The heading lamp takes a second row: beside the source label it would leave the source
    // names too little room and sit against the close box.
    AddStrip(c, false, 76);
    c.push_back({1021, Kind::Picture, {54, 85, 12, 12}, "", Flag::Hidden, 136, {}});
    c.push_back({1144, Kind::Picture, {54, 85, 12, 12}, "", 0, 134, {}});
    c.push_back({1017, Kind::Static, {69, 84, 56, 14}, "Heading", Flag::NoWrap, 0, {}});
}

void AddTabStrip(Controls& c, int tabId) {
    c.push_back({tabId, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});
}

void AddDiffModeGroup(Controls& c, double top, const char* title, const char* hint) {
    const std::string_view text(hint);
    // Lines of the hint beyond two.
    const double extraLines =
        std::max(0.0, static_cast<double>(std::count(text.begin(), text.end(), '\n')) - 1);
    c.push_back({1032,
                 Kind::Static,
                 {64, top + 18 + 2 * extraLines, 120, 28 + 12 * extraLines},
                 hint,
                 Flag::Multiline,
                 0,
                 {}});
    c.push_back({1021,
                 Kind::ComboDropDown,
                 {190, top + 23 + 5 * extraLines, 116, 17},
                 "",
                 kComboFlags,
                 0,
                 {}});
    c.push_back({1003, Kind::GroupBox, {54, top, 262, 54 + 10 * extraLines}, title, 0, 0, {}});
}

void AddScreenFrame(Controls& c) {
    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
}

void AddReadoutRow(Controls& c, const ReadoutRow& row, double x, double y, double labelW,
                   double editW, bool readOnly) {
    c.push_back(
        {row.label, Kind::Static, {x, y + 1, labelW, kRowH}, row.text, Flag::NoWrap, 0, {}});
    const unsigned editFlags = readOnly ? (Flag::ReadOnly | Flag::Right) : 0u;
    c.push_back({row.edit, Kind::Edit, {x + labelW, y, editW, kRowH}, "", editFlags, 0, {}});
    if (row.unit != 0) {
        c.push_back({row.unit,
                     Kind::Static,
                     {x + labelW + editW + 4, y + 1, 56, kRowH},
                     row.unitText,
                     Flag::NoWrap,
                     0,
                     {}});
    }
}

}  // namespace resources

#include "support/qt/layout_check.h"

#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QWidget>

namespace shelltest {

namespace {

// The ink of a label's text, in the page's coordinates; a text of several lines (or wrapped) by
// its cells.
QRect TextRect(const QLabel& label) {
    const QFontMetrics fm(label.font());
    if (label.wordWrap()) {
        const int flags = static_cast<int>(label.alignment()) | Qt::TextWordWrap;
        return fm.boundingRect(label.contentsRect(), flags, label.text()).translated(label.pos());
    }
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

bool IsControl(const std::string& name) {
    return name.size() > 2 && name.rfind("id", 0) == 0 &&
           name.find_first_not_of("0123456789", 2) == std::string::npos && name != "id1000" &&
           name != "id1004";
}

}  // namespace

std::vector<std::string> LayoutFaults(const QWidget& page) {
    struct Shown {
        std::string name;
        QRect rect;  // the text's ink for a label, else the control
    };
    std::vector<Shown> shown;
    std::vector<const QGroupBox*> boxes;
    std::vector<std::string> faults;
    for (const QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const std::string name = w->objectName().toStdString();
        if (!IsControl(name) || !w->isVisibleTo(&page)) continue;
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
            boxes.push_back(box);
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->text().isEmpty()) continue;
            const QRect text = TextRect(*label);
            // A glyph may reach one pixel past its cell (the left bearing of "T").
            if (!label->geometry().adjusted(-1, -1, 1, 1).contains(text))
                faults.push_back(name + " \"" + label->text().toStdString() + "\" clipped");
            shown.push_back({name, text});
        } else {
            shown.push_back({name, w->geometry()});
        }
    }
    for (size_t a = 0; a < shown.size(); ++a) {
        for (size_t b = a + 1; b < shown.size(); ++b)
            if (shown[a].rect.intersects(shown[b].rect))
                faults.push_back(shown[a].name + " over " + shown[b].name);
        for (const QGroupBox* box : boxes) {
            const QRect frame = FrameRect(*box);
            const QRect& r = shown[a].rect;
            if (frame.contains(r.center()) && !frame.adjusted(1, 1, -1, -1).contains(r))
                faults.push_back(shown[a].name + " crosses the frame of " +
                                 box->objectName().toStdString());
        }
    }
    return faults;
}

}  // namespace shelltest

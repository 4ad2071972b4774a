#pragma once
// A page's layout as drawn: the texts and controls a user would see clipped or on top of one
// another.

#include <string>
#include <vector>

class QWidget;

namespace shelltest {

// One line per fault among the page's visible controls (named "id<number>"; the background
// 1000 and the navigation bar 1004 left out): a label's text wider or taller than its label,
// a text or control over another, or one that crosses the frame of the group box it lies in.
// Texts are measured by their ink, so a label may be wider than its text.
std::vector<std::string> LayoutFaults(const QWidget& page);

}  // namespace shelltest

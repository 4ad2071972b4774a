#pragma once
// The t-Span rover screen: no settings of its own; it keeps the receiver's application and
// differential source polled and offers the source combo.

#include "screens/differential/diff_page.h"

class TSpanRover : public CSetupPage {
public:
    TSpanRover();

    ui::BOOL OnInitDialog() override;
};

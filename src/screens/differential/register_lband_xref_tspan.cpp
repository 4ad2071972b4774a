// The L-band, x-Ref and t-Span screens.

#include <memory>

#include "screens/differential/LBND_1.h"
#include "screens/differential/LBND_2.h"
#include "screens/differential/LBND_3.h"
#include "screens/differential/LBND_4.h"
#include "screens/differential/TSpanDlg1.h"
#include "screens/differential/TSpanRover.h"
#include "screens/differential/XREF_1.h"
#include "shell/ScreenRegistry.h"

void RegisterLbandXrefTspanScreens() {
    RegisterScreen(SCR_LBND_1, [] { return std::make_unique<CLBND_1>(); });
    RegisterScreen(SCR_LBND_2, [] { return std::make_unique<CLBND_2>(); });
    RegisterScreen(SCR_LBND_3, [] { return std::make_unique<CLBND_3>(); });
    RegisterScreen(SCR_LBND_4, [] { return std::make_unique<CLBND_4>(); });
    RegisterScreen(SCR_XREF_1, [] { return std::make_unique<CXREF_1>(); });
    RegisterScreen(SCR_TSPAN_BASE, [] { return std::make_unique<TSpanDlg1>(); });
    RegisterScreen(SCR_TSPAN_ROVER, [] { return std::make_unique<TSpanRover>(); });
}

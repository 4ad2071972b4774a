#include "shell/ScreenRegistry.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "shell/BaseDialog.h"

int32_t bScreenOpened[SCR_COUNT] = {};

namespace {

constexpr std::array<const char*, SCR_COUNT> kClassNames{
    "CGPS_1",     "CGPS_2",     "CGPS_3",    "CGPS_4",      "CGPS_5",      "CGPS_6",
    "CBEACON_1",  "CBEACON_2",  "CBEACON_3", "CTERMINAL_1", "CTERMINAL_2", "CSBAS_1",
    "CSBAS_2",    "CSBAS_3",    "CLBND_1",   "CLBND_2",     "CLBND_3",     "CLBND_4",
    "CLOGS_1",    "CLOGS_2",    "CLOGS_3",   "CLOGS_4",     "CLOGS_5",     "CHEADING_1",
    "CHEADING_2", "CHEADING_3", "CXREF_1",   "TSpanDlg1",   "TSpanRover"};

struct Entry {
    ScreenFactory factory;
    std::unique_ptr<CBaseDialog> screen;
};

std::array<Entry, SCR_COUNT>& Entries() {
    static std::array<Entry, SCR_COUNT> entries;
    return entries;
}

bool Valid(int screen) {
    return screen >= 0 && screen < SCR_COUNT;
}

}  // namespace

const char* ScreenClassName(int screen) {
    return Valid(screen) ? kClassNames[static_cast<size_t>(screen)] : nullptr;
}

int ScreenByClassName(const char* name) {
    if (!name) return -1;
    for (int i = 0; i < SCR_COUNT; ++i) {
        if (std::strcmp(kClassNames[static_cast<size_t>(i)], name) == 0) return i;
    }
    return -1;
}

void RegisterScreen(eScreen screen, ScreenFactory factory) {
    if (!Valid(screen)) return;
    Entries()[static_cast<size_t>(screen)].factory = std::move(factory);
}

bool IsScreenRegistered(eScreen screen) {
    return Valid(screen) && static_cast<bool>(Entries()[static_cast<size_t>(screen)].factory);
}

CBaseDialog* Screen(eScreen screen) {
    if (!Valid(screen)) return nullptr;
    Entry& e = Entries()[static_cast<size_t>(screen)];
    if (!e.screen && e.factory) e.screen = e.factory();
    return e.screen.get();
}

CBaseDialog* ScreenIfBuilt(eScreen screen) {
    return Valid(screen) ? Entries()[static_cast<size_t>(screen)].screen.get() : nullptr;
}

void DestroyScreens() {
    for (Entry& e : Entries()) e.screen.reset();
    // A screen built again has never been opened.
    std::fill(std::begin(bScreenOpened), std::end(bScreenOpened), 0);
}

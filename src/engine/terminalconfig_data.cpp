#include <cstring>

#include "engine/terminalconfig.h"
#include "platform/trace.h"

namespace {
TerminalData g_terminalData{};
}

TerminalConfig g_TerminalConfig;

// The block is zero-initialised static storage, so the global needs no set-up of its own.
TerminalConfig::TerminalConfig() = default;

TerminalData* TerminalConfig::GetData() {
    return &g_terminalData;
}

void TerminalConfig::Init() {
    platform::Trace("TerminalConfig.Init()\n");
    std::memset(&g_terminalData, 0, sizeof(g_terminalData));
}

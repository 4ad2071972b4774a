#pragma once
// Templates of the logging screens (231, 232, 233, 245, 247) and the frame they share: status
// strip, tab strip, file row with Browse, file-mode buttons, Start/Stop and the recording lamp.

#include <span>

#include "ui/controls.h"

// What of the shared frame a logging screen shows.
struct LogsFrameSpec {
    int createNewId;        // "Create New File": 1034 or 1036
    bool startStop;         // Start 1065 and Stop 1066
    bool lamp;              // recording lamp pair 1140/1141
    int recordingLabelId;   // id of the "Recording" label (-1 when it has none)
    bool overwriteVisible;  // "Overwrite Existing File" (1033) shown
};

// Appends the frame below a screen's own controls (so they stack above it).
void AddLogsFrame(ui::DialogTemplate& t, const LogsFrameSpec& spec);

// Rate choices in two columns: a label and a combo each.
struct RateRow {
    int combo;
    const char* label;
    int column;  // 0 or 1
    int row;
};
void AddRateRows(ui::DialogTemplate& t, std::span<const RateRow> rows, double top, double pitch,
                 double labelWidth = 50);

const ui::DialogTemplate& Logs1DialogTemplate();
const ui::DialogTemplate& Logs2DialogTemplate();
const ui::DialogTemplate& Logs3DialogTemplate();
const ui::DialogTemplate& Logs4DialogTemplate();
const ui::DialogTemplate& Logs5DialogTemplate();

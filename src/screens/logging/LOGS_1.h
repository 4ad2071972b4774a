#pragma once
// The NMEA log screen: which sentences the receiver outputs and the log keeps, the file, and
// Start and Stop of the log the reader thread writes.

#include <cstdint>

#include "engine/wizardinfo.h"
#include "screens/logging/logs_frame.h"

class CLOGS_1 : public CThreadLogScreen {
public:
    CLOGS_1();

    ui::BOOL OnInitDialog() override;
    // The twelve sentence rates of the NMEA log's choice, to this port.
    void SendLogRates();

protected:
    void FillControls() override;

private:
    void OnRateChange(size_t row);
};

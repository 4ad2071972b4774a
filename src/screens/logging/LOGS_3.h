#pragma once
// The binary log screen: which binary messages and D1 sentences the receiver outputs and the
// log keeps, the file, and Start and Stop of the log the reader thread writes.

#include "screens/logging/logs_frame.h"

class CLOGS_3 : public CThreadLogScreen {
public:
    CLOGS_3();

    // The nine rates to this port; 95 and 96 never below what a running raw-data log needs.
    void SendBinRates();

protected:
    void FillControls() override;
    void OnStarted() override;
    void AfterStop() override;

private:
    void OnRateChange(size_t row);
};

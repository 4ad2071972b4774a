#pragma once
// t-Span set-up: the base's reference position and correction port, as the receiver reports
// them (the current record in RxPortConfig) and as saved in the settings (WizardLive).

#include <cstdint>

class CGPS;
class CTxNMEA;

class TSpan {
public:
    // gps and tx may be null: the process-wide record and sender are used then.
    explicit TSpan(CGPS* gps = nullptr, CTxNMEA* tx = nullptr) : gps_(gps), tx_(tx) {}

    // Current record: port 0, position 0.0.
    void ResetReference();
    // "$JRTK,6" and "$JRTK"; the reply decoder fills the current record during the pauses.
    void QueryReference();
    // Saved record := current record.
    void SaveReference();
    void SendReference(double lat, double lon, double height);
    // 1..3 switch the corrections on at PORTA..PORTC; 0 sends nothing.
    void SendDfxPort(int32_t port);

private:
    CGPS& Record();
    CTxNMEA& Tx();

    CGPS* gps_;
    CTxNMEA* tx_;
};

extern TSpan g_TSpan;

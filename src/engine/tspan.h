#pragma once
// t-Span set-up: the base's reference position and correction port, as the receiver reports
// them (the current record in RxPortConfig) and as saved in the settings (WizardLive).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CGPS;
class CTxNMEA;

namespace tspan_detail {
constexpr double Nines(size_t digits) {
    double value = 0.0;
    while (digits-- > 0) value = value * 10.0 + 9.0;
    return value;
}
}  // namespace tspan_detail

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
    // Corrections off at PORTA, PORTB and PORTC.
    void DfxAllOff();
    // All ports off, then the corrections on at the named port ("PORTB").
    void SendDfxPortName(std::string_view portName);
    // The reference position as the user typed it. Each text keeps its printable characters,
    // at most kReferenceTextMax of them. False when the receiver rejected the position
    // during the pause after it.
    bool SendReferenceText(std::string_view lat, std::string_view lon, std::string_view height);

    static constexpr size_t kReferenceTextMax = 19;
    // The saved reference goes out as "%lf" (SendReference): the whole metres of a height get
    // what such a field leaves after the point and six decimals, a negative one a digit less
    // for its sign.
    static constexpr double kReferenceHeightMax = tspan_detail::Nines(kReferenceTextMax - 7);
    static constexpr double kReferenceHeightMin = -tspan_detail::Nines(kReferenceTextMax - 8);
    // The text as it goes into the reference command.
    static std::string ReferenceField(std::string_view text);

private:
    CGPS& Record();
    CTxNMEA& Tx();

    CGPS* gps_;
    CTxNMEA* tx_;
};

extern TSpan g_TSpan;

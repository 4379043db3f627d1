#pragma once

#include <cstdint>
#include <initializer_list>

// Port setting enumerations; the ordinal of each value is its position in the
// user's drop-down list and in the settings record.
enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TComEvent {
    evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};
enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// A set of TComEvent values: bit n stands for the event of ordinal n.
class TComEvents
{
public:
    constexpr TComEvents() = default;
    constexpr TComEvents(std::initializer_list<TComEvent> events)
    {
        for (TComEvent e : events)
            bits_ |= uint16_t(1u << e);
    }
    constexpr bool Has(TComEvent e) const { return bits_ & (1u << e); }
    constexpr void Add(TComEvent e) { bits_ |= uint16_t(1u << e); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint16_t Bits() const { return bits_; }
    constexpr bool operator==(const TComEvents &) const = default;

private:
    uint16_t bits_ = 0;
};

// Modem status bits as the status read reports them.
inline constexpr uint32_t kModemCts = 0x10;
inline constexpr uint32_t kModemDsr = 0x20;
inline constexpr uint32_t kModemRing = 0x40;
inline constexpr uint32_t kModemRlsd = 0x80;

// Bits per second of a baud rate value; brCustom has none (0).
int BaudRateValue(TBaudRate rate);

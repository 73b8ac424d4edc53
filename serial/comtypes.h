#pragma once
// The value types of the serial link: the setting enumerations, the event,
// error and signal sets, and the small set template they are built on.
#include <cstdint>
#include <initializer_list>

// A set of enumeration members, bit n standing for the member of ordinal n,
// as the component's published set properties are declared.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members)
    {
        for (E m : members)
            bits_ |= bit(m);
    }
    static constexpr TSet FromBits(std::uint32_t bits)
    {
        TSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr bool Contains(E m) const { return (bits_ & bit(m)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr void Include(E m) { bits_ |= bit(m); }
    constexpr void Exclude(E m) { bits_ &= ~bit(m); }

    constexpr TSet& operator<<(E m)
    {
        Include(m);
        return *this;
    }
    constexpr TSet operator|(TSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator&(TSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint32_t bit(E m) { return std::uint32_t{1} << static_cast<int>(m); }
    std::uint32_t bits_ = 0;
};

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

enum TComEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
using TComEvents = TSet<TComEvent>;
inline constexpr TComEvents AllComEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full};

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
using TComErrors = TSet<TComError>;

enum TComSignal { csCTS, csDSR, csRing, csRLSD };
using TComSignals = TSet<TComSignal>;

// Bits per second of a rate member; brCustom has none of its own (0).
int BaudRateValue(TBaudRate rate);

// The platform's event-mask bits of an event set and back (other bits are
// ignored); all ten events give 0x05FF.
std::uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(std::uint32_t mask);

// The line settings as one block, field for field the device control block
// the port has always built from its properties (flag bits included), so
// the block can be checked without a device and each backend maps it to its
// own interface.
struct TComDcb {
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;

    // Flag bits.
    static constexpr std::uint32_t fBinary = 0x0001;
    static constexpr std::uint32_t fParity = 0x0002;
    static constexpr std::uint32_t fOutxCtsFlow = 0x0004;
    static constexpr std::uint32_t fOutxDsrFlow = 0x0008;
    static constexpr std::uint32_t fDtrControlMask = 0x0030;
    static constexpr std::uint32_t fDsrSensitivity = 0x0040;
    static constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
    static constexpr std::uint32_t fOutX = 0x0100;
    static constexpr std::uint32_t fInX = 0x0200;
    static constexpr std::uint32_t fErrorChar = 0x0400;
    static constexpr std::uint32_t fNull = 0x0800;
    static constexpr std::uint32_t fRtsControlMask = 0x3000;
    static constexpr int DtrShift = 4;
    static constexpr int RtsShift = 12;

    TDTRFlowControl DtrControl() const { return static_cast<TDTRFlowControl>((Flags & fDtrControlMask) >> DtrShift); }
    TRTSFlowControl RtsControl() const { return static_cast<TRTSFlowControl>((Flags & fRtsControlMask) >> RtsShift); }
    bool operator==(const TComDcb&) const = default;
};

// The five time-outs in milliseconds, each an unsigned 32-bit number
// (MAXDWORD, the all-ones value, is what -1 in the properties stands for).
struct TComCommTimeouts {
    static constexpr std::uint32_t MAXDWORD = 0xFFFFFFFFu;
    std::uint32_t ReadIntervalTimeout = MAXDWORD;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 100;
    std::uint32_t WriteTotalTimeoutConstant = 1000;
};

// The setting groups, the line-settings block, its termios form on a real
// pty, and when settings are applied.
#include "tests/serial/helpers.h"

#include "serial/termios2.h"
#include "tests/serial/intercept.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The line settings the device really has, read on a second descriptor.
termios ReadBack(const QString& path)
{
    termios t{};
    int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    return t;
}

speed_t OutputSpeed(const QString& path)
{
    termios t = ReadBack(path);
    return cfgetospeed(&t);
}

// The same with both rates as numbers, past any hook.
termios2 ReadBack2(const QString& path)
{
    termios2 t{};
    int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(intercept::KernelIoctl(fd, TCGETS2, &t), 0);
    ::close(fd);
    return t;
}

// A driver that makes something else of the settings it is given: `change`
// is applied to what the device reads back right after each setting, once
// armed.
struct SubstitutingDriver {
    explicit SubstitutingDriver(const QString& path)
        : hook(path, [this](intercept::IoctlCall& c) {
              const int r = c.Kernel();
              if (r == 0 && c.request == TCSETS2)
                  justSet = true;
              else if (r == 0 && c.request == TCGETS2 && justSet.exchange(false) && armed)
                  change(*static_cast<termios2*>(c.arg));
              return r;
          })
    {
    }
    std::function<void(termios2&)> change = [](termios2&) {};
    std::atomic<bool> armed{false};
    std::atomic<bool> justSet{false};
    intercept::Hook hook;
};

}  // namespace

TEST(PortDefaults, ConstructorGivesTheDocumentedDefaults)
{
    TComPort port;
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(port.Port(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_FALSE(port.DiscardNull());
    EXPECT_EQ(port.EventChar(), 0);
    EXPECT_EQ(port.Events(), AllComEvents);
    EXPECT_EQ(EventsToMask(port.Events()), 0x05FFu);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    EXPECT_EQ(port.Timeouts()->ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts()->WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts()->WriteTotalConstant(), 1000);
    EXPECT_EQ(port.Buffer()->InputSize(), 1024);
    EXPECT_EQ(port.FlowControl()->XonChar(), 0x11);
    EXPECT_EQ(port.FlowControl()->XoffChar(), 0x13);
    EXPECT_EQ(port.FlowControl()->FlowControl(), fcNone);
}

TEST(PortDcb, MainWindowPortBlockFollowsRtsControl)
{
    TComPort port;
    ConfigureAsMainWindowPort(port, QStringLiteral("/dev/null"));
    TComDcb dcb = port.DeviceControlBlock();
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.Flags, 0x0801u);
    EXPECT_EQ(dcb.XonLim, 256);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    port.FlowControl()->SetControlRTS(rtsEnable);
    EXPECT_EQ(port.DeviceControlBlock().Flags, 0x1801u);
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(31250);
    EXPECT_EQ(port.DeviceControlBlock().BaudRate, 31250u);
}

TEST(PortDcb, ErrorCharacterOnlyWithCheckAndReplace)
{
    TComPort port;
    port.Parity()->SetReplaceChar('?');
    port.Parity()->SetReplace(true);
    EXPECT_EQ(port.DeviceControlBlock().ErrorChar, 0);
    EXPECT_FALSE(port.DeviceControlBlock().Flags & TComDcb::fErrorChar);
    port.Parity()->SetCheck(true);
    EXPECT_EQ(port.DeviceControlBlock().ErrorChar, '?');
    EXPECT_EQ(port.DeviceControlBlock().Flags & 0x0406u, 0x0402u);
}

TEST(PortBuffer, PositiveOddSizesAreStoredOneLower)
{
    TComBuffer b;
    b.SetInputSize(1025);
    EXPECT_EQ(b.InputSize(), 1024);
    b.SetOutputSize(7);
    EXPECT_EQ(b.OutputSize(), 6);
    b.SetInputSize(-3);
    EXPECT_EQ(b.InputSize(), -3);
    b.SetInputSize(2048);
    EXPECT_EQ(b.InputSize(), 2048);
}

struct ShorthandRow {
    TRTSFlowControl rts;
    bool cts;
    bool xin;
    bool xout;
    TFlowControl reads;
};

class FlowControlShorthand : public ::testing::TestWithParam<ShorthandRow> {};

TEST_P(FlowControlShorthand, ReadsFromTheFields)
{
    const ShorthandRow& r = GetParam();
    TComFlowControl f;
    f.SetControlRTS(r.rts);
    f.SetOutCTSFlow(r.cts);
    f.SetXonXoffIn(r.xin);
    f.SetXonXoffOut(r.xout);
    EXPECT_EQ(f.FlowControl(), r.reads);
}

INSTANTIATE_TEST_SUITE_P(Rows, FlowControlShorthand,
                         ::testing::Values(ShorthandRow{rtsHandshake, true, false, false, fcHardware}, ShorthandRow{rtsDisable, false, true, true, fcSoftware},
                                           ShorthandRow{rtsDisable, false, false, false, fcNone}, ShorthandRow{rtsEnable, false, false, false, fcCustom},
                                           ShorthandRow{rtsDisable, false, true, false, fcCustom}, ShorthandRow{rtsHandshake, true, true, true, fcCustom}));

TEST(FlowControlShorthandWrite, SetsItsFieldsAndLeavesTheOthers)
{
    TComFlowControl f;
    f.SetControlRTS(rtsEnable);
    f.SetOutDSRFlow(true);
    f.SetControlDTR(dtrEnable);
    f.SetFlowControl(fcCustom);
    EXPECT_EQ(f.ControlRTS(), rtsEnable);
    f.SetFlowControl(fcHardware);
    EXPECT_EQ(f.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(f.OutCTSFlow());
    f.SetFlowControl(fcSoftware);
    EXPECT_EQ(f.ControlRTS(), rtsDisable);
    EXPECT_FALSE(f.OutCTSFlow());
    EXPECT_TRUE(f.XonXoffIn() && f.XonXoffOut());
    f.SetFlowControl(fcNone);
    EXPECT_FALSE(f.XonXoffIn() || f.XonXoffOut());
    EXPECT_TRUE(f.OutDSRFlow());
    EXPECT_EQ(f.ControlDTR(), dtrEnable);
}

TEST(SettingGroups, AssignCopiesEveryFieldAndRefusesOtherClasses)
{
    TComPort port;
    TComTimeouts t;
    t.SetReadInterval(1);
    t.SetReadTotalConstant(50);
    t.SetWriteTotalMultiplier(3);
    port.SetTimeouts(t);
    EXPECT_EQ(port.Timeouts()->ReadInterval(), 1);
    EXPECT_EQ(port.Timeouts()->ReadTotalConstant(), 50);
    EXPECT_EQ(port.Timeouts()->WriteTotalMultiplier(), 3);
    EXPECT_EQ(port.Timeouts()->ComPort(), &port);

    TComParity parity;
    try {
        port.Timeouts()->Assign(parity);
        FAIL() << "assigning another class must be refused";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TComParity to a TComTimeouts"));
    }
}

struct LineRow {
    const char* name;
    TBaudRate baud;
    int custom;
    TDataBits data;
    TParityBits parity;
    TStopBits stop;
    speed_t expectSpeed;  // B0: a free rate, read as its number
    int expectByteSize;     // in the block: a pty reads back CS8 whatever was set
    tcflag_t expectParity;  // PARODD | CMSPAR part (a pty drops PARENB)
    bool expectTwoStop;
};

class TermiosLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(TermiosLine, SettingsReachTheDevice)
{
    const LineRow& r = GetParam();
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.SetBaudRate(r.baud);
    port.SetCustomBaudRate(r.custom);
    port.SetDataBits(r.data);
    port.Parity()->SetBits(r.parity);
    port.SetStopBits(r.stop);
    port.OpenPort();
    termios t = ReadBack(pty.SlavePath());
    if (r.expectSpeed != B0) {
        EXPECT_EQ(cfgetospeed(&t), r.expectSpeed);
    } else {
        EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t(0010000)) << "a free rate is set through BOTHER";
    }
    EXPECT_EQ(port.DeviceControlBlock().ByteSize, r.expectByteSize);
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), r.expectParity);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, r.expectTwoStop);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TermiosLine,
    ::testing::Values(LineRow{"MainWindow", br115200, 9600, dbEight, prNone, sbOneStopBit, B115200, 8, 0, false},
                      LineRow{"Slow7Odd", br110, 9600, dbSeven, prOdd, sbOneStopBit, B110, 7, PARODD, false},
                      LineRow{"Even6TwoStop", br4800, 9600, dbSix, prEven, sbTwoStopBits, B4800, 6, 0, true},
                      LineRow{"Mark5OneAndHalf", br57600, 9600, dbFive, prMark, sbOne5StopBits, B57600, 5, PARODD | CMSPAR, true},
                      LineRow{"Even8OneAndHalf", br9600, 9600, dbEight, prEven, sbOne5StopBits, B9600, 8, 0, true},
                      LineRow{"Space", br38400, 9600, dbEight, prSpace, sbOneStopBit, B38400, 8, CMSPAR, false},
                      LineRow{"Free14400", br14400, 9600, dbEight, prNone, sbOneStopBit, B0, 8, 0, false},
                      LineRow{"Free256000", br256000, 9600, dbEight, prNone, sbOneStopBit, B0, 8, 0, false},
                      LineRow{"CustomStandard", brCustom, 9600, dbEight, prNone, sbOneStopBit, B9600, 8, 0, false},
                      LineRow{"CustomFree", brCustom, 31250, dbEight, prNone, sbOneStopBit, B0, 8, 0, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TermiosFlow, FlowControlFieldsReachTheDevice)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.FlowControl()->SetXonChar('A');
    port.FlowControl()->SetXoffChar('B');
    port.OpenPort();
    termios t = ReadBack(pty.SlavePath());
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);

    port.FlowControl()->SetFlowControl(fcSoftware);
    t = ReadBack(pty.SlavePath());
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 'A');
    EXPECT_EQ(t.c_cc[VSTOP], 'B');

    port.FlowControl()->SetFlowControl(fcHardware);
    t = ReadBack(pty.SlavePath());
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, tcflag_t(CRTSCTS));

    // OutCTSFlow alone turns on the kernel's combined handshake.
    port.FlowControl()->SetFlowControl(fcNone);
    port.FlowControl()->SetOutCTSFlow(true);
    EXPECT_EQ(ReadBack(pty.SlavePath()).c_cflag & CRTSCTS, tcflag_t(CRTSCTS));

    // Error bytes are marked only when they are to be replaced.
    port.Parity()->SetCheck(true);
    EXPECT_EQ(ReadBack(pty.SlavePath()).c_iflag & (INPCK | PARMRK), tcflag_t(INPCK));
    port.Parity()->SetReplace(true);
    EXPECT_EQ(ReadBack(pty.SlavePath()).c_iflag & (INPCK | PARMRK), tcflag_t(INPCK | PARMRK));
}

TEST(TermiosRates, BothRatesChangeTogetherInOneCallAtTheRateAsked)
{
    PtyPair pty;
    std::vector<unsigned> rates;  // the output rate of every settings call
    intercept::Hook hook(pty.SlavePath(), [&](intercept::IoctlCall& c) {
        if (c.request == TCSETS2)
            rates.push_back(static_cast<termios2*>(c.arg)->c_ospeed);
        else if (c.libc && c.request != TCFLSH)
            rates.push_back(cfgetospeed(static_cast<termios*>(c.arg)) == B38400 ? 38400 : 0);
        return c.Kernel();
    });
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.SetBaudRate(br256000);
    port.OpenPort();
    EXPECT_EQ(rates, std::vector<unsigned>{256000});
    for (const TBaudRate rate : {br9600, br128000, brCustom, br115200}) {
        rates.clear();
        port.SetBaudRate(rate);
        const unsigned asked = rate == brCustom ? 9600 : static_cast<unsigned>(BaudRateValue(rate));
        EXPECT_EQ(rates, std::vector<unsigned>{asked});
        const termios2 t = ReadBack2(pty.SlavePath());
        EXPECT_EQ(t.c_ispeed, asked);
        EXPECT_EQ(t.c_ospeed, asked);
    }
}

struct TakeRow {
    const char* name;
    std::function<void(TComPort&)> set;
    std::function<void(termios2&)> driver;
    bool takes;
};

class SettingsReadBack : public ::testing::TestWithParam<TakeRow> {};

TEST_P(SettingsReadBack, WhatTheDriverDidNotTakeRaises7AndTheDeviceKeepsItsSettings)
{
    PtyPair pty;
    SubstitutingDriver driver(pty.SlavePath());
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.OpenPort();
    const termios2 before = ReadBack2(pty.SlavePath());
    driver.change = GetParam().driver;
    driver.armed = true;
    EComPort e = CaughtComError([&] { GetParam().set(port); });
    EXPECT_TRUE(port.Connected());
    if (GetParam().takes) {
        EXPECT_EQ(e.ErrorNumber, 0) << e.Message().toStdString();
        return;
    }
    EXPECT_EQ(e.ErrorNumber, 7);
    const termios2 after = ReadBack2(pty.SlavePath());
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_ospeed, before.c_ospeed);
    EXPECT_EQ(after.c_ispeed, before.c_ispeed);

    // Refused while opening: the device is released.
    port.ClosePort();
    EXPECT_EQ(CaughtComError([&] { port.OpenPort(); }).ErrorNumber, 7);
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsReadBack,
    ::testing::Values(
        TakeRow{"RateClipped", [](TComPort& p) { p.SetBaudRate(br256000); }, [](termios2& line) { line.c_ospeed = line.c_ispeed = 115200; }, false},
        TakeRow{"RateWithinTwoPercent", [](TComPort& p) { p.SetBaudRate(br256000); }, [](termios2& line) { line.c_ospeed = line.c_ispeed = 251000; }, true},
        TakeRow{"RateOffThreePercent", [](TComPort& p) { p.SetBaudRate(br128000); }, [](termios2& line) { line.c_ospeed = line.c_ispeed = 124000; }, false},
        TakeRow{"InputRateLeftBehind", [](TComPort& p) { p.SetBaudRate(br19200); }, [](termios2& line) { line.c_ispeed = 256000; }, false},
        TakeRow{"MarkParityDropped", [](TComPort& p) { p.Parity()->SetBits(prMark); }, [](termios2& line) { line.c_cflag &= ~tcflag_t(CMSPAR); }, false},
        TakeRow{"HandshakeDropped", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcHardware); }, [](termios2& line) { line.c_cflag &= ~tcflag_t(CRTSCTS); },
                false},
        TakeRow{"StopBitsDropped", [](TComPort& p) { p.SetStopBits(sbTwoStopBits); }, [](termios2& line) { line.c_cflag &= ~tcflag_t(CSTOPB); }, false},
        TakeRow{"ErrorMarkingDropped",
                [](TComPort& p) {
                    p.Parity()->SetReplace(true);
                    p.Parity()->SetCheck(true);
                },
                [](termios2& line) { line.c_iflag &= ~tcflag_t(PARMRK); }, false},
        // What a pty itself drops (it has no wire): 8 data bits, no parity.
        TakeRow{"PtyFramingIsNoFailure",
                [](TComPort& p) {
                    p.SetDataBits(dbSeven);
                    p.Parity()->SetBits(prEven);
                },
                [](termios2&) {}, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TermiosApply, ChangesWhileClosedWaitForTheNextOpen)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.SetBaudRate(br2400);
    EXPECT_NE(OutputSpeed(pty.SlavePath()), B2400);
    port.OpenPort();
    EXPECT_EQ(OutputSpeed(pty.SlavePath()), B2400);
}

TEST(SettingsBracket, AppliesOnceAtTheOuterEnd)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.OpenPort();
    port.EndSettingsChange();  // unmatched: nothing happens
    EXPECT_EQ(port.SettingsChangeDepth(), 0);

    port.BeginSettingsChange();
    port.BeginSettingsChange();
    port.SetBaudRate(br1200);
    port.SetStopBits(sbTwoStopBits);
    port.EndSettingsChange();
    termios t = ReadBack(pty.SlavePath());
    EXPECT_NE(cfgetospeed(&t), B1200) << "inner end must not apply";
    port.EndSettingsChange();
    t = ReadBack(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&t), B1200);
    EXPECT_EQ(t.c_cflag & CSTOPB, tcflag_t(CSTOPB));
}

TEST(SettingsRefused, InvalidCustomRateWhileOpenRaises7AndKeepsThePortOpen)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.OpenPort();
    port.SetBaudRate(brCustom);
    EComPort e = CaughtComError([&] { port.SetCustomBaudRate(0); });
    EXPECT_EQ(e.ErrorNumber, 7);
    EXPECT_EQ(port.CustomBaudRate(), 0);
    EXPECT_TRUE(port.Connected());
}

TEST(SettingsRefused, RefusedDuringOpenReleasesTheDevice)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(0);
    EXPECT_EQ(CaughtComError([&] { port.OpenPort(); }).ErrorNumber, 7);
    EXPECT_FALSE(port.Connected());
    TComPort other;
    other.SetPort(pty.SlavePath());
    EXPECT_NO_THROW(other.OpenPort());
}

TEST(ComErrors, MessagesCarryTheSystemCodeOnlyWhenThereIsOne)
{
    EXPECT_EQ(EComPort(2, 5).Message(), QStringLiteral("WriteFile function failed (win error code: 5)"));
    EXPECT_EQ(EComPort(23, 13).Message(), QStringLiteral("Registry error (win error code: 13)"));
    EXPECT_EQ(EComPort(4).Message(), QStringLiteral("Invalid Async parameter"));
    EXPECT_EQ(ComErrorText(19), QStringLiteral("Cannot change led state if ComPort is selected"));
    EXPECT_EQ(ComErrorText(24), QString());
}

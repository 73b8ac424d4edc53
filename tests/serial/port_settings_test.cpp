// The setting groups, the line-settings block, its termios form on a real
// pty, and when settings are applied.
#include "tests/serial/helpers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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

    port.Parity()->SetCheck(true);
    EXPECT_EQ(ReadBack(pty.SlavePath()).c_iflag & INPCK, tcflag_t(INPCK));
}

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

// The port list and the text conversions of the port setup: what any front
// end offers to pick from, without a widget.
#include "tests/serial/helpers.h"

#include "serial/comselect.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLocale>

TEST(TextToValue, MatchesIgnoringCaseAndFallsBackPerType)
{
    EXPECT_EQ(BaudRateFromText(QStringLiteral("custom")), brCustom);
    EXPECT_EQ(BaudRateFromText(QStringLiteral("115200")), br115200);
    EXPECT_EQ(BaudRateFromText(QStringLiteral("12")), br9600);
    EXPECT_EQ(DataBitsFromText(QStringLiteral("5")), dbFive);
    EXPECT_EQ(DataBitsFromText(QString()), dbEight);
    EXPECT_EQ(StopBitsFromText(QStringLiteral("1.5")), sbOne5StopBits);
    EXPECT_EQ(StopBitsFromText(QStringLiteral("3")), sbOneStopBit);
    EXPECT_EQ(ParityFromText(QStringLiteral("SPACE")), prSpace);
    EXPECT_EQ(ParityFromText(QStringLiteral("x")), prNone);
    EXPECT_EQ(FlowControlFromText(QStringLiteral("hardware")), fcHardware);
    EXPECT_EQ(FlowControlFromText(QStringLiteral("none")), fcNone);
    EXPECT_EQ(FlowControlFromText(QStringLiteral("?")), fcCustom);
}

TEST(ListSerialPorts, VirtualLinksToCharacterDevicesAreListedSortedIgnoringCase)
{
    PortsFolder folder;
    PtyPair a;
    PtyPair b;
    PtyPair c;
    const QString com10 = folder.Link(QStringLiteral("COM10"), a.SlavePath());
    const QString com2 = folder.Link(QStringLiteral("COM2"), b.SlavePath());
    const QString lower = folder.Link(QStringLiteral("com1"), c.SlavePath());
    folder.Link(QStringLiteral("dangling"), QStringLiteral("/nonexistent"));
    QFile plain(folder.dir.path() + QStringLiteral("/notalink"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    folder.Link(QStringLiteral("tofile"), plain.fileName());

    // The list's old content is replaced.
    EXPECT_EQ(folder.Listed({QStringLiteral("old")}), (QStringList{lower, com10, com2}));
}

TEST(ListSerialPorts, OnlyPortsAreOfferedInTheUsersCollation)
{
    PortsFolder folder;
    const QLocale locale;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    PtyPair pty;
    QStringList expected;
    for (const char* name : {"ábc", "beta", "Zeta"})
        expected << folder.Link(QString::fromUtf8(name), pty.SlavePath());
    // Terminals that are not ports.
    for (const char* device : {"/dev/null", "/dev/tty", "/dev/ptmx"})
        folder.Link(QFileInfo(QString::fromLatin1(device)).fileName(), QString::fromLatin1(device));
    // A serial line, where this machine has a UART behind its first slot.
    QFile uartType(QStringLiteral("/sys/class/tty/ttyS0/type"));
    if (uartType.open(QIODevice::ReadOnly) && uartType.readAll().trimmed().toInt() != 0)
        expected.insert(2, folder.Link(QStringLiteral("line"), QStringLiteral("/dev/ttyS0")));
    EXPECT_EQ(folder.Listed(), expected);
    QLocale::setDefault(locale);
}

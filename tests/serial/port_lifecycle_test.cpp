// Opening, closing, exclusive use and the failures of acquiring a device.
#include "tests/serial/helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

TEST(PortOpenClose, NotificationsFireInOrderAndRepeatsChangeNothing)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    NotificationLog log;
    log.Attach(port);

    port.OpenPort();
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.HasEventThread());
    EXPECT_EQ(log.entries, kOpenSequence);

    log.entries.clear();
    port.OpenPort();
    EXPECT_TRUE(log.entries.isEmpty());

    port.ClosePort();
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.HasEventThread());
    EXPECT_EQ(log.entries, kCloseSequence);

    log.entries.clear();
    port.ClosePort();
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST(PortOpenClose, ConnectedPropertyOpensAndCloses)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
}

TEST(PortOpenClose, EmptyEventSetStartsNoThread)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetEvents({});
    port.OpenPort();
    EXPECT_TRUE(port.Connected());
    EXPECT_FALSE(port.HasEventThread());
}

TEST(PortOpenClose, MissingDeviceRaisesError1WithErrnoAndOnlyBeforeOpenFires)
{
    TComPort port;
    port.SetPort(QStringLiteral("/dev/veltra8-no-such-port"));
    NotificationLog log;
    log.Attach(port);
    EComPort e = CaughtComError([&] { port.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber, 1);
    EXPECT_EQ(e.SystemError, ENOENT);
    EXPECT_EQ(e.Message(), QStringLiteral("Unable to open com port (win error code: %1)").arg(ENOENT));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(log.entries, QStringList{QStringLiteral("BeforeOpen")});
}

TEST(PortOpenClose, EmptyPortNameOrOneHoldingANulRaisesError1)
{
    TComPort port;
    port.SetPort(QString());
    EXPECT_EQ(CaughtComError([&] { port.OpenPort(); }).ErrorNumber, 1);
    // Not cut at the NUL, which would open another device.
    PtyPair pty;
    port.SetPort(pty.SlavePath() + QChar(0) + QStringLiteral("x"));
    EComPort e = CaughtComError([&] { port.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber, 1);
    EXPECT_EQ(e.SystemError, EINVAL);
    EXPECT_FALSE(port.Connected());
}

TEST(PortOpenClose, DeviceWithoutPermissionRaisesError1WithEacces)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens every device";
    PtyPair pty;
    ASSERT_EQ(chmod(pty.SlavePath().toLocal8Bit().constData(), 0), 0);
    TComPort port;
    port.SetPort(pty.SlavePath());
    EComPort e = CaughtComError([&] { port.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber, 1);
    EXPECT_EQ(e.SystemError, EACCES);
}

TEST(PortOpenClose, NonTerminalRaisesError1)
{
    TComPort port;
    port.SetPort(QStringLiteral("/dev/null"));
    EComPort e = CaughtComError([&] { port.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber, 1);
    EXPECT_EQ(e.SystemError, ENOTTY);
    EXPECT_FALSE(port.Connected());
}

TEST(PortExclusiveOpen, SecondPortInSameProcessRaisesError1)
{
    PtyPair pty;
    TComPort first;
    first.SetPort(pty.SlavePath());
    first.OpenPort();
    TComPort second;
    second.SetPort(pty.SlavePath());
    EComPort e = CaughtComError([&] { second.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber, 1);
    EXPECT_FALSE(second.Connected());

    first.ClosePort();
    EXPECT_NO_THROW(second.OpenPort());
}

TEST(PortExclusiveOpen, OtherProcessRaisesError1)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.OpenPort();
    const QString path = pty.SlavePath();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TComPort other;
        other.SetEvents({});
        other.SetPort(path);
        int code = 0;
        try {
            other.OpenPort();
        } catch (const EComPort& e) {
            code = e.ErrorNumber;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(PortResources, DescriptorCountIsFlatOverThousandOpenCloseCycles)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.OpenPort();
    port.ClosePort();
    const int before = OpenDescriptorCount();
    for (int i = 0; i < 1000; ++i) {
        port.OpenPort();
        port.ClosePort();
    }
    EXPECT_EQ(OpenDescriptorCount(), before);

    TComPort missing;
    missing.SetPort(QStringLiteral("/dev/null"));
    for (int i = 0; i < 100; ++i)
        CaughtComError([&] { missing.OpenPort(); });
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(PortSetters, PortChangeWhileOpenReopensWithFullSequences)
{
    PtyPair a;
    PtyPair b;
    TComPort port;
    port.SetPort(a.SlavePath());
    port.OpenPort();
    NotificationLog log;
    log.Attach(port);

    port.SetPort(a.SlavePath());
    EXPECT_TRUE(log.entries.isEmpty());

    port.SetPort(b.SlavePath());
    EXPECT_EQ(log.entries, kCloseSequence + kOpenSequence);
    EXPECT_TRUE(port.Connected());
    // The old device is free again, the new one is held.
    TComPort other;
    other.SetPort(a.SlavePath());
    EXPECT_NO_THROW(other.OpenPort());
    TComPort third;
    third.SetPort(b.SlavePath());
    EXPECT_EQ(CaughtComError([&] { third.OpenPort(); }).ErrorNumber, 1);
}

TEST(PortSetters, SyncMethodIsRefusedWhileOpenAndAcceptedWhileClosed)
{
    PtyPair pty;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
    port.OpenPort();
    EComPort e = CaughtComError([&] { port.SetSyncMethod(smThreadSync); });
    EXPECT_EQ(e.ErrorNumber, 14);
    EXPECT_EQ(e.SystemError, -1);
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot set property while connected"));
    EXPECT_EQ(port.SyncMethod(), smNone);
    EXPECT_NO_THROW(port.SetSyncMethod(smNone));
}

TEST(PortLoading, SettersOnlyStoreUntilLoadedOpensTheStoredConnection)
{
    PtyPair pty;
    TComPort port;
    NotificationLog log;
    log.Attach(port);
    port.BeginLoading();
    port.SetPort(pty.SlavePath());
    port.SetConnected(true);
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(log.entries.isEmpty());
    port.Loaded();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(log.entries, kOpenSequence);
}

TEST(PortDestruction, DestroyingAnOpenPortClosesItAndFreesTheDevice)
{
    PtyPair pty;
    QStringList seen;
    {
        TComPort port;
        port.SetPort(pty.SlavePath());
        port.OpenPort();
        port.OnAfterClose = [&](QObject*) { seen << QStringLiteral("AfterClose"); };
    }
    EXPECT_EQ(seen, QStringList{QStringLiteral("AfterClose")});
    TComPort again;
    again.SetPort(pty.SlavePath());
    EXPECT_NO_THROW(again.OpenPort());
}

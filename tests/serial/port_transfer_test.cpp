// Writes and reads with their time-out rules, NUL dropping, queries, purges,
// operations on a closed port, and a device that goes away.
#include "tests/serial/helpers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cerrno>
#include <sys/resource.h>
#include <thread>

namespace {

// The main window's port on a fresh pty, open, without an event thread
// unless asked for, so the test alone reads the line.
struct OpenPort {
    explicit OpenPort(TComEvents events = {})
    {
        ConfigureAsMainWindowPort(port, pty.SlavePath());
        port.SetEvents(events);
        port.OpenPort();
    }
    PtyPair pty;
    TComPort port;
};

// Writes `bytes` to the far end after a pause, from a thread that the caller
// holds: it is joined when the handle goes, which must be before the pty.
[[nodiscard]] std::jthread WriteLater(PtyPair& pty, QByteArray bytes, int delayMs)
{
    return std::jthread([&pty, bytes, delayMs] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        pty.Write(bytes);
    });
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

TEST(SendText, EmptyStringReturnsZeroAndSendsNothingOpenOrNot)
{
    OpenPort p;
    EXPECT_EQ(p.port.SendText(QByteArray()), 0);
    EXPECT_TRUE(p.pty.ReadAll(50).isEmpty());
    TComPort closed;
    EXPECT_EQ(closed.SendText(QByteArray()), 0);
}

TEST(SendText, WhatAWriteReportedReachesTheFarEndAcrossAClose)
{
    OpenPort p(AllComEvents);
    EXPECT_EQ(p.port.SendText("x"), 1);
    p.port.ClosePort();
    EXPECT_EQ(p.pty.Read(1), QByteArray("x"));
}

TEST(SendText, WholeStringArrivesAndItsLengthIsReturned)
{
    OpenPort p;
    QByteArray text("8X\0x", 4);
    EXPECT_EQ(p.port.SendText(text), 4);
    EXPECT_EQ(p.pty.Read(4), text);
}

TEST(SendText, WriteTimeOutCutsShortAndReturnsTheSmallerCount)
{
    OpenPort p;
    p.port.Timeouts()->SetWriteTotalMultiplier(0);
    p.port.Timeouts()->SetWriteTotalConstant(100);
    // Nobody reads the far end, so the pty's buffer fills and stays full.
    QByteArray big(4 * 1024 * 1024, 'x');
    QElapsedTimer clock;
    clock.start();
    int written = p.port.SendText(big);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, big.size());
    EXPECT_GE(clock.elapsed(), 90);
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST(ReceiveText, ZeroOrNegativeCountReturnsZeroAndAnEmptyString)
{
    OpenPort p;
    p.pty.Write("abc");
    for (int count : {0, -5}) {
        QByteArray s("old");
        EXPECT_EQ(p.port.ReceiveText(s, count), 0);
        EXPECT_TRUE(s.isEmpty());
    }
}

TEST(ReceiveText, EndsAsSoonAsTheCountHasArrived)
{
    OpenPort p;
    p.pty.Write("0123456789");
    QByteArray s;
    EXPECT_EQ(p.port.ReceiveText(s, 4), 4);
    EXPECT_EQ(s, QByteArray("0123"));
    EXPECT_EQ(p.port.ReceiveText(s, 6), 6);
    EXPECT_EQ(s, QByteArray("456789"));
}

TEST(ReceiveText, WaitsForTheFirstByteThenEndsAtAnIntervalGap)
{
    OpenPort p;  // interval 1 ms, no totals: no limit for the first byte
    std::jthread writer = WriteLater(p.pty, "abc", 300);
    QElapsedTimer clock;
    clock.start();
    QByteArray s;
    EXPECT_EQ(p.port.ReceiveText(s, 64), 3);
    EXPECT_EQ(s, QByteArray("abc"));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST(ReceiveText, AllOnesIntervalWithoutTotalsReturnsAtOnce)
{
    OpenPort p;
    p.port.Timeouts()->SetReadInterval(-1);
    QByteArray s;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(p.port.ReceiveText(s, 10), 0);
    EXPECT_LT(clock.elapsed(), 100);
    p.pty.Write("xy");
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 2; }));
    EXPECT_EQ(p.port.ReceiveText(s, 10), 2);
    EXPECT_EQ(s, QByteArray("xy"));
}

TEST(ReceiveText, AllOnesIntervalAndMultiplierReturnWhatIsQueuedOrTheFirstBytesToCome)
{
    OpenPort p;
    p.port.Timeouts()->SetReadInterval(-1);
    p.port.Timeouts()->SetReadTotalMultiplier(-1);
    p.port.Timeouts()->SetReadTotalConstant(3000);
    QByteArray s;
    // Queued bytes come back at once, though more were asked for (the late
    // rest would end a read that waited for the count).
    p.pty.Write("ab");
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 2; }));
    std::jthread writer = WriteLater(p.pty, "cdefghij", 500);
    EXPECT_EQ(p.port.ReceiveText(s, 10), 2);
    EXPECT_EQ(s, QByteArray("ab"));
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 8; }));
    EXPECT_EQ(p.port.ReceiveText(s, 10), 8);
    // Nothing queued: the first bytes to come, within the constant.
    writer = WriteLater(p.pty, "k", 50);
    EXPECT_EQ(p.port.ReceiveText(s, 10), 1);
    EXPECT_EQ(s, QByteArray("k"));
    // Nothing at all: nothing, after the constant.
    p.port.Timeouts()->SetReadTotalConstant(200);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(p.port.ReceiveText(s, 10), 0);
    EXPECT_GE(clock.elapsed(), 190);
}

TEST(ReceiveText, TotalTimeOutIsMultiplierTimesCountPlusConstant)
{
    OpenPort p;
    p.port.Timeouts()->SetReadInterval(0);
    p.port.Timeouts()->SetReadTotalMultiplier(10);
    p.port.Timeouts()->SetReadTotalConstant(100);
    QByteArray s;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(p.port.ReceiveText(s, 10), 0);  // 10 x 10 + 100 = 200 ms
    EXPECT_GE(clock.elapsed(), 190);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(s.isEmpty());
}

TEST(DiscardNull, NulBytesAreNeitherCountedNorRead)
{
    OpenPort p;
    p.pty.Write(QByteArray("a\0b\0\0c", 6));
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 3; }, 2000));
    QByteArray s;
    EXPECT_EQ(p.port.ReceiveText(s, 3), 3);
    EXPECT_EQ(s, QByteArray("abc"));

    p.port.SetDiscardNull(false);
    p.pty.Write(QByteArray("\0d", 2));
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 2; }, 2000));
    EXPECT_EQ(p.port.ReceiveText(s, 2), 2);
    EXPECT_EQ(s, QByteArray("\0d", 2));
}

TEST(PurgeBuffers, InputPurgeDiscardsWhatWasQueued)
{
    OpenPort p;
    p.pty.Write("stale");
    ASSERT_TRUE(WaitUntil([&] { return p.port.QueuedInputCount() == 5; }, 2000));
    p.port.PurgeBuffers(true, false);
    EXPECT_EQ(p.port.QueuedInputCount(), 0);
    p.pty.Write("new");
    QByteArray s;
    EXPECT_EQ(p.port.ReceiveText(s, 3), 3);
    EXPECT_EQ(s, QByteArray("new"));
}

TEST(DeviceWithoutModemLines, LinesReadOffAndLineErrorsEmpty)
{
    OpenPort p;
    EXPECT_TRUE(p.port.ModemLines().Empty());
    EXPECT_TRUE(p.port.PendingLineErrors().Empty());
}

struct ClosedRow {
    const char* name;
    int number;
    std::function<void(TComPort&)> call;
};

class ClosedPortOperation : public ::testing::TestWithParam<ClosedRow> {};

TEST_P(ClosedPortOperation, FailsWithItsOwnNumber)
{
    TComPort port;
    EComPort e = CaughtComError([&] { GetParam().call(port); });
    EXPECT_EQ(e.ErrorNumber, GetParam().number);
    EXPECT_EQ(e.SystemError, EBADF);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClosedPortOperation,
                         ::testing::Values(ClosedRow{"SendText", 2, [](TComPort& p) { p.SendText("x"); }},
                                           ClosedRow{"ReceiveText", 3,
                                                     [](TComPort& p) {
                                                         QByteArray s;
                                                         p.ReceiveText(s, 1);
                                                     }},
                                           ClosedRow{"PurgeBuffers", 5, [](TComPort& p) { p.PurgeBuffers(true, false); }},
                                           ClosedRow{"QueuedInputCount", 10, [](TComPort& p) { p.QueuedInputCount(); }},
                                           ClosedRow{"PendingLineErrors", 10, [](TComPort& p) { p.PendingLineErrors(); }},
                                           ClosedRow{"ModemLines", 11, [](TComPort& p) { p.ModemLines(); }}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(VanishedDevice, PendingReadFailsWith3AndWritesWith2)
{
    OpenPort p(AllComEvents);
    std::jthread hangUp([&p] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        p.pty.CloseMaster();
    });
    QByteArray s;
    QElapsedTimer clock;
    clock.start();
    EComPort read = CaughtComError([&] { p.port.ReceiveText(s, 10); });
    EXPECT_EQ(read.ErrorNumber, 3);
    EXPECT_EQ(read.SystemError, EIO);
    EXPECT_LT(clock.elapsed(), 3000);

    EComPort write = CaughtComError([&] { p.port.SendText("x"); });
    EXPECT_EQ(write.ErrorNumber, 2);
    EXPECT_EQ(write.SystemError, EIO);
    EXPECT_TRUE(p.port.Connected());
}

TEST(VanishedDevice, EventThreadStopsWaitingWithoutSpinningAndCloseIsClean)
{
    OpenPort p(AllComEvents);
    TComErrors reported;
    int errorCalls = 0;
    p.port.OnError = [&](QObject*, TComErrors e) {
        reported = e;
        ++errorCalls;
    };
    p.pty.CloseMaster();
    const int descriptors = OpenDescriptorCount();
    ASSERT_TRUE(WaitUntil([&] { return errorCalls > 0; }, 3000));
    EXPECT_TRUE(reported.Contains(ceIO));

    const double before = CpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LT(CpuSeconds() - before, 0.2) << "a hung-up device must not keep the thread busy";
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(errorCalls, 1);

    NotificationLog log;
    log.Attach(p.port);
    p.port.ClosePort();
    EXPECT_EQ(log.entries, kCloseSequence);
    EXPECT_FALSE(p.port.Connected());
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 3);  // device and two wakers
}

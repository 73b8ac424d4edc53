// The event thread: received characters reaching the handler on the port's
// thread, batches with nothing queued, closing during a hand-over, handler
// failures, and the idle cost.
#include "tests/serial/helpers.h"

#include "platform/application.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <sys/resource.h>
#include <thread>

namespace {

struct ErrorSink {
    ErrorSink()
    {
        Application::SetExceptionSink([this](const QString& text) { texts << text; });
    }
    ~ErrorSink() { Application::SetExceptionSink({}); }
    QStringList texts;
};

}  // namespace

TEST(RxChar, RunsOnThePortsThreadWithTheBytesWaiting)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QByteArray received;
    QList<int> counts;
    bool onPortThread = true;
    port.OnRxChar = [&](QObject* sender, int count) {
        onPortThread = onPortThread && QThread::currentThread() == port.thread() && sender == &port;
        counts << count;
        QByteArray s;
        port.ReceiveText(s, count);
        received += s;
    };
    port.OpenPort();
    pty.Write("0123456789");
    ASSERT_TRUE(WaitUntil([&] { return received.size() == 10; }));
    EXPECT_EQ(received, QByteArray("0123456789"));
    EXPECT_TRUE(onPortThread);
    for (int c : counts)
        EXPECT_GE(c, 1);
}

TEST(RxChar, CountIncludesBytesThatArrivedWhileThePortsThreadWasBusy)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QList<int> counts;
    port.OnRxChar = [&](QObject*, int count) {
        counts << count;
        QByteArray s;
        port.ReceiveText(s, count);
    };
    port.OpenPort();
    pty.Write("ab");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the hand-over waits
    pty.Write("cde");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(WaitUntil([&] { return !counts.isEmpty(); }));
    EXPECT_EQ(counts.first(), 5);
}

TEST(RxChar, BatchFindingTheQueueEmptyCallsNothing)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    int calls = 0;
    port.OnRxChar = [&](QObject*, int) { ++calls; };
    port.OpenPort();
    pty.Write("xyz");
    // The thread has formed its batch and waits; the bytes are read first.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QByteArray s;
    ASSERT_EQ(port.ReceiveText(s, 3), 3);
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(calls, 0);
}

TEST(RxChar, BytesPulledInByAQueryOnThePortsThreadAreStillAnnounced)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QList<int> counts;
    port.OnRxChar = [&](QObject*, int count) { counts << count; };
    port.OpenPort();
    pty.Write("abc");
    // Whichever thread moves the bytes first, the handler must hear of them.
    ASSERT_TRUE(WaitUntil([&] { return port.QueuedInputCount() == 3 || !counts.isEmpty(); }));
    ASSERT_TRUE(WaitUntil([&] { return !counts.isEmpty(); }));
    EXPECT_EQ(counts, QList<int>{3});
}

TEST(RxChar, NulOnlyInputWithDiscardNullCallsNothing)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    int calls = 0;
    port.OnRxChar = [&](QObject*, int) { ++calls; };
    port.OpenPort();
    pty.Write(QByteArray(16, '\0'));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(calls, 0);
}

TEST(HandOver, ClosePortWhileADispatchWaitsServesItFirst)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QStringList order;
    port.OnRxChar = [&](QObject*, int count) {
        QByteArray s;
        port.ReceiveText(s, count);
        order << QStringLiteral("RxChar:") + QString::fromLatin1(s);
    };
    port.OnAfterClose = [&](QObject*) { order << QStringLiteral("AfterClose"); };
    port.OpenPort();
    pty.Write("late");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    port.ClosePort();  // no event loop ran: the hand-over is still waiting
    EXPECT_EQ(order, (QStringList{QStringLiteral("RxChar:late"), QStringLiteral("AfterClose")}));
    EXPECT_FALSE(port.HasEventThread());
    // A queued call left behind must not run anything once closed.
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(order.size(), 2);
}

TEST(HandOver, ClosePortFromInsideTheHandlerDoesNotDeadlock)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    int calls = 0;
    port.OnRxChar = [&](QObject*, int) {
        ++calls;
        port.ClosePort();
    };
    port.OpenPort();
    pty.Write("bye");
    ASSERT_TRUE(WaitUntil([&] { return !port.Connected(); }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(port.HasEventThread());
    EXPECT_NO_THROW(port.OpenPort());
}

TEST(HandlerFailure, IsShownInTheErrorBoxAndDeliveryGoesOn)
{
    ErrorSink sink;
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QByteArray received;
    port.OnRxChar = [&](QObject*, int count) {
        QByteArray s;
        port.ReceiveText(s, count);
        received += s;
        if (s.contains('!'))
            throw Exception(QStringLiteral("bad frame"));
    };
    port.OpenPort();
    pty.Write("!");
    ASSERT_TRUE(WaitUntil([&] { return !sink.texts.isEmpty(); }));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("bad frame.")});
    pty.Write("ok");
    ASSERT_TRUE(WaitUntil([&] { return received.endsWith("ok"); }));
    EXPECT_EQ(received, QByteArray("!ok"));
}

TEST(HandlerFailure, UnderSmNoneIsShownOnThePortsThreadAndDeliveryGoesOn)
{
    ErrorSink sink;
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.SetSyncMethod(smNone);
    std::atomic<int> calls{0};
    std::atomic<bool> onEventThread{true};
    const QThread* portThread = port.thread();
    port.OnRxChar = [&](QObject*, int count) {
        onEventThread = onEventThread && QThread::currentThread() != portThread;
        QByteArray s;
        port.ReceiveText(s, count);
        if (++calls == 1)
            throw Exception(QStringLiteral("first"));
    };
    port.OpenPort();
    pty.Write("a");
    ASSERT_TRUE(WaitUntil([&] { return !sink.texts.isEmpty(); }));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("first.")});
    pty.Write("b");
    ASSERT_TRUE(WaitUntil([&] { return calls >= 2; }));
    EXPECT_TRUE(onEventThread);
    port.ClosePort();
}

TEST(EventBatch, EventCharacterRaisesRxFlagAfterRxChar)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.SetEventChar('A');
    QStringList order;
    port.OnRxChar = [&](QObject*, int count) {
        QByteArray s;
        port.ReceiveText(s, count);
        order << QStringLiteral("RxChar");
    };
    port.OnRxFlag = [&](QObject*) { order << QStringLiteral("RxFlag"); };
    port.OpenPort();
    pty.Write("xA");
    ASSERT_TRUE(WaitUntil([&] { return order.contains(QStringLiteral("RxFlag")); }));
    EXPECT_EQ(order.indexOf(QStringLiteral("RxChar")), order.indexOf(QStringLiteral("RxFlag")) - 1);
}

TEST(EventThreadCost, IdleOpenPortUsesNoCpu)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.OpenPort();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    auto us = [](const rusage& u) { return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000L + u.ru_utime.tv_usec + u.ru_stime.tv_usec; };
    EXPECT_LT(us(after) - us(before), 20000L);
}

TEST(EventBatch, TxEmptyFollowsAWriteOnceTheOutputQueueDrains)
{
    PtyPair pty;
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    int calls = 0;
    port.OnTxEmpty = [&](QObject*) { ++calls; };
    port.OpenPort();
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 0) << "nothing was written yet";
    port.SendText("8");
    EXPECT_EQ(pty.Read(1), QByteArray("8"));
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 1);
}

// A handler that ClosePort serves while it stops the event thread (a batch
// waiting for its hand-over) closes the port itself, or sets Port: the close
// under way finishes the job, once, and the device is freed only after the
// event thread has ended.
TEST(HandOver, NestedCloseFromAHandlerServedByClosePortIsHarmless)
{
    for (const bool setPort : {false, true}) {
        // On a busy machine the event thread may not have posted the batch
        // by the time ClosePort starts; such a round proves nothing and is
        // run again.
        bool served = false;
        for (int round = 0; round < 5 && !served; ++round) {
            PtyPair pty;
            PtyPair other;
            TComPort port;
            ConfigureAsMainWindowPort(port, pty.SlavePath());
            int afterClose = 0;
            port.OnAfterClose = [&](QObject*) { ++afterClose; };
            port.OnRxChar = [&](QObject*, int) {
                served = true;
                if (setPort)
                    port.SetPort(other.SlavePath());
                else
                    port.ClosePort();
            };
            port.OpenPort();
            const int descriptors = OpenDescriptorCount();
            pty.Write("x");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the batch waits for its hand-over
            port.ClosePort();
            if (!served)
                continue;
            EXPECT_FALSE(port.Connected());
            EXPECT_FALSE(port.HasEventThread());
            EXPECT_EQ(afterClose, 1);
            EXPECT_EQ(OpenDescriptorCount(), descriptors - 3);  // device and two wakers
            EXPECT_EQ(port.Port(), setPort ? other.SlavePath() : pty.SlavePath());
            EXPECT_NO_THROW(port.OpenPort());
            port.ClosePort();
        }
        EXPECT_TRUE(served) << "the handler never ran";
    }
}

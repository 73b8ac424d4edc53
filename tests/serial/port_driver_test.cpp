// What a pseudo-terminal cannot show, shown through intercepted calls on a
// real pty: a driver that holds written bytes while the line sends them, one
// that reports and waits for modem lines, and the kernel's marking of bytes
// received with a parity or framing error.
#include "tests/serial/helpers.h"

#include "tests/serial/intercept.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// An eventfd one side raises and the other waits on; a signal cuts the
// wait short, as it does the driver's own waits.
struct Signal {
    Signal() : fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Signal() { ::close(fd); }
    void Raise()
    {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
    }
    // 0 when raised, EINTR when interrupted, ETIMEDOUT after 5 s.
    int Wait()
    {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 5000);
        if (r < 0)
            return errno;
        if (r == 0)
            return ETIMEDOUT;
        std::uint64_t value = 0;
        [[maybe_unused]] ssize_t n = ::read(fd, &value, sizeof value);
        return 0;
    }
    int fd;
};

int Fail(int error)
{
    errno = error;
    return -1;
}

// A driver that holds `held` written bytes in its queue until the test says
// the line has sent them, or until the queue is discarded.
struct HoldingDriver {
    explicit HoldingDriver(const QString& path)
        : hook(path, [this](intercept::IoctlCall& c) {
              if (c.request == TIOCOUTQ && !c.libc) {
                  *static_cast<int*>(c.arg) = held;
                  return 0;
              }
              if (c.request == TCSBRK && c.IntArg() == 1) {
                  drainStarted.Raise();
                  const int e = lineSent.Wait();
                  return e == 0 ? 0 : Fail(e);
              }
              if (c.request == TCFLSH && (c.IntArg() == TCOFLUSH || c.IntArg() == TCIOFLUSH)) {
                  ++outputDiscards;
                  held = 0;
                  lineSent.Raise();  // the discard empties the queue: the drain ends
                  return 0;
              }
              return c.Kernel();
          })
    {
    }
    std::atomic<int> held{0};
    std::atomic<int> outputDiscards{0};
    Signal drainStarted;
    Signal lineSent;
    intercept::Hook hook;
};

// A driver with modem lines: TIOCMGET reads `bits`, TIOCGICOUNT the per-line
// change counts, and TIOCMIWAIT blocks until Change() (or a signal).
struct ModemDriver {
    explicit ModemDriver(const QString& path)
        : hook(path, [this](intercept::IoctlCall& c) {
              switch (c.request) {
              case TIOCMGET:
                  ++statusReads;
                  *static_cast<int*>(c.arg) = bits;
                  return 0;
              case TIOCMBIS:
              case TIOCMBIC:
                  return 0;
              case TIOCGICOUNT: {
                  serial_icounter_struct ic{};
                  ic.cts = ctsChanges;
                  ic.rng = ringChanges;
                  *static_cast<serial_icounter_struct*>(c.arg) = ic;
                  return 0;
              }
              case TIOCMIWAIT: {
                  ++waits;
                  const int e = changed.Wait();
                  if (e == EINTR)
                      ++interrupted;
                  return e == 0 ? 0 : Fail(e);
              }
              default:
                  return c.Kernel();
              }
          })
    {
    }
    void Change(int newBits, int cts, int ring)
    {
        bits = newBits;
        ctsChanges += cts;
        ringChanges += ring;
        changed.Raise();
    }
    std::atomic<int> bits{0};
    std::atomic<int> ctsChanges{0};
    std::atomic<int> ringChanges{0};
    std::atomic<int> statusReads{0};
    std::atomic<int> waits{0};
    std::atomic<int> interrupted{0};
    Signal changed;
    intercept::Hook hook;
};

// Reads of the port come back as the kernel marks a byte received with a
// parity or framing error (\377 \0 byte) for every byte `bad`, one byte per
// read, so that marks are split across reads.
struct MarkingDriver {
    MarkingDriver(const QString& path, char badByte)
        : bad(badByte), hook(path, [](intercept::IoctlCall& c) { return c.Kernel(); }, [this](intercept::ReadCall& c) -> ssize_t {
              std::lock_guard l(lock);
              if (pending.isEmpty()) {
                  char chunk[64];
                  const ssize_t n = c.Kernel(chunk, sizeof chunk);
                  if (n <= 0)
                      return n;
                  for (ssize_t i = 0; i < n; ++i)
                      pending += chunk[i] == bad ? QByteArray("\377\0", 2) + bad : QByteArray(1, chunk[i]);
              }
              *static_cast<char*>(c.buffer) = pending.front();
              pending.remove(0, 1);
              return 1;
          })
    {
    }
    char bad;
    std::mutex lock;
    QByteArray pending;
    intercept::Hook hook;
};

}  // namespace

TEST(HeldOutput, SendTextReturnsOnceTheBytesHaveLeftAndCloseDiscardsNone)
{
    PtyPair pty;
    HoldingDriver driver(pty.SlavePath());
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.OpenPort();
    driver.held = 5;
    std::atomic<bool> returned{false};
    bool returnedBeforeSent = true;
    std::thread line([&] {
        EXPECT_EQ(driver.drainStarted.Wait(), 0) << "the write must wait for its bytes to leave";
        returnedBeforeSent = returned;
        driver.held = 0;
        driver.lineSent.Raise();
    });
    EXPECT_EQ(port.SendText("hello"), 5);
    returned = true;
    line.join();
    EXPECT_FALSE(returnedBeforeSent);
    port.ClosePort();
    EXPECT_EQ(driver.outputDiscards, 0);
    EXPECT_EQ(pty.Read(5), QByteArray("hello"));
}

TEST(HeldOutput, WriteTimeOutCountsOnlyWhatLeftAndDiscardsTheRest)
{
    PtyPair pty;
    HoldingDriver driver(pty.SlavePath());
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    port.Timeouts()->SetWriteTotalMultiplier(0);
    port.Timeouts()->SetWriteTotalConstant(100);
    port.OpenPort();
    driver.held = 3;  // a stopped line: three of five bytes never leave
    EXPECT_EQ(port.SendText("hello"), 2);
    EXPECT_EQ(driver.outputDiscards, 1);
}

TEST(ModemLines, ChangesAreWaitedForWithoutATimerAndCloseEndsTheWait)
{
    PtyPair pty;
    ModemDriver driver(pty.SlavePath());
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());
    QStringList seen;
    port.OnCTSChange = [&](QObject*, bool on) { seen << (on ? QStringLiteral("CTS=on") : QStringLiteral("CTS=off")); };
    port.OnRing = [&](QObject*) { seen << QStringLiteral("Ring"); };
    port.OpenPort();
    seen.clear();
    ASSERT_TRUE(WaitUntil([&] { return driver.waits == 1; }));
    const int reads = driver.statusReads;
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(driver.statusReads, reads) << "an idle port must not read its lines";

    driver.Change(0, 1, 0);  // a CTS pulse, over before the lines are read
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 1; }));
    driver.Change(TIOCM_CTS, 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 2; }));
    driver.Change(TIOCM_CTS, 0, 1);  // the ring line's change count moved
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("CTS=off"), QStringLiteral("CTS=on"), QStringLiteral("Ring")}));

    port.ClosePort();
    EXPECT_EQ(driver.interrupted, 1) << "the close must cut the driver's wait short";
}

TEST(ErrorReplacement, MarkedBytesBecomeTheReplaceCharAndMarksOfPlainBytesAreUndone)
{
    PtyPair pty;
    MarkingDriver driver(pty.SlavePath(), 'P');
    TComPort port;
    ConfigureAsMainWindowPort(port, pty.SlavePath());  // drops NULs too
    port.SetEvents({});
    port.Parity()->SetCheck(true);
    port.Parity()->SetReplace(true);
    port.Parity()->SetReplaceChar('?');
    port.OpenPort();
    // The kernel doubles the \377 (PARMRK); 'P' arrives marked as an error.
    pty.Write("aPb\377c");
    ASSERT_TRUE(WaitUntil([&] { return port.QueuedInputCount() >= 5; }));
    QByteArray s;
    EXPECT_EQ(port.ReceiveText(s, 10), 5);
    EXPECT_EQ(s, QByteArray("a?b\377c"));

    // Without replacement nothing is marked or unmarked.
    port.Parity()->SetReplace(false);
    pty.Write("x\377y");
    ASSERT_TRUE(WaitUntil([&] { return port.QueuedInputCount() >= 3; }));
    EXPECT_EQ(port.ReceiveText(s, 10), 3);
    EXPECT_EQ(s, QByteArray("x\377y"));
}

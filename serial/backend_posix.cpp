// The POSIX (Linux termios) backend of the serial link: every system call
// of the port lives here.
#include "serial/backend.h"

#include "platform/errors.h"
#include "serial/termios2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <pthread.h>
#include <signal.h>
#include <thread>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace comm {

namespace {

// The rates termios names; any other goes through the free-rate interface.
speed_t StandardSpeed(std::uint32_t baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    default: return B0;
    }
}

// A Unix98 pseudo-terminal's port end (/dev/pts/N), whose other end belongs
// to whoever made it: a simulator, socat, a test.
bool IsPtySlave(dev_t device)
{
    return major(device) >= 136 && major(device) < 144;
}

// The whole line-settings block as termios, on top of what the device had.
int ToTermios(const TComDcb& dcb, termios2& t)
{
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
    t.c_cflag |= CLOCAL | CREAD;
    switch (dcb.ByteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return EINVAL;
    }
    switch (dcb.Parity) {
    case 0: break;
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: return EINVAL;
    }
    // A UART's "two stop bits" are one and a half with five data bits, which
    // is what 1.5 asks for; with more data bits two is the nearest it has.
    switch (dcb.StopBits) {
    case 0: break;
    case 1:
    case 2: t.c_cflag |= CSTOPB; break;
    default: return EINVAL;
    }
    if (dcb.Flags & TComDcb::fParity) {
        t.c_iflag |= INPCK;
        // The kernel then marks a byte received with a parity or framing
        // error as \377 \0 byte (and a plain \377 as \377 \377) instead of
        // making it NUL; the read path turns the marks into the error
        // character.
        if (dcb.Flags & TComDcb::fErrorChar)
            t.c_iflag |= PARMRK;
    }
    // The kernel ties CTS output flow and RTS input flow into one flag.
    if ((dcb.Flags & TComDcb::fOutxCtsFlow) || dcb.RtsControl() == rtsHandshake)
        t.c_cflag |= CRTSCTS;
    if (dcb.Flags & TComDcb::fOutX)
        t.c_iflag |= IXON;
    if (dcb.Flags & TComDcb::fInX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    // One byte wanted and no timer: with O_NONBLOCK an empty queue then
    // reads as EAGAIN, so a read of 0 can only mean end of file.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    if (dcb.BaudRate == 0)
        return EINVAL;
    // Both rates, named or free, in the same block, so one call sets them
    // together: the line never runs at a rate in between, and the input
    // rate cannot stay behind at an earlier free rate.
    const speed_t named = StandardSpeed(dcb.BaudRate);
    const tcflag_t code = named != B0 ? named : kBOTHER;
    t.c_cflag |= code | (code << kIBSHIFT);
    t.c_ispeed = dcb.BaudRate;
    t.c_ospeed = dcb.BaudRate;
    return 0;
}

// A UART divides a clock to make its rate, so few rates are exact, and a
// receiver tolerates a couple of per cent.
bool CloseEnoughRate(speed_t wanted, speed_t got)
{
    const std::uint64_t off = wanted > got ? wanted - got : got - wanted;
    return off * 50 <= wanted;
}

// Whether the device took the settings, as read back after setting them.
bool Took(const termios2& wanted, const termios2& got, bool pseudoTerminal)
{
    tcflag_t control = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    // A pseudo-terminal has no wire to frame bytes on: it always reads back
    // eight data bits and no parity, whatever it was given.
    if (pseudoTerminal)
        control &= ~tcflag_t(CSIZE | PARENB);
    const tcflag_t input = INPCK | PARMRK | IXON | IXOFF;
    return (wanted.c_cflag & control) == (got.c_cflag & control) && (wanted.c_iflag & input) == (got.c_iflag & input) &&
           CloseEnoughRate(wanted.c_ospeed, got.c_ospeed) && CloseEnoughRate(wanted.c_ispeed, got.c_ispeed);
}

// A thread that spends its time in one blocking call that only a signal can
// cut short (TIOCMIWAIT, the kernel's drain). Ending it raises `stop` and
// sends the thread a signal whose handler does nothing and was installed
// without SA_RESTART, so the call returns EINTR. The signal is sent again
// until the thread has ended, as it may land just before the call starts.
// SIGURG is ignored by default, so a stray one harms nothing, and nothing
// else in the program uses it (no out-of-band socket data).
class InterruptibleThread {
public:
    using Body = std::function<void(const std::atomic<bool>& stop)>;

    explicit InterruptibleThread(Body body)
    {
        static std::once_flag installed;
        std::call_once(installed, [] {
            struct sigaction action {};
            action.sa_handler = [](int) {};
            sigemptyset(&action.sa_mask);
            action.sa_flags = 0;
            ::sigaction(kSignal, &action, nullptr);
        });
        thread_ = std::thread([this, body = std::move(body)] {
            body(stop_);
            std::lock_guard l(lock_);
            ended_ = true;
            changed_.notify_all();
        });
    }
    ~InterruptibleThread() { End(); }
    InterruptibleThread(const InterruptibleThread&) = delete;
    InterruptibleThread& operator=(const InterruptibleThread&) = delete;

    // Waits up to timeoutMs (-1: without limit) for the body to return.
    bool WaitEnded(int timeoutMs)
    {
        std::unique_lock l(lock_);
        if (timeoutMs < 0) {
            changed_.wait(l, [&] { return ended_; });
            return true;
        }
        return changed_.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] { return ended_; });
    }

    void End()
    {
        if (!thread_.joinable())
            return;
        stop_ = true;
        for (int stepMs = 1; !WaitEnded(0); stepMs = std::min(stepMs * 2, 64)) {
            ::pthread_kill(thread_.native_handle(), kSignal);
            WaitEnded(stepMs);
        }
        thread_.join();
    }

private:
    static constexpr int kSignal = SIGURG;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable changed_;
    bool ended_ = false;
    std::thread thread_;
};

// Waits for modem-line changes with TIOCMIWAIT: the driver wakes the thread
// when a line changes, and nothing wakes it otherwise.
class PosixLineWatch final : public LineWatch {
public:
    PosixLineWatch(int fd, std::function<void()> changed)
        : thread_([this, fd, changed = std::move(changed)](const std::atomic<bool>& stop) {
              while (!stop) {
                  if (::ioctl(fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD) == 0) {
                      changed();
                      continue;
                  }
                  if (errno == EINTR)
                      continue;
                  // A driver that reads its lines but cannot wait for them
                  // says so once; a vanished device is heard by the event
                  // thread's own wait.
                  if (IsUnsupportedOperation(errno)) {
                      waits_ = false;
                      changed();
                  }
                  return;
              }
          })
    {
    }
    bool Waits() const override { return waits_; }

private:
    std::atomic<bool> waits_{true};
    InterruptibleThread thread_;  // last: ends before the flag goes
};

class PosixWaker final : public Waker {
public:
    explicit PosixWaker(int fd) : fd_(fd) {}
    ~PosixWaker() override { ::close(fd_); }
    void Raise() override
    {
        std::uint64_t one = 1;
        // A full counter already means raised; nothing is lost.
        [[maybe_unused]] ssize_t n = ::write(fd_, &one, sizeof one);
    }
    void Clear() override
    {
        std::uint64_t value = 0;
        [[maybe_unused]] ssize_t n = ::read(fd_, &value, sizeof value);
    }
    int Fd() const { return fd_; }

private:
    int fd_;
};

class PosixDevice final : public Device {
public:
    PosixDevice(int fd, bool pseudoTerminal) : fd_(fd), pseudoTerminal_(pseudoTerminal) {}
    ~PosixDevice() override
    {
        // The exclusive flag outlives our descriptor while someone else
        // holds the tty open (the far end of a pty), so drop it first.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }

    int SetQueueSizes(int input, int output) override
    {
        // The line discipline sizes its own queues; what can fail is the
        // device itself, so check that it is still a working terminal.
        if (input < 0 || output < 0)
            return EINVAL;
        termios2 t{};
        return ::ioctl(fd_, TCGETS2, &t) == 0 ? 0 : errno;
    }

    int SetState(const TComDcb& dcb) override
    {
        termios2 was{};
        if (::ioctl(fd_, TCGETS2, &was) != 0)
            return errno;
        termios2 wanted = was;
        if (int e = ToTermios(dcb, wanted))
            return e;
        if (::ioctl(fd_, TCSETS2, &wanted) != 0)
            return errno;
        termios2 got{};
        if (::ioctl(fd_, TCGETS2, &got) != 0)
            return errno;
        if (!Took(wanted, got, pseudoTerminal_)) {
            ::ioctl(fd_, TCSETS2, &was);
            return NotTakenError();
        }

        // Linux raises DTR and RTS on open by itself; set them as asked.
        // A handshake or toggle mode leaves its line raised.
        int raise = 0;
        int drop = 0;
        (dcb.DtrControl() == dtrDisable ? drop : raise) |= TIOCM_DTR;
        (dcb.RtsControl() == rtsDisable ? drop : raise) |= TIOCM_RTS;
        for (auto [request, bits] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
            if (bits != 0 && ::ioctl(fd_, request, &bits) != 0 && !IsUnsupportedOperation(errno))
                return errno;
        }
        return 0;
    }

    IoResult Read(char* buffer, int max) override
    {
        ssize_t n = ::read(fd_, buffer, static_cast<size_t>(max));
        if (n > 0)
            return {n, 0, false};
        if (n == 0)
            return {0, GoneError(), true};
        int e = errno;
        if (e == EAGAIN || e == EWOULDBLOCK || e == EINTR)
            return {};
        return {0, e, IsGoneError(e)};
    }

    IoResult Write(const char* data, int count) override
    {
        ssize_t n = ::write(fd_, data, static_cast<size_t>(count));
        if (n >= 0)
            return {n, 0, false};
        int e = errno;
        if (e == EAGAIN || e == EWOULDBLOCK || e == EINTR)
            return {};
        return {0, e, IsGoneError(e)};
    }

    unsigned Wait(unsigned want, Waker* waker, int timeoutMs) override
    {
        pollfd fds[2];
        nfds_t n = 0;
        int device = -1;
        int wake = -1;
        if (want & (WaitReadable | WaitWritable | WaitHangUp)) {
            short events = 0;
            if (want & WaitReadable)
                events |= POLLIN;
            if (want & WaitWritable)
                events |= POLLOUT;
            fds[n] = {fd_, events, 0};
            device = static_cast<int>(n++);
        }
        if (auto* w = dynamic_cast<PosixWaker*>(waker)) {
            fds[n] = {w->Fd(), POLLIN, 0};
            wake = static_cast<int>(n++);
        }
        if (::poll(fds, n, timeoutMs) <= 0)
            return 0;
        unsigned out = 0;
        if (device >= 0) {
            short r = fds[device].revents;
            if (r & POLLIN)
                out |= WaitReadable;
            if (r & POLLOUT)
                out |= WaitWritable;
            if (r & (POLLHUP | POLLERR | POLLNVAL))
                out |= WaitGone;
        }
        if (wake >= 0 && (fds[wake].revents & POLLIN))
            out |= WaitWoken;
        return out;
    }

    int WaitUntilSent(int timeoutMs, int& left) override
    {
        left = 0;
        int queued = 0;
        if (int e = OutputQueued(queued))
            return e;
        // A pty hands written bytes straight to its far end: nothing waits.
        if (queued == 0)
            return 0;
        // The kernel's wait for the output to drain (tcdrain) has no time
        // limit of its own, so it runs on a thread the limit can cut short.
        std::atomic<int> result{0};
        InterruptibleThread drain([fd = fd_, &result](const std::atomic<bool>& stop) {
            int e = 0;
            do
                e = ::ioctl(fd, TCSBRK, 1) == 0 ? 0 : errno;
            while (e == EINTR && !stop);
            result = e;
        });
        if (drain.WaitEnded(timeoutMs))
            return result;
        // Out of time: what has not left is discarded, so that what the
        // write reports is what was sent. The discard also ends the drain
        // on most drivers; the signal ends it on the others.
        OutputQueued(left);
        if (left > 0)
            ::ioctl(fd_, TCFLSH, TCOFLUSH);
        drain.End();
        return TimedOutError();
    }

    int Purge(bool input, bool output) override
    {
        if (!input && !output)
            return 0;
        int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return ::ioctl(fd_, TCFLSH, which) == 0 ? 0 : errno;
    }

    int InputQueued(int& count) override
    {
        count = 0;
        return ::ioctl(fd_, TIOCINQ, &count) == 0 ? 0 : errno;
    }

    int OutputQueued(int& count) override
    {
        count = 0;
        return ::ioctl(fd_, TIOCOUTQ, &count) == 0 ? 0 : errno;
    }

    int GetModemStatus(ModemStatus& status) override
    {
        status = {};
        int bits = 0;
        if (::ioctl(fd_, TIOCMGET, &bits) != 0)
            return IsUnsupportedOperation(errno) ? 0 : errno;
        status.supported = true;
        status.cts = bits & TIOCM_CTS;
        status.dsr = bits & TIOCM_DSR;
        status.ring = bits & TIOCM_RI;
        status.rlsd = bits & TIOCM_CD;
        return 0;
    }

    int GetLineCounts(LineCounts& counts) override
    {
        counts = {};
        serial_icounter_struct ic{};
        if (::ioctl(fd_, TIOCGICOUNT, &ic) != 0)
            return IsUnsupportedOperation(errno) ? 0 : errno;
        counts.supported = true;
        counts.frame = static_cast<std::uint32_t>(ic.frame);
        counts.parity = static_cast<std::uint32_t>(ic.parity);
        counts.overrun = static_cast<std::uint32_t>(ic.overrun);
        counts.brk = static_cast<std::uint32_t>(ic.brk);
        counts.bufOverrun = static_cast<std::uint32_t>(ic.buf_overrun);
        counts.cts = static_cast<std::uint32_t>(ic.cts);
        counts.dsr = static_cast<std::uint32_t>(ic.dsr);
        counts.ring = static_cast<std::uint32_t>(ic.rng);
        counts.rlsd = static_cast<std::uint32_t>(ic.dcd);
        return 0;
    }

    std::unique_ptr<LineWatch> WatchLines(std::function<void()> changed) override
    {
        ModemStatus lines;
        if (GetModemStatus(lines) != 0 || !lines.supported)
            return nullptr;
        return std::make_unique<PosixLineWatch>(fd_, std::move(changed));
    }

private:
    int fd_;
    bool pseudoTerminal_;
};

// A UART slot the 8250 driver keeps whether or not a chip sits behind it.
bool IsEmptyUartSlot(const QString& devicePath)
{
    int fd = ::open(QFile::encodeName(devicePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    serial_struct info{};
    bool empty = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type == PORT_UNKNOWN;
    ::close(fd);
    return empty;
}

// Whether the terminal whose sysfs entry is `sysEntry` is a serial line
// that is there: it has a device behind it (virtual consoles, /dev/tty and
// the pty multiplexer have none), and is not an empty UART slot.
bool IsSerialLine(const QString& sysEntry, const QString& devicePath)
{
    const QString deviceLink = sysEntry + QStringLiteral("/device");
    if (!QFileInfo::exists(deviceLink))
        return false;
    // Serial-core ports publish their UART type; 0 is an empty slot.
    QFile type(sysEntry + QStringLiteral("/type"));
    if (type.open(QIODevice::ReadOnly))
        return type.readAll().trimmed().toInt() != PORT_UNKNOWN;
    const QString driver = QFileInfo(QFileInfo(deviceLink + QStringLiteral("/driver")).symLinkTarget()).fileName();
    return !(driver == QLatin1String("serial8250") && IsEmptyUartSlot(devicePath));
}

// Lists a folder's entry names; a missing folder is an empty one.
int FolderEntries(const QString& folder, QStringList& names)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return KindOfSystemError(errno) == SystemErrorKind::NotFound || KindOfSystemError(errno) == SystemErrorKind::NotAFolder ? 0 : errno;
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names << QFile::decodeName(e->d_name);
    }
    ::closedir(dir);
    return 0;
}

}  // namespace

int OpenDevice(const QString& path, std::unique_ptr<Device>& device)
{
    device.reset();
    // The system would read the name only up to the NUL: another device.
    if (path.contains(QChar(0)))
        return EINVAL;
    QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return ENOENT;
    int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    struct stat st {};
    if (!::isatty(fd))
        error = ENOTTY;
    else if (::fstat(fd, &st) != 0)
        error = errno;
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    // Keeps out other users who are not root; flock keeps out everyone.
    ::ioctl(fd, TIOCEXCL);
    device = std::make_unique<PosixDevice>(fd, IsPtySlave(st.st_rdev));
    return 0;
}

int NewWaker(std::unique_ptr<Waker>& waker)
{
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0)
        return errno;
    waker = std::make_unique<PosixWaker>(fd);
    return 0;
}

bool IsGoneError(int error)
{
    return KindOfSystemError(error) == SystemErrorKind::Gone;
}

int GoneError()
{
    return EIO;
}

int NotOpenError()
{
    return EBADF;
}

int AbortedError()
{
    return ECANCELED;
}

int TimedOutError()
{
    return ETIMEDOUT;
}

int NotTakenError()
{
    return EOPNOTSUPP;
}

int ListPlatformPorts(const QString& virtualFolder, QStringList& names)
{
    names.clear();
    const QString ttyClass = QStringLiteral("/sys/class/tty");
    QStringList ttys;
    if (int e = FolderEntries(ttyClass, ttys))
        return e;
    for (const QString& tty : ttys) {
        if (IsSerialLine(ttyClass + QLatin1Char('/') + tty, QStringLiteral("/dev/") + tty))
            names << QStringLiteral("/dev/") + tty;
    }

    QStringList links;
    if (int e = FolderEntries(virtualFolder, links))
        return e;
    for (const QString& link : links) {
        const QString path = virtualFolder + QLatin1Char('/') + link;
        struct stat own {};
        struct stat target {};
        const QByteArray encoded = QFile::encodeName(path);
        if (::lstat(encoded.constData(), &own) != 0 || !S_ISLNK(own.st_mode) || ::stat(encoded.constData(), &target) != 0 || !S_ISCHR(target.st_mode))
            continue;
        // Only ports: not /dev/null, /dev/tty (the user's own terminal) or
        // /dev/ptmx (a new pty with nobody at the far end).
        const QString sysEntry = QStringLiteral("/sys/dev/char/%1:%2").arg(major(target.st_rdev)).arg(minor(target.st_rdev));
        if (IsPtySlave(target.st_rdev) || IsSerialLine(sysEntry, path))
            names << path;
    }
    return 0;
}

}  // namespace comm

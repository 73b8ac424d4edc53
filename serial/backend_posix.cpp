// The POSIX (Linux termios) backend of the serial link: every system call
// of the port lives here.
#include "serial/backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// The kernel's termios with free input and output rates. glibc knows the
// request numbers (TCGETS2, TCSETS2, which name this structure) but does not
// declare it, and the kernel header that has it clashes with <termios.h>, so
// it is declared here, as the kernel lays it out.
struct termios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};

namespace comm {

namespace {

constexpr tcflag_t kBOTHER = 0010000;

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

// Operations a device may simply not have (modem lines, error counters on a
// pseudo-terminal) answer with these.
bool IsNotSupported(int error)
{
    return error == ENOTTY || error == EINVAL;
}

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
    explicit PosixDevice(int fd) : fd_(fd) {}
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
        termios t{};
        return ::tcgetattr(fd_, &t) == 0 ? 0 : errno;
    }

    int SetState(const TComDcb& dcb) override
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0)
            return errno;
        t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
        t.c_oflag &= ~tcflag_t(OPOST);
        t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
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
        // One and a half stop bits are sent as two, the nearest termios has.
        switch (dcb.StopBits) {
        case 0: break;
        case 1:
        case 2: t.c_cflag |= CSTOPB; break;
        default: return EINVAL;
        }
        if (dcb.Flags & TComDcb::fParity)
            t.c_iflag |= INPCK;
        // The kernel ties RTS input flow and CTS output flow into one flag.
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
        speed_t speed = StandardSpeed(dcb.BaudRate);
        cfsetispeed(&t, speed == B0 ? B38400 : speed);
        cfsetospeed(&t, speed == B0 ? B38400 : speed);
        if (::tcsetattr(fd_, TCSANOW, &t) != 0)
            return errno;
        if (speed == B0) {
            termios2 t2{};
            if (::ioctl(fd_, TCGETS2, &t2) != 0)
                return errno;
            t2.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << 16));
            t2.c_cflag |= kBOTHER | (kBOTHER << 16);
            t2.c_ispeed = dcb.BaudRate;
            t2.c_ospeed = dcb.BaudRate;
            if (::ioctl(fd_, TCSETS2, &t2) != 0)
                return errno;
        }

        // Linux raises DTR and RTS on open by itself; set them as asked.
        // A handshake or toggle mode leaves its line raised.
        int raise = 0;
        int drop = 0;
        (dcb.DtrControl() == dtrDisable ? drop : raise) |= TIOCM_DTR;
        (dcb.RtsControl() == rtsDisable ? drop : raise) |= TIOCM_RTS;
        for (auto [request, bits] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
            if (bits != 0 && ::ioctl(fd_, request, &bits) != 0 && !IsNotSupported(errno))
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

    int Purge(bool input, bool output) override
    {
        if (!input && !output)
            return 0;
        int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(fd_, which) == 0 ? 0 : errno;
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
            return IsNotSupported(errno) ? 0 : errno;
        status.supported = true;
        status.cts = bits & TIOCM_CTS;
        status.dsr = bits & TIOCM_DSR;
        status.ring = bits & TIOCM_RI;
        status.rlsd = bits & TIOCM_CD;
        return 0;
    }

    int GetLineErrorCounts(LineErrorCounts& counts) override
    {
        counts = {};
        serial_icounter_struct ic{};
        if (::ioctl(fd_, TIOCGICOUNT, &ic) != 0)
            return IsNotSupported(errno) ? 0 : errno;
        counts.supported = true;
        counts.frame = static_cast<std::uint32_t>(ic.frame);
        counts.parity = static_cast<std::uint32_t>(ic.parity);
        counts.overrun = static_cast<std::uint32_t>(ic.overrun);
        counts.brk = static_cast<std::uint32_t>(ic.brk);
        counts.bufOverrun = static_cast<std::uint32_t>(ic.buf_overrun);
        return 0;
    }

private:
    int fd_;
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

// Lists a folder's entry names; a missing folder is an empty one.
int FolderEntries(const QString& folder, QStringList& names)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
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
    QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return ENOENT;
    int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    if (!::isatty(fd))
        error = ENOTTY;
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    // Keeps out other users who are not root; flock keeps out everyone.
    ::ioctl(fd, TIOCEXCL);
    device = std::make_unique<PosixDevice>(fd);
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
    return error == EIO || error == ENXIO || error == ENODEV;
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

int ListPlatformPorts(const QString& virtualFolder, QStringList& names)
{
    names.clear();
    const QString ttyClass = QStringLiteral("/sys/class/tty");
    QStringList ttys;
    if (int e = FolderEntries(ttyClass, ttys))
        return e;
    for (const QString& tty : ttys) {
        const QString deviceLink = ttyClass + QLatin1Char('/') + tty + QStringLiteral("/device");
        if (!QFileInfo::exists(deviceLink))
            continue;  // virtual consoles, ptys and the like have no device
        const QString devicePath = QStringLiteral("/dev/") + tty;
        // Serial-core ports publish their UART type; 0 is an empty slot.
        QFile type(ttyClass + QLatin1Char('/') + tty + QStringLiteral("/type"));
        if (type.open(QIODevice::ReadOnly)) {
            if (type.readAll().trimmed().toInt() == PORT_UNKNOWN)
                continue;
        } else {
            const QString driver = QFileInfo(QFileInfo(deviceLink + QStringLiteral("/driver")).symLinkTarget()).fileName();
            if (driver == QLatin1String("serial8250") && IsEmptyUartSlot(devicePath))
                continue;
        }
        names << devicePath;
    }

    QStringList links;
    if (int e = FolderEntries(virtualFolder, links))
        return e;
    for (const QString& link : links) {
        const QString path = virtualFolder + QLatin1Char('/') + link;
        struct stat own {};
        struct stat target {};
        const QByteArray encoded = QFile::encodeName(path);
        if (::lstat(encoded.constData(), &own) == 0 && S_ISLNK(own.st_mode) && ::stat(encoded.constData(), &target) == 0 && S_ISCHR(target.st_mode))
            names << path;
    }
    return 0;
}

}  // namespace comm

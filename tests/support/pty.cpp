#include "tests/support/pty.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    int slave = -1;
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // Raw on the slave side so bytes pass unchanged whoever configures it.
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    slaveKeeper_ = slave;
    slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    CloseMaster();
}

void PtyPair::Write(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(master_, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd pfd{master_, POLLOUT, 0};
                ::poll(&pfd, 1, 100);
                continue;
            }
            throw std::runtime_error("pty write failed");
        }
        p += n;
        left -= n;
    }
}

QByteArray PtyPair::Read(int count, int timeoutMs)
{
    QByteArray out;
    while (out.size() < count) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, timeoutMs) <= 0 || !(pfd.revents & POLLIN))
            break;
        char buf[4096];
        ssize_t n = ::read(master_, buf, std::min<size_t>(sizeof buf, static_cast<size_t>(count - out.size())));
        if (n <= 0)
            break;
        out.append(buf, static_cast<int>(n));
    }
    return out;
}

QByteArray PtyPair::ReadAll(int quietMs)
{
    QByteArray out;
    for (;;) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, quietMs) <= 0 || !(pfd.revents & POLLIN))
            break;
        char buf[4096];
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<int>(n));
    }
    return out;
}

void PtyPair::CloseMaster()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

int OpenDescriptorCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

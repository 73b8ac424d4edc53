#include "tests/serial/intercept.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <dlfcn.h>
#include <mutex>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace intercept {
namespace {

template <typename F>
F Next(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

using IoctlFn = int (*)(int, unsigned long, ...);
using ReadFn = ssize_t (*)(int, void*, size_t);
using TcsetattrFn = int (*)(int, int, const termios*);
using TcflushFn = int (*)(int, int);

IoctlFn RealIoctl()
{
    static const IoctlFn f = Next<IoctlFn>("ioctl");
    return f;
}
ReadFn RealRead()
{
    static const ReadFn f = Next<ReadFn>("read");
    return f;
}

struct Active {
    QByteArray path;
    std::function<int(IoctlCall&)> ioctlHook;
    std::function<ssize_t(ReadCall&)> readHook;
};

std::atomic<bool> anyHook{false};
std::mutex activeLock;
std::shared_ptr<Active> active;

// The hook for a call on `fd`, if one is set for the file it is open on.
std::shared_ptr<Active> HookFor(int fd)
{
    if (!anyHook)
        return nullptr;
    std::shared_ptr<Active> a;
    {
        std::lock_guard l(activeLock);
        a = active;
    }
    if (!a)
        return nullptr;
    const int saved = errno;
    char target[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    errno = saved;
    if (n <= 0 || QByteArray(target, static_cast<int>(n)) != a->path)
        return nullptr;
    return a;
}

int Dispatch(IoctlCall call)
{
    if (auto a = HookFor(call.fd); a && a->ioctlHook)
        return a->ioctlHook(call);
    return call.Kernel();
}

}  // namespace

int IoctlCall::Kernel() const
{
    if (!libc)
        return RealIoctl()(fd, request, arg);
    if (request == TCFLSH)
        return Next<TcflushFn>("tcflush")(fd, IntArg());
    return Next<TcsetattrFn>("tcsetattr")(fd, static_cast<int>(request - TCSETS), static_cast<const termios*>(arg));
}

ssize_t ReadCall::Kernel(void* into, size_t max) const
{
    return RealRead()(fd, into, max);
}

Hook::Hook(const QString& path, std::function<int(IoctlCall&)> ioctlHook, std::function<ssize_t(ReadCall&)> readHook)
{
    auto a = std::make_shared<Active>();
    a->path = QFile::encodeName(path);
    a->ioctlHook = std::move(ioctlHook);
    a->readHook = std::move(readHook);
    std::lock_guard l(activeLock);
    active = std::move(a);
    anyHook = true;
}

Hook::~Hook()
{
    std::lock_guard l(activeLock);
    active.reset();
    anyHook = false;
}

int KernelIoctl(int fd, unsigned long request, void* arg)
{
    return RealIoctl()(fd, request, arg);
}

}  // namespace intercept

// The interposed calls themselves.
extern "C" {

int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return intercept::Dispatch({fd, request, arg, false});
}

int tcsetattr(int fd, int action, const termios* t) noexcept
{
    return intercept::Dispatch({fd, TCSETS + static_cast<unsigned long>(action), const_cast<termios*>(t), true});
}

int tcflush(int fd, int queue) noexcept
{
    return intercept::Dispatch({fd, TCFLSH, reinterpret_cast<void*>(static_cast<long>(queue)), true});
}

ssize_t read(int fd, void* buffer, size_t count)
{
    if (auto a = intercept::HookFor(fd); a && a->readHook) {
        intercept::ReadCall call{fd, buffer, count};
        return a->readHook(call);
    }
    return intercept::RealRead()(fd, buffer, count);
}

}  // extern "C"

#pragma once
// Intercepted system calls, for what a pseudo-terminal cannot show: a driver
// that makes something else of the line settings, holds written bytes while
// the line sends them, reports and waits for modem lines, or marks bytes
// received with a parity error. This test program's own ioctl, read,
// tcsetattr and tcflush come before the C library's, so every call the port
// makes passes through them; with no hook set they go straight on.
#include <QString>

#include <functional>
#include <memory>
#include <sys/types.h>

namespace intercept {

// One intercepted ioctl. tcsetattr and tcflush come as TCSETS (+ the
// optional action) and TCFLSH with `libc` set, `arg` being the C library's
// termios or the queue selector. Kernel() makes the call for real.
struct IoctlCall {
    int fd;
    unsigned long request;
    void* arg;
    bool libc;
    int Kernel() const;
    int IntArg() const { return static_cast<int>(reinterpret_cast<long>(arg)); }
};

// One intercepted read; Kernel() reads for real into any buffer.
struct ReadCall {
    int fd;
    void* buffer;
    size_t count;
    ssize_t Kernel(void* into, size_t max) const;
};

// While it lives, calls on descriptors open on `path` go to the hook, which
// answers them (calling Kernel() for the real answer where it wants one);
// calls on other descriptors are left alone. Declare it before the port it
// watches, so that it outlives the port's threads.
class Hook {
public:
    Hook(const QString& path, std::function<int(IoctlCall&)> ioctlHook, std::function<ssize_t(ReadCall&)> readHook = {});
    ~Hook();
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;
};

// An ioctl no hook sees, for a test reading a device back.
int KernelIoctl(int fd, unsigned long request, void* arg);

}  // namespace intercept

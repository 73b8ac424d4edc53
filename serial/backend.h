#pragma once
// The seam between the port's behaviour (serial/comport.cpp, comthread.cpp)
// and the operating system's serial interface. Only the backend file
// (backend_posix.cpp) makes system calls; the behaviour above it holds no
// platform code. Every call reports failure by returning the platform's
// error code (errno), 0 meaning success; "not supported" answers are not
// failures and come back as a `supported` flag instead.
#include "serial/comtypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace comm {

// A flag one thread raises to end another thread's Wait early. Level
// triggered: it stays raised until cleared, so no wake-up is lost.
class Waker {
public:
    virtual ~Waker() = default;
    virtual void Raise() = 0;
    virtual void Clear() = 0;
};

// What a Wait asks for and what it reports.
enum WaitFlag : unsigned {
    WaitReadable = 1,  // bytes can be read
    WaitWritable = 2,  // bytes can be written
    WaitHangUp = 4,    // only asked for: watch the device for hang-up alone
    WaitWoken = 8,     // reported: the waker was raised
    WaitGone = 16,     // reported: the device hung up
};

// A transfer's outcome: bytes moved, or the error; `gone` marks the
// vanished-device condition (hang-up, end of file, EIO/ENXIO/ENODEV).
struct IoResult {
    long count = 0;
    int error = 0;
    bool gone = false;
};

struct ModemStatus {
    bool supported = false;
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool rlsd = false;
};

// The driver's running totals of line errors since the device was opened.
struct LineErrorCounts {
    bool supported = false;
    std::uint32_t frame = 0;
    std::uint32_t parity = 0;
    std::uint32_t overrun = 0;
    std::uint32_t brk = 0;
    std::uint32_t bufOverrun = 0;
};

// One open serial device. Created by OpenDevice, owned by the port; any
// thread may call it (the event thread waits and reads while the port's
// thread writes), as the system calls underneath are thread-safe.
class Device {
public:
    virtual ~Device() = default;

    virtual int SetQueueSizes(int input, int output) = 0;
    // Takes the whole line-settings block at once, modem-control lines too.
    virtual int SetState(const TComDcb& dcb) = 0;
    // Never blocks: count 0 with no error means nothing is there yet.
    virtual IoResult Read(char* buffer, int max) = 0;
    virtual IoResult Write(const char* data, int count) = 0;
    // Waits up to timeoutMs (-1: without limit) for what `want` asks for or
    // for the waker; returns the WaitFlags that hold (0 on time-out).
    virtual unsigned Wait(unsigned want, Waker* waker, int timeoutMs) = 0;
    virtual int Purge(bool input, bool output) = 0;
    virtual int InputQueued(int& count) = 0;
    virtual int OutputQueued(int& count) = 0;
    virtual int GetModemStatus(ModemStatus& status) = 0;
    virtual int GetLineErrorCounts(LineErrorCounts& counts) = 0;
};

// Opens the device at `path` exclusively for reading and writing.
int OpenDevice(const QString& path, std::unique_ptr<Device>& device);
int NewWaker(std::unique_ptr<Waker>& waker);

// Whether an error code means the device has gone away.
bool IsGoneError(int error);
// The error code for a device that has gone away without saying why.
int GoneError();
// The error code for an operation on a port that is not open.
int NotOpenError();
// The error code for a transfer ended by closing the port.
int AbortedError();

// The serial devices present, and the links in `virtualFolder` that point
// to character devices, unsorted.
int ListPlatformPorts(const QString& virtualFolder, QStringList& names);

}  // namespace comm

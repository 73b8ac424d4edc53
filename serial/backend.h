#pragma once
// The seam between the port's behaviour (serial/comport.cpp, comlink.cpp,
// comthread.cpp) and the operating system's serial interface. Only the
// backend file (backend_posix.cpp) makes system calls; the behaviour above
// it holds no platform code. Every call reports failure by returning the
// platform's error code (errno), 0 meaning success; "not supported" answers
// are not failures and come back as a `supported` flag instead.
#include "serial/comtypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
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

// The driver's running totals since the device was opened: line errors,
// and changes of each modem status line (so a pulse too short to be seen as
// a level still counts).
struct LineCounts {
    bool supported = false;
    std::uint32_t frame = 0;
    std::uint32_t parity = 0;
    std::uint32_t overrun = 0;
    std::uint32_t brk = 0;
    std::uint32_t bufOverrun = 0;
    std::uint32_t cts = 0;
    std::uint32_t dsr = 0;
    std::uint32_t ring = 0;
    std::uint32_t rlsd = 0;
};

// Watches a device's modem status lines on a thread of its own. Destroying
// it ends the watch at once, whatever the driver is doing.
class LineWatch {
public:
    virtual ~LineWatch() = default;
    // False once the driver has said it cannot wait for line changes; the
    // lines can then only be read, not waited for.
    virtual bool Waits() const = 0;
};

// One open serial device. Created by OpenDevice, owned by the port; any
// thread may call it (the event thread waits and reads while the port's
// thread writes), as the system calls underneath are thread-safe.
class Device {
public:
    virtual ~Device() = default;

    virtual int SetQueueSizes(int input, int output) = 0;
    // Takes the whole line-settings block at once, modem-control lines too,
    // then reads the settings back: a driver that quietly made something
    // else of them (a rate more than 2 % off, parity, stop bits, data bits
    // or handshake dropped) is a failure, and the device is put back as it
    // was.
    virtual int SetState(const TComDcb& dcb) = 0;
    // Never blocks: count 0 with no error means nothing is there yet.
    virtual IoResult Read(char* buffer, int max) = 0;
    virtual IoResult Write(const char* data, int count) = 0;
    // Waits up to timeoutMs (-1: without limit) for what `want` asks for or
    // for the waker; returns the WaitFlags that hold (0 on time-out).
    virtual unsigned Wait(unsigned want, Waker* waker, int timeoutMs) = 0;
    // Waits until every byte written has left the device, or timeoutMs
    // (-1: without limit). When the time runs out, `left` bytes were still
    // queued and have been discarded, and the result is TimedOutError().
    virtual int WaitUntilSent(int timeoutMs, int& left) = 0;
    virtual int Purge(bool input, bool output) = 0;
    virtual int InputQueued(int& count) = 0;
    virtual int OutputQueued(int& count) = 0;
    virtual int GetModemStatus(ModemStatus& status) = 0;
    virtual int GetLineCounts(LineCounts& counts) = 0;
    // Calls `changed` (on the watch's own thread) each time the driver
    // reports a change of CTS, DSR, ring or RLSD. Null on a device without
    // modem lines.
    virtual std::unique_ptr<LineWatch> WatchLines(std::function<void()> changed) = 0;
};

// Opens the device at `path` exclusively for reading and writing. A path
// holding a NUL character names no device and is refused.
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
// The error code for a wait whose time ran out.
int TimedOutError();
// The error code for line settings the driver did not take as given.
int NotTakenError();

// The serial devices present, and the links in `virtualFolder` that point
// to a serial line or a pseudo-terminal's port end, unsorted. An empty
// folder name lists no links.
int ListPlatformPorts(const QString& virtualFolder, QStringList& names);

}  // namespace comm

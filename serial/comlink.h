#pragma once
// The open side of a port, shared by the port and its event thread: the
// device, the two wakers, and our own input buffer, into which bytes are
// read from the device with NULs already dropped when DiscardNull is set.
// Private to the serial folder.
#include "serial/backend.h"
#include "serial/comport.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <mutex>

struct TCustomComPort::Link {
    // Bytes we hold beyond what the driver holds. Past this we stop reading
    // the device and let the driver queue (and throttle) the rest.
    static constexpr int InputCapacity = 64 * 1024;

    std::unique_ptr<comm::Device> device;
    std::unique_ptr<comm::Waker> threadWaker;  // ends the event thread's wait
    std::unique_ptr<comm::Waker> readerWaker;  // bytes appended to `input`

    std::mutex inputLock;  // guards `input`, and orders reads of the device
    QByteArray input;

    // Line settings as last applied; the read path and the thread use them.
    std::atomic<bool> discardNull{false};
    std::atomic<char> eventChar{0};
    // The kernel marks bytes received with a parity or framing error
    // (\377 \0 byte; a plain \377 comes doubled); the read path puts the
    // error character in their place.
    std::atomic<bool> markedErrors{false};
    std::atomic<char> errorChar{0};
    int markState = 0;  // under inputLock: how much of a mark has been read
    std::atomic<int> rx80Level{819};
    TComCommTimeouts timeouts;  // under inputLock: smNone reads it on the event thread

    // The vanished-device condition: set once, by whoever sees it first.
    std::atomic<bool> gone{false};
    std::atomic<int> goneError{0};
    std::atomic<bool> goneReported{false};

    // Bytes count as arrived when anyone moves them into `input`: the event
    // thread reports arrivals it has not reported yet, so bytes a read on
    // the port's thread pulled in are announced too, and none twice.
    std::atomic<std::uint64_t> arrived{0};
    std::atomic<bool> rxFlagPending{false};
    std::atomic<bool> rx80Pending{false};

    std::atomic<bool> txPending{false};
    // Raised by ClosePort: a transfer in progress since before ends.
    std::atomic<int> abortGeneration{0};
    comm::LineCounts errorBaseline;  // port's thread only

    struct DrainResult {
        int added = 0;
        bool sawEventChar = false;
        bool reached80 = false;
        int error = 0;  // a read failure other than the device going away
    };
    // Moves what the device has into `input`. Any thread.
    DrainResult Drain();
    // Takes up to `max` bytes from the front of `input`. Any thread.
    QByteArray Take(int max);
    int Buffered();
    bool HasRoom();
    void ClearInput();
    void MarkGone(int error);
    // Sets how received bytes are read from now on.
    void SetReading(bool dropNul, char evt, bool marked, char replacement);
};

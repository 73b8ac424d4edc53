// The open side of a port: moving what the device received into our input
// buffer (dropping NULs, replacing bytes the kernel marked as received with
// an error, noting the event character and the 80 % level), taking bytes
// out of it, and the vanished-device condition. The port's thread and the
// event thread both call these; the rules are in serial/comlink.h.
#include "serial/comlink.h"

#include <algorithm>

TCustomComPort::Link::DrainResult TCustomComPort::Link::Drain()
{
    DrainResult result;
    std::lock_guard lock(inputLock);
    if (gone)
        return result;
    const int before = static_cast<int>(input.size());
    const bool dropNul = discardNull;
    const char evt = eventChar;
    const bool marked = markedErrors;
    const char replacement = errorChar;
    auto deliver = [&](char c) {
        if (c == '\0' && dropNul)
            return;
        if (c == evt)
            result.sawEventChar = true;
        input.append(c);
    };
    char chunk[4096];
    for (;;) {
        int room = InputCapacity - static_cast<int>(input.size());
        if (room <= 0)
            break;
        comm::IoResult r = device->Read(chunk, std::min<int>(room, sizeof chunk));
        if (r.gone) {
            MarkGone(r.error);
            break;
        }
        if (r.error) {
            result.error = r.error;
            break;
        }
        if (r.count == 0)
            break;
        for (long i = 0; i < r.count; ++i) {
            const char c = chunk[i];
            if (!marked) {
                deliver(c);
                continue;
            }
            // A mark may be split across reads: markState carries it over.
            switch (markState) {
            case 0:
                if (c == '\377')
                    markState = 1;
                else
                    deliver(c);
                break;
            case 1:
                markState = c == '\0' ? 2 : 0;
                if (c != '\0' && c != '\377')
                    deliver('\377');  // not a mark the kernel makes: kept as read
                if (c != '\0')
                    deliver(c);
                break;
            default:
                // \377 \0 \0 is also how a break reads: a NUL, as unmarked.
                markState = 0;
                deliver(c == '\0' ? '\0' : replacement);
                break;
            }
        }
    }
    const int after = static_cast<int>(input.size());
    result.added = after - before;
    result.reached80 = before < rx80Level && after >= rx80Level;
    if (result.added > 0) {
        arrived += static_cast<std::uint64_t>(result.added);
        if (result.sawEventChar)
            rxFlagPending = true;
        if (result.reached80)
            rx80Pending = true;
        readerWaker->Raise();
        threadWaker->Raise();
    }
    return result;
}

QByteArray TCustomComPort::Link::Take(int max)
{
    std::lock_guard lock(inputLock);
    const bool wasFull = input.size() >= InputCapacity;
    QByteArray out = input.left(max);
    input.remove(0, out.size());
    // The event thread stopped reading the device while we were full.
    if (wasFull && !out.isEmpty())
        threadWaker->Raise();
    return out;
}

int TCustomComPort::Link::Buffered()
{
    std::lock_guard lock(inputLock);
    return static_cast<int>(input.size());
}

bool TCustomComPort::Link::HasRoom()
{
    return Buffered() < InputCapacity;
}

void TCustomComPort::Link::ClearInput()
{
    std::lock_guard lock(inputLock);
    const bool wasFull = input.size() >= InputCapacity;
    input.clear();
    if (wasFull)
        threadWaker->Raise();
}

void TCustomComPort::Link::SetReading(bool dropNul, char evt, bool marked, char replacement)
{
    std::lock_guard lock(inputLock);
    discardNull = dropNul;
    eventChar = evt;
    if (marked != markedErrors)
        markState = 0;
    markedErrors = marked;
    errorChar = replacement;
}

void TCustomComPort::Link::MarkGone(int error)
{
    bool expected = false;
    if (!gone.compare_exchange_strong(expected, true))
        return;
    goneError = error != 0 ? error : comm::GoneError();
    // Whoever waits for bytes must hear that none will come.
    readerWaker->Raise();
    threadWaker->Raise();
}

#pragma once
// The event thread of an open port: waits for line events and hands each
// batch to the port, which calls its handlers in their fixed order.
//
// Thread rules:
//  - Created, started, stopped and destroyed on the port's thread, by
//    OpenPort and ClosePort. One thread per opening.
//  - The event thread waits on the device and on the port's thread waker
//    (poll, without a timer: nothing but an event wakes it). On a device
//    with modem lines a watch thread of the backend's blocks in the
//    driver's wait for a line change (TIOCMIWAIT) and raises the waker when
//    one comes; the event thread then reads the levels and the driver's
//    per-line change counts, so a pulse too short to see as a level is
//    still reported. The watch ends with the event thread's loop: a signal
//    cuts the driver's wait short. Only a driver that reports its lines but
//    cannot wait for them is read on a slow timer. Line errors and breaks
//    arrive with a received byte, so the driver's error counters are read
//    when bytes come. A hung-up device is dropped from the wait, so a
//    vanished device costs nothing either.
//  - It reads received bytes into the port's input buffer (under the
//    buffer's lock) so it can tell new bytes, the event character and the
//    80 % level apart; everything else it reads is the device, whose calls
//    are thread-safe, and the event set and sync method, fixed while open.
//  - smThreadSync and smWindowSync: each batch is posted to the port's
//    thread as a queued call, and the event thread waits until it has been
//    processed (or until it is told to stop). smNone: the batch is
//    processed on the event thread itself.
//  - A handler's exception ends that batch only: it is shown in the
//    standard error box and the next batch is delivered as usual.
//  - Stop: the port's thread sets the stop flag and raises the waker, then
//    keeps serving a pending hand-over until the thread has ended, so a
//    close never deadlocks against a dispatch, even when it is called from
//    inside a handler; then it joins.
#include "serial/comport.h"

#include <memory>
#include <thread>

class TComThread {
public:
    explicit TComThread(TCustomComPort* port);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    void Start();
    void Stop();
    // The batch being dispatched.
    TComEvents Events() const;

    struct HandOver;

private:
    struct Watch;
    // The thread's loop: wait, gather the batch of events, dispatch it.
    void Execute();
    void startWatching(Watch& w);
    // Waits for the device or the waker; the device's ready set.
    // `pollLines`: the lines are read on the timer this time.
    unsigned waitForEvents(Watch& w, bool& pollLines);
    // Received bytes, the event character, the 80 % level, a hang-up.
    TComEvents inputEvents(Watch& w, unsigned ready);
    // Line errors, breaks and modem line changes.
    TComEvents lineEvents(Watch& w, bool pollLines);
    void endAfterStop(const Watch& w);
    void Dispatch(TComEvents batch);

    TCustomComPort* port_;
    TCustomComPort::Link* link_;
    TSyncMethod sync_;
    TComEvents mask_;
    std::shared_ptr<HandOver> handOver_;
    std::thread thread_;
};

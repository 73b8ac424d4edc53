#include "serial/comthread.h"

#include "platform/application.h"
#include "serial/comlink.h"

#include <QMetaObject>
#include <QPointer>

#include <condition_variable>
#include <mutex>

namespace {

// Only on a driver that reports its modem lines but cannot wait for them to
// change are they read on a timer, this often.
constexpr int kLinePollMs = 50;

constexpr TComEvents kInputEvents{evRxChar, evRxFlag, evRx80Full};
constexpr TComEvents kModemEvents{evCTS, evDSR, evRLSD, evRing};
constexpr TComEvents kCounterEvents{evError, evBreak};

// A queued call carries what it captured from the event thread to the port's
// thread. The toolkit's event queue orders that hand-off with locks of its
// own that a race detector cannot see, so it is ordered by this one too:
// held while the call is made and posted, taken by the call before it reads
// anything it carries. Never held while waiting for anything else.
std::mutex postingLock;

template <typename F>
void PostTo(QObject* target, F call)
{
    std::lock_guard posting(postingLock);
    QMetaObject::invokeMethod(
        target,
        [call = std::move(call)]() mutable {
            { std::lock_guard posted(postingLock); }
            call();
        },
        Qt::QueuedConnection);
}

}  // namespace

// The synchronous hand-over between the event thread and the port's thread.
// Shared, so a hand-over being served outlives a thread stopped inside it.
struct TComThread::HandOver {
    std::mutex lock;
    std::condition_variable changed;
    bool pending = false;  // a batch waits to be served
    bool serving = false;  // the port's thread is processing it
    bool stop = false;
    bool ended = false;
    TComEvents batch;
    TComEvents current;  // the batch being dispatched

    // On the port's thread: processes the waiting batch, if any.
    static void Serve(const std::shared_ptr<HandOver>& self, TCustomComPort* port)
    {
        TComEvents events;
        {
            std::lock_guard l(self->lock);
            if (!self->pending)
                return;
            self->pending = false;
            self->serving = true;
            events = self->batch;
        }
        // A handler's failure ends this batch only; the thread goes on.
        Application::Guard([&] { port->ProcessComEvents(events); });
        std::lock_guard l(self->lock);
        self->serving = false;
        self->changed.notify_all();
    }
};

TComThread::TComThread(TCustomComPort* port)
    : port_(port), link_(port->link_.get()), sync_(port->SyncMethod()), mask_(port->Events()), handOver_(std::make_shared<HandOver>())
{
}

TComThread::~TComThread()
{
    Stop();
}

void TComThread::Start()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { Execute(); });
}

TComEvents TComThread::Events() const
{
    std::lock_guard l(handOver_->lock);
    return handOver_->current;
}

void TComThread::Stop()
{
    if (!thread_.joinable())
        return;
    std::shared_ptr<HandOver> h = handOver_;
    {
        std::lock_guard l(h->lock);
        h->stop = true;
        h->changed.notify_all();
    }
    link_->threadWaker->Raise();
    for (;;) {
        std::unique_lock l(h->lock);
        h->changed.wait(l, [&] { return h->pending || h->ended; });
        if (h->pending) {
            l.unlock();
            HandOver::Serve(h, port_);
            continue;
        }
        break;
    }
    thread_.join();
}

void TComThread::Dispatch(TComEvents batch)
{
    std::shared_ptr<HandOver> h = handOver_;
    if (sync_ == smNone) {
        {
            std::lock_guard l(h->lock);
            h->current = batch;
        }
        try {
            port_->ProcessComEvents(batch);
        } catch (...) {
            // The error box belongs to the port's thread.
            PostTo(port_, [e = std::current_exception()] { Application::HandleException(e); });
        }
        return;
    }
    // smThreadSync, and smWindowSync, which shares its hand-over.
    std::unique_lock l(h->lock);
    if (h->stop)
        return;
    h->batch = batch;
    h->current = batch;
    h->pending = true;
    PostTo(port_, [h, port = port_] { HandOver::Serve(h, port); });
    h->changed.notify_all();
    // A stop does not abandon a batch still waiting: the stopping thread
    // serves it. It only stops waiting for one being served, which is where
    // a handler that closes the port would otherwise wait for itself.
    h->changed.wait(l, [&] { return !h->pending && (!h->serving || h->stop); });
}

// What the loop of one opening watches and what it last told: the lines'
// levels and change counts, the error counters, the bytes reported.
struct TComThread::Watch {
    bool watchLines = false;
    bool watchCounts = false;
    bool watchInput = false;
    bool watchTx = false;
    comm::ModemStatus lines;
    comm::LineCounts counts;
    comm::LineCounts lineCounts;  // what the line events were last told from
    bool gone = false;
    std::uint64_t reported = 0;  // the buffer starts empty at every opening
    std::atomic<bool> linesChanged{false};
    std::unique_ptr<comm::LineWatch> lineWatch;
};

void TComThread::Execute()
{
    Watch w;
    startWatching(w);
    const auto stopping = [&] {
        std::lock_guard l(handOver_->lock);
        return handOver_->stop;
    };
    while (!stopping()) {
        bool pollLines = false;
        const unsigned ready = waitForEvents(w, pollLines);
        if (stopping())
            break;
        // Input first: a hang-up it finds ends the watching of the lines.
        TComEvents batch = inputEvents(w, ready);
        batch = batch | lineEvents(w, pollLines);
        // A write returns once its bytes have left the port, so the output
        // queue is empty by the time it says so.
        if (!w.gone && w.watchTx && link_->txPending.exchange(false))
            batch << evTxEmpty;
        batch = batch & mask_;
        if (!batch.Empty())
            Dispatch(batch);
    }
    w.lineWatch.reset();
    endAfterStop(w);
}

void TComThread::startWatching(Watch& w)
{
    comm::Device& device = *link_->device;
    device.GetModemStatus(w.lines);
    device.GetLineCounts(w.counts);
    w.watchLines = w.lines.supported && !(mask_ & kModemEvents).Empty();
    w.watchCounts = w.counts.supported && !(mask_ & kCounterEvents).Empty();
    // A line error or a break comes with a received byte of its own, so the
    // counters are read when bytes arrive: those are read as they come
    // whenever anything about received bytes is asked for.
    w.watchInput = !(mask_ & kInputEvents).Empty() || w.watchCounts;
    w.watchTx = mask_.Contains(evTxEmpty);
    w.lineCounts = w.counts;
    // The modem lines are waited for by a watch thread that the driver wakes
    // when one changes; it wakes this thread in turn. Ended with the loop.
    if (w.watchLines) {
        w.lineWatch = device.WatchLines([this, &w] {
            w.linesChanged = true;
            link_->threadWaker->Raise();
        });
    }
}

unsigned TComThread::waitForEvents(Watch& w, bool& pollLines)
{
    unsigned want = 0;
    int timeoutMs = -1;
    pollLines = w.watchLines && (!w.lineWatch || !w.lineWatch->Waits());
    if (!w.gone) {
        want |= comm::WaitHangUp;
        if (w.watchInput && link_->HasRoom())
            want |= comm::WaitReadable;
        if (pollLines)
            timeoutMs = kLinePollMs;
    }
    const unsigned ready = link_->device->Wait(want, link_->threadWaker.get(), timeoutMs);
    if (ready & comm::WaitWoken)
        link_->threadWaker->Clear();
    return ready;
}

TComEvents TComThread::inputEvents(Watch& w, unsigned ready)
{
    TComEvents batch;
    if (!w.gone && (ready & (comm::WaitReadable | comm::WaitGone)))
        link_->Drain();
    if (const std::uint64_t arrived = link_->arrived; arrived != w.reported) {
        w.reported = arrived;
        batch << evRxChar;
    }
    if (link_->rxFlagPending.exchange(false))
        batch << evRxFlag;
    if (link_->rx80Pending.exchange(false))
        batch << evRx80Full;
    if (!w.gone && (ready & comm::WaitGone))
        link_->MarkGone(comm::GoneError());
    if (!w.gone && link_->gone) {
        // Handled once: reported as a device error, then no longer waited on.
        w.gone = true;
        batch << evError;
    }
    return batch;
}

TComEvents TComThread::lineEvents(Watch& w, bool pollLines)
{
    comm::Device& device = *link_->device;
    TComEvents batch;
    const bool linesMoved = !w.gone && w.watchLines && (w.linesChanged.exchange(false) || pollLines);
    comm::LineCounts now;
    const bool haveCounts = !w.gone && (w.watchCounts || linesMoved) && device.GetLineCounts(now) == 0 && now.supported;
    if (haveCounts && w.watchCounts) {
        if (now.brk != w.counts.brk)
            batch << evBreak;
        if (now.frame != w.counts.frame || now.parity != w.counts.parity || now.overrun != w.counts.overrun
            || now.bufOverrun != w.counts.bufOverrun)
            batch << evError;
        w.counts = now;
    }
    comm::ModemStatus level;
    if (linesMoved && device.GetModemStatus(level) == 0 && level.supported) {
        // A line whose count moved has changed even if it is back where it
        // was: a pulse shorter than it takes to read the levels.
        auto moved = [&](std::uint32_t comm::LineCounts::*line) { return haveCounts && now.*line != w.lineCounts.*line; };
        if (level.cts != w.lines.cts || moved(&comm::LineCounts::cts))
            batch << evCTS;
        if (level.dsr != w.lines.dsr || moved(&comm::LineCounts::dsr))
            batch << evDSR;
        if (level.rlsd != w.lines.rlsd || moved(&comm::LineCounts::rlsd))
            batch << evRLSD;
        if ((level.ring && !w.lines.ring) || moved(&comm::LineCounts::ring))
            batch << evRing;
        w.lines = level;
        if (haveCounts)
            w.lineCounts = now;
    }
    return batch;
}

void TComThread::endAfterStop(const Watch& w)
{
    // Stopped by a close: what was received and not read is discarded. The
    // output is left alone: every byte in it belongs to a write that
    // reported it sent (on a pty, discarding it would take it back from the
    // far end before that has read it).
    if (!w.gone) {
        link_->device->Purge(true, false);
        link_->ClearInput();
    }
    std::lock_guard l(handOver_->lock);
    handOver_->ended = true;
    handOver_->changed.notify_all();
}

// The port's behaviour: opening and closing, the properties and how they
// reach the device, transfers with their time-out rules, queries, the
// notifications and the processing step of the event batches.
#include "serial/comport.h"

#include "serial/comlink.h"
#include "serial/comthread.h"

#include "platform/application.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

namespace {

using Clock = std::chrono::steady_clock;

// The poll step while OutDSRFlow holds a write for DSR.
constexpr int kDsrHoldStepMs = 10;

int CeilMs(Clock::duration d)
{
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, std::numeric_limits<int>::max()));
}

[[noreturn]] void Raise(int errorNumber, int systemError = -1)
{
    throw EComPort(errorNumber, systemError);
}

}  // namespace

TCustomComPort::TCustomComPort(QObject* owner)
    : QObject(owner),
      parity_(std::make_unique<TComParity>(this)),
      buffer_(std::make_unique<TComBuffer>(this)),
      flowControl_(std::make_unique<TComFlowControl>(this)),
      timeouts_(std::make_unique<TComTimeouts>(this))
{
}

TCustomComPort::~TCustomComPort()
{
    try {
        ClosePort();
    } catch (...) {
        // A port that cannot be closed cleanly is still released below.
    }
    stopThread();
    link_.reset();
}

bool TCustomComPort::mayApply() const
{
    return connected_ && updateCount_ == 0 && !loading_;
}

void TCustomComPort::CreateHandle()
{
    auto link = std::make_unique<Link>();
    if (int e = comm::OpenDevice(port_, link->device))
        Raise(ComError::OpenFailed, e);
    if (int e = comm::NewWaker(link->threadWaker))
        Raise(ComError::OpenFailed, e);
    if (int e = comm::NewWaker(link->readerWaker))
        Raise(ComError::OpenFailed, e);
    link->device->GetLineCounts(link->errorBaseline);
    link_ = std::move(link);
}

void TCustomComPort::DestroyHandle()
{
    link_.reset();
}

void TCustomComPort::OpenPort()
{
    if (connected_)
        return;
    DoBeforeOpen();
    CreateHandle();
    connected_ = true;
    try {
        ApplyAllSettings();
    } catch (...) {
        DestroyHandle();
        connected_ = false;
        throw;
    }
    if (!events_.Empty()) {
        thread_ = std::make_unique<TComThread>(this);
        thread_->Start();
    }
    DoAfterOpen();
    DoCTSChange(ModemLines().Contains(csCTS));
    DoDSRChange(ModemLines().Contains(csDSR));
    DoRLSDChange(ModemLines().Contains(csRLSD));
}

void TCustomComPort::stopThread()
{
    if (!thread_)
        return;
    // Taken out first: a handler served while stopping may close or reopen.
    std::unique_ptr<TComThread> thread = std::move(thread_);
    thread->Stop();
}

void TCustomComPort::ClosePort()
{
    // A handler this close serves (the close notifications, a batch the
    // event thread hands over while it is stopped) may close the port again,
    // or set Port, which closes and reopens it: the close under way finishes
    // the job, and the nested one does nothing. Otherwise it would release
    // the device while the event thread still reads it.
    if (!connected_ || closing_)
        return;
    closing_ = true;
    struct Closed {
        bool& closing;
        ~Closed() { closing = false; }
    } closed{closing_};
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
    // Transfers run on the calling thread, so the only one that can be
    // pending is a read or write of an smNone handler on the event thread.
    ++link_->abortGeneration;
    link_->readerWaker->Raise();
    stopThread();
    DestroyHandle();
    connected_ = false;
    DoAfterClose();
}

void TCustomComPort::BeginLoading()
{
    loading_ = true;
}

void TCustomComPort::Loaded()
{
    loading_ = false;
    if (storedConnected_) {
        storedConnected_ = false;
        Application::Guard([&] { OpenPort(); });
    }
}

// --- settings ---------------------------------------------------------------

TComDcb TCustomComPort::DeviceControlBlock() const
{
    TComDcb dcb;
    dcb.BaudRate = static_cast<std::uint32_t>(baudRate_ == brCustom ? customBaudRate_ : BaudRateValue(baudRate_));
    std::uint32_t f = TComDcb::fBinary;
    const bool replace = parity_->Check() && parity_->Replace();
    if (parity_->Check())
        f |= TComDcb::fParity;
    if (flowControl_->OutCTSFlow())
        f |= TComDcb::fOutxCtsFlow;
    if (flowControl_->OutDSRFlow())
        f |= TComDcb::fOutxDsrFlow;
    f |= static_cast<std::uint32_t>(flowControl_->ControlDTR()) << TComDcb::DtrShift;
    if (flowControl_->DSRSensitivity())
        f |= TComDcb::fDsrSensitivity;
    if (flowControl_->TxContinueOnXoff())
        f |= TComDcb::fTXContinueOnXoff;
    if (flowControl_->XonXoffOut())
        f |= TComDcb::fOutX;
    if (flowControl_->XonXoffIn())
        f |= TComDcb::fInX;
    if (replace)
        f |= TComDcb::fErrorChar;
    if (discardNull_)
        f |= TComDcb::fNull;
    f |= static_cast<std::uint32_t>(flowControl_->ControlRTS()) << TComDcb::RtsShift;
    dcb.Flags = f;
    dcb.XonLim = static_cast<std::uint16_t>(buffer_->InputSize() / 4);
    dcb.XoffLim = static_cast<std::uint16_t>(buffer_->InputSize() / 4);
    dcb.ByteSize = static_cast<std::uint8_t>(5 + static_cast<int>(dataBits_));
    dcb.Parity = static_cast<std::uint8_t>(parity_->Bits());
    dcb.StopBits = static_cast<std::uint8_t>(stopBits_);
    dcb.XonChar = flowControl_->XonChar();
    dcb.XoffChar = flowControl_->XoffChar();
    dcb.ErrorChar = replace ? parity_->ReplaceChar() : 0;
    dcb.EvtChar = eventChar_;
    return dcb;
}

TComCommTimeouts TCustomComPort::CommTimeouts() const
{
    TComCommTimeouts t;
    t.ReadIntervalTimeout = static_cast<std::uint32_t>(timeouts_->ReadInterval());
    t.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(timeouts_->ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(timeouts_->ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(timeouts_->WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(timeouts_->WriteTotalConstant());
    return t;
}

void TCustomComPort::ApplyAllSettings()
{
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TCustomComPort::ApplyBufferSizes()
{
    if (!mayApply())
        return;
    if (int e = link_->device->SetQueueSizes(buffer_->InputSize(), buffer_->OutputSize()))
        Raise(ComError::SetupFailed, e);
    link_->rx80Level = std::max(1, buffer_->InputSize() * 8 / 10);
}

void TCustomComPort::ApplyLineSettings()
{
    if (!mayApply())
        return;
    const TComDcb dcb = DeviceControlBlock();
    if (int e = link_->device->SetState(dcb))
        Raise(ComError::SetStateFailed, e);
    const bool marked = (dcb.Flags & TComDcb::fParity) && (dcb.Flags & TComDcb::fErrorChar);
    link_->SetReading((dcb.Flags & TComDcb::fNull) != 0, dcb.EvtChar, marked, dcb.ErrorChar);
}

void TCustomComPort::ApplyTimeoutSettings()
{
    if (!mayApply())
        return;
    // The rules are ours (ReceiveText, SendText); a vanished device is the
    // one that can refuse them.
    if (link_->gone)
        Raise(ComError::TimeoutsFailed, link_->goneError);
    std::lock_guard lock(link_->inputLock);
    link_->timeouts = CommTimeouts();
}

void TCustomComPort::BeginSettingsChange()
{
    ++updateCount_;
}

void TCustomComPort::EndSettingsChange()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        ApplyAllSettings();
}

void TCustomComPort::SetConnected(bool value)
{
    if (loading_) {
        storedConnected_ = value;
        return;
    }
    if (value == connected_)
        return;
    if (value)
        OpenPort();
    else
        ClosePort();
}

void TCustomComPort::SetBaudRate(TBaudRate value)
{
    if (baudRate_ == value)
        return;
    baudRate_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(int value)
{
    if (customBaudRate_ == value)
        return;
    customBaudRate_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetPort(const QString& value)
{
    if (port_ == value)
        return;
    port_ = value;
    if (connected_ && !loading_) {
        ClosePort();
        OpenPort();
    }
}

void TCustomComPort::SetParity(const TComParity& value)
{
    parity_->Assign(value);
    ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits value)
{
    if (stopBits_ == value)
        return;
    stopBits_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits value)
{
    if (dataBits_ == value)
        return;
    dataBits_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool value)
{
    if (discardNull_ == value)
        return;
    discardNull_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetEventChar(char value)
{
    if (eventChar_ == value)
        return;
    eventChar_ = value;
    ApplyLineSettings();
}

void TCustomComPort::SetEvents(TComEvents value)
{
    // The event thread reads the set when it starts: it takes effect at the
    // next opening.
    events_ = value;
}

void TCustomComPort::SetBuffer(const TComBuffer& value)
{
    buffer_->Assign(value);
    ApplyBufferSizes();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& value)
{
    flowControl_->Assign(value);
    ApplyLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& value)
{
    timeouts_->Assign(value);
    ApplyTimeoutSettings();
}

void TCustomComPort::SetSyncMethod(TSyncMethod value)
{
    if (syncMethod_ == value)
        return;
    // The running event thread dispatches by the method it started with.
    if (connected_ && !loading_)
        Raise(ComError::PropertyWhileConnected);
    syncMethod_ = value;
}

// --- transfers ----------------------------------------------------------------

namespace {
// One write or read, from its start to its end. On this interface the
// transfer runs on the calling thread, so the record needs no completion
// event; it keeps the kind, which decides the error number of a failure.
struct TComTransfer {
    enum Kind { Write, Read };
    Kind kind = Write;
    int ErrorNumber() const { return kind == Write ? ComError::WriteFailed : ComError::ReadFailed; }
};
}  // namespace

int TCustomComPort::SendText(const QByteArray& text)
{
    TComTransfer transfer;
    // An empty write starts no transfer, open or not.
    if (text.isEmpty())
        return 0;
    if (!connected_ || !link_)
        Raise(transfer.ErrorNumber(), comm::NotOpenError());
    Link& link = *link_;
    if (link.gone)
        Raise(transfer.ErrorNumber(), link.goneError);

    TComCommTimeouts t;
    {
        std::lock_guard lock(link.inputLock);
        t = link.timeouts;
    }
    const std::uint64_t totalMs = std::uint64_t{t.WriteTotalTimeoutMultiplier} * static_cast<std::uint64_t>(text.size()) + t.WriteTotalTimeoutConstant;
    const bool limited = totalMs != 0 && t.WriteTotalTimeoutMultiplier != TComCommTimeouts::MAXDWORD && t.WriteTotalTimeoutConstant != TComCommTimeouts::MAXDWORD;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limited ? totalMs : 0);
    const bool holdForDsr = flowControl_->OutDSRFlow();

    const int generation = link.abortGeneration;
    const char* data = text.constData();
    const int count = static_cast<int>(text.size());
    int written = 0;
    while (written < count) {
        int waitMs = -1;
        if (limited) {
            waitMs = CeilMs(deadline - Clock::now());
            if (waitMs <= 0)
                break;  // cut short by the write time-out: the smaller count
        }
        if (holdForDsr) {
            comm::ModemStatus lines;
            if (link.device->GetModemStatus(lines) == 0 && lines.supported && !lines.dsr) {
                link.device->Wait(0, nullptr, waitMs < 0 ? kDsrHoldStepMs : std::min(waitMs, kDsrHoldStepMs));
                continue;
            }
        }
        comm::IoResult r = link.device->Write(data + written, count - written);
        if (r.count > 0) {
            written += static_cast<int>(r.count);
            continue;
        }
        if (r.gone)
            link.MarkGone(r.error);
        if (r.error)
            Raise(transfer.ErrorNumber(), r.error);
        if (link.device->Wait(comm::WaitWritable, nullptr, waitMs < 0 ? kDsrHoldStepMs * 10 : waitMs) & comm::WaitGone) {
            link.MarkGone(comm::GoneError());
            Raise(transfer.ErrorNumber(), link.goneError);
        }
        if (link.abortGeneration != generation)
            Raise(transfer.ErrorNumber(), comm::AbortedError());
    }
    if (written == 0)
        return 0;
    // Done when the bytes have left the port, not when the kernel has queued
    // them: on a flow-controlled line they can wait there for long, and a
    // close right after must not lose them. The write time-out bounds the
    // wait; what had not left by then is discarded and not counted.
    int waitMs = -1;
    if (limited)
        waitMs = std::max(0, CeilMs(deadline - Clock::now()));
    int left = 0;
    const int e = link.device->WaitUntilSent(waitMs, left);
    if (e == comm::TimedOutError()) {
        written = std::max(0, written - left);
    } else if (e != 0) {
        if (comm::IsGoneError(e))
            link.MarkGone(e);
        Raise(transfer.ErrorNumber(), e);
    }
    link.txPending = true;
    link.threadWaker->Raise();
    return written;
}

int TCustomComPort::ReceiveText(QByteArray& text, int count)
{
    TComTransfer transfer;
    if (count <= 0) {
        text.clear();
        return 0;
    }
    transfer.kind = TComTransfer::Read;
    if (!connected_ || !link_)
        Raise(transfer.ErrorNumber(), comm::NotOpenError());
    Link& link = *link_;

    TComCommTimeouts t;
    {
        std::lock_guard lock(link.inputLock);
        t = link.timeouts;
    }
    constexpr std::uint32_t all = TComCommTimeouts::MAXDWORD;
    const bool atOnce = t.ReadIntervalTimeout == all && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    // Interval and multiplier all-ones with a constant below all-ones: what
    // is queued comes back at once; with nothing queued the read waits up to
    // the constant for the first byte and returns with what then arrived.
    const bool firstByte = t.ReadIntervalTimeout == all && t.ReadTotalTimeoutMultiplier == all && t.ReadTotalTimeoutConstant > 0 &&
                           t.ReadTotalTimeoutConstant < all;
    const std::uint64_t totalMs =
        firstByte ? t.ReadTotalTimeoutConstant : std::uint64_t{t.ReadTotalTimeoutMultiplier} * static_cast<std::uint64_t>(count) + t.ReadTotalTimeoutConstant;
    const bool limited = !atOnce && totalMs != 0;
    const bool gapLimited = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != all;
    const auto interval = std::chrono::milliseconds(t.ReadIntervalTimeout);
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(limited ? totalMs : 0);

    const int generation = link.abortGeneration;
    QByteArray out;
    auto lastByte = start;
    for (;;) {
        link.readerWaker->Clear();
        Link::DrainResult drained = link.Drain();
        QByteArray got = link.Take(count - static_cast<int>(out.size()));
        const auto now = Clock::now();
        if (!got.isEmpty()) {
            out += got;
            lastByte = now;
        }
        if (out.size() >= count || atOnce || (firstByte && !out.isEmpty()))
            break;
        // What came before the device went away is still delivered.
        if (link.gone) {
            if (out.isEmpty())
                Raise(transfer.ErrorNumber(), link.goneError);
            break;
        }
        if (drained.error)
            Raise(transfer.ErrorNumber(), drained.error);

        int waitMs = -1;
        if (limited) {
            if (now >= deadline)
                break;
            waitMs = CeilMs(deadline - now);
        }
        if (gapLimited && !out.isEmpty()) {
            // A read ends at a gap of more than the interval between bytes.
            const auto gap = now - lastByte;
            if (gap > interval)
                break;
            const int gapMs = CeilMs(interval - gap) + 1;
            waitMs = waitMs < 0 ? gapMs : std::min(waitMs, gapMs);
        }
        if (link.device->Wait(comm::WaitReadable, link.readerWaker.get(), waitMs) & comm::WaitGone)
            link.Drain();  // reads the hang-up as the vanished device
        if (link.abortGeneration != generation)
            Raise(transfer.ErrorNumber(), comm::AbortedError());
    }
    text = out;
    QueuedInputCount();
    return static_cast<int>(text.size());
}

void TCustomComPort::PurgeBuffers(bool input, bool output)
{
    if (!connected_ || !link_)
        Raise(ComError::PurgeFailed, comm::NotOpenError());
    if (int e = link_->device->Purge(input, output)) {
        if (!(link_->gone && comm::IsGoneError(e)))
            Raise(ComError::PurgeFailed, e);
    }
    if (input)
        link_->ClearInput();
}

int TCustomComPort::QueuedInputCount()
{
    if (!connected_ || !link_)
        Raise(ComError::ClearErrorFailed, comm::NotOpenError());
    Link::DrainResult drained = link_->Drain();
    if (drained.error)
        Raise(ComError::ClearErrorFailed, drained.error);
    int inDriver = 0;
    // Past our buffer's capacity the driver holds the rest.
    if (!link_->gone && !link_->HasRoom()) {
        if (int e = link_->device->InputQueued(inDriver))
            Raise(ComError::ClearErrorFailed, e);
    }
    return link_->Buffered() + inDriver;
}

TComSignals TCustomComPort::ModemLines()
{
    if (!connected_ || !link_)
        Raise(ComError::ModemStatusFailed, comm::NotOpenError());
    if (link_->gone)
        return {};
    comm::ModemStatus s;
    if (int e = link_->device->GetModemStatus(s)) {
        if (comm::IsGoneError(e))
            return {};
        Raise(ComError::ModemStatusFailed, e);
    }
    TComSignals lines;
    if (s.cts)
        lines << csCTS;
    if (s.dsr)
        lines << csDSR;
    if (s.ring)
        lines << csRing;
    if (s.rlsd)
        lines << csRLSD;
    return lines;
}

TComErrors TCustomComPort::PendingLineErrors()
{
    if (!connected_ || !link_)
        Raise(ComError::ClearErrorFailed, comm::NotOpenError());
    TComErrors errors;
    Link& link = *link_;
    if (link.gone) {
        // The vanished device is reported as a device I/O error, once.
        if (!link.goneReported.exchange(true))
            errors << ceIO;
        return errors;
    }
    comm::LineCounts now;
    if (int e = link.device->GetLineCounts(now)) {
        if (comm::IsGoneError(e))
            return errors;
        Raise(ComError::ClearErrorFailed, e);
    }
    if (!now.supported)
        return errors;
    const comm::LineCounts& was = link.errorBaseline;
    if (now.frame != was.frame)
        errors << ceFrame;
    if (now.parity != was.parity && parity_->Check())
        errors << ceRxParity;
    if (now.overrun != was.overrun)
        errors << ceOverrun;
    if (now.brk != was.brk)
        errors << ceBreak;
    if (now.bufOverrun != was.bufOverrun)
        errors << ceRxOver;
    link.errorBaseline = now;
    return errors;
}

// --- notifications --------------------------------------------------------------

void TCustomComPort::DoAfterClose()
{
    if (OnAfterClose)
        OnAfterClose(this);
}

void TCustomComPort::DoAfterOpen()
{
    if (OnAfterOpen)
        OnAfterOpen(this);
}

void TCustomComPort::DoBeforeClose()
{
    if (OnBeforeClose)
        OnBeforeClose(this);
}

void TCustomComPort::DoBeforeOpen()
{
    if (OnBeforeOpen)
        OnBeforeOpen(this);
}

void TCustomComPort::DoRxChar(int count)
{
    if (OnRxChar)
        OnRxChar(this, count);
}

void TCustomComPort::DoRxBuf(const char* buffer, int count)
{
    if (OnRxBuf)
        OnRxBuf(this, buffer, count);
}

void TCustomComPort::DoTxEmpty()
{
    if (OnTxEmpty)
        OnTxEmpty(this);
}

void TCustomComPort::DoBreak()
{
    if (OnBreak)
        OnBreak(this);
}

void TCustomComPort::DoRing()
{
    if (OnRing)
        OnRing(this);
}

void TCustomComPort::DoRxFlag()
{
    if (OnRxFlag)
        OnRxFlag(this);
}

void TCustomComPort::DoCTSChange(bool onOff)
{
    if (OnCTSChange)
        OnCTSChange(this, onOff);
}

void TCustomComPort::DoDSRChange(bool onOff)
{
    if (OnDSRChange)
        OnDSRChange(this, onOff);
}

void TCustomComPort::DoError(TComErrors errors)
{
    if (OnError)
        OnError(this, errors);
}

void TCustomComPort::DoRLSDChange(bool onOff)
{
    if (OnRLSDChange)
        OnRLSDChange(this, onOff);
}

void TCustomComPort::DoRx80Full()
{
    if (OnRx80Full)
        OnRx80Full(this);
}

void TCustomComPort::ProcessComEvents(TComEvents events)
{
    // Each step runs only while the port is open: a handler may close it.
    auto open = [this] { return connected_ && link_; };
    if (events.Contains(evError) && open()) {
        TComErrors errors = PendingLineErrors();
        if (!errors.Empty())
            DoError(errors);
    }
    if (events.Contains(evRxChar) && open()) {
        int count = QueuedInputCount();
        if (count > 0) {
            if (triggersOnRxChar_) {
                DoRxChar(count);
            } else {
                QByteArray bytes;
                ReceiveText(bytes, count);
                DoRxBuf(bytes.constData(), static_cast<int>(bytes.size()));
            }
        }
    }
    if (events.Contains(evTxEmpty) && open())
        DoTxEmpty();
    if (events.Contains(evBreak) && open())
        DoBreak();
    if (events.Contains(evRing) && open())
        DoRing();
    if (events.Contains(evCTS) && open())
        DoCTSChange(ModemLines().Contains(csCTS));
    if (events.Contains(evDSR) && open())
        DoDSRChange(ModemLines().Contains(csDSR));
    if (events.Contains(evRxFlag) && open())
        DoRxFlag();
    if (events.Contains(evRLSD) && open())
        DoRLSDChange(ModemLines().Contains(csRLSD));
    if (events.Contains(evRx80Full) && open())
        DoRx80Full();
}

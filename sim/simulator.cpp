#include "sim/simulator.h"

#include "platform/clock.h"
#include "platform/ports_folder.h"
#include "sim/port_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <utility>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

// A new client gets a moment to set its line up before the first frame.
constexpr auto kFirstFrameDelay = std::chrono::milliseconds(100);
// The pause that makes a lone LF its own read after a CR.
constexpr auto kSplitGap = std::chrono::milliseconds(3);
// Closing the master throws away what the client has not read yet, so the
// bytes already written get this long to be read before the line goes, when
// the hang-up fault pulls the cable and when the simulator is stopped.
constexpr auto kInFlightGrace = std::chrono::milliseconds(300);
// Pacing granularity: bytes go out in pieces this size at the line rate.
constexpr int kPacedPiece = 32;
constexpr int kUnpacedPiece = 4096;

// ppoll until `until`; for ever when it is the largest time point.
int PollUntil(pollfd* fds, nfds_t count, Steady::time_point until)
{
    if (until == Steady::time_point::max())
        return ::ppoll(fds, count, nullptr, nullptr);
    const auto left = std::max(Nanos(0), std::chrono::duration_cast<Nanos>(until - Steady::now()));
    const timespec ts{static_cast<time_t>(left.count() / 1000000000), static_cast<long>(left.count() % 1000000000)};
    return ::ppoll(fds, count, &ts, nullptr);
}

LoggerStamp PcStamp()
{
    const QDateTime now = PcClock().Now();
    LoggerStamp s;
    s.year = now.date().year();
    s.month = now.date().month();
    s.day = now.date().day();
    s.hour = now.time().hour();
    s.minute = now.time().minute();
    s.second = now.time().second();
    return s;
}

LoggerModel::Settings SettingsFrom(const SimOptions& o)
{
    LoggerModel::Settings s;
    s.seed = o.seed;
    s.rateCode = o.rateCode;
    s.battery = o.battery;
    s.preloaded = o.samples;
    s.start = o.start ? *o.start : PcStamp();
    return s;
}

}  // namespace

// All pty traffic, on the simulator's thread. Reads the owner's options and
// pty; publishes through the owner's mutex and atomics.
class Simulator::Worker {
public:
    explicit Worker(Simulator& owner)
        : s_(owner), o_(owner.options_), model_(SettingsFrom(owner.options_)), rng_(owner.options_.seed)
    {
        t0_ = Steady::now();
        advancedTo_ = t0_;
        calmUntil_ = t0_;
        wireFree_ = t0_;
        nextFrame_ = t0_;
    }

    void Run();

private:
    enum class Sent { Ok, Lost, Stopped };

    double WallMs() const { return std::chrono::duration<double, std::milli>(Steady::now() - t0_).count(); }
    // The logger clock keeps real time while calm or busy with a client's
    // request, runs at the given speed otherwise.
    void Advance()
    {
        const auto now = Steady::now();
        if (now > advancedTo_) {
            const auto calmEnd = model_.CurrentMode() == LoggerModel::Mode::Live ? std::clamp(calmUntil_, advancedTo_, now) : now;
            running_ += std::chrono::duration<double>(calmEnd - advancedTo_).count()
                        + std::chrono::duration<double>(now - calmEnd).count() * o_.speed;
            advancedTo_ = now;
        }
        model_.AdvanceTo(running_, WallMs());
    }
    bool Stopping() const { return stop_; }

    void ClientArrived();
    void ClientLeft();
    void ReadCommands();
    void SendFrames();
    void SendTransfer();
    bool HangUp();  // false: the thread is to end
    // A fresh pty under the same link, then the old one closed; false, and
    // the old one kept, if none can be made.
    bool Renew();

    // Sleeps until a client opens the slave or the stop event fires.
    void WaitForClient();
    // Waits until `until`, or less if the stop event fires; false when stopping.
    bool SleepUntil(Steady::time_point until);
    // Waits until `until`, or less if the client lets go of the line or,
    // unless the thread is stopping already, the stop event fires.
    void Linger(Steady::time_point until);
    // Applies the write faults and the pacing to `bytes`.
    Sent Send(const std::string& bytes);
    Sent WritePiece(const char* data, std::size_t size);
    void Publish();  // the record file, if any

    Simulator& s_;
    const SimOptions& o_;
    LoggerModel model_;
    std::mt19937 rng_;
    Steady::time_point t0_;
    Steady::time_point advancedTo_;  // the logger clock has been moved up to here ...
    double running_ = 0;              // ... and stands this far from its start
    Steady::time_point calmUntil_;
    Steady::time_point wireFree_;   // when the bytes written so far have left the wire
    // Set from a transfer's first byte to its last: the logger sends it back
    // to back, so this thread waking late shortens the gaps that follow
    // rather than stretching the transfer.
    bool streaming_ = false;
    Steady::time_point nextFrame_;
    Steady::time_point transferDue_;
    bool transferPending_ = false;
    LoggerSnapshot snapshot_;
    bool present_ = false;
    bool stop_ = false;
    bool ended_ = false;
    long long periods_ = 0;
    long long framesBuilt_ = 0;
    long long sinceNul_ = 0;
    bool garbageDone_ = false;
    bool hangupDone_ = false;
    int downloads_ = 0;
};

void Simulator::Worker::Run()
{
    while (!stop_ && !ended_) {
        const bool present = s_.pty_->ClientPresent();
        if (present && !present_)
            ClientArrived();
        else if (!present && present_)
            ClientLeft();
        if (!present) {
            WaitForClient();
            continue;
        }

        ReadCommands();
        Advance();
        auto now = Steady::now();
        if (transferPending_ && now >= transferDue_) {
            transferPending_ = false;
            if (model_.CurrentMode() == LoggerModel::Mode::Sending)
                SendTransfer();
            continue;
        }
        if (model_.CurrentMode() == LoggerModel::Mode::Live && now >= nextFrame_) {
            SendFrames();
            const auto period = std::chrono::milliseconds(o_.framePeriodMs);
            // After a download or a stall the schedule starts again from now
            // rather than catching up with frames back to back.
            nextFrame_ = now - nextFrame_ >= period ? now + period : nextFrame_ + period;
            continue;
        }

        // Nothing else is due: a command, the client's leaving (the master's
        // hang-up) or the stop event wakes the wait before then.
        Steady::time_point wake = Steady::time_point::max();
        if (model_.CurrentMode() == LoggerModel::Mode::Live)
            wake = nextFrame_;
        if (const double lapse = model_.ModeLapsesAfterMs(); std::isfinite(lapse))
            wake = std::min(wake, t0_ + std::chrono::ceil<Nanos>(std::chrono::duration<double, std::milli>(lapse)));
        if (transferPending_)
            wake = std::min(wake, transferDue_);
        pollfd fds[2] = {{s_.pty_->Master(), POLLIN, 0}, {s_.stopFd_, POLLIN, 0}};
        PollUntil(fds, 2, wake);
        if (fds[1].revents & POLLIN)
            stop_ = true;
    }
    // A logger switched off still gets its last bytes across the wire.
    if (stop_ && present_)
        Linger(wireFree_ + kInFlightGrace);
}

void Simulator::Worker::WaitForClient()
{
    s_.pty_->ClearOpenings();
    if (s_.pty_->ClientPresent())
        return;
    pollfd fds[2] = {{s_.pty_->Openings(), POLLIN, 0}, {s_.stopFd_, POLLIN, 0}};
    PollUntil(fds, 2, Steady::time_point::max());
    if (fds[1].revents & POLLIN)
        stop_ = true;
}

void Simulator::Worker::ClientArrived()
{
    present_ = true;
    s_.clientPresent_ = true;
    const auto now = Steady::now();
    wireFree_ = now;
    nextFrame_ = now + std::min<Nanos>(kFirstFrameDelay, std::chrono::milliseconds(o_.framePeriodMs));
}

void Simulator::Worker::ClientLeft()
{
    present_ = false;
    s_.clientPresent_ = false;
    transferPending_ = false;
    model_.Hangup();
    if (!s_.pty_->ResetSlave()) {
        // Whoever comes next comes through the link, which Renew points at
        // a fresh port.
        std::fprintf(stderr, "veltra8-sim: the client left the port locked; making a new one\n");
        if (!Renew())
            ended_ = true;
    }
    Publish();
}

bool Simulator::Worker::Renew()
{
    // The fresh port is made while the old one is held and the link moved
    // before the old one goes: it cannot get the old one's number back, and
    // a client that reopens the link on seeing the hang-up finds the new one.
    std::unique_ptr<LoggerPty> old;
    try {
        auto fresh = std::make_unique<LoggerPty>();
        if (s_.link_)
            s_.link_->Retarget(fresh->SlavePath());
        std::lock_guard lock(s_.mutex_);
        s_.slavePath_ = fresh->SlavePath();
        old = std::exchange(s_.pty_, std::move(fresh));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltra8-sim: %s\n", e.what());
        return false;
    }
    old.reset();
    ++s_.reopens_;
    s_.Announce();
    return true;
}

void Simulator::Worker::ReadCommands()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(s_.pty_->Master(), buf, sizeof buf);
        if (n <= 0)
            return;  // EAGAIN: nothing more; EIO: the client is gone, seen next round
        Advance();
        const double ms = WallMs();
        {
            std::lock_guard lock(s_.mutex_);
            for (ssize_t i = 0; i < n && s_.record_.received.size() < SimRecord::kMaxReceived; ++i)
                s_.record_.received.push_back(SimReceived{ms, buf[i]});
        }
        calmUntil_ = std::max(calmUntil_, Steady::now() + std::chrono::milliseconds(o_.calmMs));
        for (ssize_t i = 0; i < n; ++i) {
            if (model_.Feed(buf[i]) == LoggerModel::Event::Transfer) {
                snapshot_ = model_.TakeSnapshot();
                transferPending_ = true;
                transferDue_ = Steady::now() + std::chrono::milliseconds(o_.transferDelayMs);
            }
        }
        if (std::vector<LoggerEmptied> emptied = model_.TakeEmptied(); !emptied.empty()) {
            std::lock_guard lock(s_.mutex_);
            s_.record_.emptied.insert(s_.record_.emptied.end(), emptied.begin(), emptied.end());
        }
    }
}

void Simulator::Worker::SendFrames()
{
    ++periods_;
    const int count = o_.runTogetherEvery > 0 && periods_ % o_.runTogetherEvery == 0 ? 2 : 1;
    std::string bytes;
    int bad = 0;
    for (int i = 0; i < count; ++i) {
        std::string frame = model_.LiveFrame();
        ++framesBuilt_;
        if (o_.badFrameEvery > 0 && framesBuilt_ % o_.badFrameEvery == 0) {
            const auto at = static_cast<std::size_t>(rng_() % 63);
            frame[at] = static_cast<char>('B' + rng_() % 25);
            ++bad;
        }
        bytes += frame;
    }
    if (Send(bytes) != Sent::Ok)
        return;
    s_.framesSent_ += count;
    {
        std::lock_guard lock(s_.mutex_);
        s_.record_.framesSent += count;
        s_.record_.badFrames += bad;
    }
    if (o_.garbageBytes > 0 && !garbageDone_ && s_.framesSent_ >= o_.garbageAfterFrames) {
        garbageDone_ = true;
        std::string garbage(static_cast<std::size_t>(o_.garbageBytes), '\0');
        for (char& c : garbage)
            c = static_cast<char>(rng_() & 0xff);
        Send(garbage);
    }
}

void Simulator::Worker::SendTransfer()
{
    std::size_t index = 0;
    {
        std::lock_guard lock(s_.mutex_);
        s_.record_.downloads.push_back(SimDownload{++downloads_, snapshot_, 0, false});
        index = s_.record_.downloads.size() - 1;
    }
    wireFree_ = std::max(wireFree_, Steady::now());
    streaming_ = true;
    auto finish = [&] {
        streaming_ = false;
        Publish();
    };

    if (Send(LoggerModel::HeaderLine(snapshot_.start, snapshot_.rateCode)) != Sent::Ok)
        return finish();
    int lines = 0;
    for (const LoggerSample& sample : snapshot_.samples) {
        if (o_.hangupAfterLines == lines && !hangupDone_) {
            finish();
            HangUp();
            return;
        }
        if (Send(LoggerModel::SampleLine(sample)) != Sent::Ok)
            return finish();
        ++lines;
        std::lock_guard lock(s_.mutex_);
        s_.record_.downloads[index].linesSent = lines;
    }
    if (o_.hangupAfterLines == lines && !hangupDone_) {
        finish();
        HangUp();
        return;
    }
    // A logger gone wrong: the lines go round until the client says
    // something, which the main loop then reads.
    for (std::size_t i = 0; o_.endless && !snapshot_.samples.empty(); i = (i + 1) % snapshot_.samples.size()) {
        pollfd heard{s_.pty_->Master(), POLLIN, 0};
        if (::poll(&heard, 1, 0) > 0 || Send(LoggerModel::SampleLine(snapshot_.samples[i])) != Sent::Ok)
            return finish();
    }
    if (Send(LoggerModel::TrailerLine()) != Sent::Ok || o_.noEndMarker)
        return finish();
    streaming_ = false;

    // The marker counts from when the trailer has left the wire, so the
    // client has read everything before it and sees "A" as a read of its own.
    if (!SleepUntil(std::max(Steady::now(), wireFree_) + std::chrono::milliseconds(o_.markerPauseMs)))
        return finish();
    if (WritePiece("A", 1) == Sent::Ok) {
        std::lock_guard lock(s_.mutex_);
        s_.record_.downloads[index].endMarkerSent = true;
    }
    finish();
}

bool Simulator::Worker::HangUp()
{
    hangupDone_ = true;
    // The cable is pulled after the lines already sent, not under them.
    Linger(std::max(Steady::now(), wireFree_) + kInFlightGrace);
    const bool renewed = o_.reopenAfterHangup && Renew();
    if (!renewed)
        s_.pty_->CloseMaster();
    present_ = false;
    s_.clientPresent_ = false;
    transferPending_ = false;
    model_.Hangup();
    ended_ = !renewed;
    return renewed;
}

bool Simulator::Worker::SleepUntil(Steady::time_point until)
{
    for (;;) {
        if (stop_)
            return false;
        if (Steady::now() >= until)
            return true;
        pollfd stop{s_.stopFd_, POLLIN, 0};
        if (PollUntil(&stop, 1, until) > 0 && (stop.revents & POLLIN))
            stop_ = true;
    }
}

void Simulator::Worker::Linger(Steady::time_point until)
{
    while (Steady::now() < until) {
        // No events asked of the master: it reports only its hang-up.
        pollfd fds[2] = {{s_.pty_->Master(), 0, 0}, {s_.stopFd_, POLLIN, 0}};
        if (PollUntil(fds, stop_ ? 1 : 2, until) <= 0)
            continue;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            stop_ = true;
            return;
        }
    }
}

Simulator::Worker::Sent Simulator::Worker::Send(const std::string& bytes)
{
    std::string payload;
    if (o_.nulEvery > 0) {
        payload.reserve(bytes.size() + bytes.size() / static_cast<std::size_t>(o_.nulEvery) + 1);
        for (char c : bytes) {
            payload += c;
            if (++sinceNul_ == o_.nulEvery) {
                payload += '\0';
                sinceNul_ = 0;
            }
        }
    } else {
        payload = bytes;
    }

    const int largest = o_.chunk > 0 ? o_.chunk : o_.paced ? kPacedPiece : kUnpacedPiece;
    const auto piece = static_cast<std::size_t>(largest);
    std::size_t at = 0;
    while (at < payload.size()) {
        std::size_t end = std::min(payload.size(), at + piece);
        bool split = false;
        if (o_.splitCrLf) {
            for (std::size_t i = at; i < end; ++i) {
                if (payload[i] == '\r' && i + 1 < payload.size() && payload[i + 1] == '\n') {
                    end = i + 1;
                    split = true;
                    break;
                }
            }
        }
        if (const Sent r = WritePiece(payload.data() + at, end - at); r != Sent::Ok)
            return r;
        at = end;
        if (o_.chunkGapMs > 0 && !SleepUntil(Steady::now() + std::chrono::milliseconds(o_.chunkGapMs)))
            return Sent::Stopped;
        // The LF must not share the CR's read: wait until the CR has left the
        // wire and a little more.
        if (split && !SleepUntil(std::max(Steady::now(), wireFree_) + kSplitGap))
            return Sent::Stopped;
    }
    return Sent::Ok;
}

Simulator::Worker::Sent Simulator::Worker::WritePiece(const char* data, std::size_t size)
{
    if (o_.paced && !SleepUntil(wireFree_))
        return Sent::Stopped;
    while (size > 0) {
        if (stop_)
            return Sent::Stopped;
        // Bytes written while nobody holds the slave would wait there for the
        // next client; stop as soon as this one is gone.
        if (!s_.pty_->ClientPresent())
            return Sent::Lost;
        const ssize_t n = ::write(s_.pty_->Master(), data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN)
                return Sent::Lost;
            // The client's reading, its leaving (a hang-up) or the stop wakes this.
            pollfd fds[2] = {{s_.pty_->Master(), POLLOUT, 0}, {s_.stopFd_, POLLIN, 0}};
            ::poll(fds, 2, -1);
            if (fds[1].revents & POLLIN)
                stop_ = true;
            continue;
        }
        if (o_.paced) {
            const auto wire = Nanos(static_cast<long long>(n) * 10 * 1000000000LL / o_.baud);
            // A UART sends back to back while it has data: waking a little
            // late for the next piece must not stretch the stream, so the
            // schedule only restarts after a real pause, never within a
            // transfer (unless pauses were asked for between the writes).
            const auto now = Steady::now();
            const bool continuous = (streaming_ && o_.chunkGapMs == 0) || now - wireFree_ < std::chrono::milliseconds(5);
            wireFree_ = (continuous ? wireFree_ : now) + wire;
        } else {
            wireFree_ = Steady::now();  // unpaced bytes leave at once
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return Sent::Ok;
}

void Simulator::Worker::Publish()
{
    if (o_.recordPath.empty())
        return;
    try {
        WriteRecordFile(o_.recordPath, s_.Record());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltra8-sim: %s\n", e.what());
    }
}

Simulator::Simulator(SimOptions options)
    : options_(std::move(options)), changeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

Simulator::~Simulator()
{
    Stop();
    if (changeFd_ >= 0)
        ::close(changeFd_);
}

void Simulator::Announce()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(changeFd_, &one, sizeof one);
}

void Simulator::ClearChangeEvent()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(changeFd_, &count, sizeof count);
}

void Simulator::Start()
{
    if (thread_.joinable())
        return;
    if (changeFd_ < 0)
        throw std::runtime_error("cannot make the change event");
    pty_ = std::make_unique<LoggerPty>();
    link_.reset();
    if (options_.makeLink) {
        std::string folder = options_.portsFolder;
        if (folder.empty()) {
            QString why;
            folder = VirtualPortsFolder(&why).toStdString();
            if (folder.empty())
                throw std::runtime_error("no folder for the port's link: " + why.toStdString() +
                                         " (remove it, set XDG_RUNTIME_DIR, or run with --ports-dir DIR or --no-link)");
        }
        auto link = std::make_unique<PortLink>();
        link->Create(folder, options_.linkName, pty_->SlavePath());
        link_ = std::move(link);
    }
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
        link_.reset();
        pty_.reset();
        throw std::runtime_error("cannot make the stop event");
    }
    {
        std::lock_guard lock(mutex_);
        record_ = SimRecord{};
        slavePath_ = pty_->SlavePath();
        linkPath_ = link_ ? link_->Path() : std::string();
    }
    framesSent_ = 0;
    reopens_ = 0;
    worker_ = std::make_unique<Worker>(*this);
    running_ = true;
    thread_ = std::thread([this] {
        worker_->Run();
        running_ = false;
        Announce();
    });
}

void Simulator::Stop()
{
    if (!thread_.joinable())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    running_ = false;
    clientPresent_ = false;
    worker_.reset();
    link_.reset();  // removes the link
    pty_.reset();
    ::close(stopFd_);
    stopFd_ = -1;
    if (!options_.recordPath.empty()) {
        try {
            WriteRecordFile(options_.recordPath, Record());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "veltra8-sim: %s\n", e.what());
        }
    }
}

std::string Simulator::SlavePath() const
{
    std::lock_guard lock(mutex_);
    return slavePath_;
}

std::string Simulator::LinkPath() const
{
    std::lock_guard lock(mutex_);
    return linkPath_;
}

SimRecord Simulator::Record() const
{
    std::lock_guard lock(mutex_);
    return record_;
}

// Long runs through the whole path: a flood of live frames on an unpaced
// line, and the connect switch worked over and over. Counts are sized for CI;
// VELTRA8_SOAK_FRAMES and VELTRA8_SOAK_CYCLES raise them for manual runs
// (VELTRA8_SOAK_PERIOD_MS slows the frames for instrumented builds).
#include "tests/faults/fault_run.h"

#include "tests/support/pty.h"
#include "tests/support/printers.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace faults {
namespace {

constexpr long long kMegabyte = 1024 * 1024;

// The sanitizers hold on to memory of their own (the race detector a history
// per thread, the address checker a quarantine of freed blocks), so resident
// memory grows there; that growth is theirs, not the program's. Leaks are the
// leak checker's to find in those builds.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

class Soak : public FaultRun {
protected:
    int WatchdogSeconds() const override
    {
        // A manual run with larger counts gets time in proportion.
        const long long frames = EnvCount("VELTRA8_SOAK_FRAMES", kFrames) * EnvCount("VELTRA8_SOAK_PERIOD_MS", 1);
        const long long cycles = EnvCount("VELTRA8_SOAK_CYCLES", kCycles);
        return static_cast<int>(120 + frames / 500 + cycles / 20);
    }

    static constexpr long long kFrames = 60000;
    static constexpr long long kCycles = 1000;
};

TEST_F(Soak, FloodOfLiveFrames_EveryFrameAccountedForAndMemoryFlat)
{
    const long long frames = EnvCount("VELTRA8_SOAK_FRAMES", kFrames);
    SimOptions o = QuickLogger(dir, 0);
    // One frame per millisecond, the simulator's finest period: each frame
    // still comes with a pause of its own, which is all the program needs.
    o.framePeriodMs = static_cast<int>(EnvCount("VELTRA8_SOAK_PERIOD_MS", 1));
    StartSimulator(o);

    // What reaches the main window's handler, frame by frame. A machine busy
    // elsewhere can hold the program's threads off for longer than the
    // logger's pause; frames queued meanwhile arrive in one notification and
    // the accumulator rule drops them, as it must. Such frames are marked;
    // every frame whose bytes came in notifications of their own must be
    // taken, and nothing taken may be anything but such a frame.
    long long handedOver = 0;
    long long mixedNotifications = 0;
    long long takenOutOfStep = 0;
    std::vector<bool> mixed;  // per frame: shared a notification with another
    std::vector<bool> taken;  // per frame: parsed when its last byte came
    auto program = Form1->ComPort1->OnRxChar;
    Form1->ComPort1->OnRxChar = [&, program](QObject* sender, int count) {
        const long long from = handedOver;
        handedOver += count;
        const auto first = static_cast<size_t>(from / 64);
        const auto last = static_cast<size_t>((handedOver - 1) / 64);
        if (mixed.size() <= last) {
            mixed.resize(last + 1 + 4096);
            taken.resize(last + 1 + 4096);
        }
        if (last > first) {
            ++mixedNotifications;
            for (size_t k = first; k <= last; ++k)
                mixed[k] = true;
        }
        const int parsed = Form1->FramesParsed();
        program(sender, count);
        if (Form1->FramesParsed() > parsed) {
            if (handedOver % 64 == 0)
                taken[last] = true;
            else
                ++takenOutOfStep;
        }
    };
    ASSERT_TRUE(Connect()) << Errors();

    // Warm-up: the first frames allocate what the window keeps for good.
    const long long warmUp = std::min<long long>(2000, frames / 10);
    ASSERT_TRUE(WaitIdly([&] { return sim->FramesSent() >= warmUp; }, 60000));
    WaitIdly([] { return false; }, 200);
    const long long baseline = ResidentBytes();
    long long highest = baseline;
    long long lastLook = 0;
    const bool done = WaitIdly(
        [&] {
            const long long sent = sim->FramesSent();
            if (sent - lastLook >= 1000) {
                lastLook = sent;
                highest = std::max(highest, ResidentBytes());
            }
            return sent >= frames;
        },
        static_cast<int>(frames * o.framePeriodMs * 3 + 30000));
    ASSERT_TRUE(done) << "the simulator sent only " << sim->FramesSent();
    // The simulator gives the frames already sent time to arrive before it
    // closes the line; this thread must be free to read them meanwhile, so
    // the stop runs on another one. StopAndDrain's own stop is then a no-op.
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        sim->Stop();
        stopped = true;
    });
    WaitIdly([&] { return stopped.load(); }, 10000, 5);
    stopper.join();
    StopAndDrain();
    highest = std::max(highest, ResidentBytes());

    const long long sent = sim->Record().framesSent;
    long long alone = 0, aloneMissed = 0;
    for (long long k = 0; k < sent && k < static_cast<long long>(mixed.size()); ++k) {
        if (mixed[static_cast<size_t>(k)])
            continue;
        ++alone;
        if (!taken[static_cast<size_t>(k)])
            ++aloneMissed;
    }
    RecordProperty("frames_sent", std::to_string(sent));
    RecordProperty("frames_alone", std::to_string(alone));
    std::printf("frames sent %lld, came alone %lld, parsed %d, dropped %d; resident %+lld bytes\n", sent, alone,
        Form1->FramesParsed(), Form1->FramesDropped(), highest - baseline);
    // Not one byte lost or doubled between the line and the handler.
    EXPECT_EQ(handedOver, sent * 64);
    // Every frame that came alone was taken, and only those.
    EXPECT_EQ(aloneMissed, 0);
    EXPECT_EQ(takenOutOfStep, 0);
    EXPECT_EQ(Form1->FramesParsed(), alone);
    // Only a notification that mixed frames can hold 64 characters out of step.
    EXPECT_LE(Form1->FramesDropped(), mixedNotifications);
    // On a quiet machine every frame comes alone; on a loaded one most still
    // should, or the path is too slow for a frame a millisecond.
    EXPECT_GE(alone, sent / 10);
    if (!kSanitized) {
        EXPECT_LE(highest - baseline, kMegabyte) << "resident memory grew from " << baseline << " to " << highest;
    }
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

TEST_F(Soak, ConnectDisconnectCycles_LeaveNoDescriptorOrThread)
{
    const long long cycles = EnvCount("VELTRA8_SOAK_CYCLES", kCycles);
    SimOptions o = QuickLogger(dir, 0);
    // Frames keep coming, so closes meet hand-overs in flight.
    o.framePeriodMs = 3;
    StartSimulator(o);

    auto cycle = [&](long long i) {
        if (!Connect()) {
            ADD_FAILURE() << "cycle " << i << ": not connected: " << Errors();
            return false;
        }
        // Long enough, now and then, for frames to be handed over.
        WaitIdly([] { return false; }, i % 10 == 0 ? 8 : 1);
        ClickSwitch();
        if (Form1->ComPort1->Connected() || Form1->ComPort1->HasEventThread()) {
            ADD_FAILURE() << "cycle " << i << ": still open";
            return false;
        }
        return true;
    };
    for (long long i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle(i));
    WaitIdly([] { return false; }, 100);
    const int descriptors = OpenDescriptorCount();
    const int threads = ThreadCount();
    const long long resident = ResidentBytes();

    for (long long i = 0; i < cycles; ++i)
        ASSERT_TRUE(cycle(i));
    WaitIdly([] { return false; }, 100);

    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(ThreadCount(), threads);
    if (!kSanitized) {
        EXPECT_LE(ResidentBytes() - resident, kMegabyte);
    }
    EXPECT_GT(Form1->FramesParsed(), 0);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
    // Still a working program: a last connection shows frames.
    ASSERT_TRUE(Connect()) << Errors();
    EXPECT_TRUE(WaitFrames(3));
}

}  // namespace
}  // namespace faults

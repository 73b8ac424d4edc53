#pragma once
// Shared set-up of the fault-injection and soak tests: the program's real
// windows against an in-process logger simulator (tests/support/program.h)
// with one fault switched on, plus the process measurements the tests judge
// by (CPU time over an idle spell, resident memory, descriptors and
// threads), and a watchdog that turns a hang into a failure with a name
// instead of a silent ctest time-out.
#include "data/download_buffer.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace faults {

// CPU seconds this process (all its threads) has used so far.
inline double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

// Runs the event loop for `ms` doing nothing else and returns the share of
// one core the process used meanwhile: a spinning thread shows as ~1.0.
// A real event loop, which sleeps while nothing happens; WaitUntil polls and
// would measure itself.
inline double IdleCpuShare(int ms = 2000)
{
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = ProcessCpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    return (ProcessCpuSeconds() - cpu0) / wall;
}

// Resident set size in bytes, from /proc/self/statm.
inline long long ResidentBytes()
{
    long long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

inline int ThreadCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// A count from the environment for longer manual runs; `fallback` otherwise.
inline long long EnvCount(const char* name, long long fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    return end && *end == '\0' && v > 0 ? v : fallback;
}

// Aborts the whole test program when a test has not finished in time: a
// GUI thread stuck in a handler never returns to the test, so only another
// thread can tell.
class Watchdog {
public:
    explicit Watchdog(int seconds) : thread_([this, seconds] { watch(seconds); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard l(lock_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    void watch(int seconds)
    {
        std::unique_lock l(lock_);
        if (!changed_.wait_for(l, std::chrono::seconds(seconds), [this] { return done_; })) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            std::fprintf(stderr, "\nHANG: %s.%s did not finish within %d s\n", info ? info->test_suite_name() : "?",
                info ? info->name() : "?", seconds);
            std::fflush(stderr);
            std::abort();
        }
    }

    std::mutex lock_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread thread_;
};

// The simulator's options for a quick, honest logger on an unpaced line;
// each test switches its fault on over these.
inline SimOptions QuickLogger(const QTemporaryDir& dir, int samples = 20)
{
    SimOptions o = UnpacedSimulator(dir);
    o.samples = samples;
    o.rateCode = 2;
    o.seed = 11;
    return o;
}

class FaultRun : public ProgramAgainstSimulator {
protected:
    virtual int WatchdogSeconds() const { return 90; }

    void SetUp() override
    {
        watchdog = std::make_unique<Watchdog>(WatchdogSeconds());
        ProgramAgainstSimulator::SetUp();
    }
    void TearDown() override
    {
        ProgramAgainstSimulator::TearDown();
        watchdog.reset();
    }

    // Stops the simulator and lets the port's queue run dry, so what the
    // simulator sent and what the main window took can be compared. To the
    // program the stop is a device that vanished: that one box is expected
    // and taken out of `errors`.
    void StopAndDrain()
    {
        sim->Stop();
        int seen = -1;
        for (int quiet = 0; quiet < 3;) {
            WaitIdly([] { return false; }, 100);
            const int now = Form1->FramesParsed() + Form1->FramesDropped();
            quiet = now == seen ? quiet + 1 : 0;
            seen = now;
        }
        if (!Form1->ComPort1->Connected())
            return;
        EXPECT_TRUE(WaitIdly([&] { return !errors.isEmpty(); }, 5000)) << "the stopped simulator went unreported";
        const QString vanished = QStringLiteral("ReadFile function failed (win error code: 5)");
        EXPECT_EQ(errors.count(vanished), 1) << Errors();
        errors.removeAll(vanished);
    }

    std::unique_ptr<Watchdog> watchdog;
};

}  // namespace faults

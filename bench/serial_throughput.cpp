// How fast a byte stream on a pty reaches a handler through the port's
// event thread and OnRxChar (ReceiveText of Count, as the main window reads),
// against a plain read() loop on the same kind of pty in the same run; and
// what CPU an open, idle port costs over ten seconds.
#include "serial/comport.h"

#include "bench/report.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kStreamBytes = 4 * 1024 * 1024;

struct Pty {
    Pty()
    {
        char name[256] = {};
        int slave = -1;
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            std::abort();
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        keeper = slave;
        path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        ::close(keeper);
        ::close(master);
    }
    int master = -1;
    int keeper = -1;
    QString path;
};

// Feeds `total` bytes into the master as fast as the pty takes them.
std::thread Feed(int master, int total)
{
    return std::thread([master, total] {
        static const std::string chunk(4096, 'v');
        int left = total;
        while (left > 0) {
            ssize_t n = ::write(master, chunk.data(), std::min<size_t>(chunk.size(), static_cast<size_t>(left)));
            if (n > 0) {
                left -= static_cast<int>(n);
            } else {
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    });
}

double g_portRate = 0;
double g_plainRate = 0;

double Rate(benchmark::State& state, std::chrono::steady_clock::duration spent)
{
    double seconds = std::chrono::duration<double>(spent).count();
    return seconds > 0 ? static_cast<double>(state.iterations()) * kStreamBytes / seconds : 0;
}

void BM_PlainReadLoop(benchmark::State& state)
{
    Pty pty;
    int fd = ::open(pty.path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::vector<char> buffer(65536);
    auto spent = std::chrono::steady_clock::duration::zero();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::thread feeder = Feed(pty.master, kStreamBytes);
        int got = 0;
        while (got < kStreamBytes) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 1000);
            ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n > 0)
                got += static_cast<int>(n);
        }
        feeder.join();
        spent += std::chrono::steady_clock::now() - start;
    }
    ::close(fd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kStreamBytes);
    g_plainRate = Rate(state, spent);
}
BENCHMARK(BM_PlainReadLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OnRxCharHandler(benchmark::State& state)
{
    Pty pty;
    TComPort port;
    port.SetPort(pty.path);
    port.SetBaudRate(br115200);
    port.SetDiscardNull(true);
    port.Timeouts()->SetReadInterval(1);
    QEventLoop loop;
    int got = 0;
    port.OnRxChar = [&](QObject*, int count) {
        QByteArray s;
        got += port.ReceiveText(s, count);
        if (got >= kStreamBytes)
            loop.quit();
    };
    port.OpenPort();
    auto spent = std::chrono::steady_clock::duration::zero();
    for (auto _ : state) {
        got = 0;
        auto start = std::chrono::steady_clock::now();
        std::thread feeder = Feed(pty.master, kStreamBytes);
        loop.exec();
        feeder.join();
        spent += std::chrono::steady_clock::now() - start;
    }
    port.ClosePort();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kStreamBytes);
    g_portRate = Rate(state, spent);
}
BENCHMARK(BM_OnRxCharHandler)->Unit(benchmark::kMillisecond)->UseRealTime();

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The whole process's CPU while an open port waits on a silent line and the
// GUI thread sits in its event loop.
double IdlePortCpuSeconds(int seconds)
{
    Pty pty;
    TComPort port;
    port.SetPort(pty.path);
    port.OnRxChar = [](QObject*, int) {};
    port.OpenPort();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    double before = CpuSeconds();
    loop.exec();
    double used = CpuSeconds() - before;
    port.ClosePort();
    return used;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nReceived stream, %d bytes a run:\n", kStreamBytes);
    std::printf("  through OnRxChar + ReceiveText: %10.2f MB/s\n", g_portRate / 1e6);
    std::printf("  plain read() loop:              %10.2f MB/s\n", g_plainRate / 1e6);
    if (g_plainRate > 0)
        std::printf("  port path reaches %.0f %% of the plain loop\n", 100.0 * g_portRate / g_plainRate);
    ReportFigure("capture: bytes/s through the received-characters path", g_portRate, "B/s",
        "plain read() loop " + std::to_string(static_cast<long long>(g_plainRate)) + " B/s");

    int seconds = 10;
    if (const char* s = std::getenv("VELTRA8_BENCH_IDLE_SECONDS"))
        seconds = std::max(1, std::atoi(s));
    double cpu = IdlePortCpuSeconds(seconds);
    std::printf("\nOpen idle port: %.1f ms CPU over %d s (%.3f %% of one core)\n", cpu * 1000.0, seconds, 100.0 * cpu / seconds);
    ReportFigure("idle CPU, port open", 100.0 * cpu / seconds, "% of a core", "over " + std::to_string(seconds) + " s");
    return 0;
}

// Live frames through the whole path: pty, event thread, hand-over, the main
// window's handler, the indicators. Prints the latency from a frame's last
// byte to the indicators being set, and the CPU the program uses while
// frames arrive once a second (VELTRA8_BENCH_SECONDS, default 60).
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "serial/comport.h"
#include "widgets/abrockerswitch.h"

#include "bench/report.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

int master = -1;
std::vector<double> latencies;  // seconds, one per measured frame

QByteArray frame(int n)
{
    QByteArray f = "0514070322" "09" "180" "0" "1";
    for (int k = 0; k < 8; ++k)
        f += QByteArray::number(1 + (n + k) % 3).rightJustified(2, '0') + "244";
    f += "000015";
    f += '\r';
    return f;
}

void processUntil(int parsed)
{
    while (Form1->FramesParsed() < parsed)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

void BM_FrameLastByteToIndicators(benchmark::State& state)
{
    int n = Form1->FramesParsed();
    for (auto _ : state) {
        QByteArray f = frame(n);
        (void)!write(master, f.constData(), static_cast<size_t>(f.size()));
        auto t0 = std::chrono::steady_clock::now();
        processUntil(++n);
        auto t1 = std::chrono::steady_clock::now();
        double seconds = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds);
        // The logger pauses between frames; so does the benchmark.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
BENCHMARK(BM_FrameLastByteToIndicators)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    char name[256] = {};
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return 1;
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);

    Flags().SkipPortSetup = true;
    CreateForms();
    Form1->ComPort1->SetPort(QString::fromLocal8Bit(name));
    Form1->AbRockerSwitch1Click();
    close(slave);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    int seconds = qEnvironmentVariableIntValue("VELTRA8_BENCH_SECONDS");
    if (seconds <= 0)
        seconds = 60;
    double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    int n = Form1->FramesParsed();
    for (int s = 0; s < seconds; ++s) {
        QByteArray f = frame(n);
        (void)!write(master, f.constData(), static_cast<size_t>(f.size()));
        processUntil(++n);
        // Idle until the next frame, as the program is between frames.
        QEventLoop idle;
        QTimer::singleShot(1000, &idle, &QEventLoop::quit);
        idle.exec();
    }
    double cpu = cpuSeconds() - cpu0;
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        double median = latencies[latencies.size() / 2] * 1e6;
        double p99 = latencies[latencies.size() * 99 / 100] * 1e6;
        ReportFigure("live frame: last byte to indicators (median)", median, "us",
            "99th percentile " + std::to_string(static_cast<int>(p99)) + " us");
    }
    ReportFigure("idle CPU, connected, one live frame a second", 100.0 * cpu / (wall.elapsed() / 1000.0), "% of a core",
        "over " + std::to_string(seconds) + " s");
    std::printf("live frames, one per second for %d s: CPU %.3f s (%.3f %% of one core)\n", seconds, cpu,
        100.0 * cpu / (wall.elapsed() / 1000.0));

    DestroyForms();
    close(master);
    return 0;
}

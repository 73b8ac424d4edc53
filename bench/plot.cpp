// The time plot the command-line client draws, written to a PNG file: a full
// logger memory (2,000 rows x 8 channels at the default 1200 x 675, goal
// 100 ms) and a million merged rows (8 channels at 1600 x 900, goal 1 s, with
// peak resident memory under 200 MiB). Runs on QGuiApplication alone: the
// plot needs no widget.
#include "bench/report.h"
#include "chart/time_plot.h"

#include <benchmark/benchmark.h>

#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>
#include <sys/resource.h>

namespace {

// `rows` samples a minute apart (15 minutes for a logger memory), eight
// channels of slow waves with a little noise, as merged downloads give them.
TimeSamples samples(size_t rows, qint64 interval)
{
    TimeSamples s;
    qint64 start = TimeSamples::Seconds(QDate(2021, 3, 1), QTime(8, 0));
    s.times.resize(rows);
    for (size_t i = 0; i < rows; ++i)
        s.times[i] = start + static_cast<qint64>(i) * interval;
    for (int k = 0; k < 8; ++k) {
        std::vector<double>& v = s.channels[static_cast<size_t>(k)];
        v.resize(rows);
        for (size_t i = 0; i < rows; ++i)
            v[i] = 18 + 3 * k + 4 * std::sin(static_cast<double>(i) / (40.0 + 9 * k)) + 0.1 * static_cast<double>(i % 5);
    }
    return s;
}

bool plotToPng(const TimeSamples& s, QSize size, const QString& path)
{
    TTimePlot plot(s, {.size = size});
    return plot.Save(path);
}

double peakResidentMiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void LoggerMemoryToPng(benchmark::State& state)
{
    QTemporaryDir dir;
    TimeSamples s = samples(2000, 15 * 60);
    for (auto _ : state)
        plotToPng(s, QSize(1200, 675), dir.filePath(QStringLiteral("plot.png")));
}
BENCHMARK(LoggerMemoryToPng)->Unit(benchmark::kMillisecond);

void MillionRowsToPng(benchmark::State& state)
{
    QTemporaryDir dir;
    TimeSamples s = samples(1000000, 60);
    for (auto _ : state)
        plotToPng(s, QSize(1600, 900), dir.filePath(QStringLiteral("plot.png")));
}
BENCHMARK(MillionRowsToPng)->Unit(benchmark::kMillisecond);

double medianMs(const TimeSamples& s, QSize size, const QString& path, int runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!plotToPng(s, size, path))
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Single timings in the project's report form. The million rows go first, so
// the peak resident memory is theirs and nothing else has run yet.
void report()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    {
        TimeSamples million = samples(1000000, 60);
        double ms = medianMs(million, QSize(1600, 900), path, 5);
        ReportFigure("plot: 1,000,000 rows x 8 channels to PNG 1600 x 900 (median)", ms, "ms", "goal 1000 ms");
        ReportFigure("plot: peak resident memory, 1,000,000 rows", peakResidentMiB(), "MiB",
            "goal 200 MiB, samples in memory " + std::to_string(1000000 * 9 * 8 / (1024 * 1024)) + " MiB");
    }
    TimeSamples memory = samples(2000, 15 * 60);
    double ms = medianMs(memory, QSize(1200, 675), path, 15);
    ReportFigure("plot: 2,000 rows x 8 channels to PNG 1200 x 675 (median)", ms, "ms", "goal 100 ms");
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    report();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

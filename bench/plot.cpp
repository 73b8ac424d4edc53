// The time plot the command-line client draws, written to a PNG file: a full
// logger memory (2,000 rows x 8 channels at the default 1200 x 675, goal
// 100 ms) and a million merged rows (8 channels at 1600 x 900, goal 1 s, with
// peak resident memory under 200 MiB). Runs on QGuiApplication alone: the
// plot needs no widget.
//
// Then the same through veltra8-plot as `veltra8-cli plot` runs it, CSV in,
// PNG out: the whole program, from a file and through a pipe, its peak
// resident memory taken from the kernel's account of the child.
#include "bench/report.h"
#include "chart/time_plot.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <utility>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Eight channels of slow waves with a little noise, as merged downloads
// give them; channel index k from 0.
double reading(int k, size_t i)
{
    return 18 + 3 * k + 4 * std::sin(static_cast<double>(i) / (40.0 + 9 * k)) + 0.1 * static_cast<double>(i % 5);
}

qint64 startTime()
{
    return TimeSamples::Seconds(QDate(2021, 3, 1), QTime(8, 0));
}

// `rows` samples a minute apart (15 minutes for a logger memory).
TimeSamples samples(size_t rows, qint64 interval)
{
    TimeSamples s;
    s.times.resize(rows);
    for (size_t i = 0; i < rows; ++i)
        s.times[i] = startTime() + static_cast<qint64>(i) * interval;
    for (int k = 0; k < 8; ++k) {
        std::vector<double>& v = s.channels[static_cast<size_t>(k)];
        v.resize(rows);
        for (size_t i = 0; i < rows; ++i)
            v[i] = reading(k, i);
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

// The same samples as the client's CSV file (one decimal, a dot, LF line
// ends), written as they are made so the bench itself stays small.
bool writeCsv(const QString& path, size_t rows, qint64 interval)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray csv("sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\n");
    char number[32];
    for (size_t i = 0; i < rows; ++i) {
        csv += QByteArray::number(static_cast<qulonglong>(i) + 1);
        csv += ',';
        csv += QDateTime::fromSecsSinceEpoch(startTime() + static_cast<qint64>(i) * interval, Qt::UTC)
                   .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
                   .toLatin1();
        for (int k = 0; k < 8; ++k) {
            csv += ',';
            char* end = std::to_chars(number, number + sizeof number, reading(k, i), std::chars_format::fixed, 1).ptr;
            csv.append(number, end - number);
        }
        csv += '\n';
        if (csv.size() > (1 << 20) && file.write(std::exchange(csv, QByteArray())) < 0)
            return false;
    }
    return file.write(csv) == csv.size();
}

struct ProgramRun {
    double ms = 0;
    double cpuMs = 0;  // user and system: what a loaded machine does not inflate
    double peakMiB = 0;
    bool ok = false;
};

// Runs veltra8-plot on the CSV file, given as its standard input or fed
// through a pipe as the client would, and takes the child's peak resident
// memory from the kernel. That peak starts from the bench's own (the child
// is spawned sharing its memory until it starts the program), so the bench
// measures this before it holds samples of its own.
ProgramRun runProgram(const QString& csvPath, bool pipe, QSize size, const QString& out)
{
    const std::string program =
        (QCoreApplication::applicationDirPath() + QStringLiteral("/veltra8-plot")).toStdString();
    const std::string sizeText = std::to_string(size.width()) + "x" + std::to_string(size.height());
    const std::string outText = out.toStdString();
    std::string o = "-o", sizeOption = "--size";
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), o.data(), const_cast<char*>(outText.c_str()),
        sizeOption.data(), const_cast<char*>(sizeText.c_str()), nullptr};
    const int file = open(QFile::encodeName(csvPath).constData(), O_RDONLY | O_CLOEXEC);
    int fds[2] = {-1, -1};
    if (file < 0 || (pipe && pipe2(fds, O_CLOEXEC) != 0))
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe ? fds[0] : file, STDIN_FILENO);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipe) {
        close(fds[0]);
        char buffer[1 << 16];
        for (ssize_t n; spawned == 0 && (n = read(file, buffer, sizeof buffer)) > 0;)
            if (write(fds[1], buffer, static_cast<size_t>(n)) != n)
                break;
        close(fds[1]);
    }
    close(file);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    ProgramRun run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    auto msOf = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpuMs = msOf(usage.ru_utime) + msOf(usage.ru_stime);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void reportProgram(const std::string& what, size_t rows, qint64 interval, QSize size, int runs, const char* goal)
{
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("samples.csv"));
    if (!writeCsv(csvPath, rows, interval))
        std::fprintf(stderr, "could not write %s\n", qPrintable(csvPath));
    for (bool pipe : {false, true}) {
        std::vector<double> ms, cpuMs;
        double peak = 0;
        for (int i = 0; i < runs; ++i) {
            ProgramRun run = runProgram(csvPath, pipe, size, dir.filePath(QStringLiteral("plot.png")));
            if (!run.ok)
                std::fprintf(stderr, "veltra8-plot failed\n");
            ms.push_back(run.ms);
            cpuMs.push_back(run.cpuMs);
            peak = std::max(peak, run.peakMiB);
        }
        std::sort(ms.begin(), ms.end());
        std::sort(cpuMs.begin(), cpuMs.end());
        const std::string how = what + (pipe ? " through a pipe" : " from a file");
        ReportFigure("veltra8-plot: " + how + " (median)", ms[ms.size() / 2], "ms", goal);
        ReportFigure("veltra8-plot: " + how + ", processor time (median)", cpuMs[cpuMs.size() / 2], "ms", goal);
        ReportFigure("veltra8-plot: peak resident memory, " + how, peak, "MiB", "goal 200 MiB");
    }
}

// Single timings in the project's report form. The program runs go first, so
// the bench is still small when it spawns them; then the million rows in
// this process, so its peak resident memory is theirs.
void report()
{
    reportProgram("1,000,000 rows x 8 channels of CSV to PNG 1600 x 900", 1000000, 60, QSize(1600, 900), 5,
        "goal 1000 ms");
    reportProgram("2,000 rows x 8 channels of CSV to PNG 1200 x 675", 2000, 15 * 60, QSize(1200, 675), 15,
        "goal 100 ms for the plot alone, here with the program's start");

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

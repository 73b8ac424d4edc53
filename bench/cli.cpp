// The command-line client's figures, each against its bar:
//  - `veltra8-cli download` of a full memory from the simulator paced at
//    115200 8N1: the whole run against the wire time plus the fixed 1.45 s
//    (the request's second and the clear step's 450 ms);
//  - its peak resident memory;
//  - `live`: from the last byte of a frame written to the line to its record
//    read from the client's standard output, median of many frames;
//  - `convert`: rows per second at 2,000 and at 1,000,000 rows, and the
//    merge of two overlapping files of 500,000 rows, in process and as the
//    command.
#include "bench/child_process.h"
#include "bench/paced_logger.h"
#include "bench/programs.h"
#include "bench/report.h"
#include "cli/series_files.h"
#include "cli/table_output.h"
#include "data/saved_file.h"
#include "platform/whole_file.h"
#include "sim/logger_model.h"
#include "sim/simulator.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string clientPath()
{
    return ProgramBeside(QStringLiteral("veltra8-cli")).toStdString();
}

// Runs the client with its standard output on `out`; returns its pid.
pid_t spawnClient(std::vector<std::string> args, int out)
{
    args.insert(args.begin(), clientPath());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void benchDownload()
{
    QTemporaryDir dir;
    SimOptions o = PacedFullMemory(dir, 450);
    o.framePeriodMs = 50;
    Simulator sim(o);
    // The simulator stamps what it hears from its start: the request's "8"
    // is where the windows' figure starts too, after the first live frame.
    const auto simStart = Clock::now();
    sim.Start();
    const std::string raw = dir.filePath(QStringLiteral("raw")).toStdString();
    const int out = ::open("/dev/null", O_WRONLY);
    const pid_t pid = spawnClient({"download", "-p", sim.SlavePath(), "-q", "--raw", raw}, out);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const auto end = Clock::now();
    ::close(out);
    sim.Stop();
    double requestMs = -1, startMs = -1, resumeMs = -1;
    for (const SimReceived& r : sim.Record().received) {
        if (r.byte == '8' && requestMs < 0)
            requestMs = r.ms;
        if (r.byte == 'X' && startMs < 0)
            startMs = r.ms;
        if (r.byte == 'x')
            resumeMs = r.ms;
    }
    std::printf("  heard: \"X\" %.0f ms and \"x\" %.0f ms after \"8\"; exit %.0f ms after \"x\"\n", startMs - requestMs,
        resumeMs - requestMs, std::chrono::duration<double, std::milli>(end - simStart).count() - resumeMs);
    const double measured = std::chrono::duration<double>(end - simStart).count() - requestMs / 1000.0;
    const double bytes = double(QFileInfo(QString::fromStdString(raw)).size());
    const double wire = bytes * 10.0 / 115200.0;
    std::printf("veltra8-cli download of 2000 samples paced at 115200 8N1: %.0f bytes, exit %d\n", bytes, WEXITSTATUS(status));
    std::printf("  measured %.3f s (request to exit, output written), wire %.3f s + 1.45 s = %.3f s, ratio %.4f\n", measured, wire, wire + 1.45,
        measured / (wire + 1.45));
    ReportFigure("veltra8-cli download paced at 115200 8N1: measured / (wire + 1.45 s)", measured / (wire + 1.45), "ratio",
        "bar 1.01; wire " + std::to_string(wire).substr(0, 6) + " s");
    // What the client adds to the logger's own time: the request pause it
    // holds beyond 1 s, and its work after the end marker.
    const double own = measured - 1.0 - (resumeMs - startMs) / 1000.0;
    ReportFigure("veltra8-cli download: client's time beyond the request second and the transfer as the simulator sent it", own * 1000,
        "ms", "transfer as sent " + std::to_string((resumeMs - startMs) / 1000.0).substr(0, 6) + " s against 0.45 s + wire + 0.03 s");
    ReportFigure("veltra8-cli download peak resident memory", usage.ru_maxrss / 1024.0, "MiB", "bar 20 MiB; 2000 samples");
}

void benchLive()
{
    int master = -1, slave = -1;
    char name[256];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return;
    const pid_t pid = spawnClient({"live", "-p", name, "-f", "csv"}, pipeFds[1]);
    ::close(pipeFds[1]);
    ::close(slave);
    const std::string frame = LoggerModel::FrameText(LoggerStamp{2024, 5, 17, 8, 15, 30}, 180, 1, LoggerSample{750, 760, 770, 780, 790, 800, 810, 820}, 12);
    std::vector<double> latencies;
    char buffer[4096];
    // The header line comes with the first record; the first frames also
    // wait for the client to open the port, so they are not counted.
    for (int i = 0; i < 240; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (::write(master, frame.data(), frame.size()) != ssize_t(frame.size()))
            break;
        const auto written = Clock::now();
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, i < 40 ? 2000 : 500) <= 0)
            continue;
        const auto read = Clock::now();
        if (::read(pipeFds[0], buffer, sizeof buffer) <= 0)
            break;
        if (i >= 40)
            latencies.push_back(std::chrono::duration<double, std::milli>(read - written).count());
    }
    ::kill(pid, SIGINT);
    ::waitpid(pid, nullptr, 0);
    ::close(master);
    ::close(pipeFds[0]);
    if (latencies.empty())
        return;
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    std::printf("veltra8-cli live: last byte to record, %zu frames: median %.3f ms, 90th %.3f ms\n", latencies.size(), median,
        latencies[latencies.size() * 9 / 10]);
    ReportFigure("veltra8-cli live: last byte to record written, median", median, "ms", "bar 1 ms; " + std::to_string(latencies.size()) + " frames");
}

// A saved file of `rows` samples a minute apart, the first `offset` minutes
// after 01/01/2024 00:00:30, as the windows write it.
QString writeSavedFile(const QTemporaryDir& dir, const QString& name, int rows, int offset)
{
    TableRows table(static_cast<size_t>(rows));
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0, 30));
    for (int r = 0; r < rows; ++r) {
        const QDateTime t = start.addSecs(qint64(r + offset) * 60);
        table[size_t(r)].Date = t.toString(QStringLiteral("dd/MM/yyyy"));
        table[size_t(r)].Time = t.toString(QStringLiteral("HH:mm:ss"));
        int k = 0;
        for (QString& text : table[size_t(r)].Temperatures)
            text = QString::number((r + offset + k++) % 400 - 50) + QStringLiteral(",5");
    }
    const QString path = dir.filePath(name);
    WriteWholeFile(path, SavedFileBytes(table));
    return path;
}

// Processor time of this process, which a loaded machine does not inflate
// as it does the time on the wall.
double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// What `convert` does, in process: read the files, merge them, write the
// CSV (kept in memory as for -o, not written out). Processor seconds of
// each step over `repeats` runs.
struct ConvertTimes {
    double read = 0, merge = 0, write = 0;
    double total() const { return read + merge + write; }
};

ConvertTimes convertSeconds(const QStringList& paths, int repeats, size_t* rowsOut = nullptr)
{
    ConvertTimes times;
    for (int i = 0; i < repeats; ++i) {
        double t0 = cpuSeconds();
        const SeriesFiles files(paths);
        double t1 = cpuSeconds();
        const MergedSeries merged = files.Merge();
        double t2 = cpuSeconds();
        LargeVector<char> whole;
        whole.reserve(size_t(files.TotalBytes() + files.TotalBytes() / 2));
        files.WriteTable(TableFormat::Csv, merged, [&](QByteArrayView piece) { whole.insert(whole.end(), piece.begin(), piece.end()); });
        const double t3 = cpuSeconds();
        times.read += t1 - t0;
        times.merge += t2 - t1;
        times.write += t3 - t2;
        if (rowsOut)
            *rowsOut = merged.Rows.size();
    }
    return times;
}

// The whole command as a user runs it: seconds from start to exit, on the
// wall and of the processor (user and system).
struct CommandTimes {
    double wall = 1e9, cpu = 1e9;
    double peakMiB = 0;  // of the command or a program it ran, whichever is larger
    int status = 0;
};

void runCommand(const std::vector<std::string>& args, CommandTimes& best)
{
    std::vector<std::string> all{clientPath()};
    all.insert(all.end(), args.begin(), args.end());
    const ChildRun run = RunMeasured(all, QDir::temp().filePath(QStringLiteral("veltra8-bench-measure")).toStdString());
    best.wall = std::min(best.wall, run.wall);
    best.cpu = std::min(best.cpu, ProcessorSeconds(run.usage));
    best.peakMiB = std::max(best.peakMiB, run.usage.ru_maxrss / 1024.0);
    best.status = run.status;
}

void benchConvert()
{
    QTemporaryDir dir;
    const QString small = writeSavedFile(dir, QStringLiteral("small.txt"), 2000, 0);
    const QString large = writeSavedFile(dir, QStringLiteral("large.txt"), 1000000, 0);
    // Two downloads of 500,000 samples that share 250,000: 750,000 rows out.
    const QString first = writeSavedFile(dir, QStringLiteral("first.txt"), 500000, 0);
    const QString second = writeSavedFile(dir, QStringLiteral("second.txt"), 500000, 250000);
    double smallRate = 0, largeRate = 0;
    ConvertTimes merge{1e9, 1e9, 1e9};
    CommandTimes toPipe, toFile;
    size_t mergedRows = 0;
    const std::string a = first.toStdString(), b = second.toStdString();
    for (int i = 0; i < 3; ++i) {
        smallRate = std::max(smallRate, 2000.0 * 500 / convertSeconds({small}, 500).total());
        largeRate = std::max(largeRate, 1e6 / convertSeconds({large}, 1).total());
        const ConvertTimes m = convertSeconds({first, second}, 1, &mergedRows);
        if (m.total() < merge.total())
            merge = m;
        runCommand({"convert", a, b}, toPipe);
        runCommand({"convert", a, b, "-o", dir.filePath(QStringLiteral("out.csv")).toStdString()}, toFile);
    }
    std::printf("convert, processor time: %.0f rows/s at 2,000 rows, %.0f rows/s at 1,000,000 rows (per-row cost ratio %.2f)\n", smallRate,
        largeRate, smallRate / largeRate);
    std::printf("merge of two 500,000-row files sharing 250,000 (%zu rows out), processor time: read %.3f s, merge %.3f s, write %.3f s\n",
        mergedRows, merge.read, merge.merge, merge.write);
    std::printf("  the command to a pipe: %.3f s on the wall, %.3f s of processor; with -o FILE %.3f s and %.3f s\n", toPipe.wall, toPipe.cpu,
        toFile.wall, toFile.cpu);
    const auto ms = [](double s) { return std::to_string(int(s * 1000 + 0.5)); };
    ReportFigure("veltra8-cli convert, 2,000 rows (processor time)", smallRate, "rows/s", "one file read, merged, written 500 times; best of 3");
    ReportFigure("veltra8-cli convert, 1,000,000 rows (processor time)", largeRate, "rows/s", "per-row cost ratio to 2,000 rows " + std::to_string(smallRate / largeRate).substr(0, 4));
    ReportFigure("veltra8-cli convert merging 2 x 500,000 rows (250,000 shared), in process", merge.total() * 1000, "ms",
        "bar 1000 ms; read " + ms(merge.read) + ", merge " + ms(merge.merge) + ", write " + ms(merge.write) + " ms");
    ReportFigure("veltra8-cli convert merging 2 x 500,000 rows, the command to standard output", toPipe.wall * 1000, "ms",
        "bar 1000 ms; " + ms(toPipe.cpu) + " ms of processor");
    ReportFigure("veltra8-cli convert merging 2 x 500,000 rows, the command with -o FILE", toFile.wall * 1000, "ms",
        ms(toFile.cpu) + " ms of processor; the file synced to disk");
    ReportFigure("veltra8-cli convert merging 2 x 500,000 rows: peak resident memory", toPipe.peakMiB, "MiB", "the files mapped");

    // The whole of plot: the merge here, the drawing in its companion.
    if (!QFileInfo(QString::fromStdString(clientPath()).section(u'/', 0, -2) + QStringLiteral("/veltra8-plot")).isExecutable()) {
        std::printf("plot: no veltra8-plot beside veltra8-cli; not measured\n");
        return;
    }
    CommandTimes plot;
    for (int i = 0; i < 3; ++i)
        runCommand({"plot", a, b, "-o", dir.filePath(QStringLiteral("plot.png")).toStdString(), "--size", "1600x900"}, plot);
    std::printf("plot of 2 x 500,000 rows to PNG 1600x900: exit %d, %.3f s on the wall, %.3f s of processor, peak %.0f MiB\n", plot.status,
        plot.wall, plot.cpu, plot.peakMiB);
    ReportFigure("veltra8-cli plot of 2 x 500,000 rows (750,000 merged) to PNG 1600x900", plot.wall * 1000, "ms",
        "bar 1000 ms; " + ms(plot.cpu) + " ms of processor, both programs");
    ReportFigure("veltra8-cli plot of 2 x 500,000 rows: peak resident memory", plot.peakMiB, "MiB", "bar 200 MiB; the larger of the two programs");
}

}  // namespace

int main(int argc, char** argv)
{
    if (IsMeasureRun(argc, argv))
        return MeasureCommand(argv + 2);
    QCoreApplication app(argc, argv);
    // VELTRA8_BENCH_ONLY=convert skips the paced runs.
    if (qEnvironmentVariable("VELTRA8_BENCH_ONLY") != QLatin1String("convert")) {
        benchLive();
        benchDownload();
    }
    benchConvert();
    return 0;
}

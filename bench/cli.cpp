// The command-line client's figures, each against its bar:
//  - `veltra8-cli download` of a full memory from the simulator paced at
//    115200 8N1: the whole run against the wire time plus the fixed 1.45 s
//    (the request's second and the clear step's 450 ms);
//  - its peak resident memory;
//  - `live`: from the last byte of a frame written to the line to its record
//    read from the client's standard output, median of many frames;
//  - `convert`: rows per second at 2,000 and at 1,000,000 rows.
#include "bench/report.h"
#include "cli/table_output.h"
#include "data/saved_file.h"
#include "data/saved_file_reader.h"
#include "sim/logger_model.h"
#include "sim/simulator.h"

#include <QByteArray>
#include <QCoreApplication>
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
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(u'/', 0, -2).toStdString() + "/veltra8-cli";
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
    SimOptions o;
    o.portsFolder = dir.path().toStdString();
    o.makeLink = false;
    o.paced = true;
    o.samples = 2000;
    o.rateCode = 2;
    o.framePeriodMs = 50;
    // The logger starts its transfer after the client's clear step and sends
    // the end marker after a short pause, as in the windows' figure.
    o.transferDelayMs = 450;
    o.markerPauseMs = 30;
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

// The conversion itself, as `convert` runs it: read the saved file row by
// row, write CSV; `repeats` times over, so both sizes convert a million rows
// in all and the per-row costs compare.
double convertRowsPerSecond(int rows, int repeats)
{
    TableRows table(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        table[size_t(r)].Date = QStringLiteral("17/05/2024");
        table[size_t(r)].Time = QStringLiteral("08:%1:30").arg(r % 60, 2, 10, QLatin1Char('0'));
        for (QString& t : table[size_t(r)].Temperatures)
            t = QString::number(r % 400 - 50) + QStringLiteral(",5");
    }
    const QByteArray file = SavedFileBytes(table);
    table.clear();
    const auto start = Clock::now();
    long long total = 0;
    for (int i = 0; i < repeats; ++i) {
        QByteArray out = TableHeader(TableFormat::Csv);
        out.reserve(file.size() + file.size() / 4);
        TSavedFileReader reader(file);
        SavedFileFields texts;
        int sample = 0;
        while (reader.Next(texts))
            AppendTableRow(out, TableFormat::Csv, ++sample, texts);
        total += sample;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return double(total) / seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchLive();
    benchDownload();
    double small = 0, large = 0;
    for (int i = 0; i < 3; ++i) {
        small = std::max(small, convertRowsPerSecond(2000, 500));
        large = std::max(large, convertRowsPerSecond(1000000, 1));
    }
    std::printf("convert: %.0f rows/s at 2,000 rows, %.0f rows/s at 1,000,000 rows (ratio %.2f)\n", small, large, large / small);
    ReportFigure("convert, 2,000 rows", small, "rows/s", "500 files, best of 3");
    ReportFigure("convert, 1,000,000 rows", large, "rows/s", "per-row cost ratio to 2,000 rows " + std::to_string(small / large).substr(0, 4));
    return 0;
}

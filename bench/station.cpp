// veltra8-station's figures:
//  - idle with a logger connected, a live frame a second: the program's
//    share of a core, its resident memory, and its wake-ups per frame (all
//    its threads; a timer between frames would show as more than the
//    frame's own);
//  - a full memory of 2,000 samples: from the end marker read to the rows
//    written and synced, median of several downloads into fresh archives;
//  - a month of samples a minute with the logger's clock sped up (keeping
//    time while the station speaks to it): memory cycles, the archive held
//    to the simulator's record (samples lost, samples twice), and the
//    station's resident memory after the month against after its first
//    cycle.
// The station runs as the program for the first (nothing of the bench's
// own in its figures) and in process for the second.
#include "bench/programs.h"
#include "bench/report.h"
#include "sim/simulator.h"
#include "sim/stored_samples.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <pty.h>
#include <unistd.h>

namespace {

int benchSeconds()
{
    const int s = qEnvironmentVariableIntValue("VELTRA8_BENCH_SECONDS");
    return s > 0 ? std::min(s, 60) : 30;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// utime + stime of a process, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray all = f.readAll();
    const QList<QByteArray> fields = all.mid(all.lastIndexOf(')') + 2).split(' ');
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// A field of /proc/PID[/task/TID]/status, as a number.
long long statusField(const QString& path, const QByteArray& name)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toLongLong();
    return 0;
}

long long wakeUps(qint64 pid)
{
    long long n = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += statusField(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(task), "voluntary_ctxt_switches");
    return n;
}

void benchIdle()
{
    QTemporaryDir dir;
    SimOptions o;
    o.portsFolder = dir.path().toStdString();
    o.linkName = "lg";
    o.samples = 100;
    Simulator sim(o);
    sim.Start();
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("NOTIFY_SOCKET"));
    env.remove(QStringLiteral("WATCHDOG_USEC"));
    station.setProcessEnvironment(env);
    station.start(ProgramBeside(QStringLiteral("veltra8-station")),
        {QStringLiteral("-p"), QString::fromStdString(sim.LinkPath()), QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive"))});
    station.waitForStarted();
    // Past the download at connection, into the steady state.
    QString err;
    for (int i = 0; i < 300 && !err.contains(QStringLiteral("in memory")); ++i) {
        station.waitForReadyRead(100);
        err += QString::fromLocal8Bit(station.readAllStandardError());
    }
    runFor(2000);
    const qint64 pid = station.processId();
    const double cpu0 = cpuSeconds(pid);
    const long long wake0 = wakeUps(pid);
    const long long frames0 = sim.FramesSent();
    const int seconds = benchSeconds();
    runFor(seconds * 1000);
    const double cpu = cpuSeconds(pid) - cpu0;
    const long long wakes = wakeUps(pid) - wake0;
    const long long frames = sim.FramesSent() - frames0;
    const long long rssKiB = statusField(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS");
    station.terminate();
    station.waitForFinished();
    sim.Stop();
    ReportFigure("veltra8-station idle, connected, a live frame a second: CPU", 100.0 * cpu / seconds, "% of a core",
        "goal 0.2 %; over " + std::to_string(seconds) + " s");
    ReportFigure("veltra8-station idle: resident memory", rssKiB / 1024.0, "MiB", "goal 25 MiB");
    ReportFigure("veltra8-station idle: wake-ups per live frame, all threads", frames > 0 ? double(wakes) / double(frames) : 0, "",
        std::to_string(frames) + " frames, each read in several pieces");
}

// The same program with the port open and no frame coming: any wake-up is a
// timer's (the silence warning's own, once after 30 s, is past the window).
void benchQuiet()
{
    QTemporaryDir dir;
    // A line with nobody at the far end: a pty whose master stays silent.
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    ::close(slave);
    QProcess station;
    station.start(ProgramBeside(QStringLiteral("veltra8-station")),
        {QStringLiteral("-p"), QString::fromLatin1(name), QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive"))});
    station.waitForStarted();
    runFor(2000);
    const qint64 pid = station.processId();
    const long long wake0 = wakeUps(pid);
    runFor(20000);
    const long long wakes = wakeUps(pid) - wake0;
    station.terminate();
    station.waitForFinished();
    ::close(master);
    ReportFigure("veltra8-station, port open, no frame: wake-ups in 20 s", double(wakes), "", "goal 0: no timer runs between frames");
}

void benchArchiveLatency()
{
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        QTemporaryDir dir;
        SimOptions o;
        o.portsFolder = dir.path().toStdString();
        o.linkName = "lg";
        o.samples = 2000;
        o.paced = false;
        o.transferDelayMs = 50;
        o.markerPauseMs = 30;
        Simulator sim(o);
        sim.Start();
        StationOptions so;
        so.port = QString::fromStdString(sim.LinkPath());
        so.archive = dir.filePath(QStringLiteral("archive"));
        so.restartMemoryAt = 2000;
        so.maxClockDriftSeconds = 0;
        Station station(so);
        QEventLoop loop;
        QObject::connect(&station, &Station::DownloadArchived, &loop, [&](const ArchivedDownload& d) {
            if (d.newSamples == 2000)
                ms.push_back(d.endMarkerToSyncedMs);
            loop.quit();
        });
        QObject::connect(&station, &Station::DownloadFailed, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        QString why;
        if (!station.Start(&why))
            return;
        loop.exec();
        station.Stop();
        sim.Stop();
    }
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    ReportFigure("veltra8-station: 2,000 samples from end marker to archived and synced (median)", ms[ms.size() / 2], "ms",
        "goal 50 ms; worst of " + std::to_string(ms.size()) + ": " + std::to_string(ms.back()).substr(0, 5) + " ms");
}

void benchMonth()
{
    QTemporaryDir dir;
    SimOptions o;
    o.portsFolder = dir.path().toStdString();
    o.linkName = "lg";
    o.paced = false;
    o.framePeriodMs = 100;
    o.transferDelayMs = 50;
    o.markerPauseMs = 50;
    // 6,000 s of the logger's clock per frame: a hundred samples, well
    // under the 200 between the memory limit and a full memory.
    o.speed = 60000;
    o.calmMs = 1000;
    Simulator sim(o);
    sim.Start();
    QProcess station;
    station.start(ProgramBeside(QStringLiteral("veltra8-station")),
        {QStringLiteral("-p"), QString::fromStdString(sim.LinkPath()), QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive"))});
    station.waitForStarted();
    const qint64 pid = station.processId();
    auto emptied = [&] {
        long long n = 0;
        for (const LoggerEmptied& e : sim.Record().emptied)
            n += e.samples;
        return std::pair(sim.Record().emptied.size(), n);
    };
    QElapsedTimer clock;
    clock.start();
    constexpr long long Month = 30LL * 24 * 60;
    long long rssFirstKiB = 0;
    while (emptied().second < Month && clock.elapsed() < 15 * 60 * 1000) {
        runFor(200);
        if (rssFirstKiB == 0 && emptied().first >= 1)
            rssFirstKiB = statusField(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS");
    }
    const double seconds = double(clock.elapsed()) / 1000;
    const long long rssEndKiB = statusField(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS");
    station.terminate();
    station.waitForFinished();
    const QString err = QString::fromLocal8Bit(station.readAllStandardError());
    sim.Stop();

    const std::vector<SimRecord> records{sim.Record()};
    const std::vector<StoredRow> want = StoredRows(records);
    QStringList problems;
    const std::vector<StoredRow> got = ReadArchiveRows(dir.filePath(QStringLiteral("archive/lg")), &problems);
    std::set<std::pair<qint64, int>> seen;
    long long twice = 0;
    for (const StoredRow& r : got)
        twice += seen.emplace(r.time.toSecsSinceEpoch() - 60LL * r.sample, r.sample).second ? 0 : 1;
    const bool same = got == want && problems.isEmpty();
    const auto [cycles, stored] = emptied();
    ReportFigure("veltra8-station, a simulated month at a sample a minute: memory cycles", double(cycles), "",
        std::to_string(stored) + " samples stored and emptied, in " + std::to_string(int(seconds)) + " s");
    ReportFigure("veltra8-station, the simulated month: samples lost", double(EmptiedUnsent(records)), "",
        std::string("goal 0; archive ") + (same ? "equal to" : "NOT equal to") + " the simulator's record, "
            + std::to_string(got.size()) + " rows; " + std::to_string(err.count(QStringLiteral("archived,"))) + " downloads");
    ReportFigure("veltra8-station, the simulated month: samples archived twice", double(twice), "", "goal 0");
    ReportFigure("veltra8-station, the simulated month: resident memory growth after the first cycle", double(rssEndKiB - rssFirstKiB) / 1024.0,
        "MiB", "goal under 1 MiB; " + std::to_string(rssEndKiB / 1024) + " MiB at the end");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchArchiveLatency();
    benchIdle();
    benchQuiet();
    benchMonth();
    return 0;
}

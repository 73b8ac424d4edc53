// The station's outside links, each against its bar:
//  - a live frame to its state message at an MQTT subscriber on a local
//    mosquitto broker: from the instant the station read the frame (its
//    pc_time, in milliseconds) to the message's arrival, median;
//  - a scrape of /metrics over loopback, median of 1,000;
//  - the station's cost with MQTT and metrics on and a logger sending a
//    frame a second: processor share and resident memory.
#include "bench/programs.h"
#include "bench/report.h"
#include "station/metrics.h"
#include "tests/support/loopback.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <mosquitto.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void benchScrape()
{
    MetricsPage page(QStringLiteral("cold-room"), QStringLiteral("bench"));
    QString why;
    if (!page.Serve(QStringLiteral("127.0.0.1:0"), &why))
        return;
    StationCounters c;
    c.connected = true;
    c.frames = 1000;
    c.memoryUsed = 120;
    c.lastFrameAt = QDateTime::currentDateTime();
    LiveFrame f;
    f.battery = 180;
    page.Update(c, f);
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) {
        const auto start = Clock::now();
        if (HttpGet(page.Port(), "/metrics").isEmpty())
            return;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    ReportFigure("station /metrics scrape over loopback, median of 1,000", median(times), "ms", "bar 2 ms");
}

struct Received {
    std::mutex lock;
    std::vector<double> latencies;
};

// The station's state messages at a subscriber: arrival minus the pc_time
// the station stamped at reading the frame.
void onState(mosquitto*, void* obj, const mosquitto_message* m)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QByteArray payload(static_cast<const char*>(m->payload), m->payloadlen);
    const qsizetype at = payload.indexOf("\"pc_time\":\"");
    if (at < 0)
        return;
    const QDateTime read = QDateTime::fromString(QString::fromLatin1(payload.mid(at + 11, 29)), Qt::ISODateWithMs);
    auto& r = *static_cast<Received*>(obj);
    std::lock_guard<std::mutex> hold(r.lock);
    r.latencies.push_back(double(now - read.toMSecsSinceEpoch()));
}

// Processor seconds (user + system) of a process so far.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    stat.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

double residentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// Runs the simulator (a frame every `framePeriodMs`), a broker and the
// station with both links, and hands the station's pid to `measure`.
template <class Measure>
void withStation(int framePeriodMs, Measure measure)
{
    const QString broker = QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")});
    if (broker.isEmpty())
        return;
    QTemporaryDir dir;
    const int port = FreeLoopbackPort();
    QFile conf(dir.filePath(QStringLiteral("mosquitto.conf")));
    conf.open(QIODevice::WriteOnly);
    conf.write("listener " + QByteArray::number(port) + " 127.0.0.1\nallow_anonymous true\nlog_dest none\n");
    conf.close();
    QProcess mosquittoBroker;
    mosquittoBroker.start(broker, {QStringLiteral("-c"), conf.fileName()});
    mosquittoBroker.waitForStarted();
    QProcess sim;
    sim.start(ProgramBeside(QStringLiteral("veltra8-sim")), {QStringLiteral("--ports-dir"), dir.path(), QStringLiteral("--unpaced"),
        QStringLiteral("--frame-period"), QString::number(framePeriodMs), QStringLiteral("--samples"), QStringLiteral("100")});
    QString link;
    while (link.isEmpty() && sim.waitForReadyRead(5000))
        while (sim.canReadLine()) {
            const QString line = QString::fromLocal8Bit(sim.readLine()).trimmed();
            if (line.startsWith(QLatin1String("link: ")))
                link = line.mid(6);
        }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QProcess station;
    station.setStandardErrorFile(QProcess::nullDevice());
    station.start(ProgramBeside(QStringLiteral("veltra8-station")),
        {QStringLiteral("-p"), link, QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive")), QStringLiteral("--name"),
            QStringLiteral("bench"), QStringLiteral("--mqtt"), QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--metrics"),
            QStringLiteral("127.0.0.1:%1").arg(FreeLoopbackPort())});
    station.waitForStarted();
    measure(station.processId(), port);
    station.terminate();
    station.waitForFinished(10000);
    sim.terminate();
    sim.waitForFinished(10000);
    mosquittoBroker.terminate();
    mosquittoBroker.waitForFinished(10000);
}

void benchLatency()
{
    withStation(50, [](qint64, int port) {
        Received received;
        mosquitto_lib_init();
        mosquitto* sub = mosquitto_new(nullptr, true, &received);
        mosquitto_message_callback_set(sub, onState);
        if (mosquitto_connect(sub, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS) {
            std::printf("station links: no broker at port %d\n", port);
            return;
        }
        mosquitto_subscribe(sub, nullptr, "veltra8/bench/state", 0);
        mosquitto_loop_start(sub);
        std::this_thread::sleep_for(std::chrono::seconds(20));
        mosquitto_loop_stop(sub, true);
        mosquitto_destroy(sub);
        std::printf("station links: %zu state messages\n", received.latencies.size());
        std::vector<double> settled;
        {
            std::lock_guard<std::mutex> hold(received.lock);
            // The first seconds hold the start-up download.
            if (received.latencies.size() > 20)
                settled.assign(received.latencies.begin() + 20, received.latencies.end());
        }
        ReportFigure("station: live frame read to its MQTT state at a subscriber (loopback mosquitto), median", median(settled), "ms",
            "bar 5 ms; " + std::to_string(settled.size()) + " frames; millisecond stamps");
    });
}

void benchIdle()
{
    const int seconds = std::max(10, qEnvironmentVariableIntValue("VELTRA8_BENCH_SECONDS"));
    withStation(1000, [seconds](qint64 pid, int) {
        // Past the start-up download.
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double before = cpuSeconds(pid);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double share = (cpuSeconds(pid) - before) / seconds * 100;
        ReportFigure("station idle with MQTT and metrics on, a frame a second: processor", share, "% of a core",
            "bar 0.3 %; " + std::to_string(seconds) + " s");
        ReportFigure("station idle with MQTT and metrics on: resident memory", residentMiB(pid), "MiB", "bar 30 MiB");
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchScrape();
    benchLatency();
    benchIdle();
    return 0;
}

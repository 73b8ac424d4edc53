// veltra8-station with its outside links on, against the simulator, a real
// broker and promtool: what a dashboard sees when the station runs, when the
// broker restarts and when the station is killed.
#include "tests/outside/mqtt_programs.h"
#include "tests/support/programs.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

namespace {

// A broker on loopback for each test, when mosquitto is installed.
class StationLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* program : {"mosquitto", "mosquitto_sub"})
            if (InstalledProgram(QString::fromLatin1(program)).isEmpty())
                GTEST_SKIP() << program << " (Debian's mosquitto, mosquitto-clients) is not installed";
        broker.Start();
    }
    // The station on `link`, archiving into the test's folder, publishing
    // to the broker and serving its metrics page on metricsPort.
    void startStation(QProcess& station, const QString& link, const QStringList& extra)
    {
        station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        station.start(ProgramBeside(QStringLiteral("veltra8-station")),
            QStringList{QStringLiteral("-p"), link, QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive")), QStringLiteral("--mqtt"),
                QStringLiteral("127.0.0.1:%1").arg(broker.Port()), QStringLiteral("--metrics"), QStringLiteral("127.0.0.1:%1").arg(metricsPort)}
                + extra);
    }
    QTemporaryDir dir;
    Broker broker{dir.path()};
    const int metricsPort = FreeLoopbackPort();
};

TEST_F(StationLinks, DashboardSeesTheStationThroughABrokerRestartAndItsLastWillAfterKill)
{
    if (InstalledProgram(QStringLiteral("promtool")).isEmpty())
        GTEST_SKIP() << "promtool (Debian's prometheus) is not installed";
    Subscriber sub(broker.Port(), {QStringLiteral("veltra8/#"), QStringLiteral("homeassistant/#")});
    SimulatorProcess sim(dir.path(), {QStringLiteral("--unpaced"), QStringLiteral("--frame-period"), QStringLiteral("200"),
        QStringLiteral("--samples"), QStringLiteral("30")});
    ASSERT_FALSE(sim.Link().isEmpty());
    QProcess station;
    startStation(station, sim.Link(),
        {QStringLiteral("--name"), QStringLiteral("cold-room"), QStringLiteral("--channel-name"), QStringLiteral("3=Congelador"),
            // Channel 1 reads above -100 °C at once: its alarm trips.
            QStringLiteral("--limit"), QStringLiteral("ch1:..-100")});
    ASSERT_TRUE(station.waitForStarted());

    const QString base = QStringLiteral("veltra8/cold-room/");
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("status"), "online"));
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("logger"), "connected"));
    ASSERT_TRUE(WaitIdly([&] { return !sub.On(base + QStringLiteral("state")).empty(); }, 15000, 20));
    const QJsonObject state = QJsonDocument::fromJson(sub.On(base + QStringLiteral("state")).back().payload).object();
    EXPECT_EQ(state.value("ch").toArray().size(), 8);
    EXPECT_TRUE(state.contains("clock_offset_s"));
    EXPECT_TRUE(state.value("pc_time").isString());
    EXPECT_EQ(state.value("alarms").toArray(), QJsonArray({QJsonObject{{"channel", 1}, {"side", "high"}}}));
    ASSERT_TRUE(WaitIdly([&] { return !sub.On(base + QStringLiteral("alarm")).empty(); }, 10000, 20));
    const QJsonObject alarm = QJsonDocument::fromJson(sub.On(base + QStringLiteral("alarm")).front().payload).object();
    EXPECT_EQ(alarm.value("event").toString(), QStringLiteral("alarm"));
    EXPECT_EQ(alarm.value("channel").toInt(), 1);
    EXPECT_EQ(alarm.value("side").toString(), QStringLiteral("high"));
    EXPECT_EQ(sub.On(base + QStringLiteral("alarm")).size(), 1u) << "once, not once per frame";
    // The download at start is told, with the samples it held.
    ASSERT_TRUE(WaitIdly([&] { return !sub.On(base + QStringLiteral("download")).empty(); }, 20000, 20));
    EXPECT_EQ(QJsonDocument::fromJson(sub.On(base + QStringLiteral("download")).back().payload).object().value("samples").toInt(), 30);
    EXPECT_EQ(QJsonDocument::fromJson(Retained(broker.Port(), QStringLiteral("homeassistant/sensor/veltra8_cold-room/ch3/config"))).object()
                  .value("name").toString(),
        QStringLiteral("Congelador"));

    // The page of a live station passes promtool.
    const QByteArray answer = HttpGet(metricsPort, "/metrics");
    const QByteArray page = answer.mid(answer.indexOf("\r\n\r\n") + 4);
    EXPECT_EQ(PromtoolFindings(page), QString());
    EXPECT_TRUE(page.contains("veltra8_logger_connected{logger=\"cold-room\"} 1\n")) << page.constData();
    EXPECT_TRUE(page.contains("veltra8_temperature_celsius{channel=\"1\",logger=\"cold-room\"}"));
    EXPECT_TRUE(page.contains("veltra8_downloads_total{logger=\"cold-room\",result=\"archived\"} 1\n"));
    EXPECT_TRUE(page.contains("veltra8_alarm_active{channel=\"1\",logger=\"cold-room\",side=\"high\"} 1\n"));
    EXPECT_TRUE(page.contains("veltra8_alarm_active{channel=\"1\",logger=\"cold-room\",side=\"low\"} 0\n"));

    // The broker restarts: right after, a newcomer reads the station online
    // and the logger connected again.
    broker.Stop();
    broker.Start();
    EXPECT_TRUE(WaitIdly([&] { return Retained(broker.Port(), base + QStringLiteral("status")) == "online"; }, 15000, 200));
    EXPECT_EQ(Retained(broker.Port(), base + QStringLiteral("logger")), "connected");

    // Killed outright: the broker tells the last will.
    ::kill(pid_t(station.processId()), SIGKILL);
    station.waitForFinished();
    EXPECT_TRUE(WaitIdly([&] { return Retained(broker.Port(), base + QStringLiteral("status")) == "offline"; }, 15000, 200));
}

TEST_F(StationLinks, AlarmsRaisedWhileTheBrokerIsAwayArriveOnceInOrderWhenItReturns)
{
    Subscriber sub(broker.Port(), {QStringLiteral("veltra8/+/alarm")});
    // A minute of readings a frame; channel 2 wanders about 3.5 °C, so its
    // alarm trips and clears every few seconds.
    SimulatorProcess sim(dir.path(), {QStringLiteral("--unpaced"), QStringLiteral("--frame-period"), QStringLiteral("100"), QStringLiteral("--speed"),
                                         QStringLiteral("600"), QStringLiteral("--calm"), QStringLiteral("0"), QStringLiteral("--start"),
                                         QStringLiteral("2024-05-17T08:00:00")});
    ASSERT_FALSE(sim.Link().isEmpty());
    QProcess station;
    startStation(station, sim.Link(),
        {QStringLiteral("--name"), QStringLiteral("lab"), QStringLiteral("--max-clock-drift"), QStringLiteral("0"), QStringLiteral("--limit"),
            QStringLiteral("ch2:..3.5"), QStringLiteral("--delay"), QStringLiteral("2m")});
    ASSERT_TRUE(station.waitForStarted());
    const QString topic = QStringLiteral("veltra8/lab/alarm");
    // The subscriber's session is in place once it has a first event.
    ASSERT_TRUE(WaitIdly([&] { return !sub.On(topic).empty(); }, 20000, 20));

    // Away until the station has tripped or cleared the alarm twice, as its
    // metrics page shows.
    broker.Stop();
    const QDateTime away = QDateTime::currentDateTime();
    const auto active = [&] { return HttpGet(metricsPort, "/metrics").contains("veltra8_alarm_active{channel=\"2\",logger=\"lab\",side=\"high\"} 1"); };
    int changes = 0;
    for (bool was = active(); changes < 2 && away.msecsTo(QDateTime::currentDateTime()) < 30000;) {
        WaitIdly([] { return false; }, 50, 50);
        if (const bool now = active(); now != was) {
            was = now;
            ++changes;
        }
    }
    ASSERT_EQ(changes, 2);
    const QDateTime back = QDateTime::currentDateTime();
    broker.Start();
    ASSERT_TRUE(WaitIdly([&] {
        const auto events = sub.On(topic);
        return !events.empty() && QJsonDocument::fromJson(events.back().payload).object().value("pc_time").toString() > back.toString(Qt::ISODate);
    }, 20000, 50));
    ::kill(pid_t(station.processId()), SIGTERM);
    ASSERT_TRUE(station.waitForFinished(10000));

    // Every event once, in order, alarm and clear in turn, those of the
    // time away among them.
    QString previousEvent, previousTime;
    int whileAway = 0;
    for (const Subscriber::Message& m : sub.On(topic)) {
        const QJsonObject e = QJsonDocument::fromJson(m.payload).object();
        const QString event = e.value("event").toString();
        const QString time = e.value("logger_time").toString();
        EXPECT_NE(event, previousEvent) << m.payload.constData();
        EXPECT_GT(time, previousTime) << m.payload.constData();
        previousEvent = event;
        previousTime = time;
        const QString pc = e.value("pc_time").toString().left(19);
        whileAway += pc >= away.toString(Qt::ISODate) && pc <= back.toString(Qt::ISODate);
    }
    EXPECT_GE(whileAway, 2);
}

TEST_F(StationLinks, HangupTakesTheLinksOfTheConfigReadAgain)
{
    Subscriber sub(broker.Port(), {QStringLiteral("first/#"), QStringLiteral("second/#")});
    SimulatorProcess sim(dir.path(), {QStringLiteral("--unpaced"), QStringLiteral("--frame-period"), QStringLiteral("200")});
    ASSERT_FALSE(sim.Link().isEmpty());
    const QString config = dir.filePath(QStringLiteral("station.conf"));
    const auto writeConfig = [&](const char* prefix) {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("[station]\nport=%1\narchive=%2\nname=lab\nmqtt=127.0.0.1:%3\nmqtt-topic=%4\nmetrics=127.0.0.1:%5\n")
                       .arg(sim.Link(), dir.filePath(QStringLiteral("archive")))
                       .arg(broker.Port())
                       .arg(QString::fromLatin1(prefix))
                       .arg(metricsPort)
                       .toUtf8());
    };
    writeConfig("first");
    QProcess station;
    station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    station.start(ProgramBeside(QStringLiteral("veltra8-station")), {QStringLiteral("--config"), config});
    ASSERT_TRUE(station.waitForStarted());
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("first/lab/status"), "online"));

    writeConfig("second");
    ::kill(pid_t(station.processId()), SIGHUP);
    // The old topics are left as a clean stop leaves them, the new ones
    // taken, and the metrics page is served again on its address.
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("first/lab/status"), "offline"));
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("second/lab/status"), "online"));
    EXPECT_TRUE(WaitIdly([&] { return HttpGet(metricsPort, "/metrics").contains("veltra8_build_info"); }, 10000, 50));

    ::kill(pid_t(station.processId()), SIGTERM);
    ASSERT_TRUE(station.waitForFinished(10000));
    EXPECT_EQ(station.exitCode(), 0);
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("second/lab/status"), "offline"));
}

}  // namespace

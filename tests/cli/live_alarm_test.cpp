// veltra8-cli live --limit against the simulator: the alarm state in every
// record, the alarm and clear records, and --on-alarm's command, which
// never holds up the frames.
#include "tests/support/programs.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

TEST(LiveAlarms, RecordsCarryTheStateAndEventsFollowTheReadings)
{
    QTemporaryDir dir;
    // A logger clock 600 times faster: a minute of readings every frame.
    SimulatorProcess sim(dir.path(), {QStringLiteral("--frame-period"), QStringLiteral("100"), QStringLiteral("--speed"), QStringLiteral("600"), QStringLiteral("--calm"), QStringLiteral("0"),
                                         QStringLiteral("--start"), QStringLiteral("2024-05-17T08:00:00")});
    ASSERT_FALSE(sim.Link().isEmpty());
    const QString events = dir.filePath(QStringLiteral("events.txt"));
    // The command records its event and then hangs far beyond the test.
    const CliResult r = RunCli({QStringLiteral("live"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-n"), QStringLiteral("60"),
                                   QStringLiteral("-f"), QStringLiteral("jsonl"), QStringLiteral("--limit"), QStringLiteral("ch1:..0"),
                                   QStringLiteral("--limit"), QStringLiteral("ch2:..3.5"), QStringLiteral("--delay"), QStringLiteral("2m"),
                                   QStringLiteral("--on-alarm"),
                                   QStringLiteral("echo \"$VELTRA8_EVENT $VELTRA8_CHANNEL $VELTRA8_SIDE $VELTRA8_VALUE $VELTRA8_TIME\" >> %1; exec sleep 120").arg(events)},
        dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    // Each record's alarms against its readings, each frame counting the
    // logger's time since the frame before (about a minute here): CH1
    // (about 22 °C) is above ..0 from the frame two minutes after the first;
    // CH2 wanders about 3.5, and its alarm is on once two minutes of frames
    // in a row are above.
    int frames = 0, ch2Alarms = 0, ch2Clears = 0;
    qint64 ch1Outside = 0, ch2Outside = 0, previous = 0;
    bool ch1On = false;
    bool ch2On = false;
    double lastCh1 = 0;
    QString lastTime;
    QStringList expectedRuns;
    for (const QByteArray& line : r.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains(QStringLiteral("event"))) {
            EXPECT_EQ(o.size(), 6);
            EXPECT_EQ(o["logger_time"].toString(), lastTime) << "an event follows the record of its frame";
            const int channel = o["channel"].toInt();
            const bool alarm = o["event"].toString() == QLatin1String("alarm");
            EXPECT_EQ(o["side"].toString(), "high");
            if (channel == 1) {
                EXPECT_TRUE(alarm);
                EXPECT_TRUE(ch1On);
                EXPECT_EQ(o["value"].toDouble(), lastCh1);
            } else {
                ASSERT_EQ(channel, 2);
                EXPECT_EQ(alarm, ch2On) << "the state in its frame's record says the same";
                ++(alarm ? ch2Alarms : ch2Clears);
            }
            expectedRuns << QStringLiteral("%1 %2 high %3 %4")
                                .arg(o["event"].toString())
                                .arg(channel)
                                .arg(QString::number(o["value"].toDouble()), o["logger_time"].toString());
            continue;
        }
        lastTime = o["logger_time"].toString();
        const qint64 clock = QDateTime::fromString(lastTime, Qt::ISODate).toSecsSinceEpoch();
        const qint64 step = frames++ ? clock - previous : 0;
        previous = clock;
        lastCh1 = o["ch"].toArray()[0].toDouble();
        const double ch2 = o["ch"].toArray()[1].toDouble();
        ch1Outside += step;
        ch1On = ch1Outside >= 120;
        ch2Outside = ch2 > 3.5 ? ch2Outside + step : 0;
        ch2On = ch2 > 3.5 && ch2Outside >= 120;
        QStringList on;
        for (const QJsonValue& a : o["alarms"].toArray())
            on << QStringLiteral("%1 %2").arg(a.toObject()["channel"].toInt()).arg(a.toObject()["side"].toString());
        QStringList expected;
        if (ch1On)
            expected << QStringLiteral("1 high");
        if (ch2On)
            expected << QStringLiteral("2 high");
        EXPECT_EQ(on, expected) << line.toStdString();
    }
    EXPECT_EQ(frames, 60) << "a hanging command never stops the records";
    EXPECT_GE(ch2Alarms, 1);
    EXPECT_GE(ch2Clears, 1);
    // Commands beyond the four still running are not run, and said.
    EXPECT_EQ(r.err.count(QStringLiteral("commands still running")), std::max(0, int(expectedRuns.size()) - 4)) << r.err.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return QFile(events).size() > 0; }, 5000));
    QFile file(events);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList ran = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(ran, expectedRuns.mid(0, 4));
}

TEST(LiveAlarms, OnAlarmWithoutLimitsIsAUsageError)
{
    const CliResult r = RunCli({QStringLiteral("live"), QStringLiteral("-p"), QStringLiteral("/dev/null"), QStringLiteral("--on-alarm"), QStringLiteral("true")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--on-alarm needs --limit"))) << r.err.toStdString();
}

}  // namespace

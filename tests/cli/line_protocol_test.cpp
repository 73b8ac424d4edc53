// Line protocol from live, download and convert: read back by a parser of
// the protocol's own rules and, where InfluxDB 1.x is installed, by the
// database itself.
#include "tests/support/loopback.h"
#include "tests/support/programs.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

namespace {

struct Point {
    QString measurement;
    QMap<QString, QString> tags;
    QMap<QString, QString> fields;  // as written: "23.5", "78i"
    qint64 ns = 0;
};

// Splits at `separator` where no backslash escapes it; escapes are kept.
QStringList splitUnescaped(const QString& text, QChar separator)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            parts.last() += text.mid(i, 2);
            ++i;
        } else if (text[i] == separator) {
            parts.append(QString());
        } else {
            parts.last() += text[i];
        }
    }
    return parts;
}

QString unescape(QString text)
{
    for (const char* c : {",", "=", " "})
        text.replace(QStringLiteral("\\") + QLatin1String(c), QLatin1String(c));
    return text;
}

std::vector<Point> parse(const QByteArray& bytes)
{
    std::vector<Point> points;
    for (const QByteArray& raw : bytes.split('\n')) {
        if (raw.isEmpty())
            continue;
        const QStringList parts = splitUnescaped(QString::fromUtf8(raw), u' ');
        EXPECT_EQ(parts.size(), 3) << raw.constData();
        if (parts.size() != 3)
            continue;
        Point p;
        const QStringList key = splitUnescaped(parts[0], u',');
        p.measurement = unescape(key[0]);
        for (const QString& tag : key.mid(1)) {
            const QStringList kv = splitUnescaped(tag, u'=');
            EXPECT_EQ(kv.size(), 2) << raw.constData();
            p.tags[unescape(kv[0])] = unescape(kv.value(1));
        }
        for (const QString& field : parts[1].split(u',')) {
            const QStringList kv = field.split(u'=');
            EXPECT_EQ(kv.size(), 2) << raw.constData();
            p.fields[kv[0]] = kv.value(1);
        }
        bool ok = false;
        p.ns = parts[2].toLongLong(&ok);
        EXPECT_TRUE(ok) << raw.constData();
        points.push_back(p);
    }
    return points;
}

qint64 utcNs(const char* iso)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t.toSecsSinceEpoch() * 1000000000;
}

bool isFloat(const QString& value)
{
    bool ok = false;
    value.toDouble(&ok);
    return ok;
}

class LineProtocol : public ::testing::Test {
protected:
    CliResult run(const QStringList& arguments, const QString& zone = QStringLiteral("UTC"))
    {
        return CliProcess(arguments, dir.path(), {QStringLiteral("TZ=") + zone}).Finish();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void write(const char* name, const QByteArray& bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
};

TEST_F(LineProtocol, DownloadConvertAndLiveWriteLinesThatParseBack)
{
    SimulatorProcess sim(dir.path(), {QStringLiteral("--unpaced"), QStringLiteral("--frame-period"), QStringLiteral("150"),
        QStringLiteral("--samples"), QStringLiteral("25"), QStringLiteral("--rate-code"), QStringLiteral("2"),
        QStringLiteral("--start"), QStringLiteral("2024-05-17T08:15:30"), QStringLiteral("--battery"), QStringLiteral("155")});
    ASSERT_FALSE(sim.Link().isEmpty());
    const QString name = QStringLiteral("cold room,1=Cámara \"2\" #+/");
    const CliResult influx = run({QStringLiteral("download"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-f"),
        QStringLiteral("influx"), QStringLiteral("--name"), name});
    ASSERT_EQ(influx.code, 0) << influx.err.toStdString();
    const CliResult csv = run({QStringLiteral("download"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-f"), QStringLiteral("csv")});
    ASSERT_EQ(csv.code, 0);
    const CliResult saved = run({QStringLiteral("download"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-o"), path("day.txt")});
    ASSERT_EQ(saved.code, 0);

    const std::vector<Point> points = parse(influx.out);
    const QList<QByteArray> rows = csv.out.trimmed().split('\n').mid(1);
    ASSERT_EQ(points.size(), 25u);
    ASSERT_EQ(rows.size(), 25);
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& p = points[i];
        EXPECT_EQ(p.measurement, QStringLiteral("veltra8"));
        EXPECT_EQ(p.tags, (QMap<QString, QString>{{QStringLiteral("logger"), name}}));
        // The samples end at the logger's start, five minutes apart, read
        // in UTC here.
        EXPECT_EQ(p.ns, utcNs("2024-05-17T06:15:30") + qint64(i) * 300 * 1000000000);
        const QList<QByteArray> values = rows[qsizetype(i)].trimmed().split(',').mid(2);
        ASSERT_EQ(p.fields.size(), 8);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(p.fields.value(QStringLiteral("ch%1").arg(k + 1)).toDouble(), values[k].toDouble()) << i << ' ' << k;
    }

    // The saved file converts to the very lines the download wrote.
    const CliResult converted = run({QStringLiteral("convert"), path("day.txt"), QStringLiteral("-f"), QStringLiteral("influx"),
        QStringLiteral("--name"), name});
    ASSERT_EQ(converted.code, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.out, influx.out);

    const qint64 before = QDateTime::currentMSecsSinceEpoch() * 1000000;
    const CliResult live = run({QStringLiteral("live"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-n"), QStringLiteral("2"),
        QStringLiteral("-f"), QStringLiteral("influx")});
    const qint64 after = QDateTime::currentMSecsSinceEpoch() * 1000000;
    ASSERT_EQ(live.code, 0) << live.err.toStdString();
    const std::vector<Point> frames = parse(live.out);
    ASSERT_EQ(frames.size(), 2u);
    for (const Point& p : frames) {
        EXPECT_EQ(p.tags.value(QStringLiteral("logger")), QFileInfo(sim.Link()).fileName());
        EXPECT_EQ(p.fields.value(QStringLiteral("battery_pct")), QStringLiteral("78i")) << "77.5 % rounded";
        EXPECT_EQ(p.fields.value(QStringLiteral("memory_used")), QStringLiteral("25i"));
        for (int k = 1; k <= 8; ++k)
            EXPECT_TRUE(isFloat(p.fields.value(QStringLiteral("ch%1").arg(k)))) << k;
        EXPECT_GE(p.ns, before);
        EXPECT_LE(p.ns, after);
    }
}

TEST_F(LineProtocol, ConvertResolvesSummerTimeLeavesOutWhatHasNoLineAndRefusesBadNames)
{
    write("cold room.csv",
        "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n"
        "1,2024-03-31T01:30:00,1.0,,,,,,,\r\n"    // winter time
        "2,2024-03-31T02:30:00,2.0,,,,,,,\r\n"    // skipped by the change forward
        "3,2024-10-27T02:30:00,3.0,,,,,,,\r\n"    // shown twice by the change back
        "4,2024-10-27T03:30:00,4.0,,-2.5,,,,,8\r\n"
        "5,,5.0,,,,,,,\r\n"                       // no time
        "6,2024-11-01T00:00:00,,,,,,,,\r\n");     // no reading
    const CliResult out = run({QStringLiteral("convert"), path("cold room.csv"), QStringLiteral("-f"), QStringLiteral("influx")},
        QStringLiteral("Europe/Madrid"));
    ASSERT_EQ(out.code, 0) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains(QStringLiteral("2 rows without a real time or any reading"))) << out.err.toStdString();
    const std::vector<Point> points = parse(out.out);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].tags.value(QStringLiteral("logger")), QStringLiteral("cold room"));
    EXPECT_EQ(points[0].ns, utcNs("2024-03-31T00:30:00"));
    EXPECT_EQ(points[1].ns, utcNs("2024-03-31T01:30:00")) << "read on winter time, the instant shown as 03:30";
    EXPECT_EQ(points[2].ns, utcNs("2024-10-27T00:30:00")) << "the earlier of 02:30 summer and winter time";
    EXPECT_EQ(points[3].ns, utcNs("2024-10-27T02:30:00"));
    EXPECT_EQ(points[3].fields, (QMap<QString, QString>{
        {QStringLiteral("ch1"), QStringLiteral("4.0")}, {QStringLiteral("ch3"), QStringLiteral("-2.5")}, {QStringLiteral("ch8"), QStringLiteral("8")}}));

    for (const char* bad : {"back\\slash", "two\nlines", ""}) {
        const CliResult refused = run({QStringLiteral("convert"), path("cold room.csv"), QStringLiteral("-f"), QStringLiteral("influx"),
            QStringLiteral("--name"), QString::fromUtf8(bad)});
        EXPECT_EQ(refused.code, 2) << bad;
        EXPECT_TRUE(refused.out.isEmpty()) << bad;
        EXPECT_TRUE(refused.err.contains(QStringLiteral("--name"))) << refused.err.toStdString();
    }
}

TEST_F(LineProtocol, InfluxDbStoresTheLinesAndGivesThemBack)
{
    const QString server = InstalledProgram(QStringLiteral("influxd"));
    const QString client = InstalledProgram(QStringLiteral("influx"));
    if (server.isEmpty() || client.isEmpty())
        GTEST_SKIP() << "InfluxDB 1.x (Debian's influxdb and influxdb-client) is not installed";
    write("day.csv",
        "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n"
        "1,2024-05-17T08:00:00,4.5,-18.2,,,,,,\r\n"
        "2,2024-05-17T08:01:00,4.6,-18.1,,,,,,21.0\r\n");
    const CliResult lines = run({QStringLiteral("convert"), path("day.csv"), QStringLiteral("-f"), QStringLiteral("influx"),
        QStringLiteral("--name"), QStringLiteral("cold room,1")});
    ASSERT_EQ(lines.code, 0);
    write("import.txt", "# DML\n# CONTEXT-DATABASE: veltra8\n" + lines.out);

    const int http = FreeLoopbackPort();
    const int rpc = FreeLoopbackPort();
    const QString root = dir.path();
    write("influxdb.conf", QStringLiteral("reporting-disabled = true\nbind-address = \"127.0.0.1:%1\"\n"
                                          "[meta]\n  dir = \"%3/meta\"\n[data]\n  dir = \"%3/data\"\n  wal-dir = \"%3/wal\"\n"
                                          "  query-log-enabled = false\n[http]\n  bind-address = \"127.0.0.1:%2\"\n  log-enabled = false\n"
                                          "[monitor]\n  store-enabled = false\n")
                               .arg(rpc)
                               .arg(http)
                               .arg(root)
                               .toUtf8());
    QProcess database;
    database.setStandardOutputFile(QProcess::nullDevice());
    database.setStandardErrorFile(QProcess::nullDevice());
    database.start(server, {QStringLiteral("-config"), path("influxdb.conf")});
    ASSERT_TRUE(database.waitForStarted());
    const auto influx = [&](const QStringList& arguments) {
        QProcess p;
        p.start(client, QStringList{QStringLiteral("-host"), QStringLiteral("127.0.0.1"), QStringLiteral("-port"), QString::number(http)} + arguments);
        p.waitForFinished(20000);
        return std::make_pair(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, p.readAllStandardOutput());
    };
    EXPECT_TRUE(WaitIdly([&] { return influx({QStringLiteral("-execute"), QStringLiteral("CREATE DATABASE veltra8")}).first; }, 30000, 200));
    EXPECT_TRUE(influx({QStringLiteral("-import"), QStringLiteral("-path"), path("import.txt"), QStringLiteral("-precision"), QStringLiteral("ns")}).first);
    const auto [ok, table] = influx({QStringLiteral("-database"), QStringLiteral("veltra8"), QStringLiteral("-format"), QStringLiteral("csv"),
        QStringLiteral("-precision"), QStringLiteral("ns"), QStringLiteral("-execute"),
        QStringLiteral("SELECT ch1, ch2, ch8 FROM veltra8 WHERE logger = 'cold room,1'")});
    database.terminate();
    database.waitForFinished(10000);
    ASSERT_TRUE(ok);
    EXPECT_EQ(table,
        "name,time,ch1,ch2,ch8\n"
        "veltra8," + QByteArray::number(utcNs("2024-05-17T08:00:00")) + ",4.5,-18.2,\n"
        "veltra8," + QByteArray::number(utcNs("2024-05-17T08:01:00")) + ",4.6,-18.1,21\n");
}

}  // namespace

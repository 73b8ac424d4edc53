// The station's metrics page, scraped over loopback and checked by
// Prometheus' own promtool; the packaged scrape config and alerting rules
// checked by it too.
#include "station/metrics.h"
#include "tests/support/loopback.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <thread>
#include <vector>

namespace {

LiveFrame frame()
{
    LiveFrame f;
    f.year = 24, f.month = 5, f.day = 17, f.hour = 8, f.minute = 15, f.second = 30;
    f.battery = 155;  // 77.5 %
    f.rateCode = 1;
    for (size_t k = 0; k < 8; ++k)
        f.raw[k] = 500 + int(k) * 45 - 100;  // -10.0, -5.5, ... 21.5 °C
    f.memoryHigh = 1, f.memoryLow = 15;      // (256 + 15 - 15) / 16 = 16 samples
    return f;
}

StationCounters counters(bool connected)
{
    StationCounters c;
    c.connected = connected;
    c.frames = 120;
    c.badFrames = 2;
    c.downloadsArchived = 3;
    c.downloadsFailed = 1;
    c.archivedSamples = 4500;
    c.memoryUsed = 16;
    c.clockOffsetSeconds = -4;
    c.lastFrameAt = QDateTime::fromSecsSinceEpoch(1715926530);
    return c;
}


long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

QByteArray body(const QByteArray& answer)
{
    const qsizetype at = answer.indexOf("\r\n\r\n");
    return at < 0 ? QByteArray() : answer.mid(at + 4);
}

class Metrics : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (InstalledProgram(QStringLiteral("promtool")).isEmpty())
            GTEST_SKIP() << "promtool (Debian's prometheus) is not installed";
    }
};

TEST_F(Metrics, PageHoldsTheReadingsOnlyWhileConnectedAndPassesPromtool)
{
    // A name with every character a label must escape or carry.
    const QString logger = QStringLiteral("Cámara \"fría\" 3/+#\\");
    MetricsPage page(logger, QStringLiteral("1.4.0"));
    QString why;
    ASSERT_TRUE(page.Serve(QStringLiteral("127.0.0.1:0"), &why)) << why.toStdString();
    ASSERT_GT(page.Port(), 0);
    page.Update(counters(true), frame());
    page.SetAlarm(8, QStringLiteral("high"), true);

    const QByteArray answer = HttpGet(page.Port(), "/metrics");
    ASSERT_TRUE(answer.startsWith("HTTP/1.1 200")) << answer.left(200).constData();
    const QByteArray connected = body(answer);
    EXPECT_EQ(PromtoolFindings(connected), QString()) << connected.constData();
    const QByteArray label = R"(logger="Cámara \"fría\" 3/+#\\")";
    for (const QByteArray& line : {
             "veltra8_temperature_celsius{channel=\"1\"," + label + "} -10",
             "veltra8_temperature_celsius{channel=\"8\"," + label + "} 21.5",
             "veltra8_battery_ratio{" + label + "} 0.775",
             "veltra8_memory_used_samples{" + label + "} 16",
             "veltra8_memory_capacity_samples{" + label + "} 2000",
             "veltra8_clock_offset_seconds{" + label + "} -4",
             "veltra8_logger_connected{" + label + "} 1",
             "veltra8_last_frame_timestamp_seconds{" + label + "} 1715926530",
             "veltra8_frames_total{" + label + "} 120",
             "veltra8_bad_frames_total{" + label + "} 2",
             "veltra8_downloads_total{" + label + ",result=\"archived\"} 3",
             "veltra8_downloads_total{" + label + ",result=\"failed\"} 1",
             "veltra8_archived_samples_total{" + label + "} 4500",
             "veltra8_alarm_active{channel=\"8\"," + label + ",side=\"high\"} 1",
             QByteArray("veltra8_build_info{version=\"1.4.0\"} 1")})
        EXPECT_TRUE(connected.contains("\n" + line + "\n")) << line.constData() << "\n" << connected.constData();

    // The cable pulled: no frozen readings, the counters and the state stay.
    StationCounters away = counters(false);
    away.frames = 121;
    page.Update(away, std::nullopt);
    const QByteArray disconnected = body(HttpGet(page.Port(), "/metrics"));
    EXPECT_EQ(PromtoolFindings(disconnected), QString());
    for (const char* gone : {"veltra8_temperature_celsius{", "veltra8_battery_ratio{", "veltra8_memory_used_samples{", "veltra8_clock_offset_seconds{"})
        EXPECT_FALSE(disconnected.contains(gone)) << gone;
    EXPECT_TRUE(disconnected.contains("veltra8_logger_connected{" + label + "} 0\n"));
    EXPECT_TRUE(disconnected.contains("veltra8_frames_total{" + label + "} 121\n"));
    EXPECT_TRUE(disconnected.contains("veltra8_last_frame_timestamp_seconds{" + label + "} 1715926530\n"));

    // Back: the readings return.
    page.Update(counters(true), frame());
    EXPECT_TRUE(body(HttpGet(page.Port(), "/metrics")).contains("veltra8_temperature_celsius{channel=\"3\"," + label + "} -1\n"));
}

// AddressSanitizer keeps freed memory in quarantine and gives every thread
// its own fake stacks, so growth says nothing under it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryGrowthMeasurable = false;
#else
constexpr bool MemoryGrowthMeasurable = true;
#endif

TEST_F(Metrics, AnythingButGetMetricsIsRefusedAndManyScrapersAreServed)
{
    MetricsPage page(QStringLiteral("cold-room"), QStringLiteral("1.4.0"));
    QString why;
    ASSERT_TRUE(page.Serve(QStringLiteral("127.0.0.1:0"), &why)) << why.toStdString();
    page.Update(counters(true), frame());
    const auto status = [&](const QByteArray& request) { return HttpExchange(page.Port(), request).split('\r').value(0); };
    EXPECT_TRUE(status("GET / HTTP/1.0\r\n\r\n").endsWith(" 404 Not Found")) << status("GET / HTTP/1.0\r\n\r\n").constData();
    EXPECT_TRUE(status("GET /metrics/../etc/passwd HTTP/1.0\r\n\r\n").contains(" 404 "));
    EXPECT_FALSE(status("POST /metrics HTTP/1.0\r\nContent-Length: 3\r\n\r\nabc").contains(" 200 "));
    EXPECT_FALSE(status("\x16\x03\x01garbage\r\n\r\n").contains(" 200 "));

    // 200 scrapers at once, 10,000 scrapes in two rounds: every one answered
    // in full, and the second round leaves the process no larger.
    const QByteArray line = "\nveltra8_frames_total{logger=\"cold-room\"} 120\n";
    std::atomic<int> whole{0};
    const auto round = [&] {
        std::vector<std::thread> scrapers;
        for (int t = 0; t < 200; ++t)
            scrapers.emplace_back([&] {
                for (int i = 0; i < 25; ++i)
                    if (body(HttpGet(page.Port(), "/metrics")).contains(line))
                        ++whole;
            });
        for (std::thread& t : scrapers)
            t.join();
    };
    round();
    const long before = residentKiB();
    round();
    EXPECT_EQ(whole.load(), 10000);
    if (MemoryGrowthMeasurable) {
        EXPECT_LT(residentKiB() - before, 1024) << "KiB grown over 5,000 scrapes";
    }
}

TEST_F(Metrics, BadAddressesAreRefusedWithTheReason)
{
    MetricsPage page(QStringLiteral("cold-room"), QStringLiteral("1.4.0"));
    QString why;
    for (const char* bad : {"9788", "localhost:9788", "127.0.0.1:99999", "127.0.0.1:"}) {
        EXPECT_FALSE(page.Serve(QString::fromLatin1(bad), &why)) << bad;
        EXPECT_TRUE(why.contains(QString::fromLatin1(bad))) << why.toStdString();
    }
    MetricsPage first(QStringLiteral("a"), QStringLiteral("1"));
    ASSERT_TRUE(first.Serve(QStringLiteral("127.0.0.1:0"), &why));
    EXPECT_FALSE(page.Serve(QStringLiteral("127.0.0.1:%1").arg(first.Port()), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("cannot listen"))) << why.toStdString();
}

TEST(PrometheusExamples, ScrapeConfigAndAlertingRulesPassPromtool)
{
    const QString promtool = InstalledProgram(QStringLiteral("promtool"));
    if (promtool.isEmpty())
        GTEST_SKIP() << "promtool (Debian's prometheus) is not installed";
    const QString folder = QStringLiteral(VELTRA8_SOURCE_DIR "/packaging/prometheus/");
    for (const QStringList& check : {QStringList{QStringLiteral("config"), folder + QStringLiteral("veltra8-scrape.yml")},
             QStringList{QStringLiteral("rules"), folder + QStringLiteral("veltra8-alerts.yml")}}) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(promtool, QStringList{QStringLiteral("check")} + check);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().constData();
    }
}

}  // namespace

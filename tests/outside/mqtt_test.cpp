// The station's MQTT link against a real mosquitto broker on loopback, read
// back with mosquitto_sub: availability, state, alarms queued while the
// broker is away, Home Assistant discovery field by field, a refused login.
#include "station/mqtt_link.h"
#include "tests/outside/mqtt_programs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <thread>

namespace {

class Mqtt : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* program : {"mosquitto", "mosquitto_sub", "mosquitto_passwd"})
            if (InstalledProgram(QString::fromLatin1(program)).isEmpty())
                GTEST_SKIP() << program << " (Debian's mosquitto, mosquitto-clients) is not installed";
    }
    MqttOptions options(int port) const
    {
        MqttOptions o;
        o.host = QStringLiteral("127.0.0.1");
        o.port = port;
        o.logger = QStringLiteral("cámara 1");
        o.version = QStringLiteral("1.4.0");
        o.channelNames = {{3, QStringLiteral("Congelador \"B\"")}};
        o.judgedChannels = {3};
        return o;
    }
    QTemporaryDir dir;
};

TEST_F(Mqtt, AvailabilityStateAlarmsAndDiscoveryReachASubscriber)
{
    Broker broker(dir.path());
    broker.Start();
    Subscriber sub(broker.Port(), {QStringLiteral("veltra8/#"), QStringLiteral("homeassistant/#")});
    MqttLink link(options(broker.Port()));
    std::vector<QString> messages;
    QObject::connect(&link, &MqttLink::Message, [&](int, const QString& text) { messages.push_back(text); });
    link.Start();
    ASSERT_TRUE(WaitIdly([&] { return link.IsConnected(); }, 10000, 20));
    const QString base = QStringLiteral("veltra8/cámara 1/");
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("status"), "online"));
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("logger"), "disconnected"));
    link.SetLoggerConnected(true);
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("logger"), "connected"));
    const QByteArray state = MqttState("{\"pc_time\":\"x\",\"battery_pct\":77.5,\"memory_used\":12,\"ch\":[1.5,2,3,4,5,6,7,8]}\n", -4);
    EXPECT_EQ(state, "{\"pc_time\":\"x\",\"battery_pct\":77.5,\"memory_used\":12,\"ch\":[1.5,2,3,4,5,6,7,8],\"clock_offset_s\":-4}");
    link.PublishState(state);
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("state"), state));
    link.PublishAlarm("{\"event\":\"alarm\",\"channel\":3}");
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("alarm"), "{\"event\":\"alarm\",\"channel\":3}"));
    link.PublishDownload("{\"samples\":120}");
    EXPECT_TRUE(sub.WaitFor(base + QStringLiteral("download"), "{\"samples\":120}"));
    EXPECT_TRUE(messages.empty());

    // Discovery: eleven sensors and the judged channel's alarm, retained.
    const QString ha = QStringLiteral("homeassistant/");
    ASSERT_TRUE(WaitIdly([&] {
        int configs = 0;
        for (const auto& m : sub.Messages())
            configs += m.topic.startsWith(ha) && m.topic.endsWith(QStringLiteral("/config"));
        return configs == 12;
    }, 10000, 20));
    const auto config = [&](const QString& topic) {
        const auto found = sub.On(topic);
        return found.empty() ? QJsonObject() : QJsonDocument::fromJson(found.back().payload).object();
    };
    const QJsonObject ch3 = config(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/ch3/config"));
    EXPECT_EQ(ch3.value("name").toString(), QStringLiteral("Congelador \"B\""));
    EXPECT_EQ(ch3.value("unique_id").toString(), QStringLiteral("veltra8_c_mara_1_ch3"));
    EXPECT_EQ(ch3.value("device_class").toString(), QStringLiteral("temperature"));
    EXPECT_EQ(ch3.value("unit_of_measurement").toString(), QStringLiteral("°C"));
    EXPECT_EQ(ch3.value("state_class").toString(), QStringLiteral("measurement"));
    EXPECT_EQ(ch3.value("state_topic").toString(), base + QStringLiteral("state"));
    EXPECT_EQ(ch3.value("value_template").toString(), QStringLiteral("{{ value_json.ch[2] }}"));
    const QJsonArray availability = ch3.value("availability").toArray();
    ASSERT_EQ(availability.size(), 2);
    EXPECT_EQ(availability[0].toObject().value("topic").toString(), base + QStringLiteral("status"));
    EXPECT_EQ(availability[1].toObject().value("topic").toString(), base + QStringLiteral("logger"));
    EXPECT_EQ(availability[1].toObject().value("payload_available").toString(), QStringLiteral("connected"));
    EXPECT_EQ(availability[1].toObject().value("payload_not_available").toString(), QStringLiteral("disconnected"));
    EXPECT_EQ(ch3.value("availability_mode").toString(), QStringLiteral("all"));
    const QJsonObject device = ch3.value("device").toObject();
    EXPECT_EQ(device.value("identifiers").toArray(), QJsonArray{QStringLiteral("veltra8_c_mara_1")});
    EXPECT_EQ(device.value("name").toString(), QStringLiteral("cámara 1"));
    EXPECT_EQ(device.value("model").toString(), QStringLiteral("VELTRA8"));
    EXPECT_EQ(device.value("sw_version").toString(), QStringLiteral("1.4.0"));
    EXPECT_EQ(config(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/ch1/config")).value("name").toString(), QStringLiteral("CH1"));
    const QJsonObject battery = config(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/battery/config"));
    EXPECT_EQ(battery.value("device_class").toString(), QStringLiteral("battery"));
    EXPECT_EQ(battery.value("unit_of_measurement").toString(), QStringLiteral("%"));
    EXPECT_EQ(battery.value("value_template").toString(), QStringLiteral("{{ value_json.battery_pct }}"));
    EXPECT_EQ(config(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/memory_used/config")).value("value_template").toString(),
        QStringLiteral("{{ value_json.memory_used }}"));
    const QJsonObject offset = config(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/clock_offset/config"));
    EXPECT_EQ(offset.value("unit_of_measurement").toString(), QStringLiteral("s"));
    EXPECT_EQ(offset.value("value_template").toString(), QStringLiteral("{{ value_json.clock_offset_s }}"));
    const QJsonObject alarm = config(QStringLiteral("homeassistant/binary_sensor/veltra8_c_mara_1/ch3_alarm/config"));
    EXPECT_EQ(alarm.value("device_class").toString(), QStringLiteral("problem"));
    EXPECT_EQ(alarm.value("device").toObject(), device);
    EXPECT_EQ(QJsonDocument::fromJson(Retained(broker.Port(), QStringLiteral("homeassistant/binary_sensor/veltra8_c_mara_1/ch3_alarm/config"))).object(), alarm);

    // Home Assistant restarting asks for them again.
    const qsizetype before = qsizetype(sub.On(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/ch3/config")).size());
    QProcess::execute(InstalledProgram(QStringLiteral("mosquitto_pub")), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
        QString::number(broker.Port()), QStringLiteral("-t"), QStringLiteral("homeassistant/status"), QStringLiteral("-m"), QStringLiteral("online")});
    EXPECT_TRUE(WaitIdly([&] { return qsizetype(sub.On(QStringLiteral("homeassistant/sensor/veltra8_c_mara_1/ch3/config")).size()) > before; }, 10000, 20));

    // A clean stop leaves "offline" retained, not the last will's doing.
    link.Stop();
    EXPECT_EQ(Retained(broker.Port(), base + QStringLiteral("status")), "offline");
}

TEST_F(Mqtt, AlarmsWaitForTheBrokerTheOldestDroppedAndStateIsRetainedAfterTheRestart)
{
    Broker broker(dir.path());
    broker.Start();
    auto sub = std::make_unique<Subscriber>(broker.Port(), QStringList{QStringLiteral("veltra8/+/alarm")});
    MqttOptions o = options(broker.Port());
    o.haPrefix.clear();
    MqttLink link(o);
    std::vector<QString> messages;
    QObject::connect(&link, &MqttLink::Message, [&](int, const QString& text) { messages.push_back(text); });
    link.Start();
    ASSERT_TRUE(WaitIdly([&] { return link.IsConnected(); }, 10000, 20));
    link.SetLoggerConnected(true);
    const QString base = QStringLiteral("veltra8/cámara 1/");
    // The subscriber's session is in place once it has a first alarm.
    link.PublishAlarm("{\"n\":0}");
    ASSERT_TRUE(sub->WaitFor(base + QStringLiteral("alarm"), "{\"n\":0}"));

    // The broker goes away: alarms queue, up to the limit.
    broker.Stop();
    ASSERT_TRUE(WaitIdly([&] { return !link.IsConnected(); }, 10000, 20));
    for (int i = 1; i <= MqttLink::AlarmQueueLimit + 5; ++i)
        link.PublishAlarm("{\"n\":" + QByteArray::number(i) + '}');
    EXPECT_EQ(link.QueuedAlarms(), MqttLink::AlarmQueueLimit);
    EXPECT_EQ(link.DroppedAlarms(), 5u);
    // Several failed attempts: a line for the drop, one for the broker
    // that cannot be reached, no more.
    WaitIdly([] { return false; }, 3500, 50);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("dropped"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(QStringLiteral("cannot reach"))) << messages[1].toStdString();

    broker.Start();
    ASSERT_TRUE(WaitIdly([&] { return link.IsConnected(); }, 20000, 20));
    EXPECT_TRUE(WaitIdly([&] { return link.QueuedAlarms() == 0; }, 10000, 20));
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages.back().contains(QStringLiteral("connected"))) << messages.back().toStdString();
    // Right after the reconnect a newcomer reads the station online and the
    // logger connected.
    EXPECT_EQ(Retained(broker.Port(), base + QStringLiteral("status")), "online");
    EXPECT_EQ(Retained(broker.Port(), base + QStringLiteral("logger")), "connected");
    // The subscriber's session outlived the restart: every alarm but the
    // five oldest, once, in order.
    const size_t expected = size_t(MqttLink::AlarmQueueLimit) + 1;
    ASSERT_TRUE(WaitIdly([&] { return sub->On(base + QStringLiteral("alarm")).size() >= expected; }, 20000, 50))
        << sub->On(base + QStringLiteral("alarm")).size();
    const auto alarms = sub->On(base + QStringLiteral("alarm"));
    ASSERT_EQ(alarms.size(), expected);
    for (size_t i = 1; i < alarms.size(); ++i)
        ASSERT_EQ(alarms[i].payload, "{\"n\":" + QByteArray::number(qsizetype(i) + 5) + '}') << i;
    link.Stop();
}

TEST_F(Mqtt, RefusedLoginIsSaidOnceAndRetriedUntilItIsRight)
{
    QProcess::execute(InstalledProgram(QStringLiteral("mosquitto_passwd")),
        {QStringLiteral("-b"), QStringLiteral("-c"), dir.filePath(QStringLiteral("passwords")), QStringLiteral("station"), QStringLiteral("s3cret")});
    Broker broker(dir.path(), "allow_anonymous false\npassword_file " + dir.filePath(QStringLiteral("passwords")).toUtf8() + "\n");
    broker.Start();
    MqttOptions o = options(broker.Port());
    o.user = QStringLiteral("station");
    o.password = QStringLiteral("wrong");
    MqttLink link(o);
    std::vector<QString> messages;
    QObject::connect(&link, &MqttLink::Message, [&](int, const QString& text) { messages.push_back(text); });
    link.Start();
    WaitIdly([] { return false; }, 3500, 50);
    EXPECT_FALSE(link.IsConnected());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("refused"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("--mqtt-password-file"))) << messages[0].toStdString();

    MqttOptions right = o;
    right.password = QStringLiteral("s3cret");
    MqttLink good(right);
    good.Start();
    EXPECT_TRUE(WaitIdly([&] { return good.IsConnected(); }, 10000, 20));
    good.Stop();
    link.Stop();
}

TEST_F(Mqtt, TlsWithTheRightAuthorityConnectsAndAStrangerIsRefused)
{
    // A certificate authority, the broker's certificate for 127.0.0.1 signed
    // by it, and another authority that signed nothing here.
    if (InstalledProgram(QStringLiteral("openssl")).isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    const auto openssl = [&](const QStringList& arguments) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(InstalledProgram(QStringLiteral("openssl")), arguments);
        return p.waitForFinished(30000) && p.exitCode() == 0;
    };
    QFile ext(dir.filePath(QStringLiteral("ext.cnf")));
    ASSERT_TRUE(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=IP:127.0.0.1\n");
    ext.close();
    for (const QString& ca : {QStringLiteral("ca"), QStringLiteral("stranger")})
        ASSERT_TRUE(openssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
            QStringLiteral("-keyout"), ca + QStringLiteral(".key"), QStringLiteral("-out"), ca + QStringLiteral(".crt"), QStringLiteral("-subj"),
            QStringLiteral("/CN=") + ca, QStringLiteral("-days"), QStringLiteral("2")}));
    ASSERT_TRUE(openssl({QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
        QStringLiteral("server.key"), QStringLiteral("-out"), QStringLiteral("server.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}));
    ASSERT_TRUE(openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), QStringLiteral("server.csr"), QStringLiteral("-CA"),
        QStringLiteral("ca.crt"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
        QStringLiteral("server.crt"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("ext.cnf")}));

    // The plain listener for the subscriber, a TLS one for the station.
    const int tlsPort = FreeLoopbackPort();
    const QByteArray folder = dir.path().toUtf8();
    Broker broker(dir.path(), "allow_anonymous true\nlistener " + QByteArray::number(tlsPort) + " 127.0.0.1\ncafile " + folder + "/ca.crt\ncertfile "
        + folder + "/server.crt\nkeyfile " + folder + "/server.key\n");
    broker.Start();
    Subscriber sub(broker.Port(), {QStringLiteral("veltra8/#")});

    MqttOptions o = options(tlsPort);
    o.haPrefix.clear();
    o.caFile = dir.filePath(QStringLiteral("stranger.crt"));
    MqttLink stranger(o);
    std::vector<QString> messages;
    QObject::connect(&stranger, &MqttLink::Message, [&](int, const QString& text) { messages.push_back(text); });
    stranger.Start();
    WaitIdly([] { return false; }, 2500, 50);
    EXPECT_FALSE(stranger.IsConnected());
    ASSERT_EQ(messages.size(), 1u) << "said once however often it is tried";
    EXPECT_TRUE(messages[0].contains(QStringLiteral("--mqtt-cafile"))) << messages[0].toStdString();
    stranger.Stop();

    o.caFile = dir.filePath(QStringLiteral("ca.crt"));
    MqttLink link(o);
    link.Start();
    ASSERT_TRUE(WaitIdly([&] { return link.IsConnected(); }, 10000, 20));
    link.PublishAlarm("{\"over\":\"tls\"}");
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("veltra8/cámara 1/alarm"), "{\"over\":\"tls\"}"));
    EXPECT_TRUE(sub.WaitFor(QStringLiteral("veltra8/cámara 1/status"), "online"));
    link.Stop();
}

TEST_F(Mqtt, NamesThatCannotStandInATopicAreRefused)
{
    for (const char* bad : {"a/b", "a+b", "a#", "", "tab\there"})
        EXPECT_FALSE(MqttNameRefusal(QString::fromUtf8(bad)).isEmpty()) << bad;
    for (const char* good : {"cold-room", "cámara 1", "Congelador \"B\""})
        EXPECT_TRUE(MqttNameRefusal(QString::fromUtf8(good)).isEmpty()) << good;
}

}  // namespace

namespace {

// A "broker" that answers every connection with `reply` and hangs up.
class RudeBroker {
public:
    explicit RudeBroker(QByteArray reply) : reply_(std::move(reply))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        ::listen(listener_, 8);
        thread_ = std::thread([this] {
            int client;
            while ((client = ::accept(listener_, nullptr, nullptr)) >= 0) {
                char connect[256];
                ::recv(client, connect, sizeof connect, 0);
                ::send(client, reply_.constData(), size_t(reply_.size()), MSG_NOSIGNAL);
                ++served;
                ::close(client);
            }
        });
    }
    ~RudeBroker()
    {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
    }
    int Port() const { return port_; }
    std::atomic<int> served{0};

private:
    QByteArray reply_;
    int listener_;
    int port_ = 0;
    std::thread thread_;
};

TEST_F(Mqtt, BrokerSendingGarbageAHugePacketOrHangingUpMidPublishIsRetriedWithoutHarm)
{
    const QByteArray connack("\x20\x02\x00\x00", 4);
    for (const QByteArray& reply : {QByteArray("\xff\xff\xff\xff\xff garbage", 14),
             // Accepted, then a publish announcing 256 MB that never come.
             connack + QByteArray("\x30\xff\xff\xff\x7f\x00\x03" "abc", 10),
             // Accepted, then gone in the middle of the station's publishes.
             connack}) {
        RudeBroker rude(reply);
        MqttLink link(options(rude.Port()));
        std::vector<QString> messages;
        QObject::connect(&link, &MqttLink::Message, [&](int, const QString& text) { messages.push_back(text); });
        QObject::connect(&link, &MqttLink::ConnectedChanged, [&](bool up) {
            if (up)
                for (int i = 0; i < 50; ++i)
                    link.PublishAlarm("{\"n\":1}");
        });
        link.Start();
        EXPECT_TRUE(WaitIdly([&] { return rude.served >= 2; }, 10000, 20)) << "retried after the first";
        link.Stop();
        EXPECT_FALSE(messages.empty());
        EXPECT_LE(messages.size(), 3u);
        EXPECT_LE(link.QueuedAlarms(), MqttLink::AlarmQueueLimit);
    }
}

}  // namespace

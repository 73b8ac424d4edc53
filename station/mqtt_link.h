#pragma once
// The station's link to an MQTT broker, on libmosquitto driven by the
// station's own event loop: the library's socket is watched by
// QSocketNotifiers and its housekeeping (keep-alive pings, retries) runs from
// a timer only while connected; no thread of the library's own touches our
// state. The link never makes the line or the archive wait: publishing only
// queues bytes, a broker that is away is retried with a backoff of 1 s
// doubling to 60 s, and each kind of trouble is said once until the link is
// up again.
//
// Topics under PREFIX/NAME: `status` (retained, QoS 1: online, the last will
// offline, offline on a clean stop), `logger` (retained, QoS 1: connected or
// disconnected, the cable), `state` (QoS 0, the latest frame at most every
// `everySeconds`), `alarm` (QoS 1, queued while the broker is away: at most
// 1,000, the oldest dropped and counted) and `download` (QoS 1). With a Home
// Assistant prefix, the discovery configs are published retained on every
// connection and again whenever HA/status says online.
//
// Owned by main(), beside the Station it reports; lives on the main thread.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

struct MqttOptions {
    QString host;
    int port = 1883;          // 8883 by default when caFile is given
    QString user;             // empty: no login
    QString password;
    QString caFile;           // TLS with this authority when given
    QString topicPrefix = QStringLiteral("veltra8");
    QString haPrefix = QStringLiteral("homeassistant");  // empty: no discovery
    double everySeconds = 0;  // 0: every frame
    QString logger;           // NAME
    QString version;          // the device's sw_version
    std::map<int, QString> channelNames;  // 1..8 -> a user's name
    std::vector<int> judgedChannels;      // channels with limits: an alarm entity each
};

// Why `name` cannot stand in a topic level (empty when it can): a slash
// would make two levels, a wildcard (+, #) is refused in a published topic,
// and a control character is refused by brokers.
QString MqttNameRefusal(const QString& name);

// The retained discovery configs for Home Assistant, by topic: eight
// temperatures, battery, memory in use, clock offset and an alarm per
// judged channel. Empty without a Home Assistant prefix.
std::map<QString, QByteArray> HomeAssistantDiscovery(const MqttOptions& options);

// The state message: a live record as `veltra8-cli live -f jsonl` writes it,
// with the clock offset (logger minus PC, seconds) added.
QByteArray MqttState(const QByteArray& jsonlRecord, double clockOffsetSeconds);

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;
class QTimer;

class MqttLink : public QObject {
    Q_OBJECT
public:
    static constexpr int AlarmQueueLimit = 1000;

    explicit MqttLink(MqttOptions options, QObject* parent = nullptr);
    ~MqttLink() override;

    // Starts connecting; from then on the link keeps itself up.
    void Start();
    // Says offline (retained), waits at most `timeoutMs` for the broker to
    // have it, and disconnects. The last will is not sent.
    void Stop(int timeoutMs = 2000);

    void SetLoggerConnected(bool connected);
    // A live frame's state message; with everySeconds, the latest one is
    // sent when the period allows.
    void PublishState(const QByteArray& json);
    void PublishAlarm(const QByteArray& json);
    void PublishDownload(const QByteArray& json);

    bool IsConnected() const { return connected_; }
    quint64 DroppedAlarms() const { return droppedAlarms_; }
    qsizetype QueuedAlarms() const { return qsizetype(alarms_.size()); }
    QString Topic(const char* leaf) const;

signals:
    // A line for the journal, once per kind of trouble.
    void Message(int priority, const QString& text);
    void ConnectedChanged(bool connected);

private:
    enum class Trouble { None, Unreachable, Refused, Dropped, Untrusted };
    void connectNow();
    void watchSocket();
    void unwatchSocket();
    void afterIo(int rc);
    void lost(Trouble kind, const QString& detail);
    void scheduleReconnect();
    void onConnect(int rc);
    void onMessage(const mosquitto_message& message);
    void onPublished(int mid);
    void publish(const QString& topic, const QByteArray& payload, int qos, bool retain, int* mid = nullptr);
    void sendAlarms();
    void sendState();
    void say(Trouble kind, int priority, const QString& text);

    MqttOptions options_;
    mosquitto* mosq_ = nullptr;
    QSocketNotifier* reader_ = nullptr;
    QSocketNotifier* writer_ = nullptr;
    QTimer* misc_ = nullptr;
    QTimer* reconnect_ = nullptr;
    QTimer* statePacer_ = nullptr;
    int backoffMs_ = 1000;
    bool connected_ = false;
    bool stopping_ = false;
    bool loggerConnected_ = false;
    Trouble said_ = Trouble::None;
    // Alarms not yet acknowledged by the broker, oldest first; each with the
    // message id of its publish on the present connection (0: not sent).
    std::deque<std::pair<QByteArray, int>> alarms_;
    quint64 droppedAlarms_ = 0;
    QByteArray pendingState_;
    qint64 lastStateMs_ = 0;
    int unsentStates_ = 0;  // QoS 0 states handed to the library, not yet written
    std::set<int> stateMids_;
    int stopMid_ = 0;       // the clean stop's offline, until acknowledged
    int refused_ = -1;      // the broker's refusal code at connect, -1 none
};

#include "station/mqtt_link.h"

#include "station/station.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>

namespace {

constexpr int KeepAliveSeconds = 60;
constexpr int MaxBackoffMs = 60000;
// QoS 0 states the library holds unwritten before new ones are dropped: a
// broker that stops reading must not grow the queue without end.
constexpr int UnsentStateLimit = 100;

class MqttText {
    Q_DECLARE_TR_FUNCTIONS(MqttLink)
};

// The name as Home Assistant's ids take it: letters, digits, _ and -.
QString idOf(const QString& name)
{
    QString id;
    for (const QChar c : name)
        id += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'_' || c == u'-' ? c : u'_';
    return id;
}

MqttLink* linkOf(void* obj)
{
    return static_cast<MqttLink*>(obj);
}

}  // namespace

QString MqttNameRefusal(const QString& name)
{
    if (name.isEmpty())
        return MqttText::tr("an empty name cannot stand in a topic");
    for (const QChar c : name) {
        if (c == u'/' || c == u'+' || c == u'#')
            return MqttText::tr("'%1' would make a topic with %2 in it; choose a name without /, + and #").arg(name, c);
        if (c.category() == QChar::Other_Control)
            return MqttText::tr("'%1' holds a control character; choose a name without one").arg(name);
    }
    return {};
}

std::map<QString, QByteArray> HomeAssistantDiscovery(const MqttOptions& o)
{
    std::map<QString, QByteArray> configs;
    if (o.haPrefix.isEmpty())
        return configs;
    const QString id = QStringLiteral("veltra8_") + idOf(o.logger);
    const QString base = o.topicPrefix + u'/' + o.logger + u'/';
    const QJsonObject device{{QStringLiteral("identifiers"), QJsonArray{id}}, {QStringLiteral("name"), o.logger},
        {QStringLiteral("model"), QStringLiteral("VELTRA8")}, {QStringLiteral("sw_version"), o.version}};
    const QJsonArray availability{QJsonObject{{QStringLiteral("topic"), base + QStringLiteral("status")}},
        QJsonObject{{QStringLiteral("topic"), base + QStringLiteral("logger")}, {QStringLiteral("payload_available"), QStringLiteral("connected")},
            {QStringLiteral("payload_not_available"), QStringLiteral("disconnected")}}};
    const auto add = [&](const QString& component, const QString& entity, const QString& name, const QString& valueTemplate, QJsonObject more) {
        more.insert(QStringLiteral("name"), name);
        more.insert(QStringLiteral("unique_id"), id + u'_' + entity);
        more.insert(QStringLiteral("object_id"), id + u'_' + entity);
        more.insert(QStringLiteral("state_topic"), base + QStringLiteral("state"));
        more.insert(QStringLiteral("value_template"), valueTemplate);
        more.insert(QStringLiteral("availability"), availability);
        more.insert(QStringLiteral("availability_mode"), QStringLiteral("all"));
        more.insert(QStringLiteral("device"), device);
        configs[o.haPrefix + u'/' + component + u'/' + id + u'/' + entity + QStringLiteral("/config")] =
            QJsonDocument(more).toJson(QJsonDocument::Compact);
    };
    const auto channelName = [&](int k) {
        const auto named = o.channelNames.find(k);
        return named != o.channelNames.end() ? named->second : QStringLiteral("CH%1").arg(k);
    };
    const QJsonObject measurement{{QStringLiteral("state_class"), QStringLiteral("measurement")}};
    for (int k = 1; k <= 8; ++k) {
        QJsonObject temperature = measurement;
        temperature.insert(QStringLiteral("device_class"), QStringLiteral("temperature"));
        temperature.insert(QStringLiteral("unit_of_measurement"), QStringLiteral("°C"));
        add(QStringLiteral("sensor"), QStringLiteral("ch%1").arg(k), channelName(k), QStringLiteral("{{ value_json.ch[%1] }}").arg(k - 1), temperature);
    }
    QJsonObject battery = measurement;
    battery.insert(QStringLiteral("device_class"), QStringLiteral("battery"));
    battery.insert(QStringLiteral("unit_of_measurement"), QStringLiteral("%"));
    add(QStringLiteral("sensor"), QStringLiteral("battery"), QStringLiteral("Battery"), QStringLiteral("{{ value_json.battery_pct }}"), battery);
    QJsonObject memory = measurement;
    memory.insert(QStringLiteral("unit_of_measurement"), QStringLiteral("samples"));
    memory.insert(QStringLiteral("icon"), QStringLiteral("mdi:memory"));
    add(QStringLiteral("sensor"), QStringLiteral("memory_used"), QStringLiteral("Memory in use"), QStringLiteral("{{ value_json.memory_used }}"), memory);
    QJsonObject offset = measurement;
    offset.insert(QStringLiteral("device_class"), QStringLiteral("duration"));
    offset.insert(QStringLiteral("unit_of_measurement"), QStringLiteral("s"));
    add(QStringLiteral("sensor"), QStringLiteral("clock_offset"), QStringLiteral("Clock offset"), QStringLiteral("{{ value_json.clock_offset_s }}"), offset);
    for (const int k : o.judgedChannels) {
        const QJsonObject problem{{QStringLiteral("device_class"), QStringLiteral("problem")}};
        add(QStringLiteral("binary_sensor"), QStringLiteral("ch%1_alarm").arg(k), channelName(k) + QStringLiteral(" alarm"),
            QStringLiteral("{{ 'ON' if value_json.alarms is defined and value_json.alarms | selectattr('channel', 'eq', %1) | list | count > 0 else 'OFF' }}")
                .arg(k),
            problem);
    }
    return configs;
}

QByteArray MqttState(const QByteArray& jsonlRecord, double clockOffsetSeconds)
{
    QByteArray state = jsonlRecord.trimmed();
    if (!state.endsWith('}'))
        return state;
    state.chop(1);
    return state + ",\"clock_offset_s\":" + QByteArray::number(clockOffsetSeconds, 'g', 15) + '}';
}

MqttLink::MqttLink(MqttOptions options, QObject* parent) : QObject(parent), options_(std::move(options))
{
    static const bool initialised = (mosquitto_lib_init(), true);
    (void)initialised;
    misc_ = new QTimer(this);
    misc_->setInterval(KeepAliveSeconds * 1000 / 2);
    connect(misc_, &QTimer::timeout, this, [this] { afterIo(mosquitto_loop_misc(mosq_)); });
    reconnect_ = new QTimer(this);
    reconnect_->setSingleShot(true);
    connect(reconnect_, &QTimer::timeout, this, &MqttLink::connectNow);
    statePacer_ = new QTimer(this);
    statePacer_->setSingleShot(true);
    connect(statePacer_, &QTimer::timeout, this, &MqttLink::sendState);
}

MqttLink::~MqttLink()
{
    unwatchSocket();
    if (mosq_)
        mosquitto_destroy(mosq_);
}

QString MqttLink::Topic(const char* leaf) const
{
    return options_.topicPrefix + u'/' + options_.logger + u'/' + QLatin1String(leaf);
}

void MqttLink::Start()
{
    stopping_ = false;
    connectNow();
}

void MqttLink::connectNow()
{
    unwatchSocket();
    if (mosq_)
        mosquitto_destroy(mosq_);
    // A fresh client for every connection: what the library held of the
    // last one is gone, and the alarm queue alone says what is owed.
    mosq_ = mosquitto_new(("veltra8-" + idOf(options_.logger)).toUtf8().constData(), true, this);
    mosquitto_connect_callback_set(mosq_, [](mosquitto*, void* obj, int rc) { linkOf(obj)->onConnect(rc); });
    mosquitto_publish_callback_set(mosq_, [](mosquitto*, void* obj, int mid) { linkOf(obj)->onPublished(mid); });
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* obj, const mosquitto_message* m) { linkOf(obj)->onMessage(*m); });
    if (!options_.user.isEmpty())
        mosquitto_username_pw_set(mosq_, options_.user.toUtf8().constData(), options_.password.toUtf8().constData());
    if (!options_.caFile.isEmpty()) {
        const int rc = mosquitto_tls_set(mosq_, options_.caFile.toLocal8Bit().constData(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            say(Trouble::Refused, StationPriority::Error,
                tr("MQTT: --mqtt-cafile %1: %2; check the file").arg(options_.caFile, QString::fromUtf8(mosquitto_strerror(rc))));
            scheduleReconnect();
            return;
        }
    }
    const QByteArray offline = "offline";
    mosquitto_will_set(mosq_, Topic("status").toUtf8().constData(), int(offline.size()), offline.constData(), 1, true);
    const int rc = mosquitto_connect_async(mosq_, options_.host.toUtf8().constData(), options_.port, KeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        lost(rc == MOSQ_ERR_TLS ? Trouble::Untrusted : Trouble::Unreachable,
            QString::fromUtf8(rc == MOSQ_ERR_ERRNO ? strerror(errno) : mosquitto_strerror(rc)));
        return;
    }
    watchSocket();
}

void MqttLink::watchSocket()
{
    const int fd = mosquitto_socket(mosq_);
    if (fd < 0)
        return;
    reader_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(reader_, &QSocketNotifier::activated, this, [this] { afterIo(mosquitto_loop_read(mosq_, 1)); });
    writer_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    writer_->setEnabled(mosquitto_want_write(mosq_));
    connect(writer_, &QSocketNotifier::activated, this, [this] { afterIo(mosquitto_loop_write(mosq_, 1)); });
}

void MqttLink::unwatchSocket()
{
    for (QSocketNotifier** n : {&reader_, &writer_}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->deleteLater();
            *n = nullptr;
        }
    }
}

void MqttLink::afterIo(int rc)
{
    if (!mosq_ || !reader_)
        return;
    if (rc != MOSQ_ERR_SUCCESS) {
        const QString why = QString::fromUtf8(rc == MOSQ_ERR_ERRNO ? strerror(errno) : mosquitto_strerror(rc));
        lost(rc == MOSQ_ERR_TLS ? Trouble::Untrusted : connected_ ? Trouble::Dropped : Trouble::Unreachable, why);
        return;
    }
    writer_->setEnabled(mosquitto_want_write(mosq_));
}

void MqttLink::lost(Trouble kind, const QString& detail)
{
    unwatchSocket();
    misc_->stop();
    const bool was = connected_;
    connected_ = false;
    unsentStates_ = 0;
    for (auto& alarm : alarms_)
        alarm.second = 0;
    if (refused_ >= 0) {
        kind = Trouble::Refused;
    }
    const QString where = QStringLiteral("%1:%2").arg(options_.host).arg(options_.port);
    switch (kind) {
    case Trouble::Refused:
        say(kind, StationPriority::Error,
            tr("MQTT: the broker at %1 refused the connection: %2; check --mqtt-user and --mqtt-password-file")
                .arg(where, QString::fromUtf8(mosquitto_connack_string(refused_ < 0 ? 5 : refused_))));
        break;
    case Trouble::Untrusted:
        say(kind, StationPriority::Error,
            tr("MQTT: no TLS connection with the broker at %1 (%2); check that --mqtt-cafile %3 signed the broker's certificate")
                .arg(where, detail, options_.caFile));
        break;
    case Trouble::Dropped:
        say(kind, StationPriority::Warning, tr("MQTT: the broker at %1 dropped the connection (%2); reconnecting").arg(where, detail));
        break;
    default:
        say(kind, StationPriority::Warning, tr("MQTT: cannot reach the broker at %1 (%2); retrying").arg(where, detail));
        break;
    }
    refused_ = -1;
    if (was)
        emit ConnectedChanged(false);
    scheduleReconnect();
}

void MqttLink::scheduleReconnect()
{
    if (stopping_)
        return;
    reconnect_->start(backoffMs_);
    backoffMs_ = std::min(backoffMs_ * 2, MaxBackoffMs);
}

void MqttLink::say(Trouble kind, int priority, const QString& text)
{
    if (kind == said_)
        return;
    said_ = kind;
    emit Message(priority, text);
}

void MqttLink::onConnect(int rc)
{
    if (rc != 0) {
        // The library ends the read with an error next: lost() says it.
        refused_ = rc;
        return;
    }
    connected_ = true;
    backoffMs_ = 1000;
    if (said_ != Trouble::None)
        emit Message(StationPriority::Info, tr("MQTT: connected to the broker at %1:%2").arg(options_.host).arg(options_.port));
    said_ = Trouble::None;
    misc_->start();
    publish(Topic("status"), "online", 1, true);
    publish(Topic("logger"), loggerConnected_ ? "connected" : "disconnected", 1, true);
    for (const auto& [topic, payload] : HomeAssistantDiscovery(options_))
        publish(topic, payload, 1, true);
    if (!options_.haPrefix.isEmpty())
        mosquitto_subscribe(mosq_, nullptr, (options_.haPrefix + QStringLiteral("/status")).toUtf8().constData(), 1);
    sendAlarms();
    emit ConnectedChanged(true);
}

void MqttLink::onMessage(const mosquitto_message& message)
{
    // Home Assistant came back: it forgets what it was not told since.
    if (QByteArrayView(static_cast<const char*>(message.payload), message.payloadlen) == "online")
        for (const auto& [topic, payload] : HomeAssistantDiscovery(options_))
            publish(topic, payload, 1, true);
}

void MqttLink::onPublished(int mid)
{
    if (stateMids_.erase(mid)) {
        --unsentStates_;
        return;
    }
    if (mid == stopMid_)
        stopMid_ = 0;
    for (auto it = alarms_.begin(); it != alarms_.end(); ++it)
        if (it->second == mid) {
            alarms_.erase(it);
            return;
        }
}

void MqttLink::publish(const QString& topic, const QByteArray& payload, int qos, bool retain, int* mid)
{
    if (!mosq_ || !connected_)
        return;
    mosquitto_publish(mosq_, mid, topic.toUtf8().constData(), int(payload.size()), payload.constData(), qos, retain);
    if (writer_)
        writer_->setEnabled(mosquitto_want_write(mosq_));
}

void MqttLink::SetLoggerConnected(bool connected)
{
    loggerConnected_ = connected;
    publish(Topic("logger"), connected ? "connected" : "disconnected", 1, true);
}

void MqttLink::PublishState(const QByteArray& json)
{
    if (!connected_)
        return;
    pendingState_ = json;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 every = qint64(options_.everySeconds * 1000);
    if (every > 0 && now - lastStateMs_ < every) {
        if (!statePacer_->isActive())
            statePacer_->start(int(every - (now - lastStateMs_)));
        return;
    }
    sendState();
}

void MqttLink::sendState()
{
    if (pendingState_.isEmpty() || !connected_ || unsentStates_ >= UnsentStateLimit)
        return;
    lastStateMs_ = QDateTime::currentMSecsSinceEpoch();
    int mid = 0;
    publish(Topic("state"), pendingState_, 0, false, &mid);
    pendingState_.clear();
    if (mid) {
        stateMids_.insert(mid);
        ++unsentStates_;
    }
}

void MqttLink::PublishAlarm(const QByteArray& json)
{
    alarms_.emplace_back(json, 0);
    if (alarms_.size() > AlarmQueueLimit) {
        alarms_.pop_front();
        ++droppedAlarms_;
    }
    sendAlarms();
}

void MqttLink::sendAlarms()
{
    for (auto& [payload, mid] : alarms_)
        if (mid == 0)
            publish(Topic("alarm"), payload, 1, false, &mid);
}

void MqttLink::PublishDownload(const QByteArray& json)
{
    publish(Topic("download"), json, 1, false);
}

void MqttLink::Stop(int timeoutMs)
{
    stopping_ = true;
    reconnect_->stop();
    statePacer_->stop();
    misc_->stop();
    if (!mosq_)
        return;
    unwatchSocket();
    if (connected_) {
        publish(Topic("status"), "offline", 1, true, &stopMid_);
        // The offline state is the last thing a watcher should learn: wait
        // for the broker's acknowledgement, within bounds.
        QElapsedTimer clock;
        clock.start();
        while (stopMid_ != 0 && clock.elapsed() < timeoutMs)
            if (mosquitto_loop(mosq_, 50, 1) != MOSQ_ERR_SUCCESS)
                break;
        mosquitto_disconnect(mosq_);
        mosquitto_loop(mosq_, 0, 1);
    }
    connected_ = false;
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
}

#include "station/links.h"

#include "analysis/judgement.h"
#include "analysis/limits.h"
#include "cli/live_record.h"
#include "station/metrics.h"
#include "station/mqtt_link.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class LinksText {
    Q_DECLARE_TR_FUNCTIONS(StationLinks)
public:
    static QString badHost(const QString& v) { return tr("--mqtt %1: not HOST or HOST:PORT").arg(v); }
    static QString badPassword(const QString& f) { return tr("--mqtt-password-file %1: cannot read it; check its path and that the station may read it").arg(f); }
    static QString noBroker(const QString& o) { return tr("%1 needs --mqtt HOST").arg(o); }
    static QString badEvery(const QString& v) { return tr("--mqtt-every %1: not a number of seconds, 0 or more").arg(v); }
    static QString badChannelName(const QString& v) { return tr("--channel-name %1: not CHANNEL=NAME with a channel from 1 to 8 and a name").arg(v); }
    static QString badLimit(const QString& v)
    {
        return tr("--limit %1: not LOW..HIGH or chN:LOW..HIGH with N from 1 to 8, bounds in °C with a dot and LOW not above HIGH, such as 2..8 or ch3:-20..-15").arg(v);
    }
    static QString badDelay(const QString& v) { return tr("--delay %1: not a duration such as 30s, 15m, 2h or 1d").arg(v); }
    static QString badMode(const QString& v) { return tr("--mode %1: neither consecutive nor cumulative").arg(v); }
    static QString badTopic(const QString& o, const QString& why) { return o + QStringLiteral(": ") + why; }
    static QString help()
    {
        return tr("  --mqtt HOST[:PORT]           publish to this MQTT broker (port 1883, 8883 with --mqtt-cafile)\n"
                  "  --mqtt-user USER             log in to the broker as USER\n"
                  "  --mqtt-password-file FILE    the broker password, the file's first line\n"
                  "  --mqtt-cafile FILE           TLS, trusting this certificate authority\n"
                  "  --mqtt-topic PREFIX          topics under PREFIX/NAME/ (default veltra8)\n"
                  "  --ha-prefix PREFIX           Home Assistant discovery prefix (default homeassistant; '' none)\n"
                  "  --mqtt-every SECONDS         the live state at most this often (default 0: every frame)\n"
                  "  --channel-name N=NAME        a channel's name in Home Assistant (repeatable)\n"
                  "  --metrics ADDRESS:PORT       serve Prometheus metrics at /metrics (such as 127.0.0.1:9788)\n"
                  "  --limit LOW..HIGH|chN:LOW..HIGH  judge the live frames; alarms go to MQTT and the metrics (repeatable)\n"
                  "  --delay DURATION             time outside the limits before an alarm trips (default 0)\n"
                  "  --mode consecutive|cumulative  how that time is counted (default consecutive)\n");
    }
};

QString value(const StationOptions& o, const char* key)
{
    return o.links.value(QLatin1String(key));
}

// The alarm rule of each channel the options judge.
std::optional<std::array<std::optional<AlarmRule>, 8>> alarmRules(const StationOptions& o, QString* why)
{
    std::array<std::optional<AlarmRule>, 8> rules;
    AlarmRule base;
    if (o.links.contains(QStringLiteral("delay"))) {
        const std::optional<qint64> delay = ReadDuration(value(o, "delay"));
        if (!delay) {
            *why = LinksText::badDelay(value(o, "delay"));
            return std::nullopt;
        }
        base.Delay = *delay;
    }
    if (o.links.contains(QStringLiteral("mode"))) {
        const QString mode = value(o, "mode");
        if (mode != QLatin1String("consecutive") && mode != QLatin1String("cumulative")) {
            *why = LinksText::badMode(mode);
            return std::nullopt;
        }
        base.Mode = mode == QLatin1String("cumulative") ? AlarmMode::Cumulative : AlarmMode::Consecutive;
    }
    std::optional<Limits> every;
    std::array<std::optional<Limits>, 8> own;
    for (const QString& text : value(o, "limit").split(u',', Qt::SkipEmptyParts)) {
        const std::optional<LimitText> limit = ReadLimitText(QStringView(text).trimmed());
        if (!limit) {
            *why = LinksText::badLimit(text);
            return std::nullopt;
        }
        (limit->Channel ? own[size_t(limit->Channel - 1)] : every) = limit->Range;
    }
    // A channel's own limit wins over the one for every channel.
    for (size_t k = 0; k < 8; ++k)
        if (const std::optional<Limits> range = own[k] ? own[k] : every) {
            rules[k] = base;
            rules[k]->Range = *range;
        }
    return rules;
}

// The MQTT options the station's options give; nothing without --mqtt.
std::optional<MqttOptions> mqttOptions(const StationOptions& o, QString* why)
{
    const QString host = value(o, "mqtt");
    if (host.isEmpty()) {
        for (const char* key : {"mqtt-user", "mqtt-password-file", "mqtt-cafile"})
            if (o.links.contains(QLatin1String(key))) {
                *why = LinksText::noBroker(QStringLiteral("--") + QLatin1String(key));
                return std::nullopt;
            }
        why->clear();
        return std::nullopt;
    }
    MqttOptions m;
    m.caFile = value(o, "mqtt-cafile");
    m.port = m.caFile.isEmpty() ? 1883 : 8883;
    m.host = host;
    if (const qsizetype colon = host.lastIndexOf(u':'); colon >= 0 && !host.endsWith(u']')) {
        bool ok = false;
        m.port = host.mid(colon + 1).toInt(&ok);
        m.host = host.left(colon);
        if (!ok || m.port < 1 || m.port > 65535 || m.host.isEmpty()) {
            *why = LinksText::badHost(host);
            return std::nullopt;
        }
    }
    m.user = value(o, "mqtt-user");
    if (const QString file = value(o, "mqtt-password-file"); !file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            *why = LinksText::badPassword(file);
            return std::nullopt;
        }
        m.password = QString::fromUtf8(f.readLine()).trimmed();
    }
    if (o.links.contains(QStringLiteral("mqtt-topic")))
        m.topicPrefix = value(o, "mqtt-topic");
    if (o.links.contains(QStringLiteral("ha-prefix")))
        m.haPrefix = value(o, "ha-prefix");
    for (const auto& [option, prefix] : {std::pair{"--mqtt-topic", m.topicPrefix}, std::pair{"--ha-prefix", m.haPrefix}}) {
        // A prefix may hold levels; no wildcard and no empty level.
        if (prefix.isEmpty() && QLatin1String(option) == QLatin1String("--ha-prefix"))
            continue;
        for (const QString& level : prefix.split(u'/'))
            if (const QString refusal = MqttNameRefusal(level); !refusal.isEmpty()) {
                *why = LinksText::badTopic(QLatin1String(option), refusal);
                return std::nullopt;
            }
    }
    m.logger = o.LoggerName();
    if (const QString refusal = MqttNameRefusal(m.logger); !refusal.isEmpty()) {
        *why = LinksText::badTopic(QStringLiteral("--name"), refusal);
        return std::nullopt;
    }
    if (o.links.contains(QStringLiteral("mqtt-every"))) {
        bool ok = false;
        m.everySeconds = value(o, "mqtt-every").toDouble(&ok);
        if (!ok || !(m.everySeconds >= 0) || m.everySeconds > 86400) {
            *why = LinksText::badEvery(value(o, "mqtt-every"));
            return std::nullopt;
        }
    }
    for (const QString& pair : value(o, "channel-name").split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int channel = pair.section(u'=', 0, 0).toInt(&ok);
        const QString name = pair.section(u'=', 1).trimmed();
        if (!ok || channel < 1 || channel > 8 || name.isEmpty() || !pair.contains(u'=')) {
            *why = LinksText::badChannelName(pair);
            return std::nullopt;
        }
        m.channelNames[channel] = name;
    }
    if (const auto rules = alarmRules(o, why)) {
        for (int k = 1; k <= 8; ++k)
            if ((*rules)[size_t(k - 1)])
                m.judgedChannels.push_back(k);
    } else {
        return std::nullopt;
    }
    why->clear();
    return m;
}

}  // namespace

const QStringList& LinkOptionNames()
{
    static const QStringList names{QStringLiteral("mqtt"), QStringLiteral("mqtt-user"), QStringLiteral("mqtt-password-file"),
        QStringLiteral("mqtt-cafile"), QStringLiteral("mqtt-topic"), QStringLiteral("ha-prefix"), QStringLiteral("mqtt-every"),
        QStringLiteral("channel-name"), QStringLiteral("metrics"), QStringLiteral("limit"), QStringLiteral("delay"), QStringLiteral("mode")};
    return names;
}

bool LinkOptionRepeats(const QString& name)
{
    return name == QLatin1String("channel-name") || name == QLatin1String("limit");
}

QString LinkOptionsHelp()
{
    return LinksText::help();
}

bool CheckLinkOptions(const StationOptions& options, QString* why)
{
    mqttOptions(options, why);
    if (!why->isEmpty() || !alarmRules(options, why))
        return false;
    const QString metrics = value(options, "metrics");
    if (options.links.contains(QStringLiteral("metrics"))) {
        if (!MetricsPage::CheckAddress(metrics, why))
            return false;
    }
    return true;
}

StationLinks::StationLinks(Station& station, QObject* parent) : QObject(parent), station_(station) {}

StationLinks::~StationLinks() = default;

bool StationLinks::Start(const StationOptions& options, const QString& version, QString* why)
{
    std::optional<MqttOptions> mqtt = mqttOptions(options, why);
    const auto rules = alarmRules(options, why);
    if (!why->isEmpty() || !rules)
        return false;
    judge_.emplace(*rules);
    if (options.links.contains(QStringLiteral("metrics"))) {
        metrics_ = std::make_unique<MetricsPage>(options.LoggerName(), version);
        if (!metrics_->Serve(value(options, "metrics"), why))
            return false;
        update(std::nullopt);
    }
    if (mqtt) {
        mqtt->version = version;
        mqtt_ = std::make_unique<MqttLink>(*mqtt);
        connect(mqtt_.get(), &MqttLink::Message, this, &StationLinks::Message);
        mqtt_->Start();
    }

    connect(&station_, &Station::FrameRead, this, [this](const LiveFrame& frame, const QDateTime& pcTime) {
        lastFrame_ = frame;
        const bool judged = judge_->Judging();
        const LiveAlarmState state = judge(frame, pcTime);
        update(frame);
        if (mqtt_)
            mqtt_->PublishState(
                MqttState(LiveRecord(LiveFormat::Jsonl, pcTime, frame, judged ? &state : nullptr), station_.Counters().clockOffsetSeconds));
    });
    connect(&station_, &Station::BadFrame, this, [this] { update(lastFrame_); });
    connect(&station_, &Station::LoggerConnected, this, [this] {
        if (mqtt_)
            mqtt_->SetLoggerConnected(true);
        update(std::nullopt);
    });
    connect(&station_, &Station::LoggerDisconnected, this, [this] {
        lastFrame_.reset();
        // What the logger measured meanwhile is in its memory, not here.
        judge_->MarkGap();
        if (mqtt_)
            mqtt_->SetLoggerConnected(false);
        update(std::nullopt);
    });
    connect(&station_, &Station::DownloadFailed, this, [this] { update(lastFrame_); });
    connect(&station_, &Station::DownloadArchived, this, [this](const ArchivedDownload& d) {
        update(lastFrame_);
        if (!mqtt_)
            return;
        const auto time = [](const QDateTime& t) { return t.isValid() ? QJsonValue(t.toString(Qt::ISODate)) : QJsonValue(); };
        const QJsonObject told{{QStringLiteral("samples"), d.samplesInMemory}, {QStringLiteral("new_samples"), d.newSamples},
            {QStringLiteral("first"), time(d.firstNew)}, {QStringLiteral("last"), time(d.lastNew)},
            {QStringLiteral("files"), QJsonArray::fromStringList(d.files)}, {QStringLiteral("raw"), d.rawFile}};
        mqtt_->PublishDownload(QJsonDocument(told).toJson(QJsonDocument::Compact));
    });
    return true;
}

LiveAlarmState StationLinks::judge(const LiveFrame& frame, const QDateTime& pcTime)
{
    for (const LiveAlarmChange& c : judge_->Add(frame))
        if (mqtt_)
            mqtt_->PublishAlarm(LiveAlarmEvent(LiveFormat::Jsonl, pcTime, frame, c.Tripped, c.Channel, c.Where, judge_->State()).trimmed());
    if (metrics_)
        for (size_t k = 0; k < 8; ++k)
            if (judge_->Judges(k)) {
                metrics_->SetAlarm(int(k) + 1, QStringLiteral("low"), judge_->Active(k, Side::Low));
                metrics_->SetAlarm(int(k) + 1, QStringLiteral("high"), judge_->Active(k, Side::High));
            }
    return judge_->State();
}

void StationLinks::update(const std::optional<LiveFrame>& frame)
{
    if (metrics_)
        metrics_->Update(station_.Counters(), frame);
}

void StationLinks::Stop()
{
    if (mqtt_)
        mqtt_->Stop();
    metrics_.reset();
}

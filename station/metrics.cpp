#include "station/metrics.h"

#include <prometheus/counter.h>
#include <prometheus/exposer.h>
#include <prometheus/family.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>
#include <prometheus/text_serializer.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <array>
#include <map>

using prometheus::BuildCounter;
using prometheus::BuildGauge;
using prometheus::Counter;
using prometheus::Family;
using prometheus::Gauge;

class MetricsPagePrivate {
public:
    MetricsPagePrivate(const QString& logger, const QString& version)
        : name(logger.toStdString())
        , registry(std::make_shared<prometheus::Registry>())
        , temperature(BuildGauge().Name("veltra8_temperature_celsius").Help("A channel's temperature at the last live frame.").Register(*registry))
        , battery(BuildGauge().Name("veltra8_battery_ratio").Help("The logger's battery level, 0 to 1.").Register(*registry))
        , memoryUsed(BuildGauge().Name("veltra8_memory_used_samples").Help("Samples in the logger's memory.").Register(*registry))
        , memoryCapacity(BuildGauge().Name("veltra8_memory_capacity_samples").Help("Samples the logger's memory holds.").Register(*registry))
        , clockOffset(BuildGauge().Name("veltra8_clock_offset_seconds").Help("The logger's clock minus the PC's.").Register(*registry))
        , connected(BuildGauge().Name("veltra8_logger_connected").Help("1 while the logger's port is open.").Register(*registry))
        , lastFrame(BuildGauge().Name("veltra8_last_frame_timestamp_seconds").Help("When the last live frame was read (PC time).").Register(*registry))
        , frames(BuildCounter().Name("veltra8_frames_total").Help("Live frames read.").Register(*registry))
        , badFrames(BuildCounter().Name("veltra8_bad_frames_total").Help("Live frames dropped as unreadable.").Register(*registry))
        , downloads(BuildCounter().Name("veltra8_downloads_total").Help("Downloads of the logger's memory, by result.").Register(*registry))
        , archived(BuildCounter().Name("veltra8_archived_samples_total").Help("Samples appended to the archive.").Register(*registry))
        , alarm(BuildGauge().Name("veltra8_alarm_active").Help("1 while a channel's alarm on a side is tripped.").Register(*registry))
    {
        BuildGauge()
            .Name("veltra8_build_info")
            .Help("The station's version.")
            .Register(*registry)
            .Add({{"version", version.toStdString()}})
            .Set(1);
        memoryCapacity.Add(labels()).Set(2000);
        connected.Add(labels()).Set(0);
        for (Family<Counter>* family : {&frames, &badFrames, &archived})
            family->Add(labels());
        downloads.Add(labels({{"result", "archived"}}));
        downloads.Add(labels({{"result", "failed"}}));
    }

    prometheus::Labels labels(prometheus::Labels more = {}) const
    {
        more.emplace("logger", name);
        return more;
    }
    // A counter brought up to a count the station kept.
    static void countTo(Counter& counter, quint64 count)
    {
        if (double(count) > counter.Value())
            counter.Increment(double(count) - counter.Value());
    }
    void showReadings(bool shown)
    {
        if (shown == readingsShown)
            return;
        readingsShown = shown;
        if (shown) {
            for (int k = 0; k < 8; ++k)
                channels[size_t(k)] = &temperature.Add(labels({{"channel", std::to_string(k + 1)}}));
            batteryGauge = &battery.Add(labels());
            memoryGauge = &memoryUsed.Add(labels());
            offsetGauge = &clockOffset.Add(labels());
            return;
        }
        for (Gauge*& g : channels)
            temperature.Remove(std::exchange(g, nullptr));
        battery.Remove(std::exchange(batteryGauge, nullptr));
        memoryUsed.Remove(std::exchange(memoryGauge, nullptr));
        clockOffset.Remove(std::exchange(offsetGauge, nullptr));
    }

    std::string name;
    std::shared_ptr<prometheus::Registry> registry;
    Family<Gauge>& temperature;
    Family<Gauge>& battery;
    Family<Gauge>& memoryUsed;
    Family<Gauge>& memoryCapacity;
    Family<Gauge>& clockOffset;
    Family<Gauge>& connected;
    Family<Gauge>& lastFrame;
    Family<Counter>& frames;
    Family<Counter>& badFrames;
    Family<Counter>& downloads;
    Family<Counter>& archived;
    Family<Gauge>& alarm;
    bool readingsShown = false;
    std::array<Gauge*, 8> channels{};
    Gauge* batteryGauge = nullptr;
    Gauge* memoryGauge = nullptr;
    Gauge* offsetGauge = nullptr;
    Gauge* lastFrameGauge = nullptr;
    std::map<std::pair<int, std::string>, Gauge*> alarms;
    std::unique_ptr<prometheus::Exposer> exposer;
};

MetricsPage::MetricsPage(const QString& logger, const QString& version) : d_(std::make_unique<MetricsPagePrivate>(logger, version)) {}

MetricsPage::~MetricsPage()
{
    // The server's threads read the registry: they stop first.
    d_->exposer.reset();
}

std::optional<std::string> MetricsPage::CheckAddress(const QString& address, QString* why)
{
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,3}(?:\.\d{1,3}){3}|\[[0-9A-Fa-f:.]+\]|)?:(\d{1,5})$)"));
    const QRegularExpressionMatch match = form.match(address);
    const int port = match.hasMatch() ? match.captured(2).toInt() : -1;
    if (port < 0 || port > 65535) {
        *why = QCoreApplication::translate("MetricsPage", "--metrics %1: not ADDRESS:PORT (such as 127.0.0.1:9788, or :9788 for every address)").arg(address);
        return std::nullopt;
    }
    // The server's own form: a bare port listens on every address.
    return (match.captured(1).isEmpty() ? match.captured(2) : address).toStdString();
}

bool MetricsPage::Serve(const QString& address, QString* why)
{
    const std::optional<std::string> listen = CheckAddress(address, why);
    if (!listen)
        return false;
    try {
        d_->exposer = std::make_unique<prometheus::Exposer>(*listen, 2);
    } catch (const std::exception& e) {
        *why = QCoreApplication::translate("MetricsPage", "--metrics %1: cannot listen there (%2); choose a free port").arg(address, QString::fromLocal8Bit(e.what()));
        return false;
    }
    d_->exposer->RegisterCollectable(d_->registry);
    return true;
}

int MetricsPage::Port() const
{
    if (!d_->exposer)
        return 0;
    const std::vector<int> ports = d_->exposer->GetListeningPorts();
    return ports.empty() ? 0 : ports.front();
}

void MetricsPage::Update(const StationCounters& c, const std::optional<LiveFrame>& frame)
{
    MetricsPagePrivate& d = *d_;
    d.connected.Add(d.labels()).Set(c.connected ? 1 : 0);
    d.memoryCapacity.Add(d.labels()).Set(c.memoryCapacity);
    MetricsPagePrivate::countTo(d.frames.Add(d.labels()), c.frames);
    MetricsPagePrivate::countTo(d.badFrames.Add(d.labels()), c.badFrames);
    MetricsPagePrivate::countTo(d.archived.Add(d.labels()), c.archivedSamples);
    MetricsPagePrivate::countTo(d.downloads.Add(d.labels({{"result", "archived"}})), c.downloadsArchived);
    MetricsPagePrivate::countTo(d.downloads.Add(d.labels({{"result", "failed"}})), c.downloadsFailed);
    if (c.lastFrameAt.isValid()) {
        if (!d.lastFrameGauge)
            d.lastFrameGauge = &d.lastFrame.Add(d.labels());
        d.lastFrameGauge->Set(double(c.lastFrameAt.toMSecsSinceEpoch()) / 1000);
    }
    d.showReadings(c.connected && frame.has_value());
    if (!d.readingsShown)
        return;
    for (size_t k = 0; k < 8; ++k)
        d.channels[k]->Set(ChannelTemperature(frame->raw[k]));
    d.batteryGauge->Set(double(BatteryLevel(frame->battery)) / 100);
    d.memoryGauge->Set(c.memoryUsed >= 0 ? c.memoryUsed : MemoryPositions(frame->memoryHigh, frame->memoryLow));
    d.offsetGauge->Set(c.clockOffsetSeconds);
}

void MetricsPage::SetAlarm(int channel, const QString& side, bool active)
{
    const auto key = std::make_pair(channel, side.toStdString());
    Gauge*& gauge = d_->alarms[key];
    if (!gauge)
        gauge = &d_->alarm.Add(d_->labels({{"channel", std::to_string(channel)}, {"side", key.second}}));
    gauge->Set(active ? 1 : 0);
}

std::string MetricsPage::Text() const
{
    return prometheus::TextSerializer().Serialize(d_->registry->Collect());
}

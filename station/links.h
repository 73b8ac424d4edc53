#pragma once
// The station's outside links, wired to what the station tells: the MQTT
// link (state, availability, alarms, downloads, Home Assistant discovery) and
// the Prometheus metrics page. Their options come with the station's own
// (command line and config file) and are kept as given in
// StationOptions::links; this file alone reads them.
//
// Owned by main(), beside the Station; lives on the main thread.
#include "analysis/live_judge.h"
#include "cli/live_record.h"
#include "station/station.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class MetricsPage;
class MqttLink;
struct MqttOptions;

// The option names the links take (without "--"), and which of them may be
// given more than once (their values are joined with commas).
const QStringList& LinkOptionNames();
bool LinkOptionRepeats(const QString& name);
// The help lines for them.
QString LinkOptionsHelp();

// Checks the links' options; false with `why` naming the bad one.
bool CheckLinkOptions(const StationOptions& options, QString* why);

class StationLinks : public QObject {
    Q_OBJECT
public:
    StationLinks(Station& station, QObject* parent = nullptr);
    ~StationLinks() override;

    // Starts what the options ask for. False with `why` when the metrics
    // address cannot be listened on or an option is bad; a broker that is
    // away is no failure (the link retries).
    bool Start(const StationOptions& options, const QString& version, QString* why);
    // Says offline to the broker and closes the metrics page.
    void Stop();

signals:
    void Message(int priority, const QString& text);

private:
    void update(const std::optional<LiveFrame>& frame);
    // Runs the judged channels' alarms on a frame: their events to MQTT,
    // their state to the metrics; returns the state for the record.
    LiveAlarmState judge(const LiveFrame& frame, const QDateTime& pcTime);

    Station& station_;
    std::unique_ptr<MqttLink> mqtt_;
    std::unique_ptr<MetricsPage> metrics_;
    std::optional<LiveFrame> lastFrame_;
    std::optional<LiveJudge> judge_;
};

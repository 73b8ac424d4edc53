#pragma once
// The station's metrics page for Prometheus: what it sees of the logger
// (temperatures, battery, memory, clock offset, alarms) as gauges and what it
// has done (frames, downloads, archived samples) as counters, named after
// Prometheus' conventions (base units, `_total`). The page is served on
// ADDRESS:PORT by prometheus-cpp's own server, whose threads read the
// metrics; the station's thread alone writes them, through Update and
// SetAlarm. A reading is on the page only while the logger is connected and
// has sent a frame: a scraper sees no frozen value after the cable is
// pulled, while the counters and `veltra8_logger_connected 0` stay.
#include "logger/live_frame.h"
#include "station/station.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>

class MetricsPagePrivate;

class MetricsPage {
public:
    // `logger` is the label every series of the logger carries.
    MetricsPage(const QString& logger, const QString& version);
    ~MetricsPage();
    MetricsPage(const MetricsPage&) = delete;
    MetricsPage& operator=(const MetricsPage&) = delete;

    // Serves /metrics on `address`: "127.0.0.1:9788", "[::1]:9788", or
    // ":9788" for every address. False, with the reason in `why`, for an
    // address that is no such thing or cannot be listened on.
    bool Serve(const QString& address, QString* why);
    // The address in the server's form; nothing, with the reason in `why`,
    // for one that is not ADDRESS:PORT.
    static std::optional<std::string> CheckAddress(const QString& address, QString* why);
    // The port it listens on (the one the system chose for port 0); 0 when
    // not serving.
    int Port() const;

    // Brings the page up to the station's counters and the last frame it
    // read (none: the readings leave the page).
    void Update(const StationCounters& counters, const std::optional<LiveFrame>& lastFrame);
    // A judged channel's alarm on `side` ("high" or "low").
    void SetAlarm(int channel, const QString& side, bool active);

    // The page as a scrape sees it.
    std::string Text() const;

private:
    std::unique_ptr<MetricsPagePrivate> d_;
};

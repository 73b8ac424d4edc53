#pragma once
// The station: one logger on one serial line, read for as long as the
// program runs. It keeps the line open (waiting for the device to come back
// when it vanishes), reads every live frame, downloads the memory when it is
// due and appends what the archive does not hold yet, empties the memory by
// setting the clock once the archive holds all of it, and corrects a
// drifting clock at the same safe moment. Everything it sees and does is
// told through its signals, and its counters can be read at any time, so an
// outside system (the journal, a broker, a metrics page) needs nothing else.
//
// Owned by main(); lives on the main thread and does all its work from the
// event loop. No exception leaves a slot.
#include "logger/live_frame.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// What the station was told, from the command line and the config file.
struct StationOptions {
    QString port;                   // the device, e.g. /dev/ttyUSB0, or a link to it
    QString archive;                // DIR: the archive goes to DIR/NAME/
    QString name;                   // NAME; empty: the port's file name
    qint64 downloadEverySeconds = 6 * 3600;
    int restartMemoryAt = 1800;     // samples in memory that start a memory cycle
    int maxClockDriftSeconds = 120; // 0: the clock is never corrected
    QString config;                 // the INI file the options were read from, if any
    // The outside links' options (--mqtt..., --metrics) as given, by name;
    // station/links.cpp reads them.
    QMap<QString, QString> links;

    // NAME as given or as taken from the port.
    QString LoggerName() const;
};

// One download appended to the archive.
struct ArchivedDownload {
    int samplesInMemory = 0;   // rows the transfer held
    int newSamples = 0;        // of those, appended now (0 when all were held)
    QDateTime firstNew;        // the first and last appended sample's time
    QDateTime lastNew;         // (the logger's local time); invalid when none
    QStringList files;         // the month files appended to
    QString rawFile;           // the transfer as received
    double endMarkerToSyncedMs = 0;  // decoding, writing and syncing it
};

// Downloads by how they ended, as counted.
enum class DownloadResult { Archived, Failed };

// What the station has counted since it started, and what it last saw.
struct StationCounters {
    quint64 frames = 0;            // readable live frames
    quint64 badFrames = 0;         // frames dropped as unreadable
    quint64 downloadsArchived = 0;
    quint64 downloadsFailed = 0;
    quint64 archivedSamples = 0;   // samples appended to the archive
    quint64 clockSets = 0;         // clock set (memory cycles and corrections)
    bool connected = false;        // the port is open
    int memoryUsed = -1;           // samples in memory at the last frame; -1 none seen
    int memoryCapacity = 2000;
    double clockOffsetSeconds = 0; // logger minus PC at the last frame
    QDateTime lastFrameAt;         // PC time of the last frame; invalid when none
    QDateTime nextDownloadAt;      // PC time the next scheduled download is due
};

class StationPrivate;

class Station : public QObject {
    Q_OBJECT
public:
    explicit Station(StationOptions options, QObject* parent = nullptr);
    ~Station() override;

    // Opens and checks the archive (a torn last line is cut) and starts
    // waiting for the port. False, with the reason in `why`, when the
    // archive cannot be used; the station is then not running.
    bool Start(QString* why);
    // Ends the step in hand without leaving half a line in any file, closes
    // the port and emits Stopped. Safe to call more than once.
    void Stop();
    // Takes new options (a reread config file). A new port or archive closes
    // the old one first; the rest applies from the next frame.
    bool Reconfigure(const StationOptions& options, QString* why);

    const StationOptions& Options() const;
    QString LoggerName() const;
    StationCounters Counters() const;
    // A one-line state for people: "connected to /dev/ttyUSB0, 1,843 samples
    // in memory, 48,211 archived, next download 14:00".
    QString StatusLine() const;

signals:
    // A readable live frame, with the PC's time it was read at.
    void FrameRead(const LiveFrame& frame, const QDateTime& pcTime);
    // A frame that could not be read, as received.
    void BadFrame(const QByteArray& text);
    void LoggerConnected(const QString& port);
    void LoggerDisconnected(const QString& port, const QString& reason);
    void DownloadStarted();
    void DownloadArchived(const ArchivedDownload& download);
    void DownloadFailed(const QString& reason);
    // The logger's clock was set from the PC's and the new state confirmed;
    // `memoryCycle` when it was set to empty a memory near full.
    void ClockSet(bool memoryCycle, double offsetBeforeSeconds);
    // A condition worth a line in the journal, said once per kind of trouble.
    void Message(int priority, const QString& text);
    // StatusLine() changed.
    void StatusChanged(const QString& line);
    void Stopped();

private:
    std::unique_ptr<StationPrivate> d_;
};

// Syslog priorities of Message.
namespace StationPriority {
constexpr int Error = 3;
constexpr int Warning = 4;
constexpr int Info = 6;
}  // namespace StationPriority

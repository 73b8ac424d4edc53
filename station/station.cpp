#include "station/station.h"

#include "data/download_buffer.h"
#include "data/download_table.h"
#include "data/record_decoding.h"
#include "logger/commands.h"
#include "logger/download_capture.h"
#include "logger/line_settings.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "serial/comport.h"
#include "station/archive.h"
#include "station/port_watcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTimer>

#include <cmath>

#include <malloc.h>

namespace {

class StationText {
    Q_DECLARE_TR_FUNCTIONS(Station)
public:
    static QString missing(const QString& p) { return tr("%1: no such device; waiting for it to appear").arg(p); }
    static QString busy(const QString& p) { return tr("%1: port busy: another program holds it; waiting for it to let go").arg(p); }
    static QString denied(const QString& p)
    {
        return tr("%1: permission denied (the service needs the dialout group); waiting for the device's permissions to change").arg(p);
    }
    static QString cannotOpen(const QString& p, const QString& why) { return tr("%1: cannot open the port: %2; waiting for it to change").arg(p, why); }
    static QString cannotWatch(const QString& p, const QString& why)
    {
        return tr("%1: cannot watch for the device: %2; restart the service once it is there").arg(p, why);
    }
    static QString connected(const QString& p) { return tr("%1: connected").arg(p); }
    static QString vanished(const QString& p) { return tr("%1: the device vanished; waiting for it to come back").arg(p); }
    static QString portFailed(const QString& p, const QString& why) { return tr("%1: %2; closing the port and waiting for it").arg(p, why); }
    static QString badFrames(const QString& p) { return tr("%1: unreadable live frames; they are skipped and counted").arg(p); }
    static QString silent(const QString& p, int s)
    {
        return tr("%1: no live frame for %2 s; check the cable and that the logger is on").arg(p).arg(s);
    }
    static QString noTransfer(const QString& p, int s)
    {
        return tr("%1: no byte for %2 s during the transfer; the download is retried").arg(p).arg(s);
    }
    static QString endless(const QString& p, qsizetype kib)
    {
        return tr("%1: the transfer went on past %2 KiB without its end; it is abandoned and retried").arg(p).arg(kib);
    }
    static QString undecodable(const QString& p, int line, const QString& why)
    {
        return tr("%1: the download cannot be decoded at line %2: %3; it is retried").arg(p).arg(line).arg(why);
    }
    static QString unplugged(const QString& p) { return tr("%1: the device vanished during the download; it is retried when the device is back").arg(p); }
    static QString archived(const QString& p, int n, int held) { return tr("%1: %n new sample(s) archived, %2 in memory", nullptr, n).arg(p).arg(held); }
    static QString notVerified(const QString& p) { return tr("%1: the archive does not read back as written; the clock is not set").arg(p); }
    static QString clockSet(const QString& p, bool cycle)
    {
        return cycle ? tr("%1: the logger's memory emptied and its clock set from the PC's").arg(p)
                     : tr("%1: the logger's clock corrected from the PC's").arg(p);
    }
    static QString clockRefused(const QString& p) { return tr("%1: the logger did not take the clock; it is tried again after the next download").arg(p); }
    static QString outpaced(const QString& p)
    {
        return tr("%1: the logger stored a new sample before each clock setting could go out; the memory is emptied after a later download").arg(p);
    }
    static QString drift(const QString& p, double s)
    {
        return tr("%1: the logger's clock is %2 s off the PC's; it is corrected after the next download").arg(p).arg(std::lround(s));
    }
    static QString statusConnected(const QString& p, int memory, quint64 archived, const QString& next)
    {
        const QLocale l;
        return tr("connected to %1, %2 samples in memory, %3 archived, next download %4")
            .arg(p, memory < 0 ? QStringLiteral("?") : l.toString(memory), l.toString(archived), next);
    }
    static QString now() { return tr("now"); }
    static QString statusWaiting(const QString& p, quint64 archived)
    {
        return tr("waiting for %1, %2 archived").arg(p, QLocale().toString(archived));
    }
};

// How long a transfer may pause, and a connected logger stay silent, before
// it counts as trouble.
constexpr int TransferSilenceMs = 10000;
constexpr int FrameSilenceMs = 30000;
// A failed download is tried again after this long, at the latest.
constexpr qint64 RetrySeconds = 60;
// The clock-set step's delay after characters arrive, as in the clients: the
// command then lands in the logger's pause between two frames.
constexpr int ClockSetDelayMs = 100;
constexpr int FramesToConfirm = 3;
// Downloads in a row that fetch the samples stored since the last one so
// that the memory may be emptied; a logger that stores faster than that
// (a clock far too fast) is left alone until a later download.
constexpr int FetchesBeforeEmptying = 3;
// A full memory is 2,000 lines of 50 bytes; a transfer far longer is noise.
constexpr qsizetype MaxTransferBytes = 512 * 1024;

enum class Trouble { Missing, Busy, Denied, OpenFailed, Watch, Vanished, BadFrames, Silent, Download, Disk, Clock, Drift };

}  // namespace

QString StationOptions::LoggerName() const
{
    return name.isEmpty() ? QFileInfo(port).fileName() : name;
}

class StationPrivate {
public:
    enum class Phase { Stopped, Waiting, Live, Requested, Capturing, ClockArmed, ClockSending, ClockVerifying };

    StationPrivate(Station* owner, StationOptions options) : q(owner), opt(std::move(options)), capture(port, buffer), archive(archiveFolder())
    {
        SetLoggerLineSettings(port);
        port.OnRxChar = [this](QObject*, int count) { guard([&] { onChars(count); }); };
        port.OnError = [this](QObject*, TComErrors errors) {
            if (errors.Contains(ceIO))
                lost(StationText::vanished(opt.port), true);
        };
        QObject::connect(&watcher, &PortWatcher::MayHaveAppeared, q, [this] {
            if (phase == Phase::Waiting)
                tryOpen(true);
        });
        step.setSingleShot(true);
        step.setTimerType(Qt::PreciseTimer);
        QObject::connect(&step, &QTimer::timeout, q, [this] { guard([&] { stepDue(); }); });
        transferSilence.setSingleShot(true);
        transferSilence.setInterval(TransferSilenceMs);
        QObject::connect(&transferSilence, &QTimer::timeout, q, [this] {
            guard([&] {
                port.SendText(Command::ResumeLive);
                failDownload(Trouble::Download, StationText::noTransfer(opt.port, TransferSilenceMs / 1000));
            });
        });
        frameSilence.setSingleShot(true);
        frameSilence.setInterval(FrameSilenceMs);
        QObject::connect(&frameSilence, &QTimer::timeout, q, [this] {
            say(Trouble::Silent, StationPriority::Warning, StationText::silent(opt.port, FrameSilenceMs / 1000));
            // Asked again while it stays silent: the "x" may have been lost
            // with a line that was not yet settled.
            frameSilence.start();
            if (phase == Phase::Live)
                guard([&] { port.SendText(Command::ResumeLive); });
        });
    }

    QString archiveFolder() const { return opt.archive + QLatin1Char('/') + opt.LoggerName(); }

    // Runs a step of the line, so no exception of the port leaves a handler.
    void guard(const std::function<void()>& work)
    {
        try {
            work();
        } catch (const EComPort& e) {
            const bool gone = KindOfSystemError(e.SystemError) == SystemErrorKind::Gone;
            lost(gone ? StationText::vanished(opt.port) : StationText::portFailed(opt.port, e.Message()), gone);
        } catch (const std::exception& e) {
            lost(StationText::portFailed(opt.port, QString::fromLocal8Bit(e.what())), false);
        }
    }

    void halt();

    // Once per kind of trouble, until it clears.
    void say(Trouble kind, int priority, const QString& text)
    {
        if (said.contains(int(kind)))
            return;
        said.insert(int(kind));
        emit q->Message(priority, text);
    }
    void cleared(Trouble kind) { said.remove(int(kind)); }

    void status()
    {
        const QString line = q->StatusLine();
        if (line != lastStatus) {
            lastStatus = line;
            emit q->StatusChanged(line);
        }
    }

    // `watching`: the watch is already set, so a failure simply waits on.
    void tryOpen(bool watching = false)
    {
        port.SetPort(opt.port);
        try {
            OpenLoggerLine(port);
        } catch (const EComPort& e) {
            if (!watching) {
                waitForPort(e.SystemError);
                // The device may have come between the look and the watch.
                tryOpen(true);
            }
            return;
        }
        watcher.Stop();
        for (Trouble t : {Trouble::Missing, Trouble::Busy, Trouble::Denied, Trouble::OpenFailed, Trouble::Vanished, Trouble::Watch})
            cleared(t);
        phase = Phase::Live;
        counters.connected = true;
        counters.memoryUsed = -1;
        frame.Clear();
        // What was measured while the line was away is in the logger's memory.
        downloadDue = true;
        frameSilence.start();
        emit q->Message(StationPriority::Info, StationText::connected(opt.port));
        emit q->LoggerConnected(opt.port);
        status();
        // A logger whose transfer was cut off before its "x" (a cable pulled
        // mid-download, another client killed) sends no live frame until it
        // hears one; to a logger sending frames it means nothing.
        guard([&] { port.SendText(Command::ResumeLive); });
    }

    void waitForPort(int err)
    {
        phase = Phase::Waiting;
        switch (KindOfSystemError(err)) {
        case SystemErrorKind::NotFound:
        case SystemErrorKind::NotAFolder:
        case SystemErrorKind::Gone:
            say(Trouble::Missing, StationPriority::Warning, StationText::missing(opt.port));
            break;
        case SystemErrorKind::Busy:
            say(Trouble::Busy, StationPriority::Warning, StationText::busy(opt.port));
            break;
        case SystemErrorKind::AccessDenied:
            say(Trouble::Denied, StationPriority::Error, StationText::denied(opt.port));
            break;
        default:
            say(Trouble::OpenFailed, StationPriority::Error, StationText::cannotOpen(opt.port, SystemErrorText(err)));
        }
        int watchErr = 0;
        if (!watcher.Watch(opt.port, &watchErr))
            say(Trouble::Watch, StationPriority::Error, StationText::cannotWatch(opt.port, SystemErrorText(watchErr)));
        status();
    }

    void closePort()
    {
        step.stop();
        transferSilence.stop();
        frameSilence.stop();
        CloseLoggerLine(port);
    }

    // The line is gone or failed: whatever was under way is abandoned, the
    // port closed, and the station waits for the device. A device that
    // vanished is looked for at once; one that failed otherwise only once
    // its name changes, so a port that fails at every open is no loop.
    void lost(const QString& why, bool vanished)
    {
        if (phase == Phase::Stopped || phase == Phase::Waiting)
            return;
        const bool downloading = phase == Phase::Requested || phase == Phase::Capturing;
        // First, so that a report the closing delivers finds the line gone.
        phase = Phase::Waiting;
        closePort();
        counters.connected = false;
        counters.memoryUsed = -1;
        if (downloading)
            failDownload(Trouble::Download, StationText::unplugged(opt.port));
        clockWanted = false;
        say(Trouble::Vanished, StationPriority::Warning, why);
        emit q->LoggerDisconnected(opt.port, why);
        if (!vanished) {
            watcher.Watch(opt.port);
            status();
            return;
        }
        // It may be back already (a simulator that made a new port); looked
        // at once the port's handler has returned.
        QMetaObject::invokeMethod(
            q,
            [this] {
                if (phase == Phase::Waiting)
                    tryOpen();
            },
            Qt::QueuedConnection);
    }

    void onChars(int count)
    {
        switch (phase) {
        case Phase::Capturing:
            transferSilence.start();
            if (capture.Capture(count) == TDownloadCapture::Chunk::EndMarker) {
                finishDownload();
                // A full transfer and its table take about a MiB for a
                // moment; handing the freed pages back keeps a station that
                // runs for years near the size it had after its first cycle.
                buffer.Clear();
                ::malloc_trim(0);
            } else if (buffer.Text().size() > MaxTransferBytes) {
                // Garbage that never ends must not grow without bound.
                port.SendText(Command::ResumeLive);
                failDownload(Trouble::Download, StationText::endless(opt.port, MaxTransferBytes / 1024));
            }
            return;
        case Phase::Requested:
        case Phase::ClockSending: {
            QByteArray ignored;
            port.ReceiveText(ignored, count);
            return;
        }
        case Phase::ClockArmed:
            phase = Phase::ClockSending;
            step.start(ClockSetDelayMs);
            {
                QByteArray ignored;
                port.ReceiveText(ignored, count);
            }
            return;
        case Phase::Live:
        case Phase::ClockVerifying:
            break;
        default: {
            QByteArray ignored;
            port.ReceiveText(ignored, count);
            return;
        }
        }
        QByteArray chunk;
        port.ReceiveText(chunk, count);
        frame.Add(chunk);
        std::optional<LiveFrame> parsed;
        QByteArray text;
        // A frame may start a download or arm the clock, after which the
        // rest of the read is no longer frames.
        while ((phase == Phase::Live || phase == Phase::ClockVerifying) && frame.Next(parsed, &text)) {
            if (parsed) {
                onFrame(*parsed);
                continue;
            }
            ++counters.badFrames;
            say(Trouble::BadFrames, StationPriority::Warning, StationText::badFrames(opt.port));
            emit q->BadFrame(text);
        }
    }

    void onFrame(const LiveFrame& f)
    {
        const QDateTime now = PcClock().Now();
        const QDateTime logger = LoggerClock(f);
        ++counters.frames;
        counters.lastFrameAt = now;
        // An empty memory may read as a fraction below zero.
        counters.memoryUsed = std::max(0, int(std::floor(MemoryPositions(f.memoryHigh, f.memoryLow))));
        const double offset = logger.isValid() ? double(now.secsTo(logger)) : 0;
        if (previousLogger.isValid() && logger.isValid())
            frameGapSeconds = std::max<qint64>(1, previousLogger.secsTo(logger));
        previousLogger = logger;
        counters.clockOffsetSeconds = offset;
        cleared(Trouble::Silent);
        frameSilence.start();
        emit q->FrameRead(f, now);

        const bool drifted = opt.maxClockDriftSeconds > 0 && std::abs(offset) > opt.maxClockDriftSeconds;
        if (phase == Phase::ClockVerifying) {
            verifyClock(drifted);
        } else if (phase == Phase::Live) {
            if (drifted && !clockWanted)
                say(Trouble::Drift, StationPriority::Warning, StationText::drift(opt.port, offset));
            decide(now, logger, drifted);
        }
        status();
    }

    void decide(const QDateTime& now, const QDateTime& logger, bool drifted)
    {
        const Archive::Cycle& cycle = archive.Last();
        if (clockWanted) {
            if (counters.memoryUsed > cycle.rows) {
                // Samples stored since the archived download: they are
                // fetched before the memory may be emptied.
                if (++fetchesForClock > FetchesBeforeEmptying) {
                    clockWanted = false;
                    say(Trouble::Clock, StationPriority::Warning, StationText::outpaced(opt.port));
                    hold();
                    return;
                }
                startDownload();
                return;
            }
            // The next sample must not fall between this look and the clock
            // setting; if it is close, wait for it and fetch it first.
            const int minutes = StepMinutesForRateText(RateText(cycle.rateCode));
            const QDateTime start(QDate(2000 + cycle.start.Year, cycle.start.Month, cycle.start.Day),
                QTime(cycle.start.Hour, cycle.start.Minute, cycle.start.Second));
            const QDateTime nextSample = start.addSecs(qint64(cycle.rows + 1) * minutes * 60);
            if (minutes > 0 && logger.isValid() && logger.secsTo(nextSample) < 2 * frameGapSeconds + 2)
                return;
            if (counters.memoryUsed != cycle.rows) {
                // Fewer than archived: not the memory that was archived.
                clockWanted = false;
                hold();
                return;
            }
            phase = Phase::ClockArmed;
            return;
        }
        // A full memory or a drifted clock asks for a download at once, but
        // not again and again while a download or the clock keeps failing.
        // A clock that drifts off again within a download period of its
        // setting runs far off; correcting it at every frame would empty
        // the memory again and again, so it waits for the next download.
        const bool held = holdUntil.isValid() && now < holdUntil;
        const bool driftAsks = drifted && (!clockSetAt.isValid() || clockSetAt.secsTo(now) >= opt.downloadEverySeconds);
        if (downloadDue || !nextDownloadAt.isValid() || now >= nextDownloadAt
            || (!held && (counters.memoryUsed >= opt.restartMemoryAt || driftAsks)))
            startDownload();
    }

    void startDownload()
    {
        phase = Phase::Requested;
        downloadDue = false;
        frame.Clear();
        emit q->DownloadStarted();
        capture.Request(false);
        step.start(TDownloadCapture::RequestPauseMs);
    }

    void stepDue()
    {
        if (phase == Phase::Requested) {
            capture.StartTransfer();
            capture.Discard();
            phase = Phase::Capturing;
            transferSilence.start();
        } else if (phase == Phase::ClockSending) {
            frame.Clear();
            const QDateTime now = PcClock().Now();
            offsetBeforeSet = counters.clockOffsetSeconds;
            memoryBeforeSet = counters.memoryUsed;
            for (const QByteArray& write : ClockSetWrites(now, now))
                port.SendText(write);
            phase = Phase::ClockVerifying;
            framesSinceSet = 0;
        }
    }

    void finishDownload()
    {
        QElapsedTimer sinceMarker;
        sinceMarker.start();
        transferSilence.stop();
        phase = Phase::Live;
        const QDateTime now = PcClock().Now();
        const DownloadTable table = DecodeDownloadTable(buffer);
        if (!table.Complete() || !table.Header) {
            failDownload(Trouble::Download, StationText::undecodable(opt.port, table.ErrorLine + 1, table.Error));
            return;
        }
        const Archive::Appended done = archive.Append(*table.Header, table.Rows, buffer.Text().toLatin1(), now);
        if (!done.error.isEmpty()) {
            failDownload(done.errorCode != 0 || done.error.contains(QLatin1Char('/')) ? Trouble::Disk : Trouble::Download, done.error);
            return;
        }
        if (!done.warning.isEmpty())
            emit q->Message(StationPriority::Warning, done.warning);
        cleared(Trouble::Download);
        cleared(Trouble::Disk);
        ++counters.downloadsArchived;
        counters.archivedSamples += quint64(done.newRows);
        nextDownloadAt = now.addSecs(opt.downloadEverySeconds);
        counters.nextDownloadAt = nextDownloadAt;
        ArchivedDownload told;
        told.samplesInMemory = int(table.Rows.size());
        told.newSamples = done.newRows;
        told.firstNew = done.firstNew;
        told.lastNew = done.lastNew;
        told.files = done.files;
        told.rawFile = done.rawFile;
        told.endMarkerToSyncedMs = double(sinceMarker.nsecsElapsed()) / 1e6;
        emit q->Message(StationPriority::Info, StationText::archived(opt.port, done.newRows, told.samplesInMemory));
        emit q->DownloadArchived(told);

        // The memory is emptied, or the clock corrected, only once the
        // archive holds every sample of the memory and reads back.
        const bool full = told.samplesInMemory >= opt.restartMemoryAt;
        const bool drifted = opt.maxClockDriftSeconds > 0 && std::abs(counters.clockOffsetSeconds) > opt.maxClockDriftSeconds;
        if (!full && !drifted) {
            holdUntil = {};
            retrySeconds = RetrySeconds;
        } else {
            if (archive.Verify(table.Rows)) {
                if (!clockWanted)
                    fetchesForClock = 0;
                clockWanted = true;
                memoryCycle = full;
            } else {
                say(Trouble::Clock, StationPriority::Error, StationText::notVerified(opt.port));
                hold();
            }
        }
        status();
    }

    void failDownload(Trouble kind, const QString& why)
    {
        transferSilence.stop();
        step.stop();
        if (phase == Phase::Requested || phase == Phase::Capturing)
            phase = Phase::Live;
        ++counters.downloadsFailed;
        say(kind, kind == Trouble::Disk ? StationPriority::Error : StationPriority::Warning, why);
        emit q->DownloadFailed(why);
        // Tried again soon, but not at every frame.
        nextDownloadAt = PcClock().Now().addSecs(std::min(retrySeconds, opt.downloadEverySeconds));
        counters.nextDownloadAt = nextDownloadAt;
        hold();
        status();
    }

    // Holds the at-once triggers back for the retry time, which doubles up
    // to an hour while the trouble lasts.
    void hold()
    {
        holdUntil = PcClock().Now().addSecs(std::min(retrySeconds, opt.downloadEverySeconds));
        retrySeconds = std::min<qint64>(retrySeconds * 2, 3600);
    }

    void verifyClock(bool drifted)
    {
        const bool emptied = counters.memoryUsed == 0 || counters.memoryUsed < memoryBeforeSet;
        if (emptied && !drifted) {
            phase = Phase::Live;
            clockWanted = false;
            ++counters.clockSets;
            clockSetAt = PcClock().Now();
            holdUntil = {};
            retrySeconds = RetrySeconds;
            cleared(Trouble::Clock);
            cleared(Trouble::Drift);
            emit q->Message(StationPriority::Info, StationText::clockSet(opt.port, memoryCycle));
            emit q->ClockSet(memoryCycle, offsetBeforeSet);
        } else if (++framesSinceSet >= FramesToConfirm) {
            phase = Phase::Live;
            clockWanted = false;
            say(Trouble::Clock, StationPriority::Warning, StationText::clockRefused(opt.port));
            hold();
        }
    }

    Station* q;
    StationOptions opt;
    TComPort port;
    TDownloadBuffer buffer;
    TDownloadCapture capture;
    FrameReader frame;
    PortWatcher watcher;
    Archive archive;
    QTimer step;
    QTimer transferSilence;
    QTimer frameSilence;
    Phase phase = Phase::Stopped;
    StationCounters counters;
    QSet<int> said;
    QString lastStatus;
    bool downloadDue = true;
    QDateTime nextDownloadAt;
    QDateTime holdUntil;
    qint64 retrySeconds = RetrySeconds;
    bool clockWanted = false;
    int fetchesForClock = 0;
    QDateTime clockSetAt;
    bool memoryCycle = false;
    int memoryBeforeSet = 0;
    int framesSinceSet = 0;
    double offsetBeforeSet = 0;
    QDateTime previousLogger;
    qint64 frameGapSeconds = 1;
};

Station::Station(StationOptions options, QObject* parent) : QObject(parent), d_(std::make_unique<StationPrivate>(this, std::move(options))) {}

Station::~Station()
{
    d_->closePort();
}

bool Station::Start(QString* why)
{
    if (QString failure = d_->archive.Open(); !failure.isEmpty()) {
        if (why)
            *why = failure;
        return false;
    }
    d_->phase = StationPrivate::Phase::Waiting;
    d_->tryOpen();
    return true;
}

void Station::Stop()
{
    if (d_->phase == StationPrivate::Phase::Stopped)
        return;
    d_->halt();
    emit Stopped();
}

void StationPrivate::halt()
{
    // A transfer left half-way would keep the logger from its live frames;
    // "x" is what resumes them. The archive is written in whole steps, so
    // nothing in it is half done.
    if (phase == Phase::Requested || phase == Phase::Capturing) {
        try {
            port.SendText(Command::ResumeLive);
        } catch (const EComPort&) {
        }
    }
    closePort();
    watcher.Stop();
    phase = Phase::Stopped;
    counters.connected = false;
}

bool Station::Reconfigure(const StationOptions& options, QString* why)
{
    const bool moved = options.port != d_->opt.port || options.archive != d_->opt.archive || options.LoggerName() != d_->opt.LoggerName();
    if (!moved) {
        d_->opt = options;
        return true;
    }
    d_->halt();
    d_->opt = options;
    d_->archive = Archive(d_->archiveFolder());
    d_->said.clear();
    return Start(why);
}

const StationOptions& Station::Options() const
{
    return d_->opt;
}

QString Station::LoggerName() const
{
    return d_->opt.LoggerName();
}

StationCounters Station::Counters() const
{
    return d_->counters;
}

QString Station::StatusLine() const
{
    if (!d_->counters.connected)
        return StationText::statusWaiting(d_->opt.port, d_->counters.archivedSamples);
    const QString next = d_->nextDownloadAt.isValid() ? QLocale().toString(d_->nextDownloadAt.time(), QStringLiteral("HH:mm"))
                                                      : StationText::now();
    return StationText::statusConnected(d_->opt.port, d_->counters.memoryUsed, d_->counters.archivedSamples, next);
}

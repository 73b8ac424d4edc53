#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/line_protocol.h"
#include "cli/logger_session.h"
#include "cli/output.h"
#include "cli/table_output.h"
#include "data/download_buffer.h"
#include "data/download_table.h"
#include "logger/commands.h"
#include "logger/download_capture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// Bytes of one sample line: 48 digits and CR LF.
constexpr double SampleLineBytes = 50;

class DownloadCommand {
    Q_DECLARE_TR_FUNCTIONS(DownloadCommand)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops);
};

// Progress on standard error, on one line rewritten in place, at most ten
// times a second: samples received against the count the logger reported,
// the rate and the time left.
class Progress {
public:
    explicit Progress(bool shown) : shown_(shown) {}
    void Update(int samples, double expected, qint64 bytes)
    {
        if (!shown_ || (clock_.isValid() && clock_.elapsed() < 100 && samples < expected))
            return;
        if (!started_.isValid())
            started_.start();
        clock_.start();
        const double seconds = std::max(0.001, started_.elapsed() / 1000.0);
        const double rate = bytes / seconds;
        const double left = rate > 0 ? std::max(0.0, (expected - samples) * SampleLineBytes / rate) : 0;
        const QString text = DownloadCommand::tr("\r%1 of %2 samples  %3 kB/s  %4 s left   ")
                                 .arg(samples)
                                 .arg(std::lround(expected))
                                 .arg(rate / 1000, 0, 'f', 1)
                                 .arg(std::lround(left));
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        drawn_ = true;
    }
    void Done()
    {
        if (drawn_)
            std::fputs("\n", stderr);
        drawn_ = false;
    }

private:
    bool shown_;
    bool drawn_ = false;
    QElapsedTimer clock_;
    QElapsedTimer started_;
};

int DownloadCommand::run(const QStringList& arguments, SignalWatcher& stops)
{
    CommandLine line(QStringLiteral("download"),
        QStringLiteral("download [-p PORT] [--full] [-f txt|csv|jsonl|influx] [--name NAME] [-o FILE] [--raw FILE] [--timeout S] [-q]"),
        tr("Waits for a live frame, then downloads the logger's memory as the windows do\n"
           "and writes it as a table: txt is exactly the windows' saved file; csv has the\n"
           "header sample,time,ch1,...,ch8 (RFC 4180, CR LF); jsonl one object per sample;\n"
           "influx InfluxDB line protocol, a line per sample stamped with the logger's\n"
           "time read in the PC's time zone.\n"
           "A failed download (time-out, vanished device, Ctrl-C) writes nothing to -o and\n"
           "leaves an existing file as it was.\n"));
    line.AddPort();
    line.AddFlag({QStringLiteral("full")}, tr("Ask for a forced full download (\"E\" instead of \"8\")."));
    line.AddFormat({QStringLiteral("txt"), QStringLiteral("csv"), QStringLiteral("jsonl"), QStringLiteral("influx")},
        tr("Table format: txt (the default), csv, jsonl or influx."));
    line.AddLoggerName(tr("the port's file name"));
    line.AddOutput(tr("Write the table to FILE, replacing it only once all of it is written."));
    line.AddValue({QStringLiteral("raw")}, tr("Also keep the captured transfer in FILE, byte for byte, even when the download fails."), tr("FILE"));
    line.AddTimeout(tr("Give up (exit 4) when no live frame comes within S seconds, or no byte for S seconds during the transfer (default 10)."));
    line.AddFlag({QStringLiteral("q"), QStringLiteral("quiet")}, tr("No progress on standard error."));
    if (line.Parse(arguments))
        return Exit::Ok;
    const QString name = line.Format(QStringLiteral("txt"));
    const TableFormat format = name == QLatin1String("txt") ? TableFormat::Txt
        : name == QLatin1String("csv")                      ? TableFormat::Csv
                                                            : TableFormat::Jsonl;
    const bool influx = name == QLatin1String("influx");
    const double timeout = line.Timeout();
    const QString output = line.OutputPath();
    const QString raw = line.Value(QStringLiteral("raw"));
    const bool full = line.IsSet(QStringLiteral("full"));
    const QString portPath = line.Port();
    const QByteArray tag = influx ? line.LoggerTag(QFileInfo(portPath).fileName()) : QByteArray();

    LoggerSession session(portPath, stops);
    const QString port = session.PortName();
    session.Open();

    TDownloadBuffer buffer;
    TDownloadCapture capture(session.Port(), buffer);
    Progress progress(!line.IsSet(QStringLiteral("quiet")) && ::isatty(STDERR_FILENO));
    enum class Phase { WaitingForFrame, Capturing, Done } phase = Phase::WaitingForFrame;
    double expected = 0;
    qint64 received = 0;
    QTimer requestPause;
    requestPause.setSingleShot(true);
    requestPause.setTimerType(Qt::PreciseTimer);
    requestPause.setInterval(TDownloadCapture::RequestPauseMs);

    auto keepRaw = [&] {
        if (!raw.isEmpty())
            WriteResult(raw, buffer.Text().toLatin1());
    };
    auto finishDownload = [&] {
        phase = Phase::Done;
        progress.Done();
        keepRaw();
        const DownloadTable table = DecodeDownloadTable(buffer);
        if (!table.Complete())
            throw CliFailure(Exit::Data, tr("%1: the download cannot be decoded at line %2: %3; nothing written")
                                             .arg(port)
                                             .arg(table.ErrorLine + 1)
                                             .arg(table.Error));
        qint64 leftOut = 0;
        WriteResult(output, influx ? LineProtocolBytes(tag, table.Rows, leftOut) : TableBytes(format, table.Rows));
        if (leftOut > 0)
            PrintError(tr("warning: %n samples without a real time or any reading have no line", nullptr, int(leftOut)));
        if (double(table.Rows.size()) != expected)
            PrintError(tr("warning: the logger reported %1 samples in memory, the download holds %2")
                           .arg(QString::number(expected), QString::number(table.Rows.size())));
        session.Finish(Exit::Ok);
    };

    session.OnChars = [&](int count) {
        if (phase == Phase::WaitingForFrame) {
            LiveFrame frame;
            if (!session.ReadFrame(count, frame))
                return;
            expected = MemoryPositions(frame.memoryHigh, frame.memoryLow);
            phase = Phase::Capturing;
            capture.Request(full);
            session.StopTimeout();
            requestPause.start();
            return;
        }
        if (phase != Phase::Capturing) {
            QByteArray ignored;
            session.Port().ReceiveText(ignored, count);
            return;
        }
        session.RestartTimeout();
        if (capture.Capture(count) == TDownloadCapture::Chunk::EndMarker) {
            finishDownload();
            return;
        }
        received = buffer.Text().size();
        // The header and the line in progress (at the end, the trailer) are
        // not samples.
        progress.Update(std::max(0, buffer.LineCount() - 2), expected, received);
    };
    // The windows' clear step runs right after the start command: its timer
    // is long due by then, since the request pause blocks them.
    QObject::connect(&requestPause, &QTimer::timeout, &session, [&] {
        session.Guard([&] {
            capture.StartTransfer();
            capture.Discard();
            session.ArmTimeout(timeout, tr("%1: no byte for %2 s during the transfer; the download is incomplete, nothing written")
                                            .arg(port, QString::number(timeout)));
        });
    });
    session.OnFinishing = [&](int code) {
        requestPause.stop();
        progress.Done();
        if (code == Exit::Ok || phase != Phase::Capturing)
            return;
        // A transfer left half-way would keep the logger from its live
        // frames; "x" is what resumes them.
        if (code != Exit::Port) {
            try {
                session.Port().SendText(Command::ResumeLive);
            } catch (const EComPort&) {
            }
        }
        keepRaw();
    };
    session.ArmTimeout(timeout, session.NoFrameText(timeout));
    return session.Exec();
}

}  // namespace

int RunDownload(const QStringList& arguments, SignalWatcher& stops)
{
    return DownloadCommand::run(arguments, stops);
}

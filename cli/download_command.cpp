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

// What the command line asked for.
struct DownloadRequest {
    TableFormat format = TableFormat::Txt;
    // InfluxDB line protocol instead of `format`, its lines tagged so.
    bool influx = false;
    QByteArray tag;
    double timeout = 0;
    QString output;
    QString raw;
    bool full = false;
    bool progress = false;
};

// One download, in three phases: waiting for a live frame (which tells how
// many samples the logger holds), capturing the transfer, done. Each of the
// port's notifications goes to the step of the phase it comes in.
class Download {
public:
    Download(const DownloadRequest& request, LoggerSession& session)
        : request_(request), session_(session), port_(session.PortName()), capture_(session.Port(), buffer_),
          progress_(request.progress)
    {
        requestPause_.setSingleShot(true);
        requestPause_.setTimerType(Qt::PreciseTimer);
        requestPause_.setInterval(TDownloadCapture::RequestPauseMs);
        session.OnChars = [this](int count) { onChars(count); };
        // The windows' clear step runs right after the start command: its
        // timer is long due by then, since the request pause blocks them.
        QObject::connect(&requestPause_, &QTimer::timeout, &session, [this] { session_.Guard([this] { startTransfer(); }); });
        session.OnFinishing = [this](int code) { onFinishing(code); };
    }

    int Exec()
    {
        session_.ArmTimeout(request_.timeout, session_.NoFrameText(request_.timeout));
        return session_.Exec();
    }

private:
    enum class Phase { WaitingForFrame, Capturing, Done };

    void onChars(int count)
    {
        switch (phase_) {
        case Phase::WaitingForFrame:
            waitForFrame(count);
            return;
        case Phase::Capturing:
            captureChunk(count);
            return;
        case Phase::Done: {
            QByteArray ignored;
            session_.Port().ReceiveText(ignored, count);
            return;
        }
        }
    }

    // A live frame says how many samples to expect; then the request goes.
    void waitForFrame(int count)
    {
        LiveFrame frame;
        if (!session_.ReadFrame(count, frame))
            return;
        expected_ = MemoryPositions(frame.memoryHigh, frame.memoryLow);
        phase_ = Phase::Capturing;
        capture_.Request(request_.full);
        session_.StopTimeout();
        requestPause_.start();
    }

    void startTransfer()
    {
        capture_.StartTransfer();
        capture_.Discard();
        session_.ArmTimeout(request_.timeout,
            DownloadCommand::tr("%1: no byte for %2 s during the transfer; the download is incomplete, nothing written")
                .arg(port_, QString::number(request_.timeout)));
    }

    void captureChunk(int count)
    {
        session_.RestartTimeout();
        if (capture_.Capture(count) == TDownloadCapture::Chunk::EndMarker) {
            finish();
            return;
        }
        // The header and the line in progress (at the end, the trailer) are
        // not samples.
        progress_.Update(std::max(0, buffer_.LineCount() - 2), expected_, buffer_.Text().size());
    }

    // The transfer is whole: decoded and written, or refused whole.
    void finish()
    {
        phase_ = Phase::Done;
        progress_.Done();
        keepRaw();
        const DownloadTable table = DecodeDownloadTable(buffer_);
        if (!table.Complete())
            throw CliFailure(Exit::Data, DownloadCommand::tr("%1: the download cannot be decoded at line %2: %3; nothing written")
                                             .arg(port_)
                                             .arg(table.ErrorLine + 1)
                                             .arg(table.Error));
        qint64 leftOut = 0;
        WriteResult(request_.output,
            request_.influx ? LineProtocolBytes(request_.tag, table.Rows, leftOut) : TableBytes(request_.format, table.Rows));
        if (leftOut > 0)
            PrintError(DownloadCommand::tr("warning: %n samples without a real time or any reading have no line", nullptr, int(leftOut)));
        if (double(table.Rows.size()) != expected_)
            PrintError(DownloadCommand::tr("warning: the logger reported %1 samples in memory, the download holds %2")
                           .arg(QString::number(expected_), QString::number(table.Rows.size())));
        session_.Finish(Exit::Ok);
    }

    // Whatever ended the command: a transfer left half-way is stopped.
    void onFinishing(int code)
    {
        requestPause_.stop();
        progress_.Done();
        if (code == Exit::Ok || phase_ != Phase::Capturing)
            return;
        // A transfer left half-way would keep the logger from its live
        // frames; "x" is what resumes them.
        if (code != Exit::Port) {
            try {
                session_.Port().SendText(Command::ResumeLive);
            } catch (const EComPort&) {
            }
        }
        keepRaw();
    }

    void keepRaw()
    {
        if (!request_.raw.isEmpty())
            WriteResult(request_.raw, buffer_.Text().toLatin1());
    }

    const DownloadRequest& request_;
    LoggerSession& session_;
    const QString port_;
    TDownloadBuffer buffer_;
    TDownloadCapture capture_;
    Progress progress_;
    Phase phase_ = Phase::WaitingForFrame;
    double expected_ = 0;
    QTimer requestPause_;
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
    DownloadRequest request;
    const QString name = line.Format(QStringLiteral("txt"));
    request.format = name == QLatin1String("txt") ? TableFormat::Txt
        : name == QLatin1String("csv")            ? TableFormat::Csv
                                                  : TableFormat::Jsonl;
    request.timeout = line.Timeout();
    request.output = line.OutputPath();
    request.raw = line.Value(QStringLiteral("raw"));
    request.full = line.IsSet(QStringLiteral("full"));
    request.progress = !line.IsSet(QStringLiteral("quiet")) && ::isatty(STDERR_FILENO);
    const QString port = line.Port();
    request.influx = name == QLatin1String("influx");
    if (request.influx)
        request.tag = line.LoggerTag(QFileInfo(port).fileName());

    LoggerSession session(port, stops);
    session.Open();
    Download download(request, session);
    return download.Exec();
}

}  // namespace

int RunDownload(const QStringList& arguments, SignalWatcher& stops)
{
    return DownloadCommand::run(arguments, stops);
}

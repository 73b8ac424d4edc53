#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/line_protocol.h"
#include "cli/live_record.h"
#include "cli/logger_session.h"
#include "cli/output.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

class LiveCommand {
    Q_DECLARE_TR_FUNCTIONS(LiveCommand)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops)
    {
        CommandLine line(QStringLiteral("live"),
            QStringLiteral("live [-p PORT] [-n COUNT] [-f text|csv|jsonl|influx] [--name NAME] [-o FILE] [--timeout S]"),
            tr("Waits for the logger's live frames and writes one record per frame: the PC's\n"
               "time, the logger's clock, battery, sampling interval, memory in use and the\n"
               "eight temperatures. Stops after COUNT frames, or on Ctrl-C or SIGTERM with\n"
               "exit code 0. Unreadable frames are skipped and counted on standard error.\n"
               "influx writes InfluxDB line protocol (a line per frame, stamped with the\n"
               "PC's time), for Telegraf's execd input.\n"));
        line.AddPort();
        line.AddValue({QStringLiteral("n"), QStringLiteral("count")}, tr("Stop after COUNT frames."), tr("COUNT"));
        line.AddFormat({QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("jsonl"), QStringLiteral("influx")},
            tr("Record format: text (for people; the default on a terminal), csv (the default otherwise), jsonl or influx."));
        line.AddLoggerName(tr("the port's file name"));
        line.AddOutput(tr("Write the records to FILE instead of standard output."));
        line.AddTimeout(tr("Give up (exit 4) when no live frame arrives for S seconds (default 10)."));
        if (line.Parse(arguments))
            return Exit::Ok;

        long long count = -1;
        if (line.IsSet(QStringLiteral("count"))) {
            bool ok = false;
            count = line.Value(QStringLiteral("count")).toLongLong(&ok);
            if (!ok || count < 1)
                line.UsageFailure(tr("-n %1: not a count of frames above 0").arg(line.Value(QStringLiteral("count"))));
        }
        RecordStream out(line.OutputPath());
        const QString name = line.Format(out.ToTerminal() ? QStringLiteral("text") : QStringLiteral("csv"));
        const LiveFormat format = name == QLatin1String("text") ? LiveFormat::Text
            : name == QLatin1String("csv")                      ? LiveFormat::Csv
                                                                : LiveFormat::Jsonl;
        const bool influx = name == QLatin1String("influx");
        const double timeout = line.Timeout();
        const QString port = line.Port();
        const QByteArray tag = influx ? line.LoggerTag(QFileInfo(port).fileName()) : QByteArray();

        LoggerSession session(port, stops);
        session.Open();
        const QString silence = tr("%1: no live frame for %2 s; check the cable and that the logger is on")
                                    .arg(session.PortName(), QString::number(timeout));
        long long written = 0;
        auto write = [&](const QByteArray& bytes) {
            try {
                out.Write(bytes);
            } catch (const RecordStream::ReaderGone&) {
                // The reader of a pipe has had what it wanted (`| head`).
                session.Finish(Exit::Ok);
            }
        };
        session.OnChars = [&](int chars) {
            LiveFrame frame;
            if (!session.ReadFrame(chars, frame))
                return;
            const QDateTime now = QDateTime::currentDateTime();
            session.RestartTimeout();
            if (influx) {
                write(LiveFrameLine(tag, now, frame));
            } else {
                if (written == 0)
                    write(LiveHeader(format));
                write(LiveRecord(format, now, frame));
            }
            if (++written == count)
                session.Finish(Exit::Ok);
        };
        // Ctrl-C is how a live view is ended.
        session.OnStop = [&](int) { session.Finish(Exit::Ok); };
        session.ArmTimeout(timeout, silence);
        return session.Exec();
    }
};

}  // namespace

int RunLive(const QStringList& arguments, SignalWatcher& stops)
{
    return LiveCommand::run(arguments, stops);
}

#include "cli/alarm_commands.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/judgement_options.h"
#include "cli/line_protocol.h"
#include "cli/live_record.h"
#include "cli/logger_session.h"
#include "cli/output.h"

#include "cli/table_output.h"
#include "data/record_decoding.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

class LiveCommand {
    Q_DECLARE_TR_FUNCTIONS(LiveCommand)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops)
    {
        CommandLine line(QStringLiteral("live"),
            QStringLiteral("live [-p PORT] [-n COUNT] [-f text|csv|jsonl|influx] [--name NAME] [-o FILE] [--timeout S] [--limit LIMIT]... "
                           "[--delay D] [--mode M] [--on-alarm COMMAND]"),
            tr("Waits for the logger's live frames and writes one record per frame: the PC's\n"
               "time, the logger's clock, battery, sampling interval, memory in use and the\n"
               "eight temperatures. Stops after COUNT frames, or on Ctrl-C or SIGTERM with\n"
               "exit code 0. Unreadable frames are skipped and counted on standard error.\n"
               "influx writes InfluxDB line protocol (a line per frame, stamped with the\n"
               "PC's time), for Telegraf's execd input.\n"
               "\n"
               "With --limit, each record ends with the channels whose alarm is on, and a\n"
               "record of its own says when an alarm trips or clears (at the first frame\n"
               "back in range). A frame counts the logger's time since the frame before it\n"
               "towards --delay.\n"));
        line.AddPort();
        line.AddValue({QStringLiteral("n"), QStringLiteral("count")}, tr("Stop after COUNT frames."), tr("COUNT"));
        line.AddFormat({QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("jsonl"), QStringLiteral("influx")},
            tr("Record format: text (for people; the default on a terminal), csv (the default otherwise), jsonl or influx."));
        line.AddLoggerName(tr("the port's file name"));
        line.AddOutput(tr("Write the records to FILE instead of standard output."));
        line.AddTimeout(tr("Give up (exit 4) when no live frame arrives for S seconds (default 10)."));
        JudgementLine::AddLimits(line);
        line.AddValue({QStringLiteral("on-alarm")},
            tr("Run COMMAND through /bin/sh at each alarm and clear, with VELTRA8_EVENT (alarm or clear), VELTRA8_CHANNEL, "
               "VELTRA8_SIDE, VELTRA8_VALUE and VELTRA8_TIME in its environment. The frames are never held up by it: commands "
               "still running are left to run, up to %1 at once (an event beyond that is not run, and said), and are ended "
               "with SIGTERM when live ends.")
                .arg(AlarmCommands::MaxRunning),
            tr("COMMAND"));
        if (line.Parse(arguments))
            return Exit::Ok;
        const JudgementOptions judging = JudgementLine::Read(line);
        const bool limited = line.IsSet(QStringLiteral("limit"));
        if (!limited && line.IsSet(QStringLiteral("on-alarm")))
            line.UsageFailure(tr("--on-alarm needs --limit: name the limits whose alarms run the command"));

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
        if (influx && limited)
            line.UsageFailure(tr("--limit: the alarms have no place in -f influx; use jsonl or csv to follow them"));
        const double timeout = line.Timeout();
        const QString port = line.Port();
        const QByteArray tag = influx ? line.LoggerTag(QFileInfo(port).fileName()) : QByteArray();

        LoggerSession session(port, stops);
        session.Open();
        const QString silence = tr("%1: no live frame for %2 s; check the cable and that the logger is on")
                                    .arg(session.PortName(), QString::number(timeout));
        std::array<std::optional<AlarmRule>, 8> rules;
        for (size_t k = 0; k < 8; ++k)
            if (judging.Limit[k])
                rules[k] = AlarmRule{*judging.Limit[k], judging.Delay, judging.Mode};
        LiveJudge judge(rules);
        std::optional<AlarmCommands> commands;
        if (line.IsSet(QStringLiteral("on-alarm")))
            commands.emplace(line.Value(QStringLiteral("on-alarm")));
        long long written = 0;
        // A reader of a pipe that has had what it wanted (`| head`) ends the
        // view through the session's guard, quietly.
        const auto write = [&](const QByteArray& bytes) { out.Write(bytes); };
        const auto record = [&](const LiveFrame& frame) {
            const QDateTime now = QDateTime::currentDateTime();
            session.RestartTimeout();
            if (influx) {
                write(LiveFrameLine(tag, now, frame));
            } else {
                if (written == 0)
                    write(LiveHeader(format, limited));
                if (!limited) {
                    write(LiveRecord(format, now, frame));
                } else {
                    const std::vector<LiveAlarmChange> changes = judge.Add(frame);
                    const LiveAlarmState& state = judge.State();
                    write(LiveRecord(format, now, frame, &state));
                    for (const LiveAlarmChange& c : changes) {
                        write(LiveAlarmEvent(format, now, frame, c.Tripped, c.Channel, c.Where, state));
                        if (commands)
                            commands->Run(c.Tripped, c.Channel, c.Where == Side::High ? "high" : "low",
                                DotDecimal(TemperatureText(ChannelTemperature(frame.raw[size_t(c.Channel - 1)]))), LoggerIsoTime(frame));
                    }
                }
            }
            if (++written == count)
                session.Finish(Exit::Ok);
        };
        session.OnChars = [&](int chars) {
            LiveFrame frame;
            // Frames that came in one read, each a record.
            for (bool got = session.ReadFrame(chars, frame); got && !session.Finished(); got = session.NextFrame(frame))
                record(frame);
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

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/live_record.h"
#include "cli/logger_session.h"
#include "cli/output.h"
#include "data/calendar.h"
#include "logger/commands.h"
#include "platform/clock.h"

#include <QTimer>

#include <cmath>

namespace {

QString isoText(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::fromLatin1(IsoFieldsText(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()));
}

// The clock-set step's delay after characters arrive, as in the windows:
// the command then lands in the logger's pause between two frames.
constexpr int ClockSetDelayMs = 100;
// How far the logger's clock may stand from the PC's once set.
constexpr qint64 ClockToleranceSeconds = 2;
// Frames that may still show the old state after a command.
constexpr int FramesToConfirm = 3;

class SetClockCommand {
    Q_DECLARE_TR_FUNCTIONS(SetClockCommand)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops)
    {
        CommandLine line(QStringLiteral("set-clock"), QStringLiteral("set-clock [-p PORT] [--yes] [--no-verify] [--timeout S]"),
            tr("Sets the logger's clock from the PC's local time. Setting the clock starts the\n"
               "logger's memory afresh: when the logger holds samples, the command refuses\n"
               "(exit 2, nothing sent) unless --yes is given. Afterwards the next live frames\n"
               "must show the logger's clock within 2 s of the PC's and its memory empty.\n"));
        line.AddPort();
        line.AddFlag({QStringLiteral("yes")}, tr("Set the clock even though the samples in memory are lost."));
        line.AddFlag({QStringLiteral("no-verify")}, tr("Do not wait for the live frames that confirm the new clock."));
        line.AddTimeout(tr("Give up (exit 4) when no live frame comes within S seconds (default 10)."));
        if (line.Parse(arguments))
            return Exit::Ok;
        const double timeout = line.Timeout();
        const bool yes = line.IsSet(QStringLiteral("yes"));
        const bool verify = !line.IsSet(QStringLiteral("no-verify"));

        LoggerSession session(line.Port(), stops);
        const QString port = session.PortName();
        session.Open();
        const QString silence = session.NoFrameText(timeout);

        enum class Phase { WaitingForFrame, Armed, Sending, Verifying } phase = Phase::WaitingForFrame;
        int framesSince = 0;
        QTimer step;
        step.setSingleShot(true);
        step.setInterval(ClockSetDelayMs);
        QObject::connect(&step, &QTimer::timeout, &session, [&] {
            session.Guard([&] {
                // As the windows' clock-set step: the part of a frame
                // collected so far is dropped, then the thirteen writes.
                session.ClearFrame();
                const QDateTime now = PcClock().Now();
                for (const QByteArray& write : ClockSetWrites(now, now))
                    session.Port().SendText(write);
                if (!verify) {
                    std::printf("%s\n", qPrintable(tr("clock set to %1").arg(isoText(now))));
                    session.Finish(Exit::Ok);
                    return;
                }
                phase = Phase::Verifying;
                session.ArmTimeout(timeout, silence);
            });
        });

        session.OnChars = [&](int count) {
            LiveFrame frame;
            const bool complete = session.ReadFrame(count, frame);
            if (phase == Phase::Armed) {
                phase = Phase::Sending;
                step.start();
                return;
            }
            if (!complete)
                return;
            if (phase == Phase::WaitingForFrame) {
                const double held = MemoryPositions(frame.memoryHigh, frame.memoryLow);
                if (held > 0 && !yes)
                    throw CliFailure(Exit::Usage,
                        tr("%1: the logger holds %2 samples and setting its clock empties its memory; download them first, or add --yes")
                            .arg(port, QString::number(held)));
                phase = Phase::Armed;
                session.StopTimeout();
                return;
            }
            if (phase != Phase::Verifying)
                return;
            const QDateTime now = PcClock().Now();
            const QDateTime logger = LoggerClock(frame);
            const bool clockOk = logger.isValid() && std::llabs(logger.secsTo(now)) <= ClockToleranceSeconds;
            const bool emptied = MemoryPositions(frame.memoryHigh, frame.memoryLow) <= 0;
            if (clockOk && emptied) {
                std::printf("%s\n", qPrintable(tr("clock set: the logger reads %1").arg(isoText(logger))));
                session.Finish(Exit::Ok);
            } else if (++framesSince >= FramesToConfirm) {
                throw CliFailure(Exit::Data,
                    tr("%1: the logger did not take the clock: it reads %2 (PC %3) with %4 samples in memory; run set-clock again")
                        .arg(port, LoggerDateText(frame) + QLatin1Char(' ') + LoggerTimeText(frame),
                            now.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
                            QString::number(MemoryPositions(frame.memoryHigh, frame.memoryLow))));
            }
        };
        session.ArmTimeout(timeout, silence);
        return session.Exec();
    }
};

}  // namespace

int RunSetClock(const QStringList& arguments, SignalWatcher& stops)
{
    return SetClockCommand::run(arguments, stops);
}

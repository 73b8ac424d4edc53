#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/live_record.h"
#include "cli/logger_session.h"
#include "logger/commands.h"

#include <cstdio>

namespace {

// Frames that may still show the old rate after the command.
constexpr int FramesToConfirm = 3;

class SetRateCommand {
    Q_DECLARE_TR_FUNCTIONS(SetRateCommand)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops)
    {
        CommandLine line(QStringLiteral("set-rate"), QStringLiteral("set-rate [-p PORT] [--timeout S] MINUTES"),
            tr("Sets the logger's sampling interval to 1, 15, 30 or 60 minutes, then confirms\n"
               "the new rate in the next live frames.\n"));
        line.AddPort();
        line.AddTimeout(tr("Give up (exit 4) when no live frame comes within S seconds (default 10)."));
        line.AddPositional(QStringLiteral("MINUTES"), tr("1, 15, 30 or 60."));
        if (line.Parse(arguments))
            return Exit::Ok;
        static const int choices[] = {1, 15, 30, 60};
        // The rate items' codes as live frames report them.
        static const int codes[] = {1, 4, 5, 6};
        const QString minutes = line.Positional().value(0);
        int item = -1;
        for (int i = 0; i < 4; ++i)
            if (minutes == QString::number(choices[i]))
                item = i;
        if (item < 0)
            line.UsageFailure(minutes.isEmpty() ? tr("MINUTES missing: give 1, 15, 30 or 60")
                                                : tr("%1: not a sampling interval; give 1, 15, 30 or 60").arg(minutes));
        const double timeout = line.Timeout();

        LoggerSession session(line.Port(), stops);
        const QString port = session.PortName();
        session.Open();
        bool sent = false;
        int framesSince = 0;
        session.OnChars = [&](int count) {
            LiveFrame frame;
            if (!session.ReadFrame(count, frame))
                return;
            if (!sent) {
                session.Port().SendText(RateCommand(item));
                sent = true;
                session.RestartTimeout();
                return;
            }
            if (frame.rateCode == codes[item]) {
                std::printf("%s\n", qPrintable(tr("sampling interval set to %1 min").arg(choices[item])));
                session.Finish(Exit::Ok);
            } else if (++framesSince >= FramesToConfirm) {
                throw CliFailure(Exit::Data, tr("%1: the logger did not take the rate: its frames still report rate code %2; run set-rate again")
                                                 .arg(port)
                                                 .arg(frame.rateCode));
            }
        };
        session.ArmTimeout(timeout, session.NoFrameText(timeout));
        return session.Exec();
    }
};

}  // namespace

int RunSetRate(const QStringList& arguments, SignalWatcher& stops)
{
    return SetRateCommand::run(arguments, stops);
}

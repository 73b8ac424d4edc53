// veltra8-cli: the VELTRA8 logger from a terminal, a script or a station
// without a desktop, on the same core as the windows.
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/language.h"
#include "cli/output.h"
#include "platform/signal_watcher.h"
#include "platform/application.h"
#include "platform/formats.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

class Main {
    Q_DECLARE_TR_FUNCTIONS(Main)
public:
    static int run(const QStringList& arguments, SignalWatcher& stops)
    {
        const QString command = arguments.value(1);
        const QStringList rest = arguments.mid(2);
        if (command.isEmpty())
            throw CliFailure(Exit::Usage, tr("no command given (see 'veltra8-cli --help')"));
        if (command == QLatin1String("-h") || command == QLatin1String("--help")) {
            std::fputs(GeneralHelp().toLocal8Bit().constData(), stdout);
            return Exit::Ok;
        }
        if (command == QLatin1String("--version")) {
            std::printf("veltra8-cli %s\n", qPrintable(QCoreApplication::applicationVersion()));
            return Exit::Ok;
        }
        // These run no event loop: the signals end them as usual (and a
        // drawing program that plot starts inherits the usual handling).
        if (command == QLatin1String("ports") || command == QLatin1String("convert") || command == QLatin1String("plot")
            || command == QLatin1String("stats") || command == QLatin1String("report"))
            UnblockStopSignals();
        if (command == QLatin1String("ports"))
            return RunPorts(rest);
        if (command == QLatin1String("live"))
            return RunLive(rest, stops);
        if (command == QLatin1String("download"))
            return RunDownload(rest, stops);
        if (command == QLatin1String("set-clock"))
            return RunSetClock(rest, stops);
        if (command == QLatin1String("set-rate"))
            return RunSetRate(rest, stops);
        if (command == QLatin1String("convert"))
            return RunConvert(rest);
        if (command == QLatin1String("plot"))
            return RunPlot(rest);
        if (command == QLatin1String("stats"))
            return RunStats(rest);
        if (command == QLatin1String("report"))
            return RunReport(rest);
        throw CliFailure(Exit::Usage, tr("'%1' is not a command (see 'veltra8-cli --help')").arg(command));
    }
};

// The texts of Qt's command-line parser that show in the help and in usage
// errors. Debian's Qt translations leave most of them untranslated, so the
// client's own files carry them, under the parser's context.
[[maybe_unused]] constexpr const char* ParserTexts[] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Options:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Arguments:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown option '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown options: %1."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Missing value after '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unexpected value after '%1'."),
};

}  // namespace

int main(int argc, char** argv)
{
    // Before any thread exists, so the port's event thread never takes them.
    BlockStopSignals();
    // A reader that goes away is seen as EPIPE on the write, not as death.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltra8-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRA8_VERSION));
    InstallClientTranslations();
    // The table's texts are the windows' own, with the decimal comma.
    FormatSettings& formats = Formats();
    formats.DecimalSeparator = QLatin1Char(',');
    formats.ThousandSeparator = QLatin1Char('.');
    formats.LongTimeFormat = QStringLiteral("hh:mm:ss");
    formats.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    // Failures the port reports on its own go to standard error as one line.
    Application::SetExceptionDisplay([](const QString& text) { PrintError(text); });

    SignalWatcher stops;
    try {
        return Main::run(QCoreApplication::arguments(), stops);
    } catch (const CliFailure& e) {
        if (!e.Message.isEmpty())
            PrintError(e.Message);
        return e.Code;
    } catch (const std::exception& e) {
        PrintError(Main::tr("internal error: %1").arg(QString::fromLocal8Bit(e.what())));
        return Exit::Internal;
    }
}

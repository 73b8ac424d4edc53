#include "cli/command_line.h"

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/line_protocol.h"
#include "platform/errors.h"
#include "serial/ports.h"

#include <algorithm>
#include <cstdio>

CommandLine::CommandLine(const QString& command, const QString& usage, const QString& about)
    : command_(command), usage_(usage), about_(about)
{
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    add(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help.")));
}

void CommandLine::add(const QCommandLineOption& option)
{
    defined_ += option.names();
    parser_.addOption(option);
}

void CommandLine::AddPort()
{
    add(QCommandLineOption({QStringLiteral("p"), QStringLiteral("port")},
        tr("The logger's serial port (default: $VELTRA8_PORT, else the only port 'veltra8-cli ports' lists)."),
        tr("PORT")));
}

void CommandLine::AddOutput(const QString& description, const QString& valueName)
{
    add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, description, valueName));
}

void CommandLine::AddFormat(const QStringList& formats, const QString& description)
{
    formats_ = formats;
    add(QCommandLineOption({QStringLiteral("f"), QStringLiteral("format")}, description, formats.join(u'|')));
}

void CommandLine::AddTimeout(const QString& description)
{
    add(QCommandLineOption(QStringLiteral("timeout"), description, tr("S"), QStringLiteral("10")));
}

void CommandLine::AddLoggerName(const QString& fallback)
{
    add(QCommandLineOption(QStringLiteral("name"),
        tr("The logger's name in -f influx records (its 'logger' tag; default: %1).").arg(fallback), tr("NAME")));
}

QByteArray CommandLine::LoggerTag(const QString& fallback) const
{
    const QString name = IsSet(QStringLiteral("name")) ? Value(QStringLiteral("name")) : fallback;
    const std::optional<QByteArray> tag = LoggerTagValue(name);
    if (!tag)
        UsageFailure(tr("--name '%1': not a name for the logger tag; give one without control characters or backslashes").arg(name));
    return *tag;
}

void CommandLine::AddFlag(const QStringList& names, const QString& description)
{
    add(QCommandLineOption(names, description));
}

void CommandLine::AddValue(const QStringList& names, const QString& description, const QString& valueName)
{
    add(QCommandLineOption(names, description, valueName));
}

void CommandLine::AddPositional(const QString& name, const QString& description, bool many)
{
    parser_.addPositionalArgument(many ? name + QStringLiteral("...") : name, description);
    ++positionals_;
    manyPositionals_ = manyPositionals_ || many;
}

void CommandLine::UsageFailure(const QString& message) const
{
    throw CliFailure(Exit::Usage, tr("%1 (see 'veltra8-cli %2 --help')").arg(message, command_));
}

bool CommandLine::Parse(const QStringList& arguments)
{
    if (!parser_.parse(QStringList{QStringLiteral("veltra8-cli")} + arguments))
        UsageFailure(parser_.errorText());
    if (parser_.isSet(QStringLiteral("help"))) {
        // Qt's own text after its usage line: the options and arguments,
        // which it wraps to the width of a terminal. Paragraphs one blank
        // line apart, and the last line ended, whatever a translation holds.
        const QString qtHelp = parser_.helpText();
        const qsizetype options = qtHelp.indexOf(QLatin1String("\n\n"));
        const QString text = tr("Usage: veltra8-cli %1").arg(usage_) + QStringLiteral("\n\n") + about_.trimmed() + QStringLiteral("\n\n")
            + (options < 0 ? QString() : qtHelp.mid(options).trimmed());
        std::fputs((text.trimmed() + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        return true;
    }
    if (!manyPositionals_ && parser_.positionalArguments().size() > positionals_)
        UsageFailure(tr("unexpected argument '%1'").arg(parser_.positionalArguments().value(positionals_)));
    if (!formats_.isEmpty() && IsSet(QStringLiteral("format")) && !formats_.contains(Value(QStringLiteral("format"))))
        UsageFailure(tr("-f %1: not a format of this command; use one of %2").arg(Value(QStringLiteral("format")), formats_.join(QStringLiteral(", "))));
    if (IsSet(QStringLiteral("timeout")))
        Timeout();
    return false;
}

QString CommandLine::Format(const QString& fallback) const
{
    return IsSet(QStringLiteral("format")) ? Value(QStringLiteral("format")) : fallback;
}

double CommandLine::Timeout() const
{
    bool ok = false;
    const double seconds = Value(QStringLiteral("timeout")).toDouble(&ok);
    // A day is far beyond any logger's pause; the bound keeps the timer's
    // milliseconds in range.
    if (!ok || !(seconds > 0) || seconds > 86400)
        UsageFailure(tr("--timeout %1: not a number of seconds above 0").arg(Value(QStringLiteral("timeout"))));
    return seconds;
}

QString CommandLine::Port() const
{
    if (IsSet(QStringLiteral("port")))
        return Value(QStringLiteral("port"));
    const QString fromEnvironment = qEnvironmentVariable("VELTRA8_PORT");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QStringList ports;
    try {
        ListSerialPorts(ports);
    } catch (const Exception& e) {
        throw CliFailure(Exit::Port, tr("cannot list the serial ports: %1; name the port with -p").arg(e.Message()));
    }
    if (ports.size() == 1)
        return ports.first();
    if (ports.isEmpty())
        throw CliFailure(Exit::Usage, tr("no serial port found; connect the logger, or name its port with -p PORT"));
    throw CliFailure(Exit::Usage, tr("several serial ports (%1); choose one with -p PORT").arg(ports.join(QStringLiteral(", "))));
}

QString GeneralHelp()
{
    qsizetype width = 0;
    for (const CliCommand& command : CliCommands())
        width = std::max(width, qsizetype(qstrlen(command.Name)));
    QString commands;
    for (const CliCommand& command : CliCommands())
        commands += QStringLiteral("  %1   %2\n").arg(QLatin1String(command.Name), -int(width)).arg(CommandLine::tr(command.Summary));
    const QString head = CommandLine::tr(
        "Usage: veltra8-cli COMMAND [options]\n"
        "\n"
        "The VELTRA8 temperature data logger from a terminal or a script: live\n"
        "readings, downloads of its memory, its clock and its sampling interval; and\n"
        "its saved files, merged into one series and drawn.\n"
        "Data go to standard output (or -o FILE), messages to standard error.\n"
        "\n"
        "Commands:\n");
    const QString tail = CommandLine::tr(
        "\n"
        "'veltra8-cli COMMAND --help' describes each command and its options.\n"
        "\n"
        "Options:\n"
        "  -h, --help  Show this help.\n"
        "  --version   Show the program's version.\n"
        "\n"
        "Environment:\n"
        "  VELTRA8_PORT       the port to use when -p is not given\n"
        "  VELTRA8_PORTS_DIR  the folder of virtual ports (links to ptys)\n"
        "\n"
        "Exit codes:\n"
        "  0  success\n"
        "  1  internal error; plot: the drawing program missing or failing\n"
        "  2  usage: a bad option or value, no port or several, refused without --yes\n"
        "  3  port: cannot open, busy, no permission, device vanished\n"
        "  4  no answer: no live frame, or no byte during a transfer, within --timeout\n"
        "  5  data: confirmation failed, a download or file that cannot be decoded\n"
        "  6  output: cannot write\n"
        "  7  judged: out of limits (stats, report: an alarm tripped, or a limited channel\n     without readings)\n"
        "  130, 143  ended by Ctrl-C or SIGTERM (live ends with 0)\n");
    return head + commands + tail;
}

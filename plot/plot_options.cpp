#include "plot/plot_options.h"

#include "cli/plot_rules.h"

#include <QCommandLineParser>

#include <optional>

namespace {

// A year in minutes: no logger samples more rarely.
constexpr qint64 LongestInterval = 366 * 24 * 60;

PlotFailure usage(const QString& message)
{
    return PlotFailure{PlotExit::Usage, message};
}

}  // namespace

std::variant<PlotRequest, PlotHelp, PlotFailure> ParsePlotArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        PlotText::tr("Draws the temperatures of veltra8-cli's CSV (from FILE or standard input) on a time axis."));
    QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, PlotText::tr("Show this help."));
    QCommandLineOption output(QStringLiteral("o"),
        PlotText::tr("Write the picture to OUT; its ending, .png, .svg or .pdf, chooses the kind."),
        QStringLiteral("OUT"));
    QCommandLineOption channels(QStringLiteral("channels"), PlotText::tr("Draw these channels only, as in 1,2,5."),
        QStringLiteral("LIST"));
    QCommandLineOption from(QStringLiteral("from"), PlotText::tr("Start the time axis at TIME (YYYY-MM-DDThh:mm:ss)."),
        QStringLiteral("TIME"));
    QCommandLineOption to(QStringLiteral("to"), PlotText::tr("End the time axis at TIME (YYYY-MM-DDThh:mm:ss)."),
        QStringLiteral("TIME"));
    QCommandLineOption size(QStringLiteral("size"),
        PlotText::tr("Picture size in pixels (SVG units; PDF at 96 dpi); default 1200x675."), QStringLiteral("WxH"));
    QCommandLineOption title(QStringLiteral("title"), PlotText::tr("Title over the chart."), QStringLiteral("TEXT"));
    QCommandLineOption interval(QStringLiteral("interval"),
        PlotText::tr("The sampling interval, when known; lines break where samples are more than 1.5 intervals "
                     "apart. By default the most common step between samples."),
        QStringLiteral("MINUTES"));
    // veltra8-cli pipes the files it merged; its user knows them, not a pipe.
    QCommandLineOption inputName(QStringLiteral("input-name"), QString(), QStringLiteral("NAME"));
    inputName.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, output, channels, from, to, size, title, interval, inputName});
    parser.addPositionalArgument(QStringLiteral("FILE"),
        PlotText::tr("The CSV to plot; standard input when left out or \"-\"."), QStringLiteral("[FILE]"));

    const QString seeHelp = PlotText::tr("see veltra8-cli plot --help");
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString dashes = unknown.front().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            const QString option = dashes + unknown.front();
            return usage(PlotText::tr("unknown option %1 (%2)").arg(option, seeHelp));
        }
        QString error = parser.errorText();
        if (error.endsWith(QLatin1Char('.')))
            error.chop(1);
        return usage(PlotText::tr("%1 (%2)").arg(error, seeHelp));
    }
    if (parser.isSet(help))
        return PlotHelp{parser.helpText()};

    PlotRequest request;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usage(PlotText::tr("one CSV at a time, not %1 (merge them first with veltra8-cli convert)")
                         .arg(files.size()));
    if (!files.isEmpty() && files.front() != QLatin1String("-"))
        request.input = files.front();
    request.inputName = parser.value(inputName);

    request.output = parser.value(output);
    if (request.output.isEmpty())
        return usage(PlotText::tr("no picture file given (add -o OUT, OUT ending in .png, .svg or .pdf)"));
    std::optional<TTimePlot::Format> format = TTimePlot::FormatOf(request.output);
    if (!format)
        return usage(PlotText::tr("%1: the name must end in .png, .svg or .pdf (rename it, as in plot.png)")
                         .arg(request.output));
    request.format = *format;

    if (parser.isSet(channels)) {
        std::optional<QList<int>> list = PlotRules::Channels(parser.value(channels));
        if (!list)
            return usage(PlotText::tr("--channels %1: channels are 1 to 8, separated by commas (as in 1,2,5)")
                             .arg(parser.value(channels)));
        request.plot.channels = *list;
    }
    for (const QCommandLineOption* end : {&from, &to}) {
        if (!parser.isSet(*end))
            continue;
        const QString name = end->names().front();
        std::optional<qint64> at = PlotRules::Time(parser.value(*end));
        if (!at)
            return usage(PlotText::tr("--%1 %2: not a date and time (write it as YYYY-MM-DDThh:mm:ss, as in "
                                      "2024-03-01T08:00:00)")
                             .arg(name, parser.value(*end)));
        (end == &from ? request.plot.from : request.plot.to) = *at;
    }
    if (request.plot.from && request.plot.to && !PlotRules::SpanInOrder(*request.plot.from, *request.plot.to))
        return usage(PlotText::tr("--from %1 is not before --to %2 (swap them, or widen the span)")
                         .arg(parser.value(from), parser.value(to)));
    if (parser.isSet(size)) {
        std::optional<QSize> pixels = PlotRules::Size(parser.value(size));
        if (!pixels)
            return usage(PlotText::tr("--size %1: give WIDTHxHEIGHT in pixels, each %2 to %3 (as in 1600x900)")
                             .arg(parser.value(size), QString::number(PlotRules::SmallestSide), QString::number(PlotRules::LargestSide)));
        request.plot.size = *pixels;
    }
    if (parser.isSet(title))
        request.plot.title = parser.value(title);
    if (parser.isSet(interval)) {
        bool ok = false;
        qint64 minutes = parser.value(interval).toLongLong(&ok);
        if (!ok || minutes < 1 || minutes > LongestInterval)
            return usage(PlotText::tr("--interval %1: give the sampling interval in whole minutes, 1 to %2 (as in 15)")
                             .arg(parser.value(interval), QString::number(LongestInterval)));
        request.interval = minutes * 60;
    }
    return request;
}

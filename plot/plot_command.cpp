#include "plot/plot_command.h"

#include "plot/plot_options.h"
#include "plot/plot_samples.h"
#include "data/calendar.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

int exitCode(PlotExit code)
{
    return static_cast<int>(code);
}

int stop(const PlotFailure& failure)
{
    ReportPlotMessage(failure.message);
    return exitCode(failure.code);
}

std::variant<SampleCsv, PlotFailure> readInput(const PlotRequest& request, QString& name)
{
    QFile file;
    bool opened;
    if (request.input.isEmpty()) {
        name = request.inputName.isEmpty() ? PlotText::tr("standard input") : request.inputName;
        opened = file.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered);
    } else {
        name = request.input;
        file.setFileName(request.input);
        opened = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!opened)
        return PlotFailure{PlotExit::Data,
            PlotText::tr("%1: cannot be opened: %2 (check the name and that you may read it)")
                .arg(name, file.errorString())};
    return ReadSampleCsv(file, name);
}

// Something left to draw among rows with a time, or why not.
std::optional<PlotFailure> nothingToPlot(const SampleCsv& csv, const PlotRequest& request, const QString& name,
    const TTimePlot& plot)
{
    const std::vector<qint64>& times = csv.samples.times;
    const qint64 first = *std::min_element(times.begin(), times.end());
    const qint64 last = *std::max_element(times.begin(), times.end());
    const qint64 from = request.plot.from.value_or(first);
    const qint64 to = request.plot.to.value_or(last);
    if (std::none_of(times.begin(), times.end(), [&](qint64 t) { return t >= from && t <= to; }))
        return PlotFailure{PlotExit::Data,
            PlotText::tr("%1: no row in the span asked for (the rows run from %2 to %3; change --from or --to)")
                .arg(name, QString::fromLatin1(IsoTimeText(first)), QString::fromLatin1(IsoTimeText(last)))};
    if (plot.Channels().isEmpty())
        return PlotFailure{PlotExit::Data,
            PlotText::tr("%1: no temperature in the channels asked for (choose others with --channels)").arg(name)};
    return std::nullopt;
}

std::optional<PlotFailure> write(const TTimePlot& plot, const PlotRequest& request)
{
    const QString& out = request.output;
    const std::optional<TTimePlot::SaveFailure> failure = plot.SaveAs(out, request.format);
    if (!failure)
        return std::nullopt;
    switch (failure->step) {
    case TTimePlot::SaveFailure::Step::Open:
        return PlotFailure{PlotExit::Output,
            PlotText::tr("%1: cannot be written: %2 (choose a folder that exists and that you may write in)")
                .arg(out, failure->reason)};
    case TTimePlot::SaveFailure::Step::Draw:
        return PlotFailure{PlotExit::Output,
            PlotText::tr("%1: the picture could not be written: %2 (check the free space and try again)")
                .arg(out, failure->reason.isEmpty() ? PlotText::tr("drawing failed") : failure->reason)};
    case TTimePlot::SaveFailure::Step::Commit:
        break;
    }
    return PlotFailure{PlotExit::Output,
        PlotText::tr("%1: the picture could not be written: %2 (check the free space and the folder's "
                     "permissions)")
            .arg(out, failure->reason)};
}

}  // namespace

void ReportPlotMessage(const QString& message)
{
    QByteArray line = PlotText::tr("veltra8-cli plot: %1").arg(message).toUtf8();
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

int RunPlot(const QStringList& arguments)
{
    std::variant<PlotRequest, PlotHelp, PlotFailure> parsed = ParsePlotArguments(arguments);
    if (auto* failure = std::get_if<PlotFailure>(&parsed))
        return stop(*failure);
    if (auto* help = std::get_if<PlotHelp>(&parsed)) {
        QByteArray text = help->text.toUtf8();
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        return exitCode(PlotExit::Success);
    }
    PlotRequest& request = std::get<PlotRequest>(parsed);

    QString name;
    std::variant<SampleCsv, PlotFailure> read = readInput(request, name);
    if (auto* failure = std::get_if<PlotFailure>(&read))
        return stop(*failure);
    SampleCsv& csv = std::get<SampleCsv>(read);
    const size_t leftOut = csv.withoutTime + csv.impossibleTime;
    const QString leftOutText =
        PlotText::tr("rows left out of the plot: %1 (without a time: %2; with a date or time not on the calendar: %3)")
            .arg(leftOut)
            .arg(csv.withoutTime)
            .arg(csv.impossibleTime);
    if (csv.samples.times.empty() && leftOut == 0)
        return stop(PlotFailure{PlotExit::Data,
            PlotText::tr("%1: no rows, only the header (give the rows to plot)").arg(name)});
    if (csv.samples.times.empty())
        return stop(PlotFailure{PlotExit::Data,
            PlotText::tr("%1: no row with a time to plot; %2 (give rows whose time is set)").arg(name, leftOutText)});
    if (leftOut > 0)
        ReportPlotMessage(PlotText::tr("%1: %2").arg(name, leftOutText));

    csv.samples.interval = request.interval;
    TTimePlot plot(csv.samples, request.plot);
    if (std::optional<PlotFailure> failure = nothingToPlot(csv, request, name, plot))
        return stop(*failure);
    if (std::optional<PlotFailure> failure = write(plot, request))
        return stop(*failure);
    return exitCode(PlotExit::Success);
}

#include "cli/judgement_options.h"

#include "cli/exit_status.h"
#include "cli/plot_rules.h"

#include <algorithm>
#include <cmath>

void JudgementLine::AddLimits(CommandLine& line)
{
    line.AddValue({QStringLiteral("limit")},
        tr("Judge every channel against LOW..HIGH in °C (such as 2..8, ..30 or -20..), or one channel with chN:LOW..HIGH, "
           "which wins over the limit of every channel; repeat it for more channels. The limits are in range."),
        tr("LIMIT"));
    line.AddValue({QStringLiteral("delay")},
        tr("The time outside the limits at which a channel's alarm trips, such as 30s, 15m, 2h or 1d (default 0: at the "
           "first sample outside)."),
        tr("DURATION"));
    line.AddValue({QStringLiteral("mode")},
        tr("consecutive (the default): the delay counts one excursion at a time; cumulative: all the time outside on "
           "one side so far."),
        tr("MODE"));
}

void JudgementLine::AddSelection(CommandLine& line)
{
    line.AddValue({QStringLiteral("from")}, tr("Judge from TIME on, given as YYYY-MM-DDThh:mm:ss (default: the first sample)."), tr("TIME"));
    line.AddValue({QStringLiteral("to")}, tr("Judge up to TIME, given as YYYY-MM-DDThh:mm:ss (default: the last sample)."), tr("TIME"));
    line.AddValue({QStringLiteral("channels")},
        tr("The channels to report, such as 1,2,5 (default: every channel with readings or a limit)."), tr("LIST"));
    line.AddValue({QStringLiteral("activation-energy")},
        tr("The activation energy of the mean kinetic temperature in kJ/mol (default 83.144)."), tr("KJ_PER_MOL"));
}

JudgementOptions JudgementLine::Read(const CommandLine& line)
{
    JudgementOptions options;
    std::optional<Limits> every;
    std::array<std::optional<Limits>, 8> own;
    const QStringList limits = line.IsSet(QStringLiteral("limit")) ? line.Values(QStringLiteral("limit")) : QStringList();
    for (const QString& text : limits) {
        const std::optional<LimitText> limit = ReadLimitText(text);
        if (!limit)
            line.UsageFailure(tr("--limit %1: not LOW..HIGH or chN:LOW..HIGH with N from 1 to 8, bounds in °C with a dot and "
                                 "LOW not above HIGH, such as 2..8 or ch3:-20..-15")
                                  .arg(text));
        (limit->Channel ? own[size_t(limit->Channel - 1)] : every) = limit->Range;
    }
    for (size_t k = 0; k < 8; ++k)
        options.Limit[k] = own[k] ? own[k] : every;
    if (line.IsSet(QStringLiteral("delay"))) {
        const std::optional<qint64> delay = ReadDuration(line.Value(QStringLiteral("delay")));
        if (!delay)
            line.UsageFailure(tr("--delay %1: not a duration such as 30s, 15m, 2h or 1d").arg(line.Value(QStringLiteral("delay"))));
        options.Delay = *delay;
    }
    if (line.IsSet(QStringLiteral("mode"))) {
        const QString mode = line.Value(QStringLiteral("mode"));
        if (mode != QLatin1String("consecutive") && mode != QLatin1String("cumulative"))
            line.UsageFailure(tr("--mode %1: neither consecutive nor cumulative").arg(mode));
        options.Mode = mode == QLatin1String("cumulative") ? AlarmMode::Cumulative : AlarmMode::Consecutive;
    }
    if (line.IsSet(QStringLiteral("activation-energy"))) {
        const QString text = line.Value(QStringLiteral("activation-energy"));
        bool ok = false;
        options.ActivationEnergy = text.toDouble(&ok);
        if (!ok || !(options.ActivationEnergy > 0) || !std::isfinite(options.ActivationEnergy) || text.contains(u','))
            line.UsageFailure(tr("--activation-energy %1: not an energy above 0 in kJ/mol, such as 83.144").arg(text));
    }
    if (line.IsSet(QStringLiteral("channels"))) {
        const std::optional<QList<int>> channels = PlotRules::Channels(line.Value(QStringLiteral("channels")));
        if (!channels)
            line.UsageFailure(tr("--channels %1: not a list of different channels 1 to 8, such as 1,2,5").arg(line.Value(QStringLiteral("channels"))));
        options.Channels.assign(channels->begin(), channels->end());
    }
    return options;
}

std::array<bool, 8> NamedChannels(const CommandLine& line)
{
    std::array<bool, 8> named{};
    if (line.IsSet(QStringLiteral("channels")))
        for (int channel : PlotRules::Channels(line.Value(QStringLiteral("channels"))).value_or(QList<int>()))
            named[size_t(channel - 1)] = true;
    if (line.IsSet(QStringLiteral("limit")))
        for (const QString& text : line.Values(QStringLiteral("limit")))
            if (const std::optional<LimitText> limit = ReadLimitText(text); limit && limit->Channel)
                named[size_t(limit->Channel - 1)] = true;
    return named;
}

RowSelection ReadSelection(const CommandLine& line)
{
    RowSelection selection;
    for (const char* name : {"from", "to"}) {
        const QString option = QString::fromLatin1(name);
        if (!line.IsSet(option))
            continue;
        const QString text = line.Value(option);
        const std::optional<qint64> time = PlotRules::Time(text);
        if (!time)
            line.UsageFailure(JudgementLine::tr("--%1 %2: not a date and time YYYY-MM-DDThh:mm:ss").arg(option, text));
        (option == QLatin1String("from") ? selection.From : selection.To) = *time;
    }
    if (selection.From && selection.To && *selection.From > *selection.To)
        line.UsageFailure(JudgementLine::tr("--from %1 is after --to %2").arg(line.Value(QStringLiteral("from")), line.Value(QStringLiteral("to"))));
    return selection;
}

SeriesJudgement JudgeSeries(const SeriesFiles& files, const MergedSeries& merged, const RowSelection& selection,
    const JudgementOptions& options, const std::array<bool, 8>& named, const QStringList& paths)
{
    // Each file's own rate; a file too short to show one takes the rate the
    // others agree on.
    const qint64 common = files.CommonInterval();
    std::vector<qint64> intervals;
    for (size_t f = 0; f < files.Files().size(); ++f) {
        const qint64 own = files.Interval(f);
        intervals.push_back(own ? own : common);
    }
    JudgementOptions all = options;
    all.Channels = {1, 2, 3, 4, 5, 6, 7, 8};
    SeriesJudge judge(all);
    // Rows without a time count when they lie among the rows selected, or
    // before or after them where the selection is open.
    qint64 untimed = 0;
    bool started = false;
    for (const RowRef& ref : merged.Rows) {
        const SeriesFile& file = files.Files()[ref.File];
        const SeriesRow& row = file.Rows[ref.Row];
        if (row.Kind != StampKind::Real) {
            ++untimed;
            continue;
        }
        if (selection.From && row.Seconds < *selection.From) {
            untimed = 0;
            continue;
        }
        if (selection.To && row.Seconds > *selection.To)
            break;
        if (started || !selection.From)
            for (; untimed > 0; --untimed)
                judge.AddWithoutTime();
        untimed = 0;
        started = true;
        judge.Add(row.Seconds, intervals[ref.File], RowTemperatures(row, file.Form));
    }
    if (!selection.To)
        for (; untimed > 0; --untimed)
            judge.AddWithoutTime();
    SeriesJudgement judgement = judge.Finish();
    if (judgement.Rows == 0)
        throw CliFailure(Exit::Data,
            selection.From || selection.To
                ? JudgementLine::tr("%1: no row with a real date and time between --from and --to; nothing to judge").arg(paths.join(QStringLiteral(", ")))
                : JudgementLine::tr("%1: no row with a real date and time; nothing to judge").arg(paths.join(QStringLiteral(", "))));
    // The channels asked for; by default those with readings or a limit of
    // their own.
    std::vector<ChannelStatistics> kept;
    for (int channel : options.Channels.empty() ? all.Channels : options.Channels) {
        ChannelStatistics& c = judgement.Channels[size_t(channel - 1)];
        if (c.Count > 0 || named[size_t(channel - 1)])
            kept.push_back(std::move(c));
    }
    judgement.Channels = std::move(kept);
    std::erase_if(judgement.Excursions, [&](const Excursion& e) {
        return std::none_of(judgement.Channels.begin(), judgement.Channels.end(), [&](const ChannelStatistics& c) { return c.Channel == e.Channel; });
    });
    return judgement;
}

QString DurationText(qint64 seconds)
{
    const qint64 d = seconds / 86400, h = seconds / 3600 % 24, m = seconds / 60 % 60, s = seconds % 60;
    QStringList parts;
    if (d)
        parts << QStringLiteral("%1d").arg(d);
    if (h)
        parts << QStringLiteral("%1h").arg(h);
    if (m)
        parts << QStringLiteral("%1m").arg(m);
    if (s || parts.isEmpty())
        parts << QStringLiteral("%1s").arg(s);
    return parts.join(u' ');
}

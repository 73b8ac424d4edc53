#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/judgement_options.h"
#include "cli/output.h"
#include "cli/series_files.h"

#include <cmath>

namespace {

QByteArray temperature(double value)
{
    if (!std::isfinite(value))
        return "null";
    const double rounded = std::round(value * 100) / 100;
    return QByteArray::number(rounded == 0 ? 0.0 : rounded, 'f', 2);
}

QByteArray share(const ChannelStatistics& c)
{
    if (!c.Judged || c.SecondsWithData() == 0)
        return "null";
    return QByteArray::number(double(c.SecondsInRange) / double(c.SecondsWithData()), 'f', 4);
}

QByteArray bound(const ChannelStatistics& c, bool high)
{
    if (!c.Judged || !(high ? c.Judged->HasHigh() : c.Judged->HasLow()))
        return "null";
    return temperature(high ? c.Judged->High : c.Judged->Low);
}

QByteArray quoted(qint64 time)
{
    return '"' + IsoTimeText(time) + '"';
}

QByteArray sideName(Side side)
{
    return side == Side::High ? "high" : "low";
}

QByteArray json(const SeriesJudgement& j)
{
    QByteArray out = "{\"from\":" + quoted(j.From) + ",\"to\":" + quoted(j.To) + ",\"rows\":" + QByteArray::number(j.Rows)
        + ",\"rows_without_time\":" + QByteArray::number(j.RowsWithoutTime) + ",\"gaps\":[";
    for (size_t i = 0; i < j.Gaps.size(); ++i)
        out += (i ? "," : "") + QByteArray("{\"from\":") + quoted(j.Gaps[i].From) + ",\"to\":" + quoted(j.Gaps[i].To) + '}';
    out += "],\"channels\":[";
    for (size_t i = 0; i < j.Channels.size(); ++i) {
        const ChannelStatistics& c = j.Channels[i];
        const bool any = c.Count > 0;
        out += (i ? "," : "") + QByteArray("{\"channel\":") + QByteArray::number(c.Channel) + ",\"count\":" + QByteArray::number(c.Count)
            + ",\"first\":" + (any ? quoted(c.First) : "null") + ",\"last\":" + (any ? quoted(c.Last) : "null")
            + ",\"min\":" + (any ? temperature(c.Min) : "null") + ",\"min_time\":" + (any ? quoted(c.MinTime) : "null")
            + ",\"max\":" + (any ? temperature(c.Max) : "null") + ",\"max_time\":" + (any ? quoted(c.MaxTime) : "null")
            + ",\"mean\":" + temperature(c.Mean) + ",\"sd\":" + temperature(c.Sd) + ",\"mkt\":" + temperature(c.Mkt)
            + ",\"limit_low\":" + bound(c, false) + ",\"limit_high\":" + bound(c, true);
        if (c.Judged)
            out += ",\"seconds_above\":" + QByteArray::number(c.SecondsAbove) + ",\"seconds_below\":" + QByteArray::number(c.SecondsBelow)
                + ",\"seconds_in_range\":" + QByteArray::number(c.SecondsInRange);
        else
            out += ",\"seconds_above\":null,\"seconds_below\":null,\"seconds_in_range\":null";
        out += ",\"share_in_range\":" + share(c) + ",\"excursions\":" + QByteArray::number(c.Excursions)
            + ",\"longest_excursion_seconds\":" + QByteArray::number(c.LongestExcursion) + ",\"alarms\":[";
        for (size_t a = 0; a < c.Alarms.size(); ++a)
            out += (a ? "," : "") + QByteArray("{\"side\":\"") + sideName(c.Alarms[a].Where) + "\",\"time\":" + quoted(c.Alarms[a].Time) + '}';
        out += "],\"pass\":" + QByteArray(!c.Judged ? "null" : c.Passes() ? "true" : "false") + '}';
    }
    out += "],\"excursions\":[";
    for (size_t i = 0; i < j.Excursions.size(); ++i) {
        const Excursion& e = j.Excursions[i];
        out += (i ? "," : "") + QByteArray("{\"channel\":") + QByteArray::number(e.Channel) + ",\"side\":\"" + sideName(e.Where)
            + "\",\"start\":" + quoted(e.Start) + ",\"end\":" + quoted(e.End) + ",\"seconds\":" + QByteArray::number(e.Seconds())
            + ",\"peak\":" + temperature(e.Peak) + ",\"peak_time\":" + quoted(e.PeakTime) + '}';
    }
    return out + "]}\n";
}

// RFC 4180 as `convert` writes it: CR LF, nothing quoted, since no field
// holds a comma; an empty field for what JSON calls null.
QByteArray csv(const SeriesJudgement& j)
{
    QByteArray out = "channel,count,first,last,min,min_time,max,max_time,mean,sd,mkt,limit_low,limit_high,seconds_above,"
                     "seconds_below,seconds_in_range,share_in_range,excursions,longest_excursion_seconds,alarm_low,alarm_high,pass\r\n";
    const auto field = [](const QByteArray& value) { return value == "null" ? QByteArray() : value; };
    for (const ChannelStatistics& c : j.Channels) {
        const bool any = c.Count > 0;
        QByteArray alarms[2];
        for (const Alarm& a : c.Alarms)
            alarms[a.Where == Side::High] = IsoTimeText(a.Time);
        const auto time = [&](qint64 t) { return any ? IsoTimeText(t) : QByteArray(); };
        const auto seconds = [&](qint64 s) { return c.Judged ? QByteArray::number(s) : QByteArray(); };
        out += QByteArray::number(c.Channel) + ',' + QByteArray::number(c.Count) + ',' + time(c.First) + ',' + time(c.Last) + ','
            + (any ? temperature(c.Min) : "") + ',' + time(c.MinTime) + ',' + (any ? temperature(c.Max) : "") + ',' + time(c.MaxTime)
            + ',' + field(temperature(c.Mean)) + ',' + field(temperature(c.Sd)) + ',' + field(temperature(c.Mkt)) + ','
            + field(bound(c, false)) + ',' + field(bound(c, true)) + ',' + seconds(c.SecondsAbove) + ',' + seconds(c.SecondsBelow)
            + ',' + seconds(c.SecondsInRange) + ',' + field(share(c)) + ',' + QByteArray::number(c.Excursions) + ','
            + QByteArray::number(c.LongestExcursion) + ',' + alarms[0] + ',' + alarms[1] + ','
            + (!c.Judged ? "" : c.Passes() ? "true" : "false") + "\r\n";
    }
    return out;
}

class StatsCommand {
    Q_DECLARE_TR_FUNCTIONS(StatsCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("stats"),
            QStringLiteral("stats FILE... [--from TIME] [--to TIME] [--channels 1,2,5] [--limit LIMIT]... [--delay D] [--mode M] "
                           "[--activation-energy K] [-f text|csv|json] [-o FILE]"),
            tr("Merges saved data files and this program's CSV as 'convert' does and judges\n"
               "them: per channel the count of samples, minimum and maximum with their\n"
               "times, the time-weighted mean, the standard deviation, the mean kinetic\n"
               "temperature (MKT) and, against --limit, the time above, below and in range,\n"
               "the excursions and whether the channel's alarm tripped. Then the\n"
               "excursions and the gaps (samples more than 1.5 intervals apart).\n"
               "\n"
               "Each sample stands for its file's sampling interval. A gap counts as no\n"
               "time and ends an excursion. Rows without a real date and time are counted\n"
               "and never judged. Exit code 7 when any channel's alarm tripped, or a\n"
               "channel with a limit has no reading; 0 when every judged channel passes.\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data files and CSV files to judge."), true);
        JudgementLine::AddSelection(line);
        JudgementLine::AddLimits(line);
        line.AddFormat({QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json")},
            tr("Output format: text (the default), csv (one row per channel) or json."));
        line.AddOutput(tr("Write to FILE instead of standard output, replacing it only once all of it is written."));
        if (line.Parse(arguments))
            return Exit::Ok;
        if (line.Positional().isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data files to judge"));
        const QString format = line.Format(QStringLiteral("text"));
        const JudgementOptions options = JudgementLine::Read(line);
        const RowSelection selection = ReadSelection(line);

        const SeriesFiles files(line.Positional());
        const MergedSeries merged = files.Merge();
        const SeriesJudgement judgement = JudgeSeries(files, merged, selection, options, NamedChannels(line), line.Positional());
        WriteResult(line.OutputPath(), format == QLatin1String("json") ? json(judgement) : format == QLatin1String("csv") ? csv(judgement) : text(judgement));
        for (const ChannelStatistics& c : judgement.Channels)
            if (c.Judged && c.Count == 0)
                PrintError(tr("CH%1 has no reading in the rows judged, so it cannot pass; check the files and --from/--to").arg(c.Channel));
        return judgement.AllPass() ? Exit::Ok : Exit::Judged;
    }

private:
    static QString limitsText(const ChannelStatistics& c)
    {
        if (!c.Judged)
            return QStringLiteral("-");
        return (c.Judged->HasLow() ? QString::fromLatin1(temperature(c.Judged->Low)) : QString()) + QStringLiteral("..")
            + (c.Judged->HasHigh() ? QString::fromLatin1(temperature(c.Judged->High)) : QString());
    }

    static QString verdict(const ChannelStatistics& c)
    {
        if (!c.Judged)
            return QStringLiteral("-");
        if (c.Count == 0)
            return tr("NO DATA");
        return c.Passes() ? tr("PASS") : tr("FAIL");
    }

    static QString sideText(Side side) { return side == Side::High ? tr("high") : tr("low"); }

    static QByteArray text(const SeriesJudgement& j)
    {
        QStringList lines;
        lines << tr("Period %1 to %2: %3 rows, %4 without a real time, %n gap(s)", nullptr, int(j.Gaps.size()))
                     .arg(QString::fromLatin1(IsoTimeText(j.From)), QString::fromLatin1(IsoTimeText(j.To)))
                     .arg(j.Rows)
                     .arg(j.RowsWithoutTime);
        lines << QString();
        const QStringList heads{tr("Channel"), tr("Count"), tr("Min"), tr("Max"), tr("Mean"), tr("SD"), tr("MKT"), tr("Limits"),
            tr("Above"), tr("Below"), tr("In range"), tr("Excursions"), tr("Verdict")};
        std::vector<QStringList> rows{heads};
        for (const ChannelStatistics& c : j.Channels) {
            const auto t = [&](double v) { return c.Count ? QString::fromLatin1(temperature(v)) : QStringLiteral("-"); };
            const auto seconds = [&](qint64 s) { return c.Judged ? DurationText(s) : QStringLiteral("-"); };
            const QByteArray inRange = share(c);
            rows.push_back({QStringLiteral("CH%1").arg(c.Channel), QString::number(c.Count), t(c.Min), t(c.Max), t(c.Mean),
                c.Count > 1 ? t(c.Sd) : QStringLiteral("-"), t(c.Mkt), limitsText(c), seconds(c.SecondsAbove), seconds(c.SecondsBelow),
                inRange == "null" ? QStringLiteral("-") : QString::number(inRange.toDouble() * 100, 'f', 2) + u'%',
                c.Judged ? QString::number(c.Excursions) : QStringLiteral("-"), verdict(c)});
        }
        std::vector<qsizetype> widths(heads.size(), 0);
        for (const QStringList& row : rows)
            for (qsizetype k = 0; k < row.size(); ++k)
                widths[size_t(k)] = std::max(widths[size_t(k)], row[k].size());
        for (const QStringList& row : rows) {
            QString l = row[0].leftJustified(widths[0]);
            for (qsizetype k = 1; k < row.size(); ++k)
                l += QStringLiteral("  ") + row[k].rightJustified(widths[size_t(k)]);
            lines << l;
        }
        if (!j.Excursions.empty()) {
            lines << QString() << tr("Excursions:");
            for (const Excursion& e : j.Excursions)
                lines << tr("  CH%1 %2 from %3 to %4 (%5), peak %6 at %7")
                             .arg(e.Channel)
                             .arg(sideText(e.Where), QString::fromLatin1(IsoTimeText(e.Start)), QString::fromLatin1(IsoTimeText(e.End)),
                                 DurationText(e.Seconds()), QString::fromLatin1(temperature(e.Peak)), QString::fromLatin1(IsoTimeText(e.PeakTime)));
        }
        for (const ChannelStatistics& c : j.Channels)
            for (const Alarm& a : c.Alarms)
                lines << tr("Alarm: CH%1 %2 at %3").arg(c.Channel).arg(sideText(a.Where), QString::fromLatin1(IsoTimeText(a.Time)));
        if (!j.Gaps.empty()) {
            lines << QString() << tr("Gaps:");
            for (const Gap& g : j.Gaps)
                lines << tr("  from %1 to %2 (%3)").arg(QString::fromLatin1(IsoTimeText(g.From)), QString::fromLatin1(IsoTimeText(g.To)), DurationText(g.To - g.From));
        }
        return (lines.join(u'\n') + u'\n').toUtf8();
    }
};

}  // namespace

int RunStats(const QStringList& arguments)
{
    return StatsCommand::run(arguments);
}

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/drawing_program.h"
#include "cli/exit_status.h"
#include "cli/judgement_options.h"
#include "cli/series_files.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <cmath>
#include <set>

namespace {

// The report is judged here and drawn by the drawing program: this side
// writes every text of the page, in the user's language, and the chart's
// marks as numbers into a page description; the drawing program lays them
// out on A4 with the chart (--report PAGE in veltra8-plot).
class ReportCommand {
    Q_DECLARE_TR_FUNCTIONS(ReportCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("report"),
            QStringLiteral("report FILE... -o OUT.pdf [--from TIME] [--to TIME] [--channels 1,2,5] [--limit LIMIT]... [--delay D] "
                           "[--mode M] [--activation-energy K] [--title TEXT]"),
            tr("Judges saved data files as 'stats' does and writes a one-page A4 PDF to be\n"
               "signed: a heading with the files, the period and the sampling intervals, a\n"
               "verdict per judged channel with its limits, minimum, maximum, mean, MKT and\n"
               "time out of range, the chart with the limits drawn and the excursions\n"
               "shaded, the excursions and gaps (on more pages when they need them) and an\n"
               "empty signature block. Its text can be searched and copied. The PDF is\n"
               "written whether the channels pass or not; the exit code says which, as\n"
               "for 'stats'.\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data files and CSV files to judge."), true);
        line.AddOutput(tr("The PDF to write; an existing one is replaced only by a whole report."), tr("OUT"));
        JudgementLine::AddSelection(line);
        JudgementLine::AddLimits(line);
        line.AddValue({QStringLiteral("title")}, tr("The report's title (default: Temperature report)."), tr("TEXT"));
        if (line.Parse(arguments))
            return Exit::Ok;
        if (line.Positional().isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data files to report on"));
        const QString out = line.OutputPath();
        if (out.isEmpty() || QFileInfo(out).suffix().toLower() != QLatin1String("pdf"))
            line.UsageFailure(tr("-o OUT.pdf missing: name the PDF to write, ending in .pdf"));
        const JudgementOptions options = JudgementLine::Read(line);
        const RowSelection selection = ReadSelection(line);
        const QString program = DrawingProgram();

        const QStringList paths = line.Positional();
        const SeriesFiles files(paths);
        const MergedSeries merged = files.Merge();
        const SeriesJudgement judgement = JudgeSeries(files, merged, selection, options, NamedChannels(line), paths);

        QTemporaryFile page;
        if (!page.open() || page.write(QJsonDocument(describe(line, files, judgement)).toJson(QJsonDocument::Compact)) < 0 || !page.flush())
            throw CliFailure(Exit::Output, tr("%1: cannot write the report's page description: %2 (check the free space in the temporary folder)")
                                               .arg(page.fileName(), page.errorString()));
        QStringList drawing{QStringLiteral("--report"), page.fileName(), QStringLiteral("-o"), out, QStringLiteral("--from"),
            QString::fromLatin1(IsoTimeText(judgement.From)), QStringLiteral("--to"), QString::fromLatin1(IsoTimeText(judgement.To)),
            QStringLiteral("--input-name"), paths.size() == 1 ? paths.front() : tr("the %1 files merged").arg(paths.size())};
        QStringList channels;
        for (const ChannelStatistics& c : judgement.Channels)
            if (c.Count > 0)
                channels << QString::number(c.Channel);
        if (!channels.isEmpty())
            drawing << QStringLiteral("--channels") << channels.join(u',');
        const qint64 interval = files.CommonInterval();
        if (interval > 0 && interval % 60 == 0)
            drawing << QStringLiteral("--interval") << QString::number(interval / 60);
        const int drawn = RunDrawing(program, drawing, files, merged);
        if (drawn != Exit::Ok)
            return drawn;
        return judgement.AllPass() ? Exit::Ok : Exit::Judged;
    }

private:
    static QString t(double value) { return QString::number(std::round(value * 100) / 100, 'f', 2); }
    static QString time(qint64 seconds) { return QString::fromLatin1(IsoTimeText(seconds)).replace(u'T', u' '); }
    static QString side(Side s) { return s == Side::High ? tr("high") : tr("low"); }

    static QString limits(const ChannelStatistics& c)
    {
        return (c.Judged->HasLow() ? t(c.Judged->Low) : QString()) + QStringLiteral("..") + (c.Judged->HasHigh() ? t(c.Judged->High) : QString());
    }

    static QJsonObject describe(const CommandLine& line, const SeriesFiles& files, const SeriesJudgement& j)
    {
        QJsonObject page;
        page[QStringLiteral("title")] = line.IsSet(QStringLiteral("title")) ? line.Value(QStringLiteral("title")) : tr("Temperature report");
        std::set<qint64> rates;
        for (size_t f = 0; f < files.Files().size(); ++f)
            if (const qint64 r = files.Interval(f))
                rates.insert(r);
        QStringList rateTexts;
        for (qint64 r : rates)
            rateTexts << DurationText(r);
        page[QStringLiteral("heading")] = QJsonArray{
            tr("Files: %1").arg(line.Positional().join(QStringLiteral(", "))),
            tr("Period: %1 to %2 (%3 rows, %4 without a real time)").arg(time(j.From), time(j.To)).arg(j.Rows).arg(j.RowsWithoutTime),
            tr("Sampling interval: %1").arg(rateTexts.isEmpty() ? tr("unknown") : rateTexts.join(QStringLiteral(", "))),
            tr("Made: %1").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
        };
        QJsonArray verdicts, marks;
        for (const ChannelStatistics& c : j.Channels) {
            if (!c.Judged)
                continue;
            QString text;
            if (c.Count == 0)
                text = tr("CH%1  %2  limits %3  no reading in the period").arg(c.Channel).arg(tr("FAIL"), limits(c));
            else
                text = tr("CH%1  %2  limits %3  min %4  max %5  mean %6  MKT %7  out of range %8")
                           .arg(c.Channel)
                           .arg(c.Passes() ? tr("PASS") : tr("FAIL"), limits(c), t(c.Min), t(c.Max), t(c.Mean), t(c.Mkt),
                               DurationText(c.SecondsAbove + c.SecondsBelow));
            verdicts.append(QJsonObject{{QStringLiteral("text"), text}, {QStringLiteral("pass"), c.Passes()}});
            marks.append(QJsonObject{{QStringLiteral("channel"), c.Channel},
                {QStringLiteral("low"), c.Judged->HasLow() ? QJsonValue(c.Judged->Low) : QJsonValue()},
                {QStringLiteral("high"), c.Judged->HasHigh() ? QJsonValue(c.Judged->High) : QJsonValue()}});
        }
        if (verdicts.isEmpty())
            verdicts.append(QJsonObject{{QStringLiteral("text"), tr("No limit given: nothing judged.")}, {QStringLiteral("pass"), true}});
        page[QStringLiteral("verdicts")] = verdicts;
        page[QStringLiteral("limits")] = marks;
        QJsonArray shaded, excursionLines, gapLines;
        for (const Excursion& e : j.Excursions) {
            shaded.append(QJsonObject{{QStringLiteral("channel"), e.Channel}, {QStringLiteral("start"), double(e.Start)}, {QStringLiteral("end"), double(e.End)}});
            excursionLines.append(tr("CH%1 %2 from %3 to %4 (%5), peak %6 at %7")
                                      .arg(e.Channel)
                                      .arg(side(e.Where), time(e.Start), time(e.End), DurationText(e.Seconds()), t(e.Peak), time(e.PeakTime)));
        }
        for (const Gap& g : j.Gaps)
            gapLines.append(tr("from %1 to %2 (%3)").arg(time(g.From), time(g.To), DurationText(g.To - g.From)));
        page[QStringLiteral("excursions")] = shaded;
        page[QStringLiteral("sections")] = QJsonArray{
            QJsonObject{{QStringLiteral("title"), tr("Excursions")}, {QStringLiteral("lines"), excursionLines.isEmpty() ? QJsonArray{tr("none")} : excursionLines}},
            QJsonObject{{QStringLiteral("title"), tr("Gaps")}, {QStringLiteral("lines"), gapLines.isEmpty() ? QJsonArray{tr("none")} : gapLines}},
        };
        page[QStringLiteral("signature")] = QJsonArray{tr("Reviewed by"), tr("Signature"), tr("Date")};
        return page;
    }
};

}  // namespace

int RunReport(const QStringList& arguments)
{
    return ReportCommand::run(arguments);
}

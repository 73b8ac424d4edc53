#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "cli/series_files.h"

#include <QFileInfo>

namespace {

class ConvertCommand {
    Q_DECLARE_TR_FUNCTIONS(ConvertCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("convert"), QStringLiteral("convert FILE... [-f csv|jsonl|influx] [--name NAME] [-o FILE]"),
            tr("Reads saved data files (as the windows and 'download -f txt' write them) and\n"
               "this program's CSV, told apart by their first line, and writes them as one\n"
               "series in time order, as CSV or JSON lines, exactly as 'download' would have.\n"
               "One file is written as it stands, in its own order.\n"
               "\n"
               "A time that several files hold is written once; when their values differ, the\n"
               "file named later wins and a warning on standard error says how many rows it\n"
               "overrode and where. Rows of one file are never merged with each other. A row\n"
               "whose date or time cannot be (day 33, month 13, minute 75) keeps its place in\n"
               "its own file: it follows the last row of that file with a real time (after\n"
               "every row at that time), or comes just before the file's first real time.\n"
               "Rows without a time are placed alike, and a file without any real time\n"
               "follows the others, in the order the files are named. The samples are\n"
               "numbered 1..N in the order written; rows without a time have an empty time\n"
               "(null in jsonl).\n"
               "\n"
               "influx writes InfluxDB line protocol, a line per sample, its time the file's\n"
               "read in the PC's time zone; a time that the end of summer time shows twice\n"
               "is the earlier instant. Rows without a real time have no line.\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data files and CSV files to convert."), true);
        line.AddFormat({QStringLiteral("csv"), QStringLiteral("jsonl"), QStringLiteral("influx")},
            tr("Output format: csv (the default), jsonl or influx."));
        line.AddLoggerName(tr("the first file's name without its extension"));
        line.AddOutput(tr("Write to FILE instead of standard output, replacing it only once all of it is written."));
        if (line.Parse(arguments))
            return Exit::Ok;
        if (line.Positional().isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data files to convert"));
        const QString name = line.Format(QStringLiteral("csv"));
        const TableFormat format = name == QLatin1String("csv") ? TableFormat::Csv : TableFormat::Jsonl;
        const bool influx = name == QLatin1String("influx");
        const QByteArray tag = influx ? line.LoggerTag(QFileInfo(line.Positional().first()).completeBaseName()) : QByteArray();

        const SeriesFiles files(line.Positional());
        const MergedSeries merged = files.Merge();
        TableWriter out(line.OutputPath(), files.TotalBytes() + files.TotalBytes() / 2 + 4096);
        const auto write = [&](QByteArrayView piece) { out.Write(piece); };
        qint64 leftOut = 0;
        if (influx)
            leftOut = files.WriteLineProtocol(tag, merged, write);
        else
            files.WriteTable(format, merged, write);
        out.Finish();
        if (leftOut > 0)
            PrintError(tr("warning: %n rows without a real time or any reading have no line", nullptr, int(leftOut)));
        return Exit::Ok;
    }
};

}  // namespace

int RunConvert(const QStringList& arguments)
{
    return ConvertCommand::run(arguments);
}

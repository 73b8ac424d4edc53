#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "cli/series_files.h"

namespace {

class ConvertCommand {
    Q_DECLARE_TR_FUNCTIONS(ConvertCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("convert"), QStringLiteral("convert FILE... [-f csv|jsonl] [-o FILE]"),
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
               "(null in jsonl).\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data files and CSV files to convert."), true);
        line.AddFormat({QStringLiteral("csv"), QStringLiteral("jsonl")}, tr("Output format: csv (the default) or jsonl."));
        line.AddOutput(tr("Write to FILE instead of standard output, replacing it only once all of it is written."));
        if (line.Parse(arguments))
            return Exit::Ok;
        if (line.Positional().isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data files to convert"));
        const TableFormat format = line.Format(QStringLiteral("csv")) == QLatin1String("csv") ? TableFormat::Csv : TableFormat::Jsonl;

        const SeriesFiles files(line.Positional());
        const MergedSeries merged = files.Merge();
        TableWriter out(line.OutputPath(), files.TotalBytes() + files.TotalBytes() / 2 + 4096);
        files.WriteTable(format, merged, [&](QByteArrayView piece) { out.Write(piece); });
        out.Finish();
        return Exit::Ok;
    }
};

}  // namespace

int RunConvert(const QStringList& arguments)
{
    return ConvertCommand::run(arguments);
}

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "cli/table_output.h"
#include "data/saved_file_reader.h"

#include <QFile>

namespace {

class ConvertCommand {
    Q_DECLARE_TR_FUNCTIONS(ConvertCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("convert"), QStringLiteral("convert FILE [-f csv|jsonl] [-o FILE]"),
            tr("Reads a saved data file (as the windows and 'download -f txt' write it) and\n"
               "writes it as CSV or JSON lines, exactly as 'download' would have.\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data file."));
        line.AddFormat({QStringLiteral("csv"), QStringLiteral("jsonl")}, tr("Output format: csv (the default) or jsonl."));
        line.AddOutput(tr("Write to FILE instead of standard output, replacing it only once all of it\nis written."));
        if (line.Parse(arguments))
            return Exit::Ok;
        const QString path = line.Positional().value(0);
        if (path.isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data file to convert"));
        const TableFormat format = line.Format(QStringLiteral("csv")) == QLatin1String("csv") ? TableFormat::Csv : TableFormat::Jsonl;

        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw CliFailure(Exit::Data, tr("%1: cannot open: %2").arg(path, file.errorString()));
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw CliFailure(Exit::Data, tr("%1: cannot read: %2").arg(path, file.errorString()));
        file.close();

        QByteArray out = TableHeader(format);
        out.reserve(bytes.size() + bytes.size() / 4);
        TSavedFileReader reader(bytes);
        SavedFileFields texts;
        int sample = 0;
        try {
            while (reader.Next(texts))
                AppendTableRow(out, format, ++sample, texts);
        } catch (const ESavedFileError& e) {
            throw CliFailure(Exit::Data, tr("%1: line %2: %3; not converted").arg(path).arg(e.Line).arg(faultText(e)));
        }
        WriteResult(line.OutputPath(), out);
        return Exit::Ok;
    }

private:
    static QString faultText(const ESavedFileError& e)
    {
        switch (e.Fault) {
        case SavedFileFault::NoTitleLine:
            return tr("not the column title line of a saved data file");
        case SavedFileFault::NoEmptyLine:
            return tr("not the empty line that follows the column titles");
        case SavedFileFault::Layout:
            return tr("not ten texts each followed by two blanks");
        case SavedFileFault::Date:
            return tr("the date is not DD/MM/YYYY");
        case SavedFileFault::Time:
            return tr("the time is not hh:mm:ss");
        case SavedFileFault::Temperature:
            return tr("the temperature of CH%1 is not a number such as 23,5").arg(e.Field - 2);
        }
        return {};
    }
};

}  // namespace

int RunConvert(const QStringList& arguments)
{
    return ConvertCommand::run(arguments);
}

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/drawing_program.h"
#include "cli/exit_status.h"
#include "cli/series_files.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTime>

#include <csignal>
#include <sys/prctl.h>

namespace {

// The drawing needs Qt Gui, which this program does without: a companion
// program draws, reading the merged series as this program's CSV on its
// standard input. Its exit code and its messages are the command's own.
class PlotCommand {
    Q_DECLARE_TR_FUNCTIONS(PlotCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("plot"),
            QStringLiteral("plot FILE... -o OUT [--channels 1,2,5] [--from TIME] [--to TIME] [--size WxH] [--title TEXT]"),
            tr("Merges saved data files and this program's CSV as 'convert' does and draws\n"
               "them as the windows' chart does: a line per channel, real time along the\n"
               "bottom axis, a break in the line where the logger was away, and a legend.\n"
               "OUT ending in .png, .svg or .pdf chooses the picture's format (SVG and PDF\n"
               "as vectors). Rows without a real date and time have no place on the time\n"
               "axis and are left out. No display is needed. The files are merged as\n"
               "'convert' merges them (see 'veltra8-cli convert --help'), and a warning says\n"
               "where one overrode another.\n"));
        line.AddPositional(QStringLiteral("FILE"), tr("The saved data files and CSV files to draw."), true);
        line.AddOutput(tr("The picture to write, a .png, .svg or .pdf file; an existing one is replaced only by a whole picture."), tr("OUT"));
        line.AddValue({QStringLiteral("channels")}, tr("The channels to draw, such as 1,2,5 (default: every channel with samples)."), tr("LIST"));
        line.AddValue({QStringLiteral("from")}, tr("Draw from TIME on, given as YYYY-MM-DDThh:mm:ss (default: the first sample)."), tr("TIME"));
        line.AddValue({QStringLiteral("to")}, tr("Draw up to TIME, given as YYYY-MM-DDThh:mm:ss (default: the last sample)."), tr("TIME"));
        line.AddValue({QStringLiteral("size")},
            tr("The picture's width and height in pixels, 64 to 10000 each (SVG user units; PDF at 96 dpi); default 1200x675."),
            tr("WxH"));
        line.AddValue({QStringLiteral("title")}, tr("The chart's title (default: the chart window's)."), tr("TEXT"));
        if (line.Parse(arguments))
            return Exit::Ok;
        if (line.Positional().isEmpty())
            line.UsageFailure(tr("FILE missing: name the saved data files to draw"));
        QStringList options = drawingOptions(line);
        const QString program = drawingProgram();
        const QStringList named = line.Positional();
        options << QStringLiteral("--input-name") << (named.size() == 1 ? named.front() : tr("the %1 files merged").arg(named.size()));

        const SeriesFiles files(line.Positional());
        const MergedSeries merged = files.Merge();
        // A step in whole minutes that every file shows tells the drawing
        // where the logger was away; otherwise it finds the step itself.
        const qint64 interval = files.CommonInterval();
        if (interval > 0 && interval % 60 == 0)
            options << QStringLiteral("--interval") << QString::number(interval / 60);
        return draw(program, options, files, merged);
    }

private:
    // The options for the drawing, each checked here so that usage errors
    // are this program's.
    static QStringList drawingOptions(const CommandLine& line)
    {
        const QString out = line.OutputPath();
        if (out.isEmpty())
            line.UsageFailure(tr("-o OUT missing: name the picture to write, ending in .png, .svg or .pdf"));
        const QString suffix = QFileInfo(out).suffix().toLower();
        if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") && suffix != QLatin1String("pdf"))
            line.UsageFailure(tr("-o %1: not a picture this command writes; end the name in .png, .svg or .pdf").arg(out));
        QStringList options{QStringLiteral("-o"), out};
        if (line.IsSet(QStringLiteral("channels"))) {
            const QString list = line.Value(QStringLiteral("channels"));
            QList<int> channels;
            for (const QString& item : list.split(u',')) {
                bool ok = false;
                const int channel = item.toInt(&ok);
                if (!ok || channel < 1 || channel > 8 || channels.contains(channel) || item != QString::number(channel))
                    line.UsageFailure(tr("--channels %1: not a list of different channels 1 to 8, such as 1,2,5").arg(list));
                channels << channel;
            }
            options << QStringLiteral("--channels") << list;
        }
        for (const char* name : {"from", "to"}) {
            const QString option = QString::fromLatin1(name);
            if (!line.IsSet(option))
                continue;
            const QString time = line.Value(option);
            if (!isTime(time))
                line.UsageFailure(tr("--%1 %2: not a date and time YYYY-MM-DDThh:mm:ss").arg(option, time));
            options << QStringLiteral("--") + option << time;
        }
        // The texts are in the same form, so they compare as times do.
        if (line.IsSet(QStringLiteral("from")) && line.IsSet(QStringLiteral("to"))
            && line.Value(QStringLiteral("from")) >= line.Value(QStringLiteral("to")))
            line.UsageFailure(tr("--from %1 is not before --to %2").arg(line.Value(QStringLiteral("from")), line.Value(QStringLiteral("to"))));
        if (line.IsSet(QStringLiteral("size"))) {
            const QString size = line.Value(QStringLiteral("size"));
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$")).match(size);
            const auto inRange = [&](int group) { return m.captured(group).toInt() >= 64 && m.captured(group).toInt() <= 10000; };
            if (!m.hasMatch() || !inRange(1) || !inRange(2))
                line.UsageFailure(tr("--size %1: not a width and height of 64 to 10000 pixels, such as 1200x675").arg(size));
            options << QStringLiteral("--size") << size;
        }
        if (line.IsSet(QStringLiteral("title")))
            options << QStringLiteral("--title") << line.Value(QStringLiteral("title"));
        return options;
    }

public:
    static bool isTime(const QString& text)
    {
        return text.size() == 19 && text[10] == u'T' && QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")).isValid()
            && QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss")).isValid();
    }

    // Beside this program in the build tree; in libexec when installed.
    static QString drawingProgram()
    {
        const QString here = QCoreApplication::applicationDirPath();
        const QString beside = here + QStringLiteral("/veltra8-plot");
        const QString installed = QDir::cleanPath(here + QStringLiteral("/../libexec/veltra8/veltra8-plot"));
        for (const QString& path : {beside, installed})
            if (QFileInfo(path).isExecutable())
                return path;
        throw CliFailure(Exit::Internal,
            tr("cannot draw: the drawing program is missing (looked for %1 and %2); reinstall veltra8-cli").arg(installed, beside));
    }

    static int draw(const QString& program, const QStringList& options, const SeriesFiles& files, const MergedSeries& merged)
    {
        QProcess drawing;
        drawing.setProgram(program);
        drawing.setArguments(options);
        drawing.setProcessChannelMode(QProcess::ForwardedChannels);
        drawing.setChildProcessModifier([] {
            // Ends with this program, whatever ends it, so no drawing goes
            // on from a series cut short.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        });
        drawing.start();
        if (!drawing.waitForStarted(-1))
            throw CliFailure(Exit::Internal, tr("%1: cannot run the drawing program: %2").arg(program, drawing.errorString()));
        // Written as it is made, a few pieces ahead of the reader at most.
        constexpr qint64 Ahead = 1 << 20;
        bool reading = true;
        const auto drain = [&](qint64 limit) {
            while (reading && drawing.bytesToWrite() > limit)
                reading = drawing.waitForBytesWritten(-1);
        };
        files.WriteTable(TableFormat::Csv, merged, [&](QByteArrayView piece) {
            // A drawing that ended early (a bad option, no samples) has
            // said why; the rest of the series is not needed.
            if (reading && drawing.write(piece.data(), piece.size()) < 0)
                reading = false;
            drain(Ahead);
        });
        drain(0);
        drawing.closeWriteChannel();
        drawing.waitForFinished(-1);
        if (drawing.exitStatus() != QProcess::NormalExit)
            throw CliFailure(Exit::Internal, tr("%1: the drawing program ended abnormally").arg(program));
        return drawing.exitCode();
    }
};

}  // namespace

int RunPlot(const QStringList& arguments)
{
    return PlotCommand::run(arguments);
}

QString DrawingProgram()
{
    return PlotCommand::drawingProgram();
}

int RunDrawing(const QString& program, const QStringList& options, const SeriesFiles& files, const MergedSeries& merged)
{
    return PlotCommand::draw(program, options, files, merged);
}

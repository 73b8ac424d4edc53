// veltra8-plot run as veltra8-cli runs it: CSV in, a picture file out, exit
// codes and one-line messages on standard error. Pictures are checked against
// the time plot drawn here from the same samples, and by their pixels.
#include "chart/time_plot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);
const QByteArray Header = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8";

qint64 at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return TimeSamples::Seconds(QDate(year, month, day), QTime(hour, minute));
}

// Temperatures to a tenth of a degree, as the client writes them, so that
// the text read back is the very same double.
TimeSamples regular(qint64 start, qint64 interval, size_t count, const std::function<double(int, size_t)>& value)
{
    TimeSamples s;
    for (size_t i = 0; i < count; ++i)
        s.times.push_back(start + static_cast<qint64>(i) * interval);
    for (int k = 1; k <= 8; ++k)
        for (size_t i = 0; i < count; ++i)
            s.channels[static_cast<size_t>(k - 1)].push_back(std::round(value(k, i) * 10) / 10);
    return s;
}

QByteArray csvOf(const TimeSamples& s, const QByteArray& lineEnd = "\n")
{
    QByteArray csv = Header + lineEnd;
    for (size_t i = 0; i < s.times.size(); ++i) {
        csv += QByteArray::number(static_cast<qint64>(i) + 1) + ',' +
               QDateTime::fromSecsSinceEpoch(s.times[i], Qt::UTC).toString(Qt::ISODate).chopped(1).toLatin1();
        for (const auto& channel : s.channels)
            csv += ',' + (std::isnan(channel[i]) ? QByteArray() : QByteArray::number(channel[i], 'f', 1));
        csv += lineEnd;
    }
    return csv;
}

struct Finished {
    int code = -1;
    QByteArray err;
    QByteArray out;
};

Finished plot(const QStringList& arguments, const QByteArray& input = {}, const QProcessEnvironment& environment =
                                                                          QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/veltra8-plot"), arguments);
    EXPECT_TRUE(p.waitForStarted()) << "veltra8-plot is built beside the tests";
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(120000));
    return Finished{
        p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError(), p.readAllStandardOutput()};
}

bool colourInColumn(const QImage& image, int x, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        if (image.pixelColor(x, y) == colour)
            return true;
    return false;
}

class PlotProgram : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QImage picture(const char* name) const { return QImage(path(name)).convertToFormat(QImage::Format_RGB32); }
    QByteArray contents(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(PlotProgram, DrawsEverySampleWhereTheTimePlotPutsIt)
{
    // Below and above zero, as a cold store and its room give them.
    TimeSamples s = regular(at(2023, 5, 1, 8), 15 * 60, 2000,
        [](int k, size_t i) { return 2 * k - 8 + 6 * std::sin(static_cast<double>(i) / 40); });
    Finished run = plot({QStringLiteral("-o"), path("plot.png")}, csvOf(s));
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    TTimePlot reference(s, {});
    QImage image = picture("plot.png");
    EXPECT_EQ(image, reference.ToImage());
    const size_t i = 1234;
    EXPECT_EQ(image.pixelColor(qRound(reference.XPixel(s.times[i])), qRound(reference.YPixel(s.channels[0][i]))), Red);

    // A file named on the command line, or "-" for standard input, is the same.
    QFile file(path("samples.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csvOf(s));
    file.close();
    EXPECT_EQ(plot({path("samples.csv"), QStringLiteral("-o"), path("file.png")}).code, 0);
    EXPECT_EQ(plot({QStringLiteral("-o"), path("dash.png"), QStringLiteral("-")}, csvOf(s)).code, 0);
    EXPECT_EQ(picture("file.png"), image);
    EXPECT_EQ(picture("dash.png"), image);
}

TEST_F(PlotProgram, ReadsQuotesCarriageReturnsAByteOrderMarkAndEmptyReadings)
{
    TimeSamples s = regular(at(2024, 1, 10), 60 * 60, 200, [](int k, size_t i) { return k * 3 + (i % 7); });
    for (size_t i = 60; i < 80; ++i)
        s.channels[0][i] = NAN;
    QByteArray csv = "\xEF\xBB\xBF" + csvOf(s, "\r\n");
    // The second row's sample, time and one reading quoted, the sample with a
    // doubled quote and a line break in it; no line end after the last row.
    QByteArray second = csv.split('\n')[2];
    QList<QByteArray> fields = second.split(',');
    fields[0] = "\"2\"\"\r\nb\"";
    fields[1] = '"' + fields[1] + '"';
    fields[4] = '"' + fields[4] + '"';
    csv.replace(second, fields.join(','));
    csv.chop(2);
    ASSERT_EQ(plot({QStringLiteral("-o"), path("plot.png")}, csv).code, 0);
    EXPECT_EQ(picture("plot.png"), TTimePlot(s, {}).ToImage());
}

TEST_F(PlotProgram, GapOfMoreThanOneAndAHalfIntervalsBreaksTheLine)
{
    // 15-minute samples on 1 and 2 March, then none until 6 March.
    TimeSamples s = regular(at(2024, 3, 1), 15 * 60, 192, [](int, size_t) { return 25; });
    TimeSamples after = regular(at(2024, 3, 6), 15 * 60, 192, [](int, size_t) { return 25; });
    s.times.insert(s.times.end(), after.times.begin(), after.times.end());
    for (size_t k = 0; k < 8; ++k)
        s.channels[k].insert(s.channels[k].end(), after.channels[k].begin(), after.channels[k].end());
    ASSERT_EQ(plot({QStringLiteral("-o"), path("plot.png"), QStringLiteral("--channels"), QStringLiteral("1")}, csvOf(s)).code, 0);
    TTimePlot reference(s, {.channels = {1}});
    QImage image = picture("plot.png");
    const QRect area = reference.PlotRect();
    for (int x = qRound(reference.XPixel(at(2024, 3, 3))) + 3; x < reference.XPixel(at(2024, 3, 6)) - 3; ++x)
        ASSERT_FALSE(colourInColumn(image, x, area, Red)) << "line across the gap at x = " << x;
    EXPECT_TRUE(colourInColumn(image, qRound(reference.XPixel(at(2024, 3, 2))), area, Red));

    // Hourly samples are a gap each when the caller says the logger sampled
    // every 30 minutes: dots, no line between them.
    TimeSamples hourly = regular(at(2024, 3, 1), 60 * 60, 24, [](int, size_t) { return 25; });
    const QStringList args = {QStringLiteral("-o"), path("hourly.png"), QStringLiteral("--channels"), QStringLiteral("1")};
    ASSERT_EQ(plot(args + QStringList{QStringLiteral("--interval"), QStringLiteral("30")}, csvOf(hourly)).code, 0);
    TTimePlot broken(hourly, {.channels = {1}});
    const int between = qRound(broken.XPixel(at(2024, 3, 1, 10, 30)));
    EXPECT_FALSE(colourInColumn(picture("hourly.png"), between, broken.PlotRect(), Red));
    ASSERT_EQ(plot(args, csvOf(hourly)).code, 0);
    EXPECT_TRUE(colourInColumn(picture("hourly.png"), between, broken.PlotRect(), Red));
}

TEST_F(PlotProgram, DrawsTheChosenChannelsOverTheChosenSpanAtTheChosenSize)
{
    TimeSamples s = regular(at(2023, 1, 1), 60 * 60, 24 * 60, [](int k, size_t) { return 10.0 * k; });
    Finished run = plot({QStringLiteral("-o"), path("plot.png"), QStringLiteral("--channels"), QStringLiteral("3, 1,3"),
                       QStringLiteral("--from"), QStringLiteral("2023-01-20T00:00:00"), QStringLiteral("--to"),
                       QStringLiteral("2023-02-10T00:00:00"), QStringLiteral("--size"), QStringLiteral("900x500")},
        csvOf(s));
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    TTimePlot reference(s, {.channels = {3, 1}, .from = at(2023, 1, 20), .to = at(2023, 2, 10), .size = QSize(900, 500)});
    QImage image = picture("plot.png");
    EXPECT_EQ(image, reference.ToImage());
    const int x = reference.PlotRect().center().x();
    EXPECT_TRUE(colourInColumn(image, x, reference.PlotRect(), Red));
    EXPECT_TRUE(colourInColumn(image, x, reference.PlotRect(), Green));
    EXPECT_FALSE(colourInColumn(image, x, reference.PlotRect(), Blue));
}

TEST_F(PlotProgram, WritesSvgOrPdfByTheNameWithTheSizeAndTitle)
{
    TimeSamples s = regular(at(2023, 5, 1), 15 * 60, 500, [](int k, size_t i) { return k + std::sin(i / 9.0); });
    // A title that the toolkit would take for one of its own options.
    const QStringList args = {QStringLiteral("--title"), QStringLiteral("-reverse"), QStringLiteral("--size"),
        QStringLiteral("1000x560"), QStringLiteral("-o")};
    ASSERT_EQ(plot(args + QStringList{path("plot.svg")}, csvOf(s)).code, 0);
    ASSERT_EQ(plot(args + QStringList{path("plot.pdf")}, csvOf(s)).code, 0);
    // The kind follows the name's ending; the drawing is the time plot's,
    // whose files are checked with it.
    QByteArray svg = contents("plot.svg");
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 1000 560\"") && svg.contains("<title>-reverse</title>"));
    QByteArray pdf = contents("plot.pdf");
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // 1000 x 560 pixels at 96 per inch are 750 x 420 points.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 750(\\.0*)? 420(\\.0*)?\\]"))
                    .match(QString::fromLatin1(pdf)).hasMatch());
}

TEST_F(PlotProgram, RowsWithoutARealTimeAreLeftOutAndCountedOnOneLine)
{
    TimeSamples s = regular(at(2022, 2, 27), 6 * 60 * 60, 12, [](int k, size_t i) { return k + i; });
    QByteArray csv = csvOf(s);
    csv += "13,,1.0,2.0,3.0,4.0,5.0,6.0,7.0,8.0\n";
    csv += "14,2022-02-29T00:00:00,1,2,3,4,5,6,7,8\n";
    csv += "15,2022-13-01T00:00:00,1,2,3,4,5,6,7,8\n";
    csv += "16,2022-03-33T00:00:00,,,,,,,,\n";
    csv += "17,2022-03-01T24:00:00,,,,,,,,\n";
    Finished run = plot({QStringLiteral("-o"), path("plot.png")}, csv);
    ASSERT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "veltra8-cli plot: standard input: rows left out of the plot: 5 (without a time: 1; with a "
                       "date or time not on the calendar: 4)\n");
    EXPECT_EQ(picture("plot.png"), TTimePlot(s, {}).ToImage());
}

TEST_F(PlotProgram, RunsWithoutADisplay)
{
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        bare.remove(QLatin1String(name));
    TimeSamples s = regular(at(2023, 5, 1), 60, 100, [](int k, size_t) { return k; });
    Finished run = plot({QStringLiteral("-o"), path("plot.png")}, csvOf(s), bare);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(picture("plot.png"), TTimePlot(s, {}).ToImage());
}

TEST_F(PlotProgram, HelpNamesEveryOptionOnStandardOutput)
{
    Finished run = plot({QStringLiteral("--help")});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.err.isEmpty());
    for (const char* option : {"-o <OUT>", "--channels", "--from", "--to", "--size", "--title", "--interval"})
        EXPECT_TRUE(run.out.contains(option)) << option;
}

struct Failure {
    const char* name;
    QStringList arguments;  // "@" stands for the temporary folder
    QByteArray input;
    int code;
    const char* says;
};

void PrintTo(const Failure& f, std::ostream* os)
{
    *os << f.name;
}

const QByteArray Good = Header + "\n1,2024-03-01T08:00:00,1.5,,,,,,,\n2,2024-03-01T08:15:00,2.5,,,,,,,\n";

class PlotProgramFailure : public PlotProgram, public ::testing::WithParamInterface<Failure> {};

// Each failure: its exit code, one line on standard error that names the
// file or option and says what to do, and no picture, an old one kept whole.
TEST_P(PlotProgramFailure, ExitsWithItsCodeAndOneLineAndLeavesThePictureAlone)
{
    const Failure& f = GetParam();
    QDir(dir_.path()).mkdir(QStringLiteral("folder.png"));
    QFile through(path("file"));
    ASSERT_TRUE(through.open(QIODevice::WriteOnly));
    through.close();
    QFile old(path("old.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old picture");
    old.close();
    QStringList arguments;
    for (const QString& a : f.arguments)
        arguments.push_back(QString(a).replace(QLatin1Char('@'), dir_.path()));

    Finished run = plot(arguments, f.input);
    EXPECT_EQ(run.code, f.code);
    EXPECT_TRUE(run.err.startsWith("veltra8-cli plot: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(")\n")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(f.says).replace(QLatin1Char('@'), dir_.path()).toUtf8()))
        << run.err.toStdString();
    QStringList left = QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    EXPECT_EQ(left, (QStringList{QStringLiteral("file"), QStringLiteral("folder.png"), QStringLiteral("old.png")}));
    EXPECT_EQ(contents("old.png"), "old picture");
}

QStringList to(const char* out, QStringList more = {})
{
    return QStringList{QStringLiteral("-o"), QLatin1String(out)} + more;
}

INSTANTIATE_TEST_SUITE_P(ExitCodes, PlotProgramFailure,
    ::testing::Values(
        Failure{"NoOutput", {}, Good, 2, "add -o OUT"},
        Failure{"OutputOfNoKnownKind", to("@/plot.jpg"), Good, 2, "@/plot.jpg"},
        Failure{"UnknownOption", to("@/old.png", {"--colour"}), Good, 2, "unknown option --colour"},
        Failure{"MissingValue", to("@/old.png", {"--title"}), Good, 2, "--title"},
        Failure{"TwoFiles", to("@/old.png", {"a.csv", "b.csv"}), Good, 2, "not 2"},
        Failure{"ChannelNine", to("@/old.png", {"--channels", "1,9"}), Good, 2, "--channels 1,9"},
        Failure{"ChannelListWithAHole", to("@/old.png", {"--channels", "1,,2"}), Good, 2, "--channels 1,,2"},
        Failure{"FromNotADate", to("@/old.png", {"--from", "2024-02-30T00:00:00"}), Good, 2, "--from 2024-02-30"},
        Failure{"ToWithASpace", to("@/old.png", {"--to", "2024-02-01 00:00:00"}), Good, 2, "YYYY-MM-DDThh:mm:ss"},
        Failure{"FromAfterTo", to("@/old.png", {"--from", "2024-03-02T00:00:00", "--to", "2024-03-01T00:00:00"}), Good, 2, "swap"},
        Failure{"FromEqualToTo", to("@/old.png", {"--from", "2024-03-01T00:00:00", "--to", "2024-03-01T00:00:00"}), Good, 2, "is not before"},
        Failure{"SizeTooSmall", to("@/old.png", {"--size", "63x100"}), Good, 2, "--size 63x100"},
        Failure{"ValueWithPercentSigns", to("@/old.png", {"--size", "%2x%3"}), Good, 2, "--size %2x%3: give"},
        Failure{"SizeWithoutHeight", to("@/old.png", {"--size", "800"}), Good, 2, "WIDTHxHEIGHT"},
        Failure{"IntervalZero", to("@/old.png", {"--interval", "0"}), Good, 2, "--interval 0"},
        Failure{"IntervalNotWhole", to("@/old.png", {"--interval", "1.5"}), Good, 2, "whole minutes"},
        Failure{"MissingInput", to("@/old.png", {"@/none.csv"}), Good, 5, "@/none.csv: cannot be opened"},
        Failure{"FolderAsInput", to("@/old.png", {"@"}), Good, 5, "@: cannot be"},
        Failure{"EmptyInput", to("@/old.png"), "", 5, "standard input: empty"},
        Failure{"NotTheHeader", to("@/old.png"), "sample;time\n1;2\n", 5, "standard input:1: the first line"},
        Failure{"HeaderOnly", to("@/old.png"), Header + "\r\n", 5, "no rows"},
        Failure{"BadTemperature", to("@/old.png"), Good + "3,2024-03-01T08:30:00,,,1;5,,,,,\n", 5, ":4: ch3 \"1;5\""},
        Failure{"TemperatureWithoutAWholePart", to("@/old.png"), Good + "3,2024-03-01T08:30:00,.5,,,,,,,\n", 5, ":4: ch1 \".5\""},
        Failure{"TemperatureWithAComma", to("@/old.png"), Good + "3,2024-03-01T08:30:00,\"1,5\",,,,,,,\n", 5, ":4: ch1"},
        Failure{"TimeWithASpace", to("@/old.png"), Good + "3,2024-03-01 08:30:00,,,,,,,,\n", 5, ":4: the time"},
        Failure{"ShortRow", to("@/old.png"), Good + "3,2024-03-01T08:30:00,1\n", 5, ":4: 3 fields"},
        Failure{"LongRow", to("@/old.png"), Good + "3,2024-03-01T08:30:00,,,,,,,,,\n", 5, ":4: 11 fields"},
        Failure{"LineCountAfterAQuotedLineBreak", to("@/old.png"), Good + "\"3\n\",,,,,,,,,\n4,,x,,,,,,,\n", 5, ":6: ch1"},
        Failure{"UnclosedQuote", to("@/old.png"), Good + "3,\"2024-03-01T08:30:00,,,,,,,,\n", 5, ":4: a quoted field"},
        Failure{"QuoteInsideAField", to("@/old.png"), Good + "3a\"b,,,,,,,,,\n", 5, ":4: a quote inside"},
        Failure{"EndlessLine", to("@/old.png"), Good + QByteArray(3 << 20, 'x'), 5, ":4: the line is longer"},
        Failure{"NoRowWithATime", to("@/old.png"), Header + "\n1,,1,,,,,,,\n2,2024-13-01T00:00:00,1,,,,,,,\n", 5, "without a time: 1"},
        Failure{"NoRowInTheSpan", to("@/old.png", {"--from", "2024-03-02T00:00:00"}), Good, 5, "the rows run from 2024-03-01T08:00:00 to 2024-03-01T08:15:00"},
        Failure{"NoReadingInTheChannels", to("@/old.png", {"--channels", "2,3"}), Good, 5, "--channels"},
        Failure{"OutputInAMissingFolder", to("@/none/plot.png"), Good, 6, "@/none/plot.png: cannot be written"},
        Failure{"OutputThroughAFile", to("@/file/plot.png"), Good, 6, "@/file/plot.png"},
        Failure{"OutputIsAFolder", to("@/folder.png"), Good, 6, "@/folder.png"}),
    [](const ::testing::TestParamInfo<Failure>& p) { return std::string(p.param.name); });

}  // namespace

// veltra8-cli convert with many files and veltra8-cli plot, end to end: the
// program on files the simulator's downloads or the test wrote, one test
// per behaviour. The pictures need the drawing program veltra8-plot beside
// the client; without it those tests are skipped.
#include "cli/commands.h"
#include "tests/support/programs.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class Files : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    // A saved file as the windows write it; a row is "date time value",
    // the value in all eight channels ("" "" for a row without a stamp).
    QString saved(const QString& name, const QList<QStringList>& rows)
    {
        QByteArray bytes = "FECHA        HORA     CH1   CH2   CH3   CH4   CH5   CH6   CH7   CH8\r\n\r\n";
        for (const QStringList& row : rows)
            bytes += (row[0] + QStringLiteral("  ") + row[1] + QStringLiteral("  ") + (row[2] + QStringLiteral("  ")).repeated(8)).toLatin1() + "\r\n";
        return write(name, bytes);
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    CliResult run(const QStringList& arguments) { return RunCli(arguments, dir.path()); }
    // "sample,time,CH1" of each CSV line after the header.
    static QList<QByteArray> samples(const QByteArray& csv)
    {
        QList<QByteArray> out;
        for (const QByteArray& line : csv.split('\n').mid(1))
            if (!line.isEmpty())
                out << line.left(line.indexOf(',', line.indexOf(',') + 1) + 1) + line.split(',').value(2);
        return out;
    }

    QTemporaryDir dir;
};

// --- convert -----------------------------------------------------------------

TEST_F(Files, ConvertMergesOverlappingDownloadsOnceInTimeOrder)
{
    // A logger whose clock runs 600 times faster stores a sample every
    // tenth of a second: the second download holds the first and more.
    SimulatorProcess sim(dir.path(), {QStringLiteral("--samples"), QStringLiteral("20"), QStringLiteral("--speed"), QStringLiteral("600"), QStringLiteral("--calm"), QStringLiteral("0"),
                                         QStringLiteral("--start"), QStringLiteral("2024-05-17T08:00:00"), QStringLiteral("--unpaced"),
                                         QStringLiteral("--frame-period"), QStringLiteral("100")});
    ASSERT_FALSE(sim.Link().isEmpty());
    ASSERT_EQ(run({QStringLiteral("download"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-o"), path(QStringLiteral("first.txt"))}).code, 0);
    WaitUntil([] { return false; }, 1000);
    ASSERT_EQ(run({QStringLiteral("download"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-o"), path(QStringLiteral("second.txt"))}).code, 0);
    const int firstRows = int(read(QStringLiteral("first.txt")).count('\n')) - 2;
    const CliResult second = run({QStringLiteral("convert"), path(QStringLiteral("second.txt"))});
    ASSERT_GT(second.out.count('\n') - 1, firstRows) << "the logger stored more samples in between";

    for (const QStringList& order : {QStringList{"first.txt", "second.txt"}, QStringList{"second.txt", "first.txt"}}) {
        const CliResult merged = run({QStringLiteral("convert"), path(order[0]), path(order[1])});
        EXPECT_EQ(merged.code, 0);
        EXPECT_TRUE(merged.err.isEmpty()) << "the shared samples agree: " << merged.err.toStdString();
        EXPECT_EQ(merged.out, second.out) << "each sample once, in time order, numbered 1..N";
    }
}

TEST_F(Files, ConvertLetsTheFileNamedLaterOverrideAndSaysWhere)
{
    const QString a = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}, {"17/05/2024", "08:01:00", "1,0"}, {"17/05/2024", "08:02:00", "1,0"}});
    const QString b = saved(QStringLiteral("b.txt"), {{"17/05/2024", "08:01:00", "2,0"}, {"17/05/2024", "08:02:00", "1,0"}, {"17/05/2024", "08:03:00", "3,0"}});
    const CliResult r = run({QStringLiteral("convert"), a, b});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(samples(r.out), (QList<QByteArray>{"1,2024-05-17T08:00:00,1.0", "2,2024-05-17T08:01:00,2.0", "3,2024-05-17T08:02:00,1.0",
                                  "4,2024-05-17T08:03:00,3.0"}));
    EXPECT_EQ(r.err, QStringLiteral("veltra8-cli: warning: %1 overrides rows of %2 that hold other values at the same time "
                                    "(1 in all; the first at line 3, over line 4 of %2)\n")
                         .arg(b, a));
    EXPECT_EQ(samples(run({QStringLiteral("convert"), b, a}).out)[1], "2,2024-05-17T08:01:00,1.0") << "named later, a wins";
}

TEST_F(Files, ConvertKeepsImpossibleDatesInPlaceAndRowsWithoutAStampLast)
{
    // A start on 31/01 with the carries the stamping rules make: day 32, 33.
    const QString impossible = saved(QStringLiteral("impossible.txt"),
        {{"31/01/2024", "23:58:00", "1,0"}, {"32/01/2024", "23:59:00", "2,0"}, {"33/01/2024", "00:00:00", "3,0"}, {"01/02/2024", "00:01:00", "4,0"}});
    const QString plain = saved(QStringLiteral("plain.txt"), {{"01/02/2024", "00:00:00", "5,0"}, {"31/01/2024", "23:59:00", "6,0"}});
    const QString unstamped = saved(QStringLiteral("unstamped.txt"), {{"", "", "7,0"}, {"", "", "8,0"}});
    const CliResult csv = run({QStringLiteral("convert"), unstamped, impossible, plain});
    EXPECT_EQ(csv.code, 0) << csv.err.toStdString();
    EXPECT_EQ(samples(csv.out), (QList<QByteArray>{
                                    "1,2024-01-31T23:58:00,1.0",
                                    "2,2024-01-32T23:59:00,2.0",  // as the table shows it, after its file's last real time
                                    "3,2024-01-33T00:00:00,3.0",
                                    "4,2024-01-31T23:59:00,6.0",  // plain.txt's rows sorted
                                    "5,2024-02-01T00:00:00,5.0",
                                    "6,2024-02-01T00:01:00,4.0",
                                    "7,,7.0",  // no stamp: an empty time, after every file with one
                                    "8,,8.0",
                                }));
    const QList<QByteArray> jsonl = run({QStringLiteral("convert"), unstamped, impossible, plain, QStringLiteral("-f"), QStringLiteral("jsonl")}).out.split('\n');
    ASSERT_EQ(jsonl.size(), 9);
    EXPECT_EQ(QJsonDocument::fromJson(jsonl[1]).object().value("time").toString(), "2024-01-32T23:59:00");
    EXPECT_TRUE(QJsonDocument::fromJson(jsonl[7]).object().value("time").isNull());
    EXPECT_EQ(QJsonDocument::fromJson(jsonl[7]).object().value("sample").toInt(), 8);
}

TEST_F(Files, ConvertReadsItsOwnCsvBackAndAgreesWithTheSavedFile)
{
    const QString txt = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "-50,0"}, {"17/05/2024", "08:01:00", "1235,0"}, {"17/05/2024", "08:02:00", ""}});
    ASSERT_EQ(run({QStringLiteral("convert"), txt, QStringLiteral("-o"), path(QStringLiteral("a.csv"))}).code, 0);
    const QByteArray csv = read(QStringLiteral("a.csv"));
    EXPECT_EQ(csv.split('\n')[3], "3,2024-05-17T08:02:00,,,,,,,,\r") << "a row without readings";
    EXPECT_EQ(run({QStringLiteral("convert"), path(QStringLiteral("a.csv"))}).out, csv) << "one file: exactly as it stands";
    const CliResult both = run({QStringLiteral("convert"), txt, path(QStringLiteral("a.csv"))});
    EXPECT_EQ(both.out, csv) << "the same samples in both forms merge into one";
    EXPECT_TRUE(both.err.isEmpty()) << both.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("convert"), path(QStringLiteral("a.csv")), QStringLiteral("-f"), QStringLiteral("jsonl")}).out,
        run({QStringLiteral("convert"), txt, QStringLiteral("-f"), QStringLiteral("jsonl")}).out);
}

TEST_F(Files, ConvertReadsTheCsvAsASpreadsheetSavesIt)
{
    // LF line ends, a byte-order mark and quoted fields: the same rows.
    const QByteArray plain = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n"
                             "1,2024-05-17T08:00:00,1.0,2.0,,,,,,8.0\r\n2,,,,,,,,,\r\n";
    const QByteArray saved = "\xEF\xBB\xBFsample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\n"
                             "\"1\",\"2024-05-17T08:00:00\",1.0,\"2.0\",,,,,,8.0\n2,,,,,,,,,\n\n";
    const CliResult converted = run({QStringLiteral("convert"), write(QStringLiteral("saved.csv"), saved)});
    EXPECT_EQ(converted.code, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.out, plain);
    const QString jsonl = QStringLiteral("jsonl");
    EXPECT_EQ(run({QStringLiteral("convert"), path(QStringLiteral("saved.csv")), QStringLiteral("-f"), jsonl}).out,
        run({QStringLiteral("convert"), write(QStringLiteral("plain.csv"), plain), QStringLiteral("-f"), jsonl}).out);
}

TEST_F(Files, ConvertNamesTheFileAndLineOfACsvItCannotRead)
{
    const QByteArray header = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n";
    const QByteArray good = "1,2024-05-17T08:00:00,1.0,2.0,3.0,4.0,5.0,6.0,7.0,8.0\r\n";
    const QString ok = saved(QStringLiteral("ok.txt"), {{"17/05/2024", "08:00:00", "1,0"}});
    for (const auto& [bytes, fault] : std::vector<std::pair<QByteArray, QString>>{
             {header + good + "2,2024-05-17 08:01:00,1,2,3,4,5,6,7,8\r\n", "line 3: the time is not YYYY-MM-DDThh:mm:ss"},
             {header + good + "2,2024-05-17T08:01:00,1,2,3,4,5,6,7\r\n", "line 3: not ten fields: the sample, its time and eight temperatures"},
             {header + "x,,1,2,3,4,5,6,7,8\r\n", "line 2: the sample is not a number"},
             {header + "1,,1,2,3,4,5,6,7,8,5\r\n", "line 2: not ten fields: the sample, its time and eight temperatures"},
             {header + "1,,1,2,3,4,5,6,7,2e3\r\n", "line 2: the temperature of CH8 is not a number such as 23.5"},
             {header + good + "\r\n" + good, "line 3: an empty line among the rows"},
             {header + "1,\"2024-05-17T08:00:00,1,2,3,4,5,6,7,8\r\n", "line 2: a quote that does not enclose a whole field"},
             {"sample;time\r\n", "line 1: neither the column title line of a saved data file nor the header of this program's CSV"}}) {
        const QString bad = write(QStringLiteral("bad.csv"), bytes);
        const CliResult r = run({QStringLiteral("convert"), ok, bad, QStringLiteral("-o"), path(QStringLiteral("out.csv"))});
        EXPECT_EQ(r.code, 5);
        EXPECT_EQ(r.err, QStringLiteral("veltra8-cli: %1: %2; not converted\n").arg(bad, fault));
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.csv"))));
    }
}

// --- help --------------------------------------------------------------------

TEST_F(Files, EveryHelpEndsItsLastLineAndSaysTheHelpOptionAlike)
{
    for (const CliCommand& each : CliCommands()) {
        const char* command = each.Name;
        const CliResult help = run({QString::fromLatin1(command), QStringLiteral("--help")});
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.endsWith('\n') && !help.out.endsWith("\n\n")) << command;
        EXPECT_FALSE(help.out.contains("\n\n\n")) << command << ": one blank line between parts";
        EXPECT_TRUE(help.out.contains("-h, --help") && help.out.contains("Show this help.")) << command;
        // Qt wraps the options' descriptions, filling each line; a line
        // break of our own would leave a short line in mid-sentence.
        const QList<QByteArray> lines = help.out.split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 80) << command << ": " << lines[i].constData();
            if (i > 1 && lines[i].startsWith(QByteArray(20, ' ')) && !lines[i].trimmed().isEmpty()) {
                EXPECT_GT(lines[i - 1].size() + 1 + lines[i].trimmed().split(' ')[0].size(), 79)
                    << command << ": room for the next word on \"" << lines[i - 1].constData() << '"';
            }
        }
    }
    EXPECT_TRUE(run({QStringLiteral("--help")}).out.contains("  -h, --help  Show this help.\n"));
}

// --- plot --------------------------------------------------------------------

TEST_F(Files, PlotChecksItsOptionsBeforeItDraws)
{
    const QString a = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}});
    for (const QStringList& bad : {QStringList{a}, {a, "-o", "x.gif"}, {"-o", "x.png"}, {a, "-o", "x.png", "--channels", "0"},
             {a, "-o", "x.png", "--channels", "1;2"}, {a, "-o", "x.png", "--from", "2024-05-17"},
             {a, "-o", "x.png", "--to", "2024-02-30T00:00:00"}, {a, "-o", "x.png", "--from", "2024-05-18T00:00:00", "--to", "2024-05-17T00:00:00"},
             {a, "-o", "x.png", "--size", "63x100"}, {a, "-o", "x.png", "--size", "1200"}, {a, "-o", "x.png", "--bogus"}}) {
        const CliResult r = run(QStringList{QStringLiteral("plot")} + bad);
        EXPECT_EQ(r.code, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("veltra8-cli: ")) && r.err.count(u'\n') == 1) << r.err.toStdString();
    }
}

TEST_F(Files, PlotWithoutItsDrawingProgramSaysItIsNotInstalled)
{
    // A build without the desktop has no drawing program: its own client.
    // Otherwise the client alone in a folder of its own.
    QString client = ProgramBeside(QStringLiteral("veltra8-cli"));
    if (QFileInfo(ProgramBeside(QStringLiteral("veltra8-plot"))).exists()) {
        client = path(QStringLiteral("veltra8-cli"));
        ASSERT_TRUE(QFile::copy(ProgramBeside(QStringLiteral("veltra8-cli")), client));
    }
    const QString here = QFileInfo(client).path();
    QProcess plot;
    QProcessEnvironment english = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        english.remove(QString::fromLatin1(name));
    english.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    plot.setProcessEnvironment(english);
    plot.start(client, {QStringLiteral("plot"), saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}}), QStringLiteral("-o"), path(QStringLiteral("a.png"))});
    ASSERT_TRUE(plot.waitForFinished());
    EXPECT_EQ(plot.exitCode(), 1);
    EXPECT_EQ(QString::fromLocal8Bit(plot.readAllStandardError()),
        QStringLiteral("veltra8-cli: cannot draw: the drawing program veltra8-plot is not installed (looked for %1 and %2); it comes "
                       "with the veltra8-cli package and with builds that have the desktop\n")
            .arg(QDir::cleanPath(here + QStringLiteral("/../libexec/veltra8/veltra8-plot")), here + QStringLiteral("/veltra8-plot")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.png"))));
}

class Plot : public Files {
protected:
    void SetUp() override
    {
        if (!QFileInfo(ProgramBeside(QStringLiteral("veltra8-plot"))).isExecutable())
            GTEST_SKIP() << "veltra8-plot is not built beside veltra8-cli, so nothing draws: these tests run once the drawing program is in the build";
    }
};

TEST_F(Plot, DrawsTheMergedFilesInEachFormat)
{
    const QString a = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}, {"17/05/2024", "08:15:00", "2,0"}, {"17/05/2024", "08:30:00", "3,0"}});
    const QString b = saved(QStringLiteral("b.txt"), {{"17/05/2024", "08:30:00", "3,0"}, {"17/05/2024", "08:45:00", "2,5"}, {"33/05/2024", "09:00:00", "9,0"}});
    const CliResult png = run({QStringLiteral("plot"), a, b, QStringLiteral("-o"), path(QStringLiteral("day.png")), QStringLiteral("--size"),
        QStringLiteral("640x360"), QStringLiteral("--channels"), QStringLiteral("1,2,5"), QStringLiteral("--title"), QStringLiteral("Prueba")});
    ASSERT_EQ(png.code, 0) << png.err.toStdString();
    // The day 33 has no place on a time axis; the user hears of it in terms of the files named.
    EXPECT_EQ(png.err, QStringLiteral("veltra8-cli plot: the 2 files merged: rows left out of the plot: 1 (without a time: 0; "
                                      "with a date or time not on the calendar: 1)\n"));
    const QByteArray picture = read(QStringLiteral("day.png"));
    ASSERT_TRUE(picture.startsWith("\x89PNG\r\n\x1a\n"));
    const auto bigEndian = [&](int at) { return (uchar(picture[at]) << 24) | (uchar(picture[at + 1]) << 16) | (uchar(picture[at + 2]) << 8) | uchar(picture[at + 3]); };
    EXPECT_EQ(bigEndian(16), 640);
    EXPECT_EQ(bigEndian(20), 360);

    ASSERT_EQ(run({QStringLiteral("plot"), a, b, QStringLiteral("-o"), path(QStringLiteral("day.svg"))}).code, 0);
    EXPECT_TRUE(read(QStringLiteral("day.svg")).contains("<svg"));
    ASSERT_EQ(run({QStringLiteral("plot"), a, b, QStringLiteral("-o"), path(QStringLiteral("day.PDF")), QStringLiteral("--from"),
                  QStringLiteral("2024-05-17T08:10:00"), QStringLiteral("--to"), QStringLiteral("2024-05-17T08:40:00")}).code, 0);
    EXPECT_TRUE(read(QStringLiteral("day.PDF")).startsWith("%PDF"));
}

TEST_F(Plot, TheClientAndItsDrawingProgramTakeTheSameOptions)
{
    // Each is checked by the client and again by the drawing program: a
    // channel named twice is drawn once, the size's x may be a capital, and
    // a span has a length.
    const QString a = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}, {"17/05/2024", "08:15:00", "2,0"}});
    const QString out = path(QStringLiteral("a.png"));
    const CliResult twice = run({QStringLiteral("plot"), a, QStringLiteral("-o"), out, QStringLiteral("--channels"), QStringLiteral("1,1")});
    EXPECT_EQ(twice.code, 0) << twice.err.toStdString();
    const CliResult capital = run({QStringLiteral("plot"), a, QStringLiteral("-o"), out, QStringLiteral("--size"), QStringLiteral("640X360")});
    EXPECT_EQ(capital.code, 0) << capital.err.toStdString();
    const QString at = QStringLiteral("2024-05-17T08:00:00");
    const CliResult empty = run({QStringLiteral("plot"), a, QStringLiteral("-o"), out, QStringLiteral("--from"), at, QStringLiteral("--to"), at});
    EXPECT_EQ(empty.code, 2);
    EXPECT_TRUE(empty.err.startsWith(QStringLiteral("veltra8-cli: --from %1 is not before --to %1 (").arg(at))) << empty.err.toStdString();
}

TEST_F(Plot, ExitCodesOfTheDrawingAndOfTheFilesReachTheCaller)
{
    const QString a = saved(QStringLiteral("a.txt"), {{"17/05/2024", "08:00:00", "1,0"}, {"17/05/2024", "08:15:00", "2,0"}});
    const CliResult unwritable = run({QStringLiteral("plot"), a, QStringLiteral("-o"), path(QStringLiteral("no/such/folder.png"))});
    EXPECT_EQ(unwritable.code, 6);
    EXPECT_TRUE(unwritable.err.startsWith(QLatin1String("veltra8-cli plot: "))) << unwritable.err.toStdString();

    const QString undated = saved(QStringLiteral("undated.txt"), {{"", "", "1,0"}, {"33/13/2024", "08:00:00", "2,0"}});
    const CliResult nothing = run({QStringLiteral("plot"), undated, QStringLiteral("-o"), path(QStringLiteral("nothing.png"))});
    EXPECT_EQ(nothing.code, 5) << "no row with a real date to draw";
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("nothing.png"))));

    const QString bad = write(QStringLiteral("bad.txt"), "not a saved file\r\n");
    const CliResult unreadable = run({QStringLiteral("plot"), a, bad, QStringLiteral("-o"), path(QStringLiteral("bad.png"))});
    EXPECT_EQ(unreadable.code, 5);
    EXPECT_TRUE(unreadable.err.startsWith(QStringLiteral("veltra8-cli: %1: line 1: ").arg(bad))) << unreadable.err.toStdString();
}

}  // namespace

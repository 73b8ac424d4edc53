// veltra8-cli stats end to end: saved files and CSV judged against limits,
// the JSON and CSV it writes, its exit codes and its refusals.
#include "tests/support/programs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class Stats : public ::testing::Test {
protected:
    // A saved file as the windows write it, CH1 and CH2 from each row's
    // texts, the other channels 20,0.
    QString saved(const QString& name, const QList<QStringList>& rows)
    {
        QByteArray bytes = "FECHA        HORA     CH1   CH2   CH3   CH4   CH5   CH6   CH7   CH8\r\n\r\n";
        for (const QStringList& row : rows)
            bytes += (row.join(QStringLiteral("  ")) + QStringLiteral("  ") + QStringLiteral("20,0  ").repeated(6)).toLatin1() + "\r\n";
        return write(name, bytes);
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    }
    CliResult run(const QStringList& arguments) { return RunCli(arguments, dir.path()); }
    QJsonObject json(const QStringList& arguments, int expectedCode)
    {
        const CliResult r = run(QStringList{QStringLiteral("stats")} + arguments + QStringList{QStringLiteral("-f"), QStringLiteral("json")});
        EXPECT_EQ(r.code, expectedCode) << r.err.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.object();
    }
    // An hour of CH1 at one reading a minute from 08:00 as this program's CSV:
    // 5 °C but 9 °C at minutes listed in `warm`; CH2 empty.
    QString minutes(const QString& name, const QList<int>& warm, int count = 60)
    {
        QByteArray csv = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n";
        for (int m = 0; m < count; ++m)
            csv += QByteArray::number(m + 1) + ",2024-05-17T" + QByteArray::number(8 + m / 60).rightJustified(2, '0') + ':'
                + QByteArray::number(m % 60).rightJustified(2, '0') + ":00," + (warm.contains(m) ? "9.0" : "5.0") + ",,,,,,,\r\n";
        return write(name, csv);
    }

    QTemporaryDir dir;
};

TEST_F(Stats, JsonHoldsEveryNameAndMixedRatesWeighByTheirOwnInterval)
{
    // Hourly readings the day before (one at 8,0 exactly, one at 12,5), a
    // row with an impossible date, then a minute file with a gap and two
    // warm runs.
    const QString hourly = saved(QStringLiteral("hourly.txt"),
        {{"16/05/2024", "05:00:00", "5,0", "-18,0"}, {"16/05/2024", "06:00:00", "8,0", "-18,0"}, {"32/05/2024", "06:30:00", "99,0", "0,0"},
            {"16/05/2024", "07:00:00", "12,5", "-18,0"}, {"16/05/2024", "08:00:00", "5,0", "-18,0"}});
    QList<int> warm{10, 11, 12, 40, 41};
    const QString minute = minutes(QStringLiteral("minute.csv"), warm);
    QByteArray csv;
    {
        QFile f(minute);
        f.open(QIODevice::ReadOnly);
        csv = f.readAll();
    }
    // Minutes 20 to 29 away: a gap from 08:19 to 08:30.
    QList<QByteArray> lines = csv.split('\n');
    lines.remove(21, 10);
    write(QStringLiteral("minute.csv"), lines.join('\n'));

    const QJsonObject j = json({hourly, minute, QStringLiteral("--limit"), QStringLiteral("2..8"), QStringLiteral("--limit"),
                                   QStringLiteral("ch2:..-15"), QStringLiteral("--delay"), QStringLiteral("2m")},
        7);
    const QStringList top{"from", "to", "rows", "rows_without_time", "gaps", "channels", "excursions"};
    EXPECT_EQ(j.size(), top.size());
    for (const QString& key : top)
        EXPECT_TRUE(j.contains(key)) << key.toStdString();
    EXPECT_EQ(j["from"].toString(), "2024-05-16T05:00:00");
    EXPECT_EQ(j["to"].toString(), "2024-05-17T08:59:00");
    EXPECT_EQ(j["rows"].toInt(), 4 + 50);
    EXPECT_EQ(j["rows_without_time"].toInt(), 1);
    const QJsonArray gaps = j["gaps"].toArray();
    ASSERT_EQ(gaps.size(), 2);  // the night between the files, and the ten minutes
    EXPECT_EQ(gaps[1].toObject()["from"].toString(), "2024-05-17T08:19:00");
    EXPECT_EQ(gaps[1].toObject()["to"].toString(), "2024-05-17T08:30:00");

    const QJsonArray channels = j["channels"].toArray();
    ASSERT_EQ(channels.size(), 8);
    const QJsonObject ch1 = channels[0].toObject();
    const QStringList names{"channel", "count", "first", "last", "min", "min_time", "max", "max_time", "mean", "sd", "mkt",
        "limit_low", "limit_high", "seconds_above", "seconds_below", "seconds_in_range", "share_in_range", "excursions",
        "longest_excursion_seconds", "alarms", "pass"};
    EXPECT_EQ(ch1.size(), names.size());
    for (const QString& key : names)
        EXPECT_TRUE(ch1.contains(key)) << key.toStdString();
    EXPECT_EQ(ch1["count"].toInt(), 54);
    EXPECT_EQ(ch1["max"].toDouble(), 12.5);
    EXPECT_EQ(ch1["max_time"].toString(), "2024-05-16T07:00:00");
    EXPECT_EQ(ch1["limit_low"].toDouble(), 2);
    EXPECT_EQ(ch1["limit_high"].toDouble(), 8);
    // One hour above (the 12,5 hour), five minutes above; 8,0 is in range.
    EXPECT_EQ(ch1["seconds_above"].toInt(), 3600 + 5 * 60);
    EXPECT_EQ(ch1["seconds_in_range"].toInt(), 3 * 3600 + 45 * 60);
    EXPECT_EQ(ch1["share_in_range"].toDouble(), 0.7759);  // 13500 of 17400 s with data
    EXPECT_EQ(ch1["excursions"].toInt(), 3);
    EXPECT_EQ(ch1["longest_excursion_seconds"].toInt(), 3600);
    // Time-weighted: the hourly readings weigh sixty minutes each.
    EXPECT_EQ(ch1["mean"].toDouble(), std::round((3600 * (5 + 8 + 12.5 + 5) + 60 * (45 * 5 + 5 * 9)) / 17400.0 * 100) / 100);
    const QJsonArray alarms = ch1["alarms"].toArray();
    ASSERT_EQ(alarms.size(), 1);
    EXPECT_EQ(alarms[0].toObject()["side"].toString(), "high");
    EXPECT_EQ(alarms[0].toObject()["time"].toString(), "2024-05-16T07:00:00");  // one hourly sample outlasts the delay
    EXPECT_FALSE(ch1["pass"].toBool(true));

    const QJsonObject ch2 = channels[1].toObject();
    EXPECT_TRUE(ch2["limit_low"].isNull());
    EXPECT_EQ(ch2["limit_high"].toDouble(), -15);
    EXPECT_EQ(ch2["count"].toInt(), 4) << "the CSV has no CH2 readings";
    EXPECT_TRUE(ch2["pass"].toBool(false));
    const QJsonObject ch3 = channels[2].toObject();
    EXPECT_EQ(ch3["mkt"].toDouble(), 20);
    EXPECT_FALSE(ch3["pass"].toBool(true)) << "20 °C is above 8";

    // By start, then channel: CH3..CH8 are above all the time.
    const QJsonArray excursions = j["excursions"].toArray();
    ASSERT_EQ(excursions.size(), 3 + 6);
    EXPECT_EQ(excursions[0].toObject()["channel"].toInt(), 3);
    const QJsonObject first = excursions[6].toObject();
    EXPECT_EQ(first.size(), 7);
    EXPECT_EQ(first["channel"].toInt(), 1);
    EXPECT_EQ(first["side"].toString(), "high");
    EXPECT_EQ(first["start"].toString(), "2024-05-16T07:00:00");
    EXPECT_EQ(first["end"].toString(), "2024-05-16T08:00:00");
    EXPECT_EQ(first["peak"].toDouble(), 12.5);
    // The two-minute run before the gap ends at its last sample plus one.
    bool beforeGap = false;
    for (const QJsonValue& e : excursions)
        if (e.toObject()["start"].toString() == "2024-05-17T08:10:00")
            beforeGap = e.toObject()["end"].toString() == "2024-05-17T08:13:00" && e.toObject()["seconds"].toInt() == 180;
    EXPECT_TRUE(beforeGap);
}

TEST_F(Stats, ExitCodeSaysWhetherEveryJudgedChannelPassed)
{
    const QString file = minutes(QStringLiteral("day.csv"), {10, 11, 12});
    EXPECT_EQ(run({QStringLiteral("stats"), file, QStringLiteral("--limit"), QStringLiteral("2..8"), QStringLiteral("--delay"), QStringLiteral("4m")}).code, 0);
    EXPECT_EQ(run({QStringLiteral("stats"), file, QStringLiteral("--limit"), QStringLiteral("2..8"), QStringLiteral("--delay"), QStringLiteral("3m")}).code, 7);
    EXPECT_EQ(run({QStringLiteral("stats"), file, QStringLiteral("--limit"), QStringLiteral("2..9")}).code, 0) << "the limit itself is in range";
    EXPECT_EQ(run({QStringLiteral("stats"), file}).code, 0) << "nothing judged";
    // A channel named for itself without readings is never a pass.
    const CliResult empty = run({QStringLiteral("stats"), file, QStringLiteral("--limit"), QStringLiteral("ch2:2..8")});
    EXPECT_EQ(empty.code, 7);
    EXPECT_TRUE(empty.out.contains("NO DATA")) << empty.out.toStdString();
    EXPECT_TRUE(empty.err.contains("CH2 has no reading")) << empty.err.toStdString();
    // The CSV: one row per channel judged or read.
    const CliResult csv = run({QStringLiteral("stats"), file, QStringLiteral("--limit"), QStringLiteral("2..8"), QStringLiteral("-f"), QStringLiteral("csv")});
    const QList<QByteArray> rows = csv.out.split('\n');
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].startsWith("channel,count,first,last,min,min_time,max,max_time,mean,sd,mkt,limit_low,limit_high,"));
    EXPECT_EQ(rows[1], "1,60,2024-05-17T08:00:00,2024-05-17T08:59:00,5.00,2024-05-17T08:00:00,9.00,2024-05-17T08:10:00,5.20,0.88,5.25,"
                       "2.00,8.00,180,0,3420,0.9500,1,180,,2024-05-17T08:10:00,false\r");
}

TEST_F(Stats, RefusesWhatConvertRefusesAndSelectionsOfNothing)
{
    const QString good = minutes(QStringLiteral("good.csv"), {});
    const QString empty = write(QStringLiteral("empty.txt"), "");
    const CliResult withEmpty = run({QStringLiteral("stats"), good, empty});
    EXPECT_EQ(withEmpty.code, 5);
    EXPECT_EQ(withEmpty.err, run({QStringLiteral("convert"), good, empty}).err);
    const CliResult none = run({QStringLiteral("stats"), good, QStringLiteral("--from"), QStringLiteral("2024-05-18T00:00:00")});
    EXPECT_EQ(none.code, 5);
    EXPECT_TRUE(none.err.contains("no row with a real date and time between --from and --to")) << none.err.toStdString();
    EXPECT_TRUE(none.out.isEmpty());
    for (const auto& [options, named] : std::vector<std::pair<QStringList, QString>>{
             {{"--limit", "2,5..8"}, "--limit 2,5..8"},
             {{"--limit", "8..2"}, "--limit 8..2"},
             {{"--limit", "ch9:2..8"}, "--limit ch9:2..8"},
             {{"--limit", "2-8"}, "--limit 2-8"},
             {{"--delay", "15"}, "--delay 15"},
             {{"--mode", "sometimes"}, "--mode sometimes"},
             {{"--activation-energy", "-1"}, "--activation-energy -1"},
             {{"--from", "2024-05-17T09:00:00", "--to", "2024-05-17T08:00:00"}, "--from 2024-05-17T09:00:00 is after --to"},
             {{"-f", "xml"}, "xml"}}) {
        const CliResult r = run(QStringList{QStringLiteral("stats"), good} + options);
        EXPECT_EQ(r.code, 2) << named.toStdString();
        EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
    }
    // The selection is inclusive at both ends.
    const QJsonObject part = json({good, QStringLiteral("--from"), QStringLiteral("2024-05-17T08:10:00"), QStringLiteral("--to"),
                                      QStringLiteral("2024-05-17T08:19:00"), QStringLiteral("--channels"), QStringLiteral("1")},
        0);
    EXPECT_EQ(part["rows"].toInt(), 10);
    EXPECT_EQ(part["channels"].toArray().size(), 1);
}

// --- report ------------------------------------------------------------------

// The PDF's text as pdftotext extracts it, lines as laid out.
QString pdfText(const QString& path)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    extract.waitForFinished(30000);
    EXPECT_EQ(extract.exitCode(), 0) << "pdftotext, from poppler-utils";
    return QString::fromUtf8(extract.readAllStandardOutput()).simplified();
}

TEST_F(Stats, ReportWritesTheVerdictsNumbersAndSignatureAsTextInEitherLanguage)
{
    if (!QFileInfo(ProgramBeside(QStringLiteral("veltra8-plot"))).isExecutable())
        GTEST_SKIP() << "veltra8-plot is not built beside veltra8-cli, so nothing draws";
    const QString file = minutes(QStringLiteral("day.csv"), {10, 11, 12, 40});
    const QString pdf = dir.filePath(QStringLiteral("day.pdf"));
    const QStringList judged{QStringLiteral("report"), file, QStringLiteral("-o"), pdf, QStringLiteral("--limit"), QStringLiteral("2..8"),
        QStringLiteral("--delay"), QStringLiteral("3m"), QStringLiteral("--title"), QStringLiteral("Fridge 4")};
    const CliResult failed = run(judged);
    EXPECT_EQ(failed.code, 7) << failed.err.toStdString();
    QString text = pdfText(pdf);
    for (const QString& expected : {QStringLiteral("Fridge 4"), QStringLiteral("Files: ") + file,
             QStringLiteral("Period: 2024-05-17 08:00:00 to 2024-05-17 08:59:00 (60 rows, 0 without a real time)"),
             QStringLiteral("Sampling interval: 1m"),
             QStringLiteral("CH1 FAIL limits 2.00..8.00 min 5.00 max 9.00 mean 5.27 MKT 5.34 out of range 4m"),
             QStringLiteral("CH1 high from 2024-05-17 08:10:00 to 2024-05-17 08:13:00 (3m), peak 9.00 at 2024-05-17 08:10:00"),
             QStringLiteral("CH1 high from 2024-05-17 08:40:00 to 2024-05-17 08:41:00 (1m)"), QStringLiteral("Gaps none"),
             QStringLiteral("Reviewed by:"), QStringLiteral("Signature:"), QStringLiteral("Date:")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n in: " << text.toStdString();

    // A Spanish session; the PDF is written whether the channel passes or not.
    const CliResult passed = CliProcess(judged.mid(0, 6) + QStringList{QStringLiteral("--delay"), QStringLiteral("4m")}, dir.path(),
        {QStringLiteral("LANG=es_ES.UTF-8")}).Finish();
    EXPECT_EQ(passed.code, 0) << passed.err.toStdString();
    text = pdfText(pdf);
    for (const QString& expected : {QStringLiteral("CH1 PASA límites 2.00..8.00 mín 5.00 máx 9.00 media 5.27 MKT 5.34 fuera de rango 4m"),
             QStringLiteral("(60 filas, 0 sin hora real)"), QStringLiteral("Revisado por:"), QStringLiteral("Firma:"), QStringLiteral("Fecha:")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n in: " << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("NO PASA")));

    const CliResult png = run({QStringLiteral("report"), file, QStringLiteral("-o"), dir.filePath(QStringLiteral("day.png"))});
    EXPECT_EQ(png.code, 2);
    EXPECT_TRUE(png.err.contains(QStringLiteral("ending in .pdf"))) << png.err.toStdString();
}

}  // namespace

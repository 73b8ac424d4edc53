// The merge of many files into one series: its order, which rows it keeps,
// and what it reports.
#include "data/series_merge.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>

#include <deque>

namespace {

// Files written in the CSV's form; a row is "time=value", the value given
// to all eight channels, the time ISO, impossible or empty.
class Merge : public ::testing::Test {
protected:
    SeriesFile file(const QStringList& rows)
    {
        SeriesFile f;
        f.Form = ValueTexts::Csv;
        int line = 1;
        for (const QString& r : rows) {
            const QByteArray time = r.section(u'=', 0, 0).toLatin1();
            const QByteArray value = r.section(u'=', 1).toLatin1();
            const QByteArray& text = texts_.emplace_back("0," + time + (',' + value).repeated(8));
            SeriesRow row;
            row.Text = text;
            row.ValuesAt = int(time.size()) + 3;
            row.Line = ++line;
            const SeriesStamp stamp = StampOfIsoText(time).value();
            row.Seconds = stamp.Seconds;
            row.Kind = stamp.Kind;
            f.Rows.push_back(row);
        }
        return f;
    }
    // "file:time=value" per merged row.
    static QStringList rows(const std::vector<SeriesFile>& files, const MergedSeries& merged)
    {
        QStringList out;
        for (const RowRef& ref : merged.Rows) {
            const SeriesRow& row = files[ref.File].Rows[ref.Row];
            const QByteArrayView time = row.Text.sliced(2, row.ValuesAt - 3);
            const QByteArrayView value = row.Values().first(row.Values().indexOf(','));
            out << QStringLiteral("%1:%2=%3").arg(ref.File).arg(QString::fromLatin1(time), QString::fromLatin1(value));
        }
        return out;
    }

    std::deque<QByteArray> texts_;
};

TEST(SeriesStamps, RealOnlyForDatesAndTimesThatExist)
{
    const qint64 may17 = QDateTime(QDate(2024, 5, 17), QTime(8, 20, 30), Qt::UTC).toSecsSinceEpoch();
    EXPECT_EQ(StampOfTableTexts("17/05/2024", "08:20:30")->Seconds, may17);
    EXPECT_EQ(StampOfIsoText("2024-05-17T08:20:30")->Seconds, may17);
    EXPECT_EQ(StampOfTableTexts("29/02/2024", "23:59:59")->Kind, StampKind::Real);
    EXPECT_EQ(StampOfIsoText("2000-02-29T00:00:00")->Kind, StampKind::Real);
    // What the stamping rules make of out-of-range starts, and a year past
    // 2099 written as "20" + 100.
    for (const auto& [date, time] : std::vector<std::pair<const char*, const char*>>{{"33/01/2024", "10:00:00"}, {"01/13/2024", "10:00:00"},
             {"29/02/2023", "10:00:00"}, {"00/05/2024", "10:00:00"}, {"17/05/2024", "24:00:00"}, {"17/05/2024", "08:75:30"},
             {"17/05/2024", "08:100:30"}, {"01/01/20100", "00:00:00"}, {"7/05/2024", "08:20:30"}})
        EXPECT_EQ(StampOfTableTexts(date, time)->Kind, StampKind::Impossible) << date << ' ' << time;
    EXPECT_EQ(StampOfIsoText("2024-01-33T10:00:00")->Kind, StampKind::Impossible);
    EXPECT_EQ(StampOfTableTexts("", "")->Kind, StampKind::None);
    EXPECT_EQ(StampOfTableTexts("17/05/2024", "")->Kind, StampKind::None);
    EXPECT_EQ(StampOfIsoText("")->Kind, StampKind::None);
    for (const char* shapeless : {"2024/05/17T08:20:30", "2024-05-17 08:20:30", "2024-05-17T08:2x:30", "-024-05-17T08:20:30", "2024-05-17T08:20", "x", "2024-05-17T08:20:30Z"})
        EXPECT_FALSE(StampOfIsoText(shapeless).has_value()) << shapeless;
    EXPECT_FALSE(StampOfTableTexts("17-05-2024", "08:20:30").has_value());
}

TEST_F(Merge, OverlappingFilesGoInTimeOrderWithEachSharedSampleOnce)
{
    const std::vector<SeriesFile> files{file({"2024-05-17T08:00:00=1.0", "2024-05-17T08:05:00=2.0", "2024-05-17T08:10:00=3.0"}),
        file({"2024-05-17T08:05:00=2", "2024-05-17T08:10:00=3.00", "2024-05-17T08:15:00=4.0"}), file({"2024-05-16T23:55:00=0.5"})};
    const MergedSeries merged = MergeSeries(files);
    EXPECT_EQ(rows(files, merged), (QStringList{"2:2024-05-16T23:55:00=0.5", "0:2024-05-17T08:00:00=1.0", "1:2024-05-17T08:05:00=2",
                                       "1:2024-05-17T08:10:00=3.00", "1:2024-05-17T08:15:00=4.0"}));
    EXPECT_TRUE(merged.Overrides.empty()) << "2 and 3.00 are the values 2.0 and 3.0";
}

TEST(SeriesValues, SavedFileAndCsvTextsOfTheSameNumbersAgree)
{
    const auto row = [](QByteArrayView text, int valuesAt) {
        SeriesRow r;
        r.Text = text;
        r.ValuesAt = valuesAt;
        return r;
    };
    const SeriesRow saved = row("17/05/2024  08:00:00  23,5  -50,0    0,0  1235,0  1,0  2,0  3,0  ", 22);
    const SeriesRow csv = row("4,2024-05-17T08:00:00,23.50,-50.0,,0.0,1235,1.0,2.0,3.0", 22);
    const SeriesRow other = row("4,2024-05-17T08:00:00,23.5,-50.0,,0.0,1235,1.0,2.0,3.1", 22);
    const SeriesRow filled = row("4,2024-05-17T08:00:00,23.5,-50.0,0.0,0.0,1235,1.0,2.0,3.0", 22);
    EXPECT_TRUE(SameTemperatures(saved, ValueTexts::SavedFile, csv, ValueTexts::Csv));
    EXPECT_FALSE(SameTemperatures(saved, ValueTexts::SavedFile, other, ValueTexts::Csv)) << "CH8 differs";
    EXPECT_FALSE(SameTemperatures(saved, ValueTexts::SavedFile, filled, ValueTexts::Csv)) << "an empty CH3 is no reading";
}

TEST_F(Merge, TheFileNamedLaterWinsAndEachOverrideIsCountedWithItsFirstLines)
{
    const std::vector<SeriesFile> files{file({"2024-05-17T08:00:00=1.0", "2024-05-17T08:05:00=2.0", "2024-05-17T08:10:00=3.0"}),
        file({"2024-05-17T08:05:00=9.0", "2024-05-17T08:10:00=9.5", "2024-05-17T08:15:00="}),
        file({"2024-05-17T08:10:00=7.0", "2024-05-17T08:15:00=5.0"})};
    const MergedSeries merged = MergeSeries(files);
    EXPECT_EQ(rows(files, merged), (QStringList{"0:2024-05-17T08:00:00=1.0", "1:2024-05-17T08:05:00=9.0", "2:2024-05-17T08:10:00=7.0",
                                       "2:2024-05-17T08:15:00=5.0"}));
    ASSERT_EQ(merged.Overrides.size(), 3u);
    // File 2 over file 0 at 08:10 and over file 1 at 08:10 and 08:15 (an
    // empty reading is a value that differs); file 1 over file 0 at 08:05.
    EXPECT_EQ(merged.Overrides[0].File, 1);
    EXPECT_EQ(merged.Overrides[0].OverriddenFile, 0);
    EXPECT_EQ(merged.Overrides[0].Count, 1);
    EXPECT_EQ(merged.Overrides[0].FirstLine, 2);
    EXPECT_EQ(merged.Overrides[0].FirstOverriddenLine, 3);
    EXPECT_EQ(merged.Overrides[1].OverriddenFile, 0);
    EXPECT_EQ(merged.Overrides[2].File, 2);
    EXPECT_EQ(merged.Overrides[2].OverriddenFile, 1);
    EXPECT_EQ(merged.Overrides[2].Count, 2);
    EXPECT_EQ(merged.Overrides[2].FirstLine, 2);
    EXPECT_EQ(merged.Overrides[2].FirstOverriddenLine, 3);
}

TEST_F(Merge, AFilesOwnRowsAreNeverMergedWithEachOther)
{
    const std::vector<SeriesFile> files{file({"2024-05-17T08:00:00=1.0", "2024-05-17T08:00:00=1.0", "2024-05-17T08:05:00=2.0"}),
        file({"2024-05-17T08:05:00=2.0", "2024-05-17T08:05:00=2.5"})};
    const MergedSeries merged = MergeSeries(files);
    EXPECT_EQ(rows(files, merged), (QStringList{"0:2024-05-17T08:00:00=1.0", "0:2024-05-17T08:00:00=1.0", "1:2024-05-17T08:05:00=2.0",
                                       "1:2024-05-17T08:05:00=2.5"}));
    EXPECT_TRUE(merged.Overrides.empty()) << "file 0's 2.0 is among file 1's rows at 08:05";
}

TEST_F(Merge, RowsWithoutARealTimeKeepTheirPlaceInTheirFile)
{
    const std::vector<SeriesFile> files{
        file({"2024-01-31T23:58:00=0.0", "2024-01-31T23:59:00=1.0", "2024-01-32T00:00:00=2.0", "2024-01-32T00:01:00=3.0", "2024-02-01T00:02:00=4.0"}),
        file({"2024-01-33T10:00:00=5.0", "2024-01-31T23:59:00=1.0", "2024-02-01T00:00:00=6.0"}), file({"=7.0", "=8.0"}),
        file({"2024-01-31T23:58:00=0.0", "=9.0"}), file({"=10.0"})};
    const MergedSeries merged = MergeSeries(files);
    EXPECT_EQ(rows(files, merged), (QStringList{
                                       "3:2024-01-31T23:58:00=0.0",
                                       "3:=9.0",  // after every row at its file's last real time
                                       "1:2024-01-33T10:00:00=5.0",  // just before its file's first real time
                                       "1:2024-01-31T23:59:00=1.0",
                                       "0:2024-01-32T00:00:00=2.0",  // after the last real time of its file
                                       "0:2024-01-32T00:01:00=3.0",
                                       "1:2024-02-01T00:00:00=6.0",
                                       "0:2024-02-01T00:02:00=4.0",
                                       "2:=7.0",  // files without a real time last, in the order named
                                       "2:=8.0",
                                       "4:=10.0",
                                   }));
}

TEST_F(Merge, OneFileStaysAsItIsAndAFileOutOfOrderIsSortedInAMerge)
{
    const std::vector<SeriesFile> one{file({"2024-05-17T08:10:00=1.0", "2024-05-17T08:00:00=2.0", "2024-05-17T08:00:00=2.0"})};
    EXPECT_EQ(MergeSeries(one).Rows, (LargeVector<RowRef>{{0, 0}, {0, 1}, {0, 2}}));
    const std::vector<SeriesFile> two{one[0], file({"2024-05-17T08:05:00=3.0"})};
    EXPECT_EQ(rows(two, MergeSeries(two)), (QStringList{"0:2024-05-17T08:00:00=2.0", "0:2024-05-17T08:00:00=2.0", "1:2024-05-17T08:05:00=3.0",
                                               "0:2024-05-17T08:10:00=1.0"}));
    EXPECT_TRUE(MergeSeries({}).Rows.empty());
}

TEST_F(Merge, SamplingIntervalIsTheCommonestStepBetweenNeighbours)
{
    EXPECT_EQ(SamplingInterval(file({"2024-05-17T08:00:00=1", "2024-05-17T08:15:00=1", "2024-05-17T08:30:00=1", "2024-05-20T00:00:00=1"})), 900);
    EXPECT_EQ(SamplingInterval(file({"2024-05-17T08:00:00=1", "2024-01-33T08:01:00=1", "2024-05-17T08:02:00=1", "2024-05-17T08:03:00=1"})), 60)
        << "neighbours only: the rows around an impossible one show no step";
    EXPECT_EQ(SamplingInterval(file({"2024-05-17T08:00:00=1", "2024-05-17T08:05:00=1", "2024-05-17T09:05:00=1"})), 300) << "a tie: the smaller";
    EXPECT_EQ(SamplingInterval(file({"2024-05-17T08:00:00=1", "=1"})), 0);
}

}  // namespace

#include "analysis/judgement.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

constexpr double None = std::nan("");
constexpr qint64 Minute = 60;
constexpr qint64 Hour = 3600;

// CH1 alone, judged against `limits`.
JudgementOptions channelOne(std::optional<Limits> limits, qint64 delay = 0, AlarmMode mode = AlarmMode::Consecutive)
{
    JudgementOptions options;
    options.Channels = {1};
    options.Limit[0] = limits;
    options.Delay = delay;
    options.Mode = mode;
    return options;
}

SeriesJudgement judge(const JudgementOptions& options, std::initializer_list<std::pair<qint64, double>> samples, qint64 interval = Minute)
{
    SeriesJudge judge(options);
    for (const auto& [time, value] : samples)
        judge.Add(time, interval, {value, None, None, None, None, None, None, None});
    return judge.Finish();
}

// Readings a minute apart from time 0.
SeriesJudgement everyMinute(const JudgementOptions& options, std::initializer_list<double> values)
{
    SeriesJudge judge(options);
    qint64 time = 0;
    for (double value : values) {
        judge.Add(time, Minute, {value, None, None, None, None, None, None, None});
        time += Minute;
    }
    return judge.Finish();
}

JudgementOptions limited(double low, double high, qint64 delay = 0, AlarmMode mode = AlarmMode::Consecutive)
{
    return channelOne(Limits{low, high}, delay, mode);
}

TEST(MeanKineticTemperature, KnownValues)
{
    const JudgementOptions open = channelOne(std::nullopt);
    EXPECT_NEAR(everyMinute(open, {20, 30}).Channels[0].Mkt, 26.26, 0.005);
    EXPECT_NEAR(everyMinute(open, {25, 25, 25}).Channels[0].Mkt, 25.00, 0.005);
    // 23 hours at 5 °C and one at 25 °C, as hourly samples: weighted by time.
    SeriesJudge day(open);
    for (int h = 0; h < 24; ++h)
        day.Add(h * Hour, Hour, {h == 23 ? 25.0 : 5.0, None, None, None, None, None, None, None});
    EXPECT_NEAR(day.Finish().Channels[0].Mkt, 7.76, 0.005);
}

TEST(MeanKineticTemperature, MixedRatesWeighByInterval)
{
    // One hourly 25 °C sample and 23 hours of minute samples at 5 °C give the
    // same as the hourly day above.
    SeriesJudge judge(channelOne(std::nullopt));
    judge.Add(0, Hour, {25, None, None, None, None, None, None, None});
    for (qint64 m = 0; m < 23 * 60; ++m)
        judge.Add(Hour + m * Minute, Minute, {5, None, None, None, None, None, None, None});
    const ChannelStatistics s = judge.Finish().Channels[0];
    EXPECT_NEAR(s.Mkt, 7.76, 0.005);
    EXPECT_NEAR(s.Mean, (25.0 + 23 * 5.0) / 24, 1e-9);
}

TEST(MeanKineticTemperature, StableForAMillionExtremeReadings)
{
    SeriesJudge judge(channelOne(std::nullopt));
    for (qint64 i = 0; i < 1'000'000; ++i)
        judge.Add(i * Minute, Minute, {i % 2 ? 150.0 : -50.0, None, None, None, None, None, None, None});
    const ChannelStatistics s = judge.Finish().Channels[0];
    ASSERT_TRUE(std::isfinite(s.Mkt));
    // The hot half rules: the mean of the exponentials is about half the hot one's.
    const double hot = 150 + 273.15;
    const double expected = 10000 / (10000 / hot + std::log(2.0)) - 273.15;
    EXPECT_NEAR(s.Mkt, expected, 1e-6);
    EXPECT_NEAR(s.Mean, 50, 1e-9);
    EXPECT_NEAR(s.Sd, 100, 1e-3);
}

TEST(Statistics, MinMaxFirstOccurrenceAndSampleDeviation)
{
    const ChannelStatistics s = everyMinute(channelOne(std::nullopt), {4, 2, 9, 2, 9, 4}).Channels[0];
    EXPECT_EQ(s.Count, 6);
    EXPECT_EQ(s.Min, 2);
    EXPECT_EQ(s.MinTime, 1 * Minute);
    EXPECT_EQ(s.Max, 9);
    EXPECT_EQ(s.MaxTime, 2 * Minute);
    EXPECT_EQ(s.First, 0);
    EXPECT_EQ(s.Last, 5 * Minute);
    EXPECT_NEAR(s.Mean, 5, 1e-12);
    EXPECT_NEAR(s.Sd, std::sqrt(52.0 / 5), 1e-12);
    EXPECT_FALSE(s.Judged);
    EXPECT_TRUE(s.Alarms.empty());
}

TEST(Excursions, LimitValuesAreInRangeAndASpikeIsOneInterval)
{
    const SeriesJudgement j = everyMinute(limited(2, 8), {2, 8, 8.1, 8, 1.9, 5});
    ASSERT_EQ(j.Excursions.size(), 2u);
    EXPECT_EQ(j.Excursions[0].Where, Side::High);
    EXPECT_EQ(j.Excursions[0].Start, 2 * Minute);
    EXPECT_EQ(j.Excursions[0].End, 3 * Minute);
    EXPECT_EQ(j.Excursions[0].Peak, 8.1);
    EXPECT_EQ(j.Excursions[1].Where, Side::Low);
    EXPECT_EQ(j.Excursions[1].Seconds(), Minute);
    const ChannelStatistics& s = j.Channels[0];
    EXPECT_EQ(s.SecondsInRange, 4 * Minute);
    EXPECT_EQ(s.SecondsAbove, Minute);
    EXPECT_EQ(s.SecondsBelow, Minute);
    ASSERT_EQ(s.Alarms.size(), 2u);
    EXPECT_EQ(s.Alarms[0].Time, 2 * Minute);
    EXPECT_EQ(s.Alarms[1].Where, Side::Low);
    EXPECT_FALSE(j.AllPass());
    // The same spikes with a delay of two minutes trip nothing.
    EXPECT_TRUE(everyMinute(limited(2, 8, 2 * Minute), {2, 8, 8.1, 8, 1.9, 5}).AllPass());
}

TEST(Excursions, AGapEndsOneAndIsListed)
{
    const SeriesJudgement j = judge(limited(2, 8), {{0, 9}, {60, 10}, {120, 11}, {300, 12}, {360, 5}});
    ASSERT_EQ(j.Gaps.size(), 1u);
    EXPECT_EQ(j.Gaps[0].From, 120);
    EXPECT_EQ(j.Gaps[0].To, 300);
    ASSERT_EQ(j.Excursions.size(), 2u);
    EXPECT_EQ(j.Excursions[0].End, 180);  // its last sample plus one interval
    EXPECT_EQ(j.Excursions[0].Peak, 11);
    EXPECT_EQ(j.Excursions[0].PeakTime, 120);
    EXPECT_EQ(j.Excursions[1].Start, 300);
    EXPECT_EQ(j.Excursions[1].End, 360);
    EXPECT_EQ(j.Channels[0].SecondsAbove, 4 * Minute);  // the gap counts nowhere
    EXPECT_EQ(j.Channels[0].LongestExcursion, 3 * Minute);
    // 1.5 intervals exactly is no gap.
    EXPECT_TRUE(judge(limited(2, 8), {{0, 5}, {90, 5}}).Gaps.empty());
}

TEST(Excursions, RunningToTheEndLastsItsLastInterval)
{
    const SeriesJudgement j = everyMinute(limited(2, 8), {5, 9, 9});
    ASSERT_EQ(j.Excursions.size(), 1u);
    EXPECT_EQ(j.Excursions[0].End, 3 * Minute);
}

TEST(Alarms, ConsecutiveAndCumulativeTripOnTheExactSample)
{
    // Three minutes above, one in range, three above: five minutes outside in
    // all, never more than three in a row.
    const std::initializer_list<double> values{9, 9, 9, 5, 9, 9, 9};
    EXPECT_TRUE(everyMinute(limited(2, 8, 5 * Minute), values).AllPass());
    const SeriesJudgement cumulative = everyMinute(limited(2, 8, 5 * Minute, AlarmMode::Cumulative), values);
    ASSERT_EQ(cumulative.Channels[0].Alarms.size(), 1u);
    EXPECT_EQ(cumulative.Channels[0].Alarms[0].Time, 5 * Minute);  // the fifth sample outside
    EXPECT_EQ(cumulative.Channels[0].Alarms[0].ExcursionStart, 4 * Minute);
    const SeriesJudgement consecutive = everyMinute(limited(2, 8, 3 * Minute), values);
    ASSERT_EQ(consecutive.Channels[0].Alarms.size(), 1u);  // once per side
    EXPECT_EQ(consecutive.Channels[0].Alarms[0].Time, 2 * Minute);
    // At one sample a minute, 30 minutes trips at the 30th sample outside.
    SeriesJudge half(limited(2, 8, 30 * Minute));
    for (qint64 m = 0; m < 40; ++m)
        half.Add(m * Minute, Minute, {m >= 5 ? 9.0 : 5.0, None, None, None, None, None, None, None});
    EXPECT_EQ(half.Finish().Channels[0].Alarms.at(0).Time, (5 + 29) * Minute);
}

TEST(Alarms, DelayOfUpToOneIntervalTripsAtOnce)
{
    for (qint64 delay : {qint64(0), qint64(30), Minute})
        EXPECT_EQ(everyMinute(limited(2, 8, delay), {5, 1}).Channels[0].Alarms.at(0).Time, Minute) << delay;
}

TEST(Alarms, ChannelWithoutReadingsNeverPasses)
{
    const SeriesJudgement j = everyMinute(limited(2, 8), {None, None});
    EXPECT_EQ(j.Channels[0].Count, 0);
    EXPECT_FALSE(j.AllPass());
    EXPECT_EQ(j.Rows, 2);
}

TEST(Alarms, LiveTrackerTripsAndClears)
{
    ChannelAlarm alarm(1, AlarmRule{Limits{2, 8}, 2 * Minute, AlarmMode::Consecutive});
    EXPECT_FALSE(alarm.Add(0, Minute, 9, false).Tripped);
    EXPECT_EQ(alarm.Add(60, Minute, 9, false).Tripped, Side::High);
    EXPECT_TRUE(alarm.Active(Side::High));
    const AlarmChanges still = alarm.Add(120, Minute, 10, false);
    EXPECT_FALSE(still.Tripped || still.Cleared);
    // Straight from above to below: the one clears, the other counts anew.
    const AlarmChanges turn = alarm.Add(180, Minute, 1, false);
    EXPECT_EQ(turn.Cleared, Side::High);
    EXPECT_FALSE(turn.Tripped);
    EXPECT_EQ(alarm.Add(240, Minute, 1, false).Tripped, Side::Low);
    EXPECT_EQ(alarm.Add(300, Minute, 5, false).Cleared, Side::Low);
    EXPECT_FALSE(alarm.Active(Side::Low));
}

TEST(LimitTexts, ReadAndRefused)
{
    const auto limit = ReadLimitText(u"ch3:-20.5..-15");
    ASSERT_TRUE(limit);
    EXPECT_EQ(limit->Channel, 3);
    EXPECT_EQ(limit->Range.Low, -20.5);
    EXPECT_EQ(limit->Range.High, -15);
    EXPECT_FALSE(ReadLimitText(u"..30")->Range.HasLow());
    EXPECT_FALSE(ReadLimitText(u"2..")->Range.HasHigh());
    EXPECT_TRUE(ReadLimitText(u"5..5"));
    for (const char16_t* bad : {u"8..2", u"2,5..8", u"ch9:2..8", u"..", u"2-8", u"ch1:", u"2..8..9", u"ch1 2..8"})
        EXPECT_FALSE(ReadLimitText(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(ReadDuration(u"30s"), 30);
    EXPECT_EQ(ReadDuration(u"15m"), 900);
    EXPECT_EQ(ReadDuration(u"2h"), 7200);
    EXPECT_EQ(ReadDuration(u"1d"), 86400);
    EXPECT_EQ(ReadDuration(u"0"), 0);
    for (const char16_t* bad : {u"15", u"m", u"-5m", u"1.5h", u"2w"})
        EXPECT_FALSE(ReadDuration(bad));
}

}  // namespace

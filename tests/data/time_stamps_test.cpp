#include "data/time_stamps.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct StampCase {
    const char* name;
    StartStamp start;
    int step;
    QStringList rows;  // "DD/MM/YYYY hh:mm:ss" of rows 1, 2, ...
};

QStringList run(const StartStamp& start, int step, int rows)
{
    TStampGenerator g(start, step);
    QStringList out;
    for (int i = 0; i < rows; ++i) {
        g.Next();
        out << g.CurrentDateText() + QLatin1Char(' ') + g.CurrentTimeText();
    }
    return out;
}

class StampSteps : public ::testing::TestWithParam<StampCase> {};

TEST_P(StampSteps, RowOneIsOneStepAfterTheStart)
{
    const StampCase& c = GetParam();
    EXPECT_EQ(run(c.start, c.step, int(c.rows.size())), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Carries, StampSteps,
    ::testing::Values(
        StampCase{"Step1OverNewYear", {23, 12, 31, 23, 59, 7}, 1, {"01/01/2024 00:00:07", "01/01/2024 00:01:07"}},
        StampCase{"Step5OverNewYear", {23, 12, 31, 23, 55, 0}, 5, {"01/01/2024 00:00:00", "01/01/2024 00:05:00"}},
        StampCase{"Step30IntoLeapDay", {24, 2, 28, 23, 30, 0}, 30, {"29/02/2024 00:00:00"}},
        StampCase{"Step30OverFebruaryOfACommonYear", {23, 2, 28, 23, 30, 0}, 30, {"01/03/2023 00:00:00"}},
        StampCase{"Step15OverAThirtyDayMonth", {24, 4, 30, 23, 45, 0}, 15, {"01/05/2024 00:00:00"}},
        StampCase{"Step5OffTheStepGrid", {24, 5, 17, 10, 58, 15}, 5,
            {"17/05/2024 11:03:15", "17/05/2024 11:08:15", "17/05/2024 11:13:15"}},
        StampCase{"Step10OverTheHour", {24, 5, 17, 10, 55, 0}, 10, {"17/05/2024 11:05:00", "17/05/2024 11:15:00"}},
        StampCase{"Step1FromYear9IntoYear10", {9, 12, 31, 23, 59, 0}, 1, {"01/01/2010 00:00:00"}},
        StampCase{"Year2000IsALeapYear", {0, 2, 28, 23, 59, 0}, 1, {"29/02/2000 00:00:00"}},
        StampCase{"Step1StartMinute60NeverCarries", {24, 5, 17, 10, 60, 0}, 1,
            {"17/05/2024 10:61:00", "17/05/2024 10:62:00"}},
        StampCase{"Step5MinuteAbove60CarriesInTheSecondPass", {24, 5, 17, 10, 61, 0}, 5, {"17/05/2024 11:06:00"}},
        StampCase{"HourAbove24KeepsGrowing", {24, 5, 17, 25, 0, 0}, 60, {"17/05/2024 26:00:00", "17/05/2024 27:00:00"}},
        StampCase{"DayBeyondMonthPlusOneKeepsGrowing", {24, 1, 33, 23, 59, 0}, 1, {"34/01/2024 00:00:00"}},
        StampCase{"NoValidMonthYetMeansZeroDays", {24, 0, 0, 23, 59, 0}, 1, {"01/01/2024 00:00:00"}},
        StampCase{"MonthAbove13KeepsGrowing", {24, 14, 1, 23, 59, 0}, 1, {"02/14/2024 00:00:00"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(StampSteps, Step60AdvancesTheHourAndCrossesMidnight)
{
    const QStringList rows = run({24, 5, 17, 10, 20, 0}, 60, 14);
    EXPECT_EQ(rows.at(0), "17/05/2024 11:20:00");
    EXPECT_EQ(rows.at(1), "17/05/2024 12:20:00");
    EXPECT_EQ(rows.at(12), "17/05/2024 23:20:00");
    EXPECT_EQ(rows.at(13), "18/05/2024 00:20:00");
}

TEST(StampSteps, SecondsNeverChangeOverAFullMemory)
{
    TStampGenerator g({24, 2, 27, 21, 3, 41}, 1);
    for (int i = 0; i < 2000; ++i) {
        g.Next();
        ASSERT_EQ(g.Current().Second, 41);
        ASSERT_LT(g.Current().Minute, 60);
    }
    EXPECT_EQ(g.CurrentDateText() + ' ' + g.CurrentTimeText(), "29/02/2024 06:23:41");
}

TEST(DaysInMonth, LengthsAndThePreviousResultForInvalidMonths)
{
    const int days[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(DaysInMonth(m, 23, -1), days[m]) << "month " << m;
    EXPECT_EQ(DaysInMonth(2, 24, 0), 29);
    EXPECT_EQ(DaysInMonth(0, 24, 31), 31);
    EXPECT_EQ(DaysInMonth(13, 24, 30), 30);
}

TEST(StampTexts, YearRule)
{
    EXPECT_EQ(DateText(17, 5, 7), "17/05/2007");
    EXPECT_EQ(DateText(1, 1, 0), "01/01/2000");
    EXPECT_EQ(DateText(31, 12, 10), "31/12/2010");
}

}  // namespace

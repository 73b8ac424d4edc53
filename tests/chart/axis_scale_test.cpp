#include "chart/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace chartscale;

struct StepCase {
    double minimum;
    double expected;
};

class RoundStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(RoundStep, IsTheSmallestOneTwoOrFiveTimesAPowerOfTenAtLeastTheMinimum)
{
    EXPECT_DOUBLE_EQ(RoundStepAtLeast(GetParam().minimum), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, RoundStep,
    ::testing::Values(StepCase{1, 1}, StepCase{1.01, 2}, StepCase{2, 2}, StepCase{2.5, 5}, StepCase{5.01, 10},
        StepCase{0.3, 0.5}, StepCase{0.1 * 3, 0.5}, StepCase{0.2, 0.2}, StepCase{0.07, 0.1}, StepCase{99, 100},
        StepCase{1000, 1000}, StepCase{0.00042, 0.0005}, StepCase{0, 1}, StepCase{-3, 1}));

TEST(TicksWithin, SnapsToTheStepSoFractionsReadExactly)
{
    std::vector<double> got;
    for (double v : TicksWithin(0, 0.5, 0.1))
        got.push_back(v);
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[3], 0.3);  // not 0.30000000000000004
    EXPECT_EQ(got[5], 0.5);
}

TEST(TicksWithin, KeepsOnlyMultiplesInsideTheRange)
{
    QVector<double> t = TicksWithin(-7.5, 12.1, 5);
    EXPECT_EQ(t, (QVector<double>{-5, 0, 5, 10}));
    EXPECT_TRUE(TicksWithin(3.2, 3.8, 1).isEmpty());
    EXPECT_EQ(TicksWithin(-0.0001, 0, 1), QVector<double>{0});
    EXPECT_FALSE(std::signbit(TicksWithin(-0.5, 0.5, 1).front()));
    EXPECT_TRUE(TicksWithin(0, 1, 0).isEmpty());
    EXPECT_TRUE(TicksWithin(0, 1e12, 1).isEmpty());  // refuses to make a trillion ticks
}

// Labels of seven pixels per character, as digits of one font are.
static double sevenPerChar(double v)
{
    return 7.0 * QString::number(v).size();
}

TEST(LabelStep, StaysAtTheIncrementWhenEveryLabelFits)
{
    EXPECT_EQ(LabelStep(0, 20, 30, 1, 8, sevenPerChar), 1);
}

TEST(LabelStep, ThinsToWholeMultiplesWhenLabelsWouldOverlap)
{
    // 2000 samples over 650 pixels: four-digit labels need 36 px.
    double step = LabelStep(0, 1999, 650.0 / 1999, 1, 8, sevenPerChar);
    EXPECT_EQ(step, 200);
    EXPECT_GE(step * 650.0 / 1999, 7 * 4 + 8);
    EXPECT_LT(100 * 650.0 / 1999, 7 * 4 + 8);  // the step below would not fit
}

TEST(LabelStep, KeepsToTheIncrementsMultiples)
{
    double step = LabelStep(0, 100, 2, 3, 8, sevenPerChar);
    EXPECT_EQ(std::fmod(step, 3), 0);
    EXPECT_GE(step * 2, 7 * 3 + 8);
}

TEST(LabelStep, EndsEvenWithoutRoomForAnyLabel)
{
    double step = LabelStep(0, 10, 0.001, 1, 8, sevenPerChar);
    EXPECT_GT(step, 10);  // at most one label is left, and it returned
}

static std::vector<double> ascending(int n)
{
    std::vector<double> xs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        xs[static_cast<size_t>(i)] = i;
    return xs;
}

TEST(BuildPolyline, KeepsEveryPointWhenTheyAreFewerThanColumns)
{
    std::vector<double> xs = ascending(10), ys{3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
    QVector<QPointF> out;
    BuildPolyline(xs.data(), ys.data(), 0, 9, LinearMap{10, 0}, LinearMap{-1, 100}, out);
    ASSERT_EQ(out.size(), 10);
    EXPECT_EQ(out[5], QPointF(50, 91));
}

TEST(BuildPolyline, ReducesCrowdedColumnsToTheirLowestAndHighestPoint)
{
    // 2000 points on 100 columns: 20 points share each column.
    int n = 2000;
    std::vector<double> xs = ascending(n), ys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        ys[static_cast<size_t>(i)] = std::sin(i * 0.37) * 50 + (i == 1234 ? 500 : 0);
    QVector<QPointF> out;
    LinearMap toX{100.0 / n, 0}, toY{-1, 0};
    BuildPolyline(xs.data(), ys.data(), 0, n - 1, toX, toY, out);
    EXPECT_LE(out.size(), 2 * 100);
    EXPECT_GE(out.size(), 100);
    // The spike survives the reduction, so the drawn line still shows it.
    double highest = 0;
    for (const QPointF& p : out)
        highest = std::max(highest, -p.y());
    EXPECT_NEAR(highest, ys[1234], 1e-9);
    // Every column keeps its own lowest and highest value.
    for (int c = 0; c < 100; ++c) {
        double low = 1e9, high = -1e9, drawnLow = 1e9, drawnHigh = -1e9;
        for (int i = c * 20; i < c * 20 + 20; ++i) {
            low = std::min(low, ys[static_cast<size_t>(i)]);
            high = std::max(high, ys[static_cast<size_t>(i)]);
        }
        for (const QPointF& p : out) {
            if (std::floor(p.x()) == c) {
                drawnLow = std::min(drawnLow, -p.y());
                drawnHigh = std::max(drawnHigh, -p.y());
            }
        }
        EXPECT_EQ(drawnLow, low) << "column " << c;
        EXPECT_EQ(drawnHigh, high) << "column " << c;
    }
    // The points stay in order of X.
    for (int i = 1; i < out.size(); ++i)
        EXPECT_LE(out[i - 1].x(), out[i].x());
}

TEST(BuildPolyline, LeavesOutValuesThatAreNotNumbers)
{
    std::vector<double> xs = ascending(4), ys{1, NAN, 3, INFINITY};
    QVector<QPointF> out;
    BuildPolyline(xs.data(), ys.data(), 0, 3, LinearMap{10, 0}, LinearMap{1, 0}, out);
    EXPECT_EQ(out, (QVector<QPointF>{QPointF(0, 1), QPointF(20, 3)}));
}

struct RangeCase {
    double low, high;
    int first, last;
};

class VisibleRangeOf : public ::testing::TestWithParam<RangeCase> {};

TEST_P(VisibleRangeOf, TakesTheVisiblePointsAndOneNeighbourEachSide)
{
    std::vector<double> xs = ascending(100);
    IndexRange r = VisibleRange(xs.data(), 100, GetParam().low, GetParam().high);
    EXPECT_EQ(r.first, GetParam().first);
    EXPECT_EQ(r.last, GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(Windows, VisibleRangeOf,
    ::testing::Values(RangeCase{0, 99, 0, 99}, RangeCase{10, 20, 9, 21}, RangeCase{10.5, 20.5, 10, 21},
        RangeCase{-50, 5, 0, 6}, RangeCase{95, 200, 94, 99}, RangeCase{3.2, 3.8, 3, 4},
        RangeCase{150, 200, 0, -1}, RangeCase{-20, -10, 0, -1}));

// The indicators: the texts they show, how far their bars and pies fill, and
// that values beyond a scale are kept but drawn held to it.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <cmath>
#include <limits>

#include "platform/clock.h"
#include "toolkit/gauge.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "widgets/abclock.h"
#include "widgets/abgradient.h"
#include "widgets/abled.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"

namespace {

QImage renderOf(QWidget& w)
{
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w.render(&img);
    return img;
}

// A thermometer set up as the Live thermometers window has it.
void setUpAsLiveWindow(TAbThermometer& t)
{
    t.resize(77, 150);
    t.SetScale(-10, 45);
    t.SetDigitalRange(0, 1500);
    t.SetMainSteps(3);
    t.SetSubSteps(3);
    t.SetScaleLine(false);
    t.SetName1(QStringLiteral("Canal 3"));
    t.SetUnit(QStringLiteral("°C"));
    t.SetBarColor(QColor(0, 128, 0));
}

struct ValueTextCase {
    float value;
    const char* format;
    const char* text;
};

class ValueIndText : public ::testing::TestWithParam<ValueTextCase> {};

}  // namespace

TEST_P(ValueIndText, FormatsThroughThePictureWithTheDecimalComma)
{
    const ValueTextCase c = GetParam();
    TAbValueInd ind;
    ind.SetFormat(QString::fromLatin1(c.format));
    ind.SetUnit(QStringLiteral("°C"));
    ind.SetValue(c.value);
    EXPECT_EQ(ind.ValueText(), QString::fromLatin1(c.text));
    EXPECT_EQ(ind.DisplayText(), QString::fromLatin1(c.text) + QStringLiteral(" °C"));
}

INSTANTIATE_TEST_SUITE_P(Values, ValueIndText,
                         ::testing::Values(ValueTextCase{23.5f, "##0.0", "23,5"},
                                           ValueTextCase{-50.0f, "##0.0", "-50,0"},
                                           ValueTextCase{0.0f, "##0.0", "0,0"},
                                           ValueTextCase{359.5f, "##0.0", "359,5"},
                                           ValueTextCase{-0.1f, "##0.0", "-0,1"},
                                           ValueTextCase{51.2f, "#0.0", "51,2"},
                                           ValueTextCase{76.5f, "##0", "77"}));

TEST(ValueInd, NoNumber_ShowsATextInsteadOfFailing)
{
    TAbValueInd ind;
    ind.resize(70, 34);
    ind.SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FALSE(ind.ValueText().isEmpty());
    renderOf(ind);   // must not crash
}

struct BarCase {
    float value;
    int lit;
    const char* text;
};

class VBarFill : public ::testing::TestWithParam<BarCase> {};

TEST_P(VBarFill, LightsSegmentsUpToTheValue_KeepsTheValueAsGiven)
{
    const BarCase c = GetParam();
    TAbVBar bar;
    bar.SetValue(c.value);
    EXPECT_EQ(bar.Value(), c.value);
    EXPECT_EQ(bar.LitSegments(), c.lit);
    EXPECT_EQ(bar.DisplayText(), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Values, VBarFill,
                         ::testing::Values(BarCase{0, 0, "0 %"}, BarCase{50, 10, "50 %"}, BarCase{77, 15, "77 %"},
                                           BarCase{100, 20, "100 %"}, BarCase{110, 20, "110 %"},
                                           BarCase{-5, 0, "-5 %"}));

TEST(VBar, BarColour_PaintsTheLitSegments)
{
    TAbVBar bar;
    bar.resize(112, 221);
    bar.SetValue(100);
    const QRect r = bar.BarRect();
    const QPoint probe(r.left() + r.width() / 3, r.bottom() - 1);   // in the lowest segment

    bar.SetBarColor(QColor(255, 0, 0));
    QColor c = renderOf(bar).pixelColor(probe);
    EXPECT_GT(c.red(), 150);
    EXPECT_LT(c.green(), 110);

    bar.SetBarColor(QColor(0, 255, 0));
    c = renderOf(bar).pixelColor(probe);
    EXPECT_GT(c.green(), 150);
    EXPECT_LT(c.red(), 110);

    bar.SetValue(0);   // out: only a dim trace of the colour
    c = renderOf(bar).pixelColor(probe);
    EXPECT_LT(c.green(), 80);
}

TEST(Thermometer, ValueAboveTheScale_StoredUnchanged_BarStopsAtTheScaleTop)
{
    TAbThermometer t;
    setUpAsLiveWindow(t);
    t.SetValue(51.2f);
    EXPECT_EQ(t.Value(), 51.2f);
    EXPECT_EQ(t.DisplayText(), QStringLiteral("51,2 °C"));
    EXPECT_EQ(t.DigitalValue(), 1500);

    const QImage img = renderOf(t);
    const QRect bar = t.BarRect();
    ASSERT_GT(bar.height(), 40);
    const int x = bar.center().x();
    for (int y = bar.top(); y <= bar.bottom(); ++y)
        ASSERT_EQ(img.pixelColor(x, y), QColor(0, 128, 0)) << "row " << y;
    for (int y = 0; y < bar.top(); ++y)
        ASSERT_NE(img.pixelColor(x, y), QColor(0, 128, 0)) << "bar drawn above the scale at row " << y;

    // Everything but the value field looks as at the scale's top value.
    TAbThermometer top;
    setUpAsLiveWindow(top);
    top.SetValue(45.0f);
    const QImage atTop = renderOf(top);
    const int fieldTop = t.ValueRect().top();
    EXPECT_EQ(img.copy(0, 0, img.width(), fieldTop), atTop.copy(0, 0, img.width(), fieldTop));
}

TEST(Thermometer, ValueBelowTheScale_TubeEmpty)
{
    TAbThermometer t;
    setUpAsLiveWindow(t);
    t.SetValue(-20.0f);
    EXPECT_EQ(t.Value(), -20.0f);
    EXPECT_EQ(t.DigitalValue(), 0);
    const QImage img = renderOf(t);
    const QRect bar = t.BarRect();
    for (int y = bar.top(); y <= bar.bottom(); ++y)
        ASSERT_EQ(img.pixelColor(bar.center().x(), y), t.BarBackColor()) << "row " << y;
}

TEST(Thermometer, MidScaleValue_FillsHalfTheTube)
{
    TAbThermometer t;
    setUpAsLiveWindow(t);
    t.SetValue(17.5f);
    const QRect bar = t.BarRect();
    EXPECT_NEAR(t.BarTopY(), bar.top() + bar.height() / 2, 1);
    EXPECT_EQ(t.DigitalValue(), 750);
    t.SetValue(25.0f);
    EXPECT_EQ(t.DigitalValue(), 955);
}

TEST(Thermometer, ScaleLabels_EveryMainStepInTheLabelFormat)
{
    TAbThermometer t;
    setUpAsLiveWindow(t);
    EXPECT_EQ(t.ScaleLabels(), (QStringList{"-10", "8", "27", "45"}));
}

TEST(Thermometer, EmptyScale_DrawsAnEmptyTubeWithoutDividingByZero)
{
    TAbThermometer t;
    t.resize(77, 150);
    t.SetScale(10, 10);
    t.SetValue(12.0f);
    EXPECT_EQ(t.FillFraction(), 0.0);
    renderOf(t);
}

struct GaugeCase {
    int max;
    int progress;
    int stored;
    int percent;
};

class GaugeProgress : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(GaugeProgress, HeldWithinZeroAndMaximum)
{
    const GaugeCase c = GetParam();
    TGauge g;
    g.resize(31, 28);
    g.SetMaxValue(c.max);
    g.SetProgress(c.progress);
    EXPECT_EQ(g.Progress(), c.stored);
    EXPECT_EQ(g.PercentDone(), c.percent);
    renderOf(g);
}

INSTANTIATE_TEST_SUITE_P(Values, GaugeProgress,
                         ::testing::Values(GaugeCase{50, 0, 0, 0}, GaugeCase{50, 25, 25, 50},
                                           GaugeCase{50, 60, 50, 100}, GaugeCase{50, -3, 0, 0},
                                           GaugeCase{0, 5, 0, 0}));

TEST(Gauge, HalfDone_FillsTheRightHalfClockwiseFromTwelve)
{
    TGauge g;
    g.resize(60, 60);
    g.SetMaxValue(50);
    g.SetProgress(25);
    const QImage img = renderOf(g);
    EXPECT_EQ(img.pixelColor(42, 30), g.ForeColor());
    EXPECT_EQ(img.pixelColor(18, 30), g.BackColor());
}

TEST(Led, LitAndOut_LookDifferent)
{
    TAbLED led;
    led.resize(28, 34);
    led.SetColor(QColor(255, 0, 0));
    const QColor out = renderOf(led).pixelColor(14, 19);
    led.SetChecked(true);
    const QColor lit = renderOf(led).pixelColor(14, 19);
    EXPECT_GT(lit.red(), out.red() + 80);
}

TEST(Gradient, SwitchedOff_PaintsThePlainColour)
{
    TAbGradient g;
    g.resize(50, 100);
    g.SetStartColor(Qt::white);
    g.SetEndColor(Qt::black);
    QImage img = renderOf(g);
    EXPECT_NE(img.pixelColor(25, 2), img.pixelColor(25, 97));
    g.SetGradient(false);
    g.SetColor(QColor(10, 20, 30));
    img = renderOf(g);
    EXPECT_EQ(img.pixelColor(25, 2), QColor(10, 20, 30));
    EXPECT_EQ(img.pixelColor(25, 97), QColor(10, 20, 30));
}

TEST(Clock, ShowsThePcTimeOrDateInTheProcessFormats)
{
    FixedClock fixed(QDateTime(QDate(2031, 12, 1), QTime(9, 3, 7)));
    SetPcClock(&fixed);
    TAbClock time(TAbClock::Time);
    TAbClock date(TAbClock::Date);
    EXPECT_EQ(time.ShownText(), QStringLiteral("09:03:07"));
    EXPECT_EQ(date.ShownText(), QStringLiteral("01/12/2031"));
    SetPcClock(nullptr);
}

TEST(Clock, WhileShown_KeepsItselfCurrent)
{
    FixedClock fixed(QDateTime(QDate(2022, 3, 7), QTime(14, 5, 9, 990)));
    SetPcClock(&fixed);
    TAbClock clock(TAbClock::Time);
    clock.resize(101, 28);
    clock.show();
    EXPECT_EQ(clock.ShownText(), QStringLiteral("14:05:09"));
    fixed.Set(QDateTime(QDate(2022, 3, 7), QTime(14, 5, 10, 3)));
    EXPECT_TRUE(WaitUntil([&] { return clock.ShownText() == QStringLiteral("14:05:10"); }, 2500));
    clock.hide();
    SetPcClock(nullptr);
}

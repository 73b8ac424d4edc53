#include "chart/chart.h"
#include "chart/line_series.h"
#include "platform/formats.h"
#include "tests/support/printers.h"
#include "widgets/fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QtMath>

#include <cmath>
#include <memory>

namespace {

// A chart set up as the program's chart window sets its own.
std::unique_ptr<TChart> programChart(int samples, int width = 714, int height = 454)
{
    auto chart = std::make_unique<TChart>();
    chart->resize(width, height);
    chart->SetTitle(QStringLiteral("TEMPERATURA 8 CANALES"));
    chart->SetTitleFont(ArialPixels(13, true));
    chart->SetLegendVisible(false);
    chart->SetGradientVisible(true);
    chart->SetPanelColor(Qt::blue);
    chart->SetBevelInner(TChart::BevelStyle::Lowered);
    chart->SetBevelWidth(3);
    chart->SetBorderWidth(2);
    chart->BottomAxis().SetValuesFormat(QStringLiteral("##.##.##"));
    chart->BottomAxis().SetIncrement(1);
    chart->BottomAxis().SetTitle(QStringLiteral("Muestra número: (tiempo)"));
    chart->LeftAxis().SetTitle(QStringLiteral("TEMPERATURA ºC"));
    chart->RightAxis().SetVisible(false);
    chart->TopAxis().SetVisible(false);
    const QColor colours[] = {Qt::red, Qt::blue};
    for (int k = 0; k < 2; ++k) {
        auto* s = new TLineSeries(chart.get());
        s->SetSeriesColor(colours[k]);
        for (int i = 0; i < samples; ++i)
            s->AddY(20 + 10 * std::sin(i * 0.01 + k) + k);
    }
    return chart;
}

void send(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
        held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A drag as the user makes it: press, a few moves on the way, release.
void drag(QWidget* w, Qt::MouseButton button, QPoint from, QPoint to)
{
    send(w, QEvent::MouseButtonPress, button, from);
    for (int i = 1; i <= 4; ++i)
        send(w, QEvent::MouseMove, button, from + (to - from) * i / 4);
    send(w, QEvent::MouseButtonRelease, button, to);
}

struct Range {
    double xMin, xMax, yMin, yMax;
};

Range rangeOf(const TChart& c)
{
    return {c.BottomAxis().Minimum(), c.BottomAxis().Maximum(), c.LeftAxis().Minimum(), c.LeftAxis().Maximum()};
}

int countPixels(const QImage& image, QRgb colour, const QRect& within)
{
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++n;
    return n;
}

}  // namespace

TEST(ChartSeries, ListKeepsCreationOrderAndForgetsDeletedSeries)
{
    TChart chart;
    auto* a = new TLineSeries(&chart);
    auto* b = new TLineSeries(&chart);
    auto* c = new TLineSeries(&chart);
    ASSERT_EQ(chart.SeriesCount(), 3);
    EXPECT_EQ(chart.Series(0), a);
    EXPECT_EQ(chart.Series(2), c);
    EXPECT_EQ(chart.Series(3), nullptr);
    EXPECT_EQ(chart.Series(-1), nullptr);
    delete b;
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(1), c);
}

TEST(ChartAxes, AutomaticRangeFollowsActiveSeriesOnly)
{
    TChart chart;
    TLineSeries low(&chart), high(&chart);
    for (int i = 0; i < 5; ++i)
        low.AddY(i);          // 0 .. 4
    for (int i = 0; i < 10; ++i)
        high.AddY(100 + i);   // 100 .. 109, X up to 9
    EXPECT_EQ(chart.LeftAxis().Maximum(), 109);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 9);
    high.SetActive(false);
    EXPECT_EQ(chart.LeftAxis().Minimum(), 0);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 4);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 4);
    low.Clear();
    low.AddY(-12.5);
    EXPECT_EQ(chart.LeftAxis().Minimum(), -12.5);
}

TEST(ChartAxes, LeftTicksAreEvenlySpacedRoundNumbersInsideTheRange)
{
    auto chart = programChart(2000);
    double step = chart->LeftAxis().LabelStep();
    double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    EXPECT_TRUE(qFuzzyCompare(mantissa, 1.0) || qFuzzyCompare(mantissa, 2.0) || qFuzzyCompare(mantissa, 5.0)) << step;
    QList<TAxisLabel> labels = chart->LeftAxis().Labels();
    ASSERT_GE(labels.size(), 3);
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_GE(labels[i].Value, chart->LeftAxis().Minimum());
        EXPECT_LE(labels[i].Value, chart->LeftAxis().Maximum());
        EXPECT_NEAR(std::remainder(labels[i].Value, step), 0, 1e-9);
        if (i > 0) {
            EXPECT_NEAR(labels[i].Value - labels[i - 1].Value, step, 1e-9);
            EXPECT_FALSE(labels[i].Rect.intersects(labels[i - 1].Rect));
        }
    }
}

struct LabelCase {
    double value;
    const char* text;
};

class BottomLabelText : public ::testing::TestWithParam<LabelCase> {};

// Sample numbers read as plain integers; fractions, which a zoom brings,
// with the decimal comma.
TEST_P(BottomLabelText, FollowsThePicturePattern)
{
    Formats().DecimalSeparator = QLatin1Char(',');
    auto chart = programChart(0);
    EXPECT_EQ(chart->BottomAxis().LabelText(GetParam().value), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Pattern, BottomLabelText,
    ::testing::Values(LabelCase{0, "0"}, LabelCase{7, "7"}, LabelCase{250, "250"}, LabelCase{1999, "1999"},
        LabelCase{12.5, "12,5"}, LabelCase{3.25, "3,25"}, LabelCase{-4, "-4"}));

TEST(ChartAxes, ZoomBetweenTwoSamplesLabelsTheEndsWithFractions)
{
    Formats().DecimalSeparator = QLatin1Char(',');
    auto chart = programChart(100);
    chart->BottomAxis().SetMinMax(3.25, 3.75);
    QStringList texts;
    for (const TAxisLabel& l : chart->BottomAxis().Labels())
        texts << l.Text;
    EXPECT_EQ(texts, (QStringList{"3,25", "3,75"}));
}

class BottomLabelsOn2000Samples : public ::testing::TestWithParam<int> {};

// At any width and zoom the labels stand on whole multiples of the step and
// are further apart than they are wide.
TEST_P(BottomLabelsOn2000Samples, NeverOverlap)
{
    auto chart = programChart(2000, GetParam(), 454);
    const std::pair<double, double> views[] = {{0, 1999}, {0, 120}, {990.5, 1010.5}, {1500, 1507}, {-40, 2100}};
    QFontMetricsF fm(chart->BottomAxis().LabelsFont());
    for (auto [low, high] : views) {
        if (low == 0 && high == 1999)
            chart->UndoZoom();
        else
            chart->BottomAxis().SetMinMax(low, high);
        double step = chart->BottomAxis().LabelStep();
        EXPECT_GE(step, 1);
        EXPECT_EQ(step, std::floor(step)) << "label step " << step << " is not whole";
        double pixelsPerStep = chart->XPixel(step) - chart->XPixel(0);
        QList<TAxisLabel> labels = chart->BottomAxis().Labels();
        ASSERT_GE(labels.size(), 2) << low << ".." << high;
        for (int i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(std::fmod(labels[i].Value, step), 0);
            EXPECT_GE(pixelsPerStep, fm.horizontalAdvance(labels[i].Text)) << labels[i].Text.toStdString();
            if (i > 0) {
                EXPECT_LT(labels[i - 1].Rect.right(), labels[i].Rect.left())
                    << labels[i - 1].Text.toStdString() << " and " << labels[i].Text.toStdString()
                    << " overlap at width " << GetParam();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, BottomLabelsOn2000Samples, ::testing::Values(714, 300, 1400, 2600));

class ChartMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart = programChart(500);
        chart->show();
        plot = chart->PlotRect();
        full = rangeOf(*chart);
    }
    std::unique_ptr<TChart> chart;
    QRect plot;
    Range full{};
};

TEST_F(ChartMouse, LeftDragFromUpperLeftToLowerRightZoomsIntoTheRectangle)
{
    QPoint from = plot.topLeft() + QPoint(100, 60), to = from + QPoint(200, 150);
    double x0 = chart->XValueAt(from.x()), x1 = chart->XValueAt(to.x());
    double y1 = chart->YValueAt(from.y()), y0 = chart->YValueAt(to.y());
    drag(chart.get(), Qt::LeftButton, from, to);
    EXPECT_TRUE(chart->IsZoomed());
    Range r = rangeOf(*chart);
    EXPECT_NEAR(r.xMin, x0, 1e-9);
    EXPECT_NEAR(r.xMax, x1, 1e-9);
    EXPECT_NEAR(r.yMin, y0, 1e-9);
    EXPECT_NEAR(r.yMax, y1, 1e-9);
    // The rectangle's corners are now the plot's corners (the plot itself may
    // have moved, as the left labels changed).
    QRect now = chart->PlotRect();
    EXPECT_NEAR(chart->XPixel(x0), now.left(), 0.5);
    EXPECT_NEAR(chart->XPixel(x1), now.right(), 0.5);
    EXPECT_NEAR(chart->YPixel(y1), now.top(), 0.5);
    EXPECT_NEAR(chart->YPixel(y0), now.bottom(), 0.5);
}

class ReverseDrag : public ChartMouse, public ::testing::WithParamInterface<QPoint> {};

TEST_P(ReverseDrag, TowardAnyOtherCornerRestoresTheFullView)
{
    drag(chart.get(), Qt::LeftButton, plot.topLeft() + QPoint(50, 40), plot.topLeft() + QPoint(250, 200));
    ASSERT_TRUE(chart->IsZoomed());
    QPoint centre = plot.center();
    drag(chart.get(), Qt::LeftButton, centre, centre + GetParam());
    EXPECT_FALSE(chart->IsZoomed());
    Range r = rangeOf(*chart);
    EXPECT_EQ(r.xMin, full.xMin);
    EXPECT_EQ(r.xMax, full.xMax);
    EXPECT_EQ(r.yMin, full.yMin);
    EXPECT_EQ(r.yMax, full.yMax);
}

INSTANTIATE_TEST_SUITE_P(Corners, ReverseDrag,
    ::testing::Values(QPoint(-100, -80), QPoint(100, -80), QPoint(-100, 80), QPoint(-17, -17)));

struct SmallDrag {
    int dx, dy;
    bool zooms;
};

class ZoomThreshold : public ChartMouse, public ::testing::WithParamInterface<SmallDrag> {};

TEST_P(ZoomThreshold, CountsOnlyBeyondSixteenPixelsBothWays)
{
    QPoint from = plot.center();
    drag(chart.get(), Qt::LeftButton, from, from + QPoint(GetParam().dx, GetParam().dy));
    EXPECT_EQ(chart->IsZoomed(), GetParam().zooms);
}

INSTANTIATE_TEST_SUITE_P(Spans, ZoomThreshold,
    ::testing::Values(SmallDrag{16, 16, false}, SmallDrag{16, 120, false}, SmallDrag{120, 16, false},
        SmallDrag{0, 0, false}, SmallDrag{17, 17, true}, SmallDrag{120, 120, true}));

TEST_F(ChartMouse, SmallReverseDragLeavesAZoomInPlace)
{
    drag(chart.get(), Qt::LeftButton, plot.topLeft() + QPoint(50, 40), plot.topLeft() + QPoint(250, 200));
    Range zoomed = rangeOf(*chart);
    drag(chart.get(), Qt::LeftButton, plot.center(), plot.center() - QPoint(10, 40));
    EXPECT_TRUE(chart->IsZoomed());
    EXPECT_EQ(rangeOf(*chart).xMin, zoomed.xMin);
}

TEST_F(ChartMouse, RightDragScrollsBothAxesByTheMouseDelta)
{
    double unitsPerPixelX = (full.xMax - full.xMin) / (chart->XPixel(full.xMax) - chart->XPixel(full.xMin));
    double unitsPerPixelY = (full.yMax - full.yMin) / (chart->YPixel(full.yMin) - chart->YPixel(full.yMax));
    drag(chart.get(), Qt::RightButton, plot.center(), plot.center() + QPoint(60, -30));
    Range r = rangeOf(*chart);
    // The content follows the mouse: right moves the view to lower X, up to lower Y.
    EXPECT_NEAR(r.xMin, full.xMin - 60 * unitsPerPixelX, 1e-6);
    EXPECT_NEAR(r.xMax - r.xMin, full.xMax - full.xMin, 1e-6);
    EXPECT_NEAR(r.yMin, full.yMin - 30 * unitsPerPixelY, 1e-6);
    EXPECT_NEAR(r.yMax - r.yMin, full.yMax - full.yMin, 1e-6);
    // The left button's reverse drag brings the full view back after a scroll too.
    drag(chart.get(), Qt::LeftButton, plot.center(), plot.center() - QPoint(40, 40));
    EXPECT_EQ(rangeOf(*chart).xMin, full.xMin);
}

TEST_F(ChartMouse, RubberBandShowsWhileDraggingAndGoesOnRelease)
{
    QPoint from = plot.topLeft() + QPoint(30, 30);
    send(chart.get(), QEvent::MouseButtonPress, Qt::LeftButton, from);
    send(chart.get(), QEvent::MouseMove, Qt::LeftButton, from + QPoint(80, 60));
    EXPECT_EQ(chart->RubberBand(), QRect(from, from + QPoint(80, 60)));
    QImage shown = chart->grab().toImage();
    // The band's dashed outline is drawn over the chart on screen.
    int dark = 0;
    for (int x = from.x(); x <= from.x() + 80; ++x)
        if (qGray(shown.pixel(x, from.y())) < 60)
            ++dark;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(countPixels(chart->ToImage(), qRgb(0, 0, 0), QRect(from.x() + 20, from.y(), 40, 1)), 0)
        << "the band belongs to the screen, not to the chart's own drawing";
    send(chart.get(), QEvent::MouseButtonRelease, Qt::LeftButton, from + QPoint(80, 60));
    EXPECT_TRUE(chart->RubberBand().isEmpty());
}

TEST(ChartDrawing, ImageHasTheClientSize)
{
    auto chart = programChart(50, 714, 454);
    EXPECT_EQ(chart->ToImage().size(), QSize(714, 454));
    chart->resize(300, 200);
    EXPECT_EQ(chart->ToImage().size(), QSize(300, 200));
}

TEST(ChartDrawing, InactiveSeriesIsNotDrawn)
{
    auto chart = programChart(300);
    QRect plot = chart->PlotRect();
    QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    QImage both = chart->ToImage();
    EXPECT_GT(countPixels(both, red, plot), 300);
    EXPECT_GT(countPixels(both, blue, plot), 300);
    chart->Series(0)->SetActive(false);
    QImage one = chart->ToImage();
    EXPECT_EQ(countPixels(one, red, plot), 0);
    EXPECT_GT(countPixels(one, blue, plot), 300);
}

TEST(ChartDrawing, LinesStayInsideThePlot)
{
    auto chart = programChart(500);
    chart->BottomAxis().SetMinMax(100, 200);
    chart->LeftAxis().SetMinMax(15, 20);  // the lines run beyond the top and bottom
    QImage image = chart->ToImage();
    QRect plot = chart->PlotRect();
    QRect above(plot.left(), plot.top() - 12, plot.width(), 10);
    QRect below(plot.left(), plot.bottom() + 3, plot.width(), 10);
    for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 0, 255)}) {
        EXPECT_EQ(countPixels(image, c, above), 0);
        EXPECT_EQ(countPixels(image, c, below), 0);
    }
}

TEST(ChartDrawing, FrameAndBackgroundHaveTheirColours)
{
    auto chart = programChart(0);
    QImage image = chart->ToImage();
    // Blue border ring between the outer and the inner bevel.
    EXPECT_EQ(image.pixel(4, 200) & 0xFFFFFF, 0x0000FFu);
    // Gradient: white at the top, silver at the bottom.
    EXPECT_GT(qGray(image.pixel(357, 12)), 245);
    int bottom = qGray(image.pixel(357, 440));
    EXPECT_LT(bottom, 205);
    EXPECT_GT(bottom, 180);
}

TEST(ChartDrawing, ImageIsDrawnAfreshNotTakenFromTheScreenBuffer)
{
    auto chart = programChart(300);
    chart->show();
    QApplication::processEvents();
    (void)chart->grab();  // fills the screen buffer with both lines
    chart->Series(1)->SetActive(false);
    EXPECT_EQ(countPixels(chart->ToImage(), qRgb(0, 0, 255), chart->PlotRect()), 0);
}

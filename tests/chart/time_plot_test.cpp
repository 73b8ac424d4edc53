#include "chart/time_plot.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);

qint64 at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return TimeSamples::Seconds(QDate(year, month, day), QTime(hour, minute));
}

// `count` samples every `interval` seconds from `start`, channel k (1 … 8)
// reading value(k, i).
TimeSamples regular(qint64 start, qint64 interval, size_t count, const std::function<double(int, size_t)>& value)
{
    TimeSamples s;
    s.times.resize(count);
    for (size_t i = 0; i < count; ++i)
        s.times[i] = start + static_cast<qint64>(i) * interval;
    for (int k = 1; k <= 8; ++k) {
        auto& v = s.channels[static_cast<size_t>(k - 1)];
        v.resize(count);
        for (size_t i = 0; i < count; ++i)
            v[i] = value(k, i);
    }
    return s;
}

bool colourNear(const QImage& image, QPoint centre, int reach, const QColor& colour)
{
    for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy) {
            QPoint p = centre + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixelColor(p) == colour)
                return true;
        }
    return false;
}

bool colourInColumn(const QImage& image, int x, const QRect& plot, const QColor& colour)
{
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        if (image.pixelColor(x, y) == colour)
            return true;
    return false;
}

QPoint pixelOf(const TTimePlot& plot, qint64 t, double v)
{
    return QPoint(static_cast<int>(std::lround(plot.XPixel(t))), static_cast<int>(std::lround(plot.YPixel(v))));
}

TEST(TimePlot, KnownSampleIsDrawnAtItsTimeAndValueAndTheAxesSayWhere)
{
    // Three weeks at 15 minutes: a full logger memory.
    TimeSamples s = regular(at(2023, 5, 1, 8), 15 * 60, 2000,
        [](int k, size_t i) { return 20 + k + 6 * std::sin(static_cast<double>(i) / 40); });
    TTimePlot plot(s, {.channels = {1}});
    QImage image = plot.ToImage();
    ASSERT_EQ(image.size(), QSize(1200, 675));

    const size_t i = 1234;
    EXPECT_TRUE(colourNear(image, pixelOf(plot, s.times[i], s.channels[0][i]), 1, Red));

    // The left label "21" stands level with 21 degrees; each bottom label
    // stands under its tick and names its day.
    bool found = false;
    for (const TAxisLabel& l : plot.LeftLabels()) {
        if (l.Text == QLatin1String("21")) {
            EXPECT_NEAR(l.Rect.center().y(), plot.YPixel(21), 0.5);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    ASSERT_GE(plot.BottomLabels().size(), 3);
    for (const TAxisLabel& l : plot.BottomLabels()) {
        EXPECT_NEAR(l.Rect.center().x(), plot.XPixel(static_cast<qint64>(l.Value)), 0.5);
        QDateTime tick = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(l.Value), Qt::UTC);
        EXPECT_TRUE(l.Text.contains(tick.date().toString(QStringLiteral("dd/MM/yyyy"))) || l.Text.startsWith(tick.time().toString(QStringLiteral("hh:mm:ss"))))
            << l.Text.toStdString();
    }
}

TEST(TimePlot, GapLongerThanOneAndAHalfIntervalsBreaksTheLineAShorterOneDoesNot)
{
    // 15-minute samples on 1 and 2 March, none for three days, then 6 and 7
    // March with one sample 20 minutes after the one before.
    TimeSamples s;
    for (qint64 t = at(2024, 3, 1); t < at(2024, 3, 3); t += 15 * 60)
        s.times.push_back(t);
    const qint64 lastBefore = s.times.back();
    for (qint64 t = at(2024, 3, 6); t < at(2024, 3, 8); t += 15 * 60)
        s.times.push_back(t == at(2024, 3, 7) ? t + 5 * 60 : t);
    s.channels[1].assign(s.times.size(), 25.0);
    // Channel 3 has no readings from 06:00 to 12:00 on 7 March.
    s.channels[2].assign(s.times.size(), 30.0);
    for (size_t i = 0; i < s.times.size(); ++i)
        if (s.times[i] >= at(2024, 3, 7, 6) && s.times[i] <= at(2024, 3, 7, 12))
            s.channels[2][i] = NAN;
    TTimePlot plot(s, {.channels = {2, 3}});
    EXPECT_EQ(plot.Interval(), 15 * 60);
    QImage image = plot.ToImage();
    QRect area = plot.PlotRect();

    for (int x = static_cast<int>(plot.XPixel(lastBefore)) + 3; x < plot.XPixel(at(2024, 3, 6)) - 3; ++x)
        ASSERT_FALSE(colourInColumn(image, x, area, Blue)) << "line across the gap at x = " << x;
    for (int x = static_cast<int>(plot.XPixel(at(2024, 3, 6, 23))); x < plot.XPixel(at(2024, 3, 7, 1)); ++x)
        ASSERT_TRUE(colourInColumn(image, x, area, Blue)) << "line broken at x = " << x;
    for (int x = static_cast<int>(plot.XPixel(at(2024, 3, 7, 6))) + 3; x < plot.XPixel(at(2024, 3, 7, 12)) - 3; ++x)
        ASSERT_FALSE(colourInColumn(image, x, area, Green)) << "line across missing readings at x = " << x;
}

TEST(TimePlot, SamplesOutOfOrderAreDrawnAsIfSorted)
{
    TimeSamples s = regular(at(2023, 1, 1), 15 * 60, 300, [](int k, size_t i) { return k + std::sin(i / 9.0); });
    TimeSamples reversed;
    reversed.times.assign(s.times.rbegin(), s.times.rend());
    for (size_t k = 0; k < 8; ++k)
        reversed.channels[k].assign(s.channels[k].rbegin(), s.channels[k].rend());
    EXPECT_EQ(TTimePlot(reversed, {}).ToImage(), TTimePlot(s, {}).ToImage());
}

TEST(TimePlot, OneSampleSpikeShowsInAMillionRowPlot)
{
    const size_t spike = 654321;
    TimeSamples s = regular(at(2020, 1, 1), 60, 1000000, [&](int k, size_t i) {
        if (k == 1 && i == spike)
            return 45.0;
        return 18.0 + k;
    });
    TTimePlot plot(s, {.size = QSize(1600, 900)});
    QImage image = plot.ToImage();
    image.save(QDir(qEnvironmentVariable("VELTRA8_PNG_DIR", QDir::currentPath())).filePath(QStringLiteral("time_plot_million.png")));
    EXPECT_TRUE(colourNear(image, pixelOf(plot, s.times[spike], 45.0), 2, Red));
    // Nowhere else does channel 1 come near 45 degrees.
    QPoint top = pixelOf(plot, s.times[spike], 45.0);
    int elsewhere = 0;
    for (int x = plot.PlotRect().left() + 1; x < plot.PlotRect().right(); ++x)
        elsewhere += std::abs(x - top.x()) > 3 && image.pixelColor(x, top.y() + 2) == Red;
    EXPECT_EQ(elsewhere, 0);
}

TEST(TimePlot, DrawsTheChosenChannelsOverTheChosenSpan)
{
    TimeSamples s = regular(at(2023, 1, 1), 60 * 60, 24 * 60, [](int k, size_t) { return 10.0 * k; });
    const qint64 from = at(2023, 1, 20), to = at(2023, 2, 10);
    TTimePlot plot(s, {.channels = {3, 1, 9}, .from = to, .to = from});
    EXPECT_EQ(plot.Channels(), (QList<int>{3, 1}));
    EXPECT_DOUBLE_EQ(plot.XPixel(from), plot.PlotRect().left());
    EXPECT_DOUBLE_EQ(plot.XPixel(to), plot.PlotRect().right());
    QImage image = plot.ToImage();
    int x = plot.PlotRect().center().x();
    EXPECT_TRUE(colourInColumn(image, x, plot.PlotRect(), Red));
    EXPECT_TRUE(colourInColumn(image, x, plot.PlotRect(), Green));
    EXPECT_FALSE(colourInColumn(image, x, plot.PlotRect(), Blue));
}

TEST(TimePlot, ValuesAskedToShowWidenTheLeftAxis)
{
    TimeSamples s = regular(at(2023, 1, 1), 60, 100, [](int, size_t i) { return 4.0 + double(i % 3); });
    const TTimePlot plain(s, {.channels = {1}});
    EXPECT_GT(plain.YPixel(2), plain.PlotRect().bottom()) << "2 lies below readings of 4 to 6";
    const TTimePlot limited(s, {.channels = {1}, .alsoShown = {2, 8}});
    for (double limit : {2.0, 8.0}) {
        EXPECT_GE(limited.YPixel(limit), limited.PlotRect().top() - 0.5) << limit;
        EXPECT_LE(limited.YPixel(limit), limited.PlotRect().bottom() + 0.5) << limit;
    }
}

struct Span {
    const char* name;
    qint64 interval;
    size_t count;
};

class TimeLabelsAt : public ::testing::TestWithParam<std::tuple<QSize, Span>> {};

// Whatever the span and the size, the ticks stand on round times and their
// labels neither overlap nor leave the picture.
TEST_P(TimeLabelsAt, RoundTicksWithLabelsThatNeverOverlap)
{
    auto [size, span] = GetParam();
    TimeSamples s = regular(at(2022, 11, 28, 9, 7), span.interval, span.count, [](int, size_t i) { return i % 50; });
    TTimePlot plot(s, {.size = size});
    QList<TAxisLabel> labels = plot.BottomLabels();
    // A narrow plot over a long span may have room for one date only.
    ASSERT_GE(labels.size(), size.width() < 500 ? 1 : 2);
    const QRegularExpression timeOrDate(QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d(\\n\\d\\d/\\d\\d/\\d{4})?|\\d\\d/\\d\\d/\\d{4})$"));
    for (int i = 0; i < labels.size(); ++i) {
        const TAxisLabel& l = labels[i];
        EXPECT_TRUE(timeOrDate.match(l.Text).hasMatch()) << l.Text.toStdString();
        EXPECT_EQ(static_cast<qint64>(l.Value) % 60, 0) << l.Text.toStdString();
        EXPECT_GE(l.Rect.left(), 0);
        EXPECT_LE(l.Rect.right(), size.width());
        if (i > 0) {
            EXPECT_GT(l.Rect.left(), labels[i - 1].Rect.right())
                << labels[i - 1].Text.toStdString() << " / " << l.Text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SizesAndSpans, TimeLabelsAt,
    ::testing::Combine(::testing::Values(QSize(320, 200), QSize(800, 450), QSize(1200, 675), QSize(2600, 1000)),
        ::testing::Values(Span{"two hours", 60, 120}, Span{"three weeks", 15 * 60, 2000},
            Span{"eight months", 3600, 24 * 240}, Span{"three years", 3600, 24 * 365 * 3})));

TEST(TimePlotFiles, PngSvgAndPdfAtTheAskedSizeWithVectorsForSvgAndPdf)
{
    TimeSamples s = regular(at(2023, 5, 1, 8), 15 * 60, 2000,
        [](int k, size_t i) { return 15 + 3 * k + 4 * std::sin(static_cast<double>(i) / (30.0 + 7 * k)); });
    s.times.erase(s.times.begin() + 900, s.times.begin() + 1100);
    for (auto& v : s.channels)
        v.erase(v.begin() + 900, v.begin() + 1100);
    TTimePlot plot(s, {.size = QSize(1000, 560), .title = QStringLiteral("Estación 3")});
    // Written where people can look at them.
    QDir dir(qEnvironmentVariable("VELTRA8_PNG_DIR", QDir::currentPath()));
    QString error;
    for (const char* name : {"time_plot.png", "time_plot.svg", "time_plot.pdf"})
        ASSERT_TRUE(plot.Save(dir.filePath(QLatin1String(name)), &error)) << error.toStdString();

    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("time_plot.png"))).size(), QSize(1000, 560));
    QFile svg(dir.filePath(QStringLiteral("time_plot.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QByteArray svgText = svg.readAll();
    EXPECT_TRUE(svgText.contains("viewBox=\"0 0 1000 560\""));
    EXPECT_TRUE(svgText.contains("Estación 3"));
    EXPECT_TRUE(svgText.contains("<polyline"));
    EXPECT_FALSE(svgText.contains("<image"));
    QFile pdf(dir.filePath(QStringLiteral("time_plot.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    QByteArray pdfText = pdf.readAll();
    EXPECT_TRUE(pdfText.startsWith("%PDF"));
    // 1000 x 560 pixels at 96 per inch are 750 x 420 points.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 750(\\.0*)? 420(\\.0*)?\\]"))
                    .match(QString::fromLatin1(pdfText))
                    .hasMatch());
    EXPECT_FALSE(pdfText.contains("/Subtype /Image"));
}

TEST(TimePlotFiles, FailsWithAReasonAndLeavesNothingBehind)
{
    TimeSamples s = regular(at(2023, 5, 1), 60, 10, [](int, size_t) { return 20.0; });
    TTimePlot plot(s, {});
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(plot.Save(dir.filePath(QStringLiteral("plot.jpg")), &error));
    EXPECT_TRUE(error.contains(QLatin1String(".png, .svg or .pdf"))) << error.toStdString();
    EXPECT_FALSE(plot.Save(dir.filePath(QStringLiteral("missing/plot.png")), &error));
    EXPECT_TRUE(error.contains(QLatin1String("missing/plot.png"))) << error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

}  // namespace

#include "chart/chart.h"
#include "chart/chart_preview.h"
#include "chart/line_series.h"
#include "tests/support/modal.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cmath>

namespace {

void fill(TChart& chart)
{
    chart.resize(714, 454);
    chart.SetGradientVisible(true);
    chart.SetPanelColor(Qt::blue);
    chart.SetBevelInner(TChart::BevelStyle::Lowered);
    chart.SetBevelWidth(3);
    chart.SetBorderWidth(2);
    chart.SetLegendVisible(false);
    chart.SetTitle(QStringLiteral("TEMPERATURA 8 CANALES"));
    auto* s = new TLineSeries(&chart);
    for (int i = 0; i < 400; ++i)
        s->AddY(20 + 5 * std::sin(i / 30.0));
}

}  // namespace

TEST(ChartPreview, PageShowsTheChartScaledIntoTheMarginsKeepingItsShape)
{
    TChart chart;
    fill(chart);
    // An A4 landscape page at 100 dots per inch with 15 mm margins.
    QImage page(1169, 827, QImage::Format_RGB32);
    page.fill(Qt::white);
    QRectF area(59, 59, 1169 - 118, 827 - 118);
    {
        QPainter p(&page);
        TChartPreview::PaintPage(p, area, chart);
    }
    // The chart's blue border is on the page; the margins stay blank.
    double scale = std::min(area.width() / 714, area.height() / 454);
    double left = area.left() + (area.width() - 714 * scale) / 2;
    EXPECT_EQ(page.pixel(int(left + 4 * scale), 300) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(page.pixel(30, 300) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(page.pixel(int(left - 5), 300) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(page.pixel(600, int(area.top() + 454 * scale + 5)) & 0xFFFFFF, 0xFFFFFFu);
    QString dir = qEnvironmentVariable("VELTRA8_PNG_DIR", QStringLiteral("."));
    page.save(dir + QStringLiteral("/chart_print_page.png"));
}

TEST(ChartPreview, PrintsToAPdfFile)
{
    TChart chart;
    fill(chart);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("chart.pdf")));
    ASSERT_TRUE(TChartPreview::PrintChart(printer, chart));
    QFile pdf(dir.filePath(QStringLiteral("chart.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 2000);
}

TEST(ChartPreview, ShowsModallyOverItsOwnerAndTakesThePageSettings)
{
    QWidget owner;
    TChart chart(&owner);
    fill(chart);
    owner.show();
    TChartPreview preview(&owner, &chart);
    EXPECT_EQ(preview.parent(), &owner);
    preview.SetOrientation(QPageLayout::Portrait);
    preview.SetMarginsMillimetres(QMarginsF(10, 20, 10, 20));
    EXPECT_EQ(preview.Printer()->pageLayout().orientation(), QPageLayout::Portrait);
    QMarginsF m = preview.Printer()->pageLayout().margins(QPageLayout::Millimeter);
    EXPECT_NEAR(m.top(), 20, 0.01);
    EXPECT_NEAR(m.left(), 10, 0.01);
    bool wasModal = false;
    AnswerNextModal([&](QWidget* w) {
        wasModal = w == &preview;
        w->close();
    });
    preview.ShowModal();
    EXPECT_TRUE(wasModal);
}

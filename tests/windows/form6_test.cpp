// The Chart window against grids made here: the fill, its failure, hiding
// channels, the hint boxes, copy and print, and pictures of it to look at.
#include "chart/chart.h"
#include "chart/chart_preview.h"
#include "chart/line_series.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "platform/formats.h"
#include "toolkit/string_grid.h"
#include "tests/support/modal.h"
#include "tests/support/png.h"
#include "tests/support/printers.h"
#include "tests/support/program.h"
#include "widgets/abcolbitbtn.h"
#include "windows/form6.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace {

// The temperature text the grid holds for channel k, row r.
QString sampleText(int k, int r)
{
    double v = 18 + 3 * k + 4 * std::sin(r / (40.0 + 9 * k)) + 0.1 * ((r * 7 + k) % 5);
    return FloatToStrFixed(v, 4, 1);
}

class ChartWindow : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        Formats().DecimalSeparator = QLatin1Char(',');
        Form6->SetSources([this] { return lines; }, [this](int col, int row) {
            maxRowRead = std::max(maxRowRead, row);
            if (cellOverride)
                if (auto t = cellOverride(col, row); !t.isNull())
                    return t;
            return sampleText(col - 2, row);
        });
    }

    // Opens the window modally, runs `whileOpen` in it, then closes it.
    void openAndClose(const std::function<void()>& whileOpen = {})
    {
        AnswerNextModal([whileOpen](QWidget* w) {
            CloseLaterIfStillOpen(w, 8000);
            if (whileOpen)
                whileOpen();
            w->close();
        });
        Form6->ShowModal();
    }

    TLineSeries* series(int channel) { return Form6->Chart1->Series(channel - 1); }

    int lines = 0;
    int maxRowRead = 0;
    std::function<QString(int, int)> cellOverride;
};

int countColour(const QImage& image, QRgb colour, const QRect& within)
{
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++n;
    return n;
}

TEST_F(ChartWindow, ControlsTextsAndPlaces)
{
    EXPECT_EQ(Form6->windowTitle(), "GRAFICO DE LOS VALORES DESCARGADOS");
    EXPECT_EQ(Form6->OuterSize(), QSize(732, 533));
    EXPECT_FALSE(Form6->windowFlags() & Qt::WindowMaximizeButtonHint);
    const int xs[] = {23, 112, 202, 292, 382, 472, 562, 652};
    const QColor captions[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0), QColor(255, 255, 0),
        QColor(255, 255, 255), QColor(128, 128, 128), QColor(255, 0, 255), QColor(0, 255, 255)};
    const QColor lineColours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0), QColor(255, 255, 0),
        QColor(255, 255, 255), QColor(128, 128, 128), QColor(255, 0, 255), QColor(128, 255, 255)};
    ASSERT_EQ(Form6->Chart1->SeriesCount(), 8);
    for (int k = 0; k < 8; ++k) {
        QCheckBox* box = Form6->CheckBox(k);
        EXPECT_EQ(box->text(), QStringLiteral("CANAL%1").arg(k + 1));
        EXPECT_EQ(box->pos(), QPoint(xs[k], 5));
        EXPECT_TRUE(box->isChecked());
        EXPECT_TRUE(box->font().bold());
        EXPECT_EQ(box->font().pixelSize(), 11);
        EXPECT_EQ(box->palette().color(QPalette::WindowText), captions[k]) << k;
        EXPECT_EQ(series(k + 1)->SeriesColor(), lineColours[k]) << k;
        EXPECT_EQ(series(k + 1)->LinePenWidth(), 2);
        EXPECT_FALSE(series(k + 1)->PointerVisible());
        EXPECT_FALSE(series(k + 1)->MarksVisible());
    }
    EXPECT_EQ(Form6->Chart1->geometry(), QRect(3, 31, 714, 454));
    EXPECT_EQ(Form6->Chart1->Title(), "TEMPERATURA 8 CANALES");
    EXPECT_EQ(Form6->Chart1->LeftAxis().Title(), QString::fromUtf8("TEMPERATURA \u00BAC"));
    EXPECT_EQ(Form6->Chart1->BottomAxis().Title(), QString::fromUtf8("Muestra número: (tiempo)"));
    EXPECT_EQ(Form6->Chart1->BottomAxis().ValuesFormat(), "##.##.##");
    EXPECT_FALSE(Form6->Chart1->RightAxis().Visible());
    EXPECT_FALSE(Form6->Chart1->TopAxis().Visible());
    EXPECT_FALSE(Form6->Chart1->LegendVisible());
    struct Button {
        TAbColBitBtn* button;
        const char* caption;
        int x;
    };
    for (Button b : {Button{Form6->AbColBitBtn1, "Copiar", 64}, Button{Form6->AbColBitBtn2, "Zoom", 484},
             Button{Form6->AbColBitBtn3, "Mover", 556}, Button{Form6->AbColBitBtn4, "Imprimir", 632}}) {
        EXPECT_EQ(b.button->Caption(), b.caption);
        EXPECT_EQ(b.button->parentWidget(), Form6->Chart1) << b.caption;
        EXPECT_EQ(b.button->geometry(), QRect(b.x, 8, 60, 23)) << b.caption;
        EXPECT_EQ(b.button->BevelWidth(), 4);
        EXPECT_TRUE(b.button->Gradient());
    }
}

class ShortDownload : public ChartWindow, public ::testing::WithParamInterface<int> {};

TEST_P(ShortDownload, LeavesEverySeriesEmpty)
{
    lines = 12;
    openAndClose();
    ASSERT_EQ(series(1)->Count(), 9);
    lines = GetParam();
    openAndClose();
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(series(k)->Count(), 0) << "channel " << k;
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(LinesThreeOrFewer, ShortDownload, ::testing::Values(0, 1, 3));

TEST_F(ChartWindow, TenLinesGiveSevenPointsFromRowsOneToSeven)
{
    lines = 10;
    openAndClose();
    for (int k = 1; k <= 8; ++k) {
        ASSERT_EQ(series(k)->Count(), 7) << "channel " << k;
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(series(k)->XValue(i), i);
            EXPECT_EQ(series(k)->YValue(i), StrToFloat(sampleText(k, i + 1)));
        }
    }
    EXPECT_EQ(maxRowRead, 7) << "grid rows after the data must not be read";
    EXPECT_EQ(Form6->ActivationCount(), 1);
}

TEST_F(ChartWindow, TemperatureTextsReadWithTheDecimalComma)
{
    lines = 5;
    cellOverride = [](int col, int row) -> QString {
        if (col == 3)
            return row == 1 ? QStringLiteral("23,5") : QStringLiteral("-5,0");
        if (col == 4)
            return row == 1 ? QStringLiteral("-50,0") : QStringLiteral("125,0");
        return {};
    };
    // The main window sets the separators too, but the chart must not rely on it.
    Formats().DecimalSeparator = QLatin1Char('.');
    openAndClose();
    EXPECT_EQ(series(1)->YValue(0), 23.5);
    EXPECT_EQ(series(1)->YValue(1), -5.0);
    EXPECT_EQ(series(2)->YValue(0), -50.0);
    EXPECT_EQ(series(2)->YValue(1), 125.0);
    EXPECT_EQ(Formats().DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(Formats().ThousandSeparator, QLatin1Char('.'));
}

TEST_F(ChartWindow, NewDownloadReplacesEveryOldPoint)
{
    lines = 40;
    openAndClose();
    lines = 6;
    cellOverride = [](int, int row) { return QStringLiteral("%1,0").arg(70 + row); };
    openAndClose();
    for (int k = 1; k <= 8; ++k) {
        ASSERT_EQ(series(k)->Count(), 3);
        EXPECT_EQ(series(k)->YValue(0), 71.0);
        EXPECT_EQ(series(k)->YValue(2), 73.0);
        EXPECT_EQ(series(k)->MinY(), 71.0);  // nothing of the old data counts
    }
    EXPECT_EQ(Form6->Chart1->BottomAxis().Maximum(), 2);
}

TEST_F(ChartWindow, Canal3HidesTheGreenLineOnlyAndStaysHiddenAcrossReopening)
{
    lines = 300;
    QRgb green = qRgb(0, 128, 0), red = qRgb(255, 0, 0);
    openAndClose([] { QTest::mouseClick(Form6->CheckBox3, Qt::LeftButton, {}, QPoint(8, 8)); });
    EXPECT_FALSE(Form6->CheckBox3->isChecked());
    EXPECT_FALSE(series(3)->Active());
    for (int k : {1, 2, 4, 5, 6, 7, 8})
        EXPECT_TRUE(series(k)->Active()) << k;
    QRect plot = Form6->Chart1->PlotRect();
    QImage hidden = Form6->Chart1->ToImage();
    EXPECT_EQ(countColour(hidden, green, plot), 0);
    EXPECT_GT(countColour(hidden, red, plot), 100);

    lines = 200;
    openAndClose();
    EXPECT_FALSE(Form6->CheckBox3->isChecked());
    EXPECT_FALSE(series(3)->Active());
    EXPECT_EQ(series(3)->Count(), 197) << "a hidden channel is refilled all the same";
    EXPECT_EQ(countColour(Form6->Chart1->ToImage(), green, plot), 0);

    openAndClose([] { QTest::mouseClick(Form6->CheckBox3, Qt::LeftButton, {}, QPoint(8, 8)); });
    EXPECT_TRUE(series(3)->Active());
    EXPECT_GT(countColour(Form6->Chart1->ToImage(), green, Form6->Chart1->PlotRect()), 100);
}

struct HintCase {
    int button;  // 2 = Zoom, 3 = Mover
    const char* text;
};

class HintBox : public ChartWindow, public ::testing::WithParamInterface<HintCase> {};

TEST_P(HintBox, ShowsItsTextAndLeavesTheChartAsItWas)
{
    lines = 100;
    QString seen, title;
    int pointsAfter = -1, activationsAfter = -1;
    bool zoomedAfter = false;
    openAndClose([&] {
        QRect plot = Form6->Chart1->PlotRect();
        Form6->Chart1->ZoomRect(QRect(plot.topLeft() + QPoint(40, 40), QSize(150, 100)));
        lines = 50;  // a refill now would show
        AnswerNextModal([&](QWidget* box) {
            title = box->windowTitle();
            PressInNextMessageBox(QStringLiteral("OK"), &seen);
        });
        TAbColBitBtn* button = GetParam().button == 2 ? Form6->AbColBitBtn2 : Form6->AbColBitBtn3;
        button->Press();
        QApplication::processEvents();
        pointsAfter = series(1)->Count();
        activationsAfter = Form6->ActivationCount();
        zoomedAfter = Form6->Chart1->IsZoomed();
    });
    EXPECT_EQ(seen, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(title, "TEMPVELTRA8C");
    EXPECT_EQ(pointsAfter, 97);
    EXPECT_EQ(activationsAfter, 1);
    EXPECT_TRUE(zoomedAfter);
}

INSTANTIATE_TEST_SUITE_P(Buttons, HintBox,
    ::testing::Values(HintCase{2, "Haga un rectángulo con el mouse de izquierda a derecha y de arriba hacia abajo, "
                                  "sobre el lugar deseado."},
        HintCase{3, "Botón derecho del mouse sobre el gráfico."}));

TEST_F(ChartWindow, BadCellStopsTheFillThereAndShowsTheConversionError)
{
    lines = 23;  // 20 rows
    openAndClose();
    lines = 13;  // 10 rows; channel 3, row 4 is empty
    cellOverride = [](int col, int row) { return col == 5 && row == 4 ? QStringLiteral("") : QString(); };
    bool stillOpen = false;
    openAndClose([&] { stillOpen = Form6->isVisible(); });
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "'' is not a valid floating point value.");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(series(1)->Count(), 10);
    EXPECT_EQ(series(2)->Count(), 10);
    EXPECT_EQ(series(3)->Count(), 3);
    for (int k = 4; k <= 8; ++k)
        EXPECT_EQ(series(k)->Count(), 20) << "channel " << k << " keeps the previous fill";
}

TEST_F(ChartWindow, CopyPutsTheChartAsDisplayedOnTheClipboard)
{
    lines = 500;
    QImage copied;
    QImage expected;
    openAndClose([&] {
        QRect plot = Form6->Chart1->PlotRect();
        Form6->Chart1->ZoomRect(QRect(plot.topLeft() + QPoint(60, 30), QSize(200, 150)));
        QTest::mouseClick(Form6->CheckBox1, Qt::LeftButton, {}, QPoint(8, 8));
        QGuiApplication::clipboard()->clear();
        Form6->AbColBitBtn1->Press();
        copied = QGuiApplication::clipboard()->image();
        expected = Form6->Chart1->ToImage();
    });
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), Form6->Chart1->size());
    EXPECT_EQ(copied.size(), QSize(714, 454));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(countColour(copied, qRgb(255, 0, 0), Form6->Chart1->PlotRect()), 0) << "channel 1 was hidden";
}

TEST_F(ChartWindow, PrintOpensAModalPreviewOwnedByTheWindowAndFreesIt)
{
    lines = 100;
    bool wasPreview = false;
    QObject* owner = nullptr;
    int previewsAfter = -1;
    openAndClose([&] {
        AnswerNextModal([&](QWidget* w) {
            wasPreview = qobject_cast<TChartPreview*>(w) != nullptr;
            owner = w->parent();
            w->close();
        });
        Form6->AbColBitBtn4->Press();
        previewsAfter = static_cast<int>(Form6->findChildren<TChartPreview*>().size());
    });
    EXPECT_TRUE(wasPreview);
    EXPECT_EQ(owner, Form6);
    EXPECT_EQ(previewsAfter, 0);
    EXPECT_EQ(Form6->ActivationCount(), 1);
}

TEST_F(ChartWindow, DefaultSourcesAreTheDownloadBufferAndTheDataGrid)
{
    Form6->SetSources({}, {});
    QByteArray text;
    for (int i = 0; i < 6; ++i)
        text += "line\r\n";
    Form1->RichEdit1->Append(text);
    ASSERT_EQ(Form1->RichEdit1->Lines().Count(), 6);
    for (int r = 1; r <= 3; ++r)
        for (int k = 1; k <= 8; ++k)
            Form5->StringGrid1->SetCells(k + 2, r, QStringLiteral("%1,5").arg(10 * k + r));
    openAndClose();
    ASSERT_EQ(series(4)->Count(), 3);
    EXPECT_EQ(series(4)->YValue(2), 43.5);
}

// Pictures for people to look at: the full download, some channels hidden,
// a zoom, and a printed page.
TEST_F(ChartWindow, PicturesOfTheWindow)
{
    lines = 2003;
    Form6->Show();
    ASSERT_TRUE(WaitUntil([] { return Form6->ActivationCount() >= 1; }));
    ASSERT_EQ(series(8)->Count(), 2000);
    SaveWindowPng(Form6, QStringLiteral("chart_window_2000"));

    for (QCheckBox* box : {Form6->CheckBox2, Form6->CheckBox5, Form6->CheckBox7})
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 8));
    SaveWindowPng(Form6, QStringLiteral("chart_window_three_hidden"));

    QRect plot = Form6->Chart1->PlotRect();
    QPoint from = plot.topLeft() + QPoint(plot.width() / 3, 20);
    QTest::mousePress(Form6->Chart1, Qt::LeftButton, {}, from);
    QTest::mouseMove(Form6->Chart1, from + QPoint(120, 150));
    SaveWindowPng(Form6, QStringLiteral("chart_window_rubber_band"));
    QTest::mouseRelease(Form6->Chart1, Qt::LeftButton, {}, from + QPoint(120, 150));
    EXPECT_TRUE(Form6->Chart1->IsZoomed());
    SaveWindowPng(Form6, QStringLiteral("chart_window_zoomed"));

    Form6->Chart1->UndoZoom();
    QImage page(827, 1169, QImage::Format_RGB32);  // A4 portrait at 100 dpi
    page.fill(Qt::white);
    {
        QPainter p(&page);
        TChartPreview::PaintPage(p, QRectF(59, 59, 827 - 118, 1169 - 118), *Form6->Chart1);
    }
    QString dir = qEnvironmentVariable("VELTRA8_PNG_DIR", QStringLiteral("."));
    EXPECT_TRUE(page.save(dir + QStringLiteral("/chart_window_print_page.png")));
    Form6->Close();
}

}  // namespace

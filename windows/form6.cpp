#include "windows/form6.h"

#include "app/form1.h"
#include "chart/chart.h"
#include "chart/chart_preview.h"
#include "chart/line_series.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "platform/application.h"
#include "toolkit/desktop.h"
#include "platform/formats.h"
#include "toolkit/string_grid.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abgradient.h"
#include "windows/look.h"
#include "windows/program_icon.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <memory>

TForm6* Form6 = nullptr;

namespace {

struct Channel {
    QColor line;
    QColor caption;
};

// Channel 8's line is a light cyan, its check box caption aqua: the window
// definition gives them so.
const Channel Channels[8] = {
    {QColor(255, 0, 0), QColor(255, 0, 0)},
    {QColor(0, 0, 255), QColor(0, 0, 255)},
    {QColor(0, 128, 0), QColor(0, 128, 0)},
    {QColor(255, 255, 0), QColor(255, 255, 0)},
    {QColor(255, 255, 255), QColor(255, 255, 255)},
    {QColor(128, 128, 128), QColor(128, 128, 128)},
    {QColor(255, 0, 255), QColor(255, 0, 255)},
    {QColor(128, 255, 255), QColor(0, 255, 255)},
};

const int CheckBoxX[8] = {23, 112, 202, 292, 382, 472, 562, 652};

}  // namespace

TForm6::TForm6(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("GRAFICO DE LOS VALORES DESCARGADOS"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setFont(ArialPixels(11));
    SetOuterSize(732, 533);
    CenterOnDesktop();

    AbGradient1 = new TAbGradient(this);
    AbGradient1->setObjectName(QStringLiteral("AbGradient1"));
    AbGradient1->SetGradient(false);
    AbGradient1->setGeometry(rect());

    QCheckBox** boxes[8] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6, &CheckBox7,
                            &CheckBox8};
    for (int k = 0; k < 8; ++k) {
        auto* box = new QCheckBox(QStringLiteral("CANAL%1").arg(k + 1), this);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        box->setGeometry(CheckBoxX[k], 5, 70, 17);
        box->setFont(ArialPixels(11, {.bold = true}));
        SetTextColour(box, Channels[k].caption);
        box->setChecked(true);
        connect(box, &QCheckBox::clicked, this, [this, k] { Application::Guard([this, k] { checkBoxClick(k + 1); }); });
        *boxes[k] = box;
        checkBoxes_[static_cast<size_t>(k)] = box;
    }

    Chart1 = new TChart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(3, 31, 714, 454);
    Chart1->SetTitle(QStringLiteral("TEMPERATURA 8 CANALES"));
    Chart1->SetTitleFont(ArialPixels(13, {.bold = true}));
    Chart1->SetTitleColor(QColor(0, 0, 255));
    Chart1->LeftAxis().SetTitle(QStringLiteral("TEMPERATURA ºC"));
    Chart1->LeftAxis().SetTitleFont(ArialPixels(11, {.bold = true}));
    Chart1->LeftAxis().SetTitleColor(QColor(0, 128, 128));
    Chart1->LeftAxis().SetAutomatic(true);
    Chart1->BottomAxis().SetTitle(QStringLiteral("Muestra número: (tiempo)"));
    Chart1->BottomAxis().SetTitleFont(ArialPixels(11, {.bold = true}));
    Chart1->BottomAxis().SetTitleColor(QColor(0, 128, 128));
    Chart1->BottomAxis().SetValuesFormat(QStringLiteral("##.##.##"));
    Chart1->BottomAxis().SetIncrement(1);
    Chart1->RightAxis().SetVisible(false);
    Chart1->TopAxis().SetVisible(false);
    Chart1->SetLegendVisible(false);
    Chart1->SetBackWallTransparent(true);
    Chart1->SetGradientVisible(true);
    Chart1->SetGradientStartColor(QColor(255, 255, 255));
    Chart1->SetGradientEndColor(QColor(192, 192, 192));
    Chart1->SetPanelColor(QColor(0, 0, 255));
    Chart1->SetBevelInner(TChart::BevelStyle::Lowered);
    Chart1->SetBevelWidth(3);
    Chart1->SetBorderWidth(2);
    Chart1->SetBorderLine(true);

    TLineSeries** series[8] = {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6, &Series7, &Series8};
    for (int k = 0; k < 8; ++k) {
        auto* s = new TLineSeries(Chart1);
        s->setObjectName(QStringLiteral("Series%1").arg(k + 1));
        s->SetTitle(QStringLiteral("CANAL%1").arg(k + 1));
        s->SetSeriesColor(Channels[k].line);
        s->SetLinePenWidth(2);
        s->SetPointerVisible(false);
        s->SetMarksVisible(false);
        *series[k] = s;
    }

    AbColBitBtn1 = placeButton(QStringLiteral("AbColBitBtn1"), QStringLiteral("Copiar"), 64);
    AbColBitBtn2 = placeButton(QStringLiteral("AbColBitBtn2"), QStringLiteral("Zoom"), 484);
    AbColBitBtn3 = placeButton(QStringLiteral("AbColBitBtn3"), QStringLiteral("Mover"), 556);
    AbColBitBtn4 = placeButton(QStringLiteral("AbColBitBtn4"), QStringLiteral("Imprimir"), 632);
    connect(AbColBitBtn1, &TAbColBitBtn::Click, this, [this] { Application::Guard([this] { AbColBitBtn1Click(); }); });
    connect(AbColBitBtn2, &TAbColBitBtn::Click, this, [this] { Application::Guard([this] { AbColBitBtn2Click(); }); });
    connect(AbColBitBtn3, &TAbColBitBtn::Click, this, [this] { Application::Guard([this] { AbColBitBtn3Click(); }); });
    connect(AbColBitBtn4, &TAbColBitBtn::Click, this, [this] { Application::Guard([this] { AbColBitBtn4Click(); }); });
}

TForm6::~TForm6() = default;

TAbColBitBtn* TForm6::placeButton(const QString& name, const QString& caption, int x)
{
    auto* b = new TAbColBitBtn(Chart1);
    b->setObjectName(name);
    b->SetCaption(caption);
    b->setGeometry(x, 8, 60, 23);
    b->SetGradient(true);
    b->SetGradientFrom(QColor(240, 240, 240));
    b->SetGradientTo(QColor(105, 105, 105));
    b->SetBevelWidth(4);
    b->setFont(ArialPixels(11, {.bold = true}));
    b->SetFontColor(QColor(0, 0, 0));
    b->SetFontColorOn(QColor(0, 0, 0));
    return b;
}

void TForm6::SetSources(std::function<int()> lineCount, std::function<QString(int, int)> cell)
{
    lineCount_ = std::move(lineCount);
    cell_ = std::move(cell);
}

int TForm6::lineCount() const
{
    if (lineCount_)
        return lineCount_();
    return Form1 && Form1->RichEdit1 ? Form1->RichEdit1->Lines().Count() : 0;
}

QString TForm6::cell(int col, int row) const
{
    if (cell_)
        return cell_(col, row);
    return Form5 && Form5->StringGrid1 ? Form5->StringGrid1->Cells(col, row) : QString();
}

void TForm6::FormActivate()
{
    UseLoggerFormats();
    for (int k = 1; k <= 8; ++k) {
        TLineSeries* s = Chart1->Series(k - 1);
        s->Clear();
        int n = lineCount() - 3;
        if (n <= 0)
            continue;
        // A cell that is not a number ends the fill here, with the
        // conversion's own message; what was read so far stays drawn.
        for (int r = 1; r <= n; ++r)
            s->AddY(StrToFloat(cell(k + 2, r)), QString(), s->SeriesColor());
    }
}

void TForm6::checkBoxClick(int channel)
{
    Chart1->Series(channel - 1)->SetActive(CheckBox(channel - 1)->isChecked());
}

void TForm6::CheckBox1Click() { checkBoxClick(1); }
void TForm6::CheckBox2Click() { checkBoxClick(2); }
void TForm6::CheckBox3Click() { checkBoxClick(3); }
void TForm6::CheckBox4Click() { checkBoxClick(4); }
void TForm6::CheckBox5Click() { checkBoxClick(5); }
void TForm6::CheckBox6Click() { checkBoxClick(6); }
void TForm6::CheckBox7Click() { checkBoxClick(7); }
void TForm6::CheckBox8Click() { checkBoxClick(8); }

void TForm6::AbColBitBtn1Click()
{
    // Drawn afresh at the chart's client size, as it stands: zoom and hidden
    // channels included, the buttons on it not.
    QImage bitmap = Chart1->ToImage();
    QGuiApplication::clipboard()->setImage(bitmap);
}

QString TForm6::ZoomHint()
{
    return QStringLiteral("Haga un rectángulo con el mouse de izquierda a derecha y de arriba hacia abajo, sobre el lugar deseado.");
}

QString TForm6::ScrollHint()
{
    return QStringLiteral("Botón derecho del mouse sobre el gráfico.");
}

void TForm6::AbColBitBtn2Click()
{
    Application::ShowHint(this, ZoomHint());
}

void TForm6::AbColBitBtn3Click()
{
    Application::ShowHint(this, ScrollHint());
}

void TForm6::AbColBitBtn4Click()
{
    // Freed when it closes, and also when showing it fails.
    auto preview = std::make_unique<TChartPreview>(this, Chart1);
    preview->ShowModal();
    preview.reset();
    Chart1->repaint();
}

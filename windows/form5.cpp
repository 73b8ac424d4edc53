#include "windows/form5.h"

#include "app/form1.h"
#include "data/download_buffer.h"
#include "data/download_table.h"
#include "data/saved_file.h"
#include "data/time_stamps.h"
#include "platform/application.h"
#include "toolkit/string_grid.h"
#include "platform/whole_file.h"
#include "widgets/fonts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

TForm5* Form5 = nullptr;

namespace {

const QColor FormColor(0x00, 0x00, 0x80);
const QColor BoxColor(0x00, 0x80, 0x80);
const QColor BoxTextColor(0x00, 0xFF, 0x00);

QLabel* titleLabel(const QString& text, int pixels, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ArialPixels(pixels, true));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

QLineEdit* valueBox(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setFont(ArialPixels(13, true));
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, BoxColor);
    pal.setColor(QPalette::Text, BoxTextColor);
    edit->setPalette(pal);
    return edit;
}

QLabel* hiddenLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->hide();
    return label;
}

QToolButton* speedButton(const QString& caption, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setToolTip(hint);
    b->setFont(ArialPixels(12, true));
    b->setFixedSize(110, 32);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QVBoxLayout* captioned(QLabel* caption, QLineEdit* box, int width)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    box->setFixedWidth(width);
    column->addWidget(caption);
    column->addWidget(box);
    return column;
}

const char* const ColumnHeaders[TForm5::GridColumns] = {
    "", " FECHA:", " HORA:", "CH 1 °C", "CH 2 °C", "CH 3 °C", "CH 4 °C", "CH 5 °C", "CH 6 °C", "CH 7 ºC", "CH 8 ºC",
};

}  // namespace

TForm5::TForm5(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("DATOS DESCARGADOS"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColor);
    setPalette(pal);

    Label1 = hiddenLabel(this);
    Label2 = hiddenLabel(this);
    Label3 = hiddenLabel(this);
    Label4 = hiddenLabel(this);
    Label5 = hiddenLabel(this);
    Label6 = hiddenLabel(this);
    Label7 = titleLabel(QStringLiteral("G  R  I  L  L  A    D  E    D  A  T  O  S"), 16, this);
    Label7->setAlignment(Qt::AlignCenter);
    Label8 = titleLabel(QStringLiteral(" Fecha de inicio "), 12, this);
    Label9 = titleLabel(QStringLiteral(" Hora de inicio "), 12, this);
    Label10 = titleLabel(QStringLiteral(" Tasa de muestreo "), 12, this);
    Edit1 = valueBox(this);
    Edit2 = valueBox(this);
    Edit8 = valueBox(this);
    Edit6 = new QLineEdit(this);
    Edit6->hide();
    Edit7 = new QLineEdit(this);
    Edit7->hide();
    SpeedButton2 = speedButton(QStringLiteral("GRAFICAR"), QStringLiteral("Muestra gráfico preliminar"), this);
    SpeedButton1 = speedButton(QStringLiteral("GUARDAR"), QStringLiteral("Guarda los datos en disco"), this);
    StringGrid1 = new TStringGrid(GridColumns, DefinedRows, this);

    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(16);
    boxes->addLayout(captioned(Label8, Edit1, 120));
    boxes->addLayout(captioned(Label9, Edit2, 120));
    boxes->addLayout(captioned(Label10, Edit8, 180));
    boxes->addStretch(1);
    boxes->addWidget(SpeedButton2, 0, Qt::AlignBottom);
    boxes->addWidget(SpeedButton1, 0, Qt::AlignBottom);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(10, 8, 10, 10);
    page->setSpacing(8);
    page->addWidget(Label7);
    page->addLayout(boxes);
    page->addWidget(StringGrid1, 1);

    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    SetOuterSize(791, 417);
    CenterOnDesktop();
}

TForm5::~TForm5()
{
    if (Form5 == this)
        Form5 = nullptr;
}

const TDownloadBuffer* TForm5::DownloadBuffer() const
{
    if (source_)
        return source_;
    return Form1 ? Form1->RichEdit1 : nullptr;
}

int TForm5::DataRowCount() const
{
    const TDownloadBuffer* buffer = DownloadBuffer();
    const int lines = buffer ? buffer->LineCount() : 0;
    return lines > 3 ? lines - 3 : 0;
}

void TForm5::FormActivate()
{
    StringGrid1->ClearCells();
    DOSCANALESLM35();
}

// The grid as the window fills it from the one decoding of a download.
class TForm5::GridFill : public DownloadRowsSink {
public:
    explicit GridFill(TForm5& form) : form_(form) {}
    int HeaderRead(const DownloadHeader& header) override { return form_.OBTIENEFECHAYHORA(header); }
    void RowStamped(int row, const TStampGenerator& stamps) override
    {
        form_.StringGrid1->SetCells(1, row, stamps.CurrentDateText());
        form_.StringGrid1->SetCells(2, row, stamps.CurrentTimeText());
    }
    void StampsDone() override
    {
        // The hidden scratch boxes hold a row's stamp only while it is
        // written and are empty after every row; passing each stamp through
        // them would lay out two texts per row that nobody sees.
        form_.Edit6->clear();
        form_.Edit7->clear();
        for (int c = 1; c < GridColumns; ++c)
            form_.StringGrid1->SetCells(c, 0, QString::fromUtf8(ColumnHeaders[c]));
        const int rows = form_.DataRowCount();
        for (int r = 1; r <= rows; ++r)
            form_.StringGrid1->SetCells(0, r, QString::number(r));
    }
    void RowRead(int row, const std::array<double, ChannelCount>& temperatures) override
    {
        // The whole line is decoded before any of its cells is written, so a
        // bad line leaves its row without temperatures rather than half-filled.
        for (int k = 0; k < ChannelCount; ++k)
            form_.StringGrid1->SetCells(3 + k, row, TemperatureText(temperatures[size_t(k)]));
    }

private:
    TForm5& form_;
};

void TForm5::DOSCANALESLM35()
{
    const TDownloadBuffer* buffer = DownloadBuffer();
    StringGrid1->SetRowCount((buffer ? buffer->LineCount() : 0) - 2);
    if (!buffer)
        ThrowMissingHeader();
    GridFill fill(*this);
    int line = 0;
    DecodeDownload(*buffer, fill, line);
}

int TForm5::OBTIENEFECHAYHORA(const DownloadHeader& header)
{
    start_ = header.Start;
    Label1->setText(QString::number(start_.Year));
    Label2->setText(QString::number(start_.Month));
    Label3->setText(QString::number(start_.Day));
    Label4->setText(QString::number(start_.Hour));
    Label5->setText(QString::number(start_.Minute));
    Label6->setText(QString::number(start_.Second));
    // A code outside 1..6 keeps the previous download's rate, and with it the
    // step of the row stamps.
    const QString rate = RateText(header.RateCode);
    if (!rate.isEmpty())
        Edit8->setText(rate);
    Edit1->setText(DateText(start_.Day, start_.Month, start_.Year));
    Edit2->setText(TimeText(start_.Hour, start_.Minute, start_.Second));
    return StepMinutesForRateText(Edit8->text());
}

void TForm5::SpeedButton2Click()
{
    Application::Guard([] { ShowChartWindow(); });
}

void TForm5::SpeedButton1Click()
{
    Application::Guard([this] {
        // Qt's own dialog rather than the desktop's, so it behaves alike
        // everywhere and can be answered by automation.
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setDirectory(QDir::homePath());
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty())
            return;
        const QString path = chosen.first();
        if (QFileInfo::exists(path)) {
            QMessageBox question(QMessageBox::Question, Application::Title(),
                QStringLiteral("El archivo existe, sobreescribo?"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
            if (question.exec() != QMessageBox::Yes)
                return;
        }
        SaveGridToFile(path);
    });
}

void TForm5::SaveGridToFile(const QString& path)
{
    WriteWholeFile(path, SavedFileBytes(*StringGrid1, DataRowCount()));
}

TableRows GridTableRows(const TStringGrid& grid, int dataRows)
{
    TableRows rows;
    rows.reserve(size_t(std::max(0, dataRows)));
    for (int r = 1; r <= dataRows; ++r) {
        TableRow& row = rows.emplace_back();
        row.Date = grid.Cells(1, r);
        row.Time = grid.Cells(2, r);
        for (int k = 0; k < 8; ++k)
            row.Temperatures[size_t(k)] = grid.Cells(3 + k, r);
    }
    return rows;
}

QByteArray SavedFileBytes(const TStringGrid& grid, int dataRows)
{
    return SavedFileBytes(GridTableRows(grid, dataRows));
}

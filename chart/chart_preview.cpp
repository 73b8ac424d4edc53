#include "chart/chart_preview.h"

#include "chart/chart.h"
#include "platform/application.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Printing to a file is always there, whatever printers the machine has.
const QString PdfFileChoice = QStringLiteral("Archivo PDF");
}  // namespace

TChartPreview::TChartPreview(QWidget* owner, TChart* chart)
    : QDialog(owner), chart_(chart), printer_(new QPrinter(QPrinter::HighResolution))
{
    setWindowTitle(QStringLiteral("Vista previa de impresión"));
    setModal(true);
    resize(760, 620);

    printer_->setPageOrientation(QPageLayout::Landscape);
    printer_->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(QStringLiteral("grafico.pdf"));
    }

    printers_ = new QComboBox(this);
    printers_->addItems(QPrinterInfo::availablePrinterNames());
    printers_->addItem(PdfFileChoice);
    int def = printers_->findText(QPrinterInfo::defaultPrinterName());
    printers_->setCurrentIndex(def >= 0 ? def : 0);

    orientation_ = new QComboBox(this);
    orientation_->addItem(QStringLiteral("Vertical"), int(QPageLayout::Portrait));
    orientation_->addItem(QStringLiteral("Horizontal"), int(QPageLayout::Landscape));
    orientation_->setCurrentIndex(1);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Impresora:"), this));
    bar->addWidget(printers_, 1);
    bar->addWidget(new QLabel(QStringLiteral("Orientación:"), this));
    bar->addWidget(orientation_);
    bar->addWidget(new QLabel(QStringLiteral("Márgenes (mm):"), this));
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QDoubleSpinBox(this);
        margins_[i]->setRange(0, 100);
        margins_[i]->setDecimals(0);
        margins_[i]->setValue(15);
        margins_[i]->setToolTip(QStringList{QStringLiteral("Izquierdo"), QStringLiteral("Superior"),
            QStringLiteral("Derecho"), QStringLiteral("Inferior")}[i]);
        bar->addWidget(margins_[i]);
    }
    print_ = new QPushButton(QStringLiteral("Imprimir"), this);
    close_ = new QPushButton(QStringLiteral("Cerrar"), this);
    bar->addWidget(print_);
    bar->addWidget(close_);

    preview_ = new QPrintPreviewWidget(printer_, this);
    preview_->fitInView();
    auto* box = new QVBoxLayout(this);
    box->addLayout(bar);
    box->addWidget(preview_, 1);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
        [this](QPrinter* p) { Application::Guard([&] { paintRequested(p); }); });
    connect(printers_, &QComboBox::currentIndexChanged, this, [this] { Application::Guard([&] { applySettings(); }); });
    connect(orientation_, &QComboBox::currentIndexChanged, this, [this] { Application::Guard([&] { applySettings(); }); });
    for (QDoubleSpinBox* m : margins_)
        connect(m, &QDoubleSpinBox::valueChanged, this, [this] { Application::Guard([&] { applySettings(); }); });
    connect(print_, &QPushButton::clicked, this, [this] { Application::Guard([&] { printClicked(); }); });
    connect(close_, &QPushButton::clicked, this, [this] { Application::Guard([&] { reject(); }); });
    applySettings();
}

TChartPreview::~TChartPreview()
{
    // The preview widget paints through the printer; it goes first.
    delete preview_;
    delete printer_;
}

int TChartPreview::ShowModal()
{
    return exec();
}

QPageLayout::Orientation TChartPreview::Orientation() const
{
    return static_cast<QPageLayout::Orientation>(orientation_->currentData().toInt());
}

void TChartPreview::SetOrientation(QPageLayout::Orientation orientation)
{
    orientation_->setCurrentIndex(orientation == QPageLayout::Portrait ? 0 : 1);
}

QMarginsF TChartPreview::MarginsMillimetres() const
{
    return QMarginsF(margins_[0]->value(), margins_[1]->value(), margins_[2]->value(), margins_[3]->value());
}

void TChartPreview::SetMarginsMillimetres(const QMarginsF& margins)
{
    const QSignalBlocker blockers[] = {QSignalBlocker(margins_[0]), QSignalBlocker(margins_[1]),
        QSignalBlocker(margins_[2]), QSignalBlocker(margins_[3])};
    margins_[0]->setValue(margins.left());
    margins_[1]->setValue(margins.top());
    margins_[2]->setValue(margins.right());
    margins_[3]->setValue(margins.bottom());
    applySettings();
}

QString TChartPreview::PrinterName() const
{
    return printers_->currentText();
}

void TChartPreview::applySettings()
{
    if (printers_->currentText() == PdfFileChoice) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        if (printer_->outputFileName().isEmpty())
            printer_->setOutputFileName(QStringLiteral("grafico.pdf"));
    } else {
        printer_->setOutputFormat(QPrinter::NativeFormat);
        printer_->setPrinterName(printers_->currentText());
    }
    printer_->setPageOrientation(Orientation());
    printer_->setPageMargins(MarginsMillimetres(), QPageLayout::Millimeter);
    preview_->updatePreview();
}

void TChartPreview::paintRequested(QPrinter* printer)
{
    if (chart_)
        PrintChart(*printer, *chart_);
}

void TChartPreview::printClicked()
{
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Imprimir en archivo"),
            printer_->outputFileName(), QStringLiteral("PDF (*.pdf)"));
        if (name.isEmpty())
            return;
        printer_->setOutputFileName(name);
    }
    if (Print())
        accept();
}

bool TChartPreview::Print()
{
    if (!chart_)
        return false;
    return PrintChart(*printer_, *chart_);
}

void TChartPreview::PaintPage(QPainter& painter, const QRectF& area, const TChart& chart)
{
    QSize size = chart.size();
    if (size.isEmpty() || area.isEmpty())
        return;
    // The chart is drawn at its screen size and scaled as a whole, so the
    // page shows exactly what the screen shows, fonts and lines included.
    double scale = std::min(area.width() / size.width(), area.height() / size.height());
    double x = area.left() + (area.width() - size.width() * scale) / 2;
    painter.save();
    painter.translate(x, area.top());
    painter.scale(scale, scale);
    chart.Draw(painter, QRect(QPoint(0, 0), size));
    painter.restore();
}

bool TChartPreview::PrintChart(QPrinter& printer, const TChart& chart)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    area.moveTo(0, 0);
    PaintPage(painter, area, chart);
    painter.end();
    return true;
}

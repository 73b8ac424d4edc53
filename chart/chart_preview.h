#pragma once
// The print preview of one chart: a modal dialog showing the chart on a
// page, where the user picks the printer, the paper orientation and the
// margins, and prints. Created by the window that owns it (its QObject
// parent) for one showing; the chart is only read.
#include <QDialog>
#include <QMarginsF>
#include <QPageLayout>
#include <QPointer>

class QComboBox;
class QDoubleSpinBox;
class QPainter;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class TChart;

class TChartPreview : public QDialog {
    Q_OBJECT
public:
    TChartPreview(QWidget* owner, TChart* chart);
    ~TChartPreview() override;

    // Shows the preview modally; returns when the user closes it.
    int ShowModal();

    // The page settings the preview shows and prints with.
    QPageLayout::Orientation Orientation() const;
    void SetOrientation(QPageLayout::Orientation orientation);
    QMarginsF MarginsMillimetres() const;
    void SetMarginsMillimetres(const QMarginsF& margins);
    QString PrinterName() const;
    QPrinter* Printer() const { return printer_; }

    // Prints the chart on the selected printer; returns false when it could
    // not start a page.
    bool Print();

    // Draws `chart` on one page: scaled to fit inside the margins of
    // `printer`'s page, keeping its proportions, centred at the top.
    static void PaintPage(QPainter& painter, const QRectF& area, const TChart& chart);
    static bool PrintChart(QPrinter& printer, const TChart& chart);

private:
    void applySettings();
    void printClicked();
    void paintRequested(QPrinter* printer);

    QPointer<TChart> chart_;
    QPrinter* printer_;
    QPrintPreviewWidget* preview_;
    QComboBox* printers_;
    QComboBox* orientation_;
    QDoubleSpinBox* margins_[4];
    QPushButton* print_;
    QPushButton* close_;
};

#pragma once
// A titled line chart drawn on QPainter: a framed, gradient-filled panel
// with a title, a left value axis and a bottom axis, and any number of line
// series. The mouse zooms (left drag from upper left to lower right; any
// other direction restores the full view) and scrolls (right drag). The
// chart can draw itself onto any painter, which is how it is copied to a
// bitmap and printed. Owned by the window that places it; it owns its series.
#include "chart/chart_drawing.h"
#include "chart/line_series.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class TChart;

// One axis of a chart. Owned by its chart; reached through LeftAxis(),
// BottomAxis(), RightAxis() and TopAxis(). Changes redraw the chart.
class TChartAxis {
public:
    enum class Side { Left, Bottom, Right, Top };

    Side Position() const { return side_; }
    bool Horizontal() const { return side_ == Side::Bottom || side_ == Side::Top; }

    bool Visible() const { return look_.visible; }
    void SetVisible(bool visible);

    QString Title() const { return look_.title; }
    void SetTitle(const QString& title);
    QFont TitleFont() const { return look_.titleFont; }
    void SetTitleFont(const QFont& font);
    QColor TitleColor() const { return look_.titleColor; }
    void SetTitleColor(const QColor& color);

    QFont LabelsFont() const { return look_.labelsFont; }
    void SetLabelsFont(const QFont& font);
    QColor LabelsColor() const { return look_.labelsColor; }
    void SetLabelsColor(const QColor& color);

    // Picture pattern for the labels ("##.##.##"); empty for the general
    // number format.
    QString ValuesFormat() const { return valuesFormat_; }
    void SetValuesFormat(const QString& pattern);
    // Labels stand on whole multiples of this (thinned further when they
    // would overlap); 0 lets the axis pick round steps by itself.
    double Increment() const { return increment_; }
    void SetIncrement(double increment);

    bool GridVisible() const { return look_.gridVisible; }
    void SetGridVisible(bool visible);

    // An automatic axis follows the extent of the active series' points.
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic);
    // The range in force: the data's extent while automatic, else the set one.
    double Minimum() const;
    double Maximum() const;
    // Fixes the range and switches Automatic off.
    void SetMinMax(double minimum, double maximum);

    // The text of the label for a value.
    QString LabelText(double value) const;
    // The distance between neighbouring labels, and the labels themselves,
    // at the chart's current size.
    double LabelStep() const;
    QList<TAxisLabel> Labels() const;

private:
    friend class TChart;
    TChartAxis(TChart* chart, Side side);
    std::function<void()> redraw();
    chartdraw::NumberLabels numberLabels() const;

    TChart* chart_;
    Side side_;
    chartdraw::AxisLook look_;
    QString valuesFormat_;
    double increment_ = 0;
    bool automatic_ = true;
    double minimum_ = 0;
    double maximum_ = 0;
};

class TChart : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE SetTitleFont)
    Q_PROPERTY(QColor TitleColor READ TitleColor WRITE SetTitleColor)
    Q_PROPERTY(bool LegendVisible READ LegendVisible WRITE SetLegendVisible)
    Q_PROPERTY(bool BackWallTransparent READ BackWallTransparent WRITE SetBackWallTransparent)
    Q_PROPERTY(QColor BackWallColor READ BackWallColor WRITE SetBackWallColor)
    Q_PROPERTY(bool GradientVisible READ GradientVisible WRITE SetGradientVisible)
    Q_PROPERTY(QColor GradientStartColor READ GradientStartColor WRITE SetGradientStartColor)
    Q_PROPERTY(QColor GradientEndColor READ GradientEndColor WRITE SetGradientEndColor)
    Q_PROPERTY(QColor PanelColor READ PanelColor WRITE SetPanelColor)
    Q_PROPERTY(BevelStyle BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(BevelStyle BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(bool BorderLine READ BorderLine WRITE SetBorderLine)
    Q_PROPERTY(int MinimumDragPixels READ MinimumDragPixels WRITE SetMinimumDragPixels)
public:
    enum class BevelStyle { None, Lowered, Raised };
    Q_ENUM(BevelStyle)

    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    QString Title() const { return title_; }
    void SetTitle(const QString& title);
    QFont TitleFont() const { return titleFont_; }
    void SetTitleFont(const QFont& font);
    QColor TitleColor() const { return titleColor_; }
    void SetTitleColor(const QColor& color);

    TChartAxis& LeftAxis() { return left_; }
    TChartAxis& BottomAxis() { return bottom_; }
    TChartAxis& RightAxis() { return right_; }
    TChartAxis& TopAxis() { return top_; }
    const TChartAxis& LeftAxis() const { return left_; }
    const TChartAxis& BottomAxis() const { return bottom_; }

    // A box at the right of the plot naming each active series.
    bool LegendVisible() const { return legendVisible_; }
    void SetLegendVisible(bool visible);
    // The area behind the lines: left clear, or filled with BackWallColor.
    bool BackWallTransparent() const { return backWallTransparent_; }
    void SetBackWallTransparent(bool transparent);
    QColor BackWallColor() const { return backWallColor_; }
    void SetBackWallColor(const QColor& color);
    // Background inside the frame: a top-to-bottom gradient, or PanelColor.
    bool GradientVisible() const { return frame_.gradientVisible; }
    void SetGradientVisible(bool visible);
    QColor GradientStartColor() const { return frame_.gradientStart; }
    void SetGradientStartColor(const QColor& color);
    QColor GradientEndColor() const { return frame_.gradientEnd; }
    void SetGradientEndColor(const QColor& color);
    // The frame, outside in: an optional single line, the outer bevel, a
    // border of BorderWidth pixels in PanelColor, the inner bevel.
    QColor PanelColor() const { return frame_.panelColor; }
    void SetPanelColor(const QColor& color);
    BevelStyle BevelInner() const { return static_cast<BevelStyle>(frame_.bevelInner); }
    void SetBevelInner(BevelStyle style);
    BevelStyle BevelOuter() const { return static_cast<BevelStyle>(frame_.bevelOuter); }
    void SetBevelOuter(BevelStyle style);
    int BevelWidth() const { return frame_.bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return frame_.borderWidth; }
    void SetBorderWidth(int width);
    bool BorderLine() const { return frame_.borderLine; }
    void SetBorderLine(bool on);

    // A zoom drag counts only when it spans more than this both ways.
    int MinimumDragPixels() const { return minDrag_; }
    void SetMinimumDragPixels(int pixels);

    // Series in the order they were added; index 0 is the first.
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TLineSeries* Series(int index) const;
    // Takes ownership; a series already on another chart moves here.
    void AddSeries(TLineSeries* series);
    // Removes the series from the list and gives ownership to the caller.
    void RemoveSeries(TLineSeries* series);

    // Zoom and scroll done by code, as the mouse does them.
    void ZoomRect(const QRect& pixels);
    void UndoZoom();
    void Scroll(int dx, int dy);
    bool IsZoomed() const { return !left_.Automatic() || !bottom_.Automatic(); }

    // The rectangle the lines are drawn in, for a chart laid out in `rect`
    // (by default the chart's own client rectangle).
    QRect PlotRect() const;
    QRect PlotRect(const QRect& rect) const;
    // Axis coordinates: the pixel of a value and the value of a pixel, on
    // the chart as it is on screen.
    double XPixel(double x) const;
    double YPixel(double y) const;
    double XValueAt(double pixel) const;
    double YValueAt(double pixel) const;

    // Draws the whole chart (frame, background, title, axes, lines; not the
    // child widgets) into `rect` of any painter: a bitmap, a printer page.
    void Draw(QPainter& painter, const QRect& rect) const;
    // The chart drawn afresh into a new image of its client size; the screen
    // buffer is neither used nor changed.
    QImage ToImage() const;

    // The rubber band of a zoom drag in progress; empty when none.
    QRect RubberBand() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Zoomed();
    void UndoneZoom();
    void Scrolled();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    friend class TChartAxis;
    friend class TLineSeries;
    using Layout = chartdraw::Layout;
    chartdraw::ChartLook look() const;
    Layout layout(const QRect& rect) const;
    Layout layout(const QRect& rect, const chartdraw::ChartLook& look) const;
    void drawSeries(QPainter& p, const Layout& L) const;
    void drawPointMarks(QPainter& p, const Layout& L, const TLineSeries& s, chartscale::IndexRange range) const;
    void dataChanged();
    void looksChanged();
    std::function<void()> redraw();
    void rangeOf(bool horizontal, double& low, double& high) const;
    void refreshRanges() const;
    void paintScreen();
    void mousePress(QMouseEvent* e);
    void mouseMove(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);

    QString title_;
    QFont titleFont_;
    QColor titleColor_ = Qt::blue;
    TChartAxis left_;
    TChartAxis bottom_;
    TChartAxis right_;
    TChartAxis top_;
    bool legendVisible_ = true;
    bool backWallTransparent_ = true;
    QColor backWallColor_ = Qt::white;
    chartdraw::FrameLook frame_;
    int minDrag_ = 16;

    std::vector<TLineSeries*> series_;

    // Automatic ranges are recomputed lazily after the data changes.
    mutable bool rangesValid_ = false;
    mutable double autoMinX_ = 0, autoMaxX_ = 0, autoMinY_ = 0, autoMaxY_ = 0;

    // The screen buffer: the last drawing, reused until something changes.
    QPixmap buffer_;
    bool bufferValid_ = false;

    enum class Drag { None, Zoom, Scroll };
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragLast_;
};

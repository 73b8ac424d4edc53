#pragma once
// The steps that lay out and draw a chart on any QPainter: frame, title,
// walls, grid, axes, legend. The chart widget and the time plot both go
// through them, so a chart looks the same on screen, on a printed page and in
// a picture file. Nothing here needs a widget or QApplication, only Qt Gui
// (fonts need a QGuiApplication, which may be offscreen).
#include "chart/axis_scale.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QVector>

#include <functional>
#include <utility>
#include <vector>

class QFontMetricsF;
class QPainter;

// A label an axis draws: its value, its text and where the text goes, in the
// coordinates of the rectangle the chart was laid out in.
struct TAxisLabel {
    double Value = 0;
    QString Text;
    QRectF Rect;
};

namespace chartdraw {

constexpr int TickLength = 4;

enum class Bevel { None, Lowered, Raised };

// The frame and the background inside it, outside in: an optional single
// line, the outer bevel, a border of borderWidth pixels in panelColor, the
// inner bevel; inside, a top-to-bottom gradient when it is visible.
struct FrameLook {
    QColor panelColor = QColor(240, 240, 240);
    bool borderLine = false;
    Bevel bevelOuter = Bevel::Raised;
    Bevel bevelInner = Bevel::None;
    int bevelWidth = 1;
    int borderWidth = 0;
    bool gradientVisible = false;
    QColor gradientStart = Qt::white;
    QColor gradientEnd = QColor(192, 192, 192);

    // How far the frame reaches in from each edge.
    int Thickness() const;
};

struct AxisLook {
    bool visible = true;
    QString title;
    QFont titleFont;
    QColor titleColor = Qt::black;
    QFont labelsFont;
    QColor labelsColor = Qt::black;
    bool gridVisible = true;
};

struct LegendEntry {
    QString title;
    QColor color;
    int width = 1;
};

// Everything about a chart but its data and its axes' labelling.
struct ChartLook {
    FrameLook frame;
    QString title;
    QFont titleFont;
    QColor titleColor = Qt::blue;
    AxisLook left, bottom;
    bool rightVisible = true;
    bool topVisible = true;
    bool backWallTransparent = true;
    QColor backWallColor = Qt::white;
    // The series the legend names; no legend when empty.
    std::vector<LegendEntry> legend;
    QColor legendColor = Qt::white;
};

// Where everything goes, for a chart laid out in `outer`.
struct Layout {
    QRect outer;
    QRect inner;  // inside the frame
    QRectF title;
    QRect plot;
    double xLow = 0, xHigh = 1, yLow = 0, yHigh = 1;
    chartscale::LinearMap toX, toY;
    double xStep = 1, yStep = 1;
    QList<TAxisLabel> bottomLabels, leftLabels;
    QVector<double> yTicks;
    QRectF leftTitle;  // before rotation: centre and extent
    QRectF bottomTitle;
    QRect legend;
};

// How a value axis labels its ticks: the text of a value, and the whole
// multiples labels must stand on (0: round steps of the axis' choosing).
struct NumberLabels {
    double increment = 0;
    std::function<QString(double)> text;
};

// How the bottom axis is labelled; the chart numbers its points, the time
// plot tells dates and times.
class BottomLabels {
public:
    virtual ~BottomLabels() = default;
    // Text lines a label may take, for the room below the axis.
    virtual int Lines() const { return 1; }
    // Room to keep right of the plot so the last label is not cut.
    virtual double RightOverhang(const Layout& layout, const QFontMetricsF& fm) const = 0;
    // The labels of the laid-out plot, never overlapping; sets layout.xStep.
    virtual QList<TAxisLabel> Place(Layout& layout, const QFontMetricsF& fm) const = 0;
};

// Bottom labels for numbers: on whole multiples of the increment (round
// steps when it is 0), thinned so that none overlaps its neighbour.
class NumberBottomLabels : public BottomLabels {
public:
    explicit NumberBottomLabels(NumberLabels labels) : labels_(std::move(labels)) {}
    double RightOverhang(const Layout& layout, const QFontMetricsF& fm) const override;
    QList<TAxisLabel> Place(Layout& layout, const QFontMetricsF& fm) const override;

private:
    NumberLabels labels_;
};

// Ranges with no width are opened up around their value so that one point,
// or a flat line, still has an axis to stand on.
void OpenUp(double& low, double& high, double by = 1);

// Lays out a chart in `rect` for the given value ranges.
Layout LayOut(const QRect& rect, const ChartLook& look, double xLow, double xHigh, double yLow, double yHigh,
    const NumberLabels& left, const BottomLabels& bottom);

// The drawing steps, in the order a chart is drawn.
void DrawFrame(QPainter& p, const QRect& rect, const FrameLook& frame);
void DrawWalls(QPainter& p, const Layout& L, const ChartLook& look);
void DrawGrid(QPainter& p, const Layout& L, const ChartLook& look);
void DrawAxes(QPainter& p, const Layout& L, const ChartLook& look);
void DrawLegend(QPainter& p, const Layout& L, const ChartLook& look);
void DrawTitles(QPainter& p, const Layout& L, const ChartLook& look);

// The whole chart: every step, with `series` drawing the lines, clipped to
// the plot, between the grid and the axes.
void DrawChart(QPainter& p, const Layout& L, const ChartLook& look, const std::function<void(QPainter&)>& series);

}  // namespace chartdraw

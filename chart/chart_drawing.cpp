#include "chart/chart_drawing.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace chartdraw {

using namespace chartscale;

namespace {

const QColor BevelLight(255, 255, 255);
const QColor BevelShadow(128, 128, 128);
const QColor GridColor(128, 128, 128);

// Draws `width` rings of a bevel just inside `r`.
void drawBevel(QPainter& p, QRect r, int width, bool raised)
{
    QColor topLeft = raised ? BevelLight : BevelShadow;
    QColor bottomRight = raised ? BevelShadow : BevelLight;
    for (int i = 0; i < width; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        p.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

int pixel(double v)
{
    return static_cast<int>(std::lround(v));
}

// The left labels' texts and step depend on the plot's height only, so they
// are settled before the plot's left edge, which depends on their width.
struct LeftTexts {
    QStringList texts;
    double widest = 0;
};

// Top and bottom of the plot: below the title, above the bottom axis'
// labels and title.
void placeVertically(Layout& L, const ChartLook& look, int bottomLines)
{
    QFontMetricsF titleFm(look.titleFont);
    QFontMetricsF bottomTitleFm(look.bottom.titleFont);
    QFontMetricsF bottomFm(look.bottom.labelsFont);
    double top = L.inner.top() + 6;
    if (!look.title.isEmpty()) {
        L.title = QRectF(L.inner.left(), top, L.inner.width(), titleFm.height());
        top += titleFm.height() + 10;
    } else {
        top += 4;
    }
    double bottom = L.inner.bottom() - 4;
    if (look.bottom.visible) {
        if (!look.bottom.title.isEmpty()) {
            L.bottomTitle = QRectF(0, bottom - bottomTitleFm.height(), 0, bottomTitleFm.height());
            bottom -= bottomTitleFm.height() + 2;
        }
        bottom -= bottomFm.height() * bottomLines + TickLength + 2;
    }
    int plotTop = pixel(top);
    L.plot.setTop(plotTop);
    L.plot.setBottom(std::max(plotTop + 1, pixel(bottom)));
}

// Left labels: round steps at least two lines apart.
LeftTexts leftTicks(Layout& L, const ChartLook& look, const NumberLabels& left)
{
    QFontMetricsF leftFm(look.left.labelsFont);
    double plotHeight = L.plot.bottom() - L.plot.top();
    double labelHeight = leftFm.height();
    double yRange = L.yHigh - L.yLow;
    if (left.increment > 0) {
        L.yStep = LabelStep(L.yLow, L.yHigh, plotHeight / yRange, left.increment, labelHeight * 0.5,
            [&](double) { return labelHeight; });
    } else {
        L.yStep = RoundStepAtLeast(std::max(yRange * labelHeight * 2 / plotHeight, 1e-300));
    }
    L.yTicks = TicksWithin(L.yLow, L.yHigh, L.yStep);
    LeftTexts t;
    for (double v : L.yTicks) {
        t.texts << left.text(v);
        t.widest = std::max(t.widest, leftFm.horizontalAdvance(t.texts.back()));
    }
    return t;
}

// Left and right edges of the plot: right of the left axis' title and
// labels, left of the last bottom label's overhang and of the legend.
void placeHorizontally(Layout& L, const ChartLook& look, double leftLabelWidth, const BottomLabels& bottom)
{
    QFontMetricsF leftTitleFm(look.left.titleFont);
    QFontMetricsF leftFm(look.left.labelsFont);
    double left = L.inner.left() + 8;
    if (look.left.visible) {
        if (!look.left.title.isEmpty()) {
            L.leftTitle = QRectF(left, 0, leftTitleFm.height(), 0);
            left += leftTitleFm.height() + 6;
        }
        left += leftLabelWidth + TickLength + 3;
    }
    double right = L.inner.right() - 8;
    if (look.bottom.visible)
        right -= bottom.RightOverhang(L, QFontMetricsF(look.bottom.labelsFont));

    if (!look.legend.empty()) {
        double widest = 0;
        for (const LegendEntry& e : look.legend)
            widest = std::max(widest, leftFm.horizontalAdvance(e.title));
        int w = static_cast<int>(std::ceil(widest)) + 34;
        int h = static_cast<int>(std::ceil(look.legend.size() * leftFm.height())) + 8;
        int x = static_cast<int>(right) - w;
        L.legend = QRect(x, L.plot.top(), w, h);
        right = x - 8;
    }
    int plotLeft = pixel(left);
    L.plot.setLeft(plotLeft);
    L.plot.setRight(std::max(plotLeft + 1, pixel(right)));
}

void setMaps(Layout& L)
{
    double plotWidth = L.plot.right() - L.plot.left();
    double plotHeight = L.plot.bottom() - L.plot.top();
    L.toX.scale = plotWidth / (L.xHigh - L.xLow);
    L.toX.offset = L.plot.left() - L.toX.scale * L.xLow;
    L.toY.scale = -plotHeight / (L.yHigh - L.yLow);
    L.toY.offset = L.plot.bottom() - L.toY.scale * L.yLow;
}

// Left labels centred on their ticks; the left title along the plot.
void placeLeftLabels(Layout& L, const ChartLook& look, const LeftTexts& t)
{
    QFontMetricsF leftFm(look.left.labelsFont);
    double labelHeight = leftFm.height();
    for (int i = 0; i < L.yTicks.size(); ++i) {
        double y = L.toY(L.yTicks[i]);
        double w = leftFm.horizontalAdvance(t.texts[i]);
        QRectF r(L.plot.left() - TickLength - 3 - w, y - labelHeight / 2, w, labelHeight);
        L.leftLabels.push_back(TAxisLabel{L.yTicks[i], t.texts[i], r});
    }
    if (L.leftTitle.width() > 0)
        L.leftTitle = QRectF(L.leftTitle.left(), L.plot.top(), L.leftTitle.width(), L.plot.bottom() - L.plot.top());
}

void placeBottomLabels(Layout& L, const ChartLook& look, const BottomLabels& bottom)
{
    if (!look.bottom.visible)
        return;
    L.bottomLabels = bottom.Place(L, QFontMetricsF(look.bottom.labelsFont));
    if (L.bottomTitle.height() > 0)
        L.bottomTitle = QRectF(L.plot.left(), L.bottomTitle.top(), L.plot.right() - L.plot.left(), L.bottomTitle.height());
}

int textFlags(const QString& text, int alignment)
{
    return alignment | (text.contains(QLatin1Char('\n')) ? 0 : int(Qt::TextSingleLine));
}

void drawLeftAxis(QPainter& p, const Layout& L, const AxisLook& axis)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(L.plot.left(), L.plot.top(), L.plot.left(), L.plot.bottom());
    p.setFont(axis.labelsFont);
    for (const TAxisLabel& l : L.leftLabels) {
        int y = pixel(L.toY(l.Value));
        p.setPen(Qt::black);
        p.drawLine(L.plot.left() - TickLength, y, L.plot.left(), y);
        p.setPen(axis.labelsColor);
        p.drawText(l.Rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, l.Text);
    }
}

void drawBottomAxis(QPainter& p, const Layout& L, const AxisLook& axis)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(L.plot.left(), L.plot.bottom(), L.plot.right(), L.plot.bottom());
    p.setFont(axis.labelsFont);
    for (const TAxisLabel& l : L.bottomLabels) {
        int x = pixel(L.toX(l.Value));
        p.setPen(Qt::black);
        p.drawLine(x, L.plot.bottom(), x, L.plot.bottom() + TickLength);
        p.setPen(axis.labelsColor);
        p.drawText(l.Rect, textFlags(l.Text, Qt::AlignHCenter | Qt::AlignTop), l.Text);
    }
}

// The far axes carry no labels of their own: a line and the ticks of their
// near counterpart.
void drawFarAxes(QPainter& p, const Layout& L, const ChartLook& look)
{
    p.setPen(QPen(Qt::black, 1));
    if (look.rightVisible) {
        p.drawLine(L.plot.right(), L.plot.top(), L.plot.right(), L.plot.bottom());
        for (const TAxisLabel& l : L.leftLabels) {
            int y = pixel(L.toY(l.Value));
            p.drawLine(L.plot.right(), y, L.plot.right() + TickLength, y);
        }
    }
    if (look.topVisible) {
        p.drawLine(L.plot.left(), L.plot.top(), L.plot.right(), L.plot.top());
        for (const TAxisLabel& l : L.bottomLabels) {
            int x = pixel(L.toX(l.Value));
            p.drawLine(x, L.plot.top() - TickLength, x, L.plot.top());
        }
    }
}

}  // namespace

int FrameLook::Thickness() const
{
    return (borderLine ? 1 : 0) + (bevelOuter != Bevel::None ? bevelWidth : 0) + borderWidth
           + (bevelInner != Bevel::None ? bevelWidth : 0);
}

double NumberBottomLabels::RightOverhang(const Layout& L, const QFontMetricsF& fm) const
{
    return std::max(6.0, fm.horizontalAdvance(labels_.text(std::floor(L.xHigh))) / 2);
}

QList<TAxisLabel> NumberBottomLabels::Place(Layout& L, const QFontMetricsF& fm) const
{
    double plotWidth = L.plot.right() - L.plot.left();
    double gap = fm.horizontalAdvance(QStringLiteral("  "));
    auto width = [&](double v) { return fm.horizontalAdvance(labels_.text(v)); };
    if (labels_.increment > 0) {
        L.xStep = LabelStep(L.xLow, L.xHigh, L.toX.scale, labels_.increment, gap, width);
    } else {
        double widest = std::max(width(L.xLow), width(L.xHigh)) + gap;
        L.xStep = RoundStepAtLeast(std::max(widest / L.toX.scale, 1e-300));
    }
    QVector<double> ticks = TicksWithin(L.xLow, L.xHigh, L.xStep);
    // Zoomed in between two whole steps: the ends of the range are labelled
    // instead, so the axis still says where the view is.
    if (ticks.isEmpty()) {
        ticks = {L.xLow};
        if (width(L.xLow) / 2 + width(L.xHigh) / 2 + gap <= plotWidth)
            ticks.push_back(L.xHigh);
    }
    QList<TAxisLabel> labels;
    double labelTop = L.plot.bottom() + TickLength + 2;
    for (double v : ticks) {
        QString text = labels_.text(v);
        double w = fm.horizontalAdvance(text);
        labels.push_back(TAxisLabel{v, text, QRectF(L.toX(v) - w / 2, labelTop, w, fm.height())});
    }
    return labels;
}

void OpenUp(double& low, double& high, double by)
{
    if (!(high > low)) {
        low -= by;
        high += by;
    }
}

Layout LayOut(const QRect& rect, const ChartLook& look, double xLow, double xHigh, double yLow, double yHigh,
    const NumberLabels& left, const BottomLabels& bottom)
{
    Layout L;
    L.outer = rect;
    int frame = look.frame.Thickness();
    L.inner = rect.adjusted(frame, frame, -frame, -frame);
    L.xLow = xLow;
    L.xHigh = xHigh;
    L.yLow = yLow;
    L.yHigh = yHigh;
    OpenUp(L.xLow, L.xHigh);
    OpenUp(L.yLow, L.yHigh);

    placeVertically(L, look, bottom.Lines());
    LeftTexts leftTexts = leftTicks(L, look, left);
    placeHorizontally(L, look, leftTexts.widest, bottom);
    setMaps(L);
    placeLeftLabels(L, look, leftTexts);
    placeBottomLabels(L, look, bottom);
    return L;
}

void DrawFrame(QPainter& p, const QRect& rect, const FrameLook& frame)
{
    QRect r = rect;
    p.fillRect(r, frame.panelColor);
    if (frame.borderLine) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    int bw = frame.bevelWidth;
    if (frame.bevelOuter != Bevel::None) {
        drawBevel(p, r, bw, frame.bevelOuter == Bevel::Raised);
        r.adjust(bw, bw, -bw, -bw);
    }
    r.adjust(frame.borderWidth, frame.borderWidth, -frame.borderWidth, -frame.borderWidth);
    if (frame.bevelInner != Bevel::None) {
        drawBevel(p, r, bw, frame.bevelInner == Bevel::Raised);
        r.adjust(bw, bw, -bw, -bw);
    }
    if (frame.gradientVisible) {
        QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.bottom() + 1));
        g.setColorAt(0, frame.gradientStart);
        g.setColorAt(1, frame.gradientEnd);
        p.fillRect(r, g);
    }
}

void DrawWalls(QPainter& p, const Layout& L, const ChartLook& look)
{
    if (!look.backWallTransparent)
        p.fillRect(L.plot, look.backWallColor);
}

void DrawGrid(QPainter& p, const Layout& L, const ChartLook& look)
{
    p.setPen(QPen(GridColor, 1, Qt::DotLine));
    if (look.left.visible && look.left.gridVisible) {
        for (const TAxisLabel& l : L.leftLabels) {
            int y = pixel(L.toY(l.Value));
            if (y > L.plot.top() && y < L.plot.bottom())
                p.drawLine(L.plot.left() + 1, y, L.plot.right(), y);
        }
    }
    if (look.bottom.visible && look.bottom.gridVisible) {
        for (const TAxisLabel& l : L.bottomLabels) {
            int x = pixel(L.toX(l.Value));
            if (x > L.plot.left() && x < L.plot.right())
                p.drawLine(x, L.plot.top(), x, L.plot.bottom() - 1);
        }
    }
}

void DrawAxes(QPainter& p, const Layout& L, const ChartLook& look)
{
    if (look.left.visible)
        drawLeftAxis(p, L, look.left);
    if (look.bottom.visible)
        drawBottomAxis(p, L, look.bottom);
    drawFarAxes(p, L, look);
}

void DrawLegend(QPainter& p, const Layout& L, const ChartLook& look)
{
    if (L.legend.isEmpty())
        return;
    p.setPen(Qt::black);
    p.setBrush(look.legendColor);
    p.drawRect(L.legend);
    p.setFont(look.left.labelsFont);
    QFontMetricsF fm(look.left.labelsFont);
    double y = L.legend.top() + 4;
    for (const LegendEntry& e : look.legend) {
        double mid = y + fm.height() / 2;
        p.setPen(QPen(e.color, e.width));
        p.drawLine(QPointF(L.legend.left() + 4, mid), QPointF(L.legend.left() + 24, mid));
        p.setPen(Qt::black);
        p.drawText(QRectF(L.legend.left() + 30, y, L.legend.width() - 32, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
            e.title);
        y += fm.height();
    }
}

void DrawTitles(QPainter& p, const Layout& L, const ChartLook& look)
{
    if (!look.title.isEmpty()) {
        p.setFont(look.titleFont);
        p.setPen(look.titleColor);
        p.drawText(L.title, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, look.title);
    }
    if (look.left.visible && !look.left.title.isEmpty() && L.leftTitle.width() > 0) {
        p.save();
        p.setFont(look.left.titleFont);
        p.setPen(look.left.titleColor);
        p.translate(L.leftTitle.center());
        p.rotate(-90);
        QRectF box(-L.leftTitle.height() / 2, -L.leftTitle.width() / 2, L.leftTitle.height(), L.leftTitle.width());
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, look.left.title);
        p.restore();
    }
    if (look.bottom.visible && !look.bottom.title.isEmpty() && L.bottomTitle.height() > 0) {
        p.setFont(look.bottom.titleFont);
        p.setPen(look.bottom.titleColor);
        p.drawText(L.bottomTitle, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, look.bottom.title);
    }
}

void DrawChart(QPainter& p, const Layout& L, const ChartLook& look, const std::function<void(QPainter&)>& series)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    DrawFrame(p, L.outer, look.frame);
    DrawWalls(p, L, look);
    DrawGrid(p, L, look);
    p.save();
    p.setClipRect(L.plot.adjusted(0, 0, 1, 1));
    series(p);
    p.restore();
    DrawAxes(p, L, look);
    DrawLegend(p, L, look);
    DrawTitles(p, L, look);
    p.restore();
}

}  // namespace chartdraw

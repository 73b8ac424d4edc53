#include "chart/chart.h"

#include "chart/axis_scale.h"
#include "platform/application.h"
#include "platform/formats.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QFont arial(int pixels, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

constexpr int TickLength = 4;
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

}  // namespace

// ---------------------------------------------------------------------------
// Axis

TChartAxis::TChartAxis(TChart* chart, Side side) : chart_(chart), side_(side)
{
    titleFont_ = arial(11, false);
    labelsFont_ = arial(11, false);
}

void TChartAxis::changed()
{
    chart_->looksChanged();
}

void TChartAxis::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    changed();
}

void TChartAxis::SetTitle(const QString& title)
{
    if (title_ == title)
        return;
    title_ = title;
    changed();
}

void TChartAxis::SetTitleFont(const QFont& font)
{
    if (titleFont_ == font)
        return;
    titleFont_ = font;
    changed();
}

void TChartAxis::SetTitleColor(const QColor& color)
{
    if (titleColor_ == color)
        return;
    titleColor_ = color;
    changed();
}

void TChartAxis::SetLabelsFont(const QFont& font)
{
    if (labelsFont_ == font)
        return;
    labelsFont_ = font;
    changed();
}

void TChartAxis::SetLabelsColor(const QColor& color)
{
    if (labelsColor_ == color)
        return;
    labelsColor_ = color;
    changed();
}

void TChartAxis::SetValuesFormat(const QString& pattern)
{
    if (valuesFormat_ == pattern)
        return;
    valuesFormat_ = pattern;
    changed();
}

void TChartAxis::SetIncrement(double increment)
{
    if (!(increment >= 0) || !std::isfinite(increment))
        increment = 0;
    if (increment_ == increment)
        return;
    increment_ = increment;
    changed();
}

void TChartAxis::SetGridVisible(bool visible)
{
    if (gridVisible_ == visible)
        return;
    gridVisible_ = visible;
    changed();
}

void TChartAxis::SetAutomatic(bool automatic)
{
    if (automatic_ == automatic)
        return;
    automatic_ = automatic;
    changed();
}

double TChartAxis::Minimum() const
{
    if (!automatic_)
        return minimum_;
    chart_->refreshRanges();
    return Horizontal() ? chart_->autoMinX_ : chart_->autoMinY_;
}

double TChartAxis::Maximum() const
{
    if (!automatic_)
        return maximum_;
    chart_->refreshRanges();
    return Horizontal() ? chart_->autoMaxX_ : chart_->autoMaxY_;
}

void TChartAxis::SetMinMax(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (!automatic_ && minimum_ == minimum && maximum_ == maximum)
        return;
    automatic_ = false;
    minimum_ = minimum;
    maximum_ = maximum;
    changed();
}

QString TChartAxis::LabelText(double value) const
{
    if (valuesFormat_.isEmpty())
        return FloatToStr(value);
    return FormatFloat(valuesFormat_, value);
}

// ---------------------------------------------------------------------------
// Layout: everything Draw and the mouse need to know about where things go.

struct TChart::Layout {
    QRect outer;
    QRect inner;  // inside the frame
    QRectF title;
    QRect plot;
    double xLow = 0, xHigh = 1, yLow = 0, yHigh = 1;
    chartscale::LinearMap toX, toY;
    double xStep = 1, yStep = 1;
    QList<TAxisLabel> bottomLabels, leftLabels;
    QVector<double> yTicks;
    QRectF leftTitle;    // before rotation: centre and extent
    QRectF bottomTitle;
    QRect legend;
};

// Ranges with no width are opened up around their value so that one point,
// or a flat line, still has an axis to stand on.
static void openUp(double& low, double& high)
{
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
}

TChart::Layout TChart::layout(const QRect& rect) const
{
    Layout L;
    L.outer = rect;
    int frame = (borderLine_ ? 1 : 0) + (bevelOuter_ != BevelStyle::None ? bevelWidth_ : 0) + borderWidth_
                + (bevelInner_ != BevelStyle::None ? bevelWidth_ : 0);
    L.inner = rect.adjusted(frame, frame, -frame, -frame);

    L.xLow = bottom_.Minimum();
    L.xHigh = bottom_.Maximum();
    L.yLow = left_.Minimum();
    L.yHigh = left_.Maximum();
    openUp(L.xLow, L.xHigh);
    openUp(L.yLow, L.yHigh);

    QFontMetricsF titleFm(titleFont_);
    QFontMetricsF leftTitleFm(left_.TitleFont());
    QFontMetricsF bottomTitleFm(bottom_.TitleFont());
    QFontMetricsF leftFm(left_.LabelsFont());
    QFontMetricsF bottomFm(bottom_.LabelsFont());

    // Vertical extent first: the left labels depend on the plot's height only.
    double top = L.inner.top() + 6;
    if (!title_.isEmpty()) {
        L.title = QRectF(L.inner.left(), top, L.inner.width(), titleFm.height());
        top += titleFm.height() + 10;
    } else {
        top += 4;
    }
    double bottom = L.inner.bottom() - 4;
    if (bottom_.Visible()) {
        if (!bottom_.Title().isEmpty()) {
            L.bottomTitle = QRectF(0, bottom - bottomTitleFm.height(), 0, bottomTitleFm.height());
            bottom -= bottomTitleFm.height() + 2;
        }
        bottom -= bottomFm.height() + TickLength + 2;
    }
    int plotTop = static_cast<int>(std::lround(top));
    int plotBottom = std::max(plotTop + 1, static_cast<int>(std::lround(bottom)));
    double plotHeight = plotBottom - plotTop;

    // Left labels: round steps at least two lines apart.
    double labelHeight = leftFm.height();
    double minStepPixels = labelHeight * 2;
    double yRange = L.yHigh - L.yLow;
    if (left_.Increment() > 0) {
        L.yStep = chartscale::LabelStep(L.yLow, L.yHigh, plotHeight / yRange, left_.Increment(),
            labelHeight * 0.5, [&](double) { return labelHeight; });
    } else {
        L.yStep = chartscale::RoundStepAtLeast(std::max(yRange * minStepPixels / plotHeight, 1e-300));
    }
    L.yTicks = chartscale::TicksWithin(L.yLow, L.yHigh, L.yStep);
    double leftLabelWidth = 0;
    QStringList leftTexts;
    for (double v : L.yTicks) {
        leftTexts << left_.LabelText(v);
        leftLabelWidth = std::max(leftLabelWidth, leftFm.horizontalAdvance(leftTexts.back()));
    }

    double left = L.inner.left() + 8;
    if (left_.Visible()) {
        if (!left_.Title().isEmpty()) {
            L.leftTitle = QRectF(left, 0, leftTitleFm.height(), 0);
            left += leftTitleFm.height() + 6;
        }
        left += leftLabelWidth + TickLength + 3;
    }
    double right = L.inner.right() - 8;
    if (bottom_.Visible())
        right -= std::max(6.0, bottomFm.horizontalAdvance(bottom_.LabelText(std::floor(L.xHigh))) / 2);

    if (legendVisible_) {
        double widest = 0;
        int rows = 0;
        for (const TLineSeries* s : series_) {
            if (!s->Active())
                continue;
            ++rows;
            widest = std::max(widest, leftFm.horizontalAdvance(s->Title()));
        }
        if (rows > 0) {
            int w = static_cast<int>(std::ceil(widest)) + 34;
            int h = static_cast<int>(std::ceil(rows * leftFm.height())) + 8;
            int x = static_cast<int>(right) - w;
            L.legend = QRect(x, plotTop, w, h);
            right = x - 8;
        }
    }
    int plotLeft = static_cast<int>(std::lround(left));
    int plotRight = std::max(plotLeft + 1, static_cast<int>(std::lround(right)));
    L.plot = QRect(QPoint(plotLeft, plotTop), QPoint(plotRight, plotBottom));

    double plotWidth = plotRight - plotLeft;
    L.toX.scale = plotWidth / (L.xHigh - L.xLow);
    L.toX.offset = plotLeft - L.toX.scale * L.xLow;
    L.toY.scale = -plotHeight / (L.yHigh - L.yLow);
    L.toY.offset = plotBottom - L.toY.scale * L.yLow;

    // Left labels, centred on their ticks.
    for (int i = 0; i < L.yTicks.size(); ++i) {
        double y = L.toY(L.yTicks[i]);
        double w = leftFm.horizontalAdvance(leftTexts[i]);
        QRectF r(plotLeft - TickLength - 3 - w, y - labelHeight / 2, w, labelHeight);
        L.leftLabels.push_back(TAxisLabel{L.yTicks[i], leftTexts[i], r});
    }
    if (L.leftTitle.width() > 0)
        L.leftTitle = QRectF(L.leftTitle.left(), plotTop, L.leftTitle.width(), plotHeight);

    // Bottom labels: thinned so that none overlaps its neighbour.
    if (bottom_.Visible()) {
        double gap = bottomFm.horizontalAdvance(QStringLiteral("  "));
        auto width = [&](double v) { return bottomFm.horizontalAdvance(bottom_.LabelText(v)); };
        double increment = bottom_.Increment();
        if (increment > 0) {
            L.xStep = chartscale::LabelStep(L.xLow, L.xHigh, L.toX.scale, increment, gap, width);
        } else {
            double widest = std::max(width(L.xLow), width(L.xHigh)) + gap;
            L.xStep = chartscale::RoundStepAtLeast(std::max(widest / L.toX.scale, 1e-300));
        }
        QVector<double> ticks = chartscale::TicksWithin(L.xLow, L.xHigh, L.xStep);
        // Zoomed in between two whole steps: the ends of the range are
        // labelled instead, so the axis still says where the view is.
        bool ends = ticks.isEmpty();
        if (ends) {
            ticks = {L.xLow};
            if (width(L.xLow) / 2 + width(L.xHigh) / 2 + gap <= plotWidth)
                ticks.push_back(L.xHigh);
        }
        double labelTop = plotBottom + TickLength + 2;
        for (double v : ticks) {
            QString text = bottom_.LabelText(v);
            double w = bottomFm.horizontalAdvance(text);
            QRectF r(L.toX(v) - w / 2, labelTop, w, bottomFm.height());
            L.bottomLabels.push_back(TAxisLabel{v, text, r});
        }
        if (L.bottomTitle.height() > 0)
            L.bottomTitle = QRectF(plotLeft, L.bottomTitle.top(), plotWidth, L.bottomTitle.height());
    }
    return L;
}

// ---------------------------------------------------------------------------
// Chart

TChart::TChart(QWidget* parent)
    : QWidget(parent),
      left_(this, TChartAxis::Side::Left),
      bottom_(this, TChartAxis::Side::Bottom),
      right_(this, TChartAxis::Side::Right),
      top_(this, TChartAxis::Side::Top)
{
    titleFont_ = arial(13, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

TChart::~TChart()
{
    // Series are children; detach them first so they do not call back into
    // a chart that is half gone.
    for (TLineSeries* s : series_)
        s->chart_ = nullptr;
    auto list = series_;
    series_.clear();
    for (TLineSeries* s : list)
        delete s;
}

void TChart::dataChanged()
{
    rangesValid_ = false;
    looksChanged();
}

void TChart::looksChanged()
{
    bufferValid_ = false;
    update();
}

#define CHART_SETTER(Name, member)        \
    if (member == Name)                   \
        return;                           \
    member = Name;                        \
    looksChanged();

void TChart::SetTitleFont(const QFont& font) { CHART_SETTER(font, titleFont_) }
void TChart::SetTitleColor(const QColor& color) { CHART_SETTER(color, titleColor_) }
void TChart::SetLegendVisible(bool visible) { CHART_SETTER(visible, legendVisible_) }
void TChart::SetBackWallTransparent(bool transparent) { CHART_SETTER(transparent, backWallTransparent_) }
void TChart::SetBackWallColor(const QColor& color) { CHART_SETTER(color, backWallColor_) }
void TChart::SetGradientVisible(bool visible) { CHART_SETTER(visible, gradientVisible_) }
void TChart::SetGradientStartColor(const QColor& color) { CHART_SETTER(color, gradientStart_) }
void TChart::SetGradientEndColor(const QColor& color) { CHART_SETTER(color, gradientEnd_) }
void TChart::SetPanelColor(const QColor& color) { CHART_SETTER(color, panelColor_) }
void TChart::SetBevelInner(BevelStyle style) { CHART_SETTER(style, bevelInner_) }
void TChart::SetBevelOuter(BevelStyle style) { CHART_SETTER(style, bevelOuter_) }
void TChart::SetBorderLine(bool on) { CHART_SETTER(on, borderLine_) }

#undef CHART_SETTER

void TChart::SetTitle(const QString& title)
{
    if (title_ == title)
        return;
    title_ = title;
    // Screen readers announce the chart by its title.
    setAccessibleName(title);
    looksChanged();
}

void TChart::SetBevelWidth(int width)
{
    width = std::clamp(width, 0, 64);
    if (bevelWidth_ == width)
        return;
    bevelWidth_ = width;
    looksChanged();
}

void TChart::SetBorderWidth(int width)
{
    width = std::clamp(width, 0, 64);
    if (borderWidth_ == width)
        return;
    borderWidth_ = width;
    looksChanged();
}

void TChart::SetMinimumDragPixels(int pixels)
{
    minDrag_ = std::max(0, pixels);
}

TLineSeries* TChart::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        return nullptr;
    return series_[static_cast<size_t>(index)];
}

void TChart::AddSeries(TLineSeries* series)
{
    if (!series || series->chart_ == this)
        return;
    if (series->chart_)
        series->chart_->RemoveSeries(series);
    series->chart_ = this;
    series->setParent(this);
    series_.push_back(series);
    dataChanged();
}

void TChart::RemoveSeries(TLineSeries* series)
{
    auto it = std::find(series_.begin(), series_.end(), series);
    if (it == series_.end())
        return;
    series_.erase(it);
    series->chart_ = nullptr;
    series->setParent(nullptr);
    dataChanged();
}

void TChart::refreshRanges() const
{
    if (rangesValid_)
        return;
    bool anyX = false, anyY = false;
    autoMinX_ = autoMaxX_ = autoMinY_ = autoMaxY_ = 0;
    for (const TLineSeries* s : series_) {
        if (!s->Active() || s->Count() == 0)
            continue;
        autoMinX_ = anyX ? std::min(autoMinX_, s->MinX()) : s->MinX();
        autoMaxX_ = anyX ? std::max(autoMaxX_, s->MaxX()) : s->MaxX();
        anyX = true;
        if (s->HasExtent()) {
            autoMinY_ = anyY ? std::min(autoMinY_, s->MinY()) : s->MinY();
            autoMaxY_ = anyY ? std::max(autoMaxY_, s->MaxY()) : s->MaxY();
            anyY = true;
        }
    }
    rangesValid_ = true;
}

QRect TChart::PlotRect() const
{
    return layout(rect()).plot;
}

QRect TChart::PlotRect(const QRect& r) const
{
    return layout(r).plot;
}

double TChart::XPixel(double x) const
{
    return layout(rect()).toX(x);
}

double TChart::YPixel(double y) const
{
    return layout(rect()).toY(y);
}

double TChart::XValueAt(double pixel) const
{
    Layout L = layout(rect());
    return (pixel - L.toX.offset) / L.toX.scale;
}

double TChart::YValueAt(double pixel) const
{
    Layout L = layout(rect());
    return (pixel - L.toY.offset) / L.toY.scale;
}

double TChartAxis::LabelStep() const
{
    if (!visible_ && Horizontal())
        return 0;
    TChart::Layout L = chart_->layout(chart_->rect());
    if (side_ == Side::Bottom)
        return L.xStep;
    if (side_ == Side::Left)
        return L.yStep;
    return 0;
}

QList<TAxisLabel> TChartAxis::Labels() const
{
    TChart::Layout L = chart_->layout(chart_->rect());
    if (side_ == Side::Bottom)
        return L.bottomLabels;
    if (side_ == Side::Left && visible_)
        return L.leftLabels;
    return {};
}

void TChart::ZoomRect(const QRect& pixels)
{
    Layout L = layout(rect());
    QRect r = pixels.normalized();
    auto xAt = [&](double p) { return (p - L.toX.offset) / L.toX.scale; };
    auto yAt = [&](double p) { return (p - L.toY.offset) / L.toY.scale; };
    double x0 = xAt(r.left()), x1 = xAt(r.left() + r.width());
    double y0 = yAt(r.top() + r.height()), y1 = yAt(r.top());
    if (!(x1 > x0) || !(y1 > y0))
        return;
    bottom_.SetMinMax(x0, x1);
    left_.SetMinMax(y0, y1);
    emit Zoomed();
}

void TChart::UndoZoom()
{
    bool was = IsZoomed();
    bottom_.SetAutomatic(true);
    left_.SetAutomatic(true);
    if (was)
        emit UndoneZoom();
}

void TChart::Scroll(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    Layout L = layout(rect());
    double shiftX = -dx / L.toX.scale;
    double shiftY = -dy / L.toY.scale;
    bottom_.SetMinMax(L.xLow + shiftX, L.xHigh + shiftX);
    left_.SetMinMax(L.yLow + shiftY, L.yHigh + shiftY);
    emit Scrolled();
}

QRect TChart::RubberBand() const
{
    if (drag_ != Drag::Zoom)
        return {};
    return QRect(dragStart_, dragLast_).normalized();
}

QSize TChart::sizeHint() const
{
    return QSize(400, 250);
}

QSize TChart::minimumSizeHint() const
{
    return QSize(120, 80);
}

void TChart::Draw(QPainter& p, const QRect& rect) const
{
    Layout L = layout(rect);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    // Frame, outside in.
    QRect r = rect;
    p.fillRect(r, panelColor_);
    if (borderLine_) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (bevelOuter_ != BevelStyle::None) {
        drawBevel(p, r, bevelWidth_, bevelOuter_ == BevelStyle::Raised);
        r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    }
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    if (bevelInner_ != BevelStyle::None) {
        drawBevel(p, r, bevelWidth_, bevelInner_ == BevelStyle::Raised);
        r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    }
    if (gradientVisible_) {
        QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.bottom() + 1));
        g.setColorAt(0, gradientStart_);
        g.setColorAt(1, gradientEnd_);
        p.fillRect(r, g);
    }

    if (!title_.isEmpty()) {
        p.setFont(titleFont_);
        p.setPen(titleColor_);
        p.drawText(L.title, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, title_);
    }

    if (!backWallTransparent_)
        p.fillRect(L.plot, backWallColor_);

    // Grid lines behind the series.
    QPen gridPen(GridColor, 1, Qt::DotLine);
    p.setPen(gridPen);
    if (left_.Visible() && left_.GridVisible()) {
        for (const TAxisLabel& l : L.leftLabels) {
            int y = static_cast<int>(std::lround(L.toY(l.Value)));
            if (y > L.plot.top() && y < L.plot.bottom())
                p.drawLine(L.plot.left() + 1, y, L.plot.right(), y);
        }
    }
    if (bottom_.Visible() && bottom_.GridVisible()) {
        for (const TAxisLabel& l : L.bottomLabels) {
            int x = static_cast<int>(std::lround(L.toX(l.Value)));
            if (x > L.plot.left() && x < L.plot.right())
                p.drawLine(x, L.plot.top(), x, L.plot.bottom() - 1);
        }
    }

    // Series, clipped to the plot; only the points in view, reduced to what
    // the pixel columns can show.
    p.save();
    p.setClipRect(L.plot.adjusted(0, 0, 1, 1));
    QVector<QPointF> line;
    for (const TLineSeries* s : series_) {
        if (!s->Active() || s->Count() == 0)
            continue;
        chartscale::IndexRange range = chartscale::VisibleRange(s->XData(), s->Count(), L.xLow, L.xHigh);
        if (range.first > range.last)
            continue;
        chartscale::BuildPolyline(s->XData(), s->YData(), range.first, range.last, L.toX, L.toY, line);
        QPen pen(s->SeriesColor(), s->LinePenWidth(), Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (line.size() == 1)
            p.drawPoint(line.front());
        else
            p.drawPolyline(line.constData(), static_cast<int>(line.size()));
        int shown = range.last - range.first + 1;
        bool sparse = shown <= L.plot.width() / 3;
        if (sparse && (s->PointerVisible() || s->MarksVisible())) {
            p.setFont(left_.LabelsFont());
            QFontMetricsF fm(left_.LabelsFont());
            for (int i = range.first; i <= range.last; ++i) {
                double y = s->YValue(i);
                if (!std::isfinite(y))
                    continue;
                QPointF pt(L.toX(s->XValue(i)), L.toY(y));
                if (s->PointerVisible()) {
                    p.setPen(Qt::black);
                    p.setBrush(s->ValueColor(i));
                    p.drawRect(QRectF(pt.x() - 3, pt.y() - 3, 6, 6));
                }
                if (s->MarksVisible()) {
                    QString text = s->Label(i).isEmpty() ? left_.LabelText(y) : s->Label(i);
                    double w = fm.horizontalAdvance(text);
                    p.setPen(Qt::black);
                    p.drawText(QRectF(pt.x() - w / 2, pt.y() - 6 - fm.height(), w, fm.height()), Qt::AlignCenter, text);
                }
            }
        }
    }
    p.restore();

    // Axes.
    p.setPen(QPen(Qt::black, 1));
    if (left_.Visible()) {
        p.drawLine(L.plot.left(), L.plot.top(), L.plot.left(), L.plot.bottom());
        p.setFont(left_.LabelsFont());
        for (const TAxisLabel& l : L.leftLabels) {
            int y = static_cast<int>(std::lround(L.toY(l.Value)));
            p.setPen(Qt::black);
            p.drawLine(L.plot.left() - TickLength, y, L.plot.left(), y);
            p.setPen(left_.LabelsColor());
            p.drawText(l.Rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, l.Text);
        }
        if (!left_.Title().isEmpty() && L.leftTitle.width() > 0) {
            p.save();
            p.setFont(left_.TitleFont());
            p.setPen(left_.TitleColor());
            QPointF centre = L.leftTitle.center();
            p.translate(centre);
            p.rotate(-90);
            QRectF box(-L.leftTitle.height() / 2, -L.leftTitle.width() / 2, L.leftTitle.height(), L.leftTitle.width());
            p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, left_.Title());
            p.restore();
        }
    }
    if (bottom_.Visible()) {
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(L.plot.left(), L.plot.bottom(), L.plot.right(), L.plot.bottom());
        p.setFont(bottom_.LabelsFont());
        for (const TAxisLabel& l : L.bottomLabels) {
            int x = static_cast<int>(std::lround(L.toX(l.Value)));
            p.setPen(Qt::black);
            p.drawLine(x, L.plot.bottom(), x, L.plot.bottom() + TickLength);
            p.setPen(bottom_.LabelsColor());
            p.drawText(l.Rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, l.Text);
        }
        if (!bottom_.Title().isEmpty() && L.bottomTitle.height() > 0) {
            p.setFont(bottom_.TitleFont());
            p.setPen(bottom_.TitleColor());
            p.drawText(L.bottomTitle, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, bottom_.Title());
        }
    }
    // The far axes carry no labels of their own: a line and the ticks of
    // their near counterpart.
    p.setPen(QPen(Qt::black, 1));
    if (right_.Visible()) {
        p.drawLine(L.plot.right(), L.plot.top(), L.plot.right(), L.plot.bottom());
        for (const TAxisLabel& l : L.leftLabels) {
            int y = static_cast<int>(std::lround(L.toY(l.Value)));
            p.drawLine(L.plot.right(), y, L.plot.right() + TickLength, y);
        }
    }
    if (top_.Visible()) {
        p.drawLine(L.plot.left(), L.plot.top(), L.plot.right(), L.plot.top());
        for (const TAxisLabel& l : L.bottomLabels) {
            int x = static_cast<int>(std::lround(L.toX(l.Value)));
            p.drawLine(x, L.plot.top() - TickLength, x, L.plot.top());
        }
    }

    if (!L.legend.isEmpty()) {
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(L.legend);
        p.setFont(left_.LabelsFont());
        QFontMetricsF fm(left_.LabelsFont());
        double y = L.legend.top() + 4;
        for (const TLineSeries* s : series_) {
            if (!s->Active())
                continue;
            double mid = y + fm.height() / 2;
            p.setPen(QPen(s->SeriesColor(), s->LinePenWidth()));
            p.drawLine(QPointF(L.legend.left() + 4, mid), QPointF(L.legend.left() + 24, mid));
            p.setPen(Qt::black);
            p.drawText(QRectF(L.legend.left() + 30, y, L.legend.width() - 32, fm.height()),
                Qt::AlignLeft | Qt::AlignVCenter, s->Title());
            y += fm.height();
        }
    }
    p.restore();
}

QImage TChart::ToImage() const
{
    // Drawn afresh: the screen buffer may be stale or sized for another
    // pixel ratio, and the copy must show the chart as it is now.
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p, QRect(QPoint(0, 0), size()));
    return image;
}

void TChart::paintEvent(QPaintEvent*)
{
    Application::Guard([&] { paintScreen(); });
}

void TChart::paintScreen()
{
    qreal ratio = devicePixelRatioF();
    QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!bufferValid_ || buffer_.size() != pixels) {
        buffer_ = QPixmap(pixels);
        buffer_.setDevicePixelRatio(ratio);
        QPainter bp(&buffer_);
        Draw(bp, rect());
        bufferValid_ = true;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, buffer_);
    QRect band = RubberBand();
    if (!band.isEmpty()) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(band);
    }
}

void TChart::resizeEvent(QResizeEvent* e)
{
    bufferValid_ = false;
    QWidget::resizeEvent(e);
}

void TChart::mousePressEvent(QMouseEvent* e)
{
    Application::Guard([&] { mousePress(e); });
}

void TChart::mouseMoveEvent(QMouseEvent* e)
{
    Application::Guard([&] { mouseMove(e); });
}

void TChart::mouseReleaseEvent(QMouseEvent* e)
{
    Application::Guard([&] { mouseRelease(e); });
}

void TChart::mousePress(QMouseEvent* e)
{
    if (drag_ != Drag::None)
        return;
    if (e->button() == Qt::LeftButton)
        drag_ = Drag::Zoom;
    else if (e->button() == Qt::RightButton)
        drag_ = Drag::Scroll;
    else
        return;
    dragStart_ = dragLast_ = e->position().toPoint();
    e->accept();
}

void TChart::mouseMove(QMouseEvent* e)
{
    QPoint pos = e->position().toPoint();
    if (drag_ == Drag::Zoom) {
        // Only the band's old and new outlines need painting again.
        QRect old = RubberBand();
        dragLast_ = pos;
        update(old.adjusted(-2, -2, 2, 2));
        update(RubberBand().adjusted(-2, -2, 2, 2));
    } else if (drag_ == Drag::Scroll) {
        QPoint delta = pos - dragLast_;
        dragLast_ = pos;
        Scroll(delta.x(), delta.y());
    }
}

void TChart::mouseRelease(QMouseEvent* e)
{
    if (drag_ == Drag::Zoom && e->button() == Qt::LeftButton) {
        QPoint end = e->position().toPoint();
        QRect old = RubberBand();
        drag_ = Drag::None;
        update(old.adjusted(-2, -2, 2, 2));
        int dx = end.x() - dragStart_.x();
        int dy = end.y() - dragStart_.y();
        if (std::abs(dx) > minDrag_ && std::abs(dy) > minDrag_) {
            if (dx > 0 && dy > 0)
                ZoomRect(QRect(dragStart_, QSize(dx, dy)));
            else
                UndoZoom();
        }
    } else if (drag_ == Drag::Scroll && e->button() == Qt::RightButton) {
        QPoint delta = e->position().toPoint() - dragLast_;
        Scroll(delta.x(), delta.y());
        drag_ = Drag::None;
    }
}

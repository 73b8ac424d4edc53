#include "chart/chart.h"

#include "chart/axis_scale.h"
#include "platform/application.h"
#include "platform/formats.h"
#include "widgets/fonts.h"
#include "widgets/set_if_changed.h"

#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Axis

TChartAxis::TChartAxis(TChart* chart, Side side) : chart_(chart), side_(side)
{
    look_.titleFont = ArialPixels(11);
    look_.labelsFont = ArialPixels(11);
}

std::function<void()> TChartAxis::redraw()
{
    return [this] { chart_->looksChanged(); };
}

void TChartAxis::SetVisible(bool visible) { SetIfChanged(look_.visible, visible, redraw()); }
void TChartAxis::SetTitle(const QString& title) { SetIfChanged(look_.title, title, redraw()); }
void TChartAxis::SetTitleFont(const QFont& font) { SetIfChanged(look_.titleFont, font, redraw()); }
void TChartAxis::SetTitleColor(const QColor& color) { SetIfChanged(look_.titleColor, color, redraw()); }
void TChartAxis::SetLabelsFont(const QFont& font) { SetIfChanged(look_.labelsFont, font, redraw()); }
void TChartAxis::SetLabelsColor(const QColor& color) { SetIfChanged(look_.labelsColor, color, redraw()); }
void TChartAxis::SetValuesFormat(const QString& pattern) { SetIfChanged(valuesFormat_, pattern, redraw()); }
void TChartAxis::SetGridVisible(bool visible) { SetIfChanged(look_.gridVisible, visible, redraw()); }
void TChartAxis::SetAutomatic(bool automatic) { SetIfChanged(automatic_, automatic, redraw()); }

void TChartAxis::SetIncrement(double increment)
{
    if (!(increment >= 0) || !std::isfinite(increment))
        increment = 0;
    SetIfChanged(increment_, increment, redraw());
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
    chart_->looksChanged();
}

QString TChartAxis::LabelText(double value) const
{
    if (valuesFormat_.isEmpty())
        return FloatToStr(value);
    return FormatFloat(valuesFormat_, value);
}

chartdraw::NumberLabels TChartAxis::numberLabels() const
{
    return {increment_, [this](double v) { return LabelText(v); }};
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
    titleFont_ = ArialPixels(13);
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

std::function<void()> TChart::redraw()
{
    return [this] { looksChanged(); };
}

void TChart::SetTitle(const QString& title)
{
    // Screen readers announce the chart by its title.
    if (SetIfChanged(title_, title, redraw()))
        setAccessibleName(title);
}

void TChart::SetTitleFont(const QFont& font) { SetIfChanged(titleFont_, font, redraw()); }
void TChart::SetTitleColor(const QColor& color) { SetIfChanged(titleColor_, color, redraw()); }
void TChart::SetLegendVisible(bool visible) { SetIfChanged(legendVisible_, visible, redraw()); }
void TChart::SetBackWallTransparent(bool transparent) { SetIfChanged(backWallTransparent_, transparent, redraw()); }
void TChart::SetBackWallColor(const QColor& color) { SetIfChanged(backWallColor_, color, redraw()); }
void TChart::SetGradientVisible(bool visible) { SetIfChanged(frame_.gradientVisible, visible, redraw()); }
void TChart::SetGradientStartColor(const QColor& color) { SetIfChanged(frame_.gradientStart, color, redraw()); }
void TChart::SetGradientEndColor(const QColor& color) { SetIfChanged(frame_.gradientEnd, color, redraw()); }
void TChart::SetPanelColor(const QColor& color) { SetIfChanged(frame_.panelColor, color, redraw()); }
void TChart::SetBorderLine(bool on) { SetIfChanged(frame_.borderLine, on, redraw()); }

static_assert(static_cast<int>(TChart::BevelStyle::Raised) == static_cast<int>(chartdraw::Bevel::Raised)
              && static_cast<int>(TChart::BevelStyle::Lowered) == static_cast<int>(chartdraw::Bevel::Lowered));

void TChart::SetBevelInner(BevelStyle style)
{
    SetIfChanged(frame_.bevelInner, static_cast<chartdraw::Bevel>(style), redraw());
}

void TChart::SetBevelOuter(BevelStyle style)
{
    SetIfChanged(frame_.bevelOuter, static_cast<chartdraw::Bevel>(style), redraw());
}

void TChart::SetBevelWidth(int width) { SetIfChanged(frame_.bevelWidth, std::clamp(width, 0, 64), redraw()); }
void TChart::SetBorderWidth(int width) { SetIfChanged(frame_.borderWidth, std::clamp(width, 0, 64), redraw()); }

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
    if (!look_.visible && Horizontal())
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
    if (side_ == Side::Left && look_.visible)
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

chartdraw::ChartLook TChart::look() const
{
    chartdraw::ChartLook look;
    look.frame = frame_;
    look.title = title_;
    look.titleFont = titleFont_;
    look.titleColor = titleColor_;
    look.left = left_.look_;
    look.bottom = bottom_.look_;
    look.rightVisible = right_.Visible();
    look.topVisible = top_.Visible();
    look.backWallTransparent = backWallTransparent_;
    look.backWallColor = backWallColor_;
    if (legendVisible_) {
        for (const TLineSeries* s : series_)
            if (s->Active())
                look.legend.push_back({s->Title(), s->SeriesColor(), s->LinePenWidth()});
    }
    return look;
}

TChart::Layout TChart::layout(const QRect& rect) const
{
    return layout(rect, look());
}

TChart::Layout TChart::layout(const QRect& rect, const chartdraw::ChartLook& look) const
{
    return chartdraw::LayOut(rect, look, bottom_.Minimum(), bottom_.Maximum(), left_.Minimum(), left_.Maximum(),
        left_.numberLabels(), chartdraw::NumberBottomLabels(bottom_.numberLabels()));
}

void TChart::Draw(QPainter& p, const QRect& rect) const
{
    chartdraw::ChartLook look = this->look();
    Layout L = layout(rect, look);
    chartdraw::DrawChart(p, L, look, [&](QPainter& painter) { drawSeries(painter, L); });
}

// Only the points in view, reduced to what the pixel columns can show.
void TChart::drawSeries(QPainter& p, const Layout& L) const
{
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
        if (sparse && (s->PointerVisible() || s->MarksVisible()))
            drawPointMarks(p, L, *s, range);
    }
}

// The square on each point and the value above it, where points are sparse
// enough to tell apart.
void TChart::drawPointMarks(QPainter& p, const Layout& L, const TLineSeries& s, chartscale::IndexRange range) const
{
    p.setFont(left_.LabelsFont());
    QFontMetricsF fm(left_.LabelsFont());
    for (int i = range.first; i <= range.last; ++i) {
        double y = s.YValue(i);
        if (!std::isfinite(y))
            continue;
        QPointF pt(L.toX(s.XValue(i)), L.toY(y));
        if (s.PointerVisible()) {
            p.setPen(Qt::black);
            p.setBrush(s.ValueColor(i));
            p.drawRect(QRectF(pt.x() - 3, pt.y() - 3, 6, 6));
        }
        if (s.MarksVisible()) {
            QString text = s.Label(i).isEmpty() ? left_.LabelText(y) : s.Label(i);
            double w = fm.horizontalAdvance(text);
            p.setPen(Qt::black);
            p.drawText(QRectF(pt.x() - w / 2, pt.y() - 6 - fm.height(), w, fm.height()), Qt::AlignCenter, text);
        }
    }
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

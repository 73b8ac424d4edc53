#include "chart/line_series.h"

#include "chart/chart.h"
#include "widgets/set_if_changed.h"

#include <algorithm>
#include <cmath>

TLineSeries::TLineSeries(TChart* chart) : QObject(nullptr), chart_(nullptr)
{
    if (chart)
        chart->AddSeries(this);
}

TLineSeries::~TLineSeries()
{
    if (chart_)
        chart_->RemoveSeries(this);
}

void TLineSeries::changed()
{
    if (chart_)
        chart_->dataChanged();
}

std::function<void()> TLineSeries::redraw()
{
    return [this] {
        if (chart_)
            chart_->looksChanged();
    };
}

void TLineSeries::SetSeriesColor(const QColor& color) { SetIfChanged(color_, color, redraw()); }
void TLineSeries::SetLinePenWidth(int width) { SetIfChanged(penWidth_, std::max(0, width), redraw()); }
void TLineSeries::SetPointerVisible(bool visible) { SetIfChanged(pointerVisible_, visible, redraw()); }
void TLineSeries::SetMarksVisible(bool visible) { SetIfChanged(marksVisible_, visible, redraw()); }
void TLineSeries::SetTitle(const QString& title) { SetIfChanged(title_, title, redraw()); }

// Automatic ranges count active series only.
void TLineSeries::SetActive(bool active) { SetIfChanged(active_, active, [this] { changed(); }); }

void TLineSeries::Clear()
{
    if (xs_.empty())
        return;
    xs_.clear();
    ys_.clear();
    labels_.clear();
    colors_.clear();
    minX_ = maxX_ = minY_ = maxY_ = 0;
    hasY_ = false;
    changed();
}

int TLineSeries::AddY(double value, const QString& label, const QColor& color)
{
    double x = static_cast<double>(xs_.size());
    if (xs_.empty())
        minX_ = x;
    maxX_ = x;
    // A value that is not a number has no place on an axis; it is kept as a
    // point but neither drawn nor counted in the extent.
    if (std::isfinite(value)) {
        if (!hasY_) {
            minY_ = maxY_ = value;
            hasY_ = true;
        } else {
            minY_ = std::min(minY_, value);
            maxY_ = std::max(maxY_, value);
        }
    }
    int index = static_cast<int>(xs_.size());
    xs_.push_back(x);
    ys_.push_back(value);
    if (!label.isEmpty())
        labels_.emplace_back(index, label);
    if (color.isValid() && color != color_)
        colors_.emplace_back(index, color);
    changed();
    return index;
}

namespace {
template <typename T>
const T* findAt(const std::vector<std::pair<int, T>>& v, int index)
{
    auto it = std::lower_bound(v.begin(), v.end(), index, [](const auto& e, int i) { return e.first < i; });
    return it != v.end() && it->first == index ? &it->second : nullptr;
}
}  // namespace

QString TLineSeries::Label(int index) const
{
    const QString* s = findAt(labels_, index);
    return s ? *s : QString();
}

QColor TLineSeries::ValueColor(int index) const
{
    const QColor* c = findAt(colors_, index);
    return c ? *c : color_;
}

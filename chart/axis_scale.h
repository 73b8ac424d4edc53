#pragma once
// The arithmetic behind the chart's axes and lines, kept apart from the
// widget so it can be checked with plain numbers: round tick steps, the
// thinning of labels so they never overlap, and the reduction of a long
// line to what a pixel grid can show.
#include <QPointF>
#include <QVector>

#include <functional>

namespace chartscale {

// The smallest step of the form 1, 2 or 5 times a power of ten that is at
// least `minimum` (which must be positive and finite).
double RoundStepAtLeast(double minimum);

// The tick values k * step (k whole) that lie within [low, high], low to
// high. Values are snapped to the step so that 0.1 * 3 reads as 0.3.
QVector<double> TicksWithin(double low, double high, double step);

// The step for the labels of an axis whose labels may only stand on whole
// multiples of `increment`: the first of increment × 1, 2, 5, 10, 20, 50 ...
// at which every two neighbouring labels in [low, high] are at least their
// own width plus `gap` pixels apart. `labelWidth` gives the drawn width of
// the label of a value; `pixelsPerUnit` is the axis length in pixels over
// its range. With no room at all the result still grows until one label
// fits, so it never loops for ever.
double LabelStep(double low, double high, double pixelsPerUnit, double increment, double gap,
    const std::function<double(double)>& labelWidth);

// A linear map from values to pixels: pixel = offset + scale * value.
struct LinearMap {
    double scale = 1;
    double offset = 0;
    double operator()(double v) const { return offset + scale * v; }
};

// Turns the points with index in [first, last] of a line into the polyline
// to draw. Where several points fall into one pixel column only the lowest
// and the highest of them are kept, in their order, so the drawn line looks
// the same while at most two points per column remain. Values that are not
// numbers are left out. `xs` must be ascending.
void BuildPolyline(const double* xs, const double* ys, int first, int last, const LinearMap& toX,
    const LinearMap& toY, QVector<QPointF>& out);

// Index range [first, last] of the points of an ascending `xs` worth drawing
// for the visible [low, high]: the visible ones plus one neighbour on each
// side, so lines run on to the plot's edges. first > last when none is.
struct IndexRange {
    int first = 0;
    int last = -1;
};
IndexRange VisibleRange(const double* xs, int count, double low, double high);

}  // namespace chartscale

#include "chart/axis_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chartscale {

double RoundStepAtLeast(double minimum)
{
    if (!(minimum > 0) || !std::isfinite(minimum))
        return 1;
    double power = std::pow(10.0, std::floor(std::log10(minimum)));
    // log10 may land a hair below a power of ten; the loop corrects either way.
    for (int guard = 0; guard < 4; ++guard) {
        for (double m : {1.0, 2.0, 5.0}) {
            // A relative tolerance keeps 0.3 from becoming 0.5 because
            // 3 * 0.1 is 0.30000000000000004.
            if (m * power >= minimum * (1 - 1e-12))
                return m * power;
        }
        power *= 10;
    }
    return 10 * power;
}

QVector<double> TicksWithin(double low, double high, double step)
{
    QVector<double> ticks;
    if (!(step > 0) || !std::isfinite(low) || !std::isfinite(high) || high < low)
        return ticks;
    double first = std::ceil(low / step - 1e-9);
    double last = std::floor(high / step + 1e-9);
    // A step far too small for the range would give millions of ticks.
    if (last - first > 10000)
        return ticks;
    // Snap to the step's own precision so labels read 0,3 and not 0,30000000000000004.
    double digits = std::max(0.0, -std::floor(std::log10(step)) + 1);
    double scale = std::pow(10.0, digits);
    for (double k = first; k <= last; ++k) {
        double v = k * step;
        if (scale < 1e15)
            v = std::round(v * scale) / scale;
        if (v == 0)
            v = 0;  // no "-0"
        ticks.push_back(v);
    }
    return ticks;
}

double LabelStep(double low, double high, double pixelsPerUnit, double increment, double gap,
    const std::function<double(double)>& labelWidth)
{
    if (!(increment > 0) || !std::isfinite(increment))
        increment = 1;
    if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit) || !(high >= low))
        return increment;
    gap = std::max(gap, 1.0);
    static constexpr double multipliers[] = {1, 2, 5};
    for (double power = 1; power < 1e15; power *= 10) {
        for (double m : multipliers) {
            double step = increment * m * power;
            // Too close for even the gap: no need to measure any label.
            if (step * pixelsPerUnit < gap && step * pixelsPerUnit * 2 < (high - low) * pixelsPerUnit)
                continue;
            QVector<double> ticks = TicksWithin(low, high, step);
            // Digits of one font are equally wide, so the widest labels are
            // those at the ends of the range; the neighbours of a label are
            // its own width apart only when the wider of the two fits.
            double widest = 0;
            if (ticks.size() <= 64) {
                for (double v : ticks)
                    widest = std::max(widest, labelWidth(v));
            } else {
                for (double v : {ticks.front(), ticks[1], ticks[ticks.size() - 2], ticks.back()})
                    widest = std::max(widest, labelWidth(v));
            }
            if (ticks.size() <= 1 || step * pixelsPerUnit >= widest + gap)
                return step;
        }
    }
    return increment * 1e15;
}

void BuildPolyline(const double* xs, const double* ys, int first, int last, const LinearMap& toX,
    const LinearMap& toY, QVector<QPointF>& out)
{
    out.clear();
    if (first > last)
        return;
    out.reserve(std::min(last - first + 1, 4 * 4096));
    int i = first;
    while (i <= last) {
        double px = toX(xs[i]);
        double column = std::floor(px);
        // Gather the run of points that share this pixel column.
        int j = i;
        int lowAt = i, highAt = i;
        while (j + 1 <= last && std::floor(toX(xs[j + 1])) == column) {
            ++j;
            if (ys[j] < ys[lowAt])
                lowAt = j;
            if (ys[j] > ys[highAt])
                highAt = j;
        }
        if (!std::isfinite(ys[i]) || !std::isfinite(ys[j]) || !std::isfinite(ys[lowAt]) || !std::isfinite(ys[highAt])) {
            // Values that are not numbers are left out of the line.
            for (int k = i; k <= j; ++k)
                if (std::isfinite(ys[k]))
                    out.push_back(QPointF(toX(xs[k]), toY(ys[k])));
        } else if (j == i) {
            out.push_back(QPointF(px, toY(ys[i])));
        } else {
            // A pixel column can show no more of the run than its vertical
            // extent: its lowest and highest point, in their order.
            int a = std::min(lowAt, highAt), b = std::max(lowAt, highAt);
            out.push_back(QPointF(toX(xs[a]), toY(ys[a])));
            if (b != a)
                out.push_back(QPointF(toX(xs[b]), toY(ys[b])));
        }
        i = j + 1;
    }
}

IndexRange VisibleRange(const double* xs, int count, double low, double high)
{
    IndexRange r;
    if (count <= 0 || high < low)
        return r;
    int lo = static_cast<int>(std::lower_bound(xs, xs + count, low) - xs);
    int hi = static_cast<int>(std::upper_bound(xs, xs + count, high) - xs) - 1;
    r.first = std::max(0, lo - 1);
    r.last = std::min(count - 1, hi + 1);
    if (lo > hi) {
        // Nothing inside: keep the pair that spans the window, if any.
        if (lo == 0 || lo == count) {
            r.first = 0;
            r.last = -1;
        }
    }
    return r;
}

}  // namespace chartscale

#include "chart/time_plot.h"

#include "data/series_merge.h"
#include "platform/formats.h"
#include "widgets/fonts.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace {

constexpr qint64 Minute = 60;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;
// 05/01/1970, the first Monday of the calendar the times count from.
constexpr qint64 FirstMonday = 4 * Day;

constexpr int MinimumSide = 64;
constexpr int MaximumSide = 10000;

// The chart window's colours for channels 1 to 8.
const QColor ChannelColors[8] = {
    QColor(255, 0, 0),
    QColor(0, 0, 255),
    QColor(0, 128, 0),
    QColor(255, 255, 0),
    QColor(255, 255, 255),
    QColor(128, 128, 128),
    QColor(255, 0, 255),
    QColor(128, 255, 255),
};
constexpr int LineWidth = 2;

QDateTime wallClock(qint64 t)
{
    return QDateTime::fromSecsSinceEpoch(t, Qt::UTC);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// A distance between ticks: a number of seconds from an origin, or of
// calendar months (months start their ticks, a month being no fixed length).
struct TimeStep {
    qint64 seconds = 0;
    int months = 0;
    qint64 origin = 0;

    bool WithinADay() const { return months == 0 && seconds < Day; }
    // The shortest the step can be, for skipping steps too fine to label.
    qint64 Shortest() const { return months > 0 ? months * 28 * Day : seconds; }
};

// Round steps, finest first: seconds, minutes and hours that divide the next
// unit, days, weeks from Monday, months from January, years.
const std::vector<TimeStep>& steps()
{
    static const std::vector<TimeStep> all = [] {
        std::vector<TimeStep> s;
        for (qint64 n : {1, 2, 5, 10, 15, 30})
            s.push_back({n, 0, 0});
        for (qint64 n : {1, 2, 5, 10, 15, 30})
            s.push_back({n * Minute, 0, 0});
        for (qint64 n : {1, 2, 3, 6, 12})
            s.push_back({n * Hour, 0, 0});
        for (qint64 n : {1, 2})
            s.push_back({n * Day, 0, 0});
        for (qint64 n : {7, 14})
            s.push_back({n * Day, 0, FirstMonday});
        for (int n : {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200})
            s.push_back({0, n, 0});
        return s;
    }();
    return all;
}

std::vector<qint64> ticksWithin(qint64 low, qint64 high, const TimeStep& step)
{
    std::vector<qint64> ticks;
    if (step.months == 0) {
        for (qint64 t = (floorDiv(low - step.origin - 1, step.seconds) + 1) * step.seconds + step.origin; t <= high;
             t += step.seconds)
            ticks.push_back(t);
        return ticks;
    }
    QDate start = wallClock(low).date();
    int index = start.year() * 12 + start.month() - 1;
    index = static_cast<int>(floorDiv(index + step.months - 1, step.months) * step.months);
    for (;; index += step.months) {
        qint64 t = TimeSamples::Seconds(QDate(index / 12, index % 12 + 1, 1), QTime(0, 0));
        if (t > high)
            break;
        if (t >= low)
            ticks.push_back(t);
    }
    return ticks;
}

QString dateText(const QDate& d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

// Real time along the bottom axis, labelled as the saved files write dates
// and times: "hh:mm:ss" for ticks within a day, with "DD/MM/YYYY" under the
// first and wherever the date changes; the date alone for coarser ticks.
class TimeLabels : public chartdraw::BottomLabels {
public:
    int Lines() const override { return 2; }

    double RightOverhang(const chartdraw::Layout&, const QFontMetricsF& fm) const override
    {
        return std::max(6.0, fm.horizontalAdvance(QStringLiteral("00/00/0000")) / 2);
    }

    QList<TAxisLabel> Place(chartdraw::Layout& L, const QFontMetricsF& fm) const override
    {
        double gap = fm.horizontalAdvance(QStringLiteral("  "));
        double timeWidth = fm.horizontalAdvance(QStringLiteral("00:00:00"));
        double dateWidth = fm.horizontalAdvance(QStringLiteral("00/00/0000"));
        auto low = static_cast<qint64>(std::ceil(L.xLow));
        auto high = static_cast<qint64>(std::floor(L.xHigh));
        for (const TimeStep& step : steps()) {
            double narrowest = step.WithinADay() ? timeWidth : dateWidth;
            if (step.Shortest() * L.toX.scale < narrowest + gap)
                continue;
            std::vector<qint64> ticks = ticksWithin(low, high, step);
            if (ticks.empty())
                continue;
            QList<TAxisLabel> labels = label(L, fm, ticks, step);
            if (apart(labels, gap)) {
                L.xStep = static_cast<double>(step.months > 0 ? step.months * 30 * Day : step.seconds);
                return labels;
            }
        }
        return {};
    }

private:
    static QList<TAxisLabel> label(const chartdraw::Layout& L, const QFontMetricsF& fm,
        const std::vector<qint64>& ticks, const TimeStep& step)
    {
        QList<TAxisLabel> labels;
        double top = L.plot.bottom() + chartdraw::TickLength + 2;
        QDate previous;
        for (qint64 t : ticks) {
            QDateTime at = wallClock(t);
            QString text;
            double width;
            if (step.WithinADay()) {
                text = at.time().toString(QStringLiteral("hh:mm:ss"));
                width = fm.horizontalAdvance(text);
                if (at.date() != previous) {
                    QString date = dateText(at.date());
                    width = std::max(width, fm.horizontalAdvance(date));
                    text += QLatin1Char('\n') + date;
                }
            } else {
                text = dateText(at.date());
                width = fm.horizontalAdvance(text);
            }
            previous = at.date();
            int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
            double x = L.toX(static_cast<double>(t));
            labels.push_back(TAxisLabel{static_cast<double>(t), text, QRectF(x - width / 2, top, width, lines * fm.height())});
        }
        return labels;
    }

    static bool apart(const QList<TAxisLabel>& labels, double gap)
    {
        for (int i = 1; i < labels.size(); ++i)
            if (labels[i].Rect.left() - labels[i - 1].Rect.right() < gap)
                return false;
        return true;
    }
};

// The step that occurs most often between consecutive samples: the sampling
// interval of a single download, and of most merged ones.
qint64 commonStep(const std::vector<qint64>& times)
{
    // Steps come in long runs of one value, so the run is counted before the
    // table is consulted.
    std::unordered_map<qint64, size_t> counts;
    qint64 runStep = 0;
    size_t runLength = 0;
    auto endRun = [&] {
        if (runStep > 0)
            counts[runStep] += runLength;
    };
    for (size_t i = 1; i < times.size(); ++i) {
        qint64 step = times[i] - times[i - 1];
        if (step == runStep) {
            ++runLength;
            continue;
        }
        endRun();
        runStep = step;
        runLength = 1;
    }
    endRun();
    qint64 best = 0;
    size_t most = 0;
    for (const auto& [step, count] : counts) {
        if (count > most || (count == most && step < best)) {
            best = step;
            most = count;
        }
    }
    return best;
}

TimeSamples sortedByTime(const TimeSamples& s)
{
    std::vector<size_t> order(s.times.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return s.times[a] < s.times[b]; });
    TimeSamples out;
    out.interval = s.interval;
    for (size_t i : order)
        out.times.push_back(s.times[i]);
    for (size_t k = 0; k < s.channels.size(); ++k) {
        if (s.channels[k].size() != s.times.size())
            continue;
        for (size_t i : order)
            out.channels[k].push_back(s.channels[k][i]);
    }
    return out;
}

// One channel's line through the pixel columns: per column only the first,
// lowest, highest and last sample are kept, in time order, which draws the
// same picture as every sample would. A run ends at a gap or a missing
// reading; a run of one sample is drawn as a dot.
class ColumnLine {
public:
    ColumnLine(QPainter& p, const chartdraw::Layout& L, const qint64* times, const double* values)
        : p_(p), L_(L), t_(times), v_(values)
    {
    }

    // Adds sample i, which is later than every sample added before it.
    void Add(size_t i)
    {
        double v = v_[i];
        // Within the open column: only the extremes and the last may change.
        // The column's end is kept as a time, so most samples cost two
        // comparisons and no arithmetic.
        if (open_ && static_cast<double>(t_[i]) < columnEnd_) {
            if (v < v_[low_])
                low_ = i;
            if (v > v_[high_])
                high_ = i;
            last_ = i;
            return;
        }
        closeColumn();
        double column = std::floor(L_.toX(static_cast<double>(t_[i])));
        columnEnd_ = (column + 1 - L_.toX.offset) / L_.toX.scale;
        first_ = low_ = high_ = last_ = i;
        open_ = true;
    }

    // Ends the line here: the next sample starts a new one.
    void Break()
    {
        closeColumn();
        if (run_.size() == 1)
            dot(run_.front());
        else if (run_.size() > 1)
            polyline();
        run_.clear();
    }

    // Draws what is left; call once, at the end.
    void Finish()
    {
        Break();
        if (!dots_.isEmpty())
            p_.drawPoints(dots_.constData(), static_cast<int>(dots_.size()));
        dots_.clear();
    }

private:
    void closeColumn()
    {
        if (!open_)
            return;
        open_ = false;
        size_t kept[4] = {first_, std::min(low_, high_), std::max(low_, high_), last_};
        for (int k = 0; k < 4; ++k) {
            if (k > 0 && kept[k] == kept[k - 1])
                continue;
            size_t i = kept[k];
            run_.push_back(QPointF(L_.toX(static_cast<double>(t_[i])), L_.toY(v_[i])));
        }
    }

    // The raster engine fills a wide pen's outline as one shape, and a long
    // wavy line crosses itself thousands of times; drawn as separate
    // segments it costs a fraction. Vector files keep one line.
    void polyline()
    {
        int size = static_cast<int>(run_.size());
        bool raster = p_.paintEngine() && p_.paintEngine()->type() == QPaintEngine::Raster;
        if (!raster) {
            p_.drawPolyline(run_.constData(), size);
            return;
        }
        segments_.clear();
        for (int i = 1; i < size; ++i)
            segments_.push_back(QLineF(run_[i - 1], run_[i]));
        p_.drawLines(segments_.constData(), static_cast<int>(segments_.size()));
    }

    // Lone samples are gathered and drawn at once; one per pixel is enough.
    void dot(const QPointF& at)
    {
        QPoint pixel = at.toPoint();
        if (dots_.isEmpty() || dots_.back().toPoint() != pixel)
            dots_.push_back(at);
    }

    QPainter& p_;
    const chartdraw::Layout& L_;
    const qint64* t_;
    const double* v_;
    QVector<QPointF> run_;
    QVector<QPointF> dots_;
    QVector<QLineF> segments_;
    bool open_ = false;
    double columnEnd_ = 0;
    size_t first_ = 0, low_ = 0, high_ = 0, last_ = 0;
};

}  // namespace

qint64 TimeSamples::Seconds(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
}

TTimePlot::TTimePlot(const TimeSamples& samples, TimePlotOptions options)
    : samples_(&samples), options_(std::move(options))
{
    options_.size = options_.size.expandedTo(QSize(MinimumSide, MinimumSide)).boundedTo(QSize(MaximumSide, MaximumSide));
    if (!std::is_sorted(samples.times.begin(), samples.times.end())) {
        sorted_ = std::make_unique<TimeSamples>(sortedByTime(samples));
        samples_ = sorted_.get();
    }
    const std::vector<qint64>& t = samples_->times;
    const size_t n = t.size();

    QList<int> wanted = options_.channels;
    if (wanted.isEmpty())
        wanted = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int k : wanted) {
        bool held = k >= 1 && k <= 8 && n > 0 && samples_->channels[static_cast<size_t>(k - 1)].size() == n;
        if (held && !channels_.contains(k))
            channels_.push_back(k);
    }
    interval_ = samples_->interval > 0 ? samples_->interval : commonStep(t);

    from_ = options_.from.value_or(n > 0 ? t.front() : 0);
    to_ = options_.to.value_or(n > 0 ? t.back() : from_);
    if (from_ > to_)
        std::swap(from_, to_);
    if (from_ == to_) {
        // One instant has no span to draw; half an hour each side gives it one.
        qint64 half = std::max(interval_, 30 * Minute);
        from_ -= half;
        to_ += half;
    }

    size_t lo = static_cast<size_t>(std::lower_bound(t.begin(), t.end(), from_) - t.begin());
    size_t hi = static_cast<size_t>(std::upper_bound(t.begin(), t.end(), to_) - t.begin());
    any_ = n > 0;
    first_ = lo > 0 ? lo - 1 : 0;
    last_ = hi < n ? hi : n - 1;

    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int k : channels_) {
        const std::vector<double>& v = samples_->channels[static_cast<size_t>(k - 1)];
        for (size_t i = lo; i < hi; ++i) {
            if (std::isfinite(v[i])) {
                low = std::min(low, v[i]);
                high = std::max(high, v[i]);
            }
        }
    }
    if (low <= high) {
        yLow_ = low;
        yHigh_ = high;
    }
}

TTimePlot::~TTimePlot() = default;

std::optional<TTimePlot::Format> TTimePlot::FormatOf(const QString& path)
{
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

chartdraw::ChartLook TTimePlot::look() const
{
    chartdraw::ChartLook look;
    look.frame.panelColor = QColor(0, 0, 255);
    look.frame.borderLine = true;
    look.frame.bevelInner = chartdraw::Bevel::Lowered;
    look.frame.bevelWidth = 3;
    look.frame.borderWidth = 2;
    look.frame.gradientVisible = true;
    look.frame.gradientStart = QColor(255, 255, 255);
    look.frame.gradientEnd = QColor(192, 192, 192);
    look.title = options_.title;
    look.titleFont = ArialPixels(13, true);
    look.titleColor = QColor(0, 0, 255);
    look.left.title = QStringLiteral("TEMPERATURA ºC");
    look.left.titleFont = ArialPixels(11, true);
    look.left.titleColor = QColor(0, 128, 128);
    look.left.labelsFont = ArialPixels(11);
    look.bottom.titleFont = ArialPixels(11, true);
    look.bottom.labelsFont = ArialPixels(11);
    look.rightVisible = false;
    look.topVisible = false;
    // Silver, not white, behind the legend's lines: channel 5's is white.
    look.legendColor = QColor(192, 192, 192);
    for (int k : channels_)
        look.legend.push_back({QStringLiteral("CANAL%1").arg(k), ChannelColors[k - 1], LineWidth});
    return look;
}

chartdraw::Layout TTimePlot::layout() const
{
    return chartdraw::LayOut(QRect(QPoint(0, 0), options_.size), look(), static_cast<double>(from_),
        static_cast<double>(to_), yLow_, yHigh_, chartdraw::NumberLabels{0, [](double v) { return FloatToStr(v); }},
        TimeLabels());
}

void TTimePlot::Draw(QPainter& painter) const
{
    chartdraw::ChartLook look = this->look();
    chartdraw::Layout L = layout();
    chartdraw::DrawChart(painter, L, look, [&](QPainter& p) {
        for (int k : channels_)
            drawChannel(p, L, k);
    });
}

QColor TimePlotChannelColor(int channel)
{
    return ChannelColors[std::clamp(channel, 1, 8) - 1];
}

void TTimePlot::drawChannel(QPainter& p, const chartdraw::Layout& L, int channel) const
{
    if (!any_)
        return;
    const std::vector<qint64>& t = samples_->times;
    const std::vector<double>& v = samples_->channels[static_cast<size_t>(channel - 1)];
    p.setPen(QPen(ChannelColors[channel - 1], LineWidth, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    p.setBrush(Qt::NoBrush);
    ColumnLine line(p, L, t.data(), v.data());
    bool previous = false;
    for (size_t i = first_; i <= last_; ++i) {
        if (!std::isfinite(v[i])) {
            line.Break();
            previous = false;
            continue;
        }
        if (previous && IsSamplingGap(t[i] - t[i - 1], interval_))
            line.Break();
        line.Add(i);
        previous = true;
    }
    line.Finish();
}

QImage TTimePlot::ToImage() const
{
    QImage image(options_.size, QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p);
    return image;
}

bool TTimePlot::Write(QIODevice& device, Format format) const
{
    const QRect area(QPoint(0, 0), options_.size);
    QPainter p;
    switch (format) {
    case Format::Png:
        return QImageWriter(&device, "png").write(ToImage());
    case Format::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        svg.setSize(options_.size);
        svg.setViewBox(area);
        svg.setResolution(96);
        svg.setTitle(options_.title);
        if (!p.begin(&svg))
            return false;
        Draw(p);
        return p.end();
    }
    case Format::Pdf: {
        // A page exactly the plot's size: pixels at 96 per inch, in points.
        QPdfWriter pdf(&device);
        pdf.setResolution(96);
        QPageSize page(QSizeF(options_.size) * 72.0 / 96.0, QPageSize::Point, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
        pdf.setTitle(options_.title);
        pdf.setCreator(QStringLiteral("veltra8"));
        if (!p.begin(&pdf))
            return false;
        Draw(p);
        return p.end();
    }
    }
    return false;
}

bool TTimePlot::Save(const QString& path, QString* error) const
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    std::optional<Format> format = FormatOf(path);
    if (!format)
        return fail(QStringLiteral("%1: the name must end in .png, .svg or .pdf").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (!Write(file, *format)) {
        file.cancelWriting();
        return fail(QStringLiteral("%1: the picture could not be written").arg(path));
    }
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}

QRect TTimePlot::PlotRect() const
{
    return layout().plot;
}

double TTimePlot::XPixel(qint64 time) const
{
    return layout().toX(static_cast<double>(time));
}

double TTimePlot::YPixel(double value) const
{
    return layout().toY(value);
}

QList<TAxisLabel> TTimePlot::BottomLabels() const
{
    return layout().bottomLabels;
}

QList<TAxisLabel> TTimePlot::LeftLabels() const
{
    return layout().leftLabels;
}

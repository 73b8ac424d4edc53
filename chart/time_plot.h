#pragma once
// A temperature chart of time-stamped samples, in the chart window's look,
// drawn onto any painter or written to a PNG, SVG or PDF file. It is what the
// command-line client's plot draws: it needs Qt Gui only, never a widget or
// QApplication (fonts need a QGuiApplication, which may run offscreen).
//
// The bottom axis tells real time, with ticks on round seconds, minutes,
// hours, days, weeks, months or years chosen so that the labels
// ("hh:mm:ss" over "DD/MM/YYYY", or the date alone) never overlap. A gap of
// more than 1.5 sampling intervals between two samples breaks the line.
// Each line is reduced per pixel column to the column's first, lowest,
// highest and last sample before it is drawn, so one odd sample among a
// million still shows and drawing costs follow the pixels, not the rows.
#include "chart/chart_drawing.h"

#include <QList>
#include <QSize>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QDate;
class QImage;
class QIODevice;
class QPainter;
class QTime;

// Samples in time order, held by the caller while a plot is drawn.
struct TimeSamples {
    // Seconds since 01/01/1970 00:00:00 of the logger's clock; the saved
    // files carry no time zone, and neither does the plot. Rows without a
    // real date (day 33, a rate code outside the table) have no place on a
    // time axis and are left out by the caller.
    std::vector<qint64> times;
    // Channel k's temperatures in degrees Celsius at index k - 1: empty, or
    // one per time, NaN where there is no reading (which breaks the line).
    std::array<std::vector<double>, 8> channels;
    // The sampling interval in seconds; 0 takes the most common step
    // between consecutive samples.
    qint64 interval = 0;

    static qint64 Seconds(const QDate& date, const QTime& time);
};

// Channel k's line colour (1..8), for callers that mark the plot.
QColor TimePlotChannelColor(int channel);

struct TimePlotOptions {
    // Channels 1 to 8 to draw, in legend order; empty means every channel
    // that has samples. Others are ignored.
    QList<int> channels = {};
    // The time span shown; by default the samples' own.
    std::optional<qint64> from = std::nullopt;
    std::optional<qint64> to = std::nullopt;
    // Pixels; SVG user units; PDF at 96 dots per inch. Held to 64 … 10000
    // each way.
    QSize size{1200, 675};
    QString title = QStringLiteral("TEMPERATURA 8 CANALES");
};

class TTimePlot {
public:
    enum class Format { Png, Svg, Pdf };

    // `samples` must outlive the plot; out of order times are sorted into a
    // copy of the plot's own.
    TTimePlot(const TimeSamples& samples, TimePlotOptions options);
    ~TTimePlot();
    TTimePlot(const TTimePlot&) = delete;
    TTimePlot& operator=(const TTimePlot&) = delete;

    // The format a file name asks for by its suffix (.png, .svg, .pdf, in
    // any case).
    static std::optional<Format> FormatOf(const QString& path);

    // Draws the plot into the rectangle of the options' size at (0, 0).
    void Draw(QPainter& painter) const;
    QImage ToImage() const;
    // Writes the file whole or not at all, in the format its suffix asks
    // for; on failure returns false and, when given, says why in `error`.
    bool Save(const QString& path, QString* error = nullptr) const;
    // Writes the picture to an open device, for callers that keep the file
    // and its messages themselves; false when the device refused it.
    bool Write(QIODevice& device, Format format) const;

    // Where things go: for callers that annotate the plot, and for checks.
    QRect PlotRect() const;
    double XPixel(qint64 time) const;
    double YPixel(double value) const;
    QList<TAxisLabel> BottomLabels() const;
    QList<TAxisLabel> LeftLabels() const;
    QList<int> Channels() const { return channels_; }
    // The step beyond 1.5 times which a line breaks.
    qint64 Interval() const { return interval_; }

private:
    chartdraw::Layout layout() const;
    chartdraw::ChartLook look() const;
    void drawChannel(QPainter& p, const chartdraw::Layout& L, int channel) const;

    const TimeSamples* samples_;
    std::unique_ptr<TimeSamples> sorted_;
    TimePlotOptions options_;
    QList<int> channels_;
    qint64 interval_ = 0;
    qint64 from_ = 0, to_ = 0;
    double yLow_ = 0, yHigh_ = 0;
    // The samples worth drawing: those in view and one beyond each end, so
    // lines run on to the edges of the plot.
    size_t first_ = 0, last_ = 0;
    bool any_ = false;
};

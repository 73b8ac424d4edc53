#pragma once
// One line of a chart: points appended in order of X, drawn as a line in
// the series' colour. A series belongs to the chart it was created on (the
// chart is its QObject parent and deletes it); it tells the chart to redraw
// whenever its points or looks change.
#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class TChart;

class TLineSeries : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor SeriesColor READ SeriesColor WRITE SetSeriesColor)
    Q_PROPERTY(int LinePenWidth READ LinePenWidth WRITE SetLinePenWidth)
    Q_PROPERTY(bool PointerVisible READ PointerVisible WRITE SetPointerVisible)
    Q_PROPERTY(bool MarksVisible READ MarksVisible WRITE SetMarksVisible)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
public:
    // Appends the series to `chart`'s list, which then owns it.
    explicit TLineSeries(TChart* chart);
    ~TLineSeries() override;

    TChart* ParentChart() const { return chart_; }

    QColor SeriesColor() const { return color_; }
    void SetSeriesColor(const QColor& color);
    int LinePenWidth() const { return penWidth_; }
    void SetLinePenWidth(int width);
    // A small square on every point; off for the program's lines.
    bool PointerVisible() const { return pointerVisible_; }
    void SetPointerVisible(bool visible);
    // The value (or the point's label, when it has one) above every point.
    bool MarksVisible() const { return marksVisible_; }
    void SetMarksVisible(bool visible);
    // An inactive series is neither drawn nor counted in automatic ranges.
    bool Active() const { return active_; }
    void SetActive(bool active);
    QString Title() const { return title_; }
    void SetTitle(const QString& title);

    // Removes every point.
    void Clear();
    // Appends a point whose X is the number of points held before it; returns
    // its index. An invalid colour means the series' own colour.
    int AddY(double value, const QString& label = QString(), const QColor& color = QColor());

    int Count() const { return static_cast<int>(ys_.size()); }
    double XValue(int index) const { return xs_.at(static_cast<size_t>(index)); }
    double YValue(int index) const { return ys_.at(static_cast<size_t>(index)); }
    QString Label(int index) const;
    QColor ValueColor(int index) const;

    // Extent of the points; meaningless while HasExtent() is false (no
    // point, or none with a finite value).
    bool HasExtent() const { return hasY_; }
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    double MinY() const { return minY_; }
    double MaxY() const { return maxY_; }

    // Raw arrays for drawing, ascending in X.
    const double* XData() const { return xs_.data(); }
    const double* YData() const { return ys_.data(); }

private:
    friend class TChart;
    void changed();
    std::function<void()> redraw();

    TChart* chart_;
    QColor color_ = Qt::red;
    int penWidth_ = 2;
    bool pointerVisible_ = false;
    bool marksVisible_ = false;
    bool active_ = true;
    QString title_;

    std::vector<double> xs_;
    std::vector<double> ys_;
    // Labels and colours are rare; only points that have one are stored.
    std::vector<std::pair<int, QString>> labels_;
    std::vector<std::pair<int, QColor>> colors_;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool hasY_ = false;
};

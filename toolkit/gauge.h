#pragma once
// A pie gauge: a disc whose filled sector, clockwise from twelve o'clock,
// shows Progress out of MaxValue. No text. The main window owns one as its
// activity pie during a download. Assistive technology reads it as a
// progress bar.
#include <QColor>
#include <QWidget>

class TGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MaxValue() const { return maxValue_; }
    // Progress is kept within 0 … MaxValue, as a gauge cannot show more.
    void SetMaxValue(int max);
    int Progress() const { return progress_; }
    void SetProgress(int progress);
    // Filled share of the disc, 0 … 100.
    int PercentDone() const;

    QColor ForeColor() const { return foreColor_; }   // the filled sector
    void SetForeColor(const QColor& color);
    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void announceProgress();

    int maxValue_ = 100;
    int progress_ = 0;
    QColor foreColor_{Qt::black};
    QColor backColor_{Qt::white};
};

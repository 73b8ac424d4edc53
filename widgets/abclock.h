#pragma once
// A digital clock or date display on a seven-segment readout that keeps
// itself current from the PC clock. The main window owns one of each.
// It wakes once per second, on the second, and repaints only when its text
// changes; while hidden it does not wake at all.
#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

class TAbClock : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(QColor DigitColor READ DigitColor WRITE SetDigitColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
public:
    enum Kind { Time, Date };
    Q_ENUM(Kind)

    explicit TAbClock(QWidget* parent = nullptr);
    explicit TAbClock(Kind kind, QWidget* parent = nullptr);

    Kind Mode() const { return kind_; }
    void SetMode(Kind kind);

    // What the PC clock reads now, in the process-wide time ("hh:mm:ss") or
    // short date ("dd/mm/yyyy") format.
    QString Text() const;
    // The text on the readout now, as of the last second's wake-up.
    QString ShownText() const { return shown_; }

    QColor DigitColor() const { return digitColor_; }
    void SetDigitColor(const QColor& color);
    QColor Color() const { return color_; }   // readout background
    void SetColor(const QColor& color);

    // Reads the clock again now and repaints if the text changed; the timer
    // does this on every second.
    void Refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void tick();
    void scheduleNextTick();

    Kind kind_ = Time;
    QString shown_;
    QTimer timer_;
    QColor digitColor_{0, 255, 0};
    QColor color_{Qt::black};
};

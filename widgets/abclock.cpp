#include "widgets/abclock.h"

#include "platform/clock.h"
#include "platform/formats.h"
#include "widgets/accessible.h"
#include "widgets/instrumentpaint.h"
#include "widgets/set_if_changed.h"

#include <QPainter>

TAbClock::TAbClock(QWidget* parent) : TAbClock(Time, parent) {}

TAbClock::TAbClock(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    InstrumentAccessibility::Install();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TAbClock::tick);
    shown_ = Text();
}

void TAbClock::SetMode(Kind kind) { SetIfChanged(kind_, kind, [this] { Refresh(); }); }

QString TAbClock::Text() const
{
    const QDateTime now = PcClock().Now();
    return kind_ == Time ? TimeToStr(now.time()) : DateToStr(now.date());
}

void TAbClock::SetDigitColor(const QColor& color) { SetIfChanged(digitColor_, color, this); }
void TAbClock::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }

void TAbClock::Refresh()
{
    const QString text = Text();
    if (text == shown_)
        return;
    shown_ = text;
    update();
    InstrumentAccessibility::ValueChanged(this, shown_);
}

void TAbClock::tick()
{
    Refresh();
    scheduleNextTick();
}

void TAbClock::scheduleNextTick()
{
    if (!isVisible())
        return;
    // Wake just after the next whole second of the PC clock, so the shown
    // second changes with the real one rather than up to a second late.
    const int msec = PcClock().Now().time().msec();
    timer_.start(1000 - msec + 2);
}

void TAbClock::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Refresh();
    scheduleNextTick();
}

void TAbClock::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    timer_.stop();
}

QSize TAbClock::sizeHint() const
{
    return {101, 28};
}

QSize TAbClock::minimumSizeHint() const
{
    return {40, 12};
}

void TAbClock::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, color_);
    const QRect inner = InstrumentPaint::DrawBevel(p, r, TBevelStyle::Lowered, 2, QColor(160, 160, 160));
    const QRectF box = QRectF(inner).adjusted(3, 3, -3, -3);
    InstrumentPaint::DrawSegmentText(p, box, shown_, digitColor_, InstrumentPaint::GhostColor(digitColor_),
                                     Qt::AlignCenter);
}

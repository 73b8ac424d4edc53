#include "widgets/gauge.h"

#include "widgets/accessible.h"
#include "widgets/set_if_changed.h"

#include <QPainter>

TGauge::TGauge(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
}

void TGauge::SetMaxValue(int max)
{
    if (max == maxValue_)
        return;
    maxValue_ = max;
    progress_ = std::clamp(progress_, 0, std::max(0, maxValue_));
    update();
    InstrumentAccessibility::ValueChanged(this, progress_);
}

void TGauge::SetProgress(int progress)
{
    if (SetIfChanged(progress_, std::clamp(progress, 0, std::max(0, maxValue_)), this))
        InstrumentAccessibility::ValueChanged(this, progress_);
}

int TGauge::PercentDone() const
{
    if (maxValue_ <= 0)
        return 0;
    return int(qint64(progress_) * 100 / maxValue_);
}

void TGauge::SetForeColor(const QColor& color) { SetIfChanged(foreColor_, color, this); }
void TGauge::SetBackColor(const QColor& color) { SetIfChanged(backColor_, color, this); }

QSize TGauge::sizeHint() const
{
    return {31, 28};
}

void TGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = rect();
    const qreal d = std::min(r.width(), r.height()) - 2;
    if (d <= 1)
        return;
    const QRectF disc(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(backColor_);
    p.drawEllipse(disc);
    if (maxValue_ > 0 && progress_ > 0) {
        // Angles in sixteenths of a degree, clockwise from twelve o'clock.
        const int span = int(qint64(progress_) * 360 * 16 / maxValue_);
        p.setBrush(foreColor_);
        if (span >= 360 * 16)
            p.drawEllipse(disc);
        else
            p.drawPie(disc, 90 * 16, -span);
    }
}

#include "toolkit/gauge.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

namespace {

// To assistive technology the gauge is a read-only progress bar whose value
// is the share done, as the pie shows it.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(TGauge* w) : QAccessibleWidget(w, QAccessible::ProgressBar) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return shown();
        case QAccessible::Description: {
            const QString given = QAccessibleWidget::text(t);
            return given.isEmpty() ? shown() : given;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return gauge()->Progress(); }
    QVariant maximumValue() const override { return gauge()->MaxValue(); }
    QVariant minimumValue() const override { return 0; }
    void setCurrentValue(const QVariant&) override {}
    QVariant minimumStepSize() const override { return 0; }

private:
    QString shown() const { return QString::number(gauge()->PercentDone()) + QStringLiteral(" %"); }
    TGauge* gauge() const { return static_cast<TGauge*>(widget()); }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (auto* w = qobject_cast<TGauge*>(object))
        return new GaugeAccessible(w);
    return nullptr;
}

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void TGauge::SetMaxValue(int max)
{
    if (max == maxValue_)
        return;
    maxValue_ = max;
    progress_ = std::clamp(progress_, 0, std::max(0, maxValue_));
    update();
    announceProgress();
}

void TGauge::SetProgress(int progress)
{
    progress = std::clamp(progress, 0, std::max(0, maxValue_));
    if (progress == progress_)
        return;
    progress_ = progress;
    update();
    announceProgress();
}

int TGauge::PercentDone() const
{
    if (maxValue_ <= 0)
        return 0;
    return int(qint64(progress_) * 100 / maxValue_);
}

void TGauge::SetForeColor(const QColor& color)
{
    if (color == foreColor_)
        return;
    foreColor_ = color;
    update();
}

void TGauge::SetBackColor(const QColor& color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    update();
}

QSize TGauge::sizeHint() const
{
    return {31, 28};
}

void TGauge::announceProgress()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, progress_);
    QAccessible::updateAccessibility(&event);
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

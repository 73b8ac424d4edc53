#include "widgets/abgradient.h"

#include "widgets/accessible.h"

#include <QLinearGradient>
#include <QPainter>

TAbGradient::TAbGradient(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
}

void TAbGradient::SetGradient(bool on)
{
    if (on == gradient_)
        return;
    gradient_ = on;
    update();
}

void TAbGradient::SetStartColor(const QColor& color)
{
    if (color == startColor_)
        return;
    startColor_ = color;
    update();
}

void TAbGradient::SetEndColor(const QColor& color)
{
    if (color == endColor_)
        return;
    endColor_ = color;
    update();
}

void TAbGradient::SetColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

QSize TAbGradient::sizeHint() const
{
    return {200, 150};
}

void TAbGradient::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    if (!gradient_) {
        p.fillRect(r, color_);
        return;
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, startColor_);
    g.setColorAt(1, endColor_);
    p.fillRect(r, g);
}

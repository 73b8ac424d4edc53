#include "widgets/abgradient.h"

#include "widgets/accessible.h"
#include "widgets/set_if_changed.h"

#include <QLinearGradient>
#include <QPainter>

TAbGradient::TAbGradient(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
}

void TAbGradient::SetGradient(bool on) { SetIfChanged(gradient_, on, this); }
void TAbGradient::SetStartColor(const QColor& color) { SetIfChanged(startColor_, color, this); }
void TAbGradient::SetEndColor(const QColor& color) { SetIfChanged(endColor_, color, this); }
void TAbGradient::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }

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

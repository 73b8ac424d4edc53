#include "widgets/abled.h"

#include "widgets/accessible.h"
#include "widgets/instrumentpaint.h"
#include "widgets/set_if_changed.h"

#include <QPainter>
#include <QRadialGradient>

TAbLED::TAbLED(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
}

void TAbLED::SetChecked(bool lit)
{
    if (SetIfChanged(checked_, lit, this))
        InstrumentAccessibility::CheckedChanged(this);
}

void TAbLED::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }

QSize TAbLED::sizeHint() const
{
    return {28, 34};
}

void TAbLED::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = rect();
    const qreal d = std::min(r.width(), r.height()) - 2;
    if (d <= 2)
        return;
    const QRectF bezel(r.center().x() - d / 2, r.center().y() - d / 2, d, d);

    // A metal ring, darker below, around the lens.
    QLinearGradient ring(bezel.topLeft(), bezel.bottomRight());
    ring.setColorAt(0, QColor(235, 235, 235));
    ring.setColorAt(1, QColor(70, 70, 70));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(ring);
    p.drawEllipse(bezel);

    const qreal inset = std::max<qreal>(2, d * 0.14);
    const QRectF lens = bezel.adjusted(inset, inset, -inset, -inset);
    const QColor c = checked_ ? color_ : InstrumentPaint::UnlitColor(color_).lighter(160);
    QRadialGradient g(lens.center() - QPointF(lens.width() / 6, lens.height() / 6), lens.width() * 0.65);
    g.setColorAt(0, checked_ ? c.lighter(175) : c.lighter(130));
    g.setColorAt(0.6, c);
    g.setColorAt(1, c.darker(checked_ ? 140 : 170));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(g);
    p.drawEllipse(lens);

    // Reflection on the lens.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, checked_ ? 150 : 90));
    p.drawEllipse(QRectF(lens.left() + lens.width() * 0.22, lens.top() + lens.height() * 0.12, lens.width() * 0.36,
                         lens.height() * 0.24));
}

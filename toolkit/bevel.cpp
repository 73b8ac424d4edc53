#include "toolkit/bevel.h"

#include <QPainter>

QColor BlendColours(const QColor& from, const QColor& to, double t)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t));
}

QRect DrawBevel(QPainter& p, const QRect& outer, TBevelStyle style, int width, const QColor& face)
{
    if (style == TBevelStyle::None || width <= 0)
        return outer;
    const QColor light = BlendColours(face, Qt::white, 0.65);
    const QColor dark = BlendColours(face, Qt::black, 0.55);
    const QColor& topLeft = style == TBevelStyle::Raised ? light : dark;
    const QColor& bottomRight = style == TBevelStyle::Raised ? dark : light;
    QRect r = outer;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
    p.restore();
    return r;
}

#include "widgets/instrumentpaint.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace InstrumentPaint {

namespace {

// Segment bits: a top, b top right, c bottom right, d bottom, e bottom left,
// f top left, g middle.
enum : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64, All = 127 };

int segmentsOf(QChar ch)
{
    static const unsigned digits[10] = {
        A | B | C | D | E | F, B | C,         A | B | G | E | D, A | B | G | C | D, F | G | B | C,
        A | F | G | C | D,     A | F | G | E | D | C, A | B | C, All,              A | B | C | D | F | G,
    };
    if (ch.isDigit() && ch.unicode() < 128)
        return int(digits[ch.unicode() - '0']);
    if (ch == QLatin1Char('-'))
        return G;
    if (ch == QLatin1Char(' '))
        return 0;
    return -1;
}

enum class Cell { Digit, Point, Colon, Slash, Glyph };

Cell cellOf(QChar ch)
{
    if (segmentsOf(ch) >= 0)
        return Cell::Digit;
    if (ch == QLatin1Char(',') || ch == QLatin1Char('.'))
        return Cell::Point;
    if (ch == QLatin1Char(':'))
        return Cell::Colon;
    if (ch == QLatin1Char('/'))
        return Cell::Slash;
    return Cell::Glyph;
}

QFont glyphFont(qreal height)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, int(height * 0.8)));
    f.setBold(true);
    return f;
}

qreal cellWidth(QChar ch, qreal h)
{
    switch (cellOf(ch)) {
    case Cell::Digit: return h * 0.58;
    case Cell::Point: return h * 0.22;
    case Cell::Colon: return h * 0.26;
    case Cell::Slash: return h * 0.40;
    case Cell::Glyph: return QFontMetricsF(glyphFont(h)).horizontalAdvance(ch) + h * 0.08;
    }
    return 0;
}

// One segment as a six-cornered bar between two points.
QPolygonF segmentShape(QPointF from, QPointF to, qreal t)
{
    const qreal half = t / 2;
    const bool horizontal = from.y() == to.y();
    if (horizontal) {
        return QPolygonF({QPointF(from.x(), from.y()), QPointF(from.x() + half, from.y() - half),
                          QPointF(to.x() - half, to.y() - half), QPointF(to.x(), to.y()),
                          QPointF(to.x() - half, to.y() + half), QPointF(from.x() + half, from.y() + half)});
    }
    return QPolygonF({QPointF(from.x(), from.y()), QPointF(from.x() + half, from.y() + half),
                      QPointF(to.x() + half, to.y() - half), QPointF(to.x(), to.y()),
                      QPointF(to.x() - half, to.y() - half), QPointF(from.x() - half, from.y() + half)});
}

void drawDigit(QPainter& p, const QRectF& cell, int bits, const QColor& lit, const QColor& unlit)
{
    const qreal h = cell.height();
    const qreal t = std::max<qreal>(1.6, h * 0.13);
    const qreal gap = std::max<qreal>(0.5, t * 0.15);
    const qreal x0 = cell.left() + t / 2 + h * 0.04, x1 = cell.right() - t / 2 - h * 0.04;
    const qreal y0 = cell.top() + t / 2, y2 = cell.bottom() - t / 2, y1 = (y0 + y2) / 2;
    const QPolygonF shapes[7] = {
        segmentShape({x0 + gap, y0}, {x1 - gap, y0}, t),  // a
        segmentShape({x1, y0 + gap}, {x1, y1 - gap}, t),  // b
        segmentShape({x1, y1 + gap}, {x1, y2 - gap}, t),  // c
        segmentShape({x0 + gap, y2}, {x1 - gap, y2}, t),  // d
        segmentShape({x0, y1 + gap}, {x0, y2 - gap}, t),  // e
        segmentShape({x0, y0 + gap}, {x0, y1 - gap}, t),  // f
        segmentShape({x0 + gap, y1}, {x1 - gap, y1}, t),  // g
    };
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const bool on = bits & (1 << i);
        if (!on && !unlit.isValid())
            continue;
        p.setBrush(on ? lit : unlit);
        p.drawPolygon(shapes[i]);
    }
}

}  // namespace

QColor UnlitColor(const QColor& lit)
{
    return BlendColours(lit, Qt::black, 0.82);
}

QColor GhostColor(const QColor& lit)
{
    return BlendColours(lit, Qt::black, 0.91);
}

QFont FittedFont(QFont font, const QString& text, int width)
{
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height());
    for (int px = font.pixelSize(); px > 6; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

qreal SegmentTextWidth(const QString& text, qreal height)
{
    qreal w = 0;
    for (QChar ch : text)
        w += cellWidth(ch, height);
    return w;
}

qreal DrawSegmentText(QPainter& p, const QRectF& box, const QString& text, const QColor& lit,
                      const QColor& unlit, Qt::Alignment align)
{
    if (text.isEmpty() || box.width() <= 0 || box.height() <= 0)
        return 0;
    // Fit by height first, then shrink until the whole text fits across.
    qreal h = box.height();
    const qreal natural = SegmentTextWidth(text, h);
    if (natural > box.width())
        h = h * box.width() / natural;
    const qreal width = SegmentTextWidth(text, h);
    qreal x = box.left();
    if (align & Qt::AlignRight)
        x = box.right() - width;
    else if (align & Qt::AlignHCenter)
        x = box.left() + (box.width() - width) / 2;
    const qreal top = box.top() + (box.height() - h) / 2;

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (QChar ch : text) {
        const qreal w = cellWidth(ch, h);
        const QRectF cell(x, top, w, h);
        const qreal dot = std::max<qreal>(1.6, h * 0.13);
        p.setPen(Qt::NoPen);
        p.setBrush(lit);
        switch (cellOf(ch)) {
        case Cell::Digit:
            drawDigit(p, cell, segmentsOf(ch), lit, unlit);
            break;
        case Cell::Point:
            p.drawEllipse(QRectF(cell.center().x() - dot / 2, cell.bottom() - dot, dot, dot));
            if (ch == QLatin1Char(','))
                p.drawPolygon(QPolygonF({QPointF(cell.center().x(), cell.bottom() - dot / 2),
                                         QPointF(cell.center().x() + dot / 2, cell.bottom() - dot / 2),
                                         QPointF(cell.center().x() - dot / 2, cell.bottom() + dot * 0.7)}));
            break;
        case Cell::Colon:
            p.drawEllipse(QRectF(cell.center().x() - dot / 2, top + h * 0.28 - dot / 2, dot, dot));
            p.drawEllipse(QRectF(cell.center().x() - dot / 2, top + h * 0.72 - dot / 2, dot, dot));
            break;
        case Cell::Slash:
            p.setPen(QPen(lit, dot * 0.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(cell.right() - dot, top + dot / 2), QPointF(cell.left() + dot, top + h - dot / 2));
            break;
        case Cell::Glyph:
            p.setPen(lit);
            p.setFont(glyphFont(h));
            p.drawText(cell, Qt::AlignLeft | Qt::AlignTop, QString(ch));
            break;
        }
        x += w;
    }
    p.restore();
    return width;
}

}  // namespace InstrumentPaint

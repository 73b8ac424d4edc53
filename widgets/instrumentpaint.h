#pragma once
// Drawing pieces the instrument widgets share: bevelled frames, seven-segment
// digit readouts and lamp colours. Plain functions on a QPainter, so every
// instrument draws its frames and digits the same way.
#include "toolkit/bevel.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace InstrumentPaint {

// The frames are the window framework's bevel (toolkit/bevel.h), so an
// instrument and the panel behind it frame alike.
using ::DrawBevel;

// Draws `text` as a seven-segment readout fitted into `box` (digits, '-',
// ' ', ',' and '.' as a decimal point, ':' and '/' as separators); unlit
// segments are drawn faintly in `unlit` when it is valid. Other characters
// are drawn as plain glyphs. Returns the width used.
qreal DrawSegmentText(QPainter& p, const QRectF& box, const QString& text, const QColor& lit,
                      const QColor& unlit, Qt::Alignment align = Qt::AlignCenter);

// The width a readout of `text` takes at a digit height of `height`.
qreal SegmentTextWidth(const QString& text, qreal height);

// The dim tone of a lamp colour when it is out.
QColor UnlitColor(const QColor& lit);
// The faint trace of an unlit digit segment: visible, but never mistaken
// for a lit one.
QColor GhostColor(const QColor& lit);

// `font` made smaller, if need be, until `text` fits `width` pixels across.
QFont FittedFont(QFont font, const QString& text, int width);

}  // namespace InstrumentPaint

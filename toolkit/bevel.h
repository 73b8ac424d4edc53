#pragma once
// The three-dimensional frame of the window framework's controls: a bevel
// standing out of its panel, sunk into it, or absent. The panel frames
// itself with it, and the instruments draw their frames with the same one.
#include <QColor>
#include <QRect>

class QPainter;

enum class TBevelStyle { None, Raised, Lowered };

// `from` taken the share `t` (0 … 1) of the way towards `to`.
QColor BlendColours(const QColor& from, const QColor& to, double t);

// Draws a bevel of `width` pixels just inside `outer` and returns the rectangle
// left inside it. `face` gives the light and dark edge tones.
QRect DrawBevel(QPainter& p, const QRect& outer, TBevelStyle style, int width, const QColor& face);

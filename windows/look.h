#pragma once
// Small helpers the windows share to lay out their controls as the window
// definitions give them: labels and buttons at a fixed place, plain
// backgrounds. Fonts come from widgets/fonts.h, by pixel size; the
// definitions' "MS Sans Serif" is a bitmap face that does not exist here and
// is drawn as "Arial" at the same pixel size.
#include "widgets/fonts.h"

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Fills the widget's background with `colour` (not its children's).
void SetBackground(QWidget* widget, const QColor& colour);

// Sets the colour of the widget's text (labels and buttons).
void SetTextColour(QWidget* widget, const QColor& colour);

// A label sized to its text, with its top-left corner at (x, y), with a
// transparent background so that it sits on whatever is behind it. Without a
// font it takes its window's; without a colour, its window's text colour.
QLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, int x, int y);
QLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, const QFont& font,
                   const QColor& colour = QColor());

// A push button at the given place and size. Enter on a focused button
// presses it, as on the platform the program comes from.
QPushButton* PlaceButton(QWidget* parent, const QString& name, const QString& text, int x, int y, int width,
                         int height);

#pragma once
// Fonts by pixel size, the one unit the windows, the instruments and the
// chart are laid out in: a font given in points grows and shrinks with the
// screen's dots per inch and would spill out of a control placed to the
// pixel. "Arial" is drawn with Liberation Sans, whose metrics are the same.
// Header-only, with nothing but Qt Gui behind it, so the chart engine and the
// windows can share it without linking the instrument widgets.
#include <QFont>
#include <QString>

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

inline QFont ArialPixels(int pixels, FontStyle style = {})
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

inline QFont ArialPixels(int pixels, bool bold)
{
    return ArialPixels(pixels, FontStyle{.bold = bold});
}

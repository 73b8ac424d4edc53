#include "windows/look.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::ButtonText, colour);
    widget->setPalette(pal);
}

QLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(false);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, const QFont& font,
                   const QColor& colour)
{
    QLabel* label = PlaceLabel(parent, name, text, x, y);
    label->setFont(font);
    if (colour.isValid())
        SetTextColour(label, colour);
    label->adjustSize();
    return label;
}

QPushButton* PlaceButton(QWidget* parent, const QString& name, const QString& text, int x, int y, int width,
                         int height)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    button->setGeometry(x, y, width, height);
    return button;
}

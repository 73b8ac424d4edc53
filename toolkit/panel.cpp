#include "toolkit/panel.h"

#include <QPainter>

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::SetBevelOuter(TBevelStyle bevel)
{
    if (outer_ == bevel)
        return;
    outer_ = bevel;
    update();
}

void TPanel::SetBevelInner(TBevelStyle bevel)
{
    if (inner_ == bevel)
        return;
    inner_ = bevel;
    update();
}

void TPanel::SetBevelWidth(int width)
{
    width = qMax(0, width);
    if (width_ == width)
        return;
    width_ = width;
    update();
}

void TPanel::SetColor(const QColor& color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

QSize TPanel::sizeHint() const
{
    return QSize(185, 41);
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QColor face = color_.isValid() ? color_ : palette().color(QPalette::Window);
    p.fillRect(rect(), face);
    QRect inside = DrawBevel(p, rect(), outer_, width_, face);
    DrawBevel(p, inside, inner_, width_, face);
}

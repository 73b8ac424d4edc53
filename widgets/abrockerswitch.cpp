#include "widgets/abrockerswitch.h"

#include "platform/application.h"
#include "widgets/accessible.h"
#include "widgets/fonts.h"
#include "widgets/instrumentpaint.h"
#include "widgets/set_if_changed.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

TAbRockerSwitch::TAbRockerSwitch(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    setFont(ArialPixels(11, true));
    setFocusPolicy(Qt::StrongFocus);
}

void TAbRockerSwitch::SetCaption(const QString& caption)
{
    if (SetIfChanged(caption_, caption, this))
        InstrumentAccessibility::NameChanged(this);
}

void TAbRockerSwitch::SetChecked(bool checked)
{
    if (SetIfChanged(checked_, checked, this))
        InstrumentAccessibility::CheckedChanged(this);
}

void TAbRockerSwitch::SetFontColor(const QColor& color) { SetIfChanged(fontColor_, color, this); }
void TAbRockerSwitch::SetLampColor(const QColor& color) { SetIfChanged(lampColor_, color, this); }

void TAbRockerSwitch::Press()
{
    SetChecked(!checked_);
    Application::Guard([&] { emit Click(); });
    Application::Guard([&] { emit MouseUp(); });
}

QSize TAbRockerSwitch::sizeHint() const
{
    return {91, 85};
}

QSize TAbRockerSwitch::minimumSizeHint() const
{
    return {40, 40};
}

void TAbRockerSwitch::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || pressed_) {
        QWidget::mousePressEvent(e);
        return;
    }
    pressed_ = true;
    SetChecked(!checked_);
}

void TAbRockerSwitch::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !pressed_) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    pressed_ = false;
    if (rect().contains(e->position().toPoint())) {
        Application::Guard([&] { emit Click(); });
    } else {
        // A press dragged off the switch is no click; put the rocker back so
        // its state never disagrees with what the click handler last did.
        SetChecked(!checked_);
    }
    Application::Guard([&] { emit MouseUp(); });
}

void TAbRockerSwitch::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Space || e->key() == Qt::Key_Select) && !e->isAutoRepeat()) {
        Press();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TAbRockerSwitch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRect r = rect();
    const QFontMetrics fm(font());
    const int captionH = caption_.isEmpty() ? 0 : fm.height() + 2;

    // The housing: a raised bezel around a dark well that holds the rocker.
    const QRect space = r.adjusted(0, 0, 0, -captionH);
    const int housingW = std::min(space.width(), int(space.height() * 0.72));
    const QRect housing(space.left() + (space.width() - housingW) / 2, space.top(), housingW, space.height());
    const QColor bezel(150, 150, 150);
    p.fillRect(housing, bezel);
    QRect well = InstrumentPaint::DrawBevel(p, housing, TBevelStyle::Raised, 2, bezel);
    well = well.adjusted(2, 2, -2, -2);
    well = InstrumentPaint::DrawBevel(p, well, TBevelStyle::Lowered, 2, bezel);
    p.fillRect(well, QColor(25, 25, 25));

    const QRectF rocker = QRectF(well).adjusted(3, 3, -3, -3);
    const qreal mid = rocker.center().y();
    const QRectF top(rocker.left(), rocker.top(), rocker.width(), mid - rocker.top());
    const QRectF bottom(rocker.left(), mid, rocker.width(), rocker.bottom() - mid);
    // The half that is pushed in lies in shadow; the other stands out of the
    // well and catches the light on its far edge.
    auto paintHalf = [&](const QRectF& half, bool pushedIn, bool upper) {
        QLinearGradient g(half.topLeft(), half.bottomLeft());
        if (pushedIn) {
            g.setColorAt(0, QColor(55, 55, 55));
            g.setColorAt(1, QColor(80, 80, 80));
        } else if (upper) {
            g.setColorAt(0, QColor(215, 215, 215));
            g.setColorAt(1, QColor(120, 120, 120));
        } else {
            g.setColorAt(0, QColor(120, 120, 120));
            g.setColorAt(1, QColor(215, 215, 215));
        }
        p.setPen(QPen(QColor(10, 10, 10), 1));
        p.setBrush(g);
        p.drawRoundedRect(half, 2, 2);
    };
    paintHalf(top, checked_, true);
    paintHalf(bottom, !checked_, false);

    // Lamp strip on the upper half and the on/off marks.
    const qreal lampH = std::max<qreal>(3, top.height() * 0.16);
    const QRectF lamp(top.left() + top.width() * 0.2, top.top() + top.height() * 0.18, top.width() * 0.6, lampH);
    p.setPen(Qt::NoPen);
    p.setBrush(checked_ ? lampColor_ : InstrumentPaint::UnlitColor(lampColor_));
    p.drawRoundedRect(lamp, 1.5, 1.5);
    QFont markFont = font();
    markFont.setPixelSize(std::max(6, int(top.height() * 0.35)));
    p.setFont(markFont);
    p.setPen(checked_ ? QColor(200, 200, 200) : QColor(30, 30, 30));
    p.drawText(top.adjusted(0, lampH + top.height() * 0.18, 0, 0), Qt::AlignCenter, QStringLiteral("I"));
    p.setPen(checked_ ? QColor(30, 30, 30) : QColor(200, 200, 200));
    p.drawText(bottom, Qt::AlignCenter, QStringLiteral("O"));

    if (captionH > 0) {
        p.setFont(font());
        p.setPen(isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(QRect(r.left(), r.bottom() - captionH + 1, r.width(), captionH), Qt::AlignCenter, caption_);
    }
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(fontColor_, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

#include "widgets/abcolbitbtn.h"

#include "platform/application.h"
#include "widgets/accessible.h"
#include "widgets/fonts.h"
#include "widgets/set_if_changed.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

TAbColBitBtn::TAbColBitBtn(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    setFont(ArialPixels(11, true));
    setFocusPolicy(Qt::StrongFocus);
}

QString TAbColBitBtn::ShownText() const
{
    return (checked_ || down_) ? textOn_ : textOff_;
}

void TAbColBitBtn::captionChanged(const QString& before)
{
    update();
    if (ShownText() != before)
        InstrumentAccessibility::NameChanged(this);
}

void TAbColBitBtn::SetCaption(const QString& caption)
{
    if (caption == textOff_ && caption == textOn_)
        return;
    const QString before = ShownText();
    textOff_ = caption;
    textOn_ = caption;
    captionChanged(before);
}

void TAbColBitBtn::SetTextOff(const QString& text)
{
    const QString before = ShownText();
    SetIfChanged(textOff_, text, [&] { captionChanged(before); });
}

void TAbColBitBtn::SetTextOn(const QString& text)
{
    const QString before = ShownText();
    SetIfChanged(textOn_, text, [&] { captionChanged(before); });
}

void TAbColBitBtn::SetChecked(bool checked)
{
    const QString before = ShownText();
    if (SetIfChanged(checked_, checked, [&] { captionChanged(before); }))
        InstrumentAccessibility::CheckedChanged(this);
}

void TAbColBitBtn::SetFaceColor(const QColor& color) { SetIfChanged(faceColor_, color, this); }
void TAbColBitBtn::SetFaceColorOn(const QColor& color) { SetIfChanged(faceColorOn_, color, this); }
void TAbColBitBtn::SetGradient(bool on) { SetIfChanged(gradient_, on, this); }
void TAbColBitBtn::SetGradientFrom(const QColor& color) { SetIfChanged(gradientFrom_, color, this); }
void TAbColBitBtn::SetGradientTo(const QColor& color) { SetIfChanged(gradientTo_, color, this); }
void TAbColBitBtn::SetBevelWidth(int width) { SetIfChanged(bevelWidth_, std::max(0, width), this); }
void TAbColBitBtn::SetFontColor(const QColor& color) { SetIfChanged(fontColor_, color, this); }
void TAbColBitBtn::SetFontColorOn(const QColor& color) { SetIfChanged(fontColorOn_, color, this); }
void TAbColBitBtn::SetLampVisible(bool visible) { SetIfChanged(lampVisible_, visible, this); }
void TAbColBitBtn::SetLampColor(const QColor& color) { SetIfChanged(lampColor_, color, this); }

void TAbColBitBtn::Press()
{
    Application::Guard([&] { emit Click(); });
}

QSize TAbColBitBtn::sizeHint() const
{
    const QFontMetrics fm(font());
    const int w = std::max(fm.horizontalAdvance(textOff_), fm.horizontalAdvance(textOn_));
    return {std::max(60, w + 2 * bevelWidth_ + 12), std::max(23, fm.height() + 2 * bevelWidth_ + 8)};
}

QSize TAbColBitBtn::minimumSizeHint() const
{
    return {2 * bevelWidth_ + 10, 2 * bevelWidth_ + 10};
}

void TAbColBitBtn::setDown(bool down)
{
    if (down == down_)
        return;
    const QString before = ShownText();
    down_ = down;
    captionChanged(before);
}

void TAbColBitBtn::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    tracking_ = true;
    setDown(true);
}

void TAbColBitBtn::mouseMoveEvent(QMouseEvent* e)
{
    if (tracking_)
        setDown(rect().contains(e->position().toPoint()));
}

void TAbColBitBtn::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !tracking_) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    tracking_ = false;
    setDown(false);
    if (rect().contains(e->position().toPoint()))
        Press();
}

void TAbColBitBtn::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Space || e->key() == Qt::Key_Select) && !e->isAutoRepeat()) {
        Press();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TAbColBitBtn::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const QColor base = checked_ ? faceColorOn_ : faceColor_;

    // Face: the gradient of the off look turns over while held down, as if the
    // light fell on a face pushed into the panel; the lit look glows from the top.
    if (checked_) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, base.lighter(135));
        g.setColorAt(1, base.darker(115));
        p.fillRect(r, g);
    } else if (gradient_) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, down_ ? gradientTo_ : gradientFrom_);
        g.setColorAt(1, down_ ? gradientFrom_ : gradientTo_);
        p.fillRect(r, g);
    } else {
        p.fillRect(r, base);
    }
    p.setPen(QColor(40, 40, 40));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QColor edgeFace = gradient_ && !checked_ ? gradientFrom_.darker(120) : base;
    QRect inner = InstrumentPaint::DrawBevel(p, r.adjusted(1, 1, -1, -1),
                                             down_ ? TBevelStyle::Lowered : TBevelStyle::Raised, bevelWidth_, edgeFace);

    if (lampVisible_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        const qreal d = std::max(4, std::min(inner.height() - 6, 11));
        const QRectF lamp(inner.left() + 4, inner.center().y() - d / 2 + 0.5, d, d);
        QRadialGradient g(lamp.center() - QPointF(d / 5, d / 5), d * 0.7);
        const QColor c = checked_ ? lampColor_ : InstrumentPaint::UnlitColor(lampColor_);
        g.setColorAt(0, c.lighter(checked_ ? 170 : 130));
        g.setColorAt(1, c);
        p.setPen(QPen(QColor(30, 30, 30), 1));
        p.setBrush(g);
        p.drawEllipse(lamp);
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    QRect textRect = inner.adjusted(2, 0, -2, 0);
    if (down_)
        textRect.translate(1, 1);
    // A caption wider than the face is drawn smaller rather than cut at both
    // ends.
    p.setFont(InstrumentPaint::FittedFont(font(), ShownText(), textRect.width()));
    p.setPen(!isEnabled() ? palette().color(QPalette::Disabled, QPalette::WindowText)
                          : (checked_ ? fontColorOn_ : fontColor_));
    p.setClipRect(inner);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, ShownText());
    p.setClipping(false);

    if (hasFocus()) {
        p.setPen(QPen(QColor(20, 20, 20), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(inner.adjusted(1, 1, -2, -2));
    }
}

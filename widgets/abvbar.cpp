#include "widgets/abvbar.h"

#include "platform/formats.h"
#include "widgets/accessible.h"
#include "widgets/fonts.h"
#include "widgets/instrumentpaint.h"
#include "widgets/set_if_changed.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

using InstrumentPaint::FittedFont;

TAbVBar::TAbVBar(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    setFont(ArialPixels(11, true));
    valueFont_ = ArialPixels(13, true);
}

void TAbVBar::SetValue(float value)
{
    if (SetIfChanged(value_, value, this))
        InstrumentAccessibility::ValueChanged(this, double(value_));
}

void TAbVBar::SetName1(const QString& name)
{
    if (SetIfChanged(name1_, name, this))
        InstrumentAccessibility::NameChanged(this);
}

void TAbVBar::SetName2(const QString& name)
{
    if (SetIfChanged(name2_, name, this))
        InstrumentAccessibility::NameChanged(this);
}

void TAbVBar::SetUnit(const QString& unit) { SetIfChanged(unit_, unit, this); }
void TAbVBar::SetFormat(const QString& format) { SetIfChanged(format_, format, this); }

void TAbVBar::SetScale(double min, double max)
{
    if (min == scaleMin_ && max == scaleMax_)
        return;
    scaleMin_ = min;
    scaleMax_ = max;
    update();
}

void TAbVBar::SetSegmentCount(int count) { SetIfChanged(segments_, std::max(1, count), this); }

QString TAbVBar::ValueText() const
{
    return FormatFloat(format_, double(value_));
}

QString TAbVBar::DisplayText() const
{
    return unit_.isEmpty() ? ValueText() : ValueText() + QLatin1Char(' ') + unit_;
}

int TAbVBar::LitSegments() const
{
    const double span = scaleMax_ - scaleMin_;
    if (!(span > 0) || std::isnan(value_))
        return 0;
    const double f = std::clamp((double(value_) - scaleMin_) / span, 0.0, 1.0);
    return int(std::floor(f * segments_ + 0.5));
}

void TAbVBar::SetBarColor(const QColor& color) { SetIfChanged(barColor_, color, this); }
void TAbVBar::SetFontColor(const QColor& color) { SetIfChanged(fontColor_, color, this); }
void TAbVBar::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }
void TAbVBar::SetValueFont(const QFont& font) { SetIfChanged(valueFont_, font, this); }

QRect TAbVBar::BarRect() const
{
    const QRect r = rect();
    const int labelH = QFontMetrics(font()).height();
    const int valueH = QFontMetrics(valueFont_).height() + 4;
    const int top = r.top() + 2 * labelH + 6;
    const int bottom = r.bottom() - valueH - 2;
    const int w = std::clamp(r.width() / 3, 8, 40);
    const int left = r.left() + (r.width() - w) / 2 - w / 4;
    // Inside the column's 2-pixel bevel.
    return QRect(QPoint(left + 2, top + 2), QPoint(left + w - 3, bottom - 2));
}

QSize TAbVBar::sizeHint() const
{
    return {112, 221};
}

QSize TAbVBar::minimumSizeHint() const
{
    return {40, 80};
}

void TAbVBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, color_);

    const QFontMetrics fm(font());
    const int labelH = fm.height();
    p.setPen(fontColor_);
    p.setFont(FittedFont(font(), name1_, r.width() - 2));
    p.drawText(QRect(r.left(), r.top() + 1, r.width(), labelH), Qt::AlignCenter | Qt::TextSingleLine, name1_);
    p.setFont(FittedFont(font(), name2_, r.width() - 2));
    p.drawText(QRect(r.left(), r.top() + 1 + labelH, r.width(), labelH), Qt::AlignCenter | Qt::TextSingleLine,
               name2_);

    const QRect bar = BarRect();
    if (bar.height() < 4 || bar.width() < 2)
        return;
    const QRect column = bar.adjusted(-2, -2, 2, 2);
    const QColor frame = color_.lightness() < 60 ? QColor(110, 110, 110) : color_;
    p.fillRect(column, QColor(12, 12, 12));
    InstrumentPaint::DrawBevel(p, column, TBevelStyle::Lowered, 2, frame);

    // Segments from the bottom up, lit ones in the bar colour with a sheen.
    const int lit = LitSegments();
    const double pitch = double(bar.height() + 1) / segments_;
    const int gap = pitch >= 5 ? 2 : (pitch >= 3 ? 1 : 0);
    const QColor unlit = InstrumentPaint::UnlitColor(barColor_);
    for (int i = 0; i < segments_; ++i) {
        const int y1 = bar.bottom() + 1 - int(std::lround(i * pitch));
        const int y0 = bar.bottom() + 1 - int(std::lround((i + 1) * pitch)) + gap;
        const QRect seg(QPoint(bar.left() + 1, y0), QPoint(bar.right() - 1, y1 - 1));
        if (i < lit) {
            QLinearGradient g(seg.topLeft(), seg.topRight());
            g.setColorAt(0, barColor_.darker(130));
            g.setColorAt(0.35, barColor_.lighter(130));
            g.setColorAt(1, barColor_.darker(150));
            p.fillRect(seg, g);
        } else {
            p.fillRect(seg, unlit);
        }
    }

    // Scale ticks and labels at 0, 50 and 100 per cent of the range.
    QFont scaleFont = font();
    scaleFont.setBold(false);
    scaleFont.setPixelSize(std::max(7, (font().pixelSize() > 0 ? font().pixelSize() : 11) - 2));
    p.setFont(scaleFont);
    const QFontMetrics sfm(scaleFont);
    for (int i = 0; i <= 4; ++i) {
        const double f = i / 4.0;
        const int y = bar.bottom() - int(std::lround(f * bar.height()));
        const int x = column.right() + 3;
        p.drawLine(x, y, x + (i % 2 == 0 ? 5 : 3), y);
        if (i % 2 == 0) {
            const QString label = FormatFloat(format_, scaleMin_ + f * (scaleMax_ - scaleMin_));
            p.drawText(QRect(x + 7, y - sfm.height() / 2, r.right() - x - 7, sfm.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
        }
    }

    p.setFont(valueFont_);
    p.setPen(fontColor_);
    const int valueH = QFontMetrics(valueFont_).height() + 4;
    p.drawText(QRect(r.left(), r.bottom() - valueH + 1, r.width(), valueH), Qt::AlignCenter | Qt::TextSingleLine,
               DisplayText());
}

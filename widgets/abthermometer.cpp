#include "widgets/abthermometer.h"

#include "platform/formats.h"
#include "widgets/accessible.h"
#include "widgets/fonts.h"
#include "widgets/set_if_changed.h"

#include <QPainter>
#include <QPolygon>

#include <cmath>

namespace {

constexpr int kPointerWidth = 6;
constexpr int kMajorTick = 6;
constexpr int kMinorTick = 3;

}  // namespace

TAbThermometer::TAbThermometer(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    nameFont_ = ArialPixels(11, true);
    valueFont_ = ArialPixels(13);
    scaleFont_ = ArialPixels(11);
    setFont(scaleFont_);
}

void TAbThermometer::SetValue(float value)
{
    if (SetIfChanged(value_, value, this))
        InstrumentAccessibility::ValueChanged(this, double(value_));
}

void TAbThermometer::SetScale(double min, double max)
{
    if (min == scaleMin_ && max == scaleMax_)
        return;
    scaleMin_ = min;
    scaleMax_ = max;
    update();
}

void TAbThermometer::SetDigitalRange(int from, int to)
{
    // Nothing drawn depends on the digital range.
    digitalFrom_ = from;
    digitalTo_ = to;
}

double TAbThermometer::FillFraction() const
{
    const double span = scaleMax_ - scaleMin_;
    // An empty or upside-down scale, or a value that is no number, shows an
    // empty tube instead of dividing by nothing.
    if (!(span > 0) || std::isnan(value_))
        return 0.0;
    return std::clamp((double(value_) - scaleMin_) / span, 0.0, 1.0);
}

int TAbThermometer::DigitalValue() const
{
    return int(std::lround(digitalFrom_ + FillFraction() * (digitalTo_ - digitalFrom_)));
}

void TAbThermometer::SetName1(const QString& name)
{
    if (SetIfChanged(name1_, name, this))
        InstrumentAccessibility::NameChanged(this);
}

void TAbThermometer::SetName2(const QString& name) { SetIfChanged(name2_, name, this); }
void TAbThermometer::SetUnit(const QString& text) { SetIfChanged(unit_, text, this); }
void TAbThermometer::SetValueFormat(const QString& text) { SetIfChanged(valueFormat_, text, this); }
void TAbThermometer::SetScaleFormat(const QString& text) { SetIfChanged(scaleFormat_, text, this); }

QString TAbThermometer::ValueText() const
{
    return FormatFloat(valueFormat_, double(value_));
}

QString TAbThermometer::DisplayText() const
{
    return unit_.isEmpty() ? ValueText() : ValueText() + QLatin1Char(' ') + unit_;
}

void TAbThermometer::SetMainSteps(int steps) { SetIfChanged(mainSteps_, std::max(1, steps), this); }
void TAbThermometer::SetSubSteps(int steps) { SetIfChanged(subSteps_, std::max(1, steps), this); }
void TAbThermometer::SetScalePosition(ScalePlacement placement) { SetIfChanged(scalePosition_, placement, this); }
void TAbThermometer::SetScaleLine(bool on) { SetIfChanged(scaleLine_, on, this); }

QStringList TAbThermometer::ScaleLabels() const
{
    QStringList labels;
    for (int i = 0; i <= mainSteps_; ++i)
        labels << FormatFloat(scaleFormat_, scaleMin_ + (scaleMax_ - scaleMin_) * i / mainSteps_);
    return labels;
}

void TAbThermometer::SetUpperLimit(double percent) { SetIfChanged(upperLimit_, percent, this); }
void TAbThermometer::SetLowerLimit(double percent) { SetIfChanged(lowerLimit_, percent, this); }

void TAbThermometer::SetLimitColor(const QColor& color) { SetIfChanged(limitColor_, color, this); }
void TAbThermometer::SetBarColor(const QColor& color) { SetIfChanged(barColor_, color, this); }
void TAbThermometer::SetBarBackColor(const QColor& color) { SetIfChanged(barBackColor_, color, this); }
void TAbThermometer::SetScaleColor(const QColor& color) { SetIfChanged(scaleColor_, color, this); }
void TAbThermometer::SetPointerColor(const QColor& color) { SetIfChanged(pointerColor_, color, this); }
void TAbThermometer::SetNameColor(const QColor& color) { SetIfChanged(nameColor_, color, this); }
void TAbThermometer::SetValueColor(const QColor& color) { SetIfChanged(valueColor_, color, this); }
void TAbThermometer::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }

void TAbThermometer::SetNameFont(const QFont& font) { SetIfChanged(nameFont_, font, this); }
void TAbThermometer::SetValueFont(const QFont& font) { SetIfChanged(valueFont_, font, this); }
void TAbThermometer::SetScaleFont(const QFont& font) { SetIfChanged(scaleFont_, font, this); }

void TAbThermometer::SetBevelOuter(TBevelStyle style) { SetIfChanged(bevelOuter_, style, this); }
void TAbThermometer::SetBevelInner(TBevelStyle style) { SetIfChanged(bevelInner_, style, this); }
void TAbThermometer::SetBarBevel(TBevelStyle style) { SetIfChanged(barBevel_, style, this); }
void TAbThermometer::SetBarBevelWidth(int width) { SetIfChanged(barBevelWidth_, std::max(0, width), this); }
void TAbThermometer::SetValueBevel(TBevelStyle style) { SetIfChanged(valueBevel_, style, this); }

TAbThermometer::Layout TAbThermometer::layout() const
{
    Layout l;
    const QRect r = rect();
    const int outer = bevelOuter_ == TBevelStyle::None ? 0 : 1;
    const int inner = bevelInner_ == TBevelStyle::None ? 0 : 1;
    l.inner = r.adjusted(outer + inner, outer + inner, -(outer + inner), -(outer + inner));
    const QRect content = l.inner.adjusted(2, 1, -2, -2);

    const QFontMetrics nfm(nameFont_);
    const int nameLines = (name1_.isEmpty() ? 0 : 1) + (name2_.isEmpty() ? 0 : 1);
    l.name = QRect(content.left(), content.top(), content.width(), nameLines * nfm.height());

    const int valueH = QFontMetrics(valueFont_).height() + 2 + (valueBevel_ == TBevelStyle::None ? 0 : 2);
    l.valueBox = QRect(content.left(), content.bottom() - valueH + 1, content.width(), valueH);

    const QFontMetrics sfm(scaleFont_);
    int labelsW = 0;
    for (const QString& label : ScaleLabels())
        labelsW = std::max(labelsW, sfm.horizontalAdvance(label));
    const int scaleW = kPointerWidth + 1 + kMajorTick + 2 + labelsW;
    const int bevel = barBevel_ == TBevelStyle::None ? 0 : barBevelWidth_;
    const int tubeW = std::clamp(content.width() / 5, 2 * bevel + 4, 2 * bevel + 12);
    const int groupW = tubeW + scaleW;
    const int groupLeft = content.left() + std::max(0, (content.width() - groupW) / 2);

    // Half a label's height above the top tick and below the bottom one, so
    // the end labels are not cut.
    const int half = sfm.height() / 2;
    const int top = l.name.bottom() + 1 + std::max(3, half);
    const int bottom = l.valueBox.top() - 1 - std::max(3, half);
    if (scalePosition_ == ScaleRight) {
        l.tube = QRect(QPoint(groupLeft, top), QPoint(groupLeft + tubeW - 1, bottom));
        l.scale = QRect(QPoint(l.tube.right() + 1, top), QPoint(groupLeft + groupW - 1, bottom));
    } else {
        l.scale = QRect(QPoint(groupLeft, top), QPoint(groupLeft + scaleW - 1, bottom));
        l.tube = QRect(QPoint(l.scale.right() + 1, top), QPoint(l.scale.right() + tubeW, bottom));
    }
    l.bar = l.tube.adjusted(bevel, bevel, -bevel, -bevel);
    return l;
}

QRect TAbThermometer::BarRect() const
{
    return layout().bar;
}

QRect TAbThermometer::ValueRect() const
{
    return layout().valueBox;
}

int TAbThermometer::yOf(double fraction, const QRect& bar) const
{
    // The first row of the filled part: one past the bottom when empty, the
    // tube's top row when full.
    return bar.bottom() + 1 - int(std::lround(fraction * bar.height()));
}

int TAbThermometer::BarTopY() const
{
    return yOf(FillFraction(), BarRect());
}

QSize TAbThermometer::sizeHint() const
{
    return {77, 150};
}

QSize TAbThermometer::minimumSizeHint() const
{
    return {50, 90};
}

void TAbThermometer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const Layout l = layout();
    p.fillRect(r, color_);
    QRect frame = InstrumentPaint::DrawBevel(p, r, bevelOuter_, 1, color_);
    InstrumentPaint::DrawBevel(p, frame, bevelInner_, 1, color_);

    p.setFont(nameFont_);
    p.setPen(nameColor_);
    const int lineH = QFontMetrics(nameFont_).height();
    int nameY = l.name.top();
    for (const QString& name : {name1_, name2_}) {
        if (name.isEmpty())
            continue;
        p.drawText(QRect(l.name.left(), nameY, l.name.width(), lineH), Qt::AlignCenter | Qt::TextSingleLine, name);
        nameY += lineH;
    }

    if (l.bar.height() > 0 && l.bar.width() > 0) {
        InstrumentPaint::DrawBevel(p, l.tube, barBevel_, barBevelWidth_, color_);
        p.fillRect(l.bar, barBackColor_);
        const int fillTop = yOf(FillFraction(), l.bar);
        if (fillTop <= l.bar.bottom())
            p.fillRect(QRect(QPoint(l.bar.left(), fillTop), l.bar.bottomRight()), barColor_);

        // Ticks and labels beside the tube.
        const bool right = scalePosition_ == ScaleRight;
        const int base = right ? l.scale.left() + kPointerWidth + 1 : l.scale.right() - kPointerWidth - 1;
        const int dir = right ? 1 : -1;
        const QFontMetrics sfm(scaleFont_);
        p.setFont(scaleFont_);
        p.setPen(scaleColor_);
        const QStringList labels = ScaleLabels();
        const int ticks = mainSteps_ * subSteps_;
        auto tickY = [&](int i) {
            return l.bar.bottom() - int(std::lround(double(i) / ticks * (l.bar.height() - 1)));
        };
        for (int i = 0; i <= ticks; ++i) {
            const bool major = i % subSteps_ == 0;
            const int y = tickY(i);
            p.drawLine(base, y, base + dir * ((major ? kMajorTick : kMinorTick) - 1), y);
            if (major) {
                const QString& label = labels.at(i / subSteps_);
                const int x = base + dir * (kMajorTick + 2);
                const QRect box = right ? QRect(x, y - sfm.height() / 2, l.scale.right() - x + 8, sfm.height())
                                        : QRect(l.scale.left() - 8, y - sfm.height() / 2, x - l.scale.left() + 9,
                                                sfm.height());
                p.drawText(box, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter | Qt::TextSingleLine,
                           label);
            }
        }
        if (scaleLine_)
            p.drawLine(base, tickY(0), base, tickY(ticks));

        // Limit marks, then the pointer at the value's level, pointing at the
        // tube; both held within the scale.
        const int pointerX = right ? l.tube.right() + 1 : l.tube.left() - 1;
        p.setPen(QPen(limitColor_, 1));
        for (double limit : {upperLimit_, lowerLimit_}) {
            const double f = std::clamp(limit / 100.0, 0.0, 1.0);
            const int y = l.bar.bottom() - int(std::lround(f * (l.bar.height() - 1)));
            p.drawLine(pointerX + dir, y, pointerX + dir * (kPointerWidth - 1), y);
        }
        const int py = std::min(fillTop, l.bar.bottom());
        const QPolygon pointer({QPoint(pointerX, py), QPoint(pointerX + dir * (kPointerWidth - 1), py - 3),
                                QPoint(pointerX + dir * (kPointerWidth - 1), py + 3)});
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(0, 0, 0, 160), 1));
        p.setBrush(pointerColor_);
        p.drawPolygon(pointer);
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    const QRect field = InstrumentPaint::DrawBevel(p, l.valueBox, valueBevel_, 1, color_);
    p.setFont(valueFont_);
    p.setPen(valueColor_);
    p.drawText(field, Qt::AlignCenter | Qt::TextSingleLine, DisplayText());
}

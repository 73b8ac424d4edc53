#include "widgets/abvalueind.h"

#include "platform/formats.h"
#include "widgets/accessible.h"
#include "widgets/instrumentpaint.h"

#include <QPainter>

#include <cmath>

TAbValueInd::TAbValueInd(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    labelFont_ = QFont(QStringLiteral("Arial"));
    labelFont_.setPixelSize(11);
    labelFont_.setBold(true);
    setFont(labelFont_);
}

void TAbValueInd::textChanged()
{
    update();
    InstrumentAccessibility::ValueChanged(this, DisplayText());
}

void TAbValueInd::SetValue(float value)
{
    if (value == value_ || (std::isnan(value) && std::isnan(value_)))
        return;
    value_ = value;
    textChanged();
}

void TAbValueInd::SetName1(const QString& name)
{
    if (name == name1_)
        return;
    name1_ = name;
    update();
    InstrumentAccessibility::NameChanged(this);
}

void TAbValueInd::SetUnit(const QString& unit)
{
    if (unit == unit_)
        return;
    unit_ = unit;
    textChanged();
}

void TAbValueInd::SetFormat(const QString& format)
{
    if (format == format_)
        return;
    format_ = format;
    textChanged();
}

QString TAbValueInd::ValueText() const
{
    return FormatFloat(format_, double(value_));
}

QString TAbValueInd::DisplayText() const
{
    return unit_.isEmpty() ? ValueText() : ValueText() + QLatin1Char(' ') + unit_;
}

#define VELTRA8_COLOR_SETTER(Setter, member) \
    void TAbValueInd::Setter(const QColor& color) \
    { \
        if (color == member) \
            return; \
        member = color; \
        update(); \
    }

VELTRA8_COLOR_SETTER(SetColor, color_)
VELTRA8_COLOR_SETTER(SetLabelColor, labelColor_)
VELTRA8_COLOR_SETTER(SetValueColor, valueColor_)
VELTRA8_COLOR_SETTER(SetValueBackColor, valueBackColor_)
#undef VELTRA8_COLOR_SETTER

void TAbValueInd::SetLabelFont(const QFont& font)
{
    if (font == labelFont_)
        return;
    labelFont_ = font;
    update();
}

QSize TAbValueInd::sizeHint() const
{
    return {70, 34};
}

QSize TAbValueInd::minimumSizeHint() const
{
    return {30, 20};
}

void TAbValueInd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, color_);

    const QFontMetrics fm(labelFont_);
    const int labelH = name1_.isEmpty() ? 0 : fm.height();
    if (labelH > 0) {
        p.setFont(labelFont_);
        p.setPen(labelColor_);
        p.drawText(QRect(r.left(), r.top(), r.width(), labelH), Qt::AlignCenter | Qt::TextSingleLine, name1_);
    }

    // The readout sits in a sunken window under the label.
    QRect window = r.adjusted(1, labelH, -1, -1);
    p.fillRect(window, valueBackColor_);
    const QColor frame = color_.lightness() < 60 ? QColor(110, 110, 110) : color_;
    window = InstrumentPaint::DrawBevel(p, window, TBevelStyle::Lowered, 1, frame);
    const QRect content = window.adjusted(2, 1, -2, -1);
    if (content.width() <= 0 || content.height() <= 0)
        return;

    int unitW = 0;
    if (!unit_.isEmpty()) {
        QFont unitFont = labelFont_;
        unitFont.setPixelSize(std::max(6, std::min(labelFont_.pixelSize() > 0 ? labelFont_.pixelSize() : 11,
                                                   int(content.height() * 0.75))));
        p.setFont(unitFont);
        unitW = QFontMetrics(unitFont).horizontalAdvance(unit_) + 2;
        p.setPen(valueColor_);
        p.drawText(QRect(content.right() - unitW + 1, content.top(), unitW, content.height()),
                   Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine, unit_);
    }
    const QRectF digits(content.left(), content.top() + 1, content.width() - unitW - 1, content.height() - 1);
    InstrumentPaint::DrawSegmentText(p, digits, ValueText(), valueColor_, InstrumentPaint::GhostColor(valueColor_),
                                     Qt::AlignRight);
}

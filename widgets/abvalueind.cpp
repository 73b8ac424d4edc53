#include "widgets/abvalueind.h"

#include "platform/formats.h"
#include "widgets/accessible.h"
#include "widgets/fonts.h"
#include "widgets/instrumentpaint.h"
#include "widgets/set_if_changed.h"

#include <QPainter>

#include <cmath>

TAbValueInd::TAbValueInd(QWidget* parent) : QWidget(parent)
{
    InstrumentAccessibility::Install();
    labelFont_ = ArialPixels(11, true);
    setFont(labelFont_);
}

void TAbValueInd::textChanged()
{
    update();
    InstrumentAccessibility::ValueChanged(this, DisplayText());
}

void TAbValueInd::SetValue(float value) { SetIfChanged(value_, value, [this] { textChanged(); }); }

void TAbValueInd::SetName1(const QString& name)
{
    if (SetIfChanged(name1_, name, this))
        InstrumentAccessibility::NameChanged(this);
}

void TAbValueInd::SetUnit(const QString& unit) { SetIfChanged(unit_, unit, [this] { textChanged(); }); }
void TAbValueInd::SetFormat(const QString& format) { SetIfChanged(format_, format, [this] { textChanged(); }); }

QString TAbValueInd::ValueText() const
{
    return FormatFloat(format_, double(value_));
}

QString TAbValueInd::DisplayText() const
{
    return unit_.isEmpty() ? ValueText() : ValueText() + QLatin1Char(' ') + unit_;
}

void TAbValueInd::SetColor(const QColor& color) { SetIfChanged(color_, color, this); }
void TAbValueInd::SetLabelColor(const QColor& color) { SetIfChanged(labelColor_, color, this); }
void TAbValueInd::SetLabelFont(const QFont& font) { SetIfChanged(labelFont_, font, this); }
void TAbValueInd::SetValueColor(const QColor& color) { SetIfChanged(valueColor_, color, this); }
void TAbValueInd::SetValueBackColor(const QColor& color) { SetIfChanged(valueBackColor_, color, this); }

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

#pragma once
// A bar thermometer: a sunken tube filled in the bar colour up to the value,
// a graduated scale beside it, the name above and the value with its unit in
// a field below. The Live thermometers window owns eight, one per channel.
// The value is stored exactly as set, even beyond the scale; only the bar and
// pointer are held to the scale's ends.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include "widgets/instrumentpaint.h"

class TAbThermometer : public QWidget {
    Q_OBJECT
    Q_PROPERTY(float Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Name1 READ Name1 WRITE SetName1)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE SetBarColor)
    Q_PROPERTY(QColor BarBackColor READ BarBackColor WRITE SetBarBackColor)
    Q_PROPERTY(QColor ScaleColor READ ScaleColor WRITE SetScaleColor)
    Q_PROPERTY(QColor PointerColor READ PointerColor WRITE SetPointerColor)
    Q_PROPERTY(QColor LimitColor READ LimitColor WRITE SetLimitColor)
    Q_PROPERTY(QColor NameColor READ NameColor WRITE SetNameColor)
    Q_PROPERTY(QColor ValueColor READ ValueColor WRITE SetValueColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QFont NameFont READ NameFont WRITE SetNameFont)
    Q_PROPERTY(QFont ValueFont READ ValueFont WRITE SetValueFont)
    Q_PROPERTY(QFont ScaleFont READ ScaleFont WRITE SetScaleFont)
public:
    enum ScalePlacement { ScaleLeft, ScaleRight };
    Q_ENUM(ScalePlacement)

    explicit TAbThermometer(QWidget* parent = nullptr);

    // Engineering units (degrees Celsius for the program).
    float Value() const { return value_; }
    void SetValue(float value);

    // The linear scale, from its bottom to its top value, and the internal
    // digital range it maps onto.
    double ScaleMin() const { return scaleMin_; }
    double ScaleMax() const { return scaleMax_; }
    void SetScale(double min, double max);
    int DigitalFrom() const { return digitalFrom_; }
    int DigitalTo() const { return digitalTo_; }
    void SetDigitalRange(int from, int to);
    // The value on the digital range, held to its ends.
    int DigitalValue() const;
    // The filled share of the tube, 0 … 1.
    double FillFraction() const;

    QString Name1() const { return name1_; }
    void SetName1(const QString& name);
    QString Name2() const { return name2_; }   // a second name line, empty by default
    void SetName2(const QString& name);
    QString Unit() const { return unit_; }
    void SetUnit(const QString& unit);
    QString ValueFormat() const { return valueFormat_; }   // "#0.0"
    void SetValueFormat(const QString& format);
    QString ValueText() const;     // "25,0"
    QString DisplayText() const;   // "25,0 °C"

    // Scale: main steps (intervals between labelled ticks) and sub-steps
    // (intervals within each main step).
    int MainSteps() const { return mainSteps_; }
    void SetMainSteps(int steps);
    int SubSteps() const { return subSteps_; }
    void SetSubSteps(int steps);
    QString ScaleFormat() const { return scaleFormat_; }   // "##0"
    void SetScaleFormat(const QString& format);
    ScalePlacement ScalePosition() const { return scalePosition_; }
    void SetScalePosition(ScalePlacement placement);
    bool ScaleLine() const { return scaleLine_; }   // a line along the ticks
    void SetScaleLine(bool on);
    // The label of each main tick, bottom first.
    QStringList ScaleLabels() const;

    // Limits in per cent of the scale, marked beside the tube.
    double UpperLimit() const { return upperLimit_; }
    void SetUpperLimit(double percent);
    double LowerLimit() const { return lowerLimit_; }
    void SetLowerLimit(double percent);
    QColor LimitColor() const { return limitColor_; }
    void SetLimitColor(const QColor& color);

    QColor BarColor() const { return barColor_; }
    void SetBarColor(const QColor& color);
    QColor BarBackColor() const { return barBackColor_; }
    void SetBarBackColor(const QColor& color);
    QColor ScaleColor() const { return scaleColor_; }
    void SetScaleColor(const QColor& color);
    QColor PointerColor() const { return pointerColor_; }
    void SetPointerColor(const QColor& color);
    QColor NameColor() const { return nameColor_; }
    void SetNameColor(const QColor& color);
    QColor ValueColor() const { return valueColor_; }
    void SetValueColor(const QColor& color);
    QColor Color() const { return color_; }   // the instrument's face
    void SetColor(const QColor& color);

    QFont NameFont() const { return nameFont_; }
    void SetNameFont(const QFont& font);
    QFont ValueFont() const { return valueFont_; }
    void SetValueFont(const QFont& font);
    QFont ScaleFont() const { return scaleFont_; }
    void SetScaleFont(const QFont& font);

    // Bevels: the instrument's outer and inner frames, the tube's and the
    // value field's.
    TBevelStyle BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelStyle style);
    TBevelStyle BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelStyle style);
    TBevelStyle BarBevel() const { return barBevel_; }
    void SetBarBevel(TBevelStyle style);
    int BarBevelWidth() const { return barBevelWidth_; }
    void SetBarBevelWidth(int width);
    TBevelStyle ValueBevel() const { return valueBevel_; }
    void SetValueBevel(TBevelStyle style);

    // Geometry, worked out from rect() on every call: the inside of the tube
    // (where the bar is drawn) and the value field.
    QRect BarRect() const;
    QRect ValueRect() const;
    // The row of the tube's inside the value reaches (clipped to the tube).
    int BarTopY() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    struct Layout {
        QRect inner;     // inside the instrument's bevels
        QRect name;
        QRect tube;      // the tube with its bevel
        QRect bar;       // inside the tube's bevel
        QRect scale;     // ticks and labels
        QRect valueBox;  // value field with its bevel
    };
    Layout layout() const;
    int yOf(double fraction, const QRect& bar) const;

    float value_ = 0.0f;
    double scaleMin_ = 0.0;
    double scaleMax_ = 100.0;
    int digitalFrom_ = 0;
    int digitalTo_ = 1000;
    QString name1_;
    QString name2_;
    QString unit_;
    QString valueFormat_{QStringLiteral("#0.0")};
    int mainSteps_ = 5;
    int subSteps_ = 2;
    QString scaleFormat_{QStringLiteral("##0")};
    ScalePlacement scalePosition_ = ScaleRight;
    bool scaleLine_ = true;
    double upperLimit_ = 90.0;
    double lowerLimit_ = 10.0;
    QColor limitColor_{255, 0, 0};
    QColor barColor_{Qt::red};
    QColor barBackColor_{212, 208, 200};
    QColor scaleColor_{Qt::black};
    QColor pointerColor_{0, 255, 0};
    QColor nameColor_{Qt::black};
    QColor valueColor_{Qt::black};
    QColor color_{212, 208, 200};
    QFont nameFont_;
    QFont valueFont_;
    QFont scaleFont_;
    TBevelStyle bevelOuter_ = TBevelStyle::Raised;
    TBevelStyle bevelInner_ = TBevelStyle::Lowered;
    TBevelStyle barBevel_ = TBevelStyle::Lowered;
    int barBevelWidth_ = 3;
    TBevelStyle valueBevel_ = TBevelStyle::Lowered;
};

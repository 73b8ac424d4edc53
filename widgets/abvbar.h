#pragma once
// A vertical LED bar: a column of lamp segments lit up to the value, two label
// lines above it and the value with its unit below. The main window owns one
// for the logger's battery level and recolours it by the level.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class TAbVBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(float Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Name1 READ Name1 WRITE SetName1)
    Q_PROPERTY(QString Name2 READ Name2 WRITE SetName2)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE SetBarColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QFont ValueFont READ ValueFont WRITE SetValueFont)
public:
    explicit TAbVBar(QWidget* parent = nullptr);

    // Stored as given; the bar is drawn clipped to the scale.
    float Value() const { return value_; }
    void SetValue(float value);
    QString Name1() const { return name1_; }
    void SetName1(const QString& name);
    QString Name2() const { return name2_; }
    void SetName2(const QString& name);
    QString Unit() const { return unit_; }
    void SetUnit(const QString& unit);
    QString Format() const { return format_; }
    void SetFormat(const QString& format);
    double ScaleMin() const { return scaleMin_; }
    double ScaleMax() const { return scaleMax_; }
    void SetScale(double min, double max);

    QString ValueText() const;     // "77"
    QString DisplayText() const;   // "77 %"
    // How many of the segments are lit for the value.
    int LitSegments() const;
    int SegmentCount() const { return segments_; }
    void SetSegmentCount(int count);

    QColor BarColor() const { return barColor_; }
    void SetBarColor(const QColor& color);
    // Colour of the labels and the value text.
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);
    QColor Color() const { return color_; }   // background
    void SetColor(const QColor& color);
    // Labels use the widget's font(); the value text uses this one.
    QFont ValueFont() const { return valueFont_; }
    void SetValueFont(const QFont& font);

    // Where the segment column lies, worked out from rect().
    QRect BarRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    float value_ = 0.0f;
    QString name1_;
    QString name2_;
    QString unit_{QStringLiteral("%")};
    QString format_{QStringLiteral("##0")};
    double scaleMin_ = 0.0;
    double scaleMax_ = 100.0;
    int segments_ = 20;
    QColor barColor_{0, 255, 0};
    QColor fontColor_{0, 255, 0};
    QColor color_{Qt::black};
    QFont valueFont_;
};

#pragma once
// A numeric panel indicator: a label over a sunken seven-segment readout of a
// value with its unit. The main window owns eight, one per logger channel.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class TAbValueInd : public QWidget {
    Q_OBJECT
    Q_PROPERTY(float Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Name1 READ Name1 WRITE SetName1)
    Q_PROPERTY(QString Unit READ Unit WRITE SetUnit)
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QColor LabelColor READ LabelColor WRITE SetLabelColor)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE SetLabelFont)
    Q_PROPERTY(QColor ValueColor READ ValueColor WRITE SetValueColor)
    Q_PROPERTY(QColor ValueBackColor READ ValueBackColor WRITE SetValueBackColor)
public:
    explicit TAbValueInd(QWidget* parent = nullptr);

    float Value() const { return value_; }
    void SetValue(float value);
    QString Name1() const { return name1_; }
    void SetName1(const QString& name);
    QString Unit() const { return unit_; }
    void SetUnit(const QString& unit);
    // A picture such as "##0.0", applied with the process-wide separators.
    QString Format() const { return format_; }
    void SetFormat(const QString& format);

    // The value as shown: "23,5"; with the unit: "23,5 °C".
    QString ValueText() const;
    QString DisplayText() const;

    QColor Color() const { return color_; }            // panel background
    void SetColor(const QColor& color);
    QColor LabelColor() const { return labelColor_; }
    void SetLabelColor(const QColor& color);
    QFont LabelFont() const { return labelFont_; }
    void SetLabelFont(const QFont& font);
    QColor ValueColor() const { return valueColor_; }   // lit segments and unit
    void SetValueColor(const QColor& color);
    QColor ValueBackColor() const { return valueBackColor_; }
    void SetValueBackColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void textChanged();

    float value_ = 0.0f;
    QString name1_;
    QString unit_;
    QString format_{QStringLiteral("##0.0")};
    QColor color_{Qt::black};
    QColor labelColor_{Qt::white};
    QFont labelFont_;
    QColor valueColor_{0, 255, 0};
    QColor valueBackColor_{Qt::black};
};

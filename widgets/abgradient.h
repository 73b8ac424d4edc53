#pragma once
// A background panel that windows put behind their controls: a top-to-bottom
// gradient, or a plain colour when the gradient is switched off.
#include <QColor>
#include <QWidget>

class TAbGradient : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(QColor StartColor READ StartColor WRITE SetStartColor)
    Q_PROPERTY(QColor EndColor READ EndColor WRITE SetEndColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
public:
    explicit TAbGradient(QWidget* parent = nullptr);

    bool Gradient() const { return gradient_; }
    void SetGradient(bool on);
    QColor StartColor() const { return startColor_; }
    void SetStartColor(const QColor& color);
    QColor EndColor() const { return endColor_; }
    void SetEndColor(const QColor& color);
    // The plain colour, used while the gradient is off.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool gradient_ = true;
    QColor startColor_{Qt::white};
    QColor endColor_{0, 0, 128};
    QColor color_{212, 208, 200};
};
